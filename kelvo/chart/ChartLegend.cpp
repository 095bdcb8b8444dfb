// The legend: its entries, its layout, its painting and the mouse on it.
//
// The box holds rows of entries, each an icon (the entry's line across
// IconWidth pixels, its mark in the middle) and its text. Inside the data
// area it is painted with the data area, last, so a data-area refresh keeps
// it; beside the data area it is painted with the frame, in a band at the
// control's edge, and the margin on that side grows by the band: what the
// margin holds (captions, axes, their labels and ticks) keeps its place
// beside the data area and is never covered. The box never leaves the room
// it was given: texts are cut, rows that do not fit are left out.
#include <algorithm>

#include "kelvo/base/Marks.h"
#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/chart/RenderState.h"
#include "kelvo/platform/FontEngine.h"

namespace vexa {

namespace {

using render::Clamp32;

constexpr int64_t Inset = 6;      // between the box and the edge of its room
constexpr int64_t IconGap = 4;    // between icon and text
constexpr int64_t ColumnGap = 8;  // between entries side by side
constexpr int32_t DragSlop = 3;   // pixels a press moves before it drags

// Text cut at a character boundary to at most Width pixels.
std::string CutToWidth(TCanvas& c, const std::string& Text, int64_t Width) {
  if (c.TextWidth(Text) <= Width) return Text;
  std::vector<size_t> ends;  // the byte after each character
  for (size_t i = 0; i < Text.size();) {
    NextCodePoint(Text, i);
    ends.push_back(i);
  }
  size_t lo = 0, hi = ends.size();  // the most characters that fit
  while (lo < hi) {
    const size_t mid = (lo + hi + 1) / 2;
    if (c.TextWidth(std::string_view(Text).substr(0, ends[mid - 1])) <= Width)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo == 0 ? std::string() : Text.substr(0, ends[lo - 1]);
}

// Halfway between two colours: a hidden entry's look.
TColor Dimmed(TColor c, TColor Background) {
  const TColor a = ColorToRGB(c), b = ColorToRGB(Background);
  TColor out = 0;
  for (int shift : {0, 8, 16})
    out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + 1) / 2) << shift;
  return out;
}

// Where a box of BoxW x BoxH goes: beside the data area in a band at the
// control's edge (W x H without the shadow), or at one of nine places inside
// the data area; moved by the offsets, kept within its room.
void PlaceLegendBox(TLegendPos Pos, int64_t DX, int64_t DY, int64_t W, int64_t H, const TRect& Area,
                    int64_t BoxW, int64_t BoxH, int64_t& BX, int64_t& BY) {
  auto within = [](int64_t v, int64_t lo, int64_t hi) {
    return hi < lo ? lo : std::clamp(v, lo, hi);
  };
  switch (Pos) {
    case TLegendPos::lpOutsideRight:
      BX = within(W - Inset - BoxW + DX, W - BoxW - 2 * Inset, W - BoxW);
      BY = within(Area.Top + DY, 0, H - BoxH);
      return;
    case TLegendPos::lpOutsideLeft:
      BX = within(Inset + DX, 0, 2 * Inset);
      BY = within(Area.Top + DY, 0, H - BoxH);
      return;
    case TLegendPos::lpOutsideTop:
      BX = within(Area.Left + DX, 0, W - BoxW);
      BY = within(Inset + DY, 0, 2 * Inset);
      return;
    case TLegendPos::lpOutsideBottom:
      BX = within(Area.Left + DX, 0, W - BoxW);
      BY = within(H - Inset - BoxH + DY, H - BoxH - 2 * Inset, H - BoxH);
      return;
    default: {
      const int64_t areaW = int64_t{Area.Right} - Area.Left,
                    areaH = int64_t{Area.Bottom} - Area.Top;
      const int col = static_cast<int>(Pos) % 3, row = static_cast<int>(Pos) / 3;
      BX = col == 0   ? Area.Left + Inset
           : col == 1 ? Area.Left + (areaW - BoxW) / 2
                      : Area.Right - Inset - BoxW;
      BY = row == 0   ? Area.Top + Inset
           : row == 1 ? Area.Top + (areaH - BoxH) / 2
                      : Area.Bottom - Inset - BoxH;
      BX = within(BX + DX, Area.Left, Area.Right - BoxW);
      BY = within(BY + DY, Area.Top, Area.Bottom - BoxH);
      return;
    }
  }
}

// The canvas' pen, brush and font as they were: the legend is painted on
// the data area's and the frame's canvases, whose state the rest of the
// paint keeps using.
class TCanvasStateKeeper {
 public:
  explicit TCanvasStateKeeper(TCanvas& Canvas) : C(Canvas) {
    Pen.Assign(&C.Pen());
    Brush.Assign(&C.Brush());
    Font.Assign(&C.Font());
    PenPos = C.PenPos();
  }
  ~TCanvasStateKeeper() {
    C.Pen().Assign(&Pen);
    C.Brush().Assign(&Brush);
    C.Font().Assign(&Font);
    C.MoveTo(PenPos.X, PenPos.Y);
  }

