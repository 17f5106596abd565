#include "Fleet.h"

#include "core/IntpHeader.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace Sim {

namespace {

// Switch i's clock runs i times this far ahead of the host's, so no two switches agree.
constexpr int64_t ClockStepSec = 37;
// The priority of the events a switch reports through its own syslog client: local7, notice.
constexpr int LogPriority = 189;

TMac MacOf(const TMac& base, uint64_t offset)
{
    uint64_t v = 0;
    for (uint8_t b : base)
        v = (v << 8) | b;
    v += offset;
    TMac mac{};
    for (int i = 5; i >= 0; --i, v >>= 8)
        mac[std::size_t(i)] = uint8_t(v);
    return mac;
}

// Loopback and the three documentation ranges: the only addresses the simulator serves on
// all addresses without --any-network.
bool IsLabAddress(uint32_t a)
{
    return (a >> 24) == 127 || (a >> 8) == 0xC00002 || (a >> 8) == 0xC63364 || (a >> 8) == 0xCB0071;
}

// Why the current network namespace may reach a network outside the lab (a default route,
// or an address outside loopback and the documentation ranges); empty when it cannot.
QString OutsideReach()
{
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        bool ok = false;
        const uint32_t v = a.toIPv4Address(&ok);
        if (ok && !IsLabAddress(v))
            return "has the address " + a.toString();
    }
    QFile routes("/proc/net/route");
    if (!routes.open(QIODevice::ReadOnly))
        return "has a route table that cannot be read";
    routes.readLine();
    while (!routes.atEnd()) {
        const QList<QByteArray> f = routes.readLine().simplified().split(' ');
        if (f.size() >= 8 && f[1] == "00000000" && f[7] == "00000000")
            return "has a default route via " + QString::fromLatin1(f[0]);
    }
    return {};
}

// Sends from the given source address with IP_PKTINFO (ipi_spec_dst), so every switch
// answers from its own address through the one socket. Returns 0 or the errno value.
// (QNetworkDatagram::setSender fills only ipi_addr, which Linux ignores when sending.)
int SendFrom(int fd, const QByteArray& datagram, uint32_t from, const QHostAddress& to, uint16_t port)
{
    sockaddr_in destination = {};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr.s_addr = htonl(to.toIPv4Address());
    iovec iov = {const_cast<char*>(datagram.constData()), std::size_t(datagram.size())};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg = {};
    msg.msg_name = &destination;
    msg.msg_namelen = sizeof destination;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info = {};
    info.ipi_spec_dst.s_addr = htonl(from);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return ::sendmsg(fd, &msg, 0) < 0 ? errno : 0;
}

} // namespace

TFleet::TFleet(const TOptions& options, QObject* parent) : QObject(parent), m_Options(options), m_Random(options.seed)
{
    m_Clock.start();
    int index = 0;
    for (const TGroup& g : options.groups) {
        const uint32_t mask = PrefixMask(g.prefix);
        const uint32_t network = g.first & mask;
        for (int k = 0; k < g.count; ++k, ++index) {
            const QByteArray number = QByteArray::number(index + 1);
            TConfig c;
            c.name = options.namePrefix + number;
            c.user = options.user;
            c.password = options.password;
            c.description = "Simulated managed switch " + number;
            c.location = "Test lab, rack " + number;
            c.contact = "lab-operator@example.com";
            c.oidSuffix = "4.1.3007." + number;
            c.address = g.first + uint32_t(k);
            c.netmask = mask;
            c.gateway = g.gateway;
            c.dns1 = network | 53;
            c.dns2 = network | 54;
            const QByteArray& model = options.models[index % options.models.size()];
            c.ports = PortsOfModel(model, options.portCounts.value(index, -1));
            c.vlans = VlansOf(c.ports, options.vlanModes.value(index, options.vlanMode));
            c.security.blacklist = SampleBlacklist(options.blacklistSize.value(index, 0));
            // The DHCP pool: hosts 100 to 199 of the subnet, fewer in a small one.
            const uint32_t hosts = ~mask - 1;
            c.dhcpServer.start = network + std::min<uint32_t>(100, hosts / 2 + 1);
            c.dhcpServer.end = network + std::min<uint32_t>(199, hosts);
            c.dhcpServer.mask = mask;
            c.dhcpServer.gateway = g.gateway;
            c.dhcpServer.dns = c.dns1;
            TSwitch sw(index, MacOf(options.macBase, uint64_t(index)), model, c);
            sw.alarms.power = options.powerAlarms.value(index, 0);
            sw.alarms.ports = options.portAlarms.value(index, 0);
            sw.alarms.linkMask = options.linkMask & ~sw.alarms.ports;
            if (options.warnings.contains(index)) {
                sw.alarms.warningActive = true;
                sw.alarms.warningValue = options.warnings.value(index);
            }
            sw.hasClock = !options.noClock.contains(index);
            sw.clockAheadSec = index * ClockStepSec;
            if (options.mute.contains(index))
                sw.SilenceFrom(0);
            else if (options.silentAfterSec.contains(index))
                sw.SilenceFrom(int64_t(options.silentAfterSec.value(index)) * 1000);
            m_Switches.push_back(sw);
        }
    }
    connect(&m_Socket, &QUdpSocket::readyRead, this, &TFleet::OnReadyRead);
}

