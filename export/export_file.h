// The file an export writes: its bytes go to a temporary file beside it,
// which replaces the earlier file only once the whole export was written, so
// a failed export leaves the earlier file as it was.
#pragma once
#include <windows.h>

#include <string>

struct ExportFile {
    std::wstring path;        // the file the export replaces
    std::wstring temporary;   // where the bytes go until the export is complete
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string pending;      // bytes not yet handed to the file
    DWORD error = 0;          // the first failure; 0 while everything worked
};

// "<documents folder>\<name>".
std::wstring ExportPath(const wchar_t* name);

// Starts the temporary file; false (with file->error set) when it cannot be
// made or the earlier file cannot be replaced.
bool OpenExportFile(ExportFile* file, const std::wstring& path);
// Queues bytes; they are written in large blocks. After a failure nothing
// more is written.
void WriteExportBytes(ExportFile* file, const std::string& bytes);
inline bool ExportFileFailed(const ExportFile& file) { return file.error != 0; }
// Writes what is queued, makes it durable and puts the file in place of the
// earlier one; false (and the temporary file removed) on any failure.
bool CommitExportFile(ExportFile* file);
// Gives up: the temporary file goes, the earlier file stays.
void DiscardExportFile(ExportFile* file);

// Why the file could not be written, in a few words for the user.
std::wstring DescribeExportFailure(const ExportFile& file);
// Tells the user that the export was not written and why, naming the file.
void ReportExportFailure(HWND owner, const ExportFile& file);
