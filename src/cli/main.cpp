// zode-cli: the console's engine from a shell. Finds switches, reads and writes their
// records, and runs operations on many at once. Data on stdout, messages on stderr; exit
// status 0 when every switch succeeded, 1 when some failed, 2 for a usage error.
#include "CliEngine.h"
#include "CliRecords.h"
#include "Fleet.h"

#include "Version.h"
#include "net/AddressText.h"
#include "net/CommandLine.h"
#include "net/RecordText.h"
#include "net/ValueTexts.h"
#include "core/AddressRules.h"
#include "core/DeviceType.h"
#include "core/NetQueries.h"
#include "core/Basics.h"
#include "core/IntpCore.h"
#include "core/Transfer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr int ExitOk = 0, ExitFailed = 1, ExitUsage = 2;
// plan: the file and the switches differ.
constexpr int ExitChanges = 3;

const char* const Usage =
    "Usage: zode-cli COMMAND [OPTIONS] [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  discover                       find the switches and list them\n"
    "  records                        the records get and set know, with their fields\n"
    "  get SWITCHES RECORD            read a record from each switch\n"
    "  set SWITCHES RECORD F=V...     change fields of a record, then read it back\n"
    "  login SWITCHES                 check that the credentials work\n"
    "  logout SWITCHES                end this workstation's login\n"
    "  reboot | save | default SWITCHES\n"
    "                                 restart, save the settings to flash, factory defaults\n"
    "  upgrade SWITCHES --image FILE  send a firmware image\n"
    "  backup SWITCHES --dir DIR      fetch each configuration into DIR/<MAC>.cfg\n"
    "  restore SWITCHES --file FILE   send a configuration file\n"
    "  export SWITCHES                print the switches' settings as a fleet file (YAML)\n"
    "  plan FILE                      show what applying the fleet file would change\n"
    "  apply FILE [--save]            make the switches what the fleet file says\n"
    "  schema                         the JSON Schema of fleet files\n"
    "\n"
    "SWITCHES is a comma-separated list of MAC or IPv4 addresses, or all. The password comes\n"
    "from --password-file, from ZODE_PASSWORD or is asked for without echo; it is never\n"
    "taken from the command line. \"zode-cli COMMAND --help\" tells more.\n"
    "\n"
    "Exit status: 0 done (plan: no change), 1 some switch failed, 2 a usage or file error\n"
    "with nothing sent, 3 plan: changes pending.\n";

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err()
{
    static QTextStream err(stderr);
    return err;
}

int UsageError(const QString& message)
{
    Err() << "zode-cli: " << message << "\n" << "Try \"zode-cli --help\".\n";
    Err().flush();
    return ExitUsage;
}

QString MacText(TDevice* d) { return MacText(d->Mac()); }
QString IpText(TDevice* d) { return AddressText(d->Address()); }

// The options every command takes, and those of some.
struct TOptions {
    QCommandLineParser Parser;
    QCommandLineOption Target{"target", "Discover at ADDRESS/MASK (repeatable; default: every local subnet).",
                              "ADDRESS/MASK"};
    QCommandLineOption Wait{"wait", "Milliseconds to wait for discovery answers (default 2000).", "MS", "2000"};
    QCommandLineOption User{"user", "User name to log in with (default admin).", "NAME", "admin"};
    QCommandLineOption PasswordFile{"password-file", "Read the password from the first line of FILE.", "FILE"};
    QCommandLineOption Json{"json", "One JSON object a line."};
    QCommandLineOption Image{"image", "The firmware image to send.", "FILE"};
    QCommandLineOption Dir{"dir", "Folder for the configuration files.", "DIR"};
    QCommandLineOption File{"file", "The configuration file to send.", "FILE"};
    QCommandLineOption KeepIp{"keep-ip", "default: keep the network settings."};
    QCommandLineOption KeepUser{"keep-user", "default: keep the user name and password."};
    QCommandLineOption NoReboot{"no-reboot", "default: do not restart afterwards."};
    QCommandLineOption Save{"save", "apply: save the settings to flash on each switch that took its changes."};
    QCommandLineOption PlanJson{"json", "One JSON document: every switch's changes and a summary."};
};

// Reads a password from the terminal without echo.
bool AskPassword(std::string& password)
{
    if (!isatty(STDIN_FILENO))
        return false;
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    termios old{};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const bool ok = bool(std::getline(std::cin, password));
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
    std::fputs("\n", stderr);
    return ok;
}

// The user name and password as the login dialog would send them; 0, or the exit status
// of a usage error.
int GetCredentials(const TOptions& o, std::string& user, std::string& password)
{
    QString text, source;
    if (o.Parser.isSet(o.PasswordFile)) {
        QFile file(o.Parser.value(o.PasswordFile));
        if (!file.open(QIODevice::ReadOnly))
            return UsageError(QStringLiteral("cannot read the password file %1: %2").arg(file.fileName(), file.errorString()));
        text = PasswordFileText(file.readLine());
        source = QStringLiteral("the password in ") + file.fileName();
    } else if (qEnvironmentVariableIsSet("ZODE_PASSWORD")) {
        text = qEnvironmentVariable("ZODE_PASSWORD");
        source = QStringLiteral("the password in ZODE_PASSWORD");
    } else {
        std::string typed;
        if (!AskPassword(typed))
            return UsageError(QStringLiteral("no password: use --password-file FILE or ZODE_PASSWORD"));
        text = QString::fromLocal8Bit(typed);
        source = QStringLiteral("the password typed");
    }
    QString error;
    const auto name = CredentialFromText(o.Parser.value(o.User), QStringLiteral("the user name"), error);
    const auto secret = name ? CredentialFromText(text, source, error) : std::nullopt;
    if (!secret)
        return UsageError(error);
    user = *name;
    password = *secret;
    return 0;
}

