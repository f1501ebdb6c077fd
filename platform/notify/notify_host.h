// The host that stands in for the device's notification process: a thread of
// the running program that watches the device's notifications and, at each
// one's time, shows its bubble and flashes the program's window for PUN_LED.
//
// It starts by itself when the program creates its first top-level window,
// so notifications that fell due while no program ran appear at the next
// start. A bubble stays until Dismiss is pressed (which removes the
// notification) or the notification is cleared. Program code never includes
// this; the stand-in and its tests do.
#pragma once
#include <windows.h>

namespace cenotify {

constexpr wchar_t BUBBLE_CLASS[] = L"NotificationBubble";
constexpr int ID_BUBBLE_TITLE = 101;
constexpr int ID_BUBBLE_TEXT = 102;
constexpr int ID_BUBBLE_DISMISS = 103;

void StartNotificationHost();
// Ends the host thread and closes its bubbles; the notifications they showed
// stay in the store and are shown again by the next host.
void StopNotificationHost();
bool NotificationHostRunning();
// Wakes the host at once (a change in this process, or the clock was moved).
void NotificationStoreChanged();

// How many looks at the store the host has taken so far.
int HostPollCount();
// How often the host flashed a window for PUN_LED, and the last one.
int FlashCount();
HWND LastFlashedWindow();

} // namespace cenotify
