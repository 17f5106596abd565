// Fleet files as zode-cli plan and apply read them: what a file means for each switch, the
// errors a wrong or hostile file gets (with file, line and column), value comparison, and
// an export read back as the same settings.
#include "cli/CliRecords.h"
#include "cli/Fleet.h"
#include "net/AddressText.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

TMacAddr Mac(const char* text)
{
    TMacAddr mac;
    ParseSwitchMac(text, mac);
    return mac;
}

TFleetFacts Facts(const char* mac, const char* address, const char* model, const char* name)
{
    return {Mac(mac), AddressOf(address), model, name};
}

const char* const Site = R"(
defaults:
  syslog: {mode: client, server: 192.0.2.1}
groups:
  - match: {address: 192.0.2.0/24}
    settings:
      vlan: {management-vid: 10}
  - match: {model: "KX40-G*", name: "South-*"}
    settings:
      vlan: {management-vid: 20}
      qos: {type: cos}
switches:
  "02:5A:0D:0A:00:01":
    system: {location: Hall 9}
  02-5a-0d-0a-00-02:
    syslog: {mode: both}
  025A0D0B0001: {}
)";

} // namespace

class TFleetTest : public QObject {
    Q_OBJECT

private slots:
    // Defaults, then the groups that match in file order, then the switch's own settings.
    void settingsLayerInOrder()
    {
        TFleetFile file;
        QString error;
        QVERIFY2(ParseFleetText(Site, "site.yaml", file, error), qPrintable(error));
        QCOMPARE(file.Switches.size(), std::size_t(3));
        QCOMPARE(file.Groups.size(), std::size_t(2));

        const auto one = WantedSettings(file, file.Switches[0],
                                        Facts("02:5A:0D:0A:00:01", "192.0.2.10", "KX40-GM", "South-1"));
        QCOMPARE(one["vlan"]["management-vid"].Text, QString("20"));
        QCOMPARE(one["qos"]["type"].Text, QString("cos"));
        QCOMPARE(one["syslog"]["mode"].Text, QString("client"));
        QCOMPARE(one["system"]["location"].Text, QString("Hall 9"));
        QCOMPARE(one["system"]["location"].Line, 14);
        QCOMPARE(one["system"]["location"].Column, 24);

        const auto two = WantedSettings(file, file.Switches[1],
                                        Facts("02:5A:0D:0A:00:02", "192.0.2.11", "KX40-TX", "North-2"));
        QCOMPARE(two["vlan"]["management-vid"].Text, QString("10"));
        QVERIFY(!two.contains("qos"));
        QCOMPARE(two["syslog"]["mode"].Text, QString("both"));
        QCOMPARE(two["syslog"]["server"].Text, QString("192.0.2.1"));

        const auto three = WantedSettings(file, file.Switches[2],
                                          Facts("02:5A:0D:0B:00:01", "198.51.100.10", "KX40-GS", "East-1"));
        QVERIFY(!three.contains("vlan"));
        QCOMPARE(three["syslog"]["mode"].Text, QString("client"));

        QCOMPARE(UnmatchedGroup(file, {Facts("02:5A:0D:0A:00:02", "192.0.2.11", "KX40-TX", "North-2")}), 1);
        QCOMPARE(UnmatchedGroup(file, {Facts("02:5A:0D:0A:00:01", "192.0.2.10", "KX40-GM", "South-1")}), -1);
    }

    void matchRules_data()
    {
        QTest::addColumn<QString>("match");
        QTest::addColumn<bool>("matches");
        // The switch: 02:5A:0D:0A:00:01, 192.0.2.10, KX40-GM, "South-1".
        QTest::newRow("mac") << "mac: 02:5a:0d:0a:00:01" << true;
        QTest::newRow("mac list") << "mac: [025A0D0A0009, 02-5A-0D-0A-00-01]" << true;
        QTest::newRow("other mac") << "mac: 02:5A:0D:0A:00:02" << false;
        QTest::newRow("prefix") << "address: 192.0.2.0/28" << true;
        QTest::newRow("range") << "address: 192.0.2.9-192.0.2.10" << true;
        QTest::newRow("one address") << "address: 192.0.2.11" << false;
        QTest::newRow("model pattern") << "model: 'kx40-g?'" << true;
        QTest::newRow("name pattern") << "name: 'North-*'" << false;
        QTest::newRow("all must hold") << "{model: KX40-GM, name: North-1}" << false;
    }

    void matchRules()
    {
        QFETCH(QString, match);
        const QString text = QStringLiteral("groups:\n  - match: %1\n    settings: {qos: {type: tos}}\n"
                                            "switches: {\"02:5A:0D:0A:00:01\": {}}\n")
                                 .arg(match.startsWith('{') ? match : "{" + match + "}");
        TFleetFile file;
        QString error;
        QVERIFY2(ParseFleetText(text.toUtf8(), "m.yaml", file, error), qPrintable(error));
        QFETCH(bool, matches);
        QCOMPARE(Matches(file.Groups[0].Match, Facts("02:5A:0D:0A:00:01", "192.0.2.10", "KX40-GM", "South-1")),
                 matches);
    }