std::vector<TIpMask> Targets(const TOptions& o, QString& error)
{
    return TargetsFromTexts(o.Parser.values(o.Target), error);
}

// One switch of SWITCHES: by MAC, or else by address.
struct TSwitchName {
    QString Text;
    bool ByMac = false;
    TMacAddr Mac;
    uint32_t Address = 0;
};

// SWITCHES: "all" (no names), or MACs and IPv4 host addresses separated by commas, each
// item whole; false for anything else (an empty item, two addresses in one).
bool ParseSwitchList(const QString& text, std::vector<TSwitchName>& names)
{
    names.clear();
    if (text == QLatin1String("all"))
        return true;
    for (const QString& item : text.split(QLatin1Char(','))) {
        TSwitchName name;
        name.Text = item;
        name.ByMac = ParseSwitchMac(item, name.Mac);
        name.Address = name.ByMac ? 0 : AddressOf(item);
        if (!name.ByMac && !IsValidHostAddress(name.Address))
            return false;
        names.push_back(name);
    }
    return true;
}

// The switches named (every one with no names), from those discovery found; names no
// switch answered for are failures.
std::vector<TDevice*> Resolve(const std::vector<TSwitchName>& names, QStringList& missing)
{
    std::vector<TDevice*> devices;
    if (names.empty()) {
        Registry::ForEach([&](TDevice& d) { devices.push_back(&d); });
        return devices;
    }
    for (const TSwitchName& name : names) {
        TDevice* d = name.ByMac ? Registry::Find(name.Mac, false) : Registry::FindByAddress(name.Address);
        if (d && std::find(devices.begin(), devices.end(), d) == devices.end())
            devices.push_back(d);
        else if (!d)
            missing << name.Text;
    }
    return devices;
}

int SwitchListError(const QString& text)
{
    return UsageError(QStringLiteral("bad switch list \"%1\": give MAC or IPv4 addresses separated by commas, or all")
                          .arg(text));
}

// Counts failures and names each switch that failed on stderr.
class TOutcome {
public:
    void Fail(const QString& who, const QString& why)
    {
        Err() << "zode-cli: " << who << ": " << why << "\n";
        ++m_Failed;
    }
    void Fail(TDevice* d, const QString& why) { Fail(MacText(d) + " (" + IpText(d) + ")", why); }
    int Status() const
    {
        Err().flush();
        return m_Failed ? ExitFailed : ExitOk;
    }

private:
    int m_Failed = 0;
};

// A line per switch on a terminal, redrawn as blocks go: "MAC [#####.....] 40%".
class TProgressBar {
public:
    explicit TProgressBar(const std::vector<TDevice*>& devices, qint64 blocks)
        : m_On(isatty(STDOUT_FILENO)), m_Devices(devices), m_Blocks(std::max<qint64>(1, blocks))
    {
        m_Done.resize(devices.size(), 0);
    }
    void Update(TDevice* device, qint64 done)
    {
        const auto it = std::find(m_Devices.begin(), m_Devices.end(), device);
        if (!m_On || it == m_Devices.end())
            return;
        m_Done[std::size_t(it - m_Devices.begin())] = std::min(done, m_Blocks);
        qint64 total = 0;
        for (qint64 d : m_Done)
            total += d;
        const int percent = int(100 * total / (m_Blocks * qint64(m_Done.size())));
        const int filled = percent * 40 / 100;
        Out() << "\r[" << QString(filled, QLatin1Char('#')) << QString(40 - filled, QLatin1Char('.')) << "] "
              << percent << "% of " << m_Devices.size() << " switch(es)";
        Out().flush();
    }
    void Finish()
    {
        if (m_On) {
            Out() << "\n";
            Out().flush();
        }
    }

private:
    bool m_On;
    std::vector<TDevice*> m_Devices;
    qint64 m_Blocks;
    std::vector<qint64> m_Done;
};

bool IsTextField(const TCliRecord& record, const QString& field)
{
    const TCliField* f = FindCliField(record, field);
    return f && f->Text;
}

// A value as plan and apply print it: a secret's only as such.
QString Shown(const QString& record, const QString& field, const QString& value)
{
    return IsSecretField(record, field) ? QStringLiteral("(secret)") : value;
}

void PrintValues(TDevice* d, const QString& record, const TCliValues& values, bool json)
{
    if (json) {
        QJsonObject fields;
        for (const auto& [name, value] : values)
            fields.insert(name, Shown(record, name, value));
        QJsonObject line{{"mac", MacText(d)}, {"ip", IpText(d)}, {"record", record}, {"values", fields}};
        Out() << QJsonDocument(line).toJson(QJsonDocument::Compact) << "\n";
        return;
    }
    Out() << MacText(d) << "  " << IpText(d) << "\n";
    for (const auto& [name, value] : values)
        Out() << "  " << name << ": " << Shown(record, name, value) << "\n";
}

