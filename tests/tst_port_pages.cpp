// The five port pages, offscreen, driven through the main window: the controls of their
// forms, the port-name chain of Port Configuration, what each page shows from the records,
// the enabling of lists, editors and "&Apply", editing rows, cycling a column from its
// header, sorting the read-only lists, and the exact requests every "&Apply" sends.
#include "PageTests.h"

#include "core/DeviceType.h"
#include "pages/ModulePort_Config.h"
#include "pages/ModulePort_Limit.h"
#include "pages/ModulePort_Status.h"
#include "pages/ModulePort_Trunk.h"
#include "pages/ModulePort_TrunkStatus.h"
#include "shell/DeviceTreeModel.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"
#include "ui/Images.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

namespace {

constexpr uint16_t NameGet = 0x0200;
constexpr uint16_t ConfigGet = 0x0201;
constexpr uint16_t ConfigSet = 0x0202;
constexpr uint16_t StatusGet = 0x0203;
constexpr uint16_t LimitGet = 0x0204;
constexpr uint16_t LimitSet = 0x0205;
constexpr uint16_t TrunkGet = 0x0206;
constexpr uint16_t TrunkSet = 0x0207;

constexpr int Ports = 8; // of the known models
constexpr int Trunks = 4;

const char* const ConfigPath = "Port Configuration";
const char* const StatusPath = "Port Configuration/Port Status";
const char* const LimitPath = "Port Configuration/Rate Limit";
const char* const TrunkPath = "Port Configuration/Port Trunk";
const char* const TrunkStatusPath = "Port Configuration/Port Trunk/Port Trunk Status";

TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// 8-byte zero-padded names.
TBytes NamesPayload(const QStringList& names)
{
    TBytes out;
    for (const QString& name : names) {
        QByteArray field = name.toLatin1().leftJustified(8, '\0', true);
        out.insert(out.end(), field.begin(), field.end());
    }
    return out;
}

// Names whose order ignoring case runs against the port order: index i is "P" or "p" and
// 12 - i, so "p01" (index 11) comes first and "P12" (index 0) last.
QStringList MixedNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("%1%2").arg(i % 2 ? "p" : "P").arg(12 - i, 2, 10, QLatin1Char('0'));
    return names;
}

struct TConfig {
    uint8_t Port, Type, State, Duplex, Flow, Security;
};

TBytes ConfigPayload(const std::vector<TConfig>& entries)
{
    TBytes out(4, 0xEE); // not interpreted
    for (const TConfig& e : entries)
        out.insert(out.end(), {e.Port, e.Type, e.State, e.Duplex, e.Flow, e.Security});
    return out;
}

// Every logical port, each value cycling through its range: speed/duplex 7 at index 7.
std::vector<TConfig> Configs(int count = Ports + Trunks)
{
    std::vector<TConfig> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({uint8_t(i), 4, uint8_t(i % 2), uint8_t(i % 8), uint8_t(i % 3), uint8_t(i % 2 == 0 ? 2 : 0)});
    return entries;
}

struct TStatus {
    uint8_t Type, Link, State, Duplex, Flow;
};

TBytes StatusPayload(const std::vector<TStatus>& entries)
{
    TBytes out;
    for (const TStatus& e : entries)
        out.insert(out.end(), {e.Type, e.Link, e.State, e.Duplex, e.Flow});
    return out;
}

// Port types whose texts sort apart from their values and differ by case ("GBIC", "mGBIC").
const std::vector<TStatus> Statuses = {{4, 1, 1, 3, 0}, {1, 0, 1, 1, 1}, {7, 5, 0, 7, 0}, {9, 0, 1, 0, 1},
                                       {0, 0, 0, 6, 0}, {8, 1, 1, 2, 1}, {2, 0, 1, 4, 0}, {5, 1, 0, 5, 1}};

struct TLimit {
    uint8_t Type;
    uint32_t Ingress, Egress;
};

TBytes LimitPayload(const std::vector<TLimit>& entries)
{
    TBytes out;
    for (const TLimit& e : entries)
        out = Concat({out, {e.Type}, U32(e.Ingress), U32(e.Egress)});
    return out;
}

TBytes TrunkPayload(const std::vector<std::pair<uint32_t, bool>>& trunks)
{
    TBytes out;
    for (const auto& [members, lacp] : trunks)
        out = Concat({out, U32(members), {uint8_t(lacp ? 1 : 0)}});
    return out;
}

const QStringList ConfigEditors = {"m_StateLabel", "m_State", "m_DuplexLabel",   "m_Duplex",
                                   "m_FlowLabel",  "m_Flow",  "m_SecurityLabel", "m_Security"};
