// zode-switchsim: a fleet of simulated switches for the lab, the demo and the tests.
#include "Fleet.h"
#include "Options.h"
#include "ScanResponder.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <bit>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_SignalPipe[1], &c, 1);
}

// SIGINT and SIGTERM end the event loop; the process then exits with status 0.
bool QuitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_SignalPipe) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_SignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return sigaction(SIGINT, &sa, nullptr) == 0 && sigaction(SIGTERM, &sa, nullptr) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zode-switchsim");
    QCoreApplication::setApplicationVersion(QStringLiteral(ZODE_VERSION " (build %1)").arg(ZODE_BUILD_NUMBER));

    Sim::TOptions options;
    QString error;
    if (!Sim::ParseOptions(app.arguments(), options, error)) {
        std::fprintf(stderr, "zode-switchsim: %s\n", qPrintable(error));
        return 2;
    }
    if (!QuitOnSignals(app)) {
        std::perror("zode-switchsim: signals");
        return 1;
    }
    Sim::TFleet fleet(options);
    if (!fleet.Listen(error)) {
        std::fprintf(stderr, "zode-switchsim: %s\n", qPrintable(error));
        return 1;
    }
    Sim::TScanResponder scan(options, fleet.Switches());
    if (options.scan && !scan.Open(error)) {
        std::fprintf(stderr, "zode-switchsim: %s\n", qPrintable(error));
        return 1;
    }
    for (const Sim::TSwitch& sw : fleet.Switches())
        std::printf("#%d %s %s %s/%d %s\n", sw.Index(), qPrintable(Sim::MacText(sw.Mac())), sw.Model().constData(),
                    qPrintable(QHostAddress(sw.Address()).toString()), std::popcount(sw.running.netmask),
                    sw.running.name.constData());
    std::printf("listening on %s:%u with %d switches, seed %u\n", qPrintable(options.bind.toString()), options.port,
                int(fleet.Switches().size()), options.seed);
    std::fflush(stdout);
    return app.exec();
}
