#pragma once

#include "channel/DeliveryHandoff.h"
#include "channel/MainFrameCore.h"
#include "link/LinkSink.h"
#include "settings/SettingsWindowSlot.h"
#include "ui/UserPrompts.h"

#include <QMainWindow>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace quorlex {

struct MainFrameOptions {
    std::chrono::milliseconds tickInterval{1000};
    Sleeper sleeper = RealSleeper();
    LinkOptions linkOptions;
    // Where the source table is cached; the user's cache folder when unset.
    std::optional<std::filesystem::path> sourceTableCache;
    // The receivers are simulated: the title says so.
    bool simulated = false;
};

// The application's main window: owns the receiver control and the source
// table store, takes the link's data on the UI thread and drives the
// one-second clock of the command channel.
class CMainFrame final : public QMainWindow, public LinkSink {
public:
    // The platform must outlive the frame.
    explicit CMainFrame(BluetoothPlatform& platform, MainFrameOptions options = {});
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    MainFrameCore& Core() { return *core_; }
    ReceiverControl& Control() { return core_->Control(); }
    SourceTableStore& Store() { return core_->Store(); }
    const std::filesystem::path& AppDirectory() const { return appDirectory_; }

    // Runs once, on the first tick, before that tick reaches the channel.
    void SetFirstTickAction(std::function<void()> action) { firstTickAction_ = std::move(action); }
    bool FirstTickPending() const { return firstTick_; }

    // The window of the open settings dialog, if any.
    SettingsWindowSlot& SettingsWindow() { return settingsWindow_; }

    // From the link's threads: handled on the UI thread, returning once done.
    // From the UI thread itself (a failed send): handled at once.
    void Deliver(const char* bytes, std::size_t count) override;

    // Where the frame's own messages go; tests put a recorder in place.
    void SetPrompts(UserPrompts& replacement) { prompts_ = &replacement; }
    using WireLogChooser = std::function<std::optional<std::filesystem::path>(QWidget* parent)>;
    void SetWireLogChooser(WireLogChooser chooser) { chooseWireLog_ = std::move(chooser); }

    // The menu's commands; framework commands without a handler do nothing.
    // "退出" closes the frame, which ends the program.
    void OnCommand(int command);
    void ShowAboutBox();
    void ShowDeviceDialog();
    // Starts the wire log into file; false, with the reason told, when it cannot.
    bool StartWireLog(const std::filesystem::path& file);
    // "通讯记录": stops a running log, or asks for a file and starts one.
    void ToggleWireLog();
    // Runs the working screen modally; returns how it ended (kIdOk: "退出").
    int RunWorkingScreen();

private:
    void BuildMenu();
    void OnTimerTick();
    void RunFirstTick();
    void HandleReceiverData(const char* bytes, std::size_t count);
    void StopDeliveries();
    // Says which receiver is connected; the link tells the frame through its
    // data and the device dialog disconnects directly, so it is asked often.
    void UpdateTitle();
    void ReportCacheSaveFailure(const std::filesystem::path& file, const FileError& error);
    void ReportWireLogFailure(const FileError& error);
    // The menu's check mark follows the log.
    void ShowWireLogState();
    void Tell(const std::u16string& text);

    // Outlives the link: a link thread may still deliver while it is joined.
    DeliveryHandoff handoff_;
    std::unique_ptr<MainFrameCore> core_;
    std::filesystem::path appDirectory_;
    bool firstTick_ = true;
    std::function<void()> firstTickAction_;
    SettingsWindowSlot settingsWindow_;
    bool simulated_;
    UserPrompts* prompts_ = &DesktopPrompts();
    // Asks where the wire log goes when "通讯记录" starts it; nothing: not started.
    WireLogChooser chooseWireLog_;
    QTimer* tickTimer_ = nullptr;
};

// The one main frame of the application, nullptr while there is none.
CMainFrame* MainFrame();

} // namespace quorlex
