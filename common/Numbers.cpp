#include "common/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quorlex {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string Widen(const char* first, const char* last) {
    return {first, last};
}

} // namespace

int32_t ParseInteger(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate past the 32-bit range, then clamp once.
    int64_t value = 0;
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > limit) {
            value = limit;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

double ParseDecimal(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    // Copy the longest run that can form a number into ASCII for from_chars.
    std::string ascii;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    for (; i < text.size() && text[i] < 0x80; ++i) {
        const char c = static_cast<char>(text[i]);
        const bool exponentSign = (c == '+' || c == '-') && !ascii.empty() &&
                                  (ascii.back() == 'e' || ascii.back() == 'E');
        if (!IsDigit(text[i]) && c != '.' && c != 'e' && c != 'E' && !exponentSign) {
            break;
        }
        ascii += c;
    }
    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves value untouched on overflow; the C library gives HUGE_VAL or 0.
        const bool tiny = ascii.find_first_of("eE") != std::string::npos &&
                          ascii.find('-', ascii.find_first_of("eE")) != std::string::npos;
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (result.ec != std::errc{}) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::u16string FormatInt(int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return Widen(buffer, result.ptr);
}

std::u16string FormatFixed(double value, int precision) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (result.ec != std::errc{}) {
        return u"0";
    }
    return Widen(buffer, result.ptr);
}

} // namespace quorlex
