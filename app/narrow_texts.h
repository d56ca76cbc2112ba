// The program's narrow (ANSI) texts, stored in GBK, the code page its
// players run. Wide texts stay in the code as UTF-16 literals.
#pragma once

extern const char kTextChannelIdError[];
extern const char kTextOfficialFlagError[];
extern const char kTextDownloadUrlError[];
extern const char kTextBannerUrlError[];
extern const char kTextWindowTitle[];
extern const char kLogInstallFailed[];
extern const char kTextDiskFull[];
extern const char kTextPathTooLong[];
extern const char kTextPathNotInCodePage[];
