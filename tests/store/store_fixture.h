// Helpers shared by the store tests: a running program in its own sandbox,
// and small readers of what the volume holds.
#pragma once
#include "platform/cedb/windbase.h"
#include "store/activity_record.h"
#include "tests/harness/file_bytes.h"
#include "tests/harness/scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Every text record of a database, read in the order of PROPID_TEXT.
std::vector<std::wstring> ReadAllTexts(const wchar_t* database, bool descending = false);

// Names of every database in the mounted volume.
std::vector<std::wstring> DatabaseNames();

// A filled activity for contact `contact`, with distinct texts.
ActivityRecord SampleActivity(CEOID contact, double nextDate, const wchar_t* event = L"Phone Call");

// Whether two activities hold the same thirteen properties.
bool SameActivity(const ActivityRecord& a, const ActivityRecord& b);

// How many database and enumeration handles of the service are open.
size_t OpenServiceHandles();
// Bytes in the blocks the process's heaps have handed out and not had back.
size_t HeapBytesInUse();

// A mounted volume of its own for each test, closed as the program's exit
// closes it; every handle the test's store calls opened must be closed again.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        handlesBefore = OpenServiceHandles();
        ASSERT_TRUE(scenario.OpenStore());
    }
    void TearDown() override
    {
        scenario.CloseStore();
        EXPECT_EQ(handlesBefore, OpenServiceHandles()) << "a handle was left open";
    }

    Scenario scenario;
    size_t handlesBefore = 0;
};
