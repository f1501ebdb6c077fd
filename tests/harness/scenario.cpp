#include "tests/harness/scenario.h"

#include "base/app_folders.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "settings/registry_values.h"
#include "settings/settings.h"
#include "store/activity_database.h"
#include "store/volume.h"

#include <gtest/gtest.h>

#include <algorithm>

static Scenario* activeScenario;

static std::wstring MakeScratchFolder()
{
    static int counter;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);   // ends with a backslash
    for (;;) {
        std::wstring folder = temp + std::wstring(L"vantaro-scenario-") + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
}

static void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

Scenario::Scenario()
{
    root = MakeScratchFolder();
    installFolder = root + L"\\install";
    documentsFolder = root + L"\\documents";
    deviceFolder = root + L"\\device";
    for (const std::wstring* folder : {&installFolder, &documentsFolder, &deviceFolder})
        CreateDirectoryW(folder->c_str(), nullptr);
    OverrideAppFolders(installFolder, documentsFolder);
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", deviceFolder.c_str());
    SandboxRegistry();
    activeScenario = this;
    hook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

Scenario::~Scenario()
{
    if (Running())
        Close();
    if (storeOpen)
        CloseStore();
    if (hook)
        UnhookWindowsHookEx(hook);
    activeScenario = nullptr;
    RestoreRegistry();
    OverrideAppFolders(std::wstring(), std::wstring());
    SetEnvironmentVariableW(L"VANTARO_DEVICE_DIR", nullptr);
    if (!root.empty())
        RemoveTree(root);
}

// Settings and the keyboard flag are read from HKEY_CLASSES_ROOT and
// HKEY_CURRENT_USER; both are redirected into a scratch key for the scenario.
void Scenario::SandboxRegistry()
{
    registryPath = L"Software\\Vantaro Tests\\" + root.substr(root.find_last_of(L'\\') + 1);
    HKEY base = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, registryPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &base, nullptr) != ERROR_SUCCESS)
        return;
    RegCreateKeyExW(base, L"user", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &userKey, nullptr);
    RegCreateKeyExW(base, L"classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classesKey, nullptr);
    RegCloseKey(base);
    if (classesKey)
        RegOverridePredefKey(HKEY_CLASSES_ROOT, classesKey);
    if (userKey)
        RegOverridePredefKey(HKEY_CURRENT_USER, userKey);
    // The scenarios play the handheld, which has no keyboard: the input panel
    // comes up where it would on the device.
    HKEY shell = nullptr;
    if (userKey && RegCreateKeyExW(userKey, L"SOFTWARE\\Microsoft\\Shell", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &shell, nullptr) == ERROR_SUCCESS) {
        const DWORD none = 0;
        RegSetValueExW(shell, L"HasKeyboard", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&none), sizeof none);
        RegCloseKey(shell);
    }
}

void Scenario::RestoreRegistry()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (userKey)
        RegCloseKey(userKey);
    if (classesKey)
        RegCloseKey(classesKey);
    userKey = classesKey = nullptr;
    if (!registryPath.empty())
        RegDeleteTreeW(HKEY_CURRENT_USER, registryPath.c_str());
}

HWND Scenario::Start(int showCommand)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (RegisterWindowClasses(instance) != 0)
        return nullptr;
    quit = MSG{};
    mainWindow = InitInstance(instance, showCommand);
    if (!mainWindow)
        AbandonStart(instance);
    return mainWindow;
}

bool Scenario::OpenStore()
{
    CreateSettingsKey();
    AllocateSettingArrays();
    LoadSettings();
    MountVolumeAtStartup(nullptr);
    storeOpen = true;
    return OpenActivityDatabase();
}

void Scenario::CloseStore()
{
    CloseStoreHandles();
    CloseVolumeAtExit();
    FreeSettingArrays();
    storeOpen = false;
}

// A process whose start-up ended early simply exits; in-process the half-built
// main window and the mounted volume are cleaned up instead.
void Scenario::AbandonStart(HINSTANCE instance)
{
    if (hMainWindow && IsWindow(hMainWindow)) {
        DestroyWindow(hMainWindow);
        PumpUntil([this] { return quit.message == WM_QUIT; }, 2000);
    }
    UnmountDBVolume();
    UnregisterWindowClasses(instance);
}

int Scenario::Close()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (Running())
        SendMessageW(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    PumpUntil([this] { return quit.message == WM_QUIT; });
    mainWindow = nullptr;
    int code = ExitInstance(instance, static_cast<int>(quit.wParam));
    UnregisterWindowClasses(instance);
    return code;
}

