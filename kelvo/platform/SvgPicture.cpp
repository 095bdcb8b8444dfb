#include "SvgPicture.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Bitmap.h"
#include "FontEngine.h"
#include "ImageCodecs.h"

namespace vexa {

namespace {

// Shapes farther than this outside their bitmap are clipped before they are
// written: nothing of them shows, and renderers working in fixed point
// (cairo's 24.8) would misplace coordinates beyond a few million.
constexpr int64_t NearMargin = 4096;
// Open paths are cut after this many points, for the sake of viewers.
constexpr size_t MaxPathPoints = 2048;

void Int(std::string& s, int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  s.append(buf, r.ptr);
}

// Three decimals are a thousandth of a pixel; trailing zeros are dropped.
void Num(std::string& s, double v) {
  if (!std::isfinite(v)) v = 0;
  const double rounded = std::round(v * 1000.0) / 1000.0;
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, rounded == 0 ? 0.0 : rounded,
                         std::chars_format::fixed, 3);
  char* end = r.ptr;
  while (end > buf && end[-1] == '0') --end;
  if (end > buf && end[-1] == '.') --end;
  s.append(buf, end);
}

// Writes ` name="value"`.
void Attr(std::string& s, const char* name, double v) {
  s += ' ';
  s += name;
  s += "=\"";
  Num(s, v);
  s += '"';
}

void ColourAttr(std::string& s, const char* name, TColor c) {
  static const char hex[] = "0123456789abcdef";
  const TColor rgb = ColorToRGB(c);  // red in the low byte
  const unsigned bytes[3] = {rgb & 0xFFu, (rgb >> 8) & 0xFFu, (rgb >> 16) & 0xFFu};
  s += ' ';
  s += name;
  s += "=\"#";
  for (unsigned b : bytes) {
    s += hex[b >> 4];
    s += hex[b & 15];
  }
  s += '"';
}

// XML character data: markup characters escaped, code points XML cannot
// carry (controls, surrogates, non-characters) as U+FFFD.
void EscapeCodePoint(std::string& s, char32_t c) {
  switch (c) {
    case '&':
      s += "&amp;";
      return;
    case '<':
      s += "&lt;";
      return;
    case '>':
      s += "&gt;";
      return;
    case '"':
      s += "&quot;";
      return;
    case '\'':
      s += "&apos;";
      return;
    default:
      break;
  }
  if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF)
    c = 0xFFFD;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void Escape(std::string& s, std::string_view text) {
  for (size_t i = 0; i < text.size();) EscapeCodePoint(s, NextCodePoint(text, i));
}

void Base64(std::string& s, const std::vector<uint8_t>& data) {
  static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  size_t i = 0;
  s.reserve(s.size() + (data.size() + 2) / 3 * 4);
  for (; i + 2 < data.size(); i += 3) {
    const uint32_t v = uint32_t{data[i]} << 16 | uint32_t{data[i + 1]} << 8 | data[i + 2];
    s += table[v >> 18];
    s += table[(v >> 12) & 63];
    s += table[(v >> 6) & 63];
    s += table[v & 63];
  }
  if (i + 1 == data.size()) {
    const uint32_t v = uint32_t{data[i]} << 16;
    s += table[v >> 18];
    s += table[(v >> 12) & 63];
    s += "==";
  } else if (i + 2 == data.size()) {
    const uint32_t v = uint32_t{data[i]} << 16 | uint32_t{data[i + 1]} << 8;
    s += table[v >> 18];
    s += table[(v >> 12) & 63];
    s += table[(v >> 6) & 63];
    s += '=';
  }
}

// A fill blended at an opacity below 255 (the canvas' BrushOpacity).
void OpacityAttr(std::string& s, uint8_t Opacity) {
  if (Opacity < 255) Attr(s, "fill-opacity", Opacity / 255.0);
}

void FilledBox(std::string& s, int64_t l, int64_t t, int64_t r, int64_t b, TColor c,
               uint8_t Opacity = 255) {
  if (l >= r || t >= b) return;
  s += "<rect";
  Attr(s, "x", static_cast<double>(l));
  Attr(s, "y", static_cast<double>(t));
  Attr(s, "width", static_cast<double>(r - l));
  Attr(s, "height", static_cast<double>(b - t));
  ColourAttr(s, "fill", c);
  OpacityAttr(s, Opacity);
  s += "/>\n";
}

struct TPointD {
  double X, Y;
};

// The part [T0, T1] of the segment A..B (as parameters 0..1) inside the box;
// false when nothing of it is.
bool ClipSegment(TPointD A, TPointD B, double L, double T, double R, double Bm, double& T0,
                 double& T1) {
  T0 = 0;
  T1 = 1;
  const double d[2] = {B.X - A.X, B.Y - A.Y};
  const double lo[2] = {L - A.X, T - A.Y}, hi[2] = {R - A.X, Bm - A.Y};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0) {
      if (lo[k] > 0 || hi[k] < 0) return false;
      continue;
    }
    double a = lo[k] / d[k], b = hi[k] / d[k];
    if (a > b) std::swap(a, b);
    T0 = std::max(T0, a);
    T1 = std::min(T1, b);
    if (T0 > T1) return false;
  }
  return true;
}

