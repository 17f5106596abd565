// The simulator's warning commands against the console's: the start-up settings, what each
// Set changes as the next Get reads it back, the requests the switch refuses, the syslog
// line an accepted Set sends and the warning fault options. No network.
#include "SimSwitch.h"

#include "core/Warning.h"

#include <QtTest>

using namespace Intp;

class TSimWarningTest : public QObject, public TSimSwitchDriver {
    Q_OBJECT

    void ReadAll()
    {
        QCOMPARE(Get<TSessionWarningFaultGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionWarningSyslogGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionWarningSmtpGet>(), uint16_t(0));
        QCOMPARE(Get<TSessionWarningEventGet>(), uint16_t(0));
    }
    static TPropertyWarningSmtp Smtp(std::vector<std::string> recipients)
    {
        TPropertyWarningSmtp smtp;
        smtp.Enabled = true;
        smtp.Server = 0xC0000209;
        smtp.Sender = std::string(64, 's');
        smtp.Subject = "Alarm";
        smtp.Account = "ops";
        smtp.Entries = std::move(recipients);
        return smtp;
    }

private slots:
    void init() { OpenSwitch(); }
    void cleanup() { CloseSwitch(); }

    void startUpState()
    {
        ReadAll();
        QCOMPARE(GetProperty<TPropertyWarningFault>(*m_Device).System, 0u);
        QCOMPARE(int(GetProperty<TPropertyWarningSyslog>(*m_Device).Mode), int(smDisable));
        const auto& smtp = GetProperty<TPropertyWarningSmtp>(*m_Device);
        QVERIFY(!smtp.Enabled);
        QCOMPARE(smtp.Entries, std::vector<std::string>(6));
        QCOMPARE(GetProperty<TPropertyWarningEvent>(*m_Device).SmtpLinkDown, 0u);
    }

    // Every change the console sends, read back by the Get each Set starts; the password is
    // kept by the switch and never answered.
    void roundTrips()
    {
        QCOMPARE(Set<TSessionWarningFaultSet>(TPropertyWarningFault{false, 0x3, 0x81}), uint16_t(0));
        QCOMPARE(GetProperty<TPropertyWarningFault>(*m_Device).LinkDown, 0x81u);
        QCOMPARE(GetProperty<TPropertyWarningFault>(*m_Device).System, 0x3u);

        QCOMPARE(Set<TSessionWarningSyslogSet>(TPropertyWarningSyslog{false, smBoth, 0xC0000201}), uint16_t(0));
        QCOMPARE(int(GetProperty<TPropertyWarningSyslog>(*m_Device).Mode), int(smBoth));
        QCOMPARE(GetProperty<TPropertyWarningSyslog>(*m_Device).Server, 0xC0000201u);

        const std::vector<std::string> recipients = {"a@b.c", "", std::string(64, 'r'), "", "", "f@g.h"};
        QVERIFY(StartNew<TSessionWarningSmtpSet>(m_Device, nullptr, Smtp(recipients), std::string("secret")));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(Answer(), uint16_t(0));
        QCOMPARE(m_Switch->running.warning.password, QByteArray("secret"));
        const auto& smtp = GetProperty<TPropertyWarningSmtp>(*m_Device);
        QVERIFY(smtp.Enabled);
        QCOMPARE(smtp.Server, 0xC0000209u);
        QCOMPARE(smtp.Sender, std::string(64, 's'));
        QCOMPARE(smtp.Account, std::string("ops"));
        QCOMPARE(smtp.Entries, recipients);
        Sim::TRequest rq;
        rq.options = &m_Options;
        QVERIFY(!Sim::Commands().at(0x0904).handler(*m_Switch, rq).payload.contains("secret"));

        const TPropertyWarningEvent events{false, 0xF, 0x1, 0x80, 0x5, 0x2, 0x40};
        QCOMPARE(Set<TSessionWarningEventSet>(events), uint16_t(0));
        const auto& read = GetProperty<TPropertyWarningEvent>(*m_Device);
        QCOMPARE((std::array{read.SyslogSystem, read.SyslogLinkUp, read.SyslogLinkDown, read.SmtpSystem,
                             read.SmtpLinkUp, read.SmtpLinkDown}),
                 (std::array<uint32_t, 6>{0xF, 0x1, 0x80, 0x5, 0x2, 0x40}));
    }

