// A top-level window that records the commands and setting changes it gets,
// and a message pump that waits for a condition.
#pragma once
#include "tests/harness/ui_wait.h"

#include <windows.h>

#include <functional>
#include <vector>

struct ProbeLog {
    std::vector<WORD> commands;
    std::vector<WPARAM> settingChanges;
};

inline ProbeLog probe;

inline LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        probe.commands.push_back(LOWORD(wParam));
    else if (message == WM_SETTINGCHANGE)
        probe.settingChanges.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// Created at the default position, as the program creates its main window.
inline HWND CreateProbeWindow()
{
    WNDCLASSW probeClass = {};
    probeClass.lpfnWndProc = ProbeProc;
    probeClass.hInstance = GetModuleHandleW(nullptr);
    probeClass.lpszClassName = L"ProbeWindow";
    RegisterClassW(&probeClass);   // fails harmlessly once registered
    probe = ProbeLog();
    return CreateWindowW(L"ProbeWindow", L"Probe", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

