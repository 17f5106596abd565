// Address rules, and the queries of the workstation's network inside a private network
// namespace the test lays out itself (run through tests/in-netns).
#include "core/AddressRules.h"
#include "core/NetQueries.h"

#include <QProcess>
#include <QtTest>

namespace {

bool Ip(const QString& args)
{
    QProcess ip;
    ip.start("ip", QProcess::splitCommand(args));
    return ip.waitForFinished(10000) && ip.exitStatus() == QProcess::NormalExit && ip.exitCode() == 0;
}

uint32_t A(const char* text) { return TextToAddress(text); }

QStringList Texts(const std::vector<TIpMask>& subnets)
{
    QStringList out;
    for (const auto& s : subnets)
        out << QString::fromStdString(AddressToText(s.Address) + "/" + AddressToText(s.Mask));
    return out;
}

bool HasNeighbour(const char* address)
{
    QProcess ip;
    ip.start("ip", {"neigh", "show", "to", address, "nud", "all"}); // noarp entries too
    ip.waitForFinished(10000);
    return !ip.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

class TNetQueryTest : public QObject {
    Q_OBJECT

private slots:
    void textToAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::newRow("dotted") << "192.168.1.7"
                                << "192.168.1.7";
        QTest::newRow("a.b") << "10.1"
                             << "10.0.0.1";
        QTest::newRow("a.b.c") << "172.16.258"
                               << "172.16.1.2";
        QTest::newRow("a") << "3232235777"
                           << "192.168.1.1";
        QTest::newRow("hex part") << "0x0A.1"
                                  << "10.0.0.1";
        QTest::newRow("octal part") << "010.0.0.1"
                                    << "8.0.0.1";
        QTest::newRow("five parts") << "1.2.3.4.5"
                                    << "255.255.255.255";
        QTest::newRow("letters") << "abc"
                                 << "255.255.255.255";
        QTest::newRow("part too large") << "1.2.3.256"
                                        << "255.255.255.255";
        QTest::newRow("empty") << ""
                               << "255.255.255.255";
        QTest::newRow("two in one") << "10.77.1.1 10.77.1.2"
                                    << "255.255.255.255";
        QTest::newRow("trailing blank") << "10.77.1.1 "
                                        << "255.255.255.255";
        QTest::newRow("zero byte") << QString::fromLatin1("10.77.1.1\0"
                                                          "5",
                                                          11)
                                   << "255.255.255.255";
        QTest::newRow("very long") << QString(200, '1') << "255.255.255.255";
    }
    void textToAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QCOMPARE(QString::fromStdString(AddressToText(TextToAddress(text.toStdString()))), address);
    }

