// Runs the real main window in-process with folders, a device store and a
// registry of its own, drives it with the messages that taps and keys
// produce, and answers modal dialogs through a hook.
#pragma once
#include "tests/harness/ui_wait.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What the screen showed of a window: 24-bit pixels, rows bottom up with
// stride bytes each, as a BMP stores them.
struct WindowImage {
    int width = 0, height = 0, stride = 0;
    std::vector<unsigned char> bits;
    // The pixel at x, y (top down).
    COLORREF At(int x, int y) const
    {
        const unsigned char* at = &bits[static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3];
        return RGB(at[2], at[1], at[0]);
    }
};

// The part where two images differ (window coordinates, top down), empty
// when they agree; the whole of both when their sizes differ.
RECT DifferingArea(const WindowImage& a, const WindowImage& b);

struct SeenDialog {
    std::wstring className;
    std::wstring title;
    std::vector<std::wstring> texts;   // texts of its child controls, in z-order
};

class Scenario {
public:
    Scenario();
    ~Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // Registers the classes and runs start-up; returns the main window or none.
    HWND Start(int showCommand = SW_SHOW);
    // Closes the main window as File > Exit does, runs the message loop to its
    // end and ExitInstance; returns the exit code.
    int Close();
    // The store alone, as start-up opens it but without a window: settings
    // loaded, the volume mounted (a new one seeded) and "ActivityDatabase"
    // open. False when the database cannot be opened.
    bool OpenStore();
    // Closes what OpenStore opened and unmounts the volume, refreshing the
    // backup as the program's exit does.
    void CloseStore();

    HWND MainWindow() const { return mainWindow; }
    bool Running() const { return mainWindow && IsWindow(mainWindow); }

    // Dispatches messages until the condition holds or the limit passes.
    bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs = 10000)
    {
        return ::PumpUntil(condition, limitMs, &quit);
    }
    void PumpPending() { ::PumpPending(&quit); }

    LRESULT Command(WORD id, HWND target = nullptr)
    {
        return SendMessageW(target ? target : mainWindow, WM_COMMAND, id, 0);
    }
    void Tap(HWND window, int x, int y);
    static void Key(HWND window, UINT virtualKey);

    // Called for every dialog or top-level window that becomes active while
    // the scenario runs. Without an answer dialogs are confirmed with IDOK.
    void AnswerDialogs(std::function<void(HWND)> answer) { answerer = std::move(answer); }
    static void PressButton(HWND dialog, int id);
    const std::vector<SeenDialog>& Dialogs() const { return seen; }
    // How many dialogs (with this title, when given) showed this text.
    int Shown(const std::wstring& text, const wchar_t* title = nullptr) const
    {
        int count = 0;
        for (const SeenDialog& dialog : seen)
            for (const std::wstring& shown : dialog.texts)
                count += shown == text && (!title || dialog.title == title);
        return count;
    }
    bool Saw(const std::wstring& text, const wchar_t* title = nullptr) const { return Shown(text, title) > 0; }

    const std::wstring& Root() const { return root; }
    const std::wstring& InstallFolder() const { return installFolder; }
    const std::wstring& DocumentsFolder() const { return documentsFolder; }
    // The scratch key standing in for HKEY_CURRENT_USER.
    HKEY UserRegistry() const { return userKey; }

    // What the screen shows where the window is, whatever covers it; no
    // pixels when it has no area.
    static WindowImage CaptureWindow(HWND window);
    // What the window shows once it has settled: nothing left to paint, no
    // queued message, and the same pixels on screen across two waits. A
    // window still changing after timeoutMs fails the test.
    WindowImage SettledCapture(HWND window, DWORD timeoutMs = 3000);

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    void OnActivated(HWND window);
    static void CALLBACK AnswerPending(HWND, UINT, UINT_PTR timer, DWORD);
    void Answer(HWND window);
    void AbandonStart(HINSTANCE instance);
    void SandboxRegistry();
    void RestoreRegistry();

    std::wstring root, installFolder, documentsFolder, deviceFolder;
    std::wstring registryPath;
    HKEY userKey = nullptr, classesKey = nullptr;
    HHOOK hook = nullptr;
    HWND mainWindow = nullptr;
    bool storeOpen = false;
    MSG quit = {};   // the main loop's WM_QUIT, once seen
    std::function<void(HWND)> answerer;
    std::vector<SeenDialog> seen;
    struct Pending {
        HWND window;
        int waits;   // timer rounds spent waiting for it to be shown
    };
    std::vector<Pending> pending;
};

// Runs a program and waits for it while dispatching this thread's messages.
// Returns false when it could not start or did not end within the limit
// (then it is terminated).
bool RunProgram(const std::wstring& commandLine, DWORD* exitCode, DWORD limitMs = 30000,
                const std::function<void(HANDLE process)>& whileRunning = nullptr);

// A build path as the running Windows process can open it (under Wine a Unix
// path is reached through drive Z:).
std::wstring WindowsPath(const std::string& buildPath);

// Makes `path` a Unix link to the full device, so that a file created there
// takes no byte: every write fails as on a full disk. Wine only (it runs
// Unix's ln); false when that cannot be done.
bool LinkToFullDevice(const std::wstring& path);
