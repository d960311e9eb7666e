#pragma once

#include <cstddef>

namespace quorlex {

// The part of the link the command channel needs: whether it is up, and a send.
class CommandLink {
public:
    virtual ~CommandLink() = default;
    virtual bool IsConnected() const = 0;
    // -1 not connected, 1 accepted, 0 socket error (the link is then given up).
    virtual int Send(const char* bytes, size_t count) = 0;
};

} // namespace quorlex
