// The whole main window, offscreen, against two simulated switches in the lab network, one
// on each subnet: DHCP server settings, a port binding and the IGMP settings set on both
// through the pages and read back from each switch on its own; the first switch's lease
// table of 100 clients (four datagrams) and the learned multicast groups read through their
// pages.
#include "LabSupport.h"

#include "core/Dhcp.h"
#include "core/Igmp.h"
#include "pages/ModuleBasics_Dhcp.h"
#include "pages/ModuleIgmp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

using namespace Intp;

class TLabDhcpTest : public QObject, public TLabPageDriver {
    Q_OBJECT

    void Apply(QWidget* page) { Child<QPushButton>(page, "m_Apply")->click(); }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        OpenLabWindow();
    }
    void cleanupTestCase() { CloseLabWindow(); }

    void dhcpServer()
    {
        QWidget* page = OpenPage("Basics/DHCP Server");
        Reselect<TPropertyBasicsDhcp>({m_A, m_B}, page);
        Child<QComboBox>(page, "m_Server")->setCurrentIndex(1);
        Child<QLineEdit>(page, "m_Start")->setText("10.20.0.100");
        Child<QLineEdit>(page, "m_End")->setText("10.20.0.149");
        Child<QLineEdit>(page, "m_Mask")->setText("255.255.255.0");
        Child<QLineEdit>(page, "m_Gateway")->setText("10.20.0.1");
        Child<QLineEdit>(page, "m_Dns")->setText("10.20.0.2");
        Child<QSpinBox>(page, "m_Lease")->setValue(7200);
        QVERIFY(Child<QPushButton>(page, "m_Apply")->isEnabled());
        Apply(page);
        for (TDevice* device : {m_A, m_B})
            QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyBasicsDhcp>(*device).Lease, 7200u, 5000);
        for (TDevice* device : {m_B, m_A}) {
            Reselect<TPropertyBasicsDhcp>({device}, page);
            QCOMPARE(Child<QComboBox>(page, "m_Server")->currentText(), QString("Enable"));
            QCOMPARE(Child<QLineEdit>(page, "m_Start")->text(), QString("10.20.0.100"));
            QCOMPARE(Child<QLineEdit>(page, "m_End")->text(), QString("10.20.0.149"));
            QCOMPARE(Child<QLineEdit>(page, "m_Gateway")->text(), QString("10.20.0.1"));
            QCOMPARE(Child<QSpinBox>(page, "m_Lease")->value(), 7200);
        }
    }

    void clientEntries()
    {
        QWidget* page = OpenPage("Basics/DHCP Server/Client Entries");
        Reselect<TPropertyBasicsDhcpEntry>({m_A}, page);
        const TReportModel& model = dynamic_cast<TModuleBasicsDhcpEntry*>(page)->Model();
        QCOMPARE(model.rowCount(), 100);
        QCOMPARE(Child<QLabel>(page, "m_Total")->text(), QString("Total 100 client entries:"));
        QCOMPARE(model.index(99, 0).data().toString(), QString("100"));
        QSet<QString> clients;
        for (int row = 0; row < model.rowCount(); ++row)
            clients.insert(model.index(row, 2).data().toString());
        QCOMPARE(clients.size(), 100);
    }

    void portBinding()
    {
        QWidget* page = OpenPage("Basics/DHCP Server/Port and IP Binding");
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        auto* edit = Child<QLineEdit>(page, "m_IpAddress");
        Reselect<TPropertyBasicsDhcpPortIp>({m_A, m_B}, page);
        list->setCurrentItem(list->topLevelItem(1));
        edit->setText("10.20.0.150");
        emit edit->textEdited(edit->text());
        Apply(page);
        for (TDevice* device : {m_A, m_B})
            QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyBasicsDhcpPortIp>(*device).Addresses.at(1), 0x0A140096u,
                                      5000);
        for (TDevice* device : {m_B, m_A}) {
            Reselect<TPropertyBasicsDhcpPortIp>({device}, page);
            QCOMPARE(list->topLevelItem(1)->text(1), QString("10.20.0.150"));
            QCOMPARE(list->topLevelItem(0)->text(1), QString("0.0.0.0"));
        }
    }

    // Groups are learned only while snooping is on.
    void igmp()
    {
        QWidget* table = OpenPage("IGMP Snooping/IGMP Snooping Table");
        Reselect<TPropertyIgmpTable>({m_A}, table);
        const TReportModel& groups = dynamic_cast<TModuleIgmpTable*>(table)->Model();
        QVERIFY(groups.rowCount() > 0);

        QWidget* page = OpenPage("IGMP Snooping");
        Reselect<TPropertyIgmp>({m_A, m_B}, page);
        Child<QComboBox>(page, "m_Snooping")->setCurrentIndex(0);
        Child<QComboBox>(page, "m_QueryMode")->setCurrentIndex(iqEnable);
        Apply(page);
        for (TDevice* device : {m_A, m_B})
            QTRY_COMPARE_WITH_TIMEOUT(int(GetProperty<TPropertyIgmp>(*device).QueryMode), int(iqEnable), 5000);
        for (TDevice* device : {m_B, m_A}) {
            Reselect<TPropertyIgmp>({device}, page);
            QCOMPARE(Child<QComboBox>(page, "m_Snooping")->currentText(), QString("Disable"));
            QCOMPARE(Child<QComboBox>(page, "m_QueryMode")->currentText(), QString("Enable"));
        }

        table = OpenPage("IGMP Snooping/IGMP Snooping Table");
        Reselect<TPropertyIgmpTable>({m_A}, table);
        QCOMPARE(groups.rowCount(), 0);
    }
};

QTEST_MAIN(TLabDhcpTest)
#include "tst_lab_dhcp.moc"
