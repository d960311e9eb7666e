#pragma once

#include <cstdint>
#include <string>

namespace quorlex {

// The block that travels with every progress notification.
struct BatchProgress {
    int32_t position = 0; // ticks consumed so far
    int32_t total = 0;    // sum of the budgets queued when the batch started
    std::u16string status;
    int32_t failed = 0; // 1 when the most recently finished item ran out of time
};

} // namespace quorlex
