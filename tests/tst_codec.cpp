// The shared wire rules: scalar and text fields, fixed records, and lists counted by the
// device type, checked entry by entry and spread over several datagrams.
#include "CommandTests.h"

#include "core/DeviceType.h"
#include "core/Dispatch.h"
#include "core/SessionShapes.h"

#include <QtTest>

using namespace Intp;

namespace {

// A trunk-like list: 5-byte entries (port mask, flag), one per trunk group; masks must fit
// the port count and must not overlap.
struct TTestTrunkEntry {
    uint32_t Mask = 0;
    bool Enabled = false;
    void Decode(TReader& r)
    {
        Mask = r.U32();
        Enabled = r.Bool();
    }
    void Encode(TWriter& w) const
    {
        w.U32(Mask);
        w.Bool(Enabled);
    }
};

struct TTestTrunk {
    static constexpr uint16_t GetCommand = 0x7D01;
    using Entry = TTestTrunkEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 5;
    static constexpr TListCount Count = TListCount::Trunks;
    bool Valid = false;
    std::vector<Entry> Entries;

    static uint16_t Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry)
    {
        if (entry.Mask >= (1u << device.PortCount()))
            return stListRange;
        for (const auto& e : earlier)
            if (e.Mask & entry.Mask)
                return stListOverlap;
        return 0;
    }
};

// A free-length list with a 2-byte head that arrives in datagrams of at most 3 entries;
// ports must not be 0 and MACs must not repeat.
struct TTestTableEntry {
    TMacAddr Mac;
    uint16_t Port = 0;
    void Decode(TReader& r)
    {
        Mac = r.Mac();
        Port = r.U16();
    }
    void Encode(TWriter& w) const
    {
        w.Mac(Mac);
        w.U16(Port);
    }
};

struct TTestTable {
    static constexpr uint16_t GetCommand = 0x7D03;
    using Entry = TTestTableEntry;
    static constexpr std::size_t HeadSize = 2;
    static constexpr std::size_t EntrySize = 8;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 3;
    bool Valid = false;
    uint16_t Head = 0;
    std::vector<Entry> Entries;
    void DecodeHead(TReader& r) { Head = r.U16(); }

    // Ports count from 1; a MAC is listed once.
    static uint16_t Check(const TDevice&, const std::vector<Entry>& earlier, const Entry& entry)
    {
        if (entry.Port == 0)
            return stListRange;
        for (const auto& e : earlier)
            if (e.Mac == entry.Mac)
                return stListOverlap;
        return 0;
    }
};

struct TTestFixed {
    static constexpr uint16_t GetCommand = 0x7D05;
    bool Valid = false;
    std::string Name;
    uint16_t Value = 0;
    void Decode(TReader& r)
    {
        Name = r.Text(16);
        Value = r.U16();
    }
    void Encode(TWriter& w) const
    {
        w.Text(Name, 16);
        w.U16(Value);
    }
};

} // namespace

namespace Intp {
INTP_COMMAND_TRAITS(0x7D01, 4, 1);
INTP_COMMAND_TRAITS(0x7D02, 0, 4);
INTP_COMMAND_TRAITS(0x7D03, 4, 1);
INTP_COMMAND_TRAITS(0x7D05, 4, 18);
INTP_COMMAND_TRAITS(0x7D06, 18, 4);
} // namespace Intp

namespace {

class TTrunkGet : public TSessionListGet<0x7D01, TTestTrunk> {
public:
    const char* Name() const override { return "TrunkGet"; }
};
class TTrunkSet : public TSessionListSet<0x7D02, TTestTrunk, TTrunkGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "TrunkSet"; }
};
class TTableGet : public TSessionListGet<0x7D03, TTestTable> {
public:
    const char* Name() const override { return "TableGet"; }
};
class TFixedGet : public TSessionGetRecord<0x7D05, TTestFixed> {
public:
    const char* Name() const override { return "FixedGet"; }
};
class TFixedSet : public TSessionSetRecord<0x7D06, TTestFixed, TFixedGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "FixedSet"; }
};

std::vector<uint8_t> Trunks(std::initializer_list<uint32_t> masks, int extraBytes = 0)
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    for (uint32_t m : masks) {
        w.U32(m);
        w.Bool(true);
    }
    w.Zero(std::size_t(extraBytes));
    return payload;
}

std::vector<uint8_t> TableDatagram(uint16_t head, int first, int count)
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    w.U16(head);
    for (int i = 0; i < count; ++i) {
        w.Mac(Mac(uint8_t(first + i)));
        w.U16(uint16_t(first + i));
    }
    return payload;
}

} // namespace

class TCodecTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); } // 8 ports, 4 trunk groups
    void cleanup() { Close(); }

    void textFields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("decoded");
        QTest::newRow("short") << QByteArray("ab") << QByteArray("ab\0\0", 4) << QByteArray("ab");
        QTest::newRow("exactly W, no terminator") << QByteArray("abcd") << QByteArray("abcd") << QByteArray("abcd");
        QTest::newRow("longer than W is cut") << QByteArray("abcdef") << QByteArray("abcd") << QByteArray("abcd");
        QTest::newRow("empty") << QByteArray() << QByteArray(4, 0) << QByteArray();
    }
    void textFields()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, decoded);
        std::vector<uint8_t> out;
        TWriter(out).Text(text.toStdString(), 4);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out.data()), qsizetype(out.size())), wire);
        TReader reader(out);
        QCOMPARE(QByteArray::fromStdString(reader.Text(4)), decoded);
        QVERIFY(reader.Ok());
    }

    void readerStopsAtTheEnd()
    {
        const uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
        TReader reader(bytes);
        QCOMPARE(reader.U32(), 0x12345678u);
        QCOMPARE(reader.U16(), uint16_t(0)); // one byte left: nothing is read
        QVERIFY(!reader.Ok());
        QCOMPARE(reader.U8(), uint8_t(0)); // stays failed
        TReader texts(bytes);
        QCOMPARE(texts.Text(6), std::string());
        QVERIFY(!texts.Ok());
        TReader embedded(std::span<const uint8_t>(bytes, 5), 1);
        QCOMPARE(embedded.U32(), 0x3456789Au);
    }

    void fixedRecordStatusKeepsValues()
    {
        std::vector<uint8_t> payload;
        TWriter w(payload);
        w.Text("alpha", 16);
        w.U16(42);
        QVERIFY(StartNew<TFixedGet>(m_Device, nullptr));
        Reply(0x7D05, payload);
        TTestFixed& record = GetProperty<TTestFixed>(*m_Device);
        QVERIFY(record.Valid);
        QCOMPARE(record.Name, std::string("alpha"));
        QVERIFY(StartNew<TFixedGet>(m_Device, nullptr));
        Reply(0x7D05, std::vector<uint8_t>(18, 0xEE), 5);
        QVERIFY(!record.Valid);
        QCOMPARE(record.Name, std::string("alpha")); // values left in place
        QCOMPARE(record.Value, uint16_t(42));
        QCOMPARE(m_Fake->Results.back().Status, uint16_t(5));
    }

    void fixedSetEncodesAndRefreshes()
    {
        TTestFixed record;
        record.Name = std::string(20, 'x'); // longer than the field
        record.Value = 0x0102;
        QVERIFY(StartNew<TFixedSet>(m_Device, nullptr, record));
        std::vector<uint8_t> expected = MakeDatagram(0x7D06, 0, Mac(1), {}, 18);
        expected.insert(expected.end(), 16, 'x');
        expected.push_back(1);
        expected.push_back(2);
        QVERIFY(m_Fake->Sent.back().Bytes == expected);
        Reply(0x7D06, std::vector<uint8_t>{0, 0, 0, 0});
        // The Get went out before the Set reported.
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        QCOMPARE(Intp::ReadU16(m_Fake->Sent.back().Bytes.data()), uint16_t(0x7D05));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(m_Fake->Results[0].Code, uint16_t(0x7D06));
        QCOMPARE(PendingSessions().size(), std::size_t(1));
    }

    // Replies to the trunk list (one datagram, counted, checked) and to the table (several
    // datagrams, checked), after a previous good answer.
    void listReplies_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QList<QByteArray>>("datagrams");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries"); // -1: record left as it was
        auto trunks = [&](const char* name, const std::vector<uint8_t>& payload, int status, int entries) {
            QTest::newRow(name) << "trunk" << QList<QByteArray>{Bytes(payload)} << status << entries;
        };
        trunks("four trunks", Trunks({0x03, 0x0C, 0x30, 0xC0}), 0, 4);
        trunks("trailing byte ignored", Trunks({0x03, 0x0C, 0x30, 0xC0}, 1), 0, 4);
        trunks("three trunks", Trunks({0x03, 0x0C, 0x30}), 0x1100, -1);
        trunks("five trunks", Trunks({1, 2, 4, 8, 16}), 0x1100, -1);
        trunks("no entries", Trunks({}, 4), 0x1100, -1);
        trunks("mask beyond the ports", Trunks({0x03, 0x100, 0x30, 0xC0}), 0x1101, -1);
        trunks("overlap with earlier", Trunks({0x03, 0x06, 0x30, 0xC0}), 0x1102, -1);
        auto table = [&](const char* name, const std::vector<std::vector<uint8_t>>& parts, int status, int entries) {
            QList<QByteArray> datagrams;
            for (const auto& part : parts)
                datagrams << Bytes(part);
            QTest::newRow(name) << "table" << datagrams << status << entries;
        };
        table("table in three datagrams", {TableDatagram(7, 1, 3), TableDatagram(0, 4, 3), TableDatagram(0, 7, 1)}, 0,
              7);
        table("table ending with a datagram of no entries", {TableDatagram(7, 1, 3), TableDatagram(0, 4, 0)}, 0, 3);
        // Rejections end the session and leave no half list; what follows is not taken.
        table("failing entry in the first datagram", {TableDatagram(7, 0, 3), TableDatagram(0, 4, 1)}, 0x1101, 0);
        table("failing entry in a later datagram",
              {TableDatagram(7, 1, 3), TableDatagram(0, 3, 3), TableDatagram(0, 9, 1)}, 0x1102, 0);
        table("first datagram shorter than the head", {{0x00}, TableDatagram(7, 1, 1)}, 0x1100, 0);
        table("later datagram shorter than the head", {TableDatagram(7, 1, 3), {0x00}, TableDatagram(0, 4, 1)}, 0x1100,
              0);
    }
    void listReplies()
    {
        QFETCH(QString, list);
        QFETCH(QList<QByteArray>, datagrams);
        QFETCH(int, status);
        QFETCH(int, entries);
        const bool trunk = list == "trunk";
        const uint16_t command = trunk ? 0x7D01 : 0x7D03;
        auto start = [&] {
            return trunk ? StartNew<TTrunkGet>(m_Device, nullptr) : StartNew<TTableGet>(m_Device, nullptr);
        };
        // A previous good answer, so rejections can be seen to leave it alone.
        QVERIFY(start());
        Reply(command, trunk ? Trunks({0x01, 0x02, 0x04, 0x08}) : TableDatagram(9, 1, 2));
        m_Fake->Results.clear();
        QVERIFY(start());
        for (const QByteArray& d : datagrams)
            Reply(command, d);
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(int(m_Fake->Results.back().Status), status);
        QVERIFY(PendingSessions().empty());
        if (trunk) {
            TTestTrunk& record = GetProperty<TTestTrunk>(*m_Device);
            QCOMPARE(record.Valid, status == 0);
            if (entries < 0) {
                QCOMPARE(record.Entries.size(), std::size_t(4));
                QCOMPARE(record.Entries[1].Mask, 0x02u);
            } else {
                QCOMPARE(int(record.Entries.size()), entries);
                QCOMPARE(record.Entries[1].Mask, 0x0Cu);
            }
        } else {
            TTestTable& record = GetProperty<TTestTable>(*m_Device);
            QCOMPARE(record.Valid, status == 0);
            QCOMPARE(int(record.Entries.size()), entries);
            if (entries > 0) {
                QCOMPARE(record.Head, uint16_t(7));
                QCOMPARE(record.Entries.back().Port, uint16_t(entries));
            }
        }
    }

    void listSetRefusesWrongCounts()
    {
        TTestTrunk record;
        QVERIFY(!StartNew<TTrunkSet>(m_Device, nullptr, record)); // empty
        record.Entries.resize(3);
        QVERIFY(!StartNew<TTrunkSet>(m_Device, nullptr, record)); // device wants 4
        QVERIFY(m_Fake->Sent.empty());
        record.Entries.resize(4);
        record.Entries[2].Mask = 0x30;
        QVERIFY(StartNew<TTrunkSet>(m_Device, nullptr, record));
        const auto& sent = m_Fake->Sent.back().Bytes;
        QCOMPARE(sent.size(), HeaderSize + 20);
        QCOMPARE(Intp::ReadU16(sent.data() + OffLength), uint16_t(20));
        QCOMPARE(sent[HeaderSize + 10 + 3], uint8_t(0x30));
    }

    void listInSeveralDatagrams()
    {
        auto* session = new TTableGet;
        QVERIFY(Start(session, m_Device, nullptr));
        Reply(0x7D03, TableDatagram(7, 1, 3));
        QVERIFY(m_Fake->Results.empty());
        QVERIFY(m_Fake->Timers.at(session).Enabled); // waiting again, full interval
        QCOMPARE(m_Fake->Timers.at(session).Due, m_Fake->Now + 60000);
        m_Fake->Advance(30000);
        Reply(0x7D03, TableDatagram(0, 4, 3));
        m_Fake->Advance(59999); // the second part restarted the interval
        QVERIFY(m_Fake->Results.empty());
        Reply(0x7D03, TableDatagram(0, 7, 1));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(m_Fake->Results[0].Status, uint16_t(0));
        TTestTable& table = GetProperty<TTestTable>(*m_Device);
        QVERIFY(table.Valid);
        QCOMPARE(table.Head, uint16_t(7));
        QCOMPARE(table.Entries.size(), std::size_t(7));
        QCOMPARE(table.Entries[6].Port, uint16_t(7));

        // A new request empties the record, so two answers never mix.
        QVERIFY(StartNew<TTableGet>(m_Device, nullptr));
        QVERIFY(!table.Valid);
        QVERIFY(table.Entries.empty());
        Reply(0x7D03, TableDatagram(1, 20, 2));
        QCOMPARE(table.Entries.size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(TCodecTest)
#include "tst_codec.moc"
