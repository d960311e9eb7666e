// Renders every dialog offscreen to PNG files, at the size its template gives
// (and a few made larger, as on a desktop), so the layouts can be looked at
// without a display.
//   quorlex-screenshots [output folder]     (default: docs/screenshots)

#include "app/ApplicationIcon.h"
#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "devices/CCommunicateAddDlg.h"
#include "devices/CCommunicatePINDlg.h"
#include "devices/CCommunicateSetDlg.h"
#include "devices/CFiveBaudSetDlg.h"
#include "devices/DeviceList.h"
#include "network/CMountPointDetailDlg.h"
#include "network/CWorkApnDlg.h"
#include "network/CWorkBaseNetDlg.h"
#include "network/CWorkNetWorkDlg.h"
#include "network/CWorkNetWorkRelayDlg.h"
#include "platform/ReceiverPlatform.h"
#include "radio/CWorkRelayDlg.h"
#include "radio/CWorkSetDafaultUHFDlg.h"
#include "radio/CWorkUHFDlg.h"
#include "radio/ChannelTable.h"
#include "settings/CPagedTabCtrl.h"
#include "settings/CProgressDlg.h"
#include "settings/CSaveOtherTipDlg.h"
#include "settings/CSaveTipDlg.h"
#include "settings/CWorkSettingDlg.h"
#include "settings/SettingsWindowSlot.h"
#include "sim/CasterTable.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/WorkingScreenDriver.h"
#include "ui/CColorListCtrl.h"
#include "ui/DialogFont.h"
#include "ui/QtTranslations.h"
#include "ui/UserPrompts.h"

#include <QApplication>
#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace quorlex {
namespace {

class Shooter {
public:
    explicit Shooter(QString folder) : folder_(std::move(folder)) {}

    // Runs the dialog, lets fill put it into a telling state, saves a picture;
    // at the size given, if any, instead of the template's.
    void Shoot(Dialog& dialog, const QString& name, const std::function<void()>& fill = {},
               QSize size = {}) {
        RunModal(dialog, [&] {
            if (fill) {
                fill();
            }
            if (size.isValid()) {
                dialog.resize(size);
            }
            QApplication::processEvents();
            Save(dialog, name);
            if (dialog.HasWindow()) {
                dialog.EndDialog(kIdCancel);
            }
        });
    }

    // One picture after each step, all of the same run of the dialog.
    void ShootEach(Dialog& dialog,
                   const std::vector<std::pair<QString, std::function<void()>>>& steps) {
        RunModal(dialog, [&] {
            for (const auto& [name, step] : steps) {
                step();
                QApplication::processEvents();
                Save(dialog, name);
            }
            if (dialog.HasWindow()) {
                dialog.EndDialog(kIdCancel);
            }
        });
    }

    void ShootWindow(QWidget& window, const QString& name) {
        window.show();
        QApplication::processEvents();
        Save(window, name);
        window.hide();
    }

    int failures = 0;

private:
    void Save(QWidget& widget, const QString& name) {
        const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
        if (widget.grab().save(path)) {
            QTextStream(stdout) << path << '\n';
        } else {
            QTextStream(stderr) << "cannot write " << path << '\n';
            failures++;
        }
    }

