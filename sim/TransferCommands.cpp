// Handlers of the transfer commands: firmware (256) and configuration (258) received in
// 512-byte blocks, the configuration served in blocks (257), and the remote transfers
// (265 to 267), which run the tftp client against the server the request names.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

#include "core/IntpHeader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace Sim {

const QByteArray FirmwareKind = "VZFW";
const QByteArray ConfigurationKind = "VZCF";

QByteArray TransferFile(const QByteArray& kind, const QByteArray& contents)
{
    QByteArray file = kind;
    TWriter(file).U32(uint32_t(kind.size() + 4 + contents.size()));
    return file + contents;
}

namespace {

constexpr int BlockSize = 512;
constexpr uint16_t LastBlock = 0xFFFF;
constexpr int HeadSize = 8; // kind and length
constexpr uint32_t MaxLength = 65536u * BlockSize;
constexpr int TftpNameWidth = 32;
constexpr int TftpProgressMs = 5000;

enum : uint16_t { StateNext = 0, StateBusy = 1, StateDone = 2, StateAgain = 3, StateError = 4 };

constexpr uint16_t FirmwareCommand = 0x0100;
constexpr uint16_t RestoreCommand = 0x0102;
constexpr uint16_t TftpBackupCommand = 0x0109;
constexpr uint16_t TftpUpgradeCommand = 0x010B;

QByteArray StatePayload(uint16_t block, uint16_t state)
{
    QByteArray payload;
    TWriter w(payload);
    w.U16(block);
    w.U16(state);
    return payload;
}

TReply State(uint16_t block, uint16_t state) { return {0, StatePayload(block, state), 0}; }

const QByteArray& KindOf(uint16_t command)
{
    return command == FirmwareCommand || command == TftpUpgradeCommand ? FirmwareKind : ConfigurationKind;
}

// The file's length from its head, 0 when it is no file of the kind.
uint32_t FileLength(const QByteArray& head, const QByteArray& kind)
{
    if (head.size() < HeadSize || !head.startsWith(kind))
        return 0;
    const uint32_t length = ReadU32(reinterpret_cast<const uint8_t*>(head.constData()) + kind.size());
    return length >= HeadSize && length <= MaxLength ? length : 0;
}

bool IsWholeFile(const QByteArray& file, const QByteArray& kind)
{
    return FileLength(file, kind) == uint32_t(file.size());
}

// Keeps a file the switch received, in memory and, with --store, in the folder.
void Keep(TSwitch& sw, const TOptions& options, const QByteArray& kind, const QByteArray& file)
{
    const bool firmware = kind == FirmwareKind;
    (firmware ? sw.transfers.firmware : sw.transfers.configuration) = file;
    if (options.storeDir.isEmpty())
        return;
    const QString name = MacText(sw.Mac()).remove(':') + (firmware ? "-firmware.bin" : "-configuration.bin");
    QFile out(QDir(options.storeDir).filePath(name));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
}

// The configuration a backup gets: the last one received, or one written from the
// running settings.
QByteArray ConfigurationOf(const TSwitch& sw)
{
    if (!sw.transfers.configuration.isEmpty())
        return sw.transfers.configuration;
    const TConfig& c = sw.running;
    QByteArray text;
    for (const auto& [key, value] : {std::pair<const char*, QByteArray>{"name", c.name},
                                     {"description", c.description},
                                     {"location", c.location},
                                     {"contact", c.contact},
                                     {"address", QHostAddress(c.address).toString().toLatin1()},
                                     {"netmask", QHostAddress(c.netmask).toString().toLatin1()},
                                     {"gateway", QHostAddress(c.gateway).toString().toLatin1()},
                                     {"dhcp", c.dhcp ? "on" : "off"}})
        text += key + ('=' + value) + '\n';
    return TransferFile(ConfigurationKind, text);
}

// A block of a firmware image or configuration. Block 0 starts a transfer and carries the
// file's length; the last block is answered "writing flash", and "done" follows on its own.
TReply ReceiveBlock(TSwitch& sw, const TRequest& rq)
{
    TTransfers& t = sw.transfers;
    const uint16_t block = Intp::ReadU16(rq.payload);
    const QByteArray data(reinterpret_cast<const char*>(rq.payload + 2), BlockSize);
    if (rq.nowMs < t.busyUntilMs)
        return State(block, StateBusy);
    if (block == 0) {
        if (rq.options->busyMs > 0 && !t.busyServed) {
            t.busyServed = true;
            t.busyUntilMs = rq.nowMs + rq.options->busyMs;
            if (rq.later)
                rq.later(StatePayload(0, StateAgain), rq.options->busyMs);
            return State(0, StateBusy);
        }
        t.length = FileLength(data, KindOf(rq.command));
        t.command = rq.command;
        t.incoming.clear();
        t.finishedBlock = -1;
        if (t.length == 0)
            return State(0, StateError);
    }
    if (t.command != rq.command || t.length == 0)
        return State(block, block == t.finishedBlock && t.command == rq.command ? StateDone : StateError);
    const qsizetype offset = qsizetype(block) * BlockSize;
    const uint32_t last = (t.length - 1) / BlockSize;
    if (block > last)
        return State(block, StateError);
    if (t.incoming.size() < offset + BlockSize)
        t.incoming.resize(offset + BlockSize, '\0');
    t.incoming.replace(offset, BlockSize, data);
    if (block < last)
        return State(block, StateNext);

    t.incoming.truncate(t.length);
    Keep(sw, *rq.options, KindOf(rq.command), t.incoming);
    t.incoming.clear();
    t.length = 0;
    t.finishedBlock = block;
    t.busyServed = false;
    if (rq.later)
        rq.later(StatePayload(block, StateDone), rq.options->flashDelayMs);
    return State(block, StateBusy);
}

// A block of the configuration; the last one is numbered 0xFFFF.
TReply SendBlock(TSwitch& sw, const TRequest& rq)
{
    const QByteArray file = ConfigurationOf(sw);
    const qsizetype blocks = std::max<qsizetype>(1, (file.size() + BlockSize - 1) / BlockSize);
    const qsizetype block = std::min<qsizetype>(Intp::ReadU16(rq.payload), blocks - 1);
    QByteArray data = file.mid(block * BlockSize, BlockSize);
    data.resize(BlockSize, '\0');
    return Written([&](TWriter& w) {
        w.U16(block == blocks - 1 ? LastBlock : uint16_t(block));
        w.Text(data, BlockSize);
    });
}

QByteArray RemoteState(uint32_t state)
{
    QByteArray payload;
    TWriter(payload).U32(state);
    return payload;
}

// One run of the tftp client for a switch; reports progress to whoever asked last.
class TTftpJob : public QObject {
public:
    static QHash<const TSwitch*, TTftpJob*>& Running()
    {
        static QHash<const TSwitch*, TTftpJob*> running;
        return running;
    }

