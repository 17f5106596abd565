#include "NetQueries.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>

#include <netlink/netlink.h>
#include <netlink/route/neighbour.h>
#include <netlink/route/route.h>

#include <algorithm>
#include <memory>

namespace {

struct TSocketDeleter {
    void operator()(nl_sock* sock) const { nl_socket_free(sock); }
};
using TNlSocket = std::unique_ptr<nl_sock, TSocketDeleter>;

TNlSocket ConnectRoute()
{
    TNlSocket sock(nl_socket_alloc());
    if (sock && nl_connect(sock.get(), NETLINK_ROUTE) < 0)
        sock.reset();
    return sock;
}

struct TCacheDeleter {
    void operator()(nl_cache* cache) const { nl_cache_free(cache); }
};
using TNlCache = std::unique_ptr<nl_cache, TCacheDeleter>;

uint32_t PrefixToMask(int prefix)
{
    return prefix <= 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - prefix)) - 1);
}

// An IPv4 nl_addr as a host-order value; false for other families.
bool Ipv4Of(nl_addr* addr, uint32_t& value)
{
    if (!addr || nl_addr_get_family(addr) != AF_INET || nl_addr_get_len(addr) != 4)
        return false;
    uint32_t network;
    std::copy_n(static_cast<const uint8_t*>(nl_addr_get_binary_addr(addr)), 4,
                reinterpret_cast<uint8_t*>(&network));
    value = ntohl(network);
    return true;
}

} // namespace

void GetRouteTable(std::vector<TRouteRow>& routes)
{
    routes.clear();
    TNlSocket sock = ConnectRoute();
    if (!sock)
        return;
    nl_cache* raw = nullptr;
    if (rtnl_route_alloc_cache(sock.get(), AF_INET, 0, &raw) < 0)
        return;
    TNlCache cache(raw);
    for (nl_object* obj = nl_cache_get_first(raw); obj; obj = nl_cache_get_next(obj)) {
        auto* route = reinterpret_cast<rtnl_route*>(obj);
        if (rtnl_route_get_table(route) != RT_TABLE_MAIN)
            continue;
        TRouteRow row;
        nl_addr* dst = rtnl_route_get_dst(route);
        if (dst) {
            Ipv4Of(dst, row.Destination);
            row.Mask = PrefixToMask(int(nl_addr_get_prefixlen(dst)));
        }
        row.Type = rtnl_route_get_type(route);
        row.Protocol = rtnl_route_get_protocol(route);
        row.Metric = rtnl_route_get_priority(route);
        if (rtnl_route_get_nnexthops(route) > 0) {
            rtnl_nexthop* hop = rtnl_route_nexthop_n(route, 0);
            Ipv4Of(rtnl_route_nh_get_gateway(hop), row.NextHop);
            row.InterfaceIndex = rtnl_route_nh_get_ifindex(hop);
        }
        routes.push_back(row);
    }
}

bool GetDefaultRoute(TRouteRow& route)
{
    std::vector<TRouteRow> routes;
    GetRouteTable(routes);
    for (const auto& row : routes)
        if (row.Destination == 0 && row.Mask == 0) {
            route = row;
            return true;
        }
    return false;
}

void GetLocalSubnets(std::vector<TIpMask>& subnets)
{
    subnets.clear();
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return;
    TRouteRow defaultRoute;
    int defaultIndex = GetDefaultRoute(defaultRoute) ? defaultRoute.InterfaceIndex : 0;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !a->ifa_netmask)
            continue;
        TIpMask row;
        row.Address = ntohl(reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr);
        row.Mask = ntohl(reinterpret_cast<sockaddr_in*>(a->ifa_netmask)->sin_addr.s_addr);
        if (row.Address == 0 || row.Address == 0xFFFFFFFFu || (row.Address >> 24) == 127)
            continue;
        // Labelled aliases ("eth0:1") belong to their base interface.
        std::string name = a->ifa_name;
        name = name.substr(0, name.find(':'));
        if (defaultIndex != 0 && int(if_nametoindex(name.c_str())) == defaultIndex)
            subnets.insert(subnets.begin(), row);
        else
            subnets.push_back(row);
    }
    freeifaddrs(list);
}

