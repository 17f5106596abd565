// The security commands: the checks of every Get (lengths, counts, modes, ports), the lists
// that arrive in datagrams of 128 entries, every decoded field, the request bytes of every
// Set, Add and Del, the counts the list Sets accept and the Get each of them starts.
#include "CommandTests.h"

#include "core/Security.h"

using namespace Intp;

namespace {

constexpr int Ports = 8;         // of the test device's model
constexpr int LogicalPorts = 12; // ports and trunk groups
constexpr int Slots = 10;        // access-list count

QByteArray U32(uint32_t v) { return QByteArray::fromHex(QByteArray::number(v, 16).rightJustified(8, '0')); }

// A text in a zero-filled field of 32 bytes.
QByteArray Field(const QByteArray& text) { return (text + QByteArray(32, '\0')).left(32); }

// 802.1X: enabled, server 192.168.1.10, ports 1645 and 1646, key "secret", NAS "edge-7",
// quiet 10, TX 20, supplicant 40, server 50, max requests 3, re-auth 7200.
const QByteArray Radius = Hex("01"
                              "c0a8010a"
                              "066d"
                              "066e") +
    Field("secret") + Field("edge-7") +
    Hex("000a"
        "0014"
        "0028"
        "0032"
        "03"
        "00001c20");

// Access list: enabled, web and SNMP, slots 10.0.0.1 .. 10.0.0.count.
QByteArray AccessList(int count)
{
    QByteArray bytes = Hex("01"
                           "00000005");
    for (int i = 0; i < count; ++i)
        bytes += U32(uint32_t(0x0A000001 + i));
    return bytes;
}

// A list datagram: 4 bytes of nothing, then count MAC addresses 02:00:00:00:hi:lo from first.
QByteArray Macs(int count, int first = 0)
{
    QByteArray bytes = Hex("deadbeef");
    for (int i = first; i < first + count; ++i)
        bytes += Hex("02000000") + char(i >> 8) + char(i);
    return bytes;
}

// A bindings datagram: count entries of port i % ports on 02:00:00:00:hi:lo.
QByteArray Bindings(int count, int first = 0, int ports = LogicalPorts)
{
    QByteArray bytes = Hex("00000000");
    for (int i = first; i < first + count; ++i)
        bytes += char(i % ports) + Hex("02000000") + char(i >> 8) + char(i);
    return bytes;
}

TMacAddr MacOf(int i) { return TMacAddr(std::array<uint8_t, 6>{2, 0, 0, 0, uint8_t(i >> 8), uint8_t(i)}); }

} // namespace

class TSecurityTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    // Every Get of one datagram after a good answer: the reply is taken, or leaves the
    // record invalid with the status the check gives.
    void getReplies_data()
    {
        SecondReplyColumns();
        QTest::addColumn<bool>("valid");
        SecondReplyRow("access list of 45 bytes", 0x0800, AccessList(Slots), 0) << true;
        SecondReplyRow("access list of 48 bytes", 0x0800, AccessList(Slots) + Hex("0a0000"), 0) << true;
        SecondReplyRow("access list of 44 bytes", 0x0800, AccessList(Slots).left(44), 0x1100) << false;
        SecondReplyRow("access list of 9 slots", 0x0800, AccessList(Slots - 1), 0x1100) << false;
        SecondReplyRow("access list of 11 slots", 0x0800, AccessList(Slots + 1), 0x1100) << false;
        SecondReplyRow("access list of 5 bytes", 0x0800, AccessList(0), 0x1100) << false;
        SecondReplyRow("access list of 4 bytes", 0x0800, AccessList(0).left(4), 2) << true;

        SecondReplyRow("802.1X of 86 bytes", 0x0808, Radius, 0) << true;
        SecondReplyRow("802.1X and a byte more", 0x0808, Radius + 'x', 0) << true;
        SecondReplyRow("802.1X of 85 bytes", 0x0808, Radius.left(85), 2) << true;

        SecondReplyRow("modes of P ports", 0x080A, Hex("0001020300010203"), 0) << true;
        SecondReplyRow("modes of P - 1 ports", 0x080A, Hex("00010203000102"), 0x1101) << false;
        SecondReplyRow("modes of P + 1 ports", 0x080A, Hex("000102030001020300"), 0x1101) << false;
        SecondReplyRow("modes of one port", 0x080A, Hex("00"), 0x1101) << false;
        SecondReplyRow("no modes", 0x080A, QByteArray(), 2) << true;
        SecondReplyRow("mode 4 on the last port", 0x080A, Hex("0001020300010204"), 0x1100) << false;
        SecondReplyRow("mode 255 on the first port", 0x080A, Hex("ff01020300010203"), 0x1100) << false;

        for (int command : {0x0800, 0x0808, 0x080A}) {
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
        QCOMPARE(State(command).first, valid);
        QCOMPARE(m_Device->IsLoggedIn(), status != 3);
    }

    // The two address lists: datagrams of 128 entries or more keep the session open, the
    // first shorter one completes it; a bad datagram empties the list.
    void segmentedLists_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<QByteArray>>("datagrams");
        QTest::addColumn<QList<int>>("statuses"); // of each datagram's reply
        QTest::addColumn<int>("status");          // reported, -1: none yet
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("entries");
        using B = QList<QByteArray>;
        using S = QList<int>;
        for (int command : {0x0805, 0x0802}) {
            const QByteArray name = command == 0x0805 ? "blacklist" : "bindings";
            auto row = [&](const char* what) -> QTestData& {
                return QTest::addRow("%s: %s", name.constData(), what) << command;
            };
            auto one = [&](int count, int first = 0) {
                return command == 0x0805 ? Macs(count, first) : Bindings(count, first);
            };
            row("empty") << B{one(0)} << S{0} << 0 << true << 0;
            row("127 entries") << B{one(127)} << S{0} << 0 << true << 127;
            row("128 entries, more to come") << B{one(128)} << S{0} << -1 << false << 128;
            row("128 entries, then none") << B{one(128), one(0, 128)} << S{0, 0} << 0 << true << 128;
            row("129 entries in one datagram, more to come") << B{one(129)} << S{0} << -1 << false << 129;
            row("128, 128, then 44") << B{one(128), one(128, 128), one(44, 256)} << S{0, 0, 0} << 0 << true << 300;
            row("128 entries, then an error") << B{one(128), one(5, 128)} << S{0, 5} << 5 << false << 0;
            row("an error at once") << B{one(3)} << S{7} << 7 << false << 0;
            row("entries and 5 bytes more") << B{one(2) + Hex("0102030405")} << S{0} << 0 << true << 2;
        }
        QTest::newRow("bindings: a trunk group's port") << 0x0802 << B{Bindings(1, 11)} << S{0} << 0 << true << 1;
        QTest::newRow("bindings: port 12 of 12") << 0x0802 << B{Bindings(1, 12, 13)} << S{0} << 0x1100 << false << 0;
        QTest::newRow("bindings: port 12 after 128 good")
            << 0x0802 << B{Bindings(128), Bindings(1, 12, 13)} << S{0, 0} << 0x1100 << false << 0;
    }
    void segmentedLists()
    {
        QFETCH(int, command);
        QFETCH(QList<QByteArray>, datagrams);
        QFETCH(QList<int>, statuses);
        QFETCH(int, status);
        QFETCH(bool, valid);
        QFETCH(int, entries);
        // A previous answer is never mixed into the next one.
        Answer(command, command == 0x0805 ? Macs(3, 900) : Bindings(3, 900));
        QCOMPARE(State(command), std::make_pair(true, 3));

        QVERIFY(StartGet(command));
        QCOMPARE(State(command), std::make_pair(false, 0));
        for (qsizetype i = 0; i < datagrams.size(); ++i) {
            // Each datagram that keeps the session open gives it its full time again.
            m_Fake->Advance(30000);
            Reply(command, datagrams[i], uint16_t(statuses[i]));
        }
        QCOMPARE(m_Fake->Results.size(), std::size_t(status < 0 ? 1 : 2));
        if (status >= 0)
            QCOMPARE(int(m_Fake->Results.back().Status), status);
        QCOMPARE(PendingSessions().size(), std::size_t(status < 0 ? 1 : 0));
        QCOMPARE(State(command), std::make_pair(valid, entries));
        if (status < 0) {
            m_Fake->Advance(59999);
            QCOMPARE(PendingSessions().size(), std::size_t(1));
        }
    }

    void decodesEveryField()
    {
        Answer(0x0808, Radius);
        const auto& radius = GetProperty<TPropertySecurity8021x>(*m_Device);
        QVERIFY(radius.Enabled);
        QCOMPARE(radius.ServerAddress, 0xC0A8010Au);
        QCOMPARE((std::array{radius.ServerPort, radius.AccountingPort, radius.QuietPeriod, radius.TxPeriod,
                             radius.SupplicantTimeout, radius.ServerTimeout}),
                 (std::array<uint16_t, 6>{1645, 1646, 10, 20, 40, 50}));
        QCOMPARE(radius.SharedKey, std::string("secret"));
        QCOMPARE(radius.NasId, std::string("edge-7"));
        QCOMPARE(radius.MaxRequests, uint8_t(3));
        QCOMPARE(radius.ReAuthPeriod, 7200u);
        // Texts that fill their field have no terminator; any non-zero flag is on.
        Answer(0x0808, Hex("07") + Radius.mid(1, 8) + QByteArray(32, 'k') + QByteArray(32, 'n') + Radius.mid(73));
        QVERIFY(radius.Enabled);
        QCOMPARE(radius.SharedKey, std::string(32, 'k'));
        QCOMPARE(radius.NasId, std::string(32, 'n'));

        Answer(0x0800,
               Hex("02"
                   "fffffff8") +
                   AccessList(Slots).mid(5, 36) + Hex("00000000"));
        const auto& ip = GetProperty<TPropertySecurityIp>(*m_Device);
        QVERIFY(ip.Enabled);
        QCOMPARE(ip.Management, 0xFFFFFFF8u);
        QCOMPARE(ip.Addresses.size(), std::size_t(Slots));
        QCOMPARE(ip.Addresses[0], 0x0A000001u);
        QCOMPARE(ip.Addresses[8], 0x0A000009u);
        QCOMPARE(ip.Addresses[9], 0u);

        Answer(0x080A, Hex("0302010000010203"));
        QCOMPARE(GetProperty<TPropertySecurity8021xPort>(*m_Device).Modes,
                 (std::vector<uint8_t>{3, 2, 1, 0, 0, 1, 2, 3}));

        Answer(0x0805,
               Hex("00000000"
                   "0123456789ab"
                   "ffffffffffff"));
        QCOMPARE(GetProperty<TPropertySecurityMac>(*m_Device).Addresses,
                 (std::vector<TMacAddr>{TMacAddr(std::array<uint8_t, 6>{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}),
                                        TMacAddr::Broadcast()}));
        Answer(0x0802,
               Hex("ffffffff"
                   "0b"
                   "0123456789ab"
                   "00"
                   "000000000001"));
        QCOMPARE(GetProperty<TPropertySecurityPort>(*m_Device).Entries,
                 (std::vector<TPropertySecurityPortEntry>{
                     {11, TMacAddr(std::array<uint8_t, 6>{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB})},
                     {0, TMacAddr(std::array<uint8_t, 6>{0, 0, 0, 0, 0, 1})}}));
    }

    // The whole datagram of every Set, Add and Del.
    void setRequests_data()
    {
        SetRequestColumns();
        auto header = [](const char* code, const char* length) {
            return Hex(code) + Hex("0000") + Hex(length) + Hex("000a1b2c3d01");
        };
        QTest::newRow("access list") << 0 << header("0801", "002d") + AccessList(2) + QByteArray(32, '\0');
        QTest::newRow("access list off") << 1 << header("0801", "002d") + QByteArray(45, '\0');
        QTest::newRow("binding add") << 2
                                     << header("0803", "0007") +
                Hex("0b"
                    "0123456789ab");
        QTest::newRow("binding del") << 3 << header("0804", "0006") + Hex("0123456789ab");
        QTest::newRow("blacklist add") << 4 << header("0806", "0006") + Hex("0123456789ab");
        QTest::newRow("blacklist del") << 5 << header("0807", "0006") + Hex("0123456789ab");
        QTest::newRow("802.1X") << 6 << header("0809", "0056") + Radius;
        QTest::newRow("802.1X with texts of 33 characters") << 7
                                                            << header("0809", "0056") +
                Hex("00"
                    "00000000"
                    "0714"
                    "0715") +
                QByteArray(32, 'k') + QByteArray(32, 'n') +
                Hex("003c"
                    "001e"
                    "001e"
                    "001e"
                    "02"
                    "00000e10");
        QTest::newRow("port modes") << 8 << header("080b", "0008") + Hex("0302010000010203");
    }
    void setRequests() { CheckSetRequest(); }

    // The list Sets go out only with the device type's count of slots or ports.
    void setCounts_data()
    {
        QTest::addColumn<bool>("modes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("sent");
        for (auto [modes, count] : {std::pair{false, Slots}, std::pair{true, Ports}}) {
            const char* name = modes ? "port modes" : "access list";
            QTest::addRow("%s: none", name) << modes << 0 << false;
            QTest::addRow("%s: one too few", name) << modes << count - 1 << false;
            QTest::addRow("%s: exactly", name) << modes << count << true;
            QTest::addRow("%s: one too many", name) << modes << count + 1 << false;
        }
    }
    void setCounts()
    {
        QFETCH(bool, modes);
        QFETCH(int, entries);
        QFETCH(bool, sent);
        TPropertySecurityIp ip;
        ip.Addresses.resize(std::size_t(entries));
        CheckSentWhen(modes ? StartNew<TSessionSecurity8021xPortSet>(m_Device, nullptr,
                                                                     std::vector<uint8_t>(std::size_t(entries)))
                            : StartNew<TSessionSecurityIpSet>(m_Device, nullptr, ip),
                      sent);
    }

    // A device of a model the console does not know has no ports and no access list.
    void listSetsNeedTheModel()
    {
        TDevice* unknown = DeviceAt(2, Address + 1);
        TPropertySecurityIp ip;
        ip.Addresses.resize(Slots);
        QVERIFY(!StartNew<TSessionSecurityIpSet>(unknown, nullptr, ip));
        QVERIFY(!StartNew<TSessionSecurity8021xPortSet>(unknown, nullptr, std::vector<uint8_t>(Ports)));
        QVERIFY(m_Fake->Sent.empty());
    }

    // Whatever the reply says, the matching Get goes out first (no receiver), then the
    // Set, Add or Del reports.
    void setStartsItsGet_data()
    {
        SetStartsItsGetColumns();
        const std::tuple<int, int, int, const char*> sets[] = {
            {0, 0x0801, 0x0800, "access list"},   {2, 0x0803, 0x0802, "binding add"},
            {3, 0x0804, 0x0802, "binding del"},   {4, 0x0806, 0x0805, "blacklist add"},
            {5, 0x0807, 0x0805, "blacklist del"}, {6, 0x0809, 0x0808, "802.1X"},
            {8, 0x080B, 0x080A, "port modes"},
        };
        for (int status : {0, 5})
            for (auto [sample, command, get, name] : sets)
                QTest::addRow("%s, status %d", name, status) << sample << command << get << status;
    }
    void setStartsItsGet() { CheckSetStartsItsGet(); }

    void names()
    {
        const TMacAddr mac;
        const std::vector<std::pair<TSession*, const char*>> sessions = {
            {new TSessionSecurityIpGet, "IPsecGet"},
            {new TSessionSecurityIpSet(TPropertySecurityIp{}), "IPsecSet"},
            {new TSessionSecurityPortGet, "SecurityPortGet"},
            {new TSessionSecurityPortAdd(TPropertySecurityPortEntry{}), "SecurityPortAdd"},
            {new TSessionSecurityPortDel(mac), "SecurityPortDel"},
            {new TSessionSecurityMacGet, "SecMacGet"},
            {new TSessionSecurityMacAdd(mac), "SecMacAdd"},
            {new TSessionSecurityMacDel(mac), "SecMacDel"},
            {new TSessionSecurity8021xGet, "RadiusGet"},
            {new TSessionSecurity8021xSet(TPropertySecurity8021x{}), "RadiusSet"},
            {new TSessionSecurity8021xPortGet, "8021xPortGet"},
            {new TSessionSecurity8021xPortSet(TPropertySecurity8021xPort{}), "8021xPortSet"},
        };
        CheckNames(sessions);
    }

private:
    bool StartGet(int command) override
    {
        return StartGetOf<TSessionSecurityIpGet, TSessionSecurityPortGet, TSessionSecurityMacGet,
                          TSessionSecurity8021xGet, TSessionSecurity8021xPortGet>(command);
    }

    TAnswer GoodAnswer(int command) override
    {
        switch (command) {
        case 0x0800: return {AccessList(Slots), Slots};
        case 0x0808: return {Radius};
        case 0x080A: return {Hex("0303030303030303"), Ports};
        }
        return {};
    }

    // Valid flag and entry count of a Get's record; the blacklist's addresses are checked one
    // by one against the samples (entry count -1: one is not a sample).
    std::pair<bool, int> State(int command) override
    {
        if (command != 0x0805)
            return StateOf<TPropertySecurityIp, TPropertySecurity8021x, TPropertySecurity8021xPort,
                           TPropertySecurityPort>(command);
        const auto& record = GetProperty<TPropertySecurityMac>(*m_Device);
        for (std::size_t i = 0; i < record.Addresses.size(); ++i)
            if (record.Addresses[i] != MacOf(int(i)) && record.Addresses[i] != MacOf(int(i) + 900))
                return {record.Valid, -1};
        return {record.Valid, int(record.Addresses.size())};
    }

    // 0 access list on with two slots, 1 access list off, 2 and 3 binding add and del,
    // 4 and 5 blacklist add and del, 6 and 7 802.1X, 8 port modes.
    bool SampleSet(int sample, TWizard* receiver) override
    {
        const TMacAddr mac(std::array<uint8_t, 6>{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB});
        switch (sample) {
        case 0:
        case 1: {
            TPropertySecurityIp ip;
            ip.Enabled = sample == 0;
            ip.Management = sample == 0 ? TPropertySecurityIp::mgWeb | TPropertySecurityIp::mgSnmp : 0;
            ip.Addresses.assign(Slots, 0);
            if (sample == 0)
                ip.Addresses[0] = 0x0A000001, ip.Addresses[1] = 0x0A000002;
            return StartNew<TSessionSecurityIpSet>(m_Device, receiver, ip);
        }
        case 2: return StartNew<TSessionSecurityPortAdd>(m_Device, receiver, TPropertySecurityPortEntry{11, mac});
        case 3: return StartNew<TSessionSecurityPortDel>(m_Device, receiver, mac);
        case 4: return StartNew<TSessionSecurityMacAdd>(m_Device, receiver, mac);
        case 5: return StartNew<TSessionSecurityMacDel>(m_Device, receiver, mac);
        case 6: {
            TPropertySecurity8021x radius{false, true, 0xC0A8010A, 1645, 1646, "secret", "edge-7",
                                          10,    20,   40,         50,   3,    7200};
            return StartNew<TSessionSecurity8021xSet>(m_Device, receiver, radius);
        }
        case 7: {
            TPropertySecurity8021x radius;
            radius.ServerPort = 1812;
            radius.AccountingPort = 1813;
            radius.SharedKey = std::string(33, 'k');
            radius.NasId = std::string(33, 'n');
            return StartNew<TSessionSecurity8021xSet>(m_Device, receiver, radius);
        }
        case 8:
            return StartNew<TSessionSecurity8021xPortSet>(m_Device, receiver,
                                                          std::vector<uint8_t>{3, 2, 1, 0, 0, 1, 2, 3});
        }
        return false;
    }
};

QTEST_GUILESS_MAIN(TSecurityTest)
#include "tst_security.moc"
