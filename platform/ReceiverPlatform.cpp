#include "platform/ReceiverPlatform.h"

#include "link/bluez/BluezPlatform.h"
#include "link/sim/SimulatedPlatform.h"
#include "link/sim/SimulatorService.h"

namespace quorlex {

std::vector<SimulatedReceiverProfile> SimulatedReceiversInRange() {
    // The first is paced like a real serial line, so its reading can be watched.
    // Each reaches a caster that answers a mount point fetch in its own way.
    return {
        {u"GNSS-R01", 0x00126F0A1B2CULL, u"7391", 1, ReceiverSimulator::kDefaultLineRate,
         u"QX2041570236", CasterForm::Ntrip1},
        {u"GNSS-R02", 0x00126F0A9E40ULL, u"1234", 3, 0, u"QX2041570815", CasterForm::Ntrip2Length},
        {u"GNSS-R03", 0x00126F0C7712ULL, u"7391", 5, 0, u"QX2041571102", CasterForm::Ntrip2Chunked},
        {u"GNSS-R04", 0x00126F0D2A58ULL, u"7391", 7, 0, u"QX2041571457", CasterForm::Refusing},
    };
}

ReceiverPlatform MakeReceiverPlatform(bool simulate) {
    ReceiverPlatform result;
    result.simulated = simulate;
    if (!simulate) {
        result.platform = std::make_unique<BluezPlatform>();
        return result;
    }
    auto platform = std::make_unique<SimulatedPlatform>();
    for (const SimulatedReceiverProfile& profile : SimulatedReceiversInRange()) {
        auto simulator = std::make_shared<ReceiverSimulator>();
        simulator->SetLineRate(profile.lineRate);
        simulator->SetValue(u"DEVICE.INFO.SERIAL", profile.serialNumber);
        simulator->SetCaster(profile.caster);
        SimulatedReceiver receiver;
        receiver.name = profile.name;
        receiver.address = profile.address;
        receiver.pin = profile.pin;
        receiver.channel = profile.channel;
        receiver.serve = ServeWithSimulator(simulator);
        platform->AddReceiver(std::move(receiver));
        result.simulators.push_back(std::move(simulator));
    }
    result.platform = std::move(platform);
    return result;
}

} // namespace quorlex
