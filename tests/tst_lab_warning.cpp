// The whole main window, offscreen, against an 8-port and a 4-port simulated switch in the
// lab network: the warning settings set on both through the four pages and read back from
// each switch on its own. The switches are given the workstation as syslog server, and their
// events then arrive in the console's syslog list. Masks naming port 8 reach the 4-port
// switch without it, with the system alarms and events intact.
#include "LabSupport.h"

#include "core/DeviceType.h"
#include "core/Warning.h"
#include "syslog/SyslogFrame.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Intp;

class TLabWarningTest : public QObject, public TLabPageDriver {
    Q_OBJECT

    void Apply(QWidget* page) { Child<QPushButton>(page, "m_Apply")->click(); }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        TDeviceType four;
        four.Description = "4 port 10/100BaseTX lab switch";
        four.PortCount = 4;
        four.TrunkCount = 2;
        four.RecipientCount = 6;
        RegisterType(four, {"LAB-4P"});
        OpenLabWindow();
        QCOMPARE(m_A->PortCount(), 8);
        QCOMPARE(m_B->PortCount(), 4);
    }
    void cleanupTestCase() { CloseLabWindow(); }

    // Both switches send to the workstation's address on their own subnet.
    void syslogServer()
    {
        QVERIFY(m_Form->Host().SyslogSocket());
        QWidget* page = OpenPage("Warning/Syslog Settings");
        for (auto [device, server] : {std::pair{m_A, "192.0.2.1"}, std::pair{m_B, "198.51.100.1"}}) {
            Reselect<TPropertyWarningSyslog>({device}, page);
            Child<QComboBox>(page, "m_Mode")->setCurrentIndex(smBoth);
            Child<QLineEdit>(page, "m_Address")->setText(server);
            Apply(page);
            QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyWarningSyslog>(*device).Server, Addr(server), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(m_Form->Host().Syslog().CountEvents(device->Address()) >= 1, 5000);
        }
        Reselect<TPropertyWarningSyslog>({m_B, m_A}, page);
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentText(), QString("Both"));
        QCOMPARE(Child<QLineEdit>(page, "m_Address")->text(), QString("198.51.100.1"));
    }

    // Port 8 and a power input: the 4-port switch takes the power alarm and no port.
    void faultAlarm()
    {
        QWidget* page = OpenPage("Warning/Fault Alarm");
        auto* ports = Child<QListWidget>(page, "m_PortList");
        Reselect<TPropertyWarningFault>({m_A, m_B}, page);
        QCOMPARE(ports->count(), 8);
        Child<QListWidget>(page, "m_SysList")->item(0)->setCheckState(Qt::Checked);
        ports->item(7)->setCheckState(Qt::Checked);
        Apply(page);
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyWarningFault>(*m_A).LinkDown, 0x80u, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyWarningFault>(*m_B).System, 1u, 5000);
        Reselect<TPropertyWarningFault>({m_B}, page);
        QCOMPARE(ports->count(), 4);
        QCOMPARE(GetProperty<TPropertyWarningFault>(*m_B).LinkDown, 0u);
        ports->item(1)->setCheckState(Qt::Checked);
        Apply(page);
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyWarningFault>(*m_B).LinkDown, 0x2u, 5000);
        QCOMPARE(GetProperty<TPropertyWarningFault>(*m_B).System, 1u);

        Reselect<TPropertyWarningFault>({m_A}, page);
        QCOMPARE(ports->item(7)->checkState(), Qt::Checked);
        QCOMPARE(Child<QListWidget>(page, "m_SysList")->item(0)->checkState(), Qt::Checked);
    }

    void smtp()
    {
        QWidget* page = OpenPage("Warning/SMTP Settings");
        Reselect<TPropertyWarningSmtp>({m_A, m_B}, page);
        Child<QComboBox>(page, "m_Mode")->setCurrentIndex(1);
        Child<QLineEdit>(page, "m_Address")->setText("192.0.2.25");
        Child<QLineEdit>(page, "m_Sender")->setText("switches@plant.example");
        Child<QLineEdit>(page, "m_Subject")->setText("Switch alarm");
        Child<QLineEdit>(page, "m_Account")->setText("mailer");
        Child<QLineEdit>(page, "m_Password")->setText("s3cret");
        Child<QLineEdit>(page, "m_Confirm")->setText("s3cret");
        Child<QPlainTextEdit>(page, "m_Recipients")->setPlainText("ops@plant.example\nnight@plant.example");
        QVERIFY(Child<QPushButton>(page, "m_Apply")->isEnabled());
        Apply(page);
        for (TDevice* device : {m_A, m_B})
            QTRY_VERIFY_WITH_TIMEOUT(GetProperty<TPropertyWarningSmtp>(*device).Enabled, 5000);
        for (TDevice* device : {m_B, m_A}) {
            Reselect<TPropertyWarningSmtp>({device}, page);
            QCOMPARE(Child<QLineEdit>(page, "m_Sender")->text(), QString("switches@plant.example"));
            QCOMPARE(Child<QLineEdit>(page, "m_Account")->text(), QString("mailer"));
            QCOMPARE(Child<QPlainTextEdit>(page, "m_Recipients")->toPlainText(),
                     QString("ops@plant.example\nnight@plant.example"));
            QVERIFY(Child<QLineEdit>(page, "m_Password")->text().isEmpty());
        }
    }

    // With syslog and SMTP usable on both, every port's syslog value moves to "Link Up"; the
    // 4-port switch takes it for its four ports.
    void events()
    {
        QWidget* page = OpenPage("Warning/Event Settings");
        auto* ports = Child<QTreeWidget>(page, "m_PortList");
        Reselect<TPropertyWarningEvent>({m_A, m_B}, page);
        QVERIFY(Child<QPushButton>(page, "m_Apply")->isEnabled());
        emit ports->header()->sectionClicked(1);
        emit ports->header()->sectionClicked(2);
        emit ports->header()->sectionClicked(2);
        Apply(page);
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyWarningEvent>(*m_A).SyslogLinkUp, 0xFFu, 5000);
        QCOMPARE(GetProperty<TPropertyWarningEvent>(*m_A).SmtpLinkDown, 0xFFu);
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyWarningEvent>(*m_B).SyslogLinkUp, 0xFu, 5000);
        QCOMPARE(GetProperty<TPropertyWarningEvent>(*m_B).SmtpLinkDown, 0xFu);

        Reselect<TPropertyWarningEvent>({m_B}, page);
        QCOMPARE(ports->topLevelItemCount(), 4);
        QCOMPARE(ports->topLevelItem(3)->text(1), QString("Link Up"));

        Reselect<TPropertyWarningEvent>({m_A}, page);
        QCOMPARE(ports->topLevelItem(7)->text(1), QString("Link Up"));
        QCOMPARE(ports->topLevelItem(7)->text(2), QString("Link Down"));
        // Every accepted Set went to the syslog server as an event.
        QTRY_VERIFY_WITH_TIMEOUT(m_Form->Host().Syslog().CountEvents(m_B->Address()) >= 4, 5000);
    }
};

QTEST_MAIN(TLabWarningTest)
#include "tst_lab_warning.moc"
