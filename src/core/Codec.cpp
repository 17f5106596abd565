#include "Codec.h"

#include <algorithm>

namespace Intp {

bool TReader::Take(std::size_t count)
{
    if (!m_Ok || m_Pos > m_Data.size() || m_Data.size() - m_Pos < count) {
        m_Ok = false;
        return false;
    }
    return true;
}

uint8_t TReader::U8()
{
    if (!Take(1))
        return 0;
    return m_Data[m_Pos++];
}

uint16_t TReader::U16()
{
    if (!Take(2))
        return 0;
    uint16_t v = uint16_t(m_Data[m_Pos] << 8 | m_Data[m_Pos + 1]);
    m_Pos += 2;
    return v;
}

uint32_t TReader::U32()
{
    if (!Take(4))
        return 0;
    uint32_t v = uint32_t(m_Data[m_Pos]) << 24 | uint32_t(m_Data[m_Pos + 1]) << 16 |
                 uint32_t(m_Data[m_Pos + 2]) << 8 | uint32_t(m_Data[m_Pos + 3]);
    m_Pos += 4;
    return v;
}

TMacAddr TReader::Mac()
{
    if (!Take(6))
        return TMacAddr();
    TMacAddr mac(m_Data.data() + m_Pos);
    m_Pos += 6;
    return mac;
}

std::string TReader::Text(std::size_t width)
{
    if (!Take(width))
        return std::string();
    const uint8_t* begin = m_Data.data() + m_Pos;
    const uint8_t* end = std::find(begin, begin + width, 0);
    m_Pos += width;
    return std::string(begin, end);
}

void TReader::Skip(std::size_t count)
{
    if (Take(count))
        m_Pos += count;
}

void TWriter::U16(uint16_t v)
{
    m_Out.push_back(uint8_t(v >> 8));
    m_Out.push_back(uint8_t(v));
}

void TWriter::U32(uint32_t v)
{
    m_Out.push_back(uint8_t(v >> 24));
    m_Out.push_back(uint8_t(v >> 16));
    m_Out.push_back(uint8_t(v >> 8));
    m_Out.push_back(uint8_t(v));
}

void TWriter::Mac(const TMacAddr& mac)
{
    m_Out.insert(m_Out.end(), mac.Data(), mac.Data() + 6);
}

void TWriter::Text(std::string_view text, std::size_t width)
{
    std::size_t n = std::min(text.size(), width);
    m_Out.insert(m_Out.end(), text.begin(), text.begin() + std::ptrdiff_t(n));
    m_Out.insert(m_Out.end(), width - n, 0);
}

} // namespace Intp
