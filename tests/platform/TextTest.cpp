// Text: measuring, the brush-filled box, styles and a reference picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "kelvo/platform/Bitmap.h"
#include "kelvo/platform/Files.h"
#include "kelvo/platform/FontEngine.h"
#include "support/Golden.h"
#include "support/Sheet.h"

using namespace vexa;
using kelvo::test::CountColor;
using kelvo::test::MakeSheet;

namespace {

TEST(CanvasText, DefaultFontIsMsSansSerifEightPoint) {
  TFont f;
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Size(), 8);
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Color(), clWindowText);
  EXPECT_TRUE(f.Style().Empty());
}

TEST(CanvasText, WidthIsTheSumOfAdvancesAndHeightIsTheCell) {
  auto b = MakeSheet(10, 10);
  auto& c = b->Canvas();
  EXPECT_EQ(c.TextWidth(""), 0);
  const int w1 = c.TextWidth("Net"), w2 = c.TextWidth(" exports");
  EXPECT_GT(w1, 0);
  EXPECT_EQ(c.TextWidth("Net exports"), w1 + w2);
  const int h = c.TextHeight("0");
  EXPECT_GE(h, 11);
  EXPECT_LE(h, 16);
  EXPECT_EQ(c.TextHeight(""), h);
  c.Font().SetHeight(-26);
  EXPECT_GT(c.TextHeight("0"), 2 * h - 4);
  EXPECT_GT(c.TextWidth("Net"), 2 * w1 - 4);
}

TEST(CanvasText, SolidBrushFillsExactlyTheTextBoxAndPenStays) {
  auto b = MakeSheet(120, 40);
  auto& c = b->Canvas();
  c.Font().SetColor(clBlack);
  c.Brush().SetColor(clYellow);
  c.MoveTo(3, 4);
  c.TextOut(10, 8, "-150");
  const int w = c.TextWidth("-150"), h = c.TextHeight("-150");
  EXPECT_EQ(c.PenPos(), Point(3, 4));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool inBox = x >= 10 && x < 10 + w && y >= 8 && y < 8 + h;
      if (!inBox) {
        ASSERT_EQ(c.Pixels(x, y), clWhite) << x << "," << y;
      }
    }
  EXPECT_EQ(c.Pixels(10, 8), clYellow);  // the box's corner holds no ink
  EXPECT_GT(CountColor(*b, clYellow), w * h / 2);
}

TEST(CanvasText, ClearBrushLeavesTheBackground) {
  auto b = MakeSheet(60, 20, clAqua);
  auto& c = b->Canvas();
  c.Font().SetColor(clBlack);
  c.TextOut(2, 2, "1975");
  EXPECT_EQ(c.Pixels(2, 2), clAqua);
  const int w = c.TextWidth("1975"), h = c.TextHeight("1975");
  int ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor p = c.Pixels(x, y);
      if (x < 2 || x >= 2 + w || y < 2 || y >= 2 + h) {
        ASSERT_EQ(p, clAqua) << x << "," << y;
      }
      ink += ((p >> 8) & 0xFF) < 0x80;  // green is 0xFF in aqua, low in black ink
    }
  EXPECT_GT(ink, 10);
}

// Every size of a face is a face of its own, kept open: far more of them
// than a process may have files open at once all draw.
TEST(CanvasText, HundredsOfSizesAllDraw) {
  auto b = MakeSheet(10, 10);
  TCanvas& c = b->Canvas();
  int32_t last = 0;
  for (int height = 6; height < 566; ++height) {
    c.Font().SetHeight(-height);
    const int32_t width = c.TextWidth("Ag");
    ASSERT_GE(width, last) << height;
    ASSERT_GT(width, 0) << height;
    last = width;
  }
  EXPECT_GT(last, 560);
}

TEST(CanvasText, StylesChangeTheInk) {
  auto b = MakeSheet(10, 10);
  auto& c = b->Canvas();
  const int plain = c.TextWidth("Height");
  c.Font().SetStyle({TFontStyle::fsBold});
  EXPECT_GE(c.TextWidth("Height"), plain);
  auto u = MakeSheet(80, 30), p = MakeSheet(80, 30);
  p->Canvas().Font().SetColor(clBlack);
  u->Canvas().Font().SetColor(clBlack);
  u->Canvas().Font().SetStyle({TFontStyle::fsUnderline});
  p->Canvas().TextOut(2, 2, "axis");
  u->Canvas().TextOut(2, 2, "axis");
  EXPECT_GT(CountColor(*u, clBlack), CountColor(*p, clBlack) + 10);
}

