#include "link/bluez/BluezAgent.h"
#include "BluezBusTest.h"

using namespace quorlex;
using namespace quorlex::test;
using namespace std::chrono_literals;

namespace {

constexpr const char* kAgentInterface = "org.bluez.Agent1";
constexpr const char* kReceiver = "/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E";
constexpr const char* kStranger = "/org/bluez/hci0/dev_66_55_44_33_22_11";
constexpr uint64_t kReceiverAddress = 0x000A3B5C7D9EULL;

class BluezAgentTest : public BluezBusTest {
protected:
    // Plays the daemon: asks the agent for the PIN of a device.
    std::string AskPin(const char* device, std::string& pin) {
        return mock_.CallForText(agent_.UniqueName(), BluezAgent::kObjectPath, kAgentInterface,
                                 "RequestPinCode", device, pin);
    }

    std::vector<MockBluez::Call> ManagerCalls() { return mock_.Calls("/org/bluez"); }

    BluezAgent agent_{5s};
};

} // namespace

TEST_F(BluezAgentTest, RegistersAsTheDefaultAgentAndUnregistersOnStop) {
    ASSERT_EQ(agent_.Start(), 0);
    EXPECT_TRUE(agent_.IsServing());
    EXPECT_EQ(agent_.Start(), 0); // already serving: no second registration
    auto calls = ManagerCalls();
    ASSERT_EQ(calls.size(), 2U);
    EXPECT_EQ(calls[0].method, "RegisterAgent");
    EXPECT_EQ(calls[0].textArgs,
              (std::vector<std::string>{BluezAgent::kObjectPath, "KeyboardDisplay"}));
    EXPECT_EQ(calls[1].method, "RequestDefaultAgent");
    EXPECT_EQ(calls[1].textArgs, std::vector<std::string>{BluezAgent::kObjectPath});

    agent_.Stop();
    EXPECT_FALSE(agent_.IsServing());
    calls = ManagerCalls();
    ASSERT_EQ(calls.size(), 3U);
    EXPECT_EQ(calls[2].method, "UnregisterAgent");
}

TEST_F(BluezAgentTest, AnswersThePinOnlyForTheDeviceBeingConnected) {
    ASSERT_EQ(agent_.Start(), 0);
    std::string pin;
    EXPECT_EQ(AskPin(kReceiver, pin), "org.bluez.Error.Rejected"); // nothing expected yet

    agent_.Expect(kReceiverAddress, "1234");
    ASSERT_EQ(AskPin(kReceiver, pin), "");
    EXPECT_EQ(pin, "1234");
    EXPECT_EQ(AskPin(kStranger, pin), "org.bluez.Error.Rejected");
    uint32_t passkey = 0;
    ASSERT_EQ(mock_.CallForNumber(agent_.UniqueName(), BluezAgent::kObjectPath, kAgentInterface,
                                  "RequestPasskey", kReceiver, passkey),
              "");
    EXPECT_EQ(passkey, 1234U);
    EXPECT_EQ(mock_.CallForNumber(agent_.UniqueName(), BluezAgent::kObjectPath, kAgentInterface,
                                  "RequestPasskey", kStranger, passkey),
              "org.bluez.Error.Rejected");

    EXPECT_FALSE(agent_.Forget(0x665544332211ULL));
    EXPECT_TRUE(agent_.Forget(kReceiverAddress));
    EXPECT_FALSE(agent_.Forget(kReceiverAddress));
    EXPECT_EQ(AskPin(kReceiver, pin), "org.bluez.Error.Rejected");
}

TEST_F(BluezAgentTest, APinThatIsNoPasskeyIsNotTurnedIntoOne) {
    ASSERT_EQ(agent_.Start(), 0);
    uint32_t passkey = 0;
    for (const char* pin : {"12a4", "1234567", ""}) {
        agent_.Expect(kReceiverAddress, pin);
        EXPECT_EQ(mock_.CallForNumber(agent_.UniqueName(), BluezAgent::kObjectPath, kAgentInterface,
                                      "RequestPasskey", kReceiver, passkey),
                  "org.bluez.Error.Rejected")
            << pin;
    }
    agent_.Expect(kReceiverAddress, "000042");
    ASSERT_EQ(mock_.CallForNumber(agent_.UniqueName(), BluezAgent::kObjectPath, kAgentInterface,
                                  "RequestPasskey", kReceiver, passkey),
              "");
    EXPECT_EQ(passkey, 42U);
}

TEST_F(BluezAgentTest, AfterTheDaemonReleasesItTheNextStartRegistersAgain) {
    ASSERT_EQ(agent_.Start(), 0);
    sd_bus_call_method(mock_.Bus(), agent_.UniqueName().c_str(), BluezAgent::kObjectPath,
                       kAgentInterface, "Release", nullptr, nullptr, "");
    EXPECT_FALSE(agent_.IsServing());
    ASSERT_EQ(agent_.Start(), 0);
    EXPECT_TRUE(agent_.IsServing());
    int registrations = 0;
    for (const auto& call : ManagerCalls()) {
        registrations += call.method == "RegisterAgent" ? 1 : 0;
    }
    EXPECT_EQ(registrations, 2);

    agent_.Expect(kReceiverAddress, "0000");
    std::string pin;
    ASSERT_EQ(AskPin(kReceiver, pin), "");
    EXPECT_EQ(pin, "0000");
}

TEST(BluezAgentWithoutBus, StartFailsAndNothingIsServed) {
    MockBluez environment; // restores the variable afterwards
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quorlex-bus", 1);
    BluezAgent agent(5s);
    EXPECT_NE(agent.Start(), 0);
    EXPECT_FALSE(agent.IsServing());
    EXPECT_EQ(agent.UniqueName(), "");
}
