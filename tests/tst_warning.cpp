// The warning commands: fault alarm, syslog client, SMTP client and event selection; their
// length and count checks, the request bytes of every Set, the devices each Set refuses and
// the Get each Set starts.
#include "CommandTests.h"

#include "core/Warning.h"

using namespace Intp;

namespace {

constexpr int Recipients = 6; // of the test device's model

QByteArray Padded(const QByteArray& text, int width) { return text + QByteArray(width - text.size(), '\0'); }

// SMTP settings: enabled, server 10.0.0.9, sender, subject and account, then count recipients.
QByteArray Smtp(int count)
{
    QByteArray bytes = Hex("01"
                           "0a000009") +
        Padded("a@b.c", 64) + Padded("Alarm", 64) + Padded("ops", 64);
    for (int i = 0; i < count; ++i)
        bytes += Padded(i == 0 ? "r@b.c" : "", 64);
    return bytes;
}

} // namespace

class TWarningTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenDevice(); }
    void cleanup() { Close(); }

    // Each Get's reply after a good one: taken, or refused with the status given.
    void getReplies_data()
    {
        SecondReplyColumns();
        QTest::addColumn<bool>("valid");
        SecondReplyRow("fault", 0x0900, Hex("0000000300000081"), 0) << true;
        SecondReplyRow("fault a byte short", 0x0900, Hex("00000003000000"), 2) << true;
        SecondReplyRow("syslog mode 4", 0x0902, Hex("040a000002"), 0) << true;
        SecondReplyRow("syslog mode 5", 0x0902, Hex("050a000002"), 0x1100) << false;
        SecondReplyRow("syslog a byte short", 0x0902, Hex("030a0000"), 2) << true;
        SecondReplyRow("SMTP of 581 bytes", 0x0904, Smtp(Recipients), 0) << true;
        SecondReplyRow("SMTP of 580 bytes", 0x0904, Smtp(Recipients).left(580), 0x1100) << false;
        SecondReplyRow("SMTP of 7 recipients", 0x0904, Smtp(Recipients + 1), 0x1100) << false;
        SecondReplyRow("SMTP without recipients", 0x0904, Smtp(0), 0x1100) << false;
        SecondReplyRow("SMTP head a byte short", 0x0904, Smtp(0).left(196), 2) << true;
        SecondReplyRow("events", 0x0906, QByteArray(24, 1), 0) << true;
        SecondReplyRow("events a byte short", 0x0906, QByteArray(23, 1), 2) << true;
    }
    void getReplies()
    {
        QFETCH(int, command);
        QFETCH(bool, valid);
        CheckSecondReply();
        QCOMPARE(State(command).first, valid);
    }

    void decodesEveryField()
    {
        Answer(0x0900, Hex("0000000300000081"));
        const auto& fault = GetProperty<TPropertyWarningFault>(*m_Device);
        QCOMPARE(fault.System, 3u);
        QCOMPARE(fault.LinkDown, 0x81u);
        Answer(0x0902, Hex("030a000002"));
        const auto& syslog = GetProperty<TPropertyWarningSyslog>(*m_Device);
        QCOMPARE(syslog.Mode, uint8_t(smBoth));
        QCOMPARE(syslog.Server, 0x0A000002u);
        Answer(0x0904, Smtp(Recipients));
        const auto& smtp = GetProperty<TPropertyWarningSmtp>(*m_Device);
        QVERIFY(smtp.Enabled);
        QCOMPARE(smtp.Server, 0x0A000009u);
        QCOMPARE(smtp.Sender, std::string("a@b.c"));
        QCOMPARE(smtp.Subject, std::string("Alarm"));
        QCOMPARE(smtp.Account, std::string("ops"));
        QCOMPARE(smtp.Entries, (std::vector<std::string>{"r@b.c", "", "", "", "", ""}));
        Answer(0x0906,
               Hex("00000001"
                   "00000002"
                   "00000003"
                   "00000004"
                   "00000005"
                   "00000006"));
        const auto& event = GetProperty<TPropertyWarningEvent>(*m_Device);
        QCOMPARE((std::array{event.SyslogSystem, event.SyslogLinkUp, event.SyslogLinkDown, event.SmtpSystem,
                             event.SmtpLinkUp, event.SmtpLinkDown}),
                 (std::array<uint32_t, 6>{1, 2, 3, 4, 5, 6}));
    }

    // The whole datagram of each Set.
    void setRequests_data()
    {
        SetRequestColumns();
        QTest::newRow("fault") << 0
                               << Hex("0901"
                                      "0000"
                                      "0008"
                                      "000a1b2c3d01"
                                      "00000002"
                                      "00000080");
        QTest::newRow("syslog") << 1
                                << Hex("0903"
                                       "0000"
                                       "0005"
                                       "000a1b2c3d01"
                                       "02"
                                       "c0a80001");
        QTest::newRow("SMTP") << 2
                              << Hex("0905"
                                     "0000"
                                     "0265"
                                     "000a1b2c3d01") +
                Smtp(0) + Padded("secret", 32) + Padded("r@b.c", 64) + QByteArray(5 * 64, '\0');
        QTest::newRow("events") << 3
                                << Hex("0907"
                                       "0000"
                                       "0018"
                                       "000a1b2c3d01"
                                       "0000000f"
                                       "00000001"
                                       "00000080"
                                       "00000003"
                                       "00000081"
                                       "00000000");
    }
    void setRequests() { CheckSetRequest(); }

    // Port masks meant for a larger switch reach this 8-port one with bits 8 and up
    // cleared, so it still gets its system alarms and events.
    void portMasksAreClippedToTheDevice_data()
    {
        QTest::addColumn<bool>("fault");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("fault on ports 8 and 9") << true
                                                << Hex("00000003"
                                                       "00000080");
        QTest::newRow("events on ports 1, 8, 9 and 32") << false
                                                        << Hex("0000000f"
                                                               "00000081"
                                                               "00000080"
                                                               "00000003"
                                                               "00000081"
                                                               "00000000");
    }
    void portMasksAreClippedToTheDevice()
    {
        QFETCH(bool, fault);
        QFETCH(QByteArray, payload);
        if (fault) {
            QVERIFY(StartNew<TSessionWarningFaultSet>(m_Device, nullptr, TPropertyWarningFault{true, 3, 0x180}));
        } else {
            TPropertyWarningEvent event{true, 0x0F, 0x80000181, 0x180, 3, 0x81, 0x100};
            QVERIFY(StartNew<TSessionWarningEventSet>(m_Device, nullptr, event));
        }
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).mid(12).toHex(), payload.toHex());
    }

    // An SMTP Set whose recipient slots do not fit the device goes nowhere.
    void smtpSetThatDoesNotFit_data()
    {
        QTest::addColumn<int>("recipients");
        QTest::addColumn<bool>("sent");
        QTest::newRow("5 recipients") << 5 << false;
        QTest::newRow("6 recipients") << 6 << true;
        QTest::newRow("7 recipients") << 7 << false;
    }
    void smtpSetThatDoesNotFit()
    {
        QFETCH(int, recipients);
        QFETCH(bool, sent);
        TPropertyWarningSmtp smtp;
        smtp.Entries.resize(std::size_t(recipients));
        CheckSentWhen(StartNew<TSessionWarningSmtpSet>(m_Device, nullptr, smtp, std::string()), sent);
    }

    void setStartsItsGet_data()
    {
        SetStartsItsGetColumns();
        for (int status : {0, 5})
            for (int sample = 0; sample < 4; ++sample)
                QTest::addRow("0x090%d, status %d", 2 * sample + 1, status)
                    << sample << 0x0901 + 2 * sample << 0x0900 + 2 * sample << status;
    }
    void setStartsItsGet() { CheckSetStartsItsGet(); }

    void names()
    {
        const std::vector<std::pair<TSession*, const char*>> sessions = {
            {new TSessionWarningFaultGet, "FaultGet"},
            {new TSessionWarningFaultSet(TPropertyWarningFault{}), "FaultSet"},
            {new TSessionWarningSyslogGet, "SyslogGet"},
            {new TSessionWarningSyslogSet(TPropertyWarningSyslog{}), "SyslogSet"},
            {new TSessionWarningSmtpGet, "SmtpGet"},
            {new TSessionWarningSmtpSet(TPropertyWarningSmtp{}, std::string()), "SmtpSet"},
            {new TSessionWarningEventGet, "EventGet"},
            {new TSessionWarningEventSet(TPropertyWarningEvent{}), "EventSet"},
        };
        CheckNames(sessions);
    }

