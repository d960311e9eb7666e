#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct sd_bus;

namespace quorlex::test {

// A private bus with the stand-in Bluetooth daemon on it, for one test.
// Start() points DBUS_SYSTEM_BUS_ADDRESS at the private bus; the destructor
// stops both processes, restores the variable and removes the temp dir.
class MockBluez {
public:
    MockBluez();
    ~MockBluez();
    MockBluez(const MockBluez&) = delete;
    MockBluez& operator=(const MockBluez&) = delete;

    // Empty when the mock module is not installed: the test should skip.
    static std::string MissingReason();

    // Empty on success, otherwise what went wrong.
    std::string Start();
    // Only the bus: a machine whose Bluetooth daemon is not running.
    std::string StartWithoutBluez();

    // Mock control, as the test's own bus client. Each returns the empty
    // string or the bus error.
    std::string AddAdapter(const std::string& name);
    std::string AddDevice(const std::string& adapter, const std::string& address,
                          const std::string& alias);

    struct Call {
        std::string method;
        std::vector<std::string> textArgs; // string and object path arguments
    };
    std::vector<Call> Calls(const std::string& path);

    bool Flag(const std::string& path, const std::string& interface, const std::string& property);
    void SetFlag(const std::string& path, const std::string& interface, const std::string& property,
                 bool value);
    bool ObjectExists(const std::string& path);
    // The object refuses every property change, as an adapter blocked by a
    // radio switch refuses to be powered.
    std::string RefusePropertyChanges(const std::string& path);

    // Calls a method on another client, e.g. the agent; returns the D-Bus
    // error name, or empty with the string reply in text.
    std::string CallForText(const std::string& destination, const std::string& path,
                            const std::string& interface, const std::string& member,
                            const std::string& objectArg, std::string& text);
    std::string CallForNumber(const std::string& destination, const std::string& path,
                              const std::string& interface, const std::string& member,
                              const std::string& objectArg, uint32_t& number);

    sd_bus* Bus() const { return bus_; }

private:
    std::string StartDaemon();
    std::string StartMock();
    void Stop(pid_t& pid);

    std::string dir_;
    std::string address_;
    pid_t daemon_ = -1;
    pid_t mock_ = -1;
    sd_bus* bus_ = nullptr;
    bool hadAddress_ = false;
    std::string savedAddress_;
};

} // namespace quorlex::test
