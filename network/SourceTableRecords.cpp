#include "network/SourceTableRecords.h"

#include "common/Numbers.h"

#include <array>
#include <cstddef>
#include <vector>

namespace quorlex {

namespace {

// Fields of a record line split at every ";"; fields past the end read as empty.
class RecordFields {
public:
    explicit RecordFields(std::u16string_view line) {
        size_t start = 0;
        while (true) {
            const size_t sep = line.find(u';', start);
            if (sep == std::u16string_view::npos) {
                fields_.push_back(line.substr(start));
                break;
            }
            fields_.push_back(line.substr(start, sep - start));
            start = sep + 1;
        }
    }

    std::u16string_view operator[](size_t n) const {
        return Has(n) ? fields_[n] : std::u16string_view();
    }

    bool Has(size_t n) const { return n < fields_.size(); }

private:
    std::vector<std::u16string_view> fields_;
};

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

std::u16string_view Strip(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A numbered code: the words for 0, 1, 2, ... or the stripped text for any other number.
template <size_t N>
std::u16string NumberedWord(std::u16string_view field,
                            const std::array<std::u16string_view, N>& words) {
    const std::u16string_view text = Strip(field);
    const int32_t code = ParseInteger(text);
    if (code >= 0 && static_cast<size_t>(code) < N) {
        return std::u16string(words[static_cast<size_t>(code)]);
    }
    return std::u16string(text);
}

struct LetterWord {
    std::u16string_view letter;
    std::u16string_view word;
};

template <size_t N>
std::u16string LetteredWord(std::u16string_view field, const std::array<LetterWord, N>& words) {
    const std::u16string_view text = Strip(field);
    for (const LetterWord& entry : words) {
        if (text == entry.letter) {
            return std::u16string(entry.word);
        }
    }
    return std::u16string(text);
}

std::u16string NmeaWord(std::u16string_view field) {
    static constexpr std::array<std::u16string_view, 2> kWords = {u"Client Must Send NMEA-GGA:No",
                                                                  u"Client Must Send NMEA-GGA:Yes"};
    return NumberedWord(field, kWords);
}

std::u16string CarrierWord(std::u16string_view field) {
    static constexpr std::array<std::u16string_view, 3> kWords = {u"DGPS", u"RTK(L1)",
                                                                  u"RTK(L1 & L2)"};
    return NumberedWord(field, kWords);
}

std::u16string SolutionWord(std::u16string_view field) {
    static constexpr std::array<std::u16string_view, 2> kWords = {u"Single Base", u"Network"};
    return NumberedWord(field, kWords);
}

std::u16string AuthenticationWord(std::u16string_view field) {
    static constexpr std::array<LetterWord, 3> kWords = {
        {{u"N", u"None"}, {u"B", u"Basic"}, {u"D", u"Digest"}}};
    return LetteredWord(field, kWords);
}

std::u16string FeeWord(std::u16string_view field) {
    static constexpr std::array<LetterWord, 2> kWords = {
        {{u"N", u"No user fee"}, {u"Y", u"Usage is charged"}}};
    return LetteredWord(field, kWords);
}

bool Acceptable(std::u16string_view line, const RecordFields& fields) {
    return line.size() > 3 && !fields[1].empty();
}

// Copies fields 1..N into the record's members, in order.
template <typename Record, size_t N>
void CopyFields(const RecordFields& fields, Record& record,
                const std::array<std::u16string Record::*, N>& members) {
    for (size_t i = 0; i < N; ++i) {
        record.*members[i] = std::u16string(fields[i + 1]);
    }
}

// A field the line does not reach stays empty; one it holds, even empty, is rewritten.
void Rewrite(const RecordFields& fields, size_t n, std::u16string& member,
             std::u16string (*word)(std::u16string_view)) {
    if (fields.Has(n)) {
        member = word(fields[n]);
    }
}

} // namespace

std::optional<CasRecord> ParseCasRecord(std::u16string_view line) {
    const RecordFields fields(line);
    if (!Acceptable(line, fields) || fields[2].empty()) {
        return std::nullopt;
    }
    static constexpr std::array<std::u16string CasRecord::*, 11> kMembers = {
        &CasRecord::host,         &CasRecord::port,      &CasRecord::identifier,
        &CasRecord::operatorName, &CasRecord::nmea,      &CasRecord::country,
        &CasRecord::latitude,     &CasRecord::longitude, &CasRecord::fallbackHost,
        &CasRecord::fallbackPort, &CasRecord::misc};
    CasRecord record;
    CopyFields(fields, record, kMembers);
    Rewrite(fields, 5, record.nmea, NmeaWord);
    return record;
}

std::optional<StrRecord> ParseStrRecord(std::u16string_view line) {
    const RecordFields fields(line);
    if (!Acceptable(line, fields)) {
        return std::nullopt;
    }
    static constexpr std::array<std::u16string StrRecord::*, 18> kMembers = {
        &StrRecord::mountPoint,    &StrRecord::identifier,  &StrRecord::format,
        &StrRecord::formatDetails, &StrRecord::carrier,     &StrRecord::navSystem,
        &StrRecord::network,       &StrRecord::country,     &StrRecord::latitude,
        &StrRecord::longitude,     &StrRecord::nmea,        &StrRecord::solution,
        &StrRecord::generator,     &StrRecord::compression, &StrRecord::authentication,
        &StrRecord::fee,           &StrRecord::bitrate,     &StrRecord::misc};
    StrRecord record;
    CopyFields(fields, record, kMembers);
    Rewrite(fields, 5, record.carrier, CarrierWord);
    Rewrite(fields, 11, record.nmea, NmeaWord);
    Rewrite(fields, 12, record.solution, SolutionWord);
    Rewrite(fields, 15, record.authentication, AuthenticationWord);
    Rewrite(fields, 16, record.fee, FeeWord);
    return record;
}

std::optional<NetRecord> ParseNetRecord(std::u16string_view line) {
    const RecordFields fields(line);
    if (!Acceptable(line, fields)) {
        return std::nullopt;
    }
    static constexpr std::array<std::u16string NetRecord::*, 8> kMembers = {
        &NetRecord::identifier, &NetRecord::operatorName, &NetRecord::authentication,
        &NetRecord::fee,        &NetRecord::webNet,       &NetRecord::webStr,
        &NetRecord::webReg,     &NetRecord::misc};
    NetRecord record;
    CopyFields(fields, record, kMembers);
    Rewrite(fields, 3, record.authentication, AuthenticationWord);
    Rewrite(fields, 4, record.fee, FeeWord);
    return record;
}

} // namespace quorlex
