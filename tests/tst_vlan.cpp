// The VLAN commands: mode, GVRP and management VLAN, the two VLAN lists spread over several
// datagrams with their checks, the per-port 802.1Q settings and how they are split into
// requests, and the texts the pages build from the lists.
#include "CommandTests.h"

#include "core/Vlan.h"

#include <QtTest>

using namespace Intp;

namespace {

using TWords = std::vector<uint16_t>;
using TVids = std::vector<uint16_t>;

QByteArray U16(uint16_t v) { return QByteArray(1, char(v >> 8)) + char(v); }
QByteArray U32(uint32_t v) { return U16(uint16_t(v >> 16)) + U16(uint16_t(v)); }

// Port-based entries: VLAN ID, member mask, 16-byte name.
QByteArray PortVlan(uint16_t vid, uint32_t members, const QByteArray& name)
{
    return U16(vid) + U32(members) + name.leftJustified(16, '\0', true);
}

// n good port-based entries with VLAN IDs from first on.
QByteArray PortVlans(int n, int first = 1)
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes += PortVlan(uint16_t(first + i), 0x3, "VLAN");
    return bytes;
}

QByteArray Dot1q(uint16_t vid, uint32_t untagged, uint32_t tagged) { return U16(vid) + U32(untagged) + U32(tagged); }

QByteArray Dot1qs(int n, int first = 1)
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes += Dot1q(uint16_t(first + i), 0x1, 0x2);
    return bytes;
}

const QByteArray Head(4, '\x77'); // not interpreted

TVlanPortSettings Port(uint8_t port, uint8_t type, uint16_t untagged, TVids tagged = {})
{
    return {port, type, untagged, std::move(tagged)};
}

} // namespace

Q_DECLARE_METATYPE(TWords)
Q_DECLARE_METATYPE(TVlanPortSettings)
Q_DECLARE_METATYPE(std::vector<TVlanPortSettings>)
Q_DECLARE_METATYPE(std::vector<TWords>)

class TVlanTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); } // 8 ports and 4 trunks: 12 logical ports
    void cleanup() { Close(); }

    void modeReplies_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("replyStatus");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("mode"); // kept from the earlier good reply (802.1Q) unless replaced
        QTest::newRow("disable") << Hex("00") << 0 << 0 << true << 0;
        QTest::newRow("port based") << Hex("01") << 0 << 0 << true << 1;
        QTest::newRow("802.1Q and more bytes") << Hex("02ffff") << 0 << 0 << true << 2;
        QTest::newRow("mode 3") << Hex("03") << 0 << 0x1100 << false << 2;
        QTest::newRow("mode 255") << Hex("ff") << 0 << 0x1100 << false << 2;
        QTest::newRow("error status") << Hex("01") << 5 << 5 << false << 2;
        QTest::newRow("not logged in") << Hex("01") << 3 << 3 << true << 2;
        QTest::newRow("short") << QByteArray() << 0 << 2 << true << 2;
    }
    void modeReplies()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, replyStatus);
        QFETCH(int, status);
        QFETCH(bool, valid);
        QFETCH(int, mode);
        QCOMPARE(Exchange<TSessionVlanGet>(Hex("02")), uint16_t(0));
        QCOMPARE(Exchange<TSessionVlanGet>(payload, uint16_t(replyStatus)), uint16_t(status));
        const auto& record = GetProperty<TPropertyVlan>(*m_Device);
        QCOMPARE(record.Valid, valid);
        QCOMPARE(int(record.Mode), mode);
    }

    void gvrpReplies_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("gvrp");
        QTest::addColumn<int>("vid");
        QTest::newRow("enabled, VLAN 4000") << Hex("010fa0") << 0 << true << 4000;
        QTest::newRow("any non-zero enables") << Hex("800001") << 0 << true << 1;
        QTest::newRow("disabled, none") << Hex("000000") << 0 << false << 0;
        QTest::newRow("two bytes are short") << Hex("0100") << 2 << false << 0;
    }
    void gvrpReplies()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, status);
        QFETCH(bool, gvrp);
        QFETCH(int, vid);
        QCOMPARE(Exchange<TSessionVlan8021qGet>(payload), uint16_t(status));
        const auto& record = GetProperty<TPropertyVlan8021q>(*m_Device);
        QCOMPARE(record.Valid, status == 0);
        QCOMPARE(record.Gvrp, gvrp);
        QCOMPARE(int(record.ManagementVid), vid);
    }

    // Datagrams of one port-based list exchange: only the last one reports.
    void portBasedList_data()
    {
        QTest::addColumn<QList<QByteArray>>("datagrams");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries");
        QTest::newRow("three VLANs") << QList<QByteArray>{Head + PortVlans(3)} << 0 << 3;
        QTest::newRow("no VLANs") << QList<QByteArray>{Head} << 0 << 0;
        QTest::newRow("surplus bytes") << QList<QByteArray>{Head + PortVlans(3) + QByteArray(21, 'x')} << 0 << 3;
        QTest::newRow("32 then an empty one") << QList<QByteArray>{Head + PortVlans(32), Head} << 0 << 32;
        QTest::newRow("32, 32, then 1") << QList<QByteArray>{Head + PortVlans(32), Head + PortVlans(32, 33),
                                                             Head + PortVlans(1, 65)}
                                        << 0 << 65;
        QTest::newRow("VLAN ID 0") << QList<QByteArray>{Head + PortVlans(2) + PortVlan(0, 1, "x")} << 0x1100 << 0;
        QTest::newRow("VLAN ID 4095") << QList<QByteArray>{Head + PortVlan(4095, 1, "x")} << 0x1100 << 0;
        QTest::newRow("VLAN ID 4094") << QList<QByteArray>{Head + PortVlan(4094, 1, "x")} << 0 << 1;
        QTest::newRow("no members") << QList<QByteArray>{Head + PortVlan(2, 0, "x")} << 0x1101 << 0;
        QTest::newRow("member at logical port 12")
            << QList<QByteArray>{Head + PortVlan(2, 1u << 12, "x")} << 0x1101 << 0;
        QTest::newRow("member at logical port 11") << QList<QByteArray>{Head + PortVlan(2, 1u << 11, "x")} << 0 << 1;
        QTest::newRow("empty name") << QList<QByteArray>{Head + PortVlan(2, 1, "")} << 0x1102 << 0;
        QTest::newRow("bad entry in a later datagram")
            << QList<QByteArray>{Head + PortVlans(32), Head + PortVlans(3) + PortVlan(9, 0, "x")} << 0x1101 << 0;
    }
    void portBasedList()
    {
        QFETCH(QList<QByteArray>, datagrams);
        QFETCH(int, status);
        QFETCH(int, entries);
        QVERIFY(StartNew<TSessionVlanPortGet>(m_Device, nullptr));
        for (qsizetype i = 0; i < datagrams.size(); ++i) {
            const bool last = i + 1 == datagrams.size();
            Reply(0x0402, datagrams[i]);
            QCOMPARE(m_Fake->Results.size(), std::size_t(last ? 1 : 0));
            QCOMPARE(PendingSessions().size(), std::size_t(last ? 0 : 1));
            if (!last)
                QVERIFY(m_Fake->Timers.begin()->second.Enabled);
        }
        QCOMPARE(int(m_Fake->Results.back().Status), status);
        const auto& record = GetProperty<TPropertyVlanPort>(*m_Device);
        QCOMPARE(record.Valid, status == 0);
        QCOMPARE(int(record.Entries.size()), entries);
    }

    void decodesPortBasedEntries()
    {
        QCOMPARE(
            Exchange<TSessionVlanPortGet>(Head + PortVlan(7, 0x801, "Sixteen chars!!!") + PortVlan(4094, 0xFFF, "a")),
            uint16_t(0));
        const auto& entries = GetProperty<TPropertyVlanPort>(*m_Device).Entries;
        QCOMPARE(entries, (std::vector<TPropertyVlanPortEntry>{{7, 0x801, "Sixteen chars!!!"}, {4094, 0xFFF, "a"}}));
    }

    // The entry with VLAN ID 0 carries the hybrid mask and is no VLAN.
    void dot1qList_data()
    {
        QTest::addColumn<QList<QByteArray>>("datagrams");
        QTest::addColumn<int>("entries");
        QTest::addColumn<uint32_t>("hybrid");
        QTest::newRow("hybrid entry first")
            << QList<QByteArray>{Head + Dot1q(0, 0x30, 0xFFFF) + Dot1qs(2)} << 2 << 0x30u;
        QTest::newRow("hybrid entry last") << QList<QByteArray>{Head + Dot1qs(2) + Dot1q(0, 0x5, 0)} << 2 << 0x5u;
        QTest::newRow("no hybrid entry: the mask stays") << QList<QByteArray>{Head + Dot1qs(3)} << 3 << 0x80u;
        QTest::newRow("128 then an empty one") << QList<QByteArray>{Head + Dot1qs(128), Head} << 128 << 0x80u;
        QTest::newRow("hybrid entry among 128")
            << QList<QByteArray>{Head + Dot1q(0, 0x1, 0) + Dot1qs(127), Head + Dot1qs(1, 200)} << 128 << 0x1u;
        QTest::newRow("128, then 5 and half an entry")
            << QList<QByteArray>{Head + Dot1qs(128), Head + Dot1qs(5, 129) + QByteArray(5, 'x')} << 133 << 0x80u;
        QTest::newRow("VLAN ID 4095 is kept") << QList<QByteArray>{Head + Dot1q(4095, 1, 0)} << 1 << 0x80u;
    }
    void dot1qList()
    {
        QFETCH(QList<QByteArray>, datagrams);
        QFETCH(int, entries);
        QFETCH(uint32_t, hybrid);
        QCOMPARE(Exchange<TSessionVlan8021qPortGet>(Head + Dot1q(0, 0x80, 0) + Dot1qs(4, 100)), uint16_t(0));
        QVERIFY(StartNew<TSessionVlan8021qPortGet>(m_Device, nullptr));
        // Building the request starts a fresh list; the hybrid mask stays until an answer replaces it.
        auto& record = GetProperty<TPropertyVlan8021qPort>(*m_Device);
        QVERIFY(!record.Valid);
        QVERIFY(record.Entries.empty());
        QCOMPARE(record.HybridMask, 0x80u);
        for (const QByteArray& datagram : datagrams)
            Reply(0x0408, datagram);
        QCOMPARE(m_Fake->Results.size(), std::size_t(2));
        QCOMPARE(m_Fake->Results.back().Status, uint16_t(0));
        QVERIFY(record.Valid);
        QCOMPARE(int(record.Entries.size()), entries);
        QCOMPARE(record.HybridMask, hybrid);
        QVERIFY(std::none_of(record.Entries.begin(), record.Entries.end(), [](const auto& e) { return e.Vid == 0; }));
    }

    // Two exchanges on the wire at once (two Sets each asking again): each answer replaces the
    // list the other left.
    void twoExchangesAtOnce()
    {
        QVERIFY(StartNew<TSessionVlan8021qPortGet>(m_Device, nullptr));
        QVERIFY(StartNew<TSessionVlan8021qPortGet>(m_Device, nullptr));
        const auto& record = GetProperty<TPropertyVlan8021qPort>(*m_Device);
        for (const QByteArray& datagram : {Head + Dot1qs(128), Head + Dot1qs(2, 129)})
            Reply(0x0408, datagram);
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(record.Entries.size(), std::size_t(130));
        Reply(0x0408, Head + Dot1qs(3, 500));
        QCOMPARE(m_Fake->Results.size(), std::size_t(2));
        QVERIFY(record.Valid);
        QCOMPARE(record.Entries, (std::vector<TPropertyVlan8021qPortEntry>{{500, 1, 2}, {501, 1, 2}, {502, 1, 2}}));
    }

    // An error status empties either list; a short reply leaves it.
    void listErrors_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("replyStatus");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("status");
        QTest::newRow("port based, status 5") << 0x0402 << 5 << Head << 5;
        QTest::newRow("802.1Q, status 5") << 0x0408 << 5 << Head << 5;
        QTest::newRow("port based, 3 bytes") << 0x0402 << 0 << Hex("000000") << 2;
        QTest::newRow("802.1Q, 3 bytes") << 0x0408 << 0 << Hex("000000") << 2;
    }
    void listErrors()
    {
        QFETCH(int, command);
        QFETCH(int, replyStatus);
        QFETCH(QByteArray, payload);
        QFETCH(int, status);
        const bool portBased = command == 0x0402;
        QCOMPARE(portBased ? Exchange<TSessionVlanPortGet>(Head + PortVlans(2))
                           : Exchange<TSessionVlan8021qPortGet>(Head + Dot1qs(2)),
                 uint16_t(0));
        QCOMPARE(portBased ? Exchange<TSessionVlanPortGet>(payload, uint16_t(replyStatus))
                           : Exchange<TSessionVlan8021qPortGet>(payload, uint16_t(replyStatus)),
                 uint16_t(status));
        QVERIFY(!(portBased ? GetProperty<TPropertyVlanPort>(*m_Device).Valid
                            : GetProperty<TPropertyVlan8021qPort>(*m_Device).Valid));
        QVERIFY(portBased ? GetProperty<TPropertyVlanPort>(*m_Device).Entries.empty()
                          : GetProperty<TPropertyVlan8021qPort>(*m_Device).Entries.empty());
    }

    void setRequests_data()
    {
        SetRequestColumns(); // the sample is the Set's command
        QTest::newRow("GVRP on, management VLAN 300") << 0x0407
                                                      << Hex("0407"
                                                             "0000"
                                                             "0003"
                                                             "000a1b2c3d01"
                                                             "01"
                                                             "012c");
        QTest::newRow("ports") << 0x0409
                               << Hex("0409"
                                      "0000"
                                      "0010"
                                      "000a1b2c3d01"
                                      "0000"
                                      "0001"
                                      "0000"
                                      "0502"
                                      "0007"
                                      "0002"
                                      "0003"
                                      "0000");
    }
    void setRequests() { CheckSetRequest(); }

    // Whatever the Set's reply says, the matching Get goes out first (no receiver), then the Set reports.
    void setStartsItsGet_data()
    {
        SetStartsItsGetColumns();
        SetStartsItsGetRows({{0x0407, 0x0406}, {0x0409, 0x0408}}, {0, 5});
    }
    void setStartsItsGet() { CheckSetStartsItsGet(); }

    void portSetSendsOnlyClosedRecords_data()
    {
        QTest::addColumn<TWords>("words");
        QTest::addColumn<bool>("sent");
        QTest::newRow("empty") << TWords{} << false;
        QTest::newRow("without the closing 0") << TWords{0x0000, 1} << false;
        QTest::newRow("closed") << TWords{0x0000, 1, 0} << true;
    }
    void portSetSendsOnlyClosedRecords()
    {
        QFETCH(TWords, words);
        QFETCH(bool, sent);
        CheckSentWhen(StartNew<TSessionVlan8021qPortSet>(m_Device, nullptr, words), sent);
    }

    // A port's settings as the 802.1Q list gives them.
    void portSettingsFromTheList_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<TVlanPortSettings>("settings");
        // Ports by index. VLAN 1: untagged 0 to 3; VLAN 5: untagged 3 and 4, tagged 1, 2 and 4;
        // VLAN 3: tagged 1, 2 and 6. Port 1 is hybrid.
        QTest::newRow("access in VLAN 1") << 0 << Port(0, ltAccess, 1);
        QTest::newRow("tagged VLANs in list order") << 2 << Port(2, lt8021q, 1, {5, 3});
        QTest::newRow("hybrid") << 1 << Port(1, ltHybrid, 1, {5, 3});
        QTest::newRow("the last untagged VLAN wins") << 3 << Port(3, ltAccess, 5);
        QTest::newRow("in no VLAN: untagged 1") << 7 << Port(7, ltAccess, 1);
        QTest::newRow("index 36 wraps onto bit 4") << 36 << Port(36, lt8021q, 5, {5});
        QTest::newRow("tagged only") << 6 << Port(6, lt8021q, 1, {3});
    }
    void portSettingsFromTheList()
    {
        QFETCH(int, port);
        QFETCH(TVlanPortSettings, settings);
        TPropertyVlan8021qPort list;
        list.HybridMask = 0x2;
        list.Entries = {{1, 0x0F, 0}, {5, 0x18, 0x16}, {3, 0, 0x46}};
        QCOMPARE(PortSettingsFrom(list, uint8_t(port)), settings);
    }

    void taggedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<TWords>("vids");
        QTest::newRow("2, ,3") << "2, ,3" << true << TWords{2, 3};
        QTest::newRow("blanks, tabs and commas") << " \t4\t,,  4094 1 " << true << TWords{4, 4094, 1};
        QTest::newRow("in typed order") << "9,3" << true << TWords{9, 3};
        QTest::newRow("empty") << "" << true << TWords{};
        QTest::newRow("separators only") << " , " << true << TWords{};
        QTest::newRow("leading digits count") << "12ab" << true << TWords{12};
        QTest::newRow("a 16-bit value") << "65537" << true << TWords{1};
        QTest::newRow("0") << "2,0" << false << TWords{};
        QTest::newRow("4095") << "4095" << false << TWords{};
        QTest::newRow("letters") << "2,abc" << false << TWords{};
        QTest::newRow("a sign") << "-3" << false << TWords{};
        QTest::newRow("65536 is 0") << "65536" << false << TWords{};
    }
    void taggedText()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(TWords, vids);
        TWords parsed{77};
        QCOMPARE(ParseTaggedVids(text.toStdString(), parsed), ok);
        QCOMPARE(parsed, ok ? vids : TWords{77});
    }

    void portWords_data()
    {
        QTest::addColumn<TVlanPortSettings>("port");
        QTest::addColumn<TWords>("words");
        QTest::newRow("access: three words") << Port(3, ltAccess, 12) << TWords{0x0300, 12, 0};
        QTest::newRow("port 5 hybrid") << Port(5, ltHybrid, 7, {2, 3}) << TWords{0x0502, 7, 2, 3, 0};
        QTest::newRow("802.1Q") << Port(11, lt8021q, 1, {4094}) << TWords{0x0B01, 1, 4094, 0};
    }
    void portWords()
    {
        QFETCH(TVlanPortSettings, port);
        QFETCH(TWords, words);
        TWords out{0xAAAA};
        AppendPortWords(port, out);
        out.erase(out.begin());
        QCOMPARE(out, words);
    }

    // Requests stay below 700 words and never split a port.
    void splitting_data()
    {
        QTest::addColumn<std::vector<TVlanPortSettings>>("ports");
        QTest::addColumn<QList<int>>("sizes");
        auto tagged = [](int n) {
            TVids vids;
            for (int i = 0; i < n; ++i)
                vids.push_back(uint16_t(2 + i));
            return vids;
        };
        QTest::newRow("one request") << std::vector<TVlanPortSettings>{Port(0, 0, 1), Port(1, 0, 1)} << QList<int>{6};
        QTest::newRow("699 words") << std::vector<TVlanPortSettings>{Port(0, 1, 1, tagged(300)),
                                                                     Port(1, 1, 1, tagged(393))}
                                   << QList<int>{699};
        QTest::newRow("700 words") << std::vector<TVlanPortSettings>{Port(0, 1, 1, tagged(300)),
                                                                     Port(1, 1, 1, tagged(394))}
                                   << QList<int>{303, 397};
        QTest::newRow("three requests") << std::vector<TVlanPortSettings>{Port(0, 1, 1, tagged(400)),
                                                                          Port(1, 1, 1, tagged(400)), Port(2, 0, 1),
                                                                          Port(3, 1, 1, tagged(400))}
                                        << QList<int>{403, 406, 403};
        QTest::newRow("no ports") << std::vector<TVlanPortSettings>{} << QList<int>{0};
    }
    void splitting()
    {
        QFETCH(std::vector<TVlanPortSettings>, ports);
        QFETCH(QList<int>, sizes);
        const auto buffers = SplitPortSettings(ports);
        QList<int> got;
        TWords joined;
        for (const TWords& buffer : buffers) {
            got << int(buffer.size());
            QVERIFY(buffer.empty() || buffer.back() == 0);
            joined.insert(joined.end(), buffer.begin(), buffer.end());
        }
        QCOMPARE(got, sizes);
        TWords expected;
        for (const auto& port : ports)
            AppendPortWords(port, expected);
        QCOMPARE(joined, expected);
    }

    void texts_data()
    {
        QTest::addColumn<uint32_t>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("bits 0 and 2") << 0x5u << "1,3";
        QTest::newRow("none") << 0u << "";
        QTest::newRow("bit 31") << 0x80000000u << "32";
        QTest::newRow("bits 0 to 11") << 0xFFFu << "1,2,3,4,5,6,7,8,9,10,11,12";
    }
    void texts()
    {
        QFETCH(uint32_t, mask);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(MaskPortsText(mask)), text);
    }

    void names()
    {
        const std::vector<std::pair<TSession*, const char*>> sessions = {
            {new TSessionVlanGet, "VlanGet"},
            {new TSessionVlanPortGet, "VlanPortGet"},
            {new TSessionVlan8021qGet, "Vlan8021qGet"},
            {new TSessionVlan8021qSet(TPropertyVlan8021q{}), "Vlan8021qSet"},
            {new TSessionVlan8021qPortGet, "Vlan8021qPortGet"},
            {new TSessionVlan8021qPortSet(TWords{}), "Vlan8021qPortSet"},
        };
        CheckNames(sessions);
    }

private:
    // Starts S, answers it with one datagram and returns the status it reported (0xFFFF: none).
    template <typename S>
    uint16_t Exchange(const QByteArray& payload, uint16_t status = 0)
    {
        if (!StartNew<S>(m_Device, nullptr))
            return 0xFFFF;
        const std::size_t before = m_Fake->Results.size();
        Reply(S::Command, payload, status);
        return m_Fake->Results.size() == before + 1 ? m_Fake->Results.back().Status : 0xFFFF;
    }

    bool SampleSet(int command, TWizard* receiver) override
    {
        if (command == 0x0407) {
            TPropertyVlan8021q record;
            record.Gvrp = true;
            record.ManagementVid = 300;
            return StartNew<TSessionVlan8021qSet>(m_Device, receiver, record);
        }
        return StartNew<TSessionVlan8021qPortSet>(m_Device, receiver, TWords{0x0000, 1, 0, 0x0502, 7, 2, 3, 0});
    }
};

QTEST_GUILESS_MAIN(TVlanTest)
#include "tst_vlan.moc"
