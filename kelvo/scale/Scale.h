// TScale, the axis control: a base line, tick marks, tick labels, a caption
// and, when opaque, a background and a bevelled frame. It stands alone on a
// form or serves as one of a chart's 32 axes, painting into the chart's
// bitmap through SetDrawTarget.
//
// The class keeps apart where ticks go (NiceTickStep and the passes), what
// they say (TickLabels.h), how values map to pixels (UpdateScaleFactors,
// ValueToPixel) and the painting (Paint, the passes' drawing steps).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "kelvo/base/DateFormat.h"
#include "kelvo/base/Enums.h"
#include "kelvo/platform/Controls.h"
#include "kelvo/platform/Events.h"
#include "kelvo/scale/AxisSettings.h"

namespace vexa {

enum class TClockUnit : uint8_t;  // DateTimeLabels.h

// A chart binds its axes' tick events to its own lifetime (TEvent), so an
// axis that copied them with Assign calls nobody once the chart is gone.
using TScaleTickDrawnEvent = TEvent<void(TObject* Sender, TCanvas& Canvas, TScaleType ScaleType,
                                         double CurrentTickPos, int32_t ChartX, int32_t ChartY)>;
using TBeforeTickLabelEvent = TEvent<void(TObject* Sender, TScaleType ScaleType,
                                          double CurrentTickPos, std::string& TickLabel)>;
using TScaleRenderedEvent = std::function<void(TObject* Sender, TCanvas& Canvas)>;

class TScale : public TCustomControl {
 public:
  static constexpr int TickTableSize = 250;

  explicit TScale(TComponent* AOwner = nullptr);
  ~TScale() override;

  // --- published properties (creation value; setter rule) ---
  const std::string& Caption() const { return FAxis.Caption; }  // empty
  void SetCaption(const std::string& Value);                    // store; repaint
  int32_t CaptionPosX() const { return FAxis.CaptionPosX; }     // 4
  void SetCaptionPosX(int32_t Value);                           // store; repaint
  int32_t CaptionPosY() const { return FAxis.CaptionPosY; }     // 4
  void SetCaptionPosY(int32_t Value);
  TAlignment CaptionAlignment() const { return FAxis.CaptionAlignment; }  // taCenter
  void SetCaptionAlignment(TAlignment Value);
  TScaleUnitAnchor CaptionAnchor() const { return FAxis.CaptionAnchor; }  // uaSclTopLft
  void SetCaptionAnchor(TScaleUnitAnchor Value);
  TColor ColorBackGnd() const { return FColorBackGnd; }  // clBtnFace; only if different
  void SetColorBackGnd(TColor Value);
  TColor ColorScale() const { return FAxis.ColorScale; }  // clBlack; only if different
  void SetColorScale(TColor Value);
  TColorScheme ColorScheme() const { return FColorScheme; }  // csBWG; sets the frame colours
  void SetColorScheme(TColorScheme Value);
  TDTLabel& DateFormat() { return FDateFormat; }  // copies the given settings in
  const TDTLabel& DateFormat() const { return FDateFormat; }
  void SetDateFormat(const TDTLabel& Value);
  int32_t DecPlaces() const { return FAxis.DecPlaces; }  // -2; clamped to -3..12; remap
  void SetDecPlaces(int32_t Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }  // fsLowered; only if different
  void SetFrameStyle(TFrameStyle Value);
  TFigType LabelType() const { return FAxis.LabelType; }  // ftNum
  // ftDateTime also switches Logarithmic off; ftTime also sets DecPlaces 4.
  void SetLabelType(TFigType Value);
  bool Logarithmic() const { return FAxis.Logarithmic; }  // False
  // True is taken only while Loading, or on a range of positive ends
  // (>= 1e-100) with LabelType other than ftDateTime.
  void SetLogarithmic(bool Value);
  int32_t MarginTop() const { return FMarginTop; }  // 20 each; negative becomes 0; remap
  void SetMarginTop(int32_t Value);
  int32_t MarginBottom() const { return FMarginBottom; }
  void SetMarginBottom(int32_t Value);
  int32_t MarginLeft() const { return FMarginLeft; }
  void SetMarginLeft(int32_t Value);
  int32_t MarginRight() const { return FMarginRight; }
  void SetMarginRight(int32_t Value);
  int32_t MinTicks() const { return FAxis.MinTicks; }  // 3; 0 stays, others clamped to 2..10
  void SetMinTicks(int32_t Value);
  int32_t NumTicks() const { return FNumTicks; }  // ticks recorded by the last paint
  double RangeLow() const { return FRangeLow; }   // 0
  // Equal ends are never stored: the other end moves to the new value + 1.
  // An end that is not finite is ignored.
  void SetRangeLow(double Value);
  double RangeHigh() const { return FRangeHigh; }  // 100
  void SetRangeHigh(double Value);
  const std::string& ScaleInscript() const { return FAxis.ScaleInscript; }  // empty
  void SetScaleInscript(const std::string& Value);
  TScaleType ScaleType() const { return FScaleType; }  // sctXB; only if different; remap
  void SetScaleType(TScaleType Value);
  bool ShortTicks() const { return FAxis.ShortTicks; }  // True; only if different
  void SetShortTicks(bool Value);
  // A vertical axis' caption turned to read upwards, centred along the axis
  // outside its labels, kept inside the control (False; CaptionPosX/Y,
  // CaptionAnchor and CaptionAlignment then do not apply).
  bool CaptionRotated() const { return FAxis.CaptionRotated; }
  void SetCaptionRotated(bool Value);
  // How a logarithmic axis writes its numbers (llsPlain).
  TLogLabelStyle LogLabelStyle() const { return FAxis.LogLabelStyle; }
  void SetLogLabelStyle(TLogLabelStyle Value);
  // A label that would overlap a label drawn before it on this axis is left
  // out; its tick stays (False). For every kind of axis.
  bool AvoidLabelOverlap() const { return FAxis.AvoidLabelOverlap; }
  void SetAvoidLabelOverlap(bool Value);
  bool ShowBaseLine() const { return FShowBaseLine; }  // True
  void SetShowBaseLine(bool Value);
  bool Transparent() const { return FTransparent; }  // False
  void SetTransparent(bool Value);
  const std::string& UserTickText() const {
    return FAxis.UserTickText;
  }  // empty; items separated by "|"
  void SetUserTickText(const std::string& Value);
  // Texts at the whole positions 0, 1, 2 ... in range, a tick at each and
  // none between, instead of numbers or dates (empty, as created: those).
  const std::vector<std::string>& Categories() const { return FAxis.Categories; }
  void SetCategories(std::vector<std::string> Value);

