// The status monitor without widgets: what each poll result does to a row's flags, texts
// and time, which sort keys it reports as touched, and the period and time-out limits.
#include "FakeSessionCallback.h"

#include "core/IntpCore.h"
#include "net/StatusMonitor.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Intp;
using Status::TStatusMonitor;

namespace {

// What happens to the row's switch while a poll is pending.
enum TEvent { evNone, evAnswer, evAlarm, evError, evTimeout, evMoved };

constexpr uint32_t Home = 0xC0000201; // 192.0.2.1, the reference address
constexpr uint32_t Away = 0xC0000209; // 192.0.2.9

} // namespace

class TStatusMonitorTest : public QObject {
    Q_OBJECT

    // The switch answers from where the poll went: its device's address.
    void Happen(TEvent event)
    {
        TDevice* d = Registry::Find(Mac(1), false);
        auto reply = [d](uint16_t status, std::vector<uint8_t> payload) {
            Deliver(d->Address(), MakeDatagram(6, status, Mac(1), payload));
        };
        switch (event) {
        case evNone: break;
        case evAnswer: reply(0, std::vector<uint8_t>(12)); break;
        case evAlarm: reply(0, {0, 0, 0, 1, 0, 0, 0, 0x12, 0, 0, 0, 0}); break;
        case evError: reply(0x0205, std::vector<uint8_t>(12)); break;
        case evTimeout: m_Fake->Advance(5000); break;
        case evMoved:
            // A discovery found the switch at another address: the poll sent to the old one
            // goes unanswered, the next one is answered from the new one.
            d->SetAddress(Away);
            m_Fake->Advance(5000);
            m_Monitor->PollAll();
            reply(0, std::vector<uint8_t>(12));
            break;
        }
    }

private slots:
    void init()
    {
        Registry::Clear();
        m_Fake = new TFakeSessionCallback;
        m_Monitor = new TStatusMonitor;
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetAddress(Home);
        m_Monitor->AddDevice(d);
    }
    void cleanup()
    {
        delete m_Monitor;
        delete m_Fake;
        Registry::Clear();
    }

