#include "common/Text.h"
#include "network/CMountPointDetailDlg.h"
#include "network/CWorkApnDlg.h"
#include "network/CWorkBaseNetDlg.h"
#include "network/CWorkNetWorkDlg.h"
#include "network/CWorkNetWorkRelayDlg.h"
#include "network/ServerPresets.h"
#include "radio/RadioTables.h"
#include "settings/CProgressDlg.h"
#include "tests/support/RecordingPrompts.h"
#include "tests/ui/ModalDriver.h"
#include "tests/ui/SimulatedFrame.h"
#include "ui/CColorListCtrl.h"
#include "ui/ListCtrl.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace quorlex {
namespace {

using testing::SimulatedFrame;

constexpr int kAddressCombo = 1029;
constexpr int kPortCombo = 1030;
constexpr int kMountPointCombo = 1031;
constexpr int kUserEdit = 1010;
constexpr int kPasswordEdit = 1025;
constexpr int kFetchButton = 1024;
constexpr int kDetailsButton = 1035;
constexpr int kOperatorList = 1003;
constexpr int kChannelList = 1014;
constexpr int kFrequencyEdit = 1020;

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
        settingsWindow.Set(&refresh);
    }
    std::array<Dialog*, 2> Both() { return {&netWork, &baseNet}; }

    QWidget tab;
    CountingRefresh refresh;
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
}

// The base page shows no user or password, so storing must not lose them.
TEST(NetworkPagesTest, StoringTakesWhatEachPageShows) {
    SimulatedFrame sim;
    Pages pages(sim);
    pages.netWork.SetDlgItemText(kUserEdit, u"carol");
    pages.netWork.SetDlgItemText(kPasswordEdit, u"pw");
    pages.netWork.SetDlgItemText(kMountPointCombo, u"MP1");
    pages.baseNet.SetDlgItemText(1063, u"MP2");
    const std::pair<std::u16string, int32_t> ports[] = {
        {u"21O1", 21}, {u"", 0}, {u" 9000x", 9000}, {u"port", 0}};
    for (const auto& [text, port] : ports) {
        for (Dialog* page : pages.Both()) {
            page->SetDlgItemText(kAddressCombo, u"10.1.2.3");
            page->SetDlgItemText(kPortCombo, text);
        }
        EXPECT_TRUE(pages.netWork.StoreFromControls() && pages.baseNet.StoreFromControls());
        EXPECT_EQ(pages.netWork.network,
                  (NetworkServerBlock{u"10.1.2.3", port, u"carol", u"pw", u"MP1"}));
        EXPECT_EQ(pages.baseNet.network,
                  (NetworkServerBlock{u"10.1.2.3", port, u"bob", u"hidden", u"MP2"}));
    }
}

TEST(NetworkPagesTest, NetworkPageRefillsFromTheRelayProfileOfTheRecord) {
    SimulatedFrame sim;
    Pages pages(sim);
    DatalinkConfig& datalink = sim.Control().Settings().config.datalink;
    datalink.network[0].server = {u"rtk2go.com", 2101, u"dave", u"pw2", u"NEAR"};
    datalink.network[0].apn = {u"UNINET", u"", u""};
    datalink.radio[0].channel = 3;
    pages.netWork.LoadFromSettings();
    EXPECT_EQ(std::tie(pages.netWork.network, pages.netWork.apn, pages.netWork.relayRadio),
              std::tie(datalink.network[0].server, datalink.network[0].apn, datalink.radio[0]));
    EXPECT_EQ(pages.netWork.GetDlgItemText(kPortCombo), u"2101");
    EXPECT_EQ(pages.netWork.GetDlgItemText(kPasswordEdit), u"pw2");
}

// The row chosen on opening: the name decides first, then the CDMA user and password.
TEST(ApnDlgTest, OpensOnTheOperatorRowOfItsBlock) {
    const std::pair<ApnBlock, int> cases[] = {
        {{u"CMNET", u"", u""}, 0},           {{u"CMNET", u"KQVT", u"KQVT"}, 0},
        {{u"UNINET", u"u", u"p"}, 1},        {{u"", u"KQVT", u"KQVT"}, 2},
        {{u"3GNET", u"", u""}, 3},           {{u"cmnet", u"", u""}, 4},
        {{u"private.apn", u"me", u"pw"}, 4}, {{u"", u"KQVT", u""}, 4},
    };
    for (const auto& [block, row] : cases) {
        CWorkApnDlg dialog;
        dialog.block = block;
        int shown = -1;
        RunModal(dialog, [&] {
            shown = dialog.DlgItem<QComboBox>(kOperatorList)->currentIndex();
            Click(dialog, kIdOk);
        });
        EXPECT_EQ(shown, row) << ToUtf8(block.name);
        EXPECT_EQ(dialog.block, block);
    }
}

