#pragma once

#include "tests/model/ReplyLines.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex::test {

struct KeyValue {
    std::u16string_view key;
    std::u16string_view value;
    int32_t code; // the reply code the line must give
};

// A receiver's answer to "GET,ALL": every key once, identity first, Bluetooth model last.
inline constexpr std::array kSampleBurst{
    KeyValue{u"DEVICE.INFO.SERIAL", u"5217A1234567", 10},
    KeyValue{u"DEVICE.INFO.MODEL", u"ROVER", 11},
    KeyValue{u"DEVICE.INFO.HARDWARE_VER", u"V2.1", 12},
    KeyValue{u"DEVICE.INFO.BIOS_VER", u"1.02", 13},
    KeyValue{u"DEVICE.INFO.FIRMWARE_VER", u"3.5.18", 14},
    KeyValue{u"DEVICE.INFO.MANUFACTURE_DATE", u"2013-06-18", 15},
    KeyValue{u"DEVICE.INFO.GPSBOARD", u"GNSS-B220", 16},
    KeyValue{u"DEVICE.STATUS", u"NORMAL", 18},
    KeyValue{u"DEVICE.SYS_MODE", u"NETRELAY", 19},
    KeyValue{u"DEVICE.CUR_DATALINK", u"NETWORK", 20},
    KeyValue{u"DEVICE.CUR_LANGUAGE", u"CHINESE", 21},
    KeyValue{u"DEVICE.AVAILABLE_DATALINK", u"NO_DATALINK|UHF|NETWORK|EXT|BLUE", 22},
    KeyValue{u"DEVICE.AVAILABLE_LANGUAGE", u"CHINESE|ENGLISH", 23},
    KeyValue{u"DEVICE.AVAILABLE_SYSMODE", u"UHF|NETRELAY|UHFRELAY|NETBASE", 24},
    KeyValue{u"DEVICE.POWER_SOURCE", u"BATTERY", 25},
    KeyValue{u"DEVICE.POWER_LEVEL", u"75", 26},
    KeyValue{u"DEVICE.ANT_HEIGHT", u"1800", 27},
    KeyValue{u"DEVICE.ANT_MEASURE", u"1|1523", 106},
    KeyValue{u"DEVICE.RECORD.STATUS", u"STOP", 28},
    KeyValue{u"DEVICE.RECORD.MODEL", u"MANUAL", 29},
    KeyValue{u"DEVICE.RECORD.CUTANGLE", u"10", 30},
    KeyValue{u"DEVICE.RECORD.INTERVAL", u"5HZ", 31},
    KeyValue{u"DEVICE.RECORD.POINTNAME", u"PT0001", 32},
    KeyValue{u"DEVICE.RECORD.PDOP_THRESHOLD", u"4.5", 33},
    KeyValue{u"DEVICE.RECORD.AUTO_REC", u"YES", 34},
    KeyValue{u"DEVICE.RTK.RECORD_RAW", u"YES", 35},
    KeyValue{u"ANTENNA.TYPE", u"GA-530", 36},
    KeyValue{u"ANTENNA.R", u"1385", 37},
    KeyValue{u"ANTENNA.H", u"652", 38},
    KeyValue{u"ANTENNA.HL1", u"597", 39},
    KeyValue{u"ANTENNA.HL2", u"571", 40},
    KeyValue{u"GPS.INFO.SERIAL", u"BGM1234567", 41},
    KeyValue{u"GPS.INFO.MODEL", u"B220", 42},
    KeyValue{u"GPS.INFO.HARDWARE_VER", u"1.0", 43},
    KeyValue{u"GPS.INFO.BIOS_VER", u"2.3", 44},
    KeyValue{u"GPS.INFO.FIRMWARE_VER", u"4.00Ab", 45},
    KeyValue{u"GPS.INFO.MANUFACTURE_DATE", u"2013-05-02", 46},
    KeyValue{u"GPS.INFO.FUNCTIONALITY", u"L1L2 GPS GLONASS BDS", 47},
    KeyValue{u"GPS.BASE.POSITION", u"KNOWN,114.3521|30.5122|26.812", 48},
    KeyValue{u"GPS.BASE.DIFF_TYPE", u"RTCM32", 49},
    KeyValue{u"GPS.BASE.SITE_ID", u"0021", 50},
    KeyValue{u"GPS.BASE.PDOP_THRESHOLD", u"3.0", 51},
    KeyValue{u"GPS.BASE.DELAY_START", u"120", 52},
    KeyValue{u"GPS.BASE.AUTO_BASE", u"YES", 104},
    KeyValue{u"GPS.ELE_MASK", u"15", 53},
    KeyValue{u"GPS.STATUS", u"FIXED", 54},
    KeyValue{u"GPS.GPS", u"ENABLE", 107},
    KeyValue{u"GPS.GLONASS", u"ENABLE", 55},
    KeyValue{u"GPS.SBAS", u"DISABLE", 108},
    KeyValue{u"GPS.BEIDOU", u"ENABLE", 109},
    KeyValue{u"RADIO.INFO.SERIAL", u"R45012345", 56},
    KeyValue{u"RADIO.INFO.MODEL", u"UHF-35", 57},
    KeyValue{u"RADIO.INFO.HARDWARE_VER", u"2.0", 58},
    KeyValue{u"RADIO.INFO.BIOS_VER", u"1.1", 59},
    KeyValue{u"RADIO.INFO.FIRMWARE_VER", u"2.14", 60},
    KeyValue{u"RADIO.INFO.MANUFACTURE_DATE", u"2013-04-11", 61},
    KeyValue{u"RADIO.BAUD", u"19200", 62},
    KeyValue{u"RADIO.MODE", u"3", 63},
    KeyValue{u"RADIO.STATUS", u"NORMAL", 64},
    KeyValue{u"RADIO.FREQUENCY",
             u"450.050|451.050|452.050|453.050|454.050|455.050|456.050|457.050|"
             u"458.050|459.050|460.050|461.050|462.050|463.050|464.050|465.050",
             65},
    KeyValue{u"RADIO.FREQUENCY_RX", u"460.125|461.125|462.125|463.125", 107},
    KeyValue{u"RADIO.CHANNEL_SPACING", u"12.5", 66},
    KeyValue{u"RADIO.FREQ_UPPER_LIMIT", u"470.000", 67},
    KeyValue{u"RADIO.FREQ_LOWER_LIMIT", u"410.000", 68},
    KeyValue{u"RADIO.CHANNEL", u"4", 69},
    KeyValue{u"RADIO.CHANNEL_RX", u"6", 106},
    KeyValue{u"RADIO.POWER", u"HIGH", 70},
    KeyValue{u"NETWORK.INFO.SERIAL", u"N77012345", 80},
    KeyValue{u"NETWORK.INFO.MODEL", u"GPRS-M10", 81},
    KeyValue{u"NETWORK.INFO.HARDWARE_VER", u"1.3", 82},
    KeyValue{u"NETWORK.INFO.BIOS_VER", u"0.9", 83},
    KeyValue{u"NETWORK.INFO.FIRMWARE_VER", u"R03A07", 84},
    KeyValue{u"NETWORK.INFO.MANUFACTURE_DATE", u"2013-03-27", 85},
    KeyValue{u"NETWORK.INFO.IMEI", u"356938035643809", 86},
    KeyValue{u"NETWORK.STATUS", u"0418", 87},
    KeyValue{u"NETWORK.BAUD", u"115200", 88},
    KeyValue{u"NETWORK.SIGNAL_LEVEL", u"21", 89},
    KeyValue{u"NETWORK.MODE", u"PPP", 90},
    KeyValue{u"NETWORK.ADDR", u"198.51.100.23", 91},
    KeyValue{u"NETWORK.PORT", u"2101", 92},
    KeyValue{u"NETWORK.BASE_NUMBER", u"0021", 93},
    KeyValue{u"NETWORK.APN", u"cmnet", 94},
    KeyValue{u"NETWORK.APNUSER", u"card", 95},
    KeyValue{u"NETWORK.APNPASS", u"secret", 96},
    KeyValue{u"NETWORK.MOUNTPOINT", u"RTCM32_GNSS", 97},
    KeyValue{u"NETWORK.MOUNTPOINTUSERPASS", u"surveyor|s3cret", 98},
    KeyValue{u"NETWORK.UPLOADGGA", u"10", 99},
    KeyValue{u"NETWORK.AUTO_CONNECT", u"YES", 100},
    KeyValue{u"NETWORK.ERRORCODE", u"0400", -1},
    KeyValue{u"EXTERNAL.BAUD", u"115200", 102},
    KeyValue{u"DEVICE.LOGLIST", u"GGA:1|ZDA:0|GSA:5|GSV:5|GST:0|VTG:1|RMC:1|GLL:0", 113},
    KeyValue{u"GPS.REFSTATION.LOCATION", u"114.3520|30.5121|27.100", 114},
    KeyValue{u"GPS.REFSTATION.ID", u"0021", 115},
    KeyValue{u"DEVICE.RTK.STATUS", u"4", 105},
    KeyValue{u"SENSOR.INFO.MODEL", u"TILT SENSOR", 116},
    KeyValue{u"SENSOR.INFO.HARDWARE_VER", u"1.1", 117},
    KeyValue{u"SENSOR.INFO.FIRMWARE_VER", u"2.05", 118},
    KeyValue{u"SENSOR.PARAMETER", u"0.12|-0.08|1.000", 119},
    KeyValue{u"DEVICE.BATTERY_ID", u"BT-5800-0042", 120},
    KeyValue{u"BLUETOOTH.MODEL", u"BT-SPP-21", 103},
};

inline std::vector<std::u16string> SampleBurstLines() {
    std::vector<std::u16string> lines;
    lines.reserve(kSampleBurst.size());
    for (const KeyValue& entry : kSampleBurst) {
        lines.push_back(Reply(entry.key, entry.value));
    }
    return lines;
}

} // namespace quorlex::test
