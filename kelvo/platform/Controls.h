// TCustomControl: a control with bounds, a font, a window surface and the
// mouse notifications. Its Canvas() is the window surface: a bitmap of the
// control's size holding exactly what the user sees. A host (the Qt widget
// above the chart, or a test) shows that bitmap and feeds mouse events in.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "Classes.h"
#include "DeviceScale.h"

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
  // Enabled, TabStop, TabOrder or Cursor changed.
  virtual void ControlStateChanged(TCustomControl* Control) { (void)Control; }
};

// A right-click menu of captions with their handlers. The host shows it
// (the Qt host as a QMenu); the platform layer knows no toolkit.
class TPopupMenu : public TComponent {
 public:
  struct TItem {
    std::string Caption;  // "-" is a separator
    TNotifyEvent OnClick;
  };
  using TComponent::TComponent;
  std::vector<TItem>& Items() { return FItems; }
  const std::vector<TItem>& Items() const { return FItems; }
  void Add(const std::string& Caption, TNotifyEvent OnClick) {
    FItems.push_back({Caption, std::move(OnClick)});
  }
  TNotifyEvent OnPopup;  // before the menu shows

 private:
  std::vector<TItem> FItems;
};

// Where a control sits in its parent when the parent resizes.
enum class TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
inline constexpr const char* TAlignNames[] = {"alNone", "alTop",   "alBottom",
                                              "alLeft", "alRight", "alClient"};
enum class TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
inline constexpr const char* TAnchorKindNames[] = {"akLeft", "akTop", "akRight", "akBottom"};

