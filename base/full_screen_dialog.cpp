#include "base/full_screen_dialog.h"

#include "platform/shell/aygshell.h"

void MakeDialogFullScreen(HWND dialog)
{
    SHINITDLGINFO shell = {};
    shell.dwMask = SHIDIM_FLAGS;
    shell.hDlg = dialog;
    shell.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN;
    SHInitDialog(&shell);
}