// A polygon clipped to a box (Sutherland-Hodgman, edge by edge).
std::vector<TPointD> ClipPolygon(std::vector<TPointD> poly, double L, double T, double R,
                                 double B) {
  auto clipEdge = [&](auto inside, auto cross) {
    std::vector<TPointD> out;
    for (size_t i = 0; i < poly.size(); ++i) {
      const TPointD a = poly[i], b = poly[(i + 1) % poly.size()];
      const bool ina = inside(a), inb = inside(b);
      if (ina) out.push_back(a);
      if (ina != inb) out.push_back(cross(a, b));
    }
    poly.swap(out);
  };
  auto atX = [](TPointD a, TPointD b, double x) {
    return TPointD{x, a.Y + (b.Y - a.Y) * (x - a.X) / (b.X - a.X)};
  };
  auto atY = [](TPointD a, TPointD b, double y) {
    return TPointD{a.X + (b.X - a.X) * (y - a.Y) / (b.Y - a.Y), y};
  };
  clipEdge([&](TPointD p) { return p.X >= L; }, [&](TPointD a, TPointD b) { return atX(a, b, L); });
  clipEdge([&](TPointD p) { return p.X <= R; }, [&](TPointD a, TPointD b) { return atX(a, b, R); });
  clipEdge([&](TPointD p) { return p.Y >= T; }, [&](TPointD a, TPointD b) { return atY(a, b, T); });
  clipEdge([&](TPointD p) { return p.Y <= B; }, [&](TPointD a, TPointD b) { return atY(a, b, B); });
  return poly;
}

uint64_t HashPixels(const uint32_t* p, size_t n, int32_t w, int32_t h) {
  uint64_t x = 1469598103934665603ull ^ (static_cast<uint64_t>(w) << 32 | static_cast<uint32_t>(h));
  for (size_t i = 0; i < n; ++i) x = (x ^ p[i]) * 1099511628211ull;
  return x;
}

}  // namespace

// The pen as the canvas would draw a line with it, in the bitmap's pixels:
// a thin pen (one logical pixel) covers the blocks of Width pixels of its
// one-pixel line, so its centre lies Width / 2 right of and below a point.
struct TSvgPicture::TStroke {
  bool Visible = false;
  bool Xor = false;
  bool Thin = true;
  int32_t Width = 1;
  int32_t Lo = 0;  // a wide pen's disc starts Lo left of and above its point
  TColor Color = clBlack;
  raster::TDashPattern Dash;  // thin pens only, scaled to Width
  bool Gaps = false;          // dash gaps painted in GapColor
  TColor GapColor = clWhite;

  explicit TStroke(const TCanvas& C) {
    const TPen& pen = C.Pen();
    Visible = pen.Style() != TPenStyle::psClear;
    Xor = pen.Mode() == TPenMode::pmXor;
    Thin = pen.Width() <= 1;
    Width = std::max(1, C.DevicePenWidth());
    Lo = Thin ? 0 : C.DeviceScale().Length((pen.Width() - 1) / 2);
    Color = pen.Color();
    if (Thin) {
      Dash = raster::DashPatternFor(pen.Style());
      Dash.Scale = static_cast<uint8_t>(std::min(Width, 255));
    }
    Gaps = Dash.Length != 0 && C.Brush().Style() == TBrushStyle::bsSolid;
    GapColor = C.Brush().Color();
  }
};

// The fill (the brush, or none), the outline and the end of a closed shape.
void TSvgPicture::OutlineAttrs(std::string& s, const TCanvas& C, const TStroke& S) {
  if (C.Brush().Style() == TBrushStyle::bsSolid) {
    ColourAttr(s, "fill", C.Brush().Color());
    OpacityAttr(s, C.BrushOpacity());
  } else
    s += " fill=\"none\"";
  ColourAttr(s, "stroke", S.Color);
  if (S.Width > 1) Attr(s, "stroke-width", static_cast<double>(S.Width));
  s += "/>\n";
}

struct TSvgPicture::TRecording {
  std::string Body;
  bool Raster = false;  // not expressible: the bitmap's pixels stand for it
  // The pixels from before the recording began, when it did not cover them.
  std::vector<uint32_t> Base;
  int32_t BaseWidth = 0, BaseHeight = 0;
  int32_t Width = 0, Height = 0;  // of the bitmap at the last operation
  // The open path of connected solid segments.
  std::vector<TPoint> Path;
  TColor PathColor = clBlack;
  int32_t PathWidth = 1, PathLo = 0;
  bool PathThin = true;
  // The open run of set pixels on one row.
  bool RunOpen = false;
  int32_t RunY = 0, RunX0 = 0, RunX1 = 0;
  TColor RunColor = clBlack;