    QString folder_;
};

void FillProgress(CProgressDlg& dialog) {
    const BatchProgress steps[] = {
        {2, 27, u"设置网络地址成功!", 0},    {5, 27, u"设置端口...", 0},
        {8, 27, u"设置端口...", 0},          {10, 27, u"设置端口超时!", 1},
        {12, 27, u"读取当前配置信息...", 0}, {14, 27, u"读取仪器信息...", 0},
        {15, 27, u"仪器信息读取完毕!", 0},   {16, 27, u"读取当前配置信息成功!", 0},
    };
    for (const BatchProgress& step : steps) {
        dialog.OnBatchProgress(step);
    }
}

// The radio pages on channel 8, whose frequency may be typed, over the factory tables.
void ShootRadioDialogs(Shooter& shooter, ReceiverControl& control) {
    FrequencyTable factory{};
    for (size_t i = 0; i < factory.size(); ++i) {
        factory[i] = ParseTableFrequency(kDefaultChannelFrequencies[i]);
    }
    SettingsWindowSlot settingsWindow;
    CWorkUHFDlg radioPage(control, settingsWindow);
    radioPage.block.channel = 8;
    radioPage.block.protocol = 9;
    radioPage.block.txFrequency = factory;
    shooter.Shoot(radioPage, QStringLiteral("radio-page-131"));

    CWorkRelayDlg relayPage(control);
    relayPage.block.channel = 3;
    relayPage.block.rxChannel = 8;
    relayPage.block.protocol = 4;
    relayPage.block.txFrequency = factory;
    relayPage.block.rxFrequency = factory;
    shooter.Shoot(relayPage, QStringLiteral("radio-relay-page-134"));

    CWorkSetDafaultUHFDlg defaults(control, settingsWindow);
    defaults.datalink = control.Settings().config.datalink;
    shooter.Shoot(defaults, QStringLiteral("radio-defaults-208"),
                  [&] { Click(defaults, 1033); }); // "恢复默认设置"
}

// The streams of the simulated receivers' caster.
std::vector<StrRecord> SimulatedStreams() {
    std::vector<StrRecord> records;
    for (const std::u16string& line : CasterTable::DefaultStreams()) {
        if (std::optional<StrRecord> record = ParseStrRecord(line)) {
            records.push_back(std::move(*record));
        }
    }
    return records;
}

// Runs the application's events until done says so, for a few seconds at most.
bool WaitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

QSize Enlarged(const Dialog& dialog) {
    return dialog.TemplateSize() * 3 / 2;
}

// The working screen before connecting, then connected to a simulated
// receiver whose configuration it has read, once per page.
void ShootWorkingScreen(Shooter& shooter, CMainFrame& frame) {
    CWorkSettingDlg screen(frame.Core(), frame, frame.SettingsWindow(), {});
    const auto page = [&screen](int index) {
        return [&screen, index] { screen.TabCtrl()->TabBar()->setCurrentIndex(index); };
    };
    shooter.ShootEach(screen, {
                                  {QStringLiteral("working-screen-135"), [] {}},
                                  {QStringLiteral("working-screen-radio-131"),
                                   [&] {
                                       if (!ConnectFromWorkingScreen(screen, u"GNSS-R01")) {
                                           QTextStream(stderr) << "cannot read a receiver\n";
                                           shooter.failures++;
                                       }
                                   }},
                                  {QStringLiteral("working-screen-network-132"), page(1)},
                                  {QStringLiteral("working-screen-relay-134"), page(2)},
                                  {QStringLiteral("working-screen-base-103"), page(3)},
                              });
    frame.Control().Disconnect();
}

int Run(const QString& folder) {
    QDir().mkpath(folder);
    Shooter shooter(folder);

    // The application's simulated receivers, with the device list kept out of the user's folders.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", scratch.filePath(QStringLiteral("cache")).toUtf8());
    ReceiverPlatform receivers = MakeReceiverPlatform(true);
    MainFrameOptions options;
    options.sleeper = [](std::chrono::milliseconds) {};
    options.tickInterval = std::chrono::milliseconds(100); // reads end in a moment
    options.simulated = true;
    CMainFrame frame(*receivers.platform, std::move(options));
    shooter.ShootWindow(frame, QStringLiteral("main-frame"));
    if (QMenu* menu = frame.menuBar()->actions().value(0)->menu()) {
        shooter.ShootWindow(*menu, QStringLiteral("main-frame-menu"));
    }

    CAboutDlg aboutPortrait;
    shooter.Shoot(aboutPortrait, QStringLiteral("about-portrait-100"),
                  [&] { aboutPortrait.LayoutFor(QSize(480, 640)); });
    CAboutDlg aboutLandscape;
    shooter.Shoot(aboutLandscape, QStringLiteral("about-landscape-200"),
                  [&] { aboutLandscape.LayoutFor(QSize(640, 480)); });

    // Receivers added by hand are listed before those a search finds.
    SaveDeviceList(DeviceListPath(), {{u"办公室基站", u"192.168.1.20:5017", u"", u"tcp"},
                                      {u"USB串口线", u"/dev/ttyUSB0:115200", u"", u"serial"}});
    CCommunicateSetDlg devices(frame.Control(), frame);
    shooter.Shoot(devices, QStringLiteral("devices-136"), [&] {
        Click(devices, 1033); // "搜索" over the simulated receivers
        devices.DeviceList()->SelectItem(1);
    });

    CProgressDlg progress;
    shooter.Shoot(progress, QStringLiteral("progress-137"), [&] { FillProgress(progress); });
    CProgressDlg progressLarge;
    shooter.Shoot(
        progressLarge, QStringLiteral("progress-137-resized"), [&] { FillProgress(progressLarge); },
        Enlarged(progressLarge));

    // The receiver the frame is connected to is marked in the list.
    const SimulatedReceiverProfile second = SimulatedReceiversInRange().at(1);
    frame.Control().SetDevice({kLinkKindBluetooth, second.name, second.address, second.pin});
    if (!frame.Control().Connect() || !WaitFor([&] { return frame.Control().IsConnected(); })) {
        QTextStream(stderr) << "cannot connect to " << QString::fromStdU16String(second.name)
                            << '\n';
        shooter.failures++;
    }
    CCommunicateSetDlg connected(frame.Control(), frame);
    shooter.Shoot(
        connected, QStringLiteral("devices-136-resized"), [] {}, Enlarged(connected));
    frame.Control().Disconnect();

    const auto box =
        MakeMessageBox(nullptr, u"蓝牙连接失败，请检查!", u"Warning", MessageIcon::Exclamation);
    shooter.ShootWindow(*box, QStringLiteral("message-box"));

    CCommunicatePINDlg pin;
    pin.pinText = u"7391";
    shooter.Shoot(pin, QStringLiteral("pin-201"));

    CCommunicateAddDlg addTcp({"/dev/ttyUSB0", "/dev/ttyACM0"});
    addTcp.nameText = u"办公室基站";
    addTcp.hostText = u"192.168.1.20";
    addTcp.portText = u"5017";
    shooter.Shoot(addTcp, QStringLiteral("add-device-tcp-211"));
    CCommunicateAddDlg addSerial({"/dev/ttyUSB0", "/dev/ttyACM0"});
    addSerial.kindIndex = 1;
    addSerial.nameText = u"USB串口线";
    shooter.Shoot(addSerial, QStringLiteral("add-device-serial-211"));

    CSaveTipDlg saveTip;
    saveTip.slotNumber = 3;
    shooter.Shoot(saveTip, QStringLiteral("save-tip-205"));

    CSaveOtherTipDlg saveOther;
    shooter.Shoot(saveOther, QStringLiteral("save-other-tip-206"),
                  [&] { saveOther.DlgItem<QRadioButton>(1047)->click(); });

    CFiveBaudSetDlg fiveBaud(frame.Control());
    shooter.Shoot(fiveBaud, QStringLiteral("five-pin-baud-209"));

    ShootRadioDialogs(shooter, frame.Control());
    CWorkNetWorkDlg netWork(frame.Core(), frame.SettingsWindow());
    netWork.network = {u"caster.centipede.fr", 2101, u"surveyor", u"pass2101", u"CT"};
    shooter.Shoot(netWork, QStringLiteral("network-relay-page-132"));

    // Ordered from the simulated receiver's base position, a stream near it chosen.
    CMountPointDetailDlg details(SimulatedStreams(), GeoPoint{30.527431882, 114.356372170});
    details.mountPoint = u"WUHN_RTCM30";
    shooter.Shoot(details, QStringLiteral("mount-point-details-210"));

    CWorkBaseNetDlg baseNet(frame.Control());
    baseNet.network = {u"rtk2go.com", 2101, u"", u"", u"BASE01"};
    shooter.Shoot(baseNet, QStringLiteral("base-network-page-103"));

    CWorkNetWorkRelayDlg relay(frame.Control().Settings());
    relay.block = DefaultRadio();
    relay.block.channel = 8;
    shooter.Shoot(relay, QStringLiteral("network-relay-radio-204"));

    CWorkApnDlg apn;
    apn.block = {u"CMNET", u"", u""};
    shooter.Shoot(apn, QStringLiteral("apn-133"));

    ShootWorkingScreen(shooter, frame);

    return shooter.failures == 0 ? 0 : 1;
}

} // namespace
} // namespace quorlex

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    QApplication::setFont(quorlex::DialogFont());
    QApplication::setWindowIcon(quorlex::ApplicationIcon());
    if (!quorlex::InstallQtTranslations(app)) {
        QTextStream(stderr)
            << "Qt's translations are missing: message boxes show English buttons\n";
    }
    const QStringList args = QApplication::arguments();
    return quorlex::Run(args.size() > 1 ? args[1] : QStringLiteral("docs/screenshots"));
}
