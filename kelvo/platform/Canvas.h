// TCanvas: drawing with a pen, a brush and a font on a TBitmap.
//
// Pixel rules (GDI's, which the chart's pixel arithmetic is written against):
//  - Lines draw their start pixel and not their end pixel; PenPos ends at the
//    end point. Polyline does not draw its last point.
//  - Rectangle and Ellipse cover x1..x2-1, y1..y2-1: outline with the pen,
//    inside with the brush. Reversed corners are put in order first.
//  - Polygon is filled with the even-odd rule, then outlined with the pen.
//  - pmXor XORs the RGB of every pixel the pen or brush touches.
//  - Width-1 dashed pens paint their gaps in the brush colour while the brush
//    is solid and leave them alone while it is clear.
//  - Any int32 coordinate is safe: drawing is clipped to the bitmap.
//  - Coordinates are the bitmap's pixels. With a device scale (a bitmap of
//    a high-density surface) pen widths, dash patterns and font heights are
//    logical lengths, drawn by the snapping rule (DeviceScale.h): a pen of
//    one logical pixel draws every pixel of its line as a block of
//    Length(1) pixels, wider pens and outlines take Length(Width).
// The choices where GDI's rules leave room are stated at the operations.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "DeviceScale.h"
#include "Graphics.h"
#include "Raster.h"

namespace vexa {

class TBitmap;
class TFontFace;

// SetTextAlign flags; the library uses 0 (left, top, no update of the pen).
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_TOP = 0;

constexpr TColor clInvalidPixel = 0xFFFFFFFF;

class TCanvasRecorder;

class TCanvas : public TPersistent {
 public:
  explicit TCanvas(TBitmap& Owner);
  ~TCanvas() override;

  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  TFont& Font() { return FFont; }
  const TPen& Pen() const { return FPen; }
  const TBrush& Brush() const { return FBrush; }
  const TFont& Font() const { return FFont; }
  // Font assignment copies face, height, style and colour.
  void SetFont(const TFont& Value) { FFont.Assign(&Value); }

  // Identity at creation. Changing it keeps pen, brush and font.
  const TDeviceScale& DeviceScale() const { return FScale; }
  void SetDeviceScale(const TDeviceScale& Value) { FScale = Value; }
  // The pen's width in this bitmap's pixels.
  int32_t DevicePenWidth() const { return FScale.Length(FPen.Width()); }
  // Logical pixels in this bitmap's pixels, by the one snapping rule of
  // DeviceScale.h: a position mapped straight, a length snapped. Drawing
  // code that places a figure in logical units asks the canvas it draws on.
  int32_t Pos(int64_t Logical) const { return FScale.Position(Logical); }
  int32_t Len(int64_t Logical) const { return FScale.Length(Logical); }

  // Off at creation. On, lines, polylines, polygon outlines and ellipses
  // are drawn with coverage anti-aliasing in copy mode (XOR drawing stays
  // aliased, so that it can be undone); boxes, fills and text are as ever.
  // The opacity fills are blended with (the insides of rectangles,
  // ellipses and polygons, FillRect, text backgrounds; 255, the creation
  // value: painted over). Lines and dashed lines' gaps are not fills.
  uint8_t BrushOpacity() const { return FBrushOpacity; }
  void SetBrushOpacity(uint8_t Value) { FBrushOpacity = Value; }
  bool AntiAliased() const { return FAntiAliased; }
  void SetAntiAliased(bool Value) { FAntiAliased = Value; }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  // Only left/top alignment without update of the pen position is supported;
  // TextOut never moves the pen.
  void SetTextAlign(unsigned Flags) { FTextAlign = Flags; }
  unsigned TextAlign() const { return FTextAlign; }

  // Moving restarts the dash pattern; LineTo continues it.
  void MoveTo(int32_t X, int32_t Y);
  void LineTo(int32_t X, int32_t Y);
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  // Fills [Left, Right) x [Top, Bottom) with the brush, without outline.
  void FillRect(const TRect& R);
  void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Polygon(std::span<const TPoint> Points);
  void Polyline(std::span<const TPoint> Points);

  // Reads outside the bitmap give clInvalidPixel, as the window system's
  // pixel query does; writes there are ignored.
  TColor Pixels(int32_t X, int32_t Y) const;
  void SetPixels(int32_t X, int32_t Y, TColor Value);

  // Text with its top-left corner at (X, Y); the box TextWidth x TextHeight
  // is filled with the brush first while the brush is solid. With the
  // font's Orientation 900 or 2700 the text and its box are turned about
  // (X, Y), reading upwards or downwards; TextWidth and TextHeight measure
  // the text unturned.
  void TextOut(int32_t X, int32_t Y, std::string_view Text);
  int32_t TextWidth(std::string_view Text);
  int32_t TextHeight(std::string_view Text);

  // Copies the whole bitmap with its top-left at (X, Y).
  void Draw(int32_t X, int32_t Y, const TBitmap& Source);
  // Scales the bitmap into Rect by nearest neighbour (pixel centres sampled);
  // a rectangle with Right < Left or Bottom < Top mirrors the picture.
  void StretchDraw(const TRect& Dest, const TBitmap& Source);

