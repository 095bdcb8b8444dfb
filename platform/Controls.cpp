#include "Controls.h"

#include <algorithm>

#include "WindowServices.h"

namespace vexa {

TCustomControl::TCustomControl(TComponent* AOwner) : TComponent(AOwner) {}

TBitmap& TCustomControl::Surface() {
  if (!FSurface) {
    FSurface = std::make_unique<TBitmap>(FWidth, FHeight);
    FSurface->SetPixelFormat(TPixelFormat::pf32bit);
  }
  return *FSurface;
}

TCustomControl::~TCustomControl() { WindowServices().Forget(this); }

void TCustomControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  if (!resized) return;
  // Refuse a size the surface cannot have before anything changes.
  if (AWidth > MaxBitmapSide || AHeight > MaxBitmapSide ||
      static_cast<uint64_t>(AWidth) * static_cast<uint64_t>(AHeight) * 4 > MaxBitmapBytes)
    throw EInvalidGraphic("Control size " + std::to_string(AWidth) + " x " +
                          std::to_string(AHeight) + " is too large");
  if (FSurface) FSurface->SetSize(AWidth, AHeight);
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHost) FHost->ControlResized(this);
  Invalidate();
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