    void pollResults_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("event");
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<uint32_t>("keys"); // of the last change
        const uint32_t off = Status::sfOffline, failed = Status::sfQueryFailed, moved = Status::sfAddressChanged,
                       alarm = Status::sfAlarm;
        const uint32_t time = TStatusMonitor::keyReported, text = TStatusMonitor::keyStatus;
        const QString home = "192.0.2.1", both = "Original: 192.0.2.1, Now: 192.0.2.9";
        const QString alarms = "Online/power1 fail/port 2,5 fail";
        QTest::newRow("answer") << +evNone << +evAnswer << 0u << "Online" << home << true << time;
        QTest::newRow("alarm") << +evNone << +evAlarm << alarm << alarms << home << true << (time | text);
        QTest::newRow("error") << +evNone << +evError << failed << "Online/query fail" << home << true << (time | text);
        QTest::newRow("timeout") << +evNone << +evTimeout << off << "Offline" << home << false << text;
        QTest::newRow("moved") << +evNone << +evMoved << moved << "Online/IP different" << both << true
                               << (time | text);
        QTest::newRow("alarm, next poll") << +evAlarm << +evNone << alarm << "Online" << home << true << text;
        QTest::newRow("alarm, timeout") << +evAlarm << +evTimeout << (alarm | off) << "Offline" << home << true << text;
        QTest::newRow("alarm, error") << +evAlarm << +evError << (alarm | failed) << "Online/query fail" << home << true
                                      << (time | text);
        QTest::newRow("alarm, answer") << +evAlarm << +evAnswer << 0u << "Online" << home << true << time;
        QTest::newRow("timeout, answer") << +evTimeout << +evAnswer << 0u << "Online" << home << true << (time | text);
        QTest::newRow("error, alarm") << +evError << +evAlarm << alarm << alarms << home << true << (time | text);
        QTest::newRow("moved, timeout") << +evMoved << +evTimeout << (moved | off) << "Offline" << both << true << text;
        QTest::newRow("moved, error") << +evMoved << +evError << (failed | moved) << "Online/query fail/IP different"
                                      << both << true << (time | text);
        QTest::newRow("moved, answer") << +evMoved << +evAnswer << moved << "Online/IP different" << both << true
                                       << time;
    }
    void pollResults()
    {
        QFETCH(int, before);
        QFETCH(int, event);
        QFETCH(uint32_t, flags);
        QFETCH(QString, status);
        QFETCH(QString, ip);
        QFETCH(bool, reported);
        QFETCH(uint32_t, keys);
        Happen(TEvent(before));
        QSignalSpy changes(m_Monitor, &TStatusMonitor::RowChanged);
        if (before != evNone)
            m_Monitor->PollAll(); // drops the alarm parts of the text until the answer
        Happen(TEvent(event));
        const TStatusMonitor::TRow& row = m_Monitor->Row(0);
        QCOMPARE(row.Flags, flags);
        QCOMPARE(m_Monitor->GetStatusFlags(Registry::Find(Mac(1), false)), flags);
        QCOMPARE(row.Status, status);
        QCOMPARE(row.Ip, ip);
        QCOMPARE(row.Reported != 0, reported);
        QCOMPARE(TStatusMonitor::TimeText(row) == "(No response yet)", !reported);
        QCOMPARE(m_Monitor->AnyRowInTrouble(),
                 bool(flags & (Status::sfOffline | Status::sfQueryFailed | Status::sfAlarm)));
        QVERIFY(!changes.isEmpty());
        QCOMPARE(changes.last()[1].toUInt(), keys);
    }

    // A poll that has not ended (unanswered, or still waiting for room in the send window)
    // is not joined by another; the next tick after its end polls again. A new discovery's
    // device is polled whatever its predecessor's poll does.
    void noSecondPollWhileOneWaits()
    {
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        m_Monitor->PollAll();
        m_Monitor->PollAll();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(PendingSessions().size(), std::size_t(1));
        Happen(evAnswer);
        m_Monitor->PollAll();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        Registry::Clear();
        m_Monitor->PollAll();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(3));
    }

    void clearErrorsTakesTheNewAddress()
    {
        Happen(evMoved);
        m_Monitor->PollAll();
        QSignalSpy changes(m_Monitor, &TStatusMonitor::RowChanged);
        m_Monitor->ClearErrors({0});
        const TStatusMonitor::TRow& row = m_Monitor->Row(0);
        QCOMPARE(row.Flags, 0u);
        QCOMPARE(row.Reference, Away);
        QCOMPARE(row.Status, QString("Online"));
        QCOMPARE(row.Ip, QString("Original: 192.0.2.1, Now: 192.0.2.9")); // until the next answer
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0][1].toUInt(), uint32_t(TStatusMonitor::keyReference | TStatusMonitor::keyStatus));
        Happen(evMoved);
        QCOMPARE(m_Monitor->Row(0).Ip, QString("192.0.2.9"));
    }

    void limits_data()
    {
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("periodAfter");
        QTest::addColumn<int>("timeoutAfter");
        QTest::newRow("as given") << 60 << 30 << 60 << 30;
        QTest::newRow("period 5 limits the time-out to 4") << 5 << 9 << 5 << 4;
        QTest::newRow("period below 5") << 3 << 5 << 5 << 4;
        QTest::newRow("period above a day") << 90000 << 5 << 86400 << 5;
        QTest::newRow("time-out below 1") << 10 << 0 << 10 << 1;
        QTest::newRow("time-out at the period") << 10 << 10 << 10 << 9;
    }
    void limits()
    {
        QFETCH(int, period);
        QFETCH(int, timeout);
        m_Monitor->SetPeriod(period);
        m_Monitor->SetTimeout(timeout);
        QTEST(m_Monitor->Period(), "periodAfter");
        QTEST(m_Monitor->Timeout(), "timeoutAfter");
        Happen(evTimeout); // ends the first poll
        m_Monitor->PollAll();
        QCOMPARE(m_Monitor->PollTimer()->interval(), m_Monitor->Period() * 1000);
        QCOMPARE(m_Fake->Timers.size(), std::size_t(1));
        QCOMPARE(m_Fake->Timers.begin()->second.Interval, unsigned(m_Monitor->Timeout()) * 1000);
    }

private:
    TFakeSessionCallback* m_Fake = nullptr;
    TStatusMonitor* m_Monitor = nullptr;
};

QTEST_GUILESS_MAIN(TStatusMonitorTest)
#include "tst_statusmonitor.moc"
