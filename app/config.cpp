#include "app/config.h"

#include <cstdlib>
#include <cstring>

#include "app/build_values.h"
#include "app/narrow_texts.h"

namespace {

AppConfig MakeDefaultConfig()
{
    AppConfig config;
    lstrcpynA(config.updateHost, kOfficialUpdateHost, sizeof config.updateHost);
    return config;
}

void ShowConfigError(const char* text)
{
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

}  // namespace

AppConfig appConfig = MakeDefaultConfig();

const ProductRow productRow = {
    L"Quillmoor",
    L"ZelkGame\\Lobby\\Share\\shareid_100",
    "kp_lobby.install",
};

const wchar_t* const tipTexts[kTipCount] = {
    L"玩游戏赠送奖品券，奖品券可免费兑换实物奖励。",
    L"每天游戏10分钟，随着等级增长可获得的积分奖励越丰富。",
    L"每天游戏10分钟，随着等级增长可获得的积分奖励越丰富。",
    L"积分不足1000，每天可2次免费补助至1000积分。",
    L"进入休息房，无需游戏每30分钟可获得大量积分。",
};

void loadConfiguration(HMODULE module)
{
    char buffer[1024];

    memset(buffer, 0, sizeof buffer);
    if (LoadStringA(module, ID_CHANNAL, buffer, sizeof buffer) > 0)
        appConfig.channelId = atoi(buffer);
    else
        ShowConfigError(kTextChannelIdError);

    memset(buffer, 0, sizeof buffer);
    if (LoadStringA(module, ID_IFOFFICIAL, buffer, sizeof buffer) > 0)
        appConfig.officialFlag = atoi(buffer);
    else
        ShowConfigError(kTextOfficialFlagError);

    if (appConfig.officialFlag == 1)
        lstrcpynA(appConfig.updateHost, kTestUpdateHost, sizeof appConfig.updateHost);

    if (LoadStringA(module, ID_DOWNLOADURL, appConfig.downloadPath, sizeof appConfig.downloadPath) <= 0)
        ShowConfigError(kTextDownloadUrlError);

    if (LoadStringW(module, ID_BANNERURL, appConfig.bannerUrl, 1024) <= 0)
        ShowConfigError(kTextBannerUrlError);
}
