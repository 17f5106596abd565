// The SNMP commands: the agent version, the communities counted by the device type, the
// SNMPv3 users and the trap receivers; their length, count and range checks, the fields at
// full width, the request bytes of every Set, Add and Del, and the Get each one starts.
#include "CommandTests.h"

#include "core/Snmp.h"

using namespace Intp;

namespace {

constexpr int Slots = 4; // communities of the test device's model

// A text in a zero-filled 32-byte field; 32 characters or more fill it without a terminator.
QByteArray Field(const QByteArray& text) { return text.left(32).leftJustified(32, '\0'); }

// count community slots: "community<i>", privilege i % 2.
QByteArray Communities(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += Field("community" + QByteArray::number(i)) + char(i % 2);
    return bytes;
}

// count users "user<i>", the authentication password set on even ones, privacy on user 1.
QByteArray Users(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += Field("user" + QByteArray::number(i)) + char(i % 2 == 0) + char(i == 1);
    return bytes;
}

QByteArray Trap(const char* address, const QByteArray& community, char version)
{
    return Hex(address) + Field(community) + version;
}

// Four bytes nobody reads, then receivers 10.0.0.<i + 1> with community "trap<i>", V2c on odd ones.
QByteArray Traps(int count)
{
    QByteArray bytes = Hex("deadbeef");
    for (int i = 0; i < count; ++i)
        bytes += Hex("0a0000") + char(i + 1) + Field("trap" + QByteArray::number(i)) + char(i % 2);
    return bytes;
}

} // namespace

class TSnmpTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    // A second Get after a good answer: valid flag and entries after its reply. Agent and
    // community records keep the values decoded before when a reply is refused; user and
    // receiver lists are emptied by their request.
    void getReplies_data()
    {
        SecondReplyColumns();
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("entries");
        SecondReplyRow("version 0", 0x0700, Hex("00"), 0) << true << 0;
        SecondReplyRow("version 1 and a byte more", 0x0700, Hex("0100"), 0) << true << 0;
        SecondReplyRow("version 2", 0x0700, Hex("02"), 0x1100) << false << 0;
        SecondReplyRow("version 255", 0x0700, Hex("ff"), 0x1100) << false << 0;
        SecondReplyRow("agent without payload", 0x0700, {}, 2) << true << 0;

        SecondReplyRow("132 bytes: 4 communities", 0x0702, Communities(Slots), 0) << true << Slots;
        SecondReplyRow("4 communities and 32 bytes more", 0x0702, Communities(Slots) + QByteArray(32, 'x'), 0)
            << true << Slots;
        SecondReplyRow("131 bytes: 3 communities", 0x0702, Communities(Slots).left(131), 0x1100) << false << Slots;
        SecondReplyRow("5 communities", 0x0702, Communities(Slots + 1), 0x1100) << false << Slots;
        SecondReplyRow("1 byte: no community", 0x0702, Hex("00"), 0x1100) << false << Slots;
        SecondReplyRow("privilege 2 in the last slot", 0x0702, Communities(Slots - 1) + Field("x") + '\x02', 0x1101)
            << false << Slots;
        SecondReplyRow("communities without payload", 0x0702, {}, 2) << true << Slots;

        SecondReplyRow("35 bytes: one user", 0x0704, Users(1) + 'x', 0) << true << 1;
        SecondReplyRow("1 byte: no user", 0x0704, Hex("00"), 0) << true << 0;
        SecondReplyRow("three users", 0x0704, Users(3), 0) << true << 3;
        SecondReplyRow("users without payload", 0x0704, {}, 2) << false << 0;

        SecondReplyRow("receivers head only", 0x0707, Hex("00000000"), 0) << true << 0;
        SecondReplyRow("two receivers and 36 bytes", 0x0707, Traps(2) + QByteArray(36, 1), 0) << true << 2;
        SecondReplyRow("receiver at 0.0.0.0", 0x0707, Traps(1) + Trap("00000000", "x", 0), 0) << true << 1;
        SecondReplyRow("receiver without community", 0x0707, Traps(1) + Trap("0a000009", "", 0), 0) << true << 1;
        SecondReplyRow("receiver of trap version 2", 0x0707, Traps(1) + Trap("0a000009", "x", 2), 0) << true << 1;
        SecondReplyRow("receivers of 3 bytes", 0x0707, Hex("000000"), 2) << false << 0;

        for (int command : {0x0700, 0x0702, 0x0704, 0x0707}) {
            const bool list = command == 0x0704 || command == 0x0707;
            const TAnswer good = GoodAnswer(command);
            const int kept = list ? 0 : good.Entries;
            SecondReplyRow(RowName("error status of", command), command, good.Payload, 5, 5) << false << kept;
            SecondReplyRow(RowName("not logged in to", command), command, good.Payload, 3, 3) << !list << kept;
        }
    }
    void getReplies()
    {
        QFETCH(int, command);
        QFETCH(int, status);
        QFETCH(bool, valid);
        QFETCH(int, entries);
        CheckSecondReply();
        QCOMPARE(State(command), std::make_pair(valid, entries));
        QCOMPARE(m_Device->IsLoggedIn(), status != 3);
    }

    // Sending the user or receiver Get empties its record before any reply.
    void listGetsStartEmpty()
    {
        Answer(0x0704, Users(2));
        Answer(0x0707, Traps(2));
        QVERIFY(StartGet(0x0704));
        QVERIFY(StartGet(0x0707));
        QCOMPARE(State(0x0704), std::make_pair(false, 0));
        QCOMPARE(State(0x0707), std::make_pair(false, 0));
    }

    void decodesEveryField()
    {
        Answer(0x0700, Hex("01"));
        QCOMPARE(GetProperty<TPropertySnmp>(*m_Device).Version, uint8_t(svV3));

        // A community of 32 characters fills its field without a terminator.
        const QByteArray full(32, 'c');
        Answer(0x0702, full + '\x01' + Field("pub") + '\x00' + Hex("00").repeated(33) + Field(full.left(31)) + '\x01');
        const auto& communities = GetProperty<TPropertySnmpCommunity>(*m_Device);
        QCOMPARE(communities.Entries,
                 (std::vector<TPropertySnmpCommunityEntry>{{full.toStdString(), spReadWrite},
                                                           {"pub", spReadOnly},
                                                           {"", spReadOnly},
                                                           {full.left(31).toStdString(), spReadWrite}}));

        // Any non-zero byte says that a password is set.
        Answer(0x0704, full + Hex("0500") + Field("") + Hex("00ff") + Field("v3") + Hex("0101"));
        const auto& users = GetProperty<TPropertySnmpUser>(*m_Device);
        QCOMPARE(users.Entries,
                 (std::vector<TPropertySnmpUserEntry>{
                     {full.toStdString(), true, false}, {"", false, true}, {"v3", true, true}}));

        Answer(0x0707, Hex("ffffffff") + Trap("c0a80164", full, 1) + Trap("0a000002", "pub", 0));
        const auto& traps = GetProperty<TPropertySnmpTrap>(*m_Device);
        QCOMPARE(
            traps.Entries,
            (std::vector<TPropertySnmpTrapEntry>{{0xC0A80164, full.toStdString(), tvV2c}, {0x0A000002, "pub", tvV1}}));
    }

    // The community Set goes out only with one entry per community slot.
    void communitySetCounts_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("sent");
        QTest::newRow("none") << 0 << false;
        QTest::newRow("slots - 1") << Slots - 1 << false;
        QTest::newRow("slots") << Slots << true;
        QTest::newRow("slots + 1") << Slots + 1 << false;
    }
    void communitySetCounts()
    {
        QFETCH(int, entries);
        QFETCH(bool, sent);
        CheckSentWhen(StartNew<TSessionSnmpCommunitySet>(
                          m_Device, nullptr, std::vector<TPropertySnmpCommunityEntry>(std::size_t(entries))),
                      sent);
    }

    // A device of a model the console does not know has no community slots.
    void communitySetNeedsSlots()
    {
        TDevice* unknown = DeviceAt(2, Address + 1);
        QVERIFY(!StartNew<TSessionSnmpCommunitySet>(unknown, nullptr, std::vector<TPropertySnmpCommunityEntry>(1)));
        QVERIFY(m_Fake->Sent.empty());
    }

    // The whole datagram of each Set, Add and Del.
    void setRequests_data()
    {
        SetRequestColumns();
        const QByteArray mac = Hex("000a1b2c3d01");
        const QByteArray full(32, 'c');
        QTest::newRow("version 3") << 0
                                   << Hex("0701"
                                          "0000"
                                          "0001") +
                mac + Hex("01");
        QTest::newRow("communities") << 1
                                     << Hex("0703"
                                            "0000"
                                            "0084") +
                mac + full + '\x01' + Field("public") + '\x00' + QByteArray(33, '\0') + Field(full.left(31)) + '\x01';
        QTest::newRow("user added") << 2
                                    << Hex("0705"
                                           "0000"
                                           "0060") +
                mac + Field("admin") + full + Field("priv");
        QTest::newRow("user removed without passwords") << 3
                                                        << Hex("0706"
                                                               "0000"
                                                               "0060") +
                mac + Field("admin") + QByteArray(64, '\0');
        QTest::newRow("receiver added") << 4
                                        << Hex("0708"
                                               "0000"
                                               "0025") +
                mac + Trap("c0a80164", full, 1);
        QTest::newRow("receiver removed") << 5
                                          << Hex("0709"
                                                 "0000"
                                                 "0004") +
                mac + Hex("c0a80164");
    }
    void setRequests() { CheckSetRequest(); }

    // Whatever the reply says, the matching Get goes out first (no receiver), then the
    // command reports.
    void setStartsItsGet_data()
    {
        SetStartsItsGetColumns();
        const std::tuple<const char*, int, int> sets[] = {
            {"version", 0x0701, 0x0700},  {"communities", 0x0703, 0x0702}, {"user add", 0x0705, 0x0704},
            {"user del", 0x0706, 0x0704}, {"trap add", 0x0708, 0x0707},    {"trap del", 0x0709, 0x0707},
        };
        for (int status : {0, 5})
            for (int sample = 0; sample < 6; ++sample) {
                const auto& [name, command, get] = sets[sample];
                QTest::addRow("%s, status %d", name, status) << sample << command << get << status;
            }
    }
    void setStartsItsGet() { CheckSetStartsItsGet(); }

    void names()
    {
        const std::vector<std::pair<TSession*, const char*>> sessions = {
            {new TSessionSnmpGet, "SnmpGet"},
            {new TSessionSnmpSet(TPropertySnmp{}), "SnmpSet"},
            {new TSessionSnmpCommunityGet, "SnmpCommunityGet"},
            {new TSessionSnmpCommunitySet(TPropertySnmpCommunity{}), "SnmpCommunitySet"},
            {new TSessionSnmpUserGet, "SnmpUserGet"},
            {new TSessionSnmpUserAdd(TSnmpUserRequest{}), "SnmpUserAdd"},
            {new TSessionSnmpUserDel(TSnmpUserRequest{}), "SnmpUserDel"},
            {new TSessionSnmpTrapGet, "SnmpTrapGet"},
            {new TSessionSnmpTrapAdd(TPropertySnmpTrapEntry{}), "SnmpTrapAdd"},
            {new TSessionSnmpTrapDel(TSnmpTrapAddress{}), "SnmpTrapDel"},
        };
        CheckNames(sessions);
    }

