// The monitor and LLDP commands against a device of 8 ports and 4 trunk groups: which
// replies are taken and which are refused with which status, the MAC table and event log
// spread over several datagrams, the bytes of the Sets, and that clears and Sets ask again
// before they report.
#include "CommandTests.h"

#include "core/Monitor.h"

#include <QtTest>

using namespace Intp;

namespace {

constexpr int Ports = 8;
constexpr int LogicalPorts = 12;

QByteArray MacEntry(int port, uint8_t last, bool isStatic = false)
{
    return char(port) + Hex("0012340000") + char(last) + char(isStatic ? 1 : 0);
}

// count entries, the n-th on port n % ports.
QByteArray MacEntries(int count, int ports = LogicalPorts)
{
    QByteArray entries;
    for (int i = 0; i < count; ++i)
        entries += MacEntry(i % ports, uint8_t(i));
    return entries;
}

QByteArray EventText(const QByteArray& text) { return text.leftJustified(128, '\0', true); }

QByteArray EventEntries(int count)
{
    QByteArray entries;
    for (int i = 0; i < count; ++i)
        entries += EventText("2026/12/10 08:00:" + QByteArray::number(i)) + EventText("Port 1 link up");
    return entries;
}

QByteArray Counters(int ports, uint32_t first = 1)
{
    QByteArray bytes;
    for (int i = 0; i < ports * 6; ++i) {
        const uint32_t v = first + uint32_t(i);
        bytes += char(v >> 24);
        bytes += char(v >> 16);
        bytes += char(v >> 8);
        bytes += char(v);
    }
    return bytes;
}

const QByteArray Head(4, '\0');

} // namespace

class TMonitorTest : public QObject, public TCommandFixture {
    Q_OBJECT

