#include "views/painting_held.h"

static bool SameScrollInfo(const SCROLLINFO& a, const SCROLLINFO& b)
{
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
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

static void RedrawMovedBar(HWND pane, int bar, const SCROLLINFO& before, const SCROLLINFO& now)
{
    if (SameScrollInfo(before, now))
        return;
    // Setting a bar's position, even to the one it has, draws it.
    SCROLLINFO position = {};
    position.cbSize = sizeof position;
    position.fMask = SIF_POS;
    position.nPos = now.nPos;
    SetScrollInfo(pane, bar, &position, TRUE);
}

PaintingHeld::PaintingHeld(std::initializer_list<HWND> panes) : messageTime_(GetMessageTime())
{
    int count = 0;
    for (HWND pane : panes) {
        if (!pane || count == MAX_PANES)
            continue;
        Held& held = held_[count++];
        held.pane = pane;
        // What was left to paint is painted first: the hold paints only
        // what changes while it lives.
        RedrawWindow(pane, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
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
    // Messages taken from the queue meanwhile (a message box's loop) may
    // have exposed and painted the main window where the hidden panes lie.
    const bool pumped = GetMessageTime() != messageTime_;
    for (const Held& held : held_) {
        if (!held.pane)
            continue;
        SendMessageW(held.pane, WM_SETREDRAW, TRUE, 0);
        if (!held.wasVisible)
            continue;
        DefWindowProcW(held.pane, WM_SETREDRAW, TRUE, 0);
        // Any change of a window's style leaves its frame to be painted;
        // what the frame shows is decided here instead.
        RedrawWindow(held.pane, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
        // Unless messages were pumped, nothing paints over a pane while the
        // program holds it, so its frame still shows what it showed unless
        // its state changed or a scroll bar came or went (then the whole
        // frame is painted, and a list's header, stretched with the client
        // area), or a scroll bar moved (then that bar alone). Otherwise a
        // list's header keeps its columns.
        const FrameLook now = LookOfFrame(held.pane);
        const bool reshaped =
            pumped || now.style != held.frame.style || !EqualRect(&now.client, &held.frame.client);
        const UINT frame = reshaped ? RDW_FRAME | RDW_ALLCHILDREN : RDW_NOCHILDREN;
        RedrawWindow(held.pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | frame);
        if (reshaped)
            continue;
        RedrawMovedBar(held.pane, SB_HORZ, held.frame.horizontal, now.horizontal);
        RedrawMovedBar(held.pane, SB_VERT, held.frame.vertical, now.vertical);
    }
}
