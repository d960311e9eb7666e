#include "tests/replay/RecordDump.h"

#include "common/Text.h"

#include <array>
#include <charconv>

namespace quorlex::replay {
namespace {

class Dump {
public:
    explicit Dump(std::string& out) : out_(out) {}

    void operator()(std::string_view name, std::u16string_view value) {
        std::string quoted(1, '"');
        quoted += ToUtf8(value);
        quoted += '"';
        Line(name, quoted);
    }
    void operator()(std::string_view name, int32_t value) { Line(name, std::to_string(value)); }
    void operator()(std::string_view name, double value) {
        std::array<char, 32> text{};
        const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
        Line(name, std::string(text.data(), end));
    }
    template <typename T, std::size_t N>
    void operator()(std::string_view name, const std::array<T, N>& values) {
        for (std::size_t i = 0; i < N; ++i) {
            (*this)(std::string(name) + "[" + std::to_string(i) + "]", values[i]);
        }
    }
    void Module(const std::string& name, const ModuleInfo& m) {
        (*this)(name + ".serialNumber", m.serialNumber);
        (*this)(name + ".model", m.model);
        (*this)(name + ".hardwareVersion", m.hardwareVersion);
        (*this)(name + ".biosVersion", m.biosVersion);
        (*this)(name + ".firmwareVersion", m.firmwareVersion);
        (*this)(name + ".manufactureDate", m.manufactureDate);
        (*this)(name + ".extraText", m.extraText);
    }
    void Server(const std::string& name, const NetworkServerBlock& s) {
        (*this)(name + ".address", s.address);
        (*this)(name + ".port", s.port);
        (*this)(name + ".user", s.user);
        (*this)(name + ".password", s.password);
        (*this)(name + ".mountPoint", s.mountPoint);
    }
    void Network(const std::string& name, const NetworkBlock& n) {
        (*this)(name + ".protocol", n.protocol);
        (*this)(name + ".apn.name", n.apn.name);
        (*this)(name + ".apn.user", n.apn.user);
        (*this)(name + ".apn.password", n.apn.password);
        Server(name + ".server", n.server);
        (*this)(name + ".baseNumber", n.baseNumber);
        (*this)(name + ".statusText", n.statusText);
        (*this)(name + ".errorText", n.errorText);
        (*this)(name + ".baud", n.baud);
        (*this)(name + ".signalLevel", n.signalLevel);
        (*this)(name + ".ggaUploadInterval", n.ggaUploadInterval);
        (*this)(name + ".autoConnect", n.autoConnect);
    }
    void Radio(const std::string& name, const RadioBlock& r) {
        (*this)(name + ".channel", r.channel);
        (*this)(name + ".spareText", r.spareText);
        (*this)(name + ".protocol", r.protocol);
        (*this)(name + ".channelSpacing", r.channelSpacing);
        (*this)(name + ".txFrequency", r.txFrequency);
        (*this)(name + ".rxFrequency", r.rxFrequency);
        (*this)(name + ".rxChannel", r.rxChannel);
        (*this)(name + ".lowerLimit", r.lowerLimit);
        (*this)(name + ".upperLimit", r.upperLimit);
        (*this)(name + ".baud", r.baud);
        (*this)(name + ".status", r.status);
        (*this)(name + ".highPower", r.highPower);
    }

private:
    void Line(std::string_view name, const std::string& value) {
        out_.append(name).append(" = ").append(value).append("\n");
    }
    std::string& out_;
};

void DumpConfig(Dump& d, const ReceiverConfig& c) {
    d("config.workingMode", c.workingMode);
    d("config.antennaMeasuredHeight", c.antennaMeasuredHeight);
    d("config.antennaMeasureMethod", c.antennaMeasureMethod);
    d("config.antennaHeight", c.antennaHeight);
    d("config.recordCutAngle", c.recordCutAngle);
    d("config.recordPdopThreshold", c.recordPdopThreshold);
    d("config.recordPointName", c.recordPointName);
    d("config.recordIntervalMs", c.recordIntervalMs);
    d("config.autoRecord", c.autoRecord);
    d("config.recordStatus", c.recordStatus);
    d("config.elevationMask", c.elevationMask);
    d("config.diffType", c.diffType);
    d("config.recordRaw", c.recordRaw);
    d("config.gnssStatus", c.gnssStatus);
    d("config.basePositionMode", c.basePositionMode);
    d("config.autoBase", c.autoBase);
    d("config.basePosition", c.basePosition);
    d("config.basePdopThreshold", c.basePdopThreshold);
    d("config.baseDelayStart", c.baseDelayStart);
    d("config.baseSiteId", c.baseSiteId);
    const DatalinkConfig& l = c.datalink;
    d("config.datalink.currentDatalink", l.currentDatalink);
    d("config.datalink.externalBaud", l.externalBaud);
    for (std::size_t i = 0; i < l.network.size(); ++i) {
        d.Network("config.datalink.network[" + std::to_string(i) + "]", l.network[i]);
    }
    for (std::size_t i = 0; i < l.radio.size(); ++i) {
        d.Radio("config.datalink.radio[" + std::to_string(i) + "]", l.radio[i]);
    }
    d("config.datalink.extraLink.kind", l.extraLink.kind);
    d.Server("config.datalink.extraLink.server", l.extraLink.server);
    d("config.datalink.extraLink.text", l.extraLink.text);
    d("config.nmeaRates", c.nmeaRates);
    d("config.gpsEnabled", c.gpsEnabled);
    d("config.glonassEnabled", c.glonassEnabled);
    d("config.sbasEnabled", c.sbasEnabled);
    d("config.beidouEnabled", c.beidouEnabled);
}

void DumpInfo(Dump& d, const ReceiverInfo& i) {
    d.Module("info.device", i.device);
    d("info.deviceStatus", i.deviceStatus);
    d("info.sysModeText", i.sysModeText);
    d("info.datalinkText", i.datalinkText);
    d("info.languageText", i.languageText);
    d("info.powerSource", i.powerSource);
    d("info.powerLevel", i.powerLevel);
    d("info.antennaType", i.antennaType);
    d("info.antennaRadius", i.antennaRadius);
    d("info.antennaH", i.antennaH);
    d("info.antennaHL1", i.antennaHL1);
    d("info.antennaHL2", i.antennaHL2);
    d.Module("info.gnssModule", i.gnssModule);
    d.Module("info.radioModule", i.radioModule);
    d.Module("info.networkModule", i.networkModule);
    d("info.bluetoothModel", i.bluetoothModel);
    d("info.refStationLocation", i.refStationLocation);
    d("info.refStationId", i.refStationId);
    d("info.rtkStatus", i.rtkStatus);
    d("info.sensorPresent", i.sensorPresent);
    d("info.sensorHardwareVersion", i.sensorHardwareVersion);
    d("info.sensorFirmwareVersion", i.sensorFirmwareVersion);
    d("info.sensorParameter", i.sensorParameter);
    d("info.batteryId", i.batteryId);
    d("info.fivePinBaudText", i.fivePinBaudText);
}

} // namespace

std::string DumpRecord(const ReceiverSettings& settings) {
    std::string out;
    Dump d(out);
    DumpConfig(d, settings.config);
    DumpInfo(d, settings.info);
    return out;
}

} // namespace quorlex::replay
