// Wire constants of the management protocol: the 12-byte header that starts every
// datagram, request and reply alike. All header fields are big-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Intp {

constexpr uint16_t IntpPort = 1638;
constexpr std::size_t HeaderSize = 12;

// Offsets inside the header.
constexpr std::size_t OffCommand = 0;
constexpr std::size_t OffStatus = 2;
constexpr std::size_t OffLength = 4;
constexpr std::size_t OffMac = 6;

// Payload of a request that carries no parameters.
constexpr std::size_t ReservedPayload = 4;

// The limited broadcast, in host order: reaches a switch whatever its address.
constexpr uint32_t LimitedBroadcast = 0xFFFFFFFFu;

// Datagrams of this size or more are never read.
constexpr std::size_t MaxDatagram = 65535;

// Result statuses.
constexpr uint16_t stSuccess = 0;
constexpr uint16_t stShortReply = 2;
constexpr uint16_t stNotLoggedIn = 3;
constexpr uint16_t stTimeout = 0xFF00;
constexpr uint16_t stListCount = 0x1100;
constexpr uint16_t stListRange = 0x1101;
constexpr uint16_t stListOverlap = 0x1102;

// Writes the header into the first 12 bytes of out.
inline void WriteHeader(uint8_t* out, uint16_t command, uint16_t status, uint16_t length,
                        const uint8_t mac[6])
{
    out[0] = uint8_t(command >> 8);
    out[1] = uint8_t(command);
    out[2] = uint8_t(status >> 8);
    out[3] = uint8_t(status);
    out[4] = uint8_t(length >> 8);
    out[5] = uint8_t(length);
    for (int i = 0; i < 6; ++i)
        out[OffMac + i] = mac ? mac[i] : 0;
}

inline uint16_t ReadU16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

} // namespace Intp