private:
    bool StartGet(int command) override
    {
        return StartGetOf<TSessionSnmpGet, TSessionSnmpCommunityGet, TSessionSnmpUserGet, TSessionSnmpTrapGet>(command);
    }

    TAnswer GoodAnswer(int command) override
    {
        switch (command) {
        case 0x0700: return {Hex("01")};
        case 0x0702: return {Communities(Slots), Slots};
        case 0x0704: return {Users(2), 2};
        case 0x0707: return {Traps(3), 3};
        }
        return {};
    }

    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertySnmp, TPropertySnmpCommunity, TPropertySnmpUser, TPropertySnmpTrap>(command);
    }

    // 0: version 3; 1: communities, the first of 33 characters; 2 and 3: adding and removing
    // a user; 4 and 5: adding and removing a receiver.
    bool SampleSet(int sample, TWizard* receiver) override
    {
        const std::string full(33, 'c');
        switch (sample) {
        case 0: return StartNew<TSessionSnmpSet>(m_Device, receiver, TPropertySnmp{false, svV3});
        case 1:
            return StartNew<TSessionSnmpCommunitySet>(
                m_Device, receiver,
                std::vector<TPropertySnmpCommunityEntry>{
                    {full, spReadWrite}, {"public", spReadOnly}, {"", spReadOnly}, {full.substr(2), spReadWrite}});
        case 2: return StartNew<TSessionSnmpUserAdd>(m_Device, receiver, TSnmpUserRequest{"admin", full, "priv"});
        case 3: return StartNew<TSessionSnmpUserDel>(m_Device, receiver, TSnmpUserRequest{"admin", "", ""});
        case 4:
            return StartNew<TSessionSnmpTrapAdd>(m_Device, receiver, TPropertySnmpTrapEntry{0xC0A80164, full, tvV2c});
        case 5: return StartNew<TSessionSnmpTrapDel>(m_Device, receiver, TSnmpTrapAddress{0xC0A80164});
        }
        return false;
    }
};

QTEST_GUILESS_MAIN(TSnmpTest)
#include "tst_snmp.moc"
