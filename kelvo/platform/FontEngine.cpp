#include "FontEngine.h"

#if defined(KELVO_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "Files.h"

namespace vexa {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string StyleKey(const std::string& family, bool bold, bool italic) {
  return Lower(family) + (bold ? "|b" : "|") + (italic ? "i" : "");
}

// The Windows families the system's forms name, mapped to metric-compatible
// faces of Debian's fonts-liberation2; anything else goes to fontconfig as is.
std::string SubstituteFamily(const std::string& family) {
  const std::string f = Lower(family);
  if (f == "ms sans serif" || f == "microsoft sans serif" || f == "arial" || f == "helvetica" ||
      f == "tahoma" || f == "segoe ui" || f == "verdana" || f.empty())
    return "Liberation Sans";
  if (f == "times new roman" || f == "ms serif" || f == "times") return "Liberation Serif";
  if (f == "courier new" || f == "courier") return "Liberation Mono";
  return family;
}

int32_t RoundFixed(FT_Pos v) { return static_cast<int32_t>((v + 32) >> 6); }

// A face of the font file at Path (UTF-8), read from the file mapped into
// memory (so that no file stays open however many faces are kept, and on
// Windows the file is found by its wide name). FreeType unmaps it with the
// face, or at once when the face cannot be opened.
FT_Error OpenFace(void* Library, const std::string& Path, FT_Long Index, FT_Face* Face) {
  TFileView view;
  if (!MapWholeFile(Path, view)) return FT_Err_Cannot_Open_Resource;
  auto* stream = new FT_StreamRec{};
  stream->base = const_cast<unsigned char*>(view.Data);
  stream->size = static_cast<unsigned long>(view.Size);
  stream->close = [](FT_Stream s) {
    TFileView mapped{s->base, s->size};
    UnmapWholeFile(mapped);
    delete s;
  };
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = stream;
  return FT_Open_Face(static_cast<FT_Library>(Library), &args, Index, Face);
}

}  // namespace

char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int len = (b0 >= 0xF0 && b0 < 0xF5)   ? 4
            : (b0 >= 0xE0) && b0 < 0xF0 ? 3
            : (b0 >= 0xC2 && b0 < 0xE0) ? 2
                                        : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = b0 & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  // Reject overlong forms and surrogates.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFD;
  }
  i += len;
  return cp;
}

TFontFace::~TFontFace() {
  if (FFace) FT_Done_Face(static_cast<FT_Face>(FFace));
}

const TGlyph& TFontFace::Glyph(char32_t code) {
  if (code < 256) {
    if (!FLatinLoaded[code]) {
      FLatinLoaded[code] = true;
      Render(code, FLatin[code]);
    }
    return FLatin[code];
  }
  auto it = FOther.find(code);
  if (it != FOther.end()) return it->second;
  return Render(code, FOther[code]);
}

const TGlyph& TFontFace::Render(char32_t code, TGlyph& slot) {
  slot = TGlyph{};
  auto face = static_cast<FT_Face>(FFace);
  if (!face) return slot;
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return slot;
  FT_GlyphSlot g = face->glyph;
  if (g->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (FSlant) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Outline_Transform(&g->outline, &shear);
    }
    if (FEmbolden) FT_Outline_EmboldenXY(&g->outline, face->size->metrics.x_ppem * 4, 0);
  }
  slot.Advance = RoundFixed(g->advance.x) +
                 (FEmbolden ? std::max(1, static_cast<int>(face->size->metrics.x_ppem) / 16) : 0);
  if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL) != 0) return slot;
  const FT_Bitmap& bm = g->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return slot;
  slot.Left = g->bitmap_left;
  slot.Top = g->bitmap_top;
  slot.Width = static_cast<int32_t>(bm.width);
  slot.Height = static_cast<int32_t>(bm.rows);
  slot.Offset = static_cast<uint32_t>(FPool.size());
  for (unsigned r = 0; r < bm.rows; ++r) {
    const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
    FPool.insert(FPool.end(), src, src + bm.width);
  }
  return slot;
}

int32_t TFontFace::TextWidth(std::string_view utf8) {
  int32_t w = 0;
  for (size_t i = 0; i < utf8.size();) w += Glyph(NextCodePoint(utf8, i)).Advance;
  return w;
}

TFontEngine& TFontEngine::Instance() {
  static TFontEngine engine;
  return engine;
}

