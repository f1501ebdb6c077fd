// The whole path a user waits for: a program launched as a process until
// its first message loop goes idle with nothing left to paint.
#pragma once
#include <string>

// Milliseconds from CreateProcess to the program's first idle moment
// (WaitForInputIdle), then closes its windows and waits for it to end;
// -1 when it could not start or never went idle.
double LaunchUntilIdle(const std::wstring& program, const std::wstring& folder);
