// The three DHCP server pages, offscreen, driven through the main window: the pool's
// enabling rule and the addresses it keeps, the lease table in one or more datagrams with its
// texts and sorting, the port bindings and their editor, and the exact requests every
// "&Apply" sends, to the devices whose port count fits.
#include "PageTests.h"

#include "core/DeviceType.h"
#include "pages/ModuleBasics_Dhcp.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeView>

using namespace Intp;

namespace {

constexpr uint16_t DhcpGet = 0x0110, DhcpSet = 0x0111, EntryGet = 0x0112, PortIpGet = 0x0113, PortIpSet = 0x0114;
constexpr int Ports = 8; // of the known models
const char* const ServerPath = "Basics/DHCP Server";
const char* const EntryPath = "Basics/DHCP Server/Client Entries";
const char* const PortIpPath = "Basics/DHCP Server/Port and IP Binding";

TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// Enabled, pool 192.168.1.100 to .199 of /24, gateway .1, DNS 192.168.1.2, a lease of an hour.
const TBytes Pool = Concat(
    {{1}, U32(0xC0A80164), U32(0xC0A801C7), U32(0xFFFFFF00), U32(0xC0A80101), U32(0xC0A80102), U32(3600)});

struct TClient {
    uint32_t Address;
    uint8_t Last; // of the client's MAC 02:00:00:00:00:xx
    uint16_t Type, State;
    uint32_t Lease;
};
TBytes Clients(const std::vector<TClient>& clients)
{
    TBytes out(4, 0);
    for (const TClient& c : clients)
        out = Concat({out,
                      U32(c.Address),
                      {2, 0, 0, 0, 0, c.Last},
                      {uint8_t(c.Type >> 8), uint8_t(c.Type)},
                      {uint8_t(c.State >> 8), uint8_t(c.State)},
                      U32(c.Lease)});
    return out;
}
std::vector<TClient> ManyClients(int count)
{
    std::vector<TClient> clients;
    for (int i = 0; i < count; ++i)
        clients.push_back({0x0A000000u + uint32_t(i + 1), uint8_t(i), 2, 3, 60});
    return clients;
}

QStringList ModelColumn(const TReportModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

} // namespace

class TDhcpPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    int m_SmallType = 0;

    static QLineEdit* Edit(QWidget* page, const char* name) { return Child<QLineEdit>(page, name); }
    TModuleBasicsDhcpEntry* EntryPage() { return dynamic_cast<TModuleBasicsDhcpEntry*>(PageAt(EntryPath)); }

private slots:
    void initTestCase() { m_SmallType = RegisterType(FourPortType(), {"TEST-DHCP-4P"}); }
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void catalogue()
    {
        CheckCatalogued(ServerPath, "DHCP Server", {});
        CheckCatalogued(PortIpPath, "Port and IP Binding", {"Port No.", "Port IP Binding"});
        QCOMPARE(Frame()->ModuleOf(Frame()->FindNode(EntryPath))->GetName(), QString("Client Entries"));
        const TReportModel& model = EntryPage()->Model();
        QStringList titles;
        for (int column = 0; column < model.columnCount(); ++column)
            titles << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(titles, (QStringList{"", "IP Address", "Client ID", "Type", "Status", "Lease"}));
        QCOMPARE(Child<QSpinBox>(PageAt(ServerPath), "m_Lease")->maximum(), 2147483647);
    }

