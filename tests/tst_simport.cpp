// The simulator's port commands against the console's: every request the console builds
// is answered by the simulated switch's handler and the reply decoded by the console, so
// a fault in either encoder shows. No network: the datagrams are handed over in memory.
#include "SimSwitch.h"

#include "intp/Port.h"
#include "syslog/SyslogStore.h"

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
        QCOMPARE(names, (std::vector<std::string>{"Port.01", "Port.02", "Port.03", "Port.04", "Port.05", "Port.06",
                                                  "Port.07", "Port.08", "Trunk.01", "Trunk.02", "Trunk.03", "Trunk.04"}));

        QCOMPARE(Get<TSessionPortConfigGet>(), uint16_t(0));
        const auto& config = GetProperty<TPropertyPortConfig>(*m_Device).Entries;
        QCOMPARE(config.size(), std::size_t(12));
        QCOMPARE(config[0], (TPortConfigEntry{0, 4, true, 0, 0, false}));
        QCOMPARE(config[7], (TPortConfigEntry{7, 1, true, 0, 0, false}));  // 1000TX uplink
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
            config += char(i) + QByteArray::fromHex(i < 6 ? "04" : i < 8 ? "01" : "00") + QByteArray::fromHex("01000000");
        QTest::newRow("names") << 0x0200 << names;
        QTest::newRow("configuration") << 0x0201 << config;
        QTest::newRow("status") << 0x0203 << QByteArray::fromHex("0401010300").repeated(4) + QByteArray::fromHex("0400010000").repeated(2) +
                                                 QByteArray::fromHex("0100010000").repeated(2);
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
            const uint16_t status = command == 0x0200   ? Get<TSessionPortNameGet>()
                                    : command == 0x0201 ? Get<TSessionPortConfigGet>()
                                    : command == 0x0203 ? Get<TSessionPortStatusGet>()
                                                        : Get<TSessionPortTrunkGet>();
            QCOMPARE(int(status), faulty == 0 ? faultyStatus : 0);
        }
    }

    void syslogMessages_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("severity");
        QTest::addColumn<QByteArray>("message");

        QTest::newRow("first") << 0 << QDateTime(QDate(2026, 1, 5), QTime(10, 20, 30))
                               << QByteArray("<189>Jan  5 10:20:30 North-1 Port 1 link up") << 5 << QByteArray("Port 1 link up");
        QTest::newRow("eleventh") << 10 << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 9))
                                  << QByteArray("<188>Dec 31 23:59:09 North-1 Port 3 link down") << 4
                                  << QByteArray("Port 3 link down");
        QTest::newRow("third") << 2 << QDateTime(QDate(2026, 7, 14), QTime(0, 0, 0))
                               << QByteArray("<190>Jul 14 00:00:00 North-1 Port 3: settings changed by the management console")
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
