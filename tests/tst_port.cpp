// The port commands: names, configuration, status, rate limits and trunks, their checks on
// replies, the entry counts their Sets accept, their request bytes and the Get each Set starts.
#include "CommandTests.h"

#include "core/Port.h"

using namespace Intp;

namespace {

QByteArray Octets(std::initializer_list<uint32_t> values)
{
    QByteArray bytes;
    for (uint32_t v : values)
        bytes += char(v);
    return bytes;
}

QByteArray Repeat(int count, const std::function<QByteArray(int)>& entry, int head = 0)
{
    QByteArray bytes(head, '\0');
    for (int i = 0; i < count; ++i)
        bytes += entry(i);
    return bytes;
}

QByteArray Changed(QByteArray bytes, int offset, uint8_t value)
{
    bytes[offset] = char(value);
    return bytes;
}

// 8-byte zero-padded names.
QByteArray Names(int count)
{
    return Repeat(count, [](int i) {
        return QByteArray("Port.") + QByteArray::number(i + 1).rightJustified(2, '0') + QByteArray(1, '\0');
    });
}

// 4 header bytes, then 6-byte entries: port i, type 4, enabled, 100 Full, flow off, security on.
QByteArray Configs(int count)
{
    return Repeat(
        count,
        [](int i) {
            return Octets({uint32_t(i), 4, 1, 3, 0, 1});
        },
        4);
}

constexpr int ConfigEntry = 4; // offset of the first entry

// 5-byte entries: type 1, link on odd ports, enabled, 1G Full, flow on.
QByteArray Statuses(int count)
{
    return Repeat(count, [](int i) { return Octets({1, uint32_t(i % 2), 1, 1, 1}); });
}

// 9-byte entries: frame type 2, ingress 1000 kbps, egress none.
QByteArray Limits(int count)
{
    return Repeat(count, [](int) { return Hex("02000003e800000000"); });
}

// 5-byte entries: member mask, static.
QByteArray Trunks(std::initializer_list<uint32_t> masks)
{
    QByteArray bytes;
    for (uint32_t mask : masks)
        bytes += Octets({mask >> 24, mask >> 16, mask >> 8, mask, 0});
    return bytes;
}

} // namespace

class TPortTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    // Every Get after a good answer: the reply either replaces the list or leaves the record
    // not valid with the entries it had.
    void getReplies_data()
    {
        SecondReplyColumns();
        QTest::addColumn<int>("entries"); // of an accepted reply
        SecondReplyRow("12 names", 0x0200, Names(12), 0) << 12;
        SecondReplyRow("12 names and 7 bytes more", 0x0200, Names(12) + QByteArray(7, 'x'), 0) << 12;
        SecondReplyRow("11 names", 0x0200, Names(11), 0x1100) << 0;
        SecondReplyRow("13 names", 0x0200, Names(13), 0x1100) << 0;
        SecondReplyRow("less than one name", 0x0200, QByteArray(7, 'x'), 0x1100) << 0;

        SecondReplyRow("configuration of P + T", 0x0201, Configs(12), 0) << 12;
        SecondReplyRow("configuration of one port", 0x0201, Configs(1), 0) << 1;
        SecondReplyRow("configuration and 5 bytes more", 0x0201, Configs(2) + QByteArray(5, 1), 0) << 2;
        SecondReplyRow("configuration without entries", 0x0201, Configs(0), 0x1100) << 0;
        SecondReplyRow("configuration beyond P + T", 0x0201, Configs(13), 0x1100) << 0;
        SecondReplyRow("last logical port", 0x0201, Changed(Configs(1), ConfigEntry, 11), 0) << 1;
        SecondReplyRow("port beyond P + T", 0x0201, Changed(Configs(12), ConfigEntry + 6 * 5, 12), 0x1101) << 0;
        SecondReplyRow("port type 10", 0x0201, Changed(Configs(12), ConfigEntry + 6 * 11 + 1, 10), 0x1101) << 0;
        SecondReplyRow("speed/duplex 7", 0x0201, Changed(Configs(12), ConfigEntry + 6 * 4 + 3, 7), 0) << 12;
        SecondReplyRow("speed/duplex 8", 0x0201, Changed(Configs(12), ConfigEntry + 6 * 4 + 3, 8), 0x1101) << 0;
        SecondReplyRow("flow control 3", 0x0201, Changed(Configs(12), ConfigEntry + 4, 3), 0x1101) << 0;

        SecondReplyRow("status of P ports", 0x0203, Statuses(8), 0) << 8;
        SecondReplyRow("status of P - 1 ports", 0x0203, Statuses(7), 0x1100) << 0;
        SecondReplyRow("status of P + 1 ports", 0x0203, Statuses(9), 0x1100) << 0;
        SecondReplyRow("status without entries", 0x0203, QByteArray(4, '\0'), 0x1100) << 0;
        SecondReplyRow("status port type 10", 0x0203, Changed(Statuses(8), 5 * 7, 10), 0x1101) << 0;
        SecondReplyRow("status speed/duplex 7", 0x0203, Changed(Statuses(8), 5 * 2 + 3, 7), 0) << 8;
        SecondReplyRow("status speed/duplex 8", 0x0203, Changed(Statuses(8), 5 * 2 + 3, 8), 0x1101) << 0;

        SecondReplyRow("limits of P ports", 0x0204, Limits(8), 0) << 8;
        SecondReplyRow("limits of P + 1 ports", 0x0204, Limits(9), 0x1100) << 0;
        SecondReplyRow("limits and 8 bytes more", 0x0204, Limits(8) + QByteArray(8, 1), 0) << 8;
        SecondReplyRow("frame type 3", 0x0204, Changed(Limits(8), 9 * 7, 3), 0) << 8;
        SecondReplyRow("frame type 4", 0x0204, Changed(Limits(8), 9 * 7, 4), 0x1101) << 0;

        SecondReplyRow("four trunks", 0x0206, Trunks({0x03, 0x0C, 0x30, 0xC0}), 0) << 4;
        SecondReplyRow("member at bit P - 1", 0x0206, Trunks({0x80, 0, 0, 0}), 0) << 4;
        SecondReplyRow("three trunks", 0x0206, Trunks({0x03, 0x0C, 0x30}), 0x1100) << 0;
        SecondReplyRow("five trunks", 0x0206, Trunks({1, 2, 4, 8, 16}), 0x1100) << 0;
        SecondReplyRow("ports 3 and 4 in two groups", 0x0206, Trunks({0x0C, 0x03, 0x0C, 0}), 0x1102) << 0;
        SecondReplyRow("port 4 in the last group too", 0x0206, Trunks({0x0C, 0x30, 0, 0x88}), 0x1102) << 0;
        SecondReplyRow("member at bit P", 0x0206, Trunks({0x03, 0x100, 0, 0}), 0x1101) << 0;
        SecondReplyRow("member at bit 31", 0x0206, Trunks({0, 0, 0, 0x80000000}), 0x1101) << 0;

        for (int command : {0x0200, 0x0201, 0x0203, 0x0204, 0x0206})
            SecondReplyRow(RowName("error status of", command), command, QByteArray(12, '\0'), 5, 5) << 0;
    }
    void getReplies()
    {
        QFETCH(int, command);
        QFETCH(int, status);
        QFETCH(int, entries);
        CheckSecondReply();
        QCOMPARE(State(command), std::make_pair(status == 0, status == 0 ? entries : GoodAnswer(command).Entries));
    }

    void decodesEveryField()
    {
        Answer(0x0200, Names(11) + QByteArray("Trunk.01"));
        const auto& names = GetProperty<TPropertyPortName>(*m_Device).Names;
        QCOMPARE(names.front(), std::string("Port.01"));
        QCOMPARE(names.back(), std::string("Trunk.01")); // 8 characters, no terminator

        Answer(0x0201,
               Hex("ffffffff"
                   "0b09fe0702ff"
                   "00000000"
                   "0000"));
        const auto& config = GetProperty<TPropertyPortConfig>(*m_Device).Entries;
        QCOMPARE(config.size(), std::size_t(2));
        QCOMPARE(config[0], (TPortConfigEntry{11, 9, true, 7, 2, true}));
        QCOMPARE(config[1], (TPortConfigEntry{0, 0, false, 0, 0, false}));

        Answer(0x0203, Changed(Statuses(8), 5 * 7, 9) + QByteArray(4, '\0'));
        const auto& status = GetProperty<TPropertyPortStatus>(*m_Device).Entries;
        QCOMPARE(status[6], (TPortStatusEntry{1, false, true, 1, true}));
        QCOMPARE(status[7], (TPortStatusEntry{9, true, true, 1, true}));

        Answer(0x0204,
               Limits(7) +
                   Hex("01"
                       "0003e800"
                       "ffffffff"));
        const auto& limits = GetProperty<TPropertyPortLimit>(*m_Device).Entries;
        QCOMPARE(limits[0], (TPortLimitEntry{2, 1000, 0}));
        QCOMPARE(limits[7], (TPortLimitEntry{1, 256000, 0xFFFFFFFF}));

        Answer(0x0206,
               Hex("0000008302"
                   "0000000400"
                   "0000000001"
                   "0000000000"));
        const auto& trunks = GetProperty<TPropertyPortTrunk>(*m_Device).Entries;
        QCOMPARE(trunks[0], (TPortTrunkEntry{0x83, true}));
        QCOMPARE(trunks[1], (TPortTrunkEntry{0x04, false}));
        QCOMPARE(trunks[2], (TPortTrunkEntry{0, true}));
        for (uint16_t command : {0x0200, 0x0201, 0x0203, 0x0204, 0x0206})
            QVERIFY(State(command).first);
    }

    // Sets go out only with as many entries as the device type allows.
    void setCounts_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("sent");
        QTest::newRow("configuration of none") << 0x0202 << 0 << false;
        QTest::newRow("configuration of one") << 0x0202 << 1 << true;
        QTest::newRow("configuration of P + T") << 0x0202 << 12 << true;
        QTest::newRow("configuration of P + T + 1") << 0x0202 << 13 << false;
        QTest::newRow("limits of none") << 0x0205 << 0 << false;
        QTest::newRow("limits of P - 1") << 0x0205 << 7 << false;
        QTest::newRow("limits of P") << 0x0205 << 8 << true;
        QTest::newRow("limits of P + 1") << 0x0205 << 9 << false;
        QTest::newRow("trunks of none") << 0x0207 << 0 << false;
        QTest::newRow("trunks of T - 1") << 0x0207 << 3 << false;
        QTest::newRow("trunks of T") << 0x0207 << 4 << true;
        QTest::newRow("trunks of T + 1") << 0x0207 << 5 << false;
    }
    void setCounts()
    {
        QFETCH(int, command);
        QFETCH(int, entries);
        QFETCH(bool, sent);
        CheckSentWhen(StartSet(command, std::size_t(entries)), sent);
        if (sent) {
            const auto& bytes = m_Fake->Sent.back().Bytes;
            QCOMPARE(int(ReadU16(bytes.data())), command);
            QCOMPARE(m_Fake->Sent.back().Address, Address);
        }
    }

    // The whole datagram of each Set, from the sample entries of SampleSet.
    void setRequests_data()
    {
        SetRequestColumns(); // the sample is the Set's command
        const QByteArray defaultLimit = Hex("03"
                                            "00002000"
                                            "00000000");
        QTest::newRow("configuration") << 0x0202
                                       << Hex("0202"
                                              "0000"
                                              "000e"
                                              "000a1b2c3d01"
                                              "00000000"
                                              "0001030201"
                                              "0b00060000");
        QTest::newRow("limits") << 0x0205
                                << Hex("0205"
                                       "0000"
                                       "0048"
                                       "000a1b2c3d01") +
                defaultLimit.repeated(7) +
                Hex("00"
                    "000003e8"
                    "0001f400");
        QTest::newRow("trunks") << 0x0207
                                << Hex("0207"
                                       "0000"
                                       "0014"
                                       "000a1b2c3d01"
                                       "0000008301"
                                       "0000000c00"
                                       "0000000000"
                                       "0000003001");
    }
    void setRequests() { CheckSetRequest(); }

    // Whatever the Set's reply says, the matching Get goes out first (no receiver), then
    // the Set reports.
    void setStartsItsGet_data()
    {
        SetStartsItsGetColumns();
        SetStartsItsGetRows({{0x0202, 0x0201}, {0x0205, 0x0204}, {0x0207, 0x0206}}, {0, 5});
    }
    void setStartsItsGet() { CheckSetStartsItsGet(); }

    void names()
    {
        const std::vector<std::pair<TSession*, const char*>> sessions = {
            {new TSessionPortNameGet, "PortName"},
            {new TSessionPortConfigGet, "PortConfigGet"},
            {new TSessionPortConfigSet(std::vector<TPortConfigEntry>{}), "PortConfigSet"},
            {new TSessionPortStatusGet, "PortStatusGet"},
            {new TSessionPortLimitGet, "PortLimitGet"},
            {new TSessionPortLimitSet(std::vector<TPortLimitEntry>{}), "PortLimitSet"},
            {new TSessionPortTrunkGet, "TrunkGet"},
            {new TSessionPortTrunkSet(std::vector<TPortTrunkEntry>{}), "TrunkSet"},
        };
        CheckNames(sessions);
    }

