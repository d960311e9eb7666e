#pragma once

#include "app/CMainFrame.h"
#include "link/sim/SimulatedPlatform.h"
#include "platform/ReceiverPlatform.h"

#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

namespace quorlex::testing {

// The application's simulated receivers in range of a main frame whose clock
// runs fast and whose after-chunk pause is skipped. The device list file and
// the source table cache live in a folder of the test's own.
class SimulatedFrame {
public:
    static constexpr std::chrono::milliseconds kTick{20};

    SimulatedFrame() : receivers(MakeReceiverPlatform(true)) {
        qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", folder.filePath(QStringLiteral("cache")).toUtf8());
        for (const auto& simulator : receivers.simulators) {
            simulator->SetLineRate(0);
        }
        MainFrameOptions options;
        options.tickInterval = kTick;
        options.sleeper = [](std::chrono::milliseconds) {};
        options.linkOptions.readableWait = std::chrono::milliseconds(50);
        options.linkOptions.workerStopLimit = std::chrono::milliseconds(1000);
        options.linkOptions.diagnostic = [](std::u16string_view) {};
        options.sourceTableCache = folder.filePath(QStringLiteral("sourcetable.dat")).toStdString();
        options.simulated = true;
        frame = std::make_unique<CMainFrame>(*receivers.platform, std::move(options));
    }

    ~SimulatedFrame() {
        frame.reset();
        for (const auto& simulator : receivers.simulators) {
            simulator->Detach();
        }
    }

    SimulatedPlatform& Platform() { return dynamic_cast<SimulatedPlatform&>(*receivers.platform); }
    ReceiverSimulator& Simulator(size_t index) { return *receivers.simulators.at(index); }
    SimulatedReceiverProfile Profile(size_t index) const {
        return SimulatedReceiversInRange().at(index);
    }
    ReceiverControl& Control() { return frame->Control(); }

    // Connects straight through the receiver control, as a dialog would.
    bool Connect(size_t index) {
        const SimulatedReceiverProfile profile = Profile(index);
        Control().SetDevice({kLinkKindBluetooth, profile.name, profile.address, profile.pin});
        return Control().Connect() && QTest::qWaitFor([this] { return Control().IsConnected(); });
    }

    QTemporaryDir folder;
    ReceiverPlatform receivers;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace quorlex::testing
