// zode-exporter run as a program inside the lab network, scraped by Debian's Prometheus
// server started here on a scratch folder: the whole fleet up, the alarms the simulator
// raises as metrics and as pending alerts of the shipped rules, port counters moving,
// a scrape promtool finds nothing wrong with, a wrong password named once a switch, and
// a switch that stops counted down within two status polls.
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString Password = QStringLiteral("Ex-Pass1");
// Status polls every 5 s: a switch that stops is down within two of them.
constexpr int StatusSeconds = 5;

QByteArray Get(const QString& url, int* code = nullptr)
{
    QNetworkAccessManager nam;
    QNetworkReply* reply = nam.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    if (code)
        *code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->isFinished() ? reply->readAll() : QByteArray();
    delete reply;
    return body;
}

// The result vector of an instant query to the Prometheus started here.
QJsonArray Query(const QString& expression)
{
    QUrlQuery query;
    query.addQueryItem("query", expression);
    QUrl url("http://127.0.0.1:9090/api/v1/query");
    url.setQuery(query);
    const QJsonObject answer = QJsonDocument::fromJson(Get(url.toString(QUrl::FullyEncoded))).object();
    return answer["data"].toObject()["result"].toArray();
}

// The query's single value; -1 when it has no result.
double Value(const QString& expression)
{
    const QJsonArray result = Query(expression);
    return result.isEmpty() ? -1 : result[0].toObject()["value"].toArray()[1].toString().toDouble();
}

// The labels named of every series the query returns, each series as one text.
QSet<QString> Series(const QString& expression, const QStringList& labels)
{
    QSet<QString> series;
    for (const QJsonValue& v : Query(expression)) {
        const QJsonObject metric = v.toObject()["metric"].toObject();
        QStringList values;
        for (const QString& label : labels)
            values << metric[label].toString();
        series << values.join(' ');
    }
    return series;
}

std::unique_ptr<QProcess> Start(const QString& program, const QStringList& args)
{
    auto p = std::make_unique<QProcess>();
    p->start(program, args);
    return p;
}

void Stop(std::unique_ptr<QProcess>& p)
{
    if (!p)
        return;
    p->terminate();
    if (!p->waitForFinished(5000))
        p->kill();
    p->waitForFinished(3000);
    p.reset();
}

} // namespace

class TLabExporterTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_Dir{qEnvironmentVariable("ZODE_LAB_DIR") + "/exporter-XXXXXX"};
    std::unique_ptr<QProcess> m_SimB, m_Exporter, m_Refused, m_Prometheus;
    QByteArray m_ExporterLog, m_RefusedLog;

    QString Write(const QString& name, const QByteArray& content)
    {
        QFile file(m_Dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return {};
        return file.fileName();
    }
    std::unique_ptr<QProcess> StartExporter(const QString& passwordFile, const QStringList& targets, int port,
                                            const QStringList& more = {})
    {
        QStringList args = more;
        args << "--status" << QString("%1s").arg(StatusSeconds) << "--poll"
             << "2s"
             << "--password-file" << passwordFile << "--web.listen-address" << QString("127.0.0.1:%1").arg(port);
        for (const QString& t : targets)
            args << "--target" << t;
        return Start(qEnvironmentVariable("ZODE_EXPORTER"), args);
    }
    void ReadLogs()
    {
        m_ExporterLog += m_Exporter->readAllStandardError();
        m_RefusedLog += m_Refused->readAllStandardError();
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("ZODE_LAB_WS"))
            QSKIP("runs inside the lab network (scripts/lab run -- ...)");
        const QString prometheus = QStandardPaths::findExecutable("prometheus");
        if (prometheus.isEmpty() || QStandardPaths::findExecutable("promtool").isEmpty())
            QSKIP("Debian's prometheus package is not installed");
        QVERIFY(m_Dir.isValid());

        // Subnet B's two switches run here, so that the test can stop them.
        m_SimB = Start("ip",
                       {"netns", "exec", qEnvironmentVariable("ZODE_LAB_SIM_B"), qEnvironmentVariable("ZODE_SIM"),
                        "--address", "198.51.100.10", "--mac-base", "02:5A:0D:0B:00:01", "--count", "2", "--password",
                        Password});
        m_SimB->setProcessChannelMode(QProcess::MergedChannels);
        QByteArray out;
        for (int i = 0; i < 100 && !out.contains("listening"); ++i) {
            m_SimB->waitForReadyRead(100);
            out += m_SimB->readAll();
        }
        QVERIFY2(out.contains("listening"), out.constData());

        const QString good = Write("password", Password.toUtf8() + "\n");
        const QString wrong = Write("wrong", "not-the-password\n");
        m_Exporter = StartExporter(good, {"192.0.2.0/24", "198.51.100.0/24"}, 9683);
        // This one discovers again every 10 s, and so tries the refused login again.
        m_Refused = StartExporter(wrong, {"192.0.2.0/24"}, 9684, {"--rediscover", "10s"});

        const QString config = Write("prometheus.yml",
                                     QString(R"(global:
  scrape_interval: 1s
  evaluation_interval: 1s
rule_files: ["%1"]
scrape_configs:
  - job_name: zode
    static_configs: [{targets: ["127.0.0.1:9683"]}]
  - job_name: zode-refused
    static_configs: [{targets: ["127.0.0.1:9684"]}]
)")
                                         .arg(ZODE_EXPORTER_RULES)
                                         .toUtf8());
        m_Prometheus = Start(prometheus,
                             {"--config.file=" + config, "--storage.tsdb.path=" + m_Dir.filePath("data"),
                              "--web.listen-address=127.0.0.1:9090", "--log.level=warn"});
        QTRY_VERIFY_WITH_TIMEOUT(Get("http://127.0.0.1:9090/-/ready").startsWith("Prometheus"), 30000);
    }

    void cleanupTestCase()
    {
        Stop(m_Prometheus);
        Stop(m_Refused);
        Stop(m_Exporter);
        Stop(m_SimB);
    }

    void wholeFleetUp()
    {
        QTRY_COMPARE_WITH_TIMEOUT(Value(R"(count(zode_switch_up{job="zode"} == 1))"), 6.0, 30000);
        QCOMPARE(Value(R"(zode_discovery_switches{job="zode"})"), 6.0);
        QCOMPARE(Series(R"(zode_switch_info{job="zode",mac="02:5A:0D:0B:00:02"})", {"ip", "name", "firmware"}),
                 QSet<QString>{"198.51.100.11 Switch-2 2.10"});
    }

    // Simulator A: switch 0 a port alarm, 1 power input 1, 3 power input 2.
    void alarmsAsMetricsAndAlerts()
    {
        const QSet<QString> raised = {"02:5A:0D:0A:00:01 port", "02:5A:0D:0A:00:02 power1", "02:5A:0D:0A:00:04 power2"};
        QTRY_COMPARE_WITH_TIMEOUT(Series(R"(zode_switch_alarm{job="zode"} == 1)", {"mac", "kind"}), raised, 15000);
        QCOMPARE(Value(R"(count(zode_switch_alarm{job="zode"}))"), 18.0);
        const QSet<QString> alerts = {"ZodeSwitchPortAlarm 02:5A:0D:0A:00:01", "ZodeSwitchPowerAlarm 02:5A:0D:0A:00:02",
                                      "ZodeSwitchPowerAlarm 02:5A:0D:0A:00:04"};
        QTRY_COMPARE_WITH_TIMEOUT(Series(R"(ALERTS{job="zode"})", {"alertname", "mac"}), alerts, 10000);
    }

    // The simulator moves every port's counters on each read.
    void portCountersMove()
    {
        QTRY_COMPARE_WITH_TIMEOUT(Value(R"(count(rate(zode_port_receive_packets_total{job="zode"}[6s]) > 0))"), 48.0,
                                  20000);
        QCOMPARE(Value(R"(count(rate(zode_port_transmit_packets_total{job="zode"}[6s]) > 0))"), 48.0);
        QCOMPARE(Value(R"(count(zode_port_up{job="zode"}))"), 48.0);
        QVERIFY(Value(R"(sum(zode_poll_duration_seconds_count{job="zode",kind="ports"}))") > 0);
    }

    void scrapePassesPromtool()
    {
        int code = 0;
        const QByteArray scrape = Get("http://127.0.0.1:9683/metrics", &code);
        QCOMPARE(code, 200);
        QVERIFY(scrape.contains("zode_port_receive_packets_total{"));
        QVERIFY2(!scrape.contains(Password.toUtf8()), "the password is in the scrape");
        QProcess promtool;
        promtool.setProcessChannelMode(QProcess::MergedChannels);
        promtool.start("promtool", {"check", "metrics"});
        promtool.write(scrape);
        promtool.closeWriteChannel();
        QVERIFY(promtool.waitForFinished(30000));
        const QByteArray findings = promtool.readAll();
        QVERIFY2(promtool.exitCode() == 0 && findings.trimmed().isEmpty(), findings.constData());
        QVERIFY(Get("http://127.0.0.1:9683/", &code).contains("<a href=\"/metrics\">"));
        QCOMPARE(code, 200);
    }

    // The exporter with the wrong password: a metric for each switch of subnet A and one
    // line each, however many polls and discoveries (each trying the login again) pass;
    // it keeps serving.
    void wrongPasswordNamedOnce()
    {
        QTRY_COMPARE_WITH_TIMEOUT(Value(R"(sum(zode_switch_login_failed{job="zode-refused"}))"), 4.0, 20000);
        QCOMPARE(Value(R"(count(zode_switch_up{job="zode-refused"} == 1))"), 4.0);
        QCOMPARE(Value(R"(sum(zode_switch_login_failed{job="zode"}))"), 0.0);
        const double rounds = Value(R"(zode_poll_duration_seconds_count{job="zode-refused",kind="status"})");
        QTRY_VERIFY_WITH_TIMEOUT(
            Value(R"(zode_poll_duration_seconds_count{job="zode-refused",kind="status"})") >= rounds + 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(Value(R"(zode_discovery_runs_total{job="zode-refused"})") >= 3, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(
            Value(R"(zode_poll_duration_seconds_count{job="zode-refused",kind="status"})") >= rounds + 4, 20000);
        QCOMPARE(Value(R"(sum(zode_switch_login_failed{job="zode-refused"}))"), 4.0);
        // The first login round, and one more after a discovery: the logins were tried again.
        QTRY_VERIFY_WITH_TIMEOUT(Value(R"(zode_poll_duration_seconds_count{job="zode-refused",kind="ports"})") >= 2,
                                 10000);
        ReadLogs();
        QCOMPARE(m_RefusedLog.count("refused the login"), 4);
        for (const char* mac : {"02:5A:0D:0A:00:01", "02:5A:0D:0A:00:02", "02:5A:0D:0A:00:03", "02:5A:0D:0A:00:04"})
            QCOMPARE(m_RefusedLog.count(QByteArray("switch ") + mac + " (192.0.2."), 1);
        QCOMPARE(m_Refused->state(), QProcess::Running);
        QVERIFY(!m_ExporterLog.contains("refused"));
    }

    // Subnet B's simulator ends: both its switches count down within two status polls
    // (the second's time-out of 4 s, a publication and a scrape's interval on top), each
    // named once; the others stay up.
    void stoppedSwitchesGoDown()
    {
        QCOMPARE(Value(R"(count(zode_switch_up{job="zode",mac=~"02:5A:0D:0B:.*"} == 1))"), 2.0);
        Stop(m_SimB);
        QTRY_COMPARE_WITH_TIMEOUT(Value(R"(count(zode_switch_up{job="zode",mac=~"02:5A:0D:0B:.*"} == 0))"), 2.0,
                                  2 * StatusSeconds * 1000 + 4000 + 2000);
        QCOMPARE(Value(R"(count(zode_switch_up{job="zode"} == 1))"), 4.0);
        ReadLogs();
        QCOMPARE(m_ExporterLog.count("stopped answering"), 2);
        QCOMPARE(m_ExporterLog.count("switch 02:5A:0D:0B:00:01 (198.51.100.10) stopped answering"), 1);
        QCOMPARE(m_Exporter->state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TLabExporterTest)
#include "tst_lab_exporter.moc"
