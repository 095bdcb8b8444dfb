// The chart's plain published properties and its stored form.
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/platform/Streaming.h"

namespace vexa {

void TCustomKelvo::SetAvoidDuplicateMarks(bool Value) {
  if (Value == FSettings.AvoidDuplicateMarks) return;
  FSettings.AvoidDuplicateMarks = Value;
  RepaintAfterChange();
}

void TCustomKelvo::SetMinDupMarkDist(int32_t Value) {
  if (Value == FSettings.MinDupMarkDist) return;
  FSettings.MinDupMarkDist = Value <= 0 ? 1 : (Value >= 4 ? 3 : Value);
  RepaintAfterChange();
}

void TCustomKelvo::SetBackGroundImg(const TBakGndImg& Value) {
  TNotifyEvent wiring = FBackGroundImg->OnChange;  // the chart keeps its own object wired to itself
  FBackGroundImg->Assign(&Value);
  FBackGroundImg->OnChange = std::move(wiring);
  RepaintIfAuto();
}

void TCustomKelvo::SetJointLayers(const TJointLayers& Value) {
  TNotifyEvent wiring = FJointLayers->OnChange;
  FJointLayers->Assign(&Value);
  FJointLayers->OnChange = std::move(wiring);
  RepaintIfAuto();
}

void TCustomKelvo::SetCrossHair(int32_t Index, const TCrossHair& Value) {
  TCrossHair& own = CrossHair(Index);
  TNotifyEvent wiring = own.OnChange;
  own.Assign(&Value);
  own.OnChange = std::move(wiring);
  RepaintIfAuto();
}

namespace {
// Copies settings into a chart-owned settings object; the object and its
// date format keep notifying the chart, never the given object's listener.
void CopyKeepingWiring(TScaleProps& Own, const TScaleProps& Given) {
  TNotifyEvent wiring = Own.OnChange, dateWiring = Own.DateFormat().OnChange;
  Own.Assign(&Given);
  Own.OnChange = std::move(wiring);
  Own.DateFormat().OnChange = std::move(dateWiring);
}
}  // namespace

// A written settings object reaches the axes and the mapping at once (while
// loading, Loaded does that); the picture is repainted only in design mode.
void TCustomKelvo::ApplyWrittenScaleSettings() {
  if (!IsLoading()) {
    TPaintLockScope lock(*this);
    ApplyScaleSettings();
  }
  if (IsDesigning()) RepaintAfterChange();
}

void TCustomKelvo::SetScaleX(int32_t Layer, const TScalePropsHoriz& Value) {
  CopyKeepingWiring(ScalePropsX(Layer), Value);
  ApplyWrittenScaleSettings();
}

void TCustomKelvo::SetScaleY(int32_t Layer, const TScalePropsVert& Value) {
  CopyKeepingWiring(ScalePropsY(Layer), Value);
  ApplyWrittenScaleSettings();
}

void TCustomKelvo::SetGridStyle(GridStyleType Value) {
  FSettings.GridStyle = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetGridDx(double Value) {
  if (Value < -3.0) return;
  FSettings.GridDx = Value;
  RepaintIfAuto();
}

void TCustomKelvo::SetGridDy(double Value) {
  if (Value < -3.0) return;
  FSettings.GridDy = Value;
  RepaintIfAuto();
}

#define KELVO_STORE_REPAINT(Name, Type, Field) \
  void TCustomKelvo::Set##Name(Type Value) {   \
    Field = Value;                             \
    RepaintIfAuto();                           \
  }
KELVO_STORE_REPAINT(ChartFrameColor, TColor, FSettings.ChartFrameColor)
KELVO_STORE_REPAINT(ChartColor, TColor, FSettings.ChartColor)
KELVO_STORE_REPAINT(WindColor, TColor, FSettings.WindColor)
KELVO_STORE_REPAINT(GridColor, TColor, FSettings.GridColor)
KELVO_STORE_REPAINT(CaptionPosX, int32_t, FSettings.CaptionPosX)
KELVO_STORE_REPAINT(CaptionPosY, int32_t, FSettings.CaptionPosY)
KELVO_STORE_REPAINT(CaptionAlignment, TAlignment, FSettings.CaptionAlignment)
KELVO_STORE_REPAINT(CaptionAnchorHoriz, TCaptionAnchorHoriz, FSettings.CaptionAnchorHoriz)
KELVO_STORE_REPAINT(CaptionAnchorVert, TCaptionAnchorVert, FSettings.CaptionAnchorVert)
KELVO_STORE_REPAINT(ShadowStyle, TShadowStyle, FSettings.ShadowStyle)
KELVO_STORE_REPAINT(ShadowColor, TColor, FSettings.ShadowColor)
KELVO_STORE_REPAINT(ShadowBakColor, TColor, FSettings.ShadowBakColor)
#undef KELVO_STORE_REPAINT

void TCustomKelvo::SetCaption(const std::string& Value) {
  FSettings.Caption = Value;
  RepaintIfAuto();
}

namespace {

// UseDataOf is stored as the name of the chart whose list is used (only
// while one is), and read by finding that name among the components of the
// reading chart's owner, which all exist by then.
TCustomKelvo* FindChart(const TCustomKelvo& Reader, const std::string& Name) {
  return Reader.Owner() ? dynamic_cast<TCustomKelvo*>(Reader.Owner()->FindComponent(Name))
                        : nullptr;
}

TPropInfo UseDataOfProperty() {
  TPropInfo p;
  p.Name = "UseDataOf";
  p.Write = [](const TPersistent& o) {
    const TCustomKelvo* source = static_cast<const TCustomKelvo&>(o).UseDataOf();
    return WriteString(source ? source->Name() : std::string());
  };
  p.Check = [](const TFormValue& v) { ReadString(v); };
  p.Apply = [](TPersistent& o, const TFormValue& v) {
    auto& k = static_cast<TCustomKelvo&>(o);
    const std::string name = ReadString(v);
    k.SetUseDataOf(name.empty() ? nullptr : FindChart(k, name));
  };
  p.IsDefault = [](const TPersistent& o) {
    return static_cast<const TCustomKelvo&>(o).UseDataOf() == nullptr;
  };
  // A source without a name is written as "", which reads as none: a failed
  // read puts the link itself back.
  p.Remember = [](TPersistent& o) -> std::function<void()> {
    auto& k = static_cast<TCustomKelvo&>(o);
    return [&k, source = k.UseDataOf()] {
      if (k.UseDataOf() != source) k.SetUseDataOf(source);
    };
  };
  return p;
}

}  // namespace

// What Loaded would refuse is refused before anything is applied: a
// UseDataOf that names no chart of the same owner. A logarithmic axis whose
// range is not positive is read as stored (a chart built in code may hold
// it for a while, and writes it so) and reported when the chart maps it at
// a paint or an UpdateMapping.
void TCustomKelvo::ValidateForm(const nlohmann::ordered_json& Form) const {
  TCustomControl::ValidateForm(Form);
  if (auto it = Form.find("UseDataOf"); it != Form.end()) {
    const std::string name = ReadString(*it);
    if (!name.empty() && !FindChart(*this, name))
      throw TFormPropertyError{"UseDataOf", "no chart named \"" + name + "\" belongs to " +
                                                (Owner() ? "the same owner" : "an owner")};
  }
}

// Stored form: the control's bounds first, then the chart's published
// properties in their streaming order, then the control's font and
// visibility.
const TPropertyTable* TCustomKelvo::Properties() const {
  static const TPropertyTable table = [] {
    using K = TCustomKelvo;
    TPropertyTable t;
    TPublish<K> p(t);
    p.Int("Left", &K::Left, [](K& k, int64_t v) { k.SetLeft(int32_t(v)); })
        .Int("Top", &K::Top, [](K& k, int64_t v) { k.SetTop(int32_t(v)); })
        .Int(
            "Width", &K::Width, [](K& k, int64_t v) { k.SetWidth(int32_t(v)); }, {}, 0,
            MaxBitmapSide)
        .Int(
            "Height", &K::Height, [](K& k, int64_t v) { k.SetHeight(int32_t(v)); }, {}, 0,
            MaxBitmapSide)
        .Bool("AvoidDuplicateMarks", &K::AvoidDuplicateMarks, &K::SetAvoidDuplicateMarks)
        .Int("AllocSize", &K::AllocSize, &K::SetAllocSize)
        .Bool("AutoRedraw", &K::AutoRedraw, &K::SetAutoRedraw)
        // The margins' declared defaults are their creation values, so that
        // every other value is written and a form gives back what it held.
        .Int("MarginLeft", &K::MarginLeft, &K::SetMarginLeft, 50)
        .Int("MarginRight", &K::MarginRight, &K::SetMarginRight, 20)
        .Int("MarginTop", &K::MarginTop, &K::SetMarginTop, 20)
        .Int("MarginBottom", &K::MarginBottom, &K::SetMarginBottom, 40)
        .Int("MinDupMarkDist", &K::MinDupMarkDist, &K::SetMinDupMarkDist)
        .Int("LRim", &K::LRim, &K::SetLRim, 50)
        .Int("RRim", &K::RRim, &K::SetRRim, 20)
        .Int("TRim", &K::TRim, &K::SetTRim, 20)
        .Int("BRim", &K::BRim, &K::SetBRim, 40)
        .Object<TBakGndImg>("BackGroundImg", [](K& k) -> TBakGndImg& { return k.BackGroundImg(); })
        .Int(
            "ClassDefault", &K::ClassDefault,
            [](K& k, int64_t v) { k.SetClassDefault(uint8_t(v)); }, {}, 0, 255)
        .Enum<GridStyleType>("GridStyle", &K::GridStyle, &K::SetGridStyle, GridStyleTypeNames)
        .Double("GridDx", &K::GridDx, &K::SetGridDx)
        .Double("GridDy", &K::GridDy, &K::SetGridDy)
        .Bool("Isometric", &K::Isometric, &K::SetIsometric)
        .Color("DataColor", &K::DataColor, &K::SetDataColor, clBlack)
        .Enum<TPenStyle>("PenStyle", &K::PenStyle, &K::SetPenStyle, PenStyleNames,
                         TPenStyle::psSolid)
        .Color("ChartFrameColor", &K::ChartFrameColor, &K::SetChartFrameColor, clBlack)
        .Color("FillColor", &K::FillColor, &K::SetFillColor, clSilver)
        .Color("ChartColor", &K::ChartColor, &K::SetChartColor, clWhite)
        .Color("WindColor", &K::WindColor, &K::SetWindColor, clBtnFace)
        .Color("GridColor", &K::GridColor, &K::SetGridColor, clBlack)
        .Object<TJointLayers>("JointLayers", [](K& k) -> TJointLayers& { return k.JointLayers(); })
        .Int(
            "LineWidth", &K::LineWidth, [](K& k, int64_t v) { k.SetLineWidth(uint8_t(v)); }, 1, 0,
            255)
        .String("Caption", &K::Caption, &K::SetCaption)
        .Int("CaptionPosX", &K::CaptionPosX, &K::SetCaptionPosX)
        .Int("CaptionPosY", &K::CaptionPosY, &K::SetCaptionPosY)
        .Enum<TAlignment>("CaptionAlignment", &K::CaptionAlignment, &K::SetCaptionAlignment,
                          AlignmentNames)
        .Enum<TCaptionAnchorHoriz>("CaptionAnchorHoriz", &K::CaptionAnchorHoriz,
                                   &K::SetCaptionAnchorHoriz, TCaptionAnchorHorizNames)
        .Enum<TCaptionAnchorVert>("CaptionAnchorVert", &K::CaptionAnchorVert,
                                  &K::SetCaptionAnchorVert, TCaptionAnchorVertNames);
    for (int32_t i = 1; i <= CrossHairCount; ++i)
      p.Object<TCrossHair>(("CrossHair" + std::to_string(i)).c_str(),
                           [i](K& k) -> TCrossHair& { return k.CrossHair(i); });
    p.Enum<TMouseActMode>("MouseAction", &K::MouseAction, &K::SetMouseAction, TMouseActModeNames)
        .Bool("MouseCursorFixed", &K::MouseCursorFixed, &K::SetMouseCursorFixed)
        .Double("PanGridDx", &K::PanGridDx, &K::SetPanGridDx)
        .Double("PanGridDy", &K::PanGridDy, &K::SetPanGridDy);
    for (int32_t n = 1; n <= StoredLayerCount; ++n) {
      p.Object<TScalePropsHoriz>(("Scale" + std::to_string(n) + "X").c_str(),
                                 [n](K& k) -> TScalePropsHoriz& { return k.ScalePropsX(n); });
      p.Object<TScalePropsVert>(("Scale" + std::to_string(n) + "Y").c_str(),
                                [n](K& k) -> TScalePropsVert& { return k.ScalePropsY(n); });
    }
    // StandardLayout is read but never written.
    TPropInfo layout;
    layout.Name = "StandardLayout";
    layout.Write = [](const TPersistent& o) {
      return TFormValue(
          EnumName(TkvLayoutNames, static_cast<int>(static_cast<const K&>(o).StandardLayout())));
    };
    layout.Check = [](const TFormValue& v) { EnumValue(TkvLayoutNames, v); };
    layout.Apply = [](TPersistent& o, const TFormValue& v) {
      static_cast<K&>(o).SetStandardLayout(static_cast<TkvLayout>(EnumValue(TkvLayoutNames, v)));
    };
    layout.IsDefault = [](const TPersistent&) { return true; };
    layout.Restorable = false;  // it sets margins and axes that are restored themselves
    p.Custom(std::move(layout));
    p.Int("ShadowWidth", &K::ShadowWidth, &K::SetShadowWidth, 0)
        .Enum<TShadowStyle>("ShadowStyle", &K::ShadowStyle, &K::SetShadowStyle, TShadowStyleNames)
        .Color("ShadowColor", &K::ShadowColor, &K::SetShadowColor)
        .Color("ShadowBakColor", &K::ShadowBakColor, &K::SetShadowBakColor)
        .Custom(UseDataOfProperty())
        .Set(
            "TextFontStyle", [](const K& k) { return k.TextFontStyle().Bits(); },
            [](K& k, uint32_t b) { k.SetTextFontStyle(TFontStyles::FromBits(b)); }, FontStyleNames)
        .Enum<TTextBkg>("TextBkStyle", &K::TextBkStyle, &K::SetTextBkStyle, TTextBkgNames)
        .Color("TextBkColor", &K::TextBkColor, &K::SetTextBkColor)
        .Enum<TAlignment>("TextAlignment", &K::TextAlignment, &K::SetTextAlignment, AlignmentNames)
        .Object<TFont>("Font", [](K& k) -> TFont& { return k.Font(); })
        .Bool("Visible", &K::Visible, [](K& k, bool v) { k.SetVisible(v); })
        // The framework's own properties of the control, left out at their defaults.
        .Enum<TAlign>("Align", &K::Align, &K::SetAlign, TAlignNames, TAlign::alNone)
        .Set(
            "Anchors", [](const K& k) { return k.Anchors().Bits(); },
            [](K& k, uint32_t b) { k.SetAnchors(TAnchors::FromBits(b)); }, TAnchorKindNames,
            TAnchors{TAnchorKind::akLeft, TAnchorKind::akTop}.Bits())
        .Object<TSizeConstraints>("Constraints",
                                  [](K& k) -> TSizeConstraints& { return k.Constraints(); })
        .Int(
            "Cursor", &K::Cursor, [](K& k, int64_t v) { k.SetCursor(TCursor(v)); }, 0, -32768,
            32767)
        .Bool("Enabled", &K::Enabled, &K::SetEnabled, true)
        .String("Hint", &K::Hint, &K::SetHint, std::string())
        .Bool("ShowHint", &K::ShowHint, &K::SetShowHint, false)
        .Int(
            "TabOrder", &K::TabOrder, [](K& k, int64_t v) { k.SetTabOrder(int32_t(v)); }, 0, 0,
            INT32_MAX)
        .Bool("TabStop", &K::TabStop, &K::SetTabStop, true)
        // Additions that are off by default.
        .Bool("MouseWheelZoom", &K::MouseWheelZoom, &K::SetMouseWheelZoom, false)
        .Double("WheelZoomFactor", &K::WheelZoomFactor, &K::SetWheelZoomFactor, 1.25)
        .Bool("ZoomHistoryKeys", &K::ZoomHistoryKeys, &K::SetZoomHistoryKeys, false)
        .Bool("CrossHairSnap", &K::CrossHairSnap, &K::SetCrossHairSnap, false)
        .Bool("ItemHover", &K::ItemHover, &K::SetItemHover, false)
        .Int(
            "ItemPixels", &K::ItemPixels, [](K& k, int64_t v) { k.SetItemPixels(int32_t(v)); }, 8,
            0, INT32_MAX)
        .String("SeriesPalette", &K::SeriesPaletteText, &K::SetSeriesPaletteText, std::string())
        .Bool("AntiAliased", &K::AntiAliased, &K::SetAntiAliased, false)
        .Bool("SvgPixelSnap", &K::SvgPixelSnap, &K::SetSvgPixelSnap, true)
        .Object<TLegend>("Legend", [](K& k) -> TLegend& { return k.Legend(); })
        .Object<TColorBar>("ColorBar", [](K& k) -> TColorBar& { return k.ColorBar(); });
    return t;
  }();
  return &table;
}

}  // namespace vexa
