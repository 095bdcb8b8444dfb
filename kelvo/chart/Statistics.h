// Order statistics of samples: quantiles by linear interpolation between
// order statistics (numpy's default rule) and a box plot's figures. Values
// that are not finite are left out and counted.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace vexa {

// The P-quantile (0 .. 1) of Values, which it reorders: with the values
// sorted x[0] .. x[n-1], h = (n - 1) P, x[floor h] + (h - floor h)
// (x[floor h + 1] - x[floor h]). Values must be finite and not empty.
double Quantile(std::span<double> Values, double P);

struct TBoxStats {
  double Low = 0, Q1 = 0, Median = 0, Q3 = 0, High = 0;  // whisker ends and quartiles
  double Mean = 0;
  size_t Count = 0;              // the finite values
  size_t Invalid = 0;            // left out: NaN and infinities
  std::vector<double> Outliers;  // beyond the whiskers, in the sample's order
};

// Quartiles of the finite values, whiskers to the furthest value within
// WhiskerRange interquartile ranges beyond the box, the values beyond them
// as outliers. Count 0 leaves the figures 0.
TBoxStats BoxStatsOf(const double* Sample, size_t N, double WhiskerRange);

}  // namespace vexa
