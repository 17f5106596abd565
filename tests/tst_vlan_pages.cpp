// The three VLAN pages, offscreen, driven through the main window: their controls, the
// fetch chains, what each page shows and enables for a switch in 802.1Q, port-based or
// disabled mode, the link-type rules while editing, the header click, the VLAN table's
// sorting, the messages, and the exact requests every "&Apply" sends.
#include "PageTests.h"

#include "pages/ModuleVlan_8021q.h"
#include "pages/ModuleVlan_8021qPort.h"
#include "pages/ModuleVlan_Table.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

namespace {

const char* const VlanPath = "802.1Q VLAN";
const char* const PortPath = "802.1Q VLAN/Port Configuration";
const char* const TablePath = "802.1Q VLAN/VLAN Table";

constexpr uint16_t NameGet = 0x0200, ConfigGet = 0x0201, ModeGet = 0x0400, PortBasedGet = 0x0402, GvrpGet = 0x0406,
                   GvrpSet = 0x0407, Dot1qGet = 0x0408, Dot1qSet = 0x0409;

TBytes U16(uint16_t v) { return {uint8_t(v >> 8), uint8_t(v)}; }
TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// Names "Port.01" ... of the 12 logical ports.
TBytes Names()
{
    TBytes out;
    for (int i = 1; i <= 12; ++i) {
        const QByteArray name = QStringLiteral("Port.%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1() + '\0';
        out.insert(out.end(), name.begin(), name.end());
    }
    return out;
}

// Every logical port, in port order.
TBytes Configs()
{
    TBytes out(4, 0);
    for (uint8_t i = 0; i < 12; ++i)
        out.insert(out.end(), {i, 4, 1, 0, 0, 0});
    return out;
}

struct TDot1q {
    uint16_t Vid;
    uint32_t Untagged, Tagged;
};

TBytes Dot1qPayload(const std::vector<TDot1q>& entries)
{
    TBytes out(4, 0);
    for (const TDot1q& e : entries)
        out = Concat({out, U16(e.Vid), U32(e.Untagged), U32(e.Tagged)});
    return out;
}

// Port 0 access in VLAN 1; port 1 hybrid untagged in VLAN 5, tagged in 3 and 7; port 2 802.1Q
// tagged in 7 and 3; port 3 untagged in VLAN 7; the others in VLAN 1. Hybrid entry in the middle.
const std::vector<TDot1q> SampleList = {
    {1, 0xFF5, 0}, {7, 0x008, 0x006}, {0, 0x002, 0xFFFF}, {3, 0, 0x006}, {5, 0x002, 0}};

TBytes PortBasedPayload(const std::vector<std::pair<uint16_t, uint32_t>>& entries)
{
    TBytes out(4, 0);
    for (const auto& [vid, members] : entries) {
        QByteArray name = "VLAN" + QByteArray::number(vid);
        name = name.leftJustified(16, '\0');
        out = Concat({out, U16(vid), U32(members), TBytes(name.begin(), name.end())});
    }
    return out;
}

QAbstractItemModel* TableModel(QWidget* page) { return Child<QTableView>(page, "m_List")->model(); }

QStringList TableColumn(QWidget* page, int column)
{
    QStringList texts;
    QAbstractItemModel* model = TableModel(page);
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QStringList TableRow(QWidget* page, int row)
{
    QStringList texts;
    for (int column = 0; column < 4; ++column)
        texts << TableModel(page)->index(row, column).data().toString();
    return texts;
}

const QStringList PortEditors = {"m_TypeLabel", "m_Type", "m_UntaggedLabel", "m_Untagged", "m_TaggedLabel", "m_Tagged"};
const QStringList VlanControls = {"m_GvrpLabel", "m_Gvrp", "m_VidLabel", "m_Vid", "m_VidNote", "m_Apply"};

} // namespace

class TVlanPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    // "Port Configuration" open on the selected devices, loaded for d through its whole chain.
    QWidget* OpenPorts(TDevice* d, uint8_t mode = 2, const TBytes& list = Dot1qPayload(SampleList))
    {
        QWidget* page = Open(PortPath);
        Reply(d, NameGet, 0, Names());
        Reply(d, ConfigGet, 0, Configs());
        Reply(d, ModeGet, 0, {mode});
        Reply(d, Dot1qGet, 0, list);
        m_Fake->Sent.clear();
        return page;
    }
    // The request of a list of 16-bit words.
    static QString WordsRequest(uint16_t command, TDevice* d, const std::vector<uint16_t>& words)
    {
        TBytes payload;
        for (uint16_t w : words)
            payload = Concat({payload, U16(w)});
        return Request(command, d, payload);
    }
    static void ClickTableHeader(QWidget* page, int column)
    {
        emit Child<QTableView>(page, "m_List")->horizontalHeader()->sectionClicked(column);
    }
    // Sets a row's link type and tagged text through the editors.
    static void Edit(QWidget* page, int row, int type, const QString& tagged)
    {
        SelectRow(page, row);
        Child<QComboBox>(page, "m_Type")->setCurrentIndex(type);
        Child<QLineEdit>(page, "m_Tagged")->setText(tagged);
    }

private slots:
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

    void pagesInTheCatalogue()
    {
        const QList<QPair<const char*, QString>> pages = {
            {VlanPath, "802.1Q VLAN"}, {PortPath, "Port Configuration"}, {TablePath, "VLAN Table"}};
        for (const auto& [path, caption] : pages) {
            TModule* module = Frame()->ModuleOf(Frame()->FindNode(path));
            QVERIFY(module && module->GetControl());
            QCOMPARE(module->GetName(), caption);
        }
        QTreeWidgetItem* top = Frame()->FindNode(VlanPath);
        QCOMPARE(top->childCount(), 2);
        QCOMPARE(top->child(0)->text(0), QString("Port Configuration"));
        QCOMPARE(top->child(1)->text(0), QString("VLAN Table"));
    }

    void controlsAndTheirTexts()
    {
        TModuleVlan8021q vlan;
        QCOMPARE(Child<QLabel>(&vlan, "m_GvrpLabel")->text(), QString("&GVRP Mode:"));
        QCOMPARE(Child<QLabel>(&vlan, "m_VidLabel")->text(), QString("&Management VLAN ID:"));
        QCOMPARE(Child<QLabel>(&vlan, "m_VidNote")->text(), QString(", 0 for disable"));
        QCOMPARE(Items(Child<QComboBox>(&vlan, "m_Gvrp")), QStringList({"Disable", "Enable"}));
        QCOMPARE(Child<QSpinBox>(&vlan, "m_Vid")->minimum(), 0);
        QCOMPARE(Child<QSpinBox>(&vlan, "m_Vid")->maximum(), 4094);

        TModuleVlan8021qPort port;
        QCOMPARE(Child<QLabel>(&port, "m_TypeLabel")->text(), QString("&Link Type:"));
        QCOMPARE(Child<QLabel>(&port, "m_UntaggedLabel")->text(), QString("&Untagged VID:"));
        QCOMPARE(Child<QLabel>(&port, "m_TaggedLabel")->text(), QString("&Tagged VID:"));
        QCOMPARE(Items(Child<QComboBox>(&port, "m_Type")), QStringList({"Access", "802.1Q", "Hybrid"}));
        auto* untagged = Child<QSpinBox>(&port, "m_Untagged");
        QCOMPARE(QList<int>({untagged->minimum(), untagged->maximum(), untagged->value()}), QList<int>({1, 4094, 1}));
        auto* tagged = Child<QLineEdit>(&port, "m_Tagged");
        QCOMPARE(tagged->maxLength(), 1023);
        QCOMPARE(tagged->toolTip(),
                 QString("Note: Use comma or space to separate the multiple tagged VIDs. E.g., 2,3,4 "
                         "means joining the Tagged VLAN 2,3 and 4."));
        QTreeWidget* list = ListOf(&port);
        QCOMPARE(list->columnCount(), 4);
        const QStringList columns = {"Port No.", "Link Type", "Untagged VID", "Tagged VIDs"};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(list->headerItem()->text(column), columns[column]);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(Child<QPushButton>(&port, "m_Apply")->isDefault());

        for (QWidget* page : {static_cast<QWidget*>(&vlan), static_cast<QWidget*>(&port)}) {
            auto* apply = Child<QPushButton>(page, "m_Apply");
            QCOMPARE(apply->text(), QString("&Apply"));
            QCOMPARE(apply->icon().cacheKey(), Icon(TImage::Accept).cacheKey());
        }

        TModuleVlanTable table;
        auto* view = Child<QTableView>(&table, "m_List");
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QStringList titles;
        for (int column = 0; column < view->model()->columnCount(); ++column)
            titles << view->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"", "VLAN ID", "Untagged Ports", "Tagged Ports"}));
    }

    // The mode first, then GVRP for every device whose mode arrived; editing follows the mode.
    void vlanPage_data()
    {
        QTest::addColumn<int>("modeStatus");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("asksGvrp");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("gvrp");
        QTest::addColumn<int>("vid");
        QTest::newRow("802.1Q") << 0 << 2 << true << true << 1 << 4000;
        QTest::newRow("port based") << 0 << 1 << true << false << 0 << 0;
        QTest::newRow("disabled") << 0 << 0 << true << false << 0 << 0;
        QTest::newRow("mode unknown") << 5 << 2 << false << true << 0 << 0;
        QTest::newRow("mode 3") << 0 << 3 << false << true << 0 << 0;
    }
    void vlanPage()
    {
        QFETCH(int, modeStatus);
        QFETCH(int, mode);
        QFETCH(bool, asksGvrp);
        QFETCH(bool, enabled);
        QFETCH(int, gvrp);
        QFETCH(int, vid);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        m_Fake->Sent.clear();
        QWidget* page = Open(VlanPath);
        QVERIFY(!Shown(page));
        QCOMPARE(TakeSent(), (TSentList{To(ModeGet, a), To(ModeGet, b)}));
        Reply(b, ModeGet, 0, {2});
        QCOMPARE(TakeSent(), TSentList{To(GvrpGet, b)});
        Reply(a, ModeGet, uint16_t(modeStatus), {uint8_t(mode)});
        QCOMPARE(TakeSent(), asksGvrp ? TSentList{To(GvrpGet, a)} : TSentList{});
        QCOMPARE(Shown(page), !asksGvrp);
        Reply(a, GvrpGet, 0, Concat({{1}, U16(4000)}));
        QVERIFY(Shown(page));
        CheckEnabled(page, VlanControls, enabled);
        // Without a valid mode the GVRP record stays unknown and shows its defaults.
        QCOMPARE(Child<QComboBox>(page, "m_Gvrp")->currentIndex(), gvrp);
        QCOMPARE(Child<QSpinBox>(page, "m_Vid")->value(), vid);

        // In the background GVRP alone.
        QCOMPARE(dynamic_cast<TModule*>(page)->Refresh(false), 2);
        QCOMPARE(TakeSent(), (TSentList{To(GvrpGet, a), To(GvrpGet, b)}));
    }

    void vlanApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(VlanPath);
        Reply(a, ModeGet, 0, {2});
        Reply(a, GvrpGet, 0, Concat({{0}, U16(0)}));
        m_Fake->Sent.clear();
        Child<QComboBox>(page, "m_Gvrp")->setCurrentIndex(1);
        Child<QSpinBox>(page, "m_Vid")->setValue(300);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(),
                 QStringList({Request(GvrpSet, a->Address(), {0x01, 0x01, 0x2c}),
                              Request(GvrpSet, b->Address(), {0x01, 0x01, 0x2c})}));
        Reply(b, GvrpSet, 0);
        QCOMPARE(TakeSent(), TSentList{To(GvrpGet, b)});
    }

    void withoutADeviceNothingIsEnabled()
    {
        TModule* vlanPage = Frame()->ModuleOf(Frame()->FindNode(VlanPath));
        TModule* portPage = Frame()->ModuleOf(Frame()->FindNode(PortPath));
        TModule* tablePage = Frame()->ModuleOf(Frame()->FindNode(TablePath));
        for (TModule* module : {vlanPage, portPage, tablePage})
            module->Notify(nullptr, ncSelect, 0);
        CheckEnabled(vlanPage->GetControl(), VlanControls, false);
        CheckEnabled(portPage->GetControl(), PortEditors + QStringList{"m_ListView", "m_Apply"}, false);
        CheckEnabled(tablePage->GetControl(), {"m_List"}, false);
        QVERIFY(m_Messages.isEmpty());
    }

    // Port names, port configuration, mode, then the 802.1Q list; the page waits for the first device.
    void portChain()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        m_Fake->Sent.clear();
        auto* page = Open<TModuleVlan8021qPort>(PortPath);
        QCOMPARE(TakeSent(), (TSentList{To(NameGet, a), To(NameGet, b)}));
        const QList<QPair<uint16_t, TBytes>> chain = {
            {NameGet, Names()}, {ConfigGet, Configs()}, {ModeGet, {2}}, {Dot1qGet, Dot1qPayload(SampleList)}};
        for (qsizetype i = 0; i < chain.size(); ++i) {
            Reply(b, chain[i].first, 0, chain[i].second);
            Reply(a, chain[i].first, 0, chain[i].second);
            QCOMPARE(Shown(page), i + 1 == chain.size());
            QCOMPARE(TakeSent(),
                     i + 1 == chain.size() ? TSentList{}
                                           : TSentList({To(chain[i + 1].first, b), To(chain[i + 1].first, a)}));
        }
        QCOMPARE(ListOf(page)->topLevelItemCount(), 12);
        QCOMPARE(page->Refresh(false), 2);
        QCOMPARE(TakeSent(), (TSentList{To(Dot1qGet, a), To(Dot1qGet, b)}));
    }

    // A record that is not valid ends the chain there; the page shows without rows.
    void portChainStops_data()
    {
        QTest::addColumn<int>("failing"); // the command answered with status 5
        QTest::newRow("names") << int(NameGet);
        QTest::newRow("configuration") << int(ConfigGet);
        QTest::newRow("mode") << int(ModeGet);
        QTest::newRow("802.1Q list") << int(Dot1qGet);
    }
    void portChainStops()
    {
        QFETCH(int, failing);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(PortPath);
        const QList<QPair<uint16_t, TBytes>> chain = {
            {NameGet, Names()}, {ConfigGet, Configs()}, {ModeGet, {2}}, {Dot1qGet, Dot1qPayload(SampleList)}};
        for (const auto& [command, payload] : chain) {
            m_Fake->Sent.clear();
            Reply(d, command, command == failing ? 5 : 0, payload);
            if (command == failing)
                break;
        }
        QVERIFY(TakeSent().isEmpty());
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        // Editing needs the mode, which a device answering nothing before it does not have.
        CheckEnabled(page, {"m_ListView", "m_Apply"}, failing == Dot1qGet);
    }

    void portRows()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenPorts(d);
        QCOMPARE(Cells(page, 0), QStringList({"Port.01", "Access", "1", ""}));
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "Hybrid", "5", "7,3"}));
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "802.1Q", "1", "7,3"}));
        QCOMPARE(Cells(page, 3), QStringList({"Port.04", "Access", "7", ""}));
        QCOMPARE(Cells(page, 11), QStringList({"Port.12", "Access", "1", ""}));
        QCOMPARE(ListOf(page)->topLevelItem(1)->textAlignment(2), int(Qt::AlignRight | Qt::AlignVCenter));
        CheckEnabled(page, {"m_ListView", "m_Apply"}, true);
        CheckEnabled(page, PortEditors, false);
    }

    // Only 802.1Q mode shows and edits the ports.
    void portsNeed8021q_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("port based") << 1;
        QTest::newRow("disabled") << 0;
    }
    void portsNeed8021q()
    {
        QFETCH(int, mode);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenPorts(d, uint8_t(mode));
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        CheckEnabled(page, PortEditors + QStringList{"m_ListView", "m_Apply"}, false);
        QVERIFY(m_Messages.isEmpty());
    }

    // The editors load the selected row; the link type decides what else may be edited.
    void linkTypeRules_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("type"); // chosen in the editor
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("untaggedEnabled");
        QTest::addColumn<bool>("taggedEnabled");
        QTest::newRow("hybrid to 802.1Q") << 1 << 1 << QStringList{"Port.02", "802.1Q", "1", "7,3"} << false << true;
        QTest::newRow("hybrid to access") << 1 << 0 << QStringList{"Port.02", "Access", "5", ""} << true << false;
        QTest::newRow("hybrid stays") << 1 << 2 << QStringList{"Port.02", "Hybrid", "5", "7,3"} << true << true;
        QTest::newRow("access to hybrid") << 3 << 2 << QStringList{"Port.04", "Hybrid", "7", ""} << true << true;
        QTest::newRow("access to 802.1Q") << 3 << 1 << QStringList{"Port.04", "802.1Q", "1", ""} << false << true;
    }
    void linkTypeRules()
    {
        QFETCH(int, row);
        QFETCH(int, type);
        QFETCH(QStringList, cells);
        QFETCH(bool, untaggedEnabled);
        QFETCH(bool, taggedEnabled);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenPorts(d);
        SelectRow(page, row);
        CheckEnabled(page, {"m_TypeLabel", "m_Type"}, true);
        Child<QComboBox>(page, "m_Type")->setCurrentIndex(type);
        QCOMPARE(Cells(page, row), cells);
        CheckEnabled(page, {"m_UntaggedLabel", "m_Untagged"}, untaggedEnabled);
        CheckEnabled(page, {"m_TaggedLabel", "m_Tagged"}, taggedEnabled);
        QCOMPARE(Child<QSpinBox>(page, "m_Untagged")->value(), cells[2].toInt());
        QCOMPARE(Child<QLineEdit>(page, "m_Tagged")->text(), cells[3]);
        ListOf(page)->clearSelection();
        CheckEnabled(page, PortEditors, false);
    }

    void editorsWriteTheRow()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenPorts(d);
        SelectRow(page, 1);
        QCOMPARE(Child<QComboBox>(page, "m_Type")->currentText(), QString("Hybrid"));
        QCOMPARE(Child<QSpinBox>(page, "m_Untagged")->value(), 5);
        QCOMPARE(Child<QLineEdit>(page, "m_Tagged")->text(), QString("7,3"));
        Child<QSpinBox>(page, "m_Untagged")->setValue(12);
        Child<QLineEdit>(page, "m_Tagged")->setText("9 10");
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "Hybrid", "12", "9 10"}));
        // A port of link type 802.1Q or Hybrid without tagged VLANs holds "&Apply" back.
        Child<QLineEdit>(page, "m_Tagged")->clear();
        CheckEnabled(page, {"m_Apply"}, false);
        Child<QLineEdit>(page, "m_Tagged")->setText("2");
        CheckEnabled(page, {"m_Apply"}, true);
        SelectRow(page, 0);
        QCOMPARE(Child<QLineEdit>(page, "m_Tagged")->text(), QString());
        QCOMPARE(Cells(page, 1), QStringList({"Port.02", "Hybrid", "12", "2"}));
    }

    // Only the "Link Type" header moves every row to the type after the first row's.
    void headerClick_data()
    {
        QTest::addColumn<int>("firstType");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("untagged");
        QTest::addColumn<QStringList>("tagged");
        // Rows 0 to 3 as SampleList gives them, with row 0's type changed first.
        QTest::newRow("access to 802.1Q")
            << 0 << "802.1Q" << QStringList{"1", "1", "1", "1"} << QStringList{"", "7,3", "7,3", ""};
        QTest::newRow("802.1Q to hybrid")
            << 1 << "Hybrid" << QStringList{"1", "5", "1", "7"} << QStringList{"", "7,3", "7,3", ""};
        QTest::newRow("hybrid to access")
            << 2 << "Access" << QStringList{"1", "5", "1", "7"} << QStringList{"", "", "", ""};
    }
    void headerClick()
    {
        QFETCH(int, firstType);
        QFETCH(QString, type);
        QFETCH(QStringList, untagged);
        QFETCH(QStringList, tagged);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = OpenPorts(d);
        SelectRow(page, 0);
        Child<QComboBox>(page, "m_Type")->setCurrentIndex(firstType);
        SelectRow(page, 1);
        for (int column : {0, 2, 3})
            ClickHeader(page, column);
        QCOMPARE(Column(page, 1).mid(1, 3), QStringList({"Hybrid", "802.1Q", "Access"}));
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList(12, type));
        QCOMPARE(Column(page, 2).mid(0, 4), untagged);
        QCOMPARE(Column(page, 3).mid(0, 4), tagged);
        QCOMPARE(Child<QComboBox>(page, "m_Type")->currentText(), type);
        QCOMPARE(Child<QLineEdit>(page, "m_Tagged")->text(), tagged[1]);
    }

    // "&Apply" sends every row's words, in row order, to every selected device.
    void portApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = OpenPorts(a);
        Edit(page, 5, 2, "2, ,3");
        Child<QSpinBox>(page, "m_Untagged")->setValue(9);
        Child<QPushButton>(page, "m_Apply")->click();
        const std::vector<uint16_t> words = {0x0000, 1, 0,               // access: three words
                                             0x0102, 5, 7, 3,      0,    // hybrid
                                             0x0201, 1, 7, 3,      0,    // 802.1Q
                                             0x0300, 7, 0, 0x0400, 1, 0, //
                                             0x0502, 9, 2, 3,      0,    // port 5 hybrid: 0x0502
                                             0x0600, 1, 0, 0x0700, 1, 0, 0x0800, 1, 0,
                                             0x0900, 1, 0, 0x0A00, 1, 0, 0x0B00, 1, 0};
        QCOMPARE(TakeRequests(), QStringList({WordsRequest(Dot1qSet, a, words), WordsRequest(Dot1qSet, b, words)}));
        QVERIFY(m_Messages.isEmpty());
        Reply(b, Dot1qSet, 0);
        QCOMPARE(TakeSent(), TSentList{To(Dot1qGet, b)});
    }

    void wrongTaggedVids_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << "2,0";
        QTest::newRow("4095") << "4095";
        QTest::newRow("letters") << "3 abc";
    }
    void wrongTaggedVids()
    {
        QFETCH(QString, text);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = OpenPorts(a);
        Edit(page, 11, 1, text);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(m_Messages, QStringList{"Wrong tagged VIDs format!"});
        QVERIFY(m_Fake->Sent.empty());
    }

    // Words that reach 700 in one request move the port to the next; two devices, two requests each.
    void applySplitsLongRequests()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = OpenPorts(a);
        // 60 tagged VLANs a port: 63 words; eleven ports make 693, the twelfth would make 756.
        QStringList vids;
        for (int vid = 100; vid < 160; ++vid)
            vids << QString::number(vid);
        for (int row = 0; row < 12; ++row)
            Edit(page, row, 1, vids.join(','));
        Child<QPushButton>(page, "m_Apply")->click();
        std::vector<uint16_t> first, second;
        for (uint16_t port = 0; port < 12; ++port) {
            std::vector<uint16_t>& words = port < 11 ? first : second;
            words.insert(words.end(), {uint16_t(port << 8 | 1), 1});
            for (uint16_t vid = 100; vid < 160; ++vid)
                words.push_back(vid);
            words.push_back(0);
        }
        QCOMPARE(first.size(), std::size_t(693));
        QCOMPARE(TakeRequests(),
                 QStringList({WordsRequest(Dot1qSet, a, first), WordsRequest(Dot1qSet, a, second),
                              WordsRequest(Dot1qSet, b, first), WordsRequest(Dot1qSet, b, second)}));
    }

    void tableOf8021q()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        m_Fake->Sent.clear();
        auto* page = Open<TModuleVlanTable>(TablePath);
        QCOMPARE(TakeSent(), (TSentList{To(ModeGet, a), To(ModeGet, b)}));
        Reply(a, ModeGet, 0, {2});
        Reply(b, ModeGet, 0, {1});
        QCOMPARE(TakeSent(), (TSentList{To(Dot1qGet, a), To(PortBasedGet, b)}));
        QVERIFY(!Shown(page));
        Reply(a, Dot1qGet, 0, Dot1qPayload(SampleList));
        QVERIFY(Shown(page));
        CheckEnabled(page, {"m_List"}, true);
        QCOMPARE(TableModel(page)->rowCount(), 4); // the hybrid entry is no VLAN
        QCOMPARE(TableRow(page, 0), QStringList({"1", "1", "1,3,5,6,7,8,9,10,11,12", ""}));
        QCOMPARE(TableRow(page, 1), QStringList({"2", "7", "4", "2,3"}));
        QCOMPARE(TableRow(page, 2), QStringList({"3", "3", "", "2,3"}));
        QCOMPARE(TableRow(page, 3), QStringList({"4", "5", "2", ""}));
        QCOMPARE(page->Refresh(false), 0);
        QVERIFY(TakeSent().isEmpty());
        QVERIFY(page->Hide(false));
        QCOMPARE(TableModel(page)->rowCount(), 0);
    }

    // A port-based switch: no 802.1Q editing, and the table lists the port-based VLANs.
    void portBasedSwitch()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* table = Open(TablePath);
        Reply(d, ModeGet, 0, {1});
        Reply(d, PortBasedGet, 0, PortBasedPayload({{1, 0xFFF}, {20, 0x5}}));
        QCOMPARE(TableColumn(table, 1), QStringList({"1", "20"}));
        QCOMPARE(TableRow(table, 1), QStringList({"2", "20", "1,3", ""}));

        QWidget* vlan = Open(VlanPath);
        Reply(d, ModeGet, 0, {1});
        Reply(d, GvrpGet, 0, Concat({{1}, U16(9)}));
        CheckEnabled(vlan, VlanControls, false);
        QCOMPARE(Child<QSpinBox>(vlan, "m_Vid")->value(), 0);
        QVERIFY(m_Messages.isEmpty());
    }

    // A disabled switch: the message on every drawing, and no rows; an unknown mode shows nothing.
    void disabledSwitch()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        m_Fake->Sent.clear();
        QWidget* page = Open(TablePath);
        Reply(d, ModeGet, 0, {0});
        QVERIFY(TakeSent() == TSentList{To(ModeGet, d)});
        QVERIFY(Shown(page));
        QCOMPARE(m_Messages, QStringList{"VLAN Not Enabled!"});
        QCOMPARE(TableModel(page)->rowCount(), 0);
        dynamic_cast<TModule*>(page)->Notify(d, ncSelect, 0);
        QCOMPARE(m_Messages, QStringList(2, "VLAN Not Enabled!"));
        Reply(d, ModeGet, 5, {0});
        QCOMPARE(m_Messages.size(), 2);
        QCOMPARE(TableModel(page)->rowCount(), 0);
    }

    // A rejected list leaves the table empty; the record is not valid.
    void rejectedList_data()
    {
        QTest::addColumn<QList<int>>("members");
        QTest::newRow("no members") << QList<int>{0x3, 0};
        QTest::newRow("member beyond the ports") << QList<int>{0x1000};
    }
    void rejectedList()
    {
        QFETCH(QList<int>, members);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(TablePath);
        Reply(d, ModeGet, 0, {1});
        std::vector<std::pair<uint16_t, uint32_t>> entries;
        for (int m : members)
            entries.emplace_back(uint16_t(entries.size() + 1), uint32_t(m));
        Reply(d, PortBasedGet, 0, PortBasedPayload(entries));
        QVERIFY(Shown(page));
        QCOMPARE(TableModel(page)->rowCount(), 0);
        QVERIFY(m_Messages.isEmpty());
    }

    // A click sorts by the column, first ascending, then alternating; numbers as numbers, ports as texts.
    void tableSorting()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(TablePath);
        Reply(d, ModeGet, 0, {2});
        Reply(d, Dot1qGet, 0, Dot1qPayload({{100, 0x2, 0}, {9, 0x200, 0x1}, {20, 0x1, 0x2}, {3, 0x0, 0x4}}));
        QCOMPARE(TableColumn(page, 1), QStringList({"100", "9", "20", "3"}));
        ClickTableHeader(page, 1);
        QCOMPARE(TableColumn(page, 1), QStringList({"3", "9", "20", "100"}));
        ClickTableHeader(page, 1);
        QCOMPARE(TableColumn(page, 1), QStringList({"100", "20", "9", "3"}));
        ClickTableHeader(page, 2); // "", "1", "10", "2"
        QCOMPARE(TableColumn(page, 2), QStringList({"", "1", "10", "2"}));
        ClickTableHeader(page, 0);
        QCOMPARE(TableColumn(page, 0), QStringList({"1", "2", "3", "4"}));
        ClickTableHeader(page, 0);
        QCOMPARE(TableColumn(page, 0), QStringList({"4", "3", "2", "1"}));
        ClickTableHeader(page, 3);
        QCOMPARE(TableColumn(page, 3), QStringList({"", "1", "2", "3"}));
        // The order holds for the next answer.
        QCOMPARE(dynamic_cast<TModule*>(page)->Refresh(true), 1);
        Reply(d, ModeGet, 0, {2});
        Reply(d, Dot1qGet, 0, Dot1qPayload({{7, 0, 0x4}, {8, 0, 0x1}}));
        QCOMPARE(TableColumn(page, 3), QStringList({"1", "3"}));
        // Each column keeps its own direction: "Tagged Ports" was last ascending.
        ClickTableHeader(page, 1);
        ClickTableHeader(page, 3);
        QCOMPARE(TableColumn(page, 3), QStringList({"3", "1"}));
    }

    // The most a switch keeps: 4,094 VLANs over 32 datagrams, every one a row.
    void fullTable()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(TablePath);
        Reply(d, ModeGet, 0, {2});
        std::vector<TDot1q> all;
        for (uint16_t vid = 1; vid <= 4094; ++vid)
            all.push_back({vid, 0x1, 0});
        for (std::size_t first = 0; first <= all.size(); first += 128) {
            const auto end = all.begin() + std::ptrdiff_t(std::min(first + 128, all.size()));
            Reply(d, Dot1qGet, 0, Dot1qPayload(std::vector<TDot1q>(all.begin() + std::ptrdiff_t(first), end)));
        }
        QCOMPARE(TableModel(page)->rowCount(), 4094);
        ClickTableHeader(page, 1);
        ClickTableHeader(page, 1);
        QCOMPARE(TableRow(page, 0), QStringList({"4094", "4094", "1", ""}));
    }
};

QTEST_MAIN(TVlanPagesTest)
#include "tst_vlan_pages.moc"