private:
    bool StartGet(int command) override
    {
        return StartGetOf<TSessionWarningFaultGet, TSessionWarningSyslogGet, TSessionWarningSmtpGet,
                          TSessionWarningEventGet>(command);
    }

    TAnswer GoodAnswer(int command) override
    {
        switch (command) {
        case 0x0900: return {QByteArray(8, 1)};
        case 0x0902: return {Hex("010a000002")};
        case 0x0904: return {Smtp(Recipients), Recipients};
        case 0x0906: return {QByteArray(24, 2)};
        }
        return {};
    }

    std::pair<bool, int> State(int command) override
    {
        return StateOf<TPropertyWarningFault, TPropertyWarningSyslog, TPropertyWarningSmtp, TPropertyWarningEvent>(
            command);
    }
    // 0 fault, 1 syslog, 2 SMTP with one recipient and a password, 3 events.
    bool SampleSet(int sample, TWizard* receiver) override
    {
        switch (sample) {
        case 0: return StartNew<TSessionWarningFaultSet>(m_Device, receiver, TPropertyWarningFault{true, 2, 0x80});
        case 1:
            return StartNew<TSessionWarningSyslogSet>(m_Device, receiver,
                                                      TPropertyWarningSyslog{true, smServer, 0xC0A80001});
        case 2: {
            TPropertyWarningSmtp smtp;
            smtp.Enabled = true;
            smtp.Server = 0x0A000009;
            smtp.Sender = "a@b.c";
            smtp.Subject = "Alarm";
            smtp.Account = "ops";
            smtp.Entries = {"r@b.c", "", "", "", "", ""};
            return StartNew<TSessionWarningSmtpSet>(m_Device, receiver, smtp, std::string("secret"));
        }
        }
        TPropertyWarningEvent event{true, 0x0F, 1, 0x80, 3, 0x81, 0};
        return StartNew<TSessionWarningEventSet>(m_Device, receiver, event);
    }
};

QTEST_GUILESS_MAIN(TWarningTest)
#include "tst_warning.moc"
