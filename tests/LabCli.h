// zode-cli run as a program inside the lab, with the password in its environment.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct TRun {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

inline TRun Cli(const QStringList& args, const QString& password = QStringLiteral("admin"))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZODE_PASSWORD", password);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("ZODE_CLI"), args);
    p.closeWriteChannel();
    if (!p.waitForFinished(400000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
