#include "MacAddr.h"

#include <algorithm>
#include <cstdio>

TMacAddr::TMacAddr(const uint8_t* bytes)
{
    std::copy(bytes, bytes + 6, m_Bytes.begin());
}

bool TMacAddr::IsNull() const
{
    return std::all_of(m_Bytes.begin(), m_Bytes.end(), [](uint8_t b) { return b == 0; });
}

bool TMacAddr::IsBroadcast() const
{
    return std::all_of(m_Bytes.begin(), m_Bytes.end(), [](uint8_t b) { return b == 0xFF; });
}

std::string TMacAddr::Text() const
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", m_Bytes[0], m_Bytes[1],
                  m_Bytes[2], m_Bytes[3], m_Bytes[4], m_Bytes[5]);
    return text;
}

TMacAddr TMacAddr::Broadcast()
{
    TMacAddr mac;
    mac.m_Bytes.fill(0xFF);
    return mac;
}
