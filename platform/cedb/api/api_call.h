// What every call of the platform's database API shares: the service's one
// lock, the call counters, and failing with a last-error code.
#pragma once
#include <atomic>
#include <mutex>

#include "platform/cedb/windbase.h"

namespace cedb {
namespace api {

// Every call takes it, so the service is safe to call from any thread.
extern std::recursive_mutex g_api;
extern std::atomic<long> g_calls, g_opens;

// Every call of the platform's API holds the service's lock and is counted.
struct ApiCall {
    std::lock_guard<std::recursive_mutex> lock{g_api};
    ApiCall() { g_calls++; }
};

template <class T>
T Fail(DWORD err, T value)
{
    SetLastError(err);
    return value;
}

}  // namespace api
}  // namespace cedb
