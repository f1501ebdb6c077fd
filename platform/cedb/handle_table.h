// Database and enumeration handles: engine objects behind HANDLE values that
// the platform's CloseHandle can close.
#pragma once
#include <memory>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/cedb/native/win_types.h"
#endif

namespace cedb {
namespace api {

struct HandleObject {
    virtual ~HandleObject() = default;
};

HANDLE NewApiHandle(std::shared_ptr<HandleObject> obj);
// Null when the handle is not one of ours or has been closed.
std::shared_ptr<HandleObject> LookupApiHandle(HANDLE h);
// Natively: closes one of our handles. In the Windows build the kernel
// closes it and the table forgets it at the next sweep.
bool CloseApiHandle(HANDLE h);
// Every object whose handle is still open (forgetting closed ones), for
// notification delivery and sharing checks.
std::vector<std::shared_ptr<HandleObject>> LiveApiHandles();

}  // namespace api
}  // namespace cedb
