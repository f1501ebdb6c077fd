// The device screen's geometry on the desktop.
#include "platform/shell/device_screen.h"

namespace ceshell {

POINT ScreenOrigin()
{
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return {0, 0};
    return {work.left, work.top};
}

static RECT OnScreen(LONG left, LONG top, LONG right, LONG bottom)
{
    const POINT origin = ScreenOrigin();
    return {origin.x + left, origin.y + top, origin.x + right, origin.y + bottom};
}

RECT NavBarRect()
{
    return OnScreen(0, 0, SCREEN_WIDTH, NAV_BAR_HEIGHT);
}

RECT MenuBarRect()
{
    return OnScreen(0, SCREEN_HEIGHT - MENU_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT);
}

RECT SipRect()
{
    return OnScreen(0, SCREEN_HEIGHT - MENU_BAR_HEIGHT - SIP_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT - MENU_BAR_HEIGHT);
}

RECT DefaultWindowRect()
{
    return OnScreen(0, NAV_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT);
}

} // namespace ceshell
