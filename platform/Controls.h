// TCustomControl: a control with bounds, a font, a window surface and the
// mouse notifications. Its Canvas() is the window surface: a bitmap of the
// control's size holding exactly what the user sees. A host (the Qt widget
// in platform/qt/, or a test) shows that bitmap and feeds mouse events in.
#pragma once

#include <memory>

#include "Bitmap.h"
#include "Classes.h"

namespace vexa {

class TCustomControl;

// What a host learns from the control. A control without a host queues its
// repaints with the window services.
class IControlHost {
 public:
  virtual ~IControlHost() = default;
  // The control wants Paint to run (soon).
  virtual void ControlInvalidated(TCustomControl* Control) = 0;
  // The control changed its window surface itself; show it again.
  virtual void ControlSurfaceChanged(TCustomControl* Control) = 0;
  virtual void ControlResized(TCustomControl* Control) = 0;
};

// Keys a control wants for itself, as the window system's dialog-code query answers.
constexpr int DLGC_WANTARROWS = 1;
constexpr int DLGC_WANTTAB = 2;

class TCustomControl : public TComponent {
 public:
  explicit TCustomControl(TComponent* AOwner = nullptr);
  ~TCustomControl() override;

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  // Every bounds change comes through here; the window surface follows the
  // size (negative sizes count as 0).
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value) { FFont.Assign(&Value); }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }

  // The window surface is made on first use: a control that only ever
  // paints into another canvas (a chart's axes) never holds one.
  TCanvas& Canvas() { return Surface().Canvas(); }
  TBitmap& Surface();
  bool HasSurface() const { return FSurface != nullptr; }

  // The host calls this when the control gets its window.
  virtual void CreateWnd() { FHandleAllocated = true; }
  bool HandleAllocated() const { return FHandleAllocated; }
  IControlHost* Host() const { return FHost; }
  void SetHost(IControlHost* Value) { FHost = Value; }

  // Asks for a repaint later (through the host, or the window services'
  // message queue).
  void Invalidate();
  // The control drew onto its window surface outside Paint: the host shows
  // the surface again (nothing to do headless).
  void SurfaceChanged() {
    if (FHost) FHost->ControlSurfaceChanged(this);
  }
  // What the window system runs for a queued repaint: Paint when the control
  // is visible and has its window.
  void PaintWindow();
  virtual void Paint() {}

  // Mouse notifications in client pixels. The base versions fire the
  // framework's events below.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
  virtual void DblClick();
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}

  std::function<void(TObject*Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)>
      OnMouseDown, OnMouseUp;
  std::function<void(TObject* Sender, TShiftState Shift, int32_t X, int32_t Y)> OnMouseMove;
  TNotifyEvent OnDblClick;
  // Keys the control wants (DLGC_ flags); none by default.
  virtual int DialogCode() const { return 0; }

 protected:
  TFont FFont;

 private:
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FHandleAllocated = false;
  TCursor FCursor = crDefault;
  IControlHost* FHost = nullptr;
  std::unique_ptr<TBitmap> FSurface;
};

}  // namespace vexa
