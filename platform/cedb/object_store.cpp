#include "platform/cedb/object_store.h"

#include <cstdlib>

#ifdef _WIN32
#include "platform/cedb/os/long_path.h"

#include <windows.h>
#else
#include <cerrno>
#include <sys/stat.h>
#endif

namespace cedb {
namespace {

#ifdef _WIN32
const char kSep = '\\';

std::string EnvUtf8(const wchar_t* name)
{
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    if (n == 0 || n >= 1024) return std::string();
    int len = WideCharToMultiByte(CP_UTF8, 0, buf, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buf, static_cast<int>(n), &out[0], len, nullptr, nullptr);
    return out;
}
#else
const char kSep = '/';

std::string EnvUtf8(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
#endif

}  // namespace

std::string ObjectStoreFolder()
{
#ifdef _WIN32
    std::string dir = EnvUtf8(L"VANTARO_DEVICE_DIR");
    if (!dir.empty()) return dir;
    std::string base = EnvUtf8(L"LOCALAPPDATA");
    if (base.empty()) base = EnvUtf8(L"APPDATA");
    return base + "\\Vantaro\\Device";
#else
    std::string dir = EnvUtf8("VANTARO_DEVICE_DIR");
    if (!dir.empty()) return dir;
    std::string base = EnvUtf8("XDG_DATA_HOME");
    if (base.empty()) base = EnvUtf8("HOME") + "/.local/share";
    return base + "/vantaro/device";
#endif
}

std::string ObjectStorePath()
{
    std::string dir = ObjectStoreFolder();
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += kSep;
    return dir + "device.vol";
}

bool EnsureFolder(const std::string& folder)
{
    for (size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/' && folder[i] != '\\') continue;
        std::string part = folder.substr(0, i);
        if (part.size() == 2 && part[1] == ':') continue;  // drive letter
#ifdef _WIN32
        int n = MultiByteToWideChar(CP_UTF8, 0, part.c_str(), -1, nullptr, 0);
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, part.c_str(), -1, &w[0], n);
        if (!CreateDirectoryW(ExtendedLengthPath(w.c_str()).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
#else
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
#endif
    }
    return true;
}

}  // namespace cedb
