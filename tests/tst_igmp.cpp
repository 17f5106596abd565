// The IGMP snooping commands: the settings with their query-mode check, the group table
// spread over datagrams of 64 groups, the bytes of the Set and the Get it starts.
#include "CommandTests.h"

#include "core/Igmp.h"

#include <QtTest>

using namespace Intp;

namespace {

// count groups 239.0.<i / 256>.<i % 256> in VLAN i + 1, members bit i % 8.
QByteArray Groups(int count, int first = 0)
{
    QByteArray bytes;
    for (int i = first; i < first + count; ++i)
        bytes += Hex("000000") + char(1 << (i % 8)) + Hex("ef00") + char(i >> 8) + char(i) + char((i + 1) >> 8) +
            char(i + 1);
    return bytes;
}

const QByteArray Head = Hex("01020304");

} // namespace

class TIgmpTest : public QObject, public TCommandFixture {
    Q_OBJECT

    bool StartGet(int command) override { return StartGetOf<TSessionIgmpGet, TSessionIgmpTable>(command); }
    std::pair<bool, int> State(int command) override { return StateOf<TPropertyIgmp, TPropertyIgmpTable>(command); }
    bool SampleSet(int, TWizard* receiver) override
    {
        return StartNew<TSessionIgmpSet>(m_Device, receiver, TPropertyIgmp{});
    }

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    void getReplies_data()
    {
        GetReplyColumns();
        const auto row = &GetReplyRow;
        row("snooping on, query auto", 0x0600, Hex("0102"), 0, 0);
        row("snooping off, query off, surplus", 0x0600, Hex("000055"), 0, 0);
        row("query mode 3", 0x0600, Hex("0103"), 0x1100, 0);
        row("query mode 255", 0x0600, Hex("00ff"), 0x1100, 0);
        row("a byte", 0x0600, Hex("01"), 2, 0);

        row("3 groups", 0x0602, Head + Groups(3), 0, 3);
        row("63 groups in one datagram", 0x0602, Head + Groups(63), 0, 63);
        row("no groups", 0x0602, Head, 0, 0);
        row("a group and 9 surplus bytes", 0x0602, Head + Groups(1) + QByteArray(9, 'x'), 0, 1);
        row("groups without head", 0x0602, Hex("000000"), 2, 0);
    }
    void getReplies() { CheckGetReply(); }

    void decodesEveryField()
    {
        Answer(0x0600, Hex("0702"));
        const auto& settings = GetProperty<TPropertyIgmp>(*m_Device);
        QVERIFY(settings.Snooping);
        QCOMPARE(settings.QueryMode, uint8_t(iqAuto));

        Answer(0x0602,
               Head +
                   Hex("80000005"
                       "e0000116"
                       "0ffe"));
        const auto& table = GetProperty<TPropertyIgmpTable>(*m_Device).Entries;
        QCOMPARE(table, (std::vector<TPropertyIgmpTableEntry>{{0x80000005, 0xE0000116, 4094}}));
    }

    // A query mode of 3 leaves the values decoded before in place, only not valid; so
    // does an error status, which also empties the group table.
    void refusedRepliesKeepOrEmpty()
    {
        Answer(0x0600, Hex("0101"));
        StartGet(0x0600);
        Reply(0x0600, Hex("0003"));
        QCOMPARE(LastStatus(), 0x1100);
        const auto& settings = GetProperty<TPropertyIgmp>(*m_Device);
        QVERIFY(!settings.Valid);
        QVERIFY(settings.Snooping);
        QCOMPARE(settings.QueryMode, uint8_t(iqEnable));

        Answer(0x0602, Head + Groups(5));
        StartGet(0x0602);
        Reply(0x0602, Head + Groups(5), 9);
        QCOMPARE(LastStatus(), 9);
        QCOMPARE(State(0x0602), std::make_pair(false, 0));
    }

