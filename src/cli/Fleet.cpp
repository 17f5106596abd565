#include "Fleet.h"

#include "CliRecords.h"
#include "core/AddressRules.h"
#include "core/Device.h"
#include "core/DeviceType.h"
#include "net/AddressText.h"
#include "net/RecordText.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <yaml-cpp/yaml.h>

namespace {

// Aliases let a short file name the same map many times over; the reader counts every node
// it visits, so a file whose aliases expand beyond reason is refused, not walked.
constexpr int NodeBudget = 1'000'000;
// A referenced secret is one line; anything longer is not one.
constexpr qint64 SecretFileLimit = 64 * 1024;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

// An IPv4 address written with four parts and nothing else. AddressOf gives
// 255.255.255.255 for a text that is no address, so that value counts only when written.
std::optional<uint32_t> DottedAddress(const QString& text)
{
    const uint32_t address = AddressOf(text);
    if (text.count(QLatin1Char('.')) != 3 || (address == 0xFFFFFFFFu && text != QLatin1String("255.255.255.255")))
        return std::nullopt;
    return address;
}

class TFleetReader {
public:
    explicit TFleetReader(const QString& path) : m_Path(path) {}

    const QString& Error() const { return m_Error; }

    bool Fail(const YAML::Mark& mark, const QString& what)
    {
        if (m_Error.isEmpty())
            m_Error = QStringLiteral("%1:%2:%3: %4")
                          .arg(m_Path)
                          .arg(std::max(mark.line, 0) + 1)
                          .arg(std::max(mark.column, 0) + 1)
                          .arg(what);
        return false;
    }
    bool Fail(const YAML::Node& node, const QString& what) { return Fail(node.Mark(), what); }

    bool File(const YAML::Node& root, TFleetFile& file)
    {
        if (!Visit(root))
            return false;
        if (root.IsNull())
            return Fail(root, QStringLiteral("the file is empty; it needs switches:"));
        if (!root.IsMap())
            return Fail(root, QStringLiteral("the file must be a map of defaults, groups and switches"));
        bool haveSwitches = false;
        for (const auto& item : root) {
            QString key;
            if (!Key(item.first, key))
                return false;
            if (key == QLatin1String("defaults")) {
                if (!Settings(item.second, file.Defaults))
                    return false;
            } else if (key == QLatin1String("groups")) {
                if (!Groups(item.second, file.Groups))
                    return false;
            } else if (key == QLatin1String("switches")) {
                haveSwitches = true;
                if (!Switches(item.second, file.Switches))
                    return false;
            } else {
                return Fail(item.first,
                            QStringLiteral("unknown section %1; a fleet file has defaults, groups and "
                                           "switches")
                                .arg(key));
            }
        }
        if (!haveSwitches)
            return Fail(root, QStringLiteral("the file names no switches (switches:)"));
        return true;
    }

private:
    bool Visit(const YAML::Node& node)
    {
        if (++m_Nodes > NodeBudget)
            return Fail(
                node,
                QStringLiteral("the file expands to more than %1 values (aliases within aliases?)").arg(NodeBudget));
        return true;
    }

    bool Key(const YAML::Node& node, QString& key)
    {
        if (!Visit(node))
            return false;
        if (!node.IsScalar() || (node.Tag() != "?" && node.Tag() != "!"))
            return Fail(node, QStringLiteral("a key must be a plain word"));
        key = Utf8(node.Scalar());
        return true;
    }

    // A value: a scalar, a reference to a secret, or a list of scalars (read as "a,b,c").
    bool Value(const YAML::Node& node, QString& text)
    {
        if (!Visit(node))
            return false;
        if (node.IsSequence()) {
            QStringList items;
            for (const YAML::Node& item : node) {
                QString one;
                if (!Visit(item))
                    return false;
                if (!item.IsScalar())
                    return Fail(item, QStringLiteral("a list value holds words or numbers only"));
                if (!Scalar(item, one))
                    return false;
                items << one;
            }
            text = items.join(QLatin1Char(','));
            return true;
        }
        if (node.IsNull())
            return Fail(node, QStringLiteral("the value is missing (write \"\" for an empty text)"));
        if (!node.IsScalar())
            return Fail(node, QStringLiteral("a field's value must be a word, a number or a list"));
        return Scalar(node, text);
    }

