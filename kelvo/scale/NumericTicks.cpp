// The numeric tick passes of TScale: linear and logarithmic ticks, short
// ticks, the tick table and the drawing of ticks and labels.
#include <algorithm>
#include <cmath>

#include "kelvo/base/NiceTickStep.h"
#include "kelvo/base/PixelMath.h"
#include "kelvo/scale/Scale.h"
#include "kelvo/scale/TickLabels.h"
#include "kelvo/scale/TickPass.h"

namespace vexa {

void TScale::PaintHorizontal(TCanvas& Canvas, int32_t BaseY) {
  if (FAxis.MinTicks != 0) FAxis.MinTicks = std::clamp(FAxis.MinTicks, 2, 20);
  RunTickPass(Canvas, BaseY);
}

void TScale::PaintVertical(TCanvas& Canvas, int32_t BaseX) { RunTickPass(Canvas, BaseX); }

void TScale::RunTickPass(TCanvas& Canvas, int32_t Base) {
  // Label backgrounds take the current brush colour on an opaque scale.
  Canvas.Brush().SetStyle(FTransparent ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
  FNumTicks = 0;
  const bool horizontal = IsHorizontal(FScaleType);
  const int32_t side =
      (FScaleType == TScaleType::sctXT || FScaleType == TScaleType::sctYL) ? 1 : -1;
  TPass pass{Canvas, Base, horizontal, side};
  // A pass never does more work than the axis has pixels to show.
  const int64_t length = horizontal ? int64_t{Width()} - FMarginLeft - FMarginRight
                                    : int64_t{Height()} - FMarginTop - FMarginBottom;
  pass.Budget = static_cast<int>(
      std::clamp<int64_t>(4 * std::max<int64_t>(length, 0) + 64, 64, MaxTicksPerPass));
  if (!horizontal) pass.ZeroHeight = Canvas.TextHeight("0");
  if (!FAxis.Categories.empty()) {
    if (std::isfinite(FRangeLow) && std::isfinite(FRangeHigh)) CategoryPass(pass);
  } else if (FAxis.LabelType == TFigType::ftDateTime) {
    // Its own checks show a message for unusable ranges, NaN included.
    DateTimePass(pass);
  } else if (!std::isfinite(FRangeLow) || !std::isfinite(FRangeHigh)) {
    // An infinite or undefined range has no ticks to show.
  } else if (FAxis.LabelType != TFigType::ftTime || !TimeOfDayPass(pass)) {
    // Numbers, also where the time-of-day pass declines the range.
    if (FAxis.Logarithmic)
      LogarithmicPass(pass);
    else
      LinearPass(pass);
  }
  PaintCaption(Canvas, Base, pass.LabelExtent);
}

namespace {
// Extended precision reaches past the largest double: such a tick is none,
// and it is neither recorded, drawn, labelled nor reported.
bool IsTickValue(long double Value) { return std::isfinite(static_cast<double>(Value)); }
}  // namespace

void TScale::RecordTick(long double Value) {
  if (!IsTickValue(Value)) return;
  if (FNumTicks < TickTableSize)
    FTicks[static_cast<size_t>(FNumTicks++)] = static_cast<double>(Value);
}

void TScale::DrawTick(TPass& p, long double Value, int Length) {
  if (!IsTickValue(Value)) return;
  const int32_t at = DeviceValueToPixel(static_cast<double>(Value));
  const int32_t end =
      RoundClamped(static_cast<long double>(p.Base) + p.Side * p.Canvas.Len(Length));
  if (p.Horizontal) {
    p.Canvas.MoveTo(at, p.Base);
    p.Canvas.LineTo(at, end);
  } else {
    p.Canvas.MoveTo(p.Base, at);
    p.Canvas.LineTo(end, at);
  }
}

void TScale::RaiseTickDrawn(TPass& p, long double Value) {
  if (!OnScaleTickDrawn || !IsTickValue(Value)) return;
  const int32_t at = DeviceValueToPixel(static_cast<double>(Value));
  if (p.Horizontal)
    OnScaleTickDrawn(this, p.Canvas, FScaleType, static_cast<double>(Value), at, p.Base);
  else
    OnScaleTickDrawn(this, p.Canvas, FScaleType, static_cast<double>(Value), p.Base, at);
}

namespace {
// A power-style label's parts: before the '^' and the raised exponent.
bool SplitPower(const std::string& Label, std::string& Base, std::string& Exponent) {
  const size_t at = Label.find('^');
  if (at == std::string::npos) return false;
  Base = Label.substr(0, at);
  Exponent = Label.substr(at + 1);
  // A typographic minus sign in the exponent.
  if (!Exponent.empty() && Exponent[0] == '-') Exponent.replace(0, 1, "\u2212");
  return true;
}

// The exponent's font while it lives: seven tenths of the label's height.
struct TExponentFont {
  TCanvas& C;
  int Height;
  explicit TExponentFont(TCanvas& Canvas) : C(Canvas), Height(Canvas.Font().Height()) {
    const int h = static_cast<int>(std::lround(Height * 0.7));
    C.Font().SetHeight(h == 0 ? (Height < 0 ? -1 : 1) : h);
  }
  ~TExponentFont() { C.Font().SetHeight(Height); }
  TExponentFont(const TExponentFont&) = delete;
  TExponentFont& operator=(const TExponentFont&) = delete;
};
}  // namespace

int64_t TScale::LabelWidth(TCanvas& Canvas, const std::string& Label) {
  std::string base, exponent;
  if (FAxis.LogLabelStyle != TLogLabelStyle::llsPower || !SplitPower(Label, base, exponent))
    return Canvas.TextWidth(Label);
  const int64_t w = Canvas.TextWidth(base);
  TExponentFont small(Canvas);
  return w + Canvas.TextWidth(exponent);
}

bool TScale::LabelOut(TPass& p, int64_t X, int64_t Y, const std::string& Label) {
  TCanvas& c = p.Canvas;
  std::string base, exponent;
  const bool power =
      FAxis.LogLabelStyle == TLogLabelStyle::llsPower && SplitPower(Label, base, exponent);
  const int64_t width = LabelWidth(c, Label);
  p.LabelExtent = std::max(p.LabelExtent, width);
  // A raised exponent reaches a third of the text's height above it.
  const int64_t h = c.TextHeight(Label), raise = power ? h / 3 : 0;
  if (FAxis.AvoidLabelOverlap) {
    const TRect box = Rect(RoundClamped(X), RoundClamped(Y - raise), RoundClamped(X + width),
                           RoundClamped(Y + h));
    // Side by side, labels keep a gap of four logical pixels, so that two
    // never read as one.
    const int64_t gap = c.Len(4);
    const size_t n = std::min(p.DrawnCount, p.Drawn.size());
    for (size_t k = 0; k < n; ++k) {
      const TRect& d = p.Drawn[k];
      if (box.Left < d.Right + gap && d.Left < box.Right + gap && box.Top < d.Bottom &&
          d.Top < box.Bottom)
        return false;
    }
    p.Drawn[p.DrawnCount++ % p.Drawn.size()] = box;
  }
  if (!power) {
    c.TextOut(RoundClamped(X), RoundClamped(Y), Label);
    return true;
  }
  c.TextOut(RoundClamped(X), RoundClamped(Y), base);
  const int64_t x = X + c.TextWidth(base);
  TExponentFont small(c);
  c.TextOut(RoundClamped(x), RoundClamped(Y - raise), exponent);
  return true;
}

void TScale::DrawLabel(TPass& p, long double Value, std::string Label) {
  if (!IsTickValue(Value)) return;
  const int32_t at = DeviceValueToPixel(static_cast<double>(Value));
  if (p.Horizontal) {
    PlaceHorizontalLabel(p, at, p.Base, Value, std::move(Label));
    return;
  }
  if (OnBeforeTickLabel) OnBeforeTickLabel(this, FScaleType, static_cast<double>(Value), Label);
  const int64_t w = LabelWidth(p.Canvas, Label);
  const int64_t left = FScaleType == TScaleType::sctYL ? int64_t{p.Base} + p.Canvas.Len(8)
                                                       : int64_t{p.Base} - w - p.Canvas.Len(8);
  const int64_t top = int64_t{at} - p.ZeroHeight / 2;
  LabelOut(p, left, top, Label);
}

// Centred under the tick, but never left of x = 2 and never closer than 2
// pixels to the control's right edge.
void TScale::PlaceHorizontalLabel(TPass& p, int32_t X, int32_t BaseY, long double Value,
                                  std::string Label) {
  if (OnBeforeTickLabel) OnBeforeTickLabel(this, FScaleType, static_cast<double>(Value), Label);
  const int64_t w = LabelWidth(p.Canvas, Label), h = p.Canvas.TextHeight(Label);
  const int64_t half = w / 2;
  const int64_t gap = p.Canvas.Len(7), edge = p.Canvas.Len(2), right = DeviceScale().Side(Width());
  const int64_t top =
      FScaleType == TScaleType::sctXT ? int64_t{BaseY} + gap : int64_t{BaseY} - h - gap;
  const int64_t left = int64_t{X} + half < right - edge
                           ? int64_t{X} - std::min<int64_t>(half, int64_t{X} - edge)
                           : right - 2 * half - edge;
  LabelOut(p, left, top, Label);
}

void TScale::LinearPass(TPass& p) {
  const long double low = FRangeLow, high = FRangeHigh;
  const TTickStep ts = NiceTickStep(FAxis.MinTicks, low, high);
  if (ts.Step == 0) return;
  const long double minor = ts.Step / ts.Subdivisions;
  const long double dir = high > low ? 1.0L : -1.0L;
  p.Decimals = AutoDecimals(FAxis.DecPlaces, high, low);

  if (FAxis.ShortTicks) {
    for (long double k = 0;; k += 1) {
      const long double v = (ts.First - ts.Step) + k * minor;
      if (dir * v >= dir * low) {
        DrawTick(p, v, 4);
        RecordTick(v);
        RaiseTickDrawn(p, v);
      }
      const long double next = (ts.First - ts.Step) + (k + 1) * minor;
      if (!(dir * (next - high) <= 0.001L * std::fabs(minor)) || --p.Budget <= 0) break;
    }
  }

  const long double span = high - low;
  for (long double k = 0;; k += 1) {
    long double v = ts.First + k * ts.Step;
    // Horizontal scales with short ticks have recorded the majors already.
    if (!p.Horizontal || !FAxis.ShortTicks) RecordTick(v);
    DrawTick(p, v, p.Horizontal ? 7 : 6);
    if (!p.Horizontal) RaiseTickDrawn(p, v);
    if (FAxis.LabelType != TFigType::ftNoFigs) {
      std::string text;
      // A tick computed a hair from zero is zero.
      if (std::fabs(v / span) < 1e-14L) {
        v = 0;
        text = std::fabs(span) <= 100000 ? FormatTickValue(0, p.Decimals)
                                         : (p.Decimals != 0 ? "0.0" : "0");
      } else {
        text = FormatTickValue(v, p.Decimals);
      }
      if (text.size() > MaxTickLabelLength) text.resize(MaxTickLabelLength);
      // With DecPlaces 0 only whole-number ticks are labelled.
      if (FAxis.DecPlaces == 0 && std::fabs(v - std::nearbyintl(v)) > 1e-6L) text.clear();
      const int32_t number = RoundClamped(k + 1);
      text = FAxis.LabelType == TFigType::ftUserText ? UserTickItem(FAxis.UserTickText, number)
                                                     : ApplyInscript(text, FAxis.ScaleInscript);
      DrawLabel(p, v, std::move(text));
    }
    if (p.Horizontal) RaiseTickDrawn(p, v);
    const long double next = ts.First + (k + 1) * ts.Step;
    if (!(dir * (next - high) <= 0.001L * std::fabs(ts.Step)) || --p.Budget <= 0) break;
  }
}

// A category axis: a tick and the text at each whole position in range
// that has one; only the positions in range are visited.
void TScale::CategoryPass(TPass& p) {
  const long double low = std::fmin(FRangeLow, FRangeHigh), high = std::fmax(FRangeLow, FRangeHigh);
  const long double count = static_cast<long double>(FAxis.Categories.size());
  const long double first = std::fmax(std::ceil(low), 0.0L);
  const long double last = std::fmin(std::floor(high), count - 1);
  for (long double k = first; k <= last && --p.Budget > 0; k += 1) {
    RecordTick(k);
    DrawTick(p, k, p.Horizontal ? 7 : 6);
    if (!p.Horizontal) RaiseTickDrawn(p, k);
    if (FAxis.LabelType != TFigType::ftNoFigs)
      DrawLabel(p, k, FAxis.Categories[static_cast<size_t>(k)]);
    if (p.Horizontal) RaiseTickDrawn(p, k);
  }
}

void TScale::LogarithmicPass(TPass& p) {
  const long double low = FRangeLow, high = FRangeHigh;
  const long double decades = std::fabs(std::log10(high / low));
  if (!(decades >= 1)) {
    LinearPass(p);
    return;
  }
  const long double lower = std::fmin(low, high), upper = std::fmax(low, high);
  p.Decimals = AutoLogDecimals(FAxis.DecPlaces, upper, lower);
  constexpr long double T = 0.999999999L;  // tolerance factor
  const long double decade = std::pow(10.0L, std::floor(std::log10(lower * T)));
  long double mult = 1;
  int32_t labels = 0;
  const bool intermediate = FAxis.MinTicks > decades + 0.5L;

  auto tick = [&](int m, bool labelled) {
    const long double v = m * decade * mult;
    if (!(v / T > lower && v * T < upper)) return;
    if (!p.Horizontal) {
      if (!labelled && !FAxis.ShortTicks) return;
      RecordTick(v);
      DrawTick(p, v, 6);
    } else if (labelled || FAxis.ShortTicks) {
      RecordTick(v);
      DrawTick(p, v, labelled ? 7 : 4);
    } else {
      // No line, but the pen goes to the tick point and the event is raised.
      p.Canvas.MoveTo(DeviceValueToPixel(static_cast<double>(v)), p.Base);
    }
    RaiseTickDrawn(p, v);
    if (!labelled || FAxis.LabelType == TFigType::ftNoFigs) return;
    ++labels;
    std::string text;
    const int32_t exponent = RoundClamped(std::log10(decade * mult), 100000);
    if (FAxis.LogLabelStyle != TLogLabelStyle::llsPlain) {
      text = LogStyleLabel(FAxis.LogLabelStyle == TLogLabelStyle::llsPower, m, exponent);
    } else {
      if (p.Decimals == -3)  // exponents only, at the decades
        text = m == 1 ? FormatTickValue(exponent, 0) : std::string();
      else
        text = FormatTickValue(v, p.Decimals);
      if (text.size() > MaxTickLabelLength) text.resize(MaxTickLabelLength);
      if (FAxis.DecPlaces == -2) text = StripTrailingZeros(std::move(text));
    }
    text = FAxis.LabelType == TFigType::ftUserText ? UserTickItem(FAxis.UserTickText, labels)
                                                   : ApplyInscript(text, FAxis.ScaleInscript);
    DrawLabel(p, v, std::move(text));
  };

  do {
    tick(1, true);
    if (intermediate)
      for (int i = 2; i <= 9; ++i) tick(i, i == 2 || i == 5);
    mult *= 10;
    p.Budget -= intermediate ? 9 : 1;
  } while (!(upper < T * decade * mult) && p.Budget > 0);
}

}  // namespace vexa
