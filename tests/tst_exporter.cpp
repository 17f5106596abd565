// zode-exporter's logic without a network: counters that wrap turned into totals, whether a
// switch counts as up by the time of its last answer (a manual clock), the metric families
// and their labels, a scrape that never sees half a picture while pictures are published,
// and the command line.
#include "exporter/FleetMetrics.h"
#include "exporter/MetricsServer.h"
#include "exporter/Options.h"

#include "core/AddressRules.h"

#include <prometheus/text_serializer.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <set>
#include <thread>

using namespace Exporter;

namespace {

// The samples of one family as "labels=value" lines, labels in their order.
QStringList Samples(const std::vector<prometheus::MetricFamily>& families, const std::string& name)
{
    QStringList lines;
    for (const auto& f : families)
        if (f.name == name)
            for (const auto& m : f.metric) {
                QStringList labels;
                for (const auto& l : m.label)
                    labels << QString::fromStdString(l.name + "=" + l.value);
                const double value = f.type == prometheus::MetricType::Counter ? m.counter.value : m.gauge.value;
                lines << labels.join(',') + " " + QString::number(value, 'g', 15);
            }
    return lines;
}

bool HasFamily(const std::vector<prometheus::MetricFamily>& families, const std::string& name)
{
    return std::any_of(families.begin(), families.end(), [&](const auto& f) { return f.name == name; });
}

// A GET to the loopback server; the body (gunzipped by Qt unless an encoding is asked for)
// and the status.
QByteArray Get(int port, const QString& path, int& code, const QByteArray& encoding = {})
{
    QNetworkAccessManager nam;
    QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1%2").arg(port).arg(path)));
    if (!encoding.isEmpty())
        request.setRawHeader("Accept-Encoding", encoding);
    QNetworkReply* reply = nam.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    delete reply;
    return body;
}

TSwitchState Answering(int64_t lastReplyMs)
{
    TSwitchState s;
    s.Ip = "192.0.2.10";
    s.Model = "KX40-TX";
    s.Name = "Hall 9";
    s.Firmware = "2.10";
    s.Answered = true;
    s.LastReplyMs = lastReplyMs;
    return s;
}

} // namespace

class TExporterTest : public QObject {
    Q_OBJECT

private slots:
    void counterTotal_data()
    {
        QTest::addColumn<QList<quint32>>("readings");
        QTest::addColumn<quint64>("total");
        QTest::newRow("the first reading is the total") << QList<quint32>{5} << quint64(5);
        QTest::newRow("growth and standstill") << QList<quint32>{5, 10, 10, 20} << quint64(20);
        QTest::newRow("a wrap over the top") << QList<quint32>{0xFFFFFFF0u, 0x10} << quint64(0xFFFFFFF0u) + 0x20;
        QTest::newRow("from the limit to zero") << QList<quint32>{0xFFFFFFFFu, 0, 1} << quint64(0xFFFFFFFFu) + 2;
        QTest::newRow("two wraps") << QList<quint32>{0xF0000000u, 0x10000000u, 0xF0000000u, 0x10000000u}
                                   << quint64(0x210000000ull);
        QTest::newRow("a wrap from the upper half") << QList<quint32>{3000000000u, 5} << quint64(4294967301ull);
        QTest::newRow("a counter cleared low") << QList<quint32>{100000, 50} << quint64(100050);
        QTest::newRow("a reboot mid-range") << QList<quint32>{2000000000u, 7} << quint64(2000000007u);
        QTest::newRow("after a reset it counts on") << QList<quint32>{1000, 3, 10} << quint64(1010);
    }
    void counterTotal()
    {
        QFETCH(QList<quint32>, readings);
        QFETCH(quint64, total);
        TCounterTotal counter;
        QVERIFY(!counter.Known());
        uint64_t last = 0;
        for (quint32 reading : readings) {
            counter.Update(reading);
            QVERIFY2(counter.Total() >= last, "a total never goes down");
            last = counter.Total();
        }
        QVERIFY(counter.Known());
        QCOMPARE(counter.Total(), total);
    }

