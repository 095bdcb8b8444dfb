// Whole files: telling a file name's extension and writing a file at once.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Whether FileName ends in Extension (given in lower case, with its dot),
// whatever the case of the name.
bool HasExtension(const std::string& FileName, std::string_view Extension);

// Writes Bytes as the whole file; raises EFOpenError "Cannot create file
// "<name>"" or "Cannot write file "<name>"".
void WriteWholeFile(const std::string& FileName, std::string_view Bytes);

}  // namespace vexa
