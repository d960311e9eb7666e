#include "cli/RunWireLog.h"

#include "common/Text.h"

namespace quorlex::cli {

RunWireLog::~RunWireLog() {
    log_.Stop();
    const std::lock_guard lock(mutex_);
    if (failure_) {
        err_ << "quorlexctl: the wire log " << path_.string()
             << " could not be written and stopped early: " << ToUtf8(FileErrorText(*failure_))
             << "\n";
    }
}

bool RunWireLog::Start(const std::filesystem::path& path, std::string& error) {
    path_ = path;
    // Called on whichever link thread wrote, with the log locked.
    log_.SetFailureHandler([this](const FileError& failure) {
        const std::lock_guard lock(mutex_);
        failure_ = failure;
    });
    FileError failure;
    if (!log_.Start(path, failure)) {
        error = "cannot open the wire log " + path.string() + ": " + ToUtf8(FileErrorText(failure));
        return false;
    }
    return true;
}

} // namespace quorlex::cli