private:
    bool StartGet(int command) override
    {
        return StartGetOf<TSessionPortNameGet, TSessionPortConfigGet, TSessionPortStatusGet, TSessionPortLimitGet,
                          TSessionPortTrunkGet>(command);
    }

    // A Get's accepted reply of the full length, and its entry count.
    TAnswer GoodAnswer(int command) override
    {
        switch (command) {
        case 0x0200: return {Names(12), 12};
        case 0x0201: return {Configs(3), 3};
        case 0x0203: return {Statuses(8), 8};
        case 0x0204: return {Limits(8), 8};
        case 0x0206: return {Trunks({0x01, 0x02, 0x04, 0x08}), 4};
        }
        return {};
    }

    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertyPortName, TPropertyPortConfig, TPropertyPortStatus, TPropertyPortLimit,
                       TPropertyPortTrunk>(command);
    }

    bool StartSet(int command, std::size_t entries)
    {
        switch (command) {
        case 0x0202: return StartNew<TSessionPortConfigSet>(m_Device, nullptr, std::vector<TPortConfigEntry>(entries));
        case 0x0205: return StartNew<TSessionPortLimitSet>(m_Device, nullptr, std::vector<TPortLimitEntry>(entries));
        case 0x0207: return StartNew<TSessionPortTrunkSet>(m_Device, nullptr, std::vector<TPortTrunkEntry>(entries));
        }
        return false;
    }

    // Sample rows of each Set, as a page would send them.
    bool SampleSet(int command, TWizard* receiver) override
    {
        switch (command) {
        case 0x0202: {
            // The port type is not sent.
            std::vector<TPortConfigEntry> rows = {{0, 9, true, 3, 2, true}, {11, 4, false, 6, 0, false}};
            return StartNew<TSessionPortConfigSet>(m_Device, receiver, rows);
        }
        case 0x0205: {
            std::vector<TPortLimitEntry> rows(8);
            rows[7] = {0, 1000, 128000};
            return StartNew<TSessionPortLimitSet>(m_Device, receiver, rows);
        }
        case 0x0207: {
            // Members 1, 2 and 8; 3 and 4; none; 5 and 6.
            std::vector<TPortTrunkEntry> rows = {{0x83, true}, {0x0C, false}, {0, false}, {0x30, true}};
            return StartNew<TSessionPortTrunkSet>(m_Device, receiver, rows);
        }
        }
        return false;
    }
};

QTEST_GUILESS_MAIN(TPortTest)
#include "tst_port.moc"
