// The progress window that long operations (export, purge, orphan
// maintenance) show while they run on the one thread: a bold main label, a
// sub label rewritten at each step and a smooth bar. It cannot be cancelled;
// whoever creates it destroys it.
#pragma once
#include <windows.h>

// Shows the card over the owner; none when it cannot be made, and the other
// operations accept none and do nothing with it.
HWND CreateProgressWindow(HWND owner);
// Both labels, shown at once, and the bar's range with the bar at its start.
// The range takes any int count; a high below low counts as low.
void SetProgressTexts(HWND window, const wchar_t* mainLabel, const wchar_t* subLabel, int rangeLow, int rangeHigh);
// A new sub label, shown at once, and the bar's position.
void StepProgress(HWND window, const wchar_t* subLabel, int position);
void DestroyProgressWindow(HWND window);

// The title font draws with ClearType while *clearTypeFlag is 1; start-up
// points it at the setting.
void SetProgressClearTypeSource(const int* clearTypeFlag);
