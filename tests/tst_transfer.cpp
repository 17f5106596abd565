// The file transfers: the built-in block sender (firmware, configuration), the built-in
// block receiver (configuration backup) and the remote transfers through a TFTP server:
// their request bytes, resends, waits, progress reports and the files they leave.
#include "CommandTests.h"

#include "core/Transfer.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>

using namespace Intp;

namespace {

using TBytes = std::vector<uint8_t>;

// What a receiver heard, taken when it was told (the progress record lives in the session).
struct TProgressReport {
    uint16_t Command;
    uint16_t Status;
    uint16_t Block;
    uint32_t State;
    bool HasData;
};

struct TReceiver : TWizard {
    std::vector<TProgressReport> Reports;
    void OnResult(TDevice*, uint16_t command, uint16_t status, const Intp::TResultData& data) override
    {
        const TTransferProgress* progress = data.Progress;
        bool has = progress && status != stTimeout;
        Reports.push_back({command, status, has ? progress->Block : uint16_t(0), has ? progress->State : 0, has});
    }
};

TBytes Pattern(std::size_t size, uint8_t seed = 0)
{
    TBytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(i * 7 + seed);
    return bytes;
}

void WriteFile(const QString& path, const TBytes& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TBytes ReadFile(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TBytes Word(uint16_t value) { return {uint8_t(value >> 8), uint8_t(value)}; }

TBytes Concat(std::initializer_list<TBytes> parts)
{
    TBytes all;
    for (const TBytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The 514 bytes of a block: its number and the file's bytes of that block, zero-filled.
TBytes Block(const TBytes& file, uint16_t block)
{
    TBytes data(TransferBlockSize, 0);
    std::size_t from = std::min<std::size_t>(std::size_t(block) * TransferBlockSize, file.size());
    std::size_t to = std::min(from + TransferBlockSize, file.size());
    std::copy(file.begin() + long(from), file.begin() + long(to), data.begin());
    return Concat({Word(block), data});
}

// A block sender's reply: the block number and the state.
TBytes SenderReply(uint16_t block, uint16_t state) { return Concat({Word(block), Word(state)}); }

std::unique_ptr<TSession> SenderFor(uint16_t command, const QString& path, bool* opened)
{
    if (command == 256) {
        auto session = std::make_unique<TSessionBasicsUpgradeBuildin>();
        *opened = session->OpenSourceFile(path.toStdString());
        return session;
    }
    auto session = std::make_unique<TSessionBasicsRestoreBuildin>();
    *opened = session->OpenSourceFile(path.toStdString());
    return session;
}

std::unique_ptr<TSession> RemoteFor(uint16_t command, const TTftpRequest& request)
{
    auto make = [&](auto session) -> std::unique_ptr<TSession> {
        session->SetRequest(request);
        return session;
    };
    switch (command) {
    case 265: return make(std::make_unique<TSessionBasicsBackupTftp>());
    case 266: return make(std::make_unique<TSessionBasicsRestoreTftp>());
    default: return make(std::make_unique<TSessionBasicsUpgradeTftp>());
    }
}

// The two block senders, as test data.
void SenderCommands()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("firmware") << 256 << "Upgrade";
    QTest::newRow("configuration") << 258 << "Restore";
}

} // namespace

class TTransferTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init()
    {
        OpenDevice();
        m_Receiver = TReceiver{};
        m_Dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_Dir->isValid());
    }
    void cleanup()
    {
        Close();
        m_Dir.reset();
    }

    // A 1,000-byte file: block 0, block 1 with 488 file bytes, then further (empty) blocks
    // for as long as the device answers state 0; state 2 ends the transfer.
    void sendsBlocksWhileTheDeviceAsks_data() { SenderCommands(); }
    void sendsBlocksWhileTheDeviceAsks()
    {
        QFETCH(int, command);
        QFETCH(QString, name);
        const TBytes file = Pattern(1000);
        TSession* session = StartSender(uint16_t(command), file);
        QVERIFY(session);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(m_Fake->Sent[0].Address, Address);
        QCOMPARE(m_Fake->Sent[0].Bytes, MakeDatagram(uint16_t(command), 0, Mac(1), Block(file, 0)));
        QCOMPARE(m_Fake->Timers.at(session).Interval, TransferReplyTime);

        for (uint16_t block = 0; block < 4; ++block) {
            Reply(command, SenderReply(block, tsGoingOn));
            QCOMPARE(m_Fake->Sent.size(), std::size_t(block + 2));
            QCOMPARE(m_Fake->Sent.back().Bytes,
                     MakeDatagram(uint16_t(command), 0, Mac(1), Block(file, uint16_t(block + 1))));
            QCOMPARE(m_Receiver.Reports.size(), std::size_t(block + 1));
            const TProgressReport& report = m_Receiver.Reports.back();
            QCOMPARE(report.Status, stSuccess);
            QCOMPARE(report.Block, block);
            QCOMPARE(report.State, uint32_t(tsGoingOn));
            QCOMPARE(m_Fake->Results.back().Name, name.toStdString());
        }
        QCOMPARE(std::count(m_Fake->Sent[2].Bytes.begin() + HeaderSize + 2 + 488, m_Fake->Sent[2].Bytes.end(), 0), 24);

        Reply(command, SenderReply(4, tsDone));
        QCOMPARE(m_Receiver.Reports.back().State, uint32_t(tsDone));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(5));
        QVERIFY(PendingSessions().empty());
    }