TEST(CanvasText, ReferencePicture) {
  auto b = MakeSheet(220, 110);
  auto& c = b->Canvas();
  c.Font().SetColor(clBlack);
  c.TextOut(4, 4, "Net exports 1970");
  c.Font().SetName("Arial");
  c.Font().SetHeight(-13);
  c.Font().SetColor(clNavy);
  c.TextOut(4, 22, "Example for Bar3D method");
  c.Font().SetStyle({TFontStyle::fsBold, TFontStyle::fsItalic});
  c.Brush().SetColor(clSilver);
  c.TextOut(4, 42, "Bold italic -50");
  c.Font().SetStyle({TFontStyle::fsStrikeOut, TFontStyle::fsUnderline});
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Font().SetColor(clRed);
  c.TextOut(4, 62, "Struck, underlined");
  c.Font().SetStyle({});
  c.Font().SetSize(14);
  c.TextOut(-6, 84, "Clipped left and right edges");
  // Anti-aliased edges may differ slightly between FreeType builds.
  EXPECT_GOLDEN(*b, "text/faces", kelvo::test::TTolerance{40, 60});
}

TEST(FontEngine, UnknownFamiliesFallBackToASansFace) {
  auto& engine = TFontEngine::Instance();
  EXPECT_FALSE(engine.ResolveFile("No Such Family 12345", false, false).empty());
  TFontFace& f = engine.Face("No Such Family 12345", -12, {});
  EXPECT_GT(f.TextWidth("abc"), 0);
}

TEST(FontEngine, MalformedUtf8IsDrawnAsReplacementCharacters) {
  size_t i = 0;
  const std::string bad = "\xC3\x28\xE2\x82\xAC\xF0\x9F";
  EXPECT_EQ(NextCodePoint(bad, i), 0xFFFDu);
  EXPECT_EQ(i, 1u);
  EXPECT_EQ(NextCodePoint(bad, i), static_cast<char32_t>('('));
  EXPECT_EQ(NextCodePoint(bad, i), 0x20ACu);  // euro sign
  EXPECT_EQ(NextCodePoint(bad, i), 0xFFFDu);  // truncated 4-byte sequence
  auto b = MakeSheet(100, 20);
  b->Canvas().TextOut(0, 0, bad);  // must not read past the string
}

// The family lookup of systems without fontconfig, over the fonts the
// tests pin (the Liberation and DejaVu folders): family and style, the
// Windows families' substitutes, the sans fallback, and what it passes over.
TEST(FontFolders, FindFamilyAndStyleWithoutFontconfig) {
  TFontEngine& engine = TFontEngine::Instance();
  const std::string liberation = "/usr/share/fonts/truetype/liberation2";
  const std::string folder = ::testing::TempDir() + "kelvo-font-folder";
  std::filesystem::create_directories(folder);
  { std::ofstream(folder + "/not-a-font.ttf") << "plain text"; }
  const auto files =
      engine.ScanFontFolders({liberation, "/usr/share/fonts/truetype/dejavu", folder, "/no/such"});
  ASSERT_GE(files.size(), 12u);
  auto found = [&](const std::string& family, bool bold, bool italic) {
    const TFontEngine::TFontFile* f = TFontEngine::MatchFontFile(files, family, bold, italic);
    return f ? std::filesystem::path(f->Path).filename().string() : std::string("none");
  };
  EXPECT_EQ(found("Liberation Sans", false, false), "LiberationSans-Regular.ttf");
  EXPECT_EQ(found("liberation sans", true, true), "LiberationSans-BoldItalic.ttf");
  EXPECT_EQ(found("Liberation Mono", false, true), "LiberationMono-Italic.ttf");
  EXPECT_EQ(found("MS Sans Serif", true, false), "LiberationSans-Bold.ttf");
  EXPECT_EQ(found("Courier New", false, false), "LiberationMono-Regular.ttf");
  EXPECT_EQ(found("DejaVu Sans", false, false), "DejaVuSans.ttf");
  EXPECT_EQ(found("No Such Family", false, false), "LiberationSans-Regular.ttf");
  EXPECT_EQ(TFontEngine::MatchFontFile({}, "Arial", false, false), nullptr);
  // The engine's own lookup (fontconfig where the system has it, else these
  // functions over the folders) finds a family in a folder added to it.
  engine.AddFontFolder(liberation);
  EXPECT_EQ(std::filesystem::path(engine.ResolveFile("Liberation Serif", true, false)),
            std::filesystem::path(liberation) / "LiberationSerif-Bold.ttf");
  EXPECT_EQ(found("Liberation Serif", true, false), "LiberationSerif-Bold.ttf");
}