const QStringList LimitEditors = {"m_TypeLabel", "m_Type", "m_IngressLabel", "m_Ingress", "m_EgressLabel", "m_Egress"};
const QStringList TrunkEditors = {"m_TypeLabel", "m_Type", "m_MemberLabel", "m_Member"};

} // namespace

class TPortPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    // Port Configuration open on the selected devices, loaded for the first from the replies.
    QWidget* OpenConfig(TDevice* d, const TBytes& names, const TBytes& config)
    {
        QWidget* page = Open(ConfigPath);
        Reply(d, NameGet, 0, names);
        Reply(d, ConfigGet, 0, config);
        m_Fake->Sent.clear();
        return page;
    }
    // One device selected and the page at path loaded from the reply to its Get.
    QWidget* Load(const char* path, uint16_t get, const TBytes& payload, uint16_t status = 0,
                  TDevice** device = nullptr)
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(path);
        Reply(d, get, status, payload);
        m_Fake->Sent.clear();
        if (device)
            *device = d;
        return page;
    }
    // Answers every Get of the port pages with good records.
    void AnswerAll(TDevice* d)
    {
        Reply(d, NameGet, 0, NamesPayload(PortCaptions(12)));
        Reply(d, ConfigGet, 0, ConfigPayload(Configs()));
        Reply(d, StatusGet, 0, StatusPayload(Statuses));
        Reply(d, LimitGet, 0, LimitPayload(std::vector<TLimit>(Ports, {0, 100, 200})));
        Reply(d, TrunkGet, 0, TrunkPayload({{3, false}, {0, false}, {0, false}, {0, false}}));
    }