 private:
  TCanvas& C;
  TPen Pen;
  TBrush Brush;
  TFont Font;
  TPoint PenPos;
};

}  // namespace

void TCustomKelvo::SetLegend(const TLegend& Value) {
  TNotifyEvent wiring = FLegend->OnChange;  // the chart keeps its own object wired to itself
  FLegend->Assign(&Value);
  FLegend->OnChange = std::move(wiring);
  RepaintIfAuto();
}

void TCustomKelvo::AddLegendEntry(const std::string& Text, TColor Color, TPenStyle PenStyle,
                                  int32_t LineWidth, int32_t Symbol, TColor FillColor,
                                  uint8_t ItemClass) {
  TLegendEntry e;
  e.Text = Text;
  e.Color = Color;
  e.PenStyle = PenStyle;
  e.LineWidth = std::clamp(LineWidth, 1, 255);
  e.Symbol = Symbol < -1 || Symbol > 255 ? -1 : Symbol;
  e.FillColor = FillColor;
  e.ItemClass = ItemClass;
  e.LineVisible = PenStyle != TPenStyle::psClear;
  FLegendEntries.push_back(std::move(e));
  ++FAddedLegendEntries;
  if (FLegend->Visible()) RepaintIfAuto();
}

size_t TCustomKelvo::LegendEntryCount() const {
  size_t n = FLegendEntries.size();
  for (const auto& p : *FPlottables) n += p->InLegend() ? 1 : 0;
  return n;
}

void TCustomKelvo::ClearLegendEntries() {
  FLegendEntries.clear();
  ++FAddedLegendEntries;
  if (FLegend->Visible()) RepaintIfAuto();
}

std::vector<TLegendEntry> TCustomKelvo::LegendEntries(bool WithTexts) const {
  std::vector<TLegendEntry> out;
  out.reserve(LegendEntryCount());
  for (size_t k = 0; k < FPlottables->size(); ++k) {
    const TPlottable& p = *(*FPlottables)[k];
    if (!p.InLegend()) continue;
    TLegendEntry e;
    if (WithTexts) e.Text = p.Name();
    e.ItemClass = p.ItemClass();
    p.LegendIcon(e);
    e.Plottable = static_cast<int64_t>(k);
    e.Hidden = !p.Shown(*this);
    out.push_back(std::move(e));
  }
  for (const TLegendEntry& added : FLegendEntries) {
    TLegendEntry& e = out.emplace_back();
    if (WithTexts) e.Text = added.Text;
    e.Color = added.Color, e.PenStyle = added.PenStyle, e.LineWidth = added.LineWidth;
    e.Symbol = added.Symbol, e.FillColor = added.FillColor, e.ItemClass = added.ItemClass;
    e.LineVisible = added.LineVisible, e.Plottable = added.Plottable;
    e.Hidden = !ClassVisible(e.ItemClass);
  }
  return out;
}

TRect TCustomKelvo::DataArea() const {
  return Rect(FSettings.MarginLeft, FSettings.MarginTop,
              Clamp32(int64_t{Width()} - FSettings.MarginRight - FSettings.ShadowWidth),
              Clamp32(int64_t{Height()} - FSettings.MarginBottom - FSettings.ShadowWidth));
}

