// The whole main window, offscreen, against simulated switches in the lab network: the
// Discovery action fills the tree, Login marks the switches, the status monitor notices
// a switch that stops answering.
#include "LabSupport.h"

#include "core/Basics.h"
#include "core/Device.h"
#include "core/DeviceType.h"
#include "core/Port.h"
#include "net/EngineHost.h"
#include "net/SyslogService.h"
#include "shell/DeviceNavigator.h"
#include "shell/MainForm.h"
#include "status/StatusFrame.h"

#include "shell/ModuleFrame.h"
#include "syslog/SyslogFrame.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>

class TLabUiTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> m_Form;

    int DeviceNodes()
    {
        std::vector<TDevice*> devices;
        return m_Form->Navigator().GetAllDevices(devices);
    }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        m_Form = MakeLabWindow();
    }
    void cleanupTestCase()
    {
        m_Form.reset();
        Registry::Clear();
    }

    void discoveryFillsTheTree()
    {
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(DeviceNodes(), 12, 5000);
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QString("Devices (12)"));
        // Names arrive with the discovery chain.
        TDevice* d = Registry::FindByAddress(Addr("198.51.100.10"));
        QTRY_COMPARE(m_Form->Navigator().IndexOf(d).data().toString(),
                     QString("Switch-1 (198.51.100.10, 02:5A:0D:0B:00:01)"));
        // A second discovery starts from scratch and finds them all again.
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(DeviceNodes(), 12, 5000);
    }

    void loginMarksTheSelection()
    {
        std::vector<TDevice*> all;
        m_Form->Navigator().GetAllDevices(all);
        m_Form->Navigator().SelectDevices({all[0], all[1], all[2]});
        std::vector<TDevice*> selected;
        QCOMPARE(m_Form->Navigator().GetSelectedDevices(selected), 3);
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(std::all_of(selected.begin(), selected.end(), [](TDevice* d) { return d->IsLoggedIn(); }));
        QCOMPARE(std::count_if(all.begin(), all.end(), [](TDevice* d) { return d->IsLoggedIn(); }), 3);
        m_Form->findChild<QAction*>("acLogout")->trigger();
        QTRY_VERIFY(std::none_of(selected.begin(), selected.end(), [](TDevice* d) { return d->IsLoggedIn(); }));
    }

    void ipConfigurationReaddresses()
    {
        // One switch of the fleet falls silent early on: count on the two used here.
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(Registry::FindByAddress(Addr("192.0.2.14")) &&
                                     Registry::FindByAddress(Addr("192.0.2.15")) &&
                                     m_Form->Navigator().IndexOf(Registry::FindByAddress(Addr("192.0.2.15"))).isValid(),
                                 5000);
        TDevice* a = Registry::FindByAddress(Addr("192.0.2.14"));
        TDevice* b = Registry::FindByAddress(Addr("192.0.2.15"));
        TMacAddr macA = a->Mac(), macB = b->Mac();
        m_Form->Navigator().SelectDevices({a, b});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(a->IsLoggedIn() && b->IsLoggedIn());
        TModuleFrame* frame = m_Form->DevicesModule();
        frame->Tree()->setCurrentItem(frame->FindNode("Basics/IP Configuration"));
        QWidget* page = frame->SelectedPage()->GetControl();
        QTRY_VERIFY(page->isVisibleTo(frame));                       // both network records arrived
        page->findChild<QComboBox*>("m_Method")->setCurrentIndex(1); // "Auto Range"
        page->findChild<QLineEdit*>("m_Address")->setText("192.0.2.100");
        page->findChild<QLineEdit*>("m_Address2")->setText("192.0.2.120");
        page->findChild<QLineEdit*>("m_Mask")->setText("255.255.255.0");
        page->findChild<QLineEdit*>("m_Gateway")->setText("192.0.2.1");
        page->findChild<QPushButton*>("m_Set")->click();
        page->findChild<QPushButton*>("m_Apply")->click();
        QTRY_VERIFY_WITH_TIMEOUT(a->Address() == Addr("192.0.2.100") && b->Address() == Addr("192.0.2.101"), 5000);

        // The next discovery finds them at their new addresses.
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(
            Registry::FindByAddress(Addr("192.0.2.100")) && Registry::FindByAddress(Addr("192.0.2.101")), 5000);
        QCOMPARE(Registry::Find(macA, false)->Address(), Addr("192.0.2.100"));
        QCOMPARE(Registry::Find(macB, false)->Address(), Addr("192.0.2.101"));
        QVERIFY(!Registry::FindByAddress(Addr("192.0.2.14")));
        // And the workstation forgot the old addresses' hardware mapping.
        for (const char* old : {"192.0.2.14", "192.0.2.15"}) {
            QProcess ip;
            ip.start("ip", {"neigh", "show", "to", old});
            ip.waitForFinished();
            QCOMPARE(QString(ip.readAllStandardOutput()).trimmed(), QString());
        }
    }

    void monitorNoticesASilentSwitch()
    {
        TStatusFrame* monitor = m_Form->StatusModule();
        monitor->findChild<QSpinBox*>("m_QueryPeriod")->setValue(5);
        monitor->findChild<QSpinBox*>("m_QueryTmo")->setValue(1);
        TDevice* silent = Registry::FindByAddress(Addr("192.0.2.12")); // silent after 4 s
        TDevice* alarmed = Registry::FindByAddress(Addr("192.0.2.11"));
        TDevice* fine = Registry::FindByAddress(Addr("198.51.100.13"));
        monitor->Monitor().PollAll();
        QTRY_VERIFY_WITH_TIMEOUT(monitor->Monitor().GetStatusFlags(silent) & Status::sfOffline, 20000);
        QCOMPARE(monitor->Monitor().GetStatusFlags(alarmed), uint32_t(Status::sfAlarm));
        QCOMPARE(monitor->Monitor().GetStatusFlags(fine), 0u);
        const QAbstractItemModel* list = monitor->findChild<QTableView*>("m_List")->model();
        auto rows = list->match(list->index(0, TStatusModel::colIp), Qt::DisplayRole, "192.0.2.12", -1,
                                Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        const QModelIndex status = rows[0].siblingAtColumn(TStatusModel::colStatus);
        QCOMPARE(status.data().toString(), QString("Offline"));
        QCOMPARE(status.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    }

    // A port's state and a rate limit set on two switches at once through the pages, read
    // back from the switches into the pages.
    void portStateAndRateLimitOnTwoSwitches()
    {
        TDevice* a = Registry::FindByAddress(Addr("198.51.100.10"));
        TDevice* b = Registry::FindByAddress(Addr("198.51.100.11"));
        QVERIFY(a && b);
        m_Form->Navigator().SelectDevices({a, b});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(a->IsLoggedIn() && b->IsLoggedIn());
        TModuleFrame* frame = m_Form->DevicesModule();

        frame->Tree()->setCurrentItem(frame->FindNode("Port Configuration"));
        QWidget* page = frame->SelectedPage()->GetControl();
        auto* list = page->findChild<QTreeWidget*>("m_ListView");
        QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), a->LogicalPortCount(), 5000);
        QCOMPARE(list->topLevelItem(2)->text(1), QString("Enable"));
        list->setCurrentItem(list->topLevelItem(2));
        page->findChild<QComboBox*>("m_State")->setCurrentIndex(0); // "Disable"
        page->findChild<QPushButton*>("m_Apply")->click();
        for (TDevice* d : {a, b})
            QTRY_VERIFY(Intp::GetProperty<Intp::TPropertyPortConfig>(*d).Valid &&
                        !Intp::GetProperty<Intp::TPropertyPortConfig>(*d).Entries[2].Enabled);
        m_Form->findChild<QAction*>("acRefresh")->trigger();
        QTRY_COMPARE(list->topLevelItemCount(), a->LogicalPortCount());
        QCOMPARE(list->topLevelItem(2)->text(1), QString("Disable"));
        QCOMPARE(list->topLevelItem(1)->text(1), QString("Enable"));

        frame->Tree()->setCurrentItem(frame->FindNode("Port Configuration/Rate Limit"));
        page = frame->SelectedPage()->GetControl();
        list = page->findChild<QTreeWidget*>("m_ListView");
        QTRY_VERIFY(Intp::GetProperty<Intp::TPropertyPortLimit>(*a).Valid &&
                    list->topLevelItemCount() == a->PortCount());
        list->setCurrentItem(list->topLevelItem(1));
        page->findChild<QSpinBox*>("m_Ingress")->setValue(4096);
        page->findChild<QPushButton*>("m_Apply")->click();
        for (TDevice* d : {a, b})
            QTRY_COMPARE(Intp::GetProperty<Intp::TPropertyPortLimit>(*d).Entries.at(1).Ingress, 4096u);
        m_Form->findChild<QAction*>("acRefresh")->trigger();
        QTRY_COMPARE(list->topLevelItem(1)->text(2), QString("4096"));
        QCOMPARE(list->topLevelItem(0)->text(2), QString("8192"));
    }

    void syslogFromTheSwitches()
    {
        QVERIFY(m_Form->Host().SyslogSocket());
        TSyslogFrame* page = m_Form->SyslogModule();
        const int before = int(page->Model().rowCount());
        TLabSim sim("ZODE_LAB_SIM_C",
                    {"--count", "3", "--address", "203.0.113.20", "--mac-base", "02:5A:0D:0C:00:21", "--syslog",
                     "198.51.100.1", "--syslog-rate", "30"});
        QVERIFY(sim.WaitReady());
        const QStringList senders = {"203.0.113.20", "203.0.113.21", "203.0.113.22"};
        for (const QString& sender : senders)
            QTRY_VERIFY_WITH_TIMEOUT(m_Form->Host().Syslog().CountEvents(Addr(sender.toLatin1().constData())) >= 2,
                                     5000);
        QTRY_VERIFY(page->Model().rowCount() > before);
        const int rows = page->Model().rowCount();
        for (int row = before; row < rows; ++row) {
            QVERIFY(senders.contains(page->Model().index(row, TSyslogModel::colHost).data().toString()));
            QCOMPARE(page->Model().index(row, TSyslogModel::colEventId).data().toInt(), row + 1);
            QVERIFY(!page->Model().index(row, TSyslogModel::colMessage).data().toString().isEmpty());
        }
    }
};

QTEST_MAIN(TLabUiTest)
#include "tst_lab_ui.moc"
