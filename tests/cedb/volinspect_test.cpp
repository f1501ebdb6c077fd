// The inspection tool's report, and that it never changes what it reads.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/cedb/core/volume.h"
#include "tests/cedb/api_support.h"
#include "tools/volinspect/inspect.h"

namespace {

using namespace cedb;

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class VolInspect : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = Narrow(cedb_test::JoinPath(cedb_test::NewTempFolder(), L"i.vol"));
        std::unique_ptr<Volume> v;
        ASSERT_TRUE(Volume::Mount(FileSystem::Default(), path_, MountOptions(), &v).ok());
        uint32_t db, oid;
        DatabaseLayout layout{u"Activity\"Database", 3, 0,
                          {{SortKey{0x001F0005, kSortDescending}}, {SortKey{0x0014001F, kSortCaseInsensitive | kSortUnknownFirst}}}};
        ASSERT_TRUE(v->CreateDatabase(layout, &db).ok());
        ASSERT_TRUE(v->CreateDatabase(DatabaseLayout{u"EventsDatabase", 0, 0, {}}, &oid).ok());
        Prop text, date, flag;
        text.id = 0x0014001F;
        text.s = u"Call\nback";
        date.id = 0x001F0005;
        date.d = 40000.5;
        flag.id = 0x001D000B;
        flag.i = 1;
        ASSERT_TRUE(v->WriteRecord(db, 0, {text, date, flag}, {}, &oid).ok());
        ASSERT_TRUE(v->Unmount().ok());
    }
    std::string path_;
    std::ostringstream out_, err_;
};

TEST_F(VolInspect, ListsDatabasesThenEveryPropertyOfTheOneNamed)
{
    ASSERT_EQ(volinspect::kOk, volinspect::Inspect(path_, "", out_, err_));
    std::string o = out_.str();
    EXPECT_NE(std::string::npos, o.find("2 databases"));
    EXPECT_NE(std::string::npos, o.find("\"Activity\\\"Database\"  type 3  1 records"));
    EXPECT_NE(std::string::npos, o.find("sort 1: 0x001F0005 desc"));
    EXPECT_NE(std::string::npos, o.find("sort 2: 0x0014001F asc nocase unknown-first"));
    EXPECT_NE(std::string::npos, o.find("\"EventsDatabase\"  type 0  0 records"));
    EXPECT_EQ(std::string::npos, o.find("records of"));

    ASSERT_EQ(volinspect::kOk, volinspect::Inspect(path_, "Activity\"Database", out_, err_));
    o = out_.str();
    EXPECT_NE(std::string::npos, o.find("(3 properties)"));
    EXPECT_NE(std::string::npos, o.find("0x0014001F LPWSTR \"Call\\x0Aback\""));
    EXPECT_NE(std::string::npos, o.find("0x001F0005 R8 40000.5"));
    EXPECT_NE(std::string::npos, o.find("0x001D000B BOOL TRUE"));
    EXPECT_EQ(volinspect::kNoSuchDatabase, volinspect::Inspect(path_, "Nope", out_, err_));
}

TEST_F(VolInspect, ReportsDamageAndMissingFilesWithoutWriting)
{
    std::string bytes = Slurp(path_);
    bytes[kHeaderSize + 3] ^= 0x01;  // first entry's checksum
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(volinspect::kDamaged, volinspect::Inspect(path_, "", out_, err_));
    EXPECT_NE(std::string::npos, err_.str().find("damaged volume"));
    EXPECT_EQ(bytes, Slurp(path_));

    bytes[kHeaderSize + 3] ^= 0x01;
    bytes += "torn";
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(volinspect::kOk, volinspect::Inspect(path_, "", out_, err_));
    EXPECT_NE(std::string::npos, out_.str().find("bytes after the log are an unfinished write"));
    EXPECT_EQ(bytes, Slurp(path_));

    EXPECT_EQ(volinspect::kUnreadable, volinspect::Inspect(path_ + ".missing", "", out_, err_));
}

}  // namespace
