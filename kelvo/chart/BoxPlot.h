// TBoxPlot: groups compared by their quartiles, one box a group.
//
// Each box's picture is by definition that of its equivalent display-list
// items, in this order: the box from Q1 to Q3, BoxWidth wide about its
// position (filled in AreaColor at AreaOpacity; clNone: not filled), the
// median's line across it, the whiskers from the box to Low and High with
// caps half the box's width, a mark (OutlierSymbol) at every outlier, and
// with MeanVisible a mark (symbol 13) at the mean. A box of no values draws
// nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/chart/Plottable.h"
#include "kelvo/chart/Statistics.h"
#include "kelvo/platform/Types.h"

namespace vexa {

class TBoxPlot : public TPlottable {
 public:
  explicit TBoxPlot(std::string Name = "");
  TBoxPlot(const TBoxPlot& Other) = default;
  TBoxPlot& operator=(const TBoxPlot&) = delete;
  ~TBoxPlot() override;

  // --- boxes ---
  // A box at Position (world x) for Sample's N values: quartiles by numpy's
  // rule, whiskers to the furthest value within WhiskerRange interquartile
  // ranges of the box (as set now), the values beyond as outliers; NaN and
  // infinities left out and counted (Box(k).Invalid). An empty sample adds
  // a box that draws nothing. Position not finite: EVexaKelvoError.
  void AddBox(double Position, const double* Sample, size_t N);
  // A box of figures computed elsewhere: Low <= Q1 <= Median <= Q3 <= High,
  // all finite, or EVexaKelvoError.
  void AddBoxStats(double Position, double Low, double Q1, double Median, double Q3, double High);
  size_t BoxCount() const { return FBoxes.size(); }
  // Box K's figures and position; K outside: EVexaKelvoError.
  const TBoxStats& Box(size_t K) const;
  double BoxPosition(size_t K) const;
  void ClearBoxes() { FBoxes.clear(), Touch(); }

  // --- attributes ---
  double WhiskerRange() const { return FWhiskerRange; }  // 1.5; finite and >= 0
  void SetWhiskerRange(double Value);
  double BoxWidth() const { return FBoxWidth; }  // 0.6 world units; finite and > 0
  void SetBoxWidth(double Value);
  bool MeanVisible() const { return FMeanVisible; }  // False
  void SetMeanVisible(bool Value) { FMeanVisible = Value, Touch(); }
  uint8_t OutlierSymbol() const { return FOutlierSymbol; }  // 1
  void SetOutlierSymbol(uint8_t Value) { FOutlierSymbol = Value, Touch(); }
  TColor Color() const { return FColor; }  // clBlack: lines and marks
  void SetColor(TColor Value) { FColor = Value, Touch(); }
  TColor AreaColor() const { return FAreaColor; }  // clWhite; clNone: the box not filled
  void SetAreaColor(TColor Value) { FAreaColor = Value, Touch(); }
  uint8_t AreaOpacity() const { return FAreaOpacity; }  // 255
  void SetAreaOpacity(uint8_t Value) { FAreaOpacity = Value, Touch(); }
  int32_t LineWidth() const { return FLineWidth; }  // 1; kept within 1 .. 255
  void SetLineWidth(int32_t Value);
  TColor FillColor() const { return FFillColor; }  // clSilver: the marks' fill
  void SetFillColor(TColor Value) { FFillColor = Value, Touch(); }

  // --- TPlottable ---
  std::unique_ptr<TPlottable> Clone() const override;
  void Draw(TPlotContext& Context) const override;
  bool Extent(TPlotExtent& Extent, bool PositiveX, bool PositiveY) const override;
  // The box (Point its number) whose box, whiskers or outliers come
  // nearest the pixel.
  bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const override;
  void LegendIcon(TLegendEntry& Entry) const override;

 private:
  struct TBox {
    double Position;
    TBoxStats Stats;
  };
  void CheckBox(size_t K) const;
  std::vector<TBox> FBoxes;
  double FWhiskerRange = 1.5, FBoxWidth = 0.6;
  bool FMeanVisible = false;
  uint8_t FOutlierSymbol = 1;
  TColor FColor = clBlack, FAreaColor = clWhite, FFillColor = clSilver;
  uint8_t FAreaOpacity = 255;
  int32_t FLineWidth = 1;
};

}  // namespace vexa
