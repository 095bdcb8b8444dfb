// The demo window as a user meets it: kelvo-demo in a real X server (Xvfb)
// under a real window manager (openbox), driven by real input events (XTest)
// and checked on screenshots of its window and on the pointer's image
// (XFixes). Where Xvfb cannot start, every test skips and says why;
// anything else that goes wrong fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "kelvo/platform/Bitmap.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

using namespace std::chrono_literals;

namespace {

// --- child processes ---

class TChild {
 public:
  // Starts Argv with Env added to this process' environment; false when it cannot.
  bool Start(const std::vector<std::string>& Argv, const std::map<std::string, std::string>& Env,
             const std::string& Log) {
    FPid = fork();
    if (FPid < 0) return false;
    if (FPid == 0) {
      for (const auto& [k, v] : Env) setenv(k.c_str(), v.c_str(), 1);
      if (!Log.empty()) {
        FILE* f = std::freopen(Log.c_str(), "w", stdout);
        if (f) dup2(fileno(stdout), 2);
      }
      std::vector<char*> args;
      for (const std::string& a : Argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    return true;
  }
  bool Running() {
    if (FPid <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(FPid, &status, WNOHANG);
    if (r == 0) return true;
    if (r == FPid) {
      FStatus = status;
      FPid = 0;
    }
    return false;
  }
  // The exit status once the child ends within Timeout; -1 when it does
  // not end, -2 when a signal ended it.
  int Wait(std::chrono::milliseconds Timeout) {
    const auto end = std::chrono::steady_clock::now() + Timeout;
    while (Running()) {
      if (std::chrono::steady_clock::now() > end) return -1;
      std::this_thread::sleep_for(20ms);
    }
    return WIFEXITED(FStatus) ? WEXITSTATUS(FStatus) : -2;
  }
  void Stop() {
    if (!Running()) return;
    kill(FPid, SIGTERM);
    if (Wait(2s) == -1) {
      kill(FPid, SIGKILL);
      Wait(2s);
    }
  }
  ~TChild() { Stop(); }

 private:
  pid_t FPid = 0;
  int FStatus = 0;
};

// --- the X side ---

struct TServer {
  TChild Xvfb, WindowManager;
  Display* D = nullptr;
  std::string Name;     // ":93", as Xvfb chose
  std::string SkipWhy;  // set when Xvfb cannot start
  std::string FailWhy;  // set when anything else of the set-up fails
  std::string Dir;      // for logs and pictures
};

TServer* Server = nullptr;

bool WaitFor(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout) {
  const auto end = std::chrono::steady_clock::now() + Timeout;
  while (!Condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(25ms);
  }
  return true;
}

std::string WindowTitle(Display* d, Window w) {
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False), name = XInternAtom(d, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

// Every window with a title, and whether it is shown: for failure messages.
std::string DescribeWindows(Display* d, Window from, int depth = 0) {
  std::string out;
  const std::string title = WindowTitle(d, from);
  XWindowAttributes a{};
  XGetWindowAttributes(d, from, &a);
  if (!title.empty())
    out += std::string(static_cast<size_t>(depth) * 2, ' ') + "\"" + title + "\" " +
           std::to_string(a.width) + "x" + std::to_string(a.height) +
           (a.map_state == IsViewable   ? " viewable"
            : a.map_state == IsUnmapped ? " unmapped"
                                        : " unviewable") +
           "\n";
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, from, &root, &parent, &children, &n)) return out;
  for (unsigned int i = 0; i < n; ++i) out += DescribeWindows(d, children[i], depth + 1);
  if (children) XFree(children);
  return out;
}

// A viewable window of that title (the demo's own, not one Qt keeps hidden).
Window FindTitled(Display* d, Window from, const std::string& Title) {
  if (WindowTitle(d, from) == Title) {
    XWindowAttributes a;
    if (XGetWindowAttributes(d, from, &a) && a.map_state == IsViewable) return from;
  }
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, from, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < n && !found; ++i) found = FindTitled(d, children[i], Title);
  if (children) XFree(children);
  return found;
}

using TPicture = std::unique_ptr<vexa::TBitmap>;

// The window's picture, 0xFFRRGGBB as the library's bitmaps hold it.
TPicture Grab(Display* d, Window w) {
  XWindowAttributes a;
  XGetWindowAttributes(d, w, &a);
  auto picture = std::make_unique<vexa::TBitmap>(a.width, a.height);
  vexa::TBitmap& b = *picture;
  XImage* img = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                          static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!img) return picture;
  for (int y = 0; y < a.height; ++y) {
    uint32_t* row = b.ScanLine(y);
    for (int x = 0; x < a.width; ++x)
      row[x] = 0xFF000000u | (static_cast<uint32_t>(XGetPixel(img, x, y)) & 0xFFFFFFu);
  }
  XDestroyImage(img);
  return picture;
}

bool Same(const vexa::TBitmap& a, const vexa::TBitmap& b, int x0 = 0, int y0 = 0, int w = -1,
          int h = -1) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  if (w < 0) w = a.Width();
  if (h < 0) h = a.Height();
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if ((a.Bits()[y * a.Width() + x] ^ b.Bits()[y * b.Width() + x]) & 0xFFFFFF) return false;
  return true;
}

