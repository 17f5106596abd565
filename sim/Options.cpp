#include "Options.h"
#include "OptionTable.h"

#include <algorithm>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace Sim {

namespace {

const char* const DefaultModels = "KX40-TX,KX40-SS,KX40-MM,KX40-GT,KX40-GS,KX40-GM";

// "ADDRESS/PREFIX:COUNT[@GATEWAY]"
bool ParseGroup(const QString& text, TGroup& g)
{
    QString rest = text;
    const int at = rest.indexOf('@');
    if (at >= 0) {
        if (!ToIpv4(rest.mid(at + 1), g.gateway))
            return false;
        rest.truncate(at);
    }
    const int slash = rest.indexOf('/');
    const int colon = rest.indexOf(':');
    uint32_t prefix = 0, count = 0;
    if (slash < 0 || colon < slash || !ToIpv4(rest.left(slash), g.first) ||
        !ToUInt(rest.mid(slash + 1, colon - slash - 1), prefix) || !ToUInt(rest.mid(colon + 1), count))
        return false;
    g.prefix = int(prefix);
    g.count = int(std::min<uint32_t>(count, 65537)); // more than a group may hold either way
    return prefix >= 8 && prefix <= 30 && count >= 1;
}

// Two groups may not give one address to two switches.
QString OverlappingGroups(QList<TGroup> groups)
{
    std::sort(groups.begin(), groups.end(), [](const TGroup& a, const TGroup& b) { return a.first < b.first; });
    for (qsizetype i = 1; i < groups.size(); ++i) {
        const TGroup& low = groups[i - 1];
        if (uint64_t(low.first) + uint64_t(low.count) > groups[i].first)
            return QString("--group ranges overlap: the groups from %1 and from %2 both hold %2")
                .arg(QHostAddress(low.first).toString(), QHostAddress(groups[i].first).toString());
    }
    return {};
}

bool ParseMac(const QString& text, TMac& mac)
{
    const QStringList parts = text.split(QRegularExpression("[:-]"));
    if (parts.size() != 6)
        return false;
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok, 16);
        if (!ok || v > 0xFF || parts[i].size() > 2)
            return false;
        mac[std::size_t(i)] = uint8_t(v);
    }
    return true;
}

// "INDEX" or "INDEX=VALUE"; value stays as given when absent.
bool ParseIndexed(const QString& text, int& index, uint32_t& value, bool valueRequired)
{
    const int eq = text.indexOf('=');
    uint32_t i = 0;
    if (!ToUInt(eq < 0 ? text : text.left(eq), i) || i > 1000000)
        return false;
    index = int(i);
    if (eq < 0)
        return !valueRequired;
    return ToUInt(text.mid(eq + 1), value);
}

bool ParseRate(const QString& text, double& out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && out >= 0 && out <= 1;
}

// Flags and texts, read as they stand.
TOptionReader SetFlag(bool TOptions::*out, const char* name)
{
    return [out, name](const QCommandLineParser& p, TOptions& o) -> QString {
        o.*out = p.isSet(name);
        return {};
    };
}

TOptionReader Text(QByteArray TOptions::*out, const char* name)
{
    return [out, name](const QCommandLineParser& p, TOptions& o) -> QString {
        o.*out = p.value(name).toLatin1();
        return {};
    };
}

// A probability from 0 to 1.
TOptionEntry Rate(const QCommandLineOption& option, double TOptions::*out)
{
    const QString name = option.names().constFirst();
    const TOptionReader read = [out, name](const QCommandLineParser& p, TOptions& o) -> QString {
        return ParseRate(p.value(name), o.*out) ? QString() : QString("bad --%1 (0..1)").arg(name);
    };
    return {option, read};
}

