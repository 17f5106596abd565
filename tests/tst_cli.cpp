// zode-cli's record table in memory: port lists both ways, and which values a Set takes,
// with the message for those it does not (against a device of 8 ports); the credentials it
// reads; and, zode-cli run as a program, the arguments it refuses before any switch is
// asked.
#include "CommandTests.h"

#include "net/CommandLine.h"
#include "cli/CliRecords.h"
#include "core/Igmp.h"
#include "core/Monitor.h"
#include "core/Port.h"
#include "core/Qos.h"
#include "core/Redundancy.h"
#include "core/Security.h"
#include "core/Snmp.h"
#include "core/Vlan.h"
#include "core/Warning.h"
#include "net/ValueTexts.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Intp::TValueNames)

namespace {

struct TRun {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

// zode-cli in a network namespace of its own, so that nothing could leave if it did not
// refuse; none when no namespace can be made here.
std::optional<TRun> RunCli(const QStringList& args, const QByteArray& password)
{
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZODE_PASSWORD", QString::fromUtf8(password));
    cli.setProcessEnvironment(env);
    cli.start(ZODE_IN_NETNS, QStringList{ZODE_CLI_BIN} + args + QStringList{"--wait", "0"});
    cli.closeWriteChannel();
    if (!cli.waitForFinished(60000) || cli.exitCode() == 77)
        return std::nullopt;
    return TRun{cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
}

} // namespace

class TCliTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFakeDeviceSetup> m_Setup;

private slots:
    void init() { m_Setup = std::make_unique<TFakeDeviceSetup>(0xC0000201); }
    void cleanup() { m_Setup.reset(); }

    // A word names one value of its field: files and command lines read values by word, so
    // a repeated word, a capital or a space would make one unreadable.
    void valueWordsAreDistinct_data()
    {
        QTest::addColumn<Intp::TValueNames>("names");
        using namespace Intp;
        const std::pair<const char*, TValueNames> tables[] = {
            {"port type", PortTypeNames}, {"speed", SpeedDuplexNames},    {"flow", FlowControlNames},
            {"link", LinkNames},          {"frames", FrameTypeNames},     {"trunk", TrunkTypeNames},
            {"vlan mode", VlanModeNames}, {"link type", LinkTypeNames},   {"scheme", QosSchemeNames},
            {"qos type", QosTypeNames},   {"queue", QueueNames},          {"cos", CosPriorityNames},
            {"p2p", PointToPointNames},   {"rstp state", RstpStateNames}, {"rstp role", RstpRoleNames},
            {"auth", AuthModeNames},      {"snmp", SnmpVersionNames},     {"privilege", PrivilegeNames},
            {"trap", TrapVersionNames},   {"syslog", SyslogModeNames},    {"igmp", IgmpQueryNames},
            {"enable", EnableNames},      {"enabled", EnabledNames},      {"truth", TruthNames}};
        for (const auto& [tag, names] : tables)
            QTest::newRow(tag) << names;
    }

    void valueWordsAreDistinct()
    {
        QFETCH(Intp::TValueNames, names);
        const QStringList words = ValueWords(names);
        QCOMPARE(words.size(), int(names.size()));
        for (unsigned value = 0; value < names.size(); ++value) {
            const QString word = words[value];
            QVERIFY2(!word.isEmpty() && word == word.toLower() && !word.contains(' '), qPrintable(word));
            QCOMPARE(Intp::ValueOfWord(names, names[value].Word), std::optional<unsigned>(value));
            QCOMPARE(ValueText(names, value), QString::fromLatin1(names[value].Text));
        }
        QCOMPARE(ValueText(names, unsigned(names.size())), QStringLiteral("Unknown (%1)").arg(names.size()));
        QVERIFY(!Intp::ValueOfWord(names, "no-such-word"));
    }

