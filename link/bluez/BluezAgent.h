#pragma once

#include "link/bluez/BluezBus.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace quorlex {

// The pairing agent: the daemon asks it for the PIN when a connection needs
// pairing. It answers for the one device being connected, with the PIN the
// user gave, and turns every other request away. It serves the bus on its own
// thread because the connecting thread sits in connect() while pairing runs.
class BluezAgent {
public:
    static constexpr const char* kObjectPath = "/org/quorlex/agent";

    explicit BluezAgent(std::chrono::milliseconds callTimeout) : callTimeout_(callTimeout) {}
    ~BluezAgent();
    BluezAgent(const BluezAgent&) = delete;
    BluezAgent& operator=(const BluezAgent&) = delete;

    // Exports the agent and makes it the default one. 0 or an errno value;
    // does nothing while a registered agent is already serving.
    int Start();
    void Stop();
    bool IsServing() const { return serving_.load(); }

    // The bus name the daemon calls back on.
    std::string UniqueName() const;

    void Expect(uint64_t address, const std::string& pin);
    void ExpectNothing();
    // Drops the expectation if it is for this device; false when it was not.
    bool Forget(uint64_t address);

private:
    struct Answer {
        bool accepted = false;
        std::string pin;
    };

    static const sd_bus_vtable* Vtable();
    static int OnRelease(sd_bus_message* m, void* self, sd_bus_error* error);
    static int OnCancel(sd_bus_message* m, void* self, sd_bus_error* error);
    static int OnRequestPinCode(sd_bus_message* m, void* self, sd_bus_error* error);
    static int OnRequestPasskey(sd_bus_message* m, void* self, sd_bus_error* error);
    static int OnDeviceRequest(sd_bus_message* m, void* self, sd_bus_error* error);

    int Register();
    void Serve();
    Answer AnswerFor(sd_bus_message* m);

    const std::chrono::milliseconds callTimeout_;
    BluezBus bus_;
    std::string uniqueName_;
    int stopFd_ = -1;
    std::thread thread_;
    std::atomic<bool> serving_{false};

    mutable std::mutex mutex_;
    bool expecting_ = false;
    uint64_t address_ = 0;
    std::string pin_;
};

} // namespace quorlex
