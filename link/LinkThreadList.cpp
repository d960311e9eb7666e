#include "link/LinkThreadList.h"

#include <algorithm>

namespace quorlex {

std::shared_ptr<LinkThread> LinkThreadList::Add(std::unique_ptr<LinkThread> thread) {
    std::vector<std::shared_ptr<LinkThread>> ended;
    std::shared_ptr<LinkThread> added = std::move(thread);
    {
        const std::lock_guard lock(mutex_);
        const auto firstEnded = std::stable_partition(threads_.begin(), threads_.end(),
                                                      [](const auto& t) { return !t->Finished(); });
        std::move(firstEnded, threads_.end(), std::back_inserter(ended));
        threads_.erase(firstEnded, threads_.end());
        threads_.push_back(added);
    }
    // Joined outside the lock; their bodies have already returned.
    ended.clear();
    return added;
}

void LinkThreadList::JoinAll() {
    for (;;) {
        std::vector<std::shared_ptr<LinkThread>> joining;
        {
            const std::lock_guard lock(mutex_);
            joining.swap(threads_);
        }
        if (joining.empty()) {
            return;
        }
        joining.clear();
    }
}

} // namespace quorlex
