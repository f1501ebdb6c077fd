// Paths of any length for the Win32 file calls.
#pragma once
#ifdef _WIN32
#include <string>

namespace cedb {

// The path as the file calls accept it at any length: a path whose full form
// reaches the 248 characters Windows allows a folder without the
// extended-length prefix is made absolute and given "\\?\" ("\\?\UNC\" for a
// share). Shorter paths, device paths and paths that carry the prefix
// already come back unchanged.
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace cedb
#endif
