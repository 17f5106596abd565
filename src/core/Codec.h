// Wire encoding shared by every command: big-endian integers, one-byte booleans, IPv4 and
// MAC fields, fixed-width text fields. Reads past the end yield zeros and mark the reader
// failed, so a decoder never touches bytes that were not received.
#pragma once

#include "MacAddr.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Intp {

class TReader {
public:
    explicit TReader(std::span<const uint8_t> data, std::size_t offset = 0)
        : m_Data(data), m_Pos(offset) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    bool Bool() { return U8() != 0; }
    uint32_t Ip() { return U32(); }
    TMacAddr Mac();
    // Characters up to the first zero byte, or all `width` bytes when there is none.
    std::string Text(std::size_t width);
    void Skip(std::size_t count);
    void Seek(std::size_t offset) { m_Pos = offset; }

    std::size_t Position() const { return m_Pos; }
    std::size_t Remaining() const { return m_Pos < m_Data.size() ? m_Data.size() - m_Pos : 0; }
    // False once any read went past the end.
    bool Ok() const { return m_Ok; }

private:
    bool Take(std::size_t count);

    std::span<const uint8_t> m_Data;
    std::size_t m_Pos;
    bool m_Ok = true;
};

class TWriter {
public:
    explicit TWriter(std::vector<uint8_t>& out) : m_Out(out) {}

    void U8(uint8_t v) { m_Out.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void Bool(bool v) { U8(v ? 1 : 0); }
    void Ip(uint32_t v) { U32(v); }
    void Mac(const TMacAddr& mac);
    // At most `width` characters in a zero-filled field; a text of `width` characters or
    // more fills the field without a terminator.
    void Text(std::string_view text, std::size_t width);
    void Zero(std::size_t count) { m_Out.insert(m_Out.end(), count, 0); }
    void Bytes(std::span<const uint8_t> bytes) { m_Out.insert(m_Out.end(), bytes.begin(), bytes.end()); }

    std::size_t Size() const { return m_Out.size(); }

private:
    std::vector<uint8_t>& m_Out;
};

} // namespace Intp
