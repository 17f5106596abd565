// The session engine, the device registry, the model table and the receive dispatch,
// driven through a fake session manager with a manual clock.
#include "CommandTests.h"

#include "core/Device.h"
#include "core/DeviceType.h"
#include "core/Dispatch.h"
#include "core/IntpCore.h"

#include <QCryptographicHash>
#include <QtTest>

using namespace Intp;

namespace Intp {
INTP_COMMAND_TRAITS(0x7F01, 4, 8);
INTP_COMMAND_TRAITS(0x7F02, 4, 4);
} // namespace Intp

namespace {

// A plain Get of command 0x7F01 needing 8 reply bytes.
class TTestGet : public TSessionGeneral<0x7F01> {
public:
    const char* Name() const override { return "TestGet"; }
};

// The same Get sent to the limited broadcast, as the network Set is.
class TTestBroadcastGet : public TTestGet {
protected:
    uint32_t Destination(TDevice&) const override { return LimitedBroadcast; }
};

// Refuses to build its request.
class TTestRefuse : public TSessionGeneral<0x7F02> {
public:
    const char* Name() const override { return "Refuse"; }

protected:
    bool BuildRequest(TDevice&, std::vector<uint8_t>&) override { return false; }
};

// Survives its time-outs and counts them.
class TTestSurvivor : public TSessionGeneral<0x7F02> {
public:
    int Ticks = 0;
    const char* Name() const override { return "Survivor"; }
    void OnTimeout() override { ++Ticks; }
};

// Starts another session of the same command from inside its reply handler.
class TTestChain : public TSessionGeneral<0x7F02> {
public:
    const char* Name() const override { return "Chain"; }

protected:
    TReplyResult HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>) override
    {
        StartNew<TTestChain>(&device, nullptr);
        Report(&device, Command, message.Status);
        return rrDone;
    }
};

struct TRec {
    static constexpr uint16_t GetCommand = 518;
    bool Valid = false;
    int Value = 0;
};

class TRecordingDevices : public TDeviceCallback {
public:
    QStringList Events;
    void DeviceCreated(TDevice* d) override { Events << "created " + Text(d); }
    void DeviceDestroyed(TDevice* d) override
    {
        // The device has already left the registry.
        Events << QString("destroyed %1 %2").arg(Text(d)).arg(Registry::Find(d->Mac(), false) ? "found" : "gone");
    }
    void FlagsChanged(TDevice* d, uint32_t bits) override { Events << QString("flags %1 %2").arg(Text(d)).arg(bits); }
    void AddressChanged(TDevice* d) override { Events << QString("address %1 %2").arg(Text(d)).arg(d->Address()); }
    void TypeChanged(TDevice* d) override { Events << QString("type %1 %2").arg(Text(d)).arg(d->Type()); }
    void NameChanged(TDevice* d) override { Events << "name " + Text(d) + " " + QString::fromStdString(d->Name()); }

private:
    static QString Text(TDevice* d) { return QString::fromStdString(d->Mac().Text()); }
};

class TDiscoveryProbe : public TDiscoveryHook {
public:
    std::vector<std::pair<uint32_t, uint16_t>> Seen; // address, payload length
    void OnDiscoveryReply(const TMessage& message, uint32_t address) override
    {
        Seen.emplace_back(address, message.Length);
    }
};

} // namespace

class TEngineTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenSessions(); }
    void cleanup()
    {
        SetDeviceCallback(nullptr);
        SetDiscoveryHook(nullptr);
        Close();
    }

    void macText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("null");
        QTest::addColumn<bool>("broadcast");
        QTest::newRow("mixed") << QByteArray::fromHex("00005e0001ff") << "00:00:5E:00:01:FF" << false << false;
        QTest::newRow("null") << QByteArray(6, 0) << "00:00:00:00:00:00" << true << false;
        QTest::newRow("broadcast") << QByteArray(6, char(0xFF)) << "FF:FF:FF:FF:FF:FF" << false << true;
        QTest::newRow("lower hex input") << QByteArray::fromHex("0a1b2c3d4e5f") << "0A:1B:2C:3D:4E:5F" << false
                                         << false;
    }
    void macText()
    {
        QFETCH(QByteArray, bytes);
        TMacAddr mac(reinterpret_cast<const uint8_t*>(bytes.constData()));
        QFETCH(QString, text);
        QFETCH(bool, null);
        QFETCH(bool, broadcast);
        QCOMPARE(QString::fromStdString(mac.Text()), text);
        QCOMPARE(mac.IsNull(), null);
        QCOMPARE(mac.IsBroadcast(), broadcast);
    }

    void macOrderingIsUnsignedBytewise()
    {
        QVERIFY(Mac(0x01, 0x00) < Mac(0x00, 0x01));
        QVERIFY(Mac(0x7F) < Mac(0x80)); // unsigned: 0x80 is not negative
        QVERIFY(Mac(0x05) == Mac(0x05));
    }

    void registryFindAndReports()
    {
        TRecordingDevices events;
        SetDeviceCallback(&events);
        QCOMPARE(Registry::Find(TMacAddr(), true), nullptr);
        QCOMPARE(Registry::Find(TMacAddr::Broadcast(), true), nullptr);
        QCOMPARE(Registry::Find(Mac(1), false), nullptr);

        TDevice* a = Registry::Find(Mac(1), true);
        QVERIFY(a);
        QCOMPARE(Registry::Find(Mac(1), true), a);
        QCOMPARE(a->Type(), 0);
        QCOMPARE(a->Address(), 0u);

        a->SetAddress(0x0A000001);
        a->SetAddress(0x0A000001); // equal: no report
        a->SetType(3);
        a->SetName("north");
        a->SetLoggedIn(true);
        a->SetLoggedIn(true); // already set: no report
        a->SetFlags(TDevice::flLoggedIn | TDevice::flWarning);
        a->ClearFlags(TDevice::flWarning | 4);
        a->SetLoggedIn(false);
        QCOMPARE(events.Events,
                 QStringList({"created 00:0A:1B:2C:3D:01", "address 00:0A:1B:2C:3D:01 167772161",
                              "type 00:0A:1B:2C:3D:01 3", "name 00:0A:1B:2C:3D:01 north", "flags 00:0A:1B:2C:3D:01 1",
                              "flags 00:0A:1B:2C:3D:01 8", "flags 00:0A:1B:2C:3D:01 8", "flags 00:0A:1B:2C:3D:01 1"}));
        QVERIFY(!a->IsLoggedIn());
    }

    void registryFindByAddressAndClear()
    {
        TRecordingDevices events;
        Registry::Clear(); // empty: nothing happens
        SetDeviceCallback(&events);
        Registry::Clear();
        QVERIFY(events.Events.isEmpty());

        DeviceAt(9, 0x0A000005);
        TDevice* low = DeviceAt(2, 0x0A000005);
        QCOMPARE(Registry::FindByAddress(0x0A000005), low); // first in MAC order
        QCOMPARE(Registry::FindByAddress(0x0A000006), nullptr);

        events.Events.clear();
        Registry::Clear();
        QCOMPARE(Registry::Count(), std::size_t(0));
        QCOMPARE(events.Events, QStringList({"destroyed 00:0A:1B:2C:3D:02 gone", "destroyed 00:0A:1B:2C:3D:09 gone"}));
    }

    void recordCacheCreatesOnce()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        TRec& first = GetProperty<TRec>(*d);
        QVERIFY(!first.Valid);
        first.Value = 7;
        QCOMPARE(&GetProperty<TRec>(*d), &first);
        QCOMPARE(d->Properties().begin()->first, 0x2060000);

        Property<TRec> copy;
        copy.Assign(*d->Properties().begin()->second);
        QCOMPARE(copy.Value.Value, 7);
    }

    void modelKeys_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(KnownModels[i].Model) << i;
    }
    void modelKeys()
    {
        QFETCH(int, index);
        const auto& indices = RegisterKnownModels();
        QCOMPARE(int(indices.size()), 6);
        const char* model = KnownModels[index].Model;
        QByteArray digest = QCryptographicHash::hash(model, QCryptographicHash::Md5);
        // The key is the first four digest bytes read little-endian...
        uint32_t expected = qFromLittleEndian<quint32>(digest.constData());
        QCOMPARE(ModelKey(model), expected);
        QCOMPARE(TypeOfKey(expected), indices[index]);
        QCOMPARE(QString::fromStdString(Description(indices[index])), QString(KnownModels[index].Description));
        QCOMPARE(PortCount(indices[index]), 8);
        QCOMPARE(TrunkCount(indices[index]), 4);
        // ...so a discovery reply carries those bytes reversed, as a big-endian field.
        uint8_t wire[4];
        qToBigEndian<quint32>(expected, wire);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(wire[i], uint8_t(digest[3 - i]));
    }

    void modelTableRules()
    {
        const auto& indices = RegisterKnownModels();
        QCOMPARE(RegisterKnownModels(), indices); // registered once
        QCOMPARE(TypeOfKey(ModelKey("KX99-ZZ")), 0);
        QCOMPARE(TypeOfKey(0), 0);
        QCOMPARE(QString::fromStdString(Description(0)), QString("Unknown Intp Compatible Device"));
        QVERIFY(!AddModelKey(0, "KX99-ZZ"));
        QVERIFY(!AddModelKey(-1, "KX99-ZZ"));
        QVERIFY(!AddModelKey(TypeCount(), "KX99-ZZ"));
        QVERIFY(!AddModelKey(indices[1], "KX40-TX")); // taken by another model
        QCOMPARE(TypeOfKey(ModelKey("KX40-TX")), indices[0]);
    }

    void sendWritesHeaderAndArmsTimer()
    {
        TDevice* d = DeviceAt(1, 0xC0A80107);
        auto* s = new TTestGet;
        QVERIFY(Start(s, d, nullptr));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(m_Fake->Sent[0].Address, 0xC0A80107u);
        std::vector<uint8_t> expected = MakeDatagram(0x7F01, 0, Mac(1), {0, 0, 0, 0});
        QVERIFY(m_Fake->Sent[0].Bytes == expected);
        QCOMPARE(m_Fake->Timers.at(s).Interval, 60000u);
        QCOMPARE(PendingSessions().size(), std::size_t(1));
    }

    void failedStartChangesNothing()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        auto* s = new TTestRefuse;
        QVERIFY(!Start(s, d, nullptr));
        QVERIFY(PendingSessions().empty());
        QVERIFY(m_Fake->Timers.empty());
        QVERIFY(m_Fake->Sent.empty());
        delete s;
        QVERIFY(!StartNew<TTestRefuse>(d, nullptr));
        QVERIFY(m_Fake->Results.empty());
    }

    void equalGetsCompleteOldestFirst()
    {
        TDevice* d = AtOwnAddress(1);
        auto* first = new TTestGet;
        auto* second = new TTestGet;
        QVERIFY(Start(first, d, nullptr));
        QVERIFY(Start(second, d, nullptr));
        Deliver(1, MakeDatagram(0x7F01, 0, Mac(1), std::vector<uint8_t>(8)));
        QCOMPARE(PendingSessions().size(), std::size_t(1));
        QCOMPARE(PendingSessions().front(), static_cast<TSession*>(second));
        QVERIFY(!m_Fake->Timers.count(first));
        Deliver(1, MakeDatagram(0x7F01, 7, Mac(1), std::vector<uint8_t>(8)));
        QVERIFY(PendingSessions().empty());
        QCOMPARE(m_Fake->Results.size(), std::size_t(2));
        QCOMPARE(m_Fake->Results[0].Status, uint16_t(0));
        QCOMPARE(m_Fake->Results[1].Status, uint16_t(7));
    }

    void replyMatching_data()
    {
        QTest::addColumn<uint16_t>("command");
        QTest::addColumn<int>("macLast");
        QTest::addColumn<uint16_t>("status");
        QTest::addColumn<int>("payload");
        QTest::addColumn<int>("reported"); // -1: not claimed
        QTest::addColumn<bool>("loggedInAfter");
        QTest::newRow("exact minimum") << uint16_t(0x7F01) << 1 << uint16_t(0) << 8 << 0 << true;
        QTest::newRow("one short") << uint16_t(0x7F01) << 1 << uint16_t(0) << 7 << 2 << true;
        QTest::newRow("status 3") << uint16_t(0x7F01) << 1 << uint16_t(3) << 8 << 3 << false;
        QTest::newRow("status 3, short") << uint16_t(0x7F01) << 1 << uint16_t(3) << 4 << 2 << true;
        QTest::newRow("device error passed on") << uint16_t(0x7F01) << 1 << uint16_t(0x0105) << 8 << 0x0105 << true;
        QTest::newRow("other command") << uint16_t(0x7F02) << 1 << uint16_t(0) << 8 << -1 << true;
        QTest::newRow("other device") << uint16_t(0x7F01) << 2 << uint16_t(0) << 8 << -1 << true;
    }
    void replyMatching()
    {
        QFETCH(uint16_t, command);
        QFETCH(int, macLast);
        QFETCH(uint16_t, status);
        QFETCH(int, payload);
        QFETCH(int, reported);
        TDevice* d = AtOwnAddress(1);
        Registry::Find(Mac(2), true);
        d->SetLoggedIn(true);
        QVERIFY(StartNew<TTestGet>(d, nullptr));
        Deliver(1, MakeDatagram(command, status, Mac(uint8_t(macLast)), std::vector<uint8_t>(payload)));
        if (reported < 0) {
            QVERIFY(m_Fake->Results.empty());
            QCOMPARE(PendingSessions().size(), std::size_t(1));
        } else {
            QCOMPARE(m_Fake->Results.size(), std::size_t(1));
            QCOMPARE(int(m_Fake->Results[0].Status), reported);
            QCOMPARE(m_Fake->Results[0].Device, d);
            QCOMPARE(m_Fake->Results[0].Code, uint16_t(0x7F01));
            QVERIFY(PendingSessions().empty());
        }
        QFETCH(bool, loggedInAfter);
        QCOMPARE(d->IsLoggedIn(), loggedInAfter);
    }

    void timeoutReportsAndEnds()
    {
        struct TReceiver : TWizard {
            int Calls = 0;
            uint16_t Status = 0;
            TResultData Data;
            void OnResult(TDevice*, uint16_t, uint16_t status, const Intp::TResultData& data) override
            {
                ++Calls;
                Status = status;
                Data = data;
            }
        } receiver;
        TDevice* d = AtOwnAddress(1);
        auto* s = new TTestGet;
        QVERIFY(Start(s, d, &receiver));
        m_Fake->Advance(59999);
        QCOMPARE(receiver.Calls, 0);
        m_Fake->Advance(1);
        QCOMPARE(receiver.Calls, 1);
        QCOMPARE(receiver.Status, stTimeout);
        QCOMPARE(receiver.Data.TimedOut, static_cast<const TSession*>(s));
        QVERIFY(!receiver.Data.Progress);
        QVERIFY(PendingSessions().empty());
        QVERIFY(m_Fake->Timers.empty());
    }

    void timeoutAfterDeviceLeftReportsNothing()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        QVERIFY(StartNew<TTestGet>(d, nullptr));
        QVERIFY(StartNew<TTestGet>(d, nullptr));
        Registry::Clear();
        m_Fake->Advance(30000);
        // A new discovery makes the switch again: the old requests were not its own, so
        // they neither take its replies nor report a time-out for it.
        TDevice* again = AtOwnAddress(1);
        QVERIFY(StartNew<TTestGet>(again, nullptr));
        Deliver(1, MakeDatagram(0x7F01, 0, Mac(1), std::vector<uint8_t>(8)));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(PendingSessions().size(), std::size_t(2));
        m_Fake->Advance(30000);
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QVERIFY(PendingSessions().empty());
    }

    void survivingSessionTicksPeriodically()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        auto* s = new TTestSurvivor;
        QVERIFY(Start(s, d, nullptr));
        m_Fake->SetInterval(s, 100);
        m_Fake->Advance(60000); // first tick at the armed due time
        m_Fake->Advance(300);
        QCOMPARE(s->Ticks, 4);
        QCOMPARE(PendingSessions().size(), std::size_t(1));
    }

    void sessionStartedDuringReplyIsNotOfferedIt()
    {
        TDevice* d = AtOwnAddress(1);
        QVERIFY(StartNew<TTestChain>(d, nullptr));
        Deliver(1, MakeDatagram(0x7F02, 0, Mac(1), std::vector<uint8_t>(4)));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(PendingSessions().size(), std::size_t(1)); // the new one waits
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
    }

    void dispatchRules()
    {
        TDiscoveryProbe probe;
        SetDiscoveryHook(&probe);
        // Shorter than the header: dropped before any lookup.
        auto eleven = MakeDatagram(0, 0, Mac(1), {});
        eleven.pop_back();
        Deliver(0x0A000001, eleven);
        QCOMPARE(Registry::Count(), std::size_t(0));
        // A bare header of command 0 reaches discovery with no payload.
        Deliver(0x0A000001, MakeDatagram(0, 0, Mac(1), {}));
        QCOMPARE(probe.Seen.size(), std::size_t(1));
        QCOMPARE(probe.Seen[0], std::make_pair(0x0A000001u, uint16_t(0)));
        // The length field is not trusted: 9 payload bytes arrive whatever it says.
        Deliver(0x0A000001, MakeDatagram(0, 0, Mac(1), std::vector<uint8_t>(9), 300));
        QCOMPARE(probe.Seen[1].second, uint16_t(9));
        // All-zero and all-ones MACs are nobody, not even for discovery.
        Deliver(0x0A000002, MakeDatagram(0, 0, TMacAddr(), std::vector<uint8_t>(8)));
        Deliver(0x0A000002, MakeDatagram(5, 0, TMacAddr::Broadcast(), {1, 2, 3, 4}));
        QCOMPARE(probe.Seen.size(), std::size_t(2));
        QCOMPARE(Registry::Count(), std::size_t(0));
    }

    // Which datagrams may create a device or move one to another address: a request sent
    // to the device's address is answered from there only; a flood of replies from another
    // sender naming its MAC neither ends the session nor moves the device.
    void spoofedDatagrams_data()
    {
        QTest::addColumn<bool>("broadcast"); // the request went to the limited broadcast
        QTest::addColumn<uint16_t>("command");
        QTest::addColumn<int>("macLast");
        QTest::addColumn<uint32_t>("from");
        QTest::addColumn<bool>("claimed");
        const uint32_t own = 0x0A000001, other = 0x0A0000FE;
        QTest::newRow("reply to the pending Get") << false << uint16_t(0x7F01) << 1 << own << true;
        QTest::newRow("same reply from another sender") << false << uint16_t(0x7F01) << 1 << other << false;
        QTest::newRow("reply to a broadcast request, moved") << true << uint16_t(0x7F01) << 1 << other << true;
        QTest::newRow("unknown command, known MAC") << false << uint16_t(0x7F7F) << 1 << own << false;
        QTest::newRow("command no session waits for") << false << uint16_t(0x7F02) << 1 << own << false;
        QTest::newRow("unknown MAC") << false << uint16_t(0x7F01) << 3 << own << false;
        QTest::newRow("unknown MAC, broadcast request") << true << uint16_t(0x7F01) << 3 << other << false;
    }
    void spoofedDatagrams()
    {
        QFETCH(bool, broadcast);
        QFETCH(uint16_t, command);
        QFETCH(int, macLast);
        QFETCH(uint32_t, from);
        QFETCH(bool, claimed);
        TDevice* d = DeviceAt(1, 0x0A000001);
        QVERIFY(broadcast ? StartNew<TTestBroadcastGet>(d, nullptr) : StartNew<TTestGet>(d, nullptr));
        for (int i = 0; i < 1000; ++i)
            Deliver(from, MakeDatagram(command, 0, Mac(uint8_t(macLast)), std::vector<uint8_t>(8)));
        QCOMPARE(d->Address(), claimed ? from : 0x0A000001u);
        QCOMPARE(m_Fake->Results.size(), std::size_t(claimed ? 1 : 0));
        QCOMPARE(PendingSessions().size(), std::size_t(claimed ? 0 : 1));
        // Nothing that no session accepted leaves a device behind.
        QCOMPARE(Registry::Count(), std::size_t(1));
    }

    void discoveryAcceptsEachSwitchOncePerDiscovery()
    {
        TSessionIntpFind& find = TSessionIntpFind::Instance();
        SetDiscoveryHook(&find);
        std::vector<uint8_t> reply = {0, 0, 0, 0, 0, 0, 0, 0};
        // Before any discovery a reply makes nothing.
        Deliver(0x0A000001, MakeDatagram(0, 0, Mac(1), reply));
        QCOMPARE(Registry::Count(), std::size_t(0));

        find.Discover({TIpMask{0x0A000000, 0xFFFFFF00}}, nullptr);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(m_Fake->Sent[0].Address, 0x0A0000FFu);
        Deliver(0x0A000001, MakeDatagram(0, 0, Mac(1), reply));
        TDevice* d = Registry::Find(Mac(1), false);
        QVERIFY(d);
        QCOMPARE(d->Address(), 0x0A000001u);
        // The same switch through a second interface: neither moved nor reported again.
        Deliver(0x0B000001, MakeDatagram(0, 0, Mac(1), reply));
        QCOMPARE(d->Address(), 0x0A000001u);
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        // Failed or short replies make no device.
        Deliver(0x0A000002, MakeDatagram(0, 5, Mac(2), reply));
        Deliver(0x0A000003, MakeDatagram(0, 0, Mac(3), {1, 2, 3}));
        QCOMPARE(Registry::Count(), std::size_t(1));
        QCOMPARE(find.Answered(), std::size_t(1));

        // A new discovery hears the switch again; once its reply window has passed, nothing.
        find.Discover({TIpMask{0x0A000000, 0xFFFFFF00}}, nullptr);
        Deliver(0x0B000001, MakeDatagram(0, 0, Mac(1), reply));
        QCOMPARE(d->Address(), 0x0B000001u);
        m_Fake->Advance(TSessionIntpFind::ReplyWindow);
        QVERIFY(!find.IsOpen());
        Deliver(0x0A000004, MakeDatagram(0, 0, Mac(4), reply));
        QCOMPARE(Registry::Count(), std::size_t(1));
    }

    void discoveryStopsAtItsBound()
    {
        TSessionIntpFind& find = TSessionIntpFind::Instance();
        SetDiscoveryHook(&find);
        find.Discover({TIpMask{0x0A000000, 0xFFFF0000}}, nullptr);
        std::vector<uint8_t> reply(8);
        for (std::size_t i = 0; i <= TSessionIntpFind::MaxDevices; ++i) {
            TMacAddr mac(std::array<uint8_t, 6>{0x02, 0, 0, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)});
            Deliver(0x0A000000 + uint32_t(i), MakeDatagram(0, 0, mac, reply));
        }
        QCOMPARE(Registry::Count(), TSessionIntpFind::MaxDevices);
    }

    void sendWindowHoldsBackRequests()
    {
        SetSendWindow(2);
        TDevice* d = AtOwnAddress(1);
        TDevice* e = Registry::Find(Mac(2), true);
        d->SetAnswers(true); // both may use the whole window
        e->SetAnswers(true);
        auto* a = new TTestGet;
        auto* b = new TTestGet;
        auto* c = new TTestGet;
        QVERIFY(Start(a, d, nullptr));
        QVERIFY(Start(b, e, nullptr));
        QVERIFY(Start(c, d, nullptr));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        QVERIFY(c->IsWaiting());
        QVERIFY(!m_Fake->Timers.count(c)); // no reply time runs before it is sent
        QCOMPARE(WaitingCount(), std::size_t(1));
        // A waiting session claims nothing: the reply is a's.
        Deliver(1, MakeDatagram(0x7F01, 0, Mac(1), std::vector<uint8_t>(8)));
        QCOMPARE(m_Fake->Results.size(), std::size_t(1));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(3));
        QVERIFY(!c->IsWaiting());
        QVERIFY(m_Fake->Timers.count(c));
        // A time-out frees its place too.
        auto* f = new TTestGet;
        QVERIFY(Start(f, e, nullptr));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(3));
        m_Fake->Advance(60000);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(4));
        QCOMPARE(InFlightCount(), std::size_t(1));
        // Shutting down sends nothing more.
        QVERIFY(Start(new TTestGet, d, nullptr));
        QVERIFY(Start(new TTestGet, d, nullptr));
        DestroyPendingSessions();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(5));
        QCOMPARE(InFlightCount(), std::size_t(0));
        QCOMPARE(WaitingCount(), std::size_t(0));
        SetSendWindow(DefaultSendWindow);
    }

    // A flood of forged discovery replies makes thousands of devices that never answer, and
    // switches that go silent do the same to the window: their requests hold at most half of
    // it for their whole reply time, and a switch that answers is never held back by them.
    void silentDevicesNeverHoldBackTheOthers()
    {
        const std::size_t half = SilentWindow();
        QCOMPARE(half, DefaultSendWindow / 2);
        for (int i = 0; i < 3000; ++i) {
            TMacAddr mac(std::array<uint8_t, 6>{0x02, 0, 0, 1, uint8_t(i >> 8), uint8_t(i)});
            QVERIFY(StartNew<TTestGet>(Registry::Find(mac, true), nullptr));
        }
        QCOMPARE(m_Fake->Sent.size(), half);
        QCOMPARE(WaitingCount(), 3000 - half);
        // A switch that answered goes out at once, and again and again.
        TDevice* live = AtOwnAddress(1);
        live->SetAnswers(true);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(StartNew<TTestGet>(live, nullptr));
            QCOMPARE(m_Fake->Sent.size(), half + 1);
            QCOMPARE(m_Fake->Sent.back().Address, 1u);
            Deliver(1, MakeDatagram(0x7F01, 0, Mac(1), std::vector<uint8_t>(8)));
            m_Fake->Sent.pop_back();
        }
        // A new device's first answer lets its next requests use the whole window; a time-out
        // puts it back among the silent ones.
        TDevice* fresh = AtOwnAddress(2);
        QVERIFY(StartNew<TTestGet>(fresh, nullptr));
        QCOMPARE(m_Fake->Sent.size(), half); // queued behind the silent ones
        m_Fake->Advance(60000);              // every request on the wire times out
        QVERIFY(!fresh->Answers());
        QCOMPARE(InFlightCount(), half);
        QCOMPARE(m_Fake->Sent.size(), 2 * half);
        DestroyPendingSessions();
        QVERIFY(StartNew<TTestGet>(fresh, nullptr));
        Deliver(2, MakeDatagram(0x7F01, 0, Mac(2), std::vector<uint8_t>(8)));
        QVERIFY(fresh->Answers());
        QVERIFY(StartNew<TTestGet>(fresh, nullptr));
        m_Fake->Advance(60000);
        QVERIFY(!fresh->Answers());
    }

    void dispatchSurvivesArbitraryBytes()
    {
        TDiscoveryProbe probe;
        SetDiscoveryHook(&probe);
        TDevice* d = DeviceAt(1, 0x0A000001); // the bytes come from where the request went
        QVERIFY(StartNew<TTestGet>(d, nullptr));
        const TMacAddr target = Mac(1);
        uint32_t seed = 12345;
        std::vector<uint8_t> buffer;
        for (int round = 0; round < 2000; ++round) {
            seed = seed * 1103515245u + 12345u;
            buffer.resize(seed % 64);
            for (auto& b : buffer) {
                seed = seed * 1103515245u + 12345u;
                b = uint8_t(seed >> 16);
            }
            if (buffer.size() >= 12 && round % 3 == 0)
                std::copy(target.Data(), target.Data() + 6, buffer.begin() + 6);
            Dispatch(0x0A000001, buffer.data(), buffer.size());
        }
        Dispatch(0x0A000001, nullptr, 0);
        QVERIFY(true);
    }
};

QTEST_GUILESS_MAIN(TEngineTest)
#include "tst_engine.moc"
