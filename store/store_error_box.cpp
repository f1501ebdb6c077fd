#include "base/message_box.h"
#include "store/store_error.h"

void ReportStoreFailure(HWND owner, const wchar_t* what, const wchar_t* retry)
{
    AppMessageBox(owner, StoreFailureText(what, LastStoreFailure(), retry).c_str(), L"Error", 0);
}
