// The redundancy commands: ring settings, RSTP settings, RSTP state and the active protocol;
// their length and entry-count checks, every decoded field, the request bytes of both Sets,
// the entry counts the RSTP Set accepts and the Get each Set starts.
#include "CommandTests.h"

#include "core/Redundancy.h"

using namespace Intp;

namespace {

constexpr int Ports = 8; // of the test device's model

QByteArray U32(uint32_t v) { return QByteArray::fromHex(QByteArray::number(v, 16).rightJustified(8, '0')); }

// Ring settings: on, master, ports 7 and 8, coupling on ports 3 and 4, homing on port 6.
const QByteArray Ring = Hex("010106070102030105");

// RSTP settings: enabled, priority 4096, 30 s, 5 s, 20 s; then count entries of cost
// 2000000 + i, priority 16 i, point-to-point i % 3, edge on even ports, non-STP on port 2.
QByteArray Rstp(int count)
{
    QByteArray bytes = Hex("01"
                           "1000"
                           "1e0514");
    for (int i = 0; i < count; ++i)
        bytes += U32(uint32_t(2000000 + i)) + char(16 * i) + char(i % 3) + char(i % 2 == 0) + char(i == 1);
    return bytes;
}

// RSTP state: running, root 8000-00:0A:1B:2C:3D:99, priority 32768, root port 3, cost
// 200000, timers 20, 2, 15; then count entries of cost 20000 * (i + 1), priority 128,
// point-to-point 1, edge off, neighbour on, state 3, role 2 (role 1 on port 3).
QByteArray RstpInfo(int count)
{
    QByteArray bytes = Hex("01"
                           "8000000a1b2c3d99"
                           "8000"
                           "03"
                           "00030d40"
                           "14020f");
    for (int i = 0; i < count; ++i)
        bytes += U32(uint32_t(20000 * (i + 1))) +
            Hex("80"
                "01"
                "00"
                "01"
                "03") +
            char(i == 2 ? 1 : 2);
    return bytes;
}

} // namespace

class TRedundancyTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    // Every Get after a good answer: the reply is either taken or leaves the record as it
    // was, valid or not as the status says.
    void getReplies_data()
    {
        SecondReplyColumns();
        QTest::addColumn<bool>("valid");
        SecondReplyRow("ring settings", 0x0300, Ring, 0) << true;
        SecondReplyRow("ring settings and a byte more", 0x0300, Ring + 'x', 0) << true;
        SecondReplyRow("ring settings a byte short", 0x0300, Ring.left(8), 2) << true;

        SecondReplyRow("RSTP of 6 + 8 x 8 bytes", 0x0302, Rstp(Ports), 0) << true;
        SecondReplyRow("RSTP and 7 bytes more", 0x0302, Rstp(Ports) + QByteArray(7, 1), 0) << true;
        SecondReplyRow("RSTP of 62 bytes", 0x0302, Rstp(Ports - 1), 0x1100) << false;
        SecondReplyRow("RSTP of P + 1 ports", 0x0302, Rstp(Ports + 1), 0x1100) << false;
        SecondReplyRow("RSTP without ports", 0x0302, Rstp(0), 0x1100) << false;
        SecondReplyRow("RSTP bridge part a byte short", 0x0302, Rstp(0).left(5), 2) << true;

        SecondReplyRow("RSTP state of P ports", 0x0304, RstpInfo(Ports), 0) << true;
        SecondReplyRow("RSTP state and 9 bytes more", 0x0304, RstpInfo(Ports) + QByteArray(9, 1), 0) << true;
        SecondReplyRow("RSTP state of P - 1 ports", 0x0304, RstpInfo(Ports - 1), 0x1100) << false;
        SecondReplyRow("RSTP state of P + 1 ports", 0x0304, RstpInfo(Ports + 1), 0x1100) << false;
        SecondReplyRow("RSTP state without ports", 0x0304, RstpInfo(0), 0x1100) << false;
        SecondReplyRow("RSTP state bridge part a byte short", 0x0304, RstpInfo(0).left(18), 2) << true;

        SecondReplyRow("active protocol", 0x0307, Hex("0102"), 0) << true;
        SecondReplyRow("active protocol a byte short", 0x0307, Hex("01"), 2) << true;

        for (int command : {0x0300, 0x0302, 0x0304, 0x0307}) {
            const QByteArray payload = GoodAnswer(command).Payload;
            SecondReplyRow(RowName("error status of", command), command, payload, 5, 5) << false;
            SecondReplyRow(RowName("not logged in to", command), command, payload, 3, 3) << true;
        }
    }
    void getReplies()
    {
        QFETCH(int, command);
        QFETCH(int, status);
        QFETCH(bool, valid);
        CheckSecondReply();
        // Refused replies keep the values decoded before.
        QCOMPARE(State(command), std::make_pair(valid, GoodAnswer(command).Entries));
        QCOMPARE(m_Device->IsLoggedIn(), status != 3);
    }

    void decodesEveryField()
    {
        Answer(0x0300,
               Hex("ff02"
                   "0708"
                   "03"
                   "090a"
                   "04"
                   "0b"));
        const auto& ring = GetProperty<TPropertyRedundancySring>(*m_Device);
        QVERIFY(ring.Enabled && ring.Master && ring.Coupling && ring.Homing);
        QCOMPARE((std::array{ring.RingPort1, ring.RingPort2, ring.ControlPort, ring.CouplingPort, ring.HomingPort}),
                 (std::array<uint8_t, 5>{7, 8, 9, 10, 11}));
        Answer(0x0300, QByteArray(9, '\0'));
        QVERIFY(!ring.Enabled && !ring.Master && !ring.Coupling && !ring.Homing);

        // Values no page offers are taken as they come.
        Answer(0x0302,
               Hex("02"
                   "ffff"
                   "fffefd") +
                   Rstp(Ports).mid(6, 7 * 8) +
                   Hex("ffffffff"
                       "ff"
                       "07"
                       "09"
                       "00"));
        const auto& rstp = GetProperty<TPropertyRedundancyRstp>(*m_Device);
        QVERIFY(rstp.Enabled);
        QCOMPARE(rstp.BridgePriority, uint16_t(0xFFFF));
        QCOMPARE((std::array{rstp.MaxAge, rstp.Hello, rstp.ForwardDelay}), (std::array<uint8_t, 3>{0xFF, 0xFE, 0xFD}));
        QCOMPARE(rstp.Entries[0], (TPropertyRedundancyRstpEntry{2000000, 0, 0, true, false}));
        QCOMPARE(rstp.Entries[1], (TPropertyRedundancyRstpEntry{2000001, 16, 1, false, true}));
        QCOMPARE(rstp.Entries[2], (TPropertyRedundancyRstpEntry{2000002, 32, 2, true, false}));
        QCOMPARE(rstp.Entries[7], (TPropertyRedundancyRstpEntry{0xFFFFFFFF, 255, 7, true, false}));

        Answer(0x0304,
               RstpInfo(Ports - 1) +
                   Hex("fedcba98"
                       "f0"
                       "05"
                       "02"
                       "00"
                       "09"
                       "07"));
        const auto& info = GetProperty<TPropertyRedundancyRstpInfo>(*m_Device);
        QVERIFY(info.Running);
        QCOMPARE(info.RootBridgeId, (std::array<uint8_t, 8>{0x80, 0x00, 0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x99}));
        QCOMPARE(info.RootPriority, uint16_t(32768));
        QCOMPARE(info.RootPort, uint8_t(3));
        QCOMPARE(info.RootPathCost, 200000u);
        QCOMPARE((std::array{info.MaxAge, info.Hello, info.ForwardDelay}), (std::array<uint8_t, 3>{20, 2, 15}));
        QCOMPARE(info.Entries[0], (TPropertyRedundancyRstpInfoEntry{20000, 128, 1, false, true, 3, 2}));
        QCOMPARE(info.Entries[2], (TPropertyRedundancyRstpInfoEntry{60000, 128, 1, false, true, 3, 1}));
        QCOMPARE(info.Entries[7], (TPropertyRedundancyRstpInfoEntry{0xFEDCBA98, 240, 5, true, false, 9, 7}));

        Answer(0x0307, Hex("0001"));
        const auto& active = GetProperty<TPropertyRedundancy>(*m_Device);
        QVERIFY(!active.Flag);
        QCOMPARE(active.Protocol, uint8_t(TPropertyRedundancy::rpRing));
        Answer(0x0307, Hex("0502"));
        QVERIFY(active.Flag);
        QCOMPARE(active.Protocol, uint8_t(TPropertyRedundancy::rpRstp));
    }

    // The RSTP Set goes out only with one entry per physical port.
    void rstpSetCounts_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("sent");
        QTest::newRow("none") << 0 << false;
        QTest::newRow("P - 1") << Ports - 1 << false;
        QTest::newRow("P") << Ports << true;
        QTest::newRow("P + 1") << Ports + 1 << false;
    }
    void rstpSetCounts()
    {
        QFETCH(int, entries);
        QFETCH(bool, sent);
        CheckSentWhen(StartNew<TSessionRedundancyRstpSet>(
                          m_Device, nullptr, std::vector<TPropertyRedundancyRstpEntry>(std::size_t(entries))),
                      sent);
    }

    // A device of a model the console does not know has no ports: no RSTP Set at all.
    void rstpSetNeedsPorts()
    {
        TDevice* unknown = DeviceAt(2, Address + 1);
        QVERIFY(!StartNew<TSessionRedundancyRstpSet>(unknown, nullptr, std::vector<TPropertyRedundancyRstpEntry>(1)));
        QVERIFY(m_Fake->Sent.empty());
    }

    // The whole datagram of each Set.
    void setRequests_data()
    {
        SetRequestColumns();
        const QByteArray header = Hex("0301"
                                      "0000"
                                      "0009"
                                      "000a1b2c3d01");
        QTest::newRow("ring with everything on") << 0 << header + Ring;
        QTest::newRow("ring off") << 1 << header + QByteArray(9, '\0');
        QTest::newRow("ring without coupling and homing") << 2 << header + Hex("010106070000000000");
        QTest::newRow("RSTP") << 3
                              << Hex("0303"
                                     "0000"
                                     "0046"
                                     "000a1b2c3d01"
                                     "01"
                                     "f000"
                                     "28010f") +
                Hex("0bebc200"
                    "f0"
                    "02"
                    "01"
                    "01") +
                Hex("00030d40"
                    "80"
                    "00"
                    "00"
                    "00")
                    .repeated(6) +
                Hex("00000001"
                    "00"
                    "01"
                    "00"
                    "01");
    }
    void setRequests() { CheckSetRequest(); }

    // Whatever the Set's reply says, the matching Get goes out first (no receiver), then
    // the Set reports.
    void setStartsItsGet_data()
    {
        SetStartsItsGetColumns();
        for (int status : {0, 5}) {
            QTest::addRow("ring, status %d", status) << 0 << 0x0301 << 0x0300 << status;
            QTest::addRow("RSTP, status %d", status) << 3 << 0x0303 << 0x0302 << status;
        }
    }
    void setStartsItsGet() { CheckSetStartsItsGet(); }

    void names()
    {
        const std::vector<std::pair<TSession*, const char*>> sessions = {
            {new TSessionRedundancySringGet, "SringGet"},
            {new TSessionRedundancySringSet(TPropertyRedundancySring{}), "SringSet"},
            {new TSessionRedundancyRstpGet, "RstpGet"},
            {new TSessionRedundancyRstpSet(TPropertyRedundancyRstp{}), "RstpSet"},
            {new TSessionRedundancyRstpInfoGet, "RstpInfoGet"},
            {new TSessionRedundancyGet, "RedundancyGet"},
        };
        CheckNames(sessions);
    }

