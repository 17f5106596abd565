// The XML file in which received syslog messages are saved.
#pragma once

#include "core/SyslogStore.h"

#include <QString>

#include <vector>

namespace Syslog {

// The received time as the workstation's locale writes it: short date, long time.
QString ReceivedText(int64_t receivedMs);
// Writes the nodes in list order, replacing the file only once the whole file is written;
// false when it could not be written.
bool SaveEvents(const std::vector<TSyslogListNode>& list, const QString& fileName);

} // namespace Syslog
