// THistogram: the distribution of a measured quantity, counted into equal
// bins as values arrive (the values themselves are not kept).
//
// Its picture is by definition that of its equivalent display-list items:
// with hsBars a box from 0 to each bin's value (bins whose value is 0 draw
// none) over the bin's edges, filled in AreaColor at AreaOpacity and
// outlined with the pen; with hsStep the outline alone, a line from
// (Low, 0) along every bin's top to (High, 0).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/chart/Plottable.h"
#include "kelvo/platform/Types.h"

namespace vexa {

enum class THistNormalization : uint8_t {
  hnCount,        // each bin's count
  hnProbability,  // its share of the values counted in the bins
  hnDensity,      // that share over the bin's width: the bars' area is 1
  hnCumulative    // the share of counted values in it and every bin below it
};
enum class THistStyle : uint8_t { hsBars, hsStep };

class THistogram : public TPlottable {
 public:
  // The most bins a histogram holds (80 MB of counts); more is refused.
  static constexpr int64_t MaxBins = 10000000;

  explicit THistogram(std::string Name = "");
  THistogram(const THistogram& Other) = default;
  THistogram& operator=(const THistogram&) = delete;
  ~THistogram() override;

  // --- the bins ---
  // Count equal bins over Low .. High (the last bin holds High too); the
  // counts start from 0. Count outside 1 .. MaxBins, Low >= High or ends
  // not finite: EVexaKelvoError before anything is allocated or changed.
  // As created: one bin over 0 .. 1.
  void SetBins(double Low, double High, int64_t Count);
  // Picks the bins for Sample (N values; NaN and infinities left out) by
  // the Freedman-Diaconis rule, width 2 IQR / N^(1/3) over the sample's
  // extent; by Sturges' rule (log2 N + 1 bins) where the interquartile range
  // is 0; one bin of width 1 about the value where every value is the same.
  // At most 100,000 bins. Counts start from 0: append the sample next. No
  // finite value: EVexaKelvoError.
  void AutoBins(const double* Sample, size_t N);
  double Low() const { return FLow; }
  double High() const { return FHigh; }
  int64_t BinCount() const { return static_cast<int64_t>(FCounts.size()); }
  double BinWidth() const { return (FHigh - FLow) / static_cast<double>(FCounts.size()); }
  // Bin K's count, its low edge (K = BinCount() gives High) and the value
  // drawn for it by Normalization (hnCumulative adds up the bins below it);
  // K outside: EVexaKelvoError.
  uint64_t BinCount(int64_t K) const;
  double BinLow(int64_t K) const;
  double BinValue(int64_t K) const;

  // --- counting: O(1) a value ---
  void Append(double V);
  void Append(const double* V, size_t N);
  void Clear();                                  // every count back to 0, the bins stay
  uint64_t Underflow() const { return FUnder; }  // below Low, -inf included
  uint64_t Overflow() const { return FOver; }    // above High, +inf included
  uint64_t Invalid() const { return FInvalid; }  // NaN
  uint64_t Total() const { return FTotal; }      // counted in the bins

  // --- attributes ---
  THistNormalization Normalization() const { return FNormalization; }  // hnCount
  void SetNormalization(THistNormalization Value) { FNormalization = Value, Touch(); }
  THistStyle Style() const { return FStyle; }  // hsBars
  void SetStyle(THistStyle Value) { FStyle = Value, Touch(); }
  TColor Color() const { return FColor; }  // clBlack: the pen
  void SetColor(TColor Value) { FColor = Value, Touch(); }
  TPenStyle PenStyle() const { return FPenStyle; }  // psSolid
  void SetPenStyle(TPenStyle Value) { FPenStyle = Value, Touch(); }
  int32_t LineWidth() const { return FLineWidth; }  // 1; kept within 1 .. 255
  void SetLineWidth(int32_t Value);
  TColor AreaColor() const { return FAreaColor; }  // clNone: Color
  void SetAreaColor(TColor Value) { FAreaColor = Value, Touch(); }
  uint8_t AreaOpacity() const { return FAreaOpacity; }  // 255
  void SetAreaOpacity(uint8_t Value) { FAreaOpacity = Value, Touch(); }

  // --- TPlottable ---
  std::unique_ptr<TPlottable> Clone() const override;
  void Draw(TPlotContext& Context) const override;
  bool Extent(TPlotExtent& Extent, bool PositiveX, bool PositiveY) const override;
  // The bin whose bar holds the pixel (Point is its number).
  bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const override;
  void LegendIcon(TLegendEntry& Entry) const override;

 private:
  void CheckBin(int64_t K, bool Edge) const;
  // Every bin's value as BinValue gives it, in one pass.
  void DrawnValues(std::vector<double>& Out) const;
  double FLow = 0, FHigh = 1;
  double FScale = 1;  // bins per unit
  std::vector<uint64_t> FCounts = std::vector<uint64_t>(1);
  uint64_t FUnder = 0, FOver = 0, FInvalid = 0, FTotal = 0;
  THistNormalization FNormalization = THistNormalization::hnCount;
  THistStyle FStyle = THistStyle::hsBars;
  TColor FColor = clBlack, FAreaColor = clNone;
  TPenStyle FPenStyle = TPenStyle::psSolid;
  int32_t FLineWidth = 1;
  uint8_t FAreaOpacity = 255;
};

}  // namespace vexa
