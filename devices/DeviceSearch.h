#pragma once

#include "devices/KnownDevice.h"
#include "link/BluetoothPlatform.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

class ReceiverLink;

// Default PIN of a newly found receiver.
inline constexpr std::u16string_view kDefaultPin = u"7391";

// Why a search or connection cannot be made, for the surveyor.
std::u16string_view AdapterStateText(AdapterState state);
// What the surveyor is told when a connection to a receiver of that link
// kind cannot even be started.
std::u16string_view ConnectFailedText(int32_t linkKind);

// The link's last inquiry as "name:hhhhllllllll" texts, in inquiry order.
std::vector<std::u16string> InquiryTexts(const ReceiverLink& link);

// Appends the found receivers that are new: the name is the text up to the
// first ":", the address the text between the first and the second ":" (to
// the end without a second). A result is skipped when its address text is
// already listed or its name is empty. New entries get the default PIN.
void MergeFoundDevices(std::vector<KnownDevice>& devices, std::span<const std::u16string> found);

// The address text read as hexadecimal: leading blanks and an optional "0x"
// are skipped, then the hex digits up to the first other character; 0 when
// there are none.
uint64_t ParseHexAddress(std::u16string_view text);

} // namespace quorlex
