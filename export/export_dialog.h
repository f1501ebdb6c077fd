// The export dialog (template 1020): format, contacts and fields.
#pragma once
#include <windows.h>

// The export dialog, modal over the main window.
void ShowExportDialog(HWND mainWindow);

// Its texts, which tests look for.
extern const wchar_t NO_EXPORT_CONTACT_MESSAGE[];
