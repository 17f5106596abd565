#include "CliCredentials.h"

#include "net/RecordText.h"
#include "core/IntpCore.h"

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
