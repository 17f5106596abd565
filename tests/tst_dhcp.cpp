// The DHCP server commands against a device of 8 ports: which replies are taken and which
// are refused with which status, the lease table spread over datagrams of 32 clients, the
// bytes of the Sets, the port binding Set refused for a list of the wrong length, and that
// the Sets ask again before they report.
#include "CommandTests.h"

#include "core/Dhcp.h"

#include <QtTest>

using namespace Intp;

namespace {

constexpr int Ports = 8;

QByteArray U16(int v) { return QByteArray(1, char(v >> 8)) + char(v); }

QByteArray U32(uint32_t v) { return U16(int(v >> 16)) + U16(int(v & 0xFFFF)); }

// Enabled, pool 192.168.1.10 to .200, mask /24, gateway .1, DNS 8.8.8.8, a day's lease.
const QByteArray Server = Hex("01"
                              "c0a8010a"
                              "c0a801c8"
                              "ffffff00"
                              "c0a80101"
                              "08080808"
                              "00015180");

QByteArray Client(int n, int type = 2, int state = 3)
{
    return U32(0x0A000000u + uint32_t(n)) + Hex("0012340000") + char(n) + U16(type) + U16(state) +
        U32(3600u + uint32_t(n));
}

// count clients 10.0.0.<i>, each Dynamic and bound.
QByteArray Clients(int count, int first = 0)
{
    QByteArray entries;
    for (int i = first; i < first + count; ++i)
        entries += Client(i);
    return entries;
}

// count port bindings 10.0.1.<i>, 0 (none) on the even ports.
QByteArray Bindings(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += U32(i % 2 ? 0x0A000100u + uint32_t(i) : 0);
    return bytes;
}

const QByteArray Head = Hex("deadbeef");

} // namespace

class TDhcpTest : public QObject, public TCommandFixture {
    Q_OBJECT