    bool Scalar(const YAML::Node& node, QString& text)
    {
        const std::string& tag = node.Tag();
        const QString value = Utf8(node.Scalar());
        if (tag == "?" || tag == "!" || tag.rfind("tag:yaml.org,2002:", 0) == 0) {
            text = value;
            return true;
        }
        if (tag == "!env") {
            const QByteArray name = value.toLocal8Bit();
            if (value.isEmpty() || !qEnvironmentVariableIsSet(name.constData()))
                return Fail(node, QStringLiteral("the environment has no %1 (!env)").arg(value));
            text = qEnvironmentVariable(name.constData());
            return true;
        }
        if (tag == "!file") {
            QFile file(value);
            if (!file.open(QIODevice::ReadOnly))
                return Fail(node, QStringLiteral("cannot read %1 (!file): %2").arg(value, file.errorString()));
            if (file.size() > SecretFileLimit)
                return Fail(node, QStringLiteral("%1 (!file) is larger than a secret can be").arg(value));
            text = QString::fromUtf8(file.readLine()).trimmed();
            return true;
        }
        return Fail(node, QStringLiteral("unknown tag %1; values may be !env NAME or !file PATH").arg(Utf8(tag)));
    }

    // record: {field: value, ...} for every record given.
    bool Settings(const YAML::Node& node, TFleetSettings& settings)
    {
        if (!Visit(node))
            return false;
        if (node.IsNull())
            return true;
        if (!node.IsMap())
            return Fail(node, QStringLiteral("settings are a map of records (zode-cli records lists them)"));
        for (const auto& item : node) {
            QString name;
            if (!Key(item.first, name))
                return false;
            const TCliRecord* record = FindCliRecord(name);
            if (!record)
                return Fail(item.first, QStringLiteral("no record %1 (zode-cli records lists them)").arg(name));
            if (!Visit(item.second))
                return false;
            if (!item.second.IsMap())
                return Fail(item.second, QStringLiteral("%1 takes a map of its fields").arg(name));
            auto& fields = settings[name];
            for (const auto& entry : item.second) {
                QString field;
                if (!Key(entry.first, field))
                    return false;
                const TCliField* known = FindCliField(*record, field);
                if (!known)
                    return Fail(entry.first, QStringLiteral("%1 has no field %2").arg(name, field));
                if (!known->Writable || !record->MakeSet)
                    return Fail(entry.first, QStringLiteral("%1 %2 is read only").arg(name, field));
                TFleetValue value;
                if (!Value(entry.second, value.Text))
                    return false;
                value.Line = entry.second.Mark().line + 1;
                value.Column = entry.second.Mark().column + 1;
                fields.insert(field, value);
            }
        }
        return true;
    }

    bool Mac(const YAML::Node& node, TMacAddr& mac)
    {
        QString text;
        if (!Value(node, text))
            return false;
        if (!ParseSwitchMac(text, mac))
            return Fail(node, QStringLiteral("%1 is not a MAC address").arg(text));
        return true;
    }

    // 192.0.2.0/24, 192.0.2.10-192.0.2.19 or one address.
    bool Range(const YAML::Node& node, std::pair<uint32_t, uint32_t>& range)
    {
        QString text;
        if (!Value(node, text))
            return false;
        const QString bad = QStringLiteral("%1 is not an address, ADDRESS/PREFIX or FIRST-LAST").arg(text);
        if (const qsizetype slash = text.indexOf(QLatin1Char('/')); slash > 0) {
            bool ok = false;
            const int prefix = text.mid(slash + 1).toInt(&ok);
            const std::optional<uint32_t> address = DottedAddress(text.left(slash));
            if (!ok || prefix < 0 || prefix > 32 || !address)
                return Fail(node, bad);
            const uint32_t mask = prefix == 0 ? 0 : ~uint32_t(0) << (32 - prefix);
            range = {*address & mask, (*address & mask) | ~mask};
            return true;
        }
        const QStringList ends = text.split(QLatin1Char('-'));
        const std::optional<uint32_t> first = DottedAddress(ends.value(0));
        const std::optional<uint32_t> last = DottedAddress(ends.value(ends.size() - 1));
        if (ends.size() > 2 || !first || !last || *last < *first)
            return Fail(node, bad);
        range = {*first, *last};
        return true;
    }

    template <typename T, typename F>
    bool OneOrMany(const YAML::Node& node, std::vector<T>& out, F read)
    {
        // The reader counts each value it reads; only the list itself is counted here.
        if (!node.IsSequence()) {
            T one;
            if (!(this->*read)(node, one))
                return false;
            out.push_back(one);
            return true;
        }
        if (!Visit(node))
            return false;
        for (const YAML::Node& item : node) {
            T one;
            if (!(this->*read)(item, one))
                return false;
            out.push_back(one);
        }
        return true;
    }