namespace {

// The room a legend box may take: a third of the control beside the data
// area, the data area inside it; less the inset on each side.
std::pair<int64_t, int64_t> LegendRoom(TLegendPos Pos, int64_t W, int64_t H, int64_t AreaW,
                                       int64_t AreaH) {
  switch (Pos) {
    case TLegendPos::lpOutsideRight:
    case TLegendPos::lpOutsideLeft:
      return {W / 3 - 2 * Inset, H - 2 * Inset};
    case TLegendPos::lpOutsideTop:
    case TLegendPos::lpOutsideBottom:
      return {W - 2 * Inset, H / 3 - 2 * Inset};
    default:
      return {AreaW - 2 * Inset, AreaH - 2 * Inset};
  }
}

}  // namespace

TLegendLayout TCustomKelvo::LayoutLegend(const std::vector<TLegendEntry>& Entries) {
  TLegendLayout out;
  const size_t n = Entries.size();
  out.Cells.assign(n, TRect{});
  out.Texts.assign(n, std::string());
  const TLegend& g = *FLegend;
  if (!g.Visible() || n == 0) return out;
  TCanvas& c = FLegendMeasure.Canvas();
  c.SetFont(g.Font());
  const int64_t textH = c.TextHeight("");
  const int64_t rowH = std::max<int64_t>(textH, 9) + 2;
  const int64_t pad = g.Padding(), icon = g.IconWidth(), iconGap = icon > 0 ? IconGap : 0;
  const TLegendPos pos = g.Position();
  const int64_t W = int64_t{Width()} - FSettings.ShadowWidth,
                H = int64_t{Height()} - FSettings.ShadowWidth;
  const TRect area = DataArea();
  const int64_t areaW = int64_t{area.Right} - area.Left, areaH = int64_t{area.Bottom} - area.Top;
  const auto [maxW, maxH] = LegendRoom(pos, W, H, areaW, areaH);
  std::vector<int64_t> textW(n);
  for (size_t k = 0; k < n; ++k) textW[k] = c.TextWidth(Entries[k].Text);
  // Cells relative to the box.
  std::vector<int64_t> cx(n), cy(n), cw(n);
  int64_t boxW = 0, rows = 0, textMax;
  if (g.Columns() >= 1) {
    int64_t cols = std::min<int64_t>(g.Columns(), static_cast<int64_t>(n));
    for (;; --cols) {  // fewer columns while not even their icons fit
      textMax = (maxW - 2 * pad - (cols - 1) * ColumnGap) / cols - icon - iconGap;
      if (textMax >= 0 || cols == 1) break;
    }
    if (textMax < 0) return out;
    std::vector<int64_t> colW(static_cast<size_t>(cols), 0);
    for (size_t k = 0; k < n; ++k) {
      cw[k] = icon + iconGap + std::min(textW[k], textMax);
      int64_t& w = colW[k % static_cast<size_t>(cols)];
      w = std::max(w, cw[k]);
    }
    int64_t x = pad;
    std::vector<int64_t> colX(colW.size());
    for (size_t j = 0; j < colW.size(); ++j) colX[j] = x, x += colW[j] + ColumnGap;
    boxW = x - ColumnGap + pad;
    for (size_t k = 0; k < n; ++k) {
      cx[k] = colX[k % colW.size()];
      cy[k] = pad + static_cast<int64_t>(k / colW.size()) * rowH;
    }
    rows = static_cast<int64_t>((n + colW.size() - 1) / colW.size());
  } else {  // as many a row as fit, wrapping
    textMax = maxW - 2 * pad - icon - iconGap;
    if (textMax < 0) return out;
    int64_t x = pad, row = 0;
    for (size_t k = 0; k < n; ++k) {
      cw[k] = icon + iconGap + std::min(textW[k], textMax);
      if (x > pad && x + cw[k] > maxW - pad) x = pad, ++row;
      cx[k] = x, cy[k] = pad + row * rowH;
      x += cw[k] + ColumnGap;
      boxW = std::max(boxW, x - ColumnGap + pad);
    }
    rows = row + 1;
  }
  int64_t shownRows = rows;
  if (2 * pad + rows * rowH > maxH) shownRows = std::max<int64_t>(0, (maxH - 2 * pad) / rowH);
  if (shownRows == 0) return out;
  const int64_t boxH = 2 * pad + shownRows * rowH;
  // The box's place.
  int64_t bx, by;
  PlaceLegendBox(pos, g.OffsetX(), g.OffsetY(), W, H, area, boxW, boxH, bx, by);
  out.Box = Rect(Clamp32(bx), Clamp32(by), Clamp32(bx + boxW), Clamp32(by + boxH));
  out.RowHeight = static_cast<int32_t>(rowH);
  for (size_t k = 0; k < n; ++k) {
    if (cy[k] + rowH > boxH - pad) continue;  // a row left out
    out.Cells[k] = Rect(Clamp32(bx + cx[k]), Clamp32(by + cy[k]), Clamp32(bx + cx[k] + cw[k]),
                        Clamp32(by + cy[k] + rowH));
    out.Texts[k] = CutToWidth(c, Entries[k].Text, std::min(textW[k], textMax));
  }
  return out;
}

