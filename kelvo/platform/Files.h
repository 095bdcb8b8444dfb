// Whole files: telling a file name's extension and writing a file at once;
// file names as paths.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vexa {

// Whether FileName ends in Extension (given in lower case, with its dot),
// whatever the case of the name.
bool HasExtension(const std::string& FileName, std::string_view Extension);

// File names are UTF-8 text on every system (as Qt's toStdString and u8
// literals give them): on Windows such a name is opened by its wide form, so
// names outside the system's code page work too, and a name that is not
// UTF-8 is taken in that code page as before. An unusable name gives an
// empty path, which no file opens.
std::filesystem::path FilePath(const std::string& FileName);
// A path as UTF-8 text; empty when it has none (a Windows name that is not
// valid UTF-16).
std::string FileNameOf(const std::filesystem::path& Path);

// A whole file mapped into memory for reading (font files are read so: the
// system reads only the pages used, and no file stays open). False when the
// file cannot be opened, is empty or is larger than 2 GB.
struct TFileView {
  const unsigned char* Data = nullptr;
  size_t Size = 0;
};
bool MapWholeFile(const std::string& FileName, TFileView& View);
void UnmapWholeFile(TFileView& View);

// Writes Bytes as the whole file; raises EFOpenError "Cannot create file
// "<name>"" or "Cannot write file "<name>"".
void WriteWholeFile(const std::string& FileName, std::string_view Bytes);

}  // namespace vexa
