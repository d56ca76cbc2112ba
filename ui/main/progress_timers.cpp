// The window's periodic displays: progress, the running figure and tips.
#include "ui/main/main_window.h"

#include "app/config.h"
#include "ui/main/progress_view.h"

void MainWindow::OnTimer(UINT_PTR timerId)
{
    switch (timerId) {
    case TIMER_PROGRESS:
        OnProgressTimer();
        break;
    case TIMER_ANIMATION:
        OnAnimationTimer();
        break;
    case TIMER_TIPS:
        OnTipsTimer();
        break;
    case TIMER_ICON_TIP:
        OnIconTipTimer();
        break;
    case TIMER_TIP_CLOSE:
        OnTipCloseTimer();
        break;
    }
}

void MainWindow::OnProgressTimer()
{
    ProgressView view = MakeProgressView(progress().Snapshot());
    sizeLabel->SetLabelText(view.sizeText.c_str());
    speedLabel->SetLabelText(view.speedText.c_str());
    RECT fill = {31, 252, 31 + view.fillWidth, 266};
    RECT scratch;
    progressFill->SetRect(&scratch, &fill, 0);
    RECT figure = {11 + view.fillWidth, 237, 36 + view.fillWidth, 278};
    runner->SetRect(&scratch, &figure, 0);
    percentLabel->SetLabelText(view.percentText.c_str());
}

void MainWindow::OnAnimationTimer()
{
    int col = 0, row = 0;
    runner->GetFrame(&col, &row);
    runner->SetFrame(NextRunnerCell(col), row);
}

void MainWindow::OnTipsTimer()
{
    tipIndex = (tipIndex + 1) % kTipCount;
    tipLabel->SetLabelText(tipTexts[tipIndex]);
}
