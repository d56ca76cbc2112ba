#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "app/build_values.h"
#include "app/config.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/windows.h"

namespace {

// Loads one of the string-table libraries built beside this test.
class StringTable {
public:
    explicit StringTable(const wchar_t* name)
        : module_(LoadLibraryW(BuildPath(std::wstring(L"tests/app/") + name + L".dll").c_str()))
    {
    }
    ~StringTable()
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

AppConfig LoadWith(const wchar_t* table, size_t expectedBoxes, std::vector<std::wstring>* boxes = nullptr)
{
    StringTable strings(table);
    EXPECT_TRUE(strings.get()) << "missing string table " << testing::PrintToString(std::wstring(table));
    appConfig = AppConfig();
    lstrcpyA(appConfig.updateHost, kOfficialUpdateHost);

    // Boxes are answered whether expected or not, so a fault fails the
    // test instead of hanging it.
    std::vector<std::wstring> seen;
    std::atomic<bool> done{false};
    std::thread answer([&] { seen = AnswerMessageBoxes(GetCurrentProcessId(), 4, 20000, &done); });
    loadConfiguration(strings.get());
    done = true;
    answer.join();
    EXPECT_EQ(expectedBoxes, seen.size()) << testing::PrintToString(seen);
    if (boxes)
        *boxes = seen;
    return appConfig;
}

}  // namespace

TEST(LoadConfiguration, ReadsEveryString)
{
    AppConfig config = LoadWith(L"strings_full", 0);
    EXPECT_EQ(200500, config.channelId);
    EXPECT_EQ(0, config.officialFlag);
    EXPECT_STREQ("/update/kpwd_lobby.zip", config.downloadPath);
    EXPECT_STREQ(L"http://127.0.0.1/banner_download/index.do?siteID=100&channelID=0", config.bannerUrl);
    EXPECT_STREQ(kOfficialUpdateHost, config.updateHost);
}

TEST(LoadConfiguration, OnlyFlagOneSelectsTheTestHost)
{
    EXPECT_STREQ(kTestUpdateHost, LoadWith(L"strings_flag_1", 0).updateHost);
    for (const wchar_t* table : {L"strings_flag_2", L"strings_flag_minus1", L"strings_flag_text"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(table)));
        EXPECT_STREQ(kOfficialUpdateHost, LoadWith(table, 0).updateHost);
    }
}

TEST(LoadConfiguration, MissingStringsShowOneBoxEachAndKeepDefaults)
{
    std::vector<std::wstring> boxes;
    AppConfig config = LoadWith(L"strings_none", 4, &boxes);
    ASSERT_EQ(4u, boxes.size());
    EXPECT_EQ(L"读取ID_CHANNAL配置错误", boxes[0]);
    EXPECT_EQ(L"读取ID_IFOFFICIAL配置错误", boxes[1]);
    EXPECT_EQ(L"读取ID_DOWNLOADURL配置错误", boxes[2]);
    EXPECT_EQ(L"读取ID_BANNERURL配置错误", boxes[3]);
    EXPECT_EQ(0, config.channelId);
    EXPECT_EQ(0, config.officialFlag);
    EXPECT_STREQ("", config.downloadPath);
    EXPECT_STREQ(L"", config.bannerUrl);
    EXPECT_STREQ(kOfficialUpdateHost, config.updateHost);
}

TEST(LoadConfiguration, LongBannerUrlIsCutByTheLoader)
{
    AppConfig config = LoadWith(L"strings_long_banner", 0);
    EXPECT_EQ(1023u, wcslen(config.bannerUrl));
}
