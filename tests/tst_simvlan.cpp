// The simulator's VLAN commands against the console's: the lists the switch answers in
// several datagrams, per-port 802.1Q settings that the next Get reads back as they were
// set, refused settings and the VLAN fault options. No network: the datagrams are handed
// over in memory.
#include "SimSwitch.h"

#include "core/Vlan.h"

#include <QtTest>

using namespace Intp;

namespace {

using TVids = std::vector<uint16_t>;
using TPorts = std::vector<TVlanPortSettings>;

TVids Range(uint16_t first, uint16_t last)
{
    TVids vids;
    for (uint16_t vid = first; vid <= last; ++vid)
        vids.push_back(vid);
    return vids;
}

} // namespace

Q_DECLARE_METATYPE(TPorts)

class TSimVlanTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

private slots:
    void init() { OpenSwitch(); }
    void cleanup() { CloseSwitch(); }

    void startUpState()
    {
        QCOMPARE(Get<TSessionVlanGet>(), uint16_t(0));
        QCOMPARE(int(GetProperty<TPropertyVlan>(*m_Device).Mode), int(vm8021q));
        QCOMPARE(Get<TSessionVlan8021qGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyVlan8021q>(*m_Device).Gvrp, false);
        QCOMPARE(GetProperty<TPropertyVlan8021q>(*m_Device).ManagementVid, uint16_t(0));
        QCOMPARE(Get<TSessionVlan8021qPortGet>(), uint16_t(0));
        const auto& dot1q = GetProperty<TPropertyVlan8021qPort>(*m_Device);
        QCOMPARE(dot1q.Entries, (std::vector<TPropertyVlan8021qPortEntry>{{1, 0xFFF, 0}}));
        QCOMPARE(dot1q.HybridMask, 0u);
        QCOMPARE(Get<TSessionVlanPortGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyVlanPort>(*m_Device).Entries,
                 (std::vector<TPropertyVlanPortEntry>{{1, 0xFFF, "Default"}}));
    }

    // The start-up replies, byte by byte: a head counting the entries, then the entries.
    void replyBytes_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("mode") << 0x0400 << QByteArray::fromHex("02");
        QTest::newRow("GVRP") << 0x0406 << QByteArray::fromHex("000000");
        QTest::newRow("802.1Q list") << 0x0408
                                     << QByteArray::fromHex("00000002"
                                                            "0000"
                                                            "00000000"
                                                            "00000000"
                                                            "0001"
                                                            "00000fff"
                                                            "00000000");
        QTest::newRow("port-based list") << 0x0402
                                         << QByteArray::fromHex("00000001"
                                                                "0001"
                                                                "00000fff") +
                QByteArray("Default").leftJustified(16, '\0');
    }
    void replyBytes()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        Sim::TRequest rq;
        rq.command = uint16_t(command);
        rq.options = &m_Options;
        const Sim::TReply reply = Sim::Commands().at(rq.command).handler(*m_Switch, rq);
        QCOMPARE(reply.status, uint16_t(0));
        QCOMPARE(reply.payload.toHex(), payload.toHex());
    }

    // What the port list sends, the next Get brings back (tagged VLANs in ascending order).
    void portSettingsRoundTrip_data()
    {
        QTest::addColumn<TPorts>("ports");
        QTest::newRow("access, hybrid, 802.1Q")
            << TPorts{{0, ltAccess, 5, {}}, {1, ltHybrid, 7, {2, 3}}, {2, lt8021q, 1, {2, 3}}};
        QTest::newRow("a trunk") << TPorts{{11, lt8021q, 1, {4094}}};
        QTest::newRow("back to access") << TPorts{{1, ltHybrid, 7, {2}}, {1, ltAccess, 1, {}}};
        QTest::newRow("tagged 2 to 300") << TPorts{{3, lt8021q, 1, Range(2, 300)}};
        QTest::newRow("127 VLANs: a last empty datagram") << TPorts{{3, lt8021q, 1, Range(2, 127)}};
    }
    void portSettingsRoundTrip()
    {
        QFETCH(TPorts, ports);
        for (const auto& words : SplitPortSettings(ports))
            QCOMPARE(Set<TSessionVlan8021qPortSet>(words), uint16_t(0));
        const auto& list = GetProperty<TPropertyVlan8021qPort>(*m_Device);
        QVERIFY(list.Valid);
        // The latest settings of each port.
        std::map<uint8_t, TVlanPortSettings> expected;
        for (const auto& port : ports)
            expected[port.Port] = port;
        for (auto [index, port] : expected) {
            if (port.LinkType == lt8021q || port.LinkType == ltHybrid)
                std::sort(port.Tagged.begin(), port.Tagged.end());
            QCOMPARE(PortSettingsFrom(list, index), port);
        }
        QCOMPARE(PortSettingsFrom(list, 4), (TVlanPortSettings{4, ltAccess, 1, {}}));
        // The switch's answer came in datagrams of 128 entries (the hybrid entry among them),
        // ended by a shorter one.
        const std::size_t entries = list.Entries.size() + 1;
        QCOMPARE(m_LastDatagrams, entries / 128 + 1);
    }

    void portBasedListInDatagramsOf32()
    {
        m_Switch->running.vlans.portBased.clear();
        for (uint16_t vid = 1; vid <= 32; ++vid)
            m_Switch->running.vlans.portBased.append({vid, 0x3, "V" + QByteArray::number(vid)});
        QCOMPARE(Get<TSessionVlanPortGet>(), uint16_t(0));
        QCOMPARE(m_LastDatagrams, std::size_t(2));
        const auto& entries = GetProperty<TPropertyVlanPort>(*m_Device).Entries;
        QCOMPARE(entries.size(), std::size_t(32));
        QCOMPARE(entries.back(), (TPropertyVlanPortEntry{32, 0x3, "V32"}));
    }

    void gvrpAndManagementVlan()
    {
        TPropertyVlan8021q record;
        record.Gvrp = true;
        record.ManagementVid = 4094;
        QCOMPARE(Set<TSessionVlan8021qSet>(record), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyVlan8021q>(*m_Device).Gvrp, true);
        QCOMPARE(GetProperty<TPropertyVlan8021q>(*m_Device).ManagementVid, uint16_t(4094));
    }

    // Settings no switch takes: refused with status 4, nothing changes.
    void setsRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("words");
        QTest::newRow("tagged VLAN 4095") << 2 << QList<int>{0x0001, 1, 4095, 0};
        QTest::newRow("untagged VLAN 0") << 2 << QList<int>{0x0000, 0, 0};
        QTest::newRow("port beyond the switch") << 2 << QList<int>{0x0C00, 1, 0};
        QTest::newRow("link type 3") << 2 << QList<int>{0x0003, 1, 0};
        QTest::newRow("access with tagged VLANs") << 2 << QList<int>{0x0000, 1, 2, 0};
        QTest::newRow("a good record, then a bad one") << 2 << QList<int>{0x0100, 9, 0, 0x0201, 1, 4095, 0};
        QTest::newRow("port-based mode") << 1 << QList<int>{0x0100, 9, 0};
        QTest::newRow("VLANs disabled") << 0 << QList<int>{0x0100, 9, 0};
    }
    void setsRefused()
    {
        QFETCH(int, mode);
        QFETCH(QList<int>, words);
        m_Switch->running.vlans.mode = uint8_t(mode);
        QCOMPARE(Set<TSessionVlan8021qPortSet>(std::vector<uint16_t>(words.begin(), words.end())),
                 uint16_t(Sim::stBadRequest));
        QCOMPARE(GetProperty<TPropertyVlan8021qPort>(*m_Device).Entries,
                 (std::vector<TPropertyVlan8021qPortEntry>{{1, 0xFFF, 0}}));
        TPropertyVlan8021q record;
        record.ManagementVid = uint16_t(mode == 2 ? 4095 : 1);
        QCOMPARE(Set<TSessionVlan8021qSet>(record), uint16_t(Sim::stBadRequest));
        QCOMPARE(GetProperty<TPropertyVlan8021q>(*m_Device).ManagementVid, uint16_t(0));
    }

    void modeOptions_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("mode"); // of switch 0
        QTest::newRow("default") << QStringList{} << 2;
        QTest::newRow("every switch disabled") << QStringList{"--vlan-mode", "0"} << 0;
        QTest::newRow("switch 0 port based") << QStringList{"--vlan-mode-of", "0=1"} << 1;
        QTest::newRow("another switch port based") << QStringList{"--vlan-mode-of", "1=1"} << 2;
    }
    void modeOptions()
    {
        QFETCH(QStringList, options);
        QFETCH(int, mode);
        QString error;
        QVERIFY2(Sim::ParseOptions(QStringList{"zode-switchsim", "--count", "2"} + options, m_Options, error),
                 qPrintable(error));
        MakeSwitch(m_Options.vlanModes.value(0, m_Options.vlanMode));
        QCOMPARE(Get<TSessionVlanGet>(), uint16_t(0));
        QCOMPARE(int(GetProperty<TPropertyVlan>(*m_Device).Mode), mode);
    }

    void badOptions()
    {
        for (const QStringList& options : {QStringList{"--vlan-mode", "3"}, QStringList{"--vlan-mode-of", "0=3"},
                                           QStringList{"--vlan-mode-of", "0"}, QStringList{"--bad-vlan-id", "4"}}) {
            QString error;
            Sim::TOptions parsed;
            QVERIFY(!Sim::ParseOptions(QStringList{"zode-switchsim", "--count", "2"} + options, parsed, error));
        }
    }

    // The fault options make the console reject the port-based list, or decode only the
    // entries a datagram carries; another switch's fault does not.
    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("faultyStatus");
        QTest::newRow("VLAN ID 4095") << "bad-vlan-id" << 0x0402 << 0x1100;
        QTest::newRow("member beyond the ports") << "bad-vlan-members" << 0x0402 << 0x1101;
        QTest::newRow("port-based count") << "bad-vlan-count" << 0x0402 << 0;
        QTest::newRow("802.1Q count") << "bad-vlan-count" << 0x0408 << 0;
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(int, command);
        QFETCH(int, faultyStatus);
        for (int faulty : {1, 0}) {
            QString error;
            m_Options = Sim::TOptions();
            QVERIFY(Sim::ParseOptions({"zode-switchsim", "--count", "2", "--" + fault, QString::number(faulty)},
                                      m_Options, error));
            const uint16_t status = command == 0x0402 ? Get<TSessionVlanPortGet>() : Get<TSessionVlan8021qPortGet>();
            QCOMPARE(int(status), faulty == 0 ? faultyStatus : 0);
            const std::size_t entries = command == 0x0402
                ? GetProperty<TPropertyVlanPort>(*m_Device).Entries.size()
                : GetProperty<TPropertyVlan8021qPort>(*m_Device).Entries.size();
            QCOMPARE(entries, std::size_t(status == 0 ? 1 : 0));
        }
    }
};

QTEST_GUILESS_MAIN(TSimVlanTest)
#include "tst_simvlan.moc"
