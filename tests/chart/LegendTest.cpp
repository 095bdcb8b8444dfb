// The legend: its places and looks (reference pictures), the hit test, the
// click and the drag, the stored form, and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "kelvo/chart/Vexa_kelvo.h"
#include "kelvo/platform/Streaming.h"
#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;

namespace {

constexpr kelvo::test::TTolerance kText{40, 60};

// A small report: three series and an entry added for items of class 3.
std::unique_ptr<TKelvo> Report(int w, int h) {
  auto c = std::make_unique<TKelvo>();
  c->SetBounds(0, 0, w, h);
  c->CreateWnd();
  c->SetAutoRedraw(false);
  c->Scale1X().SetRangeLow(0);
  c->Scale1X().SetRangeHigh(10);
  c->Scale1Y().SetRangeLow(-2);
  c->Scale1Y().SetRangeHigh(2);
  const TColor colours[] = {clNavy, clRed, clGreen};
  const char* names[] = {"sine", "cosine", "damped"};
  for (int k = 0; k < 3; ++k) {
    TSeries& s = c->AddSeries(names[k]);
    s.SetColor(colours[k]);
    if (k == 2) s.SetSymbol(7), s.SetPenStyle(TPenStyle::psDash);
    for (int i = 0; i <= 50; ++i) {
      const double x = i / 5.0;
      s.Append(x, k == 0 ? std::sin(x) : k == 1 ? std::cos(x) : std::exp(-x / 4) * std::sin(2 * x));
    }
  }
  c->SetClassDefault(3);
  c->SetDataColor(clFuchsia);
  c->SetPenStyle(TPenStyle::psDot);
  c->MoveTo(0, 1.5);
  c->DrawTo(10, 1.5);
  c->AddLegendEntry("threshold", clFuchsia, TPenStyle::psDot, 1, -1, clSilver, 3);
  c->Legend().SetVisible(true);
  return c;
}

// Pictures of several charts side by side, one reference picture for all.
std::unique_ptr<TBitmap> SheetOf(const std::vector<std::unique_ptr<TKelvo>>& Charts, int Columns) {
  const int w = Charts[0]->Width(), h = Charts[0]->Height();
  const int rows = (static_cast<int>(Charts.size()) + Columns - 1) / Columns;
  auto sheet = kelvo::test::MakeSheet(Columns * w, rows * h);
  for (size_t k = 0; k < Charts.size(); ++k) {
    Charts[k]->Paint();
    sheet->Canvas().Draw(static_cast<int>(k) % Columns * w, static_cast<int>(k) / Columns * h,
                         Charts[k]->Surface());
  }
  return sheet;
}

TPoint CentreOf(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// The centre of entry k's cell: found through the hit test itself, scanning the box.
TPoint EntryPoint(TKelvo& c, size_t k) {
  const TRect box = c.LegendBox();
  for (int32_t y = box.Top; y < box.Bottom; ++y)
    for (int32_t x = box.Left; x < box.Right; ++x)
      if (c.LegendEntryAt(x, y) == k) return {x + 3, y + 3};
  ADD_FAILURE() << "entry " << k << " not found";
  return {-1, -1};
}

void Click(TKelvo& c, TPoint p) {
  c.MouseDown(TMouseButton::mbLeft, {TShiftStateItem::ssLeft}, p.X, p.Y);
  c.MouseUp(TMouseButton::mbLeft, {}, p.X, p.Y);
}

bool Inside(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

TEST(LegendPictures, NineInsideAndFourBeside) {
  std::vector<std::unique_ptr<TKelvo>> charts;
  for (int pos = 0; pos <= static_cast<int>(TLegendPos::lpOutsideBottom); ++pos) {
    charts.push_back(Report(260, 180));
    charts.back()->Legend().SetPosition(static_cast<TLegendPos>(pos));
  }
  EXPECT_GOLDEN(*SheetOf(charts, 4), "legend/places", kText);
}

// Two columns; as many as fit, wrapping; a dimmed entry (its series hidden
// by a click); a dragged legend without background or frame.
TEST(LegendPictures, ColumnsDimmedAndDragged) {
  std::vector<std::unique_ptr<TKelvo>> charts;
  charts.push_back(Report(260, 180));
  charts.back()->Legend().SetColumns(2);
  charts.back()->Legend().SetPosition(TLegendPos::lpTop);
  charts.push_back(Report(260, 180));
  charts.back()->Legend().SetColumns(0);
  charts.back()->Legend().SetPosition(TLegendPos::lpOutsideBottom);
  charts.push_back(Report(260, 180));
  charts.back()->Paint();
  Click(*charts.back(), EntryPoint(*charts.back(), 1));
  charts.push_back(Report(260, 180));
  TKelvo& dragged = *charts.back();
  dragged.Legend().SetTransparent(true);
  dragged.Legend().SetFrame(false);
  dragged.Paint();
  const TPoint from = CentreOf(dragged.LegendBox());
  dragged.MouseDown(TMouseButton::mbLeft, {TShiftStateItem::ssLeft}, from.X, from.Y);
  dragged.MouseMove({TShiftStateItem::ssLeft}, from.X - 60, from.Y + 50);
  dragged.MouseUp(TMouseButton::mbLeft, {}, from.X - 60, from.Y + 50);
  EXPECT_EQ(dragged.Legend().OffsetX(), -60);
  EXPECT_EQ(dragged.Legend().OffsetY(), 50);
  EXPECT_TRUE(dragged.Series(0).Visible());  // a drag is no click
  EXPECT_GOLDEN(*SheetOf(charts, 2), "legend/looks", kText);
}

// Off at creation, and then nothing of it is painted or stored; the margins
// keep their values while an outside legend takes its room.
TEST(Legend, OffByDefaultAndItsRoomLeavesTheMarginsAlone) {
  auto with = Report(300, 200), without = Report(300, 200);
  without->Legend().SetVisible(false);
  TKelvo plain;
  EXPECT_FALSE(plain.Legend().Visible());
  EXPECT_EQ(WriteForm(plain).count("Legend"), 0u);
  without->Paint();
  TBitmap before;
  before.Assign(&without->Surface());
  without->Legend().SetVisible(true);  // visible, but without entries: nothing drawn
  without->ClearLegendEntries();
  for (size_t k = 0; k < without->SeriesCount(); ++k) without->Series(k).SetInLegend(false);
  without->Paint();
  EXPECT_TRUE(kelvo::test::SamePixels(without->Surface(), before));
  EXPECT_EQ(without->LegendBox().Right, without->LegendBox().Left);

  const TRect area = with->DataArea();
  const int32_t margin = with->MarginRight();
  with->Legend().SetPosition(TLegendPos::lpOutsideRight);
  with->Paint();
  EXPECT_EQ(with->MarginRight(), margin);
  EXPECT_LT(with->DataArea().Right, area.Right);
  const TRect box = with->LegendBox();
  EXPECT_GE(box.Left, with->DataArea().Right + with->MarginRight());  // beyond the axis' margin
  EXPECT_LE(box.Right, with->Width());
  with->Legend().SetPosition(TLegendPos::lpTopRight);
  with->Paint();
  EXPECT_EQ(with->DataArea().Right, area.Right);  // the room is given back
}

// Beside the data area the box stands beyond the margin on its side, so
// the margin's captions, axes, labels and ticks stay uncovered; its room
// never changes the control's size.
TEST(Legend, BesideTheDataAreaItCoversNothingAndResizesNothing) {
  const TLegendPos places[] = {TLegendPos::lpOutsideLeft, TLegendPos::lpOutsideRight,
                               TLegendPos::lpOutsideTop, TLegendPos::lpOutsideBottom};
  for (TLegendPos pos : places) {
    auto c = Report(320, 240);
    c->Legend().SetPosition(pos);
    c->Paint();
    const TRect a = c->DataArea(), box = c->LegendBox();
    ASSERT_GT(box.Right, box.Left);
    switch (pos) {
      case TLegendPos::lpOutsideLeft:
        EXPECT_LE(box.Right, a.Left - c->MarginLeft());
        break;
      case TLegendPos::lpOutsideRight:
        EXPECT_GE(box.Left, a.Right + c->MarginRight());
        break;
      case TLegendPos::lpOutsideTop:
        EXPECT_LE(box.Bottom, a.Top - c->MarginTop());
        break;
      default:
        EXPECT_GE(box.Top, a.Bottom + c->MarginBottom());
        break;
    }
    c->SetBounds(0, 0, 200, 150);
    EXPECT_EQ(c->Width(), 200) << static_cast<int>(pos);
    EXPECT_EQ(c->Height(), 150) << static_cast<int>(pos);
    c->SetBounds(0, 0, 150, 80);  // the smallest the stored margins allow
    EXPECT_EQ(c->Width(), 150) << static_cast<int>(pos);
    EXPECT_EQ(c->Height(), 80) << static_cast<int>(pos);
  }
  // The vertical axis' caption above the data area stays whole.
  auto c = Report(320, 240);
  c->Scale1Y().SetCaption("Volts");
  c->Paint();
  TBitmap without;
  without.Assign(&c->Surface());
  c->Legend().SetPosition(TLegendPos::lpOutsideTop);
  c->Paint();
  const int32_t shift = c->DataArea().Top - 20;  // the legend's room
  int32_t caption = 0, kept = 0;
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < c->Width(); ++x)
      if (without.Canvas().Pixels(x, y) != 0xF0F0F0) {  // not the window colour
        ++caption;
        kept += c->Surface().Canvas().Pixels(x, y + shift) == without.Canvas().Pixels(x, y);
      }
  EXPECT_GT(caption, 20);
  EXPECT_EQ(kept, caption);
}

// The layout is kept between paints and hit tests, and made again after
// every change it depends on.
TEST(Legend, TheKeptLayoutFollowsEveryChangeItDependsOn) {
  auto c = Report(300, 200);
  c->Paint();
  using TChange = std::function<void(TKelvo&)>;
  const std::pair<const char*, TChange> changes[] = {
      {"series name", [](TKelvo& k) { k.Series(0).SetName("a much longer name than before"); }},
      {"series left out", [](TKelvo& k) { k.Series(1).SetInLegend(false); }},
      {"entry added", [](TKelvo& k) { k.AddLegendEntry("another entry", clBlue); }},
      {"entries cleared", [](TKelvo& k) { k.ClearLegendEntries(); }},
      {"font", [](TKelvo& k) { k.Legend().Font().SetHeight(-20); }},
      {"columns", [](TKelvo& k) { k.Legend().SetColumns(2); }},
      {"place", [](TKelvo& k) { k.Legend().SetPosition(TLegendPos::lpBottomLeft); }},
      {"size", [](TKelvo& k) { k.SetBounds(0, 0, 260, 230); }},
      {"series deleted", [](TKelvo& k) { k.DeleteSeries(0); }},
  };
  for (const auto& [name, change] : changes) {
    const TRect before = c->LegendBox();
    change(*c);
    auto fresh = std::make_unique<TKelvo>();
    fresh->SetBounds(0, 0, c->Width(), c->Height());
    fresh->Assign(c.get());
    EXPECT_EQ(c->LegendBox(), fresh->LegendBox()) << name;
    EXPECT_NE(c->LegendBox(), before) << name;
  }
}

TEST(Legend, ClicksHideAndShowSeriesAndClasses) {
  auto c = Report(300, 200);
  c->SetMouseAction(TMouseActMode::maZoomWind);
  c->Paint();
  ASSERT_EQ(c->LegendEntryCount(), 4u);
  const double low = c->Scale1X().RangeLow();
  Click(*c, EntryPoint(*c, 1));
  EXPECT_FALSE(c->Series(1).Visible());
  EXPECT_EQ(c->LegendEntryCount(), 4u);     // the entry stays
  EXPECT_EQ(c->Scale1X().RangeLow(), low);  // no zoom window was started
  Click(*c, EntryPoint(*c, 1));
  EXPECT_TRUE(c->Series(1).Visible());
  Click(*c, EntryPoint(*c, 3));
  EXPECT_FALSE(c->ClassVisible(3));
  Click(*c, EntryPoint(*c, 3));
  EXPECT_TRUE(c->ClassVisible(3));

  size_t seen = 99;
  c->OnLegendClick = [&](TObject*, size_t Entry, bool& Handled) { seen = Entry, Handled = true; };
  Click(*c, EntryPoint(*c, 0));
  EXPECT_EQ(seen, 0u);
  EXPECT_TRUE(c->Series(0).Visible());  // handled: left alone
  c->OnLegendClick = nullptr;
  c->Legend().SetClickHides(false);
  Click(*c, EntryPoint(*c, 0));
  EXPECT_TRUE(c->Series(0).Visible());
  // A series left out of the legend leaves out its entry.
  c->Series(0).SetInLegend(false);
  EXPECT_EQ(c->LegendEntryCount(), 3u);
  c->Legend().SetClickHides(true);
  Click(*c, EntryPoint(*c, 0));
  EXPECT_FALSE(c->Series(1).Visible());
}

TEST(Legend, HitTestCoversTheCellsOnly) {
  auto c = Report(300, 200);
  c->Legend().SetColumns(2);
  const TRect box = c->LegendBox();
  ASSERT_GT(box.Right, box.Left);
  std::vector<int> cells(4, 0);
  for (int32_t y = 0; y < c->Height(); ++y)
    for (int32_t x = 0; x < c->Width(); ++x) {
      const std::optional<size_t> k = c->LegendEntryAt(x, y);
      if (!k) continue;
      ASSERT_LT(*k, 4u);
      ASSERT_TRUE(x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom);
      ++cells[*k];
    }
  for (int n : cells) EXPECT_GT(n, 0);
  c->Legend().SetVisible(false);
  EXPECT_EQ(c->LegendEntryAt(CentreOf(box).X, CentreOf(box).Y), std::nullopt);
}

TEST(Legend, StoredLastAndReadBack) {
  auto c = Report(300, 200);
  c->Legend().SetPosition(TLegendPos::lpOutsideLeft);
  c->Legend().SetColumns(0);
  c->Legend().SetOffsetY(-7);
  c->Legend().Font().SetHeight(-14);
  const TFormValue form = WriteForm(*c);
  ASSERT_TRUE(form.contains("Legend"));
  EXPECT_EQ(std::prev(form.end()).key(), "Legend");
  EXPECT_EQ(form["Legend"].size(), 5u);  // the default ones are left out
  TKelvo copy;
  ReadForm(copy, form, "legend", "Chart");
  EXPECT_EQ(WriteForm(copy.Legend()).dump(), WriteForm(c->Legend()).dump());
  EXPECT_EQ(copy.MarginLeft(), c->MarginLeft());
  TFormValue bad = form;
  bad["Legend"]["OffsetX"] = std::nan("");
  EXPECT_THROW(ReadForm(copy, bad, "legend", "Chart"), EReadError);
  EXPECT_EQ(copy.Legend().OffsetX(), 0);
}

// Names empty, of 10,000 characters and not UTF-8, 1,000 entries, a tiny
// chart, every place and column setting: the legend stays in its room, and
// exports show it (text as text in SVG).
TEST(Legend, HostileInputStaysInItsRoom) {
  for (auto [w, h] : {std::pair{150, 80}, {300, 200}}) {
    auto c = Report(w, h);
    c->Series(0).SetName("");
    c->Series(1).SetName(std::string(10000, 'W'));
    c->Series(2).SetName("bad \xff\xfe utf-8 \xc3");
    for (int k = 0; k < 1000; ++k) c->AddLegendEntry("entry " + std::to_string(k), clBlue);
    for (int pos = 0; pos <= static_cast<int>(TLegendPos::lpOutsideBottom); ++pos)
      for (int columns : {0, 1, 3}) {
        c->Legend().SetPosition(static_cast<TLegendPos>(pos));
        c->Legend().SetColumns(columns);
        c->Paint();
        const TRect box = c->LegendBox(), area = c->DataArea();
        if (box.Right <= box.Left) continue;  // no room at all
        const std::string what = std::to_string(w) + " pos " + std::to_string(pos) + " columns " +
                                 std::to_string(columns);
        EXPECT_TRUE(Inside(box, Rect(0, 0, w, h))) << what;
        if (pos < static_cast<int>(TLegendPos::lpOutsideRight))
          EXPECT_TRUE(Inside(box, area)) << what;
        else
          EXPECT_TRUE(box.Right <= area.Left || box.Left >= area.Right || box.Bottom <= area.Top ||
                      box.Top >= area.Bottom)
              << what;
      }
  }
  auto c = Report(300, 200);
  const std::string svg = c->SvgDocument();
  EXPECT_NE(svg.find(">cosine<"), std::string::npos);
  TBitmap drawn(300, 200);
  c->PaintTo(drawn.Canvas(), 0, 0);
  EXPECT_TRUE(kelvo::test::SamePixels(drawn, c->Surface()));
}

}  // namespace
