#include "install/pause_gate.h"

PauseGate::PauseGate()
    : running_(CreateEventW(nullptr, TRUE, TRUE, nullptr)), interrupted_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

// The running event is reset before the flag is raised and set after it is
// lowered, so a worker that sees the flag finds the event in the matching
// state or passes one more checkpoint.
void PauseGate::Pause()
{
    ResetEvent(running_.get());
    paused_.store(true);
    pauses_.fetch_add(1);
    SetEvent(interrupted_.get());
}

void PauseGate::Continue()
{
    if (!stopped_.load())
        ResetEvent(interrupted_.get());
    paused_.store(false);
    SetEvent(running_.get());
}

void PauseGate::Stop()
{
    stopped_.store(true);
    SetEvent(interrupted_.get());
    SetEvent(running_.get());
}

bool PauseGate::Checkpoint() const
{
    if (paused_.load() && !stopped_.load()) {
        holding_.store(true);
        WaitForSingleObject(running_.get(), INFINITE);
        holding_.store(false);
    }
    return !stopped_.load();
}

void PauseGate::Rest(DWORD ms) const
{
    if (paused_.load() || stopped_.load())
        return;
    WaitForSingleObject(interrupted_.get(), ms);
}
