#include "shell/startup.h"

#include "contacts/contact_source.h"
#include "contacts/field_catalogue.h"
#include "shell/app_state.h"
#include "views/view_bitmaps.h"
#include "base/message_box.h"
#include "shell/main_window.h"
#include "shell/shell_stages.h"
#include "views/pane_layout.h"
#include "views/splitter.h"
#include "views/find_bar.h"
#include "views/list_views.h"
#include "store/activity_database.h"
#include "store/profiles.h"
#include "views/profile_menu.h"
#include "views/view_resources.h"
#include "settings/registry_values.h"
#include "settings/settings.h"


int DetermineOsGeneration()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info))
        return OS_GENERATION_2002;
#pragma GCC diagnostic pop
    return info.dwMajorVersion == 4 ? OS_GENERATION_2003 : OS_GENERATION_2002;
}

static bool RegisterWhiteClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style)
{
    WNDCLASSW windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = name;
    return RegisterClassW(&windowClass) != 0;
}

int RegisterWindowClasses(HINSTANCE instance)
{
    if (!RegisterWhiteClass(instance, MAIN_WINDOW_CLASS, MainWindowProc, 0) ||
        !RegisterWhiteClass(instance, SPLITTER_CLASS, SplitterProc, CS_HREDRAW | CS_VREDRAW))
        return EXIT_CLASS_NOT_REGISTERED;
    return 0;
}

void UnregisterWindowClasses(HINSTANCE instance)
{
    UnregisterClassW(SPLITTER_CLASS, instance);
    UnregisterClassW(MAIN_WINDOW_CLASS, instance);
}

static bool BringRunningInstanceForward()
{
    HWND running = FindWindowW(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE);
    if (!running)
        return false;
    // The device's shell reads a set low bit of the handle as "and its active
    // owned window"; a desktop takes it for another handle. Name the window
    // the user last worked in (an open dialog, say) and bring a minimised
    // program back first.
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(running));
    return true;
}

static HWND CreateMainWindow(HINSTANCE instance)
{
    HWND window = CreateWindowW(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_VISIBLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    RECT client;
    GetClientRect(window, &client);
    if (osGeneration < OS_GENERATION_2003)
        client.bottom -= 26;
    SetWindowPos(window, nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    return IsWindow(window) ? window : nullptr;
}

HWND InitInstance(HINSTANCE instance, int showCommand)
{
    hInstance = instance;
    if (BringRunningInstanceForward())
        return nullptr;

    ResetShellActivateInfo();
    osGeneration = DetermineOsGeneration();

    hMainWindow = CreateMainWindow(instance);
    if (!hMainWindow)
        return nullptr;

    LoadAppBitmaps(instance);
    // Paint the header band before the slower stages run.
    ShowHeaderBandAndMenuBar(hMainWindow);
    CreateFindControls(hMainWindow);
    ResetFindBar();

    DetermineBackupFolder();
    CreateSettingsKey();
    ReadCategoryList(&categoryList, &categoryCount);
    LoadStartupSettings(hMainWindow);
    DetectContactEditor();
    MountVolumeAtStartup(hMainWindow);
    SetUpActiveProfile();
    FillContactPropertyNames();
    FillFindFieldBox(FIND_MODE_CONTACTS);
    CreateViewBrushes();
    CreateSplitters(hMainWindow, showCommand);
    CreateViewFonts();
    CreateListsAndNotesPane(hMainWindow);

    if (!OpenActivityDatabase())
        return nullptr;
    OpenContactsWatch(hMainWindow);
    if (!OpenOutlookConnection(hMainWindow))
        AppMessageBox(hMainWindow, L"Could not connect to POOM!", L"Error", APP_MB_WARNING);

    ApplyColumnWidthsAndArrows(hMainWindow);
    FillListsAtStartup(hMainWindow);

    hasKeyboard = DetermineKeyboardFlag();

    ShowWindow(hMainWindow, showCommand);
    UpdateWindow(hMainWindow);
    if (HWND contacts = GetDlgItem(hMainWindow, ID_CONTACTS_LIST))
        SetFocus(contacts);
    return hMainWindow;
}

int ExitInstance(HINSTANCE, int exitCode)
{
    CloseVolumeAtExit();
    return exitCode;
}

int RunMessageLoop()
{
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunVantaro(HINSTANCE instance, int showCommand)
{
    int failure = RegisterWindowClasses(instance);
    if (failure)
        return failure;
    if (!InitInstance(instance, showCommand))
        return EXIT_STARTUP_ENDED;
    return ExitInstance(instance, RunMessageLoop());
}
