#include "L2Scan.h"

#include "IntpHeader.h"

#include <pcap/pcap.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

namespace Scan {

namespace {

constexpr int SnapshotLength = int(FrameSize);
constexpr int ReadTimeoutMs = 1000;

void PutU16(uint8_t* at, uint16_t v)
{
    at[0] = uint8_t(v >> 8);
    at[1] = uint8_t(v);
}

void PutU32(uint8_t* at, uint32_t v)
{
    PutU16(at, uint16_t(v >> 16));
    PutU16(at + 2, uint16_t(v));
}

uint32_t GetU32(const uint8_t* at) { return uint32_t(Intp::ReadU16(at)) << 16 | Intp::ReadU16(at + 2); }

} // namespace

TFrame BuildFrame(const TMacAddr& adapter, uint32_t address)
{
    TFrame frame{};
    std::fill_n(frame.begin(), 6, uint8_t(0xFF));
    std::copy_n(adapter.Data(), 6, frame.begin() + 6);
    PutU16(&frame[12], EtherType);
    PutU32(&frame[14], address);
    PutU16(&frame[18], ManagementPort);
    // Bytes 20 to 31: the header of a discovery request with a payload of 8 bytes and a
    // null device MAC; the payload is zero.
    Intp::WriteHeader(&frame[20], 0, 0, 8, nullptr);
    return frame;
}

std::optional<TReply> ParseReply(std::span<const uint8_t> frame, const TMacAddr& adapter)
{
    if (frame.size() < FrameSize)
        return std::nullopt;
    const TMacAddr destination(frame.data());
    const TMacAddr source(frame.data() + 6);
    if (destination != adapter || source.IsNull() || source.IsBroadcast())
        return std::nullopt;
    if (Intp::ReadU16(&frame[12]) != EtherType || Intp::ReadU16(&frame[20]) != 0 || Intp::ReadU16(&frame[22]) != 0)
        return std::nullopt;
    return TReply{TMacAddr(frame.data() + 26), GetU32(&frame[36])};
}

bool ListInterfaces(std::vector<TInterface>& interfaces)
{
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* all = nullptr;
    if (pcap_findalldevs(&all, error) != 0)
        return false;
    for (pcap_if_t* i = all; i; i = i->next) {
        TInterface entry{i->name, i->description ? i->description : "", {}};
        for (pcap_addr_t* a = i->addresses; a; a = a->next)
            if (a->addr && a->addr->sa_family == AF_INET)
                entry.Ipv4.push_back(ntohl(reinterpret_cast<sockaddr_in*>(a->addr)->sin_addr.s_addr));
        interfaces.push_back(std::move(entry));
    }
    pcap_freealldevs(all);
    return true;
}

TCapture::TOpen TCapture::Open(const std::string& name, bool promiscuous, std::string& error)
{
    Close();
    char text[PCAP_ERRBUF_SIZE] = {};
    m_Handle = pcap_create(name.c_str(), text);
    if (!m_Handle) {
        error = text;
        return opFailed;
    }
    pcap_set_snaplen(m_Handle, SnapshotLength);
    pcap_set_promisc(m_Handle, promiscuous ? 1 : 0);
    pcap_set_timeout(m_Handle, ReadTimeoutMs);
    pcap_set_immediate_mode(m_Handle, 1);
    const int activated = pcap_activate(m_Handle);
    if (activated < 0) {
        error = pcap_geterr(m_Handle);
        Close();
        return activated == PCAP_ERROR_PERM_DENIED ? opNoPermission : opFailed;
    }
    // Only answers: the workstation's own frames and every other protocol stay out.
    bpf_program program{};
    const bool filtered = pcap_setdirection(m_Handle, PCAP_D_IN) == 0 &&
                          pcap_compile(m_Handle, &program, "ether proto 0xdead", 1, PCAP_NETMASK_UNKNOWN) == 0;
    const bool ok = filtered && pcap_setfilter(m_Handle, &program) == 0 && pcap_setnonblock(m_Handle, 1, text) == 0;
    if (filtered)
        pcap_freecode(&program);
    if (!ok) {
        error = pcap_geterr(m_Handle);
        Close();
        return opFailed;
    }
    return opOk;
}

void TCapture::Close()
{
    if (m_Handle)
        pcap_close(m_Handle);
    m_Handle = nullptr;
}

bool TCapture::Send(const TFrame& frame, std::string& error)
{
    if (m_Handle && pcap_sendpacket(m_Handle, frame.data(), int(frame.size())) == 0)
        return true;
    error = m_Handle ? pcap_geterr(m_Handle) : "no open adapter";
    return false;
}

int TCapture::Descriptor() const { return m_Handle ? pcap_get_selectable_fd(m_Handle) : -1; }

bool TCapture::Next(std::vector<uint8_t>& bytes)
{
    pcap_pkthdr* header = nullptr;
    const u_char* data = nullptr;
    if (!m_Handle || pcap_next_ex(m_Handle, &header, &data) != 1)
        return false;
    bytes.assign(data, data + header->caplen);
    return true;
}

} // namespace Scan

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace Scan {

bool CanCapture()
{
    const int fd = socket(AF_PACKET, SOCK_RAW, 0);
    if (fd < 0)
        return errno != EPERM && errno != EACCES;
    close(fd);
    return true;
}

} // namespace Scan