private slots:
    void initTestCase() { m_SmallType = RegisterType(FourPortType(), {"TEST-4P"}); }
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void pagesInTheCatalogue_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QList<int>>("minimumWidths");
        QTest::newRow("Port Configuration")
            << ConfigPath << "Port Configuration"
            << QStringList{"Port No.", "State", "Speed/Duplex", "Flow Control", "Security"}
            << QList<int>{44, 80, 124, 100, 80};
        QTest::newRow("Port Status") << StatusPath << "Port Status"
                                     << QStringList{"Port No.", "Type", "Link", "State", "Speed/Duplex", "Flow Control"}
                                     << QList<int>{};
        QTest::newRow("Rate Limit") << LimitPath << "Rate Limit"
                                    << QStringList{"Port No.", "Ingress Limit Frame Type", "Ingress(kbps)",
                                                   "Egress(kbps)"}
                                    << QList<int>{60, 200, 80, 80};
        QTest::newRow("Port Trunk") << TrunkPath << "Port Trunk" << QStringList{"Group ID", "Type", "Member Ports"}
                                    << QList<int>{64, 100};
        QTest::newRow("Port Trunk Status") << TrunkStatusPath << "Port Trunk Status"
                                           << QStringList{"Group ID", "Type", "Member Ports"} << QList<int>{};
    }
    void pagesInTheCatalogue()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QStringList, columns);
        QFETCH(QList<int>, minimumWidths);
        TModule* module = Frame()->ModuleOf(Frame()->FindNode(path));
        QVERIFY(module && module->GetControl());
        QCOMPARE(module->GetName(), caption);
        QWidget* page = module->GetControl();
        QTreeWidget* list = ListOf(page);
        QCOMPARE(list->columnCount(), columns.size());
        for (int column = 0; column < columns.size(); ++column)
            QCOMPARE(list->headerItem()->text(column), columns[column]);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(list->styleSheet().contains("border"));
        for (int column = 0; column < minimumWidths.size(); ++column) {
            QVERIFY(list->header()->sectionSize(column) >= minimumWidths[column]);
            list->header()->resizeSection(column, 10);
            QCOMPARE(list->header()->sectionSize(column), minimumWidths[column]);
        }
        if (auto* apply = page->findChild<QPushButton*>("m_Apply")) {
            QCOMPARE(apply->text(), QString("&Apply"));
            QCOMPARE(apply->icon().cacheKey(), Icon(TImage::Accept).cacheKey());
        }
    }

    void editorsAndTheirTexts()
    {
        TModulePortConfig config;
        const QList<QPair<const char*, QString>> labels = {{"m_StateLabel", "&State:"},
                                                           {"m_DuplexLabel", "Speed/&Duplex:"},
                                                           {"m_FlowLabel", "&Flow Control:"},
                                                           {"m_SecurityLabel", "S&ecurity:"}};
        for (const auto& [name, text] : labels)
            QCOMPARE(Child<QLabel>(&config, name)->text(), text);
        QCOMPARE(Items(Child<QComboBox>(&config, "m_State")), QStringList({"Disable", "Enable"}));
        QCOMPARE(Items(Child<QComboBox>(&config, "m_Duplex")),
                 QStringList({"Auto Negotiation", "1G Full", "1G Half", "100 Full", "100 Half", "10 Full", "10 Half"}));
        QCOMPARE(Items(Child<QComboBox>(&config, "m_Flow")), QStringList({"Disable", "Symmetric", "Asymmetric"}));
        QCOMPARE(Items(Child<QComboBox>(&config, "m_Security")), QStringList({"Disable", "Enable"}));

        TModulePortLimit limit;
        QCOMPARE(Child<QLabel>(&limit, "m_TypeLabel")->text(), QString("&Type:"));
        QCOMPARE(Child<QLabel>(&limit, "m_IngressLabel")->text(), QString("&Ingress:"));
        QCOMPARE(Child<QLabel>(&limit, "m_EgressLabel")->text(), QString("&Egress:"));
        QCOMPARE(Items(Child<QComboBox>(&limit, "m_Type")),
                 QStringList({"All", "Broadcast/Multicast/Flooded Unicast", "Broadcast/Multicast", "Broadcast Only"}));
        QCOMPARE(Child<QLabel>(&limit, "m_Description")->text(),
                 QString("Rate range is from 100 kbps to 102400 kbps (i.e. 100Mbps) for mega-ports, or 256000 kbps "
                         "(i.e. 250Mbps) for giga-ports. Zero means no limit."));

        TModulePortTrunk trunk;
        QCOMPARE(Child<QLabel>(&trunk, "m_TypeLabel")->text(), QString("&Type:"));
        QCOMPARE(Child<QLabel>(&trunk, "m_MemberLabel")->text(), QString("&Members:"));
        QCOMPARE(Items(Child<QComboBox>(&trunk, "m_Type")), QStringList({"Static", "802.3ad LACP"}));
    }

    // Shown, the page asks for the port names first and for the configuration of each
    // device whose names arrived; the page waits for the first device's configuration.
    void configurationFollowsTheNames()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        m_Fake->Sent.clear();
        auto* page = Open<TModulePortConfig>(ConfigPath);
        QVERIFY(!Shown(page));
        QCOMPARE(TakeSent(), (TSentList{To(NameGet, a), To(NameGet, b)}));
        Reply(b, NameGet, 0, NamesPayload(PortCaptions(12)));
        QCOMPARE(TakeSent(), TSentList{To(ConfigGet, b)});
        Reply(a, NameGet, 0, NamesPayload(PortCaptions(12)));
        QCOMPARE(TakeSent(), TSentList{To(ConfigGet, a)});
        QVERIFY(!Shown(page));
        Reply(b, ConfigGet, 0, ConfigPayload(Configs()));
        QVERIFY(!Shown(page)); // not the first selected device
        Reply(a, ConfigGet, 0, ConfigPayload(Configs()));
        QVERIFY(Shown(page));
        QCOMPARE(Column(page, 0), PortCaptions(12));
        QVERIFY(TakeSent().isEmpty());

        // In the background the configuration alone.
        QCOMPARE(page->Refresh(false), 2);
        QCOMPARE(TakeSent(), (TSentList{To(ConfigGet, a), To(ConfigGet, b)}));
        QCOMPARE(page->Refresh(true), 2);
        QCOMPARE(TakeSent(), (TSentList{To(NameGet, a), To(NameGet, b)}));
    }

    void configurationNeedsBothRecords_data()
    {
        QTest::addColumn<int>("names");
        QTest::addColumn<int>("nameStatus");
        QTest::addColumn<int>("duplex"); // of the fifth entry
        QTest::addColumn<int>("configStatus");
        QTest::addColumn<int>("rows");
        QTest::newRow("12 names") << 12 << 0 << 6 << 0 << 12;
        QTest::newRow("speed/duplex 7") << 12 << 0 << 7 << 0 << 12;
        QTest::newRow("11 names") << 11 << 0 << 6 << 0 << 0;
        QTest::newRow("13 names") << 13 << 0 << 6 << 0 << 0;
        QTest::newRow("names refused") << 12 << 5 << 6 << 0 << 0;
        QTest::newRow("speed/duplex 8") << 12 << 0 << 8 << 0 << 0;
        QTest::newRow("configuration refused") << 12 << 0 << 6 << 5 << 0;
    }
    void configurationNeedsBothRecords()
    {
        QFETCH(int, names);
        QFETCH(int, nameStatus);
        QFETCH(int, duplex);
        QFETCH(int, configStatus);
        QFETCH(int, rows);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(ConfigPath);
        m_Fake->Sent.clear();
        Reply(d, NameGet, uint16_t(nameStatus), NamesPayload(PortCaptions(names)));
        const bool named = names == 12 && nameStatus == 0;
        // Without names the page shows at once and asks for nothing more.
        QCOMPARE(Shown(page), !named);
        QCOMPARE(TakeSent(), named ? TSentList{To(ConfigGet, d)} : TSentList{});
        std::vector<TConfig> entries = Configs();
        entries[4].Duplex = uint8_t(duplex);
        Reply(d, ConfigGet, uint16_t(configStatus), ConfigPayload(entries));
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), rows);
        CheckEnabled(page, {"m_ListView"}, true);
        CheckEnabled(page, {"m_Apply"}, rows > 0);
        CheckEnabled(page, ConfigEditors, false);
    }

    // Rows are in caption order ignoring case; cells show the value table's texts.
    void configurationRows()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenConfig(d, NamesPayload(MixedNames(12)), ConfigPayload(Configs()));
        QCOMPARE(Column(page, 0),
                 QStringList({"p01", "P02", "p03", "P04", "p05", "P06", "p07", "P08", "p09", "P10", "p11", "P12"}));
        QCOMPARE(Cells(page, 11), QStringList({"P12", "Disable", "Auto Negotiation", "Disable", "Enable"})); // index 0
        QCOMPARE(Cells(page, 10), QStringList({"p11", "Enable", "1G Full", "Symmetric", "Disable"}));        // index 1
        QCOMPARE(Cells(page, 4), QStringList({"p05", "Enable", "Unknown (7)", "Symmetric", "Disable"}));     // index 7
        QCOMPARE(Cells(page, 5), QStringList({"P06", "Disable", "10 Half", "Disable", "Enable"}));           // index 6
    }

    // Editors work only on a selected row, load it, and write every change into it at once.
    void editorsWriteTheSelectedRow()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenConfig(d, NamesPayload(PortCaptions(12)), ConfigPayload(Configs()));
        CheckEnabled(page, ConfigEditors, false);
        SelectRow(page, 2);
        CheckEnabled(page, ConfigEditors, true);
        auto* state = Child<QComboBox>(page, "m_State");
        auto* duplex = Child<QComboBox>(page, "m_Duplex");
        auto* flow = Child<QComboBox>(page, "m_Flow");
        auto* security = Child<QComboBox>(page, "m_Security");
        QCOMPARE(state->currentIndex(), 0);
        QCOMPARE(duplex->currentIndex(), 2);
        QCOMPARE(flow->currentIndex(), 2);
        QCOMPARE(security->currentIndex(), 1);
        state->setCurrentIndex(1);
        duplex->setCurrentIndex(5);
        flow->setCurrentIndex(0);
        security->setCurrentIndex(0);
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "Enable", "10 Full", "Disable", "Disable"}));

        // Speed/duplex 7 leaves the box without a current item until one is picked.
        SelectRow(page, 7);
        QCOMPARE(duplex->currentIndex(), -1);
        QCOMPARE(Cells(page, 7)[2], QString("Unknown (7)"));
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "Enable", "10 Full", "Disable", "Disable"}));
        duplex->setCurrentIndex(3);
        QCOMPARE(Cells(page, 7)[2], QString("100 Full"));

        ListOf(page)->clearSelection();
        CheckEnabled(page, ConfigEditors, false);
        state->setCurrentIndex(0);
        QCOMPARE(Cells(page, 7)[1], QString("Enable"));
    }

    // "&Apply" sends every row in row order to every selected device: the values edited, the
    // others as the switch reported them (speed/duplex 7 included).
    void configurationApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = OpenConfig(a, NamesPayload(MixedNames(12)), ConfigPayload(Configs()));
        SelectRow(page, 0); // "p01", index 11
        Child<QComboBox>(page, "m_Duplex")->setCurrentIndex(6);
        Child<QPushButton>(page, "m_Apply")->click();

        TBytes expected(4, 0);
        for (int row = 0; row < 12; ++row) {
            const TConfig e = Configs()[std::size_t(11 - row)];
            expected.insert(expected.end(),
                            {e.Port, e.State, row == 0 ? uint8_t(6) : e.Duplex, e.Flow, uint8_t(e.Security ? 1 : 0)});
        }
        QCOMPARE(expected[4 + 4 * 5 + 2], uint8_t(7)); // index 7, at row 4, goes back as the switch reported it
        QCOMPARE(TakeRequests(), QStringList({Request(ConfigSet, a, expected), Request(ConfigSet, b, expected)}));
        // Each reply, refused or not, reads the configuration again.
        Reply(b, ConfigSet, 0x0005);
        QCOMPARE(TakeSent(), TSentList{To(ConfigGet, b)});
    }

    // A click on a value column's header moves every row to the value after the first row's,
    // wrapping round the editor's list; the "Port No." column stays.
    void headerCyclesAColumn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("first"); // the first row's value before the click
        QTest::addColumn<QString>("text");
        QTest::newRow("state") << ConfigPath << 1 << "m_State" << 0 << "Enable";
        QTest::newRow("state wraps") << ConfigPath << 1 << "m_State" << 1 << "Disable";
        QTest::newRow("speed/duplex") << ConfigPath << 2 << "m_Duplex" << 0 << "1G Full";
        QTest::newRow("speed/duplex wraps") << ConfigPath << 2 << "m_Duplex" << 6 << "Auto Negotiation";
        QTest::newRow("speed/duplex 7") << ConfigPath << 2 << "m_Duplex" << 7 << "Auto Negotiation";
        QTest::newRow("flow control") << ConfigPath << 3 << "m_Flow" << 1 << "Asymmetric";
        QTest::newRow("flow control wraps") << ConfigPath << 3 << "m_Flow" << 2 << "Disable";
        QTest::newRow("security") << ConfigPath << 4 << "m_Security" << 0 << "Enable";
        QTest::newRow("frame type") << LimitPath << 1 << "m_Type" << 0 << "Broadcast/Multicast/Flooded Unicast";
        QTest::newRow("frame type wraps") << LimitPath << 1 << "m_Type" << 3 << "All";
        QTest::newRow("trunk type") << TrunkPath << 1 << "m_Type" << 0 << "802.3ad LACP";
        QTest::newRow("trunk type wraps") << TrunkPath << 1 << "m_Type" << 1 << "Static";
    }
    void headerCyclesAColumn()
    {
        QFETCH(QString, path);
        QFETCH(int, column);
        QFETCH(QString, editor);
        QFETCH(int, first);
        QFETCH(QString, text);
        const auto v = uint8_t(first);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = nullptr;
        if (path == ConfigPath) {
            std::vector<TConfig> entries = Configs();
            uint8_t* fields[] = {nullptr, &entries[0].State, &entries[0].Duplex, &entries[0].Flow,
                                 &entries[0].Security};
            *fields[column] = v;
            page = OpenConfig(d, NamesPayload(PortCaptions(12)), ConfigPayload(entries));
        } else if (path == LimitPath) {
            std::vector<TLimit> limits(Ports, {2, 0, 0});
            limits[0].Type = v;
            page = Open(LimitPath);
            Reply(d, LimitGet, 0, LimitPayload(limits));
        } else {
            page = Open(TrunkPath);
            Reply(d, TrunkGet, 0, TrunkPayload({{0, v != 0}, {0, v == 0}, {0, false}, {0, false}}));
        }
        const QStringList captions = Column(page, 0);
        SelectRow(page, 1);
        ClickHeader(page, column);
        QCOMPARE(Column(page, column), QStringList(captions.size(), text));
        QCOMPARE(Column(page, 0), captions);
        QCOMPARE(Child<QComboBox>(page, editor)->currentText(), text); // reloaded from the selected row
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), captions);
        QCOMPARE(Column(page, column), QStringList(captions.size(), text));
    }

    // Lists and "&Apply" follow the device selection; editors need a selected row.
    void withoutADeviceNothingIsEnabled_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("followers");
        QTest::addColumn<QStringList>("editors");
        QTest::newRow("Port Configuration") << ConfigPath << QStringList{"m_ListView", "m_Apply"} << ConfigEditors;
        QTest::newRow("Port Status") << StatusPath << QStringList{"m_List"} << QStringList{};
        QTest::newRow("Rate Limit") << LimitPath << QStringList{"m_ListView", "m_Description", "m_Apply"}
                                    << LimitEditors;
        QTest::newRow("Port Trunk") << TrunkPath << QStringList{"m_ListView", "m_Apply"} << TrunkEditors;
        QTest::newRow("Port Trunk Status") << TrunkStatusPath << QStringList{"m_List"} << QStringList{};
    }
    void withoutADeviceNothingIsEnabled()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, followers);
        QFETCH(QStringList, editors);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(path.toLatin1().constData());
        AnswerAll(d);
        QVERIFY(Shown(page));
        QVERIFY(ListOf(page)->topLevelItemCount() > 0);
        CheckEnabled(page, followers, true);
        CheckEnabled(page, editors, false);
        if (!editors.isEmpty()) {
            SelectRow(page, 0);
            CheckEnabled(page, editors, true);
        }

        m_Form->Navigator().FlushTree();
        m_Form->Navigator().SelectIndex(
            m_Form->Navigator().Model()->index(0, 0, m_Form->Navigator().DevicesIndex())); // a group, no device
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        CheckEnabled(page, followers + editors, false);
        if (auto* members = page->findChild<QListWidget*>("m_Member"))
            QCOMPARE(members->count(), 0);
    }

    void portStatusRows()
    {
        QWidget* page = Load(StatusPath, StatusGet, StatusPayload(Statuses));
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Cells(page, 0), QStringList({"Port.01", "100TX", "Up", "Enable", "100 Full", "Disable"}));
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "1000TX", "Down", "Enable", "1G Full", "Symmetric"}));
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "mGBIC", "Up", "Disable", "Unknown (7)", "Disable"}));
        QCOMPARE(Cells(page, 7), QStringList({"Port.08", "100SX", "Up", "Disable", "10 Full", "Symmetric"}));
    }

    // Each click sorts by its column ignoring case, ascending, and reverses on a further
    // click on the same column; the list starts in caption order.
    void portStatusSorting_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("captions");
        const QStringList byType = {"Port.07", "Port.02", "Port.08", "Port.01",
                                    "Port.04", "Port.06", "Port.03", "Port.05"};
        QStringList byTypeDown = byType;
        std::reverse(byTypeDown.begin(), byTypeDown.end());
        QStringList byCaptionDown = PortCaptions(Ports);
        std::reverse(byCaptionDown.begin(), byCaptionDown.end());
        QTest::newRow("no click") << QList<int>{} << PortCaptions(Ports);
        QTest::newRow("type") << QList<int>{1} << byType;
        QTest::newRow("type twice") << QList<int>{1, 1} << byTypeDown;
        QTest::newRow("type three times") << QList<int>{1, 1, 1} << byType;
        QTest::newRow("port no.") << QList<int>{0} << byCaptionDown;
        QTest::newRow("type twice, then port no.") << QList<int>{1, 1, 0} << PortCaptions(Ports);
    }
    void portStatusSorting()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, captions);
        TDevice* d = nullptr;
        QWidget* page = Load(StatusPath, StatusGet, StatusPayload(Statuses), 0, &d);
        for (int column : clicks)
            ClickHeader(page, column);
        QCOMPARE(Column(page, 0), captions);
        // A new answer keeps the chosen order.
        Reply(d, StatusGet, 0, StatusPayload(Statuses));
        QCOMPARE(Column(page, 0), captions);
    }

    void portStatusSortsEveryColumn()
    {
        QWidget* page = Load(StatusPath, StatusGet, StatusPayload(Statuses));
        for (int column = 1; column < 6; ++column) {
            ClickHeader(page, column);
            QStringList sorted = Column(page, column);
            std::sort(sorted.begin(), sorted.end(),
                      [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
            QCOMPARE(Column(page, column), sorted);
        }
    }

    // The read-only lists are emptied while another page shows; a refused answer lists nothing.
    void readOnlyListsAreEmptiedOnLeaving_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("get");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("Port Status") << StatusPath << int(StatusGet) << ToQt(StatusPayload(Statuses));
        QTest::newRow("Port Trunk Status")
            << TrunkStatusPath << int(TrunkGet) << ToQt(TrunkPayload({{3, true}, {0, false}, {0, false}, {0, false}}));
    }
    void readOnlyListsAreEmptiedOnLeaving()
    {
        QFETCH(QString, path);
        QFETCH(int, get);
        QFETCH(QByteArray, payload);
        const TBytes bytes(payload.begin(), payload.end());
        TDevice* d = nullptr;
        QWidget* page = Load(path.toLatin1().constData(), uint16_t(get), bytes, 0, &d);
        QVERIFY(ListOf(page)->topLevelItemCount() > 0);
        Open("Basics");
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        Open(path.toLatin1().constData());
        Reply(d, uint16_t(get), 5, bytes);
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
    }

    // Without a valid record every port shows "Broadcast Only", 8192, 0, and "&Apply" sends
    // exactly those values.
    void rateLimitDefaults_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries");
        QTest::newRow("error status") << 5 << Ports;
        QTest::newRow("one port short") << 0 << Ports - 1;
    }
    void rateLimitDefaults()
    {
        QFETCH(int, status);
        QFETCH(int, entries);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(LimitPath);
        Reply(a, LimitGet, uint16_t(status), LimitPayload(std::vector<TLimit>(std::size_t(entries), {0, 100, 200})));
        m_Fake->Sent.clear();
        QVERIFY(Shown(page));
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        for (int row = 0; row < Ports; ++row)
            QCOMPARE(Cells(page, row).mid(1), QStringList({"Broadcast Only", "8192", "0"}));
        CheckEnabled(page, {"m_ListView", "m_Description", "m_Apply"}, true);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes expected = LimitPayload(std::vector<TLimit>(Ports, {3, 8192, 0}));
        QCOMPARE(TakeRequests(), QStringList({Request(LimitSet, a, expected), Request(LimitSet, b, expected)}));
    }

    void rateLimitEditing()
    {
        std::vector<TLimit> limits;
        for (int port = 0; port < Ports; ++port)
            limits.push_back({uint8_t(port % 4), uint32_t(1000 * port), uint32_t(256000 - port)});
        limits[7].Ingress = 0xFFFFFFFF; // more than the spin box holds: kept unless edited
        TDevice* d = nullptr;
        QWidget* page = Load(LimitPath, LimitGet, LimitPayload(limits), 0, &d);
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "Broadcast/Multicast/Flooded Unicast", "1000", "255999"}));
        CheckEnabled(page, LimitEditors, false);
        SelectRow(page, 2);
        CheckEnabled(page, LimitEditors, true);
        auto* type = Child<QComboBox>(page, "m_Type");
        auto* ingress = Child<QSpinBox>(page, "m_Ingress");
        auto* egress = Child<QSpinBox>(page, "m_Egress");
        QCOMPARE(type->currentIndex(), 2);
        QCOMPARE(ingress->value(), 2000);
        QCOMPARE(egress->value(), 255998);
        type->setCurrentIndex(0);
        ingress->setValue(50); // below the range the description gives: not checked
        egress->setValue(0);
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "All", "50", "0"}));
        SelectRow(page, 3);
        QCOMPARE(ingress->value(), 3000);
        SelectRow(page, 7);
        QCOMPARE(Cells(page, 7)[2], QString("4294967295"));

        Child<QPushButton>(page, "m_Apply")->click();
        limits[2] = {0, 50, 0};
        QCOMPARE(TakeRequests(), QStringList(Request(LimitSet, d, LimitPayload(limits))));
    }

    void trunkRowsAndMembers()
    {
        TDevice* d = nullptr;
        QWidget* page = Load(TrunkPath, TrunkGet, TrunkPayload({{0x05, false}, {0x30, true}, {0, false}, {0x80, true}}),
                             0, &d);
        QCOMPARE(Column(page, 0), PortCaptions(Trunks, "Trunk.%1"));
        QCOMPARE(Column(page, 1), QStringList({"Static", "802.3ad LACP", "Static", "802.3ad LACP"}));
        QCOMPARE(Column(page, 2), QStringList({"1, 3", "5, 6", "", "8"}));
        auto* members = Child<QListWidget>(page, "m_Member");
        QCOMPARE(members->count(), Ports);
        for (int port = 0; port < Ports; ++port)
            QCOMPARE(members->item(port)->text(), PortCaptions(Ports)[port]);
        CheckEnabled(page, TrunkEditors, false);

        SelectRow(page, 0);
        CheckEnabled(page, TrunkEditors, true);
        auto checked = [&] {
            QList<int> ports;
            for (int port = 0; port < members->count(); ++port)
                if (members->item(port)->checkState() == Qt::Checked)
                    ports << port + 1;
            return ports;
        };
        QCOMPARE(checked(), QList<int>({1, 3}));
        QCOMPARE(Child<QComboBox>(page, "m_Type")->currentIndex(), 0);
        members->item(2)->setCheckState(Qt::Unchecked);
        members->item(1)->setCheckState(Qt::Checked);
        members->item(7)->setCheckState(Qt::Checked);
        QCOMPARE(Cells(page, 0), QStringList({"Trunk.01", "Static", "1, 2, 8"}));
        // A port may be checked in two groups: the switch refuses it.
        SelectRow(page, 1);
        QCOMPARE(checked(), QList<int>({5, 6}));
        members->item(0)->setCheckState(Qt::Checked);
        Child<QComboBox>(page, "m_Type")->setCurrentIndex(0);
        QCOMPARE(Cells(page, 1), QStringList({"Trunk.02", "Static", "1, 5, 6"}));

        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes expected = TrunkPayload({{0x83, false}, {0x31, false}, {0, false}, {0x80, true}});
        QCOMPARE(TBytes(expected.begin(), expected.begin() + 5), TBytes({0x00, 0x00, 0x00, 0x83, 0x00}));
        QCOMPARE(TakeRequests(), QStringList(Request(TrunkSet, d, expected)));
    }

    void trunkDefaultsWithoutARecord()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(TrunkPath);
        Reply(a, TrunkGet, 0, TrunkPayload({{0x0C, false}, {0x0C, true}, {0, false}, {0, false}})); // 0x1102
        m_Fake->Sent.clear();
        QCOMPARE(Column(page, 0), PortCaptions(Trunks, "Trunk.%1"));
        QCOMPARE(Column(page, 1), QStringList(Trunks, "Static"));
        QCOMPARE(Column(page, 2), QStringList(Trunks, ""));
        QCOMPARE(Child<QListWidget>(page, "m_Member")->count(), Ports);
        CheckEnabled(page, {"m_ListView", "m_Apply"}, true);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes expected(5 * Trunks, 0);
        QCOMPARE(TakeRequests(), QStringList({Request(TrunkSet, a, expected), Request(TrunkSet, b, expected)}));
    }

    // The rows are the first device's: a device whose counts they do not fit gets no Set,
    // the others still get theirs.
    void applySkipsDevicesTheRowsDoNotFit_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("set");
        QTest::newRow("Port Configuration") << ConfigPath << int(ConfigSet);
        QTest::newRow("Rate Limit") << LimitPath << int(LimitSet);
        QTest::newRow("Port Trunk") << TrunkPath << int(TrunkSet);
    }
    void applySkipsDevicesTheRowsDoNotFit()
    {
        QFETCH(QString, path);
        QFETCH(int, set);
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TDevice* c = AddLoggedIn(3);
        Select({a, small, c});
        QWidget* page = Open(path.toLatin1().constData());
        AnswerAll(a);
        m_Fake->Sent.clear();
        QVERIFY(Shown(page));
        QVERIFY(ListOf(page)->topLevelItemCount() > 0);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeSent(), (TSentList{To(uint16_t(set), a), To(uint16_t(set), c)}));
    }

    void trunkStatusRowsAndSorting()
    {
        QWidget* page = Load(TrunkStatusPath, TrunkGet,
                             TrunkPayload({{0x30, true}, {0x05, false}, {0x80, true}, {0x42, false}}));
        QCOMPARE(Column(page, 0), PortCaptions(Trunks, "Trunk.%1"));
        QCOMPARE(Column(page, 1), QStringList({"802.3ad LACP", "Static", "802.3ad LACP", "Static"}));
        QCOMPARE(Column(page, 2), QStringList({"5, 6", "1, 3", "8", "2, 7"}));
        ClickHeader(page, 2);
        QCOMPARE(Column(page, 2), QStringList({"1, 3", "2, 7", "5, 6", "8"}));
        ClickHeader(page, 2);
        QCOMPARE(Column(page, 2), QStringList({"8", "5, 6", "2, 7", "1, 3"}));
        ClickHeader(page, 0); // a first click on a column sorts ascending
        QCOMPARE(Column(page, 0), PortCaptions(Trunks, "Trunk.%1"));
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), QStringList({"Trunk.04", "Trunk.03", "Trunk.02", "Trunk.01"}));
    }

    void refreshCounts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("background");
        QTest::addColumn<int>("currentGet");
        QTest::addColumn<int>("backgroundGet");
        QTest::newRow("Port Configuration") << ConfigPath << 2 << 2 << int(NameGet) << int(ConfigGet);
        QTest::newRow("Port Status") << StatusPath << 2 << 2 << int(StatusGet) << int(StatusGet);
        QTest::newRow("Rate Limit") << LimitPath << 2 << 2 << int(LimitGet) << int(LimitGet);
        QTest::newRow("Port Trunk") << TrunkPath << 2 << 2 << int(TrunkGet) << int(TrunkGet);
        QTest::newRow("Port Trunk Status") << TrunkStatusPath << 2 << 0 << int(TrunkGet) << 0;
    }
    void refreshCounts()
    {
        QFETCH(QString, path);
        QFETCH(int, current);
        QFETCH(int, background);
        QFETCH(int, currentGet);
        QFETCH(int, backgroundGet);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        TModule* page = Frame()->ModuleOf(Frame()->FindNode(path));
        m_Fake->Sent.clear();
        QCOMPARE(page->Refresh(true), current);
        QCOMPARE(TakeSent(), (TSentList{To(uint16_t(currentGet), a), To(uint16_t(currentGet), b)}));
        QCOMPARE(page->Refresh(false), background);
        const TSentList gets = {To(uint16_t(backgroundGet), a), To(uint16_t(backgroundGet), b)};
        QCOMPARE(TakeSent(), background ? gets : TSentList{});
    }

private:
    int m_SmallType = 0;
};

QTEST_MAIN(TPortPagesTest)
#include "tst_port_pages.moc"
