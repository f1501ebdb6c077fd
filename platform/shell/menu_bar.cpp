// The menu bar: a window at the bottom of the screen holding a toolbar built
// from the program's menu bar resource. Text buttons and drop-down buttons
// open their submenu; the others send their command to the parent window.
#include "platform/shell/aygshell.h"
#include "platform/shell/device_screen.h"

#include <string>
#include <vector>

using namespace ceshell;

namespace {

// Posted to the bar to open a submenu from the message loop rather than from
// inside the toolbar's own pen handling (wParam: the button's command).
constexpr UINT WM_DROP_DOWN = WM_APP + 1;

struct MenuButton {
    int image;
    WORD command;
    BYTE state;
    BYTE style;
    WORD stringId;
    WORD subMenu;   // index into the bar's menu, or NOMENU
};

class MenuBar {
public:
    HWND window = nullptr;
    HWND parent = nullptr;
    HWND toolbar = nullptr;
    HMENU menu = nullptr;
    HIMAGELIST images = nullptr;
    std::vector<MenuButton> buttons;
    std::vector<std::wstring> labels;     // text of each button, empty for images
    std::vector<std::wstring> toolTips;   // one per button that is not a separator
    bool tracking = false;                // a submenu is open
    bool orphaned = false;                // the window went while it was open

    ~MenuBar()
    {
        if (menu)
            DestroyMenu(menu);
        if (images)
            ImageList_Destroy(images);
    }

    const MenuButton* FindButton(WORD command) const
    {
        for (const MenuButton& button : buttons)
            if (!(button.style & BTNS_SEP) && button.command == command)
                return &button;
        return nullptr;
    }

    HMENU SubMenuOf(WORD command) const
    {
        const MenuButton* button = FindButton(command);
        if (!button || button->subMenu == NOMENU || !menu)
            return nullptr;
        return GetSubMenu(menu, button->subMenu);
    }

