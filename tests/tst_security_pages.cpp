// The five security pages, offscreen, driven through the main window: their controls and
// texts, what they show from the records (and the defaults without one), the protocol,
// validity, mode, address and MAC rules, the list editing of IP Security, the chain of Gets
// and the sorting of Port Security, and the exact requests Apply, Add and Delete send. Also
// the secrets of the SNMP pages: none outside Latin-1 leaves any page.
#include "PageTests.h"

#include "core/Snmp.h"
#include "pages/ModuleSecurity_8021x.h"
#include "pages/ModuleSecurity_8021xPort.h"
#include "pages/ModuleSecurity_IP.h"
#include "pages/ModuleSecurity_Mac.h"
#include "pages/ModuleSecurity_Port.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>

using namespace Intp;

namespace {

constexpr uint16_t IpGet = 0x0800, IpSet = 0x0801, PortGet = 0x0802, PortAdd = 0x0803, PortDel = 0x0804;
constexpr uint16_t MacGet = 0x0805, MacAdd = 0x0806, MacDel = 0x0807, RadiusGet = 0x0808, RadiusSet = 0x0809;
constexpr uint16_t AuthGet = 0x080A, AuthSet = 0x080B, NamesGet = 0x0200, ConfigGet = 0x0201;

constexpr int Ports = 8;  // of the known models
constexpr int Slots = 10; // access-list count of the known models

const char* const IpPath = "Security/IP Security";
const char* const PortPath = "Security/Port Security";
const char* const MacPath = "Security/MAC Blacklist";
const char* const RadiusPath = "Security/802.1x";
const char* const AuthPath = "Security/802.1x/Port Auth";

constexpr uint16_t CommunityGet = 0x0702, UserGet = 0x0704, TrapGet = 0x0707;
const char* const CommunityPath = "SNMP/Community";
const char* const UserPath = "SNMP/SNMPv3 User";
const char* const TrapPath = "SNMP/Trap Settings";

TBytes Text32(const std::string& text)
{
    TBytes field(text.begin(), text.end());
    field.resize(32, 0);
    return field;
}

// 802.1X: enabled, server 192.168.1.10, ports 1645 and 1646, key "secret", NAS "edge-7",
// quiet 10, TX 20, supplicant 40, server 50, max requests 3, re-auth 7200.
const TBytes Radius = Concat({{1, 192, 168, 1, 10, 0x06, 0x6d, 0x06, 0x6e},
                              Text32("secret"),
                              Text32("edge-7"),
                              {0, 10, 0, 20, 0, 40, 0, 50, 3, 0, 0, 0x1c, 0x20}});

// Access list: enabled or not, a mask, then the addresses 10.0.0.1 ... and zeros.
TBytes AccessList(uint8_t enabled, uint8_t mask, int addresses, int count = Slots)
{
    TBytes out = {enabled, 0, 0, 0, mask};
    for (int i = 0; i < count; ++i)
        out = Concat({out, i < addresses ? TBytes{10, 0, 0, uint8_t(i + 1)} : TBytes(4, 0)});
    return out;
}

// A list datagram: 4 bytes of nothing, then MAC addresses 02:00:00:00:hi:lo, after a port
// byte each where ports are given.
TBytes MacList(int count, int first = 0, const std::vector<uint8_t>& ports = {})
{
    TBytes out(4, 0);
    for (int i = first; i < first + count; ++i) {
        if (!ports.empty())
            out.push_back(ports[std::size_t(i) % ports.size()]);
        out = Concat({out, {2, 0, 0, 0, uint8_t(i >> 8), uint8_t(i)}});
    }
    return out;
}

QString MacText(int i)
{
    return QString("02:00:00:00:%1:%2").arg(i >> 8, 2, 16, QChar('0')).arg(i & 0xFF, 2, 16, QChar('0')).toUpper();
}

QStringList ViewColumn(QWidget* page, int column)
{
    QStringList texts;
    QAbstractItemModel* model = Child<QTreeView>(page, "m_List")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

void ClickViewRow(QWidget* page, int row)
{
    auto* view = Child<QTreeView>(page, "m_List");
    emit view->clicked(view->model()->index(row, 0));
}

// A press on the list's empty space below its rows.
void PressBesideRows(QAbstractItemView* view)
{
    const QPointF below(5, 5000);
    QMouseEvent press(QEvent::MouseButtonPress, below, view->viewport()->mapToGlobal(below), Qt::LeftButton,
                      Qt::LeftButton, {});
    QCoreApplication::sendEvent(view->viewport(), &press);
}

} // namespace

class TSecurityPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    int m_SmallType = 0;

