#include "platform/notify/notify_host.h"

#include "platform/notify/device_clock.h"
#include "platform/notify/notify.h"
#include "platform/notify/notify_store.h"
#include "platform/shell/device_screen.h"

#include <atomic>
#include <map>
#include <vector>

namespace cenotify {
namespace {

constexpr DWORD POLL_MS = 250;
constexpr int BUBBLE_WIDTH = 224;
constexpr int BUBBLE_HEIGHT = 132;
constexpr int BUBBLE_LEFT = 8;
constexpr int BUBBLE_TOP = 34;   // just below the navigation bar
constexpr int BUBBLE_STEP = 14;  // later bubbles are stacked a little lower

CRITICAL_SECTION hostLock;
struct LockInit {
    LockInit() { InitializeCriticalSection(&hostLock); }
} lockInit;

HANDLE hostThread;
DWORD hostThreadId;
HANDLE wakeEvent;
std::atomic<bool> stopping{false};
std::atomic<int> flashCount{0};
std::atomic<int> pollCount{0};
std::atomic<HWND> lastFlashed{nullptr};
// Set when the program's first window started the host: bubbles wait until
// that window is on screen, or it would be stacked over them.
std::atomic<bool> awaitProgramWindow{false};

// Host thread only: the bubbles it shows, by notification handle.
std::map<DWORD, HWND> bubbles;

long long Ticks(const SYSTEMTIME& time)
{
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file))
        return -1;
    return (static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

uint64_t ProcessStart(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The process that showed a bubble still runs: its id is alive and belongs
// to a process started when that one was.
bool StillShowing(DWORD processId, uint64_t started)
{
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT && ProcessStart(process) == started;
    CloseHandle(process);
    return alive;
}

struct FlashSearch {
    DWORD hostThread;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProgramWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<FlashSearch*>(param);
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId() || threadId == search->hostThread || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) || (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        return TRUE;
    search->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> ProgramWindows()
{
    FlashSearch search = {GetCurrentThreadId(), {}};
    EnumWindows(CollectProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// The LED of a desktop device: the program's own top-level windows flash.
void FlashProgramWindows()
{
    for (HWND window : ProgramWindows()) {
        FLASHWINFO flash = {sizeof flash, window, FLASHW_ALL, 5, 0};
        FlashWindowEx(&flash);
        lastFlashed.store(window);
    }
    ++flashCount;
}

void RemoveNotification(DWORD handle)
{
    UpdateStore([handle](StoreContents& store) {
        for (size_t i = 0; i < store.items.size(); ++i) {
            if (store.items[i].handle == handle) {
                store.items.erase(store.items.begin() + static_cast<std::ptrdiff_t>(i));
                return true;
            }
        }
        return false;
    });
}

LRESULT CALLBACK BubbleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_BUBBLE_DISMISS) {
            const DWORD handle = static_cast<DWORD>(GetWindowLongPtrW(window, GWLP_USERDATA));
            RemoveNotification(handle);
            bubbles.erase(handle);
            DestroyWindow(window);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
    case WM_DESTROY:
        if (HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageW(window, ID_BUBBLE_TITLE, WM_GETFONT, 0, 0)))
            DeleteObject(font);
        if (HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageW(window, ID_BUBBLE_TEXT, WM_GETFONT, 0, 0)))
            DeleteObject(font);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HFONT BubbleFont(int weight)
{
    return CreateFontW(-12, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

// The program's top window owns the bubbles, so they stay with the program
// rather than over other programs: the window that owns the device's chrome,
// else the program's first window; none while it has no window.
HWND BubbleOwner()
{
    if (HWND owner = ceshell::ChromeOwner())
        return owner;
    const std::vector<HWND> windows = ProgramWindows();
    return windows.empty() ? nullptr : windows.front();
}

// A bubble is seen while its owner is: hidden while the program is
// minimised, and above the program's windows while the program is in front
// (a window it brings up later must not cover one).
void FollowOwner(HWND bubble)
{
    HWND owner = GetWindow(bubble, GW_OWNER);
    const bool visible = !owner || (IsWindowVisible(owner) && !IsIconic(owner));
    if (visible != (IsWindowVisible(bubble) != FALSE))
        ShowWindow(bubble, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (visible && ceshell::ProgramIsInFront())
        SetWindowPos(bubble, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowBubble(const StoredNotification& item, HWND owner)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const POINT screen = ceshell::ScreenOrigin();
    const int x = screen.x + BUBBLE_LEFT;
    const int y = screen.y + BUBBLE_TOP + BUBBLE_STEP * static_cast<int>(bubbles.size() % 6);
    const wchar_t* title = item.title.present ? item.title.value.c_str() : L"";
    const wchar_t* text = item.text.present ? item.text.value.c_str() : L"";
    HWND bubble = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, BUBBLE_CLASS, title, WS_POPUP | WS_BORDER, x,
                                  y, BUBBLE_WIDTH, BUBBLE_HEIGHT, owner, nullptr, instance, nullptr);
    if (!bubble)
        return;
    SetWindowLongPtrW(bubble, GWLP_USERDATA, static_cast<LONG_PTR>(item.handle));
    HWND titleStatic = CreateWindowExW(0, L"STATIC", title, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS,
                                       8, 6, BUBBLE_WIDTH - 16, 16, bubble,
                                       reinterpret_cast<HMENU>(ID_BUBBLE_TITLE), instance, nullptr);
    HWND textStatic = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 8, 26,
                                      BUBBLE_WIDTH - 16, BUBBLE_HEIGHT - 62, bubble,
                                      reinterpret_cast<HMENU>(ID_BUBBLE_TEXT), instance, nullptr);
    HWND dismiss = CreateWindowExW(0, L"BUTTON", L"Dismiss", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                   BUBBLE_WIDTH - 78, BUBBLE_HEIGHT - 32, 68, 24, bubble,
                                   reinterpret_cast<HMENU>(ID_BUBBLE_DISMISS), instance, nullptr);
    SendMessageW(titleStatic, WM_SETFONT, reinterpret_cast<WPARAM>(BubbleFont(FW_BOLD)), FALSE);
    SendMessageW(textStatic, WM_SETFONT, reinterpret_cast<WPARAM>(BubbleFont(FW_NORMAL)), FALSE);
    SendMessageW(dismiss, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    FollowOwner(bubble);
    UpdateWindow(bubble);
    bubbles[item.handle] = bubble;
}

// One look at the store: show what fell due and nobody shows, mark it as
// shown by this process, close bubbles whose notification is gone.
void Poll()
{
    if (awaitProgramWindow.load()) {
        if (ProgramWindows().empty())
            return;
        awaitProgramWindow.store(false);
    }
    // A bubble whose owner closed went with it, and one shown before the
    // program had a window belongs to it now: both are shown again below.
    HWND owner = nullptr;
    const bool ownerKnown = !bubbles.empty();
    if (ownerKnown) {
        owner = BubbleOwner();
        for (auto it = bubbles.begin(); it != bubbles.end();) {
            if (IsWindow(it->second) && GetWindow(it->second, GW_OWNER) == owner) {
                ++it;
                continue;
            }
            DestroyWindow(it->second);
            it = bubbles.erase(it);
        }
    }
    SYSTEMTIME now;
    GetDeviceLocalTime(&now);
    const long long nowTicks = Ticks(now);
    const DWORD self = GetCurrentProcessId();
    const uint64_t selfStart = ProcessStart(GetCurrentProcess());
    std::vector<StoredNotification> toShow;
    std::vector<DWORD> present;
    UpdateStore([&](StoreContents& store) {
        bool changed = false;
        for (size_t i = 0; i < store.items.size();) {
            StoredNotification& item = store.items[i];
            present.push_back(item.handle);
            const bool due = Ticks(item.start) <= nowTicks;
            const bool mine = item.shownBy == self && item.shownByStart == selfStart;
            const bool ours = mine && bubbles.count(item.handle);
            const bool shownElsewhere = item.shownBy && !mine && StillShowing(item.shownBy, item.shownByStart);
            if (!due || ours || shownElsewhere) {
                ++i;
                continue;
            }
            toShow.push_back(item);
            changed = true;
            if (item.hasUser && (item.actionFlags & PUN_DIALOG)) {
                item.shownBy = self;
                item.shownByStart = selfStart;
                ++i;
            } else {
                // Nothing waits for a Dismiss: the notification is spent.
                store.items.erase(store.items.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        return changed;
    });

    for (auto it = bubbles.begin(); it != bubbles.end();) {
        bool stillThere = false;
        for (DWORD handle : present)
            stillThere = stillThere || handle == it->first;
        if (stillThere) {
            ++it;
            continue;
        }
        DestroyWindow(it->second);
        it = bubbles.erase(it);
    }
    for (auto& shown : bubbles)
        FollowOwner(shown.second);

    if (!toShow.empty() && !ownerKnown)
        owner = BubbleOwner();
    for (const StoredNotification& item : toShow) {
        if (item.hasUser && (item.actionFlags & PUN_DIALOG))
            ShowBubble(item, owner);
        if (item.hasUser && (item.actionFlags & PUN_LED))
            FlashProgramWindows();
    }
}

DWORD WINAPI HostThread(LPVOID)
{
    WNDCLASSW bubbleClass = {};
    bubbleClass.lpfnWndProc = BubbleProc;
    bubbleClass.hInstance = GetModuleHandleW(nullptr);
    bubbleClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    bubbleClass.hbrBackground = GetSysColorBrush(COLOR_INFOBK);
    bubbleClass.lpszClassName = BUBBLE_CLASS;
    RegisterClassW(&bubbleClass);

    while (!stopping.load()) {
        Poll();
        ++pollCount;
        const DWORD woke = MsgWaitForMultipleObjects(1, &wakeEvent, FALSE, POLL_MS, QS_ALLINPUT);
        (void)woke;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    for (auto& shown : bubbles)
        DestroyWindow(shown.second);
    bubbles.clear();
    return 0;
}

// The program's first top-level window starts the host.
HHOOK startHook;

LRESULT CALLBACK StartHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !NotificationHostRunning()) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (create->lpcs && !(create->lpcs->style & WS_CHILD) && !(create->lpcs->dwExStyle & WS_EX_TOOLWINDOW)) {
            awaitProgramWindow.store(true);
            StartNotificationHost();
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct StartHookInstaller {
    StartHookInstaller() { startHook = SetWindowsHookExW(WH_CBT, StartHook, nullptr, GetCurrentThreadId()); }
} startHookInstaller;

} // namespace

void StartNotificationHost()
{
    EnterCriticalSection(&hostLock);
    if (!hostThread) {
        if (!wakeEvent)
            wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        stopping.store(false);
        hostThread = CreateThread(nullptr, 0, HostThread, nullptr, 0, &hostThreadId);
    }
    LeaveCriticalSection(&hostLock);
}

void StopNotificationHost()
{
    EnterCriticalSection(&hostLock);
    if (hostThread) {
        stopping.store(true);
        SetEvent(wakeEvent);
        // The host may be flashing one of this thread's windows, which sends
        // to it: keep dispatching while it winds down.
        while (MsgWaitForMultipleObjects(1, &hostThread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        CloseHandle(hostThread);
        hostThread = nullptr;
        hostThreadId = 0;
        awaitProgramWindow.store(false);
    }
    LeaveCriticalSection(&hostLock);
}

bool NotificationHostRunning()
{
    EnterCriticalSection(&hostLock);
    const bool running = hostThread != nullptr;
    LeaveCriticalSection(&hostLock);
    return running;
}

void NotificationStoreChanged()
{
    if (wakeEvent)
        SetEvent(wakeEvent);
}

int HostPollCount()
{
    return pollCount.load();
}

int FlashCount()
{
    return flashCount.load();
}

HWND LastFlashedWindow()
{
    return lastFlashed.load();
}

} // namespace cenotify
