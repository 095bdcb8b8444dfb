#include "support/Golden.h"

#include <cstdlib>
#include <filesystem>

namespace kelvo::test {

namespace fs = std::filesystem;
using vexa::TBitmap;

namespace {
bool UpdateRequested() {
  const char* v = std::getenv("KELVO_UPDATE_GOLDEN");
  return v && *v && std::string(v) != "0";
}

void Save(const TBitmap& b, const fs::path& path) {
  fs::create_directories(path.parent_path());
  b.SaveToFile(path.string());
}
}  // namespace

::testing::AssertionResult MatchesGolden(const TBitmap& actual, const std::string& name,
                                         TTolerance tol) {
  const fs::path golden = fs::path(KELVO_GOLDEN_DIR) / (name + ".png");
  const fs::path outBase = fs::path(KELVO_GOLDEN_OUT) / name;
  if (!fs::exists(golden)) {
    if (UpdateRequested()) {
      Save(actual, golden);
      return ::testing::AssertionSuccess() << "wrote new reference " << golden;
    }
    Save(actual, outBase.string() + "-actual.png");
    return ::testing::AssertionFailure()
           << "no reference image " << golden << "; the actual picture is at " << outBase.string()
           << "-actual.png";
  }
  TBitmap expected;
  expected.LoadFromFile(golden.string());
  if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
    if (UpdateRequested()) {
      Save(actual, golden);
      return ::testing::AssertionSuccess();
    }
    Save(actual, outBase.string() + "-actual.png");
    return ::testing::AssertionFailure()
           << name << ": size " << actual.Width() << " x " << actual.Height()
           << " differs from the reference's " << expected.Width() << " x " << expected.Height();
  }
  TBitmap diff(actual.Width(), actual.Height());
  int worst = 0, over = 0, firstX = -1, firstY = -1;
  const size_t n = static_cast<size_t>(actual.Width()) * actual.Height();
  for (size_t i = 0; i < n; ++i) {
    const uint32_t a = actual.Bits()[i], e = expected.Bits()[i];
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
      d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                               static_cast<int>((e >> shift) & 0xFF)));
    worst = std::max(worst, d);
    if (d > tol.MaxChannelDiff) {
      if (over++ == 0) {
        firstX = static_cast<int>(i % actual.Width());
        firstY = static_cast<int>(i / actual.Width());
      }
      diff.Bits()[i] = 0xFFFF0000u;
    } else {
      const uint32_t g = (((e >> 16) & 0xFF) + ((e >> 8) & 0xFF) + (e & 0xFF)) / 3;
      const uint32_t f = 160 + g * 95 / 255;  // faded
      diff.Bits()[i] = 0xFF000000u | (f << 16) | (f << 8) | f;
    }
  }
  if (over <= tol.MaxPixels) return ::testing::AssertionSuccess();
  if (UpdateRequested()) {
    Save(actual, golden);
    return ::testing::AssertionSuccess() << "rewrote reference " << golden;
  }
  Save(actual, outBase.string() + "-actual.png");
  Save(expected, outBase.string() + "-expected.png");
  Save(diff, outBase.string() + "-diff.png");
  return ::testing::AssertionFailure()
         << name << ": " << over << " pixels differ by more than " << tol.MaxChannelDiff
         << " (allowed " << tol.MaxPixels << "), largest channel difference " << worst
         << ", first at (" << firstX << ", " << firstY << "); see " << outBase.string()
         << "-{actual,expected,diff}.png";
}

}  // namespace kelvo::test
