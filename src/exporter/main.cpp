// zode-exporter: the fleet's health for Prometheus. Discovers the switches, polls them on
// the engine host and serves the metrics over HTTP until SIGINT or SIGTERM. Messages go
// to stderr (the journal under systemd); exit status 2 for a usage error, 1 when the web
// address cannot be bound.
#include "Exporter.h"
#include "MetricsServer.h"
#include "Options.h"

#include "Version.h"
#include "core/DeviceType.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = write(g_SignalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zode-exporter"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3 (build %4)")
                                                .arg(ZODE_VERSION_MAJOR)
                                                .arg(ZODE_VERSION_MINOR)
                                                .arg(ZODE_VERSION_PATCH)
                                                .arg(ZODE_BUILD_NUMBER));
    Exporter::TCommandLine line;
    QString error;
    if (!Exporter::ReadCommandLine(app.arguments(), line, error)) {
        std::fprintf(stderr, "zode-exporter: %s\nTry \"zode-exporter --help\".\n", qPrintable(error));
        return 2;
    }
    if (line.Version) {
        std::printf("zode-exporter %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (line.Help) {
        // Qt's first line names the program by its path.
        std::printf("Usage: zode-exporter [options]\n%s",
                    qPrintable(line.HelpText.mid(line.HelpText.indexOf(QLatin1Char('\n')) + 1)));
        return 0;
    }

    // SIGINT and SIGTERM end the event loop, so that the host ends its sessions in order.
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_SignalPipe) != 0)
        return 1;
    QSocketNotifier notifier(g_SignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    Intp::RegisterKnownModels();
    auto metrics = std::make_shared<Exporter::TSnapshotCollectable>();
    Exporter::TMetricsServer server;
    std::string listenError;
    if (!server.Listen(line.ListenAddress, metrics, listenError)) {
        std::fprintf(stderr, "zode-exporter: %s\n", listenError.c_str());
        return 1;
    }
    Exporter::TExporter exporter(line.Settings, metrics);
    exporter.Start();
    std::fprintf(stderr, "zode-exporter: serving http://%s%s, %s\n", line.ListenAddress.c_str(),
                 Exporter::TMetricsServer::MetricsPath,
                 line.Settings.Password ? "reading ports" : "status only (no --password-file)");
    return app.exec();
}
