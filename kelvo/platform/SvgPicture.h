// TSvgPicture: a canvas recorder that turns a paint into an SVG document.
// Shapes become vector elements placed on the pixel grid so that a renderer
// drawing crisp edges covers the pixels the canvas covers; text stays text
// (each character at the canvas's pen position); bitmaps and anything the
// SVG model cannot express exactly (XOR drawing, ellipses beyond the picture)
// become embedded PNG pictures of the pixels themselves. A canvas at a
// device scale is recorded in its device pixels (a thin pen as its blocks'
// centre line, Length(1) wide), for a document whose unit is the logical
// pixel.
//
// Recording is per bitmap: drawing one recorded bitmap onto another nests
// its elements in a group clipped to its bounds (renderers without clip
// paths, SVG Tiny's, show the group unclipped). A bitmap whose first recorded
// operation does not cover it keeps a copy of its earlier pixels beneath,
// unless it was declared Fresh.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "Canvas.h"

namespace vexa {

class TSvgPicture : public TCanvasRecorder {
 public:
  TSvgPicture();
  ~TSvgPicture() override;
  TSvgPicture(const TSvgPicture&) = delete;
  TSvgPicture& operator=(const TSvgPicture&) = delete;

  // What Bitmap shows before now is painted over completely by what follows.
  void Fresh(const TBitmap& Bitmap);

  // The document of what was recorded on Recorded, at Pixels' size. Pixels
  // holds the finished picture (Recorded itself, or where its pixels went)
  // and stands in where the recording cannot. A picture drawn at a device
  // Ratio keeps its coordinates, and the document's size is divided by it
  // (Ratio device pixels to its unit). Crisp asks renderers to draw crisp
  // edges (shapes on whole pixels); otherwise they smooth them.
  std::string Document(const TBitmap& Recorded, const TBitmap& Pixels, double Ratio = 1.0,
                       bool Crisp = true);
  void Write(std::ostream& Out, const TBitmap& Recorded, const TBitmap& Pixels);

  void RecordLine(const TCanvas& C, TPoint From, TPoint To, uint32_t Phase) override;
  void RecordPolyline(const TCanvas& C, std::span<const TPoint> Points) override;
  void RecordPolygon(const TCanvas& C, std::span<const TPoint> Points) override;
  void RecordRectangle(const TCanvas& C, const TRect& R) override;
  void RecordFillRect(const TCanvas& C, const TRect& R) override;
  void RecordEllipse(const TCanvas& C, const TRect& R) override;
  void RecordPixel(const TCanvas& C, int32_t X, int32_t Y, TColor Value) override;
  void RecordText(const TCanvas& C, int32_t X, int32_t Y, std::string_view Text,
                  TFontFace& Face) override;
  void RecordDraw(const TCanvas& C, int32_t X, int32_t Y, const TBitmap& Source) override;
  void RecordStretchDraw(const TCanvas& C, const TRect& Dest, const TBitmap& Source) override;

 private:
  struct TRecording;
  struct TStroke;
  static void OutlineAttrs(std::string& Out, const TCanvas& C, const TStroke& S);
  TRecording& For(const TCanvas& C, bool CoversAll);
  TRecording* Find(const TBitmap& Bitmap);
  void Flush(TRecording& R);
  // The elements that show Bitmap's current picture at (X, Y).
  void Nest(std::string& Out, const TBitmap& Bitmap, int32_t X, int32_t Y);
  // The id of an embedded picture of these pixels (each distinct one once).
  // Pictures are always shown at their own size: renderers would smooth a
  // scaled one.
  std::string PictureId(const uint32_t* Pixels, int32_t Width, int32_t Height);
  // Starts the definition `<Element id="<Prefix><Number>"` and returns the id.
  std::string OpenDefinition(const char* Element, char Prefix, size_t Number);
  // The id of a clip rectangle [0, Width) x [0, Height) (each size once).
  std::string ClipId(int32_t Width, int32_t Height);
  void StrokeOpenPath(TRecording& R, const TCanvas& C, std::span<const TPoint> Points, bool Closed);
  void Segment(TRecording& R, const TStroke& S, TPoint A, TPoint B, uint32_t& Phase);

  std::unordered_map<const TBitmap*, std::unique_ptr<TRecording>> FRecordings;
  std::unordered_map<uint64_t, std::string> FPictureIds;
  std::unordered_map<uint64_t, std::string> FClipIds;
  std::string FDefs;
};

}  // namespace vexa
