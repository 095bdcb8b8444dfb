#include "kelvo/chart/Statistics.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {
// The K-th and (K+1)-th smallest of Values[From ..], placing the K-th.
void OrderPair(std::span<double> Values, size_t From, size_t K, double& A, double& B) {
  std::nth_element(Values.begin() + static_cast<std::ptrdiff_t>(From),
                   Values.begin() + static_cast<std::ptrdiff_t>(K), Values.end());
  A = Values[K];
  B = K + 1 < Values.size()
          ? *std::min_element(Values.begin() + static_cast<std::ptrdiff_t>(K + 1), Values.end())
          : A;
}

double Between(double A, double B, double F) { return F == 0 ? A : A + F * (B - A); }
}  // namespace

double Quantile(std::span<double> Values, double P) {
  const double h = static_cast<double>(Values.size() - 1) * P;
  const auto k = static_cast<size_t>(std::floor(h));
  double a, b;
  OrderPair(Values, 0, k, a, b);
  return Between(a, b, h - static_cast<double>(k));
}

TBoxStats BoxStatsOf(const double* Sample, size_t N, double WhiskerRange) {
  TBoxStats out;
  std::vector<double> v;
  v.reserve(N);
  double sum = 0;
  for (size_t i = 0; i < N; ++i)
    if (std::isfinite(Sample[i])) v.push_back(Sample[i]), sum += Sample[i];
  out.Count = v.size();
  out.Invalid = N - v.size();
  if (v.empty()) return out;
  out.Mean = sum / static_cast<double>(v.size());
  // The three quartiles, each search narrowed to the values above the last.
  const double n1 = static_cast<double>(v.size() - 1);
  size_t from = 0;
  double* q[3] = {&out.Q1, &out.Median, &out.Q3};
  for (int k = 0; k < 3; ++k) {
    const double h = n1 * 0.25 * (k + 1);
    const auto at = static_cast<size_t>(std::floor(h));
    double a, b;
    OrderPair(v, from, at, a, b);
    *q[k] = Between(a, b, h - static_cast<double>(at));
    from = at;
  }
  const double iqr = out.Q3 - out.Q1;
  const double lowFence = out.Q1 - WhiskerRange * iqr, highFence = out.Q3 + WhiskerRange * iqr;
  out.Low = out.Q1, out.High = out.Q3;
  bool anyLow = false, anyHigh = false;
  for (size_t i = 0; i < N; ++i) {
    const double x = Sample[i];
    if (!std::isfinite(x)) continue;
    if (x < lowFence || x > highFence) {
      out.Outliers.push_back(x);
      continue;
    }
    if (x <= out.Q1 && (!anyLow || x < out.Low)) out.Low = x, anyLow = true;
    if (x >= out.Q3 && (!anyHigh || x > out.High)) out.High = x, anyHigh = true;
  }
  return out;
}

}  // namespace vexa
