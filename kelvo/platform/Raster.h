// The integer rasteriser behind TCanvas. It works on a 32-bit XRGB pixel
// array and knows nothing of pens or brushes: callers hand it a resolved
// TPaint (pixel value and mix mode). Every pixel write goes through
// TPaint::Apply, so copy and XOR mode are decided in exactly one place.
//
// Coordinates are int32 and any value is safe: every public routine clips to
// the surface and does its arithmetic in 64 bits (128 where products of two
// coordinate differences occur), so nothing overflows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Types.h"

namespace vexa::raster {

// Pixels are 0xFFRRGGBB in memory order B, G, R, X (what Qt's RGB32 shows).
constexpr uint32_t PixelFromColor(TColor rgb) {
  return 0xFF000000u | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}
constexpr TColor ColorFromPixel(uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// Pixel over d at opacity A (0..255), each channel rounded: what fills
// below full opacity write.
inline uint32_t BlendOver(uint32_t d, uint32_t Pixel, uint32_t A) {
  const uint32_t ia = 255 - A;
  auto mix = [&](int shift) {
    uint32_t v = ((Pixel >> shift) & 0xFF) * A + ((d >> shift) & 0xFF) * ia + 128;
    return ((v + (v >> 8)) >> 8) << shift;
  };
  return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

// Width x Height pixels, rows Stride pixels apart (Stride >= Width: a
// surface may be a rectangle of a larger bitmap).
struct TSurface {
  uint32_t* Bits = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Stride = 0;
  uint32_t* Row(int32_t y) const {
    return Bits + static_cast<ptrdiff_t>(y) * static_cast<ptrdiff_t>(Stride);
  }
};

// A box [L, R) x [T, B) in 64-bit coordinates, so that widened boxes of
// int32 corners cannot overflow.
struct TBox {
  int64_t L = 0, T = 0, R = 0, B = 0;
};

struct TPaint {
  uint32_t Pixel = 0xFF000000u;
  bool Xor = false;
  // Fills (spans, boxes, polygons) below 255 blend Pixel over the surface
  // at this opacity; lines and XOR ignore it.
  uint8_t Alpha = 255;
  // XOR touches only the colour channels, so the X byte stays 0xFF.
  void Apply(uint32_t& dst) const { dst = Xor ? (dst ^ (Pixel & 0x00FFFFFFu)) : Pixel; }
};

// Dash patterns of width-1 pens, as on/off run lengths in pixels.
struct TDashPattern {
  uint8_t Length = 0;   // 0 for a solid line
  uint64_t OnMask = 0;  // bit i set: pixel i of the period is drawn with the pen
  // Every bit stands for Scale pixels (a pen of one logical pixel on a
  // surface with more device pixels to the logical one).
  uint8_t Scale = 1;
  uint32_t Period() const { return uint32_t{Length} * Scale; }
  bool On(uint32_t k) const { return ((OnMask >> (Scale == 1 ? k : k / Scale)) & 1u) != 0; }
};
TDashPattern DashPatternFor(TPenStyle style);

// One horizontal run of pixels [x0, x1) on row y; clips.
void FillSpan(const TSurface& s, int64_t y, int64_t x0, int64_t x1, TPaint paint);
// The box [l, r) x [t, b); clips; an empty or reversed box draws nothing.
void FillRect(const TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, TPaint paint);

// A framed box in one pass over its rows: Outer minus Inner in the pen's
// paint, Inner in Fill's when it is given. Clips.
void FillFramedBox(const TSurface& s, const TBox& Outer, const TBox& Inner, TPaint Pen,
                   const TPaint* Fill);

// A width-1 line from (x0, y0) towards (x1, y1). The start pixel is drawn and
// the end pixel is not, so consecutive segments of a path meet without
// overlap. A zero-length line draws nothing. With a dash pattern, Phase is the
// position in the period at the start pixel and is advanced by the number of
// pixels stepped; pixels in the gaps get GapPaint when GapPaint is given.
void Line(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, TPaint paint,
          const TDashPattern& dash, uint32_t& phase, const TPaint* gapPaint);

// Line for a solid pen in copy mode when both ends lie on the surface (so
// every pixel does): the same pixels, without clipping and with the choices
// between axes and directions made without branches. Returns false, drawing
// nothing, when an end is off the surface; Line then does the work.
inline bool SolidLineOnSurface(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                               uint32_t pixel) {
  const auto w = static_cast<uint32_t>(s.Width), h = static_cast<uint32_t>(s.Height);
  if (static_cast<uint32_t>(x0) >= w || static_cast<uint32_t>(x1) >= w ||
      static_cast<uint32_t>(y0) >= h || static_cast<uint32_t>(y1) >= h)
    return false;
  const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int64_t stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -int64_t{s.Stride} : int64_t{s.Stride};
  const bool xMajor = adx >= ady;
  const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  const int64_t majStep = xMajor ? stepX : stepY, minStep = xMajor ? stepY : stepX;
  // Step i lies at minor offset floor((2 i minor + major - 1) / (2 major)),
  // as in Line. The error term runs 2 major low so that its sign says when
  // the minor step is due. The minor steps are as good as random, so the
  // choice must not be a branch, and the chain carried from pixel to pixel
  // decides the speed: conditional moves keep it at three operations.
  uint32_t* p = s.Row(y0) + x0;
  if (minor == 0) {  // upright or level: no minor steps, and no chain between the pixels
    for (int64_t i = 0; i < major; ++i, p += majStep) *p = pixel;
    return true;
  }
  const int64_t twoMajor = 2 * major, twoMinor = 2 * minor;
  const int64_t diagStep = majStep + minStep;
  int64_t e = major - 1 - twoMajor;
#if defined(__GNUC__) && defined(__x86_64__)
  const int64_t dueShift = twoMinor - twoMajor;
#endif
  for (int64_t i = 0; i < major; ++i) {
    *p = pixel;
#if defined(__GNUC__) && defined(__x86_64__)
    // GCC turns the portable form below into a branch.
    const int64_t shifted = e + dueShift;
    int64_t step = majStep;
    e += twoMinor;
    asm("test %[e], %[e]\n\t"
        "cmovns %[shifted], %[e]\n\t"
        "cmovns %[diag], %[step]"
        : [e] "+r"(e), [step] "+r"(step)
        : [shifted] "r"(shifted), [diag] "r"(diagStep)
        : "cc");
    p += step;
#else
    e += twoMinor;
    const bool due = e >= 0;
    e -= due ? twoMajor : 0;
    p += due ? diagStep : majStep;
#endif
  }
  return true;
}

// Line with Width (>= 1) pixels (a one-pixel line of a picture drawn at
// Width device pixels to the logical one). Solid: every pixel of Line
// widened to the Width x Width block whose top-left corner it is, so the
// picture of a path is the blocks of its one-pixel picture, and whatever
// draws the same one-pixel picture draws the same thick one; each pixel is
// written once (XOR-safe). Dashed: every pixel of Line widened to Width
// pixels across the line (down or right), in its step's paint (on: Paint,
// off: GapPaint if given), so dashes keep the scaled pattern's lengths.
// Phase advances as for Line.
void ThickLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width,
               TPaint paint, const TDashPattern& dash, uint32_t& phase, const TPaint* gapPaint);

// A line drawn with a round pen of the given width (> 1): the pen's disc is
// swept from the start to the end point, end caps included. The disc covers
// [c - Lo, c - Lo + width) around a point c; Lo < 0 means (width - 1) / 2.
void WideLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width,
              TPaint paint, int32_t Lo = -1);

// Rows of the ellipse inscribed in [l, r) x [t, b): a pixel belongs to it when
// its centre lies inside the ellipse. Row(y) returns the covered columns
// [first, last], with first > last for an empty row.
class TEllipseRows {
 public:
  TEllipseRows(int64_t l, int64_t t, int64_t r, int64_t b);
  bool Empty() const { return FEmpty; }
  void Row(int64_t y, int64_t& first, int64_t& last) const;

