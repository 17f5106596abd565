// The fleet as code against 20 simulated switches of mixed models: an export planned
// unchanged has nothing to do; an edited file plans exactly the edits, apply makes exactly
// those (read with a separate get) and a second plan finds none; a switch that refuses a
// value fails alone, named with its reason, while the others take theirs.
#include "LabCli.h"
#include "LabSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace {

const QStringList Wait = {"--wait", "1500"};

QByteArray Edited(const QByteArray& exported)
{
    QString text = QString::fromUtf8(exported);
    // The syslog client of every switch comes from the defaults now.
    text.replace(QRegularExpression("    syslog:\n      mode: \"[a-z]+\"\n      server: \"[0-9.]+\"\n"), "");
    // The management VLAN comes from the groups only.
    text.replace(QRegularExpression("      management-vid: \"[0-9]+\"\n"), "");
    // Port 1 of the first switch goes off.
    const qsizetype at = text.indexOf("      enabled: \"1-");
    text.replace(at, 18, "      enabled: \"2-");
    return text.toUtf8() +
        "defaults:\n  syslog: {mode: client, server: 192.0.2.1}\n"
        "groups:\n  - match: {address: 192.0.2.0/24, model: \"KX40-G*\"}\n"
        "    settings:\n      vlan: {management-vid: 10}\n";
}

// "MAC record.field=wanted" for every change of a plan --json.
QSet<QString> Changes(const QByteArray& json)
{
    QSet<QString> changes;
    for (const QJsonValue& sw : QJsonDocument::fromJson(json).object()["switches"].toArray())
        for (const QJsonValue& c : sw.toObject()["changes"].toArray())
            changes << QStringLiteral("%1 %2.%3=%4")
                           .arg(sw.toObject()["mac"].toString(), c.toObject()["record"].toString(),
                                c.toObject()["field"].toString(), c.toObject()["wanted"].toString());
    return changes;
}

QByteArray Get(const QString& switches, const QString& record)
{
    const TRun run = Cli(QStringList{"get", switches, record} + Wait);
    return run.Status == 0 ? run.Out : "exit " + QByteArray::number(run.Status) + ": " + run.Err;
}

} // namespace

class TLabFleetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        // The simulated switches' secrets, which exports name and never write.
        qputenv("ZODE_8021X_SHARED_KEY", "58132604");
        qputenv("ZODE_SNMP_COMMUNITIES_COMMUNITIES", "public,private,,");
    }

    void planApplyAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("fleet.yaml");
        const TRun exported = Cli(QStringList{"export", "all"} + Wait);
        QCOMPARE(exported.Status, 0);
        QCOMPARE(exported.Out.count("\n  \"02:5A:0D:"), 20);
        QCOMPARE(exported.Out.count("shared-key: !env ZODE_8021X_SHARED_KEY\n"), 20);
        QVERIFY(!exported.Out.contains("58132604") && !exported.Out.contains("private"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(exported.Out);
        file.close();

        // Every record of every switch reads back as exported.
        TRun plan = Cli(QStringList{"plan", path} + Wait);
        QCOMPARE(plan.Status, 0);
        QVERIFY2(plan.Out.contains("Plan: 0 changes on 0 of 20 switches."), plan.Out + plan.Err);

        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Edited(exported.Out));
        file.close();
        plan = Cli(QStringList{"plan", path, "--json"} + Wait);
        QCOMPARE(plan.Status, 3);
        const QString last = QRegularExpression("enabled: \"1-([0-9]+)\"").match(exported.Out).captured(1);
        QSet<QString> expected = {"02:5A:0D:0A:00:01 port-config.enabled=2-" + last};
        for (const char* subnet : {"0A", "0B"})
            for (int i = 1; i <= (subnet[1] == 'A' ? 12 : 8); ++i) {
                const QString mac = QStringLiteral("02:5A:0D:%1:00:%2").arg(subnet).arg(i, 2, 16, QChar('0')).toUpper();
                expected << mac + " syslog.mode=client" << mac + " syslog.server=192.0.2.1";
                // Models cycle GM, GS, GT, MM, SS, TX over subnet A.
                if (subnet[1] == 'A' && (i - 1) % 6 < 3)
                    expected << mac + " vlan.management-vid=10";
            }
        QCOMPARE(Changes(plan.Out), expected);

        const TRun apply = Cli(QStringList{"apply", path} + Wait);
        QVERIFY2(apply.Status == 0, apply.Out + apply.Err);
        QCOMPARE(apply.Out.count(" applied\n"), 20);
        QVERIFY(Get("192.0.2.10", "port-config").contains("  enabled: 2-" + last.toLatin1() + "\n"));
        QVERIFY(Get("192.0.2.11", "port-config").contains("  enabled: 1-"));
        const QByteArray syslog = Get("all", "syslog");
        QCOMPARE(syslog.count("  mode: client\n  server: 192.0.2.1\n"), 20);
        QVERIFY(Get("192.0.2.12", "vlan").contains("  management-vid: 10\n"));
        QVERIFY(Get("192.0.2.13", "vlan").contains("  management-vid: 0\n"));

        plan = Cli(QStringList{"plan", path} + Wait);
        QCOMPARE(plan.Status, 0);
        QVERIFY2(plan.Out.contains("Plan: 0 changes on 0 of 20 switches."), plan.Out);
    }

    // 198.51.100.11 answers every LLDP Set with status 4.
    void refusingSwitchFailsAlone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("fleet.yaml");
        const TRun exported = Cli(QStringList{"export", "all"} + Wait);
        QCOMPARE(exported.Status, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(exported.Out).replace("interval: \"30\"", "interval: \"60\""));
        file.close();
        const TRun apply = Cli(QStringList{"apply", path} + Wait);
        QCOMPARE(apply.Status, 1);
        QVERIFY2(apply.Err.contains("02:5A:0D:0B:00:02 (198.51.100.11): set lldp failed"), apply.Err);
        QCOMPARE(apply.Err.count("zode-cli: "), 1);
        QCOMPARE(apply.Out.count(" applied\n"), 19);
        const QByteArray lldp = Get("all", "lldp");
        QCOMPARE(lldp.count("  interval: 60\n"), 19);
        QVERIFY2(lldp.contains("198.51.100.11\n  enabled: on\n  interval: 30\n"), lldp);
    }

    // Nothing is sent for a wrong file: the error names its place and the exit status is 2.
    void wrongValueIsRefusedBeforeAnySet()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("fleet.yaml");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("switches:\n  \"02:5A:0D:0A:00:01\":\n    vlan: {management-vid: 5000}\n");
        file.close();
        const TRun apply = Cli(QStringList{"apply", path} + Wait);
        QCOMPARE(apply.Status, 2);
        QVERIFY2(apply.Err.contains(path.toUtf8() +
                                    ":3:28: vlan on 02:5A:0D:0A:00:01 (192.0.2.10): vlan.management-vid must be"),
                 apply.Err);
        QVERIFY(Get("192.0.2.10", "vlan").contains("  management-vid: 10\n"));
    }
};

QTEST_GUILESS_MAIN(TLabFleetTest)
#include "tst_lab_fleet.moc"
