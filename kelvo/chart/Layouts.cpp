// Margins, shadow width, the isometric switch, the seven standard layouts
// and resizing.
#include <algorithm>
#include <cmath>

#include "kelvo/chart/CustomKelvo.h"

namespace vexa {

namespace {

struct TAxisRow {
  int Code;  // 0 left, 1 right, 2 top, 3 bottom
  int32_t CaptionPosX, CaptionPosY;
  TAlignment Alignment;
  TScaleUnitAnchor Anchor;
  int32_t ScalePos;
  bool Visible;
};

struct TLayoutRow {
  int32_t MarginLeft, MarginRight, MarginTop, MarginBottom;
  int32_t CaptionPosX, CaptionPosY;
  TAlignment CaptionAlignment;
  TCaptionAnchorHoriz AnchorHoriz;
  TCaptionAnchorVert AnchorVert;
  TAxisRow X[4], Y[4];  // layers 1..4
};

constexpr TAlignment L = TAlignment::taLeftJustify, R = TAlignment::taRightJustify,
                     C = TAlignment::taCenter;
constexpr TScaleUnitAnchor TL = TScaleUnitAnchor::uaSclTopLft, CE = TScaleUnitAnchor::uaSclCenter;
constexpr TAxisRow HX{3, 10, 100, C, CE, 0, false};   // hidden x axis
constexpr TAxisRow HY{0, 10, 100, R, TL, 0, false};   // hidden y axis
constexpr TAxisRow HY23{0, 0, -23, R, TL, 0, false};  // hidden y axis of the last row
constexpr TAxisRow X1{3, 0, 22, C, CE, 0, true};      // the x axis below the plot
constexpr TAxisRow Y1Row1{0, 0, -16, L, TL, 0, true};
constexpr TAxisRow Y1{0, 0, -23, R, TL, 0, true};
constexpr TAxisRow Y2{0, 0, -23, R, TL, 50, true};
constexpr TAxisRow Y3{0, 0, -23, R, TL, 100, true};
constexpr TAxisRow Y4{0, 0, -23, R, TL, 150, true};

constexpr TCaptionAnchorHoriz CR = TCaptionAnchorHoriz::cahChartRight,
                              CC = TCaptionAnchorHoriz::cahChartCenter;
constexpr TCaptionAnchorVert CT = TCaptionAnchorVert::cavChartTop;

constexpr TLayoutRow kLayouts[7] = {
    // kvl_X1Bottom_Y1Left
    {50, 20, 20, 40, 0, -16, R, CR, CT, {X1, HX, HX, HX}, {Y1Row1, HY, HY, HY}},
    // kvl_X1Bottom_Y2Left
    {100, 20, 24, 40, 0, -16, R, CR, CT, {X1, HX, HX, HX}, {Y1, Y2, HY, HY}},
    // kvl_X1Bottom_Y3Left
    {150, 20, 24, 40, 0, -16, R, CR, CT, {X1, HX, HX, HX}, {Y1, Y2, Y3, HY}},
    // kvl_X1Bottom_Y4Left
    {200, 20, 24, 40, 0, -16, R, CR, CT, {X1, HX, HX, HX}, {Y1, Y2, Y3, Y4}},
    // kvl_X1Bottom_Y2Both
    {50,
     50,
     24,
     40,
     0,
     -20,
     C,
     CC,
     CT,
     {X1, HX, HX, HX},
     {Y1, {1, 0, -23, L, TL, 0, true}, HY, HY}},
    // kvl_X2Bottom_Y2Left
    {100,
     20,
     24,
     70,
     0,
     -16,
     R,
     CR,
     CT,
     {{3, -20, 7, R, TL, 0, true}, {3, -20, 7, R, TL, 30, true}, HX, HX},
     {Y1, Y2, HY, HY}},
    // kvl_X2Both_Y2Both
    {50,
     50,
     48,
     40,
     0,
     -46,
     C,
     CC,
     CT,
     {{3, -20, 7, R, TL, 0, true}, {2, -20, -24, R, TL, 0, true}, HX, HX},
     {{0, 0, -40, R, TL, 0, true}, {1, 0, -40, L, TL, 0, true}, HY23, HY23}},
};

}  // namespace

void TCustomKelvo::SetAxisMargins(int32_t Layer) {
  const auto plus = [](int64_t a, int64_t b) {
    return static_cast<int32_t>(std::clamp<int64_t>(a + b - 1, INT32_MIN, INT32_MAX));
  };
  ScaleX(Layer).SetMarginLeft(FSettings.MarginLeft);
  ScaleX(Layer).SetMarginRight(plus(FSettings.MarginRight, FSettings.ShadowWidth));
  ScaleY(Layer).SetMarginTop(FSettings.MarginTop);
  ScaleY(Layer).SetMarginBottom(plus(FSettings.MarginBottom, FSettings.ShadowWidth));
}

// Which: 0 left, 1 right, 2 top, 3 bottom. The field holds the margin in
// use: the stored value plus the room a legend beside the data area takes.
int32_t& TCustomKelvo::MarginField(int Which) {
  return Which == 0   ? FSettings.MarginLeft
         : Which == 1 ? FSettings.MarginRight
         : Which == 2 ? FSettings.MarginTop
                      : FSettings.MarginBottom;
}

void TCustomKelvo::SetMargin(int Which, int32_t Value) {
  MarginField(Which) = static_cast<int32_t>(std::clamp<int64_t>(
      int64_t{Value} + FSettings.LegendRoom[static_cast<size_t>(Which)], INT32_MIN, INT32_MAX));
  MarginChanged(Which);
  RepaintIfAuto();
}

void TCustomKelvo::MarginChanged(int Which) {
  SizeDataBitmap();
  TPaintLockScope lock(*this);  // the isometric fit below notifies per range
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (FSettings.Isometric) ApplyIsometric(n);
    CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    CopyScaleSettings(ScaleY(n), ScalePropsY(n));
    const auto withShadow = [this](int32_t m) {
      return static_cast<int32_t>(
          std::clamp<int64_t>(int64_t{m} + FSettings.ShadowWidth - 1, INT32_MIN, INT32_MAX));
    };
    switch (Which) {
      case 0:
        ScaleX(n).SetMarginLeft(FSettings.MarginLeft);
        break;
      case 1:
        ScaleX(n).SetMarginRight(withShadow(FSettings.MarginRight));
        break;
      case 2:
        ScaleY(n).SetMarginTop(FSettings.MarginTop);
        break;
      default:
        ScaleY(n).SetMarginBottom(withShadow(FSettings.MarginBottom));
        break;
    }
  }
  RemapLayers();
}

