// Database and enumeration handles: engine objects behind HANDLE values that
// the platform's CloseHandle can close.
#pragma once
#include <functional>
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
// Null when the handle is not one of ours. Seeks, reads and writes come here,
// so it asks only the table, never the kernel: in the Windows build a handle
// the program has closed still finds its object until a cold path below
// notices the close. A value the system hands out again for a new handle of
// ours replaces the old entry at once.
std::shared_ptr<HandleObject> LookupApiHandle(HANDLE h);
// Natively: closes one of our handles. In the Windows build the kernel
// closes it and the table forgets it when a cold path notices.
bool CloseApiHandle(HANDLE h);
// The objects picked by `wanted` whose handles are still open, for
// notification delivery and sharing checks; closed ones met on the way are
// forgotten. In the Windows build each candidate costs two kernel calls, so
// `wanted` should pick few.
std::vector<std::shared_ptr<HandleObject>> LiveApiHandles(const std::function<bool(const HandleObject&)>& wanted);

}  // namespace api
}  // namespace cedb
