#pragma once

#include "channel/CommandLink.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quorlex::testing {

// A link whose state the test sets; records what was sent.
class FakeLink : public CommandLink {
public:
    bool IsConnected() const override { return connected; }
    int Send(const char* bytes, size_t count) override {
        sent.emplace_back(bytes, count);
        return connected ? 1 : -1;
    }
    bool connected = true;
    std::vector<std::string> sent;
};

} // namespace quorlex::testing
