// Renders every dialog offscreen to PNG files, at the size its template gives,
// so the layouts can be looked at without a display.
//   quorlex-screenshots [output folder]     (default: docs/screenshots)

#include "devices/CCommunicatePINDlg.h"
#include "settings/CProgressDlg.h"
#include "settings/CSaveOtherTipDlg.h"
#include "settings/CSaveTipDlg.h"
#include "tests/ui/ModalDriver.h"
#include "ui/CColorListCtrl.h"
#include "ui/DialogFont.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QPixmap>
#include <QRadioButton>
#include <QTextStream>

#include <functional>

namespace quorlex {
namespace {

class Shooter {
public:
    explicit Shooter(QString folder) : folder(std::move(folder)) {}

    // Runs the dialog, lets fill put it into a telling state, saves a picture.
    void Shoot(Dialog& dialog, const QString& name, const std::function<void()>& fill = {}) {
        RunModal(dialog, [&] {
            if (fill) {
                fill();
            }
            QApplication::processEvents();
            const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
            if (dialog.grab().save(path)) {
                QTextStream(stdout) << path << '\n';
            } else {
                QTextStream(stderr) << "cannot write " << path << '\n';
                failures++;
            }
            if (dialog.HasWindow()) {
                dialog.EndDialog(kIdCancel);
            }
        });
    }

    int failures = 0;

private:
    QString folder;
};

void FillDeviceList(Dialog& dialog) {
    auto* list = dialog.DlgItem<ListCtrl>(1032);
    list->SetExtendedStyle(0x30);
    list->InsertColumn(0, u"设备名称", ColumnAlign::Center, 200);
    list->InsertColumn(1, u"地址", ColumnAlign::Left, 200);
    list->InsertColumn(2, u"PIN码", ColumnAlign::Left, 80);
    const char16_t* rows[][3] = {{u"接收机 A01", u"00126f0a1b2c", u"7391"},
                                 {u"接收机 B17", u"00126f0a9e40", u"1234"},
                                 {u"GNSS-3", u"00126f0c7712", u"7391"}};
    for (const auto& row : rows) {
        const int index = list->InsertItem(list->GetItemCount(), row[0]);
        list->SetItemText(index, 1, row[1]);
        list->SetItemText(index, 2, row[2]);
    }
    list->SelectItem(1);
}

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

int Run(const QString& folder) {
    QDir().mkpath(folder);
    Shooter shooter(folder);

    Dialog aboutPortrait(100);
    shooter.Shoot(aboutPortrait, QStringLiteral("about-portrait-100"),
                  [&] { aboutPortrait.SetDlgItemText(1046, u"编译日期: 170512"); });
    Dialog aboutLandscape(200);
    shooter.Shoot(aboutLandscape, QStringLiteral("about-landscape-200"));

    Dialog settings(135);
    shooter.Shoot(settings, QStringLiteral("settings-135"));

    Dialog devices(136);
    shooter.Shoot(devices, QStringLiteral("devices-136"), [&] { FillDeviceList(devices); });

    CProgressDlg progress;
    shooter.Shoot(progress, QStringLiteral("progress-137"), [&] { FillProgress(progress); });

    CCommunicatePINDlg pin;
    pin.pinText = u"7391";
    shooter.Shoot(pin, QStringLiteral("pin-201"));

    CSaveTipDlg saveTip;
    saveTip.slotNumber = 3;
    shooter.Shoot(saveTip, QStringLiteral("save-tip-205"));

    CSaveOtherTipDlg saveOther;
    shooter.Shoot(saveOther, QStringLiteral("save-other-tip-206"),
                  [&] { saveOther.DlgItem<QRadioButton>(1047)->click(); });

    Dialog fiveBaud(209);
    shooter.Shoot(fiveBaud, QStringLiteral("five-pin-baud-209"),
                  [&] { fiveBaud.SetDlgItemText(1060, u"38400"); });

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
    const QStringList args = QApplication::arguments();
    return quorlex::Run(args.size() > 1 ? args[1] : QStringLiteral("docs/screenshots"));
}
