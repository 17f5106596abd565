#include "CliRecords.h"

#include "core/AddressRules.h"
#include "core/Basics.h"
#include "core/Dhcp.h"
#include "core/Igmp.h"
#include "core/Monitor.h"
#include "core/Port.h"
#include "core/Qos.h"
#include "core/Redundancy.h"
#include "core/Security.h"
#include "core/Snmp.h"
#include "core/Sntp.h"
#include "core/Vlan.h"
#include "core/Warning.h"
#include "net/AddressText.h"
#include "net/RecordText.h"
#include "net/ValueTexts.h"

#include <QDateTime>
#include <QHostAddress>
#include <QStringList>

#include <limits>

using namespace Intp;

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString TimeText(uint32_t seconds) { return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(TimeFormat); }

// Reads the changed fields of a record, each with its own rule; the first bad value
// stops the Set with a message naming the field.
class TChanges {
public:
    TChanges(const QMap<QString, QString>& changes, QString& error) : m_Changes(changes), m_Error(error) {}

    bool Ok() const { return m_Error.isEmpty(); }

    void Text(const char* field, std::string& value, int width)
    {
        // The switches keep 8-bit (Latin-1) texts, one byte a character, as the pages send them.
        if (const QString* text = Find(field)) {
            if (!IsRecordText(*text))
                Fail(field, QStringLiteral("Latin-1 text"));
            else if (text->size() >= width)
                Fail(field, QStringLiteral("at most %1 bytes").arg(width - 1));
            else
                value = RecordBytes(*text);
        }
    }
    void Bool(const char* field, bool& value)
    {
        if (const QString* text = Find(field)) {
            if (const std::optional<bool> on = ParseOnOff(*text))
                value = *on;
            else
                Fail(field, QStringLiteral("on or off"));
        }
    }
    template <typename T>
    void Number(const char* field, T& value, uint64_t low, uint64_t high)
    {
        if (const QString* text = Find(field)) {
            bool ok = false;
            const qulonglong n = text->toULongLong(&ok);
            if (!ok || n < low || n > high)
                Fail(field, QStringLiteral("a number from %1 to %2").arg(low).arg(high));
            else
                value = T(n);
        }
    }
    // 0.0.0.0 only where zero means "none".
    void Address(const char* field, uint32_t& value, bool zeroAllowed)
    {
        if (const QString* text = Find(field)) {
            QHostAddress address;
            const bool dotted = text->count(QLatin1Char('.')) == 3 && address.setAddress(*text) &&
                address.protocol() == QAbstractSocket::IPv4Protocol;
            const uint32_t a = dotted ? address.toIPv4Address() : 0;
            if (!dotted || (a == 0 && !zeroAllowed) || (a != 0 && !IsValidHostAddress(a)))
                Fail(field,
                     zeroAllowed ? QStringLiteral("an IPv4 host address or 0.0.0.0")
                                 : QStringLiteral("an IPv4 host address"));
            else
                value = a;
        }
    }
    template <typename T>
    void Choice(const char* field, T& value, const QStringList& names)
    {
        if (const QString* text = Find(field)) {
            const qsizetype i = names.indexOf(text->toLower());
            if (i < 0)
                Fail(field, QStringLiteral("one of ") + names.join(QStringLiteral(", ")));
            else
                value = T(i);
        }
    }
    void Mask(const char* field, uint32_t& value)
    {
        if (const QString* text = Find(field)) {
            QHostAddress address;
            const bool dotted = text->count(QLatin1Char('.')) == 3 && address.setAddress(*text) &&
                address.protocol() == QAbstractSocket::IPv4Protocol;
            if (!dotted || !IsValidMask(address.toIPv4Address()))
                Fail(field, QStringLiteral("a netmask such as 255.255.255.0"));
            else
                value = address.toIPv4Address();
        }
    }
    // A rule over several fields, checked once each field has its own value.
    void Require(bool ok, const char* field, const QString& rule)
    {
        if (Ok() && !ok)
            Fail(field, rule);
    }
    void Port(const char* field, uint8_t& value, int ports)
    {
        uint32_t n = 0;
        Number(field, n, 1, uint64_t(ports));
        if (Find(field) && Ok())
            value = uint8_t(n - 1);
    }
    void Ports(const char* field, uint32_t& mask, int ports)
    {
        if (const QString* text = Find(field))
            if (!ParsePortList(*text, ports, mask))
                Fail(field, QStringLiteral("ports from 1 to %1 such as 1,3,5-7, or none").arg(ports));
    }
    // One word per port, in port order ("auto,auto,100-full"); false when the field is not
    // given or wrong.
    bool Words(const char* field, std::size_t count, TValueNames names, std::vector<unsigned>& values)
    {
        const QStringList items = Items(field, count);
        values.clear();
        for (const QString& item : items) {
            const auto value = ValueOfWord(names, item.trimmed().toLower().toStdString());
            if (!value) {
                Fail(field, QStringLiteral("made of ") + ValueWords(names).join(QStringLiteral(", ")));
                return false;
            }
            values.push_back(*value);
        }
        return !items.isEmpty();
    }
    template <typename E, typename T>
    void PerPort(const char* field, std::vector<E>& entries, T E::*member, TValueNames names)
    {
        std::vector<unsigned> values;
        if (Words(field, entries.size(), names, values))
            for (std::size_t i = 0; i < entries.size(); ++i)
                entries[i].*member = T(values[i]);
    }
    // One number per port, in port order.
    template <typename E, typename T>
    void PerPortNumber(const char* field, std::vector<E>& entries, T E::*member, uint64_t low, uint64_t high)
    {
        const QStringList items = Items(field, entries.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            bool ok = false;
            const qulonglong n = items[i].trimmed().toULongLong(&ok);
            if (!ok || n < low || n > high)
                return Fail(field, QStringLiteral("numbers from %1 to %2, one per port").arg(low).arg(high));
            entries[std::size_t(i)].*member = T(n);
        }
    }
    // One text per entry, in order.
    template <typename E>
    void PerPortText(const char* field, std::vector<E>& entries, std::string E::*member, int width)
    {
        const QStringList items = Items(field, entries.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (!IsRecordText(items[i]) || items[i].size() >= width)
                return Fail(field, QStringLiteral("Latin-1 texts of at most %1 bytes, one per slot").arg(width - 1));
            entries[std::size_t(i)].*member = RecordBytes(items[i]);
        }
    }
    // Each trunk group's member ports, the groups separated by semicolons.
    void Groups(const char* field, std::vector<TPortTrunkEntry>& entries, int ports)
    {
        const QString* text = Find(field);
        if (!text)
            return;
        const QStringList groups = text->split(QLatin1Char(';'));
        if (groups.size() != qsizetype(entries.size()))
            return Fail(field, QStringLiteral("%1 groups of ports separated by semicolons").arg(entries.size()));
        for (qsizetype i = 0; i < groups.size(); ++i)
            if (!ParsePortList(groups[i], ports, entries[std::size_t(i)].Members))
                return Fail(field, QStringLiteral("groups of ports from 1 to %1 such as 1-2;5,6;none").arg(ports));
    }
    // Each port's tagged VLAN IDs, the ports separated by semicolons.
    void TaggedVlans(const char* field, std::vector<TVlanPortSettings>& ports)
    {
        const QString* text = Find(field);
        if (!text)
            return;
        const QStringList lists = text->split(QLatin1Char(';'));
        if (lists.size() != qsizetype(ports.size()))
            return Fail(field, QStringLiteral("%1 lists separated by semicolons, one per port").arg(ports.size()));
        for (qsizetype i = 0; i < lists.size(); ++i) {
            const QString list = lists[i].trimmed();
            std::vector<uint16_t>& vids = ports[std::size_t(i)].Tagged;
            if (list.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0)
                vids.clear();
            else if (list.isEmpty() || !ParseTaggedVids(list.toStdString(), vids))
                return Fail(field, QStringLiteral("VLAN IDs from 1 to 4094 such as 10,20, or none, for each port"));
        }
    }
    // Up to count IPv4 host addresses separated by commas, or none.
    void Addresses(const char* field, std::vector<uint32_t>& addresses, std::size_t count)
    {
        const QString* text = Find(field);
        if (!text)
            return;
        std::vector<uint32_t> out;
        if (text->trimmed().compare(QStringLiteral("none"), Qt::CaseInsensitive) != 0)
            for (const QString& item : text->split(QLatin1Char(','))) {
                const uint32_t a = AddressOf(item.trimmed());
                if (!IsValidHostAddress(a) || out.size() == count)
                    return Fail(field,
                                QStringLiteral("up to %1 IPv4 host addresses separated by commas, or none").arg(count));
                out.push_back(a);
            }
        out.resize(count, 0);
        addresses = out;
    }
    // Switches count unsigned 32-bit seconds from 1970: a time outside would wrap.
    void Time(const char* field, uint32_t& value)
    {
        if (const QString* text = Find(field)) {
            const QDateTime t = QDateTime::fromString(*text, TimeFormat);
            const qint64 seconds = t.isValid() ? QDateTime(t.date(), t.time(), Qt::UTC).toSecsSinceEpoch() : -1;
            if (!t.isValid())
                Fail(field, QStringLiteral("a time as YYYY-MM-DD hh:mm:ss"));
            else if (seconds < 0 || seconds > qint64(std::numeric_limits<uint32_t>::max()))
                Fail(field,
                     QStringLiteral("a time from %1 to %2")
                         .arg(TimeText(0), TimeText(std::numeric_limits<uint32_t>::max())));
            else
                value = uint32_t(seconds);
        }
    }

private:
    // The items of a per-port field: exactly count, else a failure and none.
    QStringList Items(const char* field, std::size_t count)
    {
        const QString* text = Find(field);
        if (!text)
            return {};
        const QStringList items = text->split(QLatin1Char(','));
        if (items.size() != qsizetype(count)) {
            Fail(field, QStringLiteral("%1 values separated by commas, one per port").arg(count));
            return {};
        }
        return items;
    }