int Discover(TCliEngine& engine, const TOptions& o)
{
    QString error;
    const std::vector<TIpMask> targets = Targets(o, error);
    if (!error.isEmpty())
        return UsageError(error);
    bool ok = false;
    const int wait = o.Parser.value(o.Wait).toInt(&ok);
    if (!ok || wait < 0 || wait > 600000)
        return UsageError(QStringLiteral("--wait takes milliseconds from 0 to 600000"));
    engine.Discover(targets, wait);
    return 0;
}

int CommandDiscover(TCliEngine& engine, const TOptions& o)
{
    if (int status = Discover(engine, o))
        return status;
    const bool json = o.Parser.isSet(o.Json);
    std::vector<TDevice*> devices;
    Registry::ForEach([&](TDevice& d) { devices.push_back(&d); });
    std::sort(devices.begin(), devices.end(), [](TDevice* a, TDevice* b) { return a->Address() < b->Address(); });
    if (!json && !devices.empty())
        Out() << QStringLiteral("%1 %2 %3 %4 %5\n")
                     .arg("MAC", -17)
                     .arg("IP", -15)
                     .arg("MODEL", -36)
                     .arg("NAME", -20)
                     .arg("KERNEL/FIRMWARE");
    for (TDevice* d : devices) {
        const auto& settings = Intp::GetProperty<Intp::TPropertyBasicsSettings>(*d);
        const QString model = d->Type() ? QString::fromStdString(d->TypeDescription()) : QStringLiteral("unknown");
        const QString kernel = settings.Valid ? VersionNumberText(settings.KernelVersion) : QString();
        const QString firmware = settings.Valid ? VersionNumberText(settings.FirmwareVersion) : QString();
        if (json) {
            QJsonObject line{{"mac", MacText(d)},         {"ip", IpText(d)},       {"model", model},
                             {"name", QString::fromStdString(d->Name())}, {"kernel", kernel}, {"firmware", firmware}};
            Out() << QJsonDocument(line).toJson(QJsonDocument::Compact) << "\n";
        } else {
            Out() << QStringLiteral("%1 %2 %3 %4 %5/%6\n")
                         .arg(MacText(d), -17)
                         .arg(IpText(d), -15)
                         .arg(model, -36)
                         .arg(QString::fromStdString(d->Name()), -20)
                         .arg(kernel, firmware);
        }
    }
    return ExitOk;
}

int CommandRecords()
{
    for (const TCliRecord& record : CliRecords()) {
        Out() << record.Name << "  " << record.Help << "\n";
        for (const TCliField& field : record.Fields)
            Out() << "  " << field.Name << (field.Writable ? "" : " (read only)")
                  << (field.Help.isEmpty() ? QString() : "  " + field.Help) << "\n";
    }
    return ExitOk;
}

// Discovers, finds the named switches and logs in to each; the switches that are ready.
int Prepare(TCliEngine& engine, const TOptions& o, const std::vector<TSwitchName>& names, bool login,
            TOutcome& outcome, std::vector<TDevice*>& ready)
{
    std::string user, password;
    if (login)
        if (int status = GetCredentials(o, user, password))
            return status;
    if (int status = Discover(engine, o))
        return status;
    QStringList missing;
    std::vector<TDevice*> devices = Resolve(names, missing);
    for (const QString& name : missing)
        outcome.Fail(name, QStringLiteral("no such switch answered the discovery"));
    if (!login) {
        ready = devices;
        return 0;
    }
    engine.ForgetResults();
    engine.RunWithRetries(devices, 2, [&](TDevice* d) { return Intp::StartNew<Intp::TSessionIntpLogin>(d, &engine, user, password); });
    for (TDevice* d : devices) {
        if (engine.Result(d, 2) == Intp::stSuccess)
            ready.push_back(d);
        else
            outcome.Fail(d, QStringLiteral("login failed: ") + FailureText(engine.Result(d, 2)));
    }
    return 0;
}

// Reads the record from every switch, asking again (twice at most) those whose answer was
// lost; the switches that answered every Get.
std::vector<TDevice*> ReadRecord(TCliEngine& engine, const TCliRecord& record, const std::vector<TDevice*>& devices,
                                 TOutcome& outcome)
{
    std::vector<TDevice*> due = devices, read;
    for (int attempt = 0; attempt < 3 && !due.empty(); ++attempt) {
        engine.ForgetResults();
        for (TDevice* d : due)
            record.StartGet(d, &engine);
        engine.WaitIdle();
        std::vector<TDevice*> again;
        for (TDevice* d : due) {
            TCliValues values;
            if (engine.AllSucceeded(d) && record.Values(*d, values))
                read.push_back(d);
            else if (engine.LastResult(d) == Intp::stTimeout && attempt < 2)
                again.push_back(d);
            else
                outcome.Fail(d, QStringLiteral("cannot read %1: %2").arg(record.Name, FailureText(engine.LastResult(d))));
        }
        due = again;
    }
    return read;
}

