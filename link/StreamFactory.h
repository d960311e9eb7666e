#pragma once

#include "link/ByteStream.h"
#include "link/LinkTarget.h"

#include <memory>

namespace quorlex {

// Makes the stream that reaches a receiver. Called on the caller's thread;
// making a stream does no input or output, opening it does.
class StreamFactory {
public:
    virtual ~StreamFactory() = default;
    // nullptr when the target's kind is not one this factory makes.
    virtual std::unique_ptr<ByteStream> Make(const LinkTarget& target) = 0;
};

} // namespace quorlex
