// The whole window (offscreen) against a simulated fleet: from the Discovery action to the
// last reply of the discovery chain and to the last device row in the tree, the longest
// stall of the event loop meanwhile, peak memory, replies dropped by the kernel or the
// receive queue, and then the CPU the status monitor takes polling the fleet.
// Run through bench/window, which starts the simulator in a private network namespace.
#include "core/AddressRules.h"
#include "core/Device.h"
#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "net/EngineHost.h"
#include "net/IntpSocketThread.h"
#include "net/StatusMonitor.h"
#include "shell/DeviceNavigator.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

using namespace Intp;

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_window COUNT FIRST-ADDRESS [POLL-SECONDS]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const uint32_t first = TextToAddress(argv[2]);
    const int pollSeconds = argc > 3 ? std::atoi(argv[3]) : 30;

    RegisterKnownModels();
    TMainForm form;
    form.resize(1280, 800);
    form.show();
    // The fleet's addresses as unicast targets: the simulator answers each at its own address.
    Filter::TFilterSettingsServer filter;
    for (int i = 0; i < count; ++i)
        filter.Settings.Unicast.push_back({first + uint32_t(i), 0xFFFFFFFF});
    filter.Settings.RangeBegin = filter.Settings.RangeEnd = 0;
    form.Host().SetFilterServer(&filter);
    app.processEvents();

    QElapsedTimer clock;
    qint64 chainAt = -1, treeAt = -1, longestStall = 0, lastTick = 0;
    // The event loop's pulse: a 5 ms timer; a longer gap is time nobody could use the window.
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    pulse.setInterval(5);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        qint64 now = clock.elapsed();
        longestStall = std::max(longestStall, now - lastTick - 5);
        lastTick = now;
    });
    int chained = 0;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        chained = 0;
        Registry::ForEach([&](TDevice& d) { chained += GetProperty<TPropertyIntpSip>(d).Valid; });
        if (chainAt < 0 && chained == count)
            chainAt = clock.elapsed();
        if (treeAt < 0 && int(form.Navigator().Groups().Count()) == count)
            treeAt = clock.elapsed();
        if (chainAt >= 0 && treeAt >= 0)
            app.quit();
    });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    clock.start();
    form.findChild<QAction*>("acDiscovery")->trigger();
    pulse.start();
    watch.start();
    app.exec();
    watch.stop();

    std::printf("switches %d through the window (send window %zu)\n", count, SendWindow());
    std::printf("discovery chain complete for %d after %lld ms\n", chained,
                (long long)(chainAt < 0 ? clock.elapsed() : chainAt));
    std::printf("tree rows %zu, the last after %lld ms\n", form.Navigator().Groups().Count(),
                (long long)(treeAt < 0 ? clock.elapsed() : treeAt));
    std::printf("longest event-loop stall %lld ms\n", (long long)longestStall);
    std::printf("dropped: %llu by the kernel, %llu by the receive queue\n",
                (unsigned long long)form.Host().IntpSocket()->KernelDrops(),
                (unsigned long long)form.Host().IntpThread()->Dropped());
    std::printf("peak memory %ld MiB\n", PeakKiB() / 1024);

    if (pollSeconds > 0) {
        longestStall = 0;
        lastTick = clock.elapsed();
        double cpu = CpuSeconds();
        QElapsedTimer polling;
        polling.start();
        QTimer::singleShot(pollSeconds * 1000, &app, &QCoreApplication::quit);
        app.exec();
        double used = CpuSeconds() - cpu;
        int troubled = 0;
        Registry::ForEach([&](TDevice& d) { troubled += form.Navigator().GetStatusServer()->GetStatusFlags(&d) != 0; });
        std::printf("status monitor polling %d switches every 10 s: %.1f %% of one core over %d s, "
                    "%d rows with a flag, longest stall %lld ms\n",
                    count, 100.0 * used / (double(polling.elapsed()) / 1000.0), pollSeconds, troubled,
                    (long long)longestStall);
        std::printf("peak memory %ld MiB\n", PeakKiB() / 1024);
    }
    return 0;
}
