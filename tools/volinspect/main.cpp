// volinspect: lists the databases of a volume file (or of the device's
// object store) and, with --records NAME, every record of one database.
// It only reads.
#include <iostream>
#include <string>
#include <vector>

#include "platform/cedb/object_store.h"
#include "platform/unicode/utf8.h"
#include "tools/volinspect/inspect.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

extern "C" int wmain(int argc, wchar_t** wargv)
{
    // Output is the same bytes on every system: LF line ends, no conversion.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(unicode::WideToUtf8(wargv[i]));
#else
int main(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
#endif
    std::string path, records;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--device") path = cedb::ObjectStorePath();
        else if (args[i] == "--records" && i + 1 < args.size()) records = args[++i];
        else if (!args[i].empty() && args[i][0] != '-') path = args[i];
        else path.clear(), i = args.size();
    }
    if (path.empty()) {
        std::cerr << "usage: volinspect (FILE | --device) [--records DATABASE]\n"
                     "Lists the databases of a volume file, or of the device's object store, and\n"
                     "with --records every record of one database. The file is only read.\n";
        return volinspect::kUsage;
    }
    return volinspect::Inspect(path, records, std::cout, std::cerr);
}
