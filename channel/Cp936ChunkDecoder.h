#pragma once

#include <string>
#include <string_view>

namespace quorlex {

// Turns received chunks into text one after another. A two-byte character
// whose bytes arrive in different chunks is kept back and completed with the
// next chunk instead of being destroyed at the boundary. A chunk's text ends
// at its first zero byte, as each chunk's did before.
class Cp936ChunkDecoder {
public:
    std::u16string Decode(std::string_view chunk);
    // Forgets a kept-back byte: the stream it belonged to has ended.
    void Reset() { carry_.clear(); }

private:
    std::string carry_;
};

} // namespace quorlex