// Choosing a row overwrites all three values, typed ones included; "取消" hands nothing back.
TEST(ApnDlgTest, ChoosingAnOperatorFillsInItsValues) {
    CWorkApnDlg dialog;
    const ApnBlock incoming{u"private.apn", u"me", u"pw"};
    dialog.block = incoming;
    std::vector<ApnBlock> shown;
    RunModal(dialog, [&] {
        for (int row = 0; row < 5; ++row) {
            dialog.SetDlgItemText(kUserEdit, u"typed");
            Choose(dialog, kOperatorList, row);
            shown.push_back({dialog.GetDlgItemText(1004), dialog.GetDlgItemText(kUserEdit),
                             dialog.GetDlgItemText(kPasswordEdit)});
        }
        Click(dialog, kIdCancel);
    });
    EXPECT_EQ(Items(dialog, kOperatorList),
              (QStringList{"移动2G/GSM", "联通2G/GSM", "电信/CDMA", "联通3G/WCDMA", "其它"}));
    EXPECT_EQ(shown, (std::vector<ApnBlock>{{u"CMNET", u"", u""},
                                            {u"UNINET", u"", u""},
                                            {u"", u"KQVT", u"KQVT"},
                                            {u"3GNET", u"", u""},
                                            {u"", u"", u""}}));
    EXPECT_EQ(dialog.block, incoming);
}

// Only channel 8's frequency is read; a channel outside 1..16 selects nothing and is kept.
TEST(NetworkRelayDlgTest, OpensOnTheBlocksChannelAndStoresItWithoutReadingTheEdit) {
    using Shown = std::tuple<int, std::u16string, bool,
                             int>; // channel row, frequency, editable, protocol row
    const std::pair<int32_t, Shown> cases[] = {{5, {4, u"414.050", false, 4}},
                                               {8, {7, u"417.050", true, 4}},
                                               {17, {-1, u"", false, 4}},
                                               {0, {-1, u"", false, 4}}};
    for (const auto& [channel, expected] : cases) {
        ReceiverSettings settings;
        CWorkNetWorkRelayDlg dialog(settings);
        dialog.block = DefaultRadio();
        dialog.block.channel = channel;
        dialog.block.protocol = 10;
        const RadioBlock incoming = dialog.block;
        Shown shown;
        const int result = RunModal(dialog, [&, channel = channel] {
            shown = {dialog.DlgItem<QComboBox>(kChannelList)->currentIndex(),
                     dialog.GetDlgItemText(kFrequencyEdit),
                     dialog.GetDlgItem(kFrequencyEdit)->isEnabled(),
                     dialog.DlgItem<QComboBox>(1015)->currentIndex()};
            if (channel != 8) {
                dialog.SetDlgItemText(kFrequencyEdit, u"999");
            }
            Click(dialog, kIdOk);
        });
        EXPECT_EQ(result, kIdOk) << channel;
        EXPECT_EQ(shown, expected) << channel;
        EXPECT_EQ(dialog.block, incoming) << channel;
        EXPECT_EQ(settings.config.datalink.radio[0], incoming) << channel;
    }
}

