#include "model/LogList.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "model/ValueKinds.h"

#include <array>

namespace quorlex {
namespace {

constexpr size_t kPrefixLength = 4;
constexpr int kMaxEntries = 8;

// Indexed by NmeaSentence.
constexpr std::array<std::u16string_view, kNmeaSentenceCount> kPrefixes{
    u"GGA:", u"ZDA:", u"GSA:", u"GSV:", u"GST:", u"VTG:", u"RMC:", u"GLL:"};

} // namespace

bool DecodeLogList(ReceiverSettings& settings, std::u16string_view line) {
    const auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    for (int i = 0; i < kMaxEntries; ++i) {
        std::u16string entry;
        ExtractField(*value, i, u'|', entry);
        if (entry.size() <= kPrefixLength) {
            continue;
        }
        const std::u16string_view prefix = std::u16string_view(entry).substr(0, kPrefixLength);
        for (int sentence = 0; sentence < kNmeaSentenceCount; ++sentence) {
            if (prefix == kPrefixes[sentence]) {
                settings.config.nmeaRates[sentence] =
                    ParseInteger(std::u16string_view(entry).substr(kPrefixLength));
                break;
            }
        }
    }
    return true;
}

} // namespace quorlex
