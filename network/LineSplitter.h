#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorlex {

// Cuts received text into lines. A line ends at the first "\n" of the pending
// text, or at the first "\r" when there is no "\n"; the line itself is cut again
// before its first "\r" and "\n". Text without a terminator waits for more.
class LineSplitter {
public:
    static constexpr int kLinesPerCall = 1000;
    static constexpr size_t kMaxPending = 2000;

    void Append(std::u16string_view text);

    // Takes the next complete line; false when no terminator is pending.
    bool Next(std::u16string& line);

    // Ends a call: forgets the consumed text and empties an unfinished line
    // that has grown past kMaxPending, so one chunk cannot stall the caller.
    void EndCall();

    void Clear();

    // The text not yet taken as lines.
    std::u16string_view Pending() const { return std::u16string_view(pending_).substr(consumed_); }

private:
    std::u16string pending_;
    size_t consumed_ = 0;
    // A line ended at a lone "\r" because its "\n" had not arrived yet; a "\n"
    // that starts the next text belongs to that line and is skipped.
    bool afterBareCr_ = false;
    // pending_ holds no "\n" before this index: text cut at lone "\r"s is
    // not searched again for each of its lines.
    size_t lfScanned_ = 0;
};

} // namespace quorlex
