#include "link/bluez/SocketTable.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <thread>

using namespace quorlex;
using namespace std::chrono_literals;

namespace {

// A table holding one end of a socket pair; the test keeps the other end.
class SocketTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        int error = 0;
        handle_ = table_.Add(fds[0], error);
        ASSERT_EQ(handle_, fds[0]);
        peer_ = fds[1];
    }
    void TearDown() override { close(peer_); }

    // Starts a wait far longer than any test runs, so only a wake-up can end it.
    std::future<WaitResult> WaitInBackground(const std::stop_token& stop = {}) {
        return std::async(std::launch::async, [this, stop] {
            int error = 0;
            return table_.Wait(handle_, POLLIN, 60s, stop, error);
        });
    }

    SocketTable table_;
    int handle_ = -1;
    int peer_ = -1;
};

bool IsOpen(int fd) {
    return fcntl(fd, F_GETFD) != -1;
}

} // namespace

TEST_F(SocketTableTest, WaitsForDataOrTheTimeOut) {
    int error = 0;
    EXPECT_EQ(table_.Wait(handle_, POLLIN, 20ms, {}, error), WaitResult::TimedOut);
    ASSERT_EQ(write(peer_, "x", 1), 1);
    EXPECT_EQ(table_.Wait(handle_, POLLIN, 60s, {}, error), WaitResult::Ready);
}

TEST_F(SocketTableTest, ShutdownFromAnotherThreadWakesAWaiter) {
    auto waiter = WaitInBackground();
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(table_.Shutdown(handle_));
    ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), WaitResult::Woken);
    // Later waits do not block either, and the peer sees the end of the stream.
    int error = 0;
    EXPECT_EQ(table_.Wait(handle_, POLLIN, 60s, {}, error), WaitResult::Woken);
    char c = 0;
    EXPECT_EQ(read(peer_, &c, 1), 0);
}

TEST_F(SocketTableTest, StopRequestWakesAWaiter) {
    std::stop_source stop;
    auto waiter = WaitInBackground(stop.get_token());
    std::this_thread::sleep_for(20ms);
    stop.request_stop();
    ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), WaitResult::Stopped);

    int error = 0;
    EXPECT_EQ(table_.Wait(handle_, POLLIN, 60s, stop.get_token(), error), WaitResult::Stopped);
}

TEST_F(SocketTableTest, CloseWakesAWaiterAndTheDescriptorOutlivesIt) {
    const SocketTable::EntryPtr held = table_.Find(handle_);
    auto waiter = WaitInBackground();
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(table_.Close(handle_));
    ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), WaitResult::Woken);

    EXPECT_EQ(table_.Find(handle_), nullptr);
    EXPECT_TRUE(IsOpen(handle_)); // still held, so its number cannot be handed out again
    const int fd = held->fd;
    const_cast<SocketTable::EntryPtr&>(held).reset();
    EXPECT_FALSE(IsOpen(fd));

    int error = 0;
    EXPECT_EQ(table_.Wait(handle_, POLLIN, 60s, {}, error), WaitResult::Failed);
    EXPECT_EQ(error, EBADF);
    EXPECT_FALSE(table_.Close(handle_));
    EXPECT_FALSE(table_.Shutdown(handle_));
}
