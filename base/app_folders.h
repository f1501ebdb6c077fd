// The folders the program keeps its files in.
#pragma once
#include <string>

// Folder of the executable, without a trailing backslash; empty when the
// program sits in the root. Paths of any length are supported.
std::wstring GetInstallFolder();

// The folder part of a full path: cut at the last backslash. A backslash
// only in the first position, or none, gives the empty folder.
std::wstring FolderOfPath(const std::wstring& path);

// The user's documents folder, where the backup copy and exports go; falls
// back to "\My Documents" when the shell cannot name it.
std::wstring GetDocumentsFolder();

// Lets tests run the program against folders of their own. Empty strings
// restore the real folders.
void OverrideAppFolders(const std::wstring& install, const std::wstring& documents);