// The demo's layout, in client pixels: the chart control and its data area.
constexpr int ChartX = 8, ChartY = 24, ChartW = 449, ChartH = 345;
constexpr int DataLeft = ChartX + 40, DataTop = ChartY + 20;
constexpr int DataRight = ChartX + ChartW - 20, DataBottom = ChartY + ChartH - 30;
constexpr uint32_t GridColour = 0xC0C0C0;  // clSilver

// Columns (or rows) of the data area where a quarter or more of the pixels are grid-coloured.
std::vector<int> GridLines(const vexa::TBitmap& b, bool Columns) {
  std::vector<int> lines;
  const int from = Columns ? DataLeft + 1 : DataTop + 1, to = Columns ? DataRight : DataBottom;
  for (int i = from; i < to; ++i) {
    int hits = 0, all = 0;
    const int a = Columns ? DataTop + 1 : DataLeft + 1, z = Columns ? DataBottom : DataRight;
    for (int j = a; j < z; ++j, ++all) {
      const uint32_t p = Columns ? b.Bits()[j * b.Width() + i] : b.Bits()[i * b.Width() + j];
      hits += (p & 0xFFFFFF) == GridColour;
    }
    if (hits * 4 >= all) lines.push_back(i);  // dotted: half at most, less where bars cover
  }
  return lines;
}

