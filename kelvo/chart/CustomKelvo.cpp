// Construction, destruction, loading, copying, the paint lock and data
// sharing of the chart control.
#include "kelvo/chart/CustomKelvo.h"

#include <algorithm>

#include "kelvo/platform/WindowServices.h"

namespace vexa {

namespace {
int32_t ValidLayer(int32_t Layer) { return Layer >= 1 && Layer <= LayerCount ? Layer : 1; }
}  // namespace

// Crosshair n on layer n, all off; thirty hidden labels on layer 1.
void TCustomKelvo::CreateCrossHairsAndLabels() {
  for (int32_t i = 1; i <= CrossHairCount; ++i) {
    auto c = std::make_unique<TCrossHair>();
    c->SetPosX(0);
    c->SetPosY(0);
    c->SetLayer(i);  // crosshair n is on layer n
    c->SetColor(clBlack);
    c->SetMode(TCrossHMode::chOff);
    c->SetLineType(TPenStyle::psSolid);
    c->SetLineWid(1);
    FCrossHairs[static_cast<size_t>(i)] = std::move(c);
  }
  for (int32_t i = 1; i <= TextLabelCount; ++i) {
    auto l = std::make_unique<TTextLabel>();
    l->SetPosX(0);
    l->SetPosY(0);
    l->SetLayer(1);
    l->SetAttachToData(TTxtLblAttachMode::tlamBoth);
    l->SetAlignment(TAlignment::taCenter);
    l->SetVerticalAlignment(TVerticalAlignment::vaBottom);
    l->SetColorBkg(clWhite);
    l->SetColorBorder(clBlack);
    l->SetShadowDx(3);
    l->SetShadowDy(3);
    l->SetColorShadow(clGray);
    l->SetTransparent(false);
    l->SetCaption("");
    l->SetFont(Font());
    l->SetVisible(false);
    l->SetMode(TTxtLblMode::tlOff);
    FTextLabels[static_cast<size_t>(i)] = std::move(l);
  }
}

// Each layer's two axes (drawn by the chart onto its frame) and their
// settings objects, in the layer's colour, placed by layer.
void TCustomKelvo::CreateLayerAxes() {
  for (int32_t n = 1; n <= LayerCount; ++n) {
    const auto i = static_cast<size_t>(n);
    for (bool horizontal : {true, false}) {
      auto axis = std::make_unique<TScale>(this);
      axis->SetPaintSuspended(true);
      axis->SetChartOwned(true);
      axis->SetDrawTarget(&FFrameBitmap.Canvas(), 0, 0);
      axis->SetName((horizontal ? "KV_FScale_X_" : "KV_FScale_Y_") + std::to_string(n));
      (horizontal ? FScaleX : FScaleY)[i] = std::move(axis);
    }
    const bool odd = n % 2 == 1;
    auto px = std::make_unique<TScalePropsHoriz>();
    px->SetColorScale(LayerAxisColors[i]);
    px->SetScaleType(odd ? TScaleType::sctXT : TScaleType::sctXB);
    px->SetScalePos((n - 1) / 2 * 30);
    FPropsX[i] = std::move(px);
    auto py = std::make_unique<TScalePropsVert>();
    py->SetColorScale(LayerAxisColors[i]);
    py->SetScaleType(odd ? TScaleType::sctYR : TScaleType::sctYL);
    py->SetScalePos((n - 1) / 2 * 50);
    FPropsY[i] = std::move(py);
  }
}

TCustomKelvo::TCustomKelvo(TComponent* AOwner) : TCustomControl(AOwner) {
  FPaintLock = true;
  FSettings.StandardLayout = TkvLayout::kvl_X1Bottom_Y1Left;
  FMouseState.DoubleClicked = false;
  FSettings.LayerVisible.fill(true);
  FSettings.ClassVisible.fill(true);
  FSettings.MouseAffectsLayer.fill(false);
  FSettings.MouseAffectsLayer[1] = true;

  CreateCrossHairsAndLabels();
  FBackGroundImg = std::make_unique<TBakGndImg>();
  FJointLayers = std::make_unique<TJointLayers>(static_cast<IJointLayersOwner*>(this));
  RegisterCursors();

  FDataBitmap.SetPixelFormat(TPixelFormat::pf32bit);
  SizeDataBitmap();
  SizeFrameBitmap();
  FHolderBitmap.SetSize(10, 10);
  FSettings.AspectX = GetDeviceCaps(ASPECTX);
  FSettings.AspectY = GetDeviceCaps(ASPECTY);

  CreateLayerAxes();
  WireSubObjects();

  FPaintLock = true;
  SetBounds(Left(), Top(), 280, 200);
  FPaintLock = true;
  SetStandardLayout(TkvLayout::kvl_X1Bottom_Y1Left);
  for (int32_t n = 1; n <= LayerCount; ++n) {
    for (TScale* axis : {&ScaleX(n), &ScaleY(n)}) {
      axis->SetTransparent(true);
      axis->SetColorBackGnd(FSettings.WindColor);
      axis->SetFrameStyle(TFrameStyle::fsNone);
      axis->SetBounds(0, 0, Width(), Height());
    }
    CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    CopyScaleSettings(ScaleY(n), ScalePropsY(n));
    SetAxisMargins(n);
  }
  FSettings.RangeLimits = TRangeLimits{};
  FSettings.AutoRedraw = true;
  // The paint lock stays set until the window exists.
}

TCustomKelvo::~TCustomKelvo() {
  FLifetime.Revoke();
  // A destroyed chart must not stay referenced by its sharing partners:
  // leave the source's users, and let each own user keep a private copy.
  if (FSource) FSource->RemoveUser(this);
  for (int32_t i = 0; i < FUserCount; ++i) {
    TCustomKelvo& user = *FUsers[static_cast<size_t>(i)];
    user.FSource = nullptr;
    user.FList.MakePrivate();
    user.FPlottables = CopyPlottables(*user.FPlottables);
  }
  // Owned objects go before the bitmaps their axes draw into.
  for (auto& p : FPropsX) p.reset();
  for (auto& p : FPropsY) p.reset();
  for (auto& s : FScaleX) s.reset();
  for (auto& s : FScaleY) s.reset();
}

void TKelvo::CreateWnd() {
  TCustomKelvo::CreateWnd();
  FPaintLock = false;
}

void TCustomKelvo::WireSubObjects() {
  const auto repaint = TNotifyEvent::Bound(FLifetime, [this](TObject*) { RepaintIfAuto(); });
  const auto apply = TNotifyEvent::Bound(FLifetime, [this](TObject*) { ApplyScaleSettings(); });
  for (int32_t i = 1; i <= CrossHairCount; ++i)
    FCrossHairs[static_cast<size_t>(i)]->OnChange = repaint;
  for (int32_t i = 1; i <= TextLabelCount; ++i)
    FTextLabels[static_cast<size_t>(i)]->OnChange = repaint;
  FBackGroundImg->OnChange = repaint;
  FLegend->OnChange = repaint;
  FColorBar->OnChange = repaint;
  FJointLayers->OnChange = repaint;
  for (int32_t n = 1; n <= LayerCount; ++n) {
    const auto i = static_cast<size_t>(n);
    for (TScaleProps* p : {static_cast<TScaleProps*>(FPropsX[i].get()),
                           static_cast<TScaleProps*>(FPropsY[i].get())}) {
      p->OnChange = apply;
      p->DateFormat().OnChange = apply;
    }
    for (TScale* axis : {FScaleX[i].get(), FScaleY[i].get()}) {
      axis->OnScaleTickDrawn = TScaleTickDrawnEvent::Bound(
          FLifetime, [this](TObject*, TCanvas& c, TScaleType t, double pos, int32_t x, int32_t y) {
            if (OnScaleTickDrawn) OnScaleTickDrawn(this, c, t, pos, x, y);
          });
      axis->OnBeforeTickLabel = TBeforeTickLabelEvent::Bound(
          FLifetime, [this](TObject*, TScaleType t, double pos, std::string& label) {
            if (OnBeforeTickLabel) OnBeforeTickLabel(this, t, pos, label);
          });
    }
  }
}

TScalePropsHoriz& TCustomKelvo::ScalePropsX(int32_t Layer) {
  return *FPropsX[static_cast<size_t>(ValidLayer(Layer))];
}
TScalePropsVert& TCustomKelvo::ScalePropsY(int32_t Layer) {
  return *FPropsY[static_cast<size_t>(ValidLayer(Layer))];
}
const TScalePropsHoriz& TCustomKelvo::ScalePropsX(int32_t Layer) const {
  return *FPropsX[static_cast<size_t>(ValidLayer(Layer))];
}
const TScalePropsVert& TCustomKelvo::ScalePropsY(int32_t Layer) const {
  return *FPropsY[static_cast<size_t>(ValidLayer(Layer))];
}
TScale& TCustomKelvo::ScaleX(int32_t Layer) {
  return *FScaleX[static_cast<size_t>(ValidLayer(Layer))];
}
TScale& TCustomKelvo::ScaleY(int32_t Layer) {
  return *FScaleY[static_cast<size_t>(ValidLayer(Layer))];
}

TCrossHair& TCustomKelvo::CrossHair(int32_t Index) {
  return *FCrossHairs[static_cast<size_t>(Index >= 1 && Index <= CrossHairCount ? Index : 1)];
}

TTextLabel& TCustomKelvo::TextLabels(int32_t Index) {
  return *FTextLabels[static_cast<size_t>(Index >= 1 && Index <= TextLabelCount ? Index : 1)];
}

bool TCustomKelvo::MouseAffectsLayer(int32_t Layer) const {
  return Layer >= 1 && Layer <= LayerCount &&
         FSettings.MouseAffectsLayer[static_cast<size_t>(Layer)];
}

void TCustomKelvo::SetMouseAffectsLayer(int32_t Layer, bool Value) {
  if (Layer >= 1 && Layer <= LayerCount)
    FSettings.MouseAffectsLayer[static_cast<size_t>(Layer)] = Value;
}

void TCustomKelvo::SetPaintLock(bool Value) {
  if (Value == FPaintLock) return;
  FPaintLock = Value;
  if (!Value) RepaintAfterChange();
}

void TCustomKelvo::RepaintIfAuto() {
  if (FSettings.AutoRedraw || IsDesigning()) RepaintAfterChange();
}

void TCustomKelvo::RepaintAfterChange() {
  if (FMappingValid) Paint();
}

void TCustomKelvo::SizeFrameBitmap() {
  FFrameBitmap.SetSize(DeviceScale().Side(Width()), DeviceScale().Side(Height()));
  FFrameBitmap.Canvas().SetDeviceScale(DeviceScale());
}

void TCustomKelvo::DevicePixelRatioChanged() {
  SettleFrame();
  for (int32_t n = 1; n <= LayerCount; ++n)
    for (auto* axes : {&FScaleX, &FScaleY})
      if (auto& axis = (*axes)[static_cast<size_t>(n)])
        axis->SetDevicePixelRatio(DevicePixelRatio());
  SizeDataBitmap();
  SizeFrameBitmap();
  RemapLayers();
}

void TCustomKelvo::SizeDataBitmap() {
  SettleDataBitmap();  // keeps its pixels, as it would have without the frame
  const int64_t right = int64_t{Width()} - FSettings.MarginRight - FSettings.ShadowWidth;
  const int64_t bottom = int64_t{Height()} - FSettings.MarginBottom - FSettings.ShadowWidth;
  const TDeviceScale& d = DeviceScale();
  int64_t w = std::clamp<int64_t>(int64_t{d.Position(right + 1)} - d.Position(FSettings.MarginLeft),
                                  0, MaxBitmapSide);
  int64_t h = std::clamp<int64_t>(int64_t{d.Position(bottom + 1)} - d.Position(FSettings.MarginTop),
                                  0, MaxBitmapSide);
  // Only margins far below zero make the data area larger than any picture
  // we allocate; it then lies almost wholly outside the control. Such an
  // area is not drawn at all (an empty bitmap), and the chart paints its
  // frame as usual until the margins are sane again.
  if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > MaxBitmapBytes) w = h = 0;
  FDataBitmap.SetSize(static_cast<int32_t>(w), static_cast<int32_t>(h));
  FDataBitmap.Canvas().SetDeviceScale(DeviceScale());
}

