// Text through FreeType, with faces found by fontconfig. A TFontFace is one
// face at one pixel size and style; it caches its rendered glyphs, so text
// costs a lookup and a blend per character once a glyph has been seen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Types.h"

namespace vexa {

struct TGlyph {
  int32_t Left = 0;  // from the pen position to the mask's left column
  int32_t Top = 0;   // from the baseline up to the mask's top row
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Advance = 0;  // whole pixels
  uint32_t Offset = 0;  // into the face's coverage pool
};

class TFontFace {
 public:
  ~TFontFace();

  int32_t Ascent() const { return FAscent; }    // baseline below the text's top
  int32_t Descent() const { return FDescent; }  // below the baseline, positive
  int32_t CellHeight() const { return FAscent + FDescent; }
  int32_t UnderlinePos() const { return FUnderlinePos; }  // rows below the baseline
  int32_t StrikeOutPos() const { return FStrikeOutPos; }  // rows above the baseline
  int32_t LineThickness() const { return FLineThickness; }
  // The family of the font file drawn with ("" when none could be opened)
  // and its em size in pixels, for writing the text in other forms.
  const std::string& FamilyName() const { return FFamily; }
  int32_t EmPixels() const { return FEm; }

  const TGlyph& Glyph(char32_t code);
  const uint8_t* Coverage(const TGlyph& g) const { return FPool.data() + g.Offset; }
  int32_t TextWidth(std::string_view utf8);

 private:
  friend class TFontEngine;
  TFontFace() = default;
  const TGlyph& Render(char32_t code, TGlyph& slot);

  void* FFace = nullptr;  // FT_Face; nullptr when no face could be opened
  bool FEmbolden = false, FSlant = false;
  std::string FFamily;
  int32_t FEm = 0;
  int32_t FAscent = 0, FDescent = 0, FUnderlinePos = 1, FStrikeOutPos = 3, FLineThickness = 1;
  TGlyph FLatin[256];
  bool FLatinLoaded[256] = {};
  std::unordered_map<char32_t, TGlyph> FOther;
  std::vector<uint8_t> FPool;
};

// The process-wide face cache. The library draws on the GUI thread only.
class TFontEngine {
 public:
  static TFontEngine& Instance();

  // The face for a font name, TFont::Height and styles (bold and italic
  // matter here; underline and strike-out are drawn as lines by the canvas).
  // Never fails: an unknown family falls back to a sans face, and when no
  // font file can be opened at all the face measures and draws nothing.
  TFontFace& Face(const std::string& name, int height, TFontStyles style);

  // Pins a family (case-insensitive) and style to a font file, ahead of
  // fontconfig. Tests use this so that their pictures do not depend on what
  // else is installed.
  void RegisterFontFile(const std::string& family, bool bold, bool italic, const std::string& path);

  // Changes whenever cached faces are dropped; holders of a TFontFace& look
  // their face up again when it differs from the value they saw.
  uint64_t Generation() const { return FGeneration; }

  // The file a family and style resolve to (empty when none is found).
  std::string ResolveFile(const std::string& family, bool bold, bool italic);

  // A folder of font files an application brings, found by family like the
  // system's fonts (with fontconfig: added to its configuration; without:
  // scanned ahead of the system's font folders). Folder and the files'
  // names are UTF-8, as every file name of the library's.
  void AddFontFolder(const std::string& Folder);

  // The family lookup of systems without fontconfig (Windows): the font
  // files in folders (and their subfolders), each face with its family and
  // style as FreeType reads them. Missing folders and files that are no
  // fonts are passed over.
  struct TFontFile {
    std::string Path;
    int Index = 0;
    std::string Family;
    bool Bold = false, Italic = false;
    bool Plain = false;  // a style of the four plain ones (not "Light", "Condensed" and so on)
  };
  std::vector<TFontFile> ScanFontFolders(const std::vector<std::string>& Folders);
  // The best face for a family (case-insensitive, after the substitutions
  // of the Windows families) and style: that family in that style, else in
  // the nearest style (italic kept before bold; a plain style before
  // others of the same weight and slope), else the same for the sans
  // families "Liberation Sans", "Arial", "DejaVu Sans", else the first face.
  // nullptr when there are no faces.
  static const TFontFile* MatchFontFile(const std::vector<TFontFile>& Files,
                                        const std::string& family, bool bold, bool italic);

 private:
  TFontEngine();
  ~TFontEngine();
  struct TResolved {
    std::string Path;
    int Index = 0;
    bool RealBold = false, RealItalic = false;
  };
  TResolved Resolve(const std::string& family, bool bold, bool italic);
  // The folders scanned without fontconfig: the added ones, then the system's.
  std::vector<std::string> SearchFolders() const;
  void DropResolved();

  void* FLibrary = nullptr;  // FT_Library
  uint64_t FGeneration = 1;
  std::unordered_map<std::string, std::unique_ptr<TFontFace>> FFaces;
  std::unordered_map<std::string, TResolved> FResolved;
  std::unordered_map<std::string, std::string> FPinned;
  std::vector<std::string> FAddedFolders;
  std::vector<TFontFile> FFolderFiles;  // without fontconfig: the faces found
  bool FFoldersScanned = false;
};

// Decodes one UTF-8 sequence at s[i] and advances i; a malformed byte becomes
// U+FFFD and consumes one byte.
char32_t NextCodePoint(std::string_view s, size_t& i);

}  // namespace vexa
