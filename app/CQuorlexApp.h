#pragma once

#include "app/CMainFrame.h"
#include "platform/ReceiverPlatform.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace quorlex {

// The application object: chooses the Bluetooth platform, creates the main
// frame and shows it. Lives inside the QApplication.
class CQuorlexApp {
public:
    // How the process ends when the working screen closes with "退出".
    using ExitHandler = std::function<void(int exitCode)>;

    // noAdapter: the simulated machine has no Bluetooth adapter.
    explicit CQuorlexApp(bool simulate, bool noAdapter = false, ExitHandler exit = QuitEventLoop);
    ~CQuorlexApp();
    CQuorlexApp(const CQuorlexApp&) = delete;
    CQuorlexApp& operator=(const CQuorlexApp&) = delete;

    // Logs every byte over the link into file from the start (before InitInstance).
    void SetWireLog(std::filesystem::path file) { wireLog_ = std::move(file); }

    // False when the application cannot start (it says why on standard error).
    bool InitInstance();
    CMainFrame* MainWindow() const { return frame_.get(); }

    // Leaves the application's event loop, so the frame and its link are
    // closed in order on the way out.
    static void QuitEventLoop(int exitCode);

private:
    ExitHandler exit_;
    std::filesystem::path wireLog_;
    ReceiverPlatform platform_; // outlives the frame and its link
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace quorlex
