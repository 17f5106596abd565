// The whole main window, offscreen, against simulated switches in the lab network:
// communities set on two switches at once through the "Community" page and read back from
// each switch on its own; the agent switched to version 3, which opens "SNMPv3 User" for a
// user added on both switches.
#include "LabSupport.h"

#include "core/Snmp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Intp;

class TLabSnmpTest : public QObject, public TLabPageDriver {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        OpenLabWindow();
    }
    void cleanupTestCase() { CloseLabWindow(); }

    void communityOnTwoSwitches()
    {
        m_Form->Navigator().SelectDevices({m_A, m_B});
        QWidget* page = OpenPage("SNMP/Community");
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page), 5000);
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        QCOMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("public"));
        list->setCurrentItem(list->topLevelItem(2));
        QTest::keyClicks(Child<QLineEdit>(page, "m_Community"), "lab-monitor");
        Child<QComboBox>(page, "m_Privilege")->setCurrentIndex(1);
        Child<QPushButton>(page, "m_Apply")->click();
        const TPropertySnmpCommunityEntry expected{"lab-monitor", spReadWrite};
        for (TDevice* d : {m_A, m_B}) {
            const auto& communities = GetProperty<TPropertySnmpCommunity>(*d);
            QTRY_VERIFY_WITH_TIMEOUT(
                communities.Valid && communities.Entries.size() == 4 && communities.Entries[2] == expected, 5000);
            QCOMPARE(communities.Entries[0], (TPropertySnmpCommunityEntry{"public", spReadOnly}));
        }
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertySnmpCommunity>({d}, page);
            QCOMPARE(list->topLevelItem(2)->text(1), QString("lab-monitor"));
            QCOMPARE(list->topLevelItem(2)->text(2), QString("Read And Write"));
            QCOMPARE(list->topLevelItem(1)->text(1), QString("private"));
        }
    }

    void version3OpensTheUserPage()
    {
        m_Form->Navigator().SelectDevices({m_A, m_B});
        QWidget* snmp = OpenPage("SNMP");
        QTRY_VERIFY_WITH_TIMEOUT(Shown(snmp), 5000);
        QCOMPARE(Child<QComboBox>(snmp, "m_Version")->currentText(), QString("SNMP V1/V2c"));
        Child<QComboBox>(snmp, "m_Version")->setCurrentIndex(1);
        Child<QPushButton>(snmp, "m_Apply")->click();
        for (TDevice* d : {m_A, m_B}) {
            const auto& agent = GetProperty<TPropertySnmp>(*d);
            QTRY_VERIFY_WITH_TIMEOUT(agent.Valid && agent.Version == svV3, 5000);
        }

        QWidget* page = OpenPage("SNMP/SNMPv3 User");
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page) && GetProperty<TPropertySnmpUser>(*m_A).Valid, 5000);
        QVERIFY(Child<QLineEdit>(page, "m_Username")->isEnabled());
        Child<QLineEdit>(page, "m_Username")->setText("labuser");
        Child<QLineEdit>(page, "m_Auth")->setText("authsecret");
        Child<QPushButton>(page, "m_Add")->click();
        for (TDevice* d : {m_A, m_B}) {
            const auto& users = GetProperty<TPropertySnmpUser>(*d);
            QTRY_VERIFY_WITH_TIMEOUT(
                users.Valid && users.Entries == (std::vector<TPropertySnmpUserEntry>{{"labuser", true, false}}), 5000);
        }
        auto* list = Child<QTreeWidget>(page, "m_List");
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertySnmpUser>({d}, page);
            QCOMPARE(list->topLevelItemCount(), 1);
            QCOMPARE(list->topLevelItem(0)->text(1), QString("labuser"));
            QCOMPARE(list->topLevelItem(0)->text(2), QString("Enabled"));
            QCOMPARE(list->topLevelItem(0)->text(3), QString("Disabled"));
        }
    }
};

QTEST_MAIN(TLabSnmpTest)
#include "tst_lab_snmp.moc"
