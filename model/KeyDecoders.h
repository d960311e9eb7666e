#pragma once

#include "model/ReceiverSettings.h"

#include <string_view>

namespace quorlex {

// A key's decoder: takes the reply line (cut at its "*") and writes the value into the record.
// False when the value is missing or refused.
using KeyDecoder = bool (*)(ReceiverSettings& settings, std::u16string_view line);

// Decoders whose value needs more than one conversion; the plain kinds are generated
// from ValueKinds in the key table.
bool DecodeDeviceModel(ReceiverSettings& settings, std::u16string_view line);
bool DecodeSysMode(ReceiverSettings& settings, std::u16string_view line);
bool DecodeCurrentDatalink(ReceiverSettings& settings, std::u16string_view line);
bool DecodeAvailableList(ReceiverSettings& settings, std::u16string_view line);
bool DecodeAntennaMeasure(ReceiverSettings& settings, std::u16string_view line);
bool DecodeRecordInterval(ReceiverSettings& settings, std::u16string_view line);
bool DecodeBasePosition(ReceiverSettings& settings, std::u16string_view line);
bool DecodeDiffType(ReceiverSettings& settings, std::u16string_view line);
bool DecodeRefStationLocation(ReceiverSettings& settings, std::u16string_view line);
bool DecodeTxFrequencies(ReceiverSettings& settings, std::u16string_view line);
bool DecodeRxFrequencies(ReceiverSettings& settings, std::u16string_view line);
bool DecodeRadioPower(ReceiverSettings& settings, std::u16string_view line);
bool DecodeNetworkMode(ReceiverSettings& settings, std::u16string_view line);
bool DecodeMountPointUserPass(ReceiverSettings& settings, std::u16string_view line);
bool DecodeSensorModel(ReceiverSettings& settings, std::u16string_view line);

} // namespace quorlex