void TCustomKelvo::Loaded() {
  TCustomControl::Loaded();
  RangesToUnstoredControllers();
  for (int32_t n = 1; n <= LayerCount; ++n) {
    CopyScaleSettings(ScaleX(n), ScalePropsX(n));
    CopyScaleSettings(ScaleY(n), ScalePropsY(n));
    ScalePropsX(n).SetLoading(false);
    ScalePropsY(n).SetLoading(false);
  }
  RemapLayers();
  RepaintAfterChange();
}

// Only layers 1..4 are stored. A layer among them joined to a controller
// above them was stored with its controller's range, which the controller
// takes back from it while a form is read; the joined layers then follow
// their controllers as always.
void TCustomKelvo::RangesToUnstoredControllers() {
  const auto takeBack = [](TScaleProps& Controller, const TScaleProps& Joined) {
    Controller.StoreRangeLow(Joined.RangeLow());
    Controller.StoreRangeHigh(Joined.RangeHigh());
  };
  for (int32_t n = 1; n <= StoredLayerCount; ++n) {
    if (const int32_t d = FJointLayers->XControlledBy(n); d > StoredLayerCount)
      takeBack(ScalePropsX(d), ScalePropsX(n));
    if (const int32_t d = FJointLayers->YControlledBy(n); d > StoredLayerCount)
      takeBack(ScalePropsY(d), ScalePropsY(n));
  }
}

