// Where an install worker stops while the player has paused it, and how a
// worker is told to end. The worker waits only at its checkpoints (between
// chunks, attempts and steps), where it holds nothing the window's thread
// could wait for: no heap or library lock, unlike a thread suspended at an
// arbitrary instruction.
#pragma once

#include <windows.h>

#include <atomic>

#include "base/unique_resource.h"

class PauseGate {
public:
    PauseGate();
    PauseGate(const PauseGate&) = delete;
    PauseGate& operator=(const PauseGate&) = delete;

    // Any thread; none of them waits.
    void Pause();
    void Continue();
    // For good: every checkpoint and rest after it returns at once.
    void Stop();
    bool Stopped() const { return stopped_.load(); }
    // True while the worker waits at a checkpoint.
    bool IsHolding() const { return holding_.load(); }
    // How often it was paused so far: tells the worker that time went by
    // on the player's account.
    unsigned Pauses() const { return pauses_.load(); }

    // The worker: returns at once while running, otherwise when continued;
    // false once stopped.
    bool Checkpoint() const;
    // The worker: waits `ms`, or less when paused or stopped meanwhile.
    void Rest(DWORD ms) const;

private:
    // The flag spares the running worker a wait on the event after every
    // chunk: under Wine each wait is a round trip to the server.
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopped_{false};
    std::atomic<unsigned> pauses_{0};
    UniqueHandle running_;      // manual-reset event, set while not paused
    UniqueHandle interrupted_;  // manual-reset event, set while paused or stopped
    mutable std::atomic<bool> holding_{false};
};
