// Holding the panes' painting while a refill changes them.
#pragma once
#include <windows.h>

#include <initializer_list>

// The given panes paint nothing while one lives, however often a refill
// marks, counts and redraws rows or sets text; at its end each client area
// is painted once, and of the frame and a list's header only what changed.
// A refill of thousands of rows otherwise paints them several times over,
// and under Wine each paint of the themed parts costs server calls.
class PaintingHeld {
public:
    PaintingHeld(std::initializer_list<HWND> panes);
    ~PaintingHeld();
    PaintingHeld(const PaintingHeld&) = delete;
    PaintingHeld& operator=(const PaintingHeld&) = delete;

private:
    // What a pane's frame shows (its scroll bars and whether it is
    // enabled) and the client area they leave.
    struct FrameLook {
        LONG style = 0;
        SCROLLINFO horizontal = {};
        SCROLLINFO vertical = {};
        RECT client = {};
    };
    static FrameLook LookOfFrame(HWND pane);

    static constexpr int MAX_PANES = 3;
    struct Held {
        HWND pane = nullptr;
        bool wasVisible = false;
        FrameLook frame;
    };
    Held held_[MAX_PANES] = {};
    LONG messageTime_ = 0;
};