    const QString* Find(const char* field) const
    {
        if (!m_Error.isEmpty())
            return nullptr;
        auto it = m_Changes.constFind(QString::fromLatin1(field));
        return it == m_Changes.constEnd() ? nullptr : &it.value();
    }
    void Fail(const char* field, const QString& rule) { m_Error = QStringLiteral("%1 must be %2").arg(field, rule); }

    const QMap<QString, QString>& m_Changes;
    QString& m_Error;
};

// The entries of the physical ports (at most 32, the width of a port list), trunks left out.
std::vector<TPortConfigEntry> PhysicalPorts(const TDevice& d, const TPropertyPortConfig& r)
{
    std::vector<TPortConfigEntry> ports;
    for (const TPortConfigEntry& e : r.Entries)
        if (e.Port < std::min(d.PortCount(), 32))
            ports.push_back(e);
    return ports;
}

// Every physical port's 802.1Q settings as the list gives them (at most 32 ports).
std::vector<TVlanPortSettings> VlanPorts(const TDevice& d, const TPropertyVlan8021qPort& r)
{
    std::vector<TVlanPortSettings> ports;
    for (int port = 0; port < std::min(d.PortCount(), 32); ++port)
        ports.push_back(PortSettingsFrom(r, uint8_t(port)));
    return ports;
}

// A value's word; a value the table does not name is written as its number.
QString WordOf(TValueNames names, unsigned value)
{
    return value < names.size() ? QString::fromLatin1(names[value].Word) : QString::number(value);
}

// The words or numbers of a list, comma-separated: "auto,auto,100-full".
template <typename L, typename F>
QString JoinOf(const L& list, F text)
{
    QStringList items;
    for (const auto& e : list)
        items << text(e);
    return items.join(QLatin1Char(','));
}

QString OnOff(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }
QString Str(const std::string& text) { return RecordText(text); }

template <typename G>
int Start(TDevice* device, TWizard* receiver)
{
    return StartNew<G>(device, receiver) ? 1 : 0;
}

const QStringList QosSchemes = ValueWords(Intp::QosSchemeNames);
const QStringList QosTypes = ValueWords(Intp::QosTypeNames);
const QStringList SnmpVersions = ValueWords(Intp::SnmpVersionNames);
const QStringList VlanModes = ValueWords(Intp::VlanModeNames);
const QStringList SyslogModes = ValueWords(Intp::SyslogModeNames);
const QStringList IgmpQueries = ValueWords(Intp::IgmpQueryNames);

