#include <gtest/gtest.h>

#include "app/share_id.h"

TEST(ShareIdFromPath, TakesTheDigitsAfterTheLastUnderscore)
{
    EXPECT_EQ("2001", ShareIdFromPath("C:\\dl\\Download_kp_2001.exe"));
    EXPECT_EQ("0042", ShareIdFromPath("C:\\dl\\Download_kp_0042.exe"));
    EXPECT_EQ("12", ShareIdFromPath("C:\\a_12.3.exe"));
}

TEST(ShareIdFromPath, NamesWithoutANumberGiveNothing)
{
    EXPECT_EQ("", ShareIdFromPath("C:\\dl\\Download_kp.exe"));
    EXPECT_EQ("", ShareIdFromPath("C:\\dl\\setup.exe"));
    EXPECT_EQ("", ShareIdFromPath("C:\\dl\\___"));
    EXPECT_EQ("", ShareIdFromPath("C:\\dl\\x_.exe"));
}