TLegendLayoutKey TCustomKelvo::LegendLayoutKey() const {
  const TLegend& g = *FLegend;
  TLegendLayoutKey k;
  k.Visible = g.Visible();
  k.Position = static_cast<int32_t>(g.Position());
  k.OffsetX = g.OffsetX(), k.OffsetY = g.OffsetY();
  k.Columns = g.Columns(), k.Padding = g.Padding(), k.IconWidth = g.IconWidth();
  k.FontName = g.Font().Name();
  k.FontHeight = g.Font().Height(), k.FontOrientation = g.Font().Orientation();
  k.FontStyle = g.Font().Style().Bits();
  k.Width = Width(), k.Height = Height(), k.ShadowWidth = FSettings.ShadowWidth;
  k.Area = DataArea();
  k.AddedEntries = FAddedLegendEntries;
  k.Plottables.reserve(FPlottables->size());
  for (const auto& p : *FPlottables) k.Plottables.emplace_back(p->Serial(), p->LegendChanges());
  return k;
}

const TLegendLayout& TCustomKelvo::LegendLayout() {
  TLegendLayoutKey key = LegendLayoutKey();
  if (!FLegendLayoutKept || !(key == FLegendLayoutKey)) {
    FLegendLayout = LayoutLegend(LegendEntries());
    FLegendLayoutKey = std::move(key);
    FLegendLayoutKept = true;
  }
  return FLegendLayout;
}

void TCustomKelvo::UpdateLegendRoom() {
  std::array<int32_t, 4> room{};
  const TLegendPos pos = FLegend->Position();
  auto sideOf = [](TLegendPos p) -> size_t {
    return p == TLegendPos::lpOutsideLeft    ? 0
           : p == TLegendPos::lpOutsideRight ? 1
           : p == TLegendPos::lpOutsideTop   ? 2
                                             : 3;
  };
  if (FLegend->Visible() && LegendOutside(pos)) {
    const TLegendLayout& l = LegendLayout();
    if (l.Box.Right > l.Box.Left) {
      const int64_t w = int64_t{l.Box.Right} - l.Box.Left + 2 * Inset;
      const int64_t h = int64_t{l.Box.Bottom} - l.Box.Top + 2 * Inset;
      const size_t side = sideOf(pos);
      room[side] = Clamp32(side < 2 ? w : h);
    }
  }
  // A colour bar stands between the margin and the legend.
  FLegendOnlyRoom = room;
  FColorBarRoom = ColorBarRoom();
  const size_t barSide = sideOf(FColorBar->Position());
  room[barSide] = Clamp32(int64_t{room[barSide]} + FColorBarRoom);
  if (room == FSettings.LegendRoom) return;
  for (int which = 0; which < 4; ++which) {
    const auto i = static_cast<size_t>(which);
    if (room[i] == FSettings.LegendRoom[i]) continue;
    const int32_t stored = StoredMargin(which);
    FSettings.LegendRoom[i] = room[i];
    MarginField(which) = Clamp32(int64_t{stored} + room[i]);
    MarginChanged(which);
  }
}

