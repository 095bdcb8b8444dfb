#include "Canvas.h"

#include <algorithm>
#include <cstring>

#include "Bitmap.h"
#include "Errors.h"
#include "FontEngine.h"

namespace vexa {

using raster::TBox;
using raster::TPaint;

TCanvas::TCanvas(TBitmap& Owner) : FBitmap(Owner) {
  FFont.OnChange = [this](TObject*) { FFace = nullptr; };
}

TCanvas::~TCanvas() = default;

raster::TSurface TCanvas::Target() const {
  const int32_t w = FBitmap.Width(), h = FBitmap.Height();
  if (FTarget)
    return raster::TSurface{FTarget->CanvasBits() +
                                static_cast<size_t>(FTargetY) * FTarget->Width() +
                                static_cast<size_t>(FTargetX),
                            w, h, FTarget->Width()};
  return raster::TSurface{FBitmap.CanvasBits(), w, h, w};
}

void TCanvas::MarkDrawn(int64_t L, int64_t T, int64_t R, int64_t B) const {
  TDrawnTiles& tiles = TargetBitmap().DrawnTiles();
  if (!tiles.Open()) return;
  // Clipped to this canvas' own rectangle first: a redirected canvas draws
  // nowhere else on its target.
  L = std::max<int64_t>(L, 0), T = std::max<int64_t>(T, 0);
  R = std::min<int64_t>(R, FBitmap.Width()), B = std::min<int64_t>(B, FBitmap.Height());
  if (L >= R || T >= B) return;
  const TPoint o = TargetOrigin();
  tiles.Mark(L + o.X, T + o.Y, R + o.X, B + o.Y);
}

raster::TSurface TCanvas::Surface() const {
  MarkDrawn(0, 0, FBitmap.Width(), FBitmap.Height());
  return Target();
}

raster::TSurface TCanvas::SurfaceIn(const TRect& R) const {
  MarkDrawn(std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
            std::max(R.Top, R.Bottom));
  return Target();
}

void TCanvas::Redirect(TBitmap& Target, int32_t X, int32_t Y) {
  if (X < 0 || Y < 0 || int64_t{X} + FBitmap.Width() > Target.Width() ||
      int64_t{Y} + FBitmap.Height() > Target.Height() || &Target == &FBitmap)
    throw EInvalidGraphic("Canvas redirected beyond its target");
  FTarget = &Target;
  FTargetX = X;
  FTargetY = Y;
}

TPaint TCanvas::Paint(TColor c) const {
  return TPaint{raster::PixelFromColor(ColorToRGB(c)), FPen.Mode() == TPenMode::pmXor};
}
TPaint TCanvas::PenPaint() const { return Paint(FPen.Color()); }
TPaint TCanvas::BrushPaint() const {
  TPaint p = Paint(FBrush.Color());
  p.Alpha = FBrushOpacity;
  return p;
}

void TCanvas::MoveTo(int32_t X, int32_t Y) {
  FPenPos = {X, Y};
  FDashPhase = 0;
}

// Wide pens (Width > 1) are round pens drawn solid whatever their dash style,
// with round caps, so consecutive segments join without notches. At a device
// scale a pen of one logical pixel is a thick line with its dashes scaled
// alike, and a wide pen keeps its logical centre.
void TCanvas::StrokeSegment(int32_t X0, int32_t Y0, int32_t X1, int32_t Y1) {
  const TPenStyle style = FPen.Style();
  if (style == TPenStyle::psClear) return;
  const int64_t reach = LineReach();
  MarkDrawn(int64_t{std::min(X0, X1)} - reach, int64_t{std::min(Y0, Y1)} - reach,
            int64_t{std::max(X0, X1)} + reach + 1, int64_t{std::max(Y0, Y1)} + reach + 1);
  const raster::TSurface s = Target();
  const bool smooth = SmoothLines();
  if (FPen.Width() > 1) {
    if (smooth)
      raster::AntiAliasedWideLine(s, X0, Y0, X1, Y1, DevicePenWidth(), WideLineLo(),
                                  PenPaint().Pixel, true, true);
    else
      raster::WideLine(s, X0, Y0, X1, Y1, DevicePenWidth(), PenPaint(), WideLineLo());
    return;
  }
  raster::TDashPattern dash = raster::DashPatternFor(style);
  const TPaint pen = PenPaint();
  const int32_t thick = DevicePenWidth();
  if (!smooth && thick == 1 && dash.Length == 0 && !pen.Xor &&
      raster::SolidLineOnSurface(s, X0, Y0, X1, Y1, pen.Pixel))
    return;
  TPaint gap;
  const bool paintGaps = dash.Length != 0 && FBrush.Style() == TBrushStyle::bsSolid;
  if (paintGaps) gap = Paint(FBrush.Color());  // a gap is not a fill: opaque
  if (thick > 1) dash.Scale = static_cast<uint8_t>(std::min(thick, 255));
  if (smooth) {
    raster::AntiAliasedLine(s, X0, Y0, X1, Y1, thick, pen.Pixel, dash, FDashPhase,
                            paintGaps ? &gap.Pixel : nullptr);
    return;
  }
  if (thick > 1) {
    raster::ThickLine(s, X0, Y0, X1, Y1, thick, pen, dash, FDashPhase, paintGaps ? &gap : nullptr);
    return;
  }
  raster::Line(s, X0, Y0, X1, Y1, pen, dash, FDashPhase, paintGaps ? &gap : nullptr);
}

// Where a wide pen's disc starts left of and above its centre: half the
// logical width, as a length.
int32_t TCanvas::WideLineLo() const { return FScale.Length((FPen.Width() - 1) / 2); }

void TCanvas::LineTo(int32_t X, int32_t Y) {
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordLine(*this, FPenPos, TPoint{X, Y}, FDashPhase);
  StrokeSegment(FPenPos.X, FPenPos.Y, X, Y);
  FPenPos = {X, Y};
}

void TCanvas::StrokePath(std::span<const TPoint> Points, bool Closed) {
  if (Points.empty() || FPen.Style() == TPenStyle::psClear) return;
  MarkPath(Points, Closed);
  // The pen's paint, pattern and gaps are resolved once for the whole path.
  const raster::TSurface s = Target();
  const TPaint pen = PenPaint();
  const bool wide = FPen.Width() > 1;
  const int32_t width = DevicePenWidth(), lo = WideLineLo();
  raster::TDashPattern dash = raster::DashPatternFor(FPen.Style());
  if (!wide && width > 1) dash.Scale = static_cast<uint8_t>(std::min(width, 255));
  const bool paintGaps = dash.Length != 0 && FBrush.Style() == TBrushStyle::bsSolid;
  const TPaint gap = paintGaps ? Paint(FBrush.Color()) : TPaint{};
  uint32_t phase = 0;  // a figure's pattern starts at its first point
  const bool smooth = SmoothLines();
  // Smooth wide lines round only a path's last end: the others end where
  // the next segment's rounded start lies, so joints are drawn once.
  auto segment = [&](TPoint a, TPoint b, bool last = false) {
    if (smooth && wide)
      raster::AntiAliasedWideLine(s, a.X, a.Y, b.X, b.Y, width, lo, pen.Pixel, true, last);
    else if (smooth)
      raster::AntiAliasedLine(s, a.X, a.Y, b.X, b.Y, width, pen.Pixel, dash, phase,
                              paintGaps ? &gap.Pixel : nullptr);
    else if (wide)
      raster::WideLine(s, a.X, a.Y, b.X, b.Y, width, pen, lo);
    else if (width > 1)
      raster::ThickLine(s, a.X, a.Y, b.X, b.Y, width, pen, dash, phase, paintGaps ? &gap : nullptr);
    else
      raster::Line(s, a.X, a.Y, b.X, b.Y, pen, dash, phase, paintGaps ? &gap : nullptr);
  };
  if (width <= 1 && dash.Length == 0 && !pen.Xor && !smooth) {
    for (size_t i = 0; i + 1 < Points.size(); ++i) {
      const TPoint a = Points[i], b = Points[i + 1];
      if (!raster::SolidLineOnSurface(s, a.X, a.Y, b.X, b.Y, pen.Pixel)) segment(a, b);
    }
  } else {
    for (size_t i = 0; i + 1 < Points.size(); ++i)
      segment(Points[i], Points[i + 1], !Closed && i + 2 == Points.size());
  }
  if (Closed && Points.size() > 1) segment(Points.back(), Points[0]);
}

// A path's pixels are marked piece by piece: the boxes of runs of segments
// that stay within 64 pixels each way, so a long line marks the tiles along
// it, not the box of the whole line.
void TCanvas::MarkPath(std::span<const TPoint> Points, bool Closed) const {
  if (!TargetBitmap().DrawnTiles().Open()) return;
  constexpr int64_t Piece = 64;
  const int64_t reach = LineReach();
  auto mark = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
    MarkDrawn(l - reach, t - reach, r + reach + 1, b + reach + 1);
  };
  int64_t l = Points[0].X, r = l, t = Points[0].Y, b = t;
  for (size_t i = 1; i < Points.size(); ++i) {
    const int64_t x = Points[i].X, y = Points[i].Y;
    if (std::max(r, x) - std::min(l, x) > Piece || std::max(b, y) - std::min(t, y) > Piece) {
      mark(l, t, r, b);
      l = r = Points[i - 1].X, t = b = Points[i - 1].Y;
    }
    l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
  }
  mark(l, t, r, b);
  if (Closed && Points.size() > 1) {
    const TPoint a = Points.back(), z = Points.front();
    mark(std::min(a.X, z.X), std::min(a.Y, z.Y), std::max(a.X, z.X), std::max(a.Y, z.Y));
  }
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordPolyline(*this, Points);
  StrokePath(Points, false);
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  if (Points.empty()) return;
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordPolygon(*this, Points);
  if (FBrush.Style() == TBrushStyle::bsSolid) {
    int64_t l = Points[0].X, r = l, t = Points[0].Y, b = t;
    for (const TPoint p : Points)
      l = std::min<int64_t>(l, p.X), r = std::max<int64_t>(r, p.X), t = std::min<int64_t>(t, p.Y),
      b = std::max<int64_t>(b, p.Y);
    MarkDrawn(l - 1, t - 1, r + 2, b + 2);
    raster::FillPolygon(Target(), Points, BrushPaint(), FScratch);
  }
  StrokePath(Points, true);
}

