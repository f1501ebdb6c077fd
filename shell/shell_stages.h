// Start-up stages of the shell that need nothing from later stages.
#pragma once
#include <windows.h>

// Clears the activation block the shell helpers keep their state in.
void ResetShellActivateInfo();
// Paints the header band at once and shows the menu bar, so the window looks
// right while the slower stages run.
void ShowHeaderBandAndMenuBar(HWND mainWindow);
// The user's documents folder, where the volume's backup copy goes.
void DetermineBackupFolder();
// 1 when HKEY_CURRENT_USER\SOFTWARE\Microsoft\Shell "HasKeyboard" reads as 1;
// 0 when it holds anything else; without the value, whether the PC has a
// keyboard.
int DetermineKeyboardFlag();
// Gives the setting arrays their first entry and loads every setting. An allocation failure is reported over owner and start-up
// goes on.
void LoadStartupSettings(HWND owner);
// Looks for the optional contact editor once; without it "piminterface" is
// 0 in memory, so New Contact and Edit use the device's card.
void DetectContactEditor();
