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

// Where the program keeps its database: the install folder when the program
// may write there (installs that kept their data beside the executable go on
// doing so), otherwise "Vantaro" in the user's local application data
// folder (%LOCALAPPDATA%), created when missing. Decided at the first call,
// so a run reads and writes the same place from start to exit.
std::wstring GetDataFolder();

// Whether a file can be created in the folder (a probe file is made and
// removed at once).
bool IsFolderWritable(const std::wstring& folder);

// Lets tests run the program against folders of their own. Empty strings
// restore the real folders. The data folder is chosen again afterwards.
void OverrideAppFolders(const std::wstring& install, const std::wstring& documents);