namespace {

// The band a pen of width w covers around a box's one-pixel outline: centred
// on the outline, the extra pixel of an even width going inwards; for
// psInsideFrame the band lies wholly inside the box.
void PenBands(int64_t l, int64_t t, int64_t r, int64_t b, int32_t w, int32_t out, bool insideFrame,
              TBox& outer, TBox& inner) {
  const int64_t o = insideFrame ? 0 : out;
  outer = TBox{l - o, t - o, r + o, b + o};
  inner = TBox{l + w - o, t + w - o, r - w + o, b - w + o};
}

}  // namespace

// A clear pen leaves the outline's pixels to the brush, so a clear-pen box
// covers x1..x2-1 like any other and adjacent boxes tile without gaps.
void TCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  const int64_t l = std::min(X1, X2), r = std::max(X1, X2);
  const int64_t t = std::min(Y1, Y2), b = std::max(Y1, Y2);
  if (l == r || t == b) return;
  if (TCanvasRecorder* rec = TCanvasRecorder::Active()) [[unlikely]]
    rec->RecordRectangle(*this, Rect(X1, Y1, X2, Y2));
  MarkDrawn(l - LineReach(), t - LineReach(), r + LineReach(), b + LineReach());
  const raster::TSurface s = Target();
  const bool fill = FBrush.Style() == TBrushStyle::bsSolid;
  const TPenStyle style = FPen.Style();
  if (style == TPenStyle::psClear) {
    if (fill) raster::FillRect(s, l, t, r, b, BrushPaint());
    return;
  }
  const int32_t w = DevicePenWidth();
  const raster::TDashPattern dash = raster::DashPatternFor(style);
  if (FPen.Width() == 1 && dash.Length != 0 && r - l > w && b - t > w) {
    // Dashed outline: one pattern run clockwise from the top-left corner.
    if (fill) raster::FillRect(s, l + w, t + w, r - w, b - w, BrushPaint());
    auto at = [](int64_t x, int64_t y) {
      return TPoint{static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                    static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX))};
    };
    if (w == 1) {
      const TPoint corners[4] = {at(l, t), at(r - 1, t), at(r - 1, b - 1), at(l, b - 1)};
      StrokePath(corners, true);
      return;
    }
    // At a device scale the sides are w pixels wide, inside the box, and
    // tile its band: top, right, bottom, left.
    uint32_t phase = 0;
    const TPaint pen = PenPaint(), gap = Paint(FBrush.Color());
    raster::TDashPattern scaled = dash;
    scaled.Scale = static_cast<uint8_t>(std::min(w, 255));
    const TPoint sides[4][2] = {{at(l, t), at(r, t)},
                                {at(r - w, t + w), at(r - w, b)},
                                {at(r - w - 1, b - w), at(l - 1, b - w)},
                                {at(l, b - w - 1), at(l, t + w - 1)}};
    for (const auto& side : sides)
      raster::ThickLine(s, side[0].X, side[0].Y, side[1].X, side[1].Y, w, pen, scaled, phase,
                        fill ? &gap : nullptr);
    return;
  }
  TBox outer, inner;
  PenBands(l, t, r, b, w, WideLineLo(), style == TPenStyle::psInsideFrame, outer, inner);
  const TPaint pen = PenPaint();
  const TPaint brush = BrushPaint();
  raster::FillFramedBox(s, outer, inner, pen, fill ? &brush : nullptr);
}