    // State 3 asks for the block it names again, also one sent before.
    void stateThreeSendsTheBlockAgain_data() { SenderCommands(); }
    void stateThreeSendsTheBlockAgain()
    {
        QFETCH(int, command);
        const TBytes file = Pattern(2000);
        QVERIFY(StartSender(uint16_t(command), file));
        Reply(command, SenderReply(0, tsGoingOn));
        Reply(command, SenderReply(1, tsSendAgain));
        Reply(command, SenderReply(0, tsSendAgain));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(4));
        QCOMPARE(m_Fake->Sent[2].Bytes, MakeDatagram(uint16_t(command), 0, Mac(1), Block(file, 1)));
        QCOMPARE(m_Fake->Sent[3].Bytes, MakeDatagram(uint16_t(command), 0, Mac(1), Block(file, 0)));
        QCOMPARE(m_Receiver.Reports.back().State, uint32_t(tsSendAgain));
        QCOMPARE(PendingSessions().size(), std::size_t(1));
    }

    // Three silent periods give three resends of the current block, the fourth the
    // time-out; a reply in between gives the next block three resends of its own.
    void silenceResendsThreeTimes_data() { SenderCommands(); }
    void silenceResendsThreeTimes()
    {
        QFETCH(int, command);
        const TBytes file = Pattern(1000);
        QVERIFY(StartSender(uint16_t(command), file));
        m_Fake->Advance(2 * TransferReplyTime);
        Reply(command, SenderReply(0, tsGoingOn));
        m_Fake->Advance(3 * TransferReplyTime);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1 + 2 + 1 + 3));
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(1));
        for (std::size_t i : {1, 2})
            QCOMPARE(m_Fake->Sent[i].Bytes, m_Fake->Sent[0].Bytes);
        for (std::size_t i : {4, 5, 6})
            QCOMPARE(m_Fake->Sent[i].Bytes, MakeDatagram(uint16_t(command), 0, Mac(1), Block(file, 1)));

        m_Fake->Advance(TransferReplyTime);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(7));
        QCOMPARE(m_Receiver.Reports.back().Status, stTimeout);
        QVERIFY(PendingSessions().empty());
    }

    // A busy device (1 writing flash, 4 error, any other value) is waited for 60 seconds
    // without resends; a reply in that time goes on with the 3-second timer.
    void busyDeviceIsWaitedFor_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("answers");
        for (int state : {1, 4, 9, 0xFFFF}) {
            QTest::addRow("state %d, silent", state) << state << false;
            QTest::addRow("state %d, then going on", state) << state << true;
        }
    }
    void busyDeviceIsWaitedFor()
    {
        QFETCH(int, state);
        QFETCH(bool, answers);
        const TBytes file = Pattern(1000);
        TSession* session = StartSender(256, file);
        QVERIFY(session);
        Reply(256, SenderReply(0, tsGoingOn));
        Reply(256, SenderReply(1, uint16_t(state)));
        QCOMPARE(m_Receiver.Reports.back().State, uint32_t(state));
        QCOMPARE(m_Receiver.Reports.back().Block, uint16_t(1));
        m_Fake->Advance(TransferBusyWait - 1);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(2));
        if (answers) {
            Reply(256, SenderReply(1, tsGoingOn));
            QCOMPARE(m_Fake->Sent.back().Bytes, MakeDatagram(256, 0, Mac(1), Block(file, 2)));
            QCOMPARE(m_Fake->Timers.at(session).Interval, TransferReplyTime);
            m_Fake->Advance(TransferReplyTime);
            QCOMPARE(m_Fake->Sent.size(), std::size_t(4)); // resending again
        } else {
            m_Fake->Advance(1);
            QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
            QCOMPARE(m_Receiver.Reports.back().Status, stTimeout);
            QVERIFY(PendingSessions().empty());
        }
    }

    // A reply with an error status ends the send with that status and the reply's block
    // and state.
    void errorStatusEndsTheSend()
    {
        QVERIFY(StartSender(258, Pattern(1000)));
        Reply(258, SenderReply(0, 7), 0x0105);
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(1));
        QCOMPARE(m_Receiver.Reports[0].Status, uint16_t(0x0105));
        QCOMPARE(m_Receiver.Reports[0].State, uint32_t(7));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QVERIFY(PendingSessions().empty());
    }

    // A source that cannot be positioned any more (a pipe, read once) aborts with the
    // header status 0x1100 and reports 0x1100.
    void unreadableBlockAborts_data() { SenderCommands(); }
    void unreadableBlockAborts()
    {
        QFETCH(int, command);
        const QString path = m_Dir->filePath("pipe");
        QCOMPARE(mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        // Held open for writing, so that opening it for reading does not wait.
        int writer = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(writer >= 0);
        const TBytes file = Pattern(TransferBlockSize);
        QCOMPARE(::write(writer, file.data(), file.size()), ssize_t(file.size()));
        bool opened = false;
        auto session = SenderFor(uint16_t(command), path, &opened);
        QVERIFY(opened);
        QVERIFY(Start(session.get(), m_Device, &m_Receiver));
        session.release();
        QCOMPARE(m_Fake->Sent[0].Bytes, MakeDatagram(uint16_t(command), 0, Mac(1), Block(file, 0)));

        Reply(command, SenderReply(0, tsSendAgain));
        ::close(writer);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        const TBytes& abort = m_Fake->Sent[1].Bytes;
        QCOMPARE(abort.size(), HeaderSize + 514);
        const TMacAddr mac = Mac(1);
        QCOMPARE(TBytes(abort.begin(), abort.begin() + HeaderSize + 2),
                 Concat({Word(uint16_t(command)), Word(stTransferAbort), Word(514), TBytes(mac.Data(), mac.Data() + 6),
                         Word(0)}));
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(1));
        QCOMPARE(m_Receiver.Reports[0].Status, stTransferAbort);
        QVERIFY(PendingSessions().empty());
    }

    // Without a readable file nothing goes out and the session cannot be started.
    void refusesWithoutSourceFile()
    {
        bool opened = true;
        auto missing = SenderFor(256, m_Dir->filePath("missing.bin"), &opened);
        QVERIFY(!opened);
        QVERIFY(!Start(missing.get(), m_Device, &m_Receiver));
        TSessionBasicsRestoreBuildin unopened;
        QVERIFY(!Start(&unopened, m_Device, &m_Receiver));
        QVERIFY(m_Fake->Sent.empty());
        QVERIFY(PendingSessions().empty());
    }

    // Block numbers are 16-bit: 65,536 blocks of 512 bytes is the largest file sent.
    void refusesFilesBeyondTheBlockNumbers_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("opens");
        QTest::newRow("32 MiB") << qint64(32) * 1024 * 1024 << true;
        QTest::newRow("a byte more") << qint64(32) * 1024 * 1024 + 1 << false;
        QTest::newRow("33 MiB") << qint64(33) * 1024 * 1024 << false;
    }
    void refusesFilesBeyondTheBlockNumbers()
    {
        QFETCH(qint64, size);
        QFETCH(bool, opens);
        QFile file(m_Dir->filePath("image.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size)); // sparse
        file.close();
        bool opened = !opens;
        auto session = SenderFor(256, file.fileName(), &opened);
        QCOMPARE(opened, opens);
        QCOMPARE(Start(session.get(), m_Device, &m_Receiver), opens);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(opens ? 1 : 0));
        if (opens)
            session.release(); // the engine owns it now
    }

    // Blocks are appended in order (512 bytes each, also the last), a block that was not
    // asked for is not written, and the file appears only when 0xFFFF is in.
    void backupAppendsBlocks()
    {
        const QString path = m_Dir->filePath("backup_10.0.0.1.bin");
        TSession* session = StartBackup(path);
        QVERIFY(session);
        QCOMPARE(m_Fake->Sent[0].Bytes, MakeDatagram(257, 0, Mac(1), Word(0)));
        QCOMPARE(m_Fake->Timers.at(session).Interval, TransferReplyTime);

        const TBytes a = Pattern(512, 1), b = Pattern(512, 2), c = Pattern(512, 3);
        Reply(257, Concat({Word(0), a}));
        Reply(257, Concat({Word(5), Pattern(512, 9)}));
        Reply(257, Concat({Word(1), b}));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(4));
        const std::vector<uint16_t> asked{0, 1, 1, 2};
        for (std::size_t i = 0; i < asked.size(); ++i)
            QCOMPARE(m_Fake->Sent[i].Bytes, MakeDatagram(257, 0, Mac(1), Word(asked[i])));
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(3));
        QCOMPARE(m_Receiver.Reports[1].Block, uint16_t(5));
        QCOMPARE(m_Receiver.Reports[1].State, uint32_t(tsGoingOn));
        QVERIFY(!QFile::exists(path));

        Reply(257, Concat({Word(LastTransferBlock), c, TBytes(3, 0xEE)}));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(4));
        QCOMPARE(m_Receiver.Reports.back().Status, stSuccess);
        QCOMPARE(m_Receiver.Reports.back().State, uint32_t(tsDone));
        QVERIFY(PendingSessions().empty());
        QCOMPARE(ReadFile(path), Concat({a, b, c}));
        QCOMPARE(QDir(m_Dir->path()).entryList(QDir::Files), QStringList{"backup_10.0.0.1.bin"});
    }

    // Three lost replies over the whole transfer are asked for again, the fourth (in another
    // block) ends it with "Timeout"; a failed backup leaves no file and does not touch an
    // existing one.
    void failedBackupLeavesNoFile_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("failure"); // 0: fourth loss, otherwise the reply status
        for (bool existing : {false, true}) {
            const char* file = existing ? "existing file" : "no file";
            QTest::addRow("%s, fourth loss", file) << existing << 0;
            QTest::addRow("%s, error status", file) << existing << 0x0106;
        }
    }
    void failedBackupLeavesNoFile()
    {
        QFETCH(bool, existing);
        QFETCH(int, failure);
        const QString path = m_Dir->filePath("backup.bin");
        const TBytes old = Pattern(100, 4);
        if (existing)
            WriteFile(path, old);
        QVERIFY(StartBackup(path));
        m_Fake->Advance(TransferReplyTime);
        Reply(257, Concat({Word(0), Pattern(512)}));
        m_Fake->Advance(TransferReplyTime);
        Reply(257, Concat({Word(1), Pattern(512)}));
        m_Fake->Advance(TransferReplyTime);
        Reply(257, Concat({Word(2), Pattern(512)}));
        const std::vector<uint16_t> asked{0, 0, 1, 1, 2, 2, 3};
        QCOMPARE(m_Fake->Sent.size(), asked.size());
        for (std::size_t i = 0; i < asked.size(); ++i)
            QCOMPARE(m_Fake->Sent[i].Bytes, MakeDatagram(257, 0, Mac(1), Word(asked[i])));
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(3));

        if (failure)
            Reply(257, Concat({Word(3), Pattern(512)}), uint16_t(failure));
        else
            m_Fake->Advance(TransferReplyTime);
        QCOMPARE(m_Fake->Sent.size(), asked.size());
        QCOMPARE(m_Receiver.Reports.back().Status, failure ? uint16_t(failure) : stTimeout);
        QVERIFY(PendingSessions().empty());
        QCOMPARE(QDir(m_Dir->path()).entryList(QDir::Files), existing ? QStringList{"backup.bin"} : QStringList{});
        if (existing)
            QCOMPARE(ReadFile(path), old);
    }

    // Two backups heading for one file (two switches on one address) write apart: the one
    // that fails takes nothing of the other's with it.
    void backupsOfOneFileKeepApart()
    {
        TDevice* twin = DeviceAt(2, Address);
        const QString path = m_Dir->filePath("backup.bin");
        QVERIFY(StartBackup(path));
        QVERIFY(StartBackup(path, twin));
        const TBytes a = Pattern(512, 1), b = Pattern(512, 2);
        Reply(257, Concat({Word(0), a}));
        Deliver(Address, MakeDatagram(257, 0, Mac(2), Concat({Word(0), Pattern(512, 9)})));
        Deliver(Address, MakeDatagram(257, 0x0106, Mac(2), Concat({Word(1), Pattern(512, 9)})));
        Reply(257, Concat({Word(LastTransferBlock), b}));
        QCOMPARE(m_Receiver.Reports.back().Status, stSuccess);
        QCOMPARE(m_Receiver.Reports.back().State, uint32_t(tsDone));
        QCOMPARE(ReadFile(path), Concat({a, b}));
        QCOMPARE(QDir(m_Dir->path()).entryList(QDir::Files), QStringList{"backup.bin"});
    }

    // A folder that does not exist gives no file and nothing to start.
    void backupRefusesWithoutTargetFile()
    {
        TSessionBasicsBackupBuildin session;
        QVERIFY(!session.OpenTargetFile(m_Dir->filePath("none/backup.bin").toStdString()));
        QVERIFY(!Start(&session, m_Device, &m_Receiver));
        TSessionBasicsBackupBuildin unopened;
        QVERIFY(!Start(&unopened, m_Device, &m_Receiver));
        QVERIFY(m_Fake->Sent.empty());
    }

    // A backup destroyed before its last block (the console closing) deletes its file.
    void unfinishedBackupIsDeleted()
    {
        QVERIFY(StartBackup(m_Dir->filePath("backup.bin")));
        Reply(257, Concat({Word(0), Pattern(512)}));
        DestroyPendingSessions();
        QVERIFY(QDir(m_Dir->path()).entryList(QDir::Files).isEmpty());
    }

    // A link planted where the backup writes (its temporary file, dangling or live, or the
    // target itself) is never written through: its target stays as it was and the backup
    // still arrives under the target's name.
    void backupIgnoresPlantedLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("live");
        QTest::newRow("dangling at the temporary file") << "backup.bin.part" << false;
        QTest::newRow("live at the temporary file") << "backup.bin.part" << true;
        QTest::newRow("live at the target") << "backup.bin" << true;
    }
    void backupIgnoresPlantedLinks()
    {
        QFETCH(QString, link);
        QFETCH(bool, live);
        const QString victim = m_Dir->filePath("victim");
        const TBytes old = Pattern(100, 4);
        if (live)
            WriteFile(victim, old);
        QVERIFY(QFile::link(victim, m_Dir->filePath(link)));
        const QString path = m_Dir->filePath("backup.bin");
        QVERIFY(StartBackup(path));
        const TBytes a = Pattern(512, 1), b = Pattern(512, 2);
        Reply(257, Concat({Word(0), a}));
        Reply(257, Concat({Word(LastTransferBlock), b}));
        QCOMPARE(m_Receiver.Reports.back().State, uint32_t(tsDone));
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(ReadFile(path), Concat({a, b}));
        QCOMPARE(QFile::exists(victim), live);
        if (live)
            QCOMPARE(ReadFile(victim), old);
    }

    // Configurations hold the switch's passwords: the temporary file and the backup are the
    // owner's alone, whatever the process's umask lets through.
    void backupIsOwnerOnly()
    {
        const mode_t umaskBefore = ::umask(0);
        const QString path = m_Dir->filePath("backup.bin");
        TSession* session = StartBackup(path);
        ::umask(umaskBefore);
        QVERIFY(session);
        auto mode = [](const QString& file) {
            struct stat status {};
            return ::lstat(QFile::encodeName(file).constData(), &status) == 0 ? status.st_mode & 07777 : 0u;
        };
        QCOMPARE(mode(path + ".part"), 0600u);
        Reply(257, Concat({Word(LastTransferBlock), Pattern(512)}));
        QCOMPARE(mode(path), 0600u);
    }

    void remoteRequest_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("field"); // the 32 bytes sent
        const QByteArray name32 = "backup_192.168.100.200-cfg01.bin";
        QTest::newRow("backup") << 265 << "TftpBackup" << QByteArray("cfg.bin")
                                << QByteArray("cfg.bin").leftJustified(32, '\0');
        QTest::newRow("restore, 32 characters") << 266 << "TftpRestore" << name32 << name32;
        QTest::newRow("upgrade, 40 characters cut") << 267 << "TftpUpd" << name32 + "-ignored" << name32;
    }
    void remoteRequest()
    {
        QFETCH(int, command);
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, field);
        QCOMPARE(field.size(), 32);
        TSession* session = StartRemote(uint16_t(command), {0xC0A86401, 69, file.toStdString()});
        QVERIFY(session);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(m_Fake->Sent[0].Bytes,
                 MakeDatagram(uint16_t(command), 0, Mac(1),
                              Concat({{0xC0, 0xA8, 0x64, 0x01, 0x00, 0x45}, TBytes(field.begin(), field.end())})));
        QCOMPARE(m_Fake->Timers.at(session).Interval, DefaultInterval);
        QCOMPARE(session->Name(), name.toStdString());
    }

    // States 0 and 1 report progress and restart the 60-second timer; anything else ends
    // the transfer: 2 as it came, other states as 4, an error status as it came.
    void remoteStates_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<uint32_t>("state");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<uint32_t>("reported");
        QTest::newRow("going on") << 0 << 0u << true << 0u;
        QTest::newRow("writing flash") << 0 << 1u << true << 1u;
        QTest::newRow("done") << 0 << 2u << false << 2u;
        QTest::newRow("state 3") << 0 << 3u << false << 4u;
        QTest::newRow("state 0x10000") << 0 << 0x10000u << false << 4u;
        QTest::newRow("error status") << 0x0107 << 0u << false << 4u;
    }
    void remoteStates()
    {
        QFETCH(int, status);
        QFETCH(uint32_t, state);
        QFETCH(bool, goesOn);
        QFETCH(uint32_t, reported);
        QVERIFY(StartRemote(267, {0x0A000063, 69, "fw.bin"}));
        m_Fake->Advance(TransferBusyWait - 1000);
        Reply(267, Concat({Word(uint16_t(state >> 16)), Word(uint16_t(state))}), uint16_t(status));
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(1));
        QCOMPARE(m_Receiver.Reports[0].Status, uint16_t(status));
        QCOMPARE(m_Receiver.Reports[0].State, reported);
        QCOMPARE(PendingSessions().size(), std::size_t(goesOn ? 1 : 0));
        m_Fake->Advance(TransferBusyWait - 1);
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(1));
        m_Fake->Advance(1);
        QCOMPARE(m_Receiver.Reports.size(), std::size_t(goesOn ? 2 : 1));
        QCOMPARE(m_Receiver.Reports.back().Status, goesOn ? stTimeout : uint16_t(status));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QVERIFY(PendingSessions().empty());
    }

private:
    TSession* StartSender(uint16_t command, const TBytes& file)
    {
        const QString path = m_Dir->filePath("image.bin");
        WriteFile(path, file);
        bool opened = false;
        auto session = SenderFor(command, path, &opened);
        if (!opened || !Start(session.get(), m_Device, &m_Receiver))
            return nullptr;
        return session.release();
    }

    TSession* StartBackup(const QString& path, TDevice* device = nullptr)
    {
        auto session = std::make_unique<TSessionBasicsBackupBuildin>();
        if (!session->OpenTargetFile(path.toStdString()) ||
            !Start(session.get(), device ? device : m_Device, &m_Receiver))
            return nullptr;
        return session.release();
    }

    TSession* StartRemote(uint16_t command, const TTftpRequest& request)
    {
        auto session = RemoteFor(command, request);
        if (!Start(session.get(), m_Device, &m_Receiver))
            return nullptr;
        return session.release();
    }

    TReceiver m_Receiver;
    std::unique_ptr<QTemporaryDir> m_Dir;
};

QTEST_GUILESS_MAIN(TTransferTest)
#include "tst_transfer.moc"
