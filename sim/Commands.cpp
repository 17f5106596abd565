#include "Commands.h"

#include <algorithm>

namespace Sim {

const TCommandTable& Commands()
{
    static const TCommandTable table = [] {
        TCommandTable t;
        AddCoreCommands(t);
        AddBasicsCommands(t);
        AddPortCommands(t);
        AddVlanCommands(t);
        AddRedundancyCommands(t);
        AddQosCommands(t);
        AddSecurityCommands(t);
        AddSnmpCommands(t);
        AddMonitorCommands(t);
        AddWarningCommands(t);
        AddTransferCommands(t);
        AddDhcpCommands(t);
        AddIgmpCommands(t);
        return t;
    }();
    return table;
}

TReply ListDatagrams(const QList<QByteArray>& entries, int perDatagram)
{
    TReply reply;
    for (qsizetype first = 0;; first += perDatagram) {
        const qsizetype end = std::min<qsizetype>(entries.size(), first + perDatagram);
        QByteArray payload(4, '\0');
        for (qsizetype i = first; i < end; ++i)
            payload += entries[i];
        if (first == 0)
            reply.payload = payload;
        else
            reply.following.append(payload);
        if (end - first < perDatagram)
            return reply;
    }
}

} // namespace Sim