// A refused frequency keeps the dialog open; "取消" then changes nothing, OK
// writes both the page's copy and the record's first radio block.
TEST(NetworkRelayDlgTest, RefusedFrequencyKeepsTheDialogOpen) {
    SimulatedFrame sim;
    Pages pages(sim);
    RecordingPrompts prompts;
    pages.netWork.SetPrompts(prompts);
    const RadioBlock& record = sim.Control().Settings().config.datalink.radio[0];
    const RadioBlock recordBefore = record;
    pages.netWork.relayRadio = DefaultRadio();
    const RadioBlock before = pages.netWork.relayRadio;
    bool stayedOpen = false;
    for (const std::u16string frequency : {u"471", u"470"}) {
        AnswerNextModal([&](QWidget& active) {
            auto* dialog = dynamic_cast<CWorkNetWorkRelayDlg*>(&active);
            ASSERT_NE(dialog, nullptr);
            Choose(*dialog, kChannelList, 7);
            dialog->SetDlgItemText(kFrequencyEdit, frequency);
            Choose(*dialog, 1015, 4);
            Click(*dialog, kIdOk);
            stayedOpen = dialog->isVisible();
            if (stayedOpen) {
                Click(*dialog, kIdCancel);
            }
        });
        ASSERT_TRUE(Click(pages.netWork, 1034));
        if (frequency == u"471") {
            EXPECT_TRUE(stayedOpen);
            EXPECT_EQ(pages.netWork.relayRadio, before);
            EXPECT_EQ(record, recordBefore);
        }
    }
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, kFrequencyRangeWarning);
    EXPECT_EQ(prompts.messages[0].caption, u"Warning");
    RadioBlock expected = before;
    expected.channel = 8;
    expected.txFrequency[7] = 470.0;
    expected.protocol = 10;
    EXPECT_EQ(pages.netWork.relayRadio, expected);
    EXPECT_EQ(record, expected);
}

// Watches the next progress dialog: its result and its rows when it closes.
struct ProgressWatch {
    void Arm(const std::function<void(CProgressDlg&)>& whileOpen) {
        AnswerNextModal([this, whileOpen](QWidget& active) {
            auto* progress = dynamic_cast<CProgressDlg*>(&active);
            ASSERT_NE(progress, nullptr);
            QObject::connect(progress, &QDialog::finished, [this, progress](int code) {
                result = code;
                const CColorListCtrl* list = progress->StatusList();
                for (int row = 0; row < list->GetItemCount(); ++row) {
                    rows += ToQString(list->GetItemText(row, 0)) + '\n';
                }
            });
            whileOpen(*progress);
        });
    }
    int result = 0;
    QString rows;
};

// Two fetches against the simulated receiver: the first switches it to the
// network relay, the second finds it there and sends one command less.
TEST(MountPointFetchDlgTest, FetchedNamesFillTheComboAndTheTableIsCached) {
    SimulatedFrame sim;
    ASSERT_TRUE(sim.Connect(0));
    ReceiverSimulator& receiver = sim.Simulator(0);
    Pages pages(sim);
    pages.netWork.SetDlgItemText(kAddressCombo, u"caster.example");
    pages.netWork.SetDlgItemText(kMountPointCombo, u"TYPED");
    SimulatorFaults silent;
    silent.silent = true;
    for (const bool switchesMode : {true, false}) {
        QFile::remove(sim.folder.filePath("sourcetable.dat"));
        // The receiver answers once the progress dialog is watched; the first command goes again.
        receiver.SetFaults(silent);
        ProgressWatch watch;
        watch.Arm([&](CProgressDlg&) {
            ASSERT_TRUE(receiver.WaitForCommands(1, std::chrono::seconds(5)));
            receiver.ClearReceivedCommands();
            receiver.SetFaults({});
        });
        ASSERT_TRUE(Click(pages.netWork, kFetchButton));
        EXPECT_EQ(watch.result, kIdOk);
        std::vector<std::string> commands = {
            "SET,NETWORK.ADDR,caster.example", "SET,NETWORK.PORT,2101",
            "SET,NETWORK.MOUNTPOINTUSERPASS,alice|s3cret", "GET,NETWORK.MOUNTPOINTLIST", "GET,ALL"};
        if (switchesMode) {
            commands.insert(commands.begin() + 3, "SET,DEVICE.SYS_MODE,NETRELAY");
        }
        EXPECT_EQ(receiver.ReceivedCommands(), commands);
        EXPECT_EQ(Items(pages.netWork, kMountPointCombo), ToQStrings(receiver.MountPoints()));
        EXPECT_EQ(pages.netWork.GetDlgItemText(kMountPointCombo), u"TYPED");
        EXPECT_TRUE(watch.rows.contains(QStringLiteral("设置CORS用户密码[alice]成功!")));
        EXPECT_FALSE(watch.rows.contains(QStringLiteral("s3cret")));
        QFile cache(sim.folder.filePath("sourcetable.dat"));
        ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
        const QByteArray table = cache.readAll();
        EXPECT_TRUE(table.startsWith("SOURCETABLE 200 OK\r\n") &&
                    table.endsWith("ENDSOURCETABLE\r\n"));
    }
    EXPECT_EQ(pages.refresh.count, 2);
}