void TCustomKelvo::SetMarginLeft(int32_t Value) { SetMargin(0, Value); }
void TCustomKelvo::SetMarginRight(int32_t Value) { SetMargin(1, Value); }
void TCustomKelvo::SetMarginTop(int32_t Value) { SetMargin(2, Value); }
void TCustomKelvo::SetMarginBottom(int32_t Value) { SetMargin(3, Value); }

void TCustomKelvo::SetShadowWidth(int32_t Value) {
  FSettings.ShadowWidth = std::clamp(Value, 0, 32);
  SizeDataBitmap();
  for (int32_t n = 1; n <= LayerCount; ++n) {
    CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    CopyScaleSettings(ScaleY(n), ScalePropsY(n));
    SetAxisMargins(n);
  }
  RemapLayers();
  RepaintIfAuto();
}

void TCustomKelvo::SetIsometric(bool Value) {
  FSettings.Isometric = Value;
  if (!Value) return;
  TPaintLockScope lock(*this);  // each fitted range notifies; paint once at the end
  for (int32_t n = 1; n <= LayerCount; ++n) ApplyIsometric(n);
  lock.Restore();
  RepaintIfAuto();
}

void TCustomKelvo::SetStandardLayout(TkvLayout Value) {
  const auto index = static_cast<size_t>(Value);
  if (index >= std::size(kLayouts)) return;
  TPaintLockScope lock(*this);
  FSettings.StandardLayout = Value;
  const TLayoutRow& row = kLayouts[index];
  SetMarginLeft(row.MarginLeft);
  SetMarginRight(row.MarginRight);
  SetMarginTop(row.MarginTop);
  SetMarginBottom(row.MarginBottom);
  SetCaptionPosX(row.CaptionPosX);
  SetCaptionPosY(row.CaptionPosY);
  SetCaptionAlignment(row.CaptionAlignment);
  SetCaptionAnchorHoriz(row.AnchorHoriz);
  SetCaptionAnchorVert(row.AnchorVert);
  auto applyAxis = [](TScaleProps& p, const TAxisRow& a) {
    p.SetCaptionPosX(a.CaptionPosX);
    p.SetCaptionPosY(a.CaptionPosY);
    p.SetCaptionAlignment(a.Alignment);
    p.SetCaptionAnchor(a.Anchor);
    p.SetScalePos(a.ScalePos);
    p.SetVisible(a.Visible);
  };
  for (int32_t n = 1; n <= 4; ++n) {
    const TAxisRow& x = row.X[n - 1];
    const TAxisRow& y = row.Y[n - 1];
    if (x.Code == 2) ScalePropsX(n).SetScaleLocation(TScaleLocationHoriz::slTop);
    if (x.Code == 3) ScalePropsX(n).SetScaleLocation(TScaleLocationHoriz::slBottom);
    applyAxis(ScalePropsX(n), x);
    if (y.Code == 0) ScalePropsY(n).SetScaleLocation(TScaleLocationVert::slLeft);
    if (y.Code == 1) ScalePropsY(n).SetScaleLocation(TScaleLocationVert::slRight);
    applyAxis(ScalePropsY(n), y);
  }
  for (int32_t n = 5; n <= LayerCount; ++n) {
    ScalePropsX(n).SetVisible(false);
    ScalePropsY(n).SetVisible(false);
  }
  for (int32_t n = 1; n <= LayerCount; ++n) {
    CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    CopyScaleSettings(ScaleY(n), ScalePropsY(n));
  }
  lock.Unlock();
}

