// A 6-byte Ethernet address in wire order.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TMacAddr {
public:
    TMacAddr() = default;
    explicit TMacAddr(const uint8_t* bytes);
    explicit TMacAddr(const std::array<uint8_t, 6>& bytes) : m_Bytes(bytes) {}

    const uint8_t* Data() const { return m_Bytes.data(); }
    uint8_t operator[](int i) const { return m_Bytes[i]; }
    const std::array<uint8_t, 6>& Bytes() const { return m_Bytes; }

    bool IsNull() const;
    bool IsBroadcast() const;
    // Six upper-case two-digit hexadecimal values separated by colons.
    std::string Text() const;

    // Byte-wise, first byte most significant.
    bool operator<(const TMacAddr& other) const { return m_Bytes < other.m_Bytes; }
    bool operator==(const TMacAddr& other) const { return m_Bytes == other.m_Bytes; }
    bool operator!=(const TMacAddr& other) const { return m_Bytes != other.m_Bytes; }

    static TMacAddr Broadcast();

private:
    std::array<uint8_t, 6> m_Bytes{};
};

template <>
struct std::hash<TMacAddr> {
    std::size_t operator()(const TMacAddr& mac) const noexcept
    {
        uint64_t v = 0;
        for (int i = 0; i < 6; ++i)
            v = v << 8 | mac[i];
        return std::hash<uint64_t>()(v);
    }
};
