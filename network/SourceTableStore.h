#pragma once

#include "common/FileStore.h"
#include "network/LineSplitter.h"
#include "network/SourceTableRecords.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

enum class SourceTableState : int32_t {
    Idle = 0,
    Receiving = 1,
    Complete = 2,
    TimedOut = 3,
    // The caster answered with a status other than 200: no table comes.
    Refused = 4,
};

// Phases of the framed mount point list.
enum class MountListPhase : int32_t {
    NotStarted = 0,
    Inside = 1,
    Ended = 2,
};

// Takes in what a mount point fetch sends back: the framed list of names and
// the caster's source table, parsed into records and cached on disk so the
// names can be shown again after the next start.
//
// A table starts at a "SOURCETABLE 200 OK" line (NTRIP 1.0: every later line
// may be a record) or at an "HTTP/1.x 200" status line (NTRIP 2.0: the header
// lines up to the first empty line are kept in the text but are no records).
// A chunked body must reach FeedSourceTable() without its framing
// (ChunkedBodyDecoder). Any other final status ends the fetch as refused.
//
// The owner drives a fetch: Reset() when it starts; every received chunk to
// FeedMountPointList(), and to FeedSourceTable() while a table is expected,
// showing StatusText() afterwards; TickTimeout() once a second while expected.
// The fetch has ended when IsComplete() or IsTimedOut() (kTimeoutTicks ticks
// passed since text was last fed to the table); then SaveCache(). It has also
// ended when IsRefused(); the cache then still holds the last table received.
class SourceTableStore {
public:
    static constexpr int32_t kTimeoutTicks = 60;

    // The cache lives in UserCacheFolder()/sourcetable.dat.
    SourceTableStore();
    explicit SourceTableStore(std::filesystem::path cacheFile);

    void Reset();

    void FeedMountPointList(std::u16string_view text);
    bool FeedSourceTable(std::u16string_view text);

    // The progress text of the table; empty while idle.
    std::u16string StatusText() const;
    // Times the table out once more than kTimeoutTicks ticks passed without a
    // FeedSourceTable().
    void TickTimeout();

    bool LoadCache();
    // error, when given, tells why the file could not be written.
    bool SaveCache(FileError* error = nullptr) const;

    SourceTableState State() const { return state_; }
    bool IsComplete() const { return state_ == SourceTableState::Complete; }
    bool IsTimedOut() const { return state_ == SourceTableState::TimedOut; }
    bool IsRefused() const { return state_ == SourceTableState::Refused; }
    // The status code and reason of a refusal, as the caster sent them.
    const std::u16string& Refusal() const { return refusal_; }
    MountListPhase ListPhase() const { return listPhase_; }
    int32_t Ticks() const { return ticks_; }

    const std::u16string& TableText() const { return tableText_; }
    const std::vector<CasRecord>& CasList() const { return casList_; }
    const std::vector<StrRecord>& StrList() const { return strList_; }
    const std::vector<NetRecord>& NetList() const { return netList_; }
    const std::vector<std::u16string>& MountPoints() const { return mountPoints_; }
    const std::filesystem::path& FileName() const { return fileName_; }

private:
    void TakeListLine(std::u16string_view line);
    void TakeTableLine(std::u16string_view line);
    bool TakeStatusLine(std::u16string_view line);
    void StartTable(std::u16string_view line, bool withHead);
    void TakeRecord(std::u16string_view line);

    std::filesystem::path cacheFile_;
    std::u16string tableText_;
    SourceTableState state_ = SourceTableState::Idle;
    // Inside the header lines of an NTRIP 2.0 answer.
    bool inHead_ = false;
    std::u16string refusal_;
    MountListPhase listPhase_ = MountListPhase::NotStarted;
    int32_t ticks_ = 0;
    LineSplitter pendingTable_;
    LineSplitter pendingList_;
    std::filesystem::path fileName_;
    std::vector<CasRecord> casList_;
    std::vector<StrRecord> strList_;
    std::vector<NetRecord> netList_;
    std::vector<std::u16string> mountPoints_;
};

} // namespace quorlex