  // The settings above that a chart layer's axis settings share, all at
  // once: each by its setter's rule (the clamps, ftTime's DecPlaces 4, a
  // logarithmic axis only on a positive range and not for ftDateTime), then
  // one remap and one repaint.
  const TAxisSettings& AxisSettings() const { return FAxis; }
  void SetAxisSettings(const TAxisSettings& Value);

  TScaleTickDrawnEvent OnScaleTickDrawn;
  TBeforeTickLabelEvent OnBeforeTickLabel;
  TScaleRenderedEvent OnBeforeScaleRendered;
  TScaleRenderedEvent OnAfterScaleRendered;

  // --- frame colours and mapping state ---
  TColor FrameColorDark() const { return FFrameColorDark; }
  TColor FrameColorShadow() const { return FFrameColorShadow; }
  TColor FrameColorLight() const { return FFrameColorLight; }
  double ScaleFactor() const { return FScaleFactor; }
  double ScaleOffset() const { return FScaleOffset; }
  bool ScaleLoading() const { return FLoading; }

  // --- public operations ---
  bool PaintSuspended() const { return FPaintSuspended; }
  void SetPaintSuspended(bool Value);  // unsuspending repaints
  // Paints once even while suspended.
  void ForcePaint();
  bool ChartOwned() const { return FChartOwned; }
  void SetChartOwned(bool Value);
  // Paint onto Canvas with the given offsets instead of the own window
  // surface; nullptr goes back to the own surface. The target is held with
  // its lifetime: once that canvas is destroyed the axis paints on its own
  // surface again (DrawTarget() is nullptr), also in a copy made by Assign.
  void SetDrawTarget(TCanvas* Canvas, int32_t OffsetX, int32_t OffsetY);
  TCanvas* DrawTarget() const { return FDrawTargetLife.expired() ? nullptr : FDrawTarget; }
  // Tick table entry Index (1-based) of the last paint, 0.0 outside 1..NumTicks.
  double TickPos(int32_t Index) const;
  // The pixel of a value along the axis, in the control's own coordinates.
  int32_t ValueToPixel(double Value) const;
  // The same at the device scale: the value's pixel on the device surface
  // the axis paints on (ValueToPixel at a ratio of 1).
  int32_t DeviceValueToPixel(double Value) const;
  void UpdateScaleFactors();
  // Repaint now, or (transparent and not chart-owned) let the window system repaint.
  void RequestRepaint();

