// The protocol engine against simulated switches over real UDP and real broadcast, inside
// the lab network: two subnets of switches, a third one behind a router.
#include "LabSupport.h"

#include "core/Basics.h"
#include "core/DeviceType.h"
#include "core/Dispatch.h"
#include "core/FilterSettings.h"
#include "core/IntpCore.h"
#include "core/NetQueries.h"
#include "net/EngineHost.h"
#include "net/FindHook.h"
#include "net/IntpSocketThread.h"

#include <QElapsedTimer>
#include <QUdpSocket>

#include <set>

using namespace Intp;

namespace {

struct TRecorder : TWizard {
    QList<QPair<uint16_t, uint16_t>> Results;
    void OnResult(TDevice*, uint16_t command, uint16_t status, const Intp::TResultData&) override
    {
        Results.append({command, status});
    }
};

// Devices recognised with an address, and those whose discovery chain completed.
int Recognised()
{
    int n = 0;
    Registry::ForEach([&](TDevice& d) { n += d.Type() != 0 && d.Address() != 0; });
    return n;
}

int ChainDone()
{
    int n = 0;
    Registry::ForEach([&](TDevice& d) {
        n += !d.Name().empty() && GetProperty<TPropertyBasicsIPConf>(d).Valid && GetProperty<TPropertyIntpSip>(d).Valid;
    });
    return n;
}

} // namespace

class TLabTest : public QObject {
    Q_OBJECT

    // The engine as zode-cli and the window run it, without a window; the discovery chain
    // without the status monitor.
    std::unique_ptr<TEngineHost> m_Host;
    Filter::TFilterSettingsServer m_Filter;
    std::unique_ptr<TFindHook> m_Hook;

