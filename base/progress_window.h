// The progress window that long operations (export, purge, orphan
// maintenance) show while they run on the one thread: a card with a bold main
// label, a sub label rewritten at each step, and a bar. It has no buttons;
// its creator destroys it. Every operation accepts a null window.
#pragma once
#include <windows.h>

// Modeless, owned by owner; null when it cannot be made.
HWND CreateProgressWindow(HWND owner);
// Both labels, repainted at once, and the bar's range (any int range) at 0.
void SetProgressTexts(HWND window, const wchar_t* mainLabel, const wchar_t* subLabel, int low, int high);
void StepProgress(HWND window, const wchar_t* subLabel, int position);
void DestroyProgressWindow(HWND window);
