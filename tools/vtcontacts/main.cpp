#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "tools/vtcontacts/contact_exchange.h"

static void Write(FILE* stream, const std::string& text)
{
    fwrite(text.data(), 1, text.size(), stream);
    fflush(stream);
}

int main()
{
    // The cards carry their own CR LF line ends; a text-mode stream would
    // make them CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < argc; ++i)
        args.push_back(argv[i]);
    LocalFree(argv);
    ToolOutput output;
    const int code = RunContactTool(args, output);
    Write(stdout, output.out);
    Write(stderr, output.err);
    return code;
}
