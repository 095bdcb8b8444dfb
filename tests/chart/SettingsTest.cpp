// The settings objects: scale settings, crosshairs, text labels, the
// background image settings and the joint-layer table.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "kelvo/base/CrossHair.h"
#include "kelvo/chart/BakGndImg.h"
#include "kelvo/chart/JointLayers.h"
#include "kelvo/chart/ScaleProps.h"
#include "kelvo/chart/TextLabel.h"

using namespace vexa;

namespace {

// Counts a settings object's notifications.
struct Counter {
  int Count = 0;
  TNotifyEvent Handler() {
    return [this](TObject*) { ++Count; };
  }
};

TEST(ScaleProps, CreationValues) {
  TScalePropsHoriz p;
  EXPECT_EQ(p.RangeLow(), 0);
  EXPECT_EQ(p.RangeHigh(), 1);
  EXPECT_EQ(p.MinRange(), 1e-10);
  EXPECT_EQ(p.DecPlaces(), -2);
  EXPECT_EQ(p.MinTicks(), 3);
  EXPECT_TRUE(p.ShortTicks());
  EXPECT_FALSE(p.Visible());
  EXPECT_EQ(p.LabelType(), TFigType::ftNum);
  EXPECT_EQ(p.CaptionAlignment(), TAlignment::taCenter);
  EXPECT_EQ(p.CaptionAnchor(), TScaleUnitAnchor::uaSclTopLft);
  EXPECT_EQ(p.ScaleType(), TScaleType::sctXT);
  EXPECT_EQ(p.ScaleLocation(), TScaleLocationHoriz::slBottom);
  EXPECT_TRUE(p.Loading());
  EXPECT_EQ(p.DateFormat().DateSeparator(), '-');
  EXPECT_EQ(p.DateFormat().YearLength(), TYearLength::ylYYYY);
  EXPECT_FALSE(p.DateFormat().OnChange);
  TScalePropsVert v;
  EXPECT_EQ(v.ScaleLocation(), TScaleLocationVert::slLeft);
  EXPECT_EQ(v.ScaleType(), TScaleType::sctYR);  // the type its location stands for
}

TEST(ScaleProps, DecPlacesAreClamped) {
  TScalePropsHoriz p;
  p.SetDecPlaces(-10);
  EXPECT_EQ(p.DecPlaces(), -3);
  p.SetDecPlaces(99);
  EXPECT_EQ(p.DecPlaces(), 12);
}

TEST(ScaleProps, RangeEndsKeepMinRangeApart) {
  TScalePropsHoriz p;
  Counter c;
  p.OnChange = c.Handler();
  p.SetRangeLow(1);
  EXPECT_EQ(p.RangeLow(), 1);
  EXPECT_EQ(p.RangeHigh(), 1 + 1e-10);
  TScalePropsHoriz q;
  q.SetRangeLow(5);  // far enough: an inverted axis
  EXPECT_EQ(q.RangeLow(), 5);
  EXPECT_EQ(q.RangeHigh(), 1);
  q.SetRangeHigh(5);
  EXPECT_EQ(q.RangeHigh(), 5);
  EXPECT_EQ(q.RangeLow(), 5 - 1e-10);
  EXPECT_EQ(c.Count, 1);
}

TEST(ScaleProps, MinRangeWidensAboutTheCentreAndNotifiesOnlyThen) {
  TScalePropsHoriz p;
  Counter c;
  p.OnChange = c.Handler();
  p.SetMinRange(4);
  EXPECT_EQ(p.RangeLow(), -1.5);
  EXPECT_EQ(p.RangeHigh(), 2.5);
  EXPECT_EQ(c.Count, 1);
  p.SetMinRange(0.5);
  EXPECT_EQ(p.MinRange(), 0.5);
  EXPECT_EQ(c.Count, 1);
  p.SetMinRange(0);
  p.SetMinRange(std::nan(""));
  EXPECT_EQ(p.MinRange(), 0.5);
  EXPECT_EQ(c.Count, 1);
}

TEST(ScaleProps, LogarithmicRules) {
  TScalePropsHoriz p;
  p.SetLoading(false);
  Counter c;
  p.OnChange = c.Handler();
  p.SetLogarithmic(true);  // 0 .. 1: refused, but notified
  EXPECT_FALSE(p.Logarithmic());
  EXPECT_EQ(c.Count, 1);
  p.SetRangeHigh(100);
  p.SetRangeLow(1);
  p.SetLogarithmic(true);
  EXPECT_TRUE(p.Logarithmic());
  p.SetRangeLow(0);  // below 1e-100 on a logarithmic axis: ignored
  EXPECT_EQ(p.RangeLow(), 1);
  p.SetLabelType(TFigType::ftDateTime);
  EXPECT_FALSE(p.Logarithmic());
  p.SetLogarithmic(true);
  EXPECT_FALSE(p.Logarithmic());
  TScalePropsHoriz loading;  // Loading: taken without checks
  loading.SetLogarithmic(true);
  EXPECT_TRUE(loading.Logarithmic());
}

TEST(ScaleProps, LabelTypeSideEffects) {
  TScalePropsHoriz p;
  p.SetDecPlaces(12);
  p.SetLabelType(TFigType::ftTime);
  EXPECT_EQ(p.DecPlaces(), 4);
}

TEST(ScaleProps, ScaleLocationSetsTheTypeAndScalePosFollowsIt) {
  TScalePropsHoriz h;
  h.SetScaleLocation(TScaleLocationHoriz::slTop);
  EXPECT_EQ(h.ScaleType(), TScaleType::sctXB);
  h.SetScalePos(30);
  EXPECT_EQ(h.ScalePos(), 30);
  h.SetScaleType(TScaleType::sctYL);  // the vertical slot is separate
  EXPECT_EQ(h.ScalePos(), 0);
  h.SetScaleType(TScaleType::sctXT);
  EXPECT_EQ(h.ScalePos(), 30);
  TScalePropsVert v;
  v.SetScaleLocation(TScaleLocationVert::slRight);
  EXPECT_EQ(v.ScaleType(), TScaleType::sctYL);
  v.SetScaleLocation(TScaleLocationVert::slLeft);
  EXPECT_EQ(v.ScaleType(), TScaleType::sctYR);
}

TEST(ScaleProps, FontChangesNotifyOnceEach) {
  TScalePropsHoriz p;
  Counter c;
  p.OnChange = c.Handler();
  p.Font().SetColor(clRed);
  EXPECT_EQ(c.Count, 1);
  TFont f;
  f.SetName("Arial");
  f.SetHeight(-13);
  p.SetFont(f);
  EXPECT_EQ(c.Count, 2);
  EXPECT_EQ(p.Font().Name(), "Arial");
}

TEST(ScaleProps, AssignCopiesEverythingButTheLocationSilently) {
  TScalePropsHoriz a, b;
  Counter ca, cb;
  a.OnChange = ca.Handler();
  a.SetCaption("Years");
  a.SetRangeLow(1969);
  a.SetRangeHigh(1981);
  a.SetScaleLocation(TScaleLocationHoriz::slTop);
  a.SetScalePos(30);
  a.SetLoading(false);
  a.Font().SetHeight(-13);
  a.DateFormat().SetDateSeparator('/');
  b.OnChange = cb.Handler();
  ca.Count = 0;
  b.Assign(&a);
  EXPECT_EQ(ca.Count + cb.Count, 0);
  EXPECT_EQ(b.Caption(), "Years");
  EXPECT_EQ(b.RangeLow(), 1969);
  EXPECT_EQ(b.ScaleType(), TScaleType::sctXB);
  EXPECT_EQ(b.ScalePos(), 30);
  EXPECT_FALSE(b.Loading());
  EXPECT_EQ(b.Font().Height(), -13);
  EXPECT_EQ(b.DateFormat().DateSeparator(), '/');
  EXPECT_EQ(b.ScaleLocation(), TScaleLocationHoriz::slBottom);  // not copied
  b.SetVisible(true);                                           // b notifies a's listener now
  EXPECT_EQ(ca.Count, 1);
  TBakGndImg other;
  EXPECT_THROW(b.Assign(&other), EConvertError);
  EXPECT_EQ(b.Caption(), "Years");
}

TEST(CrossHair, FreshZeroLayerClampedAssignSilent) {
  TCrossHair c;
  EXPECT_EQ(c.Layer(), 0);
  EXPECT_EQ(c.LineWid(), 0);
  EXPECT_EQ(c.Mode(), TCrossHMode::chOff);
  Counter n;
  c.OnChange = n.Handler();
  c.SetLayer(0);
  EXPECT_EQ(c.Layer(), 1);
  c.SetLayer(40);
  EXPECT_EQ(c.Layer(), 16);
  EXPECT_EQ(n.Count, 2);
  TCrossHair d;
  d.Assign(&c);
  EXPECT_EQ(d.Layer(), 16);
  EXPECT_EQ(n.Count, 2);
  d.SetPosX(3);  // d took over c's listener
  EXPECT_EQ(n.Count, 3);
}

TEST(TextLabel, CreationValuesLayerAndCaptionRules) {
  TTextLabel l;
  EXPECT_TRUE(l.Visible());
  EXPECT_EQ(l.Mode(), TTxtLblMode::tlsimple);
  EXPECT_EQ(l.PosX(), 100);
  EXPECT_EQ(l.PosY(), 10);
  EXPECT_EQ(l.AttachToData(), TTxtLblAttachMode::tlamNone);
  EXPECT_EQ(l.ColorBkg(), 0xC0C0C0u);
  EXPECT_EQ(l.ColorShadow(), 0x808080u);
  Counter n;
  l.OnChange = n.Handler();
  l.SetLayer(0);
  l.SetLayer(17);
  EXPECT_EQ(l.Layer(), 1);
  EXPECT_EQ(n.Count, 0);
  l.SetCaption("a\tb");
  EXPECT_EQ(l.Caption(), "a b");
  l.SetCaption("line 1\nline 2\r");
  EXPECT_EQ(l.Caption(), "line 1\nline 2 ");
  EXPECT_EQ(n.Count, 2);
}

TEST(TextLabel, AssignCopiesFontAndListener) {
  TTextLabel a, b;
  Counter n;
  a.OnChange = n.Handler();
  a.Font().SetName("Arial");
  a.SetCaption("Peak");
  b.Assign(&a);
  EXPECT_EQ(b.Font().Name(), "Arial");
  EXPECT_EQ(b.Caption(), "Peak");
  EXPECT_EQ(n.Count, 1);
  b.SetPosX(5);
  EXPECT_EQ(n.Count, 2);            // the destination notifies the source's listener
  EXPECT_NE(&b.Font(), &a.Font());  // each label owns its font
}

TEST(BakGndImg, NameKeepsOnlyTheFileNameUnlessPathsAreIncluded) {
  TBakGndImg b;
  EXPECT_EQ(b.FillMode(), TBkgFill::bfStretch);
  EXPECT_EQ(b.AreaColor(), 0xDDDDDDu);
  EXPECT_EQ(b.AreaLeft(), -1);
  b.SetName("/home/user/pictures/sky.bmp");
  EXPECT_EQ(b.Name(), "sky.bmp");
  b.SetName("C:\\Data\\bg.bmp");
  EXPECT_EQ(b.Name(), "bg.bmp");
  b.SetName("D:logo.bmp");
  EXPECT_EQ(b.Name(), "logo.bmp");
  b.SetIncludePath(true);
  EXPECT_EQ(b.Name(), "logo.bmp");  // nothing comes back
  b.SetName("/srv/a/b.png");
  EXPECT_EQ(b.Name(), "/srv/a/b.png");
  b.SetIncludePath(false);
  EXPECT_EQ(b.Name(), "b.png");
}

class FakeChart : public IJointLayersOwner {
 public:
  void LayerJoined(int32_t Layer, TJointAxis Axis) override { Joins.push_back({Layer, Axis}); }
  std::weak_ptr<const void> OwnerAlive() const override { return Alive; }
  std::vector<std::pair<int32_t, TJointAxis>> Joins;
  std::shared_ptr<const void> Alive = std::make_shared<int>(0);
};

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EVexaKelvoError& e) {
    return e.what();
  }
  return "";
}

