// Process-wide state of the application shell itself.
#pragma once
#include <windows.h>

#include <string>

#include "base/app_handles.h"

extern std::wstring backupFolder;          // where the volume's backup copy goes

constexpr wchar_t MAIN_WINDOW_CLASS[] = L"Vantaro";
constexpr wchar_t MAIN_WINDOW_TITLE[] = L"Vantaro";

// Exit codes of the start-up failures.
constexpr int EXIT_CLASS_NOT_REGISTERED = 1;
constexpr int EXIT_STARTUP_ENDED = 16;
