// The download loop's count of failed attempts that brought no new bytes.
#pragma once

#include <cstdint>

class StallCount {
public:
    // After a failed attempt, with the received-bytes counter before and
    // after it. True on the sixth such attempt in a row: the counter is to
    // be zeroed (and the count starts again).
    bool AfterFailure(uint64_t before, uint64_t after)
    {
        if (after != before) {
            count_ = 0;
            return false;
        }
        if (++count_ <= 5)
            return false;
        count_ = 0;
        return true;
    }

private:
    int count_ = 0;
};
