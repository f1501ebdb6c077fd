#include "base/list_controls.h"

static void Fill(HWND control, UINT reset, UINT add, const std::vector<std::wstring>& texts)
{
    SendMessageW(control, reset, 0, 0);
    for (const std::wstring& text : texts)
        SendMessageW(control, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void FillListBox(HWND listBox, const std::vector<std::wstring>& texts)
{
    Fill(listBox, LB_RESETCONTENT, LB_ADDSTRING, texts);
}

void FillComboBox(HWND comboBox, const std::vector<std::wstring>& texts, int selected)
{
    Fill(comboBox, CB_RESETCONTENT, CB_ADDSTRING, texts);
    if (selected >= 0)
        SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void SelectListItems(HWND listBox, const int* items, int count)
{
    const LRESULT held = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count && items; ++i)
        if (items[i] >= 0 && items[i] < held)
            SendMessageW(listBox, LB_SETSEL, TRUE, items[i]);
}

std::vector<std::wstring> TextsOf(const wchar_t* (*text)(int), int count)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i)
        texts.emplace_back(text(i));
    return texts;
}

std::vector<int> SelectedItems(HWND listBox, size_t limit)
{
    const LRESULT count = SendMessageW(listBox, LB_GETSELCOUNT, 0, 0);
    if (count <= 0)
        return {};
    std::vector<int> items(static_cast<size_t>(count) < limit ? static_cast<size_t>(count) : limit);
    const LRESULT got = SendMessageW(listBox, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
    items.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return items;
}
