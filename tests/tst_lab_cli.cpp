// zode-cli run as a program inside the lab network against simulated switches: its
// discovery equals the fleet, a set is read back from three switches, three switches are
// upgraded at once while a tenth of the replies get lost, a wrong password names the
// switch and exits 1, a password beyond ASCII works as in the window, backups are private,
// and bad arguments exit 2 with a message saying what is wrong.
#include "LabCli.h"
#include "LabWindow.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {

QList<QJsonObject> JsonLines(const QByteArray& out)
{
    QList<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            lines << QJsonDocument::fromJson(line).object();
    return lines;
}

const QStringList Wait = {"--wait", "1500"};

} // namespace

class TLabCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_LAB(); }

    // Every switch of both subnets, each once, with its address, name and a known model.
    void discoverListsTheFleet()
    {
        const TRun run = Cli(QStringList{"discover", "--json"} + Wait);
        QCOMPARE(run.Status, 0);
        QSet<QString> seen;
        for (const QJsonObject& o : JsonLines(run.Out)) {
            seen << o["mac"].toString() + " " + o["ip"].toString() + " " + o["name"].toString();
            QVERIFY(o["model"].toString() != "unknown");
            QCOMPARE(o["firmware"].toString(), QString("2.10"));
        }
        const QSet<QString> fleet = {"02:5A:0D:0A:00:01 192.0.2.10 Switch-1", "02:5A:0D:0A:00:02 192.0.2.11 Switch-2",
                                     "02:5A:0D:0A:00:03 192.0.2.12 Switch-3",
                                     "02:5A:0D:0B:00:01 198.51.100.10 Switch-1",
                                     "02:5A:0D:0B:00:02 198.51.100.11 Switch-2"};
        QCOMPARE(seen, fleet);
        QCOMPARE(JsonLines(run.Out).size(), fleet.size());
    }

    void setIsReadBackOnThreeSwitches()
    {
        const QString three = "192.0.2.10,02:5A:0D:0A:00:02,198.51.100.10";
        const TRun set = Cli(QStringList{"set", three, "system", "location=Hall 9, rack 2", "contact=ops@example.com"} +
                             Wait);
        QCOMPARE(set.Status, 0);
        QCOMPARE(set.Out.count("location: Hall 9, rack 2"), 3);
        const TRun get = Cli(QStringList{"get", "all", "system", "--json"} + Wait);
        QCOMPARE(get.Status, 0);
        int changed = 0;
        for (const QJsonObject& o : JsonLines(get.Out)) {
            const bool named = QStringList{"192.0.2.10", "192.0.2.11", "198.51.100.10"}.contains(o["ip"].toString());
            QCOMPARE(o["values"].toObject()["location"].toString() == "Hall 9, rack 2", named);
            changed += named ? 1 : 0;
        }
        QCOMPARE(changed, 3);
    }

    void upgradeThreeWhileRepliesGetLost()
    {
        QTemporaryDir store;
        QVERIFY(store.isValid());
        TLabSim sim("ZODE_LAB_SIM_C",
                    {"--count", "3", "--address", "203.0.113.70", "--mac-base", "02:5A:0D:0C:07:01", "--models",
                     "KX40-TX", "--drop", "0.1", "--flash-delay", "300", "--seed", "7", "--store", store.path()});
        QVERIFY(sim.WaitReady());
        const QString file = QDir(store.path()).filePath("image.bin");
        const QByteArray image = WriteLabImage(file, 16 * 512 - 77);
        QVERIFY(!image.isEmpty());
        const TRun run = Cli({"upgrade", "203.0.113.70,203.0.113.71,203.0.113.72", "--image", file, "--target",
                              "203.0.113.70/255.255.255.255", "--target", "203.0.113.71/32", "--target",
                              "203.0.113.72/32", "--wait", "3000"});
        QVERIFY2(run.Status == 0, run.Err.constData());
        QCOMPARE(run.Out.count("done"), 3);
        for (const char* mac : {"025A0D0C0701", "025A0D0C0702", "025A0D0C0703"}) {
            QFile stored(QDir(store.path()).filePath(QString(mac) + "-firmware.bin"));
            QVERIFY2(stored.open(QIODevice::ReadOnly), mac);
            QCOMPARE(stored.readAll(), image);
        }
    }

    // A switch whose password lies beyond ASCII is reached as the login dialog reaches it
    // (Latin-1), from a password file whose blanks belong to the password; the backup it
    // gives is readable by its owner only.
    void latin1PasswordAndPrivateBackup()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TLabSim sim("ZODE_LAB_SIM_C",
                    {"--count", "1", "--address", "203.0.113.80", "--mac-base", "02:5A:0D:0C:08:01", "--password",
                     QString::fromUtf8(" p\xc3\xa4ssw\xc3\xb6rd")});
        QVERIFY(sim.WaitReady());
        const QString passwordFile = dir.filePath("password");
        QFile file(passwordFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(" p\xc3\xa4ssw\xc3\xb6rd\r\n") > 0);
        file.close();
        const QString backups = dir.filePath("backups");
        QVERIFY(QDir().mkpath(backups));
        const TRun run = Cli({"backup", "203.0.113.80", "--dir", backups, "--password-file", passwordFile, "--target",
                              "203.0.113.80/32", "--wait", "3000"});
        QVERIFY2(run.Status == 0, run.Err.constData());
        const QFileInfo backup(QDir(backups).filePath("025A0D0C0801.cfg"));
        QVERIFY(backup.size() > 0);
        QCOMPARE(backup.permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
    }

    void wrongPasswordNamesTheSwitch()
    {
        const TRun run = Cli(QStringList{"get", "192.0.2.10", "lldp"} + Wait, "not-the-password");
        QCOMPARE(run.Status, 1);
        QVERIFY(run.Out.isEmpty());
        QVERIFY(run.Err.contains("02:5A:0D:0A:00:01 (192.0.2.10): login failed: wrong user name or password"));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList{} << "Usage: zode-cli COMMAND";
        QTest::newRow("unknown command") << QStringList{"frob"} << "unknown command frob";
        QTest::newRow("get without record") << QStringList{"get", "all"} << "get needs SWITCHES RECORD";
        QTest::newRow("unknown record") << QStringList{"get", "all", "nosuch"} << "no record nosuch";
        QTest::newRow("bad switch list") << QStringList{"get", "10.0.0.300", "system"}
                                         << "bad switch list \"10.0.0.300\"";
        QTest::newRow("unknown field") << QStringList{"set", "all", "lldp", "speed=1"} << "lldp has no field speed";
        QTest::newRow("read-only field") << QStringList{"set", "all", "system", "firmware=9.9"}
                                         << "system firmware is read only";
        QTest::newRow("bad value") << QStringList{"set", "192.0.2.10", "lldp", "interval=70000", "--wait", "500"}
                                   << "interval must be a number from 0 to 65535";
        QTest::newRow("password argument")
            << QStringList{"login", "all", "--password", "admin"} << "never taken from the command line";
        QTest::newRow("bad target") << QStringList{"discover", "--target", "192.0.2.0"} << "bad --target 192.0.2.0";
        QTest::newRow("unknown option") << QStringList{"discover", "--colour"} << "Unknown option 'colour'";
        QTest::newRow("upgrade without image") << QStringList{"upgrade", "all"} << "upgrade needs --image FILE";
    }
    void badArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const TRun run = Cli(args);
        QCOMPARE(run.Status, 2);
        QVERIFY2(run.Err.contains(message.toUtf8()), run.Err.constData());
        QVERIFY(run.Out.isEmpty());
    }
};

QTEST_MAIN(TLabCliTest)
#include "tst_lab_cli.moc"
