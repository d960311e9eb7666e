#include "sim/ReceiverKeys.h"

#include <array>

namespace quorlex {

namespace {

constexpr KeyKind I = KeyKind::Identity;
constexpr KeyKind S = KeyKind::Status;
constexpr KeyKind W = KeyKind::Setting;

// The factory state of the simulated receiver. Values are written as the
// receiver sends them; GPS.BASE.POSITION carries its start mode and its
// coordinates as two fields.
constexpr std::array kKeys{
    ReceiverKey{u"DEVICE.INFO.SERIAL", u"QX2041570236", I},
    ReceiverKey{u"DEVICE.INFO.MODEL", u"ROVER", I},
    ReceiverKey{u"DEVICE.INFO.HARDWARE_VER", u"V2.1", I},
    ReceiverKey{u"DEVICE.INFO.BIOS_VER", u"1.05", I},
    ReceiverKey{u"DEVICE.INFO.FIRMWARE_VER", u"3.2.17", I},
    ReceiverKey{u"DEVICE.INFO.MANUFACTURE_DATE", u"2011-06-18", I},
    ReceiverKey{u"DEVICE.INFO.GPSBOARD", u"QXB-220", I},
    ReceiverKey{u"DEVICE.STATUS", u"NORMAL", S},
    ReceiverKey{u"DEVICE.SYS_MODE", u"UHF", W},
    ReceiverKey{u"DEVICE.CUR_DATALINK", u"UHF", W},
    ReceiverKey{u"DEVICE.CUR_LANGUAGE", u"CHINESE", W},
    ReceiverKey{u"DEVICE.AVAILABLE_DATALINK", u"NO_DATALINK|UHF|NETWORK|EXT|BLUE|DUAL", I},
    ReceiverKey{u"DEVICE.AVAILABLE_LANGUAGE", u"CHINESE|ENGLISH", I},
    ReceiverKey{u"DEVICE.AVAILABLE_SYSMODE", u"UHF|NETRELAY|UHFRELAY|NETBASE", I},
    ReceiverKey{u"DEVICE.POWER_SOURCE", u"BATTERY", S},
    ReceiverKey{u"DEVICE.POWER_LEVEL", u"85", S},
    ReceiverKey{u"DEVICE.ANT_HEIGHT", u"1500", W},
    ReceiverKey{u"DEVICE.ANT_MEASURE", u"1|1500", W},
    ReceiverKey{u"DEVICE.RECORD.STATUS", u"501", S},
    ReceiverKey{u"DEVICE.RECORD.MODEL", u"MANUAL", W},
    ReceiverKey{u"DEVICE.RECORD.CUTANGLE", u"10", W},
    ReceiverKey{u"DEVICE.RECORD.INTERVAL", u"1", W},
    ReceiverKey{u"DEVICE.RECORD.POINTNAME", u"AAAA01", W},
    ReceiverKey{u"DEVICE.RECORD.PDOP_THRESHOLD", u"3.5", W},
    ReceiverKey{u"DEVICE.RECORD.AUTO_REC", u"NO", W},
    ReceiverKey{u"DEVICE.RTK.RECORD_RAW", u"NO", W},
    ReceiverKey{u"DEVICE.RTK.STATUS", u"1", S},
    ReceiverKey{u"DEVICE.LOGLIST", u"GGA:1|ZDA:0|GSA:1|GSV:5|GST:0|VTG:1|RMC:1|GLL:0", W},
    ReceiverKey{u"DEVICE.BATTERY_ID", u"BT2200-0158", I},
    ReceiverKey{u"ANTENNA.TYPE", u"INTERNAL", I},
    ReceiverKey{u"ANTENNA.R", u"900", I},
    ReceiverKey{u"ANTENNA.H", u"700", I},
    ReceiverKey{u"ANTENNA.HL1", u"620", I},
    ReceiverKey{u"ANTENNA.HL2", u"648", I},
    ReceiverKey{u"GPS.INFO.SERIAL", u"GB1170230045", I},
    ReceiverKey{u"GPS.INFO.MODEL", u"QXB-220", I},
    ReceiverKey{u"GPS.INFO.HARDWARE_VER", u"1.2", I},
    ReceiverKey{u"GPS.INFO.BIOS_VER", u"0.9", I},
    ReceiverKey{u"GPS.INFO.FIRMWARE_VER", u"5.1.3", I},
    ReceiverKey{u"GPS.INFO.MANUFACTURE_DATE", u"2011-05-02", I},
    ReceiverKey{u"GPS.INFO.FUNCTIONALITY", u"L1L2|GPS|GLONASS|BEIDOU|RTK20HZ", I},
    ReceiverKey{u"GPS.BASE.POSITION", u"KNOWN,114.356372170|30.527431882|35.210", W},
    ReceiverKey{u"GPS.BASE.DIFF_TYPE", u"RTCM32", W},
    ReceiverKey{u"GPS.BASE.SITE_ID", u"0001", W},
    ReceiverKey{u"GPS.BASE.PDOP_THRESHOLD", u"3.0", W},
    ReceiverKey{u"GPS.BASE.DELAY_START", u"60", W},
    ReceiverKey{u"GPS.BASE.AUTO_BASE", u"NO", W},
    ReceiverKey{u"GPS.ELE_MASK", u"10", W},
    ReceiverKey{u"GPS.STATUS", u"SINGLE", S},
    ReceiverKey{u"GPS.GPS", u"ENABLE", W},
    ReceiverKey{u"GPS.GLONASS", u"ENABLE", W},
    ReceiverKey{u"GPS.SBAS", u"DISABLE", W},
    ReceiverKey{u"GPS.BEIDOU", u"ENABLE", W},
    ReceiverKey{u"GPS.REFSTATION.LOCATION", u"114.356358107|30.527416233|35.640", S},
    ReceiverKey{u"GPS.REFSTATION.ID", u"0012", S},
    ReceiverKey{u"RADIO.INFO.SERIAL", u"RD1120400311", I},
    ReceiverKey{u"RADIO.INFO.MODEL", u"QXR-35", I},
    ReceiverKey{u"RADIO.INFO.HARDWARE_VER", u"2.0", I},
    ReceiverKey{u"RADIO.INFO.BIOS_VER", u"1.0", I},
    ReceiverKey{u"RADIO.INFO.FIRMWARE_VER", u"2.4.1", I},
    ReceiverKey{u"RADIO.INFO.MANUFACTURE_DATE", u"2011-04-12", I},
    ReceiverKey{u"RADIO.BAUD", u"19200", W},
    ReceiverKey{u"RADIO.MODE", u"3", W},
    ReceiverKey{u"RADIO.STATUS", u"300", S},
    ReceiverKey{u"RADIO.FREQUENCY",
                u"438.125|440.125|441.125|442.125|443.125|444.125|446.125|447.125|"
                u"463.125|464.125|465.125|466.125|463.625|464.625|465.625|466.625",
                W},
    ReceiverKey{u"RADIO.FREQUENCY_RX",
                u"438.125|440.125|441.125|442.125|443.125|444.125|446.125|447.125|"
                u"463.125|464.125|465.125|466.125|463.625|464.625|465.625|466.625",
                W},
    ReceiverKey{u"RADIO.CHANNEL_SPACING", u"25.0", W},
    ReceiverKey{u"RADIO.FREQ_UPPER_LIMIT", u"470.000", I},
    ReceiverKey{u"RADIO.FREQ_LOWER_LIMIT", u"410.000", I},
    ReceiverKey{u"RADIO.CHANNEL", u"1", W},
    ReceiverKey{u"RADIO.CHANNEL_RX", u"1", W},
    ReceiverKey{u"RADIO.POWER", u"HIGH", W},
    ReceiverKey{u"NETWORK.INFO.SERIAL", u"NW1130510772", I},
    ReceiverKey{u"NETWORK.INFO.MODEL", u"QXM-G2", I},
    ReceiverKey{u"NETWORK.INFO.HARDWARE_VER", u"1.1", I},
    ReceiverKey{u"NETWORK.INFO.BIOS_VER", u"1.0", I},
    ReceiverKey{u"NETWORK.INFO.FIRMWARE_VER", u"R02A05", I},
    ReceiverKey{u"NETWORK.INFO.MANUFACTURE_DATE", u"2011-05-20", I},
    ReceiverKey{u"NETWORK.INFO.IMEI", u"356938035643809", I},
    ReceiverKey{u"NETWORK.STATUS", u"440", S},
    ReceiverKey{u"NETWORK.ERRORCODE", u"0400", S},
    ReceiverKey{u"NETWORK.BAUD", u"115200", I},
    ReceiverKey{u"NETWORK.SIGNAL_LEVEL", u"21", S},
    ReceiverKey{u"NETWORK.MODE", u"NTRIP", W},
    ReceiverKey{u"NETWORK.ADDR", u"203.0.113.25", W},
    ReceiverKey{u"NETWORK.PORT", u"2101", W},
    ReceiverKey{u"NETWORK.BASE_NUMBER", u"0001", W},
    ReceiverKey{u"NETWORK.APN", u"cmnet", W},
    ReceiverKey{u"NETWORK.APNUSER", u"", W},
    ReceiverKey{u"NETWORK.APNPASS", u"", W},
    ReceiverKey{u"NETWORK.MOUNTPOINT", u"WUHN_RTCM32", W},
    ReceiverKey{u"NETWORK.MOUNTPOINTUSERPASS", u"qx0123|204816", W},
    ReceiverKey{u"NETWORK.UPLOADGGA", u"10", W},
    ReceiverKey{u"NETWORK.AUTO_CONNECT", u"YES", W},
    ReceiverKey{u"EXTERNAL.BAUD", u"38400", W},
    ReceiverKey{u"SENSOR.INFO.MODEL", u"TILT-SENSOR", I},
    ReceiverKey{u"SENSOR.INFO.HARDWARE_VER", u"1.0", I},
    ReceiverKey{u"SENSOR.INFO.FIRMWARE_VER", u"1.3", I},
    ReceiverKey{u"SENSOR.PARAMETER", u"0.12|-0.05|0.00", S},
    ReceiverKey{u"BLUETOOTH.MODEL", u"SPP-V2.1", I},
};

} // namespace

std::span<const ReceiverKey> ReceiverKeys() {
    return kKeys;
}

std::optional<std::size_t> FindReceiverKey(std::u16string_view name) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace quorlex
