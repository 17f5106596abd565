#include "CommandLine.h"

#include "AddressText.h"
#include "RecordText.h"
#include "core/AddressRules.h"
#include "core/IntpCore.h"
#include "core/NetQueries.h"

QString PasswordFileText(const QByteArray& content)
{
    const qsizetype end = content.indexOf('\n');
    QByteArray line = end < 0 ? content : content.first(end);
    if (end >= 0 && line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

std::optional<std::string> CredentialFromText(const QString& text, const QString& what, QString& error)
{
    // The login dialog sends nothing without both texts; an empty line in a file is far
    // more often a mistake than a switch without a password.
    if (text.isEmpty())
        error = QStringLiteral("%1 is empty").arg(what);
    else if (!IsRecordText(text))
        error = QStringLiteral("%1 holds characters other than Latin-1, which the switches cannot take").arg(what);
    else if (std::size_t(text.size()) > Intp::CredentialWidth)
        error = QStringLiteral("%1 is longer than %2 characters, which the switches cannot take")
                    .arg(what)
                    .arg(Intp::CredentialWidth);
    else
        return RecordBytes(text);
    return std::nullopt;
}

std::vector<TIpMask> TargetsFromTexts(const QStringList& texts, QString& error)
{
    std::vector<TIpMask> targets;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char('/'));
        const uint32_t address = AddressOf(parts.value(0));
        bool isPrefix = false;
        const int prefix = parts.value(1).toInt(&isPrefix);
        uint32_t mask = isPrefix && prefix >= 1 && prefix <= 32 ? ~uint32_t(0) << (32 - prefix)
                                                                : AddressOf(parts.value(1));
        if (parts.size() != 2 || !IsValidHostAddress(address) || !IsValidMask(mask)) {
            error = QStringLiteral("bad --target %1: give ADDRESS/MASK such as 192.0.2.0/24").arg(text);
            return {};
        }
        targets.push_back({address, mask});
    }
    if (targets.empty())
        GetLocalSubnets(targets);
    return targets;
}
