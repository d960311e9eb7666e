#include "link/LinkThread.h"

namespace quorlex {

std::unique_ptr<LinkThread> LinkThread::Start(ThreadStarter& starter, std::function<void()> body) {
    std::unique_ptr<LinkThread> thread(new LinkThread());
    auto run = [completion = thread->completion_, body = std::move(body)] {
        body();
        const std::lock_guard lock(completion->mutex);
        completion->finished = true;
        completion->ended.notify_all();
    };
    if (!starter.Start(thread->thread_, std::move(run))) {
        return nullptr;
    }
    thread->id_ = thread->thread_.get_id();
    return thread;
}

LinkThread::~LinkThread() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool LinkThread::WaitFinished(std::chrono::milliseconds limit) {
    std::unique_lock lock(completion_->mutex);
    return completion_->ended.wait_for(lock, limit, [this] { return completion_->finished; });
}

bool LinkThread::Finished() {
    const std::lock_guard lock(completion_->mutex);
    return completion_->finished;
}

} // namespace quorlex
