#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/debug_log.h"
#include "app/narrow_texts.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string Format(const char* format, ...)
{
    char out[kLogLineMax + 16];
    memset(out, 0x55, sizeof out);
    va_list args;
    va_start(args, format);
    size_t length = FormatLogLine(out, format, args);
    va_end(args);
    EXPECT_LE(length, kLogLineMax);
    // Nothing past the line buffer may be touched.
    for (size_t i = kLogLineMax; i < sizeof out; ++i)
        EXPECT_EQ(0x55, static_cast<unsigned char>(out[i])) << "byte " << i;
    return std::string(out, length);
}

// Runs with the current directory in a scratch folder, where the log lives.
class DebugLogTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryW(MAX_PATH, saved_);
        ASSERT_TRUE(SetCurrentDirectoryW(dir_.path().c_str()));
    }
    void TearDown() override { SetCurrentDirectoryW(saved_); }

    std::wstring LogPath() const { return dir_ / L"__lobby_dl_debug.log"; }

    ScratchDir dir_;
    wchar_t saved_[MAX_PATH];
};

}  // namespace

TEST(FormatLogLine, FormatsLikeTheRuntime)
{
    EXPECT_EQ("ShellExecuteEx [1223]", Format("ShellExecuteEx [%d]", 1223));
    EXPECT_EQ("not found x32 'Quillmoor'", Format("not found x32 '%s'", "Quillmoor"));
}

TEST(FormatLogLine, FailureFormatIsGbkAndLogsTheWholeWideUrl)
{
    const unsigned char gbk[] = {0xB0, 0xB2, 0xD7, 0xB0, 0xCA, 0xA7, 0xB0, 0xDC, 0xA3, 0xA1};
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(gbk), sizeof gbk) + "strURL=%Ls",
              std::string(kLogInstallFailed));
    std::string line = Format(kLogInstallFailed, L"http://127.0.0.1/a?b=1");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(gbk), sizeof gbk) + "strURL=http://127.0.0.1/a?b=1", line);
}

TEST(FormatLogLine, LongLineIsCutAtTheBufferSize)
{
    std::string big(10000, 'x');
    std::string line = Format("%s", big.c_str());
    EXPECT_EQ(kLogLineMax, line.size());
    EXPECT_EQ(std::string(kLogLineMax, 'x'), line);

    std::string exact(kLogLineMax, 'y');
    EXPECT_EQ(exact, Format("%s", exact.c_str()));
}

TEST_F(DebugLogTest, WritesNothingAndCreatesNothingWithoutTheFile)
{
    DebugLog log;
    log.Open();
    EXPECT_FALSE(log.IsOpen());
    log.Write("IsWow64 = %s", "false");
    EXPECT_FALSE(FileExists(LogPath()));
}

TEST_F(DebugLogTest, OverwritesFromTheStartAndKeepsOlderBytesBeyond)
{
    std::string old(10 * 1024, 'o');
    WriteFileBytes(LogPath(), old);

    DebugLog log;
    log.Open();
    ASSERT_TRUE(log.IsOpen());
    log.Write("IsWow64 = %s", "true");
    log.Write("hProcess = NULL");

    std::string expected = "IsWow64 = true\r\nhProcess = NULL\r\n";
    std::string bytes = ReadFileBytes(LogPath());
    ASSERT_EQ(old.size(), bytes.size());
    EXPECT_EQ(expected, bytes.substr(0, expected.size()));
    EXPECT_EQ(old.substr(expected.size()), bytes.substr(expected.size()));
}

TEST_F(DebugLogTest, OthersMayReadWhileTheLogIsOpen)
{
    WriteFileBytes(LogPath(), "");
    DebugLog log;
    log.Open();
    log.Write("sendmessage WM_APP+2");
    EXPECT_EQ("sendmessage WM_APP+2\r\n", ReadFileBytes(LogPath()));
}

TEST(WidenStringConversions, TouchesOnlyLongStringConversions)
{
    EXPECT_EQ("a %ls b", WidenStringConversions("a %Ls b"));
    EXPECT_EQ("%-20ls|%%Ls|%Lf|%s", WidenStringConversions("%-20Ls|%%Ls|%Lf|%s"));
}
