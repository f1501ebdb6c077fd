#include "base/app_folders.h"
#include "platform/cedb/os/long_path.h"
#include "tests/harness/file_bytes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FolderOfPath, CutsAtTheLastBackslashAndKeepsLongPathsWhole)
{
    EXPECT_EQ(L"\\Program Files\\Vantaro", FolderOfPath(L"\\Program Files\\Vantaro\\vantaro.exe"));
    EXPECT_EQ(L"", FolderOfPath(L"\\vantaro.exe"));
    EXPECT_EQ(L"", FolderOfPath(L"vantaro.exe"));
    std::wstring folder = L"C:\\Users\\someone";
    while (folder.size() < 300)
        folder += L"\\a rather long folder name";
    EXPECT_EQ(folder, FolderOfPath(folder + L"\\vantaro.exe"));
}

// Past 247 characters a path takes the extended-length prefix, made from its
// full form since the prefix turns off the resolving of "..", "/" and
// relative names; a file at the end of such a path is written and read back.
TEST(ExtendedLengthPath, PrefixesLongPathsInTheirFullFormOnly)
{
    EXPECT_EQ(L"C:\\short\\vt1.vol", cedb::ExtendedLengthPath(L"C:\\short\\vt1.vol"));
    EXPECT_EQ(L"\\\\?\\C:\\x", cedb::ExtendedLengthPath(L"\\\\?\\C:\\x"));

    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    std::wstring folder = std::wstring(temp) + L"vantaro-long-path-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring root = folder;
    std::vector<std::wstring> made;
    while (folder.size() < 300) {
        ASSERT_TRUE(CreateDirectoryW(cedb::ExtendedLengthPath(folder).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        made.push_back(folder);
        folder += L"\\a folder name of some length";
    }
    const std::wstring file = folder.substr(0, folder.rfind(L'\\')) + L"\\sub\\..\\vt1.vol";
    const std::wstring extended = cedb::ExtendedLengthPath(file);
    EXPECT_EQ(L"\\\\?\\" + folder.substr(0, folder.rfind(L'\\')) + L"\\vt1.vol", extended);
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\" + std::wstring(260, L'x'),
              cedb::ExtendedLengthPath(L"\\\\server\\share\\" + std::wstring(260, L'x')));

    ASSERT_TRUE(WriteFileBytes(extended, "vt1"));
    EXPECT_EQ("vt1", ReadFileBytes(extended));
    EXPECT_TRUE(DeleteFileW(extended.c_str()));
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryW(cedb::ExtendedLengthPath(*it).c_str());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(root.c_str()));
}
