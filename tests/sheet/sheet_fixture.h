// The running program with its settings sheet: opens the sheet, turns to a
// page, lets the test work on it and closes the sheet with OK or Cancel.
#pragma once
#include "tests/views/views_fixture.h"

#include <functional>
#include <string>
#include <vector>

class SheetTest : public ViewsTest {
protected:
    // Tab positions of the pages.
    enum PageIndex { DISPLAY, COLOR, DESCRIPTOR, LABELS, PROFILES, OTHER };

    // Opens the sheet, turns to the page, hands it to use, then presses
    // close (IDOK or IDCANCEL). Message boxes on the way are answered from
    // answers in order (IDOK is Yes), then with IDOK.
    void OnPage(PageIndex index, const std::function<void(HWND sheet, HWND page)>& use, int close = IDOK,
                std::vector<int> answers = {});

    // Turns the open sheet to a page and returns it.
    static HWND TurnTo(HWND sheet, PageIndex index);
    // A button's or a tapped static's notification.
    static void Click(HWND page, int id);
    // A combo box choice made with the arrow keys on the closed list, or
    // with the list open and closed again: the control notifies the page.
    static void Choose(HWND page, int id, int item);
    static void ChooseInOpenList(HWND page, int id, int item, const std::function<void()>& whileOpen = nullptr);
    static std::vector<int> Selected(HWND list);
    static void Select(HWND list, const std::vector<int>& items);
    static std::vector<std::wstring> Headers(HWND list) { return ListItems(ListView_GetHeader(list)); }
    static bool Visible(HWND page, int id) { return IsWindowVisible(GetDlgItem(page, id)) != FALSE; }
    static COLORREF BrushColour(HBRUSH brush);

    // The colour selector is answered: tap a preset, then Ok.
    void PickPreset(int preset);

    // When set, answers every dialog other than the sheet (message boxes,
    // the colour selector) instead of the answers list.
    std::function<void(HWND)> answerOthers;
};
