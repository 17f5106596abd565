// The status monitor page: status texts, colours, polling results, Clear Error, the beep,
// sorting, and the table model under bursts of changes.
#include "FakeSessionCallback.h"

#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "status/StatusFrame.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

using namespace Intp;
using Status::TStatusMonitor;

class TStatusTest : public QObject {
    Q_OBJECT

    QTableView* List() { return m_Frame->findChild<QTableView*>("m_List"); }
    TStatusModel* Model() { return qobject_cast<TStatusModel*>(List()->model()); }
    QVariant Data(int row, int column, int role) { return Model()->index(row, column).data(role); }
    QString Text(int row, int column) { return Data(row, column, Qt::DisplayRole).toString(); }
    QColor Background(int row, int column) { return Data(row, column, Qt::BackgroundRole).value<QBrush>().color(); }
    // Ends the current burst: the list shows what the monitor holds.
    void Settle() { Model()->Flush(); }
    // Switches first to last, each at 192.0.2.(100 - n): the address order reverses the number order.
    void AddSwitches(uint8_t first, uint8_t last)
    {
        for (uint8_t i = first; i <= last; ++i) {
            TDevice* d = Registry::Find(Mac(i), true);
            d->SetAddress(0xC0000200u + 100u - i);
            m_Monitor->AddDevice(d);
        }
    }
    void Reply(const TMacAddr& mac, uint32_t from, uint16_t status, std::vector<uint8_t> payload)
    {
        Deliver(from, MakeDatagram(6, status, mac, payload));
    }

private slots:
    void init()
    {
        Registry::Clear();
        m_Fake = new TFakeSessionCallback;
        m_Monitor = new Status::TStatusMonitor;
        m_Frame = new TStatusFrame(*m_Monitor);
    }
    void cleanup()
    {
        delete m_Frame;
        delete m_Monitor;
        delete m_Fake;
        Registry::Clear();
    }

    void statusText_data()
    {
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<uint32_t>("power");
        QTest::addColumn<uint32_t>("ports");
        QTest::addColumn<QString>("text");
        QTest::newRow("fine") << 0u << 0u << 0u << "Online";
        QTest::newRow("offline wins") << 1u + 4u << 1u << 1u << "Offline";
        QTest::newRow("query fail, no alarms") << 2u << 3u << 0x12u << "Online/query fail";
        QTest::newRow("query fail, moved") << 2u + 4u << 0u << 0u << "Online/query fail/IP different";
        QTest::newRow("everything") << 8u + 4u << 1u << 0x12u << "Online/power1 fail/port 2,5 fail/IP different";
        QTest::newRow("both powers") << 8u << 3u << 0u << "Online/power1 fail/power2 fail";
        QTest::newRow("port 32") << 8u << 0u << 0x80000001u << "Online/port 1,32 fail";
    }
    void statusText()
    {
        QFETCH(uint32_t, flags);
        QFETCH(uint32_t, power);
        QFETCH(uint32_t, ports);
        QTEST(TStatusMonitor::StatusText(flags, power, ports), "text");
    }

    void rowColours()
    {
        QCOMPARE(TStatusModel::RowColour(0), QColor());
        QCOMPARE(TStatusModel::RowColour(1 | 2 | 4 | 8), QColor(255, 0, 0));
        QCOMPARE(TStatusModel::RowColour(2 | 4), QColor(255, 255, 0));
        QCOMPARE(TStatusModel::RowColour(4 | 8), QColor(0, 0, 255));
        QCOMPARE(TStatusModel::RowColour(8), QColor(0, 102, 255));
    }

