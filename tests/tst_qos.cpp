// The QoS commands against a device of 8 ports and 4 trunk groups: which replies are taken
// and which are refused with which status, the bytes of the Sets, when a Set is not sent,
// and that a Set asks again before it reports.
#include "CommandTests.h"

#include "core/Qos.h"

#include <QtTest>

using namespace Intp;

namespace {

constexpr int Ports = 8;

QByteArray Repeat(char byte, int count) { return QByteArray(count, byte); }

} // namespace

class TQosTest : public QObject, public TCommandFixture {
    Q_OBJECT

    bool StartGet(int command) override
    {
        return StartGetOf<TSessionQosGet, TSessionQosPortGet, TSessionQosCosGet, TSessionQosTosGet>(command);
    }
    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertyQos, TPropertyQosPort, TPropertyQosCos, TPropertyQosTos>(command);
    }
    // The Sets of the test setsAskAgainBeforeTheyReport, by command.
    bool SampleSet(int set, TWizard* receiver) override
    {
        switch (set) {
        case 0x0501: return StartNew<TSessionQosSet>(m_Device, receiver, TPropertyQos{});
        case 0x0503: return StartNew<TSessionQosPortSet>(m_Device, receiver, std::vector<TQosByte>(Ports));
        case 0x0505: {
            TPropertyQosCos cos;
            cos.Entries.resize(Ports);
            return StartNew<TSessionQosCosSet>(m_Device, receiver, cos);
        }
        default: return StartNew<TSessionQosTosSet>(m_Device, receiver, TPropertyQosTos{});
        }
    }

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    void getReplies_data()
    {
        GetReplyColumns();
        const auto row = &GetReplyRow;
        row("strict, COS first", 0x0500, Hex("0104"), 0, 0);
        row("scheme 2", 0x0500, Hex("0200"), 0x1100, 0);
        row("type 6", 0x0500, Hex("0006"), 0x1101, 0);
        row("scheme a byte short", 0x0500, Hex("01"), 2, 0);

        row("8 port queues", 0x0502, Hex("0001020300010203"), 0, Ports);
        row("queue 4", 0x0502, Hex("0001020400010203"), 0x1100, 0);
        row("7 port queues", 0x0502, Hex("00010203000102"), 0x1101, 0);
        row("12 port queues (trunks do not count)", 0x0502, Repeat(1, 12), 0x1101, 0);
        row("no port queue", 0x0502, QByteArray(), 2, 0);

        row("8 + 8 bytes", 0x0504, Hex("0001020300010203") + Repeat(7, Ports), 0, Ports);
        row("a port priority of 8", 0x0504, Hex("0001020300010203") + Repeat(2, 7) + char(8), 0x1101, 0);
        row("a queue of 4", 0x0504, Hex("0401020300010203") + Repeat(2, Ports), 0x1100, 0);
        row("8 + 7 bytes", 0x0504, Hex("0001020300010203") + Repeat(2, 7), 0x1102, 0);
        row("queues without ports", 0x0504, Hex("0001020300010203"), 0x1102, 0);
        row("queues a byte short", 0x0504, Hex("00010203000102"), 2, 0);

        row("64 DSCP queues", 0x0506, Repeat(3, 64), 0, 0);
        row("65 bytes: the last ignored", 0x0506, Repeat(3, 64) + char(9), 0, 0);
        row("a DSCP queue of 4", 0x0506, Repeat(3, 63) + char(4), 0x1100, 0);
        row("63 bytes", 0x0506, Repeat(3, 63), 2, 0);
    }
    // A refused reply leaves the record not valid; a short one leaves it as it was.
    void getReplies() { CheckGetReply(); }

    void decodesEveryField()
    {
        Answer(0x0500, Hex("0104"));
        const auto& qos = GetProperty<TPropertyQos>(*m_Device);
        QCOMPARE(qos.Scheme, uint8_t(qsStrict));
        QCOMPARE(qos.Type, uint8_t(qtCosFirst));

        Answer(0x0504, Hex("0302010003020100") + Hex("0001020304050607"));
        const auto& cos = GetProperty<TPropertyQosCos>(*m_Device);
        QCOMPARE(cos.Queues, (std::array<uint8_t, 8>{3, 2, 1, 0, 3, 2, 1, 0}));
        QCOMPARE(cos.Entries.size(), std::size_t(Ports));
        QCOMPARE(cos.Entries[7].Value, uint8_t(7));

        QByteArray dscp;
        for (int i = 0; i < 64; ++i)
            dscp += char(i % 4);
        Answer(0x0506, dscp);
        QCOMPARE(GetProperty<TPropertyQosTos>(*m_Device).Queues[63], uint8_t(3));
    }

    void setRequestBytes()
    {
        const std::size_t h = HeaderSize;
        TPropertyQos qos{false, qsStrict, qtTosFirst};
        QVERIFY(StartNew<TSessionQosSet>(m_Device, nullptr, qos));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(h)), Hex("0105"));
        QCOMPARE(Intp::ReadU16(m_Fake->Sent.back().Bytes.data() + 4), uint16_t(2));

        std::vector<TQosByte> queues{{3}, {2}, {1}, {0}, {0}, {1}, {2}, {3}};
        QVERIFY(StartNew<TSessionQosPortSet>(m_Device, nullptr, queues));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(h)), Hex("0302010000010203"));

        TPropertyQosCos cos;
        cos.Queues = {0, 0, 1, 1, 2, 2, 3, 3};
        cos.Entries = {{7}, {6}, {5}, {4}, {3}, {2}, {1}, {0}};
        QVERIFY(StartNew<TSessionQosCosSet>(m_Device, nullptr, cos));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(h)),
                 Hex("0000010102020303"
                     "0706050403020100"));

        TPropertyQosTos tos;
        tos.Queues.fill(2);
        QVERIFY(StartNew<TSessionQosTosSet>(m_Device, nullptr, tos));
        QCOMPARE(m_Fake->Sent.back().Bytes.size(), std::size_t(76));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(h)), Repeat(2, 64));
    }

    // The per-port Sets need exactly one byte per physical port of the device.
    void perPortSetsNeedThePortCount()
    {
        const std::size_t before = m_Fake->Sent.size();
        for (std::size_t count : {std::size_t(0), std::size_t(7), std::size_t(9), std::size_t(12)}) {
            QVERIFY(!StartNew<TSessionQosPortSet>(m_Device, nullptr, std::vector<TQosByte>(count)));
            TPropertyQosCos cos;
            cos.Entries.resize(count);
            QVERIFY(!StartNew<TSessionQosCosSet>(m_Device, nullptr, cos));
        }
        QCOMPARE(m_Fake->Sent.size(), before);
    }

    void setsAskAgainBeforeTheyReport_data()
    {
        SetStartsItsGetColumns();
        SetStartsItsGetRow("scheme", 0x0501, 0x0500, 0);
        SetStartsItsGetRow("port queues", 0x0503, 0x0502, 0);
        SetStartsItsGetRow("802.1p", 0x0505, 0x0504, 0);
        SetStartsItsGetRow("DSCP", 0x0507, 0x0506, 0);
    }
    void setsAskAgainBeforeTheyReport() { CheckSetStartsItsGet(); }
};

QTEST_MAIN(TQosTest)
#include "tst_qos.moc"
