// Construction, painting state and data sharing of the chart control.
#include "chart/CustomKelvo.h"

#include <algorithm>

namespace vexa {

TCustomKelvo::TCustomKelvo(TComponent* AOwner) : TCustomControl(AOwner) {
  FClassVisible.fill(true);
  FLayerVisible.fill(true);
  FDataBitmap.SetPixelFormat(TPixelFormat::pf32bit);
  FPaintLock = true;
  SetBounds(Left(), Top(), 280, 200);
  FPaintLock = true;  // stays locked until the window exists
}

TCustomKelvo::~TCustomKelvo() {
  // A destroyed chart must not stay referenced by its sharing partners:
  // leave the source's users, and let each own user keep a private copy.
  if (FSource) {
    auto& users = FSource->FUsers;
    auto it = std::find(users.begin(), users.begin() + FSource->FUserCount, this);
    if (it != users.begin() + FSource->FUserCount) {
      std::move(it + 1, users.end(), it);
      users.back() = nullptr;
      --FSource->FUserCount;
    }
  }
  for (int32_t i = 0; i < FUserCount; ++i) {
    FUsers[i]->FSource = nullptr;
    FUsers[i]->FList.MakePrivate();
  }
}

void TKelvo::CreateWnd() {
  TCustomKelvo::CreateWnd();
  FPaintLock = false;
}

void TCustomKelvo::SetPaintLock(bool Value) {
  if (Value == FPaintLock) return;
  FPaintLock = Value;
  if (!Value) Paint();
}

void TCustomKelvo::RepaintIfAuto() {
  if (FAutoRedraw || IsDesigning()) Paint();
}

void TCustomKelvo::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  SizeDataBitmap();
}

void TCustomKelvo::SizeDataBitmap() {
  const int64_t w = int64_t{Width()} - FMarginLeft - FMarginRight - FShadowWidth + 1;
  const int64_t h = int64_t{Height()} - FMarginTop - FMarginBottom - FShadowWidth + 1;
  FDataBitmap.SetSize(static_cast<int32_t>(std::clamp<int64_t>(w, 0, MaxBitmapSide)),
                      static_cast<int32_t>(std::clamp<int64_t>(h, 0, MaxBitmapSide)));
}

// The data area part of the picture; the frame, shadow, caption and axes
// are composed around it by the paint pipeline.
void TCustomKelvo::Paint() {
  if (!Visible() || IsLoading() || FPaintLock) return;
  PaintDataBackground(FDataBitmap.Canvas(), 0, 0);
  RenderDisplayList(FDataBitmap);
  PresentBitmap(FMarginLeft, FMarginTop, Canvas(), FDataBitmap);
}

void TCustomKelvo::PaintDataBackground(TCanvas&, int32_t, int32_t) {}

void TCustomKelvo::RenderDisplayList(TBitmap&) {}

void TCustomKelvo::PresentBitmap(int32_t X, int32_t Y, TCanvas& Target, TBitmap& Bitmap) {
  Target.Draw(X, Y, Bitmap);
  if (&Target == &Canvas()) SurfaceChanged();
}

void TCustomKelvo::PropagateDisplayList() {
  if (FSource) {
    FSource->FList.ShareFrom(FList);
    for (int32_t i = 0; i < FSource->FUserCount; ++i) FSource->FUsers[i]->FList.ShareFrom(FList);
  }
  for (int32_t i = 0; i < FUserCount; ++i) FUsers[i]->FList.ShareFrom(FList);
}

void TCustomKelvo::RefreshSharingCharts() {
  if (FSource) {
    FSource->RepaintIfAuto();
    for (int32_t i = 0; i < FSource->FUserCount; ++i) FSource->FUsers[i]->RepaintIfAuto();
  }
  for (int32_t i = 0; i < FUserCount; ++i) FUsers[i]->RepaintIfAuto();
}

}  // namespace vexa