  bool Near(int64_t X, int64_t Y) const {
    return X >= -NearMargin && Y >= -NearMargin && X <= Width + NearMargin &&
           Y <= Height + NearMargin;
  }
  bool Near(TPoint p) const { return Near(p.X, p.Y); }
};

TSvgPicture::TSvgPicture() = default;
TSvgPicture::~TSvgPicture() = default;

TSvgPicture::TRecording* TSvgPicture::Find(const TBitmap& Bitmap) {
  const auto it = FRecordings.find(&Bitmap);
  return it == FRecordings.end() ? nullptr : it->second.get();
}

void TSvgPicture::Fresh(const TBitmap& Bitmap) {
  auto& slot = FRecordings[&Bitmap];
  slot = std::make_unique<TRecording>();
  slot->Width = Bitmap.Width();
  slot->Height = Bitmap.Height();
}

TSvgPicture::TRecording& TSvgPicture::For(const TCanvas& C, bool CoversAll) {
  const TBitmap& bmp = C.Bitmap();
  auto& slot = FRecordings[&bmp];
  if (!slot || CoversAll) {
    const bool first = !slot;
    slot = std::make_unique<TRecording>();
    if (first && !CoversAll && !bmp.Empty()) {
      const size_t n = static_cast<size_t>(bmp.Width()) * static_cast<size_t>(bmp.Height());
      slot->Base.assign(bmp.Bits(), bmp.Bits() + n);
      slot->BaseWidth = bmp.Width();
      slot->BaseHeight = bmp.Height();
    }
  }
  slot->Width = bmp.Width();
  slot->Height = bmp.Height();
  return *slot;
}

void TSvgPicture::Flush(TRecording& R) {
  std::string& s = R.Body;
  if (R.Path.size() >= 2) {
    s += "<path d=\"";
    const size_t n = R.Path.size();
    const double c = R.PathWidth / 2.0 - R.PathLo;
    auto centre = [&](size_t i) { return TPointD{R.Path[i].X + c, R.Path[i].Y + c}; };
    for (size_t i = 0; i < n; ++i) {
      TPointD p = centre(i);
      if (R.PathThin && (i == 0 || i == n - 1)) {
        // A thin line covers the blocks of its pixels from the start pixel's
        // to the one before the end pixel: the start moves half a block back
        // along the major axis, the end one pixel less.
        const TPointD a = centre(i == 0 ? 0 : n - 2), b = centre(i == 0 ? 1 : n - 1);
        const double major = std::max(std::fabs(b.X - a.X), std::fabs(b.Y - a.Y));
        const double t = (i == 0 ? -c : c - 1) / major;
        p = TPointD{p.X + t * (b.X - a.X), p.Y + t * (b.Y - a.Y)};
      }
      s += i == 0 ? 'M' : 'L';
      Num(s, p.X);
      s += ' ';
      Num(s, p.Y);
    }
    s += "\" fill=\"none\"";
    ColourAttr(s, "stroke", R.PathColor);
    if (R.PathWidth > 1) Attr(s, "stroke-width", R.PathWidth);
    if (!R.PathThin) s += " stroke-linecap=\"round\"";
    s += " stroke-linejoin=\"round\"/>\n";
  }
  R.Path.clear();
  if (R.RunOpen) {
    FilledBox(s, R.RunX0, R.RunY, R.RunX1, int64_t{R.RunY} + 1, R.RunColor);
    R.RunOpen = false;
  }
}

