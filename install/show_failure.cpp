#include "install/show_failure.h"

namespace {

struct FailureTexts {
    const wchar_t* title;
    const wchar_t* header;
    const wchar_t* reasons;
};

const FailureTexts kDownload = {
    L"下载失败：",
    L"以下问题可能是造成您下载失败的主要原因：",
    L"1.网络不稳定造成。\n2.安全软件或防火墙阻挡了本次下载。\n3.检查客户端下载器是否是最新版本。",
};

const FailureTexts kInstall = {
    L"安装失败：",
    L"以下问题可能是造成您安装失败的主要原因：",
    L"1.硬盘空间不足或被写保护。\n2.退出正在运行的游戏。\n3.防火墙阻挡导致安装失败。",
};

}  // namespace

void showFailure(const WindowLink& window, FailureKind kind)
{
    const FailureTexts& texts = kind == DownloadFailed ? kDownload : kInstall;
    window.SetText(ELEMENT_FAILURE_TITLE, texts.title);
    window.SetText(ELEMENT_FAILURE_HEADER, texts.header);
    window.SetText(ELEMENT_FAILURE_REASONS, texts.reasons);
    window.SetVisible(ELEMENT_RETRY_BUTTON, kind == DownloadFailed);
    window.SetVisible(ELEMENT_FAILURE_PANEL, true);
}
