// Compiled with -fexec-charset=GBK (app/CMakeLists.txt); keep standard
// headers out of this file, some of them do not survive that charset.
#include "app/narrow_texts.h"

const char kTextChannelIdError[] = "读取ID_CHANNAL配置错误";
const char kTextOfficialFlagError[] = "读取ID_IFOFFICIAL配置错误";
const char kTextDownloadUrlError[] = "读取ID_DOWNLOADURL配置错误";
const char kTextBannerUrlError[] = "读取ID_BANNERURL配置错误";
const char kTextWindowTitle[] = "客户端下载器";
const char kLogInstallFailed[] = "安装失败！strURL=%Ls";
const char kTextDiskFull[] = "硬盘空间不足，请检查后再重试。";
const char kTextPathTooLong[] = "安装路径过长，请选择其他文件夹。";
const char kTextPathNotInCodePage[] = "安装路径含有无法识别的字符，请选择其他文件夹。";
