#pragma once

#include "channel/BatchProgress.h"

namespace quorlex {

// Where the command channel reports a batch (the progress dialog). A target
// whose window does not exist yet receives nothing; the block is still updated.
class ProgressTarget {
public:
    virtual ~ProgressTarget() = default;
    virtual bool HasWindow() const = 0;
    // Synchronous: the block may be read during the call only.
    virtual void OnBatchProgress(const BatchProgress& progress) = 0;
};

} // namespace quorlex
