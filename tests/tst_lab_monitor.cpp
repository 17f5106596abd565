// The whole main window, offscreen, against simulated switches in the lab network: an
// 8,000-entry MAC table read through "MAC Address Table" (63 datagrams), counters that move
// between reads, a 230-line event log in pages, and port mirroring and LLDP set on two
// switches through their pages and read back from each switch on its own.
#include "LabSupport.h"

#include "core/Monitor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <QTreeWidget>

using namespace Intp;

namespace {

QStringList ColumnOf(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

} // namespace

class TLabMonitorTest : public QObject, public TLabPageDriver {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        OpenLabWindow();
    }
    void cleanupTestCase() { CloseLabWindow(); }

    // Every address of the table is listed under its port, and the counts add up.
    void macTableOf8000()
    {
        QWidget* page = OpenPage("Monitor And Diagnostic/MAC Address Table");
        Reselect<TPropertyMonitorMac>({m_A}, page);
        QCOMPARE(GetProperty<TPropertyMonitorMac>(*m_A).Entries.size(), std::size_t(8000));
        auto* ports = Child<QComboBox>(page, "m_Port");
        auto* view = Child<QTreeView>(page, "m_List");
        QTRY_VERIFY(ports->count() >= m_A->PortCount());
        int listed = 0;
        for (int i = 0; i < ports->count(); ++i) {
            ports->setCurrentIndex(i);
            const int rows = view->model()->rowCount();
            QCOMPARE(Child<QLabel>(page, "m_Dynamic")->text().toInt() + Child<QLabel>(page, "m_Static")->text().toInt(),
                     rows);
            listed += rows;
        }
        QCOMPARE(listed, 8000);
        ports->setCurrentIndex(0);
        QCOMPARE(view->model()->rowCount(), 8000 / m_A->PortCount());
    }

    void countersMoveBetweenReads()
    {
        QWidget* page = OpenPage("Monitor And Diagnostic/Port Statistics");
        Reselect<TPropertyMonitorPort>({m_A}, page);
        auto* list = Child<QTreeWidget>(page, "m_List");
        QTRY_COMPARE(list->topLevelItemCount(), m_A->PortCount());
        const qulonglong before = list->topLevelItem(1)->text(6).toULongLong();
        GetProperty<TPropertyMonitorPort>(*m_A).Valid = false;
        QCOMPARE(Frame()->SelectedPage()->Refresh(false), 1);
        QTRY_VERIFY(GetProperty<TPropertyMonitorPort>(*m_A).Valid);
        QTRY_VERIFY(list->topLevelItemCount() > 1 && list->topLevelItem(1)->text(6).toULongLong() > before);
    }

    void eventLogInPages()
    {
        QWidget* page = OpenPage("Monitor And Diagnostic/System Event Log");
        Reselect<TPropertyMonitorEvent>({m_B}, page);
        auto* pages = Child<QComboBox>(page, "m_Pages");
        QTRY_COMPARE(pages->count(), 3);
        pages->setCurrentIndex(2);
        QCOMPARE(Child<QPlainTextEdit>(page, "m_Log")->document()->blockCount(), 30);
    }

    void mirroringOnTwoSwitches()
    {
        QWidget* page = OpenPage("Monitor And Diagnostic/Port Mirroring");
        Reselect<TPropertyMonitorMirror>({m_A, m_B}, page);
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        list->setCurrentItem(list->topLevelItem(2));
        Child<QCheckBox>(page, "m_SrcRx")->click();
        list->setCurrentItem(list->topLevelItem(5));
        Child<QCheckBox>(page, "m_SrcTx")->click();
        Child<QComboBox>(page, "m_DestTx")->setCurrentIndex(3);
        Child<QComboBox>(page, "m_DestRx")->setCurrentIndex(4);
        Child<QPushButton>(page, "m_Apply")->click();
        QTRY_VERIFY_WITH_TIMEOUT(GetProperty<TPropertyMonitorMirror>(*m_A).SrcRx == 4 &&
                                     GetProperty<TPropertyMonitorMirror>(*m_B).SrcRx == 4,
                                 5000);
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertyMonitorMirror>({d}, page);
            QTRY_COMPARE(list->topLevelItemCount(), d->PortCount());
            QCOMPARE(ColumnOf(list, 2).indexOf("Yes"), 2);
            QCOMPARE(ColumnOf(list, 1).indexOf("Yes"), 5);
            QCOMPARE(ColumnOf(list, 1).count("Yes"), 1);
            QCOMPARE(Child<QComboBox>(page, "m_DestTx")->currentText(), QString("Port.04"));
            QCOMPARE(Child<QComboBox>(page, "m_DestRx")->currentText(), QString("Port.05"));
        }
    }

    void lldpOnTwoSwitches()
    {
        QWidget* page = OpenPage("Monitor And Diagnostic/LLDP");
        Reselect<TPropertyLldp>({m_A, m_B}, page);
        QCOMPARE(Child<QComboBox>(page, "m_Enable")->currentText(), QString("Enable"));
        Child<QComboBox>(page, "m_Enable")->setCurrentIndex(0);
        Child<QSpinBox>(page, "m_Interval")->setValue(120);
        Child<QPushButton>(page, "m_Apply")->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            GetProperty<TPropertyLldp>(*m_A).Interval == 120 && GetProperty<TPropertyLldp>(*m_B).Interval == 120, 5000);
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertyLldp>({d}, page);
            QCOMPARE(Child<QComboBox>(page, "m_Enable")->currentText(), QString("Disable"));
            QCOMPARE(Child<QSpinBox>(page, "m_Interval")->value(), 120);
        }
    }
};

QTEST_MAIN(TLabMonitorTest)
#include "tst_lab_monitor.moc"