int CommandGetSet(TCliEngine& engine, const TOptions& o, bool set)
{
    const QStringList args = o.Parser.positionalArguments();
    if (args.size() < 3 || (set && args.size() < 4))
        return UsageError(set ? QStringLiteral("set needs SWITCHES RECORD FIELD=VALUE...")
                              : QStringLiteral("get needs SWITCHES RECORD"));
    if (!set && args.size() > 3)
        return UsageError(QStringLiteral("get takes SWITCHES RECORD only"));
    std::vector<TSwitchName> names;
    if (!ParseSwitchList(args[1], names))
        return SwitchListError(args[1]);
    const TCliRecord* record = FindCliRecord(args[2]);
    if (!record)
        return UsageError(QStringLiteral("no record %1; \"zode-cli records\" lists them").arg(args[2]));
    QMap<QString, QString> changes;
    for (const QString& assignment : args.mid(3)) {
        const qsizetype eq = assignment.indexOf(QLatin1Char('='));
        const QString name = assignment.left(eq);
        const TCliField* field = FindCliField(*record, name);
        if (eq <= 0)
            return UsageError(QStringLiteral("%1: give FIELD=VALUE").arg(assignment));
        if (!field)
            return UsageError(QStringLiteral("%1 has no field %2").arg(record->Name, name));
        if (!field->Writable || !record->MakeSet)
            return UsageError(QStringLiteral("%1 %2 is read only").arg(record->Name, name));
        changes.insert(name, assignment.mid(eq + 1));
    }
    TOutcome outcome;
    std::vector<TDevice*> devices;
    if (int status = Prepare(engine, o, names, true, outcome, devices))
        return status;
    std::vector<TDevice*> done = ReadRecord(engine, *record, devices, outcome);
    if (set) {
        std::vector<std::pair<TDevice*, Intp::TSession*>> sets;
        for (TDevice* d : done) {
            QString error;
            Intp::TSession* session = record->MakeSet(*d, changes, error);
            if (!session) {
                for (auto& [device, s] : sets)
                    delete s;
                return UsageError(QStringLiteral("set %1: %2").arg(record->Name, error));
            }
            sets.emplace_back(d, session);
        }
        engine.ForgetResults();
        done.clear();
        for (auto& [d, session] : sets) {
            if (!Intp::Start(session, d, &engine)) {
                delete session;
                outcome.Fail(d, QStringLiteral("the values do not fit this switch"));
                continue;
            }
        }
        // Each Set reads the record again before it reports; the read-back is what is printed.
        engine.WaitIdle();
        for (auto& [d, session] : sets) {
            if (engine.LastResult(d) == 0xFFFF)
                continue;
            if (engine.LastResult(d) != Intp::stSuccess)
                outcome.Fail(d, QStringLiteral("set %1 failed: %2").arg(record->Name, FailureText(engine.LastResult(d))));
            else
                done.push_back(d);
        }
    }
    if (set)
        done = ReadRecord(engine, *record, done, outcome);
    for (TDevice* d : done) {
        TCliValues values;
        record->Values(*d, values);
        PrintValues(d, record->Name, values, o.Parser.isSet(o.Json));
    }
    Out().flush();
    return outcome.Status();
}

// Runs a session on every switch at once; make returns null when it cannot be made. A file
// transfer that ended in a time-out (a lost last answer, often the switch's report that
// its flash is written) is run once more for that switch: sending a file again is harmless.
template <typename Make>
int RunOnAll(TCliEngine& engine, const std::vector<TDevice*>& devices, uint16_t command, TOutcome& outcome, Make make)
{
    const bool transfer = command == 256 || command == 257 || command == 258;
    std::vector<TDevice*> due = devices;
    for (int attempt = 0; attempt < (transfer ? 2 : 1) && !due.empty(); ++attempt) {
        engine.ForgetResults();
        std::vector<TDevice*> started;
        for (TDevice* d : due) {
            QString error;
            Intp::TSession* session = make(d, error);
            if (session && Intp::Start(session, d, &engine)) {
                started.push_back(d);
                continue;
            }
            delete session;
            outcome.Fail(d, error.isEmpty() ? QStringLiteral("not sent") : error);
        }
        engine.WaitIdle(30 * 60 * 1000);
        due.clear();
        for (TDevice* d : started) {
            const uint16_t status = engine.Result(d, command);
            if (status == Intp::stTimeout && transfer && attempt == 0) {
                Err() << "zode-cli: " << MacText(d) << " (" << IpText(d) << "): no answer, sending again\n";
                due.push_back(d);
            } else if (status != Intp::stSuccess) {
                outcome.Fail(d, FailureText(status));
            } else if (transfer && engine.TransferState(d, command) != Intp::tsDone) {
                outcome.Fail(d, QStringLiteral("the switch refused the file"));
            } else {
                Out() << MacText(d) << "  " << IpText(d) << "  done\n";
            }
        }
        Out().flush();
    }
    return outcome.Status();
}

