#include "app/CQuorlexApp.h"

#include "app/ApplicationIcon.h"
#include "link/sim/SimulatedPlatform.h"
#include "ui/DialogFont.h"

#include <QApplication>

namespace quorlex {

CQuorlexApp::CQuorlexApp(bool simulate, bool noAdapter) : platform(MakeReceiverPlatform(simulate)) {
    if (auto* simulated = dynamic_cast<SimulatedPlatform*>(platform.platform.get());
        simulated != nullptr && noAdapter) {
        SimulatedAdapterFaults faults;
        faults.noAdapter = true;
        simulated->SetAdapterFaults(faults);
    }
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
    frame->show();
    return true;
}

} // namespace quorlex