    void pagesWithoutDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("server") << ServerPath << QStringList{"m_Label1", "m_Server", "m_Start", "m_Lease", "m_Apply"};
        QTest::newRow("clients") << EntryPath << QStringList{"m_Total", "m_List"};
        QTest::newRow("bindings") << PortIpPath
                                  << QStringList{"m_ListView", "m_IpAddress", "m_IpAddressLabel", "m_Apply"};
    }
    void pagesWithoutDevice()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, controls);
        QWidget* page = Unselected(path.toLatin1().constData());
        CheckEnabled(page, controls, false);
    }

    void serverShowsAndApplies()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(ServerPath, DhcpGet, Pool, 0, {a, b});
        QCOMPARE(Child<QComboBox>(page, "m_Server")->currentText(), QString("Enable"));
        QCOMPARE(Edit(page, "m_Start")->text(), QString("192.168.1.100"));
        QCOMPARE(Edit(page, "m_End")->text(), QString("192.168.1.199"));
        QCOMPARE(Edit(page, "m_Mask")->text(), QString("255.255.255.0"));
        QCOMPARE(Edit(page, "m_Dns")->text(), QString("192.168.1.2"));
        QCOMPARE(Child<QSpinBox>(page, "m_Lease")->value(), 3600);
        CheckEnabled(page, {"m_Start", "m_Label8", "m_Apply"}, true);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), (QStringList{Request(DhcpSet, a, Pool), Request(DhcpSet, b, Pool)}));

        // "Disable" sends the kept addresses as they stand, even a pool that would not do.
        Edit(page, "m_End")->setText("192.168.1.50");
        CheckEnabled(page, {"m_Apply"}, false);
        Child<QComboBox>(page, "m_Server")->setCurrentIndex(0);
        CheckEnabled(page, {"m_Start", "m_Lease", "m_Label2"}, false);
        CheckEnabled(page, {"m_Apply"}, true);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes off = Concat(
            {{0}, U32(0xC0A80164), U32(0xC0A80132), U32(0xFFFFFF00), U32(0xC0A80101), U32(0xC0A80102), U32(3600)});
        QCOMPARE(TakeRequests(), (QStringList{Request(DhcpSet, a, off), Request(DhcpSet, b, off)}));

        // A refused record: "Disable", Apply still there.
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, DhcpGet, 5, Pool);
        QCOMPARE(Child<QComboBox>(page, "m_Server")->currentText(), QString("Disable"));
        CheckEnabled(page, {"m_Apply"}, true);
    }

    // Each case changes one field of the valid pool.
    void serverEnablingRule_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("applyOn");
        QTest::addColumn<QString>("left"); // the edit's text after leaving it
        QTest::newRow("start equal to end") << "m_Start"
                                            << "192.168.1.199" << false << "192.168.1.199";
        QTest::newRow("start above end") << "m_Start"
                                         << "192.168.2.1" << false << "192.168.2.1";
        QTest::newRow("start unreadable") << "m_Start"
                                          << "192.168.1.x" << false << "255.255.255.255";
        QTest::newRow("end broadcast") << "m_End"
                                       << "255.255.255.255" << false << "255.255.255.255";
        QTest::newRow("end loopback") << "m_End"
                                      << "127.0.0.9" << false << "127.0.0.9";
        QTest::newRow("mask with a hole") << "m_Mask"
                                          << "255.0.255.0" << false << "255.0.255.0";
        QTest::newRow("mask zero") << "m_Mask"
                                   << "0.0.0.0" << false << "0.0.0.0";
        QTest::newRow("mask /30") << "m_Mask"
                                  << "255.255.255.252" << true << "255.255.255.252";
        QTest::newRow("gateway unreadable") << "m_Gateway"
                                            << "x" << true << "0.0.0.0";
        QTest::newRow("DNS broadcast") << "m_Dns"
                                       << "255.255.255.255" << true << "0.0.0.0";
        QTest::newRow("octal start") << "m_Start"
                                     << "010.0.0.1" << true << "8.0.0.1";
    }
    void serverEnablingRule()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, applyOn);
        QFETCH(QString, left);
        QWidget* page = Load(ServerPath, DhcpGet, Pool, 0, {AddLoggedIn(1)});
        QLineEdit* edit = Edit(page, field.toLatin1().constData());
        edit->setText(text);
        CheckEnabled(page, {"m_Apply"}, applyOn);
        emit edit->editingFinished();
        QCOMPARE(edit->text(), left);
    }

    // 31 clients come in one datagram; 32 need a second, here empty, before the list shows.
    void clientTable_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("31 in one datagram") << 31;
        QTest::newRow("32 and an empty datagram") << 32;
        QTest::newRow("100 in four datagrams") << 100;
    }
    void clientTable()
    {
        QFETCH(int, count);
        TDevice* a = AddLoggedIn(1);
        Select({a});
        Open(EntryPath);
        const std::vector<TClient> clients = ManyClients(count);
        for (std::size_t first = 0;; first += 32) {
            QCOMPARE(EntryPage()->Model().rowCount(), 0);
            const std::size_t end = std::min(clients.size(), first + 32);
            Reply(a, EntryGet, 0, Clients({clients.begin() + qsizetype(first), clients.begin() + qsizetype(end)}));
            if (end - first < 32)
                break;
        }
        const TReportModel& model = EntryPage()->Model();
        QCOMPARE(model.rowCount(), count);
        QCOMPARE(Child<QLabel>(PageAt(EntryPath), "m_Total")->text(), QString("Total %1 client entries:").arg(count));
        QCOMPARE(ModelColumn(model, 0).last(), QString::number(count));
    }

    void clientTexts()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        Open(EntryPath);
        Reply(a, EntryGet, 0,
              Clients({{0xC0A80164, 0x1F, 0, 0, 0},
                       {0x0A000002, 0x20, 2, 3, 86400},
                       {0xC0A80102, 0x21, 4, 1, 7},
                       {0x0A000010, 0x22, 3, 2, 600},
                       {0x0A000011, 0x23, 1, 0, 0}}));
        const TReportModel& model = EntryPage()->Model();
        QCOMPARE(ModelColumn(model, 1),
                 (QStringList{"192.168.1.100", "10.0.0.2", "192.168.1.2", "10.0.0.16", "10.0.0.17"}));
        QCOMPARE(ModelColumn(model, 2).at(1), QString("02:00:00:00:00:20"));
        QCOMPARE(ModelColumn(model, 3), (QStringList{"Error", "Dynamic ", "Dbase   ", "Sniffed ", "BootpTab"}));
        QCOMPARE(ModelColumn(model, 4), (QStringList{"Unassigned", "Dhcp", "Bootp", "DhcpOffer", "Unassigned"}));
        QCOMPARE(ModelColumn(model, 5).at(1), QString("86400"));

        // Addresses sort as numbers; a second click reverses; another column starts ascending.
        auto* header = Child<QTreeView>(PageAt(EntryPath), "m_List")->header();
        emit header->sectionClicked(1);
        QCOMPARE(ModelColumn(model, 1),
                 (QStringList{"10.0.0.2", "10.0.0.16", "10.0.0.17", "192.168.1.2", "192.168.1.100"}));
        emit header->sectionClicked(1);
        QCOMPARE(ModelColumn(model, 1).first(), QString("192.168.1.100"));
        QCOMPARE(ModelColumn(model, 0).first(), QString("1"));
        emit header->sectionClicked(4);
        QCOMPARE(ModelColumn(model, 4), (QStringList{"Bootp", "Dhcp", "DhcpOffer", "Unassigned", "Unassigned"}));
        // Leases sort as numbers, not as texts.
        emit header->sectionClicked(5);
        QCOMPARE(ModelColumn(model, 5), (QStringList{"0", "0", "7", "600", "86400"}));
        emit header->sectionClicked(0);
        QCOMPARE(ModelColumn(model, 0), (QStringList{"1", "2", "3", "4", "5"}));

        // Leaving the page empties the list.
        Open(ServerPath);
        QCOMPARE(model.rowCount(), 0);
    }

    // A client of type 5 or state 4 in a later datagram empties the whole table.
    void badClientEmptiesTable()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        Open(EntryPath);
        Reply(a, EntryGet, 0, Clients(ManyClients(32)));
        Reply(a, EntryGet, 0, Clients({{0x0A000001, 1, 5, 0, 0}}));
        QCOMPARE(EntryPage()->Model().rowCount(), 0);
        QCOMPARE(Child<QLabel>(PageAt(EntryPath), "m_Total")->text(), QString("Total 0 client entries:"));
        QVERIFY(!PageAt(EntryPath)->isHidden());
    }

    // One row per port; the editor takes host addresses at once, anything else is no binding;
    // the Set goes only to devices with as many ports as rows.
    void portBindings()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TBytes bindings;
        for (int port = 0; port < Ports; ++port)
            bindings = Concat({bindings, U32(port == 2 ? 0xC0A80103 : 0)});
        QWidget* page = Load(PortIpPath, PortIpGet, bindings, 0, {a, small});
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Column(page, 1).at(2), QString("192.168.1.3"));
        QCOMPARE(Column(page, 1).at(0), QString("0.0.0.0"));
        auto* edit = Edit(page, "m_IpAddress");
        CheckEnabled(page, {"m_IpAddress", "m_IpAddressLabel"}, false);
        SelectRow(page, 2);
        CheckEnabled(page, {"m_IpAddress", "m_IpAddressLabel"}, true);
        QCOMPARE(edit->text(), QString("192.168.1.3"));
        SelectRow(page, 7);
        edit->clear();
        QTest::keyClicks(edit, "10.0.0.9");
        QCOMPARE(Column(page, 1).at(7), QString("10.0.0.9"));
        QTest::keyClicks(edit, "99");
        QCOMPARE(Column(page, 1).at(7), QString("0.0.0.0"));
        edit->clear();
        QTest::keyClicks(edit, "10.0.0.8");
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(),
                 QStringList{
                     Request(PortIpSet, a, Concat({TBytes(8, 0), U32(0xC0A80103), TBytes(16, 0), U32(0x0A000008)}))});

        // One address too few: every port shows no binding.
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, PortIpGet, 0, TBytes(4 * (Ports - 1), 1));
        QCOMPARE(Column(page, 1), QStringList(Ports, "0.0.0.0"));
    }
};

QTEST_MAIN(TDhcpPagesTest)
#include "tst_dhcp_pages.moc"
