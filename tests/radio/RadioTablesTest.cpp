#include "radio/RadioTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorlex {
namespace {

TEST(FrequencyCheck, AcceptsBothEndsOfTheRangeAndNothingBeyond) {
    struct Case {
        std::u16string_view text;
        bool accepted;
    };
    const Case cases[] = {
        {u"409.999", false}, {u"410.000", true}, {u"410", true},      {u"447.125", true},
        {u"470.000", true},  {u"470", true},     {u"470.001", false}, {u"470.5", false},
        {u"471", false},     {u"", false},       {u"abc", false},     {u"nan", false},
        {u"inf", false},     {u"-inf", false},   {u"450MHz", true},   {u" 420.5 ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(CheckFrequencyText(c.text).has_value(), c.accepted);
    }
    EXPECT_EQ(CheckFrequencyText(u"450MHz"), 450.0);
}

TEST(FrequencyCheck, RefusesValuesThatAreNoNumber) {
    EXPECT_FALSE(IsFrequencyInRange(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(IsFrequencyInRange(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(IsFrequencyInRange(410.0 - 0.0000005)); // within the tolerance
}

TEST(RadioProtocols, NamesAndCodesInListOrder) {
    const std::u16string_view names[] = {u"TRIMTALK", u"TRIMMK3", u"TRANSEOT", u"KESTO9600",
                                         u"KESTO19200"};
    const int32_t codes[] = {3, 9, 2, 4, 10};
    ASSERT_EQ(kRadioProtocols.size(), std::size(names));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(kRadioProtocols[i].name, names[i]);
        EXPECT_EQ(ProtocolCodeOfIndex(i), codes[i]);
        EXPECT_EQ(ProtocolIndexOfCode(codes[i]), i);
    }
    EXPECT_EQ(ProtocolIndexOfCode(0), std::nullopt);
    EXPECT_EQ(ProtocolIndexOfCode(1), std::nullopt);
    EXPECT_EQ(ProtocolCodeOfIndex(-1), -1);
    EXPECT_EQ(ProtocolCodeOfIndex(5), 5);
}

} // namespace
} // namespace quorlex
