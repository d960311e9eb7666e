#include "startup/VersionText.h"

#include "common/Format.h"

namespace quorlex {
namespace {

constexpr size_t kMinDateLength = 11;

// A blank, and anything else that is not a digit, counts as 0.
int Digit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

int MonthFromLetters(std::string_view date) {
    switch (date[2]) {
    case 'b':
        return 2;
    case 'c':
        return 12;
    case 'g':
        return 8;
    case 'l':
        return 7;
    case 'p':
        return 9;
    case 't':
        return 10;
    case 'v':
        return 11;
    case 'y':
        return 5;
    case 'r':
        return date[0] == 'M' ? 3 : 4;
    case 'n':
        return date[1] == 'a' ? 1 : 6;
    default:
        return 1;
    }
}

} // namespace

std::u16string VersionTextFromDate(std::string_view buildDate) {
    if (buildDate.size() < kMinDateLength) {
        return {};
    }
    int year = 0;
    for (size_t i = 7; i < kMinDateLength; ++i) {
        year = year * 10 + Digit(buildDate[i]);
    }
    const int day = Digit(buildDate[4]) * 10 + Digit(buildDate[5]);
    const int month = MonthFromLetters(buildDate);
    const std::u16string full =
        FormatText(u"%04d%02d%02d", {int64_t{year}, int64_t{month}, int64_t{day}});
    return full.substr(full.size() - 6);
}

std::u16string VersionText() {
    return VersionTextFromDate(__DATE__);
}

} // namespace quorlex
