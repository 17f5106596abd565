// The simulator's SNMP commands against the console's: the start-up settings, what each
// Set, Add and Del changes as the next Get reads it back, the requests the switch refuses
// and the SNMP fault options. No network: the datagrams are handed over in memory.
#include "SimSwitch.h"

#include "core/Snmp.h"

#include <QtTest>

using namespace Intp;

namespace {

using TCommunities = std::vector<TPropertySnmpCommunityEntry>;
using TUsers = std::vector<TPropertySnmpUserEntry>;
using TTraps = std::vector<TPropertySnmpTrapEntry>;

const std::string Full(32, 'f');

} // namespace

class TSimSnmpTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

    void ParseFault(const QString& fault, int index)
    {
        QString error;
        m_Options = Sim::TOptions();
        QVERIFY2(Sim::ParseOptions({"zode-switchsim", "--count", "2", "--" + fault, QString::number(index)}, m_Options,
                                   error),
                 qPrintable(error));
    }

    // What the switch holds, read by the console.
    void ReadAll()
    {
        QCOMPARE(Get<TSessionSnmpGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionSnmpCommunityGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionSnmpUserGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionSnmpTrapGet>(), uint16_t(0));
    }
    const TCommunities& Communities() { return GetProperty<TPropertySnmpCommunity>(*m_Device).Entries; }
    const TUsers& Users() { return GetProperty<TPropertySnmpUser>(*m_Device).Entries; }
    const TTraps& Traps() { return GetProperty<TPropertySnmpTrap>(*m_Device).Entries; }

