// The simulator's built-in transfers against the console's sessions: firmware images and
// configurations sent in blocks and kept by the switch (and written to --store), the
// configuration served in blocks, lost replies, a busy switch and files it refuses. No
// network: the datagrams are handed over in memory.
#include "FakeSessionCallback.h"

#include "Commands.h"
#include "Options.h"
#include "core/Transfer.h"

#include <QtTest>

#include <deque>

using namespace Intp;

namespace {

constexpr uint32_t Address = 0x0A000001;

std::vector<uint8_t> Vector(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

struct TReceiver : TWizard {
    std::vector<std::pair<uint16_t, uint32_t>> Reports; // status, state
    void OnResult(TDevice*, uint16_t, uint16_t status, const Intp::TResultData& data) override
    {
        Reports.emplace_back(status, data.Progress && status != stTimeout ? data.Progress->State : 0);
    }
};

QByteArray Contents(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 13 + 5);
    return bytes;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TSimTransferTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_Setup = std::make_unique<TFakeDeviceSetup>(Address);
        m_Fake = m_Setup->Fake;
        m_Device = m_Setup->Device;
        m_Dir = std::make_unique<QTemporaryDir>();
        m_Store = std::make_unique<QTemporaryDir>();
        m_Receiver = TReceiver{};
        m_Later.clear();
        m_Next = 0;
        QString error;
        m_Options = Sim::TOptions();
        QVERIFY(Sim::ParseOptions({"zode-switchsim", "--store", m_Store->path()}, m_Options, error));
        m_Switch = std::make_unique<Sim::TSwitch>(0, Sim::TMac{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x01}, "KX40-GT",
                                                  Sim::TConfig{});
    }
    void cleanup()
    {
        m_Setup.reset();
        m_Dir.reset();
        m_Store.reset();
    }

    // Files of one block, of exactly two and of two and a bit, with replies lost on the
    // way: the switch keeps (and stores) exactly the file, and the console reports done.
    void filesArriveWhole_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("size");        // of the contents, after the 8-byte head
        QTest::addColumn<QList<int>>("lost"); // requests whose replies are lost
        for (int command : {256, 258}) {
            const char* what = command == 256 ? "firmware" : "configuration";
            QTest::addRow("%s, one block", what) << command << 100 << QList<int>{};
            QTest::addRow("%s, two full blocks", what) << command << 1016 << QList<int>{};
            QTest::addRow("%s, three blocks, losses", what) << command << 1200 << QList<int>{0, 2, 3};
        }
    }
    void filesArriveWhole()
    {
        QFETCH(int, command);
        QFETCH(int, size);
        QFETCH(QList<int>, lost);
        const bool firmware = command == 256;
        const QByteArray file = Sim::TransferFile(firmware ? Sim::FirmwareKind : Sim::ConfigurationKind,
                                                  Contents(size));
        QVERIFY(StartSender(command, file));
        Run(lost);
        QVERIFY(PendingSessions().empty());
        QCOMPARE(m_Receiver.Reports.back(), std::make_pair(stSuccess, uint32_t(tsDone)));
        QCOMPARE(m_Receiver.Reports.end()[-2], std::make_pair(stSuccess, uint32_t(tsWritingFlash)));
        QCOMPARE(firmware ? m_Switch->transfers.firmware : m_Switch->transfers.configuration, file);
        QCOMPARE(ReadAll(m_Store->filePath(firmware ? "000A1B2C3D01-firmware.bin" : "000A1B2C3D01-configuration.bin")),
                 file);
    }

    // A file of the other kind, or none of the switch's, is refused at block 0 with state 4
    // and nothing is kept.
    void foreignFilesRefused_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("configuration as firmware") << 256 << Sim::TransferFile(Sim::ConfigurationKind, Contents(600));
        QTest::newRow("firmware as configuration") << 258 << Sim::TransferFile(Sim::FirmwareKind, Contents(600));
        QTest::newRow("no head") << 256 << Contents(600);
        QTest::newRow("length shorter than the head") << 256 << QByteArray("VZFW\0\0\0\4", 8) + Contents(600);
    }
    void foreignFilesRefused()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, file);
        QVERIFY(StartSender(command, file));
        AnswerNext();
        QCOMPARE(m_Receiver.Reports, (std::vector<std::pair<uint16_t, uint32_t>>{{stSuccess, tsError}}));
        QVERIFY(m_Switch->transfers.firmware.isEmpty());
        QVERIFY(m_Switch->transfers.configuration.isEmpty());
        QVERIFY(QDir(m_Store->path()).isEmpty());
    }

    // --busy: block 0 is answered "writing flash", and when the time is up the switch asks
    // for block 0 again and takes the file.
    void busySwitchAsksAgain()
    {
        QString error;
        m_Options = Sim::TOptions();
        QVERIFY(Sim::ParseOptions({"zode-switchsim", "--busy", "2500"}, m_Options, error));
        const QByteArray file = Sim::TransferFile(Sim::FirmwareKind, Contents(700));
        QVERIFY(StartSender(256, file));
        AnswerNext();
        QCOMPARE(m_Receiver.Reports.back().second, uint32_t(tsWritingFlash));
        QCOMPARE(m_Later.size(), std::size_t(1));
        QCOMPARE(m_Later.front().second, 2500);
        Run({});
        QCOMPARE(m_Receiver.Reports[1].second, uint32_t(tsSendAgain));
        QCOMPARE(m_Receiver.Reports.back(), std::make_pair(stSuccess, uint32_t(tsDone)));
        QCOMPARE(m_Switch->transfers.firmware, file);
    }

    // A backup gets the configuration the switch made from its settings, or the last one
    // restored, in whole 512-byte blocks, also across lost replies.
    void backupServesTheConfiguration_data()
    {
        QTest::addColumn<int>("restored"); // size of a restored configuration's contents; -1: none
        QTest::addColumn<QList<int>>("lost");
        QTest::newRow("made from the settings") << -1 << QList<int>{};
        QTest::newRow("restored, one block") << 300 << QList<int>{0};
        QTest::newRow("restored, three blocks, losses") << 1100 << QList<int>{1, 3};
    }
    void backupServesTheConfiguration()
    {
        QFETCH(int, restored);
        QFETCH(QList<int>, lost);
        m_Switch->running.name = "Switch-1";
        m_Switch->running.address = 0xC000020A;
        QByteArray expected = Sim::TransferFile(Sim::ConfigurationKind,
                                                "name=Switch-1\ndescription=\nlocation=\ncontact=\n"
                                                "address=192.0.2.10\nnetmask=0.0.0.0\ngateway=0.0.0.0\ndhcp=off\n");
        if (restored >= 0) {
            expected = Sim::TransferFile(Sim::ConfigurationKind, Contents(restored));
            QVERIFY(StartSender(258, expected));
            Run({});
        }
        const QString path = m_Dir->filePath("backup.bin");
        auto* session = new TSessionBasicsBackupBuildin;
        QVERIFY(session->OpenTargetFile(path.toStdString()));
        QVERIFY(Start(session, m_Device, &m_Receiver));
        Run(lost);
        QCOMPARE(m_Receiver.Reports.back(), std::make_pair(stSuccess, uint32_t(tsDone)));
        expected.resize((expected.size() + 511) / 512 * 512, '\0');
        QCOMPARE(ReadAll(path), expected);
    }

