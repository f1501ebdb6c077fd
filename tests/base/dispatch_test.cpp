// The message and command tables carry every message of the main window:
// its window-level suites try them. What they cannot reach is the range of
// profile commands beyond the profiles a test makes.
#include "base/dispatch.h"

#include <gtest/gtest.h>

TEST(ProfileCommands, RangeRunsFromAllToTheLastProfile)
{
    // No profiles: only "All".
    EXPECT_TRUE(IsProfileCommand(60000, 0));
    EXPECT_FALSE(IsProfileCommand(60001, 0));
    EXPECT_FALSE(IsProfileCommand(59999, 0));
    // n profiles: 60000 + n is the last one, one more is nothing.
    EXPECT_TRUE(IsProfileCommand(60003, 3));
    EXPECT_FALSE(IsProfileCommand(60004, 3));
    EXPECT_TRUE(IsProfileCommand(65535, 5535));
    EXPECT_FALSE(IsProfileCommand(60000, -1));
}
