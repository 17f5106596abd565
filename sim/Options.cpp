#include "Options.h"

#include <algorithm>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace Sim {

namespace {

const char* const DefaultModels = "KX40-TX,KX40-SS,KX40-MM,KX40-GT,KX40-GS,KX40-GM";

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
    if (slash < 0 || colon < slash || !ToIpv4(rest.left(slash), g.first)
        || !ToUInt(rest.mid(slash + 1, colon - slash - 1), prefix)
        || !ToUInt(rest.mid(colon + 1), count))
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

} // namespace

int TOptions::Count() const
{
    int n = 0;
    for (const TGroup& g : groups)
        n += g.count;
    return n;
}

bool ParseOptions(const QStringList& arguments, TOptions& o, QString& error)
{
    QCommandLineParser p;
    p.setApplicationDescription(
        "Simulates a fleet of managed switches answering the management protocol on UDP.\n"
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
        "settings (flag 2) when asked.\n"
        "Ports: six 100TX ports and two uplinks (1000TX for GT, 1000 single-mode or\n"
        "multi-mode fibre for GS and GM, 100 fibre for SS and MM, 100TX for TX and\n"
        "other models), four trunk groups.\n"
        "Links are up on the --link-mask ports that are enabled. Port names are Port.01\n"
        "and on, then Trunk.01 and on. The Sets (514, 517, 519) take 1 to ports+trunks,\n"
        "exactly ports and exactly trunks entries; values out of range, member ports the\n"
        "switch does not have or a port in two trunk groups get status 4 and change\n"
        "nothing.\n"
        "VLANs: every list starts with VLAN 1 holding all ports and trunks untagged. The\n"
        "802.1Q list (1032) answers 128 entries a datagram, the port-based list (1026) 32,\n"
        "each with a final shorter (possibly empty) one; the 802.1Q list begins with the\n"
        "VLAN ID 0 entry holding the Hybrid ports. Per-port settings (1033) move each\n"
        "named port to its untagged and tagged VLANs, creating them, and drop VLANs left\n"
        "without ports; they and GVRP/management VLAN set (1031) get status 4 when the\n"
        "switch is not in 802.1Q mode or a value is out of range, and change nothing.\n"
        "Redundancy: the ring set (769) takes port indexes below the port count; the RSTP\n"
        "set (771) takes exactly one entry per port and the ranges and steps of the\n"
        "settings (status 4 otherwise). RSTP runs while enabled; the switch is the root\n"
        "bridge unless its priority is above 32768, when the root lies behind its first\n"
        "port with link. Ports with link forward (designated; non-STP ports \"Non Stp\"),\n"
        "the others are disabled. The active protocol (775) is the ring while it is on,\n"
        "else RSTP.\n"
        "Security: the access list has 10 slots (2049 takes exactly those); the blacklist\n"
        "holds at most 1024 and the bindings 256 addresses; a binding's port must be a port\n"
        "or trunk group of the switch, an address is bound to one port (an Add moves it),\n"
        "Adds and Dels of null or broadcast addresses get status 4; the port\n"
        "authorisation set (2059) takes one mode (0 to 3) per port. The blacklist (2053) and\n"
        "bindings (2050) answer in datagrams of 128 entries (or --list-split), one less\n"
        "than full ending the list.\n"
        "SNMP: switches start with version 1/2c (0), the communities \"public\" (read only)\n"
        "and \"private\" (read and write) in the first two of four slots, no users and no\n"
        "trap receivers. The version set (1793) takes 0 or 1; the community set (1795) four\n"
        "33-byte slots with privilege 0 or 1. Users (1797) are added under a new, non-empty\n"
        "name, at most 8, and removed (1798) by name with the passwords they were given;\n"
        "trap receivers (1800) need an address, a community and version 0 or 1, at most 8,\n"
        "one per address, and are removed (1801) by address (status 4 otherwise). Save\n"
        "keeps the SNMP settings too; community strings and passwords are never printed.\n"
        "Monitor: the MAC table (2560) holds three learned addresses per port and a static\n"
        "one on port 1 (or --mac-table n spread over the ports), in datagrams of 128; the\n"
        "six counters of each port (2562) start as after 500 reads and grow on every read; mirroring (2565) takes\n"
        "destination ports below the port count; the event log (2566) has 12 lines (or\n"
        "--event-log n), 5 a datagram. The clears (2561, 2563, 2567) empty the learned\n"
        "addresses (static ones stay), zero the counters and empty the log. LLDP (2816)\n"
        "starts enabled every 30 s.\n"
        "DHCP server (272 to 276): off, handing out hosts 100 to 199 of the switch's subnet\n"
        "with its gateway and first DNS server for a day; the set (273) takes an enabled\n"
        "flag of 0 or 1 and, when enabled, a pool that does not run backwards, a netmask\n"
        "and a lease of at least a second; the port bindings (276) exactly one address per\n"
        "port. The lease table (274) holds 4 clients (or --dhcp-clients n) from the start\n"
        "of the pool, in datagrams of 32.\n"
        "IGMP snooping (1536 to 1538) starts on with query mode auto; the set (1537) takes\n"
        "snooping 0 or 1 and query mode 0 to 2. While snooping is on the switch knows 3\n"
        "groups (or --igmp-groups n) 239.1.x.y in VLAN 1, in datagrams of 64; none while off.\n"
        "Transfers: firmware (256) and configuration (258) in 512-byte blocks are answered\n"
        "state 0 block by block; the files must start with \"VZFW\" (firmware) or \"VZCF\"\n"
        "(configuration) and their 32-bit length (state 4 otherwise). After the last block\n"
        "the switch answers state 1 and, --flash-delay later, state 2 on its own. Backup (257)\n"
        "serves the last configuration received, or one made from the running settings,\n"
        "0xFFFF marking the last block. The remote transfers (265 to 267) run the tftp\n"
        "client (tftp-hpa) against the server and port named in the request and report\n"
        "state 0 every 5 s while it runs, then 2, or 4 when it failed.\n"
        "Runs until SIGINT or SIGTERM (exit 0).");
    p.addHelpOption();
    p.addVersionOption();
    QList<QCommandLineOption> options = {
        {"count", "Number of switches (with --address and --prefix).", "n", "4"},
        {"address", "Address of switch 0; switch i gets address+i.", "ip", "192.0.2.10"},
        {"prefix", "Prefix length of the switches' subnet.", "bits", "24"},
        {"group",
         "Address group ADDRESS/PREFIX:COUNT[@GATEWAY], repeatable; replaces --count, "
         "--address and --prefix. Indices run on from one group to the next; the gateway "
         "defaults to the subnet's last host.",
         "group"},
        {"models", "Comma-separated model strings, cycled over the switches.", "list",
         DefaultModels},
        {"mac-base", "MAC address of switch 0.", "mac", "02:5A:0D:00:00:01"},
        {"name-prefix", "System names are this prefix and i+1.", "text", "Switch-"},
        {"user", "User name of every switch.", "name", "admin"},
        {"password", "Password of every switch.", "text", "admin"},
        {"link-mask", "Ports with link (status poll; port status while enabled), minus ports in alarm.", "mask", "0x0F"},
        {"bind", "Local address to listen on.", "ip", "0.0.0.0"},
        {"port", "UDP port to listen on.", "port", "1638"},
        {"any-network",
         "Listen on all addresses even when an interface has an address outside the "
         "loopback and documentation ranges (refused otherwise, to keep off real networks)."},
        {"login-by-address",
         "A login holds for the workstation's address; by default for address and port."},
        {"verbose", "Print every request and reply to stderr."},
        {"seed", "Seed of the random faults (default: random, printed at start).", "n"},
        {"jitter", "Delay each reply by a random 0..ms milliseconds.", "ms", "0"},
        {"drop", "Drop replies at random with this probability (0..1).", "rate", "0"},
        {"malformed", "Truncate replies at random with this probability (0..1).", "rate", "0"},
        {"flash-delay", "Delay of the save (264) reply, writing flash; also how long a switch "
                        "writes a received firmware image or configuration before it reports it done.", "ms", "0"},
        {"busy", "A built-in firmware or configuration transfer (256, 258) is first answered "
                 "with state 1 (writing flash) for this long, then asked for its first block again.",
         "ms", "0"},
        {"store", "Write each firmware image and configuration a switch receives to this folder as "
                  "MAC-firmware.bin and MAC-configuration.bin (MAC as 12 hex digits).",
         "dir"},
        {"reboot-time", "Silence after a reboot (259) before the switch answers again.", "ms",
         "3000"},
        {"list-split", "Most list entries per reply datagram (0: the command's own maximum).",
         "n", "0"},
        {"dhcp-pool",
         "Addresses switches take when network settings set (263) turns DHCP on "
         "(default: none, a switch keeps its address).",
         "first-last"},
        {"syslog", "Send syslog messages to this host (port 514 unless given).", "host[:port]"},
        {"syslog-rate", "Syslog messages per second from all switches together, sent by each in turn "
                        "from its own address (needs --syslog).", "n", "0"},
        {"switch-syslog-port", "Port the switches' own syslog clients send to, at the server their "
                               "syslog settings (2307) name.", "port", "514"},
        {"scan", "Answer layer-2 scan frames (Ethernet type 0xDEAD) on every interface, each switch "
                 "from its own MAC, through a raw socket (needs CAP_NET_RAW)."},
        {"scan-repeat", "Each switch answers a scan frame this many times.", "n", "1"},
        {"scan-bad-source", "Also answer each scan frame from FF:FF:FF:FF:FF:FF."},
        {"scan-short", "Also answer each scan frame with a frame of 30 bytes."},
        {"no-clock", "Switch i has no clock: SNTP get (269) reports 0xFFFFFFFF (repeatable).",
         "i"},
        {"mute", "Switch i never answers (repeatable).", "i"},
        {"port-count", "Switch i has n 100TX ports (1..24) instead of its model's (repeatable).", "i=n"},
        {"bad-cos-priority", "Switch i reports default 802.1p priority 8 on port 1 in COS settings (1284) (repeatable).",
         "i"},
        {"short-port-names", "Switch i answers port names (512) with one name too few (repeatable).",
         "i"},
        {"bad-speed-duplex",
         "Switch i reports speed/duplex 8 on port 1 in port configuration (513) and port status "
         "(515) (repeatable).",
         "i"},
        {"overlapping-trunks",
         "Switch i reports ports 3 and 4 in the first two trunk groups (518) (repeatable).", "i"},
        {"vlan-mode", "VLAN mode of every switch: 0 disable, 1 port based, 2 802.1Q.", "mode", "2"},
        {"vlan-mode-of", "VLAN mode of switch i (repeatable).", "i=mode"},
        {"bad-vlan-id", "Switch i reports VLAN ID 4095 in its port-based VLAN list (1026) (repeatable).", "i"},
        {"bad-vlan-members",
         "Switch i reports a member port beyond its ports in its port-based VLAN list (1026) (repeatable).", "i"},
        {"bad-vlan-count",
         "Switch i's VLAN list datagrams (1026, 1032) count one entry more in their head than they "
         "carry, and end with half an entry (repeatable).",
         "i"},
        {"short-rstp-ports",
         "Switch i answers RSTP settings (770) and RSTP state (772) with one port entry too few (repeatable).", "i"},
        {"unknown-rstp-state", "Switch i reports state 9 and role 7 on port 1 in RSTP state (772) (repeatable).", "i"},
        {"blacklist", "Switch i starts with a MAC blacklist of n addresses (repeatable).", "i=n"},
        {"bad-auth-mode", "Switch i reports authorisation mode 4 on port 1 (2058) (repeatable).", "i"},
        {"short-auth-ports", "Switch i answers port authorisation (2058) with one mode too few (repeatable).", "i"},
        {"cut-access-list",
         "Switch i answers IP security (2048) with its last address slot a byte short (repeatable).", "i"},
        {"bad-binding-port",
         "Switch i reports a port binding on the port after its last trunk group (2050) (repeatable).", "i"},
        {"full-nas-id",
         "Switch i reports a NAS identifier of 32 characters without terminator (2056) (repeatable).", "i"},
        {"bad-snmp-version", "Switch i reports SNMP agent version 2 (1792) (repeatable).", "i"},
        {"short-communities", "Switch i answers communities (1794) one byte short of four slots (repeatable).", "i"},
        {"bad-community-privilege", "Switch i reports privilege 2 in its first community slot (1794) (repeatable).", "i"},
        {"unused-trap-slots",
         "Switch i lists an unused receiver (address 0) and one of trap version 2 after its receivers (1799) "
         "(repeatable).",
         "i"},
        {"mac-table", "Switch i has a MAC table of n addresses (at most 16384) (repeatable).", "i=n"},
        {"event-log", "Switch i has an event log of n lines (at most 4096) (repeatable).", "i=n"},
        {"bad-mac-port", "Switch i ends its MAC table (2560) with an entry on the port after its last trunk group "
                         "(repeatable).", "i"},
        {"short-counters", "Switch i answers port counters (2562) with one port too few (repeatable).", "i"},
        {"counters-at-limit", "Switch i's counters start at 4294967295 and wrap on the next read (repeatable).", "i"},
        {"bad-mirror-port", "Switch i reports a mirror RX destination beyond its ports (2564) (repeatable).", "i"},
        {"full-event-text", "Switch i's event texts fill their 128 bytes without terminator (2566) (repeatable).",
         "i"},
        {"bad-syslog-mode", "Switch i reports syslog mode 5 (2306) (repeatable).", "i"},
        {"smtp-slots", "Switch i answers SMTP settings (2308) with n recipient slots instead of 6 (repeatable).",
         "i=n"},
        {"dhcp-clients", "Switch i's DHCP server has a lease table of n clients (at most 4096) (repeatable).", "i=n"},
        {"igmp-groups", "Switch i has learned n multicast groups (at most 4096) (repeatable).", "i=n"},
        {"bad-dhcp-client", "Switch i ends its DHCP lease table (274) with a client of type 5 (repeatable).", "i"},
        {"short-dhcp-bindings", "Switch i answers DHCP port bindings (275) with one address too few (repeatable).",
         "i"},
        {"bad-igmp-query", "Switch i reports IGMP query mode 3 (1536) (repeatable).", "i"},
        {"silent-after", "Switch i stops answering after s seconds (repeatable).", "i=s"},
        {"power-alarm", "Switch i reports failed power inputs (bit 0: input 1, bit 1: input 2; "
                        "default 1) (repeatable).",
         "i[=bits]"},
        {"port-alarm", "Switch i reports link failure on the ports of the mask (repeatable).",
         "i=mask"},
        {"warning", "Switch i reports an active warning with the value (repeatable).",
         "i[=value]"},
        {"error",
         "Every reply to the command carries the status, from every switch or from switch i "
         "(repeatable). Numbers may be hexadecimal (0x...).",
         "cmd=status[@i]"},
    };
    for (QCommandLineOption& option : options)
        if (!option.defaultValues().isEmpty())
            option.setDescription(option.description() + " Default: "
                                  + option.defaultValues().join(',') + '.');
    p.addOptions(options);
    p.process(arguments);

    auto fail = [&error](const QString& message) {
        error = message;
        return false;
    };
    auto number = [&](const char* name, uint32_t& out) {
        return ToUInt(p.value(name), out);
    };

    uint32_t v = 0;
    if (p.isSet("group")) {
        for (const QString& text : p.values("group")) {
            TGroup g;
            if (!ParseGroup(text, g))
                return fail("bad --group " + text);
            o.groups.append(g);
        }
    } else {
        TGroup g;
        uint32_t count = 0, prefix = 0;
        if (!number("count", count) || count < 1 || count > 65536 || !number("prefix", prefix) || prefix < 8
            || prefix > 30 || !ToIpv4(p.value("address"), g.first))
            return fail("bad --count, --prefix or --address");
        g.count = int(count);
        g.prefix = int(prefix);
        o.groups.append(g);
    }
    for (TGroup& g : o.groups) {
        const uint32_t mask = PrefixMask(g.prefix);
        const uint32_t last = g.first + uint32_t(g.count) - 1;
        if (g.count > 65536 || (g.first & ~mask) == 0 || (last & mask) != (g.first & mask)
            || (last | mask) == 0xFFFFFFFFu)
            return fail(QString("group at %1 does not fit into its subnet")
                            .arg(QHostAddress(g.first).toString()));
        if (g.gateway == 0)
            g.gateway = (g.first & mask) | (~mask - 1);
    }
    if (const QString overlap = OverlappingGroups(o.groups); !overlap.isEmpty())
        return fail(overlap);
    const int count = o.Count();

    for (const QString& m : p.value("models").split(',', Qt::SkipEmptyParts))
        o.models.append(m.trimmed().toLatin1());
    if (o.models.isEmpty())
        return fail("empty --models");
    if (!ParseMac(p.value("mac-base"), o.macBase))
        return fail("bad --mac-base");
    // Switch i gets base + i: none may be the null MAC, none the broadcast MAC or beyond.
    uint64_t base = 0;
    for (uint8_t b : o.macBase)
        base = (base << 8) | b;
    if (base == 0)
        return fail("--mac-base 00:00:00:00:00:00 is the null MAC, which no switch may have");
    if (base + uint64_t(count) > 0xFFFFFFFFFFFFull)
        return fail(QString("--mac-base %1: %2 switches would reach FF:FF:FF:FF:FF:FF, the broadcast MAC")
                        .arg(p.value("mac-base"))
                        .arg(count));
    o.namePrefix = p.value("name-prefix").toLatin1();
    o.user = p.value("user").toLatin1();
    o.password = p.value("password").toLatin1();
    if (!number("link-mask", o.linkMask))
        return fail("bad --link-mask");
    if (!o.bind.setAddress(p.value("bind")) || o.bind.protocol() != QAbstractSocket::IPv4Protocol)
        return fail("bad --bind");
    if (!number("port", v) || v < 1 || v > 65535)
        return fail("bad --port");
    o.port = uint16_t(v);
    o.anyNetwork = p.isSet("any-network");
    o.loginByAddress = p.isSet("login-by-address");
    o.verbose = p.isSet("verbose");
    if (p.isSet("seed")) {
        if (!number("seed", o.seed))
            return fail("bad --seed");
    } else {
        o.seed = QRandomGenerator::global()->generate();
    }

    struct TMs { const char* name; int* out; };
    for (const TMs& t : {TMs{"jitter", &o.jitterMs}, TMs{"flash-delay", &o.flashDelayMs},
                         TMs{"reboot-time", &o.rebootMs}, TMs{"list-split", &o.listSplit},
                         TMs{"busy", &o.busyMs}}) {
        if (!number(t.name, v) || v > 3600000)
            return fail(QString("bad --%1").arg(t.name));
        *t.out = int(v);
    }
    if (!number("vlan-mode", v) || v > 2)
        return fail("bad --vlan-mode (0..2)");
    o.vlanMode = uint8_t(v);
    o.storeDir = p.value("store");
    o.scan = p.isSet("scan");
    o.scanBadSource = p.isSet("scan-bad-source");
    o.scanShort = p.isSet("scan-short");
    if (!number("scan-repeat", v) || v < 1 || v > 100000)
        return fail("bad --scan-repeat (1..100000)");
    o.scanRepeat = int(v);
    if (!ParseRate(p.value("drop"), o.dropRate))
        return fail("bad --drop (0..1)");
    if (!ParseRate(p.value("malformed"), o.malformedRate))
        return fail("bad --malformed (0..1)");

    if (p.isSet("syslog")) {
        const QStringList target = p.value("syslog").split(':');
        uint32_t port = 514;
        if (target.size() > 2 || !o.syslogTarget.setAddress(target[0])
            || o.syslogTarget.protocol() != QAbstractSocket::IPv4Protocol
            || (target.size() == 2 && (!ToUInt(target[1], port) || port < 1 || port > 65535)))
            return fail("bad --syslog " + p.value("syslog"));
        o.syslogPort = uint16_t(port);
    }
    if (!number("switch-syslog-port", v) || v < 1 || v > 65535)
        return fail("bad --switch-syslog-port (1..65535)");
    o.clientSyslogPort = uint16_t(v);
    bool rateOk = false;
    o.syslogRate = p.value("syslog-rate").toDouble(&rateOk);
    if (!rateOk || o.syslogRate < 0 || o.syslogRate > 1e6)
        return fail("bad --syslog-rate (0..1000000)");
    if (o.syslogRate > 0 && !p.isSet("syslog"))
        return fail("--syslog-rate needs --syslog");

    auto indexed = [&](const char* name, bool valueRequired, uint32_t fallback,
                       auto&& store) -> bool {
        for (const QString& text : p.values(name)) {
            int index = 0;
            uint32_t value = fallback;
            if (!ParseIndexed(text, index, value, valueRequired))
                return fail(QString("bad --%1 %2").arg(name, text));
            if (index >= count)
                return fail(QString("--%1: no switch %2 (there are %3)")
                                .arg(name)
                                .arg(index)
                                .arg(count));
            store(index, value);
        }
        return true;
    };
    if (p.isSet("dhcp-pool")) {
        const QStringList range = p.value("dhcp-pool").split('-');
        if (range.size() != 2 || !ToIpv4(range[0], o.dhcpFirst)
            || !ToIpv4(range[1], o.dhcpLast) || o.dhcpFirst == 0 || o.dhcpFirst > o.dhcpLast)
            return fail("bad --dhcp-pool " + p.value("dhcp-pool"));
    }

    if (!indexed("mute", false, 0, [&](int i, uint32_t) { o.mute.insert(i); })
        || !indexed("no-clock", false, 0, [&](int i, uint32_t) { o.noClock.insert(i); })
        || !indexed("short-port-names", false, 0, [&](int i, uint32_t) { o.shortPortNames.insert(i); })
        || !indexed("bad-speed-duplex", false, 0, [&](int i, uint32_t) { o.badSpeedDuplex.insert(i); })
        || !indexed("overlapping-trunks", false, 0, [&](int i, uint32_t) { o.overlappingTrunks.insert(i); })
        || !indexed("vlan-mode-of", true, 0, [&](int i, uint32_t m) { o.vlanModes[i] = uint8_t(m); })
        || !indexed("bad-vlan-id", false, 0, [&](int i, uint32_t) { o.badVlanId.insert(i); })
        || !indexed("bad-vlan-members", false, 0, [&](int i, uint32_t) { o.badVlanMembers.insert(i); })
        || !indexed("bad-vlan-count", false, 0, [&](int i, uint32_t) { o.badVlanCount.insert(i); })
        || !indexed("short-rstp-ports", false, 0, [&](int i, uint32_t) { o.shortRstpPorts.insert(i); })
        || !indexed("unknown-rstp-state", false, 0, [&](int i, uint32_t) { o.unknownRstpState.insert(i); })
        || !indexed("bad-cos-priority", false, 0, [&](int i, uint32_t) { o.badCosPriority.insert(i); })
        || !indexed("port-count", true, 0, [&](int i, uint32_t n) { o.portCounts[i] = int(std::clamp<uint32_t>(n, 1, 24)); })
        || !indexed("blacklist", true, 0, [&](int i, uint32_t n) { o.blacklistSize[i] = int(std::min<uint32_t>(n, 1024)); })
        || !indexed("bad-auth-mode", false, 0, [&](int i, uint32_t) { o.badAuthMode.insert(i); })
        || !indexed("short-auth-ports", false, 0, [&](int i, uint32_t) { o.shortAuthPorts.insert(i); })
        || !indexed("cut-access-list", false, 0, [&](int i, uint32_t) { o.cutAccessList.insert(i); })
        || !indexed("bad-binding-port", false, 0, [&](int i, uint32_t) { o.badBindingPort.insert(i); })
        || !indexed("full-nas-id", false, 0, [&](int i, uint32_t) { o.fullNasId.insert(i); })
        || !indexed("bad-snmp-version", false, 0, [&](int i, uint32_t) { o.badSnmpVersion.insert(i); })
        || !indexed("short-communities", false, 0, [&](int i, uint32_t) { o.shortCommunities.insert(i); })
        || !indexed("bad-community-privilege", false, 0, [&](int i, uint32_t) { o.badCommunityPrivilege.insert(i); })
        || !indexed("unused-trap-slots", false, 0, [&](int i, uint32_t) { o.unusedTrapSlots.insert(i); })
        || !indexed("mac-table", true, 0, [&](int i, uint32_t n) { o.macTableSize[i] = int(std::min<uint32_t>(n, 16384)); })
        || !indexed("event-log", true, 0, [&](int i, uint32_t n) { o.eventLogSize[i] = int(std::min<uint32_t>(n, 4096)); })
        || !indexed("bad-mac-port", false, 0, [&](int i, uint32_t) { o.badMacPort.insert(i); })
        || !indexed("short-counters", false, 0, [&](int i, uint32_t) { o.shortCounters.insert(i); })
        || !indexed("counters-at-limit", false, 0, [&](int i, uint32_t) { o.countersAtLimit.insert(i); })
        || !indexed("bad-mirror-port", false, 0, [&](int i, uint32_t) { o.badMirrorPort.insert(i); })
        || !indexed("full-event-text", false, 0, [&](int i, uint32_t) { o.fullEventText.insert(i); })
        || !indexed("bad-syslog-mode", false, 0, [&](int i, uint32_t) { o.badSyslogMode.insert(i); })
        || !indexed("smtp-slots", true, 0, [&](int i, uint32_t n) { o.smtpSlots[i] = int(std::min<uint32_t>(n, 16)); })
        || !indexed("dhcp-clients", true, 0, [&](int i, uint32_t n) { o.dhcpClients[i] = int(std::min<uint32_t>(n, 4096)); })
        || !indexed("igmp-groups", true, 0, [&](int i, uint32_t n) { o.igmpGroups[i] = int(std::min<uint32_t>(n, 4096)); })
        || !indexed("bad-dhcp-client", false, 0, [&](int i, uint32_t) { o.badDhcpClient.insert(i); })
        || !indexed("short-dhcp-bindings", false, 0, [&](int i, uint32_t) { o.shortDhcpBindings.insert(i); })
        || !indexed("bad-igmp-query", false, 0, [&](int i, uint32_t) { o.badIgmpQuery.insert(i); })
        || !indexed("silent-after", true, 0,
                    [&](int i, uint32_t s) { o.silentAfterSec[i] = int(s); })
        || !indexed("power-alarm", false, 1, [&](int i, uint32_t b) { o.powerAlarms[i] = b; })
        || !indexed("port-alarm", true, 0, [&](int i, uint32_t m) { o.portAlarms[i] = m; })
        || !indexed("warning", false, 1, [&](int i, uint32_t w) { o.warnings[i] = uint16_t(w); }))
        return false;

    for (uint8_t mode : std::as_const(o.vlanModes))
        if (mode > 2)
            return fail("bad --vlan-mode-of (mode 0..2)");

    for (const QString& text : p.values("error")) {
        TErrorRule rule;
        QString rest = text;
        const int at = rest.indexOf('@');
        uint32_t cmd = 0, status = 0, index = 0;
        if (at >= 0) {
            if (!ToUInt(rest.mid(at + 1), index) || int(index) >= count)
                return fail("bad switch index in --error " + text);
            rule.index = int(index);
            rest.truncate(at);
        }
        const int eq = rest.indexOf('=');
        if (eq < 0 || !ToUInt(rest.left(eq), cmd) || !ToUInt(rest.mid(eq + 1), status)
            || cmd > 0xFFFF || status > 0xFFFF)
            return fail("bad --error " + text);
        rule.command = uint16_t(cmd);
        rule.status = uint16_t(status);
        o.errors.append(rule);
    }
    return true;
}

} // namespace Sim
