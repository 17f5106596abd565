// The simulator's port commands against the console's: every request the console builds
// is answered by the simulated switch's handler and the reply decoded by the console, so
// a fault in either encoder shows. No network: the datagrams are handed over in memory.
#include "SimSwitch.h"

#include "core/Port.h"
#include "core/Redundancy.h"
#include "core/SyslogStore.h"

#include <QtTest>

using namespace Intp;

class TSimPortTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

private slots:
    void init()
    {
        OpenSwitch();
        m_Switch->alarms.linkMask = 0x0F;
    }
    void cleanup() { CloseSwitch(); }

    void startUpState()
    {
        QCOMPARE(Get<TSessionPortNameGet>(), uint16_t(0));
        const auto& names = GetProperty<TPropertyPortName>(*m_Device).Names;
        QCOMPARE(names,
                 (std::vector<std::string>{"Port.01", "Port.02", "Port.03", "Port.04", "Port.05", "Port.06", "Port.07",
                                           "Port.08", "Trunk.01", "Trunk.02", "Trunk.03", "Trunk.04"}));

        QCOMPARE(Get<TSessionPortConfigGet>(), uint16_t(0));
        const auto& config = GetProperty<TPropertyPortConfig>(*m_Device).Entries;
        QCOMPARE(config.size(), std::size_t(12));
        QCOMPARE(config[0], (TPortConfigEntry{0, 4, true, 0, 0, false}));
        QCOMPARE(config[7], (TPortConfigEntry{7, 1, true, 0, 0, false}));   // 1000TX uplink
        QCOMPARE(config[11], (TPortConfigEntry{11, 0, true, 0, 0, false})); // a trunk has no medium

        QCOMPARE(Get<TSessionPortStatusGet>(), uint16_t(0));
        const auto& status = GetProperty<TPropertyPortStatus>(*m_Device).Entries;
        QCOMPARE(status.size(), std::size_t(8));
        QCOMPARE(status[3], (TPortStatusEntry{4, true, true, 3, false}));  // link: 100 Full
        QCOMPARE(status[4], (TPortStatusEntry{4, false, true, 0, false})); // no link
        QCOMPARE(status[7], (TPortStatusEntry{1, false, true, 0, false}));

        QCOMPARE(Get<TSessionPortLimitGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyPortLimit>(*m_Device).Entries, std::vector<TPortLimitEntry>(8));

        QCOMPARE(Get<TSessionPortTrunkGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyPortTrunk>(*m_Device).Entries, std::vector<TPortTrunkEntry>(4));
    }

    // The start-up replies of a KX40-GT with links on ports 1 to 4, byte by byte.
    void replyBytes_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QByteArray names;
        for (int i = 1; i <= 8; ++i)
            names += "Port.0" + QByteArray::number(i) + '\0';
        for (int i = 1; i <= 4; ++i)
            names += "Trunk.0" + QByteArray::number(i);
        QByteArray config = QByteArray(4, '\0');
        for (int i = 0; i < 12; ++i)
            config += char(i) +
                QByteArray::fromHex(i < 6       ? "04"
                                        : i < 8 ? "01"
                                                : "00") +
                QByteArray::fromHex("01000000");
        QTest::newRow("names") << 0x0200 << names;
        QTest::newRow("configuration") << 0x0201 << config;
        QTest::newRow("status") << 0x0203
                                << QByteArray::fromHex("0401010300").repeated(4) +
                QByteArray::fromHex("0400010000").repeated(2) + QByteArray::fromHex("0100010000").repeated(2);
        QTest::newRow("rate limits") << 0x0204 << QByteArray::fromHex("030000200000000000").repeated(8);
        QTest::newRow("trunks") << 0x0206 << QByteArray(20, '\0');
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

    // What a Set sends, the switch keeps and the Get the Set starts brings back.
    void setsChangeWhatGetsReturn()
    {
        std::vector<TPortConfigEntry> rows = {{1, 0, false, 4, 1, true}, {10, 0, true, 6, 2, true}};
        QCOMPARE(Set<TSessionPortConfigSet>(rows), uint16_t(0));
        auto config = GetProperty<TPropertyPortConfig>(*m_Device).Entries;
        QCOMPARE(config.size(), std::size_t(12));
        QCOMPARE(config[1], (TPortConfigEntry{1, 4, false, 4, 1, true}));
        QCOMPARE(config[10], (TPortConfigEntry{10, 0, true, 6, 2, true}));
        QCOMPARE(config[2], (TPortConfigEntry{2, 4, true, 0, 0, false}));
        // A disabled port loses its link; a forced speed shows as it is set.
        rows = {{2, 0, true, 5, 1, false}};
        QCOMPARE(Set<TSessionPortConfigSet>(rows), uint16_t(0));
        QCOMPARE(Get<TSessionPortStatusGet>(), uint16_t(0));
        const auto& status = GetProperty<TPropertyPortStatus>(*m_Device).Entries;
        QCOMPARE(status[1], (TPortStatusEntry{4, false, false, 4, false}));
        QCOMPARE(status[2], (TPortStatusEntry{4, true, true, 5, true}));

        std::vector<TPortLimitEntry> limits(8);
        limits[0] = {0, 0, 102400};
        limits[7] = {2, 256000, 100};
        QCOMPARE(Set<TSessionPortLimitSet>(limits), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyPortLimit>(*m_Device).Entries, limits);

        const std::vector<TPortTrunkEntry> trunks = {{0x83, true}, {0x0C, false}, {0, false}, {0x30, true}};
        QCOMPARE(Set<TSessionPortTrunkSet>(trunks), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyPortTrunk>(*m_Device).Entries, trunks);
    }

    // Values the console passes on but no switch takes: refused, nothing changes.
    void setsRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("speed/duplex 7") << "duplex" << 7;
        QTest::newRow("flow control 3") << "flow" << 3;
        QTest::newRow("frame type 4") << "frame type" << 4;
        QTest::newRow("member beyond the ports") << "members" << 0x100;
        QTest::newRow("port 3 in two groups") << "members" << 0x04;
    }
    void setsRefused()
    {
        QFETCH(QString, field);
        QFETCH(int, value);
        std::vector<TPortConfigEntry> config = {{0, 0, false, 1, 1, true}, {1, 0, true, 0, 0, false}};
        std::vector<TPortLimitEntry> limits(8, TPortLimitEntry{0, 1, 1});
        std::vector<TPortTrunkEntry> trunks = {{0x06, true}, {0, false}, {0, false}, {0, false}};
        uint16_t status = 0;
        if (field == "duplex" || field == "flow") {
            (field == "duplex" ? config[1].Duplex : config[1].Flow) = uint8_t(value);
            status = Set<TSessionPortConfigSet>(config);
        } else if (field == "frame type") {
            limits[5].FrameType = uint8_t(value);
            status = Set<TSessionPortLimitSet>(limits);
        } else {
            trunks[2].Members = uint32_t(value);
            status = Set<TSessionPortTrunkSet>(trunks);
        }
        QCOMPARE(status, uint16_t(Sim::stBadRequest));
        QCOMPARE(Get<TSessionPortConfigGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionPortLimitGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionPortTrunkGet>(), uint16_t(0));
        const auto& kept = GetProperty<TPropertyPortConfig>(*m_Device).Entries;
        QCOMPARE(kept[0], (TPortConfigEntry{0, 4, true, 0, 0, false}));
        QCOMPARE(kept[1], (TPortConfigEntry{1, 4, true, 0, 0, false}));
        QCOMPARE(GetProperty<TPropertyPortLimit>(*m_Device).Entries, std::vector<TPortLimitEntry>(8));
        QCOMPARE(GetProperty<TPropertyPortTrunk>(*m_Device).Entries, std::vector<TPortTrunkEntry>(4));
    }

    // The fault options make the console reject the list; another switch's fault does not.
    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("faultyStatus");
        QTest::newRow("names") << "short-port-names" << 0x0200 << 0x1100;
        QTest::newRow("configuration") << "bad-speed-duplex" << 0x0201 << 0x1101;
        QTest::newRow("status") << "bad-speed-duplex" << 0x0203 << 0x1101;
        QTest::newRow("trunks") << "overlapping-trunks" << 0x0206 << 0x1102;
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(int, command);
        QFETCH(int, faultyStatus);
        for (int faulty : {1, 0}) {
            QString error;
            m_Options = Sim::TOptions();
            QVERIFY(Sim::ParseOptions({"zode-switchsim", "--" + fault, QString::number(faulty)}, m_Options, error));
            const uint16_t status = command == 0x0200 ? Get<TSessionPortNameGet>()
                : command == 0x0201                   ? Get<TSessionPortConfigGet>()
                : command == 0x0203                   ? Get<TSessionPortStatusGet>()
                                                      : Get<TSessionPortTrunkGet>();
            QCOMPARE(int(status), faulty == 0 ? faultyStatus : 0);
        }
    }

    // A switch starts with the ring off and RSTP off with its usual settings.
    void redundancyStartUpState()
    {
        QCOMPARE(Get<TSessionRedundancySringGet>(), uint16_t(0));
        const auto& ring = GetProperty<TPropertyRedundancySring>(*m_Device);
        QVERIFY(ring.Valid && !ring.Enabled && !ring.Coupling && !ring.Homing);
        QCOMPARE(Get<TSessionRedundancyRstpGet>(), uint16_t(0));
        const auto& rstp = GetProperty<TPropertyRedundancyRstp>(*m_Device);
        QVERIFY(!rstp.Enabled);
        QCOMPARE(
            (std::array{rstp.BridgePriority, uint16_t(rstp.MaxAge), uint16_t(rstp.Hello), uint16_t(rstp.ForwardDelay)}),
            (std::array<uint16_t, 4>{32768, 20, 2, 15}));
        QCOMPARE(rstp.Entries, std::vector<TPropertyRedundancyRstpEntry>(8));
        QCOMPARE(Get<TSessionRedundancyRstpInfoGet>(), uint16_t(0));
        const auto& info = GetProperty<TPropertyRedundancyRstpInfo>(*m_Device);
        QVERIFY(!info.Running);
        QCOMPARE(info.Entries.size(), std::size_t(8));
        QCOMPARE(info.Entries[0].State, uint8_t(0));
        QCOMPARE(Get<TSessionRedundancyGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyRedundancy>(*m_Device).Protocol, uint8_t(TPropertyRedundancy::rpRstp));
    }

    // The ring the console sets is what the switch reports, and makes the ring the active protocol.
    void ringSetIsReturned()
    {
        TPropertyRedundancySring ring{false, true, true, 6, 7, true, 2, 3, true, 5};
        QCOMPARE(Set<TSessionRedundancySringSet>(ring), uint16_t(0));
        const auto& kept = GetProperty<TPropertyRedundancySring>(*m_Device);
        QVERIFY(kept.Valid && kept.Enabled && kept.Master && kept.Coupling && kept.Homing);
        QCOMPARE((std::array{kept.RingPort1, kept.RingPort2, kept.ControlPort, kept.CouplingPort, kept.HomingPort}),
                 (std::array<uint8_t, 5>{6, 7, 2, 3, 5}));
        QCOMPARE(Get<TSessionRedundancyGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyRedundancy>(*m_Device).Protocol, uint8_t(TPropertyRedundancy::rpRing));
    }

    // RSTP follows its settings: running once enabled, the root this switch or, with a
    // priority above 32768, the bridge behind its first port with link (ports 1 to 4).
    void rstpStateFollowsTheSettings_data()
    {
        QTest::addColumn<int>("priority");
        QTest::addColumn<int>("rootPort");
        QTest::addColumn<QByteArray>("rootId");
        QTest::newRow("root") << 4096 << 255 << QByteArray::fromHex("1000000a1b2c3d01");
        QTest::newRow("behind port 1") << 36864 << 1 << QByteArray::fromHex("8000025a0dff0001");
    }
    void rstpStateFollowsTheSettings()
    {
        QFETCH(int, priority);
        QFETCH(int, rootPort);
        QFETCH(QByteArray, rootId);
        TPropertyRedundancyRstp rstp;
        rstp.Enabled = true;
        rstp.BridgePriority = uint16_t(priority);
        rstp.MaxAge = 40;
        rstp.Hello = 1;
        rstp.ForwardDelay = 30;
        rstp.Entries.resize(8);
        rstp.Entries[0] = {200000000, 240, p2pAuto, false, false};
        rstp.Entries[2] = {1, 0, p2pFalse, true, false};
        rstp.Entries[3] = {20000, 16, p2pTrue, false, true};
        QCOMPARE(Set<TSessionRedundancyRstpSet>(rstp), uint16_t(0));
        const auto& kept = GetProperty<TPropertyRedundancyRstp>(*m_Device);
        QVERIFY(kept.Valid && kept.Enabled);
        QCOMPARE(kept.BridgePriority, uint16_t(priority));
        QCOMPARE(kept.Entries, rstp.Entries);

        QCOMPARE(Get<TSessionRedundancyRstpInfoGet>(), uint16_t(0));
        const auto& info = GetProperty<TPropertyRedundancyRstpInfo>(*m_Device);
        QVERIFY(info.Running);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(info.RootBridgeId.data()), 8).toHex(), rootId.toHex());
        QCOMPARE(int(info.RootPort), rootPort);
        QCOMPARE(info.RootPathCost, rootPort == 255 ? 0u : 200000000u);
        QCOMPARE((std::array{info.MaxAge, info.Hello, info.ForwardDelay}), (std::array<uint8_t, 3>{40, 1, 30}));
        const uint8_t firstRole = rootPort == 255 ? 2 : 1;
        QCOMPARE(info.Entries[0],
                 (TPropertyRedundancyRstpInfoEntry{200000000, 240, p2pTrue, false, true, 3, firstRole}));
        QCOMPARE(info.Entries[1], (TPropertyRedundancyRstpInfoEntry{200000, 128, p2pFalse, false, true, 3, 2}));
        QCOMPARE(info.Entries[2], (TPropertyRedundancyRstpInfoEntry{1, 0, p2pFalse, true, false, 3, 2}));
        QCOMPARE(info.Entries[3], (TPropertyRedundancyRstpInfoEntry{20000, 16, p2pTrue, false, false, 4, 5}));
        QCOMPARE(info.Entries[4], (TPropertyRedundancyRstpInfoEntry{200000, 128, p2pFalse, false, false, 0, 0}));
        QCOMPARE(Get<TSessionRedundancyGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyRedundancy>(*m_Device).Protocol, uint8_t(TPropertyRedundancy::rpRstp));
    }

    // Settings no switch takes: refused, nothing changes.
    void redundancySetsRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("ring port beyond the ports") << "ring port" << 8;
        QTest::newRow("homing port beyond the ports") << "homing port" << 8;
        QTest::newRow("bridge priority off its step") << "bridge priority" << 4097;
        QTest::newRow("bridge priority above 61440") << "bridge priority" << 65535;
        QTest::newRow("max age 5") << "max age" << 5;
        QTest::newRow("hello time 11") << "hello" << 11;
        QTest::newRow("forward delay 3") << "delay" << 3;
        QTest::newRow("path cost 0") << "cost" << 0;
        QTest::newRow("path cost 200000001") << "cost" << 200000001;
        QTest::newRow("port priority 8") << "port priority" << 8;
        QTest::newRow("point-to-point 3") << "p2p" << 3;
    }
    void redundancySetsRefused()
    {
        QFETCH(QString, field);
        QFETCH(int, value);
        TPropertyRedundancySring ring{false, true, false, 0, 1, false, 0, 0, true, 2};
        TPropertyRedundancyRstp rstp;
        rstp.Entries.resize(8);
        const std::map<QString, std::function<void()>> change = {
            {"ring port", [&] { ring.RingPort2 = uint8_t(value); }},
            {"homing port", [&] { ring.HomingPort = uint8_t(value); }},
            {"bridge priority", [&] { rstp.BridgePriority = uint16_t(value); }},
            {"max age", [&] { rstp.MaxAge = uint8_t(value); }},
            {"hello", [&] { rstp.Hello = uint8_t(value); }},
            {"delay", [&] { rstp.ForwardDelay = uint8_t(value); }},
            {"cost", [&] { rstp.Entries[5].PathCost = uint32_t(value); }},
            {"port priority", [&] { rstp.Entries[5].Priority = uint8_t(value); }},
            {"p2p", [&] { rstp.Entries[5].P2p = uint8_t(value); }},
        };
        change.at(field)();
        const bool isRing = field.endsWith("port") && !field.startsWith("port");
        QCOMPARE(isRing ? Set<TSessionRedundancySringSet>(ring) : Set<TSessionRedundancyRstpSet>(rstp),
                 uint16_t(Sim::stBadRequest));
        QVERIFY(!GetProperty<TPropertyRedundancySring>(*m_Device).Enabled);
        QCOMPARE(Get<TSessionRedundancyRstpGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyRedundancyRstp>(*m_Device).BridgePriority, uint16_t(32768));
        QCOMPARE(GetProperty<TPropertyRedundancyRstp>(*m_Device).Entries, std::vector<TPropertyRedundancyRstpEntry>(8));
    }

    // One entry too few makes the console refuse both RSTP lists; another switch's fault
    // does not. State 9 and role 7 pass as they are.
    void redundancyFaults()
    {
        for (int faulty : {1, 0}) {
            QString error;
            m_Options = Sim::TOptions();
            QVERIFY(Sim::ParseOptions({"zode-switchsim", "--short-rstp-ports", QString::number(faulty),
                                       "--unknown-rstp-state", QString::number(faulty)},
                                      m_Options, error));
            QCOMPARE(Get<TSessionRedundancyRstpGet>(), uint16_t(faulty == 0 ? 0x1100 : 0));
            QCOMPARE(Get<TSessionRedundancyRstpInfoGet>(), uint16_t(faulty == 0 ? 0x1100 : 0));
        }
        m_Options = Sim::TOptions();
        m_Options.unknownRstpState.insert(0);
        QCOMPARE(Get<TSessionRedundancyRstpInfoGet>(), uint16_t(0));
        const auto& entries = GetProperty<TPropertyRedundancyRstpInfo>(*m_Device).Entries;
        QCOMPARE(std::pair(entries[0].State, entries[0].Role), std::pair(uint8_t(9), uint8_t(7)));
        QCOMPARE(std::pair(entries[1].State, entries[1].Role), std::pair(uint8_t(0), uint8_t(0)));
    }

    void syslogMessages_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("severity");
        QTest::addColumn<QByteArray>("message");

        QTest::newRow("first") << 0 << QDateTime(QDate(2026, 1, 5), QTime(10, 20, 30))
                               << QByteArray("<189>Jan  5 10:20:30 North-1 Port 1 link up") << 5
                               << QByteArray("Port 1 link up");
        QTest::newRow("eleventh") << 10 << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 9))
                                  << QByteArray("<188>Dec 31 23:59:09 North-1 Port 3 link down") << 4
                                  << QByteArray("Port 3 link down");
        QTest::newRow("third") << 2 << QDateTime(QDate(2026, 7, 14), QTime(0, 0, 0))
                               << QByteArray(
                                      "<190>Jul 14 00:00:00 North-1 Port 3: settings changed by the management console")
                               << 6 << QByteArray("Port 3: settings changed by the management console");
    }
    // The console's parser reads the whole header of every message the simulator sends.
    void syslogMessages()
    {
        QFETCH(int, n);
        QFETCH(QDateTime, at);
        QFETCH(QByteArray, datagram);
        QFETCH(int, severity);
        QFETCH(QByteArray, message);
        m_Switch->running.name = "North-1";
        const QByteArray sent = m_Switch->SyslogMessage(uint64_t(n), at);
        QCOMPARE(sent, datagram);
        int facility = 0;
        int parsedSeverity = 0;
        std::string parsed;
        QVERIFY(Syslog::ParseEvent(sent.toStdString(), facility, parsedSeverity, parsed));
        QCOMPARE(facility, 23);
        QCOMPARE(parsedSeverity, severity);
        QCOMPARE(QByteArray::fromStdString(parsed), message);
    }
};

QTEST_GUILESS_MAIN(TSimPortTest)
#include "tst_simport.moc"
