// Table-driven dispatch of window messages and menu commands.
#pragma once
#include <windows.h>
#include <cstddef>

using MessageHandler = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using CommandHandler = LRESULT (*)(HWND window, WORD id, HWND control, WORD notifyCode);

struct MessageRow {
    UINT message;
    MessageHandler handler;
};

struct CommandRow {
    WORD id;
    CommandHandler handler;
};

// Calls the first row naming the message; a message no row names goes to
// DefWindowProcW.
LRESULT DispatchMessageRows(const MessageRow* rows, size_t count,
                            HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog procedure's rows: calls the first row naming the message and
// gives its answer in *result. False for a message no row names, which the
// dialog procedure then leaves to the dialog manager (or to rows of its own).
bool DispatchDialogRows(const MessageRow* rows, size_t count, HWND dialog, UINT message, WPARAM wParam,
                        LPARAM lParam, INT_PTR* result);

// Calls the first row naming the command id and returns its result.
// Sets *handled to whether a row matched.
LRESULT DispatchCommandRows(const CommandRow* rows, size_t count,
                            HWND window, WPARAM wParam, LPARAM lParam, bool* handled);

// Commands of the Profiles menu: 60000 ("All") up to 60000 + profiles, both
// inclusive. A negative count admits none.
bool IsProfileCommand(WORD id, int profiles);