// The table of a cancelled fetch still arrives and is cached, but only the
// next opening of the page shows it.
TEST(MountPointFetchDlgTest, CancelledFetchLeavesTheComboAndTheNextOpeningShowsTheCache) {
    SimulatedFrame sim;
    ASSERT_TRUE(sim.Connect(0));
    ReceiverSimulator& receiver = sim.Simulator(0);
    MainFrameCore& core = sim.frame->Core();
    core.Store().FeedMountPointList(u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START\r\n"
                                    u"@GNSS,GET,NETWORK.MOUNTPOINTLI,OK,EARLIER\r\n"
                                    u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,END\r\n");
    Pages pages(sim);
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
    EXPECT_EQ(pages.refresh.count, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !core.FetchActive(); }));
    EXPECT_TRUE(core.Store().IsComplete());
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
    EXPECT_EQ(core.Store().TableText(), FromUtf8(arriving));
}

// Against each simulated caster: the names land in the combo and the cache
// reloads to the records fetched; a refusal ends the fetch with a red row
// naming its status and leaves the combo and the cached table alone.
TEST(MountPointFetchDlgTest, EveryFormOfTheTableAndARefusal) {
    const struct {
        size_t receiver;
        std::string firstLine; // empty: the caster refuses
    } forms[] = {
        {0, "SOURCETABLE 200 OK"}, {1, "HTTP/1.1 200 OK"}, {2, "HTTP/1.1 200 OK"}, {3, ""}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form.receiver);
        SimulatedFrame sim;
        MainFrameCore& core = sim.frame->Core();
        const std::string earlier = "SOURCETABLE 200 OK\r\nSTR;EARLIER;x\r\nENDSOURCETABLE\r\n";
        const QString cachePath = sim.folder.filePath("sourcetable.dat");
        QFile earlierFile(cachePath);
        ASSERT_TRUE(earlierFile.open(QIODevice::WriteOnly) &&
                    earlierFile.write(earlier.c_str()) > 0);
        earlierFile.close();
        ASSERT_TRUE(sim.Connect(form.receiver));
        Pages pages(sim);
        RecordingPrompts prompts;
        pages.netWork.SetPrompts(prompts);
        ProgressWatch watch;
        watch.Arm([](CProgressDlg&) {});
        ASSERT_TRUE(Click(pages.netWork, kFetchButton));
        EXPECT_EQ(watch.result, kIdOk);
        EXPECT_FALSE(core.FetchActive());
        EXPECT_TRUE(watch.rows.contains(QStringLiteral("重新获取参数成功!")))
            << watch.rows.toStdString();
        QFile cache(cachePath);
        ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
        const QByteArray cached = cache.readAll();
        if (form.firstLine.empty()) {
            EXPECT_TRUE(watch.rows.contains(QStringLiteral("获取源列表失败：401 Unauthorized\n")));
            // The dialog closed by itself: the page says it once more.
            ASSERT_EQ(prompts.messages.size(), 1u);
            EXPECT_EQ(prompts.messages[0].text,
                      u"获取源列表失败：401 Unauthorized\n请检查CORS地址、端口、用户名和密码!");
            EXPECT_EQ(Items(pages.netWork, kMountPointCombo), QStringList{"EARLIER"});
            EXPECT_EQ(cached.toStdString(), earlier);
            // The details offer what the combo offers: the cached table.
            std::u16string detailed;
            AnswerNextModal([&](QWidget& active) {
                auto* details = dynamic_cast<CMountPointDetailDlg*>(&active);
                ASSERT_NE(details, nullptr);
                detailed = details->StreamList()->GetItemText(0, 0);
                Click(*details, kIdCancel);
            });
            ASSERT_TRUE(Click(pages.netWork, kDetailsButton));
            EXPECT_EQ(detailed, u"EARLIER");
            continue;
        }
        EXPECT_TRUE(watch.rows.contains(QStringLiteral("获取源列表完毕！")))
            << watch.rows.toStdString();
        EXPECT_TRUE(prompts.messages.empty());
        EXPECT_EQ(Items(pages.netWork, kMountPointCombo),
                  ToQStrings(sim.Simulator(form.receiver).MountPoints()));
        EXPECT_TRUE(cached.startsWith(QByteArray::fromStdString(form.firstLine + "\r\n")));
        EXPECT_TRUE(cached.endsWith("\r\nENDSOURCETABLE\r\n"));
        SourceTableStore reloaded(cachePath.toStdString());
        ASSERT_TRUE(reloaded.LoadCache());
        EXPECT_EQ(reloaded.StrList(), core.Store().StrList());
        EXPECT_EQ(reloaded.StrList().size(), sim.Simulator(form.receiver).MountPoints().size());
    }
}

