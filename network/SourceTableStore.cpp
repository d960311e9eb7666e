#include "network/SourceTableStore.h"

#include "common/CodePage.h"
#include "common/Format.h"
#include "common/Text.h"
#include "network/CacheFile.h"
#include "network/StatusLine.h"

#include <cerrno>
#include <utility>

namespace quorlex {

namespace {

constexpr std::u16string_view kListStart = u"GET,NETWORK.MOUNTPOINTLIST,START";
constexpr std::u16string_view kListName = u"GET,NETWORK.MOUNTPOINTLI,OK";
constexpr std::u16string_view kListEnd = u"GET,NETWORK.MOUNTPOINTLIST,END";
constexpr int kNameField = 4;

constexpr std::u16string_view kTableStart = u"SOURCETABLE 200 OK";
constexpr std::u16string_view kTableEnd = u"ENDSOURCETABLE";
constexpr std::u16string_view kLineEnd = u"\r\n";
// A refusal's reason is the caster's text; a progress row has room for its start.
constexpr size_t kMaxRefusalShown = 40;

enum class LineKind { Cas, Str, Net, End, Other };

struct Tag {
    std::u16string_view text;
    LineKind kind;
};

constexpr Tag kTags[] = {
    {u"CAS;", LineKind::Cas}, {u"STR;", LineKind::Str}, {u"NET;", LineKind::Net}};

// A line that begins with a tag is that record, whatever its later fields
// hold; otherwise the first tag it contains decides, in CAS, STR, NET order.
LineKind Classify(std::u16string_view line) {
    for (const Tag& tag : kTags) {
        if (line.starts_with(tag.text)) {
            return tag.kind;
        }
    }
    for (const Tag& tag : kTags) {
        if (Contains(line, tag.text)) {
            return tag.kind;
        }
    }
    return Contains(line, kTableEnd) ? LineKind::End : LineKind::Other;
}

std::filesystem::path DefaultCacheFile() {
    const std::filesystem::path folder = UserCacheFolder();
    return folder.empty() ? folder : folder / "sourcetable.dat";
}

} // namespace

SourceTableStore::SourceTableStore() : SourceTableStore(DefaultCacheFile()) {}

SourceTableStore::SourceTableStore(std::filesystem::path cacheFile)
    : cacheFile_(std::move(cacheFile)) {
    Reset();
}

void SourceTableStore::Reset() {
    ticks_ = 0;
    casList_.clear();
    strList_.clear();
    netList_.clear();
    state_ = SourceTableState::Idle;
    listPhase_ = MountListPhase::NotStarted;
    pendingTable_.Clear();
    tableText_.clear();
    inHead_ = false;
    refusal_.clear();
    fileName_ = cacheFile_;
}

void SourceTableStore::FeedMountPointList(std::u16string_view text) {
    pendingList_.Append(text);
    std::u16string line;
    for (int i = 0; i < LineSplitter::kLinesPerCall && pendingList_.Next(line); ++i) {
        TakeListLine(line);
    }
    pendingList_.EndCall();
}

void SourceTableStore::TakeListLine(std::u16string_view line) {
    if (Contains(line, kListStart)) {
        listPhase_ = MountListPhase::Inside;
        mountPoints_.clear();
        return;
    }
    if (listPhase_ != MountListPhase::Inside) {
        return;
    }
    line = line.substr(0, line.find(u'*'));
    if (Contains(line, kListName)) {
        std::u16string name;
        if (ExtractField(line, kNameField, u',', name)) {
            mountPoints_.push_back(std::move(name));
        }
    }
    if (Contains(line, kListEnd)) {
        listPhase_ = MountListPhase::Ended;
        // The rest of the chunk that closed the list is not read as names.
        pendingList_.Clear();
    }
}

bool SourceTableStore::FeedSourceTable(std::u16string_view text) {
    // The time limit ends a fetch gone silent; one still receiving is never cut.
    ticks_ = 0;
    pendingTable_.Append(text);
    std::u16string line;
    for (int i = 0; i < LineSplitter::kLinesPerCall && pendingTable_.Next(line); ++i) {
        TakeTableLine(line);
    }
    pendingTable_.EndCall();
    return true;
}

void SourceTableStore::TakeTableLine(std::u16string_view line) {
    if (Contains(line, kTableStart)) {
        StartTable(line, false);
        return;
    }
    if (TakeStatusLine(line)) {
        return;
    }
    if (state_ != SourceTableState::Receiving) {
        return;
    }
    tableText_.append(line);
    tableText_.append(kLineEnd);
    if (inHead_) {
        inHead_ = !line.empty();
        return;
    }
    TakeRecord(line);
}

// An NTRIP 2.0 status line starts a table or, outside one, refuses it. Inside
// a table a line that looks like one is the table's.
bool SourceTableStore::TakeStatusLine(std::u16string_view line) {
    const std::optional<StatusLine> status = ParseStatusLine(line);
    if (!status) {
        return false;
    }
    if (status->StartsTable()) {
        StartTable(line, true);
        return true;
    }
    if (state_ == SourceTableState::Receiving || !status->Refuses()) {
        return false;
    }
    state_ = SourceTableState::Refused;
    // The code and reason say what went wrong; the protocol word does not.
    refusal_.assign(line.substr(line.find(u' ') + 1, kMaxRefusalShown));
    pendingTable_.Clear();
    return true;
}

void SourceTableStore::StartTable(std::u16string_view line, bool withHead) {
    state_ = SourceTableState::Receiving;
    inHead_ = withHead;
    refusal_.clear();
    tableText_.assign(line);
    tableText_.append(kLineEnd);
}

void SourceTableStore::TakeRecord(std::u16string_view line) {
    switch (Classify(line)) {
    case LineKind::Cas:
        if (auto record = ParseCasRecord(line)) {
            casList_.push_back(std::move(*record));
        }
        break;
    case LineKind::Str:
        if (auto record = ParseStrRecord(line)) {
            strList_.push_back(std::move(*record));
        }
        break;
    case LineKind::Net:
        if (auto record = ParseNetRecord(line)) {
            netList_.push_back(std::move(*record));
        }
        break;
    case LineKind::End:
        state_ = SourceTableState::Complete;
        pendingTable_.Clear();
        break;
    case LineKind::Other:
        break;
    }
}

std::u16string SourceTableStore::StatusText() const {
    switch (state_) {
    case SourceTableState::Receiving:
        return u"获取源列表...";
    case SourceTableState::Complete:
        return u"获取源列表完毕！";
    case SourceTableState::TimedOut:
        return u"获取源列表超时！";
    case SourceTableState::Refused:
        return FormatText(u"获取源列表失败：%s", {std::u16string_view(refusal_)});
    case SourceTableState::Idle:
        break;
    }
    return {};
}

void SourceTableStore::TickTimeout() {
    ++ticks_;
    if (ticks_ > kTimeoutTicks) {
        state_ = SourceTableState::TimedOut;
    }
}

bool SourceTableStore::SaveCache(FileError* error) const {
    FileError ignored;
    FileError& failure = error != nullptr ? *error : ignored;
    if (fileName_.empty()) {
        failure = {u"no cache folder", ENOENT};
        return false;
    }
    return WriteCacheFile(fileName_, EncodeCp936(tableText_), failure);
}

bool SourceTableStore::LoadCache() {
    if (fileName_.empty()) {
        return false;
    }
    std::string bytes;
    FileError error;
    if (!ReadWholeFile(fileName_, bytes, error)) {
        return false;
    }
    std::u16string text = DecodeCp936(bytes);
    // The file ends where its last line ends, terminator or not.
    if (!text.empty() && text.back() != u'\n' && text.back() != u'\r') {
        text.append(kLineEnd);
    }
    // Loading again replaces the records instead of adding a second copy.
    casList_.clear();
    strList_.clear();
    netList_.clear();
    pendingTable_.Clear();
    state_ = SourceTableState::Receiving;
    inHead_ = false;
    // The whole file is taken: the per-call limits are for received chunks.
    pendingTable_.Append(text);
    std::u16string line;
    while (pendingTable_.Next(line)) {
        TakeTableLine(line);
    }
    pendingTable_.EndCall();
    return true;
}

} // namespace quorlex
