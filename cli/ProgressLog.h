#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace quorlex::cli {

// What the tool tells while it works, on standard error so that standard
// output carries nothing but the result. On a terminal a bar follows the
// batch; elsewhere only whole lines are written.
class ProgressLog {
public:
    ProgressLog(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
    ~ProgressLog() { ClearBar(); }
    ProgressLog(const ProgressLog&) = delete;
    ProgressLog& operator=(const ProgressLog&) = delete;

    // Which receiver the following lines are about.
    void SetReceiver(std::string label) { receiver_ = std::move(label); }
    // One line about the current receiver.
    void Line(std::string_view text);
    // The batch's position and latest status; redraws the bar on a terminal.
    void Bar(int position, int total, std::u16string_view status);

private:
    void ClearBar();

    std::ostream& err_;
    bool terminal_;
    bool barShown_ = false;
    std::string receiver_;
};

} // namespace quorlex::cli
