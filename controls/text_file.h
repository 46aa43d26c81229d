#pragma once
// Single-byte text files as the configuration and distribution files are read: the whole
// file at once, split into lines at CR LF, LF or CR, a NUL byte ending the text.

#include <string>
#include <string_view>
#include <vector>

namespace lumiva {

// Reads the whole file; throws cannotOpenFile(path) when it cannot be opened or read
// (missing, a folder, no access).
std::string readWholeFile(const std::string& path);

// Splits text into lines; a last line without a line end still counts, and the text
// ends at the first NUL byte.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace lumiva
