// zode-cli's record table in memory: port lists both ways, and which values a Set takes,
// with the message for those it does not (against a device of 8 ports).
#include "CommandTests.h"

#include "cli/CliRecords.h"
#include "intp/Monitor.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TCliTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFakeDeviceSetup> m_Setup;

private slots:
    void init() { m_Setup = std::make_unique<TFakeDeviceSetup>(0xC0000201); }
    void cleanup() { m_Setup.reset(); }

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
        QTest::newRow("interval") << "lldp" << "interval" << "65535" << "";
        QTest::newRow("interval too big") << "lldp" << "interval" << "70000" << "interval must be a number from 0 to 65535";
        QTest::newRow("on") << "lldp" << "enabled" << "Yes" << "";
        QTest::newRow("neither on nor off") << "lldp" << "enabled" << "maybe" << "enabled must be on or off";
        QTest::newRow("port 8") << "mirror" << "dest-tx" << "8" << "";
        QTest::newRow("port 9") << "mirror" << "dest-tx" << "9" << "dest-tx must be a number from 1 to 8";
        QTest::newRow("choice") << "qos" << "type" << "COS-first" << "";
        QTest::newRow("unknown choice") << "qos" << "scheme" << "fair"
                                        << "scheme must be one of weighted, strict";
        QTest::newRow("server") << "time" << "server" << "192.0.2.1" << "";
        QTest::newRow("no server") << "time" << "server" << "0.0.0.0" << "";
        QTest::newRow("loopback server") << "time" << "server" << "127.0.0.1"
                                         << "server must be an IPv4 host address or 0.0.0.0";
        QTest::newRow("short address") << "time" << "server" << "10.1" << "server must be an IPv4 host address or 0.0.0.0";
        QTest::newRow("time") << "time" << "daylight-begin" << "2027-03-28 02:00:00" << "";
        QTest::newRow("bad time") << "time" << "daylight-begin" << "March" << "daylight-begin must be a time as YYYY-MM-DD hh:mm:ss";
        QTest::newRow("syslog to a server") << "syslog" << "mode" << "client" << "";
        QTest::newRow("server mode without server") << "syslog" << "mode" << "both"
                                                    << "server must be an IPv4 host address in modes server and both";
        QTest::newRow("query") << "igmp" << "query" << "Auto" << "";
        QTest::newRow("unknown query") << "igmp" << "query" << "often" << "query must be one of disable, enable, auto";
        QTest::newRow("lease 0") << "dhcp-server" << "lease" << "0" << "lease must be a number from 1 to 2147483647";
        QTest::newRow("netmask") << "dhcp-server" << "netmask" << "255.255.252.0" << "";
        QTest::newRow("netmask with a hole") << "dhcp-server" << "netmask" << "255.0.255.0"
                                             << "netmask must be a netmask such as 255.255.255.0";
        QTest::newRow("server without a pool") << "dhcp-server" << "enabled" << "on"
                                               << "start must be below end, in a pool of host addresses with a netmask";
        QTest::newRow("255 bytes") << "system" << "location" << QString(255, 'x') << "";
        QTest::newRow("256 bytes") << "system" << "location" << QString(256, 'x') << "location must be at most 255 bytes";
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
                 QByteArray::fromHex("0203" "00000005" "00000001"));
    }

    // Several fields of one Set are checked together: the pool is whole only with all of them.
    void dhcpServerPool()
    {
        QString error;
        const QMap<QString, QString> pool = {{"enabled", "on"}, {"start", "10.0.0.100"}, {"end", "10.0.0.199"},
                                             {"netmask", "255.255.255.0"}, {"lease", "600"}};
        Intp::TSession* session = FindCliRecord("dhcp-server")->MakeSet(*m_Setup->Device, pool, error);
        QVERIFY2(session && Intp::Start(session, m_Setup->Device, nullptr), qPrintable(error));
        QCOMPARE(Bytes(m_Setup->Fake->Sent.back().Bytes).mid(int(Intp::HeaderSize)),
                 QByteArray::fromHex("01" "0a000064" "0a0000c7" "ffffff00" "00000000" "00000000" "00000258"));
    }

    // Block numbers are 16-bit: a file beyond 65,536 blocks of 512 bytes is refused before
    // any switch is asked, with the limit named (in a network namespace of its own, so
    // that nothing could leave if it were not).
    void oversizedFilesAreRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("option");
        QTest::newRow("upgrade") << "upgrade" << "--image";
        QTest::newRow("restore") << "restore" << "--file";
    }
    void oversizedFilesAreRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, option);
        QTemporaryDir dir;
        QFile file(dir.filePath("huge.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(33 * 1024 * 1024)); // sparse
        file.close();
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZODE_PASSWORD", "admin");
        cli.setProcessEnvironment(env);
        cli.start(ZODE_IN_NETNS, {ZODE_CLI_BIN, command, "192.0.2.1", option, file.fileName()});
        cli.closeWriteChannel();
        QVERIFY(cli.waitForFinished(60000));
        if (cli.exitCode() == 77)
            QSKIP("no private network namespace can be made here");
        const QByteArray err = cli.readAllStandardError();
        QVERIFY2(err.contains(file.fileName().toUtf8() + " is larger than 32 MiB"), err.constData());
        QCOMPARE(cli.exitCode(), 2);
        QVERIFY(cli.readAllStandardOutput().isEmpty());
    }
};

QTEST_MAIN(TCliTest)
#include "tst_cli.moc"
