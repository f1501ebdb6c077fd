#include "tests/cedb/api_support.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#ifndef _WIN32
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace cedb_test {

#ifdef _WIN32
std::wstring NewTempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::wstring dir = std::wstring(base) + L"cedb_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                           std::to_wstring(++counter);
        if (CreateDirectoryW(dir.c_str(), nullptr)) return dir;
    }
}

std::wstring JoinPath(const std::wstring& folder, const wchar_t* name) { return folder + L"\\" + name; }

void SetEnvironment(const char* name, const std::wstring& value)
{
    std::wstring n(name, name + std::strlen(name));
    SetEnvironmentVariableW(n.c_str(), value.c_str());
}

namespace {
LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
}  // namespace

MessageWindow::MessageWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CedbTestCatcher";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

MessageWindow::~MessageWindow() { DestroyWindow(hwnd_); }

std::vector<PostedMessage> MessageWindow::Take()
{
    std::vector<PostedMessage> out;
    MSG m;
    while (PeekMessageW(&m, hwnd_, 0, 0, PM_REMOVE)) out.push_back(PostedMessage{m.message, m.wParam, m.lParam});
    return out;
}

int RunSelf(const std::wstring& args)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}
#else
namespace {
std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::mutex g_mutex;
std::vector<std::pair<HWND, PostedMessage>> g_posted;

void Sink(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_posted.push_back({hwnd, PostedMessage{msg, w, l}});
}
}  // namespace

std::wstring NewTempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/cedb_test_XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    std::string dir = made ? made : "/tmp";
    return std::wstring(dir.begin(), dir.end());
}

std::wstring JoinPath(const std::wstring& folder, const wchar_t* name) { return folder + L"/" + name; }

void SetEnvironment(const char* name, const std::wstring& value) { setenv(name, Narrow(value).c_str(), 1); }

MessageWindow::MessageWindow()
{
    static char tokens[64];
    static int next = 0;
    hwnd_ = reinterpret_cast<HWND>(&tokens[next++ % 64]);
    SetNativeMessageSink(Sink);
}

MessageWindow::~MessageWindow() { Take(); }

std::vector<PostedMessage> MessageWindow::Take()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<PostedMessage> out;
    std::vector<std::pair<HWND, PostedMessage>> rest;
    for (auto& p : g_posted) (p.first == hwnd_ ? out.push_back(p.second) : rest.push_back(p));
    g_posted.swap(rest);
    return out;
}

int RunSelf(const std::wstring& args)
{
    std::string a = Narrow(args);
    pid_t pid = fork();
    if (pid == 0) {
        std::string first = a.substr(0, a.find(' ')), second = a.substr(a.find(' ') + 1);
        execl("/proc/self/exe", "self", first.c_str(), second.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

}  // namespace cedb_test
