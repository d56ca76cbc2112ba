#include "install/pause_gate.h"

PauseGate::PauseGate() : running_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

// The event is reset before the flag is raised and set after it is lowered,
// so a worker that sees the flag finds the event in the matching state or
// passes one more checkpoint.
void PauseGate::Pause()
{
    ResetEvent(running_.get());
    paused_.store(true);
}

void PauseGate::Continue()
{
    paused_.store(false);
    SetEvent(running_.get());
}

void PauseGate::Checkpoint() const
{
    if (!paused_.load())
        return;
    holding_.store(true);
    WaitForSingleObject(running_.get(), INFINITE);
    holding_.store(false);
}