void TCanvas::FillRect(const TRect& R) {
  if (FBrush.Style() != TBrushStyle::bsSolid) return;
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordFillRect(*this, R);
  MarkDrawn(R.Left, R.Top, R.Right, R.Bottom);
  raster::FillRect(Target(), R.Left, R.Top, R.Right, R.Bottom, BrushPaint());
}

// Ellipse outlines are drawn solid for every visible pen style: a dash
// pattern has no natural start on a closed curve.
void TCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  const int64_t l = std::min(X1, X2), r = std::max(X1, X2);
  const int64_t t = std::min(Y1, Y2), b = std::max(Y1, Y2);
  if (l == r || t == b) return;
  if (TCanvasRecorder* rec = TCanvasRecorder::Active()) [[unlikely]]
    rec->RecordEllipse(*this, Rect(X1, Y1, X2, Y2));
  MarkDrawn(l - LineReach(), t - LineReach(), r + LineReach(), b + LineReach());
  const raster::TSurface s = Target();
  const bool fill = FBrush.Style() == TBrushStyle::bsSolid;
  const TPaint brush = BrushPaint();
  const TPenStyle style = FPen.Style();
  if (style == TPenStyle::psClear) {
    if (fill && FAntiAliased && !brush.Xor) {
      const TBox box{l, t, r, b};
      raster::AntiAliasedEllipse(s, box, box, nullptr, &brush.Pixel);
    } else if (fill) {
      raster::FillEllipse(s, l, t, r, b, brush);
    }
    return;
  }
  const int32_t w = DevicePenWidth();
  if (FAntiAliased && !brush.Xor) {
    TBox outer, inner;
    PenBands(l, t, r, b, w, WideLineLo(), style == TPenStyle::psInsideFrame, outer, inner);
    const uint32_t pen = PenPaint().Pixel;
    raster::AntiAliasedEllipse(s, outer, inner, &pen, fill ? &brush.Pixel : nullptr);
    return;
  }
  if (w == 1) {
    raster::OutlinedEllipse(s, l, t, r, b, PenPaint(), fill ? &brush : nullptr);
    return;
  }
  TBox outer, inner;
  PenBands(l, t, r, b, w, WideLineLo(), style == TPenStyle::psInsideFrame, outer, inner);
  if (fill) raster::FillEllipse(s, inner.L, inner.T, inner.R, inner.B, brush);
  raster::EllipseRing(s, outer, inner, PenPaint());
}

