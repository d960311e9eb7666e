#pragma once

#include "app/CMainFrame.h"
#include "app/ReceiverPlatform.h"

#include <memory>

namespace quorlex {

// The application object: chooses the Bluetooth platform, creates the main
// frame and shows it. Lives inside the QApplication.
class CQuorlexApp {
public:
    // noAdapter: the simulated machine has no Bluetooth adapter.
    explicit CQuorlexApp(bool simulate, bool noAdapter = false);
    ~CQuorlexApp();
    CQuorlexApp(const CQuorlexApp&) = delete;
    CQuorlexApp& operator=(const CQuorlexApp&) = delete;

    // False when the application cannot start.
    bool InitInstance();
    CMainFrame* MainWindow() const { return frame.get(); }

private:
    ReceiverPlatform platform; // outlives the frame and its link
    std::unique_ptr<CMainFrame> frame;
};

} // namespace quorlex
