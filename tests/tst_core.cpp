// The core commands and the discovery chain against scripted replies.
#include "CommandTests.h"

#include "core/Basics.h"
#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "net/FindHook.h"

#include <QCryptographicHash>
#include <QtTest>

using namespace Intp;

namespace {

struct TReceiver : TWizard {
    std::vector<std::pair<uint16_t, uint16_t>> Seen; // command, status
    void OnResult(TDevice*, uint16_t command, uint16_t status, const Intp::TResultData&) override
    {
        Seen.emplace_back(command, status);
    }
};

struct TFilter : Filter::TFilterSettingsServer {
    uint32_t Rejected = 0;
    bool IsAccepted(uint32_t address) const override { return address != Rejected; }
};

struct TMonitor : Status::TStatusServer {
    std::vector<TDevice*> Added;
    void AddDevices(const std::vector<TDevice*>&) override {}
    void AddDevice(TDevice* device) override { Added.push_back(device); }
    uint32_t GetStatusFlags(TDevice*) const override { return 0; }
};

std::vector<uint8_t> KeyPayload(const char* model)
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    w.U32(ModelKey(model));
    w.U32(0xDEADBEEF);
    return payload;
}

std::vector<uint8_t> SettingsPayload(bool loggedIn, const std::string& name, const std::string& description)
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    w.U16(0x0203);
    w.U16(0x010A);
    w.U32(0x01020304);
    w.Bool(loggedIn);
    w.Text(name, 256);
    w.Text(description, 256);
    w.Text("Hall 3", 256);
    w.Text("ops", 256);
    w.Text("42.1", 256);
    return payload;
}

uint16_t SentCommand(const TSentDatagram& d) { return ReadU16(d.Bytes.data()); }

} // namespace

class TCoreTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init()
    {
        OpenSessions();
        m_Models = RegisterKnownModels();
    }
    void cleanup() { Close(); }

    void discoveryTargets_data()
    {
        QTest::addColumn<uint32_t>("address");
        QTest::addColumn<uint32_t>("mask");
        QTest::addColumn<uint32_t>("sentTo");
        QTest::newRow("directed broadcast") << 0xC0A80107u << 0xFFFFFF00u << 0xC0A801FFu;
        QTest::newRow("single host") << 0xC0A80107u << 0xFFFFFFFFu << 0xC0A80107u;
        QTest::newRow("class B") << 0xAC100A01u << 0xFFFF0000u << 0xAC10FFFFu;
    }
    void discoveryTargets()
    {
        QFETCH(uint32_t, address);
        QFETCH(uint32_t, mask);
        TSessionIntpFind::Instance().Discover({{address, mask}, {0x0A000001, 0xFF000000}}, nullptr);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        QTEST(m_Fake->Sent[0].Address, "sentTo");
        QCOMPARE(m_Fake->Sent[1].Address, 0x0AFFFFFFu);
        std::vector<uint8_t> request = MakeDatagram(0, 0, TMacAddr(), {0, 0, 0, 0});
        QVERIFY(m_Fake->Sent[0].Bytes == request);
        QVERIFY(PendingSessions().empty()); // discovery is never pending
        // Its only timer closes the discovery's reply window.
        QCOMPARE(m_Fake->Timers.size(), std::size_t(1));
        QCOMPARE(m_Fake->Timers.begin()->second.Interval, TSessionIntpFind::ReplyWindow);
    }

    void discoveryReplies()
    {
        TReceiver first, latest;
        auto& find = TSessionIntpFind::Instance();
        find.Discover({{0x0A000000, 0xFFFFFF00}}, &first);
        find.Discover({{0x0A000000, 0xFFFFFF00}}, &latest);
        Deliver(0x0A000005, MakeDatagram(0, 0, Mac(1), KeyPayload("KX40-GS")));
        TDevice* d = Registry::Find(Mac(1), false);
        QCOMPARE(d->Type(), m_Models[4]);
        QCOMPARE(d->Address(), 0x0A000005u);
        QVERIFY(first.Seen.empty());
        QCOMPARE(latest.Seen.back(), std::make_pair(uint16_t(0), uint16_t(0)));

        // A known switch that has not answered yet: a short reply and status 3 are passed
        // on, change nothing and clear nothing.
        TDevice* known = Registry::Find(Mac(5), true);
        known->SetLoggedIn(true);
        Deliver(0x0A000007, MakeDatagram(0, 0, Mac(5), {1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(latest.Seen.back().second, stShortReply);
        Deliver(0x0A000007, MakeDatagram(0, 3, Mac(5), KeyPayload("KX40-TX")));
        QCOMPARE(latest.Seen.back().second, uint16_t(3));
        QVERIFY(known->IsLoggedIn());
        QCOMPARE(known->Type(), 0);
        QCOMPARE(known->Address(), 0u);
        // From a switch nobody knows the same replies make no device.
        Deliver(0x0A000007, MakeDatagram(0, 3, Mac(6), KeyPayload("KX40-TX")));
        QCOMPARE(Registry::Find(Mac(6), false), nullptr);

        // An unknown model stays at index 0.
        Deliver(0x0A000008, MakeDatagram(0, 0, Mac(2), KeyPayload("KX99-XX")));
        QCOMPARE(Registry::Find(Mac(2), false)->Type(), 0);
    }

    void credentialDigest_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("userField");
        QTest::newRow("defaults") << QByteArray("admin") << QByteArray("admin") << QByteArray("admin");
        QTest::newRow("16 characters, no terminator")
            << QByteArray("abcdefghijklmnop") << QByteArray("pw") << QByteArray("abcdefghijklmnop");
        QTest::newRow("17th character cut")
            << QByteArray("abcdefghijklmnopq") << QByteArray("") << QByteArray("abcdefghijklmnop");
    }
    void credentialDigest()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, userField);
        QByteArray fields = userField.leftJustified(16, '\0') + password.left(16).leftJustified(16, '\0');
        QCOMPARE(fields.size(), 32);
        QByteArray expected = QCryptographicHash::hash(fields, QCryptographicHash::Md5);
        TDigest digest = CredentialDigest(user.toStdString(), password.toStdString());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(digest.data()), 16), expected);
    }

    void loginAndLogout_data()
    {
        QTest::addColumn<bool>("logout");
        QTest::addColumn<uint16_t>("status");
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("login accepted") << false << uint16_t(0) << true;
        QTest::newRow("login refused") << false << uint16_t(1) << false;
        QTest::newRow("logout accepted") << true << uint16_t(0) << false;
        QTest::newRow("logout refused") << true << uint16_t(1) << false;
    }
    void loginAndLogout()
    {
        QFETCH(bool, logout);
        QFETCH(uint16_t, status);
        QFETCH(bool, loggedIn);
        TDevice* d = AtOwnAddress(1);
        d->SetLoggedIn(logout);
        auto* session = logout ? TSessionIntpLogin::Logout() : new TSessionIntpLogin("admin", "admin");
        QVERIFY(Start(session, d, nullptr));
        const auto& sent = m_Fake->Sent.back().Bytes;
        QCOMPARE(sent.size(), HeaderSize + 16);
        TDigest expected = logout ? TDigest{} : CredentialDigest("admin", "admin");
        QVERIFY(std::equal(expected.begin(), expected.end(), sent.begin() + HeaderSize));
        Deliver(1, MakeDatagram(2, status, Mac(1), {0, 0, 0, 0}));
        QCOMPARE(d->IsLoggedIn(), loggedIn);
        QCOMPARE(m_Fake->Results.back().Status, status);
    }

    void statusPoll()
    {
        TDevice* d = AtOwnAddress(1);
        auto* ping = new TSessionIntpPing2(1500);
        QVERIFY(Start(ping, d, nullptr));
        QCOMPARE(m_Fake->Timers.at(ping).Interval, 1500u);
        Deliver(1, MakeDatagram(6, 0, Mac(1), {0, 0, 0, 2, 0, 0, 0, 0x12, 0, 0, 0, 0xED}));
        auto& record = GetProperty<TPropertyIntpPing2>(*d);
        QVERIFY(record.Valid);
        QCOMPARE(record.PowerAlarms, 2u);
        QCOMPARE(record.PortAlarms, 0x12u);
        QCOMPARE(record.LinkMask, 0xEDu);
        QVERIFY(StartNew<TSessionIntpPing2>(d, nullptr, 1500u));
        Deliver(1, MakeDatagram(6, 9, Mac(1), std::vector<uint8_t>(12)));
        QVERIFY(!record.Valid);
        QCOMPARE(record.PortAlarms, 0x12u);
        QVERIFY(StartNew<TSessionIntpPing2>(d, nullptr, 1500u));
        m_Fake->Advance(1500);
        QCOMPARE(m_Fake->Results.back().Status, stTimeout);
    }

    void warningState()
    {
        TDevice* d = AtOwnAddress(1);
        QVERIFY(StartNew<TSessionIntpSipGet>(d, nullptr));
        Deliver(1, MakeDatagram(7, 0, Mac(1), {1, 1, 0x12, 0x34}));
        auto& record = GetProperty<TPropertyIntpSip>(*d);
        QVERIFY(record.Valid && record.Enabled);
        QCOMPARE(record.Value, uint16_t(0x1234));
        QVERIFY(d->HasFlags(TDevice::flWarning));
        QVERIFY(StartNew<TSessionIntpSipGet>(d, nullptr));
        Deliver(1, MakeDatagram(7, 4, Mac(1), {0, 0, 0, 0}));
        QVERIFY(!record.Valid);
        QVERIFY(d->HasFlags(TDevice::flWarning)); // an error leaves the bit alone
        QVERIFY(StartNew<TSessionIntpSipGet>(d, nullptr));
        Deliver(1, MakeDatagram(7, 0, Mac(1), {1, 0, 0, 0}));
        QVERIFY(!d->HasFlags(TDevice::flWarning));
    }

    void systemInformation()
    {
        TDevice* d = AtOwnAddress(1);
        d->SetLoggedIn(true);
        std::string longText(256, 'd'); // fills the field: no terminator
        QVERIFY(StartNew<TSessionBasicsSettingsGet>(d, nullptr));
        Deliver(1, MakeDatagram(260, 0, Mac(1), SettingsPayload(false, "north-7", longText)));
        auto& record = GetProperty<TPropertyBasicsSettings>(*d);
        QVERIFY(record.Valid);
        QCOMPARE(record.KernelVersion, uint16_t(0x0203));
        QCOMPARE(record.FirmwareVersion, uint16_t(0x010A));
        QCOMPARE(record.HardwareVersion, 0x01020304u);
        QCOMPARE(record.Description, longText);
        QCOMPARE(record.Location, std::string("Hall 3"));
        QCOMPARE(record.Contact, std::string("ops"));
        QCOMPARE(record.OidSuffix, std::string("42.1"));
        QCOMPARE(d->Name(), std::string("north-7"));
        QVERIFY(!d->IsLoggedIn()); // the switch says no: the bit goes
        auto shortPayload = SettingsPayload(true, "x", "y");
        shortPayload.pop_back();
        QVERIFY(StartNew<TSessionBasicsSettingsGet>(d, nullptr));
        Deliver(1, MakeDatagram(260, 0, Mac(1), shortPayload));
        QCOMPARE(m_Fake->Results.back().Status, stShortReply);
        QVERIFY(record.Valid);
        QCOMPARE(d->Name(), std::string("north-7"));
    }

    void networkSettings()
    {
        TDevice* d = AtOwnAddress(1);
        QVERIFY(StartNew<TSessionBasicsIPConfGet>(d, nullptr));
        Deliver(1,
                MakeDatagram(262, 0, Mac(1), {1, 9, 9, 9, 9, 255, 255, 255, 0, 10, 0, 0, 1, 10, 0, 0, 2, 10, 0, 0, 3}));
        auto& record = GetProperty<TPropertyBasicsIPConf>(*d);
        QVERIFY(record.Valid && record.Dhcp);
        QCOMPARE(record.Netmask, 0xFFFFFF00u);
        QCOMPARE(record.Gateway, 0x0A000001u);
        QCOMPARE(record.Dns1, 0x0A000002u);
        QCOMPARE(record.Dns2, 0x0A000003u);
    }

    void rebootSaveDefault_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<uint16_t>("status");
        QTest::addColumn<bool>("addressCleared");
        QTest::addColumn<bool>("rebootStarted");
        QTest::newRow("reboot ok") << 259 << uint16_t(0) << true << false;
        QTest::newRow("reboot refused") << 259 << uint16_t(6) << false << false;
        QTest::newRow("save") << 264 << uint16_t(0) << false << false;
        QTest::newRow("default then reboot") << 271 << uint16_t(0) << false << true;
        QTest::newRow("default refused: no reboot") << 271 << uint16_t(7) << false << false;
    }
    void rebootSaveDefault()
    {
        QFETCH(int, command);
        QFETCH(uint16_t, status);
        QFETCH(bool, addressCleared);
        QFETCH(bool, rebootStarted);
        TDevice* d = DeviceAt(1, 0x0A000001);
        if (command == 259)
            QVERIFY(StartNew<TSessionBasicsReboot>(d, nullptr));
        else if (command == 264)
            QVERIFY(StartNew<TSessionBasicsSave>(d, nullptr));
        else
            QVERIFY(StartNew<TSessionBasicsDefault>(
                d, nullptr, TSessionBasicsDefault::KeepUser | TSessionBasicsDefault::KeepIp, true));
        if (command == 271)
            QVERIFY(m_Fake->Sent[0].Bytes == MakeDatagram(271, 0, Mac(1), {0, 0, 0, 3}));
        Deliver(0x0A000001, MakeDatagram(uint16_t(command), status, Mac(1), {0, 0, 0, 0}));
        QCOMPARE(d->Address() == 0, addressCleared);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(rebootStarted ? 2 : 1));
        if (rebootStarted)
            QCOMPARE(SentCommand(m_Fake->Sent[1]), uint16_t(259));
        QCOMPARE(m_Fake->Results.back().Status, status);
        QCOMPARE(int(m_Fake->Results.back().Code), command);
    }

    void discoveryChain_data()
    {
        QTest::addColumn<bool>("withFilter");
        QTest::addColumn<bool>("rejectAddress");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<int>>("commands"); // requests sent after the discovery
        QTest::newRow("accepted") << true << false << "KX40-TX" << QList<int>{260, 262, 7};
        QTest::newRow("address filtered out") << true << true << "KX40-TX" << QList<int>{};
        QTest::newRow("unknown model") << true << false << "KX99-XX" << QList<int>{};
        QTest::newRow("no filter yet") << false << false << "KX40-GM" << QList<int>{260, 262, 7};
    }
    void discoveryChain()
    {
        QFETCH(bool, withFilter);
        QFETCH(bool, rejectAddress);
        QFETCH(QString, model);
        QFETCH(QList<int>, commands);
        TFilter filter;
        filter.Rejected = rejectAddress ? 0x0A000005 : 0;
        TMonitor monitor;
        TFindHook hook([&]() -> Filter::TFilterServer* { return withFilter ? &filter : nullptr; },
                       [&]() -> Status::TStatusServer* { return &monitor; });
        TSessionIntpFind::Instance().Discover({{0x0A000000, 0xFFFFFF00}}, &hook);
        m_Fake->Sent.clear();
        Deliver(0x0A000005, MakeDatagram(0, 0, Mac(1), KeyPayload(model.toLatin1().constData())));
        Deliver(0x0A000005, MakeDatagram(260, 0, Mac(1), SettingsPayload(true, "sw", "")));
        Deliver(0x0A000005, MakeDatagram(262, 0, Mac(1), std::vector<uint8_t>(21)));
        Deliver(0x0A000005, MakeDatagram(7, 0, Mac(1), {0, 1, 0, 0}));
        QList<int> sent;
        for (const auto& d : m_Fake->Sent)
            sent << SentCommand(d);
        QCOMPARE(sent, commands);
        QCOMPARE(monitor.Added.size(), std::size_t(commands.isEmpty() ? 0 : 1));
        TDevice* d = Registry::Find(Mac(1), false);
        QCOMPARE(d->HasFlags(TDevice::flWarning), !commands.isEmpty());
        QVERIFY(PendingSessions().empty());
    }

    void chainEndsOnTimeout()
    {
        TMonitor monitor;
        TFindHook hook(nullptr, [&]() -> Status::TStatusServer* { return &monitor; });
        TSessionIntpFind::Instance().Discover({{0x0A000000, 0xFFFFFF00}}, &hook);
        m_Fake->Sent.clear();
        Deliver(0x0A000005, MakeDatagram(0, 0, Mac(1), KeyPayload("KX40-TX")));
        m_Fake->Advance(60000);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(m_Fake->Results.back().Status, stTimeout);
        QVERIFY(PendingSessions().empty());
    }

private:
    std::vector<int> m_Models;
};

QTEST_GUILESS_MAIN(TCoreTest)
#include "tst_core.moc"
