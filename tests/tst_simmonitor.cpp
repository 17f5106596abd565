// The simulator's monitor and LLDP commands against the console's sessions, in memory:
// the tables a switch starts with, long tables over many datagrams, counters that move,
// clears, Sets read back, refused Sets, and the fault options the decoders must reject.
#include "SimSwitch.h"

#include "core/Monitor.h"

#include <QtTest>

using namespace Intp;

class TSimMonitorTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

    const TPropertyMonitorMac& MacTable() { return GetProperty<TPropertyMonitorMac>(*m_Device); }
    const TPropertyMonitorPort& Counters() { return GetProperty<TPropertyMonitorPort>(*m_Device); }
    const TPropertyMonitorEvent& Events() { return GetProperty<TPropertyMonitorEvent>(*m_Device); }

private slots:
    void init()
    {
        OpenSwitch();
        m_Device->SetLoggedIn(true);
    }
    void cleanup() { CloseSwitch(); }

    void startUpTables()
    {
        QCOMPARE(Get<TSessionMonitorMacGet>(), uint16_t(0));
        QCOMPARE(MacTable().Entries.size(), std::size_t(25));
        QCOMPARE(
            std::count_if(MacTable().Entries.begin(), MacTable().Entries.end(), [](const auto& e) { return e.Static; }),
            1);
        QCOMPARE(Get<TSessionMonitorEventGet>(), uint16_t(0));
        QCOMPARE(Events().Entries.size(), std::size_t(12));
        QCOMPARE(m_LastDatagrams, std::size_t(3));
        QCOMPARE(Get<TSessionLldpGet>(), uint16_t(0));
        QVERIFY(GetProperty<TPropertyLldp>(*m_Device).Enabled);
        QCOMPARE(GetProperty<TPropertyLldp>(*m_Device).Interval, uint16_t(30));
    }

    // Tables that fill their last datagram end with an empty one.
    void longTables_data()
    {
        QTest::addColumn<int>("macs");
        QTest::addColumn<int>("datagrams");
        QTest::newRow("8000 addresses") << 8000 << 63;
        QTest::newRow("256 addresses") << 256 << 3;
        QTest::newRow("none") << 0 << 1;
    }
    void longTables()
    {
        QFETCH(int, macs);
        QFETCH(int, datagrams);
        m_Options.macTableSize[0] = macs;
        m_Options.eventLogSize[0] = 101;
        QCOMPARE(Get<TSessionMonitorMacGet>(), uint16_t(0));
        QCOMPARE(MacTable().Entries.size(), std::size_t(macs));
        QCOMPARE(m_LastDatagrams, std::size_t(datagrams));
        QCOMPARE(Get<TSessionMonitorEventGet>(), uint16_t(0));
        QCOMPARE(Events().Entries.size(), std::size_t(101));
        QCOMPARE(m_LastDatagrams, std::size_t(21));
    }

    void countersMoveAndClear()
    {
        QCOMPARE(Get<TSessionMonitorPortGet>(), uint16_t(0));
        QCOMPARE(Counters().Entries.size(), std::size_t(8));
        QCOMPARE(Counters().Entries[1].Counters[mcRxGood], uint32_t(120000));
        QCOMPARE(Get<TSessionMonitorPortGet>(), uint16_t(0));
        QCOMPARE(Counters().Entries[1].Counters[mcRxGood], uint32_t(120240));
        QCOMPARE(Get<TSessionMonitorPortGet>(), uint16_t(0));
        QCOMPARE(Counters().Entries[1].Counters[mcTxGood], uint32_t(100400));

        QVERIFY(StartNew<TSessionMonitorPortClear>(m_Device, nullptr));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(Counters().Entries[1].Counters[mcTxGood], uint32_t(0));
    }

    // Clearing the MAC table keeps the static addresses; clearing the log empties it.
    void clearsTables()
    {
        QVERIFY(StartNew<TSessionMonitorMacClear>(m_Device, nullptr));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(MacTable().Entries.size(), std::size_t(1));
        QVERIFY(MacTable().Entries[0].Static);
        QVERIFY(StartNew<TSessionMonitorEventClear>(m_Device, nullptr));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(Answer(), uint16_t(0));
        QVERIFY(Events().Valid);
        QVERIFY(Events().Entries.empty());
    }

    void setsReadBack()
    {
        TPropertyMonitorMirror mirror;
        mirror.DestRx = 7;
        mirror.DestTx = 6;
        mirror.SrcRx = 5;
        mirror.SrcTx = 0x30;
        QCOMPARE(Set<TSessionMonitorMirrorSet>(mirror), uint16_t(0));
        const auto& read = GetProperty<TPropertyMonitorMirror>(*m_Device);
        QCOMPARE((std::array<uint32_t, 4>{read.DestRx, read.DestTx, read.SrcRx, read.SrcTx}),
                 (std::array<uint32_t, 4>{7, 6, 5, 0x30}));

        QCOMPARE(Set<TSessionLldpSet>(TPropertyLldp{false, false, 4464}), uint16_t(0));
        QVERIFY(!GetProperty<TPropertyLldp>(*m_Device).Enabled);
        QCOMPARE(GetProperty<TPropertyLldp>(*m_Device).Interval, uint16_t(4464));

        mirror.DestTx = 8;
        QCOMPARE(Set<TSessionMonitorMirrorSet>(mirror), Sim::stBadRequest);
        QCOMPARE(GetProperty<TPropertyMonitorMirror>(*m_Device).DestTx, uint8_t(6));
    }

    void faults()
    {
        m_Options.badMacPort.insert(0);
        m_Options.shortCounters.insert(0);
        m_Options.badMirrorPort.insert(0);
        QCOMPARE(Get<TSessionMonitorMacGet>(), uint16_t(0x1100));
        QVERIFY(MacTable().Entries.empty());
        QCOMPARE(Get<TSessionMonitorPortGet>(), uint16_t(0x1100));
        QCOMPARE(Get<TSessionMonitorMirrorGet>(), uint16_t(0x1100));
        QVERIFY(!GetProperty<TPropertyMonitorMirror>(*m_Device).Valid);
    }

    void countersAtTheLimitWrap()
    {
        m_Options.countersAtLimit.insert(0);
        QCOMPARE(Get<TSessionMonitorPortGet>(), uint16_t(0));
        QCOMPARE(Counters().Entries[7].Counters[mcTxGood], uint32_t(0xFFFFFFFF));
        QCOMPARE(Get<TSessionMonitorPortGet>(), uint16_t(0));
        QCOMPARE(Counters().Entries[7].Counters[mcTxGood], uint32_t(799));
    }

    void fullEventTextsHaveNoTerminator()
    {
        m_Options.fullEventText.insert(0);
        QCOMPARE(Get<TSessionMonitorEventGet>(), uint16_t(0));
        QCOMPARE(Events().Entries[0].First.size(), std::size_t(128));
        QCOMPARE(Events().Entries[0].Second.size(), std::size_t(128));
        QVERIFY(Events().Entries[0].Second.starts_with("Cold start #1"));
    }
};

QTEST_MAIN(TSimMonitorTest)
#include "tst_simmonitor.moc"