TFontEngine::TFontEngine() {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) == 0) FLibrary = lib;
}

TFontEngine::~TFontEngine() {
  FFaces.clear();
  if (FLibrary) FT_Done_FreeType(static_cast<FT_Library>(FLibrary));
}

void TFontEngine::RegisterFontFile(const std::string& family, bool bold, bool italic,
                                   const std::string& path) {
  FPinned[StyleKey(family, bold, italic)] = path;
  DropResolved();
}

void TFontEngine::AddFontFolder(const std::string& Folder) {
  FAddedFolders.push_back(Folder);
#if defined(KELVO_FONTCONFIG)
  FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(Folder.c_str()));
#endif
  FFoldersScanned = false;
  FFolderFiles.clear();
  DropResolved();
}

void TFontEngine::DropResolved() {
  FResolved.clear();
  FFaces.clear();
  ++FGeneration;
}

std::vector<std::string> TFontEngine::SearchFolders() const {
  std::vector<std::string> folders = FAddedFolders;
#if defined(_WIN32)
  // The variables' wide values: a user's folder may have a name outside the
  // system's code page.
  auto env = [](const wchar_t* name) {
    const wchar_t* v = _wgetenv(name);
    return v ? FileNameOf(std::filesystem::path(v)) : std::string();
  };
  if (const std::string windir = env(L"WINDIR"); !windir.empty())
    folders.push_back(windir + "\\Fonts");
  if (const std::string local = env(L"LOCALAPPDATA"); !local.empty())
    folders.push_back(local + "\\Microsoft\\Windows\\Fonts");  // fonts installed per user
#else
  const char* home = std::getenv("HOME");
  folders.push_back("/usr/share/fonts");
  folders.push_back("/usr/local/share/fonts");
  if (home && *home) {
    folders.push_back(std::string(home) + "/.local/share/fonts");
    folders.push_back(std::string(home) + "/.fonts");
  }
#endif
  return folders;
}

std::string TFontEngine::ResolveFile(const std::string& family, bool bold, bool italic) {
  return Resolve(family, bold, italic).Path;
}

