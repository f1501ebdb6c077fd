// What the API tests need from the host in both builds: scratch folders,
// environment variables, a window that collects posted messages, and a
// second process.
#pragma once
#include <string>
#include <vector>

#include "platform/cedb/windbase.h"

namespace cedb_test {

std::wstring NewTempFolder();
std::wstring JoinPath(const std::wstring& folder, const wchar_t* name);
void SetEnvironment(const char* name, const std::wstring& value);

struct PostedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageWindow {
public:
    MessageWindow();
    ~MessageWindow();
    HWND hwnd() const { return hwnd_; }
    // Messages posted to this window since the last call.
    std::vector<PostedMessage> Take();

private:
    HWND hwnd_ = nullptr;
};

// Runs this test program again with `args`; returns its exit code.
int RunSelf(const std::wstring& args);

}  // namespace cedb_test