// Least and greatest size of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
 public:
  // Each setter stores (negative values count as 0, values beyond the
  // largest surface side count as that side) and fires OnChange, on which
  // the control takes the size the new limits allow.
  int32_t MinWidth() const { return FMinWidth; }  // 0
  void SetMinWidth(int32_t Value) { Store(FMinWidth, Value); }
  int32_t MinHeight() const { return FMinHeight; }  // 0
  void SetMinHeight(int32_t Value) { Store(FMinHeight, Value); }
  int32_t MaxWidth() const { return FMaxWidth; }  // 0
  void SetMaxWidth(int32_t Value) { Store(FMaxWidth, Value); }
  int32_t MaxHeight() const { return FMaxHeight; }  // 0
  void SetMaxHeight(int32_t Value) { Store(FMaxHeight, Value); }
  TNotifyEvent OnChange;
  // The size these limits allow, within what a surface can have: where
  // minimum sizes ask for more pixels than the picture cap, the height gives
  // way, so no limit ever makes a resize fail.
  void Apply(int32_t& Width, int32_t& Height) const;
  const TPropertyTable* Properties() const override;

 private:
  void Store(int32_t& Field, int32_t Value) {
    Value = std::clamp(Value, 0, MaxBitmapSide);
    if (Value == Field) return;
    Field = Value;
    if (OnChange) OnChange(this);
  }
  int32_t FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
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
  // The control's own cursor, shown by the host over the control (crDefault).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);

  // Device pixels to a logical one on the control's screen (1.0 at
  // creation; values outside 1.0 .. 4.0 or not finite are ignored, a ratio
  // at which the surface would be too large raises EInvalidGraphic). Sizes,
  // positions and every pixel value of the programming interface stay
  // logical; the window surface has DeviceScale().Side(Width()) x
  // DeviceScale().Side(Height()) device pixels and its canvas draws at the
  // ratio. A host sets it from its screen.
  double DevicePixelRatio() const { return FDeviceScale.Ratio; }
  void SetDevicePixelRatio(double Value);
  const TDeviceScale& DeviceScale() const { return FDeviceScale; }

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

  // The pointer between logical pixels: on a high-density screen a host
  // knows the pointer's position to a fraction of a logical pixel. It calls
  // SetPointerPosition with that position (logical pixels) before a mouse
  // notification or wheel turn at its rounded position; PointerX(X) and
  // PointerY(Y) give it back for a notification at X, Y, and give X and Y
  // themselves when no such position was set for them (a host without it, a
  // direct call).
  void SetPointerPosition(double X, double Y) { FPointerX = X, FPointerY = Y; }
  double PointerX(int32_t X) const { return std::fabs(FPointerX - X) <= 1 ? FPointerX : X; }
  double PointerY(int32_t Y) const { return std::fabs(FPointerY - Y) <= 1 ? FPointerY : Y; }

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

  // --- the framework's further events, in the order a host delivers them ---
  // A left press and release on the control.
  virtual void Click();
  TNotifyEvent OnClick;
  // WheelDelta in 120ths of a notch, positive away from the user. OnMouseWheel
  // comes first; unless it sets Handled, OnMouseWheelUp or OnMouseWheelDown
  // follows. True when a handler took the wheel.
  virtual bool DoMouseWheel(TShiftState Shift, int32_t WheelDelta, TPoint MousePos);
  std::function<void(TObject* Sender, TShiftState Shift, int32_t WheelDelta, TPoint MousePos,
                     bool& Handled)>
      OnMouseWheel;
  std::function<void(TObject*Sender, TShiftState Shift, TPoint MousePos, bool&Handled)>
      OnMouseWheelUp, OnMouseWheelDown;
  // Virtual key codes as the window system has them (VK_ values: 'A'..'Z',
  // '0'..'9', 37..40 the arrows); a handler may set Key to 0 to eat it.
  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  std::function<void(TObject*Sender, uint16_t&Key, TShiftState Shift)> OnKeyDown, OnKeyUp;
  std::function<void(TObject* Sender, char& Key)> OnKeyPress;
  // The control got or lost the keyboard focus.
  virtual void DoEnter();
  virtual void DoExit();
  TNotifyEvent OnEnter, OnExit;
  // Before a size change (Resize False keeps the size) and after it.
  std::function<void(TObject* Sender, int32_t& NewWidth, int32_t& NewHeight, bool& Resize)>
      OnCanResize;
  TNotifyEvent OnResize;

  // --- the framework's further properties ---
  const std::string& Hint() const { return FHint; }  // empty; the host's tooltip text
  void SetHint(const std::string& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }  // False
  void SetShowHint(bool Value) { FShowHint = Value; }
  // Shown by the host on a right click; not owned (nullptr: none).
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }
  // A disabled control gets no mouse or keyboard input from its host.
  bool Enabled() const { return FEnabled; }  // True
  void SetEnabled(bool Value);
  bool TabStop() const { return FTabStop; }  // True: Tab reaches it
  void SetTabStop(bool Value);
  int32_t TabOrder() const { return FTabOrder; }  // 0
  void SetTabOrder(int32_t Value);
  TAlign Align() const { return FAlign; }  // alNone
  void SetAlign(TAlign Value) { FAlign = Value; }
  TAnchors Anchors() const { return FAnchors; }  // akLeft, akTop
  void SetAnchors(TAnchors Value) { FAnchors = Value; }
  TSizeConstraints& Constraints() { return FConstraints; }
  const TSizeConstraints& Constraints() const { return FConstraints; }
  // The host calls this when the parent's client area changed from Old to
  // New: an aligned control fills its side of Free (the part of the parent
  // its aligned siblings before it leave; the whole parent if nullptr),
  // alClient all of it; otherwise the Anchors rule (an anchored side keeps
  // its distance to the parent's side; neither side anchored: the control
  // keeps its place relative to the centre).
  void ParentResized(TPoint OldSize, TPoint NewSize, const TRect* Free = nullptr);

 protected:
  TFont FFont;
  // The ratio changed (the surface already has its new size).
  virtual void DevicePixelRatioChanged() {}
  // Fires OnResize. A control that sizes its parts after the base SetBounds
  // holds a TResizeEventDelay over its SetBounds, so handlers see it whole.
  virtual void Resize();
  class TResizeEventDelay {
   public:
    explicit TResizeEventDelay(TCustomControl& Control) : FControl(Control) {
      ++Control.FResizeDelay;
    }
    ~TResizeEventDelay() {
      if (--FControl.FResizeDelay == 0 && FControl.FResizeOwed) {
        FControl.FResizeOwed = false;
        FControl.Resize();
      }
    }
    TResizeEventDelay(const TResizeEventDelay&) = delete;
    TResizeEventDelay& operator=(const TResizeEventDelay&) = delete;

   private:
    TCustomControl& FControl;
  };

 private:
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  std::string FHint;
  bool FShowHint = false, FEnabled = true, FTabStop = true;
  int32_t FTabOrder = 0;
  TPopupMenu* FPopupMenu = nullptr;
  TAlign FAlign = TAlign::alNone;
  TAnchors FAnchors{TAnchorKind::akLeft, TAnchorKind::akTop};
  TSizeConstraints FConstraints;
  int FResizeDelay = 0;
  bool FResizeOwed = false;
  TLifetime FLifetime;  // the constraints' notification is bound to it
  // Stores a state the host shows (Enabled, TabStop, TabOrder, Cursor) and tells it.
  template <class T>
  void StoreState(T& Field, T Value) {
    if (Value == Field) return;
    Field = Value;
    if (FHost) FHost->ControlStateChanged(this);
  }
  bool FHandleAllocated = false;
  TCursor FCursor = crDefault;
  IControlHost* FHost = nullptr;
  TDeviceScale FDeviceScale;
  double FPointerX = -1e300, FPointerY = -1e300;  // none given
  std::unique_ptr<TBitmap> FSurface;
};

}  // namespace vexa
