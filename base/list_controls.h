// Filling list boxes and combo boxes from texts, and reading what a list
// box with multiple selection has selected.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Empties the control and adds the texts in order; then selects the item
// `selected` when it is not negative (a combo box's choice).
void FillListBox(HWND listBox, const std::vector<std::wstring>& texts);
void FillComboBox(HWND comboBox, const std::vector<std::wstring>& texts, int selected = -1);
template <size_t N>
void FillComboBox(HWND comboBox, const wchar_t* const (&texts)[N], int selected = -1)
{
    FillComboBox(comboBox, std::vector<std::wstring>(texts, texts + N), selected);
}

// Selects the listed items of a multiple-selection list box; an index the
// box does not hold is passed over.
void SelectListItems(HWND listBox, const int* items, int count);

// The texts text(0) to text(count - 1): field labels, for instance.
std::vector<std::wstring> TextsOf(const wchar_t* (*text)(int), int count);

// The selected items of a multiple-selection list box, ascending, at most
// `limit` of them (the first).
std::vector<int> SelectedItems(HWND listBox, size_t limit = static_cast<size_t>(-1));
