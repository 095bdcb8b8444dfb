#include "Controls.h"

#include <algorithm>

#include "Streaming.h"
#include "WindowServices.h"

namespace vexa {

TCustomControl::TCustomControl(TComponent* AOwner) : TComponent(AOwner) {
  FConstraints.OnChange = TNotifyEvent::Bound(FLifetime, [this](TObject*) {
    int32_t w = FWidth, h = FHeight;
    FConstraints.Apply(w, h);
    if (w != FWidth || h != FHeight) SetBounds(FLeft, FTop, w, h);
  });
}

TBitmap& TCustomControl::Surface() {
  if (!FSurface) {
    FSurface = std::make_unique<TBitmap>(FDeviceScale.Side(FWidth), FDeviceScale.Side(FHeight));
    FSurface->SetPixelFormat(TPixelFormat::pf32bit);
    FSurface->Canvas().SetDeviceScale(FDeviceScale);
  }
  return *FSurface;
}

namespace {
// A surface of Width x Height logical pixels at Scale fits the picture cap.
void CheckSurfaceSize(const TDeviceScale& Scale, int32_t Width, int32_t Height) {
  const int64_t w = Scale.Side(Width), h = Scale.Side(Height);
  if (w > MaxBitmapSide || h > MaxBitmapSide ||
      static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > MaxBitmapBytes)
    throw EInvalidGraphic("Control size " + std::to_string(Width) + " x " + std::to_string(Height) +
                          " is too large");
}
}  // namespace

void TCustomControl::SetDevicePixelRatio(double Value) {
  if (!TDeviceScale::Acceptable(Value) || Value == FDeviceScale.Ratio) return;
  const TDeviceScale scale{Value};
  CheckSurfaceSize(scale, FWidth, FHeight);
  FDeviceScale = scale;
  if (FSurface) {
    FSurface->SetSize(scale.Side(FWidth), scale.Side(FHeight));
    FSurface->Canvas().SetDeviceScale(scale);
  }
  DevicePixelRatioChanged();
  if (FHost) FHost->ControlResized(this);
  Invalidate();
}

TCustomControl::~TCustomControl() {
  FLifetime.Revoke();
  WindowServices().Forget(this);
}

void TCustomControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth != FWidth || AHeight != FHeight) {
    FConstraints.Apply(AWidth, AHeight);
    bool resize = true;
    if (OnCanResize) OnCanResize(this, AWidth, AHeight, resize);
    if (!resize) {
      AWidth = FWidth;
      AHeight = FHeight;
    }
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
  }
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  const bool moved = ALeft != FLeft || ATop != FTop;
  FLeft = ALeft;
  FTop = ATop;
  if (!resized) {
    if (moved && FHost) FHost->ControlResized(this);  // the host follows the place too
    return;
  }
  // Refuse a size the surface cannot have before anything changes.
  CheckSurfaceSize(FDeviceScale, AWidth, AHeight);
  if (FSurface) FSurface->SetSize(FDeviceScale.Side(AWidth), FDeviceScale.Side(AHeight));
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHost) FHost->ControlResized(this);
  Invalidate();
  if (FResizeDelay > 0)
    FResizeOwed = true;
  else
    Resize();
}

void TCustomControl::Resize() {
  if (OnResize) OnResize(this);
}

void TCustomControl::SetCursor(TCursor Value) { StoreState(FCursor, Value); }

void TCustomControl::SetEnabled(bool Value) { StoreState(FEnabled, Value); }

void TCustomControl::SetTabStop(bool Value) { StoreState(FTabStop, Value); }

void TCustomControl::SetTabOrder(int32_t Value) { StoreState(FTabOrder, Value < 0 ? 0 : Value); }

void TCustomControl::Click() {
  if (OnClick) OnClick(this);
}

