// Stored forms: published properties and their JSON form.
//
// A class declares its published properties once, in streaming order, with
// the declared default or none (TPropertyTable, filled through TPublish). A
// stored form is a JSON object written in that order, leaving out values
// equal to their declared defaults; owned objects (fonts, settings objects)
// are nested objects. Reading takes the form's values in file order.
// Reading checks the whole form first (names, types, ranges and the class
// rules of ValidateForm) and only then applies it, so a bad form leaves the
// object as it was. Errors name the file, the object path and the property.
#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "Errors.h"

namespace vexa {

using TFormValue = nlohmann::ordered_json;

// A stored form that cannot be read.
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

// Thrown by value checks; the reader adds the file and the path.
struct TFormValueError {
  std::string Problem;
};
// Thrown by a class's ValidateForm about one of its properties.
struct TFormPropertyError {
  std::string Property;
  std::string Problem;
};

struct TPropInfo {
  std::string Name;
  std::function<TFormValue(const TPersistent&)> Write;
  std::function<void(const TFormValue&)> Check;  // throws TFormValueError
  std::function<void(TPersistent&, const TFormValue&)> Apply;
  std::function<bool(const TPersistent&)> IsDefault;  // empty: no declared default
  // Owned objects stream as nested objects.
  std::function<TPersistent&(TPersistent&)> Nested;
  std::function<const TPersistent&(const TPersistent&)> NestedConst;
  // Taken into the snapshot that undoes a failed read; false for a
  // property that only acts when read (a layout that sets others).
  bool Restorable = true;
  // For a property whose present value a form cannot always name (a link
  // to an object without a name): returns what sets the value back exactly
  // after a failed read of the object that holds the property, instead of
  // a value in the snapshot. Top-level properties only.
  std::function<std::function<void()>(TPersistent&)> Remember;
};

class TPropertyTable {
 public:
  const std::vector<TPropInfo>& Items() const { return FItems; }
  const TPropInfo* Find(std::string_view Name) const;
  void Add(TPropInfo Info) { FItems.push_back(std::move(Info)); }

 private:
  std::vector<TPropInfo> FItems;
};

// Names of an enumeration's values, in order from 0.
using TEnumNames = std::span<const char* const>;

// Value helpers shared by the builders.
std::string Describe(const TFormValue& v);
void CheckInt(const TFormValue& v, int64_t Min, int64_t Max);
TFormValue WriteDouble(double v);
double ReadDouble(const TFormValue& v);
// Strings are stored as JSON strings where they are UTF-8, else as the
// array of their byte values, so that every string a setter takes is
// written and read back unchanged.
bool IsUtf8(std::string_view s);
TFormValue WriteString(const std::string& s);
std::string ReadString(const TFormValue& v);
// A list of strings: an array of them, each as WriteString stores it.
TFormValue WriteStrings(const std::vector<std::string>& List);
std::vector<std::string> ReadStrings(const TFormValue& v);
TFormValue WriteChar(char c);
char ReadChar(const TFormValue& v);
TFormValue WriteColor(TColor c);
TColor ReadColor(const TFormValue& v);
const char* EnumName(TEnumNames Names, int Value);
int EnumValue(TEnumNames Names, const TFormValue& v);
TFormValue WriteSet(TEnumNames Names, uint32_t Bits);
uint32_t ReadSet(TEnumNames Names, const TFormValue& v);

extern const char* const FontStyleNames[4];
extern const char* const PenStyleNames[7];
extern const char* const AlignmentNames[3];

// Builds a class's property table: one call per published property, in
// streaming order. Getters and setters may be member function pointers or
// lambdas taking the object.
template <class C>
class TPublish {
 public:
  explicit TPublish(TPropertyTable& Table) : FTable(Table) {}

