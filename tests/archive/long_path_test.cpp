#include <gtest/gtest.h>

#include "archive/long_path.h"

TEST(ToLongPath, PrefixesDrivePathsAndRewritesUncAndDevicePaths)
{
    EXPECT_EQ(L"\\\\?\\C:\\games\\x", ToLongPath(L"C:\\games\\x"));
    EXPECT_EQ(L"\\\\?\\C:\\", ToLongPath(L"C:\\"));
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\x\\", ToLongPath(L"\\\\server\\share\\x\\"));
    EXPECT_EQ(L"\\\\?\\C:\\x", ToLongPath(L"\\\\.\\C:\\x"));
    EXPECT_EQ(L"\\\\?\\C:\\x", ToLongPath(L"\\\\?\\C:\\x"));
    EXPECT_EQ(L"\\\\?\\UNC\\s\\t", ToLongPath(L"\\\\?\\UNC\\s\\t"));
}

TEST(LongPathRootLength, CoversTheVolumeOrTheShare)
{
    EXPECT_EQ(7u, LongPathRootLength(L"\\\\?\\C:\\games\\x"));
    EXPECT_EQ(7u, LongPathRootLength(L"\\\\?\\C:\\"));
    EXPECT_EQ(21u, LongPathRootLength(L"\\\\?\\UNC\\server\\share\\x\\y"));
    EXPECT_EQ(20u, LongPathRootLength(L"\\\\?\\UNC\\server\\share"));
    EXPECT_EQ(49u, LongPathRootLength(L"\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\x"));
    EXPECT_EQ(0u, LongPathRootLength(L"C:\\x"));
}
