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

bool EndOnOkOrCancel(HWND dialog, WPARAM commandParam)
{
    const WORD id = LOWORD(commandParam);
    if (id != IDOK && id != IDCANCEL)
        return false;
    EndDialog(dialog, id);
    return true;
}