    // Port Security open on the devices, the first answered along the whole chain.
    QWidget* LoadPorts(const TBytes& bindings, std::initializer_list<TDevice*> devices,
                       const TBytes& config = PortConfig({0, 1, 2, 3, 4, 5, 6, 7, 8}))
    {
        Select(devices);
        QWidget* page = Open(PortPath);
        TDevice* d = *devices.begin();
        Reply(d, NamesGet, 0, PortNames());
        Reply(d, ConfigGet, 0, config);
        Reply(d, PortGet, 0, bindings);
        m_Fake->Sent.clear();
        return page;
    }
    static QComboBox* Box(QWidget* page, const char* name) { return Child<QComboBox>(page, name); }
    static QLineEdit* Edit(QWidget* page, const QString& name) { return Child<QLineEdit>(page, name); }
    static QSpinBox* Spin(QWidget* page, const char* name) { return Child<QSpinBox>(page, name); }
    static QPushButton* Button(QWidget* page, const char* name) { return Child<QPushButton>(page, name); }
    static QListWidget* ListWidget(QWidget* page, const char* name) { return Child<QListWidget>(page, name); }
    static QStringList ListTexts(QWidget* page, const char* name)
    {
        QStringList texts;
        for (int i = 0; i < ListWidget(page, name)->count(); ++i)
            texts << ListWidget(page, name)->item(i)->text();
        return texts;
    }
    static QList<bool> Checks(QWidget* page)
    {
        QList<bool> checks;
        for (int i = 0; i < ListWidget(page, "m_Management")->count(); ++i)
            checks << (ListWidget(page, "m_Management")->item(i)->checkState() == Qt::Checked);
        return checks;
    }

private slots:
    void initTestCase()
    {
        TDeviceType small = FourPortType();
        small.AccessListCount = 4;
        m_SmallType = RegisterType(small, {"TEST-4P"});
    }
    void init()
    {
        OpenWindow();
        CatchMessages(true);
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
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("IP Security") << IpPath << "IP Security" << QStringList{"m_Add", "Add", "m_Delete", "&Delete"};
        QTest::newRow("Port Security") << PortPath << "Port Security"
                                       << QStringList{"m_Add", "&Add", "m_Delete", "&Delete"};
        QTest::newRow("MAC Blacklist") << MacPath << "MAC Blacklist"
                                       << QStringList{"m_Add", "&Add", "m_Delete", "&Delete"};
        QTest::newRow("802.1x") << RadiusPath << "802.1x" << QStringList{};
        QTest::newRow("Port Auth") << AuthPath << "Port Auth" << QStringList{};
    }
    void pagesInTheCatalogue()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        TModule* module = Frame()->ModuleOf(Frame()->FindNode(path));
        QVERIFY(module && module->GetControl());
        QCOMPARE(module->GetName(), caption);
        QWidget* page = module->GetControl();
        if (auto* apply = page->findChild<QPushButton*>("m_Apply")) {
            QCOMPARE(apply->text(), QString("&Apply"));
            QVERIFY(apply->isDefault());
            QCOMPARE(apply->icon().cacheKey(), Icon(TImage::Accept).cacheKey());
        }
        for (qsizetype i = 0; i < buttons.size(); i += 2) {
            QPushButton* button = Button(page, qPrintable(buttons[i]));
            QCOMPARE(button->text(), buttons[i + 1]);
            QCOMPARE(button->icon().cacheKey(), Icon(i == 0 ? TImage::Add : TImage::Remove).cacheKey());
        }
    }

    void controlsAndTheirTexts()
    {
        TModuleSecurity8021x radius;
        const QList<QPair<const char*, QString>> labels = {{"m_ProtocolLabel", "802.1&x Protocol:"},
                                                           {"m_ServerHeading", "Radius Server Settings:"},
                                                           {"m_ServerIpLabel", "Radius Server &IP:"},
                                                           {"m_ServerPortLabel", "Server &Port:"},
                                                           {"m_AccountingPortLabel", "A&ccounting Port:"},
                                                           {"m_SharedKeyLabel", "Shared &Key:"},
                                                           {"m_NasIdLabel", "&NAS Identifier:"},
                                                           {"m_AdvancedHeading", "Advanced Settings:"},
                                                           {"m_QuietLabel", "&Quiet Period:"},
                                                           {"m_TXLabel", "&TX Period:"},
                                                           {"m_SupplicantLabel", "S&upplicant Timeout:"},
                                                           {"m_ServerTimeoutLabel", "Server Time&out:"},
                                                           {"m_MaxRequestLabel", "&Max Requests:"},
                                                           {"m_ReAuthLabel", "&Re-Auth Period:"}};
        for (const auto& [name, text] : labels)
            QCOMPARE(Child<QLabel>(&radius, name)->text(), text);
        QVERIFY(Child<QLabel>(&radius, "m_ServerHeading")->font().bold());
        QVERIFY(Child<QLabel>(&radius, "m_AdvancedHeading")->font().bold());
        QCOMPARE(Items(Box(&radius, "m_Protocol")), QStringList({"Disable", "Enable"}));
        const QList<std::tuple<const char*, int, int>> spins = {
            {"m_ServerPort", 1, 65535}, {"m_AccountingPort", 1, 65535}, {"m_Quiet", 0, 65535},
            {"m_TX", 0, 65535},         {"m_Supplicant", 1, 300},       {"m_ServerTimeout", 1, 300},
            {"m_MaxRequest", 1, 10},    {"m_ReAuth", 1, 999999}};
        for (const auto& [name, minimum, maximum] : spins)
            QCOMPARE(std::pair(Spin(&radius, name)->minimum(), Spin(&radius, name)->maximum()),
                     std::pair(minimum, maximum));
        QCOMPARE(Edit(&radius, "m_ServerIp")->maxLength(), 15);
        QCOMPARE(Edit(&radius, "m_SharedKey")->maxLength(), 32);
        QCOMPARE(Edit(&radius, "m_NasId")->maxLength(), 32);
        // The shared key never shows.
        QCOMPARE(Edit(&radius, "m_SharedKey")->echoMode(), QLineEdit::Password);

        TModuleSecurity8021xPort auth;
        QCOMPARE(ListOf(&auth)->headerItem()->text(0), QString("Port No."));
        QCOMPARE(ListOf(&auth)->headerItem()->text(1), QString("Authorize Mode"));
        QCOMPARE(ListOf(&auth)->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(Child<QLabel>(&auth, "m_AuthLabel")->text(), QString("Authorize &Mode:"));
        QCOMPARE(Items(Box(&auth, "m_Auth")), QStringList({"Reject", "Accept", "Authorize", "Disable"}));

        TModuleSecurityIP ip;
        QCOMPARE(Child<QLabel>(&ip, "m_ModeLabel")->text(), QString("&Mode:"));
        QCOMPARE(Child<QLabel>(&ip, "m_SecureIPsLabel")->text(), QString("Secure &IP List:"));
        QCOMPARE(Child<QLabel>(&ip, "m_AddressLabel")->text(), QString("&IP Address:"));
        QCOMPARE(Items(Box(&ip, "m_Mode")), QStringList({"Disable", "Enable"}));
        QStringList management;
        for (int i = 0; i < ListWidget(&ip, "m_Management")->count(); ++i)
            management << ListWidget(&ip, "m_Management")->item(i)->text();
        QCOMPARE(management,
                 QStringList({"Enable Web Management", "Enable Telnet Management", "Enable SNMP Management"}));
        QCOMPARE(Edit(&ip, "m_Address")->maxLength(), 15);

        TModuleSecurityMac mac;
        QCOMPARE(Child<QLabel>(&mac, "m_MACLabel")->text(), QString("&MAC Address:"));
        QCOMPARE(Edit(&mac, "m_MAC")->maxLength(), 12);

        TModuleSecurityPort port;
        auto* model = Child<QTreeView>(&port, "m_List")->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Port No."));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("MAC Address"));
        QCOMPARE(Child<QLabel>(&port, "m_PortLabel")->text(), QString("&Port No.:"));
        QCOMPARE(Child<QLabel>(&port, "m_MACLabel")->text(), QString("&MAC Address:"));
        QCOMPARE(Edit(&port, "m_MAC")->maxLength(), 12);
    }

    // With no device selected, nothing can be applied, added or deleted.
    void withoutDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("disabled");
        QTest::newRow("IP Security") << IpPath << QStringList{"m_Mode",   "m_ModeLabel",  "m_Apply",     "m_Add",
                                                              "m_Delete", "m_Management", "m_SecureIPs", "m_Address"};
        QTest::newRow("Port Security") << PortPath << QStringList{"m_List",     "m_Port", "m_PortLabel", "m_MAC",
                                                                  "m_MACLabel", "m_Add",  "m_Delete"};
        QTest::newRow("MAC Blacklist") << MacPath << QStringList{"m_List", "m_MAC", "m_MACLabel", "m_Add", "m_Delete"};
        QTest::newRow("802.1x") << RadiusPath
                                << QStringList{"m_Protocol",  "m_ProtocolLabel", "m_Apply",        "m_ServerIp",
                                               "m_SharedKey", "m_ReAuth",        "m_ServerHeading"};
        QTest::newRow("Port Auth") << AuthPath << QStringList{"m_ListView", "m_Auth", "m_AuthLabel", "m_Apply"};
    }
    void withoutDevice()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, disabled);
        QWidget* page = Unselected(qPrintable(path));
        CheckEnabled(page, disabled, false);
    }

    // ---- 802.1x ----------------------------------------------------------------------------

    // Without a device the fields show nothing, neither the last switch's values nor defaults.
    void radiusWithoutDeviceIsEmpty()
    {
        TDevice* a = AddLoggedIn(1);
        QWidget* page = Load(RadiusPath, RadiusGet, Radius, 0, {a});
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(a).parent());
        Unselected(RadiusPath);
        QCOMPARE(Box(page, "m_Protocol")->currentText(), QString());
        // The spin edits' texts included.
        for (QLineEdit* edit : page->findChildren<QLineEdit*>())
            QVERIFY2(edit->text().isEmpty(),
                     qPrintable(edit->parent()->objectName() + edit->objectName() + ": " + edit->text()));
        CheckEnabled(page, {"m_Protocol", "m_SharedKey", "m_ServerPort", "m_Apply"}, false);
    }

    void radiusShowsTheRecord_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("valid") << 0;
        QTest::newRow("refused") << 5;
    }
    void radiusShowsTheRecord()
    {
        QFETCH(int, status);
        QWidget* page = Load(RadiusPath, RadiusGet, Radius, uint16_t(status), {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        const bool valid = status == 0;
        QCOMPARE(Box(page, "m_Protocol")->currentText(), QString(valid ? "Enable" : "Disable"));
        QCOMPARE(Edit(page, "m_ServerIp")->text(), QString(valid ? "192.168.1.10" : "0.0.0.0"));
        QCOMPARE(Edit(page, "m_SharedKey")->text(), QString(valid ? "secret" : "58132604"));
        QCOMPARE(Edit(page, "m_NasId")->text(), QString(valid ? "edge-7" : "NAS_L2_SWITCH"));
        QList<int> values;
        for (const char* name : {"m_ServerPort", "m_AccountingPort", "m_Quiet", "m_TX", "m_Supplicant",
                                 "m_ServerTimeout", "m_MaxRequest", "m_ReAuth"})
            values << Spin(page, name)->value();
        QCOMPARE(values,
                 valid ? QList<int>({1645, 1646, 10, 20, 40, 50, 3, 7200})
                       : QList<int>({1812, 1813, 60, 30, 30, 30, 2, 3600}));
        CheckEnabled(page, {"m_Protocol", "m_ProtocolLabel", "m_Apply"}, true);
        CheckEnabled(page,
                     {"m_ServerHeading", "m_AdvancedHeading", "m_ServerIp", "m_ServerIpLabel", "m_NasId", "m_ReAuth",
                      "m_ReAuthLabel"},
                     valid);
    }

    // Apply follows the protocol, and with "Enable" a host address, a key and a NAS identifier.
    void radiusRules_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("nas");
        QTest::addColumn<bool>("apply");
        QTest::newRow("disabled, nothing filled in") << "Disable"
                                                     << ""
                                                     << ""
                                                     << "" << true;
        QTest::newRow("enabled, all good") << "Enable"
                                           << "10.1.2.3"
                                           << "k"
                                           << "n" << true;
        QTest::newRow("enabled, short address form") << "Enable"
                                                     << "10.1"
                                                     << "k"
                                                     << "n" << true;
        QTest::newRow("enabled, 0.0.0.0") << "Enable"
                                          << "0.0.0.0"
                                          << "k"
                                          << "n" << false;
        QTest::newRow("enabled, broadcast") << "Enable"
                                            << "255.255.255.255"
                                            << "k"
                                            << "n" << false;
        QTest::newRow("enabled, loopback") << "Enable"
                                           << "127.0.0.9"
                                           << "k"
                                           << "n" << false;
        QTest::newRow("enabled, no address") << "Enable"
                                             << "server"
                                             << "k"
                                             << "n" << false;
        QTest::newRow("enabled, no key") << "Enable"
                                         << "10.1.2.3"
                                         << ""
                                         << "n" << false;
        QTest::newRow("enabled, no NAS identifier") << "Enable"
                                                    << "10.1.2.3"
                                                    << "k"
                                                    << "" << false;
    }
    void radiusRules()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, address);
        QFETCH(QString, key);
        QFETCH(QString, nas);
        QFETCH(bool, apply);
        QWidget* page = Load(RadiusPath, RadiusGet, Radius, 0, {AddLoggedIn(1)});
        Edit(page, "m_ServerIp")->setText(address);
        Edit(page, "m_SharedKey")->setText(key);
        Edit(page, "m_NasId")->setText(nas);
        Box(page, "m_Protocol")->setCurrentText(protocol);
        QCOMPARE(Button(page, "m_Apply")->isEnabled(), apply);
        CheckEnabled(page, {"m_ServerIp", "m_SharedKeyLabel", "m_Supplicant", "m_AdvancedHeading"},
                     protocol == "Enable");
    }

    void radiusAddressOnLeaving()
    {
        QWidget* page = Load(RadiusPath, RadiusGet, Radius, 0, {AddLoggedIn(1)});
        Edit(page, "m_ServerIp")->setText("10.1");
        emit Edit(page, "m_ServerIp")->editingFinished();
        QCOMPARE(Edit(page, "m_ServerIp")->text(), QString("10.0.0.1"));
        Edit(page, "m_ServerIp")->setText("no address");
        emit Edit(page, "m_ServerIp")->editingFinished();
        QCOMPARE(Edit(page, "m_ServerIp")->text(), QString("255.255.255.255"));
    }

    // The record as the controls show it, to every selected switch; the key reaches
    // nothing but the requests.
    void radiusApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(RadiusPath, RadiusGet, Radius, 0, {a, b});
        Edit(page, "m_ServerIp")->setText("10.1");
        Edit(page, "m_SharedKey")->setText(QString(32, 'K'));
        Edit(page, "m_NasId")->setText("nas");
        Spin(page, "m_ReAuth")->setValue(999999);
        static QStringList logged;
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; });
        Button(page, "m_Apply")->click();
        Reply(a, RadiusSet, 0);
        qInstallMessageHandler(previous);
        QVERIFY(logged.filter(QString(32, 'K')).isEmpty());
        const TBytes payload = Concat({{1, 10, 0, 0, 1, 0x06, 0x6d, 0x06, 0x6e},
                                       TBytes(32, 'K'),
                                       Text32("nas"),
                                       {0, 10, 0, 20, 0, 40, 0, 50, 3, 0x00, 0x0f, 0x42, 0x3f}});
        QCOMPARE(TakeRequests(),
                 QStringList({Request(RadiusSet, a, payload), Request(RadiusSet, b, payload),
                              Request(RadiusGet, a, {0, 0, 0, 0})}));

        // "Disable" sends the other fields as they stand.
        Box(page, "m_Protocol")->setCurrentText("Disable");
        Button(page, "m_Apply")->click();
        TBytes off = payload;
        off[0] = 0;
        QCOMPARE(TakeRequests(), QStringList({Request(RadiusSet, a, off), Request(RadiusSet, b, off)}));
    }

    // ---- Port Auth -------------------------------------------------------------------------

    void authShowsTheRecord_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("modes");
        const QStringList rejected(Ports, "Reject");
        QTest::newRow("a mode per port") << QByteArray::fromHex("0001020303020100")
                                         << QStringList{"Reject",  "Accept",    "Authorize", "Disable",
                                                        "Disable", "Authorize", "Accept",    "Reject"};
        QTest::newRow("a mode too few") << QByteArray::fromHex("01010101010101") << rejected;
        QTest::newRow("mode 4") << QByteArray::fromHex("0101010101010104") << rejected;
    }
    void authShowsTheRecord()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, modes);
        QWidget* page = Load(AuthPath, AuthGet, TBytes(payload.begin(), payload.end()), 0, {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Column(page, 1), modes);
        CheckEnabled(page, {"m_ListView", "m_Apply"}, true);
        CheckEnabled(page, {"m_Auth", "m_AuthLabel"}, false);
    }

    void authEditing()
    {
        QWidget* page = Load(AuthPath, AuthGet, {0, 1, 2, 3, 0, 1, 2, 3}, 0, {AddLoggedIn(1)});
        SelectRow(page, 2);
        CheckEnabled(page, {"m_Auth", "m_AuthLabel"}, true);
        QCOMPARE(Box(page, "m_Auth")->currentText(), QString("Authorize"));
        Box(page, "m_Auth")->setCurrentText("Disable");
        QCOMPARE(Cells(page, 2), QStringList({"Port.03", "Disable"}));
        // The mode column's header moves every row to the mode after the first row's.
        const QStringList edited = {"Reject", "Accept", "Disable",   "Disable",
                                    "Reject", "Accept", "Authorize", "Disable"};
        QCOMPARE(Column(page, 1), edited);
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 1), edited);
        for (const char* next : {"Accept", "Authorize", "Disable", "Reject"}) {
            ClickHeader(page, 1);
            QCOMPARE(Column(page, 1), QStringList(Ports, next));
            QCOMPARE(Box(page, "m_Auth")->currentText(), QString(next));
        }
    }

    // The rows' modes to every selected switch with as many ports; the others get nothing.
    void authApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TDevice* b = AddLoggedIn(3);
        QWidget* page = Load(AuthPath, AuthGet, {0, 1, 2, 3, 0, 1, 2, 3}, 0, {a, small, b});
        SelectRow(page, 7);
        Box(page, "m_Auth")->setCurrentText("Reject");
        Button(page, "m_Apply")->click();
        const TBytes modes = {0, 1, 2, 3, 0, 1, 2, 0};
        QCOMPARE(TakeRequests(), QStringList({Request(AuthSet, a, modes), Request(AuthSet, b, modes)}));
        Reply(a, AuthSet, 0);
        QCOMPARE(TakeSent(), TSentList{To(AuthGet, a)});
    }

    // ---- IP Security -----------------------------------------------------------------------

    void ipShowsTheRecord_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::newRow("valid") << 0 << Slots;
        QTest::newRow("refused") << 5 << Slots;
        QTest::newRow("a slot too few") << 0 << Slots - 1;
    }
    void ipShowsTheRecord()
    {
        QFETCH(int, status);
        QFETCH(int, count);
        TBytes payload = AccessList(1, 5, 3, count);
        payload[5 + 4 * 4 + 3] = 9; // slot 4 behind the first empty one
        QWidget* page = Load(IpPath, IpGet, payload, uint16_t(status), {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        const bool valid = status == 0 && count == Slots;
        QCOMPARE(Box(page, "m_Mode")->currentText(), QString(valid ? "Enable" : "Disable"));
        QCOMPARE(Checks(page), valid ? QList<bool>({true, false, true}) : QList<bool>({false, false, false}));
        QCOMPARE(ListTexts(page, "m_SecureIPs"),
                 valid ? QStringList({"10.0.0.1", "10.0.0.2", "10.0.0.3"}) : QStringList());
        CheckEnabled(page, {"m_Mode", "m_ModeLabel", "m_Apply"}, true);
        CheckEnabled(page, {"m_Management", "m_SecureIPs", "m_SecureIPsLabel", "m_Address", "m_AddressLabel"}, valid);
    }

    // Add and Delete follow the mode and the address.
    void ipRules_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("buttons");
        QTest::newRow("enabled, host address") << "Enable"
                                               << "10.0.0.7" << true;
        QTest::newRow("enabled, short form") << "Enable"
                                             << "10.7" << true;
        QTest::newRow("enabled, 0.0.0.0") << "Enable"
                                          << "0.0.0.0" << false;
        QTest::newRow("enabled, loopback") << "Enable"
                                           << "127.0.0.1" << false;
        QTest::newRow("enabled, broadcast") << "Enable"
                                            << "255.255.255.255" << false;
        QTest::newRow("enabled, empty") << "Enable"
                                        << "" << false;
        QTest::newRow("disabled, host address") << "Disable"
                                                << "10.0.0.7" << false;
    }
    void ipRules()
    {
        QFETCH(QString, mode);
        QFETCH(QString, address);
        QFETCH(bool, buttons);
        QWidget* page = Load(IpPath, IpGet, AccessList(1, 0, 0), 0, {AddLoggedIn(1)});
        Edit(page, "m_Address")->setText(address);
        Box(page, "m_Mode")->setCurrentText(mode);
        CheckEnabled(page, {"m_Add", "m_Delete"}, buttons);
        CheckEnabled(page, {"m_Management", "m_SecureIPs", "m_Address"}, mode == "Enable");
    }

    void ipListEditing()
    {
        TDevice* small = AddLoggedIn(2, m_SmallType);
        QWidget* page = Load(IpPath, IpGet, AccessList(1, 0, 2, 4), 0, {small});
        QLineEdit* address = Edit(page, "m_Address");
        address->setText("10.3");
        emit address->editingFinished();
        QCOMPARE(address->text(), QString("10.0.0.3"));
        Button(page, "m_Add")->click();
        QCOMPARE(ListTexts(page, "m_SecureIPs"), QStringList({"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
        QVERIFY(Button(page, "m_Add")->isEnabled());
        address->setText("10.0.0.2");
        Button(page, "m_Add")->click();
        QCOMPARE(m_Messages, QStringList{"Entry already exists!"});
        // The fourth address fills the switch's slots.
        address->setText("10.0.0.4");
        Button(page, "m_Add")->click();
        QVERIFY(!Button(page, "m_Add")->isEnabled());
        address->setText("10.0.0.9");
        Button(page, "m_Delete")->click();
        QCOMPARE(m_Messages, QStringList({"Entry already exists!", "Entry not found!"}));
        // A click on a row copies it; one beside the rows empties the address.
        auto* list = ListWidget(page, "m_SecureIPs");
        emit list->itemClicked(list->item(1));
        QCOMPARE(address->text(), QString("10.0.0.2"));
        Button(page, "m_Delete")->click();
        QCOMPARE(ListTexts(page, "m_SecureIPs"), QStringList({"10.0.0.1", "10.0.0.3", "10.0.0.4"}));
        QVERIFY(Button(page, "m_Add")->isEnabled());
        PressBesideRows(list);
        QCOMPARE(address->text(), QString());
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        QVERIFY(m_Fake->Sent.empty());
    }

    // The list never holds more than the switch's N slots, however the address is edited,
    // and Apply sends every listed address.
    void ipListHoldsAtMostN()
    {
        TDevice* small = AddLoggedIn(2, m_SmallType);
        QWidget* page = Load(IpPath, IpGet, AccessList(1, 0, 0, 4), 0, {small});
        QLineEdit* address = Edit(page, "m_Address");
        for (int i = 1; i <= 4 + 2; ++i) {
            address->setText(QString("10.0.0.%1").arg(i));
            QCOMPARE(Button(page, "m_Add")->isEnabled(), i <= 4);
            Button(page, "m_Add")->click();
        }
        QCOMPARE(ListTexts(page, "m_SecureIPs"), QStringList({"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"}));
        QVERIFY(Button(page, "m_Delete")->isEnabled());
        address->setText("10.0.0.2");
        Button(page, "m_Delete")->click();
        address->setText("10.0.0.6");
        Button(page, "m_Add")->click();
        QVERIFY(!Button(page, "m_Add")->isEnabled());
        QVERIFY(m_Messages.isEmpty());
        Button(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), QStringList{Request(IpSet, small, {1, 0, 0,  0, 0, 10, 0,  0, 1, 10, 0,
                                                                    0, 3, 10, 0, 0, 4,  10, 0, 0, 6})});
    }

    // The whole block of 5 + 4 N bytes to every selected switch with N slots.
    void ipApply_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("payload");
        QTest::newRow("enabled") << "Enable"
                                 << "01 00 00 00 06 0a 00 00 01 0a 00 00 02 0a 00 00 03" + QString(" 00").repeated(28);
        QTest::newRow("disabled clears the list") << "Disable"
                                                  << "00" + QString(" 00").repeated(44);
    }
    void ipApply()
    {
        QFETCH(QString, mode);
        QFETCH(QString, payload);
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TDevice* b = AddLoggedIn(3);
        QWidget* page = Load(IpPath, IpGet, AccessList(1, 1, 2), 0, {a, small, b});
        auto* management = ListWidget(page, "m_Management");
        management->item(0)->setCheckState(Qt::Unchecked);
        management->item(1)->setCheckState(Qt::Checked);
        management->item(2)->setCheckState(Qt::Checked);
        Edit(page, "m_Address")->setText("10.0.0.3");
        Button(page, "m_Add")->click();
        Box(page, "m_Mode")->setCurrentText(mode);
        Button(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), QStringList({Request(IpSet, a, {}) + payload, Request(IpSet, b, {}) + payload}));
    }

    // Without a valid record drawn there are no slots, so nothing goes out.
    void ipApplyWithoutSlots()
    {
        TDevice* a = AddLoggedIn(1);
        QWidget* page = Load(IpPath, IpGet, AccessList(1, 1, 2), 5, {a});
        Button(page, "m_Apply")->click();
        QVERIFY(m_Fake->Sent.empty());
    }

    // ---- MAC Blacklist ---------------------------------------------------------------------

    // 300 addresses in three datagrams, in record order.
    void macShowsTheList()
    {
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(MacPath);
        Reply(d, MacGet, 0, MacList(128));
        Reply(d, MacGet, 0, MacList(128, 128));
        QVERIFY(ViewColumn(page, 0).isEmpty());
        Reply(d, MacGet, 0, MacList(44, 256));
        QStringList expected;
        for (int i = 0; i < 300; ++i)
            expected << MacText(i);
        QCOMPARE(ViewColumn(page, 0), expected);
        CheckEnabled(page, {"m_List", "m_MAC", "m_MACLabel"}, true);
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        // An error empties it.
        m_Fake->Sent.clear();
        QCOMPARE(Frame()->ModuleOf(Frame()->FindNode(MacPath))->Refresh(false), 1);
        Reply(d, MacGet, 5, MacList(3));
        QVERIFY(ViewColumn(page, 0).isEmpty());
    }

    // The typed address decides the buttons: twelve hexadecimal digits, listed or not.
    void macRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("del");
        QTest::newRow("not listed") << "020000000099"
                                    << "020000000099" << true << false;
        QTest::newRow("listed") << "020000000001"
                                << "020000000001" << false << true;
        QTest::newRow("listed, upper case") << "02000000000A"
                                            << "02000000000a" << false << true;
        QTest::newRow("eleven digits") << "02000000000"
                                       << "02000000000" << false << false;
        QTest::newRow("a g among twelve") << "0200000000g1"
                                          << "0200000000g1" << false << false;
        QTest::newRow("colons") << "02:00:00:00:"
                                << "02:00:00:00:" << false << false;
        QTest::newRow("a space among twelve") << "02000000 001"
                                              << "02000000 001" << false << false;
        QTest::newRow("a sign among twelve") << "+20000000001"
                                             << "+20000000001" << false << false;
        QTest::newRow("empty") << ""
                               << "" << false << false;
    }
    void macRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, add);
        QFETCH(bool, del);
        QWidget* page = Load(MacPath, MacGet, MacList(11), 0, {AddLoggedIn(1)});
        Edit(page, "m_MAC")->setText(typed);
        QCOMPARE(Edit(page, "m_MAC")->text(), shown);
        QCOMPARE(Button(page, "m_Add")->isEnabled(), add);
        QCOMPARE(Button(page, "m_Delete")->isEnabled(), del);
    }

    void macAddAndDelete()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(MacPath, MacGet, MacList(3), 0, {a, b});
        ClickViewRow(page, 2);
        QCOMPARE(Edit(page, "m_MAC")->text(), QString("020000000002"));
        Button(page, "m_Delete")->click();
        QCOMPARE(TakeRequests(),
                 QStringList({Request(MacDel, a, {2, 0, 0, 0, 0, 2}), Request(MacDel, b, {2, 0, 0, 0, 0, 2})}));
        PressBesideRows(Child<QTreeView>(page, "m_List"));
        QCOMPARE(Edit(page, "m_MAC")->text(), QString());
        Edit(page, "m_MAC")->setText("0123456789aB");
        Button(page, "m_Add")->click();
        const TBytes mac = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
        QCOMPARE(TakeRequests(), QStringList({Request(MacAdd, a, mac), Request(MacAdd, b, mac)}));
        // The list changes only through the Get after the reply.
        QCOMPARE(ViewColumn(page, 0).size(), 3);
        Reply(a, MacAdd, 0);
        QCOMPARE(TakeSent(), TSentList{To(MacGet, a)});
        Reply(a, MacGet, 0, Concat({MacList(3), mac}));
        QCOMPARE(ViewColumn(page, 0).last(), QString("01:23:45:67:89:AB"));
        // Drawing empties the address.
        QCOMPARE(Edit(page, "m_MAC")->text(), QString());
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
    }

    // ---- Port Security ---------------------------------------------------------------------

    // Names, then configuration, then bindings, each after the one before came back valid;
    // a refresh asks for the bindings alone.
    void portChain()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(PortPath);
        QCOMPARE(TakeSent(), (TSentList{To(NamesGet, a), To(NamesGet, b)}));
        Reply(b, NamesGet, 0, PortNames());
        QCOMPARE(TakeSent(), TSentList{To(ConfigGet, b)});
        Reply(a, NamesGet, 0, PortNames());
        QCOMPARE(TakeSent(), TSentList{To(ConfigGet, a)});
        Reply(a, ConfigGet, 0, PortConfig({0, 1}));
        QCOMPARE(TakeSent(), TSentList{To(PortGet, a)});
        QVERIFY(ViewColumn(page, 0).isEmpty());
        Reply(a, PortGet, 0, MacList(2, 0, {1, 9}));
        QCOMPARE(ViewColumn(page, 0), QStringList({"Port-2", "Trunk-2"}));
        QCOMPARE(ViewColumn(page, 1), QStringList({MacText(0), MacText(1)}));
        QCOMPARE(Items(Box(page, "m_Port")), QStringList({"Port-1", "Port-2"}));
        QCOMPARE(Box(page, "m_Port")->currentIndex(), 0);
        CheckEnabled(page, {"m_List", "m_Port", "m_PortLabel", "m_MAC", "m_MACLabel"}, true);
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        // A refused configuration ends b's chain.
        Reply(b, ConfigGet, 5, PortConfig({0}));
        QVERIFY(TakeSent().isEmpty());

        QCOMPARE(Frame()->ModuleOf(Frame()->FindNode(PortPath))->Refresh(false), 2);
        QCOMPARE(TakeSent(), (TSentList{To(PortGet, a), To(PortGet, b)}));
    }

    // A chain that ends early draws the page without bindings.
    void portChainBroken()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        QWidget* page = Open(PortPath);
        Reply(a, NamesGet, 0, PortNames());
        Reply(a, ConfigGet, 0, PortConfig({0}));
        Reply(a, PortGet, 0, MacList(1, 0, {0}));
        QCOMPARE(ViewColumn(page, 0).size(), 1);
        m_Fake->Sent.clear();
        QCOMPARE(Frame()->ModuleOf(Frame()->FindNode(PortPath))->Refresh(true), 1);
        QCOMPARE(TakeSent(), TSentList{To(NamesGet, a)});
        Reply(a, NamesGet, 5, PortNames());
        QVERIFY(TakeSent().isEmpty());
        QVERIFY(ViewColumn(page, 0).isEmpty());
        QCOMPARE(Box(page, "m_Port")->count(), 0);
    }

    // Rows stay in record order until a header is clicked; each header's first click sorts
    // ascending, the next descending, ignoring case.
    void portSorting()
    {
        QWidget* page = LoadPorts(MacList(4, 0, {3, 0, 9, 1}), {AddLoggedIn(1)});
        QCOMPARE(ViewColumn(page, 0), QStringList({"Port-4", "Port-1", "Trunk-2", "Port-2"}));
        auto* header = Child<QTreeView>(page, "m_List")->header();
        emit header->sectionClicked(0);
        QCOMPARE(ViewColumn(page, 0), QStringList({"Port-1", "Port-2", "Port-4", "Trunk-2"}));
        emit header->sectionClicked(0);
        QCOMPARE(ViewColumn(page, 0), QStringList({"Trunk-2", "Port-4", "Port-2", "Port-1"}));
        emit header->sectionClicked(1);
        QCOMPARE(ViewColumn(page, 1), QStringList({MacText(0), MacText(1), MacText(2), MacText(3)}));
        emit header->sectionClicked(1);
        QCOMPARE(ViewColumn(page, 1), QStringList({MacText(3), MacText(2), MacText(1), MacText(0)}));
        // A fresh answer keeps the order.
        Frame()->ModuleOf(Frame()->FindNode(PortPath))->Refresh(false);
        Reply(AddLoggedIn(1), PortGet, 0, MacList(5, 0, {3, 0, 9, 1}));
        QCOMPARE(ViewColumn(page, 1), QStringList({MacText(4), MacText(3), MacText(2), MacText(1), MacText(0)}));
        // Each column keeps its own direction: "Port No." was last ascending.
        emit header->sectionClicked(0);
        emit header->sectionClicked(1);
        emit header->sectionClicked(0);
        QCOMPARE(ViewColumn(page, 0), QStringList({"Trunk-2", "Port-4", "Port-4", "Port-2", "Port-1"}));
    }

    // A row matches the typed address on the chosen port only.
    void portRowsAndRule()
    {
        QWidget* page = LoadPorts(MacList(2, 0, {2, 0}), {AddLoggedIn(1)});
        ClickViewRow(page, 0);
        QCOMPARE(Box(page, "m_Port")->currentIndex(), 2);
        QCOMPARE(Edit(page, "m_MAC")->text(), QString("020000000000"));
        CheckEnabled(page, {"m_Delete"}, true);
        CheckEnabled(page, {"m_Add"}, false);
        Box(page, "m_Port")->setCurrentIndex(1);
        CheckEnabled(page, {"m_Add"}, true);
        CheckEnabled(page, {"m_Delete"}, false);
        Edit(page, "m_MAC")->setText("abcdef012345");
        QCOMPARE(Edit(page, "m_MAC")->text(), QString("ABCDEF012345"));
        Edit(page, "m_MAC")->setText("ABCDEF01234");
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        PressBesideRows(Child<QTreeView>(page, "m_List"));
        QCOMPARE(Edit(page, "m_MAC")->text(), QString());
    }

    void portAddAndDelete()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        // The box lists the configured ports in the configuration's order.
        QWidget* page = LoadPorts(MacList(1, 0, {0}), {a, b}, PortConfig({0, 9, 3}));
        QCOMPARE(Items(Box(page, "m_Port")), QStringList({"Port-1", "Trunk-2", "Port-4"}));
        Box(page, "m_Port")->setCurrentIndex(1);
        Edit(page, "m_MAC")->setText("0123456789AB");
        Button(page, "m_Add")->click();
        const TBytes mac = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
        const TBytes binding = Concat({{9}, mac});
        QCOMPARE(TakeRequests(), QStringList({Request(PortAdd, a, binding), Request(PortAdd, b, binding)}));
        ClickViewRow(page, 0);
        Button(page, "m_Delete")->click();
        QCOMPARE(TakeRequests(),
                 QStringList({Request(PortDel, a, {2, 0, 0, 0, 0, 0}), Request(PortDel, b, {2, 0, 0, 0, 0, 0})}));
        Reply(a, PortDel, 0);
        QCOMPARE(TakeSent(), TSentList{To(PortGet, a)});
    }

    // Without a port to choose, a typed address cannot be added: the chain ended early, or
    // the switch has no configured port.
    void portAddNeedsAPort_data()
    {
        QTest::addColumn<int>("namesStatus");
        QTest::addColumn<int>("configStatus");
        QTest::addColumn<TBytes>("config");
        QTest::addColumn<int>("bindingsStatus");
        QTest::newRow("names refused") << 5 << 0 << PortConfig({0, 1}) << 0;
        QTest::newRow("configuration refused") << 0 << 5 << PortConfig({0, 1}) << 0;
        QTest::newRow("no configured port") << 0 << 0 << PortConfig({}) << 0;
        QTest::newRow("bindings refused") << 0 << 0 << PortConfig({0, 1}) << 5;
    }
    void portAddNeedsAPort()
    {
        QFETCH(int, namesStatus);
        QFETCH(int, configStatus);
        QFETCH(TBytes, config);
        QFETCH(int, bindingsStatus);
        TDevice* a = AddLoggedIn(1);
        Select({a});
        QWidget* page = Open(PortPath);
        Reply(a, NamesGet, uint16_t(namesStatus), PortNames());
        if (namesStatus == 0)
            Reply(a, ConfigGet, uint16_t(configStatus), config);
        if (namesStatus == 0 && configStatus == 0)
            Reply(a, PortGet, uint16_t(bindingsStatus), MacList(1, 0, {0}));
        QVERIFY(Shown(page));
        QCOMPARE(Box(page, "m_Port")->count(), 0);
        m_Fake->Sent.clear();
        Edit(page, "m_MAC")->setText("0123456789AB");
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        Button(page, "m_Add")->click();
        QVERIFY(m_Fake->Sent.empty());
    }

    // Port names are the switch's 8-bit characters; a port without a name is "Port.NN".
    void portNamesAsTheSwitchHasThem()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        QWidget* page = Open(PortPath);
        Reply(a, NamesGet, 0, OddPortNames());
        Reply(a, ConfigGet, 0, PortConfig({0, 1, 2}));
        Reply(a, PortGet, 0, MacList(3, 0, {1, 0, 2}));
        const QString tuer = QString::fromUtf8("Tür");
        QCOMPARE(Items(Box(page, "m_Port")), QStringList({tuer, "Port.02", "Port-3"}));
        QCOMPARE(ViewColumn(page, 0), QStringList({"Port.02", tuer, "Port-3"}));
    }

    // The highlighted binding stays highlighted when a header click sorts the rows.
    void portSelectionFollowsSorting()
    {
        QWidget* page = LoadPorts(MacList(4, 0, {3, 0, 9, 1}), {AddLoggedIn(1)});
        auto* view = Child<QTreeView>(page, "m_List");
        view->setCurrentIndex(view->model()->index(2, 0));
        QCOMPARE(view->currentIndex().siblingAtColumn(1).data().toString(), MacText(2));
        for (int column : {0, 0, 1}) {
            emit view->header()->sectionClicked(column);
            const QModelIndexList selected = view->selectionModel()->selectedRows(1);
            QCOMPARE(selected.size(), 1);
            QCOMPARE(selected.first().data().toString(), MacText(2));
            QCOMPARE(view->currentIndex().siblingAtColumn(1).data().toString(), MacText(2));
        }
    }

    // ---- secrets ---------------------------------------------------------------------------

    // A secret reaches the switch as typed or not at all: a character outside Latin-1 would
    // become '?', and the switch would keep a secret nobody typed.
    void secretsMustBeLatin1_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("get");
        QTest::addColumn<TBytes>("reply");
        QTest::addColumn<int>("row");           // selected before typing; -1: none
        QTest::addColumn<QStringList>("typed"); // control, text, ...
        QTest::addColumn<QString>("button");
        const TBytes community = Concat(
            {Text32("public"), {0}, Text32("private"), {1}, Text32(""), {0}, Text32("ops"), {1}});
        const TBytes users = Concat({Text32("carol"), {1, 1}});
        const QString euro = QString::fromUtf8("pass€word");
        QTest::newRow("802.1x shared key")
            << RadiusPath << int(RadiusGet) << Radius << -1 << QStringList{"m_SharedKey", euro} << "m_Apply";
        QTest::newRow("community string")
            << CommunityPath << int(CommunityGet) << community << 1 << QStringList{"m_Community", euro} << "m_Apply";
        QTest::newRow("trap community") << TrapPath << int(TrapGet) << TBytes(4, 0) << -1
                                        << QStringList{"m_ServerIp", "10.0.0.5", "m_Community", euro} << "m_Add";
        QTest::newRow("adding a user, auth password")
            << UserPath << int(UserGet) << users << -1 << QStringList{"m_Username", "dave", "m_Auth", euro} << "m_Add";
        QTest::newRow("adding a user, privacy password")
            << UserPath << int(UserGet) << users << -1 << QStringList{"m_Username", "dave", "m_Privacy", euro}
            << "m_Add";
        QTest::newRow("adding a user, user name") << UserPath << int(UserGet) << users << -1
                                                  << QStringList{"m_Username", QString::fromUtf8("d€ve")} << "m_Add";
        QTest::newRow("deleting a user, privacy password")
            << UserPath << int(UserGet) << users << -1
            << QStringList{"m_Username", "carol", "m_Auth", "a", "m_Privacy", euro} << "m_Delete";
    }
    void secretsMustBeLatin1()
    {
        QFETCH(QString, path);
        QFETCH(int, get);
        QFETCH(TBytes, reply);
        QFETCH(int, row);
        QFETCH(QStringList, typed);
        QFETCH(QString, button);
        TDevice* a = AddLoggedIn(1);
        GetProperty<TPropertySnmp>(*a) = TPropertySnmp{true, svV3};
        QWidget* page = Load(qPrintable(path), uint16_t(get), reply, 0, {a});
        if (row >= 0)
            SelectRow(page, row);
        // Typed over the text, as keyClicks cannot type a character outside ASCII.
        auto type = [page](const QString& name, const QString& text) {
            Edit(page, name)->selectAll();
            for (QChar c : text)
                QTest::sendKeyEvent(QTest::Click, Edit(page, name), Qt::Key_unknown, QString(c), Qt::NoModifier);
        };
        for (qsizetype i = 0; i < typed.size(); i += 2)
            type(typed[i], typed[i + 1]);
        QVERIFY(Button(page, qPrintable(button))->isEnabled());
        Button(page, qPrintable(button))->click();
        QCOMPARE(
            m_Messages,
            QStringList{
                "not information: Only Latin-1 characters are allowed in user names and passwords on these switches."});
        QVERIFY(m_Fake->Sent.empty());

        // The same text in Latin-1 goes out as its 8-bit characters.
        m_Messages.clear();
        for (qsizetype i = 0; i < typed.size(); i += 2)
            type(typed[i], QString(typed[i + 1]).replace(QChar(0x20AC), QChar(0xE4)));
        Button(page, qPrintable(button))->click();
        QVERIFY(m_Messages.isEmpty());
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QVERIFY(ToQt(PayloadOf(m_Fake->Sent[0])).contains(QByteArray("\xe4")));
    }

    // Leaving the list pages empties their lists.
    void hidingEmptiesTheLists()
    {
        TDevice* d = AddLoggedIn(1);
        QWidget* mac = Load(MacPath, MacGet, MacList(3), 0, {d});
        QVERIFY(Frame()->ModuleOf(Frame()->FindNode(MacPath))->Hide(false));
        QVERIFY(ViewColumn(mac, 0).isEmpty());
        QWidget* ip = Load(IpPath, IpGet, AccessList(1, 0, 3), 0, {d});
        QVERIFY(Frame()->ModuleOf(Frame()->FindNode(IpPath))->Hide(false));
        QVERIFY(ListTexts(ip, "m_SecureIPs").isEmpty());
    }
};

QTEST_MAIN(TSecurityPagesTest)
#include "tst_security_pages.moc"
