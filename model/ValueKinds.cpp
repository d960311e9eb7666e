#include "model/ValueKinds.h"

#include "common/Numbers.h"
#include "common/Text.h"

namespace quorlex {

std::optional<std::u16string> ReplyValue(std::u16string_view line) {
    std::u16string value;
    if (!ExtractField(line, 4, u',', value)) {
        return std::nullopt;
    }
    return value;
}

std::u16string ValuePart(std::u16string_view value, int n) {
    std::u16string part;
    ExtractField(value, n, u'|', part);
    return part;
}

std::u16string_view BeforeStar(std::u16string_view text) {
    return text.substr(0, text.find(u'*'));
}

std::u16string AsText(std::u16string_view value) {
    return std::u16string(value);
}

std::u16string AsTextBeforeStar(std::u16string_view value) {
    return std::u16string(BeforeStar(value));
}

int32_t AsInteger(std::u16string_view value) {
    return ParseInteger(value);
}

double AsDecimal(std::u16string_view value) {
    return ParseDecimal(value);
}

// Whole millimetres only: a fraction in the text is dropped before scaling.
double AsMillimetres(std::u16string_view value) {
    return ParseInteger(value) * 0.001;
}

double AsTenthsOfMillimetres(std::u16string_view value) {
    return ParseDecimal(value) * 0.0001;
}

int32_t YesFlag(std::u16string_view value) {
    return Contains(value, u"YES") ? 1 : 0;
}

int32_t AutoFlag(std::u16string_view value) {
    return Contains(value, u"AUTO") ? 1 : 0;
}

int32_t EnabledUnlessDisabled(std::u16string_view value) {
    return Contains(value, u"DISABLE") ? 0 : 1;
}

int32_t OnUnlessNo(std::u16string_view value) {
    return Contains(value, u"NO") ? 0 : 1;
}

std::optional<int32_t> MatchExact(std::u16string_view value,
                                  std::span<const VocabularyWord> words) {
    for (const VocabularyWord& entry : words) {
        if (value == entry.word) {
            return entry.number;
        }
    }
    return std::nullopt;
}

std::optional<int32_t> MatchSubstring(std::u16string_view value,
                                      std::span<const VocabularyWord> words) {
    for (const VocabularyWord& entry : words) {
        if (Contains(value, entry.word)) {
            return entry.number;
        }
    }
    return std::nullopt;
}

} // namespace quorlex
