// "IP Configuration", offscreen through the main window: the tree of address groups, the
// three planning methods, Discard, and what Apply sends and flushes.
#include "FormSessions.h"

#include "core/AddressPlan.h"
#include "core/AddressRules.h"
#include "core/Basics.h"
#include "core/Codec.h"
#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "core/Redundancy.h"
#include "pages/ModuleBasics_IPConf.h"
#include "shell/ModuleFrame.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

namespace {

uint32_t A(const char* text) { return TextToAddress(text); }

std::vector<uint8_t> NetReply(bool dhcp, const char* mask, const char* gw, const char* dns1 = "0.0.0.0",
                              const char* dns2 = "0.0.0.0")
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    w.Bool(dhcp);
    w.U32(0xDEADBEEF);
    w.Ip(A(mask));
    w.Ip(A(gw));
    w.Ip(A(dns1));
    w.Ip(A(dns2));
    return payload;
}

} // namespace

class TIpConfTest : public QObject {
    Q_OBJECT

    TMainForm* m_Form = nullptr;
    TFormSessions* m_Sessions = nullptr;
    QWidget* m_Page = nullptr;
    QStringList m_Boxes;
    std::vector<std::vector<uint32_t>> m_Flushed;
    bool m_GiveCredentials = true;

    template <typename T>
    T* W(const char* name)
    {
        return m_Page->findChild<T*>(QString::fromLatin1(name));
    }
    QTreeWidget* Tree() { return W<QTreeWidget>("m_Tree"); }
    QStringList Captions()
    {
        QStringList out;
        for (int g = 0; g < Tree()->topLevelItemCount(); ++g) {
            QTreeWidgetItem* group = Tree()->topLevelItem(g);
            out << group->text(0);
            for (int i = 0; i < group->childCount(); ++i)
                out << "  " + group->child(i)->text(0);
        }
        return out;
    }
    QTreeWidgetItem* Entry(int group, int index) { return Tree()->topLevelItem(group)->child(index); }
    TDevice* Add(uint8_t mac, const char* address)
    {
        TDevice* d = Registry::Find(Mac(mac), true);
        d->SetType(RegisterKnownModels()[0]);
        d->SetAddress(A(address));
        d->SetLoggedIn(true);
        return d;
    }
    // Selects the devices and opens the page; the page then waits for their network settings.
    void Open(std::initializer_list<TDevice*> devices)
    {
        m_Form->Navigator().SelectDevices(devices);
        TModuleFrame* frame = m_Form->DevicesModule();
        frame->Tree()->setCurrentItem(frame->FindNode("Basics/IP Configuration"));
        m_Page = frame->SelectedPage()->GetControl();
        static_cast<TModuleBasicsIPConf*>(frame->SelectedPage())
            ->SetArpFlush([this](const std::vector<uint32_t>& addresses, bool includeStatic) {
                QVERIFY(includeStatic);
                m_Flushed.push_back(addresses);
            });
    }
    void Type(const char* field, const QString& text) { W<QLineEdit>(field)->setText(text); }
    void AutoRange(const char* begin, const char* end, const char* mask, const char* gw)
    {
        W<QComboBox>("m_Method")->setCurrentIndex(TModuleBasicsIPConf::mtAutoRange);
        Type("m_Address", begin);
        Type("m_Address2", end);
        Type("m_Mask", mask);
        Type("m_Gateway", gw);
        Type("m_Dns1", "0.0.0.0");
        Type("m_Dns2", "0.0.0.0");
        W<QPushButton>("m_Set")->click();
    }
    // The request of the current test row's mask, gateway and DNS columns.
    static TAddressRequest Request(const QString& address, const QString& end)
    {
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        QFETCH(QString, dns);
        TAddressRequest request;
        request.Address = A(address.toLatin1());
        request.End = A(end.toLatin1());
        request.Netmask = A(mask.toLatin1());
        request.Gateway = A(gateway.toLatin1());
        request.Dns1 = A(dns.section(',', 0, 0).toLatin1());
        request.Dns2 = A(dns.section(',', 1, 1).toLatin1());
        return request;
    }
    // Compares a plan with the test row's refusal and planned columns.
    static void ComparePlan(const TAddressPlan& plan, int count)
    {
        QFETCH(int, refusal);
        QFETCH(QStringList, planned);
        QCOMPARE(int(plan.Refusal), refusal);
        if (plan.Refusal != TPlanRefusal::None) {
            QVERIFY(plan.Addresses.empty());
            QVERIFY(!plan.Complete());
            return;
        }
        QStringList got;
        for (uint32_t address : plan.Addresses)
            got << (address ? QString::fromStdString(AddressToText(address)) : QString());
        for (uint32_t shared : {plan.Gateway, plan.Dns1, plan.Dns2})
            got << QString::fromStdString(AddressToText(shared));
        QCOMPARE(got, planned);
        QCOMPARE(int(plan.Addresses.size()), count);
        QCOMPARE(plan.Complete(), !planned.mid(0, count).contains(QString()));
    }
    // The commands sent, without the front-panel banner's RedundancyGet.
    QList<uint16_t> SentCommands()
    {
        QList<uint16_t> out;
        for (const auto& d : m_Sessions->Sent)
            if (ReadU16(d.Bytes.data()) != TSessionRedundancyGet::Command)
                out << ReadU16(d.Bytes.data());
        return out;
    }
    // Nothing pends but the banner's RedundancyGet.
    static bool NothingPending()
    {
        return std::ranges::all_of(PendingSessions(),
                                   [](const TSession* s) { return std::string_view(s->Name()) == "RedundancyGet"; });
    }

private slots:
    void init()
    {
        Registry::Clear();
        m_Form = new TMainForm;
        m_Sessions = new TFormSessions;
        m_Sessions->Form = m_Form;
        m_Form->Navigator().SetCredentialsSource([this](std::string& user, std::string& password) {
            user = "admin";
            password = "secret";
            return m_GiveCredentials;
        });
        m_Boxes.clear();
        m_Flushed.clear();
        m_GiveCredentials = true;
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Boxes << text;
            return true;
        });
    }
    void cleanup()
    {
        Dialogs::SetHandler(nullptr);
        delete m_Sessions;
        delete m_Form;
        Registry::Clear();
    }

    void treeOfCurrentSettings()
    {
        TDevice* a = Add(1, "192.168.1.20");
        TDevice* b = Add(2, "192.168.1.5");
        TDevice* c = Add(3, "192.168.1.20"); // the same address: one group
        Open({a, b, c});
        QCOMPARE(SentCommands(), QList<uint16_t>({262, 262, 262}));
        QVERIFY(!m_Page->isVisibleTo(m_Form->DevicesModule())); // waits for its Get
        Deliver(a->Address(), MakeDatagram(262, 0, a->Mac(), NetReply(false, "255.255.255.0", "192.168.1.1")));
        Deliver(b->Address(), MakeDatagram(262, 0, b->Mac(), NetReply(true, "255.255.0.0", "0.0.0.0")));
        Deliver(c->Address(), MakeDatagram(262, 9, c->Mac(), NetReply(false, "255.255.255.0", "192.168.1.1")));
        QVERIFY(m_Page->isVisibleTo(m_Form->DevicesModule()));
        QCOMPARE(W<QLabel>("m_NumDevices")->text(), QString("Total 3 devices:"));
        QCOMPARE(
            Captions(),
            QStringList(
                {"192.168.1.5", "  00:0A:1B:2C:3D:02 => DHCP", "192.168.1.20",
                 "  00:0A:1B:2C:3D:01 => 192.168.1.20/255.255.255.0, gw = 192.168.1.1, dns1 = 0.0.0.0, dns2 = 0.0.0.0",
                 "  00:0A:1B:2C:3D:03(Retrieve device info failed) => 192.168.1.20/0.0.0.0, gw = 0.0.0.0, dns1 = "
                 "0.0.0.0, dns2 = 0.0.0.0"}));
    }

    // The planning itself, without widgets: the page and the group wizard share it.
    void addressRange_data()
    {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("dns"); // DNS 1 and DNS 2, separated by a comma
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QStringList>("planned"); // "": no room; the shared gateway and DNS last
        const QString none;
        const int ok = int(TPlanRefusal::None);
        QTest::newRow("network address and gateway skipped")
            << "192.168.1.0"
            << "192.168.1.3"
            << "255.255.255.0"
            << "192.168.1.1"
            << "0.0.0.0,0.0.0.0" << 3 << ok
            << QStringList{"192.168.1.2", "192.168.1.3", none, "192.168.1.1", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("enough room") << "192.168.1.0"
                                     << "192.168.1.9"
                                     << "255.255.255.0"
                                     << "192.168.1.1"
                                     << "0.0.0.0,0.0.0.0" << 3 << ok
                                     << QStringList{"192.168.1.2", "192.168.1.3", "192.168.1.4",
                                                    "192.168.1.1", "0.0.0.0",     "0.0.0.0"};
        QTest::newRow("broadcast address skipped, gateway dropped across subnets")
            << "192.168.1.254"
            << "192.168.2.2"
            << "255.255.255.0"
            << "192.168.1.1"
            << "0.0.0.0,0.0.0.0" << 3 << ok
            << QStringList{"192.168.1.254", "192.168.2.1", "192.168.2.2", "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("gateway outside the subnet dropped")
            << "10.0.0.1"
            << "10.0.0.9"
            << "255.255.255.0"
            << "10.0.1.1"
            << "0.0.0.0,0.0.0.0" << 1 << ok << QStringList{"10.0.0.1", "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("gateway no host address")
            << "10.0.0.1"
            << "10.0.0.9"
            << "255.0.0.0"
            << "nonsense"
            << "0.0.0.0,0.0.0.0" << 1 << ok << QStringList{"10.0.0.1", "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("DNS servers skipped") << "10.0.0.1"
                                             << "10.0.0.9"
                                             << "255.255.255.0"
                                             << "10.0.0.3"
                                             << "10.0.0.2,10.0.0.4" << 2 << ok
                                             << QStringList{"10.0.0.1", "10.0.0.5", "10.0.0.3", "10.0.0.2", "10.0.0.4"};
        QTest::newRow("DNS servers no host addresses")
            << "10.0.0.1"
            << "10.0.0.9"
            << "255.255.255.0"
            << "0.0.0.0"
            << "127.0.0.1,nonsense" << 1 << ok << QStringList{"10.0.0.1", "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("range too small") << "10.0.0.5"
                                         << "10.0.0.6"
                                         << "255.255.255.0"
                                         << "0.0.0.0"
                                         << "0.0.0.0,0.0.0.0" << 3 << ok
                                         << QStringList{"10.0.0.5", "10.0.0.6", none, "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("one-address range")
            << "10.0.0.5"
            << "10.0.0.5"
            << "255.255.255.0"
            << "0.0.0.0"
            << "0.0.0.0,0.0.0.0" << 2 << ok << QStringList{"10.0.0.5", none, "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("one-address range on the network address")
            << "10.0.0.0"
            << "10.0.0.0"
            << "255.255.255.0"
            << "0.0.0.0"
            << "0.0.0.0,0.0.0.0" << 1 << ok << QStringList{none, "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("/31 has no host address, however wide the range")
            << "1.0.0.0"
            << "223.255.255.255"
            << "255.255.255.254"
            << "0.0.0.0"
            << "0.0.0.0,0.0.0.0" << 2 << ok << QStringList{none, none, "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("/32") << "10.0.0.5"
                             << "10.0.0.5"
                             << "255.255.255.255"
                             << "0.0.0.0"
                             << "0.0.0.0,0.0.0.0" << 1 << ok << QStringList{none, "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("range up to 255.255.255.255 does not wrap")
            << "255.255.255.253"
            << "255.255.255.255"
            << "255.255.255.0"
            << "0.0.0.0"
            << "0.0.0.0,0.0.0.0" << 3 << ok
            << QStringList{"255.255.255.253", "255.255.255.254", none, "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("begin after end") << "10.0.0.9"
                                         << "10.0.0.2"
                                         << "255.0.0.0"
                                         << "0.0.0.0"
                                         << "0.0.0.0,0.0.0.0" << 1 << int(TPlanRefusal::BeginAfterEnd) << QStringList{};
        QTest::newRow("netmask with a gap")
            << "10.0.0.2"
            << "10.0.0.9"
            << "255.0.255.0"
            << "0.0.0.0"
            << "0.0.0.0,0.0.0.0" << 1 << int(TPlanRefusal::InvalidNetmask) << QStringList{};
    }
    void addressRange()
    {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(int, count);
        TAddressRequest request = Request(begin, end);
        ComparePlan(PlanAddressRange(request, std::size_t(count)), count);
    }

    void singleAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("dns");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QStringList>("planned");
        const int ok = int(TPlanRefusal::None);
        QTest::newRow("gateway in the subnet kept")
            << "10.0.0.77"
            << "255.255.255.0"
            << "10.0.0.1"
            << "10.0.0.53,0.0.0.0" << ok << QStringList{"10.0.0.77", "10.0.0.1", "10.0.0.53", "0.0.0.0"};
        QTest::newRow("gateway outside the subnet dropped")
            << "172.16.0.9"
            << "255.255.0.0"
            << "10.0.0.254"
            << "10.0.0.53,nonsense" << ok << QStringList{"172.16.0.9", "0.0.0.0", "10.0.0.53", "0.0.0.0"};
        QTest::newRow("/32 of its own") << "10.0.0.5"
                                        << "255.255.255.255"
                                        << "0.0.0.0"
                                        << "0.0.0.0,0.0.0.0" << ok
                                        << QStringList{"10.0.0.5", "0.0.0.0", "0.0.0.0", "0.0.0.0"};
        QTest::newRow("loopback") << "127.0.0.1"
                                  << "255.0.0.0"
                                  << "0.0.0.0"
                                  << "0.0.0.0,0.0.0.0" << int(TPlanRefusal::InvalidAddress) << QStringList{};
        QTest::newRow("no address") << "nonsense"
                                    << "255.0.0.0"
                                    << "0.0.0.0"
                                    << "0.0.0.0,0.0.0.0" << int(TPlanRefusal::InvalidAddress) << QStringList{};
        QTest::newRow("netmask with a gap") << "10.0.0.5"
                                            << "255.0.255.0"
                                            << "0.0.0.0"
                                            << "0.0.0.0,0.0.0.0" << int(TPlanRefusal::InvalidNetmask) << QStringList{};
    }
    void singleAddress()
    {
        QFETCH(QString, address);
        ComparePlan(PlanSingleAddress(Request(address, "0.0.0.0")), 1);
    }

    void autoRange()
    {
        TDevice* a = Add(1, "10.0.0.1");
        TDevice* b = Add(2, "10.0.0.2");
        TDevice* c = Add(3, "10.0.0.3");
        Open({a, b, c});
        for (TDevice* d : {a, b, c})
            Deliver(d->Address(), MakeDatagram(262, 0, d->Mac(), NetReply(false, "255.0.0.0", "10.0.0.254")));
        AutoRange("192.168.1.0", "192.168.1.3", "255.255.255.0", "192.168.1.1");
        QVERIFY(m_Boxes.isEmpty());
        // Entries are taken in tree order.
        QCOMPARE(
            Captions(),
            QStringList(
                {"10.0.0.1",
                 "  00:0A:1B:2C:3D:01 => 192.168.1.2/255.255.255.0, gw = 192.168.1.1, dns1 = 0.0.0.0, dns2 = 0.0.0.0",
                 "10.0.0.2",
                 "  00:0A:1B:2C:3D:02 => 192.168.1.3/255.255.255.0, gw = 192.168.1.1, dns1 = 0.0.0.0, dns2 = 0.0.0.0",
                 "10.0.0.3", "  00:0A:1B:2C:3D:03 => 0.0.0.0/0.0.0.0, gw = 0.0.0.0, dns1 = 0.0.0.0, dns2 = 0.0.0.0"}));
        QCOMPARE(Entry(0, 0)->icon(0).cacheKey(), Icon(TImage::Accept).cacheKey());
        QCOMPARE(Entry(2, 0)->icon(0).cacheKey(), Icon(TImage::Cancel).cacheKey());
        QVERIFY(!W<QPushButton>("m_Apply")->isEnabled());
        AutoRange("192.168.1.0", "192.168.1.9", "255.255.255.0", "192.168.1.1");
        QVERIFY(W<QPushButton>("m_Apply")->isEnabled());
    }

    void autoRangeRules()
    {
        TDevice* a = Add(1, "10.0.0.1");
        TDevice* b = Add(2, "10.0.0.2");
        Open({a, b});
        Deliver(a->Address(), MakeDatagram(262, 0, a->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        Deliver(b->Address(), MakeDatagram(262, 0, b->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        QCOMPARE(W<QLabel>("m_Label3")->text(), QString("&IP Address:"));
        AutoRange("192.168.1.10", "192.168.2.10", "255.255.255.0", "192.168.1.1");
        QCOMPARE(W<QLabel>("m_Label3")->text(), QString("&IP Begin:"));
        // A planned address that a known device already has: warned, still planned.
        AutoRange("10.0.0.2", "10.0.0.9", "255.0.0.0", "0.0.0.0");
        QTreeWidgetItem* first = Tree()->topLevelItem(0)->child(0);
        QVERIFY(first->text(0).contains("=> 10.0.0.2/"));
        QCOMPARE(first->icon(0).cacheKey(), Icon(TImage::DeviceWarning).cacheKey());
        // Refusals keep the plan.
        QStringList before = Captions();
        AutoRange("10.0.0.9", "10.0.0.2", "255.0.0.0", "0.0.0.0");
        AutoRange("10.0.0.2", "10.0.0.9", "255.0.255.0", "0.0.0.0");
        QCOMPARE(m_Boxes, QStringList({"Wrong range/netmask!", "Wrong range/netmask!"}));
        QCOMPARE(Captions(), before);
    }

    void manualAndDiscard()
    {
        TDevice* a = Add(1, "10.0.0.1");
        Open({a});
        Deliver(a->Address(), MakeDatagram(262, 0, a->Mac(), NetReply(false, "255.0.0.0", "10.0.0.254", "10.0.0.53")));
        auto* method = W<QComboBox>("m_Method");
        method->setCurrentIndex(TModuleBasicsIPConf::mtManual);
        QVERIFY(!W<QPushButton>("m_Set")->isVisibleTo(m_Page)); // mode 3: nothing selected
        Tree()->setCurrentItem(Entry(0, 0));
        QVERIFY(W<QPushButton>("m_Set")->isVisibleTo(m_Page));
        QCOMPARE(W<QLineEdit>("m_Dns1")->text(), QString("10.0.0.53")); // the entry in the fields
        QCOMPARE(W<QLabel>("m_Label3")->text(), QString("&IP Addr:"));
        Type("m_Address", "172.16.0.9");
        Type("m_Mask", "255.255.0.0");
        Type("m_Gateway", "10.0.0.254"); // outside the new subnet: dropped
        Type("m_Dns2", "nonsense");
        W<QPushButton>("m_Set")->click();
        QCOMPARE(
            Entry(0, 0)->text(0),
            QString("00:0A:1B:2C:3D:01 => 172.16.0.9/255.255.0.0, gw = 0.0.0.0, dns1 = 10.0.0.53, dns2 = 0.0.0.0"));
        Type("m_Mask", "255.0.255.0");
        W<QPushButton>("m_Set")->click();
        QCOMPARE(m_Boxes, QStringList({"Wrong IP/Netmask!"}));
        // DHCP checked: the address fields are disabled and the entry becomes DHCP.
        W<QCheckBox>("m_Dhcp")->click();
        QVERIFY(!W<QLineEdit>("m_Address")->isEnabled());
        W<QPushButton>("m_Set")->click();
        QCOMPARE(Entry(0, 0)->text(0), QString("00:0A:1B:2C:3D:01 => DHCP"));
        // Discard returns to the device's own settings.
        Tree()->setCurrentItem(Entry(0, 0));
        auto* discard = m_Page->findChild<QAction*>("m_PM1Discard");
        QVERIFY(discard->isEnabled());
        discard->trigger();
        QCOMPARE(Entry(0, 0)->text(0),
                 QString("00:0A:1B:2C:3D:01 => 10.0.0.1/255.0.0.0, gw = 10.0.0.254, dns1 = 10.0.0.53, dns2 = 0.0.0.0"));
        QCOMPARE(W<QLineEdit>("m_Address")->text(), QString("10.0.0.1"));
    }

    void discardFollowsTheSelection()
    {
        TDevice* a = Add(1, "10.0.0.1");
        Open({a});
        Deliver(a->Address(), MakeDatagram(262, 0, a->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        auto* discard = m_Page->findChild<QAction*>("m_PM1Discard");
        W<QComboBox>("m_Method")->setCurrentIndex(TModuleBasicsIPConf::mtManual);
        QVERIFY(!discard->isEnabled());
        Tree()->setCurrentItem(Entry(0, 0));
        QVERIFY(discard->isEnabled());
        QVERIFY(W<QPushButton>("m_Set")->isVisibleTo(m_Page));
        // A fresh answer rebuilds the tree with nothing selected.
        QVERIFY(StartNew<TSessionBasicsIPConfGet>(a, nullptr));
        Deliver(a->Address(), MakeDatagram(262, 0, a->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        QVERIFY(!Tree()->currentItem() || !Tree()->currentItem()->isSelected());
        QVERIFY(!discard->isEnabled());
        QVERIFY(!W<QPushButton>("m_Set")->isVisibleTo(m_Page));
        Tree()->setCurrentItem(Entry(0, 0));
        QVERIFY(discard->isEnabled());
        QVERIFY(m_Form->DevicesModule()->Hide(false));
        QVERIFY(!discard->isEnabled());
    }

    // The method shows and hides fields; none of them moves, the method box least of all.
    void fieldsKeepTheirPlace()
    {
        TDevice* a = Add(1, "10.0.0.1");
        Open({a});
        Deliver(a->Address(), MakeDatagram(262, 0, a->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        m_Form->resize(1280, 800);
        m_Form->show();
        auto* method = W<QComboBox>("m_Method");
        auto place = [&] {
            m_Page->layout()->activate();
            return QList<QRect>{method->geometry(), W<QLabel>("m_Label1")->geometry(),
                                W<QLineEdit>("m_Mask")->geometry()};
        };
        const QList<QRect> dhcp = place();
        QVERIFY(method->width() < m_Page->width() / 2);
        method->setCurrentIndex(TModuleBasicsIPConf::mtAutoRange);
        QCOMPARE(place(), dhcp);
        method->setCurrentIndex(TModuleBasicsIPConf::mtManual); // nothing selected
        QVERIFY(!W<QLineEdit>("m_Mask")->isVisible());
        QCOMPARE(place(), dhcp);
        Tree()->setCurrentItem(Entry(0, 0));
        QCOMPARE(place(), dhcp);
    }

    void loadDiscoveryFilter()
    {
        TDevice* a = Add(1, "10.0.0.1");
        Open({a});
        W<QComboBox>("m_Method")->setCurrentIndex(TModuleBasicsIPConf::mtAutoRange);
        W<QToolButton>("m_Filter")->click(); // the default filter: every address
        QCOMPARE(W<QLineEdit>("m_Address")->text(), QString("0.0.0.0"));
        QCOMPARE(W<QLineEdit>("m_Address2")->text(), QString("255.255.255.255"));
        QCOMPARE(W<QLineEdit>("m_Gateway")->text(), QString("0.0.0.0"));
    }

    void applySendsChangedEntriesAndFlushes()
    {
        TDevice* a = Add(1, "10.0.0.1");
        TDevice* b = Add(2, "10.0.0.2");
        Open({a, b});
        for (TDevice* d : {a, b})
            Deliver(d->Address(), MakeDatagram(262, 0, d->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        m_Sessions->Sent.clear();
        // Everything unchanged: nothing sent, nothing flushed.
        W<QPushButton>("m_Apply")->click();
        QVERIFY(m_Sessions->Sent.empty());
        QVERIFY(m_Flushed.empty());
        // Manual plan for one device only.
        W<QComboBox>("m_Method")->setCurrentIndex(TModuleBasicsIPConf::mtManual);
        Tree()->setCurrentItem(Entry(1, 0)); // 10.0.0.2
        Type("m_Address", "10.0.0.77");
        Type("m_Mask", "255.255.255.0");
        Type("m_Gateway", "10.0.0.1");
        Type("m_Dns1", "10.0.0.53");
        Type("m_Dns2", "");
        W<QPushButton>("m_Set")->click();
        m_GiveCredentials = false; // cancelled: nothing happens
        W<QPushButton>("m_Apply")->click();
        QVERIFY(m_Sessions->Sent.empty());
        m_GiveCredentials = true;
        W<QPushButton>("m_Apply")->click();
        QCOMPARE(m_Sessions->Sent.size(), std::size_t(1));
        const auto& sent = m_Sessions->Sent[0];
        QCOMPARE(sent.Address, 0xFFFFFFFFu); // the limited broadcast
        std::vector<uint8_t> expected = MakeDatagram(263, 0, b->Mac(), {}, 37);
        TDigest digest = CredentialDigest("admin", "secret");
        expected.insert(expected.end(), digest.begin(), digest.end());
        for (uint8_t byte : {0, 10, 0, 0, 77, 255, 255, 255, 0, 10, 0, 0, 1, 10, 0, 0, 53, 0, 0, 0, 0})
            expected.push_back(byte);
        QVERIFY(sent.Bytes == expected);
        QCOMPARE(m_Flushed.size(), std::size_t(1));
        QCOMPARE(m_Flushed[0], std::vector<uint32_t>({A("10.0.0.2")}));
        // The switch confirms from its old address; the settings are read again at the new
        // one, but the device stays where it is until it answers from there.
        Deliver(A("10.0.0.2"), MakeDatagram(263, 0, b->Mac(), {0, 0, 0, 0}));
        QCOMPARE(b->Address(), A("10.0.0.2"));
        QVERIFY(Captions().contains("10.0.0.2"));
        // That reply came from the old address: its mapping is forgotten again.
        QCOMPARE(m_Flushed.size(), std::size_t(2));
        QCOMPARE(m_Flushed[1], std::vector<uint32_t>({A("10.0.0.2")}));
        QCOMPARE(m_Sessions->Sent.back().Address, A("10.0.0.77"));
        QCOMPARE(ReadU16(m_Sessions->Sent.back().Bytes.data()), uint16_t(262));
        Deliver(A("10.0.0.77"),
                MakeDatagram(262, 0, b->Mac(), NetReply(false, "255.255.255.0", "10.0.0.1", "10.0.0.53")));
        QCOMPARE(b->Address(), A("10.0.0.77"));
        QVERIFY(Captions().contains("10.0.0.77"));
    }

    // Where the settings are read again after the switch answered 0x0107, and what the
    // device's address is once that read has ended.
    void rereadAfterNewSettings_data()
    {
        QTest::addColumn<bool>("dhcp");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("readAt");
        QTest::addColumn<bool>("answered"); // false: the read times out
        QTest::addColumn<QString>("finally");
        QTest::addColumn<int>("flushes");
        QTest::newRow("new address, answered there") << false << 0 << "10.0.0.77" << true << "10.0.0.77" << 2;
        QTest::newRow("new address never taken") << false << 0 << "10.0.0.77" << false << "10.0.0.2" << 2;
        QTest::newRow("refused") << false << 6 << "10.0.0.2" << true << "10.0.0.2" << 1;
        QTest::newRow("DHCP, answered from its lease") << true << 0 << "255.255.255.255" << true << "10.0.0.140" << 2;
        QTest::newRow("DHCP, no answer") << true << 0 << "255.255.255.255" << false << "10.0.0.2" << 2;
    }
    void rereadAfterNewSettings()
    {
        QFETCH(bool, dhcp);
        QFETCH(int, status);
        QFETCH(QString, readAt);
        QFETCH(bool, answered);
        QFETCH(QString, finally);
        QFETCH(int, flushes);
        TDevice* b = Add(2, "10.0.0.2");
        Open({b});
        Deliver(b->Address(), MakeDatagram(262, 0, b->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        W<QComboBox>("m_Method")->setCurrentIndex(TModuleBasicsIPConf::mtManual);
        Tree()->setCurrentItem(Entry(0, 0));
        if (dhcp)
            W<QCheckBox>("m_Dhcp")->click();
        Type("m_Address", "10.0.0.77");
        Type("m_Mask", "255.255.255.0");
        W<QPushButton>("m_Set")->click();
        W<QPushButton>("m_Apply")->click();
        m_Sessions->Sent.clear();
        Deliver(A("10.0.0.2"), MakeDatagram(263, uint16_t(status), b->Mac(), {0, 0, 0, 0}));
        QCOMPARE(b->Address(), A("10.0.0.2"));
        QCOMPARE(m_Sessions->Sent.size(), std::size_t(1));
        QCOMPARE(ReadU16(m_Sessions->Sent[0].Bytes.data()), uint16_t(262));
        QCOMPARE(m_Sessions->Sent[0].Address, A(readAt.toLatin1()));
        if (answered)
            Deliver(status ? A("10.0.0.2") : A(finally.toLatin1()),
                    MakeDatagram(262, 0, b->Mac(), NetReply(dhcp, "255.255.255.0", "0.0.0.0")));
        else
            m_Sessions->Advance(DefaultInterval);
        QVERIFY(NothingPending());
        QCOMPARE(b->Address(), A(finally.toLatin1()));
        QCOMPARE(Tree()->topLevelItem(0)->text(0), finally); // the tree shows where it is
        QCOMPARE(int(m_Flushed.size()), flushes);
    }

    void dhcpMethodPlansEveryEntry()
    {
        TDevice* a = Add(1, "10.0.0.1");
        TDevice* b = Add(2, "10.0.0.2");
        Open({a, b});
        for (TDevice* d : {a, b})
            Deliver(d->Address(), MakeDatagram(262, 0, d->Mac(), NetReply(false, "255.0.0.0", "0.0.0.0")));
        auto* method = W<QComboBox>("m_Method");
        method->setCurrentIndex(TModuleBasicsIPConf::mtManual);
        method->setCurrentIndex(TModuleBasicsIPConf::mtDhcp);
        QVERIFY(Captions().filter("=> DHCP").size() == 2);
        QVERIFY(W<QCheckBox>("m_Dhcp")->isChecked());
        QVERIFY(!W<QLineEdit>("m_Address")->isVisibleTo(m_Page));
        m_Sessions->Sent.clear();
        W<QPushButton>("m_Apply")->click();
        QCOMPARE(m_Sessions->Sent.size(), std::size_t(2));
        QCOMPARE(m_Sessions->Sent[0].Bytes[HeaderSize + 16], uint8_t(1));
        QCOMPARE(m_Flushed[0].size(), std::size_t(2));
    }
};

QTEST_MAIN(TIpConfTest)
#include "tst_ipconf.moc"
