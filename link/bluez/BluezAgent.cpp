#include "link/bluez/BluezAgent.h"

#include "link/bluez/BluezAddress.h"
#include "link/bluez/BluezCall.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

namespace quorlex {

namespace {

constexpr const char* kAgentInterface = "org.bluez.Agent1";
constexpr const char* kManagerInterface = "org.bluez.AgentManager1";
constexpr const char* kRejected = "org.bluez.Error.Rejected";
// Wakes the serving loop now and then even when sd-bus names no time-out.
constexpr int kMaxPollMs = 1000;
constexpr uint32_t kMaxPasskey = 999999;

bool PasskeyFromPin(const std::string& pin, uint32_t& passkey) {
    if (pin.empty() || pin.size() > 6 ||
        !std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    uint32_t value = 0;
    for (const char c : pin) {
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    passkey = value;
    return value <= kMaxPasskey;
}

int PollTimeoutMs(sd_bus* bus) {
    uint64_t until = 0;
    if (sd_bus_get_timeout(bus, &until) < 0 || until == UINT64_MAX) {
        return kMaxPollMs;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowUsec =
        static_cast<uint64_t>(now.tv_sec) * 1000000U + static_cast<uint64_t>(now.tv_nsec) / 1000U;
    if (until <= nowUsec) {
        return 0;
    }
    return static_cast<int>(std::min<uint64_t>((until - nowUsec + 999) / 1000, kMaxPollMs));
}

} // namespace

const sd_bus_vtable* BluezAgent::Vtable() {
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Release", "", "", OnRelease, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Cancel", "", "", OnCancel, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RequestPinCode", "o", "s", OnRequestPinCode, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RequestPasskey", "o", "u", OnRequestPasskey, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("DisplayPinCode", "os", "", OnDeviceRequest, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("DisplayPasskey", "ouq", "", OnDeviceRequest, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RequestConfirmation", "ou", "", OnDeviceRequest, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RequestAuthorization", "o", "", OnDeviceRequest, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("AuthorizeService", "os", "", OnDeviceRequest, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};
    return vtable;
}

BluezAgent::~BluezAgent() {
    Stop();
}

int BluezAgent::Start() {
    if (thread_.joinable() && serving_.load()) {
        return 0;
    }
    Stop();
    if (const int error = Register(); error != 0) {
        Stop();
        return error;
    }
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) {
        const int error = errno;
        Stop();
        return error;
    }
    serving_ = true;
    thread_ = std::thread([this] { Serve(); });
    return 0;
}

int BluezAgent::Register() {
    if (const int error = bus_.Open(callTimeout_); error != 0) {
        return error;
    }
    const int r =
        sd_bus_add_object_vtable(bus_.Get(), nullptr, kObjectPath, kAgentInterface, Vtable(), this);
    if (r < 0) {
        return -r;
    }
    const char* unique = nullptr;
    if (sd_bus_get_unique_name(bus_.Get(), &unique) >= 0 && unique != nullptr) {
        std::lock_guard lock(mutex_);
        uniqueName_ = unique;
    }
    BluezMessage reply;
    BluezCallResult result = CallBluez(bus_, "/org/bluez", kManagerInterface, "RegisterAgent",
                                       reply, "os", kObjectPath, "KeyboardDisplay");
    if (result.Ok()) {
        result = CallBluez(bus_, "/org/bluez", kManagerInterface, "RequestDefaultAgent", reply, "o",
                           kObjectPath);
    }
    return result.error;
}

void BluezAgent::Stop() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    if (stopFd_ >= 0) {
        close(stopFd_);
        stopFd_ = -1;
    }
    if (bus_.IsOpen()) {
        BluezMessage reply;
        CallBluez(bus_, "/org/bluez", kManagerInterface, "UnregisterAgent", reply, "o",
                  kObjectPath);
        bus_.Close();
    }
    serving_ = false;
    std::lock_guard lock(mutex_);
    uniqueName_.clear();
    expecting_ = false;
    pin_.clear();
}

std::string BluezAgent::UniqueName() const {
    std::lock_guard lock(mutex_);
    return uniqueName_;
}

void BluezAgent::Expect(uint64_t address, const std::string& pin) {
    std::lock_guard lock(mutex_);
    expecting_ = true;
    address_ = address;
    pin_ = pin;
}

void BluezAgent::ExpectNothing() {
    std::lock_guard lock(mutex_);
    expecting_ = false;
    pin_.clear();
}

bool BluezAgent::Forget(uint64_t address) {
    std::lock_guard lock(mutex_);
    if (!expecting_ || address_ != address) {
        return false;
    }
    expecting_ = false;
    pin_.clear();
    return true;
}

void BluezAgent::Serve() {
    sd_bus* bus = bus_.Get();
    while (true) {
        const int r = sd_bus_process(bus, nullptr);
        if (r < 0) {
            break; // the connection is gone; the next Start() builds a new one
        }
        if (r > 0) {
            continue;
        }
        pollfd fds[2] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0},
                         {stopFd_, POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs(bus)) < 0 && errno != EINTR) {
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
    }
    serving_ = false;
}

BluezAgent::Answer BluezAgent::AnswerFor(sd_bus_message* m) {
    const char* path = nullptr;
    uint64_t address = 0;
    if (sd_bus_message_read(m, "o", &path) < 0 || !AddressFromDevicePath(path, address)) {
        return {};
    }
    std::lock_guard lock(mutex_);
    if (!expecting_ || address != address_) {
        return {};
    }
    return {true, pin_};
}

int BluezAgent::OnRelease(sd_bus_message* m, void* self, sd_bus_error* /*error*/) {
    // The daemon dropped us; serving ends so that the next connection registers again.
    static_cast<BluezAgent*>(self)->serving_ = false;
    return sd_bus_reply_method_return(m, "");
}

int BluezAgent::OnCancel(sd_bus_message* m, void* /*self*/, sd_bus_error* /*error*/) {
    return sd_bus_reply_method_return(m, "");
}

int BluezAgent::OnRequestPinCode(sd_bus_message* m, void* self, sd_bus_error* /*error*/) {
    const Answer answer = static_cast<BluezAgent*>(self)->AnswerFor(m);
    if (!answer.accepted) {
        return sd_bus_reply_method_errorf(m, kRejected, "Not the device being connected");
    }
    return sd_bus_reply_method_return(m, "s", answer.pin.c_str());
}

int BluezAgent::OnRequestPasskey(sd_bus_message* m, void* self, sd_bus_error* /*error*/) {
    const Answer answer = static_cast<BluezAgent*>(self)->AnswerFor(m);
    uint32_t passkey = 0;
    if (!answer.accepted || !PasskeyFromPin(answer.pin, passkey)) {
        return sd_bus_reply_method_errorf(m, kRejected, "No passkey for this device");
    }
    return sd_bus_reply_method_return(m, "u", passkey);
}

int BluezAgent::OnDeviceRequest(sd_bus_message* m, void* self, sd_bus_error* /*error*/) {
    if (!static_cast<BluezAgent*>(self)->AnswerFor(m).accepted) {
        return sd_bus_reply_method_errorf(m, kRejected, "Not the device being connected");
    }
    return sd_bus_reply_method_return(m, "");
}

} // namespace quorlex
