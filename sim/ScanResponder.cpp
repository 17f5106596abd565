#include "ScanResponder.h"

#include "Wire.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Sim {

namespace {

constexpr uint16_t ScanType = 0xDEAD;
constexpr int FrameSize = 40;
constexpr int ShortSize = 30;

void PutU16(QByteArray& out, int at, uint16_t v)
{
    out[at] = char(v >> 8);
    out[at + 1] = char(v);
}

void PutU32(QByteArray& out, int at, uint32_t v)
{
    PutU16(out, at, uint16_t(v >> 16));
    PutU16(out, at + 2, uint16_t(v));
}

void PutMac(QByteArray& out, int at, const TMac& mac) { std::copy(mac.begin(), mac.end(), out.begin() + at); }

} // namespace

TScanResponder::TScanResponder(const TOptions& options, const std::vector<TSwitch>& switches, QObject* parent)
    : QObject(parent), m_Options(options), m_Switches(switches)
{
}

TScanResponder::~TScanResponder()
{
    if (m_Socket >= 0)
        ::close(m_Socket);
}

bool TScanResponder::Open(QString& error)
{
    m_Socket = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, htons(ScanType));
    if (m_Socket < 0) {
        error = QString("scan socket: %1").arg(std::strerror(errno));
        return false;
    }
    m_Notifier = new QSocketNotifier(m_Socket, QSocketNotifier::Read, this);
    connect(m_Notifier, &QSocketNotifier::activated, this, &TScanResponder::OnReadable);
    return true;
}

QByteArray TScanResponder::Answer(const TSwitch& sw, const TMac& requester)
{
    QByteArray frame(FrameSize, '\0');
    PutMac(frame, 0, requester);
    PutMac(frame, 6, sw.Mac());
    PutU16(frame, 12, ScanType);
    PutU32(frame, 14, sw.Address());
    PutU16(frame, 18, 1638);
    PutU16(frame, 24, 8); // command 0 and status 0 stay zero
    PutMac(frame, 26, sw.Mac());
    PutU32(frame, 32, sw.running.netmask);
    PutU32(frame, 36, sw.Address());
    return frame;
}

void TScanResponder::OnReadable()
{
    uint8_t buffer[1600];
    sockaddr_ll from{};
    socklen_t length = sizeof(from);
    const ssize_t got = ::recvfrom(m_Socket, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
    // Only broadcasts of the scan request; our own answers come back as outgoing frames.
    if (got < FrameSize || from.sll_pkttype == PACKET_OUTGOING)
        return;
    if (!std::all_of(buffer, buffer + 6, [](uint8_t b) { return b == 0xFF; }))
        return;
    TMac requester{};
    std::copy(buffer + 6, buffer + 12, requester.begin());

    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_protocol = htons(ScanType);
    to.sll_ifindex = from.sll_ifindex;
    to.sll_halen = 6;
    std::copy(requester.begin(), requester.end(), to.sll_addr);
    auto send = [&](const QByteArray& frame) {
        ::sendto(m_Socket, frame.constData(), size_t(frame.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    };
    for (int n = 0; n < m_Options.scanRepeat; ++n)
        for (const TSwitch& sw : m_Switches)
            if (!m_Options.mute.contains(sw.Index()))
                send(Answer(sw, requester));
    if (!m_Switches.empty() && m_Options.scanBadSource) {
        QByteArray frame = Answer(m_Switches.front(), requester);
        PutMac(frame, 6, TMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        send(frame);
    }
    if (!m_Switches.empty() && m_Options.scanShort)
        send(Answer(m_Switches.front(), requester).left(ShortSize));
}

} // namespace Sim
