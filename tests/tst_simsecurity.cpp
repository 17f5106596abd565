// The simulator's security commands against the console's: every request the console
// builds is answered by the simulated switch's handler, the further datagrams of a long list
// included, and the replies decoded by the console. No network: datagrams are handed over in
// memory.
#include "FakeSessionCallback.h"

#include "Commands.h"
#include "Options.h"
#include "core/Security.h"

#include <QtTest>

using namespace Intp;

namespace {

constexpr uint32_t Address = 0x0A000001;
constexpr uint16_t NoReport = 0xFFFF;

std::vector<uint8_t> Vector(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

TMacAddr MacOf(int i) { return TMacAddr(std::array<uint8_t, 6>{0x02, 0xB1, 0xAC, 0x00, uint8_t(i >> 8), uint8_t(i)}); }

} // namespace

class TSimSecurityTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_Setup = std::make_unique<TFakeDeviceSetup>(Address);
        m_Fake = m_Setup->Fake;
        m_Device = m_Setup->Device;
        m_Options = Sim::TOptions();
        Sim::TConfig config;
        config.ports = Sim::PortsOfModel("KX40-GT");
        m_Switch = std::make_unique<Sim::TSwitch>(0, Sim::TMac{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x01}, "KX40-GT", config);
    }
    void cleanup() { m_Setup.reset(); }

    void startUpState()
    {
        QCOMPARE(Get<TSessionSecurity8021xGet>(), uint16_t(0));
        const auto& radius = GetProperty<TPropertySecurity8021x>(*m_Device);
        QVERIFY(!radius.Enabled);
        QCOMPARE(radius.SharedKey, std::string("58132604"));
        QCOMPARE(radius.NasId, std::string("NAS_L2_SWITCH"));
        QCOMPARE((std::array{radius.ServerPort, radius.AccountingPort}), (std::array<uint16_t, 2>{1812, 1813}));

        QCOMPARE(Get<TSessionSecurity8021xPortGet>(), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurity8021xPort>(*m_Device).Modes, std::vector<uint8_t>(8, amAccept));

        QCOMPARE(Get<TSessionSecurityIpGet>(), uint16_t(0));
        const auto& ip = GetProperty<TPropertySecurityIp>(*m_Device);
        QVERIFY(!ip.Enabled);
        QCOMPARE(ip.Addresses, std::vector<uint32_t>(10, 0));

        QCOMPARE(Get<TSessionSecurityMacGet>(), uint16_t(0));
        QVERIFY(GetProperty<TPropertySecurityMac>(*m_Device).Addresses.empty());
        QCOMPARE(Get<TSessionSecurityPortGet>(), uint16_t(0));
        QVERIFY(GetProperty<TPropertySecurityPort>(*m_Device).Entries.empty());
    }

    // Blacklists of every length around full datagrams arrive whole, in order.
    void longBlacklist_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("datagrams");
        for (auto [count, datagrams] : {std::pair{127, 1}, {128, 2}, {129, 2}, {256, 3}, {300, 3}, {1024, 9}})
            QTest::addRow("%d addresses", count) << count << datagrams;
    }
    void longBlacklist()
    {
        QFETCH(int, count);
        QFETCH(int, datagrams);
        m_Switch->running.security.blacklist = Sim::SampleBlacklist(count);
        QCOMPARE(Get<TSessionSecurityMacGet>(), uint16_t(0));
        QCOMPARE(m_Datagrams, datagrams);
        const auto& list = GetProperty<TPropertySecurityMac>(*m_Device);
        QVERIFY(list.Valid);
        QCOMPARE(int(list.Addresses.size()), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(list.Addresses[std::size_t(i)], MacOf(i));
    }

    // Every Set, Add and Del changes what the next Get returns.
    void setsChangeTheSwitch()
    {
        TPropertySecurity8021x radius{false, true, 0xC0A8010A, 1645, 1646, std::string(32, 'k'), "edge-7", 10,
                                      20,    40,   50,         3,    7200};
        QCOMPARE(Set<TSessionSecurity8021xSet>(radius), uint16_t(0));
        const auto& got = GetProperty<TPropertySecurity8021x>(*m_Device);
        radius.Valid = true;
        QCOMPARE(std::tie(got.Enabled, got.ServerAddress, got.ServerPort, got.AccountingPort, got.SharedKey, got.NasId,
                          got.QuietPeriod, got.TxPeriod, got.SupplicantTimeout, got.ServerTimeout, got.MaxRequests,
                          got.ReAuthPeriod),
                 std::tie(radius.Enabled, radius.ServerAddress, radius.ServerPort, radius.AccountingPort,
                          radius.SharedKey, radius.NasId, radius.QuietPeriod, radius.TxPeriod, radius.SupplicantTimeout,
                          radius.ServerTimeout, radius.MaxRequests, radius.ReAuthPeriod));

        const std::vector<uint8_t> modes{0, 1, 2, 3, 3, 2, 1, 0};
        QCOMPARE(Set<TSessionSecurity8021xPortSet>(modes), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurity8021xPort>(*m_Device).Modes, modes);

        TPropertySecurityIp ip;
        ip.Enabled = true;
        ip.Management = TPropertySecurityIp::mgTelnet;
        ip.Addresses = {0x0A000005, 0x0A000006, 0, 0, 0, 0, 0, 0, 0, 0};
        QCOMPARE(Set<TSessionSecurityIpSet>(ip), uint16_t(0));
        const auto& ipGot = GetProperty<TPropertySecurityIp>(*m_Device);
        QCOMPARE(std::tie(ipGot.Enabled, ipGot.Management, ipGot.Addresses),
                 std::tie(ip.Enabled, ip.Management, ip.Addresses));

        QCOMPARE(Set<TSessionSecurityMacAdd>(MacOf(1)), uint16_t(0));
        QCOMPARE(Set<TSessionSecurityMacAdd>(MacOf(2)), uint16_t(0));
        QCOMPARE(Set<TSessionSecurityMacAdd>(MacOf(1)), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurityMac>(*m_Device).Addresses, (std::vector<TMacAddr>{MacOf(1), MacOf(2)}));
        QCOMPARE(Set<TSessionSecurityMacDel>(MacOf(1)), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurityMac>(*m_Device).Addresses, (std::vector<TMacAddr>{MacOf(2)}));

        QCOMPARE(Set<TSessionSecurityPortAdd>(TPropertySecurityPortEntry{11, MacOf(1)}), uint16_t(0));
        QCOMPARE(Set<TSessionSecurityPortAdd>(TPropertySecurityPortEntry{0, MacOf(2)}), uint16_t(0));
        QCOMPARE(Set<TSessionSecurityPortAdd>(TPropertySecurityPortEntry{3, MacOf(1)}), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurityPort>(*m_Device).Entries,
                 (std::vector<TPropertySecurityPortEntry>{{0, MacOf(2)}, {3, MacOf(1)}}));
        QCOMPARE(Set<TSessionSecurityPortDel>(MacOf(2)), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurityPort>(*m_Device).Entries,
                 (std::vector<TPropertySecurityPortEntry>{{3, MacOf(1)}}));
    }

    // Requests the switch refuses with status 4, changing nothing.
    void refusedRequests()
    {
        QCOMPARE(Set<TSessionSecurityPortAdd>(TPropertySecurityPortEntry{12, MacOf(1)}), Sim::stBadRequest);
        QCOMPARE(Set<TSessionSecurityPortAdd>(TPropertySecurityPortEntry{0, TMacAddr()}), Sim::stBadRequest);
        QCOMPARE(Set<TSessionSecurityMacAdd>(TMacAddr::Broadcast()), Sim::stBadRequest);
        QCOMPARE(Set<TSessionSecurity8021xPortSet>(std::vector<uint8_t>{0, 1, 2, 3, 4, 0, 0, 0}), Sim::stBadRequest);
        QCOMPARE(GetProperty<TPropertySecurity8021xPort>(*m_Device).Modes, std::vector<uint8_t>(8, amAccept));
        QVERIFY(GetProperty<TPropertySecurityPort>(*m_Device).Entries.empty());
        m_Switch->running.security.blacklist = Sim::SampleBlacklist(1024);
        QCOMPARE(Set<TSessionSecurityMacAdd>(MacOf(5000)), Sim::stBadRequest);
        QCOMPARE(Set<TSessionSecurityMacAdd>(MacOf(5)), uint16_t(0));
        QCOMPARE(GetProperty<TPropertySecurityMac>(*m_Device).Addresses.size(), std::size_t(1024));
    }

    // Each fault option gives the status the console's check reports.
    void faults_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("valid");
        QTest::newRow("bad auth mode") << "--bad-auth-mode" << 0x080A << 0x1100 << false;
        QTest::newRow("short auth ports") << "--short-auth-ports" << 0x080A << 0x1101 << false;
        QTest::newRow("cut access list") << "--cut-access-list" << 0x0800 << 0x1100 << false;
        QTest::newRow("bad binding port") << "--bad-binding-port" << 0x0802 << 0x1100 << false;
        QTest::newRow("full NAS identifier") << "--full-nas-id" << 0x0808 << 0 << true;
    }
    void faults()
    {
        QFETCH(QString, option);
        QFETCH(int, command);
        QFETCH(int, status);
        QFETCH(bool, valid);
        QString error;
        QVERIFY2(Sim::ParseOptions({"switchsim", "--count", "1", option, "0"}, m_Options, error), qPrintable(error));
        bool gotValid = false;
        uint16_t got = NoReport;
        switch (command) {
        case 0x0800:
            got = Get<TSessionSecurityIpGet>();
            gotValid = GetProperty<TPropertySecurityIp>(*m_Device).Valid;
            break;
        case 0x0802:
            got = Get<TSessionSecurityPortGet>();
            gotValid = GetProperty<TPropertySecurityPort>(*m_Device).Valid;
            QVERIFY(GetProperty<TPropertySecurityPort>(*m_Device).Entries.empty());
            break;
        case 0x0808:
            got = Get<TSessionSecurity8021xGet>();
            gotValid = GetProperty<TPropertySecurity8021x>(*m_Device).Valid;
            QCOMPARE(GetProperty<TPropertySecurity8021x>(*m_Device).NasId, std::string(32, 'N'));
            break;
        case 0x080A:
            got = Get<TSessionSecurity8021xPortGet>();
            gotValid = GetProperty<TPropertySecurity8021xPort>(*m_Device).Valid;
            break;
        }
        QCOMPARE(int(got), status);
        QCOMPARE(gotValid, valid);
    }

    // --blacklist gives the switches their lists at start-up; --list-split below a full
    // datagram cuts the list where the first short datagram ends.
    void blacklistOptions()
    {
        QString error;
        QVERIFY(Sim::ParseOptions({"switchsim", "--count", "2", "--blacklist", "1=300", "--list-split", "100"},
                                  m_Options, error));
        QCOMPARE(m_Options.blacklistSize.value(1), 300);
        QCOMPARE(m_Options.blacklistSize.value(0), 0);
        m_Switch->running.security.blacklist = Sim::SampleBlacklist(300);
        QCOMPARE(Get<TSessionSecurityMacGet>(), uint16_t(0));
        QCOMPARE(m_Datagrams, 3);
        QCOMPARE(GetProperty<TPropertySecurityMac>(*m_Device).Addresses.size(), std::size_t(100));
        QVERIFY(!Sim::ParseOptions({"switchsim", "--count", "2", "--blacklist", "2=5"}, m_Options, error));
    }

