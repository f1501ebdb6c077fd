/* A stand-in for the optional third-party contact editor: each call is
   appended to the file that VANTARO_FAKE_EDITOR_LOG names, as one line with
   the call, its arguments and the library's own file name, so a test sees
   which copy was loaded and what it was given. Built in three variants: both
   entry points, the display call only, and neither. */
#include <windows.h>

#include <stdio.h>

static HINSTANCE self;

#if !defined(FAKE_EDITOR_NO_ENTRIES)
static void Record(const char* call, unsigned long oid, int mode, HWND owner)
{
    char path[MAX_PATH];
    char module[MAX_PATH];
    const char* name = module;
    const char* slash;
    FILE* log;
    if (!GetEnvironmentVariableA("VANTARO_FAKE_EDITOR_LOG", path, MAX_PATH))
        return;
    if (!GetModuleFileNameA(self, module, MAX_PATH))
        module[0] = '\0';
    slash = strrchr(module, '\\');
    if (slash)
        name = slash + 1;
    log = fopen(path, "a");
    if (!log)
        return;
    fprintf(log, "%s %lu %d %llu %s\n", call, oid, mode, (unsigned long long)(ULONG_PTR)owner, name);
    fclose(log);
}

__declspec(dllexport) int WINAPI DisplayContactWindowExtern(DWORD oid, int mode, HWND owner)
{
    Record("display", oid, mode, owner);
    return 1;
}
#endif

#if !defined(FAKE_EDITOR_NO_ENTRIES) && !defined(FAKE_EDITOR_DISPLAY_ONLY)
__declspec(dllexport) int WINAPI CreateContactExtern(HWND owner)
{
    Record("create", 0, 0, owner);
    return 1;
}
#endif

/* Something to export when the entry points are left out. */
__declspec(dllexport) int WINAPI FakeEditorVersion(void)
{
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}
