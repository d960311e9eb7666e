#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "common/Format.h"
#include "devices/CCommunicateSetDlg.h"
#include "network/CacheFile.h"
#include "resources/MenuTemplate.h"
#include "settings/CWorkSettingDlg.h"
#include "startup/CommandLine.h"
#include "ui/DialogFont.h"
#include "ui/DialogUnits.h"
#include "ui/MenuBuilder.h"
#include "ui/QtText.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenuBar>
#include <QTimer>

namespace quorlex {
namespace {

CMainFrame* theMainFrame = nullptr;

// Roughly the handheld's portrait screen, so the dialogs fit beside the menu.
constexpr int kFrameWidthUnits = 150;
constexpr int kFrameHeightUnits = 180;

std::unique_ptr<MainFrameCore> MakeCore(BluetoothPlatform& platform, MainFrameOptions& options) {
    if (options.sourceTableCache) {
        return std::make_unique<MainFrameCore>(platform, std::move(options.sleeper),
                                               std::move(options.linkOptions),
                                               *options.sourceTableCache);
    }
    return std::make_unique<MainFrameCore>(platform, std::move(options.sleeper),
                                           std::move(options.linkOptions));
}

std::filesystem::path ExecutableDirectory() {
    const QString dir = QCoreApplication::applicationDirPath();
    return std::filesystem::path(dir.toStdU16String());
}

// Save, undo, cut, copy and paste belong to a document this tool does not have.
bool HasHandler(int command) {
    return command == command::kDeviceDialog || command == command::kAppAbout ||
           command == command::kAppExit || command == command::kWireLog;
}

// The file is appended to, so choosing one that exists asks nothing.
std::optional<std::filesystem::path> AskForWireLog(QWidget* parent) {
    const QString file =
        QFileDialog::getSaveFileName(parent, QStringLiteral("通讯记录文件"),
                                     QDir::home().filePath(QStringLiteral("quorlex-wire.log")),
                                     QStringLiteral("通讯记录 (*.log);;所有文件 (*)"), nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

QAction* FindAction(QMenuBar& bar, int command) {
    QList<QAction*> pending = bar.actions();
    while (!pending.empty()) {
        QAction* action = pending.takeLast();
        if (QMenu* menu = action->menu()) {
            pending.append(menu->actions());
        } else if (action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

// Its name, or its address where it has none; empty when nothing is connected.
std::u16string ConnectedReceiver(const ReceiverControl& control) {
    if (!control.IsConnected()) {
        return {};
    }
    const DeviceRecord& device = control.Device();
    if (!device.name.empty()) {
        return device.name;
    }
    if (device.linkKind != kLinkKindBluetooth) {
        return device.location;
    }
    return FormatText(u"%04x%08x", {int64_t{static_cast<uint16_t>(device.address >> 32)},
                                    int64_t{static_cast<uint32_t>(device.address)}});
}

void DisableUnhandled(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (QMenu* sub = action->menu()) {
            DisableUnhandled(*sub);
        } else if (!action->isSeparator() && !HasHandler(action->data().toInt())) {
            action->setEnabled(false);
        }
    }
}

} // namespace

CMainFrame::CMainFrame(BluetoothPlatform& platform, MainFrameOptions options)
    : handoff_([this](const char* bytes, std::size_t count) { HandleReceiverData(bytes, count); },
               [this](const std::function<void()>& call) {
                   QMetaObject::invokeMethod(
                       this, [&call] { call(); }, Qt::BlockingQueuedConnection);
               },
               [this] { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }),
      core_(MakeCore(platform, options)), simulated_(options.simulated),
      chooseWireLog_(AskForWireLog) {
    theMainFrame = this;
    appDirectory_ = ExecutableDirectory();
    setFont(DialogFont());
    setCentralWidget(new QWidget(this));
    const DialogUnits units = DialogUnits::FromFont(DialogFont());
    resize(units.ToPixelsX(kFrameWidthUnits), units.ToPixelsY(kFrameHeightUnits));
    BuildMenu();
    Control().SetReceiveTarget(this);
    core_->SetCacheSaveFailed([this](const std::filesystem::path& file, const FileError& error) {
        ReportCacheSaveFailure(file, error);
    });
    // Told on whichever thread wrote; the box waits for the UI thread.
    Control().Link().Wire().SetFailureHandler([this](const FileError& error) {
        QMetaObject::invokeMethod(
            this, [this, error] { ReportWireLogFailure(error); }, Qt::QueuedConnection);
    });
    tickTimer_ = new QTimer(this);
    tickTimer_->setTimerType(Qt::CoarseTimer);
    connect(tickTimer_, &QTimer::timeout, this, [this] { OnTimerTick(); });
    tickTimer_->start(options.tickInterval);
    UpdateTitle();
}

CMainFrame::~CMainFrame() {
    tickTimer_->stop();
    Control().Link().Wire().SetFailureHandler({});
    StopDeliveries();
    if (theMainFrame == this) {
        theMainFrame = nullptr;
    }
}

void CMainFrame::StopDeliveries() {
    // A link thread may be waiting for this thread right now; the link's
    // destruction joins it, so let it go first.
    Control().SetReceiveTarget(nullptr);
    handoff_.Stop();
}

void CMainFrame::BuildMenu() {
    const MenuTemplate* menu = FindMenuTemplate(kFrameResourceId);
    if (menu == nullptr) {
        return;
    }
    BuildMenuBar(*menu, *menuBar(), [this](int command) { OnCommand(command); });
    for (QAction* action : menuBar()->actions()) {
        if (QMenu* popup = action->menu()) {
            DisableUnhandled(*popup);
        }
    }
    if (QAction* wireLog = FindAction(*menuBar(), command::kWireLog)) {
        wireLog->setCheckable(true);
    }
}

void CMainFrame::OnCommand(int command) {
    if (command == command::kDeviceDialog) {
        ShowDeviceDialog();
    } else if (command == command::kAppAbout) {
        ShowAboutBox();
    } else if (command == command::kAppExit) {
        close();
    } else if (command == command::kWireLog) {
        ToggleWireLog();
    }
}

bool CMainFrame::StartWireLog(const std::filesystem::path& file) {
    FileError error;
    const bool started = Control().Link().Wire().Start(file, error);
    if (!started) {
        Tell(FormatText(
            u"无法打开通讯记录文件：\n%s\n原因：%s",
            {std::u16string_view(PathText(file)), std::u16string_view(FileErrorText(error))}));
    }
    ShowWireLogState();
    return started;
}

void CMainFrame::ToggleWireLog() {
    WireLog& log = Control().Link().Wire();
    if (log.Active()) {
        log.Stop();
    } else if (const std::optional<std::filesystem::path> file = chooseWireLog_(this)) {
        StartWireLog(*file);
    }
    ShowWireLogState();
}

void CMainFrame::ShowWireLogState() {
    if (QAction* action = FindAction(*menuBar(), command::kWireLog)) {
        action->setChecked(Control().Link().Wire().Active());
    }
}

void CMainFrame::ReportWireLogFailure(const FileError& error) {
    ShowWireLogState();
    Tell(FormatText(u"通讯记录无法写入，已停止记录：\n%s\n原因：%s",
                    {std::u16string_view(PathText(Control().Link().Wire().Path())),
                     std::u16string_view(FileErrorText(error))}));
}

void CMainFrame::Tell(const std::u16string& text) {
    QWidget* above = QApplication::activeModalWidget();
    prompts_->ShowMessage(above != nullptr ? above : this, text, u"Warning",
                          MessageIcon::Exclamation);
}

void CMainFrame::UpdateTitle() {
    const QString title = ToQString(WindowTitle(simulated_, ConnectedReceiver(Control())));
    if (title != windowTitle()) {
        setWindowTitle(title);
    }
}

void CMainFrame::ShowAboutBox() {
    CAboutDlg about(this);
    about.DoModal();
}

void CMainFrame::ShowDeviceDialog() {
    CCommunicateSetDlg devices(Control(), *this, this);
    devices.DoModal();
}

int CMainFrame::RunWorkingScreen() {
    CWorkSettingDlg screen(
        *core_, *this, settingsWindow_, [this] { ShowAboutBox(); }, this);
    return screen.DoModal();
}

void CMainFrame::OnTimerTick() {
    if (firstTick_) {
        firstTick_ = false;
        // A Qt timer does not fire again while its own handler runs, and the
        // action runs the working screen modally: it runs just outside the
        // handler, so the later ticks reach the channel through its loop.
        QMetaObject::invokeMethod(
            this, [this] { RunFirstTick(); }, Qt::QueuedConnection);
        return;
    }
    core_->OnTimer();
    UpdateTitle();
}

void CMainFrame::RunFirstTick() {
    if (firstTickAction_) {
        firstTickAction_();
    }
    core_->OnTimer();
}

void CMainFrame::Deliver(const char* bytes, std::size_t count) {
    handoff_.Deliver(bytes, count);
}

void CMainFrame::HandleReceiverData(const char* bytes, std::size_t count) {
    core_->OnReceiverData(bytes, count);
    UpdateTitle();
}

// The fetch ends inside the timer's handler or a delivery that the reader
// thread waits for; the box waits until they are done, so neither the clock
// nor the link stalls while it is open.
void CMainFrame::ReportCacheSaveFailure(const std::filesystem::path& file, const FileError& error) {
    const std::u16string text = CacheSaveFailedText(file, error);
    QMetaObject::invokeMethod(
        this, [this, text] { Tell(text); }, Qt::QueuedConnection);
}

CMainFrame* MainFrame() {
    return theMainFrame;
}

} // namespace quorlex
