#include "Files.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "Errors.h"

namespace vexa {

bool HasExtension(const std::string& FileName, std::string_view Extension) {
  if (FileName.size() < Extension.size()) return false;
  return std::equal(
      Extension.begin(), Extension.end(),
      FileName.end() - static_cast<std::ptrdiff_t>(Extension.size()),
      [](char e, char c) { return std::tolower(static_cast<unsigned char>(c)) == e; });
}

void WriteWholeFile(const std::string& FileName, std::string_view Bytes) {
  std::ofstream out(FileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EFOpenError("Cannot create file \"" + FileName + "\"");
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  if (!out) throw EFOpenError("Cannot write file \"" + FileName + "\"");
}

}  // namespace vexa
