#pragma once

#include "common/FileStore.h"
#include "link/WireLog.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

namespace quorlex::cli {

// --wire-log FILE: the application's wire log, one for every receiver of a
// run, so a support engineer reads the run as one piece. A write that fails
// stops the log but not the run, which says so at its end.
class RunWireLog {
public:
    explicit RunWireLog(std::ostream& err) : err_(err) {}
    // Writes what is held back; tells err when the log stopped early.
    ~RunWireLog();
    RunWireLog(const RunWireLog&) = delete;
    RunWireLog& operator=(const RunWireLog&) = delete;

    // Appends to path (created readable by the user only); false with the reason.
    bool Start(const std::filesystem::path& path, std::string& error);
    // For the links of the run, which must be gone before this object.
    WireTap* Tap() { return &log_; }

private:
    std::ostream& err_;
    std::filesystem::path path_;
    std::mutex mutex_;
    std::optional<FileError> failure_;
    WireLog log_; // last, so it stops before what its failure handler uses goes
};

} // namespace quorlex::cli
