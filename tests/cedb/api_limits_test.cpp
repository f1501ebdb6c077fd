// The platform API at its limits: volume identities, bad arguments that must
// be refused rather than followed, and information structures that hold
// nothing but what they describe.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/cedb/core/volume.h"
#include "platform/cedb/fixed_text.h"
#include "platform/cedb/windbase.h"
#include "tests/cedb/api_support.h"

namespace {

const CEPROPID kName = 0x0001001F;  // string
const CEPROPID kAge = 0x00020003;   // I4
const CEPROPID kData = 0x00030041;  // BLOB

class ApiLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = cedb_test::NewTempFolder();
        path = cedb_test::JoinPath(folder, L"limits.vol");
        ASSERT_TRUE(CeMountDBVol(&volume, path.c_str(), OPEN_ALWAYS));
        CEDBASEINFO info = {};
        info.dwFlags = CEDB_VALIDCREATE;
        cedb::CopyFixedText(info.szDbaseName, CEDB_MAXDBASENAMELEN, L"People");
        info.wNumSortOrder = 2;
        info.rgSortSpecs[0].propid = kName;
        info.rgSortSpecs[1].propid = kAge;
        info.rgSortSpecs[1].dwFlags = CEDB_SORT_DESCENDING;
        database = CeCreateDatabaseEx(&volume, &info);
        ASSERT_NE(0u, database);
        CEOID oid = 0;
        handle = CeOpenDatabaseEx(&volume, &oid, L"People", kName, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    }
    void TearDown() override
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        if (mounted)
            CeUnmountDBVol(&volume);
    }

    CEGUID volume = {};
    bool mounted = true;
    CEOID database = 0;
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring folder, path;
};

TEST_F(ApiLimits, OneFileIsOneVolumeHoweverItsPathIsSpelledUntilTheLastUnmount)
{
    CEGUID again = {};
    const std::wstring detour = cedb_test::JoinPath(cedb_test::JoinPath(folder, L"."), L"limits.vol");
    ASSERT_TRUE(CeMountDBVol(&again, detour.c_str(), OPEN_EXISTING));
    EXPECT_EQ(0, std::memcmp(&again, &volume, sizeof again));
    EXPECT_TRUE(CeUnmountDBVol(&again));

    CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    ASSERT_TRUE(CeUnmountDBVol(&volume));
    mounted = false;
    // Unmounted, its identifier names nothing any more.
    CEOID oid = 0;
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CeOpenDatabaseEx(&volume, &oid, L"People", 0, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    ASSERT_TRUE(CeMountDBVol(&volume, path.c_str(), OPEN_EXISTING));
    mounted = true;
}

TEST_F(ApiLimits, VolumeIdentifiersOutsideTheMountedOnesAreRefused)
{
    for (DWORD slot : {0ul, 2ul, 999ul}) {
        CEGUID bogus = volume;
        bogus.Data1 = slot;
        CEOID oid = 0;
        SetLastError(0);
        EXPECT_EQ(INVALID_HANDLE_VALUE, CeOpenDatabaseEx(&bogus, &oid, L"People", 0, 0, nullptr))
            << slot;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << slot;
    }
}

TEST_F(ApiLimits, BlobsBeyondTheRecordLimitOrWithoutTheirBytesAreRefused)
{
    std::vector<BYTE> big(cedb::kMaxRecordBytes + 1, 7);
    CEPROPVAL blob = {};
    blob.propid = kData;
    blob.val.blob.dwCount = static_cast<DWORD>(big.size());
    blob.val.blob.lpb = big.data();
    SetLastError(0);
    EXPECT_EQ(0u, CeWriteRecordProps(handle, 0, 1, &blob));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    blob.val.blob.dwCount = 5;
    blob.val.blob.lpb = nullptr;
    EXPECT_EQ(0u, CeWriteRecordProps(handle, 0, 1, &blob));

    blob.val.blob.dwCount = 3;
    blob.val.blob.lpb = big.data();
    EXPECT_NE(0u, CeWriteRecordProps(handle, 0, 1, &blob)) << "a small blob is fine";
}

TEST_F(ApiLimits, ASeekForValuesNeedsTheValues)
{
    SetLastError(0);
    EXPECT_EQ(0u, CeSeekDatabaseEx(handle, CEDB_SEEK_VALUEFIRSTEQUAL, 0, 1, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(ApiLimits, DatabaseInformationHoldsEverySortOrderAndZeroesTheRest)
{
    CEOIDINFOEX info;
    std::memset(&info, 0xAB, sizeof info);
    info.wVersion = CEOIDINFOEX_VERSION;
    ASSERT_TRUE(CeOidGetInfoEx2(&volume, database, &info));
    const CEDBASEINFOEX& db = info.infDatabase;
    EXPECT_STREQ(L"People", db.szDbaseName);
    ASSERT_EQ(2, db.wNumSortOrder);
    EXPECT_EQ(kName, db.rgSortSpecs[0].rgPropID[0]);
    EXPECT_EQ(kAge, db.rgSortSpecs[1].rgPropID[0]);
    EXPECT_EQ(static_cast<DWORD>(CEDB_SORT_DESCENDING), db.rgSortSpecs[1].rgdwFlags[0]);
    EXPECT_EQ(0, db.rgSortSpecs[2].wNumProps);
    EXPECT_EQ(0u, db.rgSortSpecs[2].rgPropID[0]);
    EXPECT_EQ(0u, db.rgSortSpecs[0].rgPropID[1]);
    EXPECT_EQ(0, db.szDbaseName[CEDB_MAXDBASENAMELEN - 1]);
}

}  // namespace