private slots:
    void init() { OpenSwitch(); }
    void cleanup() { CloseSwitch(); }

    void startUpState()
    {
        ReadAll();
        QCOMPARE(int(GetProperty<TPropertySnmp>(*m_Device).Version), int(svV1V2c));
        QCOMPARE(Communities(), (TCommunities{{"public", spReadOnly}, {"private", spReadWrite}, {}, {}}));
        QVERIFY(GetProperty<TPropertySnmpUser>(*m_Device).Valid);
        QVERIFY(Users().empty());
        QVERIFY(GetProperty<TPropertySnmpTrap>(*m_Device).Valid);
        QVERIFY(Traps().empty());
    }

    // Every change the console sends, read back by the Get each one starts.
    void roundTrips()
    {
        QCOMPARE(Set<TSessionSnmpSet>(TPropertySnmp{false, svV3}), uint16_t(0));
        QCOMPARE(int(GetProperty<TPropertySnmp>(*m_Device).Version), int(svV3));

        const TCommunities communities = {{Full, spReadWrite}, {"", spReadOnly}, {"b", spReadOnly}, {"c", spReadWrite}};
        QCOMPARE(Set<TSessionSnmpCommunitySet>(communities), uint16_t(0));
        QCOMPARE(Communities(), communities);

        QCOMPARE(Set<TSessionSnmpUserAdd>(TSnmpUserRequest{"ann", "authpass", ""}), uint16_t(0));
        QCOMPARE(Set<TSessionSnmpUserAdd>(TSnmpUserRequest{Full, "a", "p"}), uint16_t(0));
        QCOMPARE(Users(), (TUsers{{"ann", true, false}, {Full, true, true}}));
        QCOMPARE(Set<TSessionSnmpUserDel>(TSnmpUserRequest{"ann", "authpass", ""}), uint16_t(0));
        QCOMPARE(Users(), (TUsers{{Full, true, true}}));

        QCOMPARE(Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0000264, Full, tvV2c}), uint16_t(0));
        QCOMPARE(Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0000265, "t", tvV1}), uint16_t(0));
        QCOMPARE(Traps(), (TTraps{{0xC0000264, Full, tvV2c}, {0xC0000265, "t", tvV1}}));
        QCOMPARE(Set<TSessionSnmpTrapDel>(TSnmpTrapAddress{0xC0000264}), uint16_t(0));
        QCOMPARE(Traps(), (TTraps{{0xC0000265, "t", tvV1}}));
    }

    // Requests no switch takes: status 4, and nothing changes.
    void refused_data()
    {
        QTest::addColumn<int>("sample");
        QTest::newRow("version 2") << 0;
        QTest::newRow("privilege 2") << 1;
        QTest::newRow("user without a name") << 2;
        QTest::newRow("user twice") << 3;
        QTest::newRow("removing an unknown user") << 4;
        QTest::newRow("removing a user with another password") << 5;
        QTest::newRow("receiver at 0.0.0.0") << 6;
        QTest::newRow("receiver without community") << 7;
        QTest::newRow("receiver of version 2") << 8;
        QTest::newRow("receiver twice") << 9;
        QTest::newRow("removing an unknown receiver") << 10;
    }
    void refused()
    {
        QFETCH(int, sample);
        QCOMPARE(Set<TSessionSnmpUserAdd>(TSnmpUserRequest{"ann", "a", ""}), uint16_t(0));
        QCOMPARE(Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0000264, "t", tvV1}), uint16_t(0));
        ReadAll();
        const TCommunities communities = Communities();
        TCommunities badPrivilege = communities;
        badPrivilege[1].Privilege = 2;
        uint16_t status = 0xFFFF;
        switch (sample) {
        case 0: status = Set<TSessionSnmpSet>(TPropertySnmp{false, 2}); break;
        case 1: status = Set<TSessionSnmpCommunitySet>(badPrivilege); break;
        case 2: status = Set<TSessionSnmpUserAdd>(TSnmpUserRequest{"", "a", ""}); break;
        case 3: status = Set<TSessionSnmpUserAdd>(TSnmpUserRequest{"ann", "b", ""}); break;
        case 4: status = Set<TSessionSnmpUserDel>(TSnmpUserRequest{"bob", "", ""}); break;
        case 5: status = Set<TSessionSnmpUserDel>(TSnmpUserRequest{"ann", "b", ""}); break;
        case 6: status = Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0, "t", tvV1}); break;
        case 7: status = Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0000265, "", tvV1}); break;
        case 8: status = Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0000265, "t", 2}); break;
        case 9: status = Set<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0000264, "u", tvV2c}); break;
        case 10: status = Set<TSessionSnmpTrapDel>(TSnmpTrapAddress{0xC0000265}); break;
        }
        QCOMPARE(status, uint16_t(Sim::stBadRequest));
        ReadAll();
        QCOMPARE(int(GetProperty<TPropertySnmp>(*m_Device).Version), int(svV1V2c));
        QCOMPARE(Communities(), communities);
        QCOMPARE(Users(), (TUsers{{"ann", true, false}}));
        QCOMPARE(Traps(), (TTraps{{0xC0000264, "t", tvV1}}));
    }

    // The fault options make the console refuse the agent or community record, or skip the
    // unused receivers; another switch's fault changes nothing.
    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("faultyStatus");
        QTest::newRow("version 2") << "bad-snmp-version" << 0x0700 << 0x1100;
        QTest::newRow("131 bytes of communities") << "short-communities" << 0x0702 << 0x1100;
        QTest::newRow("privilege 2") << "bad-community-privilege" << 0x0702 << 0x1101;
        QTest::newRow("unused receivers") << "unused-trap-slots" << 0x0707 << 0;
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(int, command);
        QFETCH(int, faultyStatus);
        m_Switch->running.snmp.traps.append({0xC0000264, "t", 1});
        for (int faulty : {1, 0}) {
            ParseFault(fault, faulty);
            switch (command) {
            case 0x0700:
                QCOMPARE(int(Get<TSessionSnmpGet>()), faulty == 0 ? faultyStatus : 0);
                QCOMPARE(GetProperty<TPropertySnmp>(*m_Device).Valid, faulty != 0);
                break;
            case 0x0702:
                QCOMPARE(int(Get<TSessionSnmpCommunityGet>()), faulty == 0 ? faultyStatus : 0);
                QCOMPARE(GetProperty<TPropertySnmpCommunity>(*m_Device).Valid, faulty != 0);
                break;
            case 0x0707:
                QCOMPARE(int(Get<TSessionSnmpTrapGet>()), faulty == 0 ? faultyStatus : 0);
                QCOMPARE(Traps(), (TTraps{{0xC0000264, "t", tvV2c}}));
                break;
            }
        }
    }

    void badOptions()
    {
        for (const char* fault :
             {"bad-snmp-version", "short-communities", "bad-community-privilege", "unused-trap-slots"}) {
            QString error;
            Sim::TOptions parsed;
            QVERIFY(!Sim::ParseOptions({"zode-switchsim", "--count", "2", QString("--") + fault, "2"}, parsed, error));
        }
    }
};

QTEST_GUILESS_MAIN(TSimSnmpTest)
#include "tst_simsnmp.moc"
