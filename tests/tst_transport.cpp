// The protocol socket, its worker and the Qt session manager over real UDP on loopback.
#include "FakeSessionCallback.h"

#include "core/Dispatch.h"
#include "net/IntpSocketThread.h"
#include "net/SessionManager.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QThread>
#include <QUdpSocket>
#include <QtTest>

using namespace Intp;

namespace {

constexpr uint32_t Loopback = 0x7F000001;

struct TReceived {
    uint32_t Address;
    QByteArray Data;
};

} // namespace

namespace Intp {
INTP_COMMAND_TRAITS(0x7E01, 4, 4);
}

namespace {
class TLoopGet : public TSessionGeneral<0x7E01> {
public:
    const char* Name() const override { return "LoopGet"; }
};
class TLoopSurvivor : public TSessionGeneral<0x7E01> {
public:
    int Ticks = 0;
    const char* Name() const override { return "Survivor"; }
    void OnTimeout() override { ++Ticks; }
};
} // namespace

class TTransportTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        DestroyPendingSessions();
        SetSessionCallback(nullptr);
        Registry::Clear();
    }

    // 10,000 datagrams over loopback reach the handler whole and in order, in fewer hand-overs
    // than datagrams. They are sent in runs of 1,000 so the kernel's buffer never overflows.
    void burstArrivesInOrder()
    {
        QList<TReceived> received;
        TIntpSocketThread worker([&](uint32_t a, const uint8_t* d, std::size_t n) {
            received.append({a, QByteArray(reinterpret_cast<const char*>(d), qsizetype(n))});
        });
        TIntpSocket socket(&worker);
        QVERIFY(socket.IsOpen());
        QUdpSocket peer;
        QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
        constexpr int Burst = 10000;
        for (int i = 0; i < Burst; ++i) {
            QByteArray datagram(16, char(i));
            datagram[0] = char(i >> 8);
            QCOMPARE(peer.writeDatagram(datagram, QHostAddress::LocalHost, socket.LocalPort()), qint64(16));
            if (i % 1000 == 999)
                QTRY_VERIFY_WITH_TIMEOUT(received.size() + int(worker.QueueSize()) > i - 100, 10000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), Burst, 20000);
        for (int i = 0; i < Burst; ++i) {
            QCOMPARE(received[i].Address, Loopback);
            QCOMPARE(received[i].Data.size(), 16);
            QCOMPARE((int(uchar(received[i].Data[0])) << 8) | int(uchar(received[i].Data[1])), i);
        }
        QCOMPARE(worker.Dropped(), uint64_t(0));
        QVERIFY2(worker.Batches() < uint64_t(Burst), qPrintable(QString::number(worker.Batches())));
    }

    // Datagrams queued while the handler's thread is busy go over in order and in at most two
    // batches: what the woken worker found at once, then everything that came while it waited
    // for this thread.
    void busyThreadGetsOneBatch()
    {
        QList<int> order;
        TIntpSocketThread worker([&](uint32_t a, const uint8_t*, std::size_t) { order.append(int(a)); });
        worker.IdleTick();
        QVERIFY(worker.IsSuspended());
        for (int i = 0; i < 300; ++i)
            worker.Enqueue(uint32_t(i), QByteArray(12, 0));
        QVERIFY(!worker.IsSuspended());
        QTRY_COMPARE(order.size(), 300);
        for (int i = 0; i < 300; ++i)
            QCOMPARE(order[i], i);
        QVERIFY(worker.Batches() <= 2);
    }

    void idleWorkerSuspendsAndResumes()
    {
        int handled = 0;
        TIntpSocketThread worker([&](uint32_t, const uint8_t*, std::size_t) { ++handled; });
        QVERIFY(worker.IsSuspended()); // created suspended
        worker.Enqueue(Loopback, QByteArray(12, 1));
        QVERIFY(!worker.IsSuspended());
        QTRY_COMPARE(handled, 1);
        QTRY_COMPARE(worker.QueueSize(), std::size_t(0));
        worker.IdleTick();
        QVERIFY(worker.IsSuspended());
        worker.IdleTick(); // stays suspended
        QVERIFY(worker.IsSuspended());
        worker.Enqueue(Loopback, QByteArray(12, 2));
        QTRY_COMPARE(handled, 2);
        QVERIFY(!worker.IsSuspended());
    }

    void floodIsBoundedAndCounted()
    {
        std::size_t handled = 0;
        std::size_t expected = 0;
        QEventLoop loop;
        TIntpSocketThread worker([&](uint32_t, const uint8_t*, std::size_t) {
            if (++handled == expected)
                loop.quit();
        });
        // No events run meanwhile: the worker holds at most one element for its hand-over.
        const std::size_t flood = TIntpSocketThread::MaxQueue + 100;
        std::size_t refused = 0;
        for (std::size_t i = 0; i < flood; ++i)
            refused += worker.Enqueue(Loopback, QByteArray(12, 1)) ? 0 : 1;
        QVERIFY(worker.QueueSize() <= TIntpSocketThread::MaxQueue);
        QVERIFY(refused == 99 || refused == 100);
        QCOMPARE(worker.Dropped(), uint64_t(refused));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("receive queue full: \\d+ datagrams dropped"));
        worker.IdleTick();
        expected = flood - refused;
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(handled, expected);
        worker.IdleTick(); // nothing new dropped: no second line
    }

    void queuedWhileBusyKeepsOrder()
    {
        QList<int> order;
        TIntpSocketThread worker([&](uint32_t a, const uint8_t*, std::size_t) { order.append(int(a)); });
        // The user-interface thread is busy: nothing is handed over until it returns.
        for (int i = 0; i < 50; ++i)
            worker.Enqueue(uint32_t(i), QByteArray(12, 0));
        QThread::msleep(50);
        QVERIFY(order.isEmpty());
        QTRY_COMPARE(order.size(), 50);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(order[i], i);
    }

    void dispatchJudgesByDatagramSize()
    {
        struct TProbe : TDiscoveryHook {
            QList<int> Lengths;
            void OnDiscoveryReply(const TMessage& m, uint32_t) override { Lengths.append(m.Length); }
        } probe;
        SetDiscoveryHook(&probe);
        TIntpSocketThread worker(&Dispatch);
        TIntpSocket socket(&worker);
        QUdpSocket peer;
        auto send = [&](std::vector<uint8_t> d) {
            peer.writeDatagram(reinterpret_cast<const char*>(d.data()), qint64(d.size()), QHostAddress::LocalHost,
                               socket.LocalPort());
        };
        auto eleven = MakeDatagram(0, 0, Mac(1), {});
        eleven.pop_back();
        send(eleven);
        send(MakeDatagram(0, 0, Mac(1), {}));
        send(MakeDatagram(0, 0, Mac(2), std::vector<uint8_t>(8), 1000));
        QTRY_COMPARE(probe.Lengths.size(), 2);
        QCOMPARE(probe.Lengths, QList<int>({0, 8}));
        SetDiscoveryHook(nullptr);
    }

    void sessionRoundTripOverUdp()
    {
        TIntpSocketThread worker(&Dispatch);
        TIntpSocket socket(&worker);
        TSessionManager manager(&socket);
        SetSessionCallback(&manager);
        QList<uint16_t> shown;
        manager.SetNotifyShown([&](TDevice*, uint16_t, uint16_t status) { shown.append(status); });

        QUdpSocket fakeSwitch;
        QVERIFY(fakeSwitch.bind(QHostAddress::LocalHost, 0));
        socket.SetRemotePort(fakeSwitch.localPort());
        TDevice* d = Registry::Find(Mac(4), true);
        d->SetAddress(Loopback);
        QVERIFY(StartNew<TLoopGet>(d, nullptr));
        QCOMPARE(manager.TimerCount(), 1);
        QTRY_VERIFY(fakeSwitch.hasPendingDatagrams());
        QNetworkDatagram request = fakeSwitch.receiveDatagram();
        QCOMPARE(request.data(),
                 QByteArray::fromHex("7e010000"
                                     "0004"
                                     "000a1b2c3d04"
                                     "00000000"));
        auto reply = MakeDatagram(0x7E01, 0, Mac(4), {0, 0, 0, 0});
        fakeSwitch.writeDatagram(reinterpret_cast<const char*>(reply.data()), qint64(reply.size()),
                                 request.senderAddress(), quint16(request.senderPort()));
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(shown[0], uint16_t(0));
        QVERIFY(PendingSessions().empty());
        QCOMPARE(manager.TimerCount(), 0);
        SetSessionCallback(nullptr);
    }

    void managerTimers()
    {
        TSessionManager manager(nullptr);
        SetSessionCallback(&manager);
        TDevice* d = Registry::Find(Mac(5), true);
        auto* s = new TLoopSurvivor;
        QVERIFY(Start(s, d, nullptr));
        QTimer* timer = manager.TimerOf(s);
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 60000); // 0 means 60000
        manager.StartTimer(s, 5);           // already has one: ignored
        QCOMPARE(manager.TimerOf(s), timer);
        manager.SetInterval(s, 0);
        QCOMPARE(timer->interval(), 60000);
        manager.SetInterval(s, 5);
        QTRY_VERIFY(s->Ticks >= 3); // periodic
        manager.EnableTimer(s, false);
        QVERIFY(!timer->isActive());
        delete s;
        QCOMPARE(manager.TimerCount(), 0);
        QVERIFY(PendingSessions().empty());
        SetSessionCallback(nullptr);
    }
};

QTEST_GUILESS_MAIN(TTransportTest)
#include "tst_transport.moc"