// One stroked segment of the canvas's line rules; Phase advances as the
// canvas's dash phase does.
void TSvgPicture::Segment(TRecording& R, const TStroke& S, TPoint A, TPoint B, uint32_t& Phase) {
  const int64_t dx = int64_t{B.X} - A.X, dy = int64_t{B.Y} - A.Y;
  const int64_t major = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  if (major == 0 && S.Thin) return;  // a thin line of no length draws nothing
  const bool dashed = S.Thin && S.Dash.Length != 0;
  if (!dashed && R.Near(A) && R.Near(B)) {
    if (R.RunOpen) Flush(R);
    const bool continues = R.Path.size() >= 2 && R.Path.back() == A && R.PathColor == S.Color &&
                           R.PathWidth == S.Width && R.PathThin == S.Thin && R.PathLo == S.Lo &&
                           R.Path.size() < MaxPathPoints && major > 0;
    if (!continues) {
      Flush(R);
      R.Path = {A, B};
      R.PathColor = S.Color;
      R.PathWidth = S.Width;
      R.PathThin = S.Thin;
      R.PathLo = S.Lo;
      if (major == 0) Flush(R);  // a wide pen's dot
    } else {
      R.Path.push_back(B);
    }
    return;
  }
  Flush(R);
  // The centre line, its thin-line ends moved as in Flush.
  const double c = S.Width / 2.0 - S.Lo;
  TPointD a{A.X + c, A.Y + c}, b{B.X + c, B.Y + c};
  if (S.Thin) {
    // As in Flush. A dashed line's steps are widened across only: each
    // covers one pixel along the line, so both ends sit on the side of
    // their pixels the line comes from.
    const double ux = (b.X - a.X) / static_cast<double>(major),
                 uy = (b.Y - a.Y) / static_cast<double>(major);
    const bool forward = std::fabs(ux) >= std::fabs(uy) ? ux > 0 : uy > 0;
    const double from = dashed && !forward ? c - 1 : -c, to = dashed && forward ? -c : c - 1;
    a = {a.X + ux * from, a.Y + uy * from};
    b = {b.X + ux * to, b.Y + uy * to};
  }
  const double m = static_cast<double>(NearMargin);
  double t0 = 0, t1 = 1;
  const bool shows = ClipSegment(a, b, -m, -m, R.Width + m, R.Height + m, t0, t1);
  const uint32_t startPhase = Phase;
  if (dashed)
    Phase = static_cast<uint32_t>((Phase + static_cast<uint64_t>(major)) % S.Dash.Period());
  if (!shows) return;
  const TPointD p{a.X + t0 * (b.X - a.X), a.Y + t0 * (b.Y - a.Y)};
  const TPointD q{a.X + t1 * (b.X - a.X), a.Y + t1 * (b.Y - a.Y)};
  auto element = [&](TColor colour, bool withDash) {
    std::string& s = R.Body;
    s += "<path d=\"M";
    Num(s, p.X);
    s += ' ';
    Num(s, p.Y);
    s += 'L';
    Num(s, q.X);
    s += ' ';
    Num(s, q.Y);
    s += "\" fill=\"none\"";
    ColourAttr(s, "stroke", colour);
    if (S.Width > 1) Attr(s, "stroke-width", S.Width);
    if (!S.Thin) s += " stroke-linecap=\"round\"";
    if (withDash) {
      // The pattern counts pixel steps along the major axis: the path's
      // length is declared as that many steps.
      const double steps = static_cast<double>(major) * (t1 - t0);
      Attr(s, "pathLength", steps);
      s += " stroke-dasharray=\"";
      const uint8_t n = S.Dash.Length;
      int run = 0;
      bool on = true, first = true;
      auto put = [&](int len) {
        if (!first) s += ',';
        Int(s, int64_t{len} * S.Dash.Scale);
        first = false;
      };
      for (uint8_t i = 0; i < n; ++i) {
        const bool bit = (S.Dash.OnMask >> i & 1) != 0;
        if (bit != on) {
          put(run);
          run = 0;
          on = bit;
        }
        ++run;
      }
      put(run);
      if (on) put(0);  // an even count: on, off, on, off...
      s += '"';
      const double offset = std::fmod(startPhase + static_cast<double>(major) * t0,
                                      static_cast<double>(S.Dash.Period()));
      Attr(s, "stroke-dashoffset", offset);
    }
    s += "/>\n";
  };
  if (dashed && S.Gaps) element(S.GapColor, false);
  element(S.Color, dashed);
}

void TSvgPicture::StrokeOpenPath(TRecording& R, const TCanvas& C, std::span<const TPoint> Points,
                                 bool Closed) {
  const TStroke S(C);
  if (!S.Visible || Points.empty()) return;
  uint32_t phase = 0;  // a figure's pattern starts at its first point
  for (size_t i = 0; i + 1 < Points.size(); ++i) Segment(R, S, Points[i], Points[i + 1], phase);
  if (Closed && Points.size() > 1) Segment(R, S, Points.back(), Points[0], phase);
}

void TSvgPicture::RecordLine(const TCanvas& C, TPoint From, TPoint To, uint32_t Phase) {
  TRecording& R = For(C, false);
  const TStroke S(C);
  if (R.Raster || !S.Visible) return;
  if (S.Xor) {
    R.Raster = true;
    return;
  }
  Segment(R, S, From, To, Phase);
}

void TSvgPicture::RecordPolyline(const TCanvas& C, std::span<const TPoint> Points) {
  TRecording& R = For(C, false);
  if (R.Raster) return;
  if (C.Pen().Mode() == TPenMode::pmXor) {
    R.Raster = C.Pen().Style() != TPenStyle::psClear;
    return;
  }
  StrokeOpenPath(R, C, Points, false);
}

