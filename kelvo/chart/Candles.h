// TCandles: prices over time as candlesticks or OHLC bars.
//
// A candle's picture is by definition that of its equivalent display-list
// items, in its colour (UpColor where Close >= Open, else DownColor): with
// csCandles the wick, a line from (T, Low) to (T, High), then the body, a
// box from (T - W / 2, Open) to (T + W / 2, Close) filled and outlined in
// that colour; with csOhlc the same line, a tick from (T - W / 2, Open) to
// (T, Open) and one from (T, Close) to (T + W / 2, Close). A price that is
// not finite leaves out what it takes part in (items with such coordinates
// draw nothing); High below Low is drawn as given.
//
// Consecutive candles (in the order held) whose T falls in the same device
// pixel column are drawn as one merged candle: at the first one's T, the
// open of the first, the close of the last, the highest high and the
// lowest low. So a year of minute candles on a 1000-pixel axis draws about
// a thousand candles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/chart/Plottable.h"
#include "kelvo/platform/Types.h"

namespace vexa {

enum class TCandleStyle : uint8_t { csCandles, csOhlc };

class TCandles : public TPlottable {
 public:
  struct TCandle {
    double T, Open, High, Low, Close;
  };

  explicit TCandles(std::string Name = "");
  TCandles(const TCandles& Other) = default;
  TCandles& operator=(const TCandles&) = delete;
  ~TCandles() override;

  // --- data (i = 0 is the oldest candle held) ---
  void Append(double T, double Open, double High, double Low, double Close);
  // N candles from five arrays of at least N values each.
  void Append(const double* T, const double* Open, const double* High, const double* Low,
              const double* Close, size_t N);
  void Clear();
  size_t Count() const { return FCount; }
  // Candle I; I outside 0 .. Count() - 1: EVexaKelvoError.
  const TCandle& Candle(size_t I) const;
  // The newest Capacity candles are held (0, as created: all); the oldest
  // drop out in O(1). Set below Count(), the oldest go.
  size_t Capacity() const { return FCapacity; }
  void SetCapacity(size_t Value);
  // Whether T never went back (and was finite) since the candles were
  // cleared: paints then read only the candles near the view.
  bool Sorted() const { return FSorted; }

  // --- attributes ---
  TCandleStyle Style() const { return FStyle; }  // csCandles
  void SetStyle(TCandleStyle Value) { FStyle = Value, Touch(); }
  TColor UpColor() const { return FUpColor; }  // clGreen: Close >= Open
  void SetUpColor(TColor Value) { FUpColor = Value, Touch(); }
  TColor DownColor() const { return FDownColor; }  // clRed
  void SetDownColor(TColor Value) { FDownColor = Value, Touch(); }
  // World units of T; 0 (as created): 0.8 of the smallest spacing of
  // adjacent T in view (WidthIn says which). Not finite or negative:
  // EVexaKelvoError.
  double CandleWidth() const { return FCandleWidth; }
  void SetCandleWidth(double Value);
  double WidthIn(double Low, double High) const;
  int32_t LineWidth() const { return FLineWidth; }  // 1; kept within 1 .. 255
  void SetLineWidth(int32_t Value);

  // --- TPlottable ---
  std::unique_ptr<TPlottable> Clone() const override;
  void Draw(TPlotContext& Context) const override;
  bool Extent(TPlotExtent& Extent, bool PositiveX, bool PositiveY) const override;
  // The candle (Point its index) whose wick or body comes nearest the pixel.
  bool NearestHit(const TCustomKelvo& Chart, int32_t X, int32_t Y, TPlotHit& Best) const override;
  void LegendIcon(TLegendEntry& Entry) const override;

 private:
  size_t SlotOf(size_t I) const {
    const size_t s = FFirst + I;
    return s >= FRing.size() ? s - FRing.size() : s;
  }
  const TCandle& At(size_t I) const { return FRing[SlotOf(I)]; }
  void Store(size_t Slot, const TCandle& C);
  // The highest high and lowest low (NaN left out; none: NaN) of candles
  // From .. To - 1, and with Spacing the smallest positive spacing of
  // adjacent T among them (none: HUGE_VAL), whole blocks of slots read from
  // their summaries.
  void Extremes(size_t From, size_t To, double& High, double& Low, double* Spacing = nullptr) const;
  // The held candles whose T lies within Low .. High (sorted data), or all.
  void InView(double Low, double High, size_t& From, size_t& To) const;
  void DrawCandle(TPlotContext& Context, struct TDrawItem& It, const TCandle& C, double W) const;

  std::vector<TCandle> FRing;  // the ring, or all candles in order while it grows
  // Summaries of aligned blocks of 64 slots: their highest high and lowest
  // low, made again when read after a write into the block.
  static constexpr size_t BlockShift = 6;
  mutable std::vector<double> FBlockHigh, FBlockLow, FBlockSpacing;
  mutable std::vector<uint8_t> FBlockDirty;
  size_t FFirst = 0, FCount = 0, FCapacity = 0;
  bool FSorted = true;
  TCandleStyle FStyle = TCandleStyle::csCandles;
  TColor FUpColor = clGreen, FDownColor = clRed;
  double FCandleWidth = 0;
  int32_t FLineWidth = 1;
};

}  // namespace vexa