TColor TCanvas::Pixels(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FBitmap.Width() || Y >= FBitmap.Height()) return clInvalidPixel;
  return raster::ColorFromPixel(Target().Row(Y)[X]);
}

void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Value) {
  if (X < 0 || Y < 0 || X >= FBitmap.Width() || Y >= FBitmap.Height()) return;
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordPixel(*this, X, Y, Value);
  // Setting a pixel is a plain write, whatever the pen mode.
  MarkDrawn(X, Y, int64_t{X} + 1, int64_t{Y} + 1);
  Target().Row(Y)[X] = raster::PixelFromColor(ColorToRGB(Value));
}

TFontFace& TCanvas::Face() {
  TFontEngine& engine = TFontEngine::Instance();
  if (!FFace || FFaceGeneration != engine.Generation() || FFaceRatio != FScale.Ratio) {
    // Glyphs are rendered at the device height, not scaled afterwards.
    FFace = &engine.Face(FFont.Name(), FScale.Length(FFont.Height()), FFont.Style());
    FFaceGeneration = engine.Generation();
    FFaceRatio = FScale.Ratio;
  }
  return *FFace;
}

int32_t TCanvas::TextWidth(std::string_view Text) { return Face().TextWidth(Text); }

int32_t TCanvas::TextHeight(std::string_view) { return Face().CellHeight(); }

