#pragma once

#include "link/LinkThread.h"

#include <memory>
#include <mutex>
#include <vector>

namespace quorlex {

// Owns every thread the link started, so none outlives the link. Threads that
// have ended are joined when the next one is added.
class LinkThreadList {
public:
    LinkThreadList() = default;
    ~LinkThreadList() { JoinAll(); }
    LinkThreadList(const LinkThreadList&) = delete;
    LinkThreadList& operator=(const LinkThreadList&) = delete;

    // The thread is joined when the list and every holder of the returned
    // pointer let go of it.
    std::shared_ptr<LinkThread> Add(std::unique_ptr<LinkThread> thread);
    // Joins every thread, also those added meanwhile by the threads being joined.
    void JoinAll();

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<LinkThread>> threads_;
};

} // namespace quorlex