std::shared_ptr<TPlottableList> TCustomKelvo::CopyPlottables(const TPlottableList& Source) {
  auto copy = std::make_shared<TPlottableList>();
  copy->reserve(Source.size());
  for (const auto& p : Source) {
    copy->push_back(p->Clone());
    copy->back()->FOwnerList = copy.get();
  }
  return copy;
}

void TCustomKelvo::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TCustomKelvo*>(Source);
  if (!s) {
    TCustomControl::Assign(Source);
    return;
  }
  if (s == this) return;
  // 1. Plain settings and state (with the fields of the margins, the same
  // stored margins and legend room).
  FSettings = s->FSettings;
  FMouseState = s->FMouseState;
  FMapping = s->FMapping;
  FPaintLock = s->FPaintLock;
  // The sharing links are not copied: registering a copy with no partner
  // would leave links that break the group's invariants. A chart that used
  // another's data leaves its group and starts independent with its own
  // items; a chart whose data others use hands the copies on to them, so
  // a group always shows one list.
  // 2. The items and plottables: copies, not shared ones.
  if (FSource) {
    FSource->RemoveUser(this);
    FSource = nullptr;
  }
  FList.CopyFrom(s->FList);
  FPlottables = CopyPlottables(*s->FPlottables);
  PropagateDisplayList();
  for (int32_t i = 0; i < FUserCount; ++i)
    FUsers[static_cast<size_t>(i)]->FPlottables = FPlottables;
  SizeDataBitmap();
  // 3., 4. The owned objects.
  for (int32_t n = 1; n <= LayerCount; ++n) {
    ScaleX(n).Assign(s->FScaleX[static_cast<size_t>(n)].get());
    ScaleX(n).SetDrawTarget(&FFrameBitmap.Canvas(), 0, 0);
    ScaleY(n).Assign(s->FScaleY[static_cast<size_t>(n)].get());
    ScaleY(n).SetDrawTarget(&FFrameBitmap.Canvas(), 0, 0);
    ScalePropsX(n).Assign(s->FPropsX[static_cast<size_t>(n)].get());
    ScalePropsY(n).Assign(s->FPropsY[static_cast<size_t>(n)].get());
  }
  FBackGroundImg->Assign(s->FBackGroundImg.get());
  for (int32_t i = 1; i <= CrossHairCount; ++i)
    CrossHair(i).Assign(s->FCrossHairs[static_cast<size_t>(i)].get());
  for (int32_t i = 1; i <= TextLabelCount; ++i)
    TextLabels(i).Assign(s->FTextLabels[static_cast<size_t>(i)].get());
  FJointLayers->Assign(s->FJointLayers.get());
  FLegend->Assign(s->FLegend.get());
  FColorBar->Assign(s->FColorBar.get());
  FLegendEntries = s->FLegendEntries;
  ++FAddedLegendEntries;
  // The copies took over the source's notifications; this chart's objects
  // notify this chart, so nothing points at the source once it is gone.
  WireSubObjects();
  // 5. The chart's events.
  OnMouseMoveInChart = s->OnMouseMoveInChart;
  OnMouseEnter = s->OnMouseEnter;
  OnMouseLeave = s->OnMouseLeave;
  OnZoomPan = s->OnZoomPan;
  OnRubberBand = s->OnRubberBand;
  OnSelectRect = s->OnSelectRect;
  OnCrossHairMove = s->OnCrossHairMove;
  OnTextLabelMove = s->OnTextLabelMove;
  OnScaleTickDrawn = s->OnScaleTickDrawn;
  OnBeforeTickLabel = s->OnBeforeTickLabel;
  OnBeforeRenderData = s->OnBeforeRenderData;
  OnDataRendered = s->OnDataRendered;
  OnScalesRendered = s->OnScalesRendered;
  // 6.
  ApplyScaleSettings();
  RemapLayers();
  RepaintAfterChange();
  RefreshSharingCharts();
}