    bool Match(const YAML::Node& node, TFleetMatch& match)
    {
        if (!Visit(node))
            return false;
        if (!node.IsMap() || node.size() == 0)
            return Fail(node, QStringLiteral("match needs one or more of mac, address, model and name"));
        for (const auto& item : node) {
            QString key;
            if (!Key(item.first, key))
                return false;
            bool ok = true;
            if (key == QLatin1String("mac"))
                ok = OneOrMany(item.second, match.Macs, &TFleetReader::Mac);
            else if (key == QLatin1String("address"))
                ok = OneOrMany(item.second, match.Ranges, &TFleetReader::Range);
            else if (key == QLatin1String("model"))
                ok = Value(item.second, match.Model);
            else if (key == QLatin1String("name"))
                ok = Value(item.second, match.Name);
            else
                return Fail(item.first,
                            QStringLiteral("match has no %1; it takes mac, address, model and name").arg(key));
            if (!ok)
                return false;
        }
        return true;
    }

    bool Groups(const YAML::Node& node, std::vector<TFleetGroup>& groups)
    {
        if (!Visit(node))
            return false;
        if (node.IsNull())
            return true;
        if (!node.IsSequence())
            return Fail(node, QStringLiteral("groups are a list, each with match and settings"));
        for (const YAML::Node& item : node) {
            if (!Visit(item))
                return false;
            if (!item.IsMap())
                return Fail(item, QStringLiteral("a group is a map with match and settings"));
            TFleetGroup group;
            group.Line = item.Mark().line + 1;
            group.Column = item.Mark().column + 1;
            bool haveMatch = false;
            for (const auto& entry : item) {
                QString key;
                if (!Key(entry.first, key))
                    return false;
                if (key == QLatin1String("match")) {
                    haveMatch = true;
                    if (!Match(entry.second, group.Match))
                        return false;
                } else if (key == QLatin1String("settings")) {
                    if (!Settings(entry.second, group.Settings))
                        return false;
                } else {
                    return Fail(entry.first, QStringLiteral("a group has match and settings, not %1").arg(key));
                }
            }
            if (!haveMatch)
                return Fail(item, QStringLiteral("the group has no match"));
            groups.push_back(std::move(group));
        }
        return true;
    }

    bool Switches(const YAML::Node& node, std::vector<TFleetSwitch>& switches)
    {
        if (!Visit(node))
            return false;
        if (!node.IsMap() || node.size() == 0)
            return Fail(node, QStringLiteral("switches is a map of MAC addresses to settings"));
        for (const auto& item : node) {
            TFleetSwitch entry;
            if (!Mac(item.first, entry.Mac))
                return false;
            for (const TFleetSwitch& earlier : switches)
                if (earlier.Mac == entry.Mac)
                    return Fail(item.first, QStringLiteral("%1 is named twice").arg(MacText(entry.Mac)));
            entry.Line = item.first.Mark().line + 1;
            entry.Column = item.first.Mark().column + 1;
            if (!Settings(item.second, entry.Settings))
                return false;
            switches.push_back(std::move(entry));
        }
        return true;
    }

    QString m_Path;
    QString m_Error;
    int m_Nodes = 0;
};

bool Glob(const QString& pattern, const QString& text)
{
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(text).hasMatch();
}

void Merge(TFleetSettings& into, const TFleetSettings& from)
{
    for (auto record = from.begin(); record != from.end(); ++record)
        for (auto field = record->begin(); field != record->end(); ++field)
            into[record.key()][field.key()] = field.value();
}

} // namespace

bool ParseFleetText(const QByteArray& text, const QString& path, TFleetFile& file, QString& error)
{
    file = TFleetFile();
    file.Path = path;
    TFleetReader reader(path);
    try {
        const YAML::Node root = YAML::Load(text.toStdString());
        if (!reader.File(root, file)) {
            error = reader.Error();
            return false;
        }
    } catch (const YAML::Exception& e) {
        error = reader.Error();
        if (error.isEmpty())
            error =
                QStringLiteral("%1:%2:%3: %4").arg(path).arg(e.mark.line + 1).arg(e.mark.column + 1).arg(Utf8(e.msg));
        return false;
    }
    return true;
}