class DemoInX : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Server = new TServer;
    Server->Dir =
        (std::filesystem::temp_directory_path() / ("kelvo-x11-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(Server->Dir);
    // Xvfb picks a free display itself and names it on the pipe.
    int fds[2];
    if (pipe(fds) != 0) {
      Server->SkipWhy = "Xvfb cannot start: no pipe";
      return;
    }
    if (!Server->Xvfb.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                             "1280x1024x24", "-nolisten", "tcp"},
                            {}, Server->Dir + "/xvfb.log")) {
      Server->SkipWhy = "Xvfb cannot start: fork failed";
      return;
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
      Server->Xvfb.Stop();
      Server->SkipWhy =
          "Xvfb cannot start (is the xvfb package installed? see " + Server->Dir + "/xvfb.log)";
      return;
    }
    Server->Name = ":" + number;
    const bool up = WaitFor(
        [&] {
          if (!Server->Xvfb.Running()) return true;
          Server->D = XOpenDisplay(Server->Name.c_str());
          return Server->D != nullptr;
        },
        10s);
    // Windows come and go while the tests look at the tree: a request about
    // one that has just gone is no error of ours.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (!up || !Server->D) {
      Server->SkipWhy = "Xvfb cannot start on " + Server->Name +
                        " (is the xvfb package there? see " + Server->Dir + "/xvfb.log)";
      return;
    }
    Server->WindowManager.Start({"openbox", "--sm-disable"}, {{"DISPLAY", Server->Name}},
                                Server->Dir + "/openbox.log");
    const Atom check = XInternAtom(Server->D, "_NET_SUPPORTING_WM_CHECK", False);
    const bool wm = WaitFor(
        [&] {
          Atom type;
          int format;
          unsigned long count = 0, after;
          unsigned char* data = nullptr;
          XGetWindowProperty(Server->D, DefaultRootWindow(Server->D), check, 0, 1, False, XA_WINDOW,
                             &type, &format, &count, &after, &data);
          if (data) XFree(data);
          return count > 0;
        },
        10s);
    if (!wm) {
      Server->FailWhy = "openbox did not start (see " + Server->Dir + "/openbox.log)";
      return;
    }
    // The window manager is ready once it takes a window in: a probe window
    // of ours is reparented into a frame. It names itself before it takes
    // requests, so a probe mapped too early is mapped again.
    Display* d = Server->D;
    const Window probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    int tries = 0;
    const bool managed = WaitFor(
        [&] {
          if (tries++ % 20 == 0) {
            XUnmapWindow(d, probe);
            XMapWindow(d, probe);
            XSync(d, False);
          }
          Window root, parent, *children = nullptr;
          unsigned int n = 0;
          if (!XQueryTree(d, probe, &root, &parent, &children, &n)) return false;
          if (children) XFree(children);
          return parent != root;
        },
        30s);
    XDestroyWindow(d, probe);
    XSync(d, False);
    if (!managed)
      Server->FailWhy = "openbox does not take windows in (see " + Server->Dir + "/openbox.log)";
  }
  static void TearDownTestSuite() {
    if (Server->D) XCloseDisplay(Server->D);
    Server->WindowManager.Stop();
    Server->Xvfb.Stop();
    // Screenshots and logs stay only where something failed.
    const auto* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
    if (suite && !suite->Failed()) {
      std::error_code e;
      std::filesystem::remove_all(Server->Dir, e);
    } else {
      std::printf("Screenshots and logs: %s\n", Server->Dir.c_str());
    }
    delete Server;
    Server = nullptr;
  }

  void SetUp() override {
    if (!Server->SkipWhy.empty()) GTEST_SKIP() << Server->SkipWhy;
    ASSERT_TRUE(Server->FailWhy.empty()) << Server->FailWhy;
    D = Server->D;
  }

  // Starts the demo and waits for its window, showing the bars.
  void StartDemo(TChild& Demo, Window& W, const std::map<std::string, std::string>& Extra = {}) {
    std::map<std::string, std::string> env = {
        {"DISPLAY", Server->Name}, {"QT_QPA_PLATFORM", "xcb"}, {"ASAN_OPTIONS", "detect_leaks=0"}};
    env.insert(Extra.begin(), Extra.end());
    ASSERT_TRUE(Demo.Start({KELVO_DEMO_PATH}, env, Server->Dir + "/demo.log"));
    W = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
          W = FindTitled(D, DefaultRootWindow(D), "Example for Bar3D method");
          return W != 0 || !Demo.Running();
        },
        20s))
        << "windows:\n"
        << DescribeWindows(D, DefaultRootWindow(D));
    ASSERT_NE(W, 0u) << "no window titled \"Example for Bar3D method\" is shown (see "
                     << Server->Dir << "/demo.log)";
    // Managed by the window manager (it sets WM_STATE), so that its close
    // requests and focus reach the window.
    const Atom wmState = XInternAtom(D, "WM_STATE", False);
    ASSERT_TRUE(WaitFor(
        [&] {
          Atom type;
          int format;
          unsigned long count = 0, after;
          unsigned char* data = nullptr;
          XGetWindowProperty(D, W, wmState, 0, 2, False, wmState, &type, &format, &count, &after,
                             &data);
          if (data) XFree(data);
          return count > 0;
        },
        10s))
        << "the window manager never managed the window";
    XRaiseWindow(D, W);
    XSync(D, False);
  }

  // Client pixel (X, Y) of W in root coordinates.
  void RootOf(Window W, int X, int Y, int& RX, int& RY) {
    Window child;
    XTranslateCoordinates(D, W, DefaultRootWindow(D), X, Y, &RX, &RY, &child);
  }
  void MoveTo(Window W, int X, int Y) {
    int rx, ry;
    RootOf(W, X, Y, rx, ry);
    XTestFakeMotionEvent(D, -1, rx, ry, CurrentTime);
    XSync(D, False);
    std::this_thread::sleep_for(30ms);
  }
  void Button(bool Down) {
    XTestFakeButtonEvent(D, 1, Down, CurrentTime);
    XSync(D, False);
    std::this_thread::sleep_for(30ms);
  }
  void Click(Window W, int X, int Y) {
    MoveTo(W, X, Y);
    Button(true);
    Button(false);
  }
  // Waits until the window's picture stays the same for a moment.
  TPicture Settled(Window W) {
    TPicture last = Grab(D, W);
    for (int i = 0; i < 40; ++i) {
      std::this_thread::sleep_for(60ms);
      TPicture now = Grab(D, W);
      if (Same(*now, *last)) return now;
      last = std::move(now);
    }
    return last;
  }
  // The window's next picture whose chart differs from Before, or nullptr
  // when none comes within a few seconds.
  TPicture Changed(Window W, const vexa::TBitmap& Before) {
    TPicture now;
    const bool changed = WaitFor(
        [&] {
          now = Grab(D, W);
          return !Same(*now, Before, ChartX, ChartY, ChartW, ChartH);
        },
        5s);
    return changed ? std::move(now) : nullptr;
  }
  void Save(const vexa::TBitmap& B, const std::string& Name) {
    B.SaveToFile(Server->Dir + "/" + Name + ".png");
  }

  Display* D = nullptr;
};

