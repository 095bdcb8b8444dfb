// The framework pieces: attribute objects, Assign, components, controls and
// the headless window services.
#include <gtest/gtest.h>

#include "kelvo/platform/Controls.h"
#include "kelvo/platform/WindowServices.h"

using namespace vexa;

namespace {

// Colours are 0x00BBGGRR: the helper puts red in the low byte.
static_assert(ColorFromRGB(255, 0, 0) == clRed && ColorFromRGB(0, 0, 255) == clBlue &&
              ColorFromRGB(0x12, 0x34, 0x56) == 0x563412);

TEST(Attributes, SettingABrushColourTurnsAClearBrushSolid) {
  TBrush b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.SetStyle(TBrushStyle::bsClear);
  b.SetColor(clWhite);  // same colour, but the style changes
  EXPECT_EQ(b.Style(), TBrushStyle::bsSolid);
  b.SetColor(clWhite);  // nothing changes: no notification
  EXPECT_EQ(changes, 2);
}

TEST(Attributes, PenWidthBelowOneBecomesOne) {
  TPen p;
  p.SetWidth(0);
  EXPECT_EQ(p.Width(), 1);
  p.SetWidth(-7);
  EXPECT_EQ(p.Width(), 1);
}

TEST(Attributes, FontSizeAndHeightConvertAtNinetySixDpi) {
  TFont f;
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);
  EXPECT_EQ(f.Size(), 10);
  f.SetHeight(-13);
  EXPECT_EQ(f.Size(), 10);
  f.SetSize(-12);  // a negative size is a pixel height
  EXPECT_EQ(f.Height(), 16);
}

TEST(Attributes, FontAssignCopiesAndNotifiesOnlyOnChange) {
  TFont a, b;
  a.SetName("Arial");
  a.SetColor(clRed);
  a.SetStyle({TFontStyle::fsBold});
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Assign(&a);
  EXPECT_TRUE(b.SameAs(a));
  EXPECT_EQ(changes, 1);
  b.Assign(&a);
  EXPECT_EQ(changes, 1);
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaisesConvertError) {
  TPen p;
  TBrush b;
  try {
    p.Assign(&b);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TBrush to a TPen");
  }
  EXPECT_THROW(p.Assign(nullptr), EConvertError);
}

class ProbeControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    ++Paints;
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect(Rect(0, 0, Width(), Height()));
  }
  int Paints = 0;
};

class FrameworkWithServices : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessWindowServices().Reset(); }
  void TearDown() override { HeadlessWindowServices().Reset(); }
};

TEST_F(FrameworkWithServices, ControlsPaintThroughTheMessageQueueOnceTheyHaveAWindow) {
  ProbeControl c;
  c.SetBounds(5, 6, 30, 20);
  EXPECT_EQ(c.Surface().Width(), 30);
  EXPECT_EQ(c.Surface().Height(), 20);
  Application().ProcessMessages();
  EXPECT_EQ(c.Paints, 0);  // no window yet
  c.CreateWnd();
  c.Invalidate();
  c.Invalidate();  // coalesced
  Application().ProcessMessages();
  EXPECT_EQ(c.Paints, 1);
  EXPECT_EQ(c.Canvas().Pixels(29, 19), clRed);
  c.SetVisible(false);
  c.Invalidate();
  Application().ProcessMessages();
  EXPECT_EQ(c.Paints, 1);
}

TEST_F(FrameworkWithServices, ADestroyedControlIsForgotten) {
  {
    ProbeControl c;
    c.CreateWnd();
    c.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(HeadlessWindowServices().PendingPaints(), 1u);
  }
  EXPECT_EQ(HeadlessWindowServices().PendingPaints(), 0u);
  Application().ProcessMessages();  // must not touch the destroyed control
}

TEST_F(FrameworkWithServices, SetBoundsRefusesAnImpossibleSizeAndKeepsTheOldOne) {
  ProbeControl c;
  c.SetBounds(0, 0, 40, 30);
  EXPECT_THROW(c.SetBounds(0, 0, 100000, 10), EInvalidGraphic);
  EXPECT_EQ(c.Width(), 40);
  EXPECT_EQ(c.Surface().Width(), 40);
  c.SetBounds(1, 2, -5, -5);
  EXPECT_EQ(c.Width(), 0);
  EXPECT_EQ(c.Left(), 1);
}

// Impossible size limits are clamped to what a surface can have: they
// never leave the control in a state where every resize fails.
TEST_F(FrameworkWithServices, ImpossibleConstraintsAreClamped) {
  ProbeControl c;
  c.SetBounds(0, 0, 40, 30);
  EXPECT_NO_THROW(c.Constraints().SetMinWidth(1000000));
  EXPECT_EQ(c.Constraints().MinWidth(), MaxBitmapSide);
  EXPECT_EQ(c.Width(), MaxBitmapSide);
  EXPECT_NO_THROW(c.SetBounds(0, 0, 300, 200));
  EXPECT_EQ(c.Width(), MaxBitmapSide);
  // Both minimums at their largest: the height gives way to the picture cap.
  TSizeConstraints both;
  both.SetMinWidth(INT32_MAX);
  both.SetMinHeight(INT32_MAX);
  int32_t w = 10, h = 10;
  both.Apply(w, h);
  EXPECT_EQ(w, MaxBitmapSide);
  EXPECT_EQ(uint64_t{static_cast<uint32_t>(w)} * static_cast<uint32_t>(h) * 4, MaxBitmapBytes);
  c.Constraints().SetMinWidth(0);
  c.Constraints().SetMinHeight(0);
  c.SetBounds(0, 0, 300, 200);
  EXPECT_EQ(c.Width(), 300);
  EXPECT_EQ(c.Height(), 200);
}

TEST_F(FrameworkWithServices, CursorsMessagesSystemColoursAndAspect) {
  TCursorImage hand;
  hand.Name = "CURHAND";
  hand.HotX = 16;
  hand.HotY = 16;
  Screen().SetCursors(1, hand);
  Screen().SetCursor(1);
  Screen().SetCursor(crCross);
  EXPECT_EQ(Screen().Cursor(), crCross);
  auto& h = HeadlessWindowServices();
  ASSERT_NE(h.RegisteredCursor(1), nullptr);
  EXPECT_EQ(h.RegisteredCursor(1)->Name, "CURHAND");
  EXPECT_EQ(h.CursorHistory(), (std::vector<TCursor>{1, crCross}));
  Application().MessageBox("Sharing refused", "Kelvo");
  ASSERT_EQ(h.Messages().size(), 1u);
  EXPECT_EQ(h.Messages()[0].Text, "Sharing refused");
  EXPECT_EQ(GetDeviceCaps(ASPECTX), 36);
  EXPECT_EQ(GetDeviceCaps(ASPECTY), 36);
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0u);
  EXPECT_EQ(ColorToRGB(clGrayText), 0x6D6D6Du);
  EXPECT_EQ(ColorToRGB(clBtnShadow), 0xA0A0A0u);
  EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
  EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);  // unknown index
}

TEST(Components, ClassNameOwnerAndState) {
  TComponent owner;
  ProbeControl c(&owner);
  EXPECT_EQ(c.ClassName(), "ProbeControl");
  EXPECT_EQ(c.Owner(), &owner);
  c.SetName("ExportChart");
  EXPECT_EQ(c.Name(), "ExportChart");
  c.BeginLoading();
  EXPECT_TRUE(c.IsLoading());
  c.Loaded();
  EXPECT_FALSE(c.IsLoading());
  EXPECT_EQ(c.DialogCode(), 0);
}

}  // namespace