 private:
  int64_t FLeft, FTop, FBottom;
  double FA, FB;
  bool FEmpty;
};

// Fills the ellipse inscribed in [l, r) x [t, b).
void FillEllipse(const TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, TPaint paint);
// The ellipse's one-pixel boundary (pixels of the ellipse with a 4-neighbour
// outside it) with OutlinePaint, the rest with FillPaint when it is given.
void OutlinedEllipse(const TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, TPaint outline,
                     const TPaint* fill);
// Pixels of ellipse(outer) that are not in ellipse(inner).
void EllipseRing(const TSurface& s, const TBox& outer, const TBox& inner, TPaint paint);

// Even-odd polygon fill: a pixel is filled when the point (x, y) lies inside,
// with points on left and top edges inside and on right and bottom edges
// outside, so the polygon (0,0) (4,0) (4,4) (0,4) fills the same pixels as the
// box [0, 4) x [0, 4). Scratch keeps its capacity between calls.
struct TPolygonScratch {
  struct Edge {
    int64_t XTop, YTop, XBottom, YBottom;  // YTop < YBottom
    // Stepping state: the crossing column at the current row is X, and
    // Rem/DY is how far the exact crossing lies left of it.
    int64_t X, Rem, StepX, StepRem;
  };
  std::vector<Edge> Edges;
  std::vector<int64_t> Crossings;
};
void FillPolygon(const TSurface& s, std::span<const TPoint> points, TPaint paint,
                 TPolygonScratch& scratch);

// Blends an 8-bit coverage mask in colour Pixel onto the surface with its
// top-left at (x, y). In XOR mode pixels of at least half coverage are XORed.
void BlendMask(const TSurface& s, int64_t x, int64_t y, const uint8_t* mask, int32_t w, int32_t h,
               int32_t pitch, TPaint paint);

// Anti-aliased drawing (AntiAliasing.cpp), for copy mode only. Each shape
// lies on its aliased picture's centres; thin lines and ellipses touch no
// pixel farther than one from that picture's pixels.

// The line of ThickLine (Width 1: of Line) drawn as the band Width pixels
// wide at right angles through the centres of its blocks. Along the major
// axis it covers what the aliased line covers; across, each pixel gets the
// length of the band's cross-section inside it, so a column's coverage sums
// to Width * sqrt(1 + slope^2). Level and upright lines are the aliased
// ones. Dashes and Phase as for ThickLine, gaps in GapPixel when given.
void AntiAliasedLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                     int32_t Width, uint32_t Pixel, const TDashPattern& dash, uint32_t& phase,
                     const uint32_t* GapPixel);

// A wide pen's line (WideLine's: its disc swept from one end to the other)
// as the coverage of that shape: the band Width wide at right angles, with
// the disc's half at the start and the end when asked for (a path leaves the
// end to the next segment's start, so that joints are drawn once).
void AntiAliasedWideLine(const TSurface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                         int32_t Width, int32_t Lo, uint32_t Pixel, bool StartCap, bool EndCap);

// The ellipse inscribed in Outer with the coverage of its area: inside the
// ellipse inscribed in Inner in FillPixel (when given), between the two in
// PenPixel (when given; without a pen Inner is not used).
void AntiAliasedEllipse(const TSurface& s, const TBox& Outer, const TBox& Inner,
                        const uint32_t* PenPixel, const uint32_t* FillPixel);

}  // namespace vexa::raster
