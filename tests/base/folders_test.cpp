#include "base/app_folders.h"

#include <gtest/gtest.h>

#include <string>

TEST(FolderOfPath, CutsAtTheLastBackslash)
{
    EXPECT_EQ(L"\\Program Files\\Vantaro", FolderOfPath(L"\\Program Files\\Vantaro\\vantaro.exe"));
    EXPECT_EQ(L"", FolderOfPath(L"\\vantaro.exe"));
    EXPECT_EQ(L"", FolderOfPath(L"vantaro.exe"));
}

TEST(FolderOfPath, KeepsLongPathsWhole)
{
    std::wstring folder = L"C:\\Users\\someone";
    while (folder.size() < 300)
        folder += L"\\a rather long folder name";
    EXPECT_EQ(folder, FolderOfPath(folder + L"\\vantaro.exe"));
}
