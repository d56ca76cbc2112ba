#include "install/pause_gate.h"

PauseGate::PauseGate() : running_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

void PauseGate::Pause()
{
    ResetEvent(running_.get());
}

void PauseGate::Continue()
{
    SetEvent(running_.get());
}

bool PauseGate::IsPaused() const
{
    return WaitForSingleObject(running_.get(), 0) == WAIT_TIMEOUT;
}

void PauseGate::Checkpoint() const
{
    if (WaitForSingleObject(running_.get(), 0) == WAIT_OBJECT_0)
        return;
    holding_.store(true);
    WaitForSingleObject(running_.get(), INFINITE);
    holding_.store(false);
}
