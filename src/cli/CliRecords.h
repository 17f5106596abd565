// The records zode-cli reads and writes, by names an operator can guess: each names its
// fields, starts the Gets that fill it, shows its values as text and builds a Set from the
// current values with some fields changed.
#pragma once

#include "core/MacAddr.h"
#include "core/Session.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

struct TCliField {
    QString Name;
    QString Help;
    bool Writable = false;
    // Free text, compared as written; other values are words, numbers, addresses or ports.
    bool Text = false;
    // A key or password: never printed by plan nor written by export.
    bool Secret = false;
};

using TCliValues = QList<QPair<QString, QString>>;

struct TCliRecord {
    QString Name;
    QString Help;
    QList<TCliField> Fields;
    // Starts the Gets that fill the record (each reports to receiver); how many started.
    std::function<int(TDevice* device, Intp::TWizard* receiver)> StartGet;
    // The field values in field order; false while the record is not (all) valid.
    std::function<bool(TDevice& device, TCliValues& values)> Values;
    // A Set with the current values and the changes; null with error set when a value does
    // not parse (or fit this switch). Records without writable fields have none.
    std::function<Intp::TSession*(TDevice& device, const QMap<QString, QString>& changes, QString& error)> MakeSet;
};

const QList<TCliRecord>& CliRecords();
const TCliRecord* FindCliRecord(const QString& name);
// The record's field of that name, or null.
const TCliField* FindCliField(const TCliRecord& record, const QString& name);
// Whether the record's field holds a key or password.
bool IsSecretField(const QString& record, const QString& field);
// The words a switch setting takes for on ("on", "yes", "true", "1", "enable", "enabled") and
// for off, in any case; nothing for another word.
std::optional<bool> ParseOnOff(const QString& word);

// "1,3,5-7" (1-based ports) to a mask of bit (port - 1); "none" is 0. False on anything else
// or a port beyond ports.
bool ParsePortList(const QString& text, int ports, uint32_t& mask);
QString PortListText(uint32_t mask);
// A switch's MAC: twelve hexadecimal digits, bare or as six pairs separated by colons or by
// dashes.
bool ParseSwitchMac(const QString& text, TMacAddr& mac);
