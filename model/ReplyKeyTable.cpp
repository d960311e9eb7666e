#include "model/ReplyKeyTable.h"

#include "model/LogList.h"
#include "model/StatusCodes.h"
#include "model/ValueKinds.h"

#include <algorithm>
#include <array>

namespace quorlex {
namespace {

// The plain kinds: one value, converted, written into one field (or the same field of both
// radios). Convert is one of the conversions of ValueKinds.h.

template <auto Convert, typename Field> bool Assign(std::u16string_view line, Field& field) {
    auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    field = Convert(*value);
    return true;
}

template <auto Convert, auto Member>
bool ConfigValue(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<Convert>(line, settings.config.*Member);
}

template <auto Convert, auto Member>
bool DatalinkValue(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<Convert>(line, settings.config.datalink.*Member);
}

template <auto Convert, auto Member>
bool InfoValue(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<Convert>(line, settings.info.*Member);
}

template <auto Module, auto Member>
bool ModuleText(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<AsText>(line, (settings.info.*Module).*Member);
}

// Replies fill the relay profile only.
template <auto Convert, auto Member>
bool NetworkValue(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<Convert>(line, settings.config.datalink.network[0].*Member);
}

template <auto Convert, auto Member>
bool ServerValue(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<Convert>(line, settings.config.datalink.network[0].server.*Member);
}

template <auto Member> bool ApnText(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<AsText>(line, settings.config.datalink.network[0].apn.*Member);
}

template <int Index, auto Convert, auto Member>
bool RadioValue(ReceiverSettings& settings, std::u16string_view line) {
    return Assign<Convert>(line, settings.config.datalink.radio[Index].*Member);
}

template <auto Convert, auto Member>
bool BothRadios(ReceiverSettings& settings, std::u16string_view line) {
    auto value = ReplyValue(line);
    if (!value) {
        return false;
    }
    const auto converted = Convert(*value);
    for (RadioBlock& radio : settings.config.datalink.radio) {
        radio.*Member = converted;
    }
    return true;
}

using C = ReceiverConfig;
using I = ReceiverInfo;
using M = ModuleInfo;
using N = NetworkBlock;
using R = RadioBlock;
using S = NetworkServerBlock;

// clang-format off
constexpr std::array kKeys{
    ReplyKey{u"DEVICE.INFO.SERIAL",           10,  ModuleText<&I::device, &M::serialNumber>},
    ReplyKey{u"DEVICE.INFO.MODEL",            11,  DecodeDeviceModel},
    ReplyKey{u"DEVICE.INFO.HARDWARE_VER",     12,  ModuleText<&I::device, &M::hardwareVersion>},
    ReplyKey{u"DEVICE.INFO.BIOS_VER",         13,  ModuleText<&I::device, &M::biosVersion>},
    ReplyKey{u"DEVICE.INFO.FIRMWARE_VER",     14,  ModuleText<&I::device, &M::firmwareVersion>},
    ReplyKey{u"DEVICE.INFO.MANUFACTURE_DATE", 15,  ModuleText<&I::device, &M::manufactureDate>},
    ReplyKey{u"DEVICE.INFO.GPSBOARD",         16,  ModuleText<&I::device, &M::extraText>},
    ReplyKey{u"DEVICE.STATUS",                18,  InfoValue<AsText, &I::deviceStatus>},
    ReplyKey{u"DEVICE.SYS_MODE",              19,  DecodeSysMode},
    ReplyKey{u"DEVICE.CUR_DATALINK",          20,  DecodeCurrentDatalink},
    ReplyKey{u"DEVICE.CUR_LANGUAGE",          21,  InfoValue<AsText, &I::languageText>},
    ReplyKey{u"DEVICE.AVAILABLE_DATALINK",    22,  DecodeAvailableList},
    ReplyKey{u"DEVICE.AVAILABLE_LANGUAGE",    23,  DecodeAvailableList},
    ReplyKey{u"DEVICE.AVAILABLE_SYSMODE",     24,  DecodeAvailableList},
    ReplyKey{u"DEVICE.POWER_SOURCE",          25,  InfoValue<AsText, &I::powerSource>},
    ReplyKey{u"DEVICE.POWER_LEVEL",           26,  InfoValue<AsText, &I::powerLevel>},
    ReplyKey{u"DEVICE.ANT_HEIGHT",            27,  ConfigValue<AsMillimetres, &C::antennaHeight>},
    ReplyKey{u"DEVICE.ANT_MEASURE",           106, DecodeAntennaMeasure},
    ReplyKey{u"DEVICE.RECORD.STATUS",         28,  ConfigValue<AsText, &C::recordStatus>},
    ReplyKey{u"DEVICE.RECORD.MODEL",          29,  ConfigValue<AutoFlag, &C::autoRecord>},
    ReplyKey{u"DEVICE.RECORD.CUTANGLE",       30,  ConfigValue<AsInteger, &C::recordCutAngle>},
    ReplyKey{u"DEVICE.RECORD.INTERVAL",       31,  DecodeRecordInterval},
    ReplyKey{u"DEVICE.RECORD.POINTNAME",      32,  ConfigValue<AsText, &C::recordPointName>},
    ReplyKey{u"DEVICE.RECORD.PDOP_THRESHOLD", 33,  ConfigValue<AsDecimal, &C::recordPdopThreshold>},
    ReplyKey{u"DEVICE.RECORD.AUTO_REC",       34,  ConfigValue<YesFlag, &C::autoRecord>},
    ReplyKey{u"DEVICE.RTK.RECORD_RAW",        35,  ConfigValue<YesFlag, &C::recordRaw>},
    ReplyKey{u"ANTENNA.TYPE",                 36,  InfoValue<AsText, &I::antennaType>},
    ReplyKey{u"ANTENNA.R",                    37,  InfoValue<AsTenthsOfMillimetres, &I::antennaRadius>},
    ReplyKey{u"ANTENNA.H",                    38,  InfoValue<AsTenthsOfMillimetres, &I::antennaH>},
    ReplyKey{u"ANTENNA.HL1",                  39,  InfoValue<AsTenthsOfMillimetres, &I::antennaHL1>},
    ReplyKey{u"ANTENNA.HL2",                  40,  InfoValue<AsTenthsOfMillimetres, &I::antennaHL2>},
    ReplyKey{u"GPS.INFO.SERIAL",              41,  ModuleText<&I::gnssModule, &M::serialNumber>},
    ReplyKey{u"GPS.INFO.MODEL",               42,  ModuleText<&I::gnssModule, &M::model>},
    ReplyKey{u"GPS.INFO.HARDWARE_VER",        43,  ModuleText<&I::gnssModule, &M::hardwareVersion>},
    ReplyKey{u"GPS.INFO.BIOS_VER",            44,  ModuleText<&I::gnssModule, &M::biosVersion>},
    ReplyKey{u"GPS.INFO.FIRMWARE_VER",        45,  ModuleText<&I::gnssModule, &M::firmwareVersion>},
    ReplyKey{u"GPS.INFO.MANUFACTURE_DATE",    46,  ModuleText<&I::gnssModule, &M::manufactureDate>},
    ReplyKey{u"GPS.INFO.FUNCTIONALITY",       47,  ModuleText<&I::gnssModule, &M::extraText>},
    ReplyKey{u"GPS.BASE.POSITION",            48,  DecodeBasePosition},
    ReplyKey{u"GPS.BASE.DIFF_TYPE",           49,  DecodeDiffType},
    ReplyKey{u"GPS.BASE.SITE_ID",             50,  ConfigValue<AsText, &C::baseSiteId>},
    ReplyKey{u"GPS.BASE.PDOP_THRESHOLD",      51,  ConfigValue<AsDecimal, &C::basePdopThreshold>},
    ReplyKey{u"GPS.BASE.DELAY_START",         52,  ConfigValue<AsInteger, &C::baseDelayStart>},
    ReplyKey{u"GPS.BASE.AUTO_BASE",           104, ConfigValue<YesFlag, &C::autoBase>},
    ReplyKey{u"GPS.ELE_MASK",                 53,  ConfigValue<AsInteger, &C::elevationMask>},
    ReplyKey{u"GPS.STATUS",                   54,  ConfigValue<AsText, &C::gnssStatus>},
    ReplyKey{u"GPS.GPS",                      107, ConfigValue<EnabledUnlessDisabled, &C::gpsEnabled>},
    ReplyKey{u"GPS.GLONASS",                  55,  ConfigValue<EnabledUnlessDisabled, &C::glonassEnabled>},
    ReplyKey{u"GPS.SBAS",                     108, ConfigValue<EnabledUnlessDisabled, &C::sbasEnabled>},
    ReplyKey{u"GPS.BEIDOU",                   109, ConfigValue<EnabledUnlessDisabled, &C::beidouEnabled>},
    ReplyKey{u"RADIO.INFO.SERIAL",            56,  ModuleText<&I::radioModule, &M::serialNumber>},
    ReplyKey{u"RADIO.INFO.MODEL",             57,  ModuleText<&I::radioModule, &M::model>},
    ReplyKey{u"RADIO.INFO.HARDWARE_VER",      58,  ModuleText<&I::radioModule, &M::hardwareVersion>},
    ReplyKey{u"RADIO.INFO.BIOS_VER",          59,  ModuleText<&I::radioModule, &M::biosVersion>},
    ReplyKey{u"RADIO.INFO.FIRMWARE_VER",      60,  ModuleText<&I::radioModule, &M::firmwareVersion>},
    ReplyKey{u"RADIO.INFO.MANUFACTURE_DATE",  61,  ModuleText<&I::radioModule, &M::manufactureDate>},
    ReplyKey{u"RADIO.BAUD",                   62,  RadioValue<0, AsInteger, &R::baud>},
    ReplyKey{u"RADIO.MODE",                   63,  BothRadios<AsInteger, &R::protocol>},
    ReplyKey{u"RADIO.STATUS",                 64,  BothRadios<AsText, &R::status>},
    ReplyKey{u"RADIO.FREQUENCY",              65,  DecodeTxFrequencies},
    ReplyKey{u"RADIO.FREQUENCY_RX",           107, DecodeRxFrequencies},
    ReplyKey{u"RADIO.CHANNEL_SPACING",        66,  BothRadios<AsDecimal, &R::channelSpacing>},
    ReplyKey{u"RADIO.FREQ_UPPER_LIMIT",       67,  BothRadios<AsDecimal, &R::upperLimit>},
    ReplyKey{u"RADIO.FREQ_LOWER_LIMIT",       68,  BothRadios<AsDecimal, &R::lowerLimit>},
    ReplyKey{u"RADIO.CHANNEL",                69,  BothRadios<AsInteger, &R::channel>},
    ReplyKey{u"RADIO.CHANNEL_RX",             106, RadioValue<1, AsInteger, &R::rxChannel>},
    ReplyKey{u"RADIO.POWER",                  70,  DecodeRadioPower},
    ReplyKey{u"NETWORK.INFO.SERIAL",          80,  ModuleText<&I::networkModule, &M::serialNumber>},
    ReplyKey{u"NETWORK.INFO.MODEL",           81,  ModuleText<&I::networkModule, &M::model>},
    ReplyKey{u"NETWORK.INFO.HARDWARE_VER",    82,  ModuleText<&I::networkModule, &M::hardwareVersion>},
    ReplyKey{u"NETWORK.INFO.BIOS_VER",        83,  ModuleText<&I::networkModule, &M::biosVersion>},
    ReplyKey{u"NETWORK.INFO.FIRMWARE_VER",    84,  ModuleText<&I::networkModule, &M::firmwareVersion>},
    ReplyKey{u"NETWORK.INFO.MANUFACTURE_DATE",85,  ModuleText<&I::networkModule, &M::manufactureDate>},
    ReplyKey{u"NETWORK.INFO.IMEI",            86,  ModuleText<&I::networkModule, &M::extraText>},
    ReplyKey{u"NETWORK.STATUS",               87,  DecodeNetworkStatus},
    ReplyKey{u"NETWORK.BAUD",                 88,  NetworkValue<AsInteger, &N::baud>},
    ReplyKey{u"NETWORK.SIGNAL_LEVEL",         89,  NetworkValue<AsInteger, &N::signalLevel>},
    ReplyKey{u"NETWORK.MODE",                 90,  DecodeNetworkMode},
    ReplyKey{u"NETWORK.ADDR",                 91,  ServerValue<AsText, &S::address>},
    ReplyKey{u"NETWORK.PORT",                 92,  ServerValue<AsInteger, &S::port>},
    ReplyKey{u"NETWORK.BASE_NUMBER",          93,  NetworkValue<AsText, &N::baseNumber>},
    ReplyKey{u"NETWORK.APN",                  94,  ApnText<&ApnBlock::name>},
    ReplyKey{u"NETWORK.APNUSER",              95,  ApnText<&ApnBlock::user>},
    ReplyKey{u"NETWORK.APNPASS",              96,  ApnText<&ApnBlock::password>},
    ReplyKey{u"NETWORK.MOUNTPOINT",           97,  ServerValue<AsText, &S::mountPoint>},
    ReplyKey{u"NETWORK.MOUNTPOINTUSERPASS",   98,  DecodeMountPointUserPass},
    ReplyKey{u"NETWORK.UPLOADGGA",            99,  NetworkValue<AsInteger, &N::ggaUploadInterval>},
    ReplyKey{u"NETWORK.AUTO_CONNECT",         100, NetworkValue<OnUnlessNo, &N::autoConnect>},
    ReplyKey{u"NETWORK.ERRORCODE",            101, DecodeNetworkError},
    ReplyKey{u"EXTERNAL.BAUD",                102, DatalinkValue<AsInteger, &DatalinkConfig::externalBaud>},
    ReplyKey{u"BLUETOOTH.MODEL",              103, InfoValue<AsText, &I::bluetoothModel>},
    ReplyKey{u"DEVICE.LOGLIST",               113, DecodeLogList},
    ReplyKey{u"GPS.REFSTATION.LOCATION",      114, DecodeRefStationLocation},
    ReplyKey{u"GPS.REFSTATION.ID",            115, InfoValue<AsText, &I::refStationId>},
    ReplyKey{u"DEVICE.RTK.STATUS",            105, InfoValue<AsInteger, &I::rtkStatus>},
    ReplyKey{u"SENSOR.INFO.MODEL",            116, DecodeSensorModel},
    ReplyKey{u"SENSOR.INFO.HARDWARE_VER",     117, InfoValue<AsTextBeforeStar, &I::sensorHardwareVersion>},
    ReplyKey{u"SENSOR.INFO.FIRMWARE_VER",     118, InfoValue<AsTextBeforeStar, &I::sensorFirmwareVersion>},
    ReplyKey{u"SENSOR.PARAMETER",             119, InfoValue<AsTextBeforeStar, &I::sensorParameter>},
    ReplyKey{u"DEVICE.BATTERY_ID",            120, InfoValue<AsTextBeforeStar, &I::batteryId>},
};
// clang-format on

constexpr bool KeyBefore(const ReplyKey& a, const ReplyKey& b) {
    return a.key < b.key;
}

// Sorted once, at compile time, so that a line's key is found by binary search.
constexpr auto kKeysByName = [] {
    auto sorted = kKeys;
    std::sort(sorted.begin(), sorted.end(), KeyBefore);
    return sorted;
}();

static_assert(std::adjacent_find(kKeysByName.begin(), kKeysByName.end(),
                                 [](const ReplyKey& a, const ReplyKey& b) {
                                     return a.key == b.key;
                                 }) == kKeysByName.end(),
              "every key appears once");

} // namespace

const ReplyKey* FindReplyKey(std::u16string_view key) {
    const auto* it = std::lower_bound(
        kKeysByName.begin(), kKeysByName.end(), key,
        [](const ReplyKey& entry, std::u16string_view wanted) { return entry.key < wanted; });
    return it != kKeysByName.end() && it->key == key ? it : nullptr;
}

std::span<const ReplyKey> ReplyKeys() {
    return kKeys;
}

} // namespace quorlex
