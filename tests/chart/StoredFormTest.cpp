// Stored forms: writing in streaming order, reading back equal, and bad
// forms refused with clear errors that leave the object as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kelvo/base/CrossHair.h"
#include "kelvo/chart/BakGndImg.h"
#include "kelvo/chart/ColorBar.h"
#include "kelvo/chart/JointLayers.h"
#include "kelvo/chart/ScaleProps.h"
#include "kelvo/chart/TextLabel.h"
#include "kelvo/platform/Streaming.h"

using namespace vexa;

namespace {

// Reads a form into Object and returns the error text, or "" on success.
std::string ReadError(TPersistent& Object, const std::string& Text,
                      const std::string& Path = "Obj") {
  try {
    ReadFormText(Object, Text, "test.form", Path);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

template <class T>
void ExpectRoundTrip(const T& original) {
  const TFormValue form = WriteForm(original);
  T copy;
  ReadForm(copy, form, "roundtrip", "Obj");
  EXPECT_EQ(WriteForm(copy).dump(), form.dump());
}

TEST(StoredForm, ScalePropsRoundTripEveryProperty) {
  TScalePropsHoriz p;
  p.SetCaption("Years");
  p.SetCaptionPosX(-7);
  p.SetCaptionPosY(22);
  p.SetCaptionAlignment(TAlignment::taRightJustify);
  p.SetCaptionAnchor(TScaleUnitAnchor::uaSclBotRgt);
  p.SetColorScale(clMaroon);
  p.DateFormat().SetTimeFormat(TTimeFormat::tfAMPM);
  p.DateFormat().SetDateSeparator('/');
  p.SetDecPlaces(0);
  p.Font().SetName("Arial");
  p.Font().SetHeight(-13);
  p.Font().SetStyle({TFontStyle::fsBold, TFontStyle::fsUnderline});
  p.SetMinTicks(5);
  p.SetMinRange(0.5);
  p.SetRangeLow(1969);
  p.SetRangeHigh(1981);
  p.SetLogarithmic(true);
  p.SetShortTicks(false);
  p.SetLogLabelStyle(TLogLabelStyle::llsScientific);
  p.SetAvoidLabelOverlap(true);
  p.SetCaptionRotated(true);
  p.Font().SetOrientation(900);
  p.SetScaleInscript("& kg");
  p.SetScaleLocation(TScaleLocationHoriz::slTop);
  p.SetScalePos(30);
  p.SetUserTickText("a|b");
  p.SetVisible(true);
  const TFormValue form = WriteForm(p);
  TScalePropsHoriz q;
  ReadForm(q, form, "roundtrip", "Scale1X");
  EXPECT_EQ(q.Caption(), "Years");
  EXPECT_EQ(q.CaptionPosX(), -7);
  EXPECT_EQ(q.CaptionAnchor(), TScaleUnitAnchor::uaSclBotRgt);
  EXPECT_EQ(q.ColorScale(), clMaroon);
  EXPECT_EQ(q.DateFormat().TimeFormat(), TTimeFormat::tfAMPM);
  EXPECT_EQ(q.DateFormat().DateSeparator(), '/');
  EXPECT_EQ(q.DecPlaces(), 0);
  EXPECT_TRUE(q.Font().SameAs(p.Font()));
  EXPECT_EQ(q.MinTicks(), 5);
  EXPECT_EQ(q.MinRange(), 0.5);
  EXPECT_EQ(q.RangeLow(), 1969);
  EXPECT_EQ(q.RangeHigh(), 1981);
  EXPECT_TRUE(q.Logarithmic());
  EXPECT_FALSE(q.ShortTicks());
  EXPECT_EQ(q.LogLabelStyle(), TLogLabelStyle::llsScientific);
  EXPECT_TRUE(q.AvoidLabelOverlap());
  EXPECT_TRUE(q.CaptionRotated());
  EXPECT_EQ(q.Font().Orientation(), 900);
  EXPECT_EQ(q.ScaleInscript(), "& kg");
  EXPECT_EQ(q.ScaleLocation(), TScaleLocationHoriz::slTop);
  EXPECT_EQ(q.ScaleType(), TScaleType::sctXB);
  EXPECT_EQ(q.ScalePos(), 30);
  EXPECT_EQ(q.UserTickText(), "a|b");
  EXPECT_TRUE(q.Visible());
  EXPECT_EQ(WriteForm(q).dump(), form.dump());
}

TEST(StoredForm, WritesInStreamingOrder) {
  TScalePropsVert p;
  const TFormValue form = WriteForm(p);
  std::vector<std::string> keys;
  for (const auto& [k, v] : form.items()) keys.push_back(k);
  const std::vector<std::string> order = {"Caption",          "CaptionPosX",   "CaptionPosY",
                                          "CaptionAlignment", "CaptionAnchor", "ColorScale",
                                          "DateFormat",       "DecPlaces",     "Font",
                                          "Logarithmic",      "LabelType",     "MinTicks",
                                          "MinRange",         "RangeLow",      "RangeHigh",
                                          "ShortTicks",       "ScaleInscript", "ScalePos",
                                          "UserTickText",     "Visible",       "ScaleLocation"};
  EXPECT_EQ(keys, order);
  EXPECT_EQ(form["ColorScale"], "clBlack");
  EXPECT_EQ(form["Font"]["Color"], "clWindowText");
  EXPECT_EQ(form["ScaleLocation"], "slLeft");
}

TEST(StoredForm, VerticalScalePropsRoundTripTheirPosition) {
  TScalePropsVert p;
  p.SetScaleLocation(TScaleLocationVert::slRight);
  p.SetScalePos(50);
  ExpectRoundTrip(p);
  TScalePropsVert q;
  ReadForm(q, WriteForm(p), "roundtrip", "Scale1Y");
  EXPECT_EQ(q.ScalePos(), 50);
  EXPECT_EQ(q.ScaleType(), TScaleType::sctYL);
}

TEST(StoredForm, OtherSettingsClassesRoundTrip) {
  TCrossHair c;
  c.SetPosX(1975.5);
  c.SetPosY(-1e300);
  c.SetColor(0x123456);
  c.SetLayer(7);
  c.SetMode(TCrossHMode::chCrossBox);
  c.SetLineType(TPenStyle::psDashDot);
  c.SetLineWid(3);
  ExpectRoundTrip(c);

  TTextLabel l;
  l.SetPosX(1977);
  l.SetPosY(3.25);
  l.SetLayer(3);
  l.SetAttachToData(TTxtLblAttachMode::tlamXOnly);
  l.SetColorBkg(clYellow);
  l.SetColorBorder(clRed);
  l.SetColorShadow(clNavy);
  l.SetShadowDx(-2);
  l.SetShadowDy(5);
  l.SetTransparent(true);
  l.SetAlignment(TAlignment::taRightJustify);
  l.SetVerticalAlignment(TVerticalAlignment::vaTop);
  l.Font().SetStyle({TFontStyle::fsItalic});
  l.SetMode(TTxtLblMode::tlShadow);
  l.SetCaption("Peak\n1974");
  l.SetVisible(false);
  ExpectRoundTrip(l);

  TBakGndImg b;
  b.SetIncludePath(true);
  b.SetName("/srv/images/sky.bmp");  // the directory survives loading
  b.SetFillMode(TBkgFill::bfTile);
  b.SetAreaMode(TBGAreaMode::bamHStripeInv);
  b.SetAreaColor(0xABCDEF);
  b.SetAreaLeft(1970);
  b.SetAreaRight(std::numeric_limits<double>::infinity());
  b.SetAreaTop(std::nan(""));
  b.SetAreaBottom(-50);
  const TFormValue form = WriteForm(b);
  TBakGndImg r;
  ReadForm(r, form, "roundtrip", "BackGroundImg");
  EXPECT_EQ(r.Name(), "/srv/images/sky.bmp");
  EXPECT_TRUE(std::isinf(r.AreaRight()));
  EXPECT_TRUE(std::isnan(r.AreaTop()));
  EXPECT_EQ(r.AreaMode(), TBGAreaMode::bamHStripeInv);

  TJointLayers j;
  j.SetXControlledBy(2, 1);
  j.SetYControlledBy(9, 16);
  ExpectRoundTrip(j);

  TColorBar bar;
  EXPECT_EQ(WriteForm(bar).dump(), "{}");  // as created it writes nothing
  bar.SetVisible(true);
  bar.SetColorMapIndex(3);
  bar.SetPosition(TLegendPos::lpOutsideTop);
  bar.SetWidth(30);
  bar.SetCaption("dB");
  bar.Font().SetSize(14);
  ExpectRoundTrip(bar);
  bar.SetPosition(TLegendPos::lpCenter);  // inside the data area: not a bar's place
  EXPECT_EQ(bar.Position(), TLegendPos::lpOutsideRight);
}

TEST(StoredForm, WithoutIncludePathAStoredDirectoryIsCutOnLoading) {
  TBakGndImg b;
  ASSERT_EQ(ReadError(b, R"({"Name": "/a/b/c.bmp", "IncludePath": false})"), "");
  EXPECT_EQ(b.Name(), "c.bmp");
}

TEST(StoredForm, LogarithmicStreamedBeforeTheRangesIsTakenWhileLoading) {
  TScalePropsHoriz p;  // Loading until the chart clears it
  ASSERT_EQ(ReadError(p, R"({"Logarithmic": true, "RangeLow": 1, "RangeHigh": 1000})"), "");
  EXPECT_TRUE(p.Logarithmic());
  EXPECT_EQ(p.RangeLow(), 1);
  EXPECT_EQ(p.RangeHigh(), 1000);
}

TEST(StoredForm, BadFormsNameFileObjectAndProperty) {
  TScalePropsHoriz p;
  p.SetCaption("keep");
  const std::string before = WriteForm(p).dump();
  const struct {
    const char* Text;
    const char* Expected;
  } cases[] = {
      {R"({"Caption": "x", "RangeLow": "low"})",
       "test.form: Obj.RangeLow: expected a number, got a string"},
      {R"({"Caption": "x", "Colour": 1})",
       "test.form: Obj.Colour: unknown property of TScalePropsHoriz"},
      {R"({"DecPlaces": 2.5})",
       "test.form: Obj.DecPlaces: expected a whole number, got a fractional number"},
      {R"({"DecPlaces": 99999999999})", "test.form: Obj.DecPlaces: 99999999999 is out of range"},
      {R"({"LabelType": "ftDate"})", "test.form: Obj.LabelType: unknown value \"ftDate\""},
      {R"({"Font": {"Style": ["fsBold", "fsBlink"]}})",
       "test.form: Obj.Font.Style: unknown value \"fsBlink\""},
      {R"({"Font": {"Color": "clPink"}})",
       "test.form: Obj.Font.Color: unknown colour name \"clPink\""},
      {R"({"Font": 3})", "test.form: Obj.Font: expected an object, got a number"},
      {R"({"DateFormat": {"DateSeparator": "--"}})",
       "test.form: Obj.DateFormat.DateSeparator: expected a string of at most one character"},
      {R"({"Visible": 1})", "test.form: Obj.Visible: expected true or false, got a number"},
      {R"([1, 2])", "test.form: Obj: expected an object, got an array"},
      {R"({"Caption": "x", )", "test.form: malformed form"},
      {R"({"Caption": "unterminated)", "test.form: malformed form"},
      {"", "test.form: malformed form"},
  };
  for (const auto& c : cases) {
    const std::string error = ReadError(p, c.Text);
    EXPECT_EQ(error.rfind(c.Expected, 0), 0u) << c.Text << " gave: " << error;
    EXPECT_EQ(WriteForm(p).dump(), before) << c.Text;  // nothing half-read
  }
}

TEST(StoredForm, DeepNestingIsRefusedBeforeParsing) {
  TScalePropsHoriz p;
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_NE(ReadError(p, deep).find("nests deeper than 64 levels"), std::string::npos);
  const std::string deepObject = R"({"Font": )" + std::string(70, '{') + std::string(70, '}') + "}";
  EXPECT_NE(ReadError(p, deepObject).find("nests deeper"), std::string::npos);
  // Brackets inside strings do not count.
  EXPECT_EQ(
      ReadError(
          p,
          R"({"Caption": "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["})"),
      "");
  EXPECT_EQ(p.Caption().size(), 70u);
}

TEST(StoredForm, JointLayerRulesAreCheckedInFileOrderAndChangeNothing) {
  TJointLayers j;
  j.SetXControlledBy(4, 3);
  const std::string e1 =
      ReadError(j, R"({"L01xControlledBy": 3, "L02xControlledBy": 1})", "Chart.JointLayers");
  EXPECT_EQ(e1,
            "test.form: Chart.JointLayers.L02xControlledBy: Destination layer 1 is already joined");
  EXPECT_EQ(j.XControlledBy(1), 1);
  const std::string e2 = ReadError(j, R"({"L03yControlledBy": 17})", "Chart.JointLayers");
  EXPECT_EQ(e2,
            "test.form: Chart.JointLayers.L03yControlledBy: Destination layer 17 is out of range");
  const std::string e3 = ReadError(j, R"({"L03xControlledBy": 5})", "Chart.JointLayers");
  EXPECT_EQ(e3,
            "test.form: Chart.JointLayers.L03xControlledBy: Layer 3 is joined by other layers (4)");
  EXPECT_EQ(j.XControlledBy(3), 3);
  // Releasing first makes the same join legal.
  EXPECT_EQ(ReadError(j, R"({"L04xControlledBy": 4, "L03xControlledBy": 5})"), "");
  EXPECT_EQ(j.XControlledBy(3), 5);
}

TEST(StoredForm, FilesRoundTripAndMissingFilesRaise) {
  TCrossHair c;
  c.SetLayer(5);
  const std::string path = ::testing::TempDir() + "kelvo-crosshair.form";
  SaveFormToFile(c, path);
  TCrossHair r;
  LoadFormFromFile(r, path, "CrossHair1");
  EXPECT_EQ(r.Layer(), 5);
  EXPECT_THROW(LoadFormFromFile(r, "/nonexistent/x.form", "CrossHair1"), EFOpenError);
}

// A class with declared defaults, as the chart's properties have.
class Defaulted : public TPersistent {
 public:
  int32_t A = 7;
  double B = 1.5;
  const TPropertyTable* Properties() const override {
    static const TPropertyTable table = [] {
      TPropertyTable t;
      TPublish<Defaulted>(t)
          .Int(
              "A", [](const Defaulted& d) { return d.A; },
              [](Defaulted& d, int64_t v) { d.A = int32_t(v); }, 7)
          .Double(
              "B", [](const Defaulted& d) { return d.B; }, [](Defaulted& d, double v) { d.B = v; });
      return t;
    }();
    return &table;
  }
};

TEST(StoredForm, ValuesEqualToTheirDeclaredDefaultAreLeftOut) {
  Defaulted d;
  EXPECT_EQ(WriteForm(d).dump(), R"({"B":1.5})");
  d.A = 8;
  EXPECT_EQ(WriteForm(d).dump(), R"({"A":8,"B":1.5})");
}

}  // namespace
