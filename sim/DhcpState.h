// The DHCP server of a switch and the DHCP server options.
#pragma once

#include <QList>
#include <QMap>
#include <QSet>

#include <cstdint>

namespace Sim {

// The DHCP server: its pool and options (addresses in host order, 0 gateway or DNS: none,
// lease in seconds) and the address it hands out on each physical port (0: none; the list
// takes the port count at its first use).
struct TDhcpServer {
    bool enabled = false;
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t mask = 0;
    uint32_t gateway = 0;
    uint32_t dns = 0;
    uint32_t lease = 86400;
    QList<uint32_t> portIps;
};

// A lease table of n clients at start-up; faults of a client of type 5 ending the lease
// table (274) and one port binding too few (275).
struct TDhcpOptions {
    QMap<int, int> dhcpClients;
    QSet<int> badDhcpClient;
    QSet<int> shortDhcpBindings;
};

} // namespace Sim
