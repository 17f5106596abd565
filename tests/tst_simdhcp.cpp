// The simulator's DHCP server and IGMP snooping commands against the console's sessions, in
// memory: the settings a switch starts with, lease and group tables over many datagrams,
// Sets read back, refused Sets, and the fault options the decoders must reject.
#include "SimSwitch.h"

#include "core/Dhcp.h"
#include "core/Igmp.h"

#include <QtTest>

using namespace Intp;

namespace {

constexpr int Ports = 8;

TPropertyBasicsDhcp Server(bool enabled, uint32_t start, uint32_t end, uint32_t mask, uint32_t lease = 600)
{
    TPropertyBasicsDhcp d;
    d.Enabled = enabled;
    d.Start = start;
    d.End = end;
    d.Mask = mask;
    d.Gateway = 0xC0A80101;
    d.Dns = 0x08080404;
    d.Lease = lease;
    return d;
}

TPropertyIgmp Igmp(bool snooping, uint8_t mode)
{
    TPropertyIgmp g;
    g.Snooping = snooping;
    g.QueryMode = mode;
    return g;
}

} // namespace

class TSimDhcpTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

    const TPropertyBasicsDhcp& DhcpServer() { return GetProperty<TPropertyBasicsDhcp>(*m_Device); }
    const TPropertyBasicsDhcpEntry& Clients() { return GetProperty<TPropertyBasicsDhcpEntry>(*m_Device); }
    const TPropertyBasicsDhcpPortIp& Bindings() { return GetProperty<TPropertyBasicsDhcpPortIp>(*m_Device); }
    const TPropertyIgmp& IgmpSettings() { return GetProperty<TPropertyIgmp>(*m_Device); }
    const TPropertyIgmpTable& Groups() { return GetProperty<TPropertyIgmpTable>(*m_Device); }

