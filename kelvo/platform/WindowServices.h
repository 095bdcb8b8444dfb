// The window system's services the library relies on: screen cursors, the
// message loop, the OK message box, system colours and the screen's aspect
// values. They sit behind an interface with a headless implementation (the
// default, which records what it is asked so tests can check it) and a Qt
// one in the Qt host, a layer above the chart.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Types.h"

namespace vexa {

class TCustomControl;

// A 32 x 32 two-colour cursor picture: rows top to bottom, bit 31 is the
// leftmost pixel. Where AndMask is 1 the screen shows through (XORed with
// XorMask); where it is 0 the pixel is black (XorMask 0) or white (1).
struct TCursorImage {
  std::string Name;
  int HotX = 0, HotY = 0;
  std::array<uint32_t, 32> AndMask{};
  std::array<uint32_t, 32> XorMask{};
};

// GetDeviceCaps indexes the library asks for.
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;

class IWindowServices {
 public:
  virtual ~IWindowServices() = default;

  // 0x00BBGGRR of system colour `Index` (the low bits of clBtnFace and friends).
  virtual TColor SysColor(int Index) const = 0;
  virtual void RegisterCursor(TCursor Id, const TCursorImage& Image) = 0;
  virtual void SetCursor(TCursor Id) = 0;
  virtual TCursor Cursor() const = 0;
  // Dispatches pending messages (repaints among them) and returns.
  virtual void ProcessMessages() = 0;
  virtual void MessageBoxOK(const std::string& Text, const std::string& Caption) = 0;
  virtual int DeviceCaps(int Index) const = 0;
  // A control asks to be repainted; a control that goes away is forgotten.
  virtual void Invalidate(TCustomControl* Control) = 0;
  virtual void Forget(TCustomControl* Control) = 0;
};

// The services in force. Installing nullptr goes back to the headless ones;
// the installer keeps ownership and must uninstall before destroying them.
IWindowServices& WindowServices();
void InstallWindowServices(IWindowServices* Services);

class THeadlessWindowServices : public IWindowServices {
 public:
  TColor SysColor(int Index) const override;
  void RegisterCursor(TCursor Id, const TCursorImage& Image) override { FCursors[Id] = Image; }
  void SetCursor(TCursor Id) override;
  TCursor Cursor() const override { return FCursor; }
  // Paints every control that asked to be invalidated since the last call.
  void ProcessMessages() override;
  void MessageBoxOK(const std::string& Text, const std::string& Caption) override {
    FMessages.push_back({Caption, Text});
  }
  int DeviceCaps(int Index) const override {
    return (Index == ASPECTX || Index == ASPECTY) ? 36 : 0;
  }
  void Invalidate(TCustomControl* Control) override;
  void Forget(TCustomControl* Control) override;

  // What tests read back.
  struct TMessage {
    std::string Caption, Text;
  };
  const std::vector<TMessage>& Messages() const { return FMessages; }
  const std::vector<TCursor>& CursorHistory() const { return FCursorHistory; }
  const TCursorImage* RegisteredCursor(TCursor Id) const;
  int ProcessMessagesCalls() const { return FProcessCalls; }
  size_t PendingPaints() const { return FPending.size(); }
  void Reset();

 private:
  std::map<TCursor, TCursorImage> FCursors;
  TCursor FCursor = crDefault;
  std::vector<TCursor> FCursorHistory;
  std::vector<TMessage> FMessages;
  std::vector<TCustomControl*> FPending;
  int FProcessCalls = 0;
};

// The headless services that are in force when nothing else is installed.
THeadlessWindowServices& HeadlessWindowServices();

// The framework's screen and application objects, as thin fronts of the services.
class TScreen {
 public:
  TCursor Cursor() const { return WindowServices().Cursor(); }
  void SetCursor(TCursor Value) { WindowServices().SetCursor(Value); }
  void SetCursors(TCursor Index, const TCursorImage& Image) {
    WindowServices().RegisterCursor(Index, Image);
  }
};

class TApplication {
 public:
  void ProcessMessages() { WindowServices().ProcessMessages(); }
  void MessageBox(const std::string& Text, const std::string& Caption) {
    WindowServices().MessageBoxOK(Text, Caption);
  }
};

TScreen& Screen();
TApplication& Application();
int GetDeviceCaps(int Index);

}  // namespace vexa
