#include "sheet/label_list_box.h"

#include "base/list_controls.h"
#include "base/text.h"
#include "store/activity_record.h"
#include "store/label_lists.h"
#include "store/store_error.h"

#include <string>
#include <vector>

void FillLabelList(HWND list, const wchar_t* database)
{
    FillListBox(list, ReadLabels(database));
}

bool AddLabel(HWND list, const wchar_t* database, const wchar_t* label)
{
    wchar_t trimmed[LABEL_CAPACITY];
    CopyText(trimmed, label);
    TrimSpaces(trimmed);
    // LB_FINDSTRINGEXACT ignores letter case: "email" is not added beside "Email".
    if (SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(trimmed)) != LB_ERR)
        return true;
    const LRESULT added = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(trimmed));
    if (AppendLabel(database, trimmed))
        return true;
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(added), 0);
    ReportStoreFailure(GetParent(list), L"The label could not be added", L"add it again");
    return false;
}

void DeleteSelectedLabels(HWND list, const wchar_t* database)
{
    const std::vector<int> indices = SelectedItems(list);
    if (indices.empty())
        return;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
    if (saveLBTextToDatabase(list, database, 0))
        return;
    // The list was kept as it was: show it so.
    FillLabelList(list, database);
    ReportStoreFailure(GetParent(list), L"The labels could not be deleted", L"delete them again");
}

static std::wstring ListItemText(HWND list, int index)
{
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

bool saveLBTextToDatabase(HWND list, const wchar_t* database, int selectedOnly)
{
    std::vector<int> indices;
    if (selectedOnly) {
        indices = SelectedItems(list, MAX_SAVED_SELECTION);
    } else {
        LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < items; ++i)
            indices.push_back(i);
    }
    std::vector<std::wstring> labels;
    for (int index : indices)
        labels.push_back(ListItemText(list, index));
    return ReplaceLabels(database, labels);
}