    bool StartGet(int command) override
    {
        return StartGetOf<TSessionBasicsDhcpGet, TSessionBasicsDhcpEntry, TSessionBasicsDhcpPortIpGet>(command);
    }
    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertyBasicsDhcp, TPropertyBasicsDhcpEntry, TPropertyBasicsDhcpPortIp>(command);
    }
    bool SampleSet(int command, TWizard* receiver) override
    {
        if (command == 0x0111)
            return StartNew<TSessionBasicsDhcpSet>(m_Device, receiver, TPropertyBasicsDhcp{});
        return StartNew<TSessionBasicsDhcpPortIpSet>(m_Device, receiver, std::vector<uint32_t>(Ports, 0));
    }

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    void getReplies_data()
    {
        GetReplyColumns();
        const auto row = &GetReplyRow;
        row("server settings", 0x0110, Server, 0, 0);
        row("server settings and surplus", 0x0110, Server + Hex("ff"), 0, 0);
        row("server settings a byte short", 0x0110, Server.chopped(1), 2, 0);

        row("3 clients", 0x0112, Head + Clients(3), 0, 3);
        row("31 clients in one datagram", 0x0112, Head + Clients(31), 0, 31);
        row("no clients", 0x0112, Head, 0, 0);
        row("a client and 17 surplus bytes", 0x0112, Head + Clients(1) + QByteArray(17, 'x'), 0, 1);
        row("last type and state", 0x0112, Head + Client(1, 4, 3), 0, 1);
        row("type 5", 0x0112, Head + Clients(2) + Client(9, 5, 3), 0x1100, 0);
        row("state 4", 0x0112, Head + Client(9, 0, 4) + Clients(2), 0x1100, 0);
        row("clients without head", 0x0112, Hex("000000"), 2, 0);

        row("a binding per port", 0x0113, Bindings(Ports), 0, Ports);
        row("bindings and 3 surplus bytes", 0x0113, Bindings(Ports) + Hex("010203"), 0, Ports);
        row("one binding too few", 0x0113, Bindings(Ports - 1), 0x1100, 0);
        row("one binding too many", 0x0113, Bindings(Ports + 1), 0x1100, 0);
        row("a byte of bindings", 0x0113, Hex("01"), 0x1100, 0);
        row("no bindings", 0x0113, QByteArray(), 2, 0);
    }
    // A refused reply leaves the record not valid; the lease table also empty.
    void getReplies() { CheckGetReply(); }

    void decodesEveryField()
    {
        Answer(0x0110, Server);
        const auto& server = GetProperty<TPropertyBasicsDhcp>(*m_Device);
        QVERIFY(server.Enabled);
        QCOMPARE(server.Start, 0xC0A8010Au);
        QCOMPARE(server.End, 0xC0A801C8u);
        QCOMPARE(server.Mask, 0xFFFFFF00u);
        QCOMPARE(server.Gateway, 0xC0A80101u);
        QCOMPARE(server.Dns, 0x08080808u);
        QCOMPARE(server.Lease, 86400u);

        // Any non-zero byte enables the server.
        Answer(0x0110, Hex("07") + Server.mid(1));
        QVERIFY(GetProperty<TPropertyBasicsDhcp>(*m_Device).Enabled);

        Answer(0x0112, Head + U32(0xC0A80105) + Hex("02aabbccddee") + U16(1) + U16(2) + U32(0xFFFFFFFF));
        const auto& clients = GetProperty<TPropertyBasicsDhcpEntry>(*m_Device).Entries;
        QCOMPARE(clients.size(), std::size_t(1));
        QCOMPARE(clients[0].Address, 0xC0A80105u);
        QCOMPARE(QString::fromStdString(clients[0].ClientId.Text()), QStringLiteral("02:AA:BB:CC:DD:EE"));
        QCOMPARE(clients[0].Type, uint16_t(dtBootpTab));
        QCOMPARE(clients[0].State, uint16_t(dsDhcpOffer));
        QCOMPARE(clients[0].Lease, 0xFFFFFFFFu);

        Answer(0x0113, Bindings(Ports));
        const auto& bindings = GetProperty<TPropertyBasicsDhcpPortIp>(*m_Device).Addresses;
        QCOMPARE(bindings, (std::vector<uint32_t>{0, 0x0A000101, 0, 0x0A000103, 0, 0x0A000105, 0, 0x0A000107}));
    }

    // A datagram of 32 clients (or more) means more follow; a shorter one, possibly empty,
    // ends the table with everything gathered in arrival order.
    void clientsSpreadOverDatagrams_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("32, then an empty end") << QList<int>{32, 0};
        QTest::newRow("32, 32, then 5") << QList<int>{32, 32, 5};
        QTest::newRow("a datagram of 33") << QList<int>{33, 1};
    }
    void clientsSpreadOverDatagrams()
    {
        QFETCH(QList<int>, counts);
        QVERIFY(StartGet(0x0112));
        int total = 0;
        for (int count : counts) {
            QVERIFY(m_Fake->Results.empty());
            m_Fake->Advance(1000);
            Reply(0x0112, Head + Clients(count, total));
            total += count;
            if (count >= 32) {
                // Still waiting, its reply timer running again from now.
                QCOMPARE(PendingSessions().size(), std::size_t(1));
                const auto& timer = m_Fake->Timers.at(PendingSessions().front());
                QVERIFY(timer.Enabled);
                QCOMPARE(timer.Due, m_Fake->Now + timer.Interval);
                QVERIFY(!GetProperty<TPropertyBasicsDhcpEntry>(*m_Device).Valid);
            }
        }
        QCOMPARE(LastStatus(), 0);
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        const auto& record = GetProperty<TPropertyBasicsDhcpEntry>(*m_Device);
        QVERIFY(record.Valid);
        QCOMPARE(int(record.Entries.size()), total);
        for (int i = 0; i < total; ++i)
            QCOMPARE(record.Entries[std::size_t(i)].Address, 0x0A000000u + uint32_t(i));

        // A datagram after the last one finds no session and changes nothing.
        Reply(0x0112, Head + Clients(32));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(State(0x0112), std::make_pair(true, total));
    }

    // A bad client in a later datagram, or an error status there, empties the whole table.
    void laterDatagramEmptiesTheWholeTable_data()
    {
        QTest::addColumn<QByteArray>("last");
        QTest::addColumn<int>("replyStatus");
        QTest::addColumn<int>("status");
        QTest::newRow("type 5") << Head + Clients(4) + Client(40, 5, 0) << 0 << 0x1100;
        QTest::newRow("state 4") << Head + Client(40, 0, 4) << 0 << 0x1100;
        QTest::newRow("error status") << Head + Clients(4) << 7 << 7;
    }
    void laterDatagramEmptiesTheWholeTable()
    {
        QFETCH(QByteArray, last);
        QFETCH(int, replyStatus);
        QFETCH(int, status);
        QVERIFY(StartGet(0x0112));
        Reply(0x0112, Head + Clients(32));
        Reply(0x0112, last, uint16_t(replyStatus));
        QCOMPARE(LastStatus(), status);
        QCOMPARE(State(0x0112), std::make_pair(false, 0));
        QVERIFY(PendingSessions().empty());
    }

    // Sending the lease table's Get empties the record at once; an error status leaves
    // the server settings and the bindings as they were, only not valid.
    void errorStatusAndRequestClearing()
    {
        Answer(0x0112, Head + Clients(3));
        QCOMPARE(State(0x0112), std::make_pair(true, 3));
        QVERIFY(StartGet(0x0112));
        QCOMPARE(State(0x0112), std::make_pair(false, 0));

        Answer(0x0110, Server);
        StartGet(0x0110);
        Reply(0x0110, QByteArray(25, '\0'), 5);
        QCOMPARE(LastStatus(), 5);
        QCOMPARE(State(0x0110), std::make_pair(false, 0));
        QCOMPARE(GetProperty<TPropertyBasicsDhcp>(*m_Device).End, 0xC0A801C8u);

        Answer(0x0113, Bindings(Ports));
        StartGet(0x0113);
        Reply(0x0113, Bindings(Ports), 5);
        QCOMPARE(State(0x0113), std::make_pair(false, Ports));
        StartGet(0x0113);
        Reply(0x0113, Bindings(Ports - 1));
        QCOMPARE(State(0x0113), std::make_pair(false, Ports));
    }

    void requestBytes()
    {
        for (int command : {0x0110, 0x0112, 0x0113}) {
            QVERIFY(StartGet(command));
            const auto& sent = m_Fake->Sent.back().Bytes;
            QCOMPARE(Intp::ReadU16(sent.data()), uint16_t(command));
            QCOMPARE(Bytes(sent).mid(int(HeaderSize)), QByteArray(4, '\0'));
        }

        TPropertyBasicsDhcp server;
        server.Enabled = true;
        server.Start = 0xC0A8010A;
        server.End = 0xC0A801C8;
        server.Mask = 0xFFFFFF00;
        server.Gateway = 0xC0A80101;
        server.Dns = 0x08080808;
        server.Lease = 86400;
        QVERIFY(StartNew<TSessionBasicsDhcpSet>(m_Device, nullptr, server));
        const auto& sent = m_Fake->Sent.back().Bytes;
        QCOMPARE(sent.size(), HeaderSize + 25);
        QCOMPARE(Intp::ReadU16(sent.data()), uint16_t(0x0111));
        QCOMPARE(Intp::ReadU16(sent.data() + 4), uint16_t(25));
        QCOMPARE(Bytes(sent).mid(int(HeaderSize)), Server);

        QVERIFY(StartNew<TSessionBasicsDhcpPortIpSet>(
            m_Device, nullptr, std::vector<uint32_t>{0, 0x0A000101, 0, 0x0A000103, 0, 0x0A000105, 0, 0x0A000107}));
        QCOMPARE(Intp::ReadU16(m_Fake->Sent.back().Bytes.data()), uint16_t(0x0114));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(HeaderSize)), Bindings(Ports));
    }

    // One address per port or nothing is sent.
    void portBindingSetNeedsOneAddressPerPort_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("one too few") << Ports - 1;
        QTest::newRow("one too many") << Ports + 1;
    }
    void portBindingSetNeedsOneAddressPerPort()
    {
        QFETCH(int, count);
        CheckSentWhen(
            StartNew<TSessionBasicsDhcpPortIpSet>(m_Device, nullptr, std::vector<uint32_t>(std::size_t(count), 1)),
            false);
    }

    void setsAskAgainBeforeTheyReport_data()
    {
        SetStartsItsGetColumns();
        SetStartsItsGetRow("server set", 0x0111, 0x0110, 0);
        SetStartsItsGetRow("server set, refused", 0x0111, 0x0110, 4);
        SetStartsItsGetRow("port binding set", 0x0114, 0x0113, 0);
        SetStartsItsGetRow("port binding set, refused", 0x0114, 0x0113, 4);
    }
    void setsAskAgainBeforeTheyReport() { CheckSetStartsItsGet(); }

    void sessionNames()
    {
        StartGet(0x0110);
        StartGet(0x0112);
        StartGet(0x0113);
        SampleSet(0x0111, nullptr);
        SampleSet(0x0114, nullptr);
        QStringList names;
        for (const TSession* session : PendingSessions())
            names << session->Name();
        QCOMPARE(names, (QStringList{"DhcpGet", "DhcpEntry", "DhcpPortIpGet", "DhcpSet", "DhcpPortIpSet"}));
    }
};

QTEST_MAIN(TDhcpTest)
#include "tst_dhcp.moc"