    bool StartGet(int command) override
    {
        return StartGetOf<TSessionMonitorMacGet, TSessionMonitorPortGet, TSessionMonitorMirrorGet,
                          TSessionMonitorEventGet, TSessionLldpGet>(command);
    }
    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertyMonitorMac, TPropertyMonitorPort, TPropertyMonitorMirror, TPropertyMonitorEvent,
                       TPropertyLldp>(command);
    }
    // The clears and Sets, by command.
    bool SampleSet(int command, TWizard* receiver) override
    {
        switch (command) {
        case 0x0A01: return StartNew<TSessionMonitorMacClear>(m_Device, receiver);
        case 0x0A03: return StartNew<TSessionMonitorPortClear>(m_Device, receiver);
        case 0x0A05: return StartNew<TSessionMonitorMirrorSet>(m_Device, receiver, TPropertyMonitorMirror{});
        case 0x0A07: return StartNew<TSessionMonitorEventClear>(m_Device, receiver);
        default: return StartNew<TSessionLldpSet>(m_Device, receiver, TPropertyLldp{});
        }
    }

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    void getReplies_data()
    {
        GetReplyColumns();
        const auto row = &GetReplyRow;
        row("MAC table of 3", 0x0A00, Head + MacEntries(3), 0, 3);
        row("MAC table, surplus bytes ignored", 0x0A00, Head + MacEntries(3) + Hex("0102030405"), 0, 3);
        row("MAC table, empty", 0x0A00, Head, 0, 0);
        row("MAC on the last trunk", 0x0A00, Head + MacEntry(LogicalPorts - 1, 1), 0, 1);
        row("MAC beyond the last trunk", 0x0A00, Head + MacEntry(0, 1) + MacEntry(LogicalPorts, 2), 0x1100, 0);
        row("MAC table without head", 0x0A00, Hex("000000"), 2, 0);

        row("counters of 8 ports", 0x0A02, Counters(Ports), 0, Ports);
        row("counters and 23 surplus bytes", 0x0A02, Counters(Ports) + QByteArray(23, 'x'), 0, Ports);
        row("counters of 7 ports", 0x0A02, Counters(Ports - 1), 0x1100, 0);
        row("counters of 12 logical ports", 0x0A02, Counters(LogicalPorts), 0x1100, 0);
        row("a byte of counters", 0x0A02, Hex("00"), 0x1100, 0);

        row("mirror to port 8", 0x0A04,
            Hex("0007"
                "00000005"
                "00000080"),
            0, 0);
        row("mirror RX to port 9", 0x0A04,
            Hex("0800"
                "00000005"
                "00000080"),
            0x1100, 0);
        row("mirror TX to port 9", 0x0A04,
            Hex("0008"
                "00000005"
                "00000080"),
            0x1100, 0);
        row("mirror a byte short", 0x0A04,
            Hex("0000"
                "00000005"
                "000000"),
            2, 0);

        row("event log of 4", 0x0A06, Head + EventEntries(4), 0, 4);
        row("event log, empty", 0x0A06, Head, 0, 0);

        row("LLDP on, 30 s", 0x0B00, Hex("0100001e"), 0, 0);
        row("LLDP a byte short", 0x0B00, Hex("010000"), 2, 0);
    }
    // A refused reply leaves the record not valid; a short one leaves it as it was.
    void getReplies() { CheckGetReply(); }

    void decodesEveryField()
    {
        Answer(0x0A00, Head + MacEntry(3, 0xAA, true) + MacEntry(1, 0xBB) + MacEntry(3, 0xCC));
        const auto& mac = GetProperty<TPropertyMonitorMac>(*m_Device);
        QCOMPARE(mac.Entries.size(), std::size_t(3));
        QCOMPARE(mac.Entries[0].Port, 3);
        QCOMPARE(QString::fromStdString(mac.Entries[0].Mac.Text()), QStringLiteral("00:12:34:00:00:AA"));
        QVERIFY(mac.Entries[0].Static);
        QVERIFY(!mac.Entries[1].Static);
        QCOMPARE(mac.Entries[2].Mac.Data()[5], uint8_t(0xCC));

        // A counter at its 32-bit limit stays unsigned.
        Answer(0x0A02, Counters(Ports, 0xFFFFFFFF - 5));
        const auto& counters = GetProperty<TPropertyMonitorPort>(*m_Device);
        QCOMPARE(counters.Entries[0].Counters[mcCollision], uint32_t(0xFFFFFFFF));
        QCOMPARE(counters.Entries[1].Counters[mcTxGood], uint32_t(0));

        Answer(0x0A04,
               Hex("0102"
                   "00000005"
                   "80000001"));
        const auto& mirror = GetProperty<TPropertyMonitorMirror>(*m_Device);
        QCOMPARE(mirror.DestRx, uint8_t(1));
        QCOMPARE(mirror.DestTx, uint8_t(2));
        QCOMPARE(mirror.SrcRx, uint32_t(5));
        QCOMPARE(mirror.SrcTx, uint32_t(0x80000001));

        // Texts that fill their 128 bytes have no terminator and are taken whole.
        Answer(0x0A06, Head + QByteArray(128, 'a') + EventText("second"));
        const auto& events = GetProperty<TPropertyMonitorEvent>(*m_Device);
        QCOMPARE(events.Entries.size(), std::size_t(1));
        QCOMPARE(events.Entries[0].First, std::string(128, 'a'));
        QCOMPARE(events.Entries[0].Second, std::string("second"));

        Answer(0x0B00, Hex("07ff0e10"));
        const auto& lldp = GetProperty<TPropertyLldp>(*m_Device);
        QVERIFY(lldp.Enabled);
        QCOMPARE(lldp.Interval, uint16_t(3600));
    }

    // Full datagrams (128 MAC entries, 5 events) mean more follow; a shorter one, possibly
    // empty, ends the list with everything gathered (two full datagrams, then the last).
    void listsSpreadOverDatagrams_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("full");
        QTest::addColumn<QByteArray>("last");
        QTest::addColumn<int>("total");
        QTest::newRow("MAC table, empty end") << 0x0A00 << Head + MacEntries(128) << Head << 256;
        QTest::newRow("MAC table, 3 more") << 0x0A00 << Head + MacEntries(128) << Head + MacEntries(3) << 259;
        QTest::newRow("event log of 5 + 4") << 0x0A06 << Head + EventEntries(5) << Head + EventEntries(4) << 14;
    }
    void listsSpreadOverDatagrams()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, full);
        QFETCH(QByteArray, last);
        QFETCH(int, total);
        QVERIFY(StartGet(command));
        Reply(command, full);
        Reply(command, full);
        QVERIFY(m_Fake->Results.empty());
        QCOMPARE(PendingSessions().size(), std::size_t(1));
        Reply(command, last);
        QCOMPARE(LastStatus(), 0);
        QVERIFY(State(command).first);
        QCOMPARE(State(command).second, total);
        if (command == 0x0A06)
            QCOMPARE(full.size(), 1284);

        // A datagram after the last one finds no session and changes nothing.
        Reply(command, full);
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QVERIFY(State(command).first);
    }

    // A sender that keeps sending full datagrams is cut off: the table gathers 65,536
    // entries at the most, however the datagrams are cut, and the session then ends.
    void macTableEndsAtItsBound_data()
    {
        QTest::addColumn<int>("perDatagram");
        QTest::addColumn<int>("fullDatagrams");
        QTest::addColumn<int>("status");
        QTest::newRow("128 x 512, then the end") << 128 << 512 << 0;
        QTest::newRow("128 x 513") << 128 << 513 << 0x1100;
        QTest::newRow("8,000 x 9") << 8000 << 9 << 0x1100;
    }
    void macTableEndsAtItsBound()
    {
        QFETCH(int, perDatagram);
        QFETCH(int, fullDatagrams);
        QFETCH(int, status);
        QVERIFY(StartGet(0x0A00));
        const QByteArray full = Head + MacEntries(perDatagram);
        for (int i = 0; i < fullDatagrams; ++i)
            Reply(0x0A00, full);
        if (status == 0) {
            QVERIFY(m_Fake->Results.empty());
            Reply(0x0A00, Head);
        }
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(LastStatus(), status);
        QVERIFY(PendingSessions().empty());
        QCOMPARE(GetProperty<TPropertyMonitorMac>(*m_Device).Entries.size(), std::size_t(status == 0 ? 65536 : 0));
    }

    // A bad entry in a later datagram empties the whole table, earlier datagrams included.
    void badMacEntryEmptiesTheWholeTable()
    {
        QVERIFY(StartGet(0x0A00));
        Reply(0x0A00, Head + MacEntries(128));
        Reply(0x0A00, Head + MacEntries(5) + MacEntry(LogicalPorts, 9));
        QCOMPARE(LastStatus(), 0x1100);
        QVERIFY(!State(0x0A00).first);
        QVERIFY(GetProperty<TPropertyMonitorMac>(*m_Device).Entries.empty());
        QVERIFY(PendingSessions().empty());
    }

    // An error status clears the MAC table and the event log; sending a Get starts afresh.
    void errorStatusEmptiesTheLists()
    {
        for (int command : {0x0A00, 0x0A06}) {
            Answer(command, command == 0x0A00 ? Head + MacEntries(4) : Head + EventEntries(2));
            QVERIFY(StartGet(command));
            Reply(command, Head, 7);
            QCOMPARE(LastStatus(), 7);
            QVERIFY(!State(command).first);
            QCOMPARE(RecordStateOf<TPropertyMonitorMac>(*m_Device).second, 0);
            QCOMPARE(RecordStateOf<TPropertyMonitorEvent>(*m_Device).second, 0);
        }
    }

    void setRequestBytes()
    {
        TPropertyMonitorMirror mirror;
        mirror.DestRx = 2;
        mirror.DestTx = 7;
        mirror.SrcRx = 5;
        mirror.SrcTx = 0x80;
        QVERIFY(StartNew<TSessionMonitorMirrorSet>(m_Device, nullptr, mirror));
        const auto& sent = m_Fake->Sent.back().Bytes;
        QCOMPARE(sent.size(), std::size_t(22));
        QCOMPARE(Intp::ReadU16(sent.data() + 4), uint16_t(10));
        QCOMPARE(Bytes(sent).mid(int(HeaderSize)),
                 Hex("0207"
                     "00000005"
                     "00000080"));

        TPropertyLldp lldp;
        lldp.Enabled = true;
        lldp.Interval = 4464;
        QVERIFY(StartNew<TSessionLldpSet>(m_Device, nullptr, lldp));
        QCOMPARE(m_Fake->Sent.back().Bytes.size(), std::size_t(16));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(HeaderSize)), Hex("01001170"));

        for (uint16_t command : {uint16_t(0x0A00), uint16_t(0x0A01), uint16_t(0x0A03), uint16_t(0x0A07)}) {
            switch (command) {
            case 0x0A00: StartNew<TSessionMonitorMacGet>(m_Device, nullptr); break;
            case 0x0A01: StartNew<TSessionMonitorMacClear>(m_Device, nullptr); break;
            case 0x0A03: StartNew<TSessionMonitorPortClear>(m_Device, nullptr); break;
            default: StartNew<TSessionMonitorEventClear>(m_Device, nullptr); break;
            }
            QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(HeaderSize)), QByteArray(4, '\0'));
            QCOMPARE(Intp::ReadU16(m_Fake->Sent.back().Bytes.data()), command);
        }
    }

    void clearsAndSetsAskAgainBeforeTheyReport_data()
    {
        SetStartsItsGetColumns();
        SetStartsItsGetRow("MAC table clear", 0x0A01, 0x0A00, 0);
        SetStartsItsGetRow("counters clear", 0x0A03, 0x0A02, 0);
        SetStartsItsGetRow("mirror set", 0x0A05, 0x0A04, 0);
        SetStartsItsGetRow("event log clear, refused", 0x0A07, 0x0A06, 4);
        SetStartsItsGetRow("LLDP set", 0x0B01, 0x0B00, 0);
    }
    void clearsAndSetsAskAgainBeforeTheyReport() { CheckSetStartsItsGet(); }
};

QTEST_MAIN(TMonitorTest)
#include "tst_monitor.moc"