private slots:
    void init()
    {
        OpenSwitch();
        m_Device->SetLoggedIn(true);
    }
    void cleanup() { CloseSwitch(); }

    void startUpSettings()
    {
        QCOMPARE(Get<TSessionBasicsDhcpGet>(), uint16_t(0));
        QVERIFY(!DhcpServer().Enabled);
        QCOMPARE(DhcpServer().Lease, 86400u);
        QCOMPARE(Get<TSessionBasicsDhcpEntry>(), uint16_t(0));
        QCOMPARE(Clients().Entries.size(), std::size_t(4));
        QCOMPARE(m_LastDatagrams, std::size_t(1));
        QCOMPARE(Get<TSessionBasicsDhcpPortIpGet>(), uint16_t(0));
        QCOMPARE(Bindings().Addresses, std::vector<uint32_t>(Ports, 0));

        QCOMPARE(Get<TSessionIgmpGet>(), uint16_t(0));
        QVERIFY(IgmpSettings().Snooping);
        QCOMPARE(IgmpSettings().QueryMode, uint8_t(iqAuto));
        QCOMPARE(Get<TSessionIgmpTable>(), uint16_t(0));
        QCOMPARE(Groups().Entries,
                 (std::vector<TPropertyIgmpTableEntry>{
                     {0x03, 0xEF010001, 1}, {0x06, 0xEF010002, 1}, {0x0C, 0xEF010003, 1}}));
    }

    // Tables that fill their last datagram end with an empty one.
    void longTables_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("clientDatagrams");
        QTest::addColumn<int>("groupDatagrams");
        QTest::newRow("100, as in the lab") << 100 << 4 << 2;
        QTest::newRow("64") << 64 << 3 << 2;
        QTest::newRow("none") << 0 << 1 << 1;
    }
    void longTables()
    {
        QFETCH(int, count);
        QFETCH(int, clientDatagrams);
        QFETCH(int, groupDatagrams);
        QString error;
        QVERIFY2(Sim::ParseOptions({"switchsim", "--count", "1", "--dhcp-clients", "0=" + QString::number(count),
                                    "--igmp-groups", "0=" + QString::number(count)},
                                   m_Options, error),
                 qPrintable(error));
        QCOMPARE(Set<TSessionBasicsDhcpSet>(Server(true, 0x0A000010, 0x0A0000FF, 0xFFFFFF00)), uint16_t(0));
        QCOMPARE(Get<TSessionBasicsDhcpEntry>(), uint16_t(0));
        QCOMPARE(m_LastDatagrams, std::size_t(clientDatagrams));
        QCOMPARE(Clients().Entries.size(), std::size_t(count));
        for (int k = 0; k < count; ++k) {
            const auto& client = Clients().Entries[std::size_t(k)];
            QCOMPARE(client.Address, 0x0A000010u + uint32_t(k));
            QCOMPARE(client.ClientId.Data()[5], uint8_t(k));
            QVERIFY(client.Type < dtCount && client.State < dsCount);
            QVERIFY(client.Lease >= 1 && client.Lease <= 600);
        }
        QCOMPARE(Get<TSessionIgmpTable>(), uint16_t(0));
        QCOMPARE(m_LastDatagrams, std::size_t(groupDatagrams));
        QCOMPARE(Groups().Entries.size(), std::size_t(count));
    }

    void setsReadBack()
    {
        QCOMPARE(Set<TSessionBasicsDhcpSet>(Server(true, 0xC0A80164, 0xC0A801C8, 0xFFFFFF00, 3600)), uint16_t(0));
        const auto& d = DhcpServer();
        QCOMPARE((std::array<uint32_t, 6>{d.Start, d.End, d.Mask, d.Gateway, d.Dns, d.Lease}),
                 (std::array<uint32_t, 6>{0xC0A80164, 0xC0A801C8, 0xFFFFFF00, 0xC0A80101, 0x08080404, 3600}));
        QVERIFY(d.Enabled);

        std::vector<uint32_t> bindings(Ports, 0);
        bindings[2] = 0xC0A80103;
        bindings[7] = 0xC0A80108;
        QCOMPARE(Set<TSessionBasicsDhcpPortIpSet>(bindings), uint16_t(0));
        QCOMPARE(Bindings().Addresses, bindings);

        QCOMPARE(Set<TSessionIgmpSet>(Igmp(true, iqEnable)), uint16_t(0));
        QCOMPARE(IgmpSettings().QueryMode, uint8_t(iqEnable));

        // Snooping off: the switch forgets its groups.
        QCOMPARE(Set<TSessionIgmpSet>(Igmp(false, iqDisable)), uint16_t(0));
        QVERIFY(!IgmpSettings().Snooping);
        QCOMPARE(Get<TSessionIgmpTable>(), uint16_t(0));
        QVERIFY(Groups().Valid);
        QVERIFY(Groups().Entries.empty());
    }

    // A disabled server keeps any pool; an enabled one refuses a pool it cannot hand out,
    // and the refused Set changes nothing.
    void serverSetChecks_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<uint32_t>("start");
        QTest::addColumn<uint32_t>("end");
        QTest::addColumn<uint32_t>("mask");
        QTest::addColumn<uint32_t>("lease");
        QTest::addColumn<int>("status");
        QTest::newRow("enabled") << true << 0x0A000001u << 0x0A000002u << 0xFFFFFFFCu << 1u << 0;
        QTest::newRow("enabled, one address") << true << 0x0A000001u << 0x0A000001u << 0xFF000000u << 60u << 0;
        QTest::newRow("enabled, backwards") << true << 0x0A000002u << 0x0A000001u << 0xFFFFFF00u << 60u << 4;
        QTest::newRow("enabled, holed mask") << true << 0x0A000001u << 0x0A000002u << 0xFF00FF00u << 60u << 4;
        QTest::newRow("enabled, no mask") << true << 0x0A000001u << 0x0A000002u << 0u << 60u << 4;
        QTest::newRow("enabled, no lease") << true << 0x0A000001u << 0x0A000002u << 0xFFFFFF00u << 0u << 4;
        QTest::newRow("disabled, anything") << false << 0xFFFFFFFFu << 0u << 0xFF00FF00u << 0u << 0;
    }
    void serverSetChecks()
    {
        QFETCH(bool, enabled);
        QFETCH(uint32_t, start);
        QFETCH(uint32_t, end);
        QFETCH(uint32_t, mask);
        QFETCH(uint32_t, lease);
        QFETCH(int, status);
        QCOMPARE(Set<TSessionBasicsDhcpSet>(Server(false, 0x0A0000F0, 0x0A0000F8, 0xFFFFFF00)), uint16_t(0));
        QCOMPARE(Set<TSessionBasicsDhcpSet>(Server(enabled, start, end, mask, lease)), uint16_t(status));
        QCOMPARE(DhcpServer().Start, status == 0 ? start : 0x0A0000F0u);
        QCOMPARE(DhcpServer().Enabled, status == 0 && enabled);
    }

    // Byte-level refusals the console never sends: an enabled flag of 2, a binding list of
    // the wrong length, snooping 2 or query mode 3.
    void malformedSetsAreRefused_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("server enabled 2") << 273
                                          << QByteArray::fromHex("02"
                                                                 "0a000001"
                                                                 "0a000002"
                                                                 "ffffff00"
                                                                 "00000000"
                                                                 "00000000"
                                                                 "0000003c");
        QTest::newRow("seven bindings") << 276 << QByteArray(4 * (Ports - 1), '\x01');
        QTest::newRow("nine bindings") << 276 << QByteArray(4 * (Ports + 1), '\x01');
        QTest::newRow("snooping 2") << 1537 << QByteArray::fromHex("0200");
        QTest::newRow("query mode 3") << 1537 << QByteArray::fromHex("0103");
    }
    void malformedSetsAreRefused()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        const Sim::TCommand& handler = Sim::Commands().at(uint16_t(command));
        Sim::TRequest rq;
        rq.command = uint16_t(command);
        rq.payload = reinterpret_cast<const uint8_t*>(payload.constData());
        rq.size = std::size_t(payload.size());
        rq.options = &m_Options;
        QCOMPARE(handler.handler(*m_Switch, rq).status, Sim::stBadRequest);
        QVERIFY(!m_Switch->running.dhcpServer.enabled);
        QVERIFY(!m_Switch->running.dhcpServer.portIps.contains(0x01010101u));
        QCOMPARE(m_Switch->running.igmp.queryMode, uint8_t(2));
    }

    void faults_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("command");
        QTest::newRow("client of type 5") << "--bad-dhcp-client" << 274;
        QTest::newRow("one binding too few") << "--short-dhcp-bindings" << 275;
        QTest::newRow("query mode 3") << "--bad-igmp-query" << 1536;
    }
    void faults()
    {
        QFETCH(QString, option);
        QFETCH(int, command);
        QString error;
        QVERIFY2(
            Sim::ParseOptions({"switchsim", "--count", "1", "--dhcp-clients", "0=40", option, "0"}, m_Options, error),
            qPrintable(error));
        switch (command) {
        case 274:
            QCOMPARE(Get<TSessionBasicsDhcpEntry>(), uint16_t(0x1100));
            QCOMPARE(m_LastDatagrams, std::size_t(2));
            QVERIFY(!Clients().Valid);
            QVERIFY(Clients().Entries.empty());
            break;
        case 275:
            QCOMPARE(Get<TSessionBasicsDhcpPortIpGet>(), uint16_t(0x1100));
            QVERIFY(!Bindings().Valid);
            break;
        default:
            QCOMPARE(Get<TSessionIgmpGet>(), uint16_t(0x1100));
            QVERIFY(!IgmpSettings().Valid);
            break;
        }
    }

    // Settings kept in flash: save keeps them over a reboot, factory default drops them.
    void settingsLiveInTheConfiguration()
    {
        QCOMPARE(Set<TSessionIgmpSet>(Igmp(false, iqEnable)), uint16_t(0));
        QCOMPARE(Set<TSessionBasicsDhcpSet>(Server(true, 0x0A000001, 0x0A000002, 0xFFFFFF00)), uint16_t(0));
        m_Switch->Save();
        QCOMPARE(Set<TSessionIgmpSet>(Igmp(true, iqDisable)), uint16_t(0));
        m_Switch->Reboot(0, 0);
        QVERIFY(!m_Switch->running.igmp.snooping);
        QCOMPARE(m_Switch->running.igmp.queryMode, uint8_t(1));
        QVERIFY(m_Switch->running.dhcpServer.enabled);
        m_Switch->FactoryDefault(0);
        QVERIFY(m_Switch->running.igmp.snooping);
        QVERIFY(!m_Switch->running.dhcpServer.enabled);
    }
};

QTEST_MAIN(TSimDhcpTest)
#include "tst_simdhcp.moc"