void Scenario::Tap(HWND window, int x, int y)
{
    LPARAM point = MAKELPARAM(x, y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(window, WM_LBUTTONUP, 0, point);
}

void Scenario::Key(HWND window, UINT virtualKey)
{
    SendMessageW(window, WM_KEYDOWN, virtualKey, 1);
    SendMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void Scenario::PressButton(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Scenario::OnActivated(HWND window)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    // The main window activates itself during start-up, and GetParent names
    // the owner of a pop-up: owned dialogs are told from children by style.
    if (lstrcmpW(className, L"Vantaro") == 0 || (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        return;
    // The device's own chrome (navigation bar, menu bar, input panel) never
    // asks anything.
    if (GetWindowLongPtrW(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE))
        return;
    // A dialog may be activated before WM_INITDIALOG has filled it; it is
    // looked at and answered from the modal loop that runs next.
    if (std::any_of(pending.begin(), pending.end(), [window](const Pending& p) { return p.window == window; }))
        return;
    pending.push_back({window, 0});
    SetTimer(nullptr, 0, 1, AnswerPending);
}

void CALLBACK Scenario::AnswerPending(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (!activeScenario)
        return;
    std::vector<Pending> windows;
    windows.swap(activeScenario->pending);
    for (Pending& waiting : windows) {
        if (!IsWindow(waiting.window))
            continue;
        // A dialog box shows itself when its loop first finds the queue
        // empty, which may come after this timer on a busy machine: it is
        // looked at once shown (or after a second, shown or not).
        if (!IsWindowVisible(waiting.window) && ++waiting.waits < 100) {
            activeScenario->pending.push_back(waiting);
            continue;
        }
        activeScenario->Answer(waiting.window);
    }
    if (activeScenario && !activeScenario->pending.empty())
        SetTimer(nullptr, 0, 10, AnswerPending);
}

void Scenario::Answer(HWND window)
{
    SeenDialog dialog;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    dialog.className = className;
    dialog.title = WindowText(window);
    EnumChildWindows(window, [](HWND child, LPARAM param) {
        reinterpret_cast<SeenDialog*>(param)->texts.push_back(WindowText(child));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&dialog));
    seen.push_back(dialog);
    if (answerer) {
        answerer(window);
        return;
    }
    if (dialog.className == L"#32770")
        PressButton(window, IDOK);
}

LRESULT CALLBACK Scenario::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && activeScenario)
        activeScenario->OnActivated(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

WindowImage Scenario::CaptureWindow(HWND window)
{
    WindowImage image;
    RECT rect;
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return image;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int stride = (width * 3 + 3) & ~3;   // rows of 24-bit pixels, bottom up, whole dwords each
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        image.width = width;
        image.height = height;
        image.stride = stride;
        const auto* first = static_cast<const unsigned char*>(bits);
        image.bits.assign(first, first + static_cast<size_t>(stride) * height);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

WindowImage Scenario::SettledCapture(HWND window, DWORD timeoutMs)
{
    // Settled: nothing of the window is left to paint, no message is queued,
    // and the screen showed the same pixels across two waits for input (each
    // wait lets the window system put painted surfaces on the screen).
    WindowImage last = CaptureWindow(window);
    int agreeing = 0;
    const bool settled = PumpUntil([&] {
        if (GetQueueStatus(QS_ALLINPUT) != 0) {   // QS_PAINT: a window of this thread is left to paint
            agreeing = 0;
            return false;
        }
        WindowImage again = CaptureWindow(window);
        const RECT changed = DifferingArea(last, again);
        last = std::move(again);
        agreeing = IsRectEmpty(&changed) ? agreeing + 1 : 0;
        return agreeing >= 2;
    }, timeoutMs);
    if (!settled)
        ADD_FAILURE() << "the window kept changing for " << timeoutMs << " ms";
    return last;
}

RECT DifferingArea(const WindowImage& a, const WindowImage& b)
{
    if (a.width != b.width || a.height != b.height)
        return {0, 0, std::max(a.width, b.width), std::max(a.height, b.height)};
    RECT area = {a.width, a.height, 0, 0};
    for (int y = 0; y < a.height; ++y) {
        const size_t row = static_cast<size_t>(a.height - 1 - y) * a.stride;   // stored bottom up
        for (int x = 0; x < a.width; ++x) {
            const size_t at = row + static_cast<size_t>(x) * 3;
            if (a.bits[at] == b.bits[at] && a.bits[at + 1] == b.bits[at + 1] && a.bits[at + 2] == b.bits[at + 2])
                continue;
            area.left = std::min<LONG>(area.left, x);
            area.top = std::min<LONG>(area.top, y);
            area.right = std::max<LONG>(area.right, x + 1);
            area.bottom = std::max<LONG>(area.bottom, y + 1);
        }
    }
    return area.right > area.left ? area : RECT{};
}

bool RunProgram(const std::wstring& commandLine, DWORD* exitCode, DWORD limitMs,
                const std::function<void(HANDLE)>& whileRunning)
{
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);

    const bool ended = PumpUntil([&] {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            return true;
        if (whileRunning)
            whileRunning(process.hProcess);
        return false;
    }, limitMs);
    if (!ended) {
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        return false;
    }
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hProcess);
    return true;
}

static std::wstring FromUtf8(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::wstring WindowsPath(const std::string& buildPath)
{
    std::wstring path = FromUtf8(buildPath.c_str());
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path)
            if (c == L'/')
                c = L'\\';
        path = L"Z:" + path;
    }
    return path;
}

bool LinkToFullDevice(const std::wstring& path)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name)
        return false;
    std::wstring command = L"Z:\\bin\\ln -sf /dev/full \"" + FromUtf8(name) + L"\"";
    HeapFree(GetProcessHeap(), 0, name);
    // A Unix program's handle is never signalled: the link itself tells
    // when it is done.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // (A device has no attributes to ask for; a search still finds it.)
    return PumpUntil([&] {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        FindClose(search);
        return true;
    }, 5000);
}
