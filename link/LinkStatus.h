#pragma once

#include <string_view>

namespace quorlex {

// The link's status texts; they reach the sink as code page 936 bytes.
inline constexpr std::u16string_view kLinkConnected = u"建立连接成功";
inline constexpr std::u16string_view kLinkConnectFailed = u"建立连接失败";
inline constexpr std::u16string_view kLinkPinRefused = u"PIN码认证失败";
inline constexpr std::u16string_view kLinkDisconnected = u"线路连接被断开";
inline constexpr std::u16string_view kLinkError = u"发生错误";

} // namespace quorlex