// The name of a value, or its number where the list has none.
QString ChoiceText(const QStringList& names, unsigned value)
{
    return value < unsigned(names.size()) ? names[qsizetype(value)] : QString::number(value);
}

QList<TCliRecord> MakeRecords()
{
    QList<TCliRecord> records;

    records.append({"system",
                    "identity and versions (read 260, written 261)",
                    {{"name", "system name, up to 255 bytes", true, true},
                     {"description", "up to 255 bytes", true, true},
                     {"location", "up to 255 bytes", true, true},
                     {"contact", "up to 255 bytes", true, true},
                     {"kernel", "kernel version", false},
                     {"firmware", "firmware version", false},
                     {"hardware", "hardware version", false}},
                    &Start<TSessionBasicsSettingsGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyBasicsSettings>(d);
                        const uint32_t hw = r.HardwareVersion;
                        v = {{"name", Str(d.Name())},
                             {"description", Str(r.Description)},
                             {"location", Str(r.Location)},
                             {"contact", Str(r.Contact)},
                             {"kernel", VersionNumberText(r.KernelVersion)},
                             {"firmware", VersionNumberText(r.FirmwareVersion)},
                             {"hardware",
                              QStringLiteral("%1.%2/%3.%4")
                                  .arg(hw >> 24)
                                  .arg((hw >> 16) & 0xFF)
                                  .arg((hw >> 8) & 0xFF)
                                  .arg(hw & 0xFF)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        const auto& r = GetProperty<TPropertyBasicsSettings>(d);
                        TBasicsSettingsTexts texts{d.Name(), r.Description, r.Location, r.Contact};
                        TChanges c(changes, error);
                        c.Text("name", texts.Name, int(SettingsTextWidth));
                        c.Text("description", texts.Description, int(SettingsTextWidth));
                        c.Text("location", texts.Location, int(SettingsTextWidth));
                        c.Text("contact", texts.Contact, int(SettingsTextWidth));
                        return c.Ok() ? new TSessionBasicsSettingsSet(texts) : nullptr;
                    }});

    records.append({"network",
                    "network settings (262), read only: the console changes them with IP Configuration",
                    {{"dhcp", "on or off", false},
                     {"address", "", false},
                     {"netmask", "", false},
                     {"gateway", "", false},
                     {"dns1", "", false},
                     {"dns2", "", false}},
                    &Start<TSessionBasicsIPConfGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyBasicsIPConf>(d);
                        v = {{"dhcp", OnOff(r.Dhcp)},
                             {"address", AddressText(d.Address())},
                             {"netmask", AddressText(r.Netmask)},
                             {"gateway", AddressText(r.Gateway)},
                             {"dns1", AddressText(r.Dns1)},
                             {"dns2", AddressText(r.Dns2)}};
                        return r.Valid;
                    },
                    nullptr});

    records.append({"time",
                    "SNTP client, time zone and daylight saving (269, 270)",
                    {{"sntp", "on or off", true},
                     {"server", "SNTP server address, 0.0.0.0 for none", true},
                     {"timezone", "index into the console's time-zone list (0 to 255)", true},
                     {"daylight", "on or off", true},
                     {"daylight-begin", "YYYY-MM-DD hh:mm:ss", true},
                     {"daylight-end", "YYYY-MM-DD hh:mm:ss", true},
                     {"daylight-offset", "minutes", true},
                     {"now", "the switch's clock, or unknown", false}},
                    &Start<TSessionBasicsSntpGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyBasicsSntp>(d);
                        v = {{"sntp", OnOff(r.Enabled)},
                             {"server", AddressText(r.Server)},
                             {"timezone", QString::number(r.TimeZone)},
                             {"daylight", OnOff(r.Daylight)},
                             {"daylight-begin", TimeText(r.Begin)},
                             {"daylight-end", TimeText(r.End)},
                             {"daylight-offset", QString::number(r.Offset)},
                             {"now",
                              r.CurrentTime == TPropertyBasicsSntp::UnknownTime ? QStringLiteral("unknown")
                                                                                : TimeText(r.CurrentTime)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyBasicsSntp r = GetProperty<TPropertyBasicsSntp>(d);
                        TChanges c(changes, error);
                        c.Bool("sntp", r.Enabled);
                        c.Address("server", r.Server, true);
                        c.Number("timezone", r.TimeZone, 0, 255);
                        c.Bool("daylight", r.Daylight);
                        c.Time("daylight-begin", r.Begin);
                        c.Time("daylight-end", r.End);
                        c.Number("daylight-offset", r.Offset, 0, 1440);
                        return c.Ok() ? new TSessionBasicsSntpSet(r) : nullptr;
                    }});

    records.append({"ports",
                    "each port's link and state (515), read only",
                    {{"link-up", "ports with link", false}, {"enabled", "ports enabled", false}},
                    &Start<TSessionPortStatusGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyPortStatus>(d);
                        uint32_t link = 0, enabled = 0;
                        for (std::size_t i = 0; i < r.Entries.size() && i < 32; ++i) {
                            link |= r.Entries[i].Link ? uint32_t(1) << i : 0;
                            enabled |= r.Entries[i].Enabled ? uint32_t(1) << i : 0;
                        }
                        v = {{"link-up", PortListText(link)}, {"enabled", PortListText(enabled)}};
                        return r.Valid;
                    },
                    nullptr});

    records.append(
        {"port-config",
         "each port's state, speed and duplex, flow control and security (513, 514)",
         {{"enabled", "ports switched on, such as 1-6,8 or none", true},
          {"speed", "per port in port order: " + ValueWords(SpeedDuplexNames).join(QStringLiteral(", ")), true},
          {"flow", "per port in port order: " + ValueWords(FlowControlNames).join(QStringLiteral(", ")), true},
          {"security", "ports with port security, such as 1,3 or none", true}},
         &Start<TSessionPortConfigGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyPortConfig>(d);
             uint32_t enabled = 0, security = 0;
             QStringList speed, flow;
             for (const TPortConfigEntry& e : PhysicalPorts(d, r)) {
                 enabled |= e.Enabled ? uint32_t(1) << e.Port : 0;
                 security |= e.Security ? uint32_t(1) << e.Port : 0;
                 speed << WordOf(SpeedDuplexNames, e.Duplex);
                 flow << WordOf(FlowControlNames, e.Flow);
             }
             v = {{"enabled", PortListText(enabled)},
                  {"speed", speed.join(QLatin1Char(','))},
                  {"flow", flow.join(QLatin1Char(','))},
                  {"security", PortListText(security)}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             std::vector<TPortConfigEntry> entries = PhysicalPorts(d, GetProperty<TPropertyPortConfig>(d));
             TChanges c(changes, error);
             const int ports = int(entries.size());
             uint32_t enabled = 0, security = 0;
             for (const TPortConfigEntry& e : entries) {
                 enabled |= e.Enabled ? uint32_t(1) << e.Port : 0;
                 security |= e.Security ? uint32_t(1) << e.Port : 0;
             }
             c.Ports("enabled", enabled, ports);
             c.Ports("security", security, ports);
             c.PerPort("speed", entries, &TPortConfigEntry::Duplex, SpeedDuplexNames);
             c.PerPort("flow", entries, &TPortConfigEntry::Flow, FlowControlNames);
             for (TPortConfigEntry& e : entries) {
                 e.Enabled = enabled & (uint32_t(1) << e.Port);
                 e.Security = security & (uint32_t(1) << e.Port);
             }
             return c.Ok() && !entries.empty() ? new TSessionPortConfigSet(entries) : nullptr;
         }});

    records.append(
        {"rate-limit",
         "each port's ingress and egress limits (516, 517)",
         {{"frames",
           "per port in port order, the frames the ingress limit counts: " +
               ValueWords(FrameTypeNames).join(QStringLiteral(", ")),
           true},
          {"ingress", "per port in port order, kbit/s, 0 for no limit", true},
          {"egress", "per port in port order, kbit/s, 0 for no limit", true}},
         &Start<TSessionPortLimitGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyPortLimit>(d);
             v = {{"frames",
                   JoinOf(r.Entries, [](const TPortLimitEntry& e) { return WordOf(FrameTypeNames, e.FrameType); })},
                  {"ingress", JoinOf(r.Entries, [](const TPortLimitEntry& e) { return QString::number(e.Ingress); })},
                  {"egress", JoinOf(r.Entries, [](const TPortLimitEntry& e) { return QString::number(e.Egress); })}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertyPortLimit r = GetProperty<TPropertyPortLimit>(d);
             TChanges c(changes, error);
             c.PerPort("frames", r.Entries, &TPortLimitEntry::FrameType, FrameTypeNames);
             c.PerPortNumber("ingress", r.Entries, &TPortLimitEntry::Ingress, 0, 2147483647);
             c.PerPortNumber("egress", r.Entries, &TPortLimitEntry::Egress, 0, 2147483647);
             return c.Ok() && !r.Entries.empty() ? new TSessionPortLimitSet(r) : nullptr;
         }});

    records.append(
        {"trunks",
         "trunk groups (518, 519); groups in order, separated by semicolons",
         {{"members", "each group's member ports, such as 1-2;5,6;none", true},
          {"type", "each group's type, separated by commas: " + ValueWords(TrunkTypeNames).join(QStringLiteral(", ")),
           true}},
         &Start<TSessionPortTrunkGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyPortTrunk>(d);
             QStringList members;
             for (const TPortTrunkEntry& e : r.Entries)
                 members << PortListText(e.Members);
             v = {{"members", members.join(QLatin1Char(';'))},
                  {"type", JoinOf(r.Entries, [](const TPortTrunkEntry& e) { return WordOf(TrunkTypeNames, e.Lacp); })}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertyPortTrunk r = GetProperty<TPropertyPortTrunk>(d);
             TChanges c(changes, error);
             std::vector<unsigned> types;
             if (c.Words("type", r.Entries.size(), TrunkTypeNames, types))
                 for (std::size_t i = 0; i < r.Entries.size(); ++i)
                     r.Entries[i].Lacp = types[i] != 0;
             c.Groups("members", r.Entries, std::min(d.PortCount(), 32));
             uint32_t seen = 0;
             bool apart = true;
             for (const TPortTrunkEntry& e : r.Entries) {
                 apart = apart && !(seen & e.Members);
                 seen |= e.Members;
             }
             c.Require(apart, "members", QStringLiteral("groups without a port in common"));
             return c.Ok() && !r.Entries.empty() ? new TSessionPortTrunkSet(r) : nullptr;
         }});

    records.append({"vlan",
                    "VLAN mode (1024, read only), GVRP and management VLAN (1030, 1031)",
                    {{"mode", "disable, port or 802.1q", false},
                     {"gvrp", "on or off", true},
                     {"management-vid", "1 to 4094, 0 for none", true}},
                    [](TDevice* d, TWizard* receiver) {
                        return Start<TSessionVlanGet>(d, receiver) + Start<TSessionVlan8021qGet>(d, receiver);
                    },
                    [](TDevice& d, TCliValues& v) {
                        const auto& mode = GetProperty<TPropertyVlan>(d);
                        const auto& r = GetProperty<TPropertyVlan8021q>(d);
                        v = {{"mode", VlanModes.value(mode.Mode)},
                             {"gvrp", OnOff(r.Gvrp)},
                             {"management-vid", QString::number(r.ManagementVid)}};
                        return mode.Valid && r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyVlan8021q r = GetProperty<TPropertyVlan8021q>(d);
                        TChanges c(changes, error);
                        c.Bool("gvrp", r.Gvrp);
                        c.Number("management-vid", r.ManagementVid, 0, MaxVlanId);
                        return c.Ok() ? new TSessionVlan8021qSet(r) : nullptr;
                    }});

    records.append(
        {"vlan-ports",
         "each port's 802.1Q link type, untagged and tagged VLANs (1032, 1033)",
         {{"link-type", "per port in port order: " + ValueWords(LinkTypeNames).join(QStringLiteral(", ")), true},
          {"untagged", "per port in port order, the untagged VLAN ID, 1 to 4094", true},
          {"tagged", "per port in port order, separated by semicolons: VLAN IDs such as 10,20 or none", true}},
         &Start<TSessionVlan8021qPortGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyVlan8021qPort>(d);
             const std::vector<TVlanPortSettings> ports = VlanPorts(d, r);
             QStringList tagged;
             for (const TVlanPortSettings& p : ports)
                 tagged << (p.Tagged.empty() ? QStringLiteral("none")
                                             : QString::fromStdString(NumberListText(p.Tagged)));
             v = {{"link-type",
                   JoinOf(ports, [](const TVlanPortSettings& p) { return WordOf(LinkTypeNames, p.LinkType); })},
                  {"untagged", JoinOf(ports, [](const TVlanPortSettings& p) { return QString::number(p.Untagged); })},
                  {"tagged", tagged.join(QLatin1Char(';'))}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             std::vector<TVlanPortSettings> ports = VlanPorts(d, GetProperty<TPropertyVlan8021qPort>(d));
             TChanges c(changes, error);
             c.PerPort("link-type", ports, &TVlanPortSettings::LinkType, LinkTypeNames);
             c.PerPortNumber("untagged", ports, &TVlanPortSettings::Untagged, 1, MaxVlanId);
             c.TaggedVlans("tagged", ports);
             if (!c.Ok() || ports.empty())
                 return nullptr;
             const std::vector<std::vector<uint16_t>> requests = SplitPortSettings(ports);
             if (requests.size() != 1 || requests[0].empty()) {
                 error = QStringLiteral("tagged holds more VLANs than one request carries; set them in the window");
                 return nullptr;
             }
             return new TSessionVlan8021qPortSet(requests[0]);
         }});

    records.append({"rstp",
                    "rapid spanning tree of the bridge (770, 771); port settings stay as they are",
                    {{"enabled", "on or off", true},
                     {"bridge-priority", "0 to 61440 in steps of 4096", true},
                     {"max-age", "seconds, 6 to 40", true},
                     {"hello", "seconds, 1 to 10", true},
                     {"forward-delay", "seconds, 4 to 30", true}},
                    &Start<TSessionRedundancyRstpGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyRedundancyRstp>(d);
                        v = {{"enabled", OnOff(r.Enabled)},
                             {"bridge-priority", QString::number(r.BridgePriority)},
                             {"max-age", QString::number(r.MaxAge)},
                             {"hello", QString::number(r.Hello)},
                             {"forward-delay", QString::number(r.ForwardDelay)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyRedundancyRstp r = GetProperty<TPropertyRedundancyRstp>(d);
                        TChanges c(changes, error);
                        c.Bool("enabled", r.Enabled);
                        c.Number("bridge-priority", r.BridgePriority, 0, 61440);
                        c.Require(r.BridgePriority % 4096 == 0, "bridge-priority",
                                  QStringLiteral("a multiple of 4096"));
                        c.Number("max-age", r.MaxAge, 6, 40);
                        c.Number("hello", r.Hello, 1, 10);
                        c.Number("forward-delay", r.ForwardDelay, 4, 30);
                        return c.Ok() ? new TSessionRedundancyRstpSet(r) : nullptr;
                    }});

    records.append({"qos",
                    "scheduling scheme and priority type (1280, 1281)",
                    {{"scheme", "weighted or strict", true}, {"type", QosTypes.join(QStringLiteral(", ")), true}},
                    &Start<TSessionQosGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyQos>(d);
                        v = {{"scheme", QosSchemes.value(r.Scheme)}, {"type", QosTypes.value(r.Type)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyQos r = GetProperty<TPropertyQos>(d);
                        TChanges c(changes, error);
                        c.Choice("scheme", r.Scheme, QosSchemes);
                        c.Choice("type", r.Type, QosTypes);
                        return c.Ok() ? new TSessionQosSet(r) : nullptr;
                    }});

    records.append(
        {"qos-port",
         "each port's priority queue for port-based QoS (1282, 1283)",
         {{"queue", "per port in port order: " + ValueWords(QueueNames).join(QStringLiteral(", ")), true}},
         &Start<TSessionQosPortGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyQosPort>(d);
             v = {{"queue", JoinOf(r.Entries, [](const TQosByte& e) { return WordOf(QueueNames, e.Value); })}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertyQosPort r = GetProperty<TPropertyQosPort>(d);
             TChanges c(changes, error);
             c.PerPort("queue", r.Entries, &TQosByte::Value, QueueNames);
             return c.Ok() && !r.Entries.empty() ? new TSessionQosPortSet(r) : nullptr;
         }});

    records.append(
        {"cos-map",
         "802.1p priorities to queues, and each port's priority for untagged frames (1284, 1285)",
         {{"queues",
           "the queue of priorities 0 to 7, separated by commas: " + ValueWords(QueueNames).join(QStringLiteral(", ")),
           true},
          {"default-priority", "per port in port order, 0 to 7", true}},
         &Start<TSessionQosCosGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyQosCos>(d);
             v = {{"queues", JoinOf(r.Queues, [](uint8_t q) { return WordOf(QueueNames, q); })},
                  {"default-priority",
                   JoinOf(r.Entries, [](const TQosByte& e) { return WordOf(CosPriorityNames, e.Value); })}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertyQosCos r = GetProperty<TPropertyQosCos>(d);
             TChanges c(changes, error);
             std::vector<unsigned> queues;
             if (c.Words("queues", r.Queues.size(), QueueNames, queues))
                 std::copy(queues.begin(), queues.end(), r.Queues.begin());
             c.PerPort("default-priority", r.Entries, &TQosByte::Value, CosPriorityNames);
             return c.Ok() && !r.Entries.empty() ? new TSessionQosCosSet(r) : nullptr;
         }});

    records.append(
        {"tos-map",
         "DSCP values 0 to 63 to queues (1286, 1287)",
         {{"queues", "64 queues separated by commas: " + ValueWords(QueueNames).join(QStringLiteral(", ")), true}},
         &Start<TSessionQosTosGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertyQosTos>(d);
             v = {{"queues", JoinOf(r.Queues, [](uint8_t q) { return WordOf(QueueNames, q); })}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertyQosTos r = GetProperty<TPropertyQosTos>(d);
             TChanges c(changes, error);
             std::vector<unsigned> queues;
             if (c.Words("queues", r.Queues.size(), QueueNames, queues))
                 std::copy(queues.begin(), queues.end(), r.Queues.begin());
             return c.Ok() ? new TSessionQosTosSet(r) : nullptr;
         }});

    records.append({"snmp",
                    "SNMP agent version (1792, 1793)",
                    {{"version", "v1v2c or v3", true}},
                    &Start<TSessionSnmpGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertySnmp>(d);
                        v = {{"version", SnmpVersions.value(r.Version)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertySnmp r = GetProperty<TPropertySnmp>(d);
                        TChanges c(changes, error);
                        c.Choice("version", r.Version, SnmpVersions);
                        return c.Ok() ? new TSessionSnmpSet(r) : nullptr;
                    }});

    records.append(
        {"snmp-communities",
         "the SNMP communities, one a slot (1794, 1795)",
         {{"communities", "the community of each slot, separated by commas", true, true, true},
          {"privileges",
           "each slot's privilege, separated by commas: " + ValueWords(PrivilegeNames).join(QStringLiteral(", ")),
           true}},
         &Start<TSessionSnmpCommunityGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertySnmpCommunity>(d);
             v = {{"communities",
                   JoinOf(r.Entries, [](const TPropertySnmpCommunityEntry& e) { return Str(e.Community); })},
                  {"privileges", JoinOf(r.Entries, [](const TPropertySnmpCommunityEntry& e) {
                       return WordOf(PrivilegeNames, e.Privilege);
                   })}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertySnmpCommunity r = GetProperty<TPropertySnmpCommunity>(d);
             TChanges c(changes, error);
             c.PerPort("privileges", r.Entries, &TPropertySnmpCommunityEntry::Privilege, PrivilegeNames);
             c.PerPortText("communities", r.Entries, &TPropertySnmpCommunityEntry::Community, 32);
             return c.Ok() && !r.Entries.empty() ? new TSessionSnmpCommunitySet(r) : nullptr;
         }});

    records.append({"mirror",
                    "port mirroring (2564, 2565); ports count from 1",
                    {{"dest-rx", "port receiving mirrored received frames", true},
                     {"dest-tx", "port receiving mirrored transmitted frames", true},
                     {"src-rx", "ports whose received frames are mirrored, such as 1,3-4 or none", true},
                     {"src-tx", "ports whose transmitted frames are mirrored", true}},
                    &Start<TSessionMonitorMirrorGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyMonitorMirror>(d);
                        v = {{"dest-rx", QString::number(r.DestRx + 1)},
                             {"dest-tx", QString::number(r.DestTx + 1)},
                             {"src-rx", PortListText(r.SrcRx)},
                             {"src-tx", PortListText(r.SrcTx)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyMonitorMirror r = GetProperty<TPropertyMonitorMirror>(d);
                        TChanges c(changes, error);
                        const int ports = std::min(d.PortCount(), 32);
                        c.Port("dest-rx", r.DestRx, ports);
                        c.Port("dest-tx", r.DestTx, ports);
                        c.Ports("src-rx", r.SrcRx, ports);
                        c.Ports("src-tx", r.SrcTx, ports);
                        return c.Ok() ? new TSessionMonitorMirrorSet(r) : nullptr;
                    }});

    records.append({"lldp",
                    "LLDP agent (2816, 2817)",
                    {{"enabled", "on or off", true}, {"interval", "seconds, 0 to 65535", true}},
                    &Start<TSessionLldpGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyLldp>(d);
                        v = {{"enabled", OnOff(r.Enabled)}, {"interval", QString::number(r.Interval)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyLldp r = GetProperty<TPropertyLldp>(d);
                        TChanges c(changes, error);
                        c.Bool("enabled", r.Enabled);
                        c.Number("interval", r.Interval, 0, std::numeric_limits<uint16_t>::max());
                        return c.Ok() ? new TSessionLldpSet(r) : nullptr;
                    }});
    records.append({"syslog",
                    "where the switch sends syslog messages (2306, 2307)",
                    {{"mode", "disable, client, server or both", true},
                     {"server", "syslog server; modes server and both need one", true}},
                    &Start<TSessionWarningSyslogGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyWarningSyslog>(d);
                        v = {{"mode", ChoiceText(SyslogModes, r.Mode)}, {"server", AddressText(r.Server)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyWarningSyslog r = GetProperty<TPropertyWarningSyslog>(d);
                        TChanges c(changes, error);
                        c.Choice("mode", r.Mode, SyslogModes);
                        c.Address("server", r.Server, true);
                        c.Require((r.Mode != smServer && r.Mode != smBoth) || IsValidHostAddress(r.Server), "server",
                                  QStringLiteral("an IPv4 host address in modes server and both"));
                        return c.Ok() ? new TSessionWarningSyslogSet(r) : nullptr;
                    }});

    records.append({"fault-alarm",
                    "the alarms the fault relay reports (2304, 2305); ports count from 1",
                    {{"power1", "alarm when power input 1 fails: on or off", true},
                     {"power2", "alarm when power input 2 fails: on or off", true},
                     {"link-down", "ports whose link loss is an alarm, such as 1-4 or none", true}},
                    &Start<TSessionWarningFaultGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyWarningFault>(d);
                        v = {{"power1", OnOff(r.System & 1)},
                             {"power2", OnOff(r.System & 2)},
                             {"link-down", PortListText(r.LinkDown)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyWarningFault r = GetProperty<TPropertyWarningFault>(d);
                        TChanges c(changes, error);
                        bool power1 = r.System & 1, power2 = r.System & 2;
                        c.Bool("power1", power1);
                        c.Bool("power2", power2);
                        r.System = (r.System & ~uint32_t(3)) | (power1 ? 1 : 0) | (power2 ? 2 : 0);
                        c.Ports("link-down", r.LinkDown, std::min(d.PortCount(), 32));
                        return c.Ok() ? new TSessionWarningFaultSet(r) : nullptr;
                    }});

    records.append({"events",
                    "the events sent by syslog and by SMTP (2310, 2311); ports count from 1",
                    {{"syslog-system", "system events sent by syslog, a bit mask", true},
                     {"syslog-link-up", "ports whose link-up is sent by syslog, such as 1-4 or none", true},
                     {"syslog-link-down", "ports whose link-down is sent by syslog", true},
                     {"smtp-system", "system events sent by mail, a bit mask", true},
                     {"smtp-link-up", "ports whose link-up is sent by mail", true},
                     {"smtp-link-down", "ports whose link-down is sent by mail", true}},
                    &Start<TSessionWarningEventGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyWarningEvent>(d);
                        v = {{"syslog-system", QString::number(r.SyslogSystem)},
                             {"syslog-link-up", PortListText(r.SyslogLinkUp)},
                             {"syslog-link-down", PortListText(r.SyslogLinkDown)},
                             {"smtp-system", QString::number(r.SmtpSystem)},
                             {"smtp-link-up", PortListText(r.SmtpLinkUp)},
                             {"smtp-link-down", PortListText(r.SmtpLinkDown)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyWarningEvent r = GetProperty<TPropertyWarningEvent>(d);
                        TChanges c(changes, error);
                        const int ports = std::min(d.PortCount(), 32);
                        c.Number("syslog-system", r.SyslogSystem, 0, std::numeric_limits<uint32_t>::max());
                        c.Ports("syslog-link-up", r.SyslogLinkUp, ports);
                        c.Ports("syslog-link-down", r.SyslogLinkDown, ports);
                        c.Number("smtp-system", r.SmtpSystem, 0, std::numeric_limits<uint32_t>::max());
                        c.Ports("smtp-link-up", r.SmtpLinkUp, ports);
                        c.Ports("smtp-link-down", r.SmtpLinkDown, ports);
                        return c.Ok() ? new TSessionWarningEventSet(r) : nullptr;
                    }});

    records.append({"8021x",
                    "802.1X authentication against a RADIUS server (2056, 2057)",
                    {{"enabled", "on or off", true},
                     {"server", "RADIUS server address, 0.0.0.0 for none", true},
                     {"server-port", "1 to 65535", true},
                     {"accounting-port", "1 to 65535", true},
                     {"shared-key", "the RADIUS shared secret, up to 31 bytes", true, true, true},
                     {"nas-id", "NAS identifier, up to 31 bytes", true, true},
                     {"quiet-period", "seconds, 0 to 65535", true},
                     {"tx-period", "seconds, 0 to 65535", true},
                     {"supplicant-timeout", "seconds, 1 to 300", true},
                     {"server-timeout", "seconds, 1 to 300", true},
                     {"max-requests", "1 to 10", true},
                     {"reauth-period", "seconds, 1 to 999999", true}},
                    &Start<TSessionSecurity8021xGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertySecurity8021x>(d);
                        v = {{"enabled", OnOff(r.Enabled)},
                             {"server", AddressText(r.ServerAddress)},
                             {"server-port", QString::number(r.ServerPort)},
                             {"accounting-port", QString::number(r.AccountingPort)},
                             {"shared-key", Str(r.SharedKey)},
                             {"nas-id", Str(r.NasId)},
                             {"quiet-period", QString::number(r.QuietPeriod)},
                             {"tx-period", QString::number(r.TxPeriod)},
                             {"supplicant-timeout", QString::number(r.SupplicantTimeout)},
                             {"server-timeout", QString::number(r.ServerTimeout)},
                             {"max-requests", QString::number(r.MaxRequests)},
                             {"reauth-period", QString::number(r.ReAuthPeriod)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertySecurity8021x r = GetProperty<TPropertySecurity8021x>(d);
                        TChanges c(changes, error);
                        c.Bool("enabled", r.Enabled);
                        c.Address("server", r.ServerAddress, true);
                        c.Number("server-port", r.ServerPort, 1, 65535);
                        c.Number("accounting-port", r.AccountingPort, 1, 65535);
                        c.Text("shared-key", r.SharedKey, 32);
                        c.Text("nas-id", r.NasId, 32);
                        c.Number("quiet-period", r.QuietPeriod, 0, 65535);
                        c.Number("tx-period", r.TxPeriod, 0, 65535);
                        c.Number("supplicant-timeout", r.SupplicantTimeout, 1, 300);
                        c.Number("server-timeout", r.ServerTimeout, 1, 300);
                        c.Number("max-requests", r.MaxRequests, 1, 10);
                        c.Number("reauth-period", r.ReAuthPeriod, 1, 999999);
                        c.Require(!r.Enabled ||
                                      (IsValidHostAddress(r.ServerAddress) && !r.SharedKey.empty() && !r.NasId.empty()),
                                  "server",
                                  QStringLiteral("a host address, with a shared key and a NAS identifier, "
                                                 "while 802.1X is on"));
                        return c.Ok() ? new TSessionSecurity8021xSet(r) : nullptr;
                    }});

    records.append({"port-auth",
                    "each port's 802.1X authorisation (2058, 2059)",
                    {{"mode", "per port in port order: " + ValueWords(AuthModeNames).join(QStringLiteral(", ")), true}},
                    &Start<TSessionSecurity8021xPortGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertySecurity8021xPort>(d);
                        v = {{"mode", JoinOf(r.Modes, [](uint8_t m) { return WordOf(AuthModeNames, m); })}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertySecurity8021xPort r = GetProperty<TPropertySecurity8021xPort>(d);
                        TChanges c(changes, error);
                        std::vector<unsigned> modes;
                        if (c.Words("mode", r.Modes.size(), AuthModeNames, modes))
                            r.Modes.assign(modes.begin(), modes.end());
                        return c.Ok() && !r.Modes.empty() ? new TSessionSecurity8021xPortSet(r) : nullptr;
                    }});

    records.append(
        {"ip-security",
         "the management access list (2048, 2049)",
         {{"enabled", "on or off", true},
          {"web", "the list guards web access: on or off", true},
          {"telnet", "the list guards telnet: on or off", true},
          {"snmp", "the list guards SNMP: on or off", true},
          {"addresses", "the allowed IPv4 addresses separated by commas, or none", true}},
         &Start<TSessionSecurityIpGet>,
         [](TDevice& d, TCliValues& v) {
             const auto& r = GetProperty<TPropertySecurityIp>(d);
             QStringList addresses;
             for (uint32_t a : r.Addresses)
                 if (a != 0)
                     addresses << AddressText(a);
             v = {{"enabled", OnOff(r.Enabled)},
                  {"web", OnOff(r.Management & TPropertySecurityIp::mgWeb)},
                  {"telnet", OnOff(r.Management & TPropertySecurityIp::mgTelnet)},
                  {"snmp", OnOff(r.Management & TPropertySecurityIp::mgSnmp)},
                  {"addresses", addresses.isEmpty() ? QStringLiteral("none") : addresses.join(QLatin1Char(','))}};
             return r.Valid;
         },
         [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
             TPropertySecurityIp r = GetProperty<TPropertySecurityIp>(d);
             TChanges c(changes, error);
             c.Bool("enabled", r.Enabled);
             for (auto [field, bit] :
                  {std::pair("web", TPropertySecurityIp::mgWeb), std::pair("telnet", TPropertySecurityIp::mgTelnet),
                   std::pair("snmp", TPropertySecurityIp::mgSnmp)}) {
                 bool on = r.Management & bit;
                 c.Bool(field, on);
                 r.Management = on ? (r.Management | bit) : (r.Management & ~uint32_t(bit));
             }
             c.Addresses("addresses", r.Addresses, std::size_t(std::max(d.AccessListCount(), 0)));
             return c.Ok() && !r.Addresses.empty() ? new TSessionSecurityIpSet(r) : nullptr;
         }});

    records.append({"dhcp-server",
                    "the switch's DHCP server (272, 273)",
                    {{"enabled", "on or off", true},
                     {"start", "first address of the pool", true},
                     {"end", "last address of the pool", true},
                     {"netmask", "", true},
                     {"gateway", "handed out, or 0.0.0.0 for none", true},
                     {"dns", "handed out, or 0.0.0.0 for none", true},
                     {"lease", "seconds, 1 to 2147483647", true}},
                    &Start<TSessionBasicsDhcpGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyBasicsDhcp>(d);
                        v = {{"enabled", OnOff(r.Enabled)},       {"start", AddressText(r.Start)},
                             {"end", AddressText(r.End)},         {"netmask", AddressText(r.Mask)},
                             {"gateway", AddressText(r.Gateway)}, {"dns", AddressText(r.Dns)},
                             {"lease", QString::number(r.Lease)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyBasicsDhcp r = GetProperty<TPropertyBasicsDhcp>(d);
                        TChanges c(changes, error);
                        c.Bool("enabled", r.Enabled);
                        c.Address("start", r.Start, false);
                        c.Address("end", r.End, false);
                        c.Mask("netmask", r.Mask);
                        c.Address("gateway", r.Gateway, true);
                        c.Address("dns", r.Dns, true);
                        c.Number("lease", r.Lease, 1, uint64_t(std::numeric_limits<int32_t>::max()));
                        const bool pool = IsValidHostAddress(r.Start) && IsValidHostAddress(r.End) && r.Start < r.End &&
                            IsValidMask(r.Mask);
                        c.Require(!r.Enabled || pool, "start",
                                  QStringLiteral("below end, in a pool of host addresses with a netmask"));
                        return c.Ok() ? new TSessionBasicsDhcpSet(r) : nullptr;
                    }});

    records.append({"igmp",
                    "IGMP snooping and the query function (1536, 1537)",
                    {{"snooping", "on or off", true}, {"query", "disable, enable or auto", true}},
                    &Start<TSessionIgmpGet>,
                    [](TDevice& d, TCliValues& v) {
                        const auto& r = GetProperty<TPropertyIgmp>(d);
                        v = {{"snooping", OnOff(r.Snooping)}, {"query", ChoiceText(IgmpQueries, r.QueryMode)}};
                        return r.Valid;
                    },
                    [](TDevice& d, const QMap<QString, QString>& changes, QString& error) -> TSession* {
                        TPropertyIgmp r = GetProperty<TPropertyIgmp>(d);
                        TChanges c(changes, error);
                        c.Bool("snooping", r.Snooping);
                        c.Choice("query", r.QueryMode, IgmpQueries);
                        return c.Ok() ? new TSessionIgmpSet(r) : nullptr;
                    }});
    return records;
}

} // namespace

const QList<TCliRecord>& CliRecords()
{
    static const QList<TCliRecord> records = MakeRecords();
    return records;
}

const TCliRecord* FindCliRecord(const QString& name)
{
    for (const TCliRecord& record : CliRecords())
        if (record.Name == name)
            return &record;
    return nullptr;
}

bool ParsePortList(const QString& text, int ports, uint32_t& mask)
{
    if (text.trimmed().compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
        mask = 0;
        return true;
    }
    uint32_t out = 0;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        bool ok1 = false, ok2 = false;
        const int first = ends.value(0).toInt(&ok1);
        const int last = ends.size() == 2 ? ends[1].toInt(&ok2) : (ok2 = ok1, first);
        if (ends.size() > 2 || !ok1 || !ok2 || first < 1 || last < first || last > ports || last > 32)
            return false;
        for (int p = first; p <= last; ++p)
            out |= uint32_t(1) << (p - 1);
    }
    mask = out;
    return true;
}

const TCliField* FindCliField(const TCliRecord& record, const QString& name)
{
    const auto it = std::find_if(record.Fields.begin(), record.Fields.end(),
                                 [&](const TCliField& f) { return f.Name == name; });
    return it == record.Fields.end() ? nullptr : &*it;
}

bool IsSecretField(const QString& record, const QString& field)
{
    const TCliRecord* r = FindCliRecord(record);
    const TCliField* f = r ? FindCliField(*r, field) : nullptr;
    return f && f->Secret;
}

std::optional<bool> ParseOnOff(const QString& word)
{
    static const QStringList on = {"on", "yes", "true", "1", "enable", "enabled"};
    static const QStringList off = {"off", "no", "false", "0", "disable", "disabled"};
    const QString w = word.toLower();
    if (on.contains(w))
        return true;
    if (off.contains(w))
        return false;
    return std::nullopt;
}

bool ParseSwitchMac(const QString& text, TMacAddr& mac)
{
    QString digits = text;
    if (text.size() == 17) {
        const QChar separator = text[2];
        if (separator != QLatin1Char(':') && separator != QLatin1Char('-'))
            return false;
        for (int at = 5; at < 17; at += 3)
            if (text[at] != separator)
                return false;
        digits.remove(separator);
    }
    return ParseMacText(digits.toStdString(), mac);
}

QString PortListText(uint32_t mask)
{
    QStringList parts;
    for (int p = 0; p < 32;) {
        if (!(mask & (uint32_t(1) << p))) {
            ++p;
            continue;
        }
        int end = p;
        while (end + 1 < 32 && (mask & (uint32_t(1) << (end + 1))))
            ++end;
        parts << (end == p ? QString::number(p + 1) : QStringLiteral("%1-%2").arg(p + 1).arg(end + 1));
        p = end + 1;
    }
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QLatin1Char(','));
}