int CommandOperation(TCliEngine& engine, const TOptions& o, const QString& name)
{
    const QStringList args = o.Parser.positionalArguments();
    if (args.size() != 2)
        return UsageError(QStringLiteral("%1 needs SWITCHES").arg(name));
    std::vector<TSwitchName> names;
    if (!ParseSwitchList(args[1], names))
        return SwitchListError(args[1]);
    QString path;
    qint64 blocks = 1;
    if (name == QLatin1String("upgrade") || name == QLatin1String("restore")) {
        const QCommandLineOption& option = name == QLatin1String("upgrade") ? o.Image : o.File;
        if (!o.Parser.isSet(option))
            return UsageError(QStringLiteral("%1 needs --%2 FILE").arg(name, option.names().first()));
        path = o.Parser.value(option);
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable() || info.size() == 0)
            return UsageError(QStringLiteral("cannot read %1").arg(path));
        if (!Intp::FitsTransfer(std::uintmax_t(info.size())))
            return UsageError(QString::fromStdString(Intp::TransferTooLargeText(path.toStdString())));
        blocks = (info.size() + qint64(Intp::TransferBlockSize) - 1) / qint64(Intp::TransferBlockSize);
    } else if (name == QLatin1String("backup")) {
        if (!o.Parser.isSet(o.Dir))
            return UsageError(QStringLiteral("backup needs --dir DIR"));
        path = o.Parser.value(o.Dir);
        if (!QFileInfo(path).isDir() || !QFileInfo(path).isWritable())
            return UsageError(QStringLiteral("%1 is not a folder this program can write to").arg(path));
    }
    TOutcome outcome;
    std::vector<TDevice*> devices;
    if (int status = Prepare(engine, o, names, name != QLatin1String("logout"), outcome, devices))
        return status;
    TProgressBar bar(devices, blocks);
    engine.SetProgress([&](TDevice* d, uint16_t, uint16_t block, uint32_t state) {
        bar.Update(d, state == Intp::tsGoingOn ? qint64(block) + 1 : blocks);
    });
    int status = ExitOk;
    if (name == QLatin1String("login")) {
        for (TDevice* d : devices)
            Out() << MacText(d) << "  " << IpText(d) << "  logged in\n";
        status = outcome.Status();
    } else if (name == QLatin1String("logout")) {
        status = RunOnAll(engine, devices, 2, outcome, [](TDevice*, QString&) { return Intp::TSessionIntpLogin::Logout(); });
    } else if (name == QLatin1String("reboot")) {
        status = RunOnAll(engine, devices, 259, outcome, [](TDevice*, QString&) { return new Intp::TSessionBasicsReboot; });
    } else if (name == QLatin1String("save")) {
        status = RunOnAll(engine, devices, 264, outcome, [](TDevice*, QString&) { return new Intp::TSessionBasicsSave; });
    } else if (name == QLatin1String("default")) {
        const uint32_t flags = (o.Parser.isSet(o.KeepUser) ? Intp::TSessionBasicsDefault::KeepUser : 0) |
                               (o.Parser.isSet(o.KeepIp) ? Intp::TSessionBasicsDefault::KeepIp : 0);
        const bool reboot = !o.Parser.isSet(o.NoReboot);
        status = RunOnAll(engine, devices, 271, outcome,
                          [&](TDevice*, QString&) { return new Intp::TSessionBasicsDefault(flags, reboot); });
    } else if (name == QLatin1String("upgrade") || name == QLatin1String("restore")) {
        const bool upgrade = name == QLatin1String("upgrade");
        status = RunOnAll(engine, devices, upgrade ? 256 : 258, outcome, [&](TDevice*, QString& error) -> Intp::TSession* {
            error = QStringLiteral("cannot read ") + path;
            if (upgrade) {
                auto* session = new Intp::TSessionBasicsUpgradeBuildin;
                return session->OpenSourceFile(path.toStdString()) ? session : (delete session, nullptr);
            }
            auto* session = new Intp::TSessionBasicsRestoreBuildin;
            return session->OpenSourceFile(path.toStdString()) ? session : (delete session, nullptr);
        });
    } else {
        status = RunOnAll(engine, devices, 257, outcome, [&](TDevice* d, QString& error) -> Intp::TSession* {
            const QString file = QDir(path).filePath(MacDigits(d->Mac()) + QStringLiteral(".cfg"));
            error = QStringLiteral("cannot write ") + file;
            auto* session = new Intp::TSessionBasicsBackupBuildin;
            return session->OpenTargetFile(file.toStdString()) ? session : (delete session, nullptr);
        });
    }
    bar.Finish();
    return status;
}

// The records a fleet file can hold: those with writable fields, in zode-cli's order.
std::vector<const TCliRecord*> FleetRecords()
{
    std::vector<const TCliRecord*> records;
    for (const TCliRecord& record : CliRecords())
        if (record.MakeSet)
            records.push_back(&record);
    return records;
}

QString FieldValue(const TCliValues& values, const QString& field)
{
    for (const auto& [name, value] : values)
        if (name == field)
            return value;
    return {};
}

QString Who(TDevice* d) { return MacText(d) + " (" + IpText(d) + ")"; }

int CommandExport(TCliEngine& engine, const TOptions& o)
{
    const QStringList args = o.Parser.positionalArguments();
    if (args.size() != 2)
        return UsageError(QStringLiteral("export needs SWITCHES"));
    std::vector<TSwitchName> names;
    if (!ParseSwitchList(args[1], names))
        return SwitchListError(args[1]);
    TOutcome outcome;
    std::vector<TDevice*> devices;
    if (int status = Prepare(engine, o, names, true, outcome, devices))
        return status;
    std::sort(devices.begin(), devices.end(), [](TDevice* a, TDevice* b) { return a->Mac() < b->Mac(); });
    std::map<TDevice*, TFleetExport> exports;
    for (TDevice* d : devices)
        exports[d].Facts = FactsOf(*d);
    for (const TCliRecord* record : FleetRecords()) {
        for (TDevice* d : ReadRecord(engine, *record, devices, outcome)) {
            TCliValues values, writable;
            record->Values(*d, values);
            for (const TCliField& field : record->Fields)
                if (field.Writable)
                    writable.append({field.Name, FieldValue(values, field.Name)});
            exports[d].Records.append({record->Name, writable});
        }
    }
    std::vector<TFleetExport> out;
    for (TDevice* d : devices)
        if (!exports[d].Records.isEmpty())
            out.push_back(exports[d]);
    Out() << QString::fromUtf8(ExportFleet(out, QDateTime::currentDateTimeUtc().toString(Qt::ISODate)));
    Out().flush();
    return outcome.Status();
}