void TCustomKelvo::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  // Only a change of position or size resizes: the bounds the control has
  // already are no reason to apply the minimum or the isometric rule again.
  if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height() &&
      FPropsX[LayerCount])
    return;
  TResizeEventDelay resized(*this);  // OnResize once the bitmaps and axes follow
  TPaintLockScope lock(*this);
  // The control never gets smaller than its margins and shadow allow. The
  // margins are the stored ones: the room a legend beside the data area
  // takes comes out of the control, and never makes it larger.
  SettleDataBitmap();
  SettleFrame();
  const int64_t minHeight = int64_t{MarginTop()} + MarginBottom() + FSettings.ShadowWidth + 20;
  const int64_t minWidth = int64_t{MarginLeft()} + MarginRight() + FSettings.ShadowWidth + 80;
  int32_t h = static_cast<int32_t>(
      std::clamp<int64_t>(std::max<int64_t>(AHeight, minHeight), 0, MaxBitmapSide));
  int32_t w = static_cast<int32_t>(
      std::clamp<int64_t>(std::max<int64_t>(AWidth, minWidth), 0, MaxBitmapSide));
  // The window surface (in device pixels) must fit the picture cap: the
  // height gives way.
  const TDeviceScale& d = DeviceScale();
  if (w > 0 && uint64_t{static_cast<uint32_t>(d.Side(w))} * static_cast<uint32_t>(d.Side(h)) * 4 >
                   MaxBitmapBytes)
    h = static_cast<int32_t>(std::floor(
        static_cast<double>(MaxBitmapBytes / 4 / static_cast<uint32_t>(d.Side(w))) / d.Ratio));
  if (d.Side(w) > MaxBitmapSide) w = static_cast<int32_t>(MaxBitmapSide / d.Ratio);
  if (d.Side(h) > MaxBitmapSide) h = static_cast<int32_t>(MaxBitmapSide / d.Ratio);
  TCustomControl::SetBounds(ALeft, ATop, w, h);
  w = Width();  // constraints or OnCanResize may have had their say
  h = Height();
  SizeDataBitmap();
  SizeFrameBitmap();
  for (int32_t n = 1; n <= LayerCount; ++n) {
    if (FSettings.Isometric) ApplyIsometric(n);
    const auto i = static_cast<size_t>(n);
    if (!FPropsX[i] || !FPropsY[i]) continue;  // not yet made during construction
    if (FScaleX[i]) {
      CopyScaleSettings(*FScaleX[i], ScalePropsX(n));
      FScaleX[i]->SetBounds(0, 0, w, h);
    }
    if (FScaleY[i]) {
      CopyScaleSettings(*FScaleY[i], ScalePropsY(n));
      FScaleY[i]->SetBounds(0, 0, w, h);
    }
    if (FScaleX[i] && FScaleY[i]) SetAxisMargins(n);
  }
  TCustomControl::SetBounds(ALeft, ATop, w, h);
  RemapLayers();
}

}  // namespace vexa