  void Paint() override;
  void CreateWnd() override;
  void Loaded() override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void Assign(const TPersistent* Source) override;

 protected:
  void AssignTo(TPersistent* Dest) const override;

 private:
  long double ExactPixel(double Value) const;
  struct TPass;  // the state of one tick pass (TickPass.h)

  void PaintHorizontal(TCanvas& Canvas, int32_t BaseY);
  void PaintVertical(TCanvas& Canvas, int32_t BaseX);
  void RunTickPass(TCanvas& Canvas, int32_t Base);
  void LinearPass(TPass& Pass);
  void CategoryPass(TPass& Pass);
  void LogarithmicPass(TPass& Pass);
  // Time of day (seconds); false when the range's steps fit no table entry.
  bool TimeOfDayPass(TPass& Pass);
  // Dates and clock times (days), with the messages for unusable ranges.
  void DateTimePass(TPass& Pass);
  void DateTimeMessage(TPass& Pass, bool Invalid);
  void ClockTimePass(TPass& Pass, TClockUnit Unit, long double Ideal);
  void DayPass(TPass& Pass, long double Ideal);
  void MonthPass(TPass& Pass);
  void YearPass(TPass& Pass);
  // A label beside a vertical scale's tick at Value: its top Lines half
  // heights of the text above the tick, left of or right of the base line.
  void DrawSideText(TPass& Pass, long double Value, std::string Text, int Lines);
  // A date or time label: beside a vertical tick, under or over a horizontal one.
  void DrawDateTimeLabel(TPass& Pass, long double Value, std::string Text);
  // A recorded tick of the day, month or year passes: a major one with its
  // label, or a short one without, then the tick event.
  void DrawCalendarTick(TPass& Pass, long double Value, bool Major, std::string Text);
  void RecordTick(long double Value);
  void DrawTick(TPass& Pass, long double Value, int Length);
  void RaiseTickDrawn(TPass& Pass, long double Value);
  // Raises OnBeforeTickLabel, then draws the label by orientation.
  void DrawLabel(TPass& Pass, long double Value, std::string Label);
  void PlaceHorizontalLabel(TPass& Pass, int32_t X, int32_t BaseY, long double Value,
                            std::string Label);
  // LabelExtent: how far the widest label reached from the base line's gap.
  void PaintCaption(TCanvas& Canvas, int32_t Base, int64_t LabelExtent);
  // Tick labels are measured and written through these: a label of the
  // power style ("10^-6") has its exponent raised in a smaller font, and
  // with AvoidLabelOverlap a label whose box meets one drawn before is left
  // out (false).
  int64_t LabelWidth(TCanvas& Canvas, const std::string& Label);
  bool LabelOut(TPass& Pass, int64_t X, int64_t Y, const std::string& Label);

  TFrameStyle FFrameStyle = TFrameStyle::fsLowered;
  TColor FColorBackGnd = clBtnFace;
  TColor FFrameColorDark = clBlack, FFrameColorShadow = clGray, FFrameColorLight = clWhite;
  TColorScheme FColorScheme = TColorScheme::csBWG;
  double FScaleFactor = 1, FScaleOffset = 0;
  double FRangeHigh = 100, FRangeLow = 0;
  int32_t FNumTicks = 0;
  TAxisSettings FAxis;
  bool FLoading = true, FShowBaseLine = true, FTransparent = false;
  TDTLabel FDateFormat;
  int32_t FMarginTop = 20, FMarginBottom = 20, FMarginRight = 20, FMarginLeft = 20;
  bool FChartOwned = false;
  std::array<double, TickTableSize> FTicks{};
  TCanvas* FDrawTarget = nullptr;
  std::weak_ptr<const void> FDrawTargetLife;  // expired: FDrawTarget is gone
  int32_t FOffsetX = 0, FOffsetY = 0;
  TScaleType FScaleType = TScaleType::sctXB;
  bool FPaintSuspended = true;
  TBitmap FOpaqueBitmap;  // reused by opaque paints
  TLifetime FLifetime;    // the date format's notification is bound to it
};

}  // namespace vexa
