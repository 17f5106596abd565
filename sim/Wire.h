// Byte-level helpers of the simulator: big-endian fields and fixed-width text, written
// from the wire tables independently of the console's codec.
#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace Sim {

using TMac = std::array<uint8_t, 6>;

// Appends fields in wire order to a payload.
class TWriter {
public:
    explicit TWriter(QByteArray& out) : m_Out(out) {}

    void U8(uint8_t v) { m_Out.append(char(v)); }
    void Bool(bool v) { U8(v ? 1 : 0); }
    void U16(uint16_t v)
    {
        U8(uint8_t(v >> 8));
        U8(uint8_t(v));
    }
    void U32(uint32_t v)
    {
        U16(uint16_t(v >> 16));
        U16(uint16_t(v));
    }
    // Zero-filled field of the given width; a longer text is cut and then has no terminator.
    void Text(const QByteArray& text, int width)
    {
        const int n = int(std::min<qsizetype>(text.size(), width));
        m_Out.append(text.constData(), n);
        m_Out.append(width - n, '\0');
    }

private:
    QByteArray& m_Out;
};

inline uint32_t PrefixMask(int prefix) { return prefix == 0 ? 0 : ~uint32_t(0) << (32 - prefix); }

inline uint32_t ReadU32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// A zero-padded text field: up to its first zero byte, all of it when it has none.
inline QByteArray ReadText(const uint8_t* p, int width)
{
    const auto* end = std::find(p, p + width, uint8_t(0));
    return QByteArray(reinterpret_cast<const char*>(p), qsizetype(end - p));
}

// MD5 digest of the bytes (OpenSSL libcrypto).
std::array<uint8_t, 16> Md5(const QByteArray& bytes);

// The credential digest: user and password each in a zero-padded 16-byte field.
std::array<uint8_t, 16> CredentialDigest(const QByteArray& user, const QByteArray& password);

// The 32-bit model key: the first four digest bytes of the model string, little-endian.
uint32_t ModelKey(const QByteArray& model);

QString MacText(const TMac& mac);

} // namespace Sim
