#include "Files.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "Errors.h"
#include "Streaming.h"

namespace vexa {

bool HasExtension(const std::string& FileName, std::string_view Extension) {
  if (FileName.size() < Extension.size()) return false;
  return std::equal(
      Extension.begin(), Extension.end(),
      FileName.end() - static_cast<std::ptrdiff_t>(Extension.size()),
      [](char e, char c) { return std::tolower(static_cast<unsigned char>(c)) == e; });
}

std::filesystem::path FilePath(const std::string& FileName) {
  try {
#if defined(_WIN32)
    if (IsUtf8(FileName))
      return std::filesystem::path(
          std::u8string(reinterpret_cast<const char8_t*>(FileName.data()), FileName.size()));
#endif
    return std::filesystem::path(FileName);
  } catch (const std::exception&) {
    return {};
  }
}

std::string FileNameOf(const std::filesystem::path& Path) {
  try {
    const std::u8string name = Path.u8string();
    return std::string(reinterpret_cast<const char*>(name.data()), name.size());
  } catch (const std::exception&) {
    return {};
  }
}

void WriteWholeFile(const std::string& FileName, std::string_view Bytes) {
  std::ofstream out(FilePath(FileName), std::ios::binary | std::ios::trunc);
  if (!out) throw EFOpenError("Cannot create file \"" + FileName + "\"");
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  if (!out) throw EFOpenError("Cannot write file \"" + FileName + "\"");
}

}  // namespace vexa
