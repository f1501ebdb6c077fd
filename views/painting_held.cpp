#include "views/painting_held.h"

static bool SameScrollInfo(const SCROLLINFO& a, const SCROLLINFO& b)
{
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

bool PaintingHeld::FrameLook::operator==(const FrameLook& other) const
{
    return style == other.style && SameScrollInfo(horizontal, other.horizontal) &&
           SameScrollInfo(vertical, other.vertical) && EqualRect(&client, &other.client);
}

PaintingHeld::FrameLook PaintingHeld::LookOfFrame(HWND pane)
{
    FrameLook look;
    look.style = GetWindowLongW(pane, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL | WS_DISABLED);
    for (SCROLLINFO* info : {&look.horizontal, &look.vertical}) {
        info->cbSize = sizeof *info;
        info->fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    }
    if (!GetScrollInfo(pane, SB_HORZ, &look.horizontal))
        look.horizontal = {};
    if (!GetScrollInfo(pane, SB_VERT, &look.vertical))
        look.vertical = {};
    GetClientRect(pane, &look.client);
    return look;
}

PaintingHeld::PaintingHeld(std::initializer_list<HWND> panes)
{
    int count = 0;
    for (HWND pane : panes) {
        if (!pane || count == MAX_PANES)
            continue;
        Held& held = held_[count++];
        held.pane = pane;
        held.frame = LookOfFrame(pane);
        SendMessageW(pane, WM_SETREDRAW, FALSE, 0);
        // The controls set their scroll bars as rows and text change, and a
        // scroll bar draws itself at once unless its window is hidden (each
        // themed draw costs dozens of server calls under Wine): the pane
        // stays hidden, as a window's own WM_SETREDRAW leaves it, until it
        // is painted whole.
        held.wasVisible = (GetWindowLongW(pane, GWL_STYLE) & WS_VISIBLE) != 0;
        if (held.wasVisible)
            DefWindowProcW(pane, WM_SETREDRAW, FALSE, 0);
    }
}

PaintingHeld::~PaintingHeld()
{
    for (const Held& held : held_) {
        if (!held.pane)
            continue;
        SendMessageW(held.pane, WM_SETREDRAW, TRUE, 0);
        if (!held.wasVisible)
            continue;
        DefWindowProcW(held.pane, WM_SETREDRAW, TRUE, 0);
        // Nothing paints over a pane while the program holds it, so its
        // frame still shows what it showed unless its scroll bars or its
        // state changed, and a list's header keeps its columns unless a
        // scroll bar came or went and the header was stretched with the
        // client area.
        const FrameLook now = LookOfFrame(held.pane);
        const UINT frame = now == held.frame ? 0 : RDW_FRAME;
        const UINT children = EqualRect(&now.client, &held.frame.client) ? RDW_NOCHILDREN : RDW_ALLCHILDREN;
        RedrawWindow(held.pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | frame | children);
    }
}
