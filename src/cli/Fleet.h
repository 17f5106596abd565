// A fleet file: the settings a site's switches should have, in YAML, as zode-cli export
// writes it and plan and apply read it.
//
//   defaults:                 # every switch of the file
//     syslog: {mode: client, server: 192.0.2.1}
//   groups:                   # in order; a later match overrides an earlier one
//     - match: {model: "KX40-*", name: "South-*", address: 192.0.2.0/24, mac: [...]}
//       settings:
//         qos: {type: cos}
//   switches:                 # the switches the file is about, keyed by MAC; their own
//     "02:5A:0D:0A:00:01":    # settings override the groups'
//       system: {location: Hall 9}
//
// Records and fields are zode-cli's (zode-cli records), values the words get prints. A value
// may be a reference instead, for what should not be written in the file: !env NAME (an
// environment variable) or !file PATH (a file's first line).
//
// The reader trusts nothing in the file: its size, the values its aliases expand to and its
// depth are bounded, every error names the file, line and column, and nothing is sent
// before the whole file has been read.
#pragma once

#include "core/MacAddr.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class TDevice;

// A value as the file gives it, with where it stands (1-based).
struct TFleetValue {
    QString Text;
    int Line = 0;
    int Column = 0;
};

// record -> field -> value
using TFleetSettings = QMap<QString, QMap<QString, TFleetValue>>;

// What a group matches; every criterion given must hold. Patterns take * and ?.
struct TFleetMatch {
    std::vector<TMacAddr> Macs;
    std::vector<std::pair<uint32_t, uint32_t>> Ranges; // first and last address
    QString Model;
    QString Name;
};

struct TFleetGroup {
    TFleetMatch Match;
    TFleetSettings Settings;
    int Line = 0;
    int Column = 0;
};

struct TFleetSwitch {
    TMacAddr Mac;
    TFleetSettings Settings;
    int Line = 0;
    int Column = 0;
};

struct TFleetFile {
    QString Path;
    TFleetSettings Defaults;
    std::vector<TFleetGroup> Groups;
    std::vector<TFleetSwitch> Switches;
};

// Files above this size are refused before they are parsed.
constexpr qint64 FleetFileLimit = 16 * 1024 * 1024;

// Reads and checks a fleet file; false with error "PATH:LINE:COLUMN: what is wrong".
bool ReadFleetFile(const QString& path, TFleetFile& file, QString& error);
// The same over text already read; path only names it in errors.
bool ParseFleetText(const QByteArray& text, const QString& path, TFleetFile& file, QString& error);

// What groups match against.
struct TFleetFacts {
    TMacAddr Mac;
    uint32_t Address = 0;
    QString Model;
    QString Name;
};
TFleetFacts FactsOf(const TDevice& device);

bool Matches(const TFleetMatch& match, const TFleetFacts& facts);
// A switch's wanted settings: the defaults, then each matching group in order, then its own.
TFleetSettings WantedSettings(const TFleetFile& file, const TFleetSwitch& entry, const TFleetFacts& facts);
// The first group that matches none of the file's switches, or -1.
int UnmatchedGroup(const TFleetFile& file, const std::vector<TFleetFacts>& switches);

// Whether a value read from a switch already is the wanted one: the same word, number,
// address, port list or switch, however the file spells it.
bool SameValue(const QString& current, const QString& wanted);

// One difference between a switch and its file.
struct TFleetChange {
    QString Record;
    QString Field;
    QString Current;
    TFleetValue Wanted;
};

// One switch's current values, for the export: record -> (field, value) in field order.
struct TFleetExport {
    TFleetFacts Facts;
    QList<QPair<QString, QList<QPair<QString, QString>>>> Records;
};
// The fleet file of the switches' current settings. Secret fields are written as references
// to the environment, never as values.
QByteArray ExportFleet(const std::vector<TFleetExport>& switches, const QString& generated);
// The environment variable export names for a secret: ZODE_8021X_SHARED_KEY.
QString SecretVariable(const QString& record, const QString& field);

// The JSON Schema of fleet files, for editors that complete and check YAML.
QByteArray FleetSchema();
