#include "ValueTexts.h"

#include "core/IntpHeader.h"

QString StatusText(uint16_t status)
{
    if (status == Intp::stSuccess)
        return QStringLiteral("Done");
    if (status == Intp::stTimeout)
        return QStringLiteral("Timeout");
    return QStringLiteral("Error: 0x%1").arg(status, 4, 16, QLatin1Char('0'));
}

QString FailureText(uint16_t status)
{
    switch (status) {
    case 1: return QStringLiteral("wrong user name or password");
    case Intp::stShortReply: return QStringLiteral("reply too short");
    case Intp::stNotLoggedIn: return QStringLiteral("not logged in");
    case Intp::stTimeout: return QStringLiteral("no answer (time-out)");
    case 0xFFFF: return QStringLiteral("not sent");
    default: return QStringLiteral("error 0x%1").arg(status, 4, 16, QLatin1Char('0'));
    }
}

QString VersionNumberText(uint16_t version)
{
    return QStringLiteral("%1.%2").arg(version >> 8).arg(version & 0xFF, 2, 10, QLatin1Char('0'));
}

QString VersionText(uint16_t version) { return QLatin1Char('v') + VersionNumberText(version); }

QString ValueText(Intp::TValueNames names, unsigned value)
{
    return value < names.size() ? QString::fromLatin1(names[value].Text) : QStringLiteral("Unknown (%1)").arg(value);
}

QStringList ValueTexts(Intp::TValueNames names)
{
    QStringList texts;
    for (const Intp::TValueName& name : names)
        texts << QString::fromLatin1(name.Text);
    return texts;
}

QStringList ValueWords(Intp::TValueNames names)
{
    QStringList words;
    for (const Intp::TValueName& name : names)
        words << QString::fromLatin1(name.Word);
    return words;
}