private:
    // Answers the console's last request as the simulated switch does, with every further
    // datagram of the reply; the status reported for that command (NoReport without one).
    uint16_t Answer()
    {
        const std::vector<uint8_t> request = m_Fake->Sent.back().Bytes;
        const uint16_t command = ReadU16(request.data());
        const Sim::TCommand& handler = Sim::Commands().at(command);
        QList<QByteArray> further;
        Sim::TRequest rq;
        rq.command = command;
        rq.payload = request.data() + HeaderSize;
        rq.size = request.size() - HeaderSize;
        rq.options = &m_Options;
        rq.later = [&further](const QByteArray& payload, int) { further.append(payload); };
        Sim::TReply reply = rq.size < handler.requestSize ? Sim::TReply{Sim::stBadRequest, {}, 0}
                                                          : handler.handler(*m_Switch, rq);
        if (reply.payload.isEmpty())
            reply.payload = QByteArray(handler.replySize, '\0');
        const std::size_t reported = m_Fake->Results.size();
        Deliver(Address, MakeDatagram(command, reply.status, Mac(1), Vector(reply.payload)));
        for (const QByteArray& payload : further)
            Deliver(Address, MakeDatagram(command, 0, Mac(1), Vector(payload)));
        m_Datagrams = int(further.size()) + 1;
        if (m_Fake->Results.size() != reported + 1 || m_Fake->Results.back().Code != command)
            return NoReport;
        return m_Fake->Results.back().Status;
    }

    template <typename S>
    uint16_t Get()
    {
        if (!StartNew<S>(m_Device, nullptr))
            return NoReport;
        return Answer();
    }

    // The Set's status, after its Get was answered too.
    template <typename S, typename A>
    uint16_t Set(const A& request)
    {
        if (!StartNew<S>(m_Device, nullptr, request))
            return NoReport;
        const uint16_t status = Answer();
        return Answer() == 0 ? status : NoReport;
    }

    std::unique_ptr<TFakeDeviceSetup> m_Setup;
    TFakeSessionCallback* m_Fake = nullptr;
    TDevice* m_Device = nullptr; // 8 ports, 4 trunk groups, 10 access-list slots
    Sim::TOptions m_Options;
    std::unique_ptr<Sim::TSwitch> m_Switch;
    int m_Datagrams = 0; // of the last answer
};

QTEST_GUILESS_MAIN(TSimSecurityTest)
#include "tst_simsecurity.moc"
