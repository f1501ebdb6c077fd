#include "platform/cedb/os/long_path.h"

#include <windows.h>

namespace cedb {

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    // CreateDirectoryW leaves room for an 8.3 name within MAX_PATH.
    const size_t kShortLimit = MAX_PATH - 12;
    if (path.empty() || path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0)
        return path;
    // The prefix turns off the name parsing that resolves "." and "..",
    // forward slashes and relative paths: the full path does that first.
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    if (full.size() < kShortLimit)
        return path;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace cedb