private:
    bool StartGet(int command) override
    {
        return StartGetOf<TSessionRedundancySringGet, TSessionRedundancyRstpGet, TSessionRedundancyRstpInfoGet,
                          TSessionRedundancyGet>(command);
    }

    TAnswer GoodAnswer(int command) override
    {
        switch (command) {
        case 0x0300: return {Ring};
        case 0x0302: return {Rstp(Ports), Ports};
        case 0x0304: return {RstpInfo(Ports), Ports};
        case 0x0307: return {Hex("0101")};
        }
        return {};
    }

    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertyRedundancySring, TPropertyRedundancyRstp, TPropertyRedundancyRstpInfo,
                       TPropertyRedundancy>(command);
    }

    // 0 to 2: ring settings with everything on, with the ring off, without coupling and
    // homing (their ports still set); 3: RSTP settings.
    bool SampleSet(int sample, TWizard* receiver) override
    {
        if (sample == 3) {
            TPropertyRedundancyRstp rstp;
            rstp.Enabled = true;
            rstp.BridgePriority = 61440;
            rstp.MaxAge = 40;
            rstp.Hello = 1;
            rstp.ForwardDelay = 15;
            rstp.Entries.resize(Ports);
            rstp.Entries.front() = {200000000, 240, p2pAuto, true, true};
            rstp.Entries.back() = {1, 0, p2pTrue, false, true};
            return StartNew<TSessionRedundancyRstpSet>(m_Device, receiver, rstp);
        }
        const TPropertyRedundancySring ring{true, sample != 1, true, 6, 7, sample == 0, 2, 3, sample == 0, 5};
        return StartNew<TSessionRedundancySringSet>(m_Device, receiver, ring);
    }
};

QTEST_GUILESS_MAIN(TRedundancyTest)
#include "tst_redundancy.moc"
