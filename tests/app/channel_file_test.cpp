#include <gtest/gtest.h>
#include <windows.h>

#include "app/channel_file.h"
#include "app/config.h"
#include "tests/support/scratch_dir.h"

namespace {

class ChannelFileTest : public testing::Test {
protected:
    void SetUp() override { saved_ = appConfig.channelId; }
    void TearDown() override { appConfig.channelId = saved_; }

    std::wstring FilePath() const { return dir_ / L"IsLobbyLogin.dat"; }

    ScratchDir dir_;
    int saved_ = 0;
};

}  // namespace

TEST_F(ChannelFileTest, WritesTheChannelSection)
{
    appConfig.channelId = 200500;
    writeChannelFile(dir_.path().c_str());
    EXPECT_EQ("[ChannelID]\r\nChannelID=200500\r\n", ReadFileBytes(FilePath()));

    char value[32] = {};
    std::string path(dir_.path().begin(), dir_.path().end());
    GetPrivateProfileStringA("ChannelID", "ChannelID", "", value, sizeof value, (path + "IsLobbyLogin.dat").c_str());
    EXPECT_STREQ("200500", value);
}

TEST_F(ChannelFileTest, ReplacesTheValueAndKeepsOtherContent)
{
    WriteFileBytes(FilePath(), "[Other]\r\nKey=1\r\n[ChannelID]\r\nChannelID=7\r\nExtra=x\r\n");
    appConfig.channelId = 42;
    writeChannelFile(dir_.path().c_str());
    EXPECT_EQ("[Other]\r\nKey=1\r\n[ChannelID]\r\nChannelID=42\r\nExtra=x\r\n", ReadFileBytes(FilePath()));
}

TEST_F(ChannelFileTest, NoChannelNoFile)
{
    for (int id : {0, -1}) {
        appConfig.channelId = id;
        writeChannelFile(dir_.path().c_str());
        EXPECT_FALSE(FileExists(FilePath())) << "channel " << id;
    }
}

TEST_F(ChannelFileTest, MissingFolderOrOverlongPathLeavesNoFile)
{
    appConfig.channelId = 5;
    writeChannelFile((dir_ / L"absent\\").c_str());
    EXPECT_FALSE(FileExists(dir_ / L"absent\\IsLobbyLogin.dat"));

    std::wstring deep = dir_.path() + std::wstring(1010, L'd') + L"\\";
    writeChannelFile(deep.c_str());
    EXPECT_FALSE(FileExists(dir_ / L"IsLobbyLogin.dat"));
}