// Text turned by a quarter: the unturned picture's pixel (i, j) from the
// reference point lands at (X + j, Y - i) reading upwards, at (X - j, Y + i)
// reading downwards (the reference point is the unturned top-left corner).
// Turned text has no underline or strike-out line.
void TCanvas::TurnedTextOut(int32_t X, int32_t Y, std::string_view Text, TFontFace& face, bool Up) {
  const int64_t width = face.TextWidth(Text), cell = face.CellHeight();
  // Glyphs may reach beyond their advance and cell: a cell's height of room.
  MarkDrawn(int64_t{X} - 2 * cell, int64_t{Y} - width - 2 * cell, int64_t{X} + 2 * cell,
            int64_t{Y} + width + 2 * cell);
  const raster::TSurface s = Target();
  if (FBrush.Style() == TBrushStyle::bsSolid) {
    if (Up)
      raster::FillRect(s, X, int64_t{Y} - width + 1, int64_t{X} + cell, int64_t{Y} + 1,
                       BrushPaint());
    else
      raster::FillRect(s, int64_t{X} - cell + 1, Y, int64_t{X} + 1, int64_t{Y} + width,
                       BrushPaint());
  }
  const TPaint ink = Paint(FFont.Color());
  int64_t pen = 0;
  std::vector<uint8_t>& turned = FTurnedGlyph;
  for (size_t i = 0; i < Text.size();) {
    const TGlyph& g = face.Glyph(NextCodePoint(Text, i));
    if (g.Width > 0 && g.Height > 0) {
      const uint8_t* m = face.Coverage(g);
      const int32_t w = g.Width, h = g.Height;
      turned.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
      // The turned mask is h wide and w high.
      for (int32_t r = 0; r < w; ++r)
        for (int32_t c = 0; c < h; ++c)
          turned[static_cast<size_t>(r) * h + c] = Up ? m[static_cast<size_t>(c) * w + (w - 1 - r)]
                                                      : m[static_cast<size_t>(h - 1 - c) * w + r];
      const int64_t ox = pen + g.Left, oy = int64_t{face.Ascent()} - g.Top;
      if (Up)
        raster::BlendMask(s, X + oy, Y - ox - w + 1, turned.data(), h, w, h, ink);
      else
        raster::BlendMask(s, X - oy - h + 1, Y + ox, turned.data(), h, w, h, ink);
    }
    pen += g.Advance;
  }
}

void TCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
  TFontFace& face = Face();
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordText(*this, X, Y, Text, face);
  if (const int o = FFont.Orientation(); o == 900 || o == 2700) [[unlikely]] {
    TurnedTextOut(X, Y, Text, face, o == 900);
    return;
  }
  const TFontStyles style = FFont.Style();
  const bool solid = FBrush.Style() == TBrushStyle::bsSolid;
  const bool lines =
      style.Contains(TFontStyle::fsUnderline) || style.Contains(TFontStyle::fsStrikeOut);
  // The text's width is needed only for its background box and its lines.
  const int64_t width = solid || lines ? face.TextWidth(Text) : 0;
  const raster::TSurface s = Target();
  if (solid)
    raster::FillRect(s, X, Y, int64_t{X} + width, int64_t{Y} + face.CellHeight(), BrushPaint());
  const TPaint ink = Paint(FFont.Color());
  const int64_t baseline = int64_t{Y} + face.Ascent();
  int64_t penX = X;
  for (size_t i = 0; i < Text.size();) {
    if (penX >= s.Width) break;  // the rest lies right of the bitmap
    const TGlyph& g = face.Glyph(NextCodePoint(Text, i));
    if (g.Width > 0)
      raster::BlendMask(s, penX + g.Left, baseline - g.Top, face.Coverage(g), g.Width, g.Height,
                        g.Width, ink);
    penX += g.Advance;
  }
  // Drawn on: the box, the advances, and a cell's height of room around
  // them for glyphs that reach beyond their advance and cell.
  const int64_t cell = face.CellHeight();
  MarkDrawn(int64_t{X} - 2 * cell, int64_t{Y} - 2 * cell,
            std::max(penX, int64_t{X} + width) + 2 * cell, int64_t{Y} + 3 * cell);
  if (style.Contains(TFontStyle::fsUnderline)) {
    const int64_t y = baseline + face.UnderlinePos();
    raster::FillRect(s, X, y, int64_t{X} + width, y + face.LineThickness(), ink);
  }
  if (style.Contains(TFontStyle::fsStrikeOut)) {
    const int64_t y = baseline - face.StrikeOutPos();
    raster::FillRect(s, X, y, int64_t{X} + width, y + face.LineThickness(), ink);
  }
}

