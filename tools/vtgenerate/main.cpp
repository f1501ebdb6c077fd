// vtgenerate VOLUME CONTACTS ACTIVITIES [BUSY] [--recent]: fills the device's
// contact store and the volume file with generated data. CONTACTS 0 spreads
// the activities over the contacts the store already holds. --recent ends
// the history on the device's today instead of the benchmarks' fixed dates.
#include <windows.h>

#include <oleauto.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/notify/device_clock.h"
#include "tools/vtgenerate/store_generator.h"

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<const wchar_t*> args;
    double historyEnd = 0;
    for (int i = 0; argv && i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--recent") != 0) {
            args.push_back(argv[i]);
            continue;
        }
        SYSTEMTIME today;
        GetDeviceLocalTime(&today);
        SystemTimeToVariantTime(&today, &historyEnd);
        historyEnd = std::trunc(historyEnd);
    }
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: vtgenerate VOLUME CONTACTS ACTIVITIES [BUSY] [--recent]\n");
        return 2;
    }
    const int contacts = _wtoi(args[2]);
    const int activities = _wtoi(args[3]);
    const int busy = args.size() > 4 ? _wtoi(args[4]) : 0;
    GeneratedStore store;
    const bool ok = contacts >= 0 && activities >= 0 && busy >= 0 &&
                    GenerateStore(args[1], contacts, activities, busy, &store, historyEnd);
    LocalFree(argv);
    std::printf("%zu contacts, %d activities\n", store.contacts.size(), store.activities);
    return ok ? 0 : 1;
}