private:
    bool StartSender(int command, const QByteArray& file)
    {
        const QString path = m_Dir->filePath("image.bin");
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
            return false;
        out.close();
        TSession* session = nullptr;
        if (command == 256) {
            auto* upgrade = new TSessionBasicsUpgradeBuildin;
            upgrade->OpenSourceFile(path.toStdString());
            session = upgrade;
        } else {
            auto* restore = new TSessionBasicsRestoreBuildin;
            restore->OpenSourceFile(path.toStdString());
            session = restore;
        }
        if (Start(session, m_Device, &m_Receiver))
            return true;
        delete session;
        return false;
    }

    // Answers the console's next request as the simulated switch does; what the switch
    // sends later on its own is kept for Run.
    void AnswerNext()
    {
        const std::vector<uint8_t> request = m_Fake->Sent[m_Next++].Bytes;
        const uint16_t command = ReadU16(request.data());
        Sim::TRequest rq;
        rq.command = command;
        rq.payload = request.data() + HeaderSize;
        rq.size = request.size() - HeaderSize;
        rq.nowMs = int64_t(m_Fake->Now);
        rq.options = &m_Options;
        rq.later = [this](const QByteArray& payload, int delayMs) { m_Later.emplace_back(payload, delayMs); };
        m_LaterCommand = command;
        const Sim::TReply reply = Sim::Commands().at(command).handler(*m_Switch, rq);
        Deliver(Address, MakeDatagram(command, reply.status, Mac(1), Vector(reply.payload)));
    }

    // Plays the switch until the console's session ends: each request is answered (unless
    // its reply is lost; lost counts the requests from here), replies the switch sends
    // later arrive when their time has come, and the console's clock runs on when it waits.
    void Run(const QList<int>& lost)
    {
        const std::size_t first = m_Next;
        for (int step = 0; step < 1000 && !PendingSessions().empty(); ++step) {
            if (m_Next < m_Fake->Sent.size()) {
                if (lost.contains(int(m_Next - first)))
                    ++m_Next;
                else
                    AnswerNext();
            } else if (!m_Later.empty()) {
                auto [payload, delayMs] = m_Later.front();
                m_Later.pop_front();
                m_Fake->Advance(uint64_t(delayMs));
                Deliver(Address, MakeDatagram(m_LaterCommand, 0, Mac(1), Vector(payload)));
            } else {
                m_Fake->Advance(TransferReplyTime);
            }
        }
    }

    std::unique_ptr<TFakeDeviceSetup> m_Setup;
    TFakeSessionCallback* m_Fake = nullptr;
    TDevice* m_Device = nullptr;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<QTemporaryDir> m_Store;
    TReceiver m_Receiver;
    Sim::TOptions m_Options;
    std::unique_ptr<Sim::TSwitch> m_Switch;
    std::deque<std::pair<QByteArray, int>> m_Later;
    uint16_t m_LaterCommand = 0;
    std::size_t m_Next = 0; // the first request not answered yet
};

QTEST_GUILESS_MAIN(TSimTransferTest)
#include "tst_simtransfer.moc"
