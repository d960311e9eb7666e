#pragma once

#include "model/ReceiverConfig.h"
#include "model/ReceiverInfo.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// The tool's picture of the receiver, filled only from the receiver's reply lines.
struct ReceiverSettings {
    std::vector<int32_t> receivedKeys; // reply codes of the latest received chunk
    std::u16string lineBuffer;         // received text not yet cut into lines
    ReceiverConfig config;
    ReceiverInfo info;

    // Back to the construction defaults.
    void ResetSettings();

    // Checks one received line (without its line feed) and decodes its key into the record.
    // Returns the key's reply code, or 0 when the line is not a valid, decodable reply.
    int32_t DispatchReplyLine(std::u16string_view line);

    // Keeps the baud text of a "@GNSS,COM,<baud>,..." line; false when the line has no such field.
    bool StoreComReply(std::u16string_view line);

    bool operator==(const ReceiverSettings&) const = default;
};

} // namespace quorlex
