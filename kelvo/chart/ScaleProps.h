// The scale settings objects: the stored description of one axis of a
// layer (range, labels, placement), which the chart copies into the TScale
// that draws the axis.
#pragma once

#include <string>

#include "kelvo/base/DateFormat.h"
#include "kelvo/base/Enums.h"
#include "kelvo/platform/Graphics.h"
#include "kelvo/scale/Scale.h"

namespace vexa {

enum class TScaleLocationHoriz : uint8_t { slTop, slBottom };
enum class TScaleLocationVert : uint8_t { slLeft, slRight };
inline constexpr const char* TScaleLocationHorizNames[] = {"slTop", "slBottom"};
inline constexpr const char* TScaleLocationVertNames[] = {"slLeft", "slRight"};
inline constexpr const char* TScaleUnitAnchorNames[] = {"uaSclTopLft", "uaSclCenter",
                                                        "uaSclBotRgt"};

// A layer's axis settings as created: an axis', its caption at the corner.
inline TAxisSettings LayerAxisDefaults() {
  TAxisSettings a;
  a.CaptionPosX = a.CaptionPosY = 0;
  return a;
}

// Every published setter stores and then calls Changed, which fires
// OnChange; the rules of single setters are stated at them.
class TScaleProps : public TPersistent {
 public:
  TScaleProps();
  ~TScaleProps() override;

  const std::string& Caption() const { return FSettings.Axis.Caption; }
  void SetCaption(const std::string& Value);
  int32_t CaptionPosX() const { return FSettings.Axis.CaptionPosX; }
  void SetCaptionPosX(int32_t Value);
  int32_t CaptionPosY() const { return FSettings.Axis.CaptionPosY; }
  void SetCaptionPosY(int32_t Value);
  TAlignment CaptionAlignment() const { return FSettings.Axis.CaptionAlignment; }  // taCenter
  void SetCaptionAlignment(TAlignment Value);
  TScaleUnitAnchor CaptionAnchor() const { return FSettings.Axis.CaptionAnchor; }  // uaSclTopLft
  void SetCaptionAnchor(TScaleUnitAnchor Value);
  TColor ColorScale() const { return FSettings.Axis.ColorScale; }  // black
  void SetColorScale(TColor Value);
  // Owned; setting assigns the given format into it.
  TDTLabel& DateFormat() { return FDateFormat; }
  const TDTLabel& DateFormat() const { return FDateFormat; }
  void SetDateFormat(const TDTLabel& Value);
  int32_t DecPlaces() const { return FSettings.Axis.DecPlaces; }  // -2; kept within -3..12
  void SetDecPlaces(int32_t Value);
  // Owned; its changes fire this object's OnChange. Setting copies the given font in.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);
  bool Logarithmic() const { return FSettings.Axis.Logarithmic; }
  // True is taken at once while Loading: from construction until the
  // owning chart has read a stored form (Loaded), so a chart built in code
  // takes its settings in any order (logarithmic first, its range after).
  // Once loaded, True is taken only on a range whose ends are both >= 1e-100
  // and with LabelType other than ftDateTime; otherwise the axis stays
  // linear. Changed in every case. A logarithmic range that is not positive
  // raises nothing here: the chart's mapping reports it (UpdateMapping or a
  // paint raises EVexaKelvoError). While a stored form is read, this and
  // the other setters' rules between properties (LabelType's side effects,
  // the logarithmic floor of the range ends) are left out: the form holds a
  // state its chart held, and reading it gives that state back whatever
  // order the setters would need.
  void SetLogarithmic(bool Value);
  TFigType LabelType() const { return FSettings.Axis.LabelType; }  // ftNum
  // ftDateTime also switches Logarithmic off; ftTime also sets DecPlaces 4.
  void SetLabelType(TFigType Value);
  int32_t MinTicks() const { return FSettings.Axis.MinTicks; }  // 3
  void SetMinTicks(int32_t Value);
  double MinRange() const { return FSettings.MinRange; }  // 1e-10
  // Values <= 1e-100 are ignored silently; a narrower range is widened
  // about its centre (and only then notified).
  void SetMinRange(double Value);
  double RangeLow() const { return FSettings.RangeLow; }  // 0
  // Keeps the two ends at least MinRange apart; on a logarithmic axis a
  // value below 1e-100 is ignored, and so is a value that is not finite.
  // Changed in every case.
  void SetRangeLow(double Value);
  double RangeHigh() const { return FSettings.RangeHigh; }  // 1
  void SetRangeHigh(double Value);
  bool ShortTicks() const { return FSettings.Axis.ShortTicks; }  // True
  void SetShortTicks(bool Value);
  // As TScale's (stored only when set).
  TLogLabelStyle LogLabelStyle() const { return FSettings.Axis.LogLabelStyle; }  // llsPlain
  void SetLogLabelStyle(TLogLabelStyle Value);
  bool AvoidLabelOverlap() const { return FSettings.Axis.AvoidLabelOverlap; }  // False
  void SetAvoidLabelOverlap(bool Value);
  bool CaptionRotated() const { return FSettings.Axis.CaptionRotated; }  // False
  void SetCaptionRotated(bool Value);
  const std::string& ScaleInscript() const { return FSettings.Axis.ScaleInscript; }
  void SetScaleInscript(const std::string& Value);
  // The axis' outward distance from the plot area: one slot for horizontal
  // and one for vertical scale types, chosen by ScaleType.
  int32_t ScalePos() const;
  void SetScalePos(int32_t Value);
  const std::string& UserTickText() const { return FSettings.Axis.UserTickText; }
  void SetUserTickText(const std::string& Value);
  // Texts at the whole positions 0, 1, 2 ... instead of numbers (TScale's
  // Categories); stored only when not empty.
  const std::vector<std::string>& Categories() const { return FSettings.Axis.Categories; }
  void SetCategories(std::vector<std::string> Value);
  bool Visible() const { return FSettings.Visible; }  // False
  void SetVisible(bool Value);