// File names are UTF-8 everywhere: a folder and files named outside any
// single code page are created under exactly those names (on Windows too),
// read back, and fonts in such a folder are found and opened.
TEST(FileNames, Utf8NamesOfFoldersFontsAndPictures) {
  const std::string folder = ::testing::TempDir() + "kelvo-\xC3\xBC-\xE4\xB8\xAD\xCE\xB1";
  const std::string fonts = folder + "/fonts", picture = "bild-\xC3\xBC\xE4\xB8\xAD.bmp";
  std::filesystem::create_directories(FilePath(fonts));
  EXPECT_EQ(FileNameOf(FilePath(folder)), folder);
  const std::string font = fonts + "/LiberationSerif-Bold.ttf";
  std::filesystem::copy_file(
      FilePath("/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf"), FilePath(font),
      std::filesystem::copy_options::overwrite_existing);

  TBitmap b(3, 2);
  b.Canvas().SetPixels(1, 1, clRed);
  b.SaveToFile(folder + "/" + picture);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FilePath(folder)))
    names.push_back(FileNameOf(entry.path().filename()));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{picture, "fonts"}));
  TBitmap read;
  read.LoadFromFile(folder + "/" + picture);
  EXPECT_EQ(read.Canvas().Pixels(1, 1), clRed);

  const auto files = TFontEngine::Instance().ScanFontFolders({fonts});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(FilePath(files[0].Path), FilePath(font));
  EXPECT_EQ(files[0].Family, "Liberation Serif");
  EXPECT_TRUE(files[0].Bold);
}

}  // namespace

namespace {
// Text turned by 900 or 2700 is the unturned text's picture turned about
// the reference point, background box included.
TEST(CanvasText, TurnedTextIsTheTextTurned) {
  auto flat = MakeSheet(120, 40);
  flat->Canvas().Brush().SetStyle(vexa::TBrushStyle::bsSolid);
  flat->Canvas().Brush().SetColor(vexa::clYellow);
  flat->Canvas().Font().SetSize(12);
  flat->Canvas().TextOut(0, 0, "Kelvo gy");
  const int w = flat->Canvas().TextWidth("Kelvo gy"), h = flat->Canvas().TextHeight("Kelvo gy");
  for (int orientation : {900, 2700}) {
    auto turned = MakeSheet(60, 140);
    vexa::TCanvas& c = turned->Canvas();
    c.Brush().SetStyle(vexa::TBrushStyle::bsSolid);
    c.Brush().SetColor(vexa::clYellow);
    c.Font().SetSize(12);
    c.Font().SetOrientation(orientation);
    const int x = orientation == 900 ? 5 : 50, y = orientation == 900 ? 130 : 5;
    c.TextOut(x, y, "Kelvo gy");
    int differing = 0;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const vexa::TColor want = flat->Canvas().Pixels(i, j);
        const vexa::TColor got =
            orientation == 900 ? c.Pixels(x + j, y - i) : c.Pixels(x - j, y + i);
        differing += want != got;
      }
    EXPECT_EQ(differing, 0) << orientation;
  }
  vexa::TFont f;
  f.SetOrientation(-900);
  EXPECT_EQ(f.Orientation(), 2700);
  f.SetOrientation(4500);
  EXPECT_EQ(f.Orientation(), 900);
}
}  // namespace