    // Every wrong file is refused whole with the place of its first fault.
    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QByteArray sw = "switches: {\"02:5A:0D:0A:00:01\": {}}\n";
        QTest::newRow("malformed") << QByteArray("switches: {a: [}\n") << "f.yaml:1:";
        QTest::newRow("empty") << QByteArray("") << "f.yaml:1:1: the file is empty";
        QTest::newRow("no switches") << QByteArray("defaults: {}\n") << "f.yaml:1:1: the file names no switches";
        QTest::newRow("unknown section") << ("site: x\n" + sw) << "f.yaml:1:1: unknown section site";
        QTest::newRow("unknown record") << QByteArray("switches:\n  \"02:5A:0D:0A:00:01\": {vlans: {a: 1}}\n")
                                        << "f.yaml:2:25: no record vlans";
        QTest::newRow("unknown field") << QByteArray("defaults:\n  qos: {kind: cos}\n" + sw)
                                       << "f.yaml:2:9: qos has no field kind";
        QTest::newRow("read-only field") << QByteArray("defaults:\n  system: {firmware: '2.10'}\n" + sw)
                                         << "f.yaml:2:12: system firmware is read only";
        QTest::newRow("read-only record")
            << QByteArray("defaults:\n  network: {address: 192.0.2.1}\n" + sw) << "network address is read only";
        QTest::newRow("missing value") << QByteArray("defaults:\n  qos: {type: }\n" + sw) << "the value is missing";
        QTest::newRow("map as value") << QByteArray("defaults:\n  qos: {type: {a: b}}\n" + sw)
                                      << "f.yaml:2:15: a field's value must be";
        QTest::newRow("unknown tag") << QByteArray("defaults:\n  qos: {type: !shell rm}\n" + sw)
                                     << "f.yaml:2:15: unknown tag !shell";
        QTest::newRow("unset variable") << QByteArray("defaults:\n  system: {contact: !env ZODE_NO_SUCH_VARIABLE}\n" +
                                                      sw)
                                        << "the environment has no ZODE_NO_SUCH_VARIABLE";
        QTest::newRow("bad mac") << QByteArray("switches: {\"02:5A:0D\": {}}\n")
                                 << "f.yaml:1:12: 02:5A:0D is not a MAC";
        QTest::newRow("twice") << QByteArray("switches: {025A0D0A0001: {}, \"02:5A:0D:0A:00:01\": {}}\n")
                               << "02:5A:0D:0A:00:01 is named twice";
        QTest::newRow("group without match")
            << QByteArray("groups:\n  - settings: {qos: {type: cos}}\n" + sw) << "f.yaml:2:5: the group has no match";
        QTest::newRow("empty match") << QByteArray("groups:\n  - match: {}\n" + sw) << "match needs one or more";
        QTest::newRow("bad range") << QByteArray("groups:\n  - match: {address: 192.0.2.20-192.0.2.10}\n" + sw)
                                   << "is not an address, ADDRESS/PREFIX or FIRST-LAST";
        QTest::newRow("no address") << QByteArray("groups:\n  - match: {address: 192.0.2.x}\n" + sw)
                                    << "192.0.2.x is not an address, ADDRESS/PREFIX or FIRST-LAST";
        QTest::newRow("no address before the prefix")
            << QByteArray("groups:\n  - match: {address: 192.0.2.300/24}\n" + sw)
            << "192.0.2.300/24 is not an address, ADDRESS/PREFIX or FIRST-LAST";
        QTest::newRow("three parts") << QByteArray("groups:\n  - match: {address: 10.0.1-10.0.2}\n" + sw)
                                     << "is not an address, ADDRESS/PREFIX or FIRST-LAST";
        QTest::newRow("deep nesting") << QByteArray(100000, '[') << "f.yaml:";
        // Aliases within aliases: refused at the first list inside a list, never expanded.
        QTest::newRow("nested aliases") << QByteArray(
                                               "defaults:\n  system:\n    location: &a [x, x, x, x, x, x, x, x]\n"
                                               "    contact: [*a, *a, *a, *a, *a, *a, *a, *a]\n" +
                                               sw)
                                        << "f.yaml:3:15: a list value holds words or numbers only";
        // One switch's settings named by 1,200 others: a 40 KB file worth 1.2 million values.
        QByteArray wide = "switches:\n  \"02:5A:0D:00:00:00\": &s {port-config: {speed: [auto";
        for (int i = 1; i < 1000; ++i)
            wide += ", auto";
        wide += "]}}\n";
        for (int i = 1; i <= 1200; ++i)
            wide += QStringLiteral("  \"02:5A:0D:00:%1:%2\": *s\n")
                        .arg(i / 256, 2, 16, QChar('0'))
                        .arg(i % 256, 2, 16, QChar('0'))
                        .toUtf8();
        QTest::newRow("aliases expanding") << wide << "the file expands to more than 1000000 values";
    }

    void refusedFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        TFleetFile file;
        QString error;
        QVERIFY(!ParseFleetText(text, "f.yaml", file, error));
        QVERIFY2(error.startsWith("f.yaml:") && error.contains(message), qPrintable(error));
    }

    // Secrets stay out of the file: the reader takes them from where the file points.
    void secretReferences()
    {
        QTemporaryDir dir;
        QFile secret(dir.filePath("contact"));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("ops@example.com\nignored\n");
        secret.close();
        qputenv("ZODE_TEST_LOCATION", "Hall 9");
        const QByteArray text = "defaults:\n  system: {location: !env ZODE_TEST_LOCATION, contact: !file " +
            secret.fileName().toUtf8() + "}\nswitches: {025A0D0A0001: {}}\n";
        TFleetFile file;
        QString error;
        QVERIFY2(ParseFleetText(text, "s.yaml", file, error), qPrintable(error));
        QCOMPARE(file.Defaults["system"]["location"].Text, QString("Hall 9"));
        QCOMPARE(file.Defaults["system"]["contact"].Text, QString("ops@example.com"));
    }

    void sampleSiteReads()
    {
        qputenv("ZODE_CONTACT", "ops@example.com");
        TFleetFile file;
        QString error;
        QVERIFY2(ReadFleetFile(QFINDTESTDATA("fleet/site.yaml"), file, error), qPrintable(error));
        QCOMPARE(file.Switches.size(), std::size_t(3));
        QCOMPARE(file.Switches[0].Settings["port-config"]["speed"].Text,
                 QString("auto,auto,100-full,auto,auto,auto,auto,auto"));
        QCOMPARE(file.Switches[0].Settings["system"]["contact"].Text, QString("ops@example.com"));
    }

    void tooLargeFileIsNotParsed()
    {
        QTemporaryDir dir;
        QFile big(dir.filePath("big.yaml"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(100 * 1024 * 1024));
        big.close();
        TFleetFile file;
        QString error;
        QVERIFY(!ReadFleetFile(big.fileName(), file, error));
        QVERIFY2(error.contains("a fleet file may have at most"), qPrintable(error));
    }

    void sameValue_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<bool>("same");
        QTest::newRow("on/true") << "on"
                                 << "true" << true;
        QTest::newRow("off/enable") << "off"
                                    << "enable" << false;
        QTest::newRow("number") << "10"
                                << "010" << true;
        QTest::newRow("other number") << "10"
                                      << "11" << false;
        QTest::newRow("address") << "192.0.2.1"
                                 << "192.0.2.01" << true;
        QTest::newRow("other address") << "192.0.2.1"
                                       << "192.0.2.2" << false;
        QTest::newRow("not an address") << "192.0.2.1"
                                        << "192.0.2.x" << false;
        QTest::newRow("two that are none") << "1.2.3.999"
                                           << "1.2.3.998" << false;
        QTest::newRow("broadcast") << "255.255.255.255"
                                   << "255.255.255.255" << true;
        QTest::newRow("ports") << "1-3,5"
                               << "5,1,2,3" << true;
        QTest::newRow("none") << "none"
                              << "NONE" << true;
        QTest::newRow("fewer ports") << "1-3"
                                     << "1-2" << false;
        QTest::newRow("word case") << "cos-first"
                                   << "COS-First" << true;
        QTest::newRow("word list") << "auto,auto"
                                   << "auto, AUTO" << true;
        QTest::newRow("longer list") << "auto,auto"
                                     << "auto,auto,auto" << false;
    }

    void sameValue()
    {
        QFETCH(QString, current);
        QFETCH(QString, wanted);
        QFETCH(bool, same);
        QCOMPARE(SameValue(current, wanted), same);
    }

    // An export read back is the same settings, texts with quotes, colons and Latin-1 included.
    void exportReadsBack()
    {
        TFleetExport sw;
        sw.Facts = Facts("02:5A:0D:0A:00:01", "192.0.2.10", "KX40-GM", "South: 1");
        sw.Records = {{"system", {{"name", "South: 1"}, {"location", "Hall \"9\", Türme # 2"}, {"contact", ""}}},
                      {"qos", {{"scheme", "weighted"}, {"type", "cos"}}}};
        const QByteArray text = ExportFleet({sw}, "2026-12-11T12:00:00Z");
        TFleetFile file;
        QString error;
        QVERIFY2(ParseFleetText(text, "e.yaml", file, error), qPrintable(error + "\n" + text));
        QCOMPARE(file.Switches.size(), std::size_t(1));
        QCOMPARE(file.Switches[0].Mac, sw.Facts.Mac);
        const TFleetSettings& s = file.Switches[0].Settings;
        QCOMPARE(s["system"]["name"].Text, QString("South: 1"));
        QCOMPARE(s["system"]["location"].Text, QString("Hall \"9\", Türme # 2"));
        QCOMPARE(s["system"]["contact"].Text, QString());
        QCOMPARE(s["qos"]["type"].Text, QString("cos"));
        QVERIFY(text.contains("# South: 1, 192.0.2.10, KX40-GM"));
    }
};

QTEST_GUILESS_MAIN(TFleetTest)
#include "tst_fleet.moc"