  // The pixels drawn: the bitmap's, or while redirected the rectangle of
  // the target's. They are handed out to be written: the whole of them
  // counts as drawn on (DrawnTiles.h); SurfaceIn(R) counts only R, for a
  // caller that writes inside R alone.
  raster::TSurface Surface() const;
  raster::TSurface SurfaceIn(const TRect& R) const;
  const TBitmap& Bitmap() const { return FBitmap; }
  // The bitmap drawn on (the target while redirected) and where this
  // canvas' (0, 0) lies on it: the drawing marks that bitmap's DrawnTiles.
  TBitmap& TargetBitmap() const { return FTarget ? *FTarget : FBitmap; }
  TPoint TargetOrigin() const { return FTarget ? TPoint{FTargetX, FTargetY} : TPoint{0, 0}; }
  // Until EndRedirect, draws into the rectangle of Target whose top-left is
  // (X, Y) and whose size is the bitmap's, instead of into the bitmap; pen,
  // brush, font and coordinates stay this canvas'. (Drawing a picture in
  // place in a larger one without copying it.) A rectangle not wholly in
  // Target raises EInvalidGraphic.
  void Redirect(TBitmap& Target, int32_t X, int32_t Y);
  void EndRedirect() { FTarget = nullptr; }
  bool Redirected() const { return FTarget != nullptr; }
  // Expires when this canvas is destroyed. An object that draws into a canvas
  // it does not own holds this beside the pointer, so it never draws into a
  // canvas that is gone.
  std::weak_ptr<const void> Lifetime() const { return FLifetime; }
  // Where the next LineTo's dash pattern continues.
  uint32_t DashPhase() const { return FDashPhase; }

 private:
  // The pixels drawn, without counting them as drawn on.
  raster::TSurface Target() const;
  // Marks [L, R) x [T, B) of this canvas as drawn on in its target's tiles.
  void MarkDrawn(int64_t L, int64_t T, int64_t R, int64_t B) const;
  // A line's reach beyond its end points: its pen's width and a pixel of
  // smoothing either side.
  int64_t LineReach() const { return int64_t{DevicePenWidth()} + 2; }
  void MarkPath(std::span<const TPoint> Points, bool Closed) const;
  raster::TPaint PenPaint() const;
  raster::TPaint BrushPaint() const;
  raster::TPaint Paint(TColor c) const;
  // Outline of the path through Points; Closed adds the closing edge.
  void StrokePath(std::span<const TPoint> Points, bool Closed);
  void StrokeSegment(int32_t X0, int32_t Y0, int32_t X1, int32_t Y1);
  bool SmoothLines() const { return FAntiAliased && FPen.Mode() != TPenMode::pmXor; }
  int32_t WideLineLo() const;
  TFontFace& Face();
  void TurnedTextOut(int32_t X, int32_t Y, std::string_view Text, TFontFace& Face, bool Up);

  TBitmap& FBitmap;
  TBitmap* FTarget = nullptr;  // while redirected
  int32_t FTargetX = 0, FTargetY = 0;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  uint32_t FDashPhase = 0;
  unsigned FTextAlign = 0;
  bool FAntiAliased = false;
  uint8_t FBrushOpacity = 255;
  TFontFace* FFace = nullptr;
  uint64_t FFaceGeneration = 0;
  TDeviceScale FScale;
  double FFaceRatio = 1.0;  // the ratio FFace was chosen at
  raster::TPolygonScratch FScratch;
  std::vector<int64_t> FStretchColumns;
  std::vector<uint8_t> FTurnedGlyph;
  std::shared_ptr<const void> FLifetime = std::make_shared<char>(0);
};

// Sees every drawing operation of every canvas while it is the active
// recorder, before the canvas draws it, with the canvas's pen, brush and font
// as they are for the operation. Recording turns a paint into another form
// (a vector picture) without the painting code knowing. The library draws on
// the GUI thread only, so one recorder is active at a time.
class TCanvasRecorder {
 public:
  virtual ~TCanvasRecorder() = default;

  // LineTo from the pen position; Phase is where its dash pattern starts.
  virtual void RecordLine(const TCanvas& C, TPoint From, TPoint To, uint32_t Phase) = 0;
  virtual void RecordPolyline(const TCanvas& C, std::span<const TPoint> Points) = 0;
  virtual void RecordPolygon(const TCanvas& C, std::span<const TPoint> Points) = 0;
  virtual void RecordRectangle(const TCanvas& C, const TRect& R) = 0;
  virtual void RecordFillRect(const TCanvas& C, const TRect& R) = 0;
  virtual void RecordEllipse(const TCanvas& C, const TRect& R) = 0;
  virtual void RecordPixel(const TCanvas& C, int32_t X, int32_t Y, TColor Value) = 0;
  virtual void RecordText(const TCanvas& C, int32_t X, int32_t Y, std::string_view Text,
                          TFontFace& Face) = 0;
  virtual void RecordDraw(const TCanvas& C, int32_t X, int32_t Y, const TBitmap& Source) = 0;
  virtual void RecordStretchDraw(const TCanvas& C, const TRect& Dest, const TBitmap& Source) = 0;

  static TCanvasRecorder* Active() { return FActive; }

  // Makes a recorder the active one for its lifetime (nesting restores the
  // one before).
  class TScope {
   public:
    explicit TScope(TCanvasRecorder& Recorder) : FPrevious(FActive) { FActive = &Recorder; }
    ~TScope() { FActive = FPrevious; }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TCanvasRecorder* FPrevious;
  };

 private:
  static inline TCanvasRecorder* FActive = nullptr;
};

}  // namespace vexa
