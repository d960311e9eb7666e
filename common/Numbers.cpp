#include "common/Numbers.h"

#include <charconv>
#include <clocale> // newlocale (POSIX)
#include <cwchar>  // wcstod_l (GNU)
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

// Qt sets the process locale from the environment, which may read "," as the
// decimal point; numbers on the wire always use ".". The "C" object is built
// into the C library and never changes, so one shared copy is safe.
locale_t ClassicLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
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
    // One wide character per UTF-16 unit: a unit that is not part of a number
    // stops the reading where it stands, as it would in the original text.
    const std::wstring wide(text.begin(), text.end());
    return ::wcstod_l(wide.c_str(), nullptr, ClassicLocale());
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
