#include "network/LineSplitter.h"

#include <algorithm>

namespace quorlex {

void LineSplitter::Append(std::u16string_view text) {
    if (text.empty()) {
        return;
    }
    if (afterBareCr_ && consumed_ == pending_.size() && text.front() == u'\n') {
        text.remove_prefix(1);
    }
    afterBareCr_ = false;
    pending_.append(text);
}

bool LineSplitter::Next(std::u16string& line) {
    const std::u16string_view rest = Pending();
    size_t end = std::u16string_view::npos;
    if (lfScanned_ < pending_.size()) {
        const size_t lf = pending_.find(u'\n', std::max(consumed_, lfScanned_));
        if (lf == std::u16string::npos) {
            lfScanned_ = pending_.size();
        } else {
            end = lf - consumed_;
        }
    }
    const bool bareCr = end == std::u16string_view::npos;
    if (bareCr) {
        end = rest.find(u'\r');
        if (end == std::u16string_view::npos) {
            return false;
        }
    }
    std::u16string_view taken = rest.substr(0, end);
    taken = taken.substr(0, taken.find(u'\r'));
    line.assign(taken);
    consumed_ += end + 1;
    afterBareCr_ = bareCr && consumed_ == pending_.size();
    return true;
}

void LineSplitter::EndCall() {
    pending_.erase(0, consumed_);
    lfScanned_ = lfScanned_ > consumed_ ? lfScanned_ - consumed_ : 0;
    consumed_ = 0;
    if (pending_.size() > kMaxPending) {
        Clear();
    }
}

void LineSplitter::Clear() {
    pending_.clear();
    consumed_ = 0;
    lfScanned_ = 0;
    afterBareCr_ = false;
}

} // namespace quorlex
