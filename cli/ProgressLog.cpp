#include "cli/ProgressLog.h"

#include "common/Text.h"

#include <algorithm>

namespace quorlex::cli {

namespace {
constexpr int kBarWidth = 24;
}

void ProgressLog::Line(std::string_view text) {
    ClearBar();
    err_ << receiver_ << ": " << text << '\n' << std::flush;
}

void ProgressLog::Bar(int position, int total, std::u16string_view status) {
    if (!terminal_ || total <= 0) {
        return;
    }
    const int done = std::clamp(position, 0, total) * kBarWidth / total;
    err_ << "\r\x1b[K" << receiver_ << " [" << std::string(static_cast<size_t>(done), '#')
         << std::string(static_cast<size_t>(kBarWidth - done), '.') << "] "
         << std::clamp(position, 0, total) * 100 / total << "% " << ToUtf8(status) << std::flush;
    barShown_ = true;
}

void ProgressLog::ClearBar() {
    if (barShown_) {
        err_ << "\r\x1b[K" << std::flush;
        barShown_ = false;
    }
}

} // namespace quorlex::cli