bool TCustomControl::DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) {
    if (WheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    if (WheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  }
  return handled;
}

void TCustomControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TCustomControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TCustomControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TCustomControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TCustomControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TCustomControl::ParentResized(TPoint OldSize, TPoint NewSize, const TRect* Free) {
  const int64_t dw = int64_t{NewSize.X} - OldSize.X, dh = int64_t{NewSize.Y} - OldSize.Y;
  const TRect f = Free ? *Free : Rect(0, 0, NewSize.X, NewSize.Y);
  const int64_t fw = int64_t{f.Right} - f.Left, fh = int64_t{f.Bottom} - f.Top;
  int64_t l = FLeft, t = FTop, w = FWidth, h = FHeight;
  switch (FAlign) {
    case TAlign::alClient:
      l = f.Left;
      t = f.Top;
      w = fw;
      h = fh;
      break;
    case TAlign::alTop:
      l = f.Left;
      t = f.Top;
      w = fw;
      break;
    case TAlign::alBottom:
      l = f.Left;
      t = int64_t{f.Bottom} - h;
      w = fw;
      break;
    case TAlign::alLeft:
      l = f.Left;
      t = f.Top;
      h = fh;
      break;
    case TAlign::alRight:
      l = int64_t{f.Right} - w;
      t = f.Top;
      h = fh;
      break;
    case TAlign::alNone: {
      auto follow = [](int64_t& pos, int64_t& size, int64_t delta, bool near, bool far) {
        if (near && far)
          size += delta;
        else if (far)
          pos += delta;
        else if (!near)
          pos += delta / 2;
      };
      follow(l, w, dw, FAnchors.Contains(TAnchorKind::akLeft),
             FAnchors.Contains(TAnchorKind::akRight));
      follow(t, h, dh, FAnchors.Contains(TAnchorKind::akTop),
             FAnchors.Contains(TAnchorKind::akBottom));
      break;
    }
  }
  auto clamp32 = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  SetBounds(clamp32(l), clamp32(t), clamp32(std::max<int64_t>(w, 0)),
            clamp32(std::max<int64_t>(h, 0)));
}

void TSizeConstraints::Apply(int32_t& Width, int32_t& Height) const {
  if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
  if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
  const bool raised = Width < FMinWidth || Height < FMinHeight;
  if (Width < FMinWidth) Width = FMinWidth;
  if (Height < FMinHeight) Height = FMinHeight;
  // Minimum sizes (each at most a surface side) may together ask for more
  // pixels than a surface can have: the height gives way.
  if (raised && Width > 0 && Width <= MaxBitmapSide &&
      uint64_t{static_cast<uint32_t>(Width)} * static_cast<uint32_t>(Height) * 4 > MaxBitmapBytes)
    Height = static_cast<int32_t>(MaxBitmapBytes / 4 / static_cast<uint32_t>(Width));
}

const TPropertyTable* TSizeConstraints::Properties() const {
  static const TPropertyTable table = [] {
    using C = TSizeConstraints;
    TPropertyTable t;
    TPublish<C>(t)
        .Int(
            "MaxHeight", &C::MaxHeight, [](C& c, int64_t v) { c.SetMaxHeight(int32_t(v)); }, 0, 0,
            INT32_MAX)
        .Int(
            "MaxWidth", &C::MaxWidth, [](C& c, int64_t v) { c.SetMaxWidth(int32_t(v)); }, 0, 0,
            INT32_MAX)
        .Int(
            "MinHeight", &C::MinHeight, [](C& c, int64_t v) { c.SetMinHeight(int32_t(v)); }, 0, 0,
            INT32_MAX)
        .Int(
            "MinWidth", &C::MinWidth, [](C& c, int64_t v) { c.SetMinWidth(int32_t(v)); }, 0, 0,
            INT32_MAX);
    return t;
  }();
  return &table;
}

void TCustomControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Invalidate();
}

void TCustomControl::Invalidate() {
  if (FHost)
    FHost->ControlInvalidated(this);
  else
    WindowServices().Invalidate(this);
}

void TCustomControl::PaintWindow() {
  if (FVisible && FHandleAllocated) Paint();
}

void TCustomControl::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TCustomControl::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TCustomControl::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TCustomControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

}  // namespace vexa
