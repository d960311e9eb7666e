#include "common/Text.h"
#include "network/CWorkApnDlg.h"
#include "network/CWorkBaseNetDlg.h"
#include "network/CWorkNetWorkDlg.h"
#include "network/CWorkNetWorkRelayDlg.h"
#include "network/ServerPresets.h"
#include "radio/RadioTables.h"
#include "settings/CProgressDlg.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/CColorListCtrl.h"
#include "ui/QtText.h"
#include "ui/RecordingPrompts.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace quorlex {
namespace {

using testing::SimulatedFrame;

constexpr int kAddressCombo = 1029;
constexpr int kPortCombo = 1030;
constexpr int kMountPointCombo = 1031;
constexpr int kBaseMountPointEdit = 1063;
constexpr int kUserEdit = 1010;
constexpr int kPasswordEdit = 1025;
constexpr int kRelayButton = 1034;
constexpr int kFetchButton = 1024;
constexpr int kOperatorList = 1003;
constexpr int kApnNameEdit = 1004;
constexpr int kChannelList = 1014;
constexpr int kFrequencyEdit = 1020;
constexpr int kProtocolList = 1015;

QStringList Items(const Dialog& dialog, int combo) {
    QStringList items;
    const auto* box = dialog.DlgItem<QComboBox>(combo);
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

template <class Texts> QStringList ToQStrings(const Texts& texts) {
    QStringList list;
    for (const auto& text : texts) {
        list << ToQString(text);
    }
    return list;
}

// The surveyor picks a row: the dialog hears of it as a selection change.
void Choose(Dialog& dialog, int combo, int index) {
    auto* box = dialog.DlgItem<QComboBox>(combo);
    box->setCurrentIndex(index);
    box->activated(index);
}

void Type(Dialog& dialog, int id, const QString& text) {
    dialog.SetDlgItemText(id, FromQString(text));
}

class CountingRefresh final : public SettingsRefreshTarget {
public:
    void OnSettingsRefresh() override { ++count; }
    int count = 0;
};

// Both pages built as the settings dialog builds them: blocks first, then
// created as children of its tab.
struct Pages {
    explicit Pages(SimulatedFrame& sim)
        : netWork(sim.frame->Core(), settingsWindow), baseNet(sim.Control()) {
        netWork.network = {u"relay.example", 2101, u"alice", u"s3cret", u"RELAY"};
        baseNet.network = {u"base.example", 6060, u"bob", u"hidden", u"BASE"};
        netWork.CreateModeless(&tab);
        baseNet.CreateModeless(&tab);
    }

    std::array<Dialog*, 2> Both() { return {&netWork, &baseNet}; }

    QWidget tab;
    SettingsWindowSlot settingsWindow;
    CWorkNetWorkDlg netWork;
    CWorkBaseNetDlg baseNet;
};

TEST(NetworkPagesTest, PresetListsKeepTheirOrderWhilePortsSortAsText) {
    SimulatedFrame sim;
    Pages pages(sim);
    for (const Dialog* page : pages.Both()) {
        EXPECT_EQ(Items(*page, kAddressCombo), ToQStrings(kPresetServerAddresses));
        EXPECT_EQ(Items(*page, kPortCombo),
                  (QStringList{"2010", "2012", "2101", "48665", "6060", "8000", "9000", "9001"}));
    }
    EXPECT_EQ(pages.netWork.GetDlgItemText(kPortCombo), u"2101");
    EXPECT_EQ(pages.baseNet.GetDlgItemText(kAddressCombo), u"base.example");
}

TEST(NetworkPagesTest, PortTextStoresItsLeadingDigits) {
    SimulatedFrame sim;
    Pages pages(sim);
    const struct {
        QString text;
        int32_t port;
    } cases[] = {{"21O1", 21}, {"", 0}, {"48665", 48665}, {"port", 0}, {" 9000x", 9000}};
    for (const auto& c : cases) {
        Type(pages.netWork, kPortCombo, c.text);
        Type(pages.baseNet, kPortCombo, c.text);
        EXPECT_TRUE(pages.netWork.StoreFromControls());
        EXPECT_TRUE(pages.baseNet.StoreFromControls());
        EXPECT_EQ(pages.netWork.network.port, c.port) << c.text.toStdString();
        EXPECT_EQ(pages.baseNet.network.port, c.port) << c.text.toStdString();
    }
}

// The base page shows no user or password, so storing must not lose them.
TEST(NetworkPagesTest, StoringTakesWhatEachPageShows) {
    SimulatedFrame sim;
    Pages pages(sim);
    for (Dialog* page : pages.Both()) {
        Type(*page, kAddressCombo, "10.1.2.3");
        Type(*page, kPortCombo, "2102");
    }
    Type(pages.netWork, kMountPointCombo, "MP1");
    Type(pages.netWork, kUserEdit, "carol");
    Type(pages.netWork, kPasswordEdit, "pw");
    Type(pages.baseNet, kBaseMountPointEdit, "MP2");
    pages.netWork.StoreFromControls();
    pages.baseNet.StoreFromControls();
    EXPECT_EQ(pages.netWork.network,
              (NetworkServerBlock{u"10.1.2.3", 2102, u"carol", u"pw", u"MP1"}));
    EXPECT_EQ(pages.baseNet.network,
              (NetworkServerBlock{u"10.1.2.3", 2102, u"bob", u"hidden", u"MP2"}));
}

TEST(NetworkPagesTest, NetworkPageRefillsFromTheRelayProfileOfTheRecord) {
    SimulatedFrame sim;
    Pages pages(sim);
    DatalinkConfig& datalink = sim.Control().Settings().config.datalink;
    datalink.network[0].server = {u"rtk2go.com", 2101, u"dave", u"pw2", u"NEAR"};
    datalink.network[0].apn = {u"UNINET", u"", u""};
    datalink.radio[0].channel = 3;
    pages.netWork.LoadFromSettings();
    EXPECT_EQ(pages.netWork.network, datalink.network[0].server);
    EXPECT_EQ(pages.netWork.apn, datalink.network[0].apn);
    EXPECT_EQ(pages.netWork.relayRadio, datalink.radio[0]);
    const std::u16string shown[] = {
        pages.netWork.GetDlgItemText(kAddressCombo), pages.netWork.GetDlgItemText(kPortCombo),
        pages.netWork.GetDlgItemText(kUserEdit), pages.netWork.GetDlgItemText(kPasswordEdit),
        pages.netWork.GetDlgItemText(kMountPointCombo)};
    EXPECT_EQ(std::vector<std::u16string>(std::begin(shown), std::end(shown)),
              (std::vector<std::u16string>{u"rtk2go.com", u"2101", u"dave", u"pw2", u"NEAR"}));
}

// The row chosen on opening: the name decides first, then the CDMA user and password.
TEST(ApnDlgTest, OpensOnTheOperatorRowOfItsBlock) {
    const struct {
        ApnBlock block;
        int row;
    } cases[] = {
        {{u"CMNET", u"", u""}, 0},           {{u"CMNET", u"KQVT", u"KQVT"}, 0},
        {{u"UNINET", u"u", u"p"}, 1},        {{u"", u"KQVT", u"KQVT"}, 2},
        {{u"3GNET", u"", u""}, 3},           {{u"cmnet", u"", u""}, 4},
        {{u"private.apn", u"me", u"pw"}, 4}, {{u"", u"KQVT", u""}, 4},
    };
    for (const auto& c : cases) {
        CWorkApnDlg dialog;
        dialog.block = c.block;
        int row = -1;
        const int result = RunModal(dialog, [&] {
            row = dialog.DlgItem<QComboBox>(kOperatorList)->currentIndex();
            Click(dialog, kIdOk);
        });
        EXPECT_EQ(result, kIdOk);
        EXPECT_EQ(row, c.row) << ToUtf8(c.block.name);
        EXPECT_EQ(dialog.block, c.block);
    }
}

// Choosing a row overwrites all three values, typed ones included.
TEST(ApnDlgTest, ChoosingAnOperatorFillsInItsValues) {
    CWorkApnDlg dialog;
    dialog.block = {u"private.apn", u"me", u"pw"};
    std::vector<ApnBlock> shown;
    RunModal(dialog, [&] {
        for (int row = 0; row < 5; ++row) {
            Type(dialog, kUserEdit, "typed");
            Choose(dialog, kOperatorList, row);
            shown.push_back({dialog.GetDlgItemText(kApnNameEdit), dialog.GetDlgItemText(kUserEdit),
                             dialog.GetDlgItemText(kPasswordEdit)});
        }
        Type(dialog, kApnNameEdit, "own.apn");
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(Items(dialog, kOperatorList),
              (QStringList{"移动2G/GSM", "联通2G/GSM", "电信/CDMA", "联通3G/WCDMA", "其它"}));
    EXPECT_EQ(shown, (std::vector<ApnBlock>{{u"CMNET", u"", u""},
                                            {u"UNINET", u"", u""},
                                            {u"", u"KQVT", u"KQVT"},
                                            {u"3GNET", u"", u""},
                                            {u"", u"", u""}}));
    EXPECT_EQ(dialog.block, (ApnBlock{u"own.apn", u"", u""}));
}

// Both pages hand their APN block to the dialog and take it back on OK only.
TEST(ApnDlgTest, PagesTakeTheApnBackOnOkOnly) {
    SimulatedFrame sim;
    Pages pages(sim);
    constexpr int kApnButton = 1033;
    for (Dialog* page : pages.Both()) {
        ApnBlock& apn = page == &pages.baseNet ? pages.baseNet.apn : pages.netWork.apn;
        apn = {u"CMNET", u"", u""};
        for (const int button : {kIdCancel, kIdOk}) {
            AnswerNextModal([&](QWidget& active) {
                auto* dialog = dynamic_cast<CWorkApnDlg*>(&active);
                ASSERT_NE(dialog, nullptr);
                Choose(*dialog, kOperatorList, 3);
                Click(*dialog, button);
            });
            ASSERT_TRUE(Click(*page, kApnButton));
            EXPECT_EQ(apn.name, button == kIdOk ? u"3GNET" : u"CMNET");
        }
    }
}

TEST(NetworkRelayDlgTest, OpensOnTheBlocksChannelAndStoresItWithoutReadingTheEdit) {
    const struct {
        int32_t channel;
        int selected;
        std::u16string frequency;
        bool editable;
    } cases[] = {{5, 4, u"414.050", false},
                 {1, 0, u"410.050", false},
                 {8, 7, u"417.050", true},
                 {17, -1, u"", false}, // outside the table: nothing selected, nothing read
                 {0, -1, u"", false}};
    for (const auto& c : cases) {
        ReceiverSettings settings;
        CWorkNetWorkRelayDlg dialog(settings);
        dialog.block = DefaultRadio();
        dialog.block.channel = c.channel;
        dialog.block.protocol = 10;
        int selected = -2;
        int protocol = -1;
        std::u16string frequency;
        bool editable = false;
        const int result = RunModal(dialog, [&] {
            selected = dialog.DlgItem<QComboBox>(kChannelList)->currentIndex();
            protocol = dialog.DlgItem<QComboBox>(kProtocolList)->currentIndex();
            frequency = dialog.GetDlgItemText(kFrequencyEdit);
            editable = dialog.GetDlgItem(kFrequencyEdit)->isEnabled();
            if (!editable) {
                Type(dialog, kFrequencyEdit, "999");
            }
            Click(dialog, kIdOk);
        });
        EXPECT_EQ(result, kIdOk) << c.channel;
        EXPECT_EQ(selected, c.selected) << c.channel;
        EXPECT_EQ(protocol, 4) << c.channel;
        EXPECT_EQ(frequency, c.frequency) << c.channel;
        EXPECT_EQ(editable, c.editable) << c.channel;
        RadioBlock expected = DefaultRadio();
        expected.channel = c.channel;
        expected.protocol = 10;
        EXPECT_EQ(dialog.block, expected) << c.channel;
        EXPECT_EQ(settings.config.datalink.radio[0], expected) << c.channel;
    }
}

// A refused channel-8 frequency keeps the dialog open; "取消" then changes
// nothing, while OK writes the page's copy and the record's first radio block.
TEST(NetworkRelayDlgTest, RefusedFrequencyKeepsTheDialogOpen) {
    SimulatedFrame sim;
    Pages pages(sim);
    RecordingPrompts prompts;
    pages.netWork.SetPrompts(prompts);
    const RadioBlock& record = sim.Control().Settings().config.datalink.radio[0];
    pages.netWork.relayRadio = DefaultRadio();
    pages.netWork.relayRadio.channel = 5;
    const RadioBlock before = pages.netWork.relayRadio;
    const RadioBlock recordBefore = record;
    const auto relay = [](QWidget& active) {
        auto* dialog = dynamic_cast<CWorkNetWorkRelayDlg*>(&active);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    };
    bool editable = false;
    bool stayedOpen = false;
    AnswerNextModal([&](QWidget& active) {
        CWorkNetWorkRelayDlg* dialog = relay(active);
        ASSERT_NE(dialog, nullptr);
        Choose(*dialog, kChannelList, 7);
        editable = dialog->GetDlgItem(kFrequencyEdit)->isEnabled();
        Type(*dialog, kFrequencyEdit, "471");
        Click(*dialog, kIdOk);
        stayedOpen = dialog->isVisible();
        Click(*dialog, kIdCancel);
    });
    ASSERT_TRUE(Click(pages.netWork, kRelayButton));
    EXPECT_TRUE(editable);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, kFrequencyRangeWarning);
    EXPECT_EQ(prompts.messages[0].caption, u"Warning");
    EXPECT_EQ(pages.netWork.relayRadio, before);
    EXPECT_EQ(record, recordBefore);

    AnswerNextModal([&](QWidget& active) {
        CWorkNetWorkRelayDlg* dialog = relay(active);
        ASSERT_NE(dialog, nullptr);
        Choose(*dialog, kChannelList, 7);
        Type(*dialog, kFrequencyEdit, "470");
        Choose(*dialog, kProtocolList, 4);
        Click(*dialog, kIdOk);
    });
    ASSERT_TRUE(Click(pages.netWork, kRelayButton));
    RadioBlock expected = before;
    expected.channel = 8;
    expected.txFrequency[7] = 470.0;
    expected.protocol = 10;
    EXPECT_EQ(pages.netWork.relayRadio, expected);
    EXPECT_EQ(record, expected);
    EXPECT_EQ(prompts.messages.size(), 1U);
}

// Watches the next progress dialog: its result and its rows when it closes.
struct ProgressWatch {
    void Arm(const std::function<void(CProgressDlg&)>& whileOpen = {}) {
        AnswerNextModal([this, whileOpen](QWidget& active) {
            auto* progress = dynamic_cast<CProgressDlg*>(&active);
            ASSERT_NE(progress, nullptr);
            QObject::connect(progress, &QDialog::finished, [this, progress](int code) {
                result = code;
                const CColorListCtrl* list = progress->StatusList();
                for (int row = 0; row < list->GetItemCount(); ++row) {
                    rows.push_back(list->GetItemText(row, 0));
                }
            });
            if (whileOpen) {
                whileOpen(*progress);
            }
        });
    }

    int result = 0;
    std::vector<std::u16string> rows;
};

std::vector<std::string> FetchCommands(bool switchesMode) {
    std::vector<std::string> commands = {"SET,NETWORK.ADDR,caster.example", "SET,NETWORK.PORT,2101",
                                         "SET,NETWORK.MOUNTPOINTUSERPASS,alice|s3cret"};
    if (switchesMode) {
        commands.emplace_back("SET,DEVICE.SYS_MODE,NETRELAY");
    }
    commands.insert(commands.end(), {"GET,NETWORK.MOUNTPOINTLIST", "GET,ALL"});
    return commands;
}

// Two fetches against the simulated receiver: the first switches it to the
// network relay, the second finds it there and has one command less.
TEST(MountPointFetchDlgTest, FetchedNamesFillTheComboAndTheTableIsCached) {
    SimulatedFrame sim;
    ASSERT_TRUE(sim.Connect(0));
    ReceiverSimulator& receiver = sim.Simulator(0);
    Pages pages(sim);
    CountingRefresh refresh;
    pages.settingsWindow.Set(&refresh);
    Type(pages.netWork, kAddressCombo, "caster.example");
    Type(pages.netWork, kMountPointCombo, "TYPED");
    SimulatorFaults silent;
    silent.silent = true;
    for (const bool switchesMode : {true, false}) {
        QFile::remove(sim.folder.filePath("sourcetable.dat"));
        // The receiver answers only once the progress dialog is watched; the
        // unanswered first command goes out again.
        receiver.SetFaults(silent);
        ProgressWatch watch;
        watch.Arm([&](CProgressDlg&) {
            ASSERT_TRUE(receiver.WaitForCommands(1, std::chrono::seconds(5)));
            receiver.ClearReceivedCommands();
            receiver.SetFaults({});
        });
        ASSERT_TRUE(Click(pages.netWork, kFetchButton));
        EXPECT_EQ(watch.result, kIdOk);
        EXPECT_EQ(receiver.ReceivedCommands(), FetchCommands(switchesMode));
        EXPECT_EQ(Items(pages.netWork, kMountPointCombo), ToQStrings(receiver.MountPoints()));
        EXPECT_EQ(pages.netWork.GetDlgItemText(kMountPointCombo), u"TYPED");
        EXPECT_FALSE(sim.frame->Core().FetchActive());
        QFile cache(sim.folder.filePath("sourcetable.dat"));
        ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
        const QByteArray table = cache.readAll();
        EXPECT_TRUE(table.startsWith("SOURCETABLE 200 OK\r\n"));
        EXPECT_TRUE(table.endsWith("ENDSOURCETABLE\r\n"));
        EXPECT_TRUE(std::find(watch.rows.begin(), watch.rows.end(),
                              u"设置CORS用户密码[alice]成功!") != watch.rows.end());
        for (const std::u16string& row : watch.rows) {
            EXPECT_EQ(row.find(u"s3cret"), std::u16string::npos) << ToUtf8(row);
        }
    }
    EXPECT_EQ(refresh.count, 2);
}

// The table of a cancelled fetch still arrives and is cached, but only the
// next opening of the page shows it.
TEST(MountPointFetchDlgTest, CancelledFetchLeavesTheComboAndTheNextOpeningShowsTheCache) {
    SimulatedFrame sim;
    ASSERT_TRUE(sim.Connect(0));
    ReceiverSimulator& receiver = sim.Simulator(0);
    MainFrameCore& core = sim.frame->Core();
    // Names of an earlier fetch are still in the store.
    core.Store().FeedMountPointList(u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START\r\n"
                                    u"@GNSS,GET,NETWORK.MOUNTPOINTLI,OK,EARLIER\r\n"
                                    u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,END\r\n");
    Pages pages(sim);
    CountingRefresh refresh;
    pages.settingsWindow.Set(&refresh);
    const QStringList before = Items(pages.netWork, kMountPointCombo);
    SimulatorFaults silent;
    silent.silent = true;
    receiver.SetFaults(silent); // nothing can end the batch before the surveyor cancels
    ProgressWatch watch;
    watch.Arm([&](CProgressDlg& progress) {
        Click(progress, kIdCancel);
        receiver.SetFaults({});
    });
    ASSERT_TRUE(Click(pages.netWork, kFetchButton));
    EXPECT_EQ(watch.result, kIdCancel);
    EXPECT_EQ(Items(pages.netWork, kMountPointCombo), before);
    EXPECT_EQ(refresh.count, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !core.FetchActive(); }));
    EXPECT_TRUE(core.Store().IsComplete());
    EXPECT_EQ(Items(pages.netWork, kMountPointCombo), before);
    CWorkNetWorkDlg next(core, pages.settingsWindow);
    next.CreateModeless(&pages.tab);
    EXPECT_EQ(Items(next, kMountPointCombo), ToQStrings(receiver.MountPoints()));
}

// Opening the page while a fetch takes in its table must not replace that
// table with the cached one.
TEST(MountPointFetchDlgTest, OpeningDuringAFetchKeepsTheArrivingTable) {
    SimulatedFrame sim;
    MainFrameCore& core = sim.frame->Core();
    core.Store().FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;CACHED;x\r\nENDSOURCETABLE\r\n");
    ASSERT_TRUE(core.Store().SaveCache());
    core.Store().Reset();
    core.SetFetchActive(true);
    const std::string arriving = "SOURCETABLE 200 OK\r\nSTR;ARRIVING;x\r\n";
    core.OnReceiverData(arriving.data(), arriving.size());
    Pages pages(sim);
    EXPECT_EQ(Items(pages.netWork, kMountPointCombo), QStringList{"ARRIVING"});
    EXPECT_EQ(core.Store().TableText(), u"SOURCETABLE 200 OK\r\nSTR;ARRIVING;x\r\n");
    EXPECT_EQ(core.Store().State(), SourceTableState::Receiving);
}

} // namespace
} // namespace quorlex