bool ReadFleetFile(const QString& path, TFleetFile& file, QString& error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, in.errorString());
        return false;
    }
    if (in.size() > FleetFileLimit) {
        error = QStringLiteral("%1 is %2 bytes; a fleet file may have at most %3")
                    .arg(path)
                    .arg(in.size())
                    .arg(FleetFileLimit);
        return false;
    }
    const QByteArray text = in.read(FleetFileLimit + 1);
    if (text.size() > FleetFileLimit) {
        error = QStringLiteral("%1 is longer than %2 bytes").arg(path).arg(FleetFileLimit);
        return false;
    }
    return ParseFleetText(text, path, file, error);
}

TFleetFacts FactsOf(const TDevice& device)
{
    QString model;
    if (device.Type()) {
        // The model's short name where the type is a known model, else its description.
        model = QString::fromStdString(device.TypeDescription());
        for (const Intp::TKnownModel& known : Intp::KnownModels)
            if (device.TypeDescription() == known.Description)
                model = QString::fromLatin1(known.Model);
    }
    return {device.Mac(), device.Address(), model, RecordText(device.Name())};
}

bool Matches(const TFleetMatch& match, const TFleetFacts& facts)
{
    if (!match.Macs.empty() && std::find(match.Macs.begin(), match.Macs.end(), facts.Mac) == match.Macs.end())
        return false;
    if (!match.Ranges.empty() && std::none_of(match.Ranges.begin(), match.Ranges.end(), [&](const auto& range) {
            return facts.Address >= range.first && facts.Address <= range.second;
        }))
        return false;
    if (!match.Model.isEmpty() && !Glob(match.Model, facts.Model))
        return false;
    return match.Name.isEmpty() || Glob(match.Name, facts.Name);
}

TFleetSettings WantedSettings(const TFleetFile& file, const TFleetSwitch& entry, const TFleetFacts& facts)
{
    TFleetSettings wanted = file.Defaults;
    for (const TFleetGroup& group : file.Groups)
        if (Matches(group.Match, facts))
            Merge(wanted, group.Settings);
    Merge(wanted, entry.Settings);
    return wanted;
}

int UnmatchedGroup(const TFleetFile& file, const std::vector<TFleetFacts>& switches)
{
    for (std::size_t i = 0; i < file.Groups.size(); ++i)
        if (std::none_of(switches.begin(), switches.end(),
                         [&](const TFleetFacts& facts) { return Matches(file.Groups[i].Match, facts); }))
            return int(i);
    return -1;
}

bool SameValue(const QString& current, const QString& wanted)
{
    if (current == wanted)
        return true;
    const QString c = current.trimmed().toLower(), w = wanted.trimmed().toLower();
    // Lists of port lists (trunk groups) compare group by group.
    if (c.contains(QLatin1Char(';')) || w.contains(QLatin1Char(';'))) {
        const QStringList cg = c.split(QLatin1Char(';')), wg = w.split(QLatin1Char(';'));
        if (cg.size() != wg.size())
            return false;
        for (qsizetype i = 0; i < cg.size(); ++i)
            if (!SameValue(cg[i], wg[i]))
                return false;
        return true;
    }
    if (c == QLatin1String("on") || c == QLatin1String("off"))
        return ParseOnOff(w) == (c == QLatin1String("on"));
    bool numbers = false, other = false;
    const qulonglong nc = c.toULongLong(&numbers), nw = w.toULongLong(&other);
    if (numbers && other)
        return nc == nw;
    if (const auto ac = DottedAddress(c), aw = DottedAddress(w); ac && aw)
        return *ac == *aw;
    uint32_t mc = 0, mw = 0;
    if (ParsePortList(c, 32, mc) && ParsePortList(w, 32, mw))
        return mc == mw;
    // Choices are words in any case; lists of them compare item by item.
    QStringList ci = c.split(QLatin1Char(',')), wi = w.split(QLatin1Char(','));
    if (ci.size() != wi.size())
        return false;
    for (qsizetype i = 0; i < ci.size(); ++i)
        if (ci[i].trimmed() != wi[i].trimmed())
            return false;
    return true;
}

QString SecretVariable(const QString& record, const QString& field)
{
    QString name = QStringLiteral("ZODE_%1_%2").arg(record, field).toUpper();
    for (QChar& c : name)
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    return name;
}