  // The settings the axis drawing this layer's axis takes over as they are.
  const TAxisSettings& AxisSettings() const { return FSettings.Axis; }

  // Not published.
  TScaleType ScaleType() const { return FSettings.ScaleType; }
  void SetScaleType(TScaleType Value);
  bool Loading() const { return FSettings.Loading; }  // True from construction
  void SetLoading(bool Value) { FSettings.Loading = Value; }
  // The chart's range application stores ranges directly: no setter rules,
  // no notification.
  void StoreRangeLow(double Value) { FSettings.RangeLow = Value; }
  void StoreRangeHigh(double Value) { FSettings.RangeHigh = Value; }

  TNotifyEvent OnChange;

  // Copies every field of this class (OnChange, Loading, ScaleType, both
  // ScalePos slots, font and date format contents); not ScaleLocation;
  // notifies nobody.
  void Assign(const TPersistent* Source) override;
  const TPropertyTable* Properties() const override;
  void FormReadBegin() override { FReadingForm = true; }
  void FormReadEnd() override { FReadingForm = false; }

 protected:
  void AssignTo(TPersistent* Dest) const override;
  void Changed() {
    if (OnChange) OnChange(this);
  }
  static void PublishBase(TPropertyTable& Table);

 private:
  // The settings as one value, so that Assign copies them with one
  // assignment; the owned date format and font are objects of their own.
  struct TSettings {
    TAxisSettings Axis = LayerAxisDefaults();
    bool Loading = true;
    double RangeLow = 0, RangeHigh = 1;
    TScaleType ScaleType = TScaleType::sctXT;
    int32_t VertPos = 0, HorizPos = 0;
    double MinRange = 1e-10;
    bool Visible = false;
  } FSettings;
  TDTLabel FDateFormat;
  TFont FFont;
  bool FReadingForm = false;
};

class TScalePropsHoriz : public TScaleProps {
 public:
  TScaleLocationHoriz ScaleLocation() const { return FScaleLocation; }  // slBottom
  // slTop makes the scale sctXB (axis above the plot), slBottom sctXT.
  void SetScaleLocation(TScaleLocationHoriz Value);
  const TPropertyTable* Properties() const override;

 private:
  TScaleLocationHoriz FScaleLocation = TScaleLocationHoriz::slBottom;
};

class TScalePropsVert : public TScaleProps {
 public:
  // A vertical settings object starts with the vertical type its default
  // location stands for, so its ScalePos slot is the vertical one from the start.
  TScalePropsVert();
  TScaleLocationVert ScaleLocation() const { return FScaleLocation; }  // slLeft
  // slLeft makes the scale sctYR (axis left of the plot), slRight sctYL.
  void SetScaleLocation(TScaleLocationVert Value);
  const TPropertyTable* Properties() const override;

 private:
  TScaleLocationVert FScaleLocation = TScaleLocationVert::slLeft;
};

}  // namespace vexa
