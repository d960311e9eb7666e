#pragma once

#include "MockBluez.h"
#include "link/bluez/BluezPlatform.h"

#include <chrono>

#include <gtest/gtest.h>

namespace quorlex::test {

// Every test gets its own private bus with the stand-in daemon on it.
class BluezBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string reason = MockBluez::MissingReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        const std::string error = mock_.Start();
        ASSERT_EQ(error, "");
    }

    static constexpr const char* kAdapterInterface = "org.bluez.Adapter1";

    MockBluez mock_;
};

// A platform on that bus whose discovery window is short enough for tests.
class BluezPlatformBusTest : public BluezBusTest {
protected:
    static BluezOptions ShortWindow() {
        BluezOptions options;
        options.discoveryWindow = std::chrono::milliseconds(100);
        return options;
    }

    static constexpr const char* kAdapter = "/org/bluez/hci0";

    BluezPlatform platform_{ShortWindow()};
};

} // namespace quorlex::test