void TCanvas::Draw(int32_t X, int32_t Y, const TBitmap& Source) {
  const raster::TSurface d = Target();
  const int64_t c0 = std::max<int64_t>(0, -int64_t{X});
  const int64_t c1 = std::min<int64_t>(Source.Width(), int64_t{d.Width} - X);
  const int64_t r0 = std::max<int64_t>(0, -int64_t{Y});
  const int64_t r1 = std::min<int64_t>(Source.Height(), int64_t{d.Height} - Y);
  if (c0 >= c1 || r0 >= r1) return;
  // Drawing a bitmap onto itself (or onto the one this canvas is redirected
  // into) at any offset: nothing sensible.
  if (&Source == &FBitmap || &Source == FTarget) return;
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordDraw(*this, X, Y, Source);
  MarkDrawn(X, Y, int64_t{X} + Source.Width(), int64_t{Y} + Source.Height());
  const size_t bytes = static_cast<size_t>(c1 - c0) * sizeof(uint32_t);
  for (int64_t r = r0; r < r1; ++r) {
    const uint32_t* src = Source.Bits() + static_cast<size_t>(r) * Source.Width() + c0;
    uint32_t* dst = d.Row(static_cast<int32_t>(Y + r)) + X + c0;
    std::memcpy(dst, src, bytes);
  }
}

void TCanvas::StretchDraw(const TRect& Dest, const TBitmap& Source) {
  const int64_t sw = Source.Width(), sh = Source.Height();
  if (sw == 0 || sh == 0 || &Source == &FBitmap || &Source == FTarget) return;
  const bool mirrorX = Dest.Right < Dest.Left, mirrorY = Dest.Bottom < Dest.Top;
  const int64_t l = std::min(Dest.Left, Dest.Right), r = std::max(Dest.Left, Dest.Right);
  const int64_t t = std::min(Dest.Top, Dest.Bottom), b = std::max(Dest.Top, Dest.Bottom);
  const int64_t dw = r - l, dh = b - t;
  if (dw == 0 || dh == 0) return;
  const raster::TSurface d = Target();
  const int64_t x0 = std::max<int64_t>(l, 0), x1 = std::min<int64_t>(r, d.Width);
  const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min<int64_t>(b, d.Height);
  if (x0 >= x1 || y0 >= y1) return;
  if (TCanvasRecorder* r = TCanvasRecorder::Active()) [[unlikely]]
    r->RecordStretchDraw(*this, Dest, Source);
  MarkDrawn(l, t, r, b);
  // Sample the source pixel under each target pixel's centre. Products stay
  // below 2^49: coordinates differ by less than 2^33 and bitmaps are capped.
  FStretchColumns.resize(static_cast<size_t>(x1 - x0));
  for (int64_t x = x0; x < x1; ++x) {
    int64_t u = x - l;
    if (mirrorX) u = dw - 1 - u;
    FStretchColumns[static_cast<size_t>(x - x0)] = (2 * u + 1) * sw / (2 * dw);
  }
  for (int64_t y = y0; y < y1; ++y) {
    int64_t v = y - t;
    if (mirrorY) v = dh - 1 - v;
    const int64_t sy = (2 * v + 1) * sh / (2 * dh);
    const uint32_t* src = Source.Bits() + static_cast<size_t>(sy) * sw;
    uint32_t* dst = d.Row(static_cast<int32_t>(y)) + x0;
    for (size_t i = 0; i < FStretchColumns.size(); ++i) dst[i] = src[FStretchColumns[i]];
  }
}

}  // namespace vexa
