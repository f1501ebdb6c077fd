#include "shell/shell_stages.h"

#include "base/app_folders.h"
#include "base/message_box.h"
#include "contacts/contact_editor.h"
#include "settings/settings.h"
#include "shell/app_state.h"
#include "views/header_band.h"

std::wstring backupFolder;

void ResetShellActivateInfo()
{
    shellActivateInfo = SHACTIVATEINFO();
    shellActivateInfo.cbSize = sizeof shellActivateInfo;
}

void ShowHeaderBandAndMenuBar(HWND mainWindow)
{
    UpdateHeaderBand(mainWindow);
    if (hMenuBar) {
        ShowWindow(hMenuBar, SW_SHOW);
        UpdateWindow(hMenuBar);
    }
}

void DetermineBackupFolder()
{
    backupFolder = GetDocumentsFolder();
}

int DetermineKeyboardFlag()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Shell", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD value = 0, type = 0, size = sizeof value;
        const LONG read =
            RegQueryValueExW(key, L"HasKeyboard", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        if (read != ERROR_FILE_NOT_FOUND)
            return read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value == 1 ? 1 : 0;
    }
    // Nothing stored: a desktop PC with a keyboard has no use for the input
    // panel, a device (or a tablet) without one does.
    return GetKeyboardType(0) != 0 ? 1 : 0;
}

void LoadStartupSettings(HWND owner)
{
    if (!AllocateSettingArrays())
        AppMessageBox(owner, L"InitInstance: Error in malloc!", L"Error Message", APP_MB_WARNING);
    LoadSettings();
    SetCardClearTypeSource(&settings.cleartypeflag);
}

void DetectContactEditor()
{
    contactEditorInstalled = IsContactEditorInstalled();
    // Without the editor the device's card serves, whatever the registry
    // says; the stored choice stays for when the editor comes back.
    if (!contactEditorInstalled)
        settings.piminterface = 0;
}