bool TFleet::Listen(QString& error)
{
    if (m_Options.bind == QHostAddress(QHostAddress::AnyIPv4) && !m_Options.anyNetwork) {
        const QString reason = OutsideReach();
        if (!reason.isEmpty()) {
            error = "refusing to listen on all addresses: this network namespace " + reason +
                "; run in the lab (scripts/lab) or pass --bind or --any-network";
            return false;
        }
    }
    if (!m_Socket.bind(m_Options.bind, m_Options.port, QUdpSocket::DontShareAddress)) {
        error = QString("cannot bind %1:%2: %3")
                    .arg(m_Options.bind.toString())
                    .arg(m_Options.port)
                    .arg(m_Socket.errorString());
        return false;
    }
    m_Socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 << 20);
    m_Socket.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4 << 20);
    if (m_Options.syslogRate > 0 && !m_Switches.empty()) {
        // Ticks often enough for high rates, rarely for a trickle; each sends what is due.
        m_SyslogTimer.setInterval(std::clamp(int(1000 / m_Options.syslogRate), 1, 1000));
        connect(&m_SyslogTimer, &QTimer::timeout, this, &TFleet::SendSyslog);
        m_SyslogTimer.start();
    }
    return true;
}

void TFleet::OnReadyRead()
{
    while (m_Socket.hasPendingDatagrams())
        Receive(m_Socket.receiveDatagram());
}

void TFleet::Receive(const QNetworkDatagram& datagram)
{
    const QByteArray data = datagram.data();
    bool ok = false;
    const uint32_t destination = datagram.destinationAddress().toIPv4Address(&ok);
    if (!ok || data.size() < qsizetype(Intp::HeaderSize))
        return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());

    TRequest request;
    request.command = Intp::ReadU16(bytes + Intp::OffCommand);
    request.payload = bytes + Intp::HeaderSize;
    request.size = std::size_t(data.size()) - Intp::HeaderSize;
    request.nowMs = m_Clock.elapsed();
    request.options = &m_Options;
    request.fleet = &m_Switches;
    const uint32_t sender = datagram.senderAddress().toIPv4Address();
    const auto senderPort = uint16_t(datagram.senderPort());
    request.workstation = (uint64_t(sender) << 16) | (m_Options.loginByAddress ? 0 : senderPort);

    TMac mac{};
    std::copy_n(bytes + Intp::OffMac, mac.size(), mac.begin());
    const bool anyMac = std::all_of(mac.begin(), mac.end(), [](uint8_t b) { return b == 0; });
    if (m_Options.verbose)
        std::fprintf(stderr, "rx %s:%u -> %s cmd %u size %d mac %s\n", qPrintable(datagram.senderAddress().toString()),
                     senderPort, qPrintable(datagram.destinationAddress().toString()), request.command,
                     int(data.size()), qPrintable(MacText(mac)));
    // Only discovery may leave the MAC open; every other request names its switch.
    if (anyMac && request.command != 0)
        return;
    for (TSwitch& sw : m_Switches) {
        if (sw.Reaches(destination) && (anyMac || sw.Mac() == mac) && !sw.IsSilent(request.nowMs))
            Answer(sw, request, datagram.senderAddress(), senderPort);
    }
}

void TFleet::SendSyslog()
{
    const auto due = uint64_t(double(m_Clock.elapsed()) * m_Options.syslogRate / 1000);
    const int64_t nowMs = m_Clock.elapsed();
    const QDateTime now = QDateTime::currentDateTime();
    for (; m_SyslogSent < due; ++m_SyslogSent) {
        const TSwitch& sw = m_Switches[m_SyslogSent % m_Switches.size()];
        if (sw.IsSilent(nowMs))
            continue;
        const uint64_t n = m_SyslogSent / m_Switches.size();
        Write(sw.SyslogMessage(n, now.addSecs(sw.clockAheadSec)), sw.Address(), m_Options.syslogTarget,
              m_Options.syslogPort);
    }
}

uint16_t TFleet::InjectedStatus(uint16_t command, int index) const
{
    for (const TErrorRule& rule : m_Options.errors)
        if (rule.command == command && (rule.index < 0 || rule.index == index))
            return rule.status;
    return 0;
}