    // The manual clock: the switch last answered at 100 s; a poll counts stale after 25 s.
    void switchUp_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("offline");
        QTest::addColumn<qint64>("nowMs");
        QTest::addColumn<bool>("up");
        QTest::newRow("never answered") << false << false << qint64(100000) << false;
        QTest::newRow("answered just now") << true << false << qint64(100000) << true;
        QTest::newRow("the last poll timed out") << true << true << qint64(101000) << false;
        QTest::newRow("at the stale limit") << true << false << qint64(125000) << true;
        QTest::newRow("past the stale limit") << true << false << qint64(125001) << false;
        QTest::newRow("a clock set back") << true << false << qint64(50000) << true;
    }
    void switchUp()
    {
        QFETCH(bool, answered);
        QFETCH(bool, offline);
        QFETCH(qint64, nowMs);
        QFETCH(bool, up);
        TSwitchState s = Answering(100000);
        s.Answered = answered;
        s.Offline = offline;
        QCOMPARE(IsUp(s, nowMs, 25000), up);
        TFleetState state;
        state.StaleAfterMs = 25000;
        state.Switches["02:5A:0D:0A:00:01"] = s;
        QCOMPARE(Samples(MakeFamilies(state, nowMs), "zode_switch_up"),
                 QStringList{QString("mac=02:5A:0D:0A:00:01 %1").arg(up ? 1 : 0)});
    }

    // Identity in the info family only; every other family of a switch is keyed by its MAC
    // (and port, alarm kind); a switch that never answered has no values beyond up and info.
    void familiesAndLabels()
    {
        TFleetState state;
        TSwitchState a = Answering(1700000000123);
        a.PowerAlarms = 2;
        a.PortAlarms = 0x4;
        a.Ports.resize(2);
        a.Ports[0].Up = true;
        a.Ports[0].Counters[pcReceivePackets].Update(0xFFFFFFFFu);
        a.Ports[0].Counters[pcReceivePackets].Update(4);
        a.Login = TLogin::Refused;
        state.Switches["02:5A:0D:0A:00:01"] = a;
        TSwitchState b;
        b.Ip = "192.0.2.11";
        b.Model = "unknown";
        b.Ports.resize(2);
        state.Switches["02:5A:0D:0A:00:02"] = b;
        state.CountersPolled = true;
        const auto families = MakeFamilies(state, 1700000001000);

        QCOMPARE(Samples(families, "zode_switch_info"),
                 (QStringList{"firmware=2.10,ip=192.0.2.10,mac=02:5A:0D:0A:00:01,model=KX40-TX,name=Hall 9 1",
                              "firmware=,ip=192.0.2.11,mac=02:5A:0D:0A:00:02,model=unknown,name= 1"}));
        QCOMPARE(Samples(families, "zode_switch_up"),
                 (QStringList{"mac=02:5A:0D:0A:00:01 1", "mac=02:5A:0D:0A:00:02 0"}));
        QCOMPARE(Samples(families, "zode_switch_last_reply_timestamp_seconds"),
                 QStringList{"mac=02:5A:0D:0A:00:01 1700000000.123"});
        QCOMPARE(Samples(families, "zode_switch_alarm"),
                 (QStringList{"kind=port,mac=02:5A:0D:0A:00:01 1", "kind=power1,mac=02:5A:0D:0A:00:01 0",
                              "kind=power2,mac=02:5A:0D:0A:00:01 1"}));
        QCOMPARE(Samples(families, "zode_switch_login_failed"), QStringList{"mac=02:5A:0D:0A:00:01 1"});
        QCOMPARE(Samples(families, "zode_port_up"),
                 (QStringList{"mac=02:5A:0D:0A:00:01,port=1 1", "mac=02:5A:0D:0A:00:01,port=2 0"}));
        // Only ports read at least once have totals.
        QCOMPARE(Samples(families, "zode_port_receive_packets_total"),
                 QStringList{"mac=02:5A:0D:0A:00:01,port=1 4294967300"});
        QCOMPARE(Samples(families, "zode_port_transmit_packets_total"), QStringList{});
        QCOMPARE(Samples(families, "zode_discovery_switches"), QStringList{" 2"});

        // Without a password nothing is logged in to: no login family, no port round.
        state.CountersPolled = false;
        const auto statusOnly = MakeFamilies(state, 1700000001000);
        QVERIFY(!HasFamily(statusOnly, "zode_switch_login_failed"));
        QVERIFY(HasFamily(statusOnly, "zode_port_up"));
    }

    // Buckets are cumulative and end with +Inf holding every observation.
    void pollHistogram()
    {
        TFleetState state;
        state.StatusRounds.Bounds = {0.1, 1, 10};
        for (double seconds : {0.05, 0.1, 0.5, 3.0, 60.0})
            state.StatusRounds.Observe(seconds);
        const auto families = MakeFamilies(state, 0);
        const auto it = std::find_if(families.begin(), families.end(),
                                     [](const auto& f) { return f.name == "zode_poll_duration_seconds"; });
        QVERIFY(it != families.end());
        QCOMPARE(it->metric.size(), std::size_t(1)); // no port rounds without a password
        const auto& h = it->metric.front().histogram;
        QCOMPARE(h.sample_count, uint64_t(5));
        QCOMPARE(h.sample_sum, 63.65);
        QList<quint64> cumulative;
        for (const auto& b : h.bucket)
            cumulative << b.cumulative_count;
        QCOMPARE(cumulative, (QList<quint64>{2, 3, 4, 5}));
        QVERIFY(std::isinf(h.bucket.back().upper_bound));
    }

    // Pictures of 1 to 300 switches, each named after its picture, are published while
    // four readers collect: every collection holds one picture whole (all names alike and
    // as many switches as that picture had).
    void scrapeIsNeverTorn()
    {
        auto metrics = std::make_shared<TSnapshotCollectable>();
        std::atomic<bool> done{false};
        std::atomic<int> torn{0}, collections{0};
        auto reader = [&] {
            while (!done) {
                const auto families = metrics->Collect();
                const auto& info = families.front().metric;
                std::set<std::string> names;
                for (const auto& m : info)
                    names.insert(m.label[4].value);
                if (!info.empty() && (names.size() != 1 || "p" + std::to_string(info.size()) != *names.begin()))
                    ++torn;
                ++collections;
            }
        };
        std::vector<std::thread> readers;
        for (int i = 0; i < 4; ++i)
            readers.emplace_back(reader);
        for (int picture = 1; picture <= 300; ++picture) {
            TFleetState state;
            for (int s = 0; s < picture; ++s) {
                TSwitchState sw = Answering(0);
                sw.Name = "p" + std::to_string(picture);
                state.Switches[std::to_string(s)] = sw;
            }
            metrics->Publish(std::make_shared<const TFleetState>(std::move(state)));
        }
        while (collections < 50)
            std::this_thread::yield();
        done = true;
        for (auto& t : readers)
            t.join();
        QCOMPARE(torn.load(), 0);
    }

    // The text a scrape sends never holds the password, whatever the switches report.
    void textFormatHoldsNoSecret()
    {
        TFleetState state;
        state.Switches["02:5A:0D:0A:00:01"] = Answering(0);
        state.CountersPolled = true;
        const std::string text = prometheus::TextSerializer().Serialize(MakeFamilies(state, 0));
        QVERIFY(text.find("# TYPE zode_switch_up gauge") != std::string::npos);
        QVERIFY(text.find("# TYPE zode_port_receive_packets_total counter") != std::string::npos);
        QVERIFY(text.find("password") == std::string::npos);
    }

    // /metrics sends, plain or gzipped, exactly what prometheus-cpp's serializer makes of
    // the published picture (family by family as it is, the text is the same as whole);
    // / names the metrics path and anything else is not found.
    void serverSendsTheSerializersText()
    {
        auto metrics = std::make_shared<TSnapshotCollectable>();
        TFleetState state;
        state.CountersPolled = true;
        for (int i = 0; i < 300; ++i) {
            TSwitchState s = Answering(4102444800000);         // answered "in 2100": up whatever the clock says
            s.Name = "Switch \"" + std::to_string(i) + "\"\\"; // quotes and backslashes get escaped
            s.Ports.resize(8);
            for (auto& port : s.Ports)
                port.Counters[pcReceivePackets].Update(uint32_t(i) * 1000);
            state.Switches[QString::asprintf("02:5A:0D:0A:%02X:%02X", i / 256, i % 256).toStdString()] = s;
        }
        metrics->Publish(std::make_shared<const TFleetState>(state));
        TMetricsServer server;
        std::string error;
        QVERIFY2(server.Listen("127.0.0.1:0", metrics, error), error.c_str());
        QVERIFY(server.Port() > 0);
        const QByteArray expected = QByteArray::fromStdString(
            prometheus::TextSerializer().Serialize(MakeFamilies(state, NowMs())));
        QVERIFY(expected.size() > 100000); // more than one chunk of the stream
        int code = 0;
        QCOMPARE(Get(server.Port(), "/metrics", code), expected); // gzip, unpacked by Qt
        QCOMPARE(code, 200);
        QCOMPARE(Get(server.Port(), "/metrics", code, "identity"), expected);
        QCOMPARE(code, 200);
        QVERIFY(Get(server.Port(), "/", code).contains("<a href=\"/metrics\">"));
        QCOMPARE(code, 200);
        Get(server.Port(), "/metrics/../secret", code);
        QCOMPARE(code, 404);
    }

    void durations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("bare seconds") << "90" << 90;
        QTest::newRow("seconds") << "30s" << 30;
        QTest::newRow("minutes") << "10m" << 600;
        QTest::newRow("hours") << "2h" << 7200;
        QTest::newRow("zero") << "0s" << -1;
        QTest::newRow("negative") << "-5" << -1;
        QTest::newRow("plus sign") << "+5" << -1;
        QTest::newRow("no number") << "m" << -1;
        QTest::newRow("two units") << "1h30m" << -1;
        QTest::newRow("fraction") << "1.5m" << -1;
        QTest::newRow("unknown unit") << "3d" << -1;
        QTest::newRow("over a week") << "169h" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void durations()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        QCOMPARE(SecondsFromText(text).value_or(-1), seconds);
    }

    void listenAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("loopback") << "127.0.0.1:9683" << true;
        QTest::newRow("any") << "0.0.0.0:9683" << true;
        QTest::newRow("IPv6 bracketed") << "[::1]:9683" << true;
        QTest::newRow("port 0") << "127.0.0.1:0" << true;
        QTest::newRow("IPv6 bare") << "::1:9683" << false;
        QTest::newRow("IPv4 bracketed") << "[127.0.0.1]:9683" << false;
        QTest::newRow("no port") << "127.0.0.1" << false;
        QTest::newRow("port too big") << "127.0.0.1:65536" << false;
        QTest::newRow("host name") << "localhost:9683" << false;
        QTest::newRow("port only") << ":9683" << false;
        QTest::newRow("options smuggled") << "127.0.0.1:9683,0.0.0.0:80" << false;
    }
    void listenAddresses()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(IsListenAddress(text.toStdString()), valid);
    }

    // Each row: the arguments after the program name and a part of the message, or the
    // settings read ("ok").
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << QStringList{} << "ok 600 10 30 127.0.0.1:9683 none";
        QTest::newRow("durations, address, targets") << QStringList{"--rediscover",
                                                                    "1h",
                                                                    "--status",
                                                                    "5s",
                                                                    "--poll",
                                                                    "1m",
                                                                    "--web.listen-address",
                                                                    "[::1]:9100",
                                                                    "--target",
                                                                    "192.0.2.0/24",
                                                                    "--target",
                                                                    "198.51.100.0/255.255.255.128"}
                                                     << "ok 3600 5 60 [::1]:9100 none 192.0.2.255,198.51.100.127";
        QTest::newRow("password file") << QStringList{"--password-file", "@pass", "--user", "ops"}
                                       << "ok 600 10 30 127.0.0.1:9683 ops/Sw1tch pass";
        QTest::newRow("password on the command line")
            << QStringList{"--password=admin"} << "never taken from the command line";
        QTest::newRow("password as an option")
            << QStringList{"--password", "admin"} << "never taken from the command line";
        QTest::newRow("missing password file") << QStringList{"--password-file", "/nonexistent/pass"} << "cannot read";
        QTest::newRow("empty password file") << QStringList{"--password-file", "@empty"} << "is empty";
        QTest::newRow("user too long") << QStringList{"--password-file", "@pass", "--user", "seventeen-letters"}
                                       << "longer than 16";
        QTest::newRow("status below the monitor's least") << QStringList{"--status", "4s"} << "--status takes";
        QTest::newRow("rediscover below 10 s") << QStringList{"--rediscover", "9s"} << "--rediscover takes";
        QTest::newRow("bad target") << QStringList{"--target", "192.0.2.0"} << "bad --target";
        QTest::newRow("bad listen address") << QStringList{"--web.listen-address", "9683"} << "--web.listen-address";
        QTest::newRow("stray argument") << QStringList{"now"} << "unexpected argument";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "Unknown option";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile pass(dir.filePath("pass")), empty(dir.filePath("empty"));
        QVERIFY(pass.open(QIODevice::WriteOnly) && pass.write("Sw1tch\r\nsecond line\n") > 0);
        pass.close();
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        arguments.replaceInStrings("@", dir.path() + "/");
        TCommandLine line;
        QString error;
        const bool ok = ReadCommandLine(QStringList{"zode-exporter"} + arguments, line, error);
        if (!expected.startsWith("ok ")) {
            QVERIFY(!ok);
            QVERIFY2(error.contains(expected), qPrintable(error));
            QVERIFY2(!error.contains("Sw1tch"), "a message never shows the password");
            return;
        }
        QVERIFY2(ok, qPrintable(error));
        const auto& s = line.Settings;
        const QString credentials = s.Password ? QString::fromStdString(*s.User + "/" + *s.Password) + " pass"
                                               : QStringLiteral("none");
        // Given targets by their broadcast addresses; without any, the local subnets.
        QStringList targets;
        if (arguments.contains("--target"))
            for (const TIpMask& t : s.Targets)
                targets << QString::fromStdString(AddressToText(t.Broadcast()));
        QCOMPARE(QString("ok %1 %2 %3 %4 %5")
                         .arg(s.RediscoverSeconds)
                         .arg(s.StatusSeconds)
                         .arg(s.PollSeconds)
                         .arg(QString::fromStdString(line.ListenAddress), credentials) +
                     (targets.isEmpty() ? QString() : " " + targets.join(',')),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TExporterTest)
#include "tst_exporter.moc"
