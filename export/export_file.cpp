#include "export/export_file.h"

#include "base/app_folders.h"
#include "base/message_box.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr size_t WRITE_BLOCK = 256 * 1024;
constexpr wchar_t TEMPORARY_SUFFIX[] = L".tmp";

void Fail(ExportFile* file, DWORD error)
{
    if (!file->error)
        file->error = error ? error : ERROR_GEN_FAILURE;
}

void CloseHandleOf(ExportFile* file)
{
    if (file->handle != INVALID_HANDLE_VALUE)
        CloseHandle(file->handle);
    file->handle = INVALID_HANDLE_VALUE;
}

void WritePending(ExportFile* file)
{
    size_t done = 0;
    while (!file->error && done < file->pending.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(file->pending.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file->handle, file->pending.data() + done, chunk, &written, nullptr) || written == 0)
            Fail(file, GetLastError());
        done += written;
    }
    file->pending.clear();
}

// A folder or a read-only file where the export goes would make the final
// rename fail after all the work; they are refused before it starts.
DWORD TargetProblem(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_DIRECTORY;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return ERROR_FILE_READ_ONLY;
    return 0;
}

// Replacing a file that another program holds open is refused as "access
// denied"; asking for the right to delete it tells that case apart.
DWORD ReplaceFailure(const std::wstring& path, DWORD error)
{
    if (error != ERROR_ACCESS_DENIED)
        return error;
    HANDLE probe = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return error;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

}  // namespace

std::wstring ExportPath(const wchar_t* name)
{
    return GetDocumentsFolder() + L"\\" + name;
}

bool OpenExportFile(ExportFile* file, const std::wstring& path)
{
    file->path = path;
    file->temporary = path + TEMPORARY_SUFFIX;
    file->pending.clear();
    file->error = TargetProblem(path);
    if (file->error)
        return false;
    // A temporary file left by an export that was cut short is overwritten.
    file->handle = CreateFileW(file->temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file->handle == INVALID_HANDLE_VALUE) {
        Fail(file, GetLastError());
        return false;
    }
    file->pending.reserve(WRITE_BLOCK + WRITE_BLOCK / 4);
    return true;
}

void WriteExportBytes(ExportFile* file, const std::string& bytes)
{
    if (file->error)
        return;
    file->pending += bytes;
    if (file->pending.size() >= WRITE_BLOCK)
        WritePending(file);
}

bool CommitExportFile(ExportFile* file)
{
    if (!file->error && file->handle == INVALID_HANDLE_VALUE)
        Fail(file, ERROR_INVALID_HANDLE);
    WritePending(file);
    if (!file->error && !FlushFileBuffers(file->handle))
        Fail(file, GetLastError());
    CloseHandleOf(file);
    if (!file->error)
        file->error = TargetProblem(file->path);
    if (!file->error &&
        !MoveFileExW(file->temporary.c_str(), file->path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(file, ReplaceFailure(file->path, GetLastError()));
    if (file->error) {
        DeleteFileW(file->temporary.c_str());
        return false;
    }
    return true;
}

void DiscardExportFile(ExportFile* file)
{
    CloseHandleOf(file);
    file->pending.clear();
    DeleteFileW(file->temporary.c_str());
}

std::wstring DescribeExportFailure(const ExportFile& file)
{
    switch (file.error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
        return L"the folder does not exist";
    case ERROR_DIRECTORY:
        return L"a folder of that name is in the way";
    case ERROR_FILE_READ_ONLY:
        return L"the file is read-only";
    case ERROR_ACCESS_DENIED:
        return L"access to the folder or the file is denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return L"the file is open in another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return L"the disk is full";
    case ERROR_WRITE_PROTECT:
        return L"the disk is write-protected";
    default: {
        wchar_t text[40];
        std::swprintf(text, 40, L"system error %lu", static_cast<unsigned long>(file.error));
        return text;
    }
    }
}

void ReportExportFailure(HWND owner, const ExportFile& file)
{
    const std::wstring text = L"Could not write '" + file.path + L"': " + DescribeExportFailure(file) +
                              L". Any earlier file was left as it was.";
    AppMessageBox(owner, text.c_str(), L"Error", APP_MB_WARNING);
}