    const wchar_t* ToolTipOf(WORD command) const
    {
        size_t index = 0;
        for (const MenuButton& button : buttons) {
            if (button.style & BTNS_SEP)
                continue;
            if (button.command == command)
                return index < toolTips.size() ? toolTips[index].c_str() : nullptr;
            ++index;
        }
        return nullptr;
    }
};

// Drops the submenu above its button; the menu posts the chosen command to
// the parent window. The bar may be destroyed while the menu is open (the
// program gives it up in the background): the menu then closes and the bar's
// state goes here, once the menu no longer uses it.
void DropDown(MenuBar* bar, WORD command)
{
    HMENU popup = bar->SubMenuOf(command);
    if (!popup || bar->tracking)
        return;
    RECT item = {};
    const LRESULT index = SendMessageW(bar->toolbar, TB_COMMANDTOINDEX, command, 0);
    SendMessageW(bar->toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(bar->toolbar, nullptr, reinterpret_cast<POINT*>(&item), 2);
    SendMessageW(bar->toolbar, TB_PRESSBUTTON, command, TRUE);
    bar->tracking = true;
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN, item.left, item.top, bar->parent, nullptr);
    bar->tracking = false;
    if (bar->orphaned) {
        delete bar;
        return;
    }
    SendMessageW(bar->toolbar, TB_PRESSBUTTON, command, FALSE);
}

MenuBar* BarOf(HWND window)
{
    return reinterpret_cast<MenuBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Text menus are drawn here as plain words: the desktop toolbar would keep
// room for a picture beside them.
LRESULT DrawTextButton(MenuBar* bar, NMTBCUSTOMDRAW* draw)
{
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    for (size_t i = 0; i < bar->buttons.size(); ++i) {
        if (bar->buttons[i].command != draw->nmcd.dwItemSpec || bar->labels[i].empty())
            continue;
        HDC dc = draw->nmcd.hdc;
        RECT item = draw->nmcd.rc;
        const bool down = (draw->nmcd.uItemState & (CDIS_SELECTED | CDIS_CHECKED)) != 0;
        FillRect(dc, &item, GetSysColorBrush(down ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        const bool enabled = !(draw->nmcd.uItemState & CDIS_DISABLED);
        SetTextColor(dc, GetSysColor(down ? COLOR_HIGHLIGHTTEXT : enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, bar->labels[i].c_str(), -1, &item, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

LRESULT OnNotify(MenuBar* bar, NMHDR* header)
{
    if (header->code == NM_CUSTOMDRAW && header->hwndFrom == bar->toolbar)
        return DrawTextButton(bar, reinterpret_cast<NMTBCUSTOMDRAW*>(header));
    if (header->code == TBN_DROPDOWN) {
        PostMessageW(bar->window, WM_DROP_DOWN, reinterpret_cast<NMTOOLBARW*>(header)->iItem, 0);
        return TBDDRET_DEFAULT;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        info->hinst = nullptr;
        info->lpszText = const_cast<wchar_t*>(L"");
        if (const wchar_t* tip = bar->ToolTipOf(static_cast<WORD>(header->idFrom)))
            info->lpszText = const_cast<wchar_t*>(tip);
        return 0;
    }
    return 0;
}

LRESULT CALLBACK MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MenuBar* bar = BarOf(window);
    if (!bar)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND: {
        const WORD command = LOWORD(wParam);
        if (bar->SubMenuOf(command))
            PostMessageW(window, WM_DROP_DOWN, command, 0);
        else
            PostMessageW(bar->parent, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return 0;
    }
    case WM_NOTIFY:
        return OnNotify(bar, reinterpret_cast<NMHDR*>(lParam));
    case WM_DROP_DOWN:
        DropDown(bar, static_cast<WORD>(wParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case SHCMBM_GETSUBMENU:
        return reinterpret_cast<LRESULT>(bar->SubMenuOf(static_cast<WORD>(lParam)));
    case SHCMBM_GETMENU:
        return reinterpret_cast<LRESULT>(bar->menu);
    case SHCMBM_SETSUBMENU: {
        // Replaces the button's submenu; returns the previous one.
        const MenuButton* button = bar->FindButton(static_cast<WORD>(wParam));
        HMENU replacement = reinterpret_cast<HMENU>(lParam);
        if (!button || button->subMenu == NOMENU || !bar->menu || !IsMenu(replacement))
            return 0;
        HMENU previous = GetSubMenu(bar->menu, button->subMenu);
        wchar_t label[64] = {};
        GetMenuStringW(bar->menu, button->subMenu, label, 64, MF_BYPOSITION);
        RemoveMenu(bar->menu, button->subMenu, MF_BYPOSITION);
        InsertMenuW(bar->menu, button->subMenu, MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(replacement), label);
        return reinterpret_cast<LRESULT>(previous);
    }
    case TB_SETTOOLTIPS: {
        const auto* strings = reinterpret_cast<const wchar_t* const*>(lParam);
        bar->toolTips.clear();
        if (!strings)
            return 0;
        for (WPARAM i = 0; i < wParam && i < 64; ++i)
            bar->toolTips.emplace_back(strings[i] ? strings[i] : L"");
        return 1;
    }
    case WM_DESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (bar->tracking) {
            bar->orphaned = true;
            EndMenu();
        } else {
            delete bar;
        }
        return 0;
    }
    // Every other toolbar message goes to the toolbar itself.
    if (message >= WM_USER && message < WM_USER + 0x400 && bar->toolbar)
        return SendMessageW(bar->toolbar, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// Reads the menu bar resource: menu id, count, then seven words per button.
bool ReadMenuBarResource(HINSTANCE instance, UINT id, MenuBar* bar)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!found)
        return false;
    const DWORD bytes = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!words || bytes < 4)
        return false;
    const size_t available = bytes / sizeof(WORD);
    const size_t count = words[1];
    if (count == 0 || 2 + count * 7 > available)
        return false;
    const WORD menuId = words[0];
    for (size_t i = 0; i < count; ++i) {
        const WORD* entry = words + 2 + i * 7;
        MenuButton button;
        button.image = static_cast<short>(entry[0]);
        button.command = entry[1];
        button.state = static_cast<BYTE>(entry[2]);
        button.style = static_cast<BYTE>(entry[3]);
        button.stringId = entry[4];
        button.subMenu = entry[6];
        bar->buttons.push_back(button);
        wchar_t label[64] = {};
        if (button.stringId)
            LoadStringW(instance, button.stringId, label, 64);
        bar->labels.emplace_back(label);
    }
    bar->menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    return true;
}

bool LoadImages(MenuBar* bar, HINSTANCE instance, int bitmapId, int count)
{
    if (bitmapId == 0 || count <= 0)
        return true;
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip)
        return false;
    bar->images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
    if (bar->images)
        ImageList_AddMasked(bar->images, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return bar->images != nullptr;
}

// The screen is 240 pixels wide: text buttons get their text's width, image
// buttons just their picture, so that a full bar fits.
void FitButtonWidths(MenuBar* bar)
{
    HDC dc = GetDC(bar->toolbar);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar->toolbar, WM_GETFONT, 0, 0)));
    for (size_t i = 0; i < bar->buttons.size(); ++i) {
        const MenuButton& button = bar->buttons[i];
        if (button.style & BTNS_SEP)
            continue;
        int width = 24;
        if (!bar->labels[i].empty()) {
            SIZE text = {};
            GetTextExtentPoint32W(dc, bar->labels[i].c_str(), static_cast<int>(bar->labels[i].size()), &text);
            width = text.cx + 12;
        } else if (button.style & BTNS_DROPDOWN) {
            width = 32;
        }
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(width);
        SendMessageW(bar->toolbar, TB_SETBUTTONINFOW, button.command, reinterpret_cast<LPARAM>(&info));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(bar->toolbar, dc);
}

void BuildToolbar(MenuBar* bar, HINSTANCE instance)
{
    RECT client;
    GetClientRect(bar->window, &client);
    bar->toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                                       CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                   0, 0, client.right, client.bottom, bar->window, nullptr, instance, nullptr);
    if (!bar->toolbar)
        return;
    SendMessageW(bar->toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar->toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(bar->toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(bar->images));
    SendMessageW(bar->toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageW(bar->toolbar, TB_SETPADDING, 0, MAKELPARAM(3, 6));

    std::vector<TBBUTTON> items(bar->buttons.size());
    for (size_t i = 0; i < bar->buttons.size(); ++i) {
        const MenuButton& button = bar->buttons[i];
        TBBUTTON& item = items[i];
        item.iBitmap = button.image;
        item.idCommand = button.command;
        item.fsState = button.state;
        item.fsStyle = button.style;
        item.fsStyle &= ~BTNS_AUTOSIZE;
        if (!bar->labels[i].empty()) {
            item.fsStyle |= BTNS_SHOWTEXT;
            item.iString = reinterpret_cast<INT_PTR>(bar->labels[i].c_str());
        } else {
            item.iString = -1;
        }
        // A drop-down image button opens its menu wherever it is tapped and
        // shows its arrow; a text menu looks like a plain word.
        if (button.style & BTNS_DROPDOWN) {
            if (button.image >= 0)
                item.fsStyle |= BTNS_WHOLEDROPDOWN;
            else
                item.fsStyle &= ~BTNS_DROPDOWN;
        }
        if (button.style & BTNS_SEP)
            item.iBitmap = 6;
    }
    SendMessageW(bar->toolbar, TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data()));
    FitButtonWidths(bar);
    SendMessageW(bar->toolbar, TB_AUTOSIZE, 0, 0);
    MoveWindow(bar->toolbar, 0, 1, client.right, client.bottom - 1, TRUE);
}

} // namespace

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize < sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hwndMB = nullptr;
    EnsureShellWindows(info->hwndParent);
    if (!RegisterShellClass(MENU_BAR_CLASS, MenuBarProc, GetSysColorBrush(COLOR_BTNFACE)))
        return FALSE;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    auto* bar = new MenuBar;
    bar->parent = info->hwndParent;
    HINSTANCE instance = info->hInstRes;
    const bool empty = (info->dwFlags & SHCMBF_EMPTYBAR) != 0;
    if (!empty) {
        if (!ReadMenuBarResource(instance, info->nToolBarId, bar) ||
            !LoadImages(bar, instance, info->nBmpId, info->cBmpImages)) {
            delete bar;
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return FALSE;
        }
    }

    const RECT area = MenuBarRect();
    const DWORD visible = (info->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE;
    bar->window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MENU_BAR_CLASS, L"",
                                  WS_POPUP | WS_CLIPCHILDREN | visible, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, info->hwndParent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!bar->window) {
        delete bar;
        return FALSE;
    }
    SetWindowLongPtrW(bar->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    if (!empty)
        BuildToolbar(bar, GetModuleHandleW(nullptr));
    info->hwndMB = bar->window;
    return TRUE;
}