    void rowsFollowPolls()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetType(RegisterKnownModels()[2]);
        d->SetAddress(0xC0000201);
        m_Monitor->AddDevice(d);
        m_Monitor->AddDevice(d); // the same switch again: no second row
        Settle();
        QCOMPARE(Model()->rowCount(), 1);
        QCOMPARE(Text(0, TStatusModel::colIp), QString("192.0.2.1"));
        QCOMPARE(Text(0, TStatusModel::colModel), QString::fromStdString(Description(d->Type())));
        QCOMPARE(Text(0, TStatusModel::colTime), QString("(No response yet)"));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));            // polled at once
        QCOMPARE(m_Fake->Timers.begin()->second.Interval, 5000u); // the query time-out

        // An alarm from its own address.
        Reply(Mac(1), 0xC0000201, 0, {0, 0, 0, 1, 0, 0, 0, 0x12, 0, 0, 0, 0xFF});
        QCOMPARE(Text(0, TStatusModel::colStatus), QString("Online/power1 fail/port 2,5 fail"));
        QCOMPARE(m_Monitor->GetStatusFlags(d), uint32_t(Status::sfAlarm));
        QCOMPARE(Background(0, 5), QColor(0, 102, 255));
        QCOMPARE(Data(0, 5, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::white)); // readable on blue
        QVERIFY(Text(0, TStatusModel::colTime) != QString("(No response yet)"));
        QVERIFY(Data(0, 2, Qt::ToolTipRole)
                    .toString()
                    .startsWith("IP Address: 192.0.2.1\nMAC Address: 00:0A:1B:2C:3D:01\nDevice Model: "));

        // A discovery finds the switch at another address: the poll sent to the old one
        // goes unanswered, the next one is answered there; both shown until Clear Error.
        m_Frame->Monitor().PollAll();
        d->SetAddress(0xC0000209);
        m_Fake->Advance(5000);
        m_Frame->Monitor().PollAll();
        Reply(Mac(1), 0xC0000209, 0, std::vector<uint8_t>(12));
        QCOMPARE(Text(0, TStatusModel::colIp), QString("Original: 192.0.2.1, Now: 192.0.2.9"));
        QCOMPARE(Text(0, TStatusModel::colStatus), QString("Online/IP different"));
        QCOMPARE(Background(0, 0), QColor(0, 0, 255));
        List()->setCurrentIndex(Model()->index(0, 0));
        auto* clear = m_Frame->findChild<QPushButton*>("m_ClearError");
        QVERIFY(clear->isEnabled());
        clear->click();
        QCOMPARE(m_Monitor->GetStatusFlags(d), 0u);
        QCOMPARE(Text(0, TStatusModel::colStatus), QString("Online"));
        m_Frame->Monitor().PollAll();
        Reply(Mac(1), 0xC0000209, 0, std::vector<uint8_t>(12));
        QCOMPARE(Text(0, TStatusModel::colIp), QString("192.0.2.9"));

        // An error status, then silence.
        m_Frame->Monitor().PollAll();
        Reply(Mac(1), 0xC0000209, 0x0205, std::vector<uint8_t>(12));
        QCOMPARE(Text(0, TStatusModel::colStatus), QString("Online/query fail"));
        QCOMPARE(Background(0, 0), QColor(255, 255, 0));
        QVERIFY(!Data(0, 0, Qt::ForegroundRole).isValid()); // dark on yellow
        m_Frame->Monitor().PollAll();
        m_Fake->Advance(5000);
        QCOMPARE(Text(0, TStatusModel::colStatus), QString("Offline"));
        QCOMPARE(Background(0, 0), QColor(255, 0, 0));
        QVERIFY(m_Monitor->GetStatusFlags(d) & Status::sfOffline);
        QCOMPARE(m_Monitor->GetStatusFlags(nullptr), 0u);
    }

    void rowSurvivesANewDiscovery()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetAddress(0xC0000201);
        m_Monitor->AddDevice(d);
        Registry::Clear(); // a new discovery
        m_Frame->Monitor().PollAll();
        TDevice* again = Registry::Find(Mac(1), false);
        QVERIFY(again);
        QCOMPARE(again->Address(), 0xC0000201u); // recreated at the row's address
        QCOMPARE(m_Fake->Sent.back().Address, 0xC0000201u);
        // A result for a device without a row is ignored.
        TDevice* stranger = Registry::Find(Mac(7), true);
        m_Frame->Monitor().OnResult(stranger, 6, stTimeout, {});
        Settle();
        QCOMPARE(Model()->rowCount(), 1);
    }

    void periodLimitsTimeout()
    {
        auto* period = m_Frame->findChild<QSpinBox*>("m_QueryPeriod");
        auto* timeout = m_Frame->findChild<QSpinBox*>("m_QueryTmo");
        QCOMPARE(period->value(), 10);
        QCOMPARE(timeout->maximum(), 9);
        timeout->setValue(9);
        period->setValue(5);
        QCOMPARE(timeout->maximum(), 4);
        QCOMPARE(timeout->value(), 4);
        period->setValue(3); // below the minimum
        QCOMPARE(period->value(), 5);
        m_Frame->Monitor().PollAll();
        QCOMPARE(m_Frame->Monitor().PollTimer()->interval(), 5000);
    }

    void beepOnlyForTrouble_data()
    {
        QTest::addColumn<int>("reply"); // -1: none (offline)
        QTest::addColumn<uint32_t>("from");
        QTest::addColumn<bool>("beeps");
        QTest::newRow("healthy") << 0 << 0xC0000201u << false;
        QTest::newRow("moved only") << 0 << 0xC0000202u << false;
        QTest::newRow("query failed") << 9 << 0xC0000201u << true;
        QTest::newRow("offline") << -1 << 0xC0000201u << true;
    }
    void beepOnlyForTrouble()
    {
        QFETCH(int, reply);
        QFETCH(uint32_t, from);
        QFETCH(bool, beeps);
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetAddress(0xC0000201);
        m_Monitor->AddDevice(d);
        if (reply < 0)
            m_Fake->Advance(5000);
        else
            Reply(Mac(1), from, uint16_t(reply), std::vector<uint8_t>(12));
        auto* beep = m_Frame->findChild<QCheckBox*>("m_Beep");
        QVERIFY(!m_Frame->BeepTimer()->isActive());
        beep->setChecked(true);
        QVERIFY(m_Frame->BeepTimer()->isActive());
        QCOMPARE(m_Frame->BeepTimer()->interval(), 2000);
        m_Frame->BeepTick();
        QCOMPARE(m_Frame->Beeper().Count(), beeps ? 1 : 0);
        beep->setChecked(false);
        QVERIFY(!m_Frame->BeepTimer()->isActive());
    }

    void sortingByColumns()
    {
        for (uint8_t i : {3, 1, 2}) {
            TDevice* d = Registry::Find(Mac(i), true);
            d->SetAddress(0xC0000200u + 10u - i);
            m_Monitor->AddDevice(d);
        }
        Settle();
        auto* header = List()->horizontalHeader();
        QCOMPARE(Text(0, 0), QString("1"));
        emit header->sectionClicked(TStatusModel::colIp);
        QCOMPARE(Text(0, TStatusModel::colIp), QString("192.0.2.7"));
        emit header->sectionClicked(TStatusModel::colIp); // same column: reversed
        QCOMPARE(Text(0, TStatusModel::colIp), QString("192.0.2.9"));
        emit header->sectionClicked(TStatusModel::colMac); // another: ascending
        QCOMPARE(Text(0, TStatusModel::colMac), QString("00:0A:1B:2C:3D:01"));
        QCOMPARE(Text(2, TStatusModel::colMac), QString("00:0A:1B:2C:3D:03"));
        // Sorted by status, a poll result moves its row once the burst is handled.
        emit header->sectionClicked(TStatusModel::colStatus);
        m_Frame->Monitor().OnResult(Registry::Find(Mac(2), false), 6, stTimeout, {});
        QTRY_COMPARE(Text(0, TStatusModel::colStatus), QString("Offline"));
        QCOMPARE(Text(0, TStatusModel::colMac), QString("00:0A:1B:2C:3D:02"));
    }

    void mouseClicksOnTheHeader_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("first"); // MAC of the first row
        QTest::addColumn<Qt::SortOrder>("order");
        const int ip = TStatusModel::colIp, mac = TStatusModel::colMac;
        QTest::newRow("none") << QList<int>{} << "00:0A:1B:2C:3D:03" << Qt::AscendingOrder;
        QTest::newRow("IP") << QList<int>{ip} << "00:0A:1B:2C:3D:03" << Qt::AscendingOrder;
        QTest::newRow("IP twice") << QList<int>{ip, ip} << "00:0A:1B:2C:3D:01" << Qt::DescendingOrder;
        QTest::newRow("IP twice, then MAC") << QList<int>{ip, ip, mac} << "00:0A:1B:2C:3D:01" << Qt::AscendingOrder;
        QTest::newRow("MAC twice") << QList<int>{mac, mac} << "00:0A:1B:2C:3D:03" << Qt::DescendingOrder;
    }
    void mouseClicksOnTheHeader()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(Qt::SortOrder, order);
        for (uint8_t i : {3, 1, 2}) {
            TDevice* d = Registry::Find(Mac(i), true);
            d->SetAddress(0xC0000200u + 10u - i);
            m_Monitor->AddDevice(d);
        }
        Settle();
        m_Frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Frame));
        auto* header = List()->horizontalHeader();
        for (int column : clicks)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        QTEST(Text(0, TStatusModel::colMac), "first");
        QCOMPARE(header->sortIndicatorSection(), clicks.isEmpty() ? int(TStatusModel::colNumber) : clicks.back());
        QCOMPARE(header->sortIndicatorOrder(), order);
    }

    // The summary line and "Problems Only" follow the replies, a burst at a time.
    void summaryAndProblemsFollowReplies()
    {
        QAbstractItemModelTester tester(Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* summary = m_Frame->findChild<QLabel*>("m_Summary");
        auto* problems = m_Frame->findChild<QCheckBox*>("m_ProblemsOnly");
        auto numbers = [this] {
            QStringList out;
            for (int row = 0; row < Model()->rowCount(); ++row)
                out << Text(row, TStatusModel::colNumber);
            return out;
        };
        auto from = [](uint8_t i) { return 0xC0000200u + 100u - i; };
        AddSwitches(1, 4);
        Settle();
        QCOMPARE(summary->text(), QString("Online: 4   Offline: 0   Alarms: 0"));
        // 1 answers, 2 reports an alarm, 3 fails its query, 4 stays silent.
        Reply(Mac(1), from(1), 0, std::vector<uint8_t>(12));
        Reply(Mac(2), from(2), 0, {0, 0, 0, 1, 0, 0, 0, 0x12, 0, 0, 0, 0xFF});
        Reply(Mac(3), from(3), 0x0205, std::vector<uint8_t>(12));
        m_Fake->Advance(5000);
        QCOMPARE(summary->text(), QString("Online: 4   Offline: 0   Alarms: 0")); // not before the burst is over
        QTRY_COMPARE(summary->text(), QString("Online: 3   Offline: 1   Alarms: 1   Query failed: 1"));

        problems->setChecked(true);
        QCOMPARE(numbers(), QStringList({"2", "3", "4"}));
        // Sorted by status the problems keep that order, and rows come and go as they change.
        emit List()->horizontalHeader()->sectionClicked(TStatusModel::colStatus);
        QCOMPARE(numbers(), QStringList({"4", "2", "3"}));
        m_Frame->Monitor().PollAll();
        Reply(Mac(4), from(4), 0, std::vector<uint8_t>(12));
        Reply(Mac(1), from(1), 0, {0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0xFF});
        Settle();
        QCOMPARE(numbers(), QStringList({"2", "1", "3"}));
        QCOMPARE(summary->text(), QString("Online: 4   Offline: 0   Alarms: 2   Query failed: 1"));
        List()->selectRow(0);
        m_Frame->findChild<QPushButton*>("m_ClearError")->click();
        Settle();
        QCOMPARE(numbers(), QStringList({"1", "3"}));
        QCOMPARE(summary->text(), QString("Online: 4   Offline: 0   Alarms: 1   Query failed: 1"));

        problems->setChecked(false);
        QCOMPARE(numbers(), QStringList({"2", "4", "1", "3"}));
        QCOMPARE(Text(0, TStatusModel::colStatus), QString("Online"));
    }

    void burstsReachTheViewsOnce()
    {
        QSignalSpy inserted(Model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(Model(), &QAbstractItemModel::dataChanged);
        QSignalSpy layout(Model(), &QAbstractItemModel::layoutChanged);
        AddSwitches(1, 40);
        QCOMPARE(Model()->rowCount(), 0); // not before the burst is over
        QTRY_COMPARE(Model()->rowCount(), 40);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), 0);
        QCOMPARE(inserted[0][2].toInt(), 39);
        QCOMPARE(layout.size(), 0); // new rows come last in number order

        // Sorted by status, a burst of answers redraws and reorders once.
        emit List()->horizontalHeader()->sectionClicked(TStatusModel::colStatus);
        layout.clear();
        changed.clear();
        for (uint8_t i = 1; i <= 40; ++i)
            Reply(Mac(i), 0xC0000200u + 100u - i, i % 2 ? 0 : 0x0205, std::vector<uint8_t>(12));
        QTRY_COMPARE(layout.size(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), Model()->index(0, 0));
        QCOMPARE(changed[0][1].toModelIndex(), Model()->index(39, TStatusModel::colStatus));
        QCOMPARE(Text(19, TStatusModel::colStatus), QString("Online"));
        QCOMPARE(Text(19, TStatusModel::colNumber), QString("39"));
        QCOMPARE(Text(20, TStatusModel::colStatus), QString("Online/query fail"));
        QCOMPARE(Text(20, TStatusModel::colNumber), QString("2"));

        // Sorted by MAC, answers leave the order alone.
        emit List()->horizontalHeader()->sectionClicked(TStatusModel::colMac);
        QCOMPARE(layout.size(), 2);
        m_Frame->Monitor().PollAll();
        for (uint8_t i = 1; i <= 40; ++i)
            Reply(Mac(i), 0xC0000200u + 100u - i, 0, std::vector<uint8_t>(12));
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(layout.size(), 2);
    }

    void selectionSurvivesSortingAndInserts()
    {
        AddSwitches(1, 5);
        m_Fake->Advance(5000); // every row offline
        Settle();
        auto* selection = List()->selectionModel();
        auto* clear = m_Frame->findChild<QPushButton*>("m_ClearError");
        QVERIFY(!clear->isEnabled());
        for (int row : {1, 3})
            selection->select(Model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(clear->isEnabled());
        auto selectedMacs = [&] {
            QStringList macs;
            for (const QModelIndex& index : selection->selectedRows(TStatusModel::colMac))
                macs << index.data().toString();
            macs.sort();
            return macs;
        };
        const QStringList expected{"00:0A:1B:2C:3D:02", "00:0A:1B:2C:3D:04"};
        QCOMPARE(selectedMacs(), expected);

        emit List()->horizontalHeader()->sectionClicked(TStatusModel::colIp); // reverses the rows
        QCOMPARE(Text(0, TStatusModel::colMac), QString("00:0A:1B:2C:3D:05"));
        QCOMPARE(selectedMacs(), expected);
        AddSwitches(6, 30); // go first by address
        Settle();
        QCOMPARE(Text(0, TStatusModel::colMac), QString("00:0A:1B:2C:3D:1E"));
        QCOMPARE(selectedMacs(), expected);

        clear->click();
        for (uint8_t i = 1; i <= 5; ++i) {
            const uint32_t flags = m_Monitor->GetStatusFlags(Registry::Find(Mac(i), false));
            QCOMPARE(flags, i % 2 ? uint32_t(Status::sfOffline) : 0u);
        }
        selection->clearSelection();
        QVERIFY(!clear->isEnabled());
    }

    void modelStaysConsistent()
    {
        QAbstractItemModelTester tester(Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        AddSwitches(1, 40);
        Settle();
        m_Frame->Monitor().PollAll();
        for (uint8_t i = 1; i <= 40; i += 4) {
            Reply(Mac(i), 0xC0000200u + 100u - i, 0, {0, 0, 0, 2, 0, 0, 0, i, 0, 0, 0, 0}); // alarm
            Reply(Mac(i + 1), 0xC0000200u + 100u - i - 1, 0x0205, std::vector<uint8_t>(12));
            Reply(Mac(i + 2), 0xC0000201u, 0, std::vector<uint8_t>(12)); // moved
        }
        m_Fake->Advance(5000); // the rest is silent
        Settle();
        for (int column :
             {TStatusModel::colNumber, TStatusModel::colMac, TStatusModel::colModel, TStatusModel::colStatus})
            for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                Model()->sort(column, order);
                for (int row = 1; row < Model()->rowCount(); ++row) {
                    auto key = [&](int r) {
                        const QString text = Text(r, column);
                        return std::pair(column == TStatusModel::colNumber ? QString() : text,
                                         Text(r, TStatusModel::colNumber).toInt());
                    };
                    QVERIFY2(order == Qt::AscendingOrder ? key(row - 1) < key(row) : key(row) < key(row - 1),
                             qPrintable(QString("column %1, row %2").arg(column).arg(row)));
                }
            }
        for (int column : {TStatusModel::colIp, TStatusModel::colTime})
            Model()->sort(column, Qt::DescendingOrder);
        List()->selectAll();
        m_Frame->findChild<QPushButton*>("m_ClearError")->click();
        Settle();
        for (int row = 0; row < Model()->rowCount(); ++row)
            QCOMPARE(Text(row, TStatusModel::colStatus), QString("Online"));
    }

private:
    TFakeSessionCallback* m_Fake = nullptr;
    Status::TStatusMonitor* m_Monitor = nullptr;
    TStatusFrame* m_Frame = nullptr;
};

QTEST_MAIN(TStatusTest)
#include "tst_status.moc"
