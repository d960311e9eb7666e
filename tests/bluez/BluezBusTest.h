#pragma once

#include "MockBluez.h"

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

} // namespace quorlex::test
