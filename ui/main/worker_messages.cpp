// What the install worker posts, applied on the window's thread.
#include "ui/main/main_window.h"

Widget* MainWindow::WorkerElementWidget(WPARAM element)
{
    switch (element) {
    case ELEMENT_SIZE_LABEL: return sizeLabel;
    case ELEMENT_PERCENT_LABEL: return percentLabel;
    case ELEMENT_CAPTION_LABEL: return captionLabel;
    case ELEMENT_RUNNER: return runner;
    case ELEMENT_FAILURE_TITLE: return failureTitle;
    case ELEMENT_FAILURE_HEADER: return failureHeader;
    case ELEMENT_FAILURE_REASONS: return failureReasons;
    case ELEMENT_RETRY_BUTTON: return retryButton;
    case ELEMENT_FAILURE_PANEL: return failurePanel.get();
    default: return nullptr;
    }
}

bool MainWindow::OnWorkerMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case MSG_WORKER_TEXT: {
        std::unique_ptr<std::wstring> text = TakeWorkerText(lParam);
        if (auto* label = dynamic_cast<TextLabel*>(WorkerElementWidget(wParam)))
            label->SetLabelText(text->c_str());
        return true;
    }
    case MSG_WORKER_VISIBLE:
        if (Widget* widget = WorkerElementWidget(wParam)) {
            // The player may have dragged the window since the panel was
            // made: it must cover the window where it is now.
            if (widget == failurePanel.get() && lParam)
                failurePanel->CenterWindow(nullptr);
            widget->SetVisible(lParam ? 1 : 0);
        }
        return true;
    case MSG_WORKER_TIMER:
        // A pause that came before the worker's first step: the runner
        // starts with the continue instead.
        if (wParam == TIMER_ANIMATION && lParam && installState.load() != Installing)
            return true;
        if (lParam)
            SetTimer(wParam, static_cast<UINT>(lParam));
        else
            KillTimer(wParam);
        return true;
    case MSG_WORKER_PATH:
        AnswerPathRequest(lParam, pathLabel->GetLabelText());
        return true;
    default:
        return false;
    }
}