struct TPlanned {
    TDevice* Device = nullptr;
    std::vector<TFleetChange> Changes;
};

QString Where(const TFleetFile& file, const TFleetValue& value)
{
    return QStringLiteral("%1:%2:%3").arg(file.Path).arg(value.Line).arg(value.Column);
}

int ReadFleetArgument(const TOptions& o, const QString& command, TFleetFile& file)
{
    const QStringList args = o.Parser.positionalArguments();
    if (args.size() != 2)
        return UsageError(QStringLiteral("%1 needs FILE").arg(command));
    QString error;
    if (!ReadFleetFile(args[1], file, error))
        return UsageError(error);
    return 0;
}

// Reads the fleet file the command names, then the switches the file names and what they
// hold of the records it sets; the differences per switch, each checked against the
// record's rules for that switch. A value the switch's record cannot take is a file error:
// nothing has been sent.
int MakePlan(TCliEngine& engine, const TOptions& o, const QString& command, TFleetFile& file, TOutcome& outcome,
             std::vector<TPlanned>& plan)
{
    if (int status = ReadFleetArgument(o, command, file))
        return status;
    std::vector<TSwitchName> names;
    for (const TFleetSwitch& entry : file.Switches)
        names.push_back({MacText(entry.Mac), true, entry.Mac, 0});
    std::vector<TDevice*> devices;
    if (int status = Prepare(engine, o, names, true, outcome, devices))
        return status;
    std::vector<TFleetFacts> facts;
    for (TDevice* d : devices)
        facts.push_back(FactsOf(*d));
    if (const int group = UnmatchedGroup(file, facts); group >= 0 && !devices.empty())
        return UsageError(QStringLiteral("%1:%2:%3: the group matches none of the file's switches")
                              .arg(file.Path)
                              .arg(file.Groups[std::size_t(group)].Line)
                              .arg(file.Groups[std::size_t(group)].Column));
    std::map<TDevice*, TFleetSettings> wanted;
    for (TDevice* d : devices) {
        const auto entry = std::find_if(file.Switches.begin(), file.Switches.end(),
                                        [&](const TFleetSwitch& s) { return s.Mac == d->Mac(); });
        wanted[d] = WantedSettings(file, *entry, FactsOf(*d));
    }
    std::set<TDevice*> unread;
    std::map<TDevice*, std::vector<TFleetChange>> changes;
    for (const TCliRecord* record : FleetRecords()) {
        std::vector<TDevice*> due;
        for (TDevice* d : devices)
            if (wanted[d].contains(record->Name) && !unread.count(d))
                due.push_back(d);
        const std::vector<TDevice*> read = ReadRecord(engine, *record, due, outcome);
        for (TDevice* d : due) {
            if (std::find(read.begin(), read.end(), d) == read.end()) {
                unread.insert(d);
                continue;
            }
            TCliValues values;
            record->Values(*d, values);
            const auto& fields = wanted[d][record->Name];
            QMap<QString, QString> set;
            for (auto field = fields.begin(); field != fields.end(); ++field) {
                const QString current = FieldValue(values, field.key());
                const bool same = IsTextField(*record, field.key()) ? current == field->Text
                                                                    : SameValue(current, field->Text);
                if (!same) {
                    changes[d].push_back({record->Name, field.key(), current, field.value()});
                    set.insert(field.key(), field->Text);
                }
            }
            if (set.isEmpty())
                continue;
            QString error;
            std::unique_ptr<Intp::TSession> session(record->MakeSet(*d, set, error));
            if (!session) {
                // The message starts with the field it is about.
                const auto it = std::find_if(set.keyBegin(), set.keyEnd(),
                                             [&](const QString& f) { return error.startsWith(f + ' '); });
                const TFleetValue& value = fields[it != set.keyEnd() ? *it : set.firstKey()];
                return UsageError(QStringLiteral("%1: %2 on %3: %4.%5")
                                      .arg(Where(file, value), record->Name, Who(d), record->Name, error));
            }
        }
    }
    for (TDevice* d : devices)
        if (!unread.count(d))
            plan.push_back({d, changes[d]});
    return 0;
}

