#include "Streaming.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "Files.h"

namespace vexa {

const char* const FontStyleNames[4] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const char* const PenStyleNames[7] = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                      "psDashDotDot", "psClear", "psInsideFrame"};
const char* const AlignmentNames[3] = {"taLeftJustify", "taRightJustify", "taCenter"};

namespace {

struct TNamedColor {
  const char* Name;
  TColor Value;
};
constexpr TNamedColor kNamedColors[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

// Stored forms nest a few levels; anything deeper is not one of ours.
constexpr int MaxFormDepth = 64;

void CheckDepth(std::string_view text, const std::string& source) {
  int depth = 0;
  bool inString = false, escaped = false;
  for (char c : text) {
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      if (++depth > MaxFormDepth)
        throw EReadError(source + ": the form nests deeper than " + std::to_string(MaxFormDepth) +
                         " levels");
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
}

std::string Join(const std::string& path, const std::string& name) {
  return path.empty() ? name : path + "." + name;
}

void CheckObject(const TPersistent& obj, const TFormValue& form, const std::string& source,
                 const std::string& path) {
  if (!form.is_object())
    throw EReadError(source + ": " + path + ": expected an object, got " + Describe(form));
  const TPropertyTable* table = obj.Properties();
  for (const auto& [key, value] : form.items()) {
    const TPropInfo* p = table ? table->Find(key) : nullptr;
    const std::string where = Join(path, key);
    if (!p) throw EReadError(source + ": " + where + ": unknown property of " + obj.ClassName());
    if (p->NestedConst) {
      CheckObject(p->NestedConst(obj), value, source, where);
      continue;
    }
    try {
      p->Check(value);
    } catch (const TFormValueError& e) {
      throw EReadError(source + ": " + where + ": " + e.Problem);
    }
  }
  try {
    obj.ValidateForm(form);
  } catch (const TFormPropertyError& e) {
    throw EReadError(source + ": " + Join(path, e.Property) + ": " + e.Problem);
  }
}

// Applies a checked form in file order. Where follows the property being
// applied, for the message should its setter refuse the value. Lenient
// goes on past refusals (setting a snapshot back, as far as it goes).
void ApplyObject(TPersistent& obj, const TFormValue& form, const std::string& path,
                 std::string& where, bool lenient) {
  const TPropertyTable* table = obj.Properties();
  obj.FormReadBegin();
  for (const auto& [key, value] : form.items()) {
    const TPropInfo* p = table->Find(key);
    const std::string at = Join(path, key);
    if (p->Nested) {
      ApplyObject(p->Nested(obj), value, at, where, lenient);
      continue;
    }
    where = at;
    if (!lenient) {
      p->Apply(obj, value);
      continue;
    }
    try {
      p->Apply(obj, value);
    } catch (const std::exception&) {
      // the rest is still set back
    }
  }
  where = path;
  obj.FormReadEnd();
}

// Every published property's present value, declared defaults included.
TFormValue Snapshot(const TPersistent& obj) {
  TFormValue form = TFormValue::object();
  const TPropertyTable* table = obj.Properties();
  if (!table) return form;
  for (const TPropInfo& p : table->Items()) {
    if (!p.Restorable || p.Remember) continue;
    form[p.Name] = p.NestedConst ? Snapshot(p.NestedConst(obj)) : p.Write(obj);
  }
  return form;
}

// What sets back the object's properties that a snapshot cannot hold.
std::vector<std::function<void()>> Remembered(TPersistent& obj) {
  std::vector<std::function<void()>> out;
  if (const TPropertyTable* table = obj.Properties())
    for (const TPropInfo& p : table->Items())
      if (p.Remember) out.push_back(p.Remember(obj));
  return out;
}

// Applies a checked form, with the loading state and Loaded for a
// component. A refusal sets the published properties back to the
// snapshot taken before, ends the loading state and raises EReadError.
void ApplyOrRestore(TPersistent& obj, TComponent* component, const TFormValue& form,
                    const std::string& source, const std::string& path) {
  const TFormValue before = Snapshot(obj);
  const std::vector<std::function<void()>> remembered = Remembered(obj);
  std::string where = path;
  try {
    if (component) component->BeginLoading();
    ApplyObject(obj, form, path, where, false);
    if (component) component->Loaded();
  } catch (const std::exception& e) {
    const std::string problem = e.what();
    std::string ignored;
    ApplyObject(obj, before, path, ignored, true);
    for (const auto& restore : remembered) {
      try {
        restore();
      } catch (const std::exception&) {
        // the rest is still set back
      }
    }
    if (component) {
      try {
        component->Loaded();
      } catch (const std::exception&) {
        component->EndLoading();
      }
    }
    throw EReadError(source + ": " + where + ": " + problem);
  }
}

TFormValue Parse(std::string_view text, const std::string& source) {
  CheckDepth(text, source);
  try {
    return TFormValue::parse(text.begin(), text.end());
  } catch (const nlohmann::json::exception& e) {
    throw EReadError(source + ": malformed form: " + e.what());
  }
}

}  // namespace

const TPropInfo* TPropertyTable::Find(std::string_view Name) const {
  for (const TPropInfo& p : FItems)
    if (p.Name == Name) return &p;
  return nullptr;
}

std::string Describe(const TFormValue& v) {
  switch (v.type()) {
    case TFormValue::value_t::null:
      return "null";
    case TFormValue::value_t::boolean:
      return "a boolean";
    case TFormValue::value_t::string:
      return "a string";
    case TFormValue::value_t::array:
      return "an array";
    case TFormValue::value_t::object:
      return "an object";
    case TFormValue::value_t::number_float:
      return "a fractional number";
    default:
      return "a number";
  }
}

void CheckInt(const TFormValue& v, int64_t Min, int64_t Max) {
  if (!v.is_number_integer()) throw TFormValueError{"expected a whole number, got " + Describe(v)};
  if (v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX))
    throw TFormValueError{"the number is out of range"};
  const int64_t i = v.get<int64_t>();
  if (i < Min || i > Max)
    throw TFormValueError{std::to_string(i) + " is out of range " + std::to_string(Min) + ".." +
                          std::to_string(Max)};
}

// JSON has no NaN or infinities: they are stored as the strings "NaN",
// "Infinity" and "-Infinity".
TFormValue WriteDouble(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  return v;
}

double ReadDouble(const TFormValue& v) {
  if (v.is_number()) return v.get<double>();
  if (v.is_string()) {
    const std::string& s = v.get_ref<const std::string&>();
    if (s == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (s == "Infinity") return std::numeric_limits<double>::infinity();
    if (s == "-Infinity") return -std::numeric_limits<double>::infinity();
  }
  throw TFormValueError{"expected a number, got " + Describe(v)};
}

bool IsUtf8(std::string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len;
    uint32_t cp;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
      cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      cp = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      cp = b & 0x07u;
    } else {
      return false;
    }
    if (n - i < len) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = cp << 6 | (c & 0x3Fu);
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

TFormValue WriteString(const std::string& s) {
  if (IsUtf8(s)) return s;
  TFormValue bytes = TFormValue::array();
  for (char c : s) bytes.push_back(static_cast<unsigned char>(c));
  return bytes;
}

TFormValue WriteStrings(const std::vector<std::string>& List) {
  TFormValue a = TFormValue::array();
  for (const std::string& s : List) a.push_back(WriteString(s));
  return a;
}

std::vector<std::string> ReadStrings(const TFormValue& v) {
  if (!v.is_array()) throw TFormValueError{"expected a list of strings, got " + Describe(v)};
  std::vector<std::string> out;
  out.reserve(v.size());
  for (const TFormValue& s : v) out.push_back(ReadString(s));
  return out;
}

std::string ReadString(const TFormValue& v) {
  if (v.is_string()) return v.get<std::string>();
  if (v.is_array()) {
    std::string s;
    for (const TFormValue& b : v) {
      if (!b.is_number_unsigned() || b.get<uint64_t>() > 255)
        throw TFormValueError{"expected a string or an array of byte values 0..255"};
      s += static_cast<char>(b.get<uint64_t>());
    }
    return s;
  }
  throw TFormValueError{"expected a string, got " + Describe(v)};
}

TFormValue WriteChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 128) return b;
  return b ? std::string(1, c) : std::string();
}

