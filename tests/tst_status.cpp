// The status monitor: status texts, colours, polling results, Clear Error and the beep.
#include "FakeSessionCallback.h"

#include "app/StatusFrame.h"
#include "devices/DeviceType.h"
#include "intp/IntpCore.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

class TStatusTest : public QObject {
    Q_OBJECT

    QTreeWidget* List() { return m_Frame->findChild<QTreeWidget*>("m_List"); }
    QTreeWidgetItem* Row(int i) { return List()->topLevelItem(i); }
    QString Text(int row, int column) { return Row(row)->text(column); }
    void Reply(const TMacAddr& mac, uint32_t from, uint16_t status, std::vector<uint8_t> payload)
    {
        Deliver(from, MakeDatagram(6, status, mac, payload));
    }

private slots:
    void init()
    {
        Registry::Clear();
        m_Fake = new TFakeSessionCallback;
        m_Frame = new TStatusFrame;
    }
    void cleanup()
    {
        delete m_Frame;
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
        QTEST(TStatusFrame::StatusText(flags, power, ports), "text");
    }

    void rowColours()
    {
        QCOMPARE(TStatusFrame::RowColour(0), QColor());
        QCOMPARE(TStatusFrame::RowColour(1 | 2 | 4 | 8), QColor(255, 0, 0));
        QCOMPARE(TStatusFrame::RowColour(2 | 4), QColor(255, 255, 0));
        QCOMPARE(TStatusFrame::RowColour(4 | 8), QColor(0, 0, 255));
        QCOMPARE(TStatusFrame::RowColour(8), QColor(0, 102, 255));
    }

    void rowsFollowPolls()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetType(RegisterKnownModels()[2]);
        d->SetAddress(0xC0000201);
        m_Frame->AddDevice(d);
        m_Frame->AddDevice(d); // the same switch again: no second row
        QCOMPARE(List()->topLevelItemCount(), 1);
        QCOMPARE(Text(0, TStatusFrame::colIp), QString("192.0.2.1"));
        QCOMPARE(Text(0, TStatusFrame::colModel), QString::fromStdString(Description(d->Type())));
        QCOMPARE(Text(0, TStatusFrame::colTime), QString("(No response yet)"));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1)); // polled at once
        QCOMPARE(m_Fake->Timers.begin()->second.Interval, 5000u); // the query time-out

        // An alarm from its own address.
        Reply(Mac(1), 0xC0000201, 0, {0, 0, 0, 1, 0, 0, 0, 0x12, 0, 0, 0, 0xFF});
        QCOMPARE(Text(0, TStatusFrame::colStatus), QString("Online/power1 fail/port 2,5 fail"));
        QCOMPARE(m_Frame->GetStatusFlags(d), uint32_t(Status::sfAlarm));
        QCOMPARE(Row(0)->background(5).color(), QColor(0, 102, 255));
        QVERIFY(Text(0, TStatusFrame::colTime) != QString("(No response yet)"));
        QVERIFY(Row(0)->toolTip(2).startsWith("IP Address: 192.0.2.1\nMAC Address: 00:0A:1B:2C:3D:01\nDevice Model: "));

        // The switch answers from another address: both shown until Clear Error.
        m_Frame->PollAll();
        Reply(Mac(1), 0xC0000209, 0, std::vector<uint8_t>(12));
        QCOMPARE(Text(0, TStatusFrame::colIp), QString("Original: 192.0.2.1, Now: 192.0.2.9"));
        QCOMPARE(Text(0, TStatusFrame::colStatus), QString("Online/IP different"));
        QCOMPARE(Row(0)->background(0).color(), QColor(0, 0, 255));
        List()->setCurrentItem(Row(0));
        auto* clear = m_Frame->findChild<QPushButton*>("m_ClearError");
        QVERIFY(clear->isEnabled());
        clear->click();
        QCOMPARE(m_Frame->GetStatusFlags(d), 0u);
        QCOMPARE(Text(0, TStatusFrame::colStatus), QString("Online"));
        m_Frame->PollAll();
        Reply(Mac(1), 0xC0000209, 0, std::vector<uint8_t>(12));
        QCOMPARE(Text(0, TStatusFrame::colIp), QString("192.0.2.9"));

        // An error status, then silence.
        m_Frame->PollAll();
        Reply(Mac(1), 0xC0000209, 0x0205, std::vector<uint8_t>(12));
        QCOMPARE(Text(0, TStatusFrame::colStatus), QString("Online/query fail"));
        QCOMPARE(Row(0)->background(0).color(), QColor(255, 255, 0));
        m_Frame->PollAll();
        m_Fake->Advance(5000);
        QCOMPARE(Text(0, TStatusFrame::colStatus), QString("Offline"));
        QCOMPARE(Row(0)->background(0).color(), QColor(255, 0, 0));
        QVERIFY(m_Frame->GetStatusFlags(d) & Status::sfOffline);
        QCOMPARE(m_Frame->GetStatusFlags(nullptr), 0u);
    }

    void rowSurvivesANewDiscovery()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetAddress(0xC0000201);
        m_Frame->AddDevice(d);
        Registry::Clear(); // a new discovery
        m_Frame->PollAll();
        TDevice* again = Registry::Find(Mac(1), false);
        QVERIFY(again);
        QCOMPARE(again->Address(), 0xC0000201u); // recreated at the row's address
        QCOMPARE(m_Fake->Sent.back().Address, 0xC0000201u);
        // A result for a device without a row is ignored.
        TDevice* stranger = Registry::Find(Mac(7), true);
        m_Frame->OnResult(stranger, 6, stTimeout, nullptr);
        QCOMPARE(List()->topLevelItemCount(), 1);
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
        m_Frame->PollAll();
        QCOMPARE(m_Frame->PollTimer()->interval(), 5000);
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
        m_Frame->AddDevice(d);
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
            m_Frame->AddDevice(d);
        }
        auto* header = List()->header();
        QCOMPARE(Text(0, 0), QString("1"));
        emit header->sectionClicked(TStatusFrame::colIp);
        QCOMPARE(Text(0, TStatusFrame::colIp), QString("192.0.2.7"));
        emit header->sectionClicked(TStatusFrame::colIp); // same column: reversed
        QCOMPARE(Text(0, TStatusFrame::colIp), QString("192.0.2.9"));
        emit header->sectionClicked(TStatusFrame::colMac); // another: ascending
        QCOMPARE(Text(0, TStatusFrame::colMac), QString("00:0A:1B:2C:3D:01"));
        QCOMPARE(Text(2, TStatusFrame::colMac), QString("00:0A:1B:2C:3D:03"));
        // Sorted by status, a poll result moves its row once the burst is handled.
        emit header->sectionClicked(TStatusFrame::colStatus);
        m_Frame->OnResult(Registry::Find(Mac(3), false), 6, stTimeout, nullptr);
        QTRY_COMPARE(Text(0, TStatusFrame::colStatus), QString("Offline"));
        QCOMPARE(Text(0, TStatusFrame::colMac), QString("00:0A:1B:2C:3D:03"));
    }

private:
    TFakeSessionCallback* m_Fake = nullptr;
    TStatusFrame* m_Frame = nullptr;
};

QTEST_MAIN(TStatusTest)
#include "tst_status.moc"
