// Command-line settings of the simulator: the fleet's layout and the faults it plays. Each
// feature group declares its own settings beside its state (the *State.h headers); OptionTable.h
// lists the options that fill them.
#pragma once

#include "Switch.h"
#include "Wire.h"

#include <QByteArrayList>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <cstdint>

namespace Sim {

// Consecutive switch addresses in one subnet.
struct TGroup {
    uint32_t first = 0;
    int prefix = 24;
    int count = 0;
    uint32_t gateway = 0;
};

// Every reply to the command (from one switch, or from all when index < 0) carries the status.
struct TErrorRule {
    uint16_t command = 0;
    uint16_t status = 0;
    int index = -1;
};

// The general options, and each feature group's from its own header.
struct TOptions : TBasicsOptions,
                  TPortOptions,
                  TVlanOptions,
                  TRedundancyOptions,
                  TQosOptions,
                  TSecurityOptions,
                  TSnmpOptions,
                  TMonitorOptions,
                  TWarningOptions,
                  TDhcpOptions,
                  TIgmpOptions,
                  TTransferOptions {
    QList<TGroup> groups;
    QByteArrayList models;
    TMac macBase{};
    QByteArray namePrefix;
    QByteArray user;
    QByteArray password;
    uint32_t linkMask = 0;

    QHostAddress bind;
    uint16_t port = 0;
    bool anyNetwork = false;
    bool loginByAddress = false;
    bool verbose = false;
    uint32_t seed = 0;

    int jitterMs = 0;
    double dropRate = 0;
    double malformedRate = 0;
    int flashDelayMs = 0;
    int rebootMs = 0;
    // Largest number of list entries per reply datagram; read by the list commands.
    int listSplit = 0;

    // Syslog messages sent by the switches, spread over them in turn; none when the rate is 0.
    QHostAddress syslogTarget;
    uint16_t syslogPort = 514;
    double syslogRate = 0;
    // Where the switches' own syslog clients send, at the server their warning settings name.
    uint16_t clientSyslogPort = 514;

    // Layer-2 scan answers through a raw socket: each switch answers scanRepeat times; the
    // faults add an answer from the broadcast MAC and one of 30 bytes.
    bool scan = false;
    int scanRepeat = 1;
    bool scanBadSource = false;
    bool scanShort = false;

    QSet<int> mute;
    QMap<int, int> silentAfterSec;
    QMap<int, uint32_t> powerAlarms;
    QMap<int, uint32_t> portAlarms;
    QMap<int, uint16_t> warnings;
    QList<TErrorRule> errors;

    int Count() const;
};

// Parses the arguments (--help and --version print and exit). False with a message on a
// malformed or contradictory option.
bool ParseOptions(const QStringList& arguments, TOptions& out, QString& error);

} // namespace Sim