void FlushArpEntries(const std::vector<uint32_t>& addresses, bool includeStatic)
{
    if (addresses.empty())
        return;
    TNlSocket sock = ConnectRoute();
    if (!sock)
        return;
    nl_cache* raw = nullptr;
    if (rtnl_neigh_alloc_cache(sock.get(), &raw) < 0)
        return;
    TNlCache cache(raw);
    std::vector<rtnl_neigh*> doomed;
    for (nl_object* obj = nl_cache_get_first(raw); obj; obj = nl_cache_get_next(obj)) {
        auto* neigh = reinterpret_cast<rtnl_neigh*>(obj);
        uint32_t address;
        if (rtnl_neigh_get_family(neigh) != AF_INET || !Ipv4Of(rtnl_neigh_get_dst(neigh), address))
            continue;
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            continue;
        // Static: set by hand (permanent) or never resolved (noarp); the rest the kernel learned.
        if ((rtnl_neigh_get_state(neigh) & (NUD_PERMANENT | NUD_NOARP)) && !includeStatic)
            continue;
        doomed.push_back(neigh);
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        rtnl_neigh_delete(sock.get(), *it, 0);
}

bool GetAdapterMac(const std::string& interfaceName, TMacAddr& mac)
{
    mac = TMacAddr::Broadcast();
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs* a = list; a && !found; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_PACKET)
            continue;
        // Interface names are whole words here: eth1 must not match eth10.
        if (interfaceName != a->ifa_name)
            continue;
        auto* link = reinterpret_cast<sockaddr_ll*>(a->ifa_addr);
        if (link->sll_halen != 6)
            continue;
        mac = TMacAddr(link->sll_addr);
        found = true;
    }
    freeifaddrs(list);
    return found;
}

namespace {

struct TRouteAnswer {
    bool Got = false;
    uint32_t Gateway = 0;
    bool HasGateway = false;
    int InterfaceIndex = 0;
};

int OnRouteAnswer(nl_msg* msg, void* arg)
{
    auto* answer = static_cast<TRouteAnswer*>(arg);
    nlmsghdr* header = nlmsg_hdr(msg);
    if (header->nlmsg_type != RTM_NEWROUTE)
        return NL_SKIP;
    nlattr* attrs[RTA_MAX + 1] = {};
    if (nlmsg_parse(header, sizeof(rtmsg), attrs, RTA_MAX, nullptr) < 0)
        return NL_SKIP;
    if (attrs[RTA_OIF])
        answer->InterfaceIndex = int(nla_get_u32(attrs[RTA_OIF]));
    if (attrs[RTA_GATEWAY] && nla_len(attrs[RTA_GATEWAY]) == 4) {
        answer->Gateway = ntohl(nla_get_u32(attrs[RTA_GATEWAY]));
        answer->HasGateway = true;
    }
    answer->Got = answer->InterfaceIndex != 0;
    return NL_OK;
}

} // namespace

bool GetRouteTo(uint32_t address, uint32_t& nextHop, int& interfaceIndex, std::string& interfaceName)
{
    TNlSocket sock = ConnectRoute();
    if (!sock)
        return false;
    rtmsg request{};
    request.rtm_family = AF_INET;
    request.rtm_dst_len = 32;
    nl_msg* msg = nlmsg_alloc_simple(RTM_GETROUTE, NLM_F_REQUEST);
    if (!msg)
        return false;
    bool built = nlmsg_append(msg, &request, sizeof request, NLMSG_ALIGNTO) == 0 &&
                 nla_put_u32(msg, RTA_DST, htonl(address)) == 0;
    int sent = built ? nl_send_auto(sock.get(), msg) : -1;
    nlmsg_free(msg);
    if (sent < 0)
        return false;
    TRouteAnswer answer;
    nl_socket_modify_cb(sock.get(), NL_CB_VALID, NL_CB_CUSTOM, OnRouteAnswer, &answer);
    if (nl_recvmsgs_default(sock.get()) < 0 || !answer.Got)
        return false;
    char name[IF_NAMESIZE] = {};
    if (!if_indextoname(unsigned(answer.InterfaceIndex), name))
        return false;
    nextHop = answer.HasGateway ? answer.Gateway : address;
    interfaceIndex = answer.InterfaceIndex;
    interfaceName = name;
    return true;
}
