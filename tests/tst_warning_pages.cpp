// The four warning pages, offscreen, driven through the main window: what they show from the
// records, the mode, address, account and validity rules, the SMTP message, the event page's
// chain of Gets and its usable paths, and the exact requests every Apply sends, to the
// devices whose ports and recipient slots fit.
#include "PageTests.h"

#include "core/DeviceType.h"
#include "net/AddressText.h"
#include "ui/Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace Intp;

namespace {

constexpr uint16_t FaultGet = 0x0900, FaultSet = 0x0901, SyslogGet = 0x0902, SyslogSet = 0x0903, SmtpGet = 0x0904,
                   SmtpSet = 0x0905, EventGet = 0x0906, EventSet = 0x0907;
constexpr int Ports = 8;      // of the known models
constexpr int Recipients = 6; // of the known models
const char* const FaultPath = "Warning/Fault Alarm";
const char* const SyslogPath = "Warning/Syslog Settings";
const char* const SmtpPath = "Warning/SMTP Settings";
const char* const EventPath = "Warning/Event Settings";

TBytes Field(const std::string& text, std::size_t width = 64)
{
    TBytes out(text.begin(), text.end());
    out.resize(width, 0);
    return out;
}

TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// SMTP settings with server 10.0.0.9, one recipient per slot.
TBytes SmtpReply(bool enabled, const std::string& account, const std::vector<std::string>& recipients)
{
    TBytes out = Concat(
        {{uint8_t(enabled)}, U32(0x0A000009), Field("alarm@plant.example"), Field("Switch alarm"), Field(account)});
    for (const std::string& slot : recipients)
        out = Concat({out, Field(slot)});
    return out;
}
const std::vector<std::string> SomeSlots = {"a@x.example", "", "b@x.example", "", "", ""};

TBytes EventReply(std::initializer_list<uint32_t> masks)
{
    TBytes out;
    for (uint32_t mask : masks)
        out = Concat({out, U32(mask)});
    return out;
}

QStringList Checked(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            texts << list->item(i)->text();
    return texts;
}

QStringList Texts(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

class TWarningPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    int m_SmallType = 0;

    // The event page of the devices after the SMTP, syslog and event replies for the first.
    QWidget* LoadEvents(std::initializer_list<TDevice*> devices, bool smtpEnabled, uint8_t syslogMode,
                        const TBytes& events)
    {
        QWidget* page = Load(EventPath, SmtpGet, SmtpReply(smtpEnabled, "", SomeSlots), 0, devices);
        Reply(*devices.begin(), SyslogGet, 0, Concat({{syslogMode}, U32(0x0A000002)}));
        Reply(*devices.begin(), EventGet, 0, events);
        m_Fake->Sent.clear();
        return page;
    }

private slots:
    void initTestCase()
    {
        TDeviceType small = FourPortType();
        small.RecipientCount = 3;
        m_SmallType = RegisterType(small, {"TEST-WARN-4P"});
    }
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

    void catalogue()
    {
        CheckCatalogued(FaultPath, "Fault Alarm", {});
        CheckCatalogued(SyslogPath, "Syslog Settings", {});
        CheckCatalogued(SmtpPath, "SMTP Settings", {});
        QWidget* events = PageAt(EventPath);
        QCOMPARE(Frame()->ModuleOf(Frame()->FindNode(EventPath))->GetName(), QString("Event Settings"));
        QCOMPARE(Child<QPushButton>(events, "m_Apply")->text(), QString("Apply"));
        for (const char* name : {"m_SysList", "m_PortList"})
            QCOMPARE(Child<QTreeWidget>(events, name)->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(Items(Child<QComboBox>(events, "m_PortSmtp")),
                 (QStringList{"Disable", "Link Up", "Link Down", "Link Up & Down"}));
        QCOMPARE(Items(Child<QComboBox>(PageAt(SyslogPath), "m_Mode")),
                 (QStringList{"Disable", "Client Only", "Server Only", "Both"}));
        QCOMPARE(Child<QLineEdit>(PageAt(SmtpPath), "m_Password")->echoMode(), QLineEdit::Password);
        QCOMPARE(Child<QLineEdit>(PageAt(SmtpPath), "m_Confirm")->echoMode(), QLineEdit::Password);
    }

    void pagesWithoutDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("fault") << FaultPath
                               << QStringList{"m_Label1", "m_SysList", "m_Label2", "m_PortList", "m_Apply"};
        QTest::newRow("syslog") << SyslogPath << QStringList{"m_Label1", "m_Mode", "m_Label2", "m_Address", "m_Apply"};
        QTest::newRow("SMTP") << SmtpPath << QStringList{"m_Mode",       "m_Address",  "m_Sender",
                                                         "m_Recipients", "m_Password", "m_Apply"};
        QTest::newRow("events") << EventPath << QStringList{"m_SysList",    "m_PortList", "m_SysSyslog", "m_SysSmtp",
                                                            "m_PortSyslog", "m_PortSmtp", "m_Apply"};
    }
    void pagesWithoutDevice()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, controls);
        QWidget* page = Unselected(path.toLatin1().constData());
        CheckEnabled(page, controls, false);
        for (QTreeWidget* list : page->findChildren<QTreeWidget*>())
            QCOMPARE(list->topLevelItemCount(), 0);
        if (auto* ports = page->findChild<QListWidget*>("m_PortList"))
            QCOMPARE(ports->count(), 0);
    }

    // Checks from both masks; the Set reaches every device, each with the ports it has.
    void faultAlarm()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TDevice* c = AddLoggedIn(3);
        QWidget* page = Load(FaultPath, FaultGet, Concat({U32(2), U32(0x81)}), 0, {a, small, c});
        auto* system = Child<QListWidget>(page, "m_SysList");
        auto* ports = Child<QListWidget>(page, "m_PortList");
        QCOMPARE(Texts(system), (QStringList{"Power 1 Failure", "Power 2 Failure"}));
        QCOMPARE(Checked(system), QStringList{"Power 2 Failure"});
        QCOMPARE(Texts(ports), PortCaptions(Ports));
        QCOMPARE(Checked(ports), (QStringList{"Port.01", "Port.08"}));
        system->item(0)->setCheckState(Qt::Checked);
        ports->item(1)->setCheckState(Qt::Checked);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes masks = Concat({U32(3), U32(0x83)});
        QCOMPARE(TakeRequests(),
                 (QStringList{Request(FaultSet, a, masks), Request(FaultSet, small, Concat({U32(3), U32(0x03)})),
                              Request(FaultSet, c, masks)}));

        // A refused Get leaves no checks.
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, FaultGet, 5, Concat({U32(3), U32(0xFF)}));
        QVERIFY(Checked(system).isEmpty());
        QVERIFY(Checked(ports).isEmpty());
        QCOMPARE(ports->count(), Ports);
    }

    // The mode rule, the address rule and what Apply sends for each mode.
    void syslogSettings_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("addressOn");
        QTest::addColumn<bool>("applyOn");
        QTest::newRow("disable") << 0 << "0.0.0.0" << false << true;
        QTest::newRow("client only") << 1 << "0.0.0.0" << false << true;
        QTest::newRow("server only without address") << 2 << "0.0.0.0" << true << false;
        QTest::newRow("server only") << 2 << "192.168.1.5" << true << true;
        QTest::newRow("both with broadcast") << 3 << "255.255.255.255" << true << false;
        QTest::newRow("both with loopback") << 3 << "127.0.0.1" << true << false;
        QTest::newRow("both") << 3 << "10.1.2.3" << true << true;
    }
    void syslogSettings()
    {
        QFETCH(int, mode);
        QFETCH(QString, address);
        QFETCH(bool, addressOn);
        QFETCH(bool, applyOn);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(SyslogPath, SyslogGet, Concat({{1}, U32(0xC0000263)}), 0, {a, b});
        auto* box = Child<QComboBox>(page, "m_Mode");
        auto* edit = Child<QLineEdit>(page, "m_Address");
        QCOMPARE(box->currentText(), QString("Client Only"));
        QCOMPARE(edit->text(), QString("192.0.2.99"));
        box->setCurrentIndex(mode);
        edit->setText(address);
        CheckEnabled(page, {"m_Address", "m_Label2"}, addressOn);
        CheckEnabled(page, {"m_Apply"}, applyOn);
        if (!applyOn)
            return;
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes payload = Concat({{uint8_t(mode)}, U32(AddressOf(address))});
        QCOMPARE(TakeRequests(), (QStringList{Request(SyslogSet, a, payload), Request(SyslogSet, b, payload)}));
    }

    // Leaving the address shows its dotted form; mode 4 leaves the choice empty and Apply
    // off; a refused record shows "Disable" and 0.0.0.0.
    void syslogOddRecords()
    {
        TDevice* a = AddLoggedIn(1);
        QWidget* page = Load(SyslogPath, SyslogGet, Concat({{2}, U32(0)}), 0, {a});
        auto* edit = Child<QLineEdit>(page, "m_Address");
        edit->setText("10.1.258");
        emit edit->editingFinished();
        QCOMPARE(edit->text(), QString("10.1.1.2"));

        Frame()->SelectedPage()->Refresh(true);
        Reply(a, SyslogGet, 0, Concat({{4}, U32(0x0A000001)}));
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentIndex(), -1);
        CheckEnabled(page, {"m_Apply", "m_Address"}, false);

        Frame()->SelectedPage()->Refresh(true);
        Reply(a, SyslogGet, 0, Concat({{5}, U32(0x0A000001)}));
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentText(), QString("Disable"));
        QCOMPARE(edit->text(), QString("0.0.0.0"));
        CheckEnabled(page, {"m_Apply"}, true);
    }

    void smtpShowsRecord()
    {
        QWidget* page = Load(SmtpPath, SmtpGet, SmtpReply(true, "ops", SomeSlots), 0, {AddLoggedIn(1)});
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentText(), QString("Enable"));
        QCOMPARE(Child<QLineEdit>(page, "m_Address")->text(), QString("10.0.0.9"));
        QCOMPARE(Child<QLineEdit>(page, "m_Sender")->text(), QString("alarm@plant.example"));
        QCOMPARE(Child<QLineEdit>(page, "m_Subject")->text(), QString("Switch alarm"));
        QCOMPARE(Child<QLineEdit>(page, "m_Account")->text(), QString("ops"));
        QCOMPARE(Child<QPlainTextEdit>(page, "m_Recipients")->toPlainText(), QString("a@x.example\nb@x.example"));
        CheckEnabled(page, {"m_Password", "m_Confirm", "m_Label6", "m_Label7", "m_Sender"}, true);
        // The password is never read back, so Apply waits for it.
        CheckEnabled(page, {"m_Apply"}, false);

        // 580 bytes (five slots) are refused: the empty form.
        Frame()->SelectedPage()->Refresh(true);
        Reply(FirstDevice(), SmtpGet, 0, TBytes(580, 1));
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentText(), QString("Disable"));
        QVERIFY(Child<QLineEdit>(page, "m_Sender")->text().isEmpty());
        CheckEnabled(page, {"m_Sender", "m_Recipients", "m_Password"}, false);
        CheckEnabled(page, {"m_Apply"}, true);

        // Leaving the page empties the recipients.
        Child<QComboBox>(page, "m_Mode")->setCurrentIndex(1);
        Child<QPlainTextEdit>(page, "m_Recipients")->setPlainText("c@x.example");
        Open(FaultPath);
        QVERIFY(Child<QPlainTextEdit>(page, "m_Recipients")->toPlainText().isEmpty());
    }

    // The validity rule under "Enable": each case changes one thing of a valid form.
    void smtpValidity_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("applyOn");
        QTest::newRow("valid") << ""
                               << "" << true;
        QTest::newRow("no sender") << "m_Sender"
                                   << "" << false;
        QTest::newRow("no subject") << "m_Subject"
                                    << "" << false;
        QTest::newRow("server 0.0.0.0") << "m_Address"
                                        << "0.0.0.0" << false;
        QTest::newRow("account without password") << "m_Account"
                                                  << "ops" << false;
        QTest::newRow("no recipient") << "m_Recipients"
                                      << "" << false;
        QTest::newRow("six recipients") << "m_Recipients"
                                        << "1\n2\n3\n4\n5\n6" << true;
        QTest::newRow("seven recipients") << "m_Recipients"
                                          << "1\n2\n3\n4\n5\n6\n7" << false;
        QTest::newRow("blank lines are no recipients") << "m_Recipients"
                                                       << "1\n\n2\n\n3\n4\n5\n6\n"
                                                       << true;
    }
    void smtpValidity()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, applyOn);
        QWidget* page = Load(SmtpPath, SmtpGet, SmtpReply(true, "", SomeSlots), 0, {AddLoggedIn(1)});
        CheckEnabled(page, {"m_Apply"}, true);
        CheckEnabled(page, {"m_Password", "m_Confirm"}, false);
        if (field == "m_Recipients")
            Child<QPlainTextEdit>(page, field)->setPlainText(text);
        else if (!field.isEmpty())
            Child<QLineEdit>(page, field)->setText(text);
        CheckEnabled(page, {"m_Apply"}, applyOn);
        // Under "Disable" nothing is checked.
        Child<QComboBox>(page, "m_Mode")->setCurrentIndex(0);
        CheckEnabled(page, {"m_Apply"}, true);
    }

    // An account needs a password typed twice the same; clearing the account is enough too.
    void smtpAccountRule()
    {
        QWidget* page = Load(SmtpPath, SmtpGet, SmtpReply(true, "ops", SomeSlots), 0, {AddLoggedIn(1)});
        auto* password = Child<QLineEdit>(page, "m_Password");
        auto* confirm = Child<QLineEdit>(page, "m_Confirm");
        password->setText("pw");
        CheckEnabled(page, {"m_Apply"}, false);
        confirm->setText("pW");
        CheckEnabled(page, {"m_Apply"}, false);
        confirm->setText("pw");
        CheckEnabled(page, {"m_Apply"}, true);
        password->clear();
        Child<QLineEdit>(page, "m_Account")->clear();
        CheckEnabled(page, {"m_Password", "m_Confirm", "m_Label6", "m_Label7"}, false);
        CheckEnabled(page, {"m_Apply"}, true);
    }

    // Seven lines under "Disable": only the first six go out; the device with three slots
    // receives nothing.
    void smtpApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        QWidget* page = Load(SmtpPath, SmtpGet, SmtpReply(true, "ops", SomeSlots), 0, {a, small});
        Child<QLineEdit>(page, "m_Password")->setText("secret");
        Child<QLineEdit>(page, "m_Confirm")->setText("secret");
        Child<QPlainTextEdit>(page, "m_Recipients")->setPlainText("1@x\n2@x\n3@x\n4@x\n5@x\n6@x\n7@x");
        CheckEnabled(page, {"m_Apply"}, false);
        Child<QComboBox>(page, "m_Mode")->setCurrentIndex(0);
        Child<QPushButton>(page, "m_Apply")->click();
        TBytes payload = Concat({{0},
                                 U32(0x0A000009),
                                 Field("alarm@plant.example"),
                                 Field("Switch alarm"),
                                 Field("ops"),
                                 Field("secret", 32)});
        for (const char* r : {"1@x", "2@x", "3@x", "4@x", "5@x", "6@x"})
            payload = Concat({payload, Field(r)});
        QCOMPARE(payload.size(), std::size_t(229 + 64 * Recipients));
        QCOMPARE(TakeRequests(), QStringList{Request(SmtpSet, a, payload)});
        QVERIFY(m_Messages.isEmpty());
    }

    void smtpAddressTooLong()
    {
        QWidget* page = Load(SmtpPath, SmtpGet, SmtpReply(true, "", SomeSlots), 0, {AddLoggedIn(1)});
        Child<QPlainTextEdit>(page, "m_Recipients")->setPlainText("a@x\n" + QString(65, 'r'));
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(m_Messages, QStringList{"E-mail address too long!"});
        QVERIFY(TakeRequests().isEmpty());
        Child<QPlainTextEdit>(page, "m_Recipients")->setPlainText(QString(64, 'r'));
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests().size(), 1);
    }

    // SMTP settings, then syslog settings, then the events; a refused SMTP record ends the
    // chain and the page shows what it has.
    void eventChain()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        Open(EventPath);
        QCOMPARE(TakeSent(), (TSentList{To(SmtpGet, a), To(SmtpGet, b)}));
        Reply(b, SmtpGet, 0, SmtpReply(true, "", SomeSlots));
        QCOMPARE(TakeSent(), TSentList{To(SyslogGet, b)});
        Reply(b, SyslogGet, 0, Concat({{1}, U32(1)}));
        QCOMPARE(TakeSent(), TSentList{To(EventGet, b)});
        Reply(a, SmtpGet, 0, TBytes(580, 0));
        QVERIFY(TakeSent().isEmpty());
        QWidget* page = PageAt(EventPath);
        QVERIFY(!page->isHidden());
        QCOMPARE(Column(Child<QTreeWidget>(page, "m_SysList"), 0),
                 (QStringList{"System Cold Start", "Power Status", "SNMP Authentication Failure",
                              "Vantor Ring Topology Change"}));
        QCOMPARE(Column(Child<QTreeWidget>(page, "m_PortList"), 0), PortCaptions(Ports));
        CheckEnabled(page, {"m_Apply"}, false);

        // Refresh(false) asks for the events alone.
        QCOMPARE(Frame()->SelectedPage()->Refresh(false), 2);
        QCOMPARE(TakeSent(), (TSentList{To(EventGet, a), To(EventGet, b)}));
    }

    // Neither path usable: every row, but no drop-down and no Apply.
    void eventsWithoutPaths()
    {
        QWidget* page = LoadEvents({AddLoggedIn(1)}, false, 0, EventReply({0x5, 0x1, 0x2, 0, 0, 0}));
        auto* system = Child<QTreeWidget>(page, "m_SysList");
        QCOMPARE(Column(system, 1), (QStringList{"Enable", "Disable", "Enable", "Disable"}));
        QCOMPARE(Column(Child<QTreeWidget>(page, "m_PortList"), 1).mid(0, 3),
                 (QStringList{"Link Up", "Link Down", "Disable"}));
        system->setCurrentItem(system->topLevelItem(0));
        CheckEnabled(page, {"m_SysSyslog", "m_SysSmtp", "m_SysSyslogLabel", "m_SysSmtpLabel", "m_Apply"}, false);
        emit system->header()->sectionClicked(1);
        QCOMPARE(Column(system, 1), (QStringList{"Enable", "Disable", "Enable", "Disable"}));
    }

    // Syslog usable only: its drop-downs follow the selected row, its header cycles from the
    // first row's value; "Link Up & Down" sets both masks; the 4-port device gets the system
    // events and its own four ports of the masks.
    void eventsEditAndApply()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        QWidget* page = LoadEvents({a, small}, false, 3, EventReply({0x1, 0, 0x80, 0x2, 0x1, 0}));
        auto* ports = Child<QTreeWidget>(page, "m_PortList");
        auto* syslog = Child<QComboBox>(page, "m_PortSyslog");
        CheckEnabled(page, {"m_Apply"}, true);
        CheckEnabled(page, {"m_PortSyslog"}, false);
        ports->setCurrentItem(ports->topLevelItem(7));
        CheckEnabled(page, {"m_PortSyslog", "m_PortSyslogLabel"}, true);
        CheckEnabled(page, {"m_PortSmtp", "m_PortSmtpLabel"}, false);
        QCOMPARE(syslog->currentText(), QString("Link Down"));

        emit ports->header()->sectionClicked(2);
        QCOMPARE(Column(ports, 2), QStringList{"Link Up"} + QStringList(Ports - 1, "Disable"));
        emit ports->header()->sectionClicked(1);
        QCOMPARE(Column(ports, 1), QStringList(Ports, "Link Up"));
        emit ports->header()->sectionClicked(1);
        QCOMPARE(Column(ports, 1), QStringList(Ports, "Link Down"));
        ports->setCurrentItem(ports->topLevelItem(1));
        syslog->setCurrentIndex(3);
        QCOMPARE(ports->topLevelItem(1)->text(1), QString("Link Up & Down"));

        auto* system = Child<QTreeWidget>(page, "m_SysList");
        system->setCurrentItem(system->topLevelItem(3));
        Child<QComboBox>(page, "m_SysSyslog")->setCurrentIndex(1);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes masks = EventReply({0x9, 0x02, 0xFF, 0x2, 0x1, 0});
        QCOMPARE(TakeRequests(),
                 (QStringList{Request(EventSet, a, masks),
                              Request(EventSet, small, EventReply({0x9, 0x02, 0x0F, 0x2, 0x1, 0}))}));
    }

private:
    TDevice* FirstDevice() { return Registry::Find(Mac(1), false); }
};

QTEST_MAIN(TWarningPagesTest)
#include "tst_warning_pages.moc"