std::vector<std::u16string> Column(const ListCtrl& list, int column) {
    std::vector<std::u16string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        texts.push_back(list.GetItemText(row, column));
    }
    return texts;
}

// The details open nearest first from the receiver's base position on the
// mount point shown; a typed position orders them again, a bad one is
// refused; OK puts the stream selected last into the combo.
TEST(MountPointDetailDlgTest, OrdersByDistanceShowsTheRecordAndHandsBackTheChoice) {
    SimulatedFrame sim;
    Pages pages(sim);
    RecordingPrompts prompts;
    pages.netWork.SetPrompts(prompts);
    ASSERT_TRUE(Click(pages.netWork, kDetailsButton));
    EXPECT_EQ(prompts.messages.at(0).text, u"没有接入点信息，请先获取接入点!");
    sim.frame->Core().Store().FeedSourceTable(
        u"SOURCETABLE 200 OK\r\nSTR;NONE;Nowhere;RTCM 3.2;;2;GPS;N;CHN;0;0;1\r\n"
        u"STR;BEIJING;Beijing;RTCM 3.2;1004(1);2;GPS;N;CHN;39.91;116.40;0\r\n"
        u"STR;WUHAN;Wuhan;RTCM 3.0;1004(1);1;GPS+BDS;N;CHN;30.53;114.36;0;0;g;none;B;N;9600\r\n");
    ReceiverConfig& config = sim.Control().Settings().config;
    config.basePositionMode = 1;
    config.basePosition = {30.50, 114.30, 35.2};
    pages.netWork.SetDlgItemText(kMountPointCombo, u"BEIJING");
    std::vector<std::u16string> opened;
    std::vector<std::u16string> distances;
    std::u16string shownFirst;
    std::vector<std::u16string> wuhan;
    std::vector<std::u16string> fromUrumqi;
    AnswerNextModal([&](QWidget& active) {
        auto* dialog = dynamic_cast<CMountPointDetailDlg*>(&active);
        ASSERT_NE(dialog, nullptr);
        opened = Column(*dialog->StreamList(), 0);
        distances = Column(*dialog->StreamList(), 1);
        shownFirst = dialog->DetailList()->GetItemText(0, 1);
        dialog->StreamList()->SelectItem(0);
        wuhan = Column(*dialog->DetailList(), 1);
        dialog->SetDlgItemText(1101, u"91");
        Click(*dialog, 1103);
        dialog->SetDlgItemText(1101, u"43.83");
        dialog->SetDlgItemText(1102, u"87.62");
        Click(*dialog, 1103);
        fromUrumqi = Column(*dialog->StreamList(), 0);
        Click(*dialog, kIdOk);
    });
    ASSERT_TRUE(Click(pages.netWork, kDetailsButton));
    EXPECT_EQ(opened, (std::vector<std::u16string>{u"WUHAN", u"BEIJING", u"NONE"}));
    EXPECT_EQ(distances, (std::vector<std::u16string>{u"6.6", u"1063.5", u""}));
    EXPECT_EQ(shownFirst, u"BEIJING");
    EXPECT_EQ(wuhan,
              (std::vector<std::u16string>{u"WUHAN", u"Wuhan", u"RTCM 3.0", u"1004(1)", u"RTK(L1)",
                                           u"GPS+BDS", u"N", u"CHN", u"30.53, 114.36",
                                           u"Client Must Send NMEA-GGA:No", u"Basic", u"9600"}));
    EXPECT_EQ(prompts.messages.size(), 2u); // the latitude 91
    EXPECT_EQ(fromUrumqi, (std::vector<std::u16string>{u"BEIJING", u"WUHAN", u"NONE"}));
    EXPECT_EQ(pages.netWork.GetDlgItemText(kMountPointCombo), u"WUHAN");
}

} // namespace
} // namespace quorlex