char ReadChar(const TFormValue& v) {
  if (v.is_number_integer()) {
    CheckInt(v, 0, 255);
    return static_cast<char>(v.get<int64_t>());
  }
  if (!v.is_string() || v.get_ref<const std::string&>().size() > 1 ||
      (v.get_ref<const std::string&>().size() == 1 &&
       static_cast<unsigned char>(v.get_ref<const std::string&>()[0]) >= 128))
    throw TFormValueError{"expected a string of at most one character or a byte value, got " +
                          Describe(v)};
  const std::string& s = v.get_ref<const std::string&>();
  return s.empty() ? '\0' : s[0];
}

TFormValue WriteColor(TColor c) {
  for (const TNamedColor& n : kNamedColors)
    if (n.Value == c) return n.Name;
  return c;
}

TColor ReadColor(const TFormValue& v) {
  if (v.is_string()) {
    for (const TNamedColor& n : kNamedColors)
      if (v.get_ref<const std::string&>() == n.Name) return n.Value;
    throw TFormValueError{"unknown colour name \"" + v.get<std::string>() + "\""};
  }
  CheckInt(v, 0, 0xFFFFFFFF);
  return static_cast<TColor>(v.get<int64_t>());
}

const char* EnumName(TEnumNames Names, int Value) {
  return Value >= 0 && static_cast<size_t>(Value) < Names.size() ? Names[static_cast<size_t>(Value)]
                                                                 : "";
}

