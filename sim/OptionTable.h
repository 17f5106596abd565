// The option table: every command-line option of the simulator with its help line and the
// reader that puts its values into TOptions. The general options and each feature group add
// their entries from their own source file, next to the commands they shape; ParseOptions
// reads them in table order, which is also the order of --help.
#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>

class QCommandLineParser;

namespace Sim {

struct TOptions;

// Reads the option's values from the command line into the options: the message for a
// malformed or contradictory value, empty when they are fine.
using TOptionReader = std::function<QString(const QCommandLineParser& parser, TOptions& out)>;

struct TOptionEntry {
    QCommandLineOption option; // name, help line, value name and default
    TOptionReader read;        // empty where an earlier entry reads this option too
};

// The help's description and the options. A feature's paragraph of the description, when it
// has one, ends with a line break.
struct TOptionTable {
    QString about;
    QList<TOptionEntry> entries;
};

// Every option in --help order.
const TOptionTable& OptionTable();

// Fleet layout, the listening socket, faults of the wire, timings, syslog and layer-2 scan.
// Ends the table: switches that go silent, alarms, warnings and injected statuses.
void AddFleetOptions(TOptionTable& table);
void AddSwitchOptions(TOptionTable& table);
// Each feature group's options, in the order of the help.
void AddBasicsOptions(TOptionTable& table);
void AddPortOptions(TOptionTable& table);
void AddVlanOptions(TOptionTable& table);
void AddRedundancyOptions(TOptionTable& table);
void AddQosOptions(TOptionTable& table);
void AddSecurityOptions(TOptionTable& table);
void AddSnmpOptions(TOptionTable& table);
void AddMonitorOptions(TOptionTable& table);
void AddWarningOptions(TOptionTable& table);
void AddDhcpOptions(TOptionTable& table);
void AddIgmpOptions(TOptionTable& table);
void AddTransferOptions(TOptionTable& table);

// Readers' building blocks. Numbers may be hexadecimal (0x...).
bool ToUInt(const QString& text, uint32_t& out);
bool ToIpv4(const QString& text, uint32_t& out);

// A repeatable option naming switch i: "i=value", or "i" alone for i=fallback unless the value
// is required. Each index must name one of the switches.
using TSwitchStore = std::function<void(TOptions& out, int index, uint32_t value)>;
TOptionEntry SwitchOption(const QCommandLineOption& option, bool valueRequired, uint32_t fallback, TSwitchStore store);
// The same for a fault that single switches have: "i" (a value after it is read and ignored).
TOptionEntry SwitchFault(const QCommandLineOption& option, QSet<int> TOptions::*faulty);
// A number from low to high; refusal is the message for anything else.
using TNumberStore = std::function<void(TOptions& out, uint32_t value)>;
TOptionEntry Number(const QCommandLineOption& option, uint32_t low, uint32_t high, const QString& refusal,
                    TNumberStore store);
// Milliseconds from 0 to an hour.
TOptionEntry Milliseconds(const QCommandLineOption& option, int TOptions::*out);

} // namespace Sim