    // 64 groups (a payload of 644 bytes) mean more follow; a shorter datagram, possibly
    // empty, ends the table with everything gathered; a later datagram changes nothing.
    void groupsSpreadOverDatagrams_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("64, then an empty end") << QList<int>{64, 0};
        QTest::newRow("64, 64, then 2") << QList<int>{64, 64, 2};
    }
    void groupsSpreadOverDatagrams()
    {
        QFETCH(QList<int>, counts);
        QVERIFY(StartGet(0x0602));
        int total = 0;
        for (int count : counts) {
            QVERIFY(m_Fake->Results.empty());
            const QByteArray payload = Head + Groups(count, total);
            if (count == 64)
                QCOMPARE(payload.size(), 644);
            Reply(0x0602, payload);
            total += count;
        }
        QCOMPARE(LastStatus(), 0);
        const auto& table = GetProperty<TPropertyIgmpTable>(*m_Device);
        QCOMPARE(State(0x0602), std::make_pair(true, total));
        QCOMPARE(table.Entries.back().Vid, uint16_t(total));

        Reply(0x0602, Head + Groups(64));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(State(0x0602), std::make_pair(true, total));
    }

    // An error status in a later datagram drops the groups gathered before it.
    void errorInLaterDatagramEmptiesTheTable()
    {
        QVERIFY(StartGet(0x0602));
        Reply(0x0602, Head + Groups(64));
        QCOMPARE(PendingSessions().size(), std::size_t(1));
        Reply(0x0602, Head, 7);
        QCOMPARE(LastStatus(), 7);
        QCOMPARE(State(0x0602), std::make_pair(false, 0));
        QVERIFY(PendingSessions().empty());
    }

    void requestBytes_data()
    {
        QTest::addColumn<bool>("snooping");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("enable, auto") << true << int(iqAuto) << Hex("0102");
        QTest::newRow("disable, enable") << false << int(iqEnable) << Hex("0001");
    }
    void requestBytes()
    {
        QFETCH(bool, snooping);
        QFETCH(int, mode);
        QFETCH(QByteArray, payload);
        TPropertyIgmp settings;
        settings.Snooping = snooping;
        settings.QueryMode = uint8_t(mode);
        QVERIFY(StartNew<TSessionIgmpSet>(m_Device, nullptr, settings));
        const auto& sent = m_Fake->Sent.back().Bytes;
        QCOMPARE(sent.size(), std::size_t(14));
        QCOMPARE(Intp::ReadU16(sent.data()), uint16_t(0x0601));
        QCOMPARE(Intp::ReadU16(sent.data() + 4), uint16_t(2));
        QCOMPARE(Bytes(sent).mid(int(HeaderSize)), payload);

        for (int command : {0x0600, 0x0602}) {
            QVERIFY(StartGet(command));
            QCOMPARE(Intp::ReadU16(m_Fake->Sent.back().Bytes.data()), uint16_t(command));
            QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(int(HeaderSize)), QByteArray(4, '\0'));
        }
        // Sending the table's Get empties the record at once.
        QCOMPARE(State(0x0602), std::make_pair(false, 0));
    }

    void setAsksAgainBeforeItReports_data()
    {
        SetStartsItsGetColumns();
        SetStartsItsGetRow("taken", 0x0601, 0x0600, 0);
        SetStartsItsGetRow("refused", 0x0601, 0x0600, 4);
    }
    void setAsksAgainBeforeItReports() { CheckSetStartsItsGet(); }

    void sessionNames()
    {
        StartGet(0x0600);
        StartGet(0x0602);
        SampleSet(0x0601, nullptr);
        QStringList names;
        for (const TSession* session : PendingSessions())
            names << session->Name();
        QCOMPARE(names, (QStringList{"IgmpGet", "IgmpTblGet", "IgmpSet"}));
    }
};

QTEST_MAIN(TIgmpTest)
#include "tst_igmp.moc"
