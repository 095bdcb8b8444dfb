#include "SvgRaster.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cstdlib>
#include <stdexcept>

namespace kelvo::test {

void RasteriseSvg(const std::string& Document, vexa::TBitmap& Picture) {
  const int32_t Width = Picture.Width(), Height = Picture.Height();
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(Document.data()),
                                                 Document.size(), &error);
  if (!handle) {
    const std::string message = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    throw std::runtime_error("librsvg: " + message);
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  const RsvgRectangle viewport{0, 0, static_cast<double>(Width), static_cast<double>(Height)};
  const bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &error);
  cairo_destroy(cr);
  g_object_unref(handle);
  if (!drawn) {
    cairo_surface_destroy(surface);
    const std::string message = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    throw std::runtime_error("librsvg: " + message);
  }
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int32_t y = 0; y < Height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int32_t x = 0; x < Width; ++x)
      Picture.Bits()[static_cast<size_t>(y) * Width + x] = 0xFF000000u | (row[x] & 0xFFFFFFu);
  }
  cairo_surface_destroy(surface);
}

TPictureDifference ComparePictures(const vexa::TBitmap& A, const vexa::TBitmap& B) {
  TPictureDifference d;
  const size_t n = static_cast<size_t>(A.Width()) * static_cast<size_t>(A.Height());
  if (A.Width() != B.Width() || A.Height() != B.Height() || n == 0) return d;
  size_t equal = 0, near = 0;
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t a = A.Bits()[i], b = B.Bits()[i];
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int diff =
          std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
      worst = std::max(worst, diff);
      sum += diff;
    }
    equal += worst == 0;
    near += worst <= 48;
  }
  d.EqualShare = static_cast<double>(equal) / static_cast<double>(n);
  d.NearShare = static_cast<double>(near) / static_cast<double>(n);
  d.MeanAbs = sum / (3.0 * static_cast<double>(n));
  return d;
}

}  // namespace kelvo::test
