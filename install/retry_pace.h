// How long the download loop rests after an attempt that brought nothing:
// half a second at first, twice as long after each such attempt, never
// more than eight seconds. An unreachable or refusing host then sees a
// few dozen requests from a player, not a stream of them back to back.
#pragma once

#include <cstdint>

class RetryPace {
public:
    static constexpr uint32_t kFirstMs = 500;
    static constexpr uint32_t kLongestMs = 8000;

    // The rest before the next attempt; the one after it is longer.
    uint32_t Next()
    {
        uint32_t rest = nextMs_;
        nextMs_ = rest >= kLongestMs / 2 ? kLongestMs : rest * 2;
        return rest;
    }
    // An attempt that brought bytes: the host is there again.
    void Reset() { nextMs_ = kFirstMs; }

private:
    uint32_t nextMs_ = kFirstMs;
};
