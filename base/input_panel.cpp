#include "base/input_panel.h"

#include "platform/shell/aygshell.h"
#include "platform/shell/sipapi.h"

int IsInputPanelShown()
{
    SIPINFO info = {};
    info.cbSize = sizeof info;
    if (!SHSipInfo(SPI_GETSIPINFO, 0, &info, 0))
        return 0;
    return (info.fdwFlags & SIPF_ON) ? 1 : 0;
}
