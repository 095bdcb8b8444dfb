#include "Files.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "Errors.h"
#include "Streaming.h"

// After the project's headers: the system's declare macros of common names.
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

bool MapWholeFile(const std::string& FileName, TFileView& View) {
  View = {};
  constexpr uint64_t Largest = 0x7FFFFFFF;
  uint64_t bytes = 0;
#if defined(_WIN32)
  const HANDLE file = CreateFileW(FilePath(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  HANDLE mapping = nullptr;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
      static_cast<uint64_t>(size.QuadPart) <= Largest) {
    bytes = static_cast<uint64_t>(size.QuadPart);
    mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  }
  CloseHandle(file);
  if (!mapping) return false;
  const void* data = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  CloseHandle(mapping);  // the view keeps the mapping
  if (!data) return false;
#else
  const int file = open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  struct stat info {};
  void* data = MAP_FAILED;
  if (fstat(file, &info) == 0 && info.st_size > 0 &&
      static_cast<uint64_t>(info.st_size) <= Largest) {
    bytes = static_cast<uint64_t>(info.st_size);
    data = mmap(nullptr, static_cast<size_t>(bytes), PROT_READ, MAP_PRIVATE, file, 0);
  }
  close(file);  // the mapping keeps the file
  if (data == MAP_FAILED) return false;
#endif
  View.Data = static_cast<const unsigned char*>(data);
  View.Size = static_cast<size_t>(bytes);
  return true;
}

void UnmapWholeFile(TFileView& View) {
  if (!View.Data) return;
#if defined(_WIN32)
  UnmapViewOfFile(View.Data);
#else
  munmap(const_cast<unsigned char*>(View.Data), View.Size);
#endif
  View = {};
}

void WriteWholeFile(const std::string& FileName, std::string_view Bytes) {
  std::ofstream out(FilePath(FileName), std::ios::binary | std::ios::trunc);
  if (!out) throw EFOpenError("Cannot create file \"" + FileName + "\"");
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  if (!out) throw EFOpenError("Cannot write file \"" + FileName + "\"");
}

}  // namespace vexa
