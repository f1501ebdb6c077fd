// What the main window asks of the activity store.
#pragma once
#include <windows.h>

// Number of profiles in the Profiles menu; profile n has command 60000 + n.
extern int profileCount;

// Makes profile index active (0 is "All") and refills the lists.
void SelectProfile(int index);
// The purge dialog and the About box, modal over the main window.
void ShowPurgeDialog(HWND mainWindow);
void ShowAboutBox(HWND mainWindow);
