// The export file: written beside the earlier file and put in its place only
// when complete; every way it can fail leaves the earlier file as it was.
#include "export/export_file.h"
#include "tests/harness/file_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ExportFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"vt_export_file_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        path = folder + L"\\ql_export.csv";
        ASSERT_TRUE(WriteFileBytes(path, "earlier"));
    }
    void TearDown() override
    {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        DeleteFileW((path + L".tmp").c_str());
        RemoveDirectoryW(folder.c_str());
    }
    // Writes "new" through an export file; the outcome of the commit.
    bool Export(ExportFile* file)
    {
        if (!OpenExportFile(file, path))
            return false;
        WriteExportBytes(file, std::string(300 * 1024, 'x'));
        WriteExportBytes(file, "new");
        return CommitExportFile(file);
    }
    std::wstring folder, path;
};

}  // namespace

TEST_F(ExportFileTest, ACompleteExportReplacesTheEarlierFile)
{
    ExportFile file;
    ASSERT_TRUE(Export(&file));
    const std::string text = ReadFileBytes(path);
    EXPECT_EQ(300u * 1024 + 3, text.size());
    EXPECT_EQ("new", text.substr(text.size() - 3));
    EXPECT_FALSE(Exists(path + L".tmp"));

    // Given up half way: the earlier file stays, the temporary one goes.
    ExportFile abandoned;
    ASSERT_TRUE(OpenExportFile(&abandoned, path));
    WriteExportBytes(&abandoned, "half");
    DiscardExportFile(&abandoned);
    EXPECT_EQ(text, ReadFileBytes(path));
    EXPECT_FALSE(Exists(path + L".tmp"));
}

TEST_F(ExportFileTest, AMissingFolderAndOtherCausesAreNamed)
{
    ExportFile file;
    EXPECT_FALSE(OpenExportFile(&file, folder + L"\\gone\\ql_export.csv"));
    EXPECT_EQ(L"the folder does not exist", DescribeExportFailure(file));
    // A cause without words of its own is named by its number.
    file.error = ERROR_NOT_SUPPORTED;
    EXPECT_EQ(L"system error 50", DescribeExportFailure(file));
}

TEST_F(ExportFileTest, AReadOnlyFileIsLeftAsItWas)
{
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExportFile file;
    EXPECT_FALSE(Export(&file));
    EXPECT_EQ(L"the file is read-only", DescribeExportFailure(file));
    EXPECT_EQ("earlier", ReadFileBytes(path));

    // Made read-only while the export ran: the commit still refuses.
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    ExportFile late;
    ASSERT_TRUE(OpenExportFile(&late, path));
    WriteExportBytes(&late, "new");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(CommitExportFile(&late));
    EXPECT_EQ("earlier", ReadFileBytes(path));
    EXPECT_FALSE(Exists(path + L".tmp"));
}

TEST_F(ExportFileTest, AFileHeldOpenByAnotherProgramIsLeftAsItWas)
{
    // A spreadsheet holds the file open without sharing it.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ExportFile file;
    EXPECT_FALSE(Export(&file));
    CloseHandle(held);
    EXPECT_EQ(L"the file is open in another program", DescribeExportFailure(file));
    EXPECT_EQ("earlier", ReadFileBytes(path));
    EXPECT_FALSE(Exists(path + L".tmp"));
}
