#pragma once

#include <cstddef>

namespace quorlex {

// Where the link hands received chunks and its status texts (code page 936
// bytes). Calls come from the link's own threads, and from the caller's thread
// when a send fails, so two calls may overlap; each call returns only once the
// receiver has handled it. bytes stays valid during the call only, and
// bytes[count] is always a zero byte.
class LinkSink {
public:
    virtual ~LinkSink() = default;
    virtual void Deliver(const char* bytes, std::size_t count) = 0;
};

} // namespace quorlex