    void portLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<uint>("mask");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one") << "3" << true << 4u << "3";
        QTest::newRow("ranges") << "1,3-5,8" << true << 0x9Du << "1,3-5,8";
        QTest::newRow("spaces, overlap") << " 2 , 1-2" << true << 3u << "1-2";
        QTest::newRow("none") << "None" << true << 0u << "none";
        QTest::newRow("beyond the ports") << "9" << false << 0u << "";
        QTest::newRow("port 0") << "0-2" << false << 0u << "";
        QTest::newRow("backwards") << "5-3" << false << 0u << "";
        QTest::newRow("empty part") << "1,,2" << false << 0u << "";
        QTest::newRow("words") << "all" << false << 0u << "";
    }
    void portLists()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(uint, mask);
        QFETCH(QString, shown);
        uint32_t parsed = 0xFFFF;
        QCOMPARE(ParsePortList(text, 8, parsed), ok);
        if (ok) {
            QCOMPARE(parsed, uint32_t(mask));
            QCOMPARE(PortListText(parsed), shown);
        }
    }

    void setValues_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("interval") << "lldp"
                                  << "interval"
                                  << "65535"
                                  << "";
        QTest::newRow("interval too big") << "lldp"
                                          << "interval"
                                          << "70000"
                                          << "interval must be a number from 0 to 65535";
        QTest::newRow("on") << "lldp"
                            << "enabled"
                            << "Yes"
                            << "";
        QTest::newRow("neither on nor off") << "lldp"
                                            << "enabled"
                                            << "maybe"
                                            << "enabled must be on or off";
        QTest::newRow("port 8") << "mirror"
                                << "dest-tx"
                                << "8"
                                << "";
        QTest::newRow("port 9") << "mirror"
                                << "dest-tx"
                                << "9"
                                << "dest-tx must be a number from 1 to 8";
        QTest::newRow("choice") << "qos"
                                << "type"
                                << "COS-first"
                                << "";
        QTest::newRow("unknown choice") << "qos"
                                        << "scheme"
                                        << "fair"
                                        << "scheme must be one of weighted, strict";
        QTest::newRow("server") << "time"
                                << "server"
                                << "192.0.2.1"
                                << "";
        QTest::newRow("no server") << "time"
                                   << "server"
                                   << "0.0.0.0"
                                   << "";
        QTest::newRow("loopback server") << "time"
                                         << "server"
                                         << "127.0.0.1"
                                         << "server must be an IPv4 host address or 0.0.0.0";
        QTest::newRow("short address") << "time"
                                       << "server"
                                       << "10.1"
                                       << "server must be an IPv4 host address or 0.0.0.0";
        QTest::newRow("time") << "time"
                              << "daylight-begin"
                              << "2027-03-28 02:00:00"
                              << "";
        QTest::newRow("last second of the clock") << "time"
                                                  << "daylight-end"
                                                  << "2106-02-07 06:28:15"
                                                  << "";
        const QString outside = "must be a time from 1970-01-01 00:00:00 to 2106-02-07 06:28:15";
        QTest::newRow("beyond the clock") << "time"
                                          << "daylight-end"
                                          << "2106-02-07 06:28:16"
                                          << "daylight-end " + outside;
        QTest::newRow("far beyond the clock") << "time"
                                              << "daylight-begin"
                                              << "2200-01-01 00:00:00"
                                              << "daylight-begin " + outside;
        QTest::newRow("before the clock") << "time"
                                          << "daylight-begin"
                                          << "1969-12-31 23:59:59"
                                          << "daylight-begin " + outside;
        QTest::newRow("bad time") << "time"
                                  << "daylight-begin"
                                  << "March"
                                  << "daylight-begin must be a time as YYYY-MM-DD hh:mm:ss";
        QTest::newRow("syslog to a server") << "syslog"
                                            << "mode"
                                            << "client"
                                            << "";
        QTest::newRow("server mode without server") << "syslog"
                                                    << "mode"
                                                    << "both"
                                                    << "server must be an IPv4 host address in modes server and both";
        QTest::newRow("query") << "igmp"
                               << "query"
                               << "Auto"
                               << "";
        QTest::newRow("unknown query") << "igmp"
                                       << "query"
                                       << "often"
                                       << "query must be one of disable, enable, auto";
        QTest::newRow("lease 0") << "dhcp-server"
                                 << "lease"
                                 << "0"
                                 << "lease must be a number from 1 to 2147483647";
        QTest::newRow("netmask") << "dhcp-server"
                                 << "netmask"
                                 << "255.255.252.0"
                                 << "";
        QTest::newRow("netmask with a hole") << "dhcp-server"
                                             << "netmask"
                                             << "255.0.255.0"
                                             << "netmask must be a netmask such as 255.255.255.0";
        QTest::newRow("server without a pool") << "dhcp-server"
                                               << "enabled"
                                               << "on"
                                               << "start must be below end, in a pool of host addresses with a netmask";
        QTest::newRow("255 bytes") << "system"
                                   << "location" << QString(255, 'x') << "";
        QTest::newRow("256 bytes") << "system"
                                   << "location" << QString(256, 'x') << "location must be at most 255 bytes";
        QTest::newRow("255 Latin-1 letters") << "system"
                                             << "location" << QString(255, QChar(0xE4)) << "";
        QTest::newRow("outside Latin-1") << "system"
                                         << "location" << QString("Halle \u20AC") << "location must be Latin-1 text";
        QTest::newRow("bridge priority") << "rstp"
                                         << "bridge-priority"
                                         << "61440"
                                         << "";
        QTest::newRow("bridge priority off the step") << "rstp"
                                                      << "bridge-priority"
                                                      << "4097"
                                                      << "bridge-priority must be a multiple of 4096";
        QTest::newRow("max age") << "rstp"
                                 << "max-age"
                                 << "41"
                                 << "max-age must be a number from 6 to 40";
        QTest::newRow("802.1X without a server") << "8021x"
                                                 << "enabled"
                                                 << "on"
                                                 << "server must be a host address, with a shared key and a NAS "
                                                    "identifier, while 802.1X is on";
        QTest::newRow("long shared key") << "8021x"
                                         << "shared-key" << QString(32, 'k') << "shared-key must be at most 31 bytes";
        QTest::newRow("power alarm") << "fault-alarm"
                                     << "power2"
                                     << "on"
                                     << "";
        QTest::newRow("link-down beyond the ports") << "fault-alarm"
                                                    << "link-down"
                                                    << "1,99"
                                                    << "link-down must be ports from 1 to 8 such as 1,3,5-7, or none";
    }
    void setValues()
    {
        QFETCH(QString, record);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, error);
        const TCliRecord* r = FindCliRecord(record);
        QVERIFY(r && r->MakeSet);
        QString message;
        std::unique_ptr<Intp::TSession> session(r->MakeSet(*m_Setup->Device, {{field, value}}, message));
        QCOMPARE(message, error);
        QCOMPARE(session != nullptr, error.isEmpty());
    }

    // Fields with one value per port, and the access list, on a switch whose lists were read.
    void perPortLists_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error"); // %1: the access list's length
        QTest::newRow("speeds") << "port-config"
                                << "speed"
                                << "auto,auto,100-full,auto,auto,auto,auto,10-HALF"
                                << "";
        QTest::newRow("a port short") << "port-config"
                                      << "speed"
                                      << "auto,auto,auto,auto,auto,auto,auto"
                                      << "speed must be 8 values separated by commas, one per port";
        QTest::newRow("unknown word") << "port-config"
                                      << "flow"
                                      << "disable,disable,disable,disable,disable,disable,"
                                         "disable,sometimes"
                                      << "flow must be made of disable, symmetric, asymmetric";
        QTest::newRow("limits") << "rate-limit"
                                << "ingress"
                                << "0,1,2,3,4,5,6,2147483647"
                                << "";
        QTest::newRow("limit too high") << "rate-limit"
                                        << "egress"
                                        << "0,0,0,0,0,0,0,2147483648"
                                        << "egress must be numbers from 0 to 2147483647, one per port";
        QTest::newRow("queues") << "qos-port"
                                << "queue"
                                << "lowest,low,middle,high,high,high,high,high"
                                << "";
        QTest::newRow("authorisation") << "port-auth"
                                       << "mode"
                                       << "reject,accept,authorize,disable,disable,disable,disable,disable"
                                       << "";
        QTest::newRow("tagged VLANs") << "vlan-ports"
                                      << "tagged"
                                      << "10,20;none;none;none;none;none;none;4094"
                                      << "";
        QTest::newRow("VLAN 4095") << "vlan-ports"
                                   << "tagged"
                                   << "4095;none;none;none;none;none;none;none"
                                   << "tagged must be VLAN IDs from 1 to 4094 such as 10,20, or none, for each port";
        QTest::newRow("trunk groups") << "trunks"
                                      << "members"
                                      << "1-2;5,6"
                                      << "";
        QTest::newRow("a port in two groups") << "trunks"
                                              << "members"
                                              << "1-2;2-3"
                                              << "members must be groups without a port in common";
        QTest::newRow("communities") << "snmp-communities"
                                     << "communities"
                                     << "public,private,,"
                                     << "";
        QTest::newRow("long community") << "snmp-communities"
                                        << "communities"
                                        << "public,private,," + QString(32, 'c')
                                        << "communities must be Latin-1 texts of at most 31 bytes, one per slot";
        QTest::newRow("addresses") << "ip-security"
                                   << "addresses"
                                   << "192.0.2.1, 192.0.2.2"
                                   << "";
        QTest::newRow("not an address")
            << "ip-security"
            << "addresses"
            << "192.0.2.1,192.0.2.300"
            << "addresses must be up to %1 IPv4 host addresses separated by commas, or none";
    }

    void perPortLists()
    {
        QFETCH(QString, record);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, error);
        TDevice& d = *m_Setup->Device;
        Intp::GetProperty<Intp::TPropertyPortConfig>(d).Entries.resize(8);
        for (uint8_t port = 0; port < 8; ++port)
            Intp::GetProperty<Intp::TPropertyPortConfig>(d).Entries[port].Port = port;
        Intp::GetProperty<Intp::TPropertyPortLimit>(d).Entries.resize(8);
        Intp::GetProperty<Intp::TPropertyQosPort>(d).Entries.resize(8);
        Intp::GetProperty<Intp::TPropertySecurity8021xPort>(d).Modes.resize(8);
        Intp::GetProperty<Intp::TPropertySecurityIp>(d).Addresses.resize(std::size_t(d.AccessListCount()));
        Intp::GetProperty<Intp::TPropertyPortTrunk>(d).Entries.resize(2);
        Intp::GetProperty<Intp::TPropertySnmpCommunity>(d).Entries.resize(4);
        QString message;
        std::unique_ptr<Intp::TSession> session(FindCliRecord(record)->MakeSet(d, {{field, value}}, message));
        QCOMPARE(message, error.contains("%1") ? error.arg(d.AccessListCount()) : error);
        QCOMPARE(session != nullptr, error.isEmpty());
    }

    // A Set keeps the fields not named.
    void setKeepsOtherFields()
    {
        auto& mirror = Intp::GetProperty<Intp::TPropertyMonitorMirror>(*m_Setup->Device);
        mirror = {true, 2, 3, 0x5, 0x30};
        QString error;
        // The engine owns a started session.
        Intp::TSession* session = FindCliRecord("mirror")->MakeSet(*m_Setup->Device, {{"src-tx", "1"}}, error);
        QVERIFY(session && Intp::Start(session, m_Setup->Device, nullptr));
        QCOMPARE(Bytes(m_Setup->Fake->Sent.back().Bytes).mid(int(Intp::HeaderSize)),
                 QByteArray::fromHex("0203"
                                     "00000005"
                                     "00000001"));
    }

    // Several fields of one Set are checked together: the pool is whole only with all of them.
    void dhcpServerPool()
    {
        QString error;
        const QMap<QString, QString> pool = {{"enabled", "on"},
                                             {"start", "10.0.0.100"},
                                             {"end", "10.0.0.199"},
                                             {"netmask", "255.255.255.0"},
                                             {"lease", "600"}};
        Intp::TSession* session = FindCliRecord("dhcp-server")->MakeSet(*m_Setup->Device, pool, error);
        QVERIFY2(session && Intp::Start(session, m_Setup->Device, nullptr), qPrintable(error));
        QCOMPARE(Bytes(m_Setup->Fake->Sent.back().Bytes).mid(int(Intp::HeaderSize)),
                 QByteArray::fromHex("01"
                                     "0a000064"
                                     "0a0000c7"
                                     "ffffff00"
                                     "00000000"
                                     "00000000"
                                     "00000258"));
    }

    // A password file's first line as the login dialog would send it: Latin-1, blanks kept,
    // only the line end dropped; what no switch can take is refused.
    void passwordFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QString file = "the password in secret.txt";
        QTest::newRow("line end") << QByteArray("admin\n") << QByteArray("admin") << "";
        QTest::newRow("CR LF") << QByteArray("admin\r\n") << QByteArray("admin") << "";
        QTest::newRow("no line end") << QByteArray("admin") << QByteArray("admin") << "";
        QTest::newRow("blanks kept") << QByteArray(" ad min \t\n") << QByteArray(" ad min \t") << "";
        QTest::newRow("CR without LF kept") << QByteArray("admin\r") << QByteArray("admin\r") << "";
        QTest::newRow("first line only") << QByteArray("admin\nroot\n") << QByteArray("admin") << "";
        QTest::newRow("Latin-1") << QByteArray("p\xc3\xa4ssw\xc3\xb6rd\n") << QByteArray("p\xe4ssw\xf6rd") << "";
        QTest::newRow("16 characters") << QByteArray("0123456789abcdef") << QByteArray("0123456789abcdef") << "";
        QTest::newRow("17 characters") << QByteArray("0123456789abcdefg") << QByteArray()
                                       << file + " is longer than 16 characters, which the switches cannot take";
        QTest::newRow("empty file") << QByteArray() << QByteArray() << file + " is empty";
        QTest::newRow("empty line") << QByteArray("\r\nadmin\n") << QByteArray() << file + " is empty";
        const QString latin1 = file + " holds characters other than Latin-1, which the switches cannot take";
        QTest::newRow("beyond Latin-1") << QByteArray("\xd0\xbf\xd0\xb0\xd1\x80\n") << QByteArray() << latin1;
        QTest::newRow("not UTF-8") << QByteArray("p\xe4ss\n") << QByteArray() << latin1;
    }
    void passwordFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QString message;
        const auto password = CredentialFromText(PasswordFileText(content), "the password in secret.txt", message);
        QCOMPARE(message, error);
        QCOMPARE(password.has_value(), error.isEmpty());
        if (password)
            QCOMPARE(QByteArray::fromStdString(*password), bytes);
    }

    // Refused with exit status 2 and a message before any switch is asked: switch lists
    // that are not whole lists of addresses, credentials no switch can take, and files
    // beyond 65,536 blocks of 512 bytes (block numbers are 16-bit).
    void refusedBeforeAnySwitch_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QString>("message");
        const QString list = "bad switch list \"%1\": give MAC or IPv4 addresses separated by commas, or all";
        for (const char* bad : {",", ",,,", "10.77.1.1 10.77.1.2", "10.77.1.1,", "10.77.1.1,,10.77.1.2",
                                "025A0D0A:0001", "02:5A:0D-0A:00:01", "all,10.77.1.1", "127.0.0.1"})
            QTest::addRow("get %s", bad) << QStringList{"get", bad, "system"} << QByteArray("admin") << list.arg(bad);
        QTest::newRow("reboot with a blank")
            << QStringList{"reboot", "10.77.1.1 10.77.1.2"} << QByteArray("admin") << list.arg("10.77.1.1 10.77.1.2");
        QTest::newRow("empty password") << QStringList{"login", "10.77.1.1"} << QByteArray()
                                        << "the password in ZODE_PASSWORD is empty";
        QTest::newRow("password beyond Latin-1")
            << QStringList{"login", "10.77.1.1"} << QByteArray("\xd0\xbf\xd0\xb0\xd1\x80")
            << "the password in ZODE_PASSWORD holds characters other than Latin-1";
        QTest::newRow("user name beyond Latin-1")
            << QStringList{"login", "10.77.1.1", "--user", "\xe2\x82\xac"} << QByteArray("admin")
            << "the user name holds characters other than Latin-1";
        QTest::newRow("upgrade too large") << QStringList{"upgrade", "192.0.2.1", "--image", "HUGE"}
                                           << QByteArray("admin") << "HUGE is larger than 32 MiB";
        QTest::newRow("restore too large") << QStringList{"restore", "192.0.2.1", "--file", "HUGE"}
                                           << QByteArray("admin") << "HUGE is larger than 32 MiB";
    }
    void refusedBeforeAnySwitch()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, password);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString huge = dir.filePath("huge.bin");
        if (args.contains("HUGE")) {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(33 * 1024 * 1024)); // sparse
            args.replace(args.indexOf("HUGE"), huge);
            message.replace("HUGE", huge);
        }
        const std::optional<TRun> run = RunCli(args, password);
        if (!run)
            QSKIP("no private network namespace can be made here");
        QVERIFY2(run->Err.contains(message.toUtf8()), run->Err.constData());
        QCOMPARE(run->Status, 2);
        QVERIFY(run->Out.isEmpty());
    }
};

QTEST_MAIN(TCliTest)
#include "tst_cli.moc"
