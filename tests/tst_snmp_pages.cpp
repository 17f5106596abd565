// The four SNMP pages, offscreen, driven through the main window: their controls and texts,
// what they show from the records, the version-3 rule of the user page, editing and cycling
// the community rows, the user and receiver rules and messages, sorting, and the exact
// requests every button sends.
#include "PageTests.h"

#include "core/Snmp.h"
#include "ui/Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Intp;

namespace {

constexpr uint16_t SnmpGet = 0x0700;
constexpr uint16_t SnmpSet = 0x0701;
constexpr uint16_t CommunityGet = 0x0702;
constexpr uint16_t CommunitySet = 0x0703;
constexpr uint16_t UserGet = 0x0704;
constexpr uint16_t UserAdd = 0x0705;
constexpr uint16_t UserDel = 0x0706;
constexpr uint16_t TrapGet = 0x0707;
constexpr uint16_t TrapAdd = 0x0708;
constexpr uint16_t TrapDel = 0x0709;

const char* const SnmpPath = "SNMP";
const char* const CommunityPath = "SNMP/Community";
const char* const UserPath = "SNMP/SNMPv3 User";
const char* const TrapPath = "SNMP/Trap Settings";

using TBytes = std::vector<uint8_t>;

TBytes Field(const std::string& text)
{
    TBytes out(text.begin(), text.end());
    out.resize(32, 0);
    return out;
}

TBytes Concat(std::initializer_list<TBytes> parts)
{
    TBytes out;
    for (const TBytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The hex text of a 32-byte field, as the requests list it.
QString FieldHex(const std::string& text) { return QString::fromLatin1(ToQt(Field(text)).toHex(' ')); }

// Slots "public" read only, "private" read and write, an empty one, "ops" read and write.
const TBytes CommunityReply = Concat({Field("public"), {0}, Field("private"), {1}, Field(""), {0}, Field("ops"), {1}});

struct TUser {
    std::string Name;
    uint8_t Auth, Privacy;
};
TBytes UserReply(const std::vector<TUser>& users)
{
    TBytes out;
    for (const TUser& u : users)
        out = Concat({out, Field(u.Name), {u.Auth, u.Privacy}});
    return out;
}
const std::vector<TUser> SomeUsers = {{"bob", 1, 0}, {"", 1, 1}, {"Alice", 0, 0}, {"carol", 1, 1}};

struct TTrap {
    uint32_t Address;
    std::string Community;
    uint8_t Version;
};
TBytes TrapReply(const std::vector<TTrap>& traps)
{
    TBytes out = {0, 0, 0, 0};
    for (const TTrap& t : traps)
        out = Concat({out,
                      {uint8_t(t.Address >> 24), uint8_t(t.Address >> 16), uint8_t(t.Address >> 8), uint8_t(t.Address)},
                      Field(t.Community),
                      {t.Version}});
    return out;
}
// 10.0.0.9 sorts before 10.0.0.10 by address and after it by text; the unused slot at
// 0.0.0.0 is no row.
const std::vector<TTrap> SomeTraps = {
    {0x0A00000A, "beta", 1}, {0, "unused", 0}, {0x0A000009, "Alpha", 0}, {0xC0A80001, "gamma", 1}};

const QStringList UserControls = {"m_List", "m_UsernameLabel", "m_Username", "m_AuthLabel",
                                  "m_Auth", "m_PrivacyLabel",  "m_Privacy"};
const QStringList TrapControls = {"m_List",      "m_Label1", "m_ServerIp", "m_Label2",
                                  "m_Community", "m_Label3", "m_V1",       "m_V2C"};

} // namespace

class TSnmpPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    int m_TwoSlotType = 0;

    // The page at path open on the selected devices, loaded for the first from the reply.
    QWidget* Load(const char* path, uint16_t get, const TBytes& payload, uint16_t status,
                  std::initializer_list<TDevice*> devices)
    {
        Select(devices);
        QWidget* page = Open(path);
        Reply(*devices.begin(), get, status, payload);
        m_Fake->Sent.clear();
        return page;
    }
    QWidget* Unselected(const char* path)
    {
        TModule* module = Frame()->ModuleOf(Frame()->FindNode(path));
        module->Notify(nullptr, ncSelect, 0);
        return module->GetControl();
    }
    static void SetAgent(TDevice* d, bool valid, uint8_t version)
    {
        GetProperty<TPropertySnmp>(*d) = TPropertySnmp{valid, version};
    }
    static QLineEdit* Edit(QWidget* page, const char* name) { return Child<QLineEdit>(page, name); }
    static QPushButton* Button(QWidget* page, const char* name) { return Child<QPushButton>(page, name); }
    static QString Text(QWidget* page, const QString& name) { return Child<QLabel>(page, name)->text(); }
    // A version-3 switch whose user page shows SomeUsers.
    QWidget* UserPage(std::initializer_list<TDevice*> devices)
    {
        for (TDevice* d : devices)
            SetAgent(d, true, svV3);
        return Load(UserPath, UserGet, UserReply(SomeUsers), 0, devices);
    }

private slots:
    void initTestCase()
    {
        TDeviceType two;
        two.Description = "two-community test switch";
        two.PortCount = 8;
        two.CommunityCount = 2;
        m_TwoSlotType = RegisterType(two, {"TEST-2C"});
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
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("SNMP") << SnmpPath << "SNMP" << QStringList{};
        QTest::newRow("Community") << CommunityPath << "Community" << QStringList{"", "Community String", "Privilege"};
        QTest::newRow("SNMPv3 User") << UserPath << "SNMPv3 User"
                                     << QStringList{"", "User Name", "Auth Password", "Privacy Password"};
        QTest::newRow("Trap Settings") << TrapPath << "Trap Settings"
                                       << QStringList{"", "Server IP", "Community", "Trap Version"};
    }
    void pagesInTheCatalogue()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QStringList, columns);
        CheckCatalogued(path, caption, columns);
        if (QTest::currentTestFailed())
            return;
        QWidget* page = PageAt(path);
        if (!columns.isEmpty())
            QCOMPARE(ListOf(page)->selectionBehavior(), QAbstractItemView::SelectRows);
        if (auto* add = page->findChild<QPushButton*>("m_Add")) {
            QCOMPARE(add->text(), QString("&Add"));
            QCOMPARE(Button(page, "m_Delete")->text(), QString("&Delete"));
            QCOMPARE(add->icon().cacheKey(), Icon(TImage::Add).cacheKey());
            QCOMPARE(Button(page, "m_Delete")->icon().cacheKey(), Icon(TImage::Remove).cacheKey());
        }
    }

    void controlsAndTheirTexts()
    {
        QWidget* snmp = Unselected(SnmpPath);
        QCOMPARE(Text(snmp, "m_Label1"), QString("Agent &Version:"));
        QCOMPARE(Items(Child<QComboBox>(snmp, "m_Version")), QStringList({"SNMP V1/V2c", "SNMP V3"}));

        QWidget* community = Unselected(CommunityPath);
        QCOMPARE(Text(community, "m_CommunityLabel"), QString("&Community:"));
        QCOMPARE(Text(community, "m_PrivilegeLabel"), QString("&Privilege:"));
        QCOMPARE(Items(Child<QComboBox>(community, "m_Privilege")), QStringList({"Read Only", "Read And Write"}));

        QWidget* user = Unselected(UserPath);
        const QList<QPair<const char*, QString>> userLabels = {{"m_UsernameLabel", "User &Name:"},
                                                               {"m_AuthLabel", "A&uth Password:"},
                                                               {"m_PrivacyLabel", "&Privacy Password:"}};
        for (const auto& [name, text] : userLabels)
            QCOMPARE(Text(user, name), text);
        for (const char* name : {"m_Username", "m_Auth", "m_Privacy"})
            QCOMPARE(Edit(user, name)->maxLength(), 32);
        QCOMPARE(Edit(user, "m_Username")->echoMode(), QLineEdit::Normal);
        QCOMPARE(Edit(user, "m_Auth")->echoMode(), QLineEdit::Password);
        QCOMPARE(Edit(user, "m_Privacy")->echoMode(), QLineEdit::Password);

        QWidget* trap = Unselected(TrapPath);
        const QList<QPair<const char*, QString>> trapLabels = {
            {"m_Label1", "Server &IP:"}, {"m_Label2", "&Community:"}, {"m_Label3", "&Trap Version:"}};
        for (const auto& [name, text] : trapLabels)
            QCOMPARE(Text(trap, name), text);
        QCOMPARE(Edit(trap, "m_ServerIp")->maxLength(), 15);
        QCOMPARE(Edit(trap, "m_Community")->maxLength(), 32);
        QCOMPARE(Child<QRadioButton>(trap, "m_V1")->text(), QString("V1"));
        QCOMPARE(Child<QRadioButton>(trap, "m_V2C")->text(), QString("V2c"));
    }

    // The version of a valid record, "SNMP V1/V2c" otherwise; applied to every selected switch.
    void snmpPage_data()
    {
        QTest::addColumn<TBytes>("payload");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("shown");
        QTest::newRow("version 3") << TBytes{1} << 0 << 1;
        QTest::newRow("version 1/2c") << TBytes{0} << 0 << 0;
        QTest::newRow("version 2 refused") << TBytes{2} << 0 << 0;
        QTest::newRow("error status") << TBytes{1} << 5 << 0;
    }
    void snmpPage()
    {
        QFETCH(TBytes, payload);
        QFETCH(int, status);
        QFETCH(int, shown);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(SnmpPath, SnmpGet, payload, uint16_t(status), {a, b});
        QVERIFY(Shown(page));
        auto* version = Child<QComboBox>(page, "m_Version");
        QCOMPARE(version->currentIndex(), shown);
        CheckEnabled(page, {"m_Label1", "m_Version", "m_Apply"}, true);
        version->setCurrentIndex(1 - shown);
        Button(page, "m_Apply")->click();
        const QString byte = QStringLiteral("%1").arg(1 - shown, 2, 10, QLatin1Char('0'));
        QCOMPARE(TakeRequests(), QStringList({Request(SnmpSet, a, {}) + byte, Request(SnmpSet, b, {}) + byte}));
    }

    void pagesWithoutDevice()
    {
        CheckEnabled(Unselected(SnmpPath), {"m_Label1", "m_Version", "m_Apply"}, false);
        CheckEnabled(Unselected(CommunityPath),
                     {"m_ListView", "m_Apply", "m_CommunityLabel", "m_Community", "m_PrivilegeLabel", "m_Privilege"},
                     false);
        CheckEnabled(Unselected(UserPath), UserControls + QStringList{"m_Add", "m_Delete"}, false);
        CheckEnabled(Unselected(TrapPath), TrapControls + QStringList{"m_Add", "m_Delete"}, false);
    }

    // One row per slot of the device type, empty and read only without a valid record.
    void communityRows_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<TBytes>("payload");
        QTest::addColumn<QList<QStringList>>("rows");
        const QList<QStringList> empty = {
            {"0", "", "Read Only"}, {"1", "", "Read Only"}, {"2", "", "Read Only"}, {"3", "", "Read Only"}};
        QTest::newRow("132 bytes") << 0 << CommunityReply
                                   << QList<QStringList>{{"0", "public", "Read Only"},
                                                         {"1", "private", "Read And Write"},
                                                         {"2", "", "Read Only"},
                                                         {"3", "ops", "Read And Write"}};
        QTest::newRow("131 bytes") << 0 << TBytes(CommunityReply.begin(), CommunityReply.end() - 1) << empty;
        QTest::newRow("error status") << 5 << CommunityReply << empty;
    }
    void communityRows()
    {
        QFETCH(int, status);
        QFETCH(TBytes, payload);
        QFETCH(QList<QStringList>, rows);
        QWidget* page = Load(CommunityPath, CommunityGet, payload, uint16_t(status), {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), rows.size());
        for (int row = 0; row < rows.size(); ++row)
            QCOMPARE(Cells(page, row), rows[row]);
        CheckEnabled(page, {"m_ListView", "m_Apply"}, true);
        CheckEnabled(page, {"m_CommunityLabel", "m_Community", "m_PrivilegeLabel", "m_Privilege"}, false);
    }

    // Editing a row, cycling the privileges, and the block every switch with four slots gets.
    void communityEditAndApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        TDevice* two = AddLoggedIn(3, m_TwoSlotType);
        QWidget* page = Load(CommunityPath, CommunityGet, CommunityReply, 0, {a, two, b});
        SelectRow(page, 2);
        CheckEnabled(page, {"m_CommunityLabel", "m_Community", "m_PrivilegeLabel", "m_Privilege"}, true);
        QCOMPARE(Edit(page, "m_Community")->text(), QString(""));
        QTest::keyClicks(Edit(page, "m_Community"), "monitor");
        Child<QComboBox>(page, "m_Privilege")->setCurrentIndex(1);
        QCOMPARE(Cells(page, 2), QStringList({"2", "monitor", "Read And Write"}));
        SelectRow(page, 1);
        QCOMPARE(Edit(page, "m_Community")->text(), QString("private"));
        QCOMPARE(Child<QComboBox>(page, "m_Privilege")->currentIndex(), 1);

        ClickHeader(page, 1);
        QCOMPARE(Column(page, 2), QStringList({"Read Only", "Read And Write", "Read And Write", "Read And Write"}));
        // The first row is read only: every row becomes read and write, and back.
        ClickHeader(page, 2);
        QCOMPARE(Column(page, 2), QStringList(4, "Read And Write"));
        QCOMPARE(Child<QComboBox>(page, "m_Privilege")->currentIndex(), 1);
        ClickHeader(page, 2);
        QCOMPARE(Column(page, 2), QStringList(4, "Read Only"));
        QCOMPARE(Child<QComboBox>(page, "m_Privilege")->currentIndex(), 0);

        // A string of 33 characters is cut to 32 without a terminator.
        SelectRow(page, 0);
        Edit(page, "m_Community")->selectAll();
        QTest::keyClicks(Edit(page, "m_Community"), QString(33, 'x'));
        Button(page, "m_Apply")->click();
        const QString block = FieldHex(std::string(32, 'x')) + " 00 " + FieldHex("private") + " 00 " +
            FieldHex("monitor") + " 00 " + FieldHex("ops") + " 00";
        QCOMPARE(TakeRequests(),
                 QStringList({Request(CommunitySet, a, {}) + block, Request(CommunitySet, b, {}) + block}));
    }

    // The page is usable only with a valid agent record of version 3 in the cache.
    void userPageNeedsVersion3_data()
    {
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("usable");
        QTest::newRow("version 3") << true << 1 << true;
        QTest::newRow("version 1/2c") << true << 0 << false;
        QTest::newRow("version 3, record not valid") << false << 1 << false;
    }
    void userPageNeedsVersion3()
    {
        QFETCH(bool, valid);
        QFETCH(int, version);
        QFETCH(bool, usable);
        TDevice* d = AddLoggedIn(1);
        SetAgent(d, valid, uint8_t(version));
        QWidget* page = Load(UserPath, UserGet, UserReply(SomeUsers), 0, {d});
        QVERIFY(Shown(page));
        // The users were read either way; the agent record is never asked for here.
        QCOMPARE(GetProperty<TPropertySnmpUser>(*d).Entries.size(), SomeUsers.size());
        CheckEnabled(page, UserControls, usable);
        QCOMPARE(ListOf(page)->topLevelItemCount(), usable ? 3 : 0);
        // A name typed before the redraw: the buttons follow it only while usable.
        Edit(page, "m_Username")->setText("x");
        dynamic_cast<TModule*>(page)->Notify(d, UserGet, 0);
        CheckEnabled(page, {"m_Add", "m_Delete"}, usable);
    }

    void userRowsAndNameRule()
    {
        QWidget* page = UserPage({AddLoggedIn(1)});
        QCOMPARE(Cells(page, 0), QStringList({"1", "bob", "Enabled", "Disabled"}));
        QCOMPARE(Cells(page, 1), QStringList({"2", "Alice", "Disabled", "Disabled"}));
        QCOMPARE(Cells(page, 2), QStringList({"3", "carol", "Enabled", "Enabled"}));
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        Edit(page, "m_Auth")->setText("secret1");
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        SelectRow(page, 2);
        QCOMPARE(Edit(page, "m_Username")->text(), QString("carol"));
        QCOMPARE(Edit(page, "m_Auth")->text(), QString());
        CheckEnabled(page, {"m_Add", "m_Delete"}, true);
        Edit(page, "m_Username")->clear();
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
    }

    // Header clicks sort ascending, a second click on the same header descending.
    void userSorting()
    {
        QWidget* page = UserPage({AddLoggedIn(1)});
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList({"Alice", "bob", "carol"}));
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList({"carol", "bob", "Alice"}));
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), QStringList({"1", "2", "3"}));
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), QStringList({"3", "2", "1"}));
    }

    // Add refuses a name the list shows; Delete needs the row and the passwords it has set.
    void userAddAndDelete_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("privacy");
        QTest::addColumn<QString>("message"); // empty: sent
        QTest::newRow("add a new user") << "m_Add"
                                        << "dave"
                                        << "authpass"
                                        << "privpass"
                                        << "";
        QTest::newRow("add an existing user") << "m_Add"
                                              << "bob"
                                              << "x"
                                              << ""
                                              << "Entry already exists!";
        QTest::newRow("names differ in case") << "m_Add"
                                              << "Bob"
                                              << ""
                                              << ""
                                              << "";
        QTest::newRow("delete an unknown user") << "m_Delete"
                                                << "dave"
                                                << ""
                                                << ""
                                                << "Entry not found!";
        QTest::newRow("delete without auth password") << "m_Delete"
                                                      << "carol"
                                                      << ""
                                                      << "p"
                                                      << "Auth Password needed!";
        QTest::newRow("delete without privacy password") << "m_Delete"
                                                         << "carol"
                                                         << "a"
                                                         << ""
                                                         << "Privacy Password needed!";
        QTest::newRow("delete with both passwords") << "m_Delete"
                                                    << "carol"
                                                    << "a"
                                                    << "p"
                                                    << "";
        QTest::newRow("delete, passwords not set") << "m_Delete"
                                                   << "Alice"
                                                   << ""
                                                   << ""
                                                   << "";
        QTest::newRow("delete, auth only set") << "m_Delete"
                                               << "bob"
                                               << "a"
                                               << ""
                                               << "";
    }
    void userAddAndDelete()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, auth);
        QFETCH(QString, privacy);
        QFETCH(QString, message);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = UserPage({a, b});
        Edit(page, "m_Username")->setText(name);
        Edit(page, "m_Auth")->setText(auth);
        Edit(page, "m_Privacy")->setText(privacy);
        Button(page, qPrintable(button))->click();
        if (!message.isEmpty()) {
            QCOMPARE(m_Messages, QStringList{message});
            QVERIFY(m_Fake->Sent.empty());
            return;
        }
        QVERIFY(m_Messages.isEmpty());
        const uint16_t command = button == "m_Add" ? UserAdd : UserDel;
        const QString block = FieldHex(name.toStdString()) + ' ' + FieldHex(auth.toStdString()) + ' ' +
            FieldHex(privacy.toStdString());
        QCOMPARE(TakeRequests(), QStringList({Request(command, a, {}) + block, Request(command, b, {}) + block}));
    }

    // The reply to an Add brings the Get again, and the page shows its answer.
    void userPageRedrawsAfterAdd()
    {
        TDevice* d = AddLoggedIn(1);
        QWidget* page = UserPage({d});
        Edit(page, "m_Username")->setText("dave");
        Button(page, "m_Add")->click();
        m_Fake->Sent.clear();
        Reply(d, UserAdd, 0);
        QCOMPARE(TakeRequests(), QStringList{Request(UserGet, d, {0, 0, 0, 0})});
        Reply(d, UserGet, 0, UserReply({{"dave", 0, 0}}));
        QCOMPARE(Column(page, 1), QStringList{"dave"});
    }

    void userListEmptiedOnHide()
    {
        QWidget* page = UserPage({AddLoggedIn(1)});
        QVERIFY(dynamic_cast<TModule*>(page)->Hide(false));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
    }

    void trapRows()
    {
        QWidget* page = Load(TrapPath, TrapGet, TrapReply(SomeTraps), 0, {AddLoggedIn(1)});
        QVERIFY(Shown(page));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 3);
        QCOMPARE(Cells(page, 0), QStringList({"1", "10.0.0.10", "beta", "V2c"}));
        QCOMPARE(Cells(page, 1), QStringList({"2", "10.0.0.9", "Alpha", "V1"}));
        QCOMPARE(Cells(page, 2), QStringList({"3", "192.168.0.1", "gamma", "V2c"}));
        CheckEnabled(page, TrapControls, true);
        CheckEnabled(page, {"m_Add", "m_Delete"}, false);
        QCOMPARE(Edit(page, "m_ServerIp")->text(), QString("0.0.0.0"));
        QVERIFY(Child<QRadioButton>(page, "m_V1")->isChecked());
    }

    // A click makes the column the sort column and flips that column's own direction, the
    // first click ascending, whatever was clicked in between.
    void trapSorting()
    {
        QWidget* page = Load(TrapPath, TrapGet, TrapReply(SomeTraps), 0, {AddLoggedIn(1)});
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList({"10.0.0.9", "10.0.0.10", "192.168.0.1"}));
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList({"192.168.0.1", "10.0.0.10", "10.0.0.9"}));
        ClickHeader(page, 2);
        QCOMPARE(Column(page, 2), QStringList({"Alpha", "beta", "gamma"}));
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList({"10.0.0.9", "10.0.0.10", "192.168.0.1"}));
        ClickHeader(page, 2);
        QCOMPARE(Column(page, 2), QStringList({"gamma", "beta", "Alpha"}));
    }

    // Add for a valid receiver the list does not show, Delete for one it shows (by its text).
    void trapEntryRule_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("community");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("remove");
        QTest::newRow("new receiver") << "10.0.0.11"
                                      << "c" << true << false;
        QTest::newRow("shown receiver") << "10.0.0.9"
                                        << "c" << false << true;
        QTest::newRow("shown address, other text") << "10.0.0.09"
                                                   << "c" << false << false;
        QTest::newRow("no community") << "10.0.0.11"
                                      << "" << false << false;
        QTest::newRow("0.0.0.0") << "0.0.0.0"
                                 << "c" << false << false;
        QTest::newRow("broadcast") << "255.255.255.255"
                                   << "c" << false << false;
        QTest::newRow("not an address") << "ten"
                                        << "c" << false << false;
    }
    void trapEntryRule()
    {
        QFETCH(QString, address);
        QFETCH(QString, community);
        QFETCH(bool, add);
        QFETCH(bool, remove);
        QWidget* page = Load(TrapPath, TrapGet, TrapReply(SomeTraps), 0, {AddLoggedIn(1)});
        Edit(page, "m_ServerIp")->setText(address);
        Edit(page, "m_Community")->setText(community);
        QCOMPARE(Button(page, "m_Add")->isEnabled(), add);
        QCOMPARE(Button(page, "m_Delete")->isEnabled(), remove);
    }

    void trapSelectLeaveAndSend()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(TrapPath, TrapGet, TrapReply(SomeTraps), 0, {a, b});
        SelectRow(page, 0);
        QCOMPARE(Edit(page, "m_ServerIp")->text(), QString("10.0.0.10"));
        QCOMPARE(Edit(page, "m_Community")->text(), QString("beta"));
        QVERIFY(Child<QRadioButton>(page, "m_V2C")->isChecked());
        CheckEnabled(page, {"m_Delete"}, true);
        Button(page, "m_Delete")->click();
        QCOMPARE(TakeRequests(),
                 QStringList({Request(TrapDel, a, {}) + "0a 00 00 0a", Request(TrapDel, b, {}) + "0a 00 00 0a"}));

        // Leaving the address text writes the parsed address back in dotted form (013 is octal).
        Edit(page, "m_ServerIp")->setText("10.0.0.013");
        emit Edit(page, "m_ServerIp")->editingFinished();
        QCOMPARE(Edit(page, "m_ServerIp")->text(), QString("10.0.0.11"));
        Child<QRadioButton>(page, "m_V1")->setChecked(true);
        Button(page, "m_Add")->click();
        const QString entry = "0a 00 00 0b " + FieldHex("beta") + " 00";
        QCOMPARE(TakeRequests(), QStringList({Request(TrapAdd, a, {}) + entry, Request(TrapAdd, b, {}) + entry}));
    }

    void trapListEmptiedOnHide()
    {
        QWidget* page = Load(TrapPath, TrapGet, TrapReply(SomeTraps), 0, {AddLoggedIn(1)});
        QVERIFY(dynamic_cast<TModule*>(page)->Hide(false));
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TSnmpPagesTest)
#include "tst_snmp_pages.moc"
