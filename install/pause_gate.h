// Where an install worker stops while the player has paused it. The worker
// waits only at its checkpoints (between chunks, attempts and steps), where
// it holds nothing the window's thread could wait for: no heap or library
// lock, unlike a thread suspended at an arbitrary instruction.
#pragma once

#include <atomic>

#include "base/unique_resource.h"

class PauseGate {
public:
    PauseGate();
    PauseGate(const PauseGate&) = delete;
    PauseGate& operator=(const PauseGate&) = delete;

    // Any thread; neither waits.
    void Pause();
    void Continue();
    // True while the worker waits at a checkpoint.
    bool IsHolding() const { return holding_.load(); }

    // The worker: returns at once while running, otherwise when continued.
    void Checkpoint() const;

private:
    // The flag spares the running worker a wait on the event after every
    // chunk: under Wine each wait is a round trip to the server.
    std::atomic<bool> paused_{false};
    UniqueHandle running_;  // manual-reset event, set while not paused
    mutable std::atomic<bool> holding_{false};
};