void TSvgPicture::RecordPolygon(const TCanvas& C, std::span<const TPoint> Points) {
  TRecording& R = For(C, false);
  if (R.Raster) return;
  const bool fill = C.Brush().Style() == TBrushStyle::bsSolid;
  if (C.Pen().Mode() == TPenMode::pmXor) {
    R.Raster = fill || C.Pen().Style() != TPenStyle::psClear;
    return;
  }
  if (fill) {
    Flush(R);
    // The canvas fills a pixel when its top-left corner lies inside; a
    // renderer samples pixel centres: the outline moves half a pixel.
    std::vector<TPointD> poly;
    poly.reserve(Points.size());
    bool near = true;
    for (TPoint p : Points) {
      poly.push_back({p.X + 0.5, p.Y + 0.5});
      near = near && R.Near(p);
    }
    if (!near) {
      const double m = static_cast<double>(NearMargin);
      poly = ClipPolygon(std::move(poly), -m, -m, R.Width + m, R.Height + m);
    }
    if (poly.size() >= 3) {
      std::string& s = R.Body;
      s += "<path d=\"";
      for (size_t i = 0; i < poly.size(); ++i) {
        s += i == 0 ? 'M' : 'L';
        Num(s, poly[i].X);
        s += ' ';
        Num(s, poly[i].Y);
      }
      s += "Z\" fill-rule=\"evenodd\"";
      ColourAttr(s, "fill", C.Brush().Color());
      OpacityAttr(s, C.BrushOpacity());
      s += "/>\n";
    }
  }
  StrokeOpenPath(R, C, Points, true);
}

void TSvgPicture::RecordRectangle(const TCanvas& C, const TRect& Box) {
  const int64_t l = std::min(Box.Left, Box.Right), r = std::max(Box.Left, Box.Right);
  const int64_t t = std::min(Box.Top, Box.Bottom), b = std::max(Box.Top, Box.Bottom);
  const TBitmap& bmp = C.Bitmap();
  const bool fill = C.Brush().Style() == TBrushStyle::bsSolid;
  const bool xorMode = C.Pen().Mode() == TPenMode::pmXor;
  const bool covers = fill && !xorMode && l <= 0 && t <= 0 && r >= bmp.Width() && b >= bmp.Height();
  TRecording& R = For(C, covers);
  if (R.Raster) return;
  const TStroke S(C);
  if (xorMode) {
    R.Raster = fill || S.Visible;
    return;
  }
  Flush(R);
  const int64_t m = NearMargin;
  auto box = [&](int64_t L, int64_t T, int64_t Rt, int64_t B, TColor c, uint8_t Opacity = 255) {
    FilledBox(R.Body, std::max(L, -m), std::max(T, -m), std::min(Rt, R.Width + m),
              std::min(B, R.Height + m), c, Opacity);
  };
  if (!S.Visible) {
    if (fill) box(l, t, r, b, C.Brush().Color(), C.BrushOpacity());
    return;
  }
  if (S.Thin && S.Dash.Length != 0 && r - l > S.Width && b - t > S.Width) {
    const int64_t w = S.Width;
    if (fill) box(l + w, t + w, r - w, b - w, C.Brush().Color(), C.BrushOpacity());
    auto at = [](int64_t x, int64_t y) {
      return TPoint{static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                    static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX))};
    };
    if (w == 1) {
      const TPoint corners[4] = {at(l, t), at(r - 1, t), at(r - 1, b - 1), at(l, b - 1)};
      StrokeOpenPath(R, C, corners, true);
    } else {
      // The canvas's sides at a device scale: w wide, inside the box, one
      // pattern run clockwise: top, right, bottom, left.
      const TPoint sides[4][2] = {{at(l, t), at(r, t)},
                                  {at(r - w, t + w), at(r - w, b)},
                                  {at(r - w - 1, b - w), at(l - 1, b - w)},
                                  {at(l, b - w - 1), at(l, t + w - 1)}};
      uint32_t phase = 0;
      for (const auto& side : sides) Segment(R, S, side[0], side[1], phase);
    }
    Flush(R);
    return;
  }
  // The pen's band around the box, as the canvas lays it.
  const int64_t w = S.Width;
  const int64_t o = C.Pen().Style() == TPenStyle::psInsideFrame ? 0 : S.Lo;
  const int64_t OL = l - o, OT = t - o, OR = r + o, OB = b + o;
  const int64_t IL = l + w - o, IT = t + w - o, IR = r - w + o, IB = b - w + o;
  if (IL >= IR || IT >= IB) {
    box(OL, OT, OR, OB, S.Color);
    return;
  }
  if (R.Near(OL, OT) && R.Near(OR, OB)) {
    std::string& s = R.Body;
    s += "<rect";
    Attr(s, "x", OL + w / 2.0);
    Attr(s, "y", OT + w / 2.0);
    Attr(s, "width", static_cast<double>(OR - OL - w));
    Attr(s, "height", static_cast<double>(OB - OT - w));
    OutlineAttrs(s, C, S);
    return;
  }
  box(OL, OT, OR, IT, S.Color);
  box(OL, IB, OR, OB, S.Color);
  box(OL, IT, IL, IB, S.Color);
  box(IR, IT, OR, IB, S.Color);
  if (fill) box(IL, IT, IR, IB, C.Brush().Color(), C.BrushOpacity());
}

