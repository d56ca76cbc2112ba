// The build configuration read from the string table, and the per-build
// product values compiled in.
#pragma once

#include <windows.h>

struct AppConfig {
    int channelId = 0;
    int officialFlag = 0;
    char downloadPath[1024] = {};
    wchar_t bannerUrl[1024] = {};
    char updateHost[256] = {};
};

// Filled once on the UI thread before the worker exists; read-only after.
extern AppConfig appConfig;

struct ProductRow {
    const wchar_t* displayName;
    const wchar_t* shareKeyPath;  // below HKEY_CURRENT_USER\SOFTWARE
    const char* archiveName;
};

extern const ProductRow productRow;

constexpr int kTipCount = 5;
extern const wchar_t* const tipTexts[kTipCount];

constexpr UINT ID_CHANNAL = 20001;
constexpr UINT ID_DOWNLOADURL = 20002;
constexpr UINT ID_IFOFFICIAL = 20003;
constexpr UINT ID_BANNERURL = 20004;

// Reads strings 20001-20004 of `module` (the program itself when null).
void loadConfiguration(HMODULE module = nullptr);
