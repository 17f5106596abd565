// What the workstation's own network looks like: interface addresses, routes, the
// neighbour (ARP) cache and adapter hardware addresses. Every query fails silently: the
// caller gets an empty list or false.
#pragma once

#include "IpMask.h"
#include "MacAddr.h"

#include <cstdint>
#include <string>
#include <vector>

struct TRouteRow {
    uint32_t Destination = 0;
    uint32_t Mask = 0;
    uint32_t NextHop = 0; // 0 for a directly connected subnet
    int InterfaceIndex = 0;
    int Type = 0;
    int Protocol = 0;
    uint32_t Metric = 0;
};

// Valid host addresses with their masks; those on the default route's interface first.
void GetLocalSubnets(std::vector<TIpMask>& subnets);
// The IPv4 main routing table, in the kernel's order.
void GetRouteTable(std::vector<TRouteRow>& routes);
// The first route with destination 0.0.0.0.
bool GetDefaultRoute(TRouteRow& route);
// Removes the neighbour cache entries of these addresses; static ones (permanent or noarp)
// only when asked.
void FlushArpEntries(const std::vector<uint32_t>& addresses, bool includeStatic);
// The 6-byte hardware address of the named interface; FF:FF:FF:FF:FF:FF when none.
bool GetAdapterMac(const std::string& interfaceName, TMacAddr& mac);
// The kernel's best route towards the address. The next hop is the gateway, or the
// address itself when it is directly reachable.
bool GetRouteTo(uint32_t address, uint32_t& nextHop, int& interfaceIndex, std::string& interfaceName);
