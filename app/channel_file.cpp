#include "app/channel_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/config.h"

void writeChannelFile(const wchar_t* installDir)
{
    if (appConfig.channelId <= 0)
        return;
    char value[16];
    snprintf(value, sizeof value, "%d", appConfig.channelId);

    static const char kName[] = "IsLobbyLogin.dat";
    char path[1024];
    int length = WideCharToMultiByte(CP_ACP, 0, installDir, -1, path, sizeof path, nullptr, nullptr);
    // A path that does not fit leaves no file rather than a cut one.
    if (length <= 0 || length - 1 + sizeof kName > sizeof path)
        return;
    memcpy(path + length - 1, kName, sizeof kName);
    WritePrivateProfileStringA("ChannelID", "ChannelID", value, path);
}