// One demo session walked through as a user would, in order.
TEST_F(DemoInX, TheWindowAsAUserSeesIt) {
  TChild demo;
  Window w = 0;
  StartDemo(demo, w);
  if (HasFatalFailure()) return;

  // Title and client size.
  EXPECT_EQ(WindowTitle(D, w), "Example for Bar3D method");
  XWindowAttributes a;
  XGetWindowAttributes(D, w, &a);
  EXPECT_EQ(a.width, 576);
  EXPECT_EQ(a.height, 432);

  // The start picture is the one the program writes offscreen.
  const std::string snapshotPath = Server->Dir + "/snapshot.png";
  TChild snap;
  ASSERT_TRUE(snap.Start({KELVO_DEMO_PATH, "--snapshot", snapshotPath},
                         {{"ASAN_OPTIONS", "detect_leaks=0"}}, Server->Dir + "/snapshot.log"));
  ASSERT_EQ(snap.Wait(30s), 0);
  vexa::TBitmap snapshot;
  snapshot.LoadFromFile(snapshotPath);
  MoveTo(w, 300, 380);  // the pointer rests on the window's own surface
  const TPicture start = Settled(w);
  Save(*start, "1-start");
  EXPECT_TRUE(Same(*start, snapshot, ChartX, ChartY, ChartW, ChartH))
      << "the chart differs from kelvo-demo --snapshot; see " << Server->Dir;

  // The cursor over the chart is the hand: transparent corners, a black
  // outline and a white inside; over the window's surface the arrow again.
  MoveTo(w, 250, 120);
  MoveTo(w, 252, 121);
  XFixesCursorImage* hand = XFixesGetCursorImage(D);
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(hand->width, 32);
  EXPECT_EQ(hand->height, 32);
  EXPECT_EQ(hand->xhot, 12);
  EXPECT_EQ(hand->yhot, 3);
  int black = 0, white = 0;
  if (hand->width == 32 && hand->height == 32) {
    for (int i = 0; i < 32 * 32; ++i) {
      const unsigned long p = hand->pixels[i];
      black += (p & 0xFFFFFFFF) == 0xFF000000;
      white += (p & 0xFFFFFFFF) == 0xFFFFFFFF;
    }
    EXPECT_EQ(hand->pixels[0] >> 24, 0u);  // transparent corners
    EXPECT_EQ(hand->pixels[31] >> 24, 0u);
    EXPECT_EQ(hand->pixels[32 * 31] >> 24, 0u);
    EXPECT_EQ(hand->pixels[32 * 32 - 1] >> 24, 0u);
  }
  EXPECT_GT(black, 40);
  EXPECT_GT(white, 40);
  const std::string handName = hand->name ? hand->name : "";
  XFree(hand);
  MoveTo(w, 300, 380);
  MoveTo(w, 301, 381);
  XFixesCursorImage* arrow = XFixesGetCursorImage(D);
  ASSERT_NE(arrow, nullptr);
  EXPECT_FALSE(arrow->width == 32 && arrow->height == 32 && arrow->xhot == 12 && arrow->yhot == 3)
      << "the hand stayed over the window's surface";
  XFree(arrow);
  // Quickly out of the chart onto a button: not the hand either.
  MoveTo(w, 250, 120);
  MoveTo(w, 180, 408);
  XFixesCursorImage* overButton = XFixesGetCursorImage(D);
  ASSERT_NE(overButton, nullptr);
  EXPECT_FALSE(overButton->xhot == 12 && overButton->yhot == 3 && overButton->width == 32)
      << "the hand stayed over the Start button";
  XFree(overButton);

  // A left-button drag pans both ranges: the grid moves with the pointer.
  const std::vector<int> columns = GridLines(*start, true), rows = GridLines(*start, false);
  ASSERT_GE(columns.size(), 5u);
  ASSERT_GE(rows.size(), 2u);
  const int dx = 23, dy = 17;
  MoveTo(w, 200, 150);
  Button(true);
  MoveTo(w, 201, 151);  // the drag starts at the first move with the button down
  for (int k = 1; k <= 4; ++k) MoveTo(w, 201 + dx * k / 4, 151 + dy * k / 4);
  Button(false);
  MoveTo(w, 300, 380);
  const TPicture panned = Settled(w);
  Save(*panned, "2-panned");
  const std::vector<int> movedColumns = GridLines(*panned, true),
                         movedRows = GridLines(*panned, false);
  auto shifted = [](const std::vector<int>& before, const std::vector<int>& after, int by) {
    int matched = 0;
    for (int b : before)
      for (int a : after)
        if (std::abs(a - (b + by)) <= 1) ++matched;
    return matched;
  };
  EXPECT_GE(shifted(columns, movedColumns, dx), static_cast<int>(columns.size()) - 2)
      << "grid columns did not move by " << dx;
  EXPECT_GE(shifted(rows, movedRows, dy), static_cast<int>(rows.size()) - 1)
      << "grid rows did not move by " << dy;

  // The height scroll bar's lower arrow changes the picture.
  Click(w, 479, 32 + 345 - 6);
  const TPicture scrolled = Settled(w);
  Save(*scrolled, "3-scrolled");
  EXPECT_FALSE(Same(*scrolled, *panned, ChartX, ChartY, ChartW, ChartH));

  // Rectangles and back to 3D bars.
  Click(w, 466, 408);
  const TPicture rectangles = Settled(w);
  Save(*rectangles, "4-rectangles");
  EXPECT_FALSE(Same(*rectangles, *scrolled, ChartX, ChartY, ChartW, ChartH));
  Click(w, 378, 408);
  const TPicture bars = Settled(w);
  EXPECT_TRUE(Same(*bars, *scrolled, ChartX, ChartY, ChartW, ChartH));

  // Start animates (the chart keeps changing), Stop stops.
  Click(w, 180, 408);
  TPicture frame1 = Changed(w, *bars), frame2 = frame1 ? Changed(w, *frame1) : nullptr;
  ASSERT_TRUE(frame1 && frame2) << "Start did not animate";
  Save(*frame2, "5-animating");
  Click(w, 276, 408);
  const TPicture stopped = Settled(w);
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Same(*stopped, *Grab(D, w))) << "Stop did not stop the animation";

  // Exit ends the program with status 0.
  Click(w, 52, 408);
  EXPECT_EQ(demo.Wait(10s), 0);
  (void)handName;
}

