// zode-exporter's command line: the options, their defaults, and the settings read from
// them; a message for anything refused.
#pragma once

#include "Exporter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace Exporter {

// A duration as Prometheus writes them for one unit: "90", "90s", "10m", "1h" (seconds when
// no unit is given); none for anything else, or for nothing.
std::optional<int> SecondsFromText(const QString& text);

struct TCommandLine {
    TSettings Settings;
    std::string ListenAddress = "127.0.0.1:9683";
    bool Help = false, Version = false;
    QString HelpText;
};

// Reads the arguments (program name first); false with the message in error for a usage
// error. Reads the password file named; refuses a password on the command line.
bool ReadCommandLine(const QStringList& arguments, TCommandLine& out, QString& error);

} // namespace Exporter