  TPublish& Int(const char* Name, std::function<int64_t(const C&)> Get,
                std::function<void(C&, int64_t)> Set, std::optional<int64_t> Default = {},
                int64_t Min = INT32_MIN, int64_t Max = INT32_MAX) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return TFormValue(Get(Self(o))); };
    p.Check = [Min, Max](const TFormValue& v) { CheckInt(v, Min, Max); };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), v.get<int64_t>()); };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  TPublish& Double(const char* Name, std::function<double(const C&)> Get,
                   std::function<void(C&, double)> Set, std::optional<double> Default = {}) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return WriteDouble(Get(Self(o))); };
    p.Check = [](const TFormValue& v) { ReadDouble(v); };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), ReadDouble(v)); };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  TPublish& Bool(const char* Name, std::function<bool(const C&)> Get,
                 std::function<void(C&, bool)> Set, std::optional<bool> Default = {}) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return TFormValue(Get(Self(o))); };
    p.Check = [](const TFormValue& v) {
      if (!v.is_boolean()) throw TFormValueError{"expected true or false, got " + Describe(v)};
    };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), v.get<bool>()); };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  TPublish& String(const char* Name, std::function<std::string(const C&)> Get,
                   std::function<void(C&, const std::string&)> Set,
                   std::optional<std::string> Default = {}) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return WriteString(Get(Self(o))); };
    p.Check = [](const TFormValue& v) { ReadString(v); };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), ReadString(v)); };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  // A list of texts, left out of the form while it is empty.
  TPublish& Strings(const char* Name, std::function<std::vector<std::string>(const C&)> Get,
                    std::function<void(C&, std::vector<std::string>)> Set) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return WriteStrings(Get(Self(o))); };
    p.Check = [](const TFormValue& v) { ReadStrings(v); };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), ReadStrings(v)); };
    p.IsDefault = [Get](const TPersistent& o) { return Get(Self(o)).empty(); };
    FTable.Add(std::move(p));
    return *this;
  }

  // A single byte: a string of that character ("" for the zero byte), or
  // its number where it is no character by itself (128 and above).
  TPublish& Char(const char* Name, std::function<char(const C&)> Get,
                 std::function<void(C&, char)> Set) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return WriteChar(Get(Self(o))); };
    p.Check = [](const TFormValue& v) { ReadChar(v); };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), ReadChar(v)); };
    FTable.Add(std::move(p));
    return *this;
  }

  // Colours stream by name ("clSilver", "clBtnFace") where they have one, else as a number.
  TPublish& Color(const char* Name, std::function<TColor(const C&)> Get,
                  std::function<void(C&, TColor)> Set, std::optional<TColor> Default = {}) {
    TPropInfo p = Base(Name);
    p.Write = [Get](const TPersistent& o) { return WriteColor(Get(Self(o))); };
    p.Check = [](const TFormValue& v) { ReadColor(v); };
    p.Apply = [Set](TPersistent& o, const TFormValue& v) { Set(Self(o), ReadColor(v)); };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  template <class E>
  TPublish& Enum(const char* Name, std::function<E(const C&)> Get, std::function<void(C&, E)> Set,
                 TEnumNames Names, std::optional<E> Default = {}) {
    TPropInfo p = Base(Name);
    p.Write = [Get, Names](const TPersistent& o) {
      return TFormValue(EnumName(Names, static_cast<int>(Get(Self(o)))));
    };
    p.Check = [Names](const TFormValue& v) { EnumValue(Names, v); };
    p.Apply = [Set, Names](TPersistent& o, const TFormValue& v) {
      Set(Self(o), static_cast<E>(EnumValue(Names, v)));
    };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  // A set of enumeration values, stored as an array of names.
  TPublish& Set(const char* Name, std::function<uint32_t(const C&)> Get,
                std::function<void(C&, uint32_t)> Put, TEnumNames Names,
                std::optional<uint32_t> Default = {}) {
    TPropInfo p = Base(Name);
    p.Write = [Get, Names](const TPersistent& o) { return WriteSet(Names, Get(Self(o))); };
    p.Check = [Names](const TFormValue& v) { ReadSet(Names, v); };
    p.Apply = [Put, Names](TPersistent& o, const TFormValue& v) {
      Put(Self(o), ReadSet(Names, v));
    };
    if (Default)
      p.IsDefault = [Get, d = *Default](const TPersistent& o) { return Get(Self(o)) == d; };
    FTable.Add(std::move(p));
    return *this;
  }

  // An owned object, streamed as a nested object and read into in place;
  // left out while IsDefault holds, when given.
  template <class N>
  TPublish& Object(const char* Name, std::function<N&(C&)> Get,
                   std::function<bool(const C&)> IsDefault = {}) {
    TPropInfo p = Base(Name);
    if (IsDefault) p.IsDefault = [IsDefault](const TPersistent& o) { return IsDefault(Self(o)); };
    p.Nested = [Get](TPersistent& o) -> TPersistent& { return Get(Self(o)); };
    p.NestedConst = [Get](const TPersistent& o) -> const TPersistent& {
      return Get(const_cast<C&>(Self(o)));  // the accessor only hands out the owned object
    };
    FTable.Add(std::move(p));
    return *this;
  }

  // Anything else: the caller supplies the three functions.
  TPublish& Custom(TPropInfo Info) {
    FTable.Add(std::move(Info));
    return *this;
  }

  static const C& Self(const TPersistent& o) { return static_cast<const C&>(o); }
  static C& Self(TPersistent& o) { return static_cast<C&>(o); }

 private:
  static TPropInfo Base(const char* Name) {
    TPropInfo p;
    p.Name = Name;
    return p;
  }
  TPropertyTable& FTable;
};

// The object's stored form.
TFormValue WriteForm(const TPersistent& Object);
// Checks the whole form, then applies it. Source names the file in
// messages and Path the object ("ExportChart.Scale1X"). Should a setter
// still refuse a value, the object's published properties are set back to
// what they were and EReadError names the file, the path and the property.
void ReadForm(TPersistent& Object, const TFormValue& Form, const std::string& Source,
              const std::string& Path);
// Parses text (at most 64 levels deep) and reads it as above.
void ReadFormText(TPersistent& Object, std::string_view Text, const std::string& Source,
                  const std::string& Path);
// A component's form: the loading state is set while the values are
// applied, then Loaded runs. Either the whole form is applied and Loaded
// has run, or the component's published properties are as they were, it
// is not loading, and EReadError says why.
void ReadComponentForm(TComponent& Component, std::string_view Text, const std::string& Source);

void SaveFormToFile(const TPersistent& Object, const std::string& FileName);
void LoadFormFromFile(TPersistent& Object, const std::string& FileName, const std::string& Path);

}  // namespace vexa