// The switches' addresses: groups, or --count switches from --address in one subnet.
QString ReadLayout(const QCommandLineParser& p, TOptions& o)
{
    if (p.isSet("group")) {
        for (const QString& text : p.values("group")) {
            TGroup g;
            if (!ParseGroup(text, g))
                return "bad --group " + text;
            o.groups.append(g);
        }
    } else {
        TGroup g;
        uint32_t count = 0, prefix = 0;
        if (!ToUInt(p.value("count"), count) || count < 1 || count > 65536 || !ToUInt(p.value("prefix"), prefix) ||
            prefix < 8 || prefix > 30 || !ToIpv4(p.value("address"), g.first))
            return "bad --count, --prefix or --address";
        g.count = int(count);
        g.prefix = int(prefix);
        o.groups.append(g);
    }
    for (TGroup& g : o.groups) {
        const uint32_t mask = PrefixMask(g.prefix);
        const uint32_t last = g.first + uint32_t(g.count) - 1;
        if (g.count > 65536 || (g.first & ~mask) == 0 || (last & mask) != (g.first & mask) ||
            (last | mask) == 0xFFFFFFFFu)
            return QString("group at %1 does not fit into its subnet").arg(QHostAddress(g.first).toString());
        if (g.gateway == 0)
            g.gateway = (g.first & mask) | (~mask - 1);
    }
    return OverlappingGroups(o.groups);
}

// Switch i gets base + i: none may be the null MAC, none the broadcast MAC or beyond.
QString ReadMacBase(const QCommandLineParser& p, TOptions& o)
{
    if (!ParseMac(p.value("mac-base"), o.macBase))
        return "bad --mac-base";
    uint64_t base = 0;
    for (uint8_t b : o.macBase)
        base = (base << 8) | b;
    if (base == 0)
        return "--mac-base 00:00:00:00:00:00 is the null MAC, which no switch may have";
    if (base + uint64_t(o.Count()) > 0xFFFFFFFFFFFFull)
        return QString("--mac-base %1: %2 switches would reach FF:FF:FF:FF:FF:FF, the broadcast MAC")
            .arg(p.value("mac-base"))
            .arg(o.Count());
    return {};
}

QString ReadSyslog(const QCommandLineParser& p, TOptions& o)
{
    if (!p.isSet("syslog"))
        return {};
    const QStringList target = p.value("syslog").split(':');
    uint32_t port = 514;
    if (target.size() > 2 || !o.syslogTarget.setAddress(target[0]) ||
        o.syslogTarget.protocol() != QAbstractSocket::IPv4Protocol ||
        (target.size() == 2 && (!ToUInt(target[1], port) || port < 1 || port > 65535)))
        return "bad --syslog " + p.value("syslog");
    o.syslogPort = uint16_t(port);
    return {};
}

QString ReadErrors(const QCommandLineParser& p, TOptions& o)
{
    for (const QString& text : p.values("error")) {
        TErrorRule rule;
        QString rest = text;
        const int at = rest.indexOf('@');
        uint32_t cmd = 0, status = 0, index = 0;
        if (at >= 0) {
            if (!ToUInt(rest.mid(at + 1), index) || int(index) >= o.Count())
                return "bad switch index in --error " + text;
            rule.index = int(index);
            rest.truncate(at);
        }
        const int eq = rest.indexOf('=');
        if (eq < 0 || !ToUInt(rest.left(eq), cmd) || !ToUInt(rest.mid(eq + 1), status) || cmd > 0xFFFF ||
            status > 0xFFFF)
            return "bad --error " + text;
        rule.command = uint16_t(cmd);
        rule.status = uint16_t(status);
        o.errors.append(rule);
    }
    return {};
}

} // namespace

bool ToUInt(const QString& text, uint32_t& out)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 0);
    if (!ok || v > 0xFFFFFFFFull)
        return false;
    out = uint32_t(v);
    return true;
}

