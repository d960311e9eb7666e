#include "link/WireLog.h"

#include "link/SessionFile.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace quorlex {
namespace {

std::chrono::microseconds SteadyNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

// The wall-clock time of the start, for the reader to place the log.
std::string StartLine() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = "";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    }
    return std::string("# quorlex wire log, started ") + text +
           "\n# seconds since the start, link kind, > sent < received * link event, bytes\n";
}

} // namespace

WireLog::WireLog(Clock clock) : clock_(clock ? std::move(clock) : Clock(SteadyNow)) {}

WireLog::~WireLog() {
    Stop();
}

bool WireLog::Start(const std::filesystem::path& file, FileError& error) {
    Stop();
    const int opened =
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, 0600);
    if (opened < 0) {
        error = {u"cannot open", errno};
        return false;
    }
    const std::lock_guard lock(mutex_);
    fd_ = opened;
    path_ = file;
    start_ = clock_();
    sentMask_ = {};
    receivedMask_ = {};
    if (!WriteLine(StartLine(), error)) {
        Close();
        return false;
    }
    return true;
}

void WireLog::Stop() {
    const std::lock_guard lock(mutex_);
    if (fd_ < 0) {
        return;
    }
    FlushHeld();
    Close();
}

void WireLog::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool WireLog::Active() const {
    const std::lock_guard lock(mutex_);
    return fd_ >= 0;
}

std::filesystem::path WireLog::Path() const {
    const std::lock_guard lock(mutex_);
    return path_;
}

void WireLog::SetFailureHandler(FailureHandler handler) {
    const std::lock_guard lock(mutex_);
    failed_ = std::move(handler);
}

void WireLog::Sent(int32_t kind, std::string_view bytes) {
    const std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        Record(kind, WireRecord::kSent, sentMask_.Feed(bytes));
    }
}

void WireLog::Received(int32_t kind, std::string_view bytes) {
    const std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        Record(kind, WireRecord::kReceived, receivedMask_.Feed(bytes));
    }
}

// An event ends whatever line was under way: an attempt starts afresh, a
// link that ended sends no more of it.
void WireLog::Event(int32_t kind, std::string_view text) {
    const std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        FlushHeld();
        Record(kind, WireRecord::kEvent, text);
    }
}

void WireLog::FlushHeld() {
    Record(lastKind_, WireRecord::kSent, sentMask_.Flush());
    Record(lastKind_, WireRecord::kReceived, receivedMask_.Flush());
}

void WireLog::Record(int32_t kind, char direction, std::string_view bytes) {
    if (bytes.empty() && direction != WireRecord::kEvent) {
        return;
    }
    lastKind_ = kind;
    WireRecord record;
    record.micros = std::max<int64_t>((clock_() - start_).count(), 0);
    record.kind = kind;
    record.direction = static_cast<WireRecord::Direction>(direction);
    record.bytes = bytes;
    FileError error;
    if (!WriteLine(FormatWireRecord(record), error)) {
        Close();
        if (failed_) {
            failed_(error);
        }
    }
}

bool WireLog::WriteLine(const std::string& line, FileError& error) {
    std::string_view rest = line;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd_, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = {u"cannot write", n < 0 ? errno : ENOSPC};
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace quorlex
