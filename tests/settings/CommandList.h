#pragma once

#include "model/CommandItem.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quorlex::testing {

// Expected commands with their descriptions, in order.
using Commands = std::vector<std::pair<std::u16string, std::u16string>>;

// Compares command by command; every item must also carry the standard
// acknowledgement text, resend interval and budget.
inline void ExpectCommands(const std::vector<CommandItem>& items, const Commands& expected) {
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].command, expected[i].first);
        EXPECT_EQ(items[i].description, expected[i].second);
        EXPECT_EQ(items[i].reply, u"@GNSS," + expected[i].first + u",OK");
        EXPECT_EQ(items[i].resendEvery, 3);
        EXPECT_EQ(items[i].budget, 9);
    }
}

} // namespace quorlex::testing
