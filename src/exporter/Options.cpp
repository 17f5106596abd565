#include "Options.h"

#include "MetricsServer.h"

#include "net/CommandLine.h"
#include "net/StatusMonitor.h"

#include <QCommandLineParser>
#include <QFile>

namespace Exporter {

std::optional<int> SecondsFromText(const QString& text)
{
    static const struct {
        QLatin1Char Unit;
        int Seconds;
    } units[] = {{QLatin1Char('s'), 1}, {QLatin1Char('m'), 60}, {QLatin1Char('h'), 3600}};
    QString number = text;
    int scale = 1;
    for (const auto& u : units)
        if (text.endsWith(u.Unit)) {
            number.chop(1);
            scale = u.Seconds;
        }
    bool ok = false;
    const int value = number.toInt(&ok);
    if (!ok || value <= 0 || number.startsWith(QLatin1Char('+')) || value > 86400 * 7 / scale)
        return std::nullopt;
    return value * scale;
}

bool ReadCommandLine(const QStringList& arguments, TCommandLine& out, QString& error)
{
    for (const QString& argument : arguments)
        if (argument == QLatin1String("--password") || argument.startsWith(QLatin1String("--password="))) {
            error = QStringLiteral("the password is never taken from the command line: use --password-file FILE");
            return false;
        }
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Serves the health of a fleet of Veltrane switches to Prometheus: which answer, their power, port and\n"
        "warning alarms and, with a password, their ports' link and frame counters."));
    QCommandLineOption target{"target", "Discover at ADDRESS/MASK (repeatable; default: every local subnet).",
                              "ADDRESS/MASK"};
    QCommandLineOption rediscover{"rediscover", "Discover again every DURATION (default 10m).", "DURATION", "10m"};
    QCommandLineOption status{"status",
                              QStringLiteral("Poll every switch's status every DURATION, %1 s at least (default 10s).")
                                  .arg(Status::TStatusMonitor::MinPeriod),
                              "DURATION", "10s"};
    QCommandLineOption poll{"poll", "Read port status and counters every DURATION (default 30s).", "DURATION", "30s"};
    QCommandLineOption user{"user", "User name to log in with (default admin).", "NAME", "admin"};
    QCommandLineOption passwordFile{"password-file",
                                    "Log in with the password on the first line of FILE and read the ports; "
                                    "without it no switch is logged in to.",
                                    "FILE"};
    QCommandLineOption listen{"web.listen-address", "Serve the metrics at HOST:PORT (default 127.0.0.1:9683).",
                              "HOST:PORT", "127.0.0.1:9683"};
    p.addOptions({target, rediscover, status, poll, user, passwordFile, listen});
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    if (!p.parse(arguments)) {
        error = p.errorText();
        return false;
    }
    out.Help = p.isSet(help);
    out.Version = p.isSet(version);
    out.HelpText = p.helpText();
    if (out.Help || out.Version)
        return true;
    if (!p.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument %1").arg(p.positionalArguments().first());
        return false;
    }
    const struct {
        const QCommandLineOption& Option;
        int& Seconds;
        int Least;
    } durations[] = {{rediscover, out.Settings.RediscoverSeconds, 10},
                     {status, out.Settings.StatusSeconds, Status::TStatusMonitor::MinPeriod},
                     {poll, out.Settings.PollSeconds, 1}};
    for (const auto& d : durations) {
        const auto seconds = SecondsFromText(p.value(d.Option));
        if (!seconds || *seconds < d.Least) {
            error = QStringLiteral("--%1 takes a duration of %2 s or more, such as 30s or 10m, not %3")
                        .arg(d.Option.names().first())
                        .arg(d.Least)
                        .arg(p.value(d.Option));
            return false;
        }
        d.Seconds = *seconds;
    }
    out.Settings.Targets = TargetsFromTexts(p.values(target), error);
    if (!error.isEmpty())
        return false;
    out.ListenAddress = p.value(listen).toStdString();
    if (!IsListenAddress(out.ListenAddress)) {
        error =
            QStringLiteral("--web.listen-address takes HOST:PORT such as 127.0.0.1:9683, not %1").arg(p.value(listen));
        return false;
    }
    if (p.isSet(passwordFile)) {
        QFile file(p.value(passwordFile));
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read the password file %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        out.Settings.User = CredentialFromText(p.value(user), QStringLiteral("the user name"), error);
        if (out.Settings.User)
            out.Settings.Password = CredentialFromText(PasswordFileText(file.readLine()),
                                                       "the password in " + file.fileName(), error);
        if (!out.Settings.Password) {
            out.Settings.User.reset();
            return false;
        }
    }
    return true;
}

} // namespace Exporter
