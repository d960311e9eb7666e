#pragma once

#include "common/CodePage.h"
#include "link/LinkSink.h"
#include "link/LinkStatus.h"
#include "link/sim/SimulatedPlatform.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace quorlex::test {

inline constexpr auto kPatience = std::chrono::seconds(10);

// Records every delivery; optionally holds a delivery until released.
class RecordingSink : public LinkSink {
public:
    struct Delivery {
        std::string bytes;
        bool zeroAfter = false;
    };

    void Deliver(const char* bytes, std::size_t count) override;

    std::vector<Delivery> Deliveries() const;
    // The deliveries that are status texts, decoded, in order.
    std::vector<std::u16string> Statuses() const;
    // The bytes of every delivery that is not a status text, joined.
    std::string Data() const;
    // Waits until the predicate holds over the deliveries; false on time-out.
    bool WaitUntil(const std::function<bool(const std::vector<Delivery>&)>& done) const;
    bool WaitForStatusCount(std::size_t count) const;
    bool WaitForData(std::size_t bytes) const;

    // While held, the next delivery blocks until Release(); Held() tells
    // whether a delivery is waiting.
    void HoldNext();
    bool WaitHeld() const;
    void Release();

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Delivery> deliveries_;
    bool holdNext_ = false;
    bool holding_ = false;
};

bool IsStatus(const std::string& bytes);

// The far end of a simulated connection kept by the test itself.
class FarEnd {
public:
    FarEnd() = default;
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    FarEndServer Server();
    bool WaitAttached() const;
    void Write(const std::string& bytes);
    // Reads until count bytes have come or the time-out passes.
    std::string Read(std::size_t count);
    void Close();

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable attached_;
    int fd_ = -1;
};

inline constexpr uint64_t kReceiverAddress = 0x000A3B5C7D9EULL;

SimulatedReceiver Receiver(uint64_t address = kReceiverAddress, std::u16string pin = u"1234",
                           int channel = 5);

// Waits until the predicate holds; false on time-out.
bool Eventually(const std::function<bool()>& done);

} // namespace quorlex::test