void TSvgPicture::RecordFillRect(const TCanvas& C, const TRect& Box) {
  const TBitmap& bmp = C.Bitmap();
  const bool xorMode = C.Pen().Mode() == TPenMode::pmXor;
  const bool covers = !xorMode && Box.Left <= 0 && Box.Top <= 0 && Box.Right >= bmp.Width() &&
                      Box.Bottom >= bmp.Height();
  TRecording& R = For(C, covers);
  if (R.Raster) return;
  if (xorMode) {
    R.Raster = true;
    return;
  }
  Flush(R);
  const int64_t m = NearMargin;
  FilledBox(R.Body, std::max<int64_t>(Box.Left, -m), std::max<int64_t>(Box.Top, -m),
            std::min<int64_t>(Box.Right, R.Width + m), std::min<int64_t>(Box.Bottom, R.Height + m),
            C.Brush().Color(), C.BrushOpacity());
}

void TSvgPicture::RecordEllipse(const TCanvas& C, const TRect& Box) {
  const int64_t l = std::min(Box.Left, Box.Right), r = std::max(Box.Left, Box.Right);
  const int64_t t = std::min(Box.Top, Box.Bottom), b = std::max(Box.Top, Box.Bottom);
  TRecording& R = For(C, false);
  if (R.Raster) return;
  const bool fill = C.Brush().Style() == TBrushStyle::bsSolid;
  const TStroke S(C);
  if (!fill && !S.Visible) return;
  const int64_t w = S.Visible ? S.Width : 0;
  if (r + w <= 0 || b + w <= 0 || l - w >= R.Width || t - w >= R.Height) return;  // not shown
  if (S.Xor || l - w < -NearMargin || t - w < -NearMargin || r + w > R.Width + NearMargin ||
      b + w > R.Height + NearMargin) {
    // XOR, or a curve reaching far beyond the picture: the pixels say it.
    R.Raster = true;
    return;
  }
  Flush(R);
  std::string& s = R.Body;
  auto ellipse = [&](double L, double T, double Rt, double B) {
    s += "<ellipse";
    Attr(s, "cx", (L + Rt) / 2);
    Attr(s, "cy", (T + B) / 2);
    Attr(s, "rx", (Rt - L) / 2);
    Attr(s, "ry", (B - T) / 2);
  };
  if (!S.Visible) {
    ellipse(l, t, r, b);
    ColourAttr(s, "fill", C.Brush().Color());
    s += "/>\n";
    return;
  }
  // The outline inside the ellipse's own pixels: centred half a pen width in.
  const int64_t o = C.Pen().Style() == TPenStyle::psInsideFrame ? 0 : S.Lo;
  const double L = l - o, T = t - o, Rt = r + o, B = b + o;
  const double half = w / 2.0;
  if (Rt - L <= 2 * w || B - T <= 2 * w) {
    ellipse(L, T, Rt, B);
    ColourAttr(s, "fill", S.Color);
    s += "/>\n";
    return;
  }
  ellipse(L + half, T + half, Rt - half, B - half);
  OutlineAttrs(s, C, S);
}

void TSvgPicture::RecordPixel(const TCanvas& C, int32_t X, int32_t Y, TColor Value) {
  TRecording& R = For(C, false);
  if (R.Raster) return;
  if (R.RunOpen && R.RunY == Y && R.RunX1 == X && R.RunColor == Value) {
    ++R.RunX1;
    return;
  }
  Flush(R);
  R.RunOpen = true;
  R.RunY = Y;
  R.RunX0 = X;
  R.RunX1 = X + 1;
  R.RunColor = Value;
}

