// The program's life cycle: class registration, start-up, the message loop
// and the end.
#pragma once
#include <windows.h>

int RegisterWindowClasses(HINSTANCE instance);
void UnregisterWindowClasses(HINSTANCE instance);
HWND InitInstance(HINSTANCE instance, int showCommand);
int ExitInstance(HINSTANCE instance, int exitCode);

// WinMain's body: registration, start-up, loop, exit. Returns the exit code.
int RunVantaro(HINSTANCE instance, int showCommand);

// Runs the message loop until WM_QUIT; returns its wParam.
int RunMessageLoop();

int DetermineOsGeneration();
