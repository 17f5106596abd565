// The texts every program shows for a session's status and a version word, so that the
// window, zode-cli and the exporter say the same.
#pragma once

#include "core/ValueNames.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// "Done", "Timeout" or "Error: 0x%04x", as the pages' Status columns show a result.
QString StatusText(uint16_t status);
// Why a session failed, in words where the status has a meaning of its own ("wrong user
// name or password", "no answer (time-out)" ...), else "error 0x%04x".
QString FailureText(uint16_t status);

// "2.10": the high byte, a dot and the low byte in two digits.
QString VersionNumberText(uint16_t version);
// "v2.10", as the pages show versions.
QString VersionText(uint16_t version);

// The page text of a value; a value the table does not name (speed/duplex 7, RSTP state 9,
// which switches report) shows as "Unknown (7)".
QString ValueText(Intp::TValueNames names, unsigned value);
// The texts in value order: the items of the value's editor.
QStringList ValueTexts(Intp::TValueNames names);
// The words zode-cli reads and writes, in value order.
QStringList ValueWords(Intp::TValueNames names);