namespace {

// An entry's icon between logical Left and Right about the row's centre
// (Mid in device pixels; X and Y map logical positions): its line, or a
// filled swatch (areas and bars), a step or a stem; the pen is set.
template <class FX, class FY>
void DrawIconShape(TCanvas& c, const TLegendEntry& e, int64_t Left, int64_t Right, int64_t Centre,
                   int64_t Reach, int32_t Mid, FX x, FY y, TColor Fill) {
  if (!e.LineVisible) return;
  if (e.Icon == TLegendIcon::liSwatch) {
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(Fill);
    c.SetBrushOpacity(e.AreaOpacity);
    if (e.PenStyle == TPenStyle::psClear) c.Pen().SetStyle(TPenStyle::psClear);
    c.Rectangle(x(Left), y(Centre - Reach), x(Right), y(Centre + Reach + 1));
    c.SetBrushOpacity(255);
    return;
  }
  if (e.PenStyle == TPenStyle::psClear) return;
  c.Brush().SetStyle(TBrushStyle::bsClear);  // dashes without filled gaps
  const int64_t middle = (Left + Right) / 2;
  if (e.Icon == TLegendIcon::liStep) {
    const TPoint step[] = {{x(Left), y(Centre + Reach)},
                           {x(middle), y(Centre + Reach)},
                           {x(middle), y(Centre - Reach)},
                           {x(Right), y(Centre - Reach)}};
    c.Polyline(step);
  } else if (e.Icon == TLegendIcon::liStem) {
    c.MoveTo(x(middle), y(Centre + Reach + 1));
    c.LineTo(x(middle), Mid);
  } else {
    c.MoveTo(x(Left), Mid);
    c.LineTo(x(Right), Mid);
  }
}

}  // namespace

void TCustomKelvo::PaintLegend(TCanvas& c, int32_t Left, int32_t Top, bool Inside) {
  const TLegend& g = *FLegend;
  if (!g.Visible() || LegendOutside(g.Position()) == Inside) return;
  const TLegendLayout& l = LegendLayout();
  if (l.Box.Right <= l.Box.Left) return;
  // The texts, cut to their cells, are the layout's.
  const std::vector<TLegendEntry> entries = LegendEntries(false);
  TCanvasStateKeeper keep(c);
  // The layout is logical; Left and Top, and what is drawn, are in device
  // pixels (positions mapped straight).
  auto x = [&](int64_t v) { return Clamp32(int64_t{c.Pos(v)} - Left); };
  auto y = [&](int64_t v) { return Clamp32(int64_t{c.Pos(v)} - Top); };
  auto local = [&](const TRect& r) { return Rect(x(r.Left), y(r.Top), x(r.Right), y(r.Bottom)); };
  const TRect box = local(l.Box);
  c.Pen().SetMode(TPenMode::pmCopy);
  c.Pen().SetWidth(1);
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetColor(g.FrameColor());
  c.Brush().SetColor(g.Color());
  if (g.Frame()) {
    c.Brush().SetStyle(g.Transparent() ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
    c.Rectangle(box);
  } else if (!g.Transparent()) {
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(box);
  }
  const TColor background = g.Transparent() ? FSettings.ChartColor : g.Color();
  c.SetFont(g.Font());
  const int32_t textH = c.TextHeight("");
  const int32_t icon = g.IconWidth(), iconGap = icon > 0 ? static_cast<int32_t>(IconGap) : 0;
  for (size_t k = 0; k < entries.size(); ++k) {
    const TRect& cell = l.Cells[k];
    if (cell.Right <= cell.Left) continue;
    const TLegendEntry& e = entries[k];
    auto look = [&](TColor v) { return e.Hidden ? Dimmed(v, background) : v; };
    const int32_t mid = y(int64_t{cell.Top} + l.RowHeight / 2);
    if (icon > 0) {
      c.Pen().SetColor(look(e.Color));
      c.Pen().SetStyle(e.PenStyle);
      c.Pen().SetWidth(std::min(e.LineWidth, l.RowHeight / 2));
      DrawIconShape(c, e, int64_t{cell.Left} + 1, int64_t{cell.Left} + icon - 1,
                    int64_t{cell.Top} + l.RowHeight / 2, std::max(2, l.RowHeight / 4), mid, x, y,
                    look(e.AreaColor == clNone ? e.Color : e.AreaColor));
      if (e.Symbol >= 0) {
        // An added entry's clear pen only leaves out its line.
        if (e.Plottable < 0 && e.PenStyle == TPenStyle::psClear)
          c.Pen().SetStyle(TPenStyle::psSolid);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(look(e.FillColor));
        c.Font().SetColor(look(e.Color));  // character marks are in the pen's colour
        c.SetAntiAliased(FSettings.AntiAliased);
        DrawMark(c, static_cast<uint8_t>(e.Symbol), x(int64_t{cell.Left} + icon / 2), mid);
        c.SetAntiAliased(false);
      }
    }
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Font().SetColor(look(g.Font().Color()));
    const int64_t top = y(cell.Top), rowH = int64_t{y(int64_t{cell.Top} + l.RowHeight)} - top;
    c.TextOut(x(int64_t{cell.Left} + icon + iconGap), Clamp32(top + (rowH - textH) / 2),
              l.Texts[k]);
  }
}

TRect TCustomKelvo::LegendBox() { return LegendLayout().Box; }

std::optional<size_t> TCustomKelvo::LegendEntryAt(int32_t X, int32_t Y) {
  if (!FLegend->Visible()) return std::nullopt;
  const TLegendLayout& l = LegendLayout();
  for (size_t k = 0; k < l.Cells.size(); ++k) {
    const TRect& r = l.Cells[k];
    if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) return k;
  }
  return std::nullopt;
}