void TFleet::Answer(TSwitch& sw, const TRequest& request, const QHostAddress& to, uint16_t port)
{
    const auto& table = Commands();
    const auto entry = table.find(request.command);
    const uint16_t replySize = entry == table.end() ? 4 : entry->second.replySize;
    // The reply leaves from the address the request reached, even when the command
    // changes it.
    const uint32_t from = sw.Address();

    TReply reply;
    if (const uint16_t injected = InjectedStatus(request.command, sw.Index()))
        reply.status = injected;
    else if (entry == table.end())
        reply.status = stUnknownCommand;
    else if (entry->second.needsLogin && !sw.IsLoggedIn(request.workstation))
        reply.status = Intp::stNotLoggedIn;
    else if (request.size < entry->second.requestSize)
        reply.status = stBadRequest;
    else
        reply = entry->second.handler(sw, WithCallbacks(sw, request, to, port));
    // Refusals carry a full-size payload, so the console judges them by their status.
    if (reply.payload.isEmpty())
        reply.payload = QByteArray(replySize, '\0');
    Send(ReplyDatagram(sw, request.command, reply.status, reply.payload), from, to, port, reply.delayMs);
    for (const QByteArray& payload : std::as_const(reply.following))
        Send(ReplyDatagram(sw, request.command, 0, payload), from, to, port, reply.delayMs);
}

QByteArray TFleet::ReplyDatagram(const TSwitch& sw, uint16_t command, uint16_t status, const QByteArray& payload)
{
    QByteArray datagram(qsizetype(Intp::HeaderSize), '\0');
    Intp::WriteHeader(reinterpret_cast<uint8_t*>(datagram.data()), command, status, uint16_t(payload.size()),
                      sw.Mac().data());
    return datagram + payload;
}

TRequest TFleet::WithCallbacks(TSwitch& sw, const TRequest& request, const QHostAddress& to, uint16_t port)
{
    TRequest own = request;
    own.later = [this, &sw, command = request.command, to, port](const QByteArray& payload, int delayMs) {
        Send(ReplyDatagram(sw, command, 0, payload), sw.Address(), to, port, delayMs);
    };
    own.log = [this, &sw](const QByteArray& text) {
        const TWarning& warning = sw.running.warning;
        if (!warning.SendsToServer())
            return;
        const QDateTime at = QDateTime::currentDateTime().addSecs(sw.clockAheadSec);
        Write(sw.SyslogLine(LogPriority, text, at), sw.Address(), QHostAddress(warning.syslogServer),
              m_Options.clientSyslogPort);
    };
    return own;
}

void TFleet::Send(QByteArray datagram, uint32_t from, const QHostAddress& to, uint16_t port, int delayMs)
{
    if (m_Options.dropRate > 0 && m_Random.generateDouble() < m_Options.dropRate)
        return;
    if (m_Options.malformedRate > 0 && m_Random.generateDouble() < m_Options.malformedRate)
        datagram.truncate(qsizetype(m_Random.bounded(quint32(datagram.size()))));
    if (m_Options.jitterMs > 0)
        delayMs += int(m_Random.bounded(quint32(m_Options.jitterMs) + 1));
    if (delayMs <= 0) {
        Write(datagram, from, to, port);
        return;
    }
    QTimer::singleShot(delayMs, this, [this, datagram, from, to, port] { Write(datagram, from, to, port); });
}

void TFleet::Write(const QByteArray& datagram, uint32_t from, const QHostAddress& to, uint16_t port)
{
    if (m_Options.verbose && datagram.size() >= qsizetype(Intp::HeaderSize)) {
        const auto* b = reinterpret_cast<const uint8_t*>(datagram.constData());
        std::fprintf(stderr, "tx %s -> %s:%u cmd %u status %u size %d\n", qPrintable(QHostAddress(from).toString()),
                     qPrintable(to.toString()), port, Intp::ReadU16(b), Intp::ReadU16(b + Intp::OffStatus),
                     int(datagram.size()));
    }
    if (!m_Backlog.empty()) {
        m_Backlog.push_back({datagram, from, to, port});
        return;
    }
    const int err = SendFrom(int(m_Socket.socketDescriptor()), datagram, from, to, port);
    if (err == EAGAIN || err == EWOULDBLOCK || err == ENOBUFS) {
        // A burst filled the send buffer: keep the order and try again shortly.
        m_Backlog.push_back({datagram, from, to, port});
        QTimer::singleShot(1, this, &TFleet::FlushBacklog);
    } else if (err != 0) {
        std::fprintf(stderr, "zode-switchsim: sending from %s to %s failed: %s\n",
                     qPrintable(QHostAddress(from).toString()), qPrintable(to.toString()), std::strerror(err));
    }
}

void TFleet::FlushBacklog()
{
    while (!m_Backlog.empty()) {
        const TPending& p = m_Backlog.front();
        const int err = SendFrom(int(m_Socket.socketDescriptor()), p.datagram, p.from, p.to, p.port);
        if (err == EAGAIN || err == EWOULDBLOCK || err == ENOBUFS) {
            QTimer::singleShot(1, this, &TFleet::FlushBacklog);
            return;
        }
        m_Backlog.pop_front();
    }
}

} // namespace Sim
