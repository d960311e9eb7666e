#pragma once

#include <cstdint>
#include <string_view>

namespace quorlex {

// Sees every byte the link sends and receives, and what happens to the
// connection, as it happens. Calls come from the link's threads and the
// caller's thread, possibly at the same time.
class WireTap {
public:
    virtual ~WireTap() = default;
    // kind is the link kind of the connection (LinkTarget.h).
    virtual void Sent(int32_t kind, std::string_view bytes) = 0;
    virtual void Received(int32_t kind, std::string_view bytes) = 0;
    // A UTF-8 text of the link's own: an attempt starting, a status text.
    virtual void Event(int32_t kind, std::string_view text) = 0;
};

} // namespace quorlex