TEST(JointLayers, JoinCallsTheOwnerAndNotifies) {
  FakeChart chart;
  TJointLayers j(&chart);
  Counter n;
  j.OnChange = n.Handler();
  for (int l = 1; l <= 16; ++l) ASSERT_EQ(j.XControlledBy(l), l);
  j.SetXControlledBy(2, 1);
  EXPECT_EQ(j.XControlledBy(2), 1);
  EXPECT_EQ(j.YControlledBy(2), 2);  // the y table is untouched
  ASSERT_EQ(chart.Joins.size(), 1u);
  EXPECT_EQ(chart.Joins[0].first, 2);
  EXPECT_EQ(chart.Joins[0].second, TJointAxis::jaX);
  EXPECT_EQ(n.Count, 1);
  j.SetXControlledBy(2, 2);  // release: no range change, no notification
  EXPECT_EQ(j.XControlledBy(2), 2);
  EXPECT_EQ(chart.Joins.size(), 1u);
  EXPECT_EQ(n.Count, 1);
}

TEST(JointLayers, TheThreeRefusalsChangeNothing) {
  FakeChart chart;
  TJointLayers j(&chart);
  EXPECT_EQ(ErrorOf([&] { j.SetXControlledBy(2, 17); }), "Destination layer 17 is out of range");
  EXPECT_EQ(ErrorOf([&] { j.SetXControlledBy(2, 0); }), "Destination layer 0 is out of range");
  j.SetXControlledBy(1, 3);
  EXPECT_EQ(ErrorOf([&] { j.SetXControlledBy(2, 1); }), "Destination layer 1 is already joined");
  j.SetXControlledBy(1, 1);
  j.SetXControlledBy(2, 1);
  j.SetXControlledBy(5, 1);
  EXPECT_EQ(ErrorOf([&] { j.SetXControlledBy(1, 3); }), "Layer 1 is joined by other layers (2, 5)");
  EXPECT_EQ(j.XControlledBy(1), 1);
  EXPECT_EQ(j.XControlledBy(2), 1);
  EXPECT_EQ(j.XControlledBy(5), 1);
  EXPECT_EQ(j.XControlledBy(3), 3);
  j.SetYControlledBy(1, 3);  // the y table has rules of its own
  EXPECT_EQ(j.YControlledBy(1), 3);
}

TEST(JointLayers, NeverCallsAnOwnerThatIsGone) {
  auto chart = std::make_unique<FakeChart>();
  TJointLayers j(chart.get());
  chart.reset();
  j.SetXControlledBy(3, 4);  // must not touch the destroyed owner
  EXPECT_EQ(j.XControlledBy(3), 4);
}

TEST(JointLayers, AssignCopiesTablesButNotTheOwner) {
  FakeChart one, two;
  TJointLayers a(&one), b(&two);
  a.SetXControlledBy(4, 2);
  b.Assign(&a);
  EXPECT_EQ(b.XControlledBy(4), 2);
  EXPECT_TRUE(two.Joins.empty());  // no range application on Assign
  b.SetYControlledBy(6, 2);
  EXPECT_EQ(two.Joins.size(), 1u);  // b still acts on its own chart
  EXPECT_EQ(one.Joins.size(), 1u);
}

}  // namespace