void PrintPlan(const std::vector<TPlanned>& plan, const TFleetFile& file, bool json)
{
    std::size_t total = 0, changed = 0;
    for (const TPlanned& p : plan) {
        total += p.Changes.size();
        changed += p.Changes.empty() ? 0 : 1;
    }
    if (json) {
        QJsonArray switches;
        for (const TPlanned& p : plan) {
            QJsonArray list;
            for (const TFleetChange& c : p.Changes)
                list.append(QJsonObject{{"record", c.Record},
                                        {"field", c.Field},
                                        {"current", Shown(c.Record, c.Field, c.Current)},
                                        {"wanted", Shown(c.Record, c.Field, c.Wanted.Text)},
                                        {"line", c.Wanted.Line},
                                        {"column", c.Wanted.Column}});
            switches.append(QJsonObject{{"mac", MacText(p.Device)},
                                        {"ip", IpText(p.Device)},
                                        {"name", RecordText(p.Device->Name())},
                                        {"changes", list}});
        }
        const QJsonObject summary{{"switches", int(plan.size())}, {"changed", int(changed)}, {"changes", int(total)}};
        Out() << QJsonDocument(QJsonObject{{"file", file.Path}, {"switches", switches}, {"summary", summary}})
                     .toJson(QJsonDocument::Indented);
    } else {
        for (const TPlanned& p : plan) {
            if (p.Changes.empty())
                continue;
            Out() << Who(p.Device) << " " << RecordText(p.Device->Name()) << ": " << p.Changes.size()
                  << (p.Changes.size() == 1 ? " change\n" : " changes\n");
            for (const TFleetChange& c : p.Changes)
                Out() << "  " << c.Record << "." << c.Field << ": " << Shown(c.Record, c.Field, c.Current) << " → "
                      << Shown(c.Record, c.Field, c.Wanted.Text) << "\n";
        }
        Out() << QStringLiteral("Plan: %1 %2 on %3 of %4 switches.\n")
                     .arg(total)
                     .arg(total == 1 ? "change" : "changes")
                     .arg(changed)
                     .arg(plan.size());
    }
    Out().flush();
}

int CommandPlan(TCliEngine& engine, const TOptions& o)
{
    TFleetFile file;
    TOutcome outcome;
    std::vector<TPlanned> plan;
    if (int status = MakePlan(engine, o, QStringLiteral("plan"), file, outcome, plan))
        return status;
    PrintPlan(plan, file, o.Parser.isSet(o.PlanJson));
    const bool pending = std::any_of(plan.begin(), plan.end(), [](const TPlanned& p) { return !p.Changes.empty(); });
    const int status = outcome.Status();
    return status != ExitOk ? status : pending ? ExitChanges : ExitOk;
}

// The plan, then per record the Sets to every switch that needs one at once, each read back;
// a switch that fails a Set or reads back otherwise is named and gets no further Sets.
int CommandApply(TCliEngine& engine, const TOptions& o)
{
    TFleetFile file;
    TOutcome outcome;
    std::vector<TPlanned> plan;
    if (int status = MakePlan(engine, o, QStringLiteral("apply"), file, outcome, plan))
        return status;
    PrintPlan(plan, file, false);
    std::set<TDevice*> failed;
    for (const TCliRecord* record : FleetRecords()) {
        std::map<TDevice*, QMap<QString, QString>> sets;
        for (const TPlanned& p : plan)
            for (const TFleetChange& c : p.Changes)
                if (c.Record == record->Name && !failed.count(p.Device))
                    sets[p.Device].insert(c.Field, c.Wanted.Text);
        if (sets.empty())
            continue;
        engine.ForgetResults();
        std::vector<TDevice*> sent;
        for (auto& [d, changes] : sets) {
            QString error;
            Intp::TSession* session = record->MakeSet(*d, changes, error);
            if (session && Intp::Start(session, d, &engine)) {
                sent.push_back(d);
                continue;
            }
            delete session;
            failed.insert(d);
            outcome.Fail(d, QStringLiteral("set %1 not sent: %2").arg(record->Name, error.isEmpty() ? "the values do not fit this switch" : error));
        }
        engine.WaitIdle();
        std::vector<TDevice*> took;
        for (TDevice* d : sent) {
            if (engine.LastResult(d) == Intp::stSuccess) {
                took.push_back(d);
            } else {
                failed.insert(d);
                outcome.Fail(d, QStringLiteral("set %1 failed: %2").arg(record->Name, FailureText(engine.LastResult(d))));
            }
        }
        const std::vector<TDevice*> read = ReadRecord(engine, *record, took, outcome);
        for (TDevice* d : took) {
            if (std::find(read.begin(), read.end(), d) == read.end()) {
                failed.insert(d);
                continue;
            }
            TCliValues values;
            record->Values(*d, values);
            for (auto it = sets[d].begin(); it != sets[d].end(); ++it) {
                const QString now = FieldValue(values, it.key());
                if (!(IsTextField(*record, it.key()) ? now == it.value() : SameValue(now, it.value()))) {
                    failed.insert(d);
                    outcome.Fail(d, QStringLiteral("%1.%2 reads back %3, not %4")
                                        .arg(record->Name, it.key(), Shown(record->Name, it.key(), now),
                                             Shown(record->Name, it.key(), it.value())));
                    break;
                }
            }
        }
    }
    std::vector<TDevice*> applied;
    for (const TPlanned& p : plan) {
        if (failed.count(p.Device))
            continue;
        Out() << Who(p.Device) << "  "
              << (p.Changes.empty() ? QStringLiteral("no change") : QStringLiteral("%1 applied").arg(p.Changes.size()))
              << "\n";
        if (!p.Changes.empty())
            applied.push_back(p.Device);
    }
    Out().flush();
    if (o.Parser.isSet(o.Save) && !applied.empty())
        RunOnAll(engine, applied, 264, outcome, [](TDevice*, QString&) { return new Intp::TSessionBasicsSave; });
    return outcome.Status();
}

struct TCommandHelp {
    const char* Name;
    const char* Arguments;
    const char* Text;
};

