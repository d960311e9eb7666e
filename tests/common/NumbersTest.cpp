#include "common/Numbers.h"
#include "common/Format.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <string_view>

using namespace quorlex;

TEST(ParseInteger, ReadsAsFarAsTheDigitsGo) {
    EXPECT_EQ(ParseInteger(u"  -42abc"), -42);
    EXPECT_EQ(ParseInteger(u"+7"), 7);
    EXPECT_EQ(ParseInteger(u"1500.9"), 1500);
    EXPECT_EQ(ParseInteger(u"abc"), 0);
    EXPECT_EQ(ParseInteger(u""), 0);
    EXPECT_EQ(ParseInteger(u"- 5"), 0);
    EXPECT_EQ(ParseInteger(u"5HZ"), 5);
}

TEST(ParseInteger, ClampsToThe32BitRange) {
    EXPECT_EQ(ParseInteger(u"2147483647"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseInteger(u"2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseInteger(u"-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ParseInteger(u"-99999999999999999999999"), std::numeric_limits<int32_t>::min());
}

namespace {

// Same bits, so that -0.0 differs from 0.0; any NaN matches any NaN.
bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

} // namespace

TEST(ParseDecimal, ReadsWhatTheCLibraryReads) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::u16string tinyFraction = u"0." + std::u16string(400, u'0') + u"1";
    const std::u16string hugeMantissa = u"1" + std::u16string(500, u'0') + u"e-10";
    const struct {
        std::u16string_view text;
        double value;
    } cases[] = {
        {u"410.050", 410.05},
        {u" -3.5|x", -3.5},
        {u"12.5e", 12.5},
        {u"1e3m", 1000.0},
        {u".5", 0.5},
        {u"3..2", 3.0},
        {u"1,5", 1.0},
        {u"9007199254740993", 9007199254740992.0}, // halfway: rounds to even
        {u"abc", 0.0},
        {u"-", 0.0},
        {u"-abc", 0.0}, // nothing read: +0.0, not -0.0
        {u"-0", -0.0},
        {u"0x1p3", 8.0},
        {u"-0X1.8P1z", -3.0},
        {u"inf", inf},
        {u"-Infinity", -inf},
        {u"INFINITE", inf},
        {u"nan", nan},
        {u"NaN(12)x", nan},
        {u"1e400", inf},
        {tinyFraction, 0.0},
        {hugeMantissa, inf},
        {u"4.9e-324", std::numeric_limits<double>::denorm_min()},
        // Units beyond ASCII are never digits, even where their low byte would be.
        {u"\u0131", 0.0},
        {u"2\u0135", 2.0},
        {u"7\U0001D7D8", 7.0},
    };
    for (const auto& c : cases) {
        EXPECT_PRED2(SameDouble, ParseDecimal(c.text), c.value)
            << std::string(c.text.begin(), c.text.end());
    }
}

// Sets the first installed locale whose decimal point is a comma, and fails
// when there is none: without one the test below would prove nothing.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE"}) {
            if (std::setlocale(LC_ALL, name) != nullptr &&
                std::string_view(std::localeconv()->decimal_point) == ",") {
                return;
            }
        }
        std::setlocale(LC_ALL, previous_.c_str());
        FAIL() << "no locale with a decimal comma is installed (scripts/setup makes de_DE.UTF-8)";
    }

    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

private:
    std::string previous_;
};

TEST_F(CommaLocale, NumbersIgnoreTheProcessLocale) {
    // The process locale really reads "," now ...
    ASSERT_EQ(std::wcstod(L"410,050", nullptr), 410.05);
    // ... but what goes on and comes off the wire does not change.
    EXPECT_EQ(ParseDecimal(u"410.050"), 410.05);
    EXPECT_EQ(ParseDecimal(u"410,050"), 410.0);
    EXPECT_EQ(FormatFixed(410.05), u"410.050");
    EXPECT_EQ(FormatText(u"%.3f|%d", {410.05, int64_t{1234567}}), u"410.050|1234567");
}

TEST(FormatNumbers, MatchPrintf) {
    EXPECT_EQ(FormatInt(-2147483648LL), u"-2147483648");
    EXPECT_EQ(FormatFixed(410.0495), u"410.050");
    EXPECT_EQ(FormatFixed(0.0), u"0.000");
    EXPECT_EQ(FormatFixed(-1.2345, 2), u"-1.23");
}
