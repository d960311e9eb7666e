#pragma once

#include "model/KeyDecoders.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quorlex {

struct ReplyKey {
    std::u16string_view key;
    int32_t code;
    KeyDecoder decode;
};

// The entry whose key equals key exactly (case-sensitive); nullptr when there is none.
const ReplyKey* FindReplyKey(std::u16string_view key);

// Every key the receiver's replies may carry, grouped by the receiver's key tree.
std::span<const ReplyKey> ReplyKeys();

} // namespace quorlex