    // Requests no switch takes: status 4, and nothing changes. The console's own Sets refuse
    // masks beyond the ports before sending, so these are sent as raw bytes.
    void refused_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("power failure bit 2") << 0x0901 << QByteArray::fromHex("0000000400000000");
        QTest::newRow("link-down port 9") << 0x0901 << QByteArray::fromHex("0000000000000100");
        QTest::newRow("syslog mode 4") << 0x0903 << QByteArray::fromHex("04c0000201");
        QTest::newRow("SMTP with 5 recipients") << 0x0905 << QByteArray(229 + 5 * 64, 'a');
        QTest::newRow("SMTP with 7 recipients") << 0x0905 << QByteArray(229 + 7 * 64, 'a');
        QTest::newRow("system event 4") << 0x0907 << QByteArray::fromHex("00000010") + QByteArray(20, '\0');
        QTest::newRow("SMTP link up on port 9")
            << 0x0907 << QByteArray(16, '\0') + QByteArray::fromHex("0000010000000000");
    }
    void refused()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        ReadAll();
        const Sim::TCommand& handler = Sim::Commands().at(uint16_t(command));
        Sim::TRequest rq;
        rq.command = uint16_t(command);
        rq.payload = reinterpret_cast<const uint8_t*>(payload.constData());
        rq.size = std::size_t(payload.size());
        rq.options = &m_Options;
        const bool bigEnough = rq.size >= handler.requestSize;
        const uint16_t status = bigEnough ? handler.handler(*m_Switch, rq).status : Sim::stBadRequest;
        QCOMPARE(status, Sim::stBadRequest);
        const Sim::TWarning& warning = m_Switch->running.warning;
        QCOMPARE(warning.faultSystem | warning.faultLinkDown | warning.syslogMode, 0u);
        QVERIFY(warning.sender.isEmpty());
        QCOMPARE(warning.events, (std::array<uint32_t, 6>{}));
    }

    // An accepted Set goes out as a syslog line only while the switch sends to a server.
    void setsAreLogged()
    {
        QStringList logged;
        const auto answer = [&](uint16_t command, const QByteArray& payload) {
            Sim::TRequest rq;
            rq.command = command;
            rq.payload = reinterpret_cast<const uint8_t*>(payload.constData());
            rq.size = std::size_t(payload.size());
            rq.options = &m_Options;
            rq.log = [&](const QByteArray& text) {
                if (m_Switch->running.warning.SendsToServer())
                    logged << QString::fromLatin1(text);
            };
            return Sim::Commands().at(command).handler(*m_Switch, rq).status;
        };
        QCOMPARE(answer(0x0901, QByteArray(8, '\0')), uint16_t(0));
        QCOMPARE(answer(0x0903, QByteArray::fromHex("01c0000201")), uint16_t(0));
        QCOMPARE(answer(0x0901, QByteArray(8, '\0')), uint16_t(0));
        QCOMPARE(answer(0x0903, QByteArray::fromHex("02c0000201")), uint16_t(0));
        QCOMPARE(answer(0x0907, QByteArray(24, '\0')), uint16_t(0));
        QCOMPARE(logged, (QStringList{"Syslog settings changed", "Event settings changed"}));
        QVERIFY(m_Switch->SyslogLine(189, "Event settings changed", QDateTime::currentDateTime()).startsWith("<189>"));
    }

    // The fault options make the console refuse the syslog and SMTP records; another
    // switch's fault changes nothing.
    void faults_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<int>("command");
        QTest::newRow("syslog mode 5") << QStringList{"--bad-syslog-mode", "0"} << 0x0902;
        QTest::newRow("5 recipient slots") << QStringList{"--smtp-slots", "0=5"} << 0x0904;
        QTest::newRow("7 recipient slots") << QStringList{"--smtp-slots", "0=7"} << 0x0904;
    }
    void faults()
    {
        QFETCH(QStringList, fault);
        QFETCH(int, command);
        for (bool faulty : {false, true}) {
            QStringList arguments{"zode-switchsim", "--count", "2"};
            if (faulty)
                arguments << fault;
            else
                arguments << fault[0] << QString(fault[1]).replace(0, 1, "1");
            QString error;
            m_Options = Sim::TOptions();
            QVERIFY2(Sim::ParseOptions(arguments, m_Options, error), qPrintable(error));
            if (command == 0x0902) {
                QCOMPARE(int(Get<TSessionWarningSyslogGet>()), faulty ? 0x1100 : 0);
                QCOMPARE(GetProperty<TPropertyWarningSyslog>(*m_Device).Valid, !faulty);
            } else {
                QCOMPARE(int(Get<TSessionWarningSmtpGet>()), faulty ? 0x1100 : 0);
                QCOMPARE(GetProperty<TPropertyWarningSmtp>(*m_Device).Valid, !faulty);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TSimWarningTest)
#include "tst_simwarning.moc"