    TDevice* ByAddress(const char* address) { return Registry::FindByAddress(Addr(address)); }
    void Discover(const std::vector<TIpMask>& targets) { m_Host->Discover(targets, m_Hook.get()); }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        RegisterKnownModels();
        m_Host = std::make_unique<TEngineHost>();
        GetLocalSubnets(m_Filter.Settings.LocalSubnets);
        m_Hook = std::make_unique<TFindHook>([this] { return &m_Filter; }, [] { return nullptr; });
    }
    void cleanupTestCase()
    {
        m_Host.reset();
        Registry::Clear();
    }
    void init()
    {
        // Late replies of the previous test must not refill the registry.
        QTest::qWait(200);
        Registry::Clear();
    }

    void fleetOnTwoSubnets()
    {
        QCOMPARE(m_Filter.Settings.LocalSubnets.size(), std::size_t(2)); // the workstation's two legs
        QElapsedTimer clock;
        clock.start();
        std::vector<TIpMask> targets;
        m_Filter.GetTargets(targets);
        Discover(targets);
        QTRY_COMPARE_WITH_TIMEOUT(Recognised(), 12, 5000);
        qint64 recognised = clock.elapsed();
        QTRY_COMPARE_WITH_TIMEOUT(ChainDone(), 12, 5000);
        qInfo("12 switches on two subnets: recognised after %lld ms, chain 260/262/7 done after %lld ms", recognised,
              clock.elapsed());
        std::set<int> models;
        Registry::ForEach([&](TDevice& d) { models.insert(d.Type()); });
        QCOMPARE(models.size(), std::size_t(6)); // every model recognised
        TDevice* d = ByAddress("198.51.100.12");
        QVERIFY(d);
        QCOMPARE(d->Name(), std::string("Switch-3"));
        QVERIFY(!d->IsLoggedIn());
        QCOMPARE(GetProperty<TPropertyBasicsIPConf>(*d).Netmask, Addr("255.255.255.0"));
        QVERIFY(ByAddress("192.0.2.11")->HasFlags(TDevice::flWarning)); // --warning 1 on subnet A
        QVERIFY(!ByAddress("192.0.2.12")->HasFlags(TDevice::flWarning));
    }

    void unicastBehindRouter()
    {
        TLabSim sim("ZODE_LAB_SIM_C", {"--count", "2", "--address", "203.0.113.20", "--mac-base", "02:5A:0D:0C:00:01"});
        QVERIFY(sim.WaitReady());
        Discover({{Addr("203.0.113.20"), 0xFFFFFFFF}, {Addr("203.0.113.21"), 0xFFFFFFFF}});
        QTRY_COMPARE_WITH_TIMEOUT(Recognised(), 2, 5000);
        QVERIFY(ByAddress("203.0.113.21"));
    }

    void loginRightAndWrong()
    {
        Discover({{Addr("192.0.2.0"), Addr("255.255.255.0")}});
        QTRY_COMPARE_WITH_TIMEOUT(ChainDone(), 6, 5000);
        TDevice* d = ByAddress("192.0.2.10");
        TRecorder recorder;
        QVERIFY(StartNew<TSessionIntpLogin>(d, &recorder, "admin", "wrong"));
        QTRY_COMPARE(recorder.Results.size(), 1);
        QVERIFY(recorder.Results[0].second != 0);
        QVERIFY(!d->IsLoggedIn());
        QVERIFY(StartNew<TSessionIntpLogin>(d, &recorder, "admin", "admin"));
        QTRY_COMPARE(recorder.Results.size(), 2);
        QCOMPARE(recorder.Results[1].second, uint16_t(0));
        QVERIFY(d->IsLoggedIn());
        // The switch confirms it in its system information.
        d->SetLoggedIn(false);
        QVERIFY(StartNew<TSessionBasicsSettingsGet>(d, &recorder));
        QTRY_COMPARE(recorder.Results.size(), 3);
        QVERIFY(d->IsLoggedIn());
        QVERIFY(Start(TSessionIntpLogin::Logout(), d, &recorder));
        QTRY_COMPARE(recorder.Results.size(), 4);
        QVERIFY(!d->IsLoggedIn());
        // Not logged in any more: status 3.
        QVERIFY(StartNew<TSessionBasicsSave>(d, &recorder));
        QTRY_COMPARE(recorder.Results.size(), 5);
        QCOMPARE(recorder.Results[4].second, stNotLoggedIn);
    }

    void rebootAndComeBack()
    {
        Discover({{Addr("192.0.2.0"), Addr("255.255.255.0")}});
        QTRY_COMPARE_WITH_TIMEOUT(Recognised(), 6, 5000);
        TDevice* d = ByAddress("192.0.2.13");
        TMacAddr mac = d->Mac();
        TRecorder recorder;
        QVERIFY(StartNew<TSessionIntpLogin>(d, &recorder, "admin", "admin"));
        QTRY_VERIFY(d->IsLoggedIn());
        QVERIFY(StartNew<TSessionBasicsReboot>(d, &recorder));
        QTRY_COMPARE(recorder.Results.size(), 2);
        QCOMPARE(recorder.Results[1].second, uint16_t(0));
        QCOMPARE(d->Address(), 0u); // out of the tree until found again
        QTest::qWait(1500);         // the lab's switches on A come back after a second
        Registry::Clear();
        Discover({{Addr("192.0.2.0"), Addr("255.255.255.0")}});
        QTRY_COMPARE_WITH_TIMEOUT(Recognised(), 6, 5000);
        QCOMPARE(Registry::Find(mac, false)->Address(), Addr("192.0.2.13"));
    }

    void lossyNetworkConvergesByDiscoveringAgain()
    {
        // Subnet C, reached by unicast: a fleet that drops 5% of its replies and jitters.
        TLabSim sim("ZODE_LAB_SIM_C",
                    {"--count", "60", "--address", "203.0.113.30", "--mac-base", "02:5A:0D:0C:01:01", "--drop", "0.05",
                     "--jitter", "30", "--seed", "11"});
        QVERIFY(sim.WaitReady());
        std::vector<TIpMask> targets;
        for (uint32_t i = 0; i < 60; ++i)
            targets.push_back({Addr("203.0.113.30") + i, 0xFFFFFFFF});
        // Each discovery finds what got through so far; the operator simply discovers again.
        // The router resolves sixty neighbours at once and retries some a second later, so
        // each round waits for those stragglers too.
        QList<int> found;
        for (int round = 0; round < 5 && (found.isEmpty() || found.last() < 60); ++round) {
            Discover(targets);
            QTest::qWait(1500);
            found << Recognised();
        }
        qInfo() << "lossy fleet of 60, recognised after each discovery:" << found;
        QCOMPARE(found.last(), 60);
    }

    void garbageDoesNotStopTheSwitches()
    {
        QUdpSocket noise;
        QByteArray bytes;
        uint32_t seed = 99;
        for (int i = 0; i < 2000; ++i) {
            bytes.resize(int(seed % 80));
            for (auto& b : bytes) {
                seed = seed * 1103515245u + 12345u;
                b = char(seed >> 16);
            }
            noise.writeDatagram(bytes, QHostAddress("192.0.2.255"), 1638);
            seed = seed * 1103515245u + 12345u;
        }
        Discover({{Addr("192.0.2.0"), Addr("255.255.255.0")}});
        QTRY_COMPARE_WITH_TIMEOUT(Recognised(), 6, 5000);
    }
};

QTEST_GUILESS_MAIN(TLabTest)
#include "tst_lab.moc"
