// Syslog reception: messages of 100 bytes of text sent at a given rate over loopback.
//   bench_syslog console RATE...        the console's socket, worker and store in this process,
//                                       a sender thread; prints sent, stored and lost per rate
//   bench_syslog send PORT RATE SECONDS sends to 127.0.0.1:PORT and prints the number sent
//   bench_syslog memory COUNT           adds COUNT messages; bytes per stored message (beyond
//                                       the store's bound the oldest go)
// Run through bench/syslog, which also measures rsyslog's imudp in a private namespace.
#include "core/SyslogStore.h"
#include "net/SyslogSocketThread.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr double Seconds = 2;

// A header the parser accepts, then 100 bytes of message text.
std::string Message(uint64_t n)
{
    std::string number = std::to_string(n);
    return "<189>Jan  5 10:20:30 bench-switch " + number + std::string(100 - number.size(), 'x');
}

// Sends for the given time, spreading the messages evenly; the number sent.
uint64_t Send(uint16_t port, double rate, double seconds)
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto start = std::chrono::steady_clock::now();
    const auto total = uint64_t(rate * seconds);
    uint64_t sent = 0;
    while (sent < total) {
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const uint64_t due = std::min(total, uint64_t(elapsed * rate));
        for (; sent < due; ++sent) {
            std::string text = Message(sent);
            sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        }
        if (sent == due)
            std::this_thread::yield();
    }
    close(fd);
    return sent;
}

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

int Console(int argc, char* argv[])
{
    Syslog::TSyslogStore store;
    Syslog::TSyslogSocketThread worker([&](uint32_t address, std::string_view text) {
        store.Add(address, text, QDateTime::currentMSecsSinceEpoch());
    });
    Syslog::TSyslogSocket socket(&worker, 0);
    if (!socket.IsOpen()) {
        std::fprintf(stderr, "bench_syslog: %s\n", qPrintable(socket.BindError()));
        return 1;
    }
    std::printf("%10s %10s %10s %10s %14s %12s\n", "rate/s", "sent", "stored", "lost", "kernel drops", "queue drops");
    for (int i = 0; i < argc; ++i) {
        const double rate = std::atof(argv[i]);
        store.Clear();
        const uint64_t kernelBefore = socket.KernelDrops();
        const uint64_t queueBefore = worker.Dropped();
        std::atomic<uint64_t> sent{0};
        std::atomic<bool> done{false};
        std::thread sender([&] {
            sent = Send(socket.LocalPort(), rate, Seconds);
            done = true;
        });
        // Runs until the sender is done and nothing more arrived for half a second.
        std::size_t last = 0;
        QElapsedTimer quiet;
        quiet.start();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (store.Size() != last || !done) {
                last = store.Size();
                quiet.restart();
            } else if (quiet.elapsed() > 500 && worker.QueueSize() == 0) {
                loop.quit();
            }
        });
        poll.start(10);
        loop.exec();
        sender.join();
        std::printf("%10.0f %10llu %10zu %10llu %14llu %12llu\n", rate, static_cast<unsigned long long>(sent.load()),
                    store.Size(), static_cast<unsigned long long>(sent.load() - store.Size()),
                    static_cast<unsigned long long>(socket.KernelDrops() - kernelBefore),
                    static_cast<unsigned long long>(worker.Dropped() - queueBefore));
        std::fflush(stdout);
    }
    return 0;
}

int Memory(uint64_t count)
{
    Syslog::TSyslogStore store;
    const long before = ResidentBytes();
    for (uint64_t n = 0; n < count; ++n)
        store.Add(0x7F000001u + uint32_t(n % 100), Message(n), int64_t(n));
    const long after = ResidentBytes();
    const double kept = double(store.Size());
    std::printf("added %llu messages of 100 bytes of text, kept %zu (the oldest %llu discarded): %.1f bytes "
                "each (resident growth), %.1f bytes each (store's own count)\n",
                static_cast<unsigned long long>(count), store.Size(),
                static_cast<unsigned long long>(store.Discarded()), double(after - before) / kept,
                double(store.MemoryUsed()) / kept);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "console" && argc > 2)
        return Console(argc - 2, argv + 2);
    if (mode == "send" && argc == 5) {
        std::printf("%llu\n",
                    static_cast<unsigned long long>(
                        Send(uint16_t(std::atoi(argv[2])), std::atof(argv[3]), std::atof(argv[4]))));
        return 0;
    }
    if (mode == "memory" && argc == 3)
        return Memory(std::strtoull(argv[2], nullptr, 10));
    std::fprintf(stderr, "usage: bench_syslog console RATE... | send PORT RATE SECONDS | memory COUNT\n");
    return 2;
}
