#include "Wire.h"

#include <openssl/evp.h>

namespace Sim {

std::array<uint8_t, 16> Md5(const QByteArray& bytes)
{
    std::array<uint8_t, 16> digest{};
    unsigned int size = 0;
    EVP_Digest(bytes.constData(), std::size_t(bytes.size()), digest.data(), &size, EVP_md5(), nullptr);
    return digest;
}

std::array<uint8_t, 16> CredentialDigest(const QByteArray& user, const QByteArray& password)
{
    QByteArray fields;
    TWriter w(fields);
    w.Text(user, 16);
    w.Text(password, 16);
    return Md5(fields);
}

uint32_t ModelKey(const QByteArray& model)
{
    const auto d = Md5(model);
    return uint32_t(d[0]) | (uint32_t(d[1]) << 8) | (uint32_t(d[2]) << 16) | (uint32_t(d[3]) << 24);
}

QString MacText(const TMac& mac)
{
    QString text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i)
            text += QLatin1Char(':');
        text += QStringLiteral("%1").arg(mac[i], 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

} // namespace Sim