    TTftpJob(TSwitch& sw, const TRequest& rq, uint32_t server, uint16_t port, const QByteArray& name)
        : QObject(QCoreApplication::instance()), m_Switch(sw), m_Options(*rq.options), m_Command(rq.command),
          m_Later(rq.later)
    {
        Running().insert(&sw, this);
        const QString local = m_Dir.filePath("file");
        QStringList args{"-m", "binary", QHostAddress(server).toString(), QString::number(port), "-c"};
        if (m_Command == TftpBackupCommand) {
            QFile out(local);
            if (!out.open(QIODevice::WriteOnly) || out.write(ConfigurationOf(sw)) < 0) {
                Finish(false);
                return;
            }
            args << "put" << local << QString::fromLatin1(name);
        } else {
            args << "get" << QString::fromLatin1(name) << local;
        }
        // The client reports failures only as text: no output means success.
        m_Process.setProcessChannelMode(QProcess::MergedChannels);
        connect(&m_Process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
            Finish(status == QProcess::NormalExit && code == 0 && m_Process.readAll().isEmpty());
        });
        connect(&m_Process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                Finish(false);
        });
        connect(&m_Progress, &QTimer::timeout, this, [this] { Report(StateNext); });
        m_Progress.start(TftpProgressMs);
        m_Process.start("tftp", args);
    }

    // A client still running at exit is killed without a report.
    ~TTftpJob() override { m_Process.disconnect(this); }

    void TakeOver(const TRequest& rq) { m_Later = rq.later; }