void TCustomKelvo::ClickLegendEntry(size_t Entry) {
  const std::vector<TLegendEntry> entries = LegendEntries();
  if (Entry >= entries.size()) return;
  bool handled = false;
  if (OnLegendClick) OnLegendClick(this, Entry, handled);
  if (handled || !FLegend->ClickHides()) return;
  const TLegendEntry& e = entries[Entry];
  if (e.Plottable >= 0 && static_cast<size_t>(e.Plottable) < FPlottables->size()) {
    TPlottable& p = *(*FPlottables)[static_cast<size_t>(e.Plottable)];
    p.SetVisible(!p.Visible());
    RepaintAfterChange();
    RefreshSharingCharts();
  } else if (e.Plottable < 0) {
    SetClassVisible(e.ItemClass, !ClassVisible(e.ItemClass));
  }
}

bool TCustomKelvo::LegendMouseDown(int32_t X, int32_t Y) {
  if (!FLegend->Visible()) return false;
  const TLegendLayout& l = LegendLayout();
  if (!(X >= l.Box.Left && X < l.Box.Right && Y >= l.Box.Top && Y < l.Box.Bottom)) return false;
  FLegendPress = {true, false, X, Y, FLegend->OffsetX(), FLegend->OffsetY()};
  return true;
}

bool TCustomKelvo::LegendMouseMove(int32_t X, int32_t Y) {
  if (!FLegendPress.Active) return false;
  const int64_t dx = int64_t{X} - FLegendPress.X, dy = int64_t{Y} - FLegendPress.Y;
  if (!FLegendPress.Moved && std::max(std::abs(dx), std::abs(dy)) < DragSlop) return true;
  FLegendPress.Moved = true;
  if (FLegend->Draggable()) {
    {
      TPaintLockScope lock(*this);  // one paint for both offsets
      FLegend->SetOffsetX(Clamp32(FLegendPress.OffsetX + dx));
      FLegend->SetOffsetY(Clamp32(FLegendPress.OffsetY + dy));
    }
    RepaintAfterChange();
  }
  return true;
}

// A release without a drag is a click, on the entry where it was pressed.
bool TCustomKelvo::LegendMouseUp() {
  if (!FLegendPress.Active) return false;
  const TLegendPress press = FLegendPress;
  FLegendPress = {};
  if (!press.Moved)
    if (const std::optional<size_t> entry = LegendEntryAt(press.X, press.Y))
      ClickLegendEntry(*entry);
  return true;
}

}  // namespace vexa
