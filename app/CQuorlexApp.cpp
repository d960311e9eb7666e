#include "app/CQuorlexApp.h"

#include "app/ApplicationIcon.h"
#include "common/FileStore.h"
#include "common/Text.h"
#include "link/sim/SimulatedPlatform.h"
#include "ui/Dialog.h"
#include "ui/DialogFont.h"

#include <QApplication>

#include <iostream>

namespace quorlex {

CQuorlexApp::CQuorlexApp(bool simulate, bool noAdapter, ExitHandler exit)
    : exit(std::move(exit)), platform(MakeReceiverPlatform(simulate)) {
    if (auto* simulated = dynamic_cast<SimulatedPlatform*>(platform.platform.get());
        simulated != nullptr && noAdapter) {
        SimulatedAdapterFaults faults;
        faults.noAdapter = true;
        simulated->SetAdapterFaults(faults);
    }
}

void CQuorlexApp::QuitEventLoop(int exitCode) {
    QCoreApplication::exit(exitCode);
}

CQuorlexApp::~CQuorlexApp() {
    frame.reset();
}

bool CQuorlexApp::InitInstance() {
    if (!platform.platform) {
        return false;
    }
    QApplication::setFont(DialogFont());
    QApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntryName));
    MainFrameOptions options;
    options.simulated = platform.simulated;
    frame = std::make_unique<CMainFrame>(*platform.platform, std::move(options));
    FileError error;
    if (!wireLog.empty() && !frame->Control().Link().Wire().Start(wireLog, error)) {
        std::cerr << "quorlex: cannot open the wire log " << wireLog.string() << ": "
                  << ToUtf8(FileErrorText(error)) << '\n';
        return false;
    }
    // The working screen opens on the first tick; "退出" ends the program,
    // any other close leaves the frame with its menu.
    frame->SetFirstTickAction([this] {
        if (frame->RunWorkingScreen() == kIdOk) {
            exit(0);
        }
    });
    frame->show();
    return true;
}

} // namespace quorlex
