#include "kelvo/base/Marks.h"

#include <algorithm>
#include <string>

namespace vexa {

namespace {

// 7 x 7 glyphs, one byte per row from y - 3; bit 6 is x - 3, bit 0 is x + 3.
constexpr uint8_t kGlyphs[][7] = {
    {0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00},  // 1: plus 3 x 3
    {0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00},  // 2: plus 5 x 5
    {0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08},  // 3: plus 7 x 7
    {0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00},  // 4: cross 3 x 3
    {0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00},  // 5: cross 5 x 5
    {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41},  // 6: cross 7 x 7
};
constexpr uint8_t kChecker[7] = {0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55};  // 18

// Windows-1252 characters 128..159 that differ from Latin-1; 0 = unassigned.
// clang-format off
constexpr char32_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
// clang-format on

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

// The pixel (Dx, Dy) logical pixels from the centre, the offsets lengths.
void Dot(TCanvas& c, int32_t x, int32_t y, int32_t Dx, int32_t Dy, TColor Color) {
  const TDeviceScale& d = c.DeviceScale();
  DrawDot(c, x + d.Length(Dx), y + d.Length(Dy), Color);
}

void Glyph(TCanvas& c, const uint8_t (&rows)[7], int32_t x, int32_t y) {
  const TColor pen = c.Pen().Color();
  for (int r = 0; r < 7; ++r)
    for (int b = 0; b < 7; ++b)
      if (rows[r] & (0x40 >> b)) Dot(c, x, y, b - 3, r - 3, pen);
}

struct TOffset {
  int32_t X, Y;
};

}  // namespace

void DrawDot(TCanvas& c, int32_t X, int32_t Y, TColor Color) {
  const TDeviceScale& d = c.DeviceScale();
  if (d.Identity()) {
    c.SetPixels(X, Y, Color);
    return;
  }
  // A dot beyond any picture moves nearer, still beyond it, so that its
  // block's pixels can be counted from it without overflow.
  constexpr int32_t Far = 1 << 30;
  X = std::clamp(X, -Far, Far);
  Y = std::clamp(Y, -Far, Far);
  const int32_t n = d.Length(1);
  for (int32_t j = 0; j < n; ++j)
    for (int32_t i = 0; i < n; ++i) c.SetPixels(X + i, Y + j, Color);
}

void DrawMark(TCanvas& c, uint8_t Symbol, int32_t X, int32_t Y) {
  // A mark reaches a few pixels from its centre. A centre beyond any picture
  // is moved nearer, still beyond every picture, so no offset can overflow.
  constexpr int32_t Far = 1 << 30;
  X = std::clamp(X, -Far, Far);
  Y = std::clamp(Y, -Far, Far);
  if (Symbol >= 52) {
    // Character marks: the digits at 200..209, else the code's Windows-1252 character.
    uint32_t k = (Symbol >= 200 && Symbol <= 209) ? Symbol - 152u : Symbol;
    char32_t code = k;
    if (k >= 128 && k < 160) code = kCp1252High[k - 128] ? kCp1252High[k - 128] : U' ';
    const std::string s = Utf8(code);
    const int32_t w = c.TextWidth(s), h = c.TextHeight(s);
    c.Font().SetColor(c.Pen().Color());
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextOut(X - w / 2, Y - h / 2, s);
    return;
  }
  const TColor brush = c.Brush().Color();
  const TColor pen = c.Pen().Color();
  // Offsets from the centre are lengths: at a device scale they follow the
  // snapping rule, so a mark keeps its shape at every ratio.
  const TDeviceScale& d = c.DeviceScale();
  auto L = [&](int32_t v) { return d.Length(v); };
  auto path = [&](std::initializer_list<TOffset> pts) {
    auto it = pts.begin();
    c.MoveTo(X + L(it->X), Y + L(it->Y));
    for (++it; it != pts.end(); ++it) c.LineTo(X + L(it->X), Y + L(it->Y));
  };
  auto filled = [&] { c.Brush().SetColor(pen); };
  auto outlined = [&](auto draw) {
    c.Brush().SetStyle(TBrushStyle::bsClear);
    draw();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
  };
  auto rect = [&](int32_t a, int32_t b, int32_t r, int32_t e) {
    c.Rectangle(X + L(a), Y + L(b), X + L(r), Y + L(e));
  };
  auto ellipse = [&](int32_t a, int32_t b, int32_t r, int32_t e) {
    c.Ellipse(X + L(a), Y + L(b), X + L(r), Y + L(e));
  };
  auto polygon = [&](std::initializer_list<TOffset> pts) {
    TPoint p[4];
    size_t n = 0;
    for (const TOffset& o : pts) p[n++] = {X + L(o.X), Y + L(o.Y)};
    c.Polygon(std::span<const TPoint>(p, n));
  };
  // The symbol table reads best one mark per line.
  // clang-format off
  switch (Symbol) {
    case 0: Dot(c, X, Y, 0, 0, pen); break;
    case 1: case 2: case 3: case 4: case 5: case 6: Glyph(c, kGlyphs[Symbol - 1], X, Y); break;
    case 7: filled(); rect(-1, -1, 2, 2); break;
    case 8: filled(); rect(-2, -2, 3, 3); break;
    case 9: filled(); rect(-3, -3, 4, 4); break;
    case 10: path({{-1, -1}, {-1, 1}, {1, 1}, {1, -1}, {-1, -1}}); break;
    case 11: path({{-2, -2}, {-2, 2}, {2, 2}, {2, -2}, {-2, -2}}); break;
    case 12: path({{-3, -3}, {-3, 3}, {3, 3}, {3, -3}, {-3, -3}}); break;
    case 13: path({{-3, 0}, {0, 3}, {3, 0}, {0, -3}, {-3, 0}}); Dot(c, X, Y, 0, 0, pen); break;
    case 14: filled(); polygon({{-2, 0}, {0, 2}, {2, 0}, {0, -2}}); break;
    case 15: filled(); polygon({{-3, 0}, {0, 3}, {3, 0}, {0, -3}}); break;
    case 16: outlined([&] { ellipse(-2, -2, 3, 3); }); break;
    case 17: outlined([&] { ellipse(-3, -3, 4, 4); }); break;
    case 18: Glyph(c, kChecker, X, Y); break;
    case 19: path({{-3, 0}, {0, 3}, {3, 0}, {0, -3}, {-3, 0}}); break;
    case 20: path({{0, 0}, {-3, 3}}); path({{0, 0}, {3, 3}}); break;
    case 21: path({{0, 0}, {-4, 4}}); path({{0, 0}, {4, 4}}); break;
    case 22: path({{0, 0}, {-3, -3}}); path({{0, 0}, {3, -3}}); break;
    case 23: path({{0, 0}, {-4, -4}}); path({{0, 0}, {4, -4}}); break;
    case 24: filled(); ellipse(-3, -3, 4, 4); break;
    case 25:
      path({{-3, -3}, {4, 4}});
      path({{-3, -2}, {3, 4}});
      path({{-2, -3}, {4, 3}});
      path({{-3, 3}, {4, -4}});
      path({{-3, 2}, {3, -4}});
      path({{-2, 3}, {4, -3}});
      break;
    case 26: filled(); ellipse(-2, -2, 3, 3); break;
    case 27: outlined([&] { ellipse(-2, -2, 2, 2); }); break;
    case 28: filled(); ellipse(-2, -2, 2, 2); break;
    case 29: filled(); polygon({{-2, 0}, {0, 2}, {2, 0}}); break;
    case 30: filled(); polygon({{-3, 0}, {0, 3}, {3, 0}}); break;
    case 31: outlined([&] { polygon({{-2, 0}, {0, 2}, {2, 0}}); }); break;
    case 32: outlined([&] { polygon({{-3, 0}, {0, 3}, {3, 0}}); }); break;
    case 33: outlined([&] { polygon({{-4, -3}, {0, 4}, {4, -3}}); }); break;
    case 34: filled(); polygon({{-4, -3}, {0, 4}, {4, -3}}); break;
    case 35: outlined([&] { polygon({{-4, 3}, {0, -4}, {4, 3}}); }); break;
    case 36: filled(); polygon({{-4, 3}, {0, -4}, {4, 3}}); break;
    case 37: path({{-3, 0}, {4, 0}}); path({{0, 0}, {0, -8}}); break;
    case 38: path({{-3, -2}, {4, -2}}); path({{-3, 2}, {4, 2}}); path({{0, -2}, {0, 2}}); break;
    case 39:
      outlined([&] { ellipse(-3, -3, 4, 4); });
      path({{-3, 0}, {4, 0}});
      path({{0, -3}, {0, 4}});
      break;
    case 40: outlined([&] { polygon({{3, -2}, {-2, 0}, {3, 2}}); }); break;
    case 41: filled(); polygon({{3, -2}, {-2, 0}, {3, 2}}); break;
    case 42: outlined([&] { polygon({{4, -3}, {-3, 0}, {4, 3}}); }); break;
    case 43: filled(); polygon({{4, -3}, {-3, 0}, {4, 3}}); break;
    case 44: outlined([&] { polygon({{-3, -2}, {2, 0}, {-3, 2}}); }); break;
    case 45: filled(); polygon({{-3, -2}, {2, 0}, {-3, 2}}); break;
    case 46: outlined([&] { polygon({{-4, -3}, {3, 0}, {-4, 3}}); }); break;
    case 47: filled(); polygon({{-4, -3}, {3, 0}, {-4, 3}}); break;
    case 48:
      outlined([&] { rect(-3, -3, 4, 4); });
      path({{-3, 0}, {4, 0}});
      path({{0, -3}, {0, 4}});
      break;
    case 49:
      outlined([&] { rect(-2, -2, 3, 3); });
      path({{-4, 0}, {5, 0}});
      path({{0, -4}, {0, 5}});
      break;
    case 50:
      c.Brush().SetStyle(TBrushStyle::bsSolid);
      path({{-4, 0}, {5, 0}});
      path({{0, -4}, {0, 5}});
      path({{-3, -3}, {4, 4}});
      path({{-3, 3}, {4, -4}});
      break;
    case 51:
      c.Brush().SetStyle(TBrushStyle::bsSolid);
      path({{-4, 0}, {5, 0}});
      path({{0, -4}, {0, 5}});
      path({{-1, -3}, {2, -3}});
      path({{-1, 3}, {2, 3}});
      path({{-3, -1}, {-3, 2}});
      path({{3, -1}, {3, 2}});
      break;
    default: break;
  }
  // clang-format on
  c.Brush().SetColor(brush);
}

}  // namespace vexa