bool ToIpv4(const QString& text, uint32_t& out)
{
    QHostAddress a;
    bool ok = false;
    if (!a.setAddress(text.trimmed()) || a.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    out = a.toIPv4Address(&ok);
    return ok;
}

TOptionEntry SwitchOption(const QCommandLineOption& option, bool valueRequired, uint32_t fallback, TSwitchStore store)
{
    const QString name = option.names().constFirst();
    const TOptionReader read = [=](const QCommandLineParser& p, TOptions& o) -> QString {
        for (const QString& text : p.values(name)) {
            int index = 0;
            uint32_t value = fallback;
            if (!ParseIndexed(text, index, value, valueRequired))
                return QString("bad --%1 %2").arg(name, text);
            if (index >= o.Count())
                return QString("--%1: no switch %2 (there are %3)").arg(name).arg(index).arg(o.Count());
            store(o, index, value);
        }
        return {};
    };
    return {option, read};
}

TOptionEntry SwitchFault(const QCommandLineOption& option, QSet<int> TOptions::*faulty)
{
    return SwitchOption(option, false, 0, [faulty](TOptions& o, int index, uint32_t) { (o.*faulty).insert(index); });
}

TOptionEntry Number(const QCommandLineOption& option, uint32_t low, uint32_t high, const QString& refusal,
                    TNumberStore store)
{
    const QString name = option.names().constFirst();
    const TOptionReader read = [name, low, high, refusal, store](const QCommandLineParser& p, TOptions& o) -> QString {
        uint32_t v = 0;
        if (!ToUInt(p.value(name), v) || v < low || v > high)
            return refusal;
        store(o, v);
        return {};
    };
    return {option, read};
}

TOptionEntry Milliseconds(const QCommandLineOption& option, int TOptions::*out)
{
    return Number(option, 0, 3600000, "bad --" + option.names().constFirst(),
                  [out](TOptions& o, uint32_t v) { o.*out = int(v); });
}

void AddFleetOptions(TOptionTable& table)
{
    table.about += "Simulates a fleet of managed switches answering the management protocol on UDP.\n"
                   "Switch i (counted from 0 over all groups) gets MAC base+i, the i-th model of the\n"
                   "cycled model list and the i-th address; index options take that i. Replies leave\n"
                   "from the switch's own address, which must be configured on an interface.\n"
                   "Statuses: 1 wrong credentials, 3 not logged in, 4 request too short or with\n"
                   "values no switch takes, 5 unknown command (unknown commands are answered with\n"
                   "a 4-byte zero payload), 6 new address not available. Requests naming another\n"
                   "MAC are ignored; only discovery (0) may leave the MAC zero.\n"
                   "Status poll (6), warning state (7), system information (260) and network\n"
                   "settings (262) answer without login; so does network settings set (263), which\n"
                   "carries the digest of the switch's current credentials instead (status 1 when\n"
                   "it differs) and may come to the limited broadcast; every other command needs a\n"
                   "login. Logins last until logout, a wrong login or a reboot; an account change\n"
                   "(268) or an address change keeps them.\n"
                   "Network settings set answers from the old address, then the switch answers from\n"
                   "the new one; a new address that is not configured on a local interface, or is\n"
                   "no host address of its subnet, gets status 6 and changes nothing. With DHCP the\n"
                   "switch takes the first --dhcp-pool address no other switch holds (status 6 when\n"
                   "all are taken) and keeps netmask, gateway and DNS; without a pool it keeps its\n"
                   "address and only reports DHCP on.\n"
                   "Switch i's clock (SNTP get, 269) runs i*37 seconds ahead of the host's UTC clock;\n"
                   "time-zone and daylight settings (270) are reported, never applied to it.\n"
                   "Save (264) writes the running settings (texts, account, network, time, ports,\n"
                   "VLANs) to flash, reboot (259) reloads them, factory default (271) returns to\n"
                   "the start-up settings, keeping user and password (flag 1) and the network\n"
                   "settings (flag 2) when asked.\n";
    table.entries += {
        {{"count", "Number of switches (with --address and --prefix).", "n", "4"}, ReadLayout},
        {{"address", "Address of switch 0; switch i gets address+i.", "ip", "192.0.2.10"}, {}},
        {{"prefix", "Prefix length of the switches' subnet.", "bits", "24"}, {}},
        {{"group",
          "Address group ADDRESS/PREFIX:COUNT[@GATEWAY], repeatable; replaces --count, "
          "--address and --prefix. Indices run on from one group to the next; the gateway "
          "defaults to the subnet's last host.",
          "group"},
         {}},
        {{"models", "Comma-separated model strings, cycled over the switches.", "list", DefaultModels},
         [](const QCommandLineParser& p, TOptions& o) -> QString {
             for (const QString& m : p.value("models").split(',', Qt::SkipEmptyParts))
                 o.models.append(m.trimmed().toLatin1());
             return o.models.isEmpty() ? "empty --models" : QString();
         }},
        {{"mac-base", "MAC address of switch 0.", "mac", "02:5A:0D:00:00:01"}, ReadMacBase},
        {{"name-prefix", "System names are this prefix and i+1.", "text", "Switch-"},
         Text(&TOptions::namePrefix, "name-prefix")},
        {{"user", "User name of every switch.", "name", "admin"}, Text(&TOptions::user, "user")},
        {{"password", "Password of every switch.", "text", "admin"}, Text(&TOptions::password, "password")},
        Number({"link-mask", "Ports with link (status poll; port status while enabled), minus ports in alarm.", "mask",
                "0x0F"},
               0, 0xFFFFFFFFu, "bad --link-mask", [](TOptions& o, uint32_t mask) { o.linkMask = mask; }),
        {{"bind", "Local address to listen on.", "ip", "0.0.0.0"},
         [](const QCommandLineParser& p, TOptions& o) -> QString {
             if (!o.bind.setAddress(p.value("bind")) || o.bind.protocol() != QAbstractSocket::IPv4Protocol)
                 return "bad --bind";
             return {};
         }},
        Number({"port", "UDP port to listen on.", "port", "1638"}, 1, 65535, "bad --port",
               [](TOptions& o, uint32_t v) { o.port = uint16_t(v); }),
        {{"any-network",
          "Listen on all addresses even when an interface has an address outside the "
          "loopback and documentation ranges (refused otherwise, to keep off real networks)."},
         SetFlag(&TOptions::anyNetwork, "any-network")},
        {{"login-by-address", "A login holds for the workstation's address; by default for address and port."},
         SetFlag(&TOptions::loginByAddress, "login-by-address")},
        {{"verbose", "Print every request and reply to stderr."}, SetFlag(&TOptions::verbose, "verbose")},
        {{"seed", "Seed of the random faults (default: random, printed at start).", "n"},
         [](const QCommandLineParser& p, TOptions& o) -> QString {
             if (!p.isSet("seed"))
                 o.seed = QRandomGenerator::global()->generate();
             else if (!ToUInt(p.value("seed"), o.seed))
                 return "bad --seed";
             return {};
         }},
        Milliseconds({"jitter", "Delay each reply by a random 0..ms milliseconds.", "ms", "0"}, &TOptions::jitterMs),
        Rate({"drop", "Drop replies at random with this probability (0..1).", "rate", "0"}, &TOptions::dropRate),
        Rate({"malformed", "Truncate replies at random with this probability (0..1).", "rate", "0"},
             &TOptions::malformedRate),
        Milliseconds({"flash-delay",
                      "Delay of the save (264) reply, writing flash; also how long a switch "
                      "writes a received firmware image or configuration before it reports it done.",
                      "ms", "0"},
                     &TOptions::flashDelayMs),
        Milliseconds({"reboot-time", "Silence after a reboot (259) before the switch answers again.", "ms", "3000"},
                     &TOptions::rebootMs),
        // Read as the timings are: 0 to 3600000.
        Milliseconds({"list-split", "Most list entries per reply datagram (0: the command's own maximum).", "n", "0"},
                     &TOptions::listSplit),
        {{"syslog", "Send syslog messages to this host (port 514 unless given).", "host[:port]"}, ReadSyslog},
        {{"syslog-rate",
          "Syslog messages per second from all switches together, sent by each in turn "
          "from its own address (needs --syslog).",
          "n", "0"},
         [](const QCommandLineParser& p, TOptions& o) -> QString {
             bool ok = false;
             o.syslogRate = p.value("syslog-rate").toDouble(&ok);
             if (!ok || o.syslogRate < 0 || o.syslogRate > 1e6)
                 return "bad --syslog-rate (0..1000000)";
             if (o.syslogRate > 0 && !p.isSet("syslog"))
                 return "--syslog-rate needs --syslog";
             return {};
         }},
        Number({"switch-syslog-port",
                "Port the switches' own syslog clients send to, at the server their "
                "syslog settings (2307) name.",
                "port", "514"},
               1, 65535, "bad --switch-syslog-port (1..65535)",
               [](TOptions& o, uint32_t v) { o.clientSyslogPort = uint16_t(v); }),
        {{"scan",
          "Answer layer-2 scan frames (Ethernet type 0xDEAD) on every interface, each switch "
          "from its own MAC, through a raw socket (needs CAP_NET_RAW)."},
         SetFlag(&TOptions::scan, "scan")},
        Number({"scan-repeat", "Each switch answers a scan frame this many times.", "n", "1"}, 1, 100000,
               "bad --scan-repeat (1..100000)", [](TOptions& o, uint32_t v) { o.scanRepeat = int(v); }),
        {{"scan-bad-source", "Also answer each scan frame from FF:FF:FF:FF:FF:FF."},
         SetFlag(&TOptions::scanBadSource, "scan-bad-source")},
        {{"scan-short", "Also answer each scan frame with a frame of 30 bytes."},
         SetFlag(&TOptions::scanShort, "scan-short")},
    };
}

void AddSwitchOptions(TOptionTable& table)
{
    table.entries += {
        SwitchFault({"mute", "Switch i never answers (repeatable).", "i"}, &TOptions::mute),
        SwitchOption({"silent-after", "Switch i stops answering after s seconds (repeatable).", "i=s"}, true, 0,
                     [](TOptions& o, int i, uint32_t s) { o.silentAfterSec[i] = int(s); }),
        SwitchOption({"power-alarm",
                      "Switch i reports failed power inputs (bit 0: input 1, bit 1: input 2; "
                      "default 1) (repeatable).",
                      "i[=bits]"},
                     false, 1, [](TOptions& o, int i, uint32_t b) { o.powerAlarms[i] = b; }),
        SwitchOption({"port-alarm", "Switch i reports link failure on the ports of the mask (repeatable).", "i=mask"},
                     true, 0, [](TOptions& o, int i, uint32_t m) { o.portAlarms[i] = m; }),
        SwitchOption({"warning", "Switch i reports an active warning with the value (repeatable).", "i[=value]"}, false,
                     1, [](TOptions& o, int i, uint32_t w) { o.warnings[i] = uint16_t(w); }),
        {{"error",
          "Every reply to the command carries the status, from every switch or from switch i "
          "(repeatable). Numbers may be hexadecimal (0x...).",
          "cmd=status[@i]"},
         ReadErrors},
    };
}

const TOptionTable& OptionTable()
{
    static const TOptionTable table = [] {
        TOptionTable t;
        AddFleetOptions(t);
        AddBasicsOptions(t);
        AddPortOptions(t);
        AddVlanOptions(t);
        AddRedundancyOptions(t);
        AddQosOptions(t);
        AddSecurityOptions(t);
        AddSnmpOptions(t);
        AddMonitorOptions(t);
        AddWarningOptions(t);
        AddDhcpOptions(t);
        AddIgmpOptions(t);
        AddTransferOptions(t);
        AddSwitchOptions(t);
        t.about += "Runs until SIGINT or SIGTERM (exit 0).";
        return t;
    }();
    return table;
}

int TOptions::Count() const
{
    int n = 0;
    for (const TGroup& g : groups)
        n += g.count;
    return n;
}

bool ParseOptions(const QStringList& arguments, TOptions& o, QString& error)
{
    const TOptionTable& table = OptionTable();
    QCommandLineParser p;
    p.setApplicationDescription(table.about);
    p.addHelpOption();
    p.addVersionOption();
    QList<QCommandLineOption> options;
    for (const TOptionEntry& entry : table.entries) {
        QCommandLineOption option = entry.option;
        if (!option.defaultValues().isEmpty())
            option.setDescription(option.description() + " Default: " + option.defaultValues().join(',') + '.');
        options.append(option);
    }
    p.addOptions(options);
    p.process(arguments);

    // In table order: the layout comes first, as the switch count bounds every index.
    for (const TOptionEntry& entry : table.entries) {
        if (!entry.read)
            continue;
        if (const QString message = entry.read(p, o); !message.isEmpty()) {
            error = message;
            return false;
        }
    }
    return true;
}

} // namespace Sim
