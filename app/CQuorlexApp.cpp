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
    : exit_(std::move(exit)), platform_(MakeReceiverPlatform(simulate)) {
    if (auto* simulated = dynamic_cast<SimulatedPlatform*>(platform_.platform.get());
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
    frame_.reset();
}

bool CQuorlexApp::InitInstance() {
    if (!platform_.platform) {
        return false;
    }
    QApplication::setFont(DialogFont());
    QApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntryName));
    MainFrameOptions options;
    options.simulated = platform_.simulated;
    frame_ = std::make_unique<CMainFrame>(*platform_.platform, std::move(options));
    FileError error;
    if (!wireLog_.empty() && !frame_->Control().Link().Wire().Start(wireLog_, error)) {
        std::cerr << "quorlex: cannot open the wire log " << wireLog_.string() << ": "
                  << ToUtf8(FileErrorText(error)) << '\n';
        return false;
    }
    // The working screen opens on the first tick; "退出" ends the program,
    // any other close leaves the frame with its menu.
    frame_->SetFirstTickAction([this] {
        if (frame_->RunWorkingScreen() == kIdOk) {
            exit_(0);
        }
    });
    frame_->show();
    return true;
}

} // namespace quorlex