private:
    void Report(uint32_t state)
    {
        if (m_Later)
            m_Later(RemoteState(state), 0);
    }

    void Finish(bool ok)
    {
        m_Progress.stop();
        if (ok && m_Command != TftpBackupCommand) {
            QFile in(m_Dir.filePath("file"));
            const QByteArray file = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
            ok = IsWholeFile(file, KindOf(m_Command));
            if (ok)
                Keep(m_Switch, m_Options, KindOf(m_Command), file);
        }
        if (ok && m_Command != TftpBackupCommand && m_Options.flashDelayMs > 0) {
            // Like a switch, it writes the file to its flash before it is done.
            Report(StateBusy);
            QTimer::singleShot(m_Options.flashDelayMs, this, [this] { End(StateDone); });
            return;
        }
        End(ok ? StateDone : StateError);
    }

    void End(uint32_t state)
    {
        Report(state);
        Running().remove(&m_Switch);
        deleteLater();
    }

    TSwitch& m_Switch;
    const TOptions& m_Options;
    uint16_t m_Command;
    std::function<void(const QByteArray&, int)> m_Later;
    QTemporaryDir m_Dir;
    QProcess m_Process;
    QTimer m_Progress;
};

// Starts the tftp client; a switch already moving a file goes on with it and reports to
// the new requester.
TReply Tftp(TSwitch& sw, const TRequest& rq)
{
    const uint32_t server = ReadU32(rq.payload);
    const uint16_t port = Intp::ReadU16(rq.payload + 4);
    const QByteArray name = ReadText(rq.payload + 6, TftpNameWidth);
    if (TTftpJob* job = TTftpJob::Running().value(&sw))
        job->TakeOver(rq);
    else if (server == 0 || port == 0 || name.isEmpty())
        return {0, RemoteState(StateError), 0};
    else
        new TTftpJob(sw, rq, server, port, name);
    return {0, RemoteState(StateNext), 0};
}

} // namespace

void AddTransferCommands(TCommandTable& table)
{
    table[FirmwareCommand] = {ReceiveBlock, 2 + BlockSize, 4};
    table[0x0101] = {SendBlock, 2, 2 + BlockSize};
    table[RestoreCommand] = {ReceiveBlock, 2 + BlockSize, 4};
    for (uint16_t command = TftpBackupCommand; command <= TftpUpgradeCommand; ++command)
        table[command] = {Tftp, 6 + TftpNameWidth, 4};
}

void AddTransferOptions(TOptionTable& table)
{
    table.about += "Transfers: firmware (256) and configuration (258) in 512-byte blocks are answered\n"
                   "state 0 block by block; the files must start with \"VZFW\" (firmware) or \"VZCF\"\n"
                   "(configuration) and their 32-bit length (state 4 otherwise). After the last block\n"
                   "the switch answers state 1 and, --flash-delay later, state 2 on its own. Backup (257)\n"
                   "serves the last configuration received, or one made from the running settings,\n"
                   "0xFFFF marking the last block. The remote transfers (265 to 267) run the tftp\n"
                   "client (tftp-hpa) against the server and port named in the request and report\n"
                   "state 0 every 5 s while it runs, then 2, or 4 when it failed.\n";
    table.entries += {
        Milliseconds({"busy",
                      "A built-in firmware or configuration transfer (256, 258) is first answered "
                      "with state 1 (writing flash) for this long, then asked for its first block again.",
                      "ms", "0"},
                     &TOptions::busyMs),
        {{"store",
          "Write each firmware image and configuration a switch receives to this folder as "
          "MAC-firmware.bin and MAC-configuration.bin (MAC as 12 hex digits).",
          "dir"},
         [](const QCommandLineParser& p, TOptions& o) -> QString {
             o.storeDir = p.value("store");
             return {};
         }},
    };
}

} // namespace Sim
