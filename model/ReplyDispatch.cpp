#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyChecksum.h"
#include "model/ReplyCodes.h"
#include "model/ReplyKeyTable.h"
#include "model/ValueKinds.h"

namespace quorlex {
namespace {

// "0400" is the receiver's "no error": the text is dropped again and no notice follows.
// Written as 400 it is an ordinary code.
int32_t NetworkErrorReplyCode(ReceiverSettings& settings, std::u16string_view cutLine) {
    const auto value = ReplyValue(cutLine);
    if (!value) {
        return kReplyNone;
    }
    if (*value == u"0400") {
        settings.config.datalink.network[0].errorText.clear();
        return kReplyNetworkErrorCleared;
    }
    return kReplyNetworkError;
}

} // namespace

int32_t ReceiverSettings::DispatchReplyLine(std::u16string_view line) {
    const size_t at = line.find(u'@');
    if (at == std::u16string_view::npos) {
        return kReplyNone;
    }
    line.remove_prefix(at);
    if (!ReplyChecksumValid(line)) {
        return kReplyNone;
    }
    std::u16string key;
    if (!ExtractField(line, 2, u',', key) || key.empty()) {
        return kReplyNone;
    }
    std::u16string ok;
    if (!ExtractField(line, 3, u',', ok) || ok != u"OK") {
        return kReplyNone;
    }
    const std::u16string_view cutLine = BeforeStar(line);
    const ReplyKey* entry = FindReplyKey(key);
    if (entry == nullptr || !entry->decode(*this, cutLine)) {
        return kReplyNone;
    }
    if (entry->code == kReplyNetworkError) {
        return NetworkErrorReplyCode(*this, cutLine);
    }
    return entry->code;
}

bool ReceiverSettings::StoreComReply(std::u16string_view line) {
    std::u16string baud;
    if (!ExtractField(line, 2, u',', baud)) {
        return false;
    }
    info.fivePinBaudText = BeforeStar(baud);
    return true;
}

} // namespace quorlex