int EnumValue(TEnumNames Names, const TFormValue& v) {
  if (!v.is_string()) throw TFormValueError{"expected a name, got " + Describe(v)};
  const std::string& s = v.get_ref<const std::string&>();
  for (size_t i = 0; i < Names.size(); ++i)
    if (s == Names[i]) return static_cast<int>(i);
  std::string known;
  for (const char* n : Names) known += (known.empty() ? "" : ", ") + std::string(n);
  throw TFormValueError{"unknown value \"" + s + "\" (expected one of " + known + ")"};
}

TFormValue WriteSet(TEnumNames Names, uint32_t Bits) {
  TFormValue a = TFormValue::array();
  for (size_t i = 0; i < Names.size() && i < 32; ++i)
    if (Bits & (1u << i)) a.push_back(Names[i]);
  return a;
}

uint32_t ReadSet(TEnumNames Names, const TFormValue& v) {
  if (!v.is_array()) throw TFormValueError{"expected an array of names, got " + Describe(v)};
  uint32_t bits = 0;
  for (const TFormValue& item : v) bits |= 1u << EnumValue(Names, item);
  return bits;
}

TFormValue WriteForm(const TPersistent& Object) {
  TFormValue form = TFormValue::object();
  const TPropertyTable* table = Object.Properties();
  if (!table) return form;
  for (const TPropInfo& p : table->Items()) {
    if (p.NestedConst) {
      if (p.IsDefault && p.IsDefault(Object)) continue;
      TFormValue sub = WriteForm(p.NestedConst(Object));
      if (!sub.empty()) form[p.Name] = std::move(sub);
    } else if (!(p.IsDefault && p.IsDefault(Object))) {
      form[p.Name] = p.Write(Object);
    }
  }
  return form;
}

void ReadForm(TPersistent& Object, const TFormValue& Form, const std::string& Source,
              const std::string& Path) {
  CheckObject(Object, Form, Source, Path);
  ApplyOrRestore(Object, nullptr, Form, Source, Path);
}

void ReadFormText(TPersistent& Object, std::string_view Text, const std::string& Source,
                  const std::string& Path) {
  ReadForm(Object, Parse(Text, Source), Source, Path);
}

void ReadComponentForm(TComponent& Component, std::string_view Text, const std::string& Source) {
  const TFormValue form = Parse(Text, Source);
  CheckObject(Component, form, Source, Component.Name());
  ApplyOrRestore(Component, &Component, form, Source, Component.Name());
}

void SaveFormToFile(const TPersistent& Object, const std::string& FileName) {
  WriteWholeFile(FileName, WriteForm(Object).dump(2) + '\n');
}

void LoadFormFromFile(TPersistent& Object, const std::string& FileName, const std::string& Path) {
  std::ifstream in(FilePath(FileName), std::ios::binary);  // as written: no line-end translation
  if (!in) throw EFOpenError("Cannot open file \"" + FileName + "\"");
  std::ostringstream text;
  text << in.rdbuf();
  ReadFormText(Object, text.str(), FileName, Path);
}

}  // namespace vexa
