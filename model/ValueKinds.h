#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorlex {

// Field 4 of a reply line, the key's value; nullopt when the line has fewer than five fields.
std::optional<std::u16string> ReplyValue(std::u16string_view line);

// Part n of a value split at "|"; a missing part reads as empty.
std::u16string ValuePart(std::u16string_view value, int n);

std::u16string_view BeforeStar(std::u16string_view text);

// How a value text becomes a field's value.
std::u16string AsText(std::u16string_view value);
std::u16string AsTextBeforeStar(std::u16string_view value);
int32_t AsInteger(std::u16string_view value);
double AsDecimal(std::u16string_view value);
double AsMillimetres(std::u16string_view value);         // whole millimetres to metres
double AsTenthsOfMillimetres(std::u16string_view value); // tenths of millimetres to metres

// Word tests: case-sensitive substring searches.
int32_t YesFlag(std::u16string_view value);               // "YES" anywhere gives 1
int32_t AutoFlag(std::u16string_view value);              // "AUTO" anywhere gives 1
int32_t EnabledUnlessDisabled(std::u16string_view value); // "DISABLE" anywhere gives 0
int32_t OnUnlessNo(std::u16string_view value);            // "NO" anywhere gives 0

struct VocabularyWord {
    std::u16string_view word;
    int32_t number;
};

// The first word equal to the whole value, in the listed order.
std::optional<int32_t> MatchExact(std::u16string_view value, std::span<const VocabularyWord> words);
// The first word found anywhere in the value, in the listed order.
std::optional<int32_t> MatchSubstring(std::u16string_view value,
                                      std::span<const VocabularyWord> words);

} // namespace quorlex