std::vector<TFontEngine::TFontFile> TFontEngine::ScanFontFolders(
    const std::vector<std::string>& Folders) {
  std::vector<TFontFile> out;
  if (!FLibrary) return out;
  namespace fs = std::filesystem;
  for (const std::string& folder : Folders) {
    std::error_code e;
    std::vector<std::string> files;
    for (fs::recursive_directory_iterator
             it(FilePath(folder), fs::directory_options::skip_permission_denied, e),
         end;
         !e && it != end; it.increment(e)) {
      const std::string ext = Lower(FileNameOf(it->path().extension()));
      if (ext != ".ttf" && ext != ".otf" && ext != ".ttc" && ext != ".otc") continue;
      if (std::string name = FileNameOf(it->path()); !name.empty())
        files.push_back(std::move(name));
    }
    std::sort(files.begin(), files.end());  // the same order whatever the file system's
    for (const std::string& path : files) {
      for (FT_Long index = 0, faces = 1; index < faces && index < 64; ++index) {
        FT_Face ft = nullptr;
        if (OpenFace(FLibrary, path, index, &ft) != 0) break;
        faces = ft->num_faces;
        if (ft->family_name && FT_IS_SCALABLE(ft)) {
          const std::string style = Lower(ft->style_name ? ft->style_name : "");
          out.push_back(TFontFile{path, static_cast<int>(index), ft->family_name,
                                  (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0,
                                  (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0,
                                  style == "regular" || style == "book" || style == "normal" ||
                                      style == "roman" || style == "bold" || style == "italic" ||
                                      style == "oblique" || style == "bold italic" ||
                                      style == "bold oblique"});
        }
        FT_Done_Face(ft);
      }
    }
  }
  return out;
}

const TFontEngine::TFontFile* TFontEngine::MatchFontFile(const std::vector<TFontFile>& Files,
                                                         const std::string& family, bool bold,
                                                         bool italic) {
  if (Files.empty()) return nullptr;
  for (const std::string& name : {SubstituteFamily(family), family, std::string("Liberation Sans"),
                                  std::string("Arial"), std::string("DejaVu Sans")}) {
    const std::string wanted = Lower(name);
    const TFontFile* best = nullptr;
    int bestScore = -1;
    for (const TFontFile& f : Files) {
      if (Lower(f.Family) != wanted) continue;
      const int score = (f.Italic == italic ? 4 : 0) + (f.Bold == bold ? 2 : 0) + (f.Plain ? 1 : 0);
      if (score > bestScore) best = &f, bestScore = score;
    }
    if (best) return best;
  }
  return &Files.front();
}

TFontEngine::TResolved TFontEngine::Resolve(const std::string& family, bool bold, bool italic) {
  const std::string key = StyleKey(family, bold, italic);
  if (auto it = FResolved.find(key); it != FResolved.end()) return it->second;
  TResolved res;
  if (auto pin = FPinned.find(key); pin != FPinned.end()) {
    res.Path = pin->second;
    res.RealBold = bold;
    res.RealItalic = italic;
  } else if (auto plain = FPinned.find(StyleKey(family, false, false)); plain != FPinned.end()) {
    res.Path = plain->second;  // styles are synthesised from the pinned regular face
  } else {
#if defined(KELVO_FONTCONFIG)
    FcPattern* pat = FcPatternCreate();
    const std::string fam = SubstituteFamily(family);
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(fam.c_str()));
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    if (match) {
      FcChar8* file = nullptr;
      int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
        res.Path = reinterpret_cast<const char*>(file);
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      res.Index = index;
      res.RealBold = weight >= FC_WEIGHT_DEMIBOLD;
      res.RealItalic = slant != FC_SLANT_ROMAN;
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
#else
    if (!FFoldersScanned) {  // once, at the first face asked for
      FFolderFiles = ScanFontFolders(SearchFolders());
      FFoldersScanned = true;
    }
    if (const TFontFile* f = MatchFontFile(FFolderFiles, family, bold, italic)) {
      res.Path = f->Path;
      res.Index = f->Index;
      res.RealBold = f->Bold;
      res.RealItalic = f->Italic;
    }
#endif
  }
  FResolved[key] = res;
  return res;
}

TFontFace& TFontEngine::Face(const std::string& name, int height, TFontStyles style) {
  const bool bold = style.Contains(TFontStyle::fsBold);
  const bool italic = style.Contains(TFontStyle::fsItalic);
  // Heights beyond any screen are clamped so FreeType is never asked for absurd sizes.
  height = std::clamp(height, -2000, 2000);
  if (height == 0) height = -11;
  const std::string key = StyleKey(name, bold, italic) + "|" + std::to_string(height);
  if (auto it = FFaces.find(key); it != FFaces.end()) return *it->second;

  std::unique_ptr<TFontFace> face(new TFontFace);
  const TResolved res = Resolve(name, bold, italic);
  FT_Face ft = nullptr;
  if (FLibrary && !res.Path.empty() && OpenFace(FLibrary, res.Path, res.Index, &ft) == 0) {
    int em = -height;
    if (height > 0) {
      // A positive height is the cell height: scale the em so that ascent
      // plus descent fills it.
      const int cell = std::max(1, ft->ascender - ft->descender);
      em = std::max(
          1, static_cast<int>(std::lround(static_cast<double>(height) * ft->units_per_EM / cell)));
    }
    if (FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(em)) == 0) {
      face->FFace = ft;
      face->FFamily = ft->family_name ? ft->family_name : "";
      face->FEm = em;
      face->FEmbolden = bold && !res.RealBold;
      face->FSlant = italic && !res.RealItalic;
      const FT_Size_Metrics& m = ft->size->metrics;
      face->FAscent = RoundFixed(m.ascender);
      face->FDescent = -RoundFixed(m.descender);
      const double scale = static_cast<double>(m.y_scale) / 65536.0 / 64.0;
      face->FLineThickness =
          std::max(1, static_cast<int>(std::lround(ft->underline_thickness * scale)));
      face->FUnderlinePos =
          std::max(1, static_cast<int>(std::lround(-ft->underline_position * scale)));
      auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
      face->FStrikeOutPos = os2 && os2->yStrikeoutPosition > 0
                                ? static_cast<int>(std::lround(os2->yStrikeoutPosition * scale))
                                : std::max(1, face->FAscent / 3);
    } else {
      FT_Done_Face(ft);
    }
  }
  TFontFace& ref = *face;
  FFaces.emplace(key, std::move(face));
  return ref;
}

}  // namespace vexa