const TCommandHelp Commands[] = {
    {"discover", "", "Finds the switches by broadcast and lists MAC, IP, model, name and versions."},
    {"records", "", "Lists the records get and set know, with their fields."},
    {"get", "SWITCHES RECORD", "Reads the record from each switch."},
    {"set", "SWITCHES RECORD FIELD=VALUE...",
     "Changes the fields on each switch (the other fields keep their values), then prints what the switch "
     "reports back."},
    {"login", "SWITCHES", "Logs in to each switch: checks the credentials."},
    {"logout", "SWITCHES", "Ends this workstation's login on each switch."},
    {"reboot", "SWITCHES", "Restarts each switch."},
    {"save", "SWITCHES", "Saves each switch's running settings to its flash."},
    {"default", "SWITCHES", "Returns each switch to its factory settings and restarts it."},
    {"upgrade", "SWITCHES --image FILE", "Sends the firmware image to every switch at once."},
    {"backup", "SWITCHES --dir DIR", "Fetches each switch's configuration into DIR/<MAC>.cfg."},
    {"restore", "SWITCHES --file FILE", "Sends the configuration file to every switch."},
    {"export", "SWITCHES", "Prints the settings of each switch as a fleet file (YAML) for plan and apply."},
    {"plan", "FILE", "Reads the switches the fleet file names and prints what apply would change. Exit status 0: "
                     "no change, 3: changes pending, 1: some switch could not be read, 2: the file is wrong."},
    {"schema", "", "Prints the JSON Schema of fleet files."},
    {"apply", "FILE", "Changes on each switch the fleet file names what differs from the file, reads every "
                      "change back and prints a line per switch."},
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zode-cli"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3 (build %4)").arg(ZODE_VERSION_MAJOR).arg(ZODE_VERSION_MINOR).arg(ZODE_VERSION_PATCH).arg(ZODE_BUILD_NUMBER));
    const QStringList arguments = app.arguments();
    const QString command = arguments.value(1);
    if (command.isEmpty() || command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(Usage, command.isEmpty() ? stderr : stdout);
        return command.isEmpty() ? ExitUsage : ExitOk;
    }
    if (command == QLatin1String("--version")) {
        Out() << "zode-cli " << QCoreApplication::applicationVersion() << "\n";
        return ExitOk;
    }
    const auto help = std::find_if(std::begin(Commands), std::end(Commands),
                                   [&](const TCommandHelp& c) { return command == QLatin1String(c.Name); });
    if (help == std::end(Commands))
        return UsageError(QStringLiteral("unknown command %1").arg(command));

    for (const QString& argument : arguments)
        if (argument == QLatin1String("--password") || argument.startsWith(QLatin1String("--password=")))
            return UsageError(QStringLiteral("the password is never taken from the command line: use "
                                             "--password-file FILE, ZODE_PASSWORD or the prompt"));
    TOptions o;
    QCommandLineParser& p = o.Parser;
    p.setApplicationDescription(QString::fromLatin1(help->Text));
    p.addHelpOption();
    if (command != QLatin1String("records") && command != QLatin1String("schema")) {
        p.addOptions({o.Target, o.Wait});
        if (command != QLatin1String("discover") && command != QLatin1String("logout"))
            p.addOptions({o.User, o.PasswordFile});
    }
    if (command == QLatin1String("discover") || command == QLatin1String("get") || command == QLatin1String("set"))
        p.addOption(o.Json);
    if (command == QLatin1String("plan"))
        p.addOption(o.PlanJson);
    if (command == QLatin1String("apply"))
        p.addOption(o.Save);
    if (command == QLatin1String("upgrade"))
        p.addOption(o.Image);
    if (command == QLatin1String("backup"))
        p.addOption(o.Dir);
    if (command == QLatin1String("restore"))
        p.addOption(o.File);
    if (command == QLatin1String("default"))
        p.addOptions({o.KeepIp, o.KeepUser, o.NoReboot});
    QStringList parsed = arguments;
    if (!p.parse(parsed))
        return UsageError(p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        // Qt's first line names the program by its path and knows no subcommands.
        const QString text = p.helpText();
        Out() << "Usage: zode-cli " << command << " " << help->Arguments << (*help->Arguments ? " " : "")
              << "[options]\n" << text.mid(text.indexOf(QLatin1Char('\n')) + 1);
        if (command == QLatin1String("get") || command == QLatin1String("set"))
            Out() << "\nRecords and fields: zode-cli records\n";
        return ExitOk;
    }

    Intp::RegisterKnownModels();
    if (command == QLatin1String("records"))
        return p.positionalArguments().size() == 1 ? CommandRecords() : UsageError(QStringLiteral("records takes no arguments"));
    if (command == QLatin1String("schema")) {
        if (p.positionalArguments().size() != 1)
            return UsageError(QStringLiteral("schema takes no arguments"));
        Out() << QString::fromUtf8(FleetSchema());
        return ExitOk;
    }
    TCliEngine engine;
    if (command == QLatin1String("discover"))
        return p.positionalArguments().size() == 1 ? CommandDiscover(engine, o)
                                                   : UsageError(QStringLiteral("discover takes no arguments"));
    if (command == QLatin1String("get") || command == QLatin1String("set"))
        return CommandGetSet(engine, o, command == QLatin1String("set"));
    if (command == QLatin1String("export"))
        return CommandExport(engine, o);
    if (command == QLatin1String("plan"))
        return CommandPlan(engine, o);
    if (command == QLatin1String("apply"))
        return CommandApply(engine, o);
    return CommandOperation(engine, o, command);
}