QByteArray ExportFleet(const std::vector<TFleetExport>& switches, const QString& generated)
{
    YAML::Emitter out;
    out << YAML::Comment(QStringLiteral("zode-cli export of %1 switches, %2. Apply with: zode-cli plan|apply FILE")
                             .arg(switches.size())
                             .arg(generated)
                             .toStdString());
    out << YAML::Newline << YAML::BeginMap << YAML::Key << "switches" << YAML::Value << YAML::BeginMap;
    for (const TFleetExport& sw : switches) {
        const QString note = QStringLiteral("%1, %2, %3")
                                 .arg(sw.Facts.Name, AddressText(sw.Facts.Address),
                                      sw.Facts.Model.isEmpty() ? QStringLiteral("unknown model") : sw.Facts.Model);
        out << YAML::Key << YAML::DoubleQuoted << MacText(sw.Facts.Mac).toStdString() << YAML::Value
            << YAML::Comment(note.toStdString()) << YAML::BeginMap;
        for (const auto& [record, fields] : sw.Records) {
            out << YAML::Key << record.toStdString() << YAML::Value << YAML::BeginMap;
            for (const auto& [field, value] : fields) {
                out << YAML::Key << field.toStdString() << YAML::Value;
                if (IsSecretField(record, field))
                    out << YAML::LocalTag("env") << SecretVariable(record, field).toStdString();
                else
                    out << YAML::DoubleQuoted << value.toStdString();
            }
            out << YAML::EndMap;
        }
        out << YAML::EndMap;
    }
    out << YAML::EndMap << YAML::EndMap << YAML::Newline;
    return QByteArray(out.c_str(), qsizetype(out.size()));
}

QByteArray FleetSchema()
{
    // A value is written as a word or number; YAML may also read it as a boolean or a list.
    const QJsonObject value{{"type", QJsonArray{"string", "number", "boolean", "array"}}};
    QJsonObject records;
    for (const TCliRecord& record : CliRecords()) {
        if (!record.MakeSet)
            continue;
        QJsonObject fields;
        for (const TCliField& field : record.Fields) {
            if (!field.Writable)
                continue;
            QJsonObject f = value;
            if (!field.Help.isEmpty())
                f["description"] = field.Help;
            fields[field.Name] = f;
        }
        records[record.Name] = QJsonObject{
            {"type", "object"}, {"description", record.Help}, {"properties", fields}, {"additionalProperties", false}};
    }
    const QJsonObject settings{
        {"type", QJsonArray{"object", "null"}}, {"properties", records}, {"additionalProperties", false}};
    const QJsonObject oneOrMany{
        {"anyOf",
         QJsonArray{QJsonObject{{"type", "string"}},
                    QJsonObject{{"type", "array"}, {"items", QJsonObject{{"type", "string"}}}}}}};
    const QJsonObject match{{"type", "object"},
                            {"minProperties", 1},
                            {"properties",
                             QJsonObject{{"mac", oneOrMany},
                                         {"address", oneOrMany},
                                         {"model", QJsonObject{{"type", "string"}}},
                                         {"name", QJsonObject{{"type", "string"}}}}},
                            {"additionalProperties", false}};
    const QJsonObject group{
        {"type", "object"},
        {"required", QJsonArray{"match"}},
        {"properties", QJsonObject{{"match", match}, {"settings", QJsonObject{{"$ref", "#/$defs/settings"}}}}},
        {"additionalProperties", false}};
    const QString macPattern = QStringLiteral("^([0-9A-Fa-f]{2}([:-]?)){5}[0-9A-Fa-f]{2}$");
    const QJsonObject switches{{"type", "object"},
                               {"minProperties", 1},
                               {"propertyNames", QJsonObject{{"pattern", macPattern}}},
                               {"additionalProperties", QJsonObject{{"$ref", "#/$defs/settings"}}}};
    const QJsonObject schema{
        {"$schema", "https://json-schema.org/draft/2020-12/schema"},
        {"title", "Veltrane Zode fleet file"},
        {"description",
         "The settings a site's switches should have: zode-cli export writes it, plan and apply read it."},
        {"type", "object"},
        {"required", QJsonArray{"switches"}},
        {"properties",
         QJsonObject{{"defaults", QJsonObject{{"$ref", "#/$defs/settings"}}},
                     {"groups", QJsonObject{{"type", "array"}, {"items", group}}},
                     {"switches", switches}}},
        {"additionalProperties", false},
        {"$defs", QJsonObject{{"settings", settings}}}};
    return QJsonDocument(schema).toJson(QJsonDocument::Indented);
}
