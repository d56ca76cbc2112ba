// The failure panel of a worker that ends without an installation.
#pragma once

#include "install/window_link.h"

enum FailureKind : int {
    DownloadFailed = 0,
    InstallFailed = 1,
};

// Fills the panel's texts (title, header, reasons), shows the retry button
// for a download failure only, then shows the panel.
void showFailure(const WindowLink& window, FailureKind kind);
