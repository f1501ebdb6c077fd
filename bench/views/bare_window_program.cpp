// The bare window as a program of its own, for the launch row of the views
// benchmark: it runs until its window is closed.
#include <windows.h>

#include "bench/views/bare_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (!CreateBareWindow(instance, true))
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