void TSvgPicture::RecordText(const TCanvas& C, int32_t X, int32_t Y, std::string_view Text,
                             TFontFace& Face) {
  TRecording& R = For(C, false);
  if (R.Raster) return;
  const bool solid = C.Brush().Style() == TBrushStyle::bsSolid;
  if (C.Pen().Mode() == TPenMode::pmXor) {
    R.Raster = true;
    return;
  }
  // Turned text: the unturned element in a group turned about (X, Y).
  const int orientation = C.Font().Orientation();
  const bool turned = orientation == 900 || orientation == 2700;
  if (!turned) {
    if (X >= R.Width || Y >= R.Height || int64_t{Y} + Face.CellHeight() <= 0) return;
    if (X < 0 && int64_t{X} + Face.TextWidth(Text) <= 0) return;  // wholly left of the picture
  }
  Flush(R);
  std::string& s = R.Body;
  struct TTurn {
    std::string& S;
    bool On;
    ~TTurn() {
      if (On) S += "</g>\n";
    }
  } turn{s, turned};
  if (turned) {
    s += "<g transform=\"rotate(";
    s += orientation == 900 ? "-90 " : "90 ";
    Int(s, X);
    s += ' ';
    Int(s, Y);
    s += ")\">\n";
  }
  const TFontStyles style = C.Font().Style();
  const bool lines = !turned && (style.Contains(TFontStyle::fsUnderline) ||
                                 style.Contains(TFontStyle::fsStrikeOut));
  const int64_t width = solid || lines ? Face.TextWidth(Text) : 0;
  if (solid)
    FilledBox(s, X, Y, int64_t{X} + width, int64_t{Y} + Face.CellHeight(), C.Brush().Color());
  const int64_t baseline = int64_t{Y} + Face.Ascent();
  if (!Face.FamilyName().empty() && !Text.empty()) {
    std::string chars, xs;
    int64_t penX = X;
    for (size_t i = 0; i < Text.size();) {
      if (penX >= R.Width && !turned) break;
      const char32_t c = NextCodePoint(Text, i);
      if (!xs.empty()) xs += ' ';
      Int(xs, penX);
      EscapeCodePoint(chars, c);
      penX += Face.Glyph(c).Advance;
    }
    s += "<text x=\"";
    s += xs;
    s += '"';
    Attr(s, "y", static_cast<double>(baseline));
    // The family drawn with, the one asked for when it differs, any sans.
    s += " font-family=\"'";
    Escape(s, Face.FamilyName());
    if (C.Font().Name() != Face.FamilyName()) {
      s += "', '";
      Escape(s, C.Font().Name());
    }
    s += "', sans-serif\"";
    Attr(s, "font-size", Face.EmPixels());
    if (style.Contains(TFontStyle::fsBold)) s += " font-weight=\"bold\"";
    if (style.Contains(TFontStyle::fsItalic)) s += " font-style=\"italic\"";
    ColourAttr(s, "fill", C.Font().Color());
    s += " xml:space=\"preserve\">";
    s += chars;
    s += "</text>\n";
  }
  if (lines && style.Contains(TFontStyle::fsUnderline)) {
    const int64_t y = baseline + Face.UnderlinePos();
    FilledBox(s, X, y, int64_t{X} + width, y + Face.LineThickness(), C.Font().Color());
  }
  if (lines && style.Contains(TFontStyle::fsStrikeOut)) {
    const int64_t y = baseline - Face.StrikeOutPos();
    FilledBox(s, X, y, int64_t{X} + width, y + Face.LineThickness(), C.Font().Color());
  }
}

std::string TSvgPicture::OpenDefinition(const char* Element, char Prefix, size_t Number) {
  std::string id(1, Prefix);
  id += std::to_string(Number);
  FDefs += '<';
  FDefs += Element;
  FDefs += " id=\"";
  FDefs += id;
  FDefs += '"';
  return id;
}

std::string TSvgPicture::PictureId(const uint32_t* Pixels, int32_t Width, int32_t Height) {
  const size_t n = static_cast<size_t>(Width) * static_cast<size_t>(Height);
  const uint64_t key = HashPixels(Pixels, n, Width, Height);
  if (const auto it = FPictureIds.find(key); it != FPictureIds.end()) return it->second;
  std::string id = OpenDefinition("image", 'p', FPictureIds.size() + 1);
  Attr(FDefs, "width", Width);
  Attr(FDefs, "height", Height);
  FDefs += " xlink:href=\"data:image/png;base64,";
  Base64(FDefs, codecs::EncodePng(Pixels, Width, Height));
  FDefs += "\"/>\n";
  FPictureIds.emplace(key, id);
  return id;
}

std::string TSvgPicture::ClipId(int32_t Width, int32_t Height) {
  const uint64_t key =
      static_cast<uint64_t>(static_cast<uint32_t>(Width)) << 32 | static_cast<uint32_t>(Height);
  if (const auto it = FClipIds.find(key); it != FClipIds.end()) return it->second;
  std::string id = OpenDefinition("clipPath", 'c', FClipIds.size() + 1);
  FDefs += "><rect";
  Attr(FDefs, "width", Width);
  Attr(FDefs, "height", Height);
  FDefs += "/></clipPath>\n";
  FClipIds.emplace(key, id);
  return id;
}

void TSvgPicture::Nest(std::string& Out, const TBitmap& Bitmap, int32_t X, int32_t Y) {
  if (Bitmap.Empty()) return;
  TRecording* rec = Find(Bitmap);
  auto use = [&](const std::string& id, int64_t x, int64_t y) {
    Out += "<use xlink:href=\"#" + id + "\"";
    if (x != 0) Attr(Out, "x", static_cast<double>(x));
    if (y != 0) Attr(Out, "y", static_cast<double>(y));
    Out += "/>\n";
  };
  if (!rec || rec->Raster) {
    use(PictureId(Bitmap.Bits(), Bitmap.Width(), Bitmap.Height()), X, Y);
    return;
  }
  Flush(*rec);
  // A group moved to (X, Y) and clipped to the bitmap (a group rather than
  // a nested svg element, which SVG Tiny renderers take for the document).
  Out += "<g";
  if (X != 0 || Y != 0) {
    Out += " transform=\"translate(";
    Int(Out, X);
    Out += ' ';
    Int(Out, Y);
    Out += ")\"";
  }
  Out += " clip-path=\"url(#";
  Out += ClipId(Bitmap.Width(), Bitmap.Height());
  Out += ")\">\n";
  if (!rec->Base.empty()) use(PictureId(rec->Base.data(), rec->BaseWidth, rec->BaseHeight), 0, 0);
  Out += rec->Body;
  Out += "</g>\n";
}

