// The texts every program shows for a session's status and a version word, so that the
// window, zode-cli and the exporter say the same.
#pragma once

#include <QString>

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
