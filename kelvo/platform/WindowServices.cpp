#include "WindowServices.h"

#include <algorithm>

#include "Controls.h"

namespace vexa {

namespace {
IWindowServices* gInstalled = nullptr;

// Fixed system colours for headless runs, 0xRRGGBB as a designer reads them.
constexpr uint32_t kHeadlessSysColors[SystemColorCount] = {
    0xC8C8C8,  // scroll bar
    0x000000,  // desktop
    0x99B4D1,  // active caption
    0xBFCDDB,  // inactive caption
    0xF0F0F0,  // menu
    0xFFFFFF,  // window
    0x646464,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0x000000,  // caption text
    0xB4B4B4,  // active border
    0xF4F7FC,  // inactive border
    0xABABAB,  // application workspace
    0x0078D7,  // highlight
    0xFFFFFF,  // highlight text
    0xF0F0F0,  // button face
    0xA0A0A0,  // button shadow
    0x6D6D6D,  // grey text
    0x000000,  // button text
    0x000000,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x696969,  // 3D dark shadow
    0xE3E3E3,  // 3D light
    0x000000,  // info text
    0xFFFFE1,  // info background
};
}  // namespace

THeadlessWindowServices& HeadlessWindowServices() {
  static THeadlessWindowServices services;
  return services;
}

IWindowServices& WindowServices() {
  return gInstalled ? *gInstalled : static_cast<IWindowServices&>(HeadlessWindowServices());
}

void InstallWindowServices(IWindowServices* Services) { gInstalled = Services; }

TColor ColorToRGB(TColor c) {
  if (!IsSystemColor(c)) return c & 0x00FFFFFFu;
  return WindowServices().SysColor(static_cast<int>(c & 0xFF)) & 0x00FFFFFFu;
}

TColor THeadlessWindowServices::SysColor(int Index) const {
  if (Index < 0 || Index >= SystemColorCount) return clBlack;
  const uint32_t rgb = kHeadlessSysColors[Index];
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void THeadlessWindowServices::SetCursor(TCursor Id) {
  FCursor = Id;
  FCursorHistory.push_back(Id);
}

const TCursorImage* THeadlessWindowServices::RegisteredCursor(TCursor Id) const {
  auto it = FCursors.find(Id);
  return it == FCursors.end() ? nullptr : &it->second;
}

void THeadlessWindowServices::Invalidate(TCustomControl* Control) {
  if (std::find(FPending.begin(), FPending.end(), Control) == FPending.end())
    FPending.push_back(Control);
}

void THeadlessWindowServices::Forget(TCustomControl* Control) {
  FPending.erase(std::remove(FPending.begin(), FPending.end(), Control), FPending.end());
}

void THeadlessWindowServices::ProcessMessages() {
  ++FProcessCalls;
  // One pass over what is pending now. A paint may invalidate again (served
  // by the next call) or destroy other controls (Forget takes them out of
  // the list), so the list is consulted afresh for every control.
  for (size_t n = FPending.size(); n > 0 && !FPending.empty(); --n) {
    TCustomControl* c = FPending.front();
    FPending.erase(FPending.begin());
    c->PaintWindow();
  }
}

void THeadlessWindowServices::Reset() {
  FCursors.clear();
  FCursor = crDefault;
  FCursorHistory.clear();
  FMessages.clear();
  FPending.clear();
  FProcessCalls = 0;
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

TApplication& Application() {
  static TApplication app;
  return app;
}

int GetDeviceCaps(int Index) { return WindowServices().DeviceCaps(Index); }

}  // namespace vexa
