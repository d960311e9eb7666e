#pragma once

#include "sim/ReplyLine.h"

#include <string_view>
#include <vector>

namespace quorlex {

class ReceiverState;

// What the receiver does with one command line: changes its state and
// says what to send back, in order.
class CommandProcessor {
public:
    explicit CommandProcessor(ReceiverState& state) : state_(state) {}

    std::vector<ReplyLine> Answer(std::u16string_view command);

private:
    std::vector<ReplyLine> Get(std::u16string_view command);
    std::vector<ReplyLine> Set(std::u16string_view command);
    std::vector<ReplyLine> SetConfigBracket(std::u16string_view command);
    std::vector<ReplyLine> SetCurrentConfig(std::u16string_view command);
    std::vector<ReplyLine> Com(std::u16string_view command);
    std::vector<ReplyLine> Burst(std::u16string_view command, int slot);
    std::vector<ReplyLine> MountPointList() const;

    ReceiverState& state_;
};

} // namespace quorlex
