#include "tests/link/LinkTestSupport.h"

#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace quorlex::test {

bool IsStatus(const std::string& bytes) {
    for (const auto text :
         {kLinkConnected, kLinkConnectFailed, kLinkPinRefused, kLinkDisconnected, kLinkError}) {
        if (bytes == EncodeCp936(text)) {
            return true;
        }
    }
    return false;
}

void RecordingSink::Deliver(const char* bytes, std::size_t count) {
    std::unique_lock lock(mutex_);
    deliveries_.push_back({std::string(bytes, count), bytes[count] == '\0'});
    if (holdNext_) {
        holdNext_ = false;
        holding_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !holding_; });
    }
    changed_.notify_all();
}

std::vector<RecordingSink::Delivery> RecordingSink::Deliveries() const {
    const std::lock_guard lock(mutex_);
    return deliveries_;
}

std::vector<std::u16string> RecordingSink::Statuses() const {
    std::vector<std::u16string> statuses;
    for (const Delivery& delivery : Deliveries()) {
        if (IsStatus(delivery.bytes)) {
            statuses.push_back(DecodeCp936(delivery.bytes));
        }
    }
    return statuses;
}

std::string RecordingSink::Data() const {
    std::string data;
    for (const Delivery& delivery : Deliveries()) {
        if (!IsStatus(delivery.bytes)) {
            data += delivery.bytes;
        }
    }
    return data;
}

bool RecordingSink::WaitUntil(const std::function<bool(const std::vector<Delivery>&)>& done) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return done(deliveries_); });
}

bool RecordingSink::WaitForStatusCount(std::size_t count) const {
    return WaitUntil([count](const auto& all) {
        std::size_t statuses = 0;
        for (const Delivery& delivery : all) {
            statuses += IsStatus(delivery.bytes) ? 1 : 0;
        }
        return statuses >= count;
    });
}

bool RecordingSink::WaitForData(std::size_t bytes) const {
    return WaitUntil([bytes](const auto& all) {
        std::size_t total = 0;
        for (const Delivery& delivery : all) {
            total += IsStatus(delivery.bytes) ? 0 : delivery.bytes.size();
        }
        return total >= bytes;
    });
}

void RecordingSink::HoldNext() {
    const std::lock_guard lock(mutex_);
    holdNext_ = true;
}

bool RecordingSink::WaitHeld() const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [this] { return holding_; });
}

void RecordingSink::Release() {
    const std::lock_guard lock(mutex_);
    holdNext_ = false;
    holding_ = false;
    changed_.notify_all();
}

FarEnd::~FarEnd() {
    Close();
}

FarEndServer FarEnd::Server() {
    return [this](int attachedFd) {
        const std::lock_guard lock(mutex_);
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = attachedFd;
        attached_.notify_all();
    };
}

bool FarEnd::WaitAttached() const {
    std::unique_lock lock(mutex_);
    return attached_.wait_for(lock, kPatience, [this] { return fd_ >= 0; });
}

void FarEnd::Write(const std::string& bytes) {
    const std::lock_guard lock(mutex_);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

std::string FarEnd::Read(std::size_t count) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        int current = -1;
        {
            const std::lock_guard lock(mutex_);
            current = fd_;
        }
        pollfd entry{current, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::recv(current, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void FarEnd::Close() {
    const std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

SimulatedReceiver Receiver(uint64_t address, std::u16string pin, int channel) {
    SimulatedReceiver receiver;
    receiver.name = u"GNSS receiver";
    receiver.address = address;
    receiver.pin = std::move(pin);
    receiver.channel = channel;
    return receiver;
}

bool Eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace quorlex::test