void TSvgPicture::RecordDraw(const TCanvas& C, int32_t X, int32_t Y, const TBitmap& Source) {
  const TBitmap& bmp = C.Bitmap();
  const bool covers = X <= 0 && Y <= 0 && int64_t{X} + Source.Width() >= bmp.Width() &&
                      int64_t{Y} + Source.Height() >= bmp.Height();
  TRecording& R = For(C, covers);
  if (R.Raster) return;
  Flush(R);
  Nest(R.Body, Source, X, Y);
}

void TSvgPicture::RecordStretchDraw(const TCanvas& C, const TRect& Dest, const TBitmap& Source) {
  const int64_t l = std::min(Dest.Left, Dest.Right), r = std::max(Dest.Left, Dest.Right);
  const int64_t t = std::min(Dest.Top, Dest.Bottom), b = std::max(Dest.Top, Dest.Bottom);
  const TBitmap& bmp = C.Bitmap();
  const bool covers = l <= 0 && t <= 0 && r >= bmp.Width() && b >= bmp.Height();
  TRecording& R = For(C, covers);
  if (R.Raster || Source.Empty()) return;
  Flush(R);
  // The visible part, sampled as the canvas samples it (pixel centres).
  const int64_t sw = Source.Width(), sh = Source.Height(), dw = r - l, dh = b - t;
  const int64_t x0 = std::max<int64_t>(l, 0), x1 = std::min<int64_t>(r, bmp.Width());
  const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min<int64_t>(b, bmp.Height());
  if (x0 >= x1 || y0 >= y1) return;
  const bool mirrorX = Dest.Right < Dest.Left, mirrorY = Dest.Bottom < Dest.Top;
  std::vector<uint32_t> shown(static_cast<size_t>((x1 - x0) * (y1 - y0)));
  uint32_t* out = shown.data();
  for (int64_t y = y0; y < y1; ++y) {
    const int64_t v = mirrorY ? dh - 1 - (y - t) : y - t;
    const uint32_t* row = Source.Bits() + static_cast<size_t>((2 * v + 1) * sh / (2 * dh) * sw);
    for (int64_t x = x0; x < x1; ++x) {
      const int64_t u = mirrorX ? dw - 1 - (x - l) : x - l;
      *out++ = row[(2 * u + 1) * sw / (2 * dw)];
    }
  }
  std::string& s = R.Body;
  s += "<use xlink:href=\"#";
  s += PictureId(shown.data(), static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0));
  s += '"';
  if (x0 != 0) Attr(s, "x", static_cast<double>(x0));
  if (y0 != 0) Attr(s, "y", static_cast<double>(y0));
  s += "/>\n";
}

std::string TSvgPicture::Document(const TBitmap& Recorded, const TBitmap& Pixels, double Ratio,
                                  bool Crisp) {
  std::string body;
  TRecording* rec = Find(Recorded);
  if (rec && !rec->Raster && Recorded.Width() == Pixels.Width() &&
      Recorded.Height() == Pixels.Height()) {
    Flush(*rec);
    if (!rec->Base.empty())
      body += "<use xlink:href=\"#" + PictureId(rec->Base.data(), rec->BaseWidth, rec->BaseHeight) +
              "\"/>\n";
    body += rec->Body;
  } else if (!Pixels.Empty()) {
    body += "<use xlink:href=\"#" + PictureId(Pixels.Bits(), Pixels.Width(), Pixels.Height()) +
            "\"/>\n";
  }
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "version=\"1.1\"";
  Attr(doc, "width", Pixels.Width() / Ratio);
  Attr(doc, "height", Pixels.Height() / Ratio);
  doc += " viewBox=\"0 0 ";
  Int(doc, Pixels.Width());
  doc += ' ';
  Int(doc, Pixels.Height());
  doc += Crisp ? "\" shape-rendering=\"crispEdges\">\n" : "\">\n";
  if (!FDefs.empty()) {
    doc += "<defs>\n";
    doc += FDefs;
    doc += "</defs>\n";
  }
  doc += body;
  doc += "</svg>\n";
  return doc;
}

void TSvgPicture::Write(std::ostream& Out, const TBitmap& Recorded, const TBitmap& Pixels) {
  const std::string doc = Document(Recorded, Pixels);
  Out.write(doc.data(), static_cast<std::streamsize>(doc.size()));
}

}  // namespace vexa