// At a scale factor of 2 the chart is drawn in device pixels: the window
// has twice the pixels, the chart is the program's own picture at that
// factor, and a one-pixel line is two device pixels wide (not a smoothed or
// blocky enlargement: the text differs from the doubled picture at 1).
TEST_F(DemoInX, AtScaleFactorTwoTheChartIsDrawnInDevicePixels) {
  TChild demo;
  Window w = 0;
  StartDemo(demo, w, {{"QT_SCALE_FACTOR", "2"}});
  if (HasFatalFailure()) return;
  XWindowAttributes a;
  XGetWindowAttributes(D, w, &a);
  EXPECT_EQ(a.width, 2 * 576);
  EXPECT_EQ(a.height, 2 * 432);
  const std::string snapshotPath = Server->Dir + "/snapshot-2.png";
  TChild snap;
  ASSERT_TRUE(snap.Start({KELVO_DEMO_PATH, "--snapshot", snapshotPath},
                         {{"ASAN_OPTIONS", "detect_leaks=0"}, {"QT_SCALE_FACTOR", "2"}},
                         Server->Dir + "/snapshot-2.log"));
  ASSERT_EQ(snap.Wait(30s), 0);
  vexa::TBitmap snapshot;
  snapshot.LoadFromFile(snapshotPath);
  ASSERT_EQ(snapshot.Width(), 2 * 576);
  MoveTo(w, 600, 760);  // on the window's own surface, off the chart
  const TPicture start = Settled(w);
  Save(*start, "scale2-start");
  EXPECT_TRUE(Same(*start, snapshot, 2 * ChartX, 2 * ChartY, 2 * ChartW, 2 * ChartH))
      << "the chart differs from kelvo-demo --snapshot at scale 2; see " << Server->Dir;
  // The data area's left frame line: two device pixels wide and dark down
  // its whole length (the axis' ticks meet it from the left, the bars and
  // grid are right of it).
  const int x = 2 * DataLeft;
  int rows = 0, wide = 0, ticks = 0;
  for (int y = 2 * DataTop + 4; y < 2 * DataBottom - 4; ++y, ++rows) {
    auto dark = [&](int px) { return (start->Canvas().Pixels(px, y) & 0xFFFFFF) < 0x404040; };
    wide += dark(x) && dark(x + 1) && !dark(x + 2);
    ticks += dark(x - 1);
  }
  EXPECT_EQ(wide, rows);
  EXPECT_LT(ticks, rows / 4);
  demo.Stop();
}

// The window manager's close while the animation runs ends the program
// with status 0.
TEST_F(DemoInX, ClosingDuringTheAnimationEndsTheProgram) {
  TChild demo;
  Window w = 0;
  StartDemo(demo, w);
  if (HasFatalFailure()) return;
  Settled(w);
  Click(w, 180, 408);  // Start
  std::this_thread::sleep_for(300ms);
  const TPicture running = Grab(D, w);
  Save(*running, "6-before-closing");
  // The close request a pager or taskbar sends; the window manager turns it
  // into the window's WM_DELETE_WINDOW, as its close button does.
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(D, "_NET_CLOSE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = 2;  // from a pager
  XSendEvent(D, DefaultRootWindow(D), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XSync(D, False);
  EXPECT_EQ(demo.Wait(10s), 0);
}

}  // namespace
