// What the install worker queues, applied on the window's thread.
#include "ui/main/main_window.h"

#include "install/install_client.h"

namespace {

// A worker ends at its next chunk, checkpoint or rest, or after the
// request under way times out; an extraction may take longer.
constexpr DWORD kWorkerStopWaitMs = 10000;

}  // namespace

Widget* MainWindow::WorkerElementWidget(UINT_PTR element)
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

void MainWindow::ApplyWorkerUpdates()
{
    for (const WorkerUpdate& update : workerQueue->TakeAll()) {
        switch (update.request) {
        case WorkerRequest::Text:
            if (auto* label = dynamic_cast<TextLabel*>(WorkerElementWidget(update.target)))
                label->SetLabelText(update.text.c_str());
            break;
        case WorkerRequest::Visible:
            if (Widget* widget = WorkerElementWidget(update.target)) {
                // The player may have dragged the window since the panel
                // was made: it must cover the window where it is now.
                if (widget == failurePanel.get() && update.value)
                    failurePanel->CenterWindow(nullptr);
                widget->SetVisible(update.value ? 1 : 0);
            }
            break;
        case WorkerRequest::Timer:
            // A pause that came before the worker's first step: the runner
            // starts with the continue instead.
            if (update.target == TIMER_ANIMATION && update.value && installState.load() != Installing)
                break;
            if (update.value)
                SetTimer(update.target, update.value);
            else
                KillTimer(update.target);
            break;
        case WorkerRequest::Activate:
            OnActivate();
            break;
        }
    }
}

void MainWindow::StopWorker()
{
    Stop();
    if (!workerThread || WaitForSingleObject(workerThread.get(), kWorkerStopWaitMs) == WAIT_OBJECT_0)
        return;
    // Still inside a long step (an extraction): what it uses must not be
    // freed under it, so the process ends here, as it usually does.
    TerminateProcess(GetCurrentProcess(), 0);
}
