// The three redundancy pages, offscreen, driven through the main window: their controls and
// texts, what they show from the records, the enabling rules of the ring and the RSTP mode,
// the duplicated-port check, editing and cycling the RSTP port rows, the texts and sorting
// of the RSTP state, and the exact requests every "&Apply" sends.
#include "PageTests.h"

#include "pages/ModuleRedundancy_Rstp.h"
#include "pages/ModuleRedundancy_RstpInfo.h"
#include "pages/ModuleRedundancy_Sring.h"
#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace Intp;

namespace {

constexpr uint16_t SringGet = 0x0300;
constexpr uint16_t SringSet = 0x0301;
constexpr uint16_t RstpGet = 0x0302;
constexpr uint16_t RstpSet = 0x0303;
constexpr uint16_t RstpInfoGet = 0x0304;

constexpr int Ports = 8; // of the known models

const char* const RingPath = "Redundancy/Vantor Ring";
const char* const RstpPath = "Redundancy/RSTP Settings";
const char* const InfoPath = "Redundancy/RSTP Settings/RSTP Information";

TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

struct TRstpPort {
    uint32_t Cost;
    uint8_t Priority, P2p, Edge, NonStp;
};

// Bridge part: enabled, priority 4096, max age 30, hello 5, forward delay 20.
TBytes RstpPayload(const std::vector<TRstpPort>& ports, uint8_t enabled = 1)
{
    TBytes out = {enabled, 0x10, 0x00, 30, 5, 20};
    for (const TRstpPort& p : ports)
        out = Concat({out, U32(p.Cost), {p.Priority, p.P2p, p.Edge, p.NonStp}});
    return out;
}

std::vector<TRstpPort> RstpPorts(int count = Ports)
{
    std::vector<TRstpPort> ports;
    for (int i = 0; i < count; ++i)
        ports.push_back({uint32_t(1000 * (i + 1)), uint8_t(16 * i), uint8_t(i % 3), uint8_t(i % 2), uint8_t(i == 2)});
    return ports;
}

struct TInfoPort {
    uint32_t Cost;
    uint8_t Priority, P2p, Edge, Neighbour, State, Role;
};

// Root 8000-00:0A:1B:2C:3D:99, priority 32768, path cost 200000, timers 20, 2, 15.
TBytes InfoPayload(const std::vector<TInfoPort>& ports, uint8_t running = 1, uint8_t rootPort = 3)
{
    TBytes out = Concat(
        {{running, 0x80, 0x00, 0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x99, 0x80, 0x00, rootPort}, U32(200000), {20, 2, 15}});
    for (const TInfoPort& p : ports)
        out = Concat({out, U32(p.Cost), {p.Priority, p.P2p, p.Edge, p.Neighbour, p.State, p.Role}});
    return out;
}

// Costs whose decimal texts sort apart from their values; values without a text (point-to-
// point 3, state 9, role 7) on port 8.
const std::vector<TInfoPort> InfoPorts = {
    {10, 128, 0, 0, 1, 3, 2}, {9, 16, 1, 1, 0, 0, 0},   {100, 240, 2, 0, 1, 1, 1}, {0xFFFFFFFF, 0, 1, 1, 1, 2, 3},
    {20, 32, 0, 0, 0, 4, 4},  {200, 64, 1, 5, 9, 3, 5}, {1, 80, 2, 0, 0, 3, 6},    {2, 96, 3, 0, 0, 9, 7}};

const QStringList RingChecks = {"m_Master", "m_CoupleMode", "m_HomingMode"};
const QStringList RingLists = {"m_1stPortLabel", "m_1stPort", "m_2ndPortLabel", "m_2ndPort"};
const QStringList CouplingLists = {"m_CouplingPortLabel", "m_CouplingPort", "m_ControlPortLabel", "m_ControlPort"};
const QStringList HomingLists = {"m_HomingPortLabel", "m_HomingPort"};
const QStringList BridgeControls = {
    "m_BridgeLabel",      "m_BridgePriorityLabel", "m_BridgePriority",   "m_BridgePriorityRange", "m_BridgeAgeLabel",
    "m_BridgeAge",        "m_BridgeAgeRange",      "m_BridgeHelloLabel", "m_BridgeHello",         "m_BridgeHelloRange",
    "m_BridgeDelayLabel", "m_BridgeDelay",         "m_BridgeDelayRange", "m_PortLabel",           "m_ListView"};
const QStringList PortEditors = {"m_PortCostLabel", "m_PortCost",          "m_PortCostRange", "m_PortPriorityLabel",
                                 "m_PortPriority",  "m_PortPriorityRange", "m_PortP2pLabel",  "m_PortP2p",
                                 "m_PortEdgeLabel", "m_PortEdge",          "m_PortStpLabel",  "m_PortStp"};
const QStringList InfoValues = {"m_BridgeId", "m_Priority", "m_RootPort", "m_PathCost",
                                "m_MaxAge",   "m_Hello",    "m_Delay"};

} // namespace

class TRedundancyPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    int m_SmallType = 0;

    static QCheckBox* Check(QWidget* page, const char* name) { return Child<QCheckBox>(page, name); }
    static QComboBox* Box(QWidget* page, const char* name) { return Child<QComboBox>(page, name); }
    static QString Text(QWidget* page, const QString& name) { return Child<QLabel>(page, name)->text(); }

private slots:
    void initTestCase() { m_SmallType = RegisterType(FourPortType(), {"TEST-4P"}); }
    void init()
    {
        OpenWindow();
        CatchMessages();
    }
    void cleanup()
    {
        ReleaseMessages();
        CloseWindow();
    }

    void pagesInTheCatalogue_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("Vantor Ring") << RingPath << "Vantor Ring" << QStringList{};
        QTest::newRow("RSTP Settings") << RstpPath << "RSTP Settings"
                                       << QStringList{"Port No.",  "Path Cost",  "Priority",
                                                      "Admin P2P", "Admin Edge", "Admin Non STP"};
        QTest::newRow("RSTP Information")
            << InfoPath << "RSTP Information" << QStringList{"Port",     "Path Cost",    "Port Priority", "OperP2P",
                                                             "OperEdge", "STP Neighbor", "State",         "Role"};
    }
    void pagesInTheCatalogue()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QStringList, columns);
        CheckCatalogued(path, caption, columns);
        if (QTest::currentTestFailed())
            return;
        if (auto* apply = PageAt(path)->findChild<QPushButton*>("m_Apply"))
            QVERIFY(apply->isDefault());
    }

    void controlsAndTheirTexts()
    {
        TModuleRedundancySring ring;
        const QList<QPair<const char*, QString>> checks = {{"m_LegacyMode", "&Legacy Mode"},
                                                           {"m_Master", "Ring Master"},
                                                           {"m_CoupleMode", "&Coupling Ring"},
                                                           {"m_HomingMode", "Dual &Homing"}};
        for (const auto& [name, text] : checks)
            QCOMPARE(Check(&ring, name)->text(), text);
        const QList<QPair<const char*, QString>> ringLabels = {{"m_1stPortLabel", "1st Ring Port:"},
                                                               {"m_2ndPortLabel", "2nd Ring Port:"},
                                                               {"m_CouplingPortLabel", "Coupling Port:"},
                                                               {"m_ControlPortLabel", "Control Port:"},
                                                               {"m_HomingPortLabel", "Homing Port:"}};
        for (const auto& [name, text] : ringLabels)
            QCOMPARE(Text(&ring, name), text);

        TModuleRedundancyRstp rstp;
        const QList<QPair<const char*, QString>> labels = {
            {"m_ModeLabel", "&RSTP Mode:"},          {"m_BridgeLabel", "Bridge Configuration:"},
            {"m_BridgePriorityLabel", "&Priority:"}, {"m_BridgeAgeLabel", "&Max Age Time:"},
            {"m_BridgeHelloLabel", "&Hello Time:"},  {"m_BridgeDelayLabel", "&Forward Delay Time:"},
            {"m_PortLabel", "Port Configuration:"},  {"m_PortCostLabel", "Path &Cost:"},
            {"m_PortPriorityLabel", "Priority:"},    {"m_PortP2pLabel", "Admin P2P:"},
            {"m_PortEdgeLabel", "Admin &Edge:"},     {"m_PortStpLabel", "Admin Non STP:"}};
        for (const auto& [name, text] : labels)
            QCOMPARE(Text(&rstp, name), text);
        QVERIFY(Child<QLabel>(&rstp, "m_BridgeLabel")->font().bold());
        QCOMPARE(Items(Box(&rstp, "m_Mode")), QStringList({"Disable", "Enable"}));
        QCOMPARE(Items(Box(&rstp, "m_PortP2p")), QStringList({"False", "True", "Auto"}));
        QCOMPARE(Items(Box(&rstp, "m_PortEdge")), QStringList({"False", "True"}));
        QCOMPARE(Items(Box(&rstp, "m_PortStp")), QStringList({"False", "True"}));
        struct TSpin {
            const char* Name;
            int Minimum, Maximum, Step, Initial;
            bool Typeable;
            QString Range;
        };
        for (const TSpin& s : {TSpin{"m_BridgePriority", 0, 61440, 4096, 32768, false, "(0 - 61440)"},
                               TSpin{"m_BridgeAge", 6, 40, 1, 20, true, "(6 - 40)"},
                               TSpin{"m_BridgeHello", 1, 10, 1, 2, true, "(1 - 10)"},
                               TSpin{"m_BridgeDelay", 4, 30, 1, 15, true, "(4 - 30)"},
                               TSpin{"m_PortCost", 1, 200000000, 1, 200000, true, "(1 - 200000000)"},
                               TSpin{"m_PortPriority", 0, 240, 16, 128, false, "(0 - 240)"}}) {
            auto* box = Child<QSpinBox>(&rstp, s.Name);
            QCOMPARE((QList<int>{box->minimum(), box->maximum(), box->singleStep(), box->value()}),
                     (QList<int>{s.Minimum, s.Maximum, s.Step, s.Initial}));
            QCOMPARE(box->findChild<QLineEdit*>()->isReadOnly(), !s.Typeable);
            QCOMPARE(Text(&rstp, QString(s.Name) + "Range"), s.Range);
        }

        TModuleRedundancyRstpInfo info;
        const QList<QPair<const char*, QString>> infoLabels = {{"m_RootHeading", "Root Bridge Information"},
                                                               {"m_PortHeading", "Port Information"},
                                                               {"m_BridgeIdLabel", "Bridge ID:"},
                                                               {"m_PriorityLabel", "Root Priority:"},
                                                               {"m_RootPortLabel", "Root Port:"},
                                                               {"m_PathCostLabel", "Root Path Cost:"},
                                                               {"m_MaxAgeLabel", "Max Age Time:"},
                                                               {"m_HelloLabel", "Hello Time:"},
                                                               {"m_DelayLabel", "Forward Delay Time:"}};
        for (const auto& [name, text] : infoLabels)
            QCOMPARE(Text(&info, name), text);
        QCOMPARE(ListOf(&info)->headerItem()->textAlignment(1), int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(ListOf(&info)->headerItem()->textAlignment(2), int(Qt::AlignRight | Qt::AlignVCenter));
    }

    void ringShowsTheRecord_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("valid") << 0;
        QTest::newRow("refused") << 5;
    }
    void ringShowsTheRecord()
    {
        QFETCH(int, status);
        TDevice* d = AddLoggedIn(1);
        // Ring on, master, ports 7 and 8, control port 3, coupling port 4, homing port 6.
        QWidget* page = Load(RingPath, SringGet, {1, 1, 6, 7, 1, 2, 3, 1, 5}, uint16_t(status), {d});
        QVERIFY(Shown(page));
        const bool valid = status == 0;
        for (const char* name : {"m_1stPort", "m_2ndPort", "m_CouplingPort", "m_ControlPort", "m_HomingPort"})
            QCOMPARE(Items(Box(page, name)), PortCaptions(Ports));
        for (const char* name : {"m_LegacyMode", "m_Master", "m_CoupleMode", "m_HomingMode"})
            QCOMPARE(Check(page, name)->isChecked(), valid);
        const QList<QPair<const char*, int>> lists = {
            {"m_1stPort", 6}, {"m_2ndPort", 7}, {"m_ControlPort", 2}, {"m_CouplingPort", 3}, {"m_HomingPort", 5}};
        for (const auto& [name, index] : lists)
            QCOMPARE(Box(page, name)->currentIndex(), valid ? index : 0);
        CheckEnabled(page, {"m_LegacyMode", "m_Apply"}, true);
        CheckEnabled(page, RingChecks + RingLists + CouplingLists + HomingLists, valid);
    }

    void ringEnablingRules_data()
    {
        QTest::addColumn<bool>("ring");
        QTest::addColumn<bool>("coupling");
        QTest::addColumn<bool>("homing");
        for (int bits = 0; bits < 8; ++bits)
            QTest::addRow("ring %d, coupling %d, homing %d", bits & 1, bits >> 1 & 1, bits >> 2 & 1)
                << bool(bits & 1) << bool(bits & 2) << bool(bits & 4);
    }
    void ringEnablingRules()
    {
        QFETCH(bool, ring);
        QFETCH(bool, coupling);
        QFETCH(bool, homing);
        QWidget* page = Load(RingPath, SringGet, TBytes(9, 0), 0, {AddLoggedIn(1)});
        Check(page, "m_LegacyMode")->click();
        Check(page, "m_CoupleMode")->setChecked(coupling);
        Check(page, "m_HomingMode")->setChecked(homing);
        if (!ring)
            Check(page, "m_LegacyMode")->click();
        CheckEnabled(page, RingChecks + RingLists, ring);
        CheckEnabled(page, CouplingLists, ring && coupling);
        CheckEnabled(page, HomingLists, ring && homing);
    }

    void ringWithoutDevice()
    {
        QWidget* page = Unselected(RingPath);
        CheckEnabled(
            page, QStringList{"m_LegacyMode", "m_Apply"} + RingChecks + RingLists + CouplingLists + HomingLists, false);
    }

    // Ring, coupling and homing as the controls show them: first and second ring port,
    // control, coupling and homing port.
    void ringApply_data()
    {
        QTest::addColumn<bool>("ring");
        QTest::addColumn<bool>("coupling");
        QTest::addColumn<bool>("homing");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<QString>("payload"); // empty: "Duplicated Ports!"
        auto row = [](const char* name, bool ring, bool coupling, bool homing, QList<int> ports, const char* payload) {
            QTest::newRow(name) << ring << coupling << homing << ports << QString(payload);
        };
        row("everything on", true, true, true, {6, 7, 2, 3, 5}, "01 01 06 07 01 02 03 01 05");
        row("ring off", false, true, true, {6, 7, 2, 3, 5}, "00 00 00 00 00 00 00 00 00");
        row("ring off, ports shared", false, true, true, {6, 6, 6, 6, 6}, "00 00 00 00 00 00 00 00 00");
        row("ring alone", true, false, false, {0, 1, 0, 1, 0}, "01 01 00 01 00 00 00 00 00");
        row("one port for both ring ports", true, false, false, {3, 3, 0, 0, 0}, "01 01 03 03 00 00 00 00 00");
        row("homing on the 1st ring port", true, false, true, {6, 7, 0, 0, 6}, "");
        row("homing on the 2nd ring port", true, true, true, {6, 7, 2, 3, 7}, "");
        row("homing on the coupling port", true, true, true, {6, 7, 2, 3, 3}, "");
        row("homing off on a ring port", true, false, false, {6, 7, 0, 0, 6}, "01 01 06 07 00 00 00 00 00");
        row("control port is the coupling port", true, true, false, {6, 7, 2, 2, 0}, "");
        row("control port is a ring port", true, true, false, {6, 7, 7, 2, 0}, "");
        row("coupling port is a ring port", true, true, false, {6, 7, 2, 6, 0}, "");
        row("coupling off on ring ports", true, false, true, {6, 7, 6, 7, 5}, "01 01 06 07 00 00 00 01 05");
    }
    void ringApply()
    {
        QFETCH(bool, ring);
        QFETCH(bool, coupling);
        QFETCH(bool, homing);
        QFETCH(QList<int>, ports);
        QFETCH(QString, payload);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(RingPath, SringGet, TBytes(9, 0), 0, {a, b});
        Check(page, "m_LegacyMode")->setChecked(true);
        Check(page, "m_Master")->setChecked(true);
        Check(page, "m_CoupleMode")->setChecked(coupling);
        Check(page, "m_HomingMode")->setChecked(homing);
        Check(page, "m_LegacyMode")->setChecked(ring);
        const char* lists[] = {"m_1stPort", "m_2ndPort", "m_ControlPort", "m_CouplingPort", "m_HomingPort"};
        for (int i = 0; i < 5; ++i)
            Box(page, lists[i])->setCurrentIndex(ports[i]);
        Child<QPushButton>(page, "m_Apply")->click();
        if (payload.isEmpty()) {
            QCOMPARE(m_Messages, QStringList{"Duplicated Ports!"});
            QVERIFY(m_Fake->Sent.empty());
            return;
        }
        QVERIFY(m_Messages.isEmpty());
        QCOMPARE(TakeRequests(), QStringList({Request(SringSet, a, {}) + payload, Request(SringSet, b, {}) + payload}));
    }

    // The Set's reply brings the Get, and the page shows what it returns.
    void ringRedrawsAfterTheSet()
    {
        TDevice* d = AddLoggedIn(1);
        QWidget* page = Load(RingPath, SringGet, TBytes(9, 0), 0, {d});
        Check(page, "m_LegacyMode")->setChecked(true);
        Child<QPushButton>(page, "m_Apply")->click();
        m_Fake->Sent.clear();
        Reply(d, SringSet, 0);
        QCOMPARE(TakeSent(), TSentList{To(SringGet, d)});
        Reply(d, SringGet, 0, {1, 0, 2, 3, 0, 0, 0, 0, 0});
        QVERIFY(Check(page, "m_LegacyMode")->isChecked());
        QCOMPARE(Box(page, "m_1stPort")->currentText(), QString("Port.03"));
        QCOMPARE(Box(page, "m_2ndPort")->currentText(), QString("Port.04"));
    }

    void rstpShowsTheRecord_data()
    {
        QTest::addColumn<int>("ports");
        QTest::addColumn<bool>("valid");
        QTest::newRow("one entry per port") << Ports << true;
        QTest::newRow("one entry too few") << Ports - 1 << false;
    }
    void rstpShowsTheRecord()
    {
        QFETCH(int, ports);
        QFETCH(bool, valid);
        QWidget* page = Load(RstpPath, RstpGet, RstpPayload(RstpPorts(ports)), 0, {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        QCOMPARE(Box(page, "m_Mode")->currentText(), QString(valid ? "Enable" : "Disable"));
        QCOMPARE((QList<int>{
                     Child<QSpinBox>(page, "m_BridgePriority")->value(), Child<QSpinBox>(page, "m_BridgeAge")->value(),
                     Child<QSpinBox>(page, "m_BridgeHello")->value(), Child<QSpinBox>(page, "m_BridgeDelay")->value()}),
                 (valid ? QList<int>{4096, 30, 5, 20} : QList<int>{32768, 20, 2, 15}));
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        if (valid) {
            QCOMPARE(Cells(page, 0), QStringList({"Port.01", "1000", "0", "False", "False", "False"}));
            QCOMPARE(Cells(page, 2), QStringList({"Port.03", "3000", "32", "Auto", "False", "True"}));
            QCOMPARE(Cells(page, 7), QStringList({"Port.08", "8000", "112", "True", "True", "False"}));
        } else {
            for (int row = 0; row < Ports; ++row)
                QCOMPARE(Cells(page, row),
                         QStringList({PortCaptions(Ports)[row], "200000", "128", "False", "False", "False"}));
        }
        CheckEnabled(page, {"m_ModeLabel", "m_Mode", "m_Apply"}, true);
        CheckEnabled(page, BridgeControls, valid);
        CheckEnabled(page, PortEditors, false);
    }

    // A point-to-point value without a text shows as such and leaves its editor empty.
    void rstpUnknownPointToPoint()
    {
        std::vector<TRstpPort> ports = RstpPorts();
        ports[1].P2p = 3;
        QWidget* page = Load(RstpPath, RstpGet, RstpPayload(ports), 0, {AddLoggedIn(1)});
        QCOMPARE(Cells(page, 1)[3], QString("Unknown (3)"));
        SelectRow(page, 1);
        QCOMPARE(Box(page, "m_PortP2p")->currentIndex(), -1);
    }

    void rstpModeRule()
    {
        QWidget* page = Load(RstpPath, RstpGet, RstpPayload(RstpPorts()), 0, {AddLoggedIn(1)});
        SelectRow(page, 3);
        CheckEnabled(page, PortEditors, true);
        Box(page, "m_Mode")->setCurrentIndex(0);
        CheckEnabled(page, BridgeControls + PortEditors, false);
        QVERIFY(ListOf(page)->selectedItems().isEmpty());
        Box(page, "m_Mode")->setCurrentIndex(1);
        CheckEnabled(page, BridgeControls, true);
        CheckEnabled(page, PortEditors, false);
    }

    void rstpWithoutDevice()
    {
        QWidget* page = Unselected(RstpPath);
        CheckEnabled(page, QStringList{"m_ModeLabel", "m_Mode", "m_Apply"} + BridgeControls + PortEditors, false);
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
    }

    // Selecting a row loads the editors; each editor writes the row's cell.
    void rstpEditing()
    {
        QWidget* page = Load(RstpPath, RstpGet, RstpPayload(RstpPorts()), 0, {AddLoggedIn(1)});
        SelectRow(page, 2);
        QCOMPARE(Child<QSpinBox>(page, "m_PortCost")->value(), 3000);
        QCOMPARE(Child<QSpinBox>(page, "m_PortPriority")->value(), 32);
        QCOMPARE(Box(page, "m_PortP2p")->currentText(), QString("Auto"));
        QCOMPARE(Box(page, "m_PortEdge")->currentText(), QString("False"));
        QCOMPARE(Box(page, "m_PortStp")->currentText(), QString("True"));
        Child<QSpinBox>(page, "m_PortCost")->setValue(200000000);
        Child<QSpinBox>(page, "m_PortPriority")->stepUp();
        Box(page, "m_PortP2p")->setCurrentIndex(1);
        Box(page, "m_PortEdge")->setCurrentIndex(1);
        Box(page, "m_PortStp")->setCurrentIndex(0);
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "200000000", "48", "True", "True", "False"}));
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "2000", "16", "True", "True", "False"}));
    }

    // A click on a column header sets every row to the first row's value and one step more.
    void rstpHeaderClicks_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("first"); // the first row's value
        QTest::addColumn<QString>("text");
        QTest::newRow("cost 1000") << 1 << 1000 << "1001";
        QTest::newRow("cost 200000000") << 1 << 200000000 << "1";
        QTest::newRow("priority 224") << 2 << 224 << "240";
        QTest::newRow("priority 240") << 2 << 240 << "0";
        QTest::newRow("point-to-point Auto") << 3 << 2 << "False";
        QTest::newRow("point-to-point True") << 3 << 1 << "Auto";
        QTest::newRow("edge True") << 4 << 1 << "False";
        QTest::newRow("non-STP False") << 5 << 0 << "True";
    }
    void rstpHeaderClicks()
    {
        QFETCH(int, column);
        QFETCH(int, first);
        QFETCH(QString, text);
        std::vector<TRstpPort> ports = RstpPorts();
        TRstpPort& port = ports.front();
        switch (column) {
        case 1: port.Cost = uint32_t(first); break;
        case 2: port.Priority = uint8_t(first); break;
        case 3: port.P2p = uint8_t(first); break;
        case 4: port.Edge = uint8_t(first); break;
        case 5: port.NonStp = uint8_t(first); break;
        }
        QWidget* page = Load(RstpPath, RstpGet, RstpPayload(ports), 0, {AddLoggedIn(1)});
        SelectRow(page, 5);
        ClickHeader(page, column);
        QCOMPARE(Column(page, column), QStringList(Ports, text));
        // The editors show the selected row's new value.
        const QString shown = column <= 2 ? Child<QSpinBox>(page, column == 1 ? "m_PortCost" : "m_PortPriority")->text()
                                          : Box(page,
                                                column == 3       ? "m_PortP2p"
                                                    : column == 4 ? "m_PortEdge"
                                                                  : "m_PortStp")
                                                ->currentText();
        QCOMPARE(shown, text);
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
    }

    // The request carries the editors and the rows; a switch with another number of ports
    // gets none.
    void rstpApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TDevice* c = AddLoggedIn(3);
        QWidget* page = Load(RstpPath, RstpGet, RstpPayload(RstpPorts()), 0, {a, small, c});
        Child<QSpinBox>(page, "m_BridgePriority")->stepUp();
        Child<QSpinBox>(page, "m_BridgeAge")->setValue(40);
        Child<QSpinBox>(page, "m_BridgeHello")->setValue(1);
        Child<QSpinBox>(page, "m_BridgeDelay")->setValue(4);
        SelectRow(page, 7);
        Child<QSpinBox>(page, "m_PortCost")->setValue(200000000);
        Child<QPushButton>(page, "m_Apply")->click();
        const QString entries = "00 00 03 e8 00 00 00 00 00 00 07 d0 10 01 01 00 00 00 0b b8 20 02 00 01 "
                                "00 00 0f a0 30 00 01 00 00 00 13 88 40 01 00 00 00 00 17 70 50 02 01 00 "
                                "00 00 1b 58 60 00 00 00 0b eb c2 00 70 01 01 00";
        const QString bytes = "01 20 00 28 01 04 " + entries;
        QCOMPARE(TakeRequests(), QStringList({Request(RstpSet, a, {}) + bytes, Request(RstpSet, c, {}) + bytes}));

        // Off, the mode alone changes in the request.
        Box(page, "m_Mode")->setCurrentIndex(0);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests().first(), Request(RstpSet, a, {}) + "00 20 00 28 01 04 " + entries);
    }

    void infoShowsTheRecord_data()
    {
        QTest::addColumn<int>("rootPort");
        QTest::addColumn<QString>("rootText");
        QTest::newRow("this switch") << 255 << "Root";
        QTest::newRow("behind port 3") << 3 << "Port.03";
    }
    void infoShowsTheRecord()
    {
        QFETCH(int, rootPort);
        QFETCH(QString, rootText);
        QWidget* page = Load(InfoPath, RstpInfoGet, InfoPayload(InfoPorts, 1, uint8_t(rootPort)), 0, {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        QStringList values;
        for (const QString& name : InfoValues)
            values << Text(page, name);
        QCOMPARE(values, QStringList({"8000000A1B2C3D99", "32768", rootText, "200000", "20", "2", "15"}));
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Cells(page, 0),
                 QStringList({"Port.01", "10", "128", "False", "False", "True", "Forwarding", "Designated"}));
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "9", "16", "True", "True", "False", "Disabled", "Disabled"}));
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "100", "240", "Auto", "False", "True", "Discarding", "Root"}));
        QCOMPARE(Cells(page, 3),
                 QStringList({"Port.04", "4294967295", "0", "True", "True", "True", "Learning", "Alternated"}));
        QCOMPARE(Cells(page, 4), QStringList({"Port.05", "20", "32", "False", "False", "False", "Non Stp", "Backup"}));
        QCOMPARE(Cells(page, 5),
                 QStringList({"Port.06", "200", "64", "True", "True", "True", "Forwarding", "Non Stp"}));
        QCOMPARE(Cells(page, 6),
                 QStringList({"Port.07", "1", "80", "Auto", "False", "False", "Forwarding", "Unknown"}));
        QCOMPARE(Cells(page, 7),
                 QStringList({"Port.08", "2", "96", "Unknown (3)", "False", "False", "Unknown (9)", "Unknown (7)"}));
        QCOMPARE(ListOf(page)->topLevelItem(0)->textAlignment(1), int(Qt::AlignRight | Qt::AlignVCenter));
        CheckEnabled(page, InfoValues + QStringList{"m_List", "m_RootHeading", "m_BridgeIdLabel"}, true);
    }

    // Not running: "N/A" everywhere, no rows. Refused: the labels keep their texts, disabled.
    void infoNotRunningOrRefused()
    {
        TDevice* d = AddLoggedIn(1);
        QWidget* page = Load(InfoPath, RstpInfoGet, InfoPayload(InfoPorts, 0), 0, {d});
        for (const QString& name : InfoValues)
            QCOMPARE(Text(page, name), QString("N/A"));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        CheckEnabled(page, InfoValues + QStringList{"m_List", "m_PortHeading"}, true);

        Frame()->Refresh(true);
        Reply(d, RstpInfoGet, 0, InfoPayload(InfoPorts));
        QCOMPARE(Text(page, "m_RootPort"), QString("Port.03"));
        Frame()->Refresh(true);
        Reply(d, RstpInfoGet, 0, InfoPayload({InfoPorts.begin(), InfoPorts.end() - 1}));
        QCOMPARE(Text(page, "m_RootPort"), QString("Port.03"));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        CheckEnabled(page, InfoValues + QStringList{"m_List", "m_PortHeading", "m_DelayLabel"}, false);
    }

    // Path Cost sorts as unsigned numbers, Port Priority as numbers, the others by text.
    // Every column flips its own direction, the first click ascending.
    void infoSorting_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("Path Cost") << 1 << QStringList{"1", "2", "9", "10", "20", "100", "200", "4294967295"};
        QTest::newRow("Port Priority") << 2 << QStringList{"0", "16", "32", "64", "80", "96", "128", "240"};
        QTest::newRow("State") << 6 << QStringList{"Disabled",   "Discarding", "Forwarding", "Forwarding",
                                                   "Forwarding", "Learning",   "Non Stp",    "Unknown (9)"};
    }
    void infoSorting()
    {
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        QWidget* page = Load(InfoPath, RstpInfoGet, InfoPayload(InfoPorts), 0, {AddLoggedIn(1)});
        ClickHeader(page, column);
        QCOMPARE(Column(page, column), ascending);
        ClickHeader(page, column);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(Column(page, column), ascending);
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        ClickHeader(page, column);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(Column(page, column), ascending);
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0).first(), PortCaptions(Ports).last());
    }

    // Every page asks every selected device, shown or in the background.
    void refreshCounts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("get");
        QTest::newRow("Vantor Ring") << RingPath << int(SringGet);
        QTest::newRow("RSTP Settings") << RstpPath << int(RstpGet);
        QTest::newRow("RSTP Information") << InfoPath << int(RstpInfoGet);
    }
    void refreshCounts()
    {
        QFETCH(QString, path);
        QFETCH(int, get);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        TModule* page = Frame()->ModuleOf(Frame()->FindNode(path));
        m_Fake->Sent.clear();
        const TSentList gets = {To(uint16_t(get), a), To(uint16_t(get), b)};
        for (bool current : {true, false}) {
            QCOMPARE(page->Refresh(current), 2);
            QCOMPARE(TakeSent(), gets);
        }
    }

    // A page redraws for its Get only when the first selected device's answer arrives.
    void redrawsForTheFirstDevice()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(InfoPath);
        QVERIFY(!Shown(page));
        Reply(b, RstpInfoGet, 0, InfoPayload(InfoPorts));
        QVERIFY(!Shown(page));
        Reply(a, RstpInfoGet, 0, InfoPayload(InfoPorts, 1, 255));
        QVERIFY(Shown(page));
        QCOMPARE(Text(page, "m_RootPort"), QString("Root"));
    }
};

QTEST_MAIN(TRedundancyPagesTest)
#include "tst_redundancy_pages.moc"
