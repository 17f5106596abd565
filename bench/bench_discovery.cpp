// Discovery of a large simulated fleet: time until every switch is recognised, time until
// the discovery chain (260, 262, 7) completed for all of them, and replies lost.
// Run through bench/discovery, which starts the simulator in a private network namespace.
#include "core/AddressRules.h"
#include "core/Basics.h"
#include "core/DeviceType.h"
#include "core/Dispatch.h"
#include "core/IntpCore.h"
#include "net/EngineHost.h"
#include "net/FindHook.h"
#include "net/IntpSocketThread.h"
#include "net/SessionManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using namespace Intp;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_discovery COUNT FIRST-ADDRESS [RECEIVE-BUFFER-BYTES]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const uint32_t first = TextToAddress(argv[2]);
    RegisterKnownModels();
    TEngineHost host;
    TIntpSocket& socket = *host.IntpSocket();
    if (argc > 3)
        socket.SetReceiveBufferSize(std::atoi(argv[3]));
    // Every answer is taken: no discovery filter.
    TFindHook hook(nullptr, nullptr);

    std::vector<TIpMask> targets;
    for (int i = 0; i < count; ++i)
        targets.push_back({first + uint32_t(i), 0xFFFFFFFF});

    QElapsedTimer clock;
    qint64 recognisedAt = -1, chainAt = -1;
    auto tally = [&](int& recognised, int& chained) {
        recognised = chained = 0;
        Registry::ForEach([&](TDevice& d) {
            recognised += d.Type() != 0;
            chained += GetProperty<TPropertyIntpSip>(d).Valid;
        });
    };
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        int recognised, chained;
        tally(recognised, chained);
        if (recognisedAt < 0 && recognised == count)
            recognisedAt = clock.elapsed();
        if (chained == count) {
            chainAt = clock.elapsed();
            app.quit();
        }
    });
    QTimer::singleShot(20000, &app, &QCoreApplication::quit);
    clock.start();
    host.Discover(targets, &hook);
    poll.start();
    app.exec();

    int recognised, chained;
    tally(recognised, chained);
    std::printf("switches %d, receive buffer %d bytes requested\n", count, socket.ReceiveBufferSize());
    std::printf("recognised %d (%d replies lost) after %lld ms\n", recognised, count - recognised,
                (long long)(recognisedAt < 0 ? clock.elapsed() : recognisedAt));
    std::printf("discovery chain complete for %d after %lld ms\n", chained,
                (long long)(chainAt < 0 ? clock.elapsed() : chainAt));
    host.Shutdown();
    return 0;
}