    void validity_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("host");
        QTest::addColumn<bool>("mask");
        QTest::newRow("0.0.0.0") << "0.0.0.0" << false << false;
        QTest::newRow("all ones") << "255.255.255.255" << false << true;
        QTest::newRow("loopback") << "127.0.0.1" << false << false;
        QTest::newRow("127.255.0.9") << "127.255.0.9" << false << false;
        QTest::newRow("128.0.0.1") << "128.0.0.1" << true << false;
        QTest::newRow("223.1.1.1") << "223.1.1.1" << true << false;
        QTest::newRow("/30") << "255.255.255.252" << true << true;
        QTest::newRow("/24") << "255.255.255.0" << true << true;
        QTest::newRow("/1") << "128.0.0.0" << true << true;
        QTest::newRow("holes") << "255.255.0.255" << true << false;
        QTest::newRow("255.0.255.0") << "255.0.255.0" << true << false;
    }
    void validity()
    {
        QFETCH(QString, text);
        uint32_t value = A(text.toLatin1().constData());
        QTEST(IsValidHostAddress(value), "host");
        QTEST(IsValidMask(value), "mask");
    }

    void macText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mac"); // empty: rejected
        QTest::newRow("mixed case") << "00A0c9FF1234"
                                    << "00:A0:C9:FF:12:34";
        QTest::newRow("colon") << "00A0:c9FF1234"
                               << "";
        QTest::newRow("11 digits") << "00A0c9FF123"
                                   << "";
        QTest::newRow("13 digits") << "00A0c9FF12345"
                                   << "";
        QTest::newRow("not hex") << "00A0c9FF12G4"
                                 << "";
    }
    void macText()
    {
        QFETCH(QString, text);
        QFETCH(QString, mac);
        TMacAddr parsed;
        QCOMPARE(ParseMacText(text.toStdString(), parsed), !mac.isEmpty());
        if (!mac.isEmpty())
            QCOMPARE(QString::fromStdString(parsed.Text()), mac);
    }

    // Everything below changes the namespace's network: it runs only in a private one.
    void queriesInPrivateNamespace()
    {
        if (qEnvironmentVariable("ZODE_IN_NETNS") != "1")
            QSKIP("needs a private network namespace (run through tests/in-netns)");
        QVERIFY(Ip("link add zq0 type veth peer name zq0p"));
        QVERIFY(Ip("link add zq1 type veth peer name zq1p"));
        QVERIFY(Ip("link set zq0 address 02:00:5e:00:01:fe"));
        for (const char* dev : {"zq0", "zq0p", "zq1", "zq1p", "lo"})
            QVERIFY(Ip(QString("link set %1 up").arg(dev)));
        QVERIFY(Ip("addr add 192.0.2.10/24 dev zq0"));
        QVERIFY(Ip("addr add 198.51.100.10/24 dev zq1"));
        QVERIFY(Ip("addr add 198.51.100.200/25 dev zq1"));

        // No default route: address-table order.
        std::vector<TIpMask> subnets;
        GetLocalSubnets(subnets);
        QCOMPARE(
            Texts(subnets),
            QStringList({"192.0.2.10/255.255.255.0", "198.51.100.10/255.255.255.0", "198.51.100.200/255.255.255.128"}));
        uint32_t hop = 0;
        int index = 0;
        std::string name;
        QVERIFY(!GetRouteTo(A("203.0.113.5"), hop, index, name)); // nothing routes there yet

        QVERIFY(Ip("route add 203.0.113.0/24 via 192.0.2.1"));
        QVERIFY(Ip("route add default via 198.51.100.1"));
        TRouteRow route;
        QVERIFY(GetDefaultRoute(route));
        QCOMPARE(route.NextHop, A("198.51.100.1"));
        std::vector<TRouteRow> routes;
        GetRouteTable(routes);
        QVERIFY(std::any_of(routes.begin(), routes.end(), [](const TRouteRow& r) {
            return r.Destination == A("203.0.113.0") && r.Mask == A("255.255.255.0") && r.NextHop == A("192.0.2.1");
        }));

        // The default route's interface comes first, its rows in reverse table order.
        GetLocalSubnets(subnets);
        QCOMPARE(
            Texts(subnets),
            QStringList({"198.51.100.200/255.255.255.128", "198.51.100.10/255.255.255.0", "192.0.2.10/255.255.255.0"}));

        QVERIFY(GetRouteTo(A("203.0.113.5"), hop, index, name));
        QCOMPARE(QString::fromStdString(AddressToText(hop)), QString("192.0.2.1"));
        QCOMPARE(QString::fromStdString(name), QString("zq0"));
        int zq0 = index;
        QVERIFY(GetRouteTo(A("192.0.2.77"), hop, index, name)); // on the link: itself
        QCOMPARE(hop, A("192.0.2.77"));
        QCOMPARE(index, zq0);
        QVERIFY(GetRouteTo(A("8.8.8.8"), hop, index, name)); // the default route; nothing is sent
        QCOMPARE(QString::fromStdString(name), QString("zq1"));

        TMacAddr mac;
        QVERIFY(GetAdapterMac("zq0", mac));
        QCOMPARE(QString::fromStdString(mac.Text()), QString("02:00:5E:00:01:FE"));
        QVERIFY(!GetAdapterMac("zq", mac)); // a prefix is not the interface
        QVERIFY(mac.IsBroadcast());

        // Only learned entries go unless static ones are asked for too.
        QVERIFY(Ip("neigh add 192.0.2.20 lladdr 02:00:00:00:00:01 dev zq0 nud permanent"));
        QVERIFY(Ip("neigh add 192.0.2.21 lladdr 02:00:00:00:00:02 dev zq0 nud stale"));
        QVERIFY(Ip("neigh add 192.0.2.22 lladdr 02:00:00:00:00:03 dev zq0 nud stale"));
        QVERIFY(Ip("neigh add 192.0.2.23 lladdr 02:00:00:00:00:04 dev zq0 nud noarp"));
        QVERIFY(Ip("neigh add 192.0.2.24 lladdr 02:00:00:00:00:05 dev zq0 nud reachable"));
        FlushArpEntries({A("192.0.2.20"), A("192.0.2.21"), A("192.0.2.23"), A("192.0.2.24")}, false);
        QVERIFY(HasNeighbour("192.0.2.20")); // permanent
        QVERIFY(!HasNeighbour("192.0.2.21"));
        QVERIFY(HasNeighbour("192.0.2.22")); // not named
        QVERIFY(HasNeighbour("192.0.2.23")); // noarp
        QVERIFY(!HasNeighbour("192.0.2.24"));
        FlushArpEntries({A("192.0.2.20"), A("192.0.2.23")}, true);
        QVERIFY(!HasNeighbour("192.0.2.20"));
        QVERIFY(!HasNeighbour("192.0.2.23"));
    }
};

QTEST_GUILESS_MAIN(TNetQueryTest)
#include "tst_netquery.moc"
