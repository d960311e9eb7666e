#pragma once

#include "model/DatalinkConfig.h"

#include <array>
#include <string_view>

namespace quorlex {

// A mobile operator as the APN dialog offers it, with the values its modem
// connection usually needs.
struct ApnOperator {
    std::u16string_view label;
    std::u16string_view name;
    std::u16string_view user;
    std::u16string_view password;
};

// In the order of the operator list; the last row stands for any other operator.
inline constexpr std::array<ApnOperator, 5> kApnOperators{{
    {u"移动2G/GSM", u"CMNET", u"", u""},
    {u"联通2G/GSM", u"UNINET", u"", u""},
    {u"电信/CDMA", u"", u"KQVT", u"KQVT"},
    {u"联通3G/WCDMA", u"3GNET", u"", u""},
    {u"其它", u"", u"", u""},
}};

inline constexpr int kOtherApnOperator = 4;

// The operator row a block belongs to: the APN name decides first, then the
// user and password pair; a block that fits no operator is "其它".
int ApnOperatorIndexOf(const ApnBlock& apn);

} // namespace quorlex
