// vtgenerate VOLUME CONTACTS ACTIVITIES [BUSY]: fills the device's contact
// store and the volume file with generated data. CONTACTS 0 spreads the
// activities over the contacts the store already holds.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "tools/vtgenerate/store_generator.h"

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4) {
        std::fprintf(stderr, "usage: vtgenerate VOLUME CONTACTS ACTIVITIES [BUSY]\n");
        return 2;
    }
    const int contacts = _wtoi(argv[2]);
    const int activities = _wtoi(argv[3]);
    const int busy = argc > 4 ? _wtoi(argv[4]) : 0;
    GeneratedStore store;
    const bool ok = contacts >= 0 && activities >= 0 && busy >= 0 &&
                    GenerateStore(argv[1], contacts, activities, busy, &store);
    LocalFree(argv);
    std::printf("%zu contacts, %d activities\n", store.contacts.size(), store.activities);
    return ok ? 0 : 1;
}