void TCustomKelvo::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TCustomKelvo*>(Dest)) {
    d->Assign(this);
    return;
  }
  TCustomControl::AssignTo(Dest);
}

// --- data sharing ---

void TCustomKelvo::RemoveUser(TCustomKelvo* User) {
  auto end = FUsers.begin() + FUserCount;
  auto it = std::find(FUsers.begin(), end, User);
  if (it == end) return;
  std::move(it + 1, FUsers.end(), it);
  FUsers.back() = nullptr;
  --FUserCount;
}

void TCustomKelvo::SetUseDataOf(TCustomKelvo* Value) {
  if (Value == this) {
    Application().MessageBox("Kelvo: Cannot share data with myself", "Kelvo");
    return;
  }
  if (FUserCount > 0) {
    Application().MessageBox("Kelvo: Cannot use foreign data. Other Kelvos are using my own data.",
                             "Kelvo");
    return;
  }
  if (Value == FSource) return;
  if (!Value) {
    FSource->RemoveUser(this);
    FSource = nullptr;
    FList.MakePrivate();  // keep what it showed; later commands stay its own
    FPlottables = CopyPlottables(*FPlottables);
    RepaintIfAuto();
    return;
  }
  TCustomKelvo* root = Value->FSource ? Value->FSource : Value;
  if (root == this) return;  // already the root of that group
  if (root->FUserCount >= 4) {
    Application().MessageBox("Kelvo: Max. number of data shares exceeded", "Kelvo");
    return;
  }
  if (FSource) FSource->RemoveUser(this);
  FSource = root;
  FList.ShareFrom(root->FList);
  FPlottables = root->FPlottables;
  root->FUsers[static_cast<size_t>(root->FUserCount++)] = this;
  RepaintIfAuto();
}

void TCustomKelvo::PropagateDisplayList() {
  if (FSource) {
    FSource->FList.ShareFrom(FList);
    for (int32_t i = 0; i < FSource->FUserCount; ++i)
      FSource->FUsers[static_cast<size_t>(i)]->FList.ShareFrom(FList);
  }
  for (int32_t i = 0; i < FUserCount; ++i) FUsers[static_cast<size_t>(i)]->FList.ShareFrom(FList);
}

void TCustomKelvo::RefreshSharingCharts() {
  if (FSource) {
    FSource->RepaintIfAuto();
    for (int32_t i = 0; i < FSource->FUserCount; ++i)
      FSource->FUsers[static_cast<size_t>(i)]->RepaintIfAuto();
  }
  for (int32_t i = 0; i < FUserCount; ++i) FUsers[static_cast<size_t>(i)]->RepaintIfAuto();
}

}  // namespace vexa
