// Texts of the switches' records as widgets show and take them. A switch keeps 8-bit
// characters (Latin-1), one byte each: decoding them as UTF-8 would turn every byte above
// 0x7F into U+FFFD.
#pragma once

#include <QString>

#include <algorithm>
#include <string>

inline QString RecordText(const std::string& text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// False when a character has no Latin-1 form: it would reach the switch as '?', and a
// password or key would then be one nobody typed.
inline bool IsRecordText(const QString& text)
{
    return std::ranges::none_of(text, [](QChar c) { return c.unicode() > 0xFF; });
}

// The first width characters (all with -1) as 8-bit characters; a character outside
// Latin-1 becomes '?', so secrets are refused first (Dialogs::CheckCredentialTexts, and
// zode-cli's password rules). User names and passwords go into the login digest this way
// from the login dialog and from zode-cli alike.
inline std::string RecordBytes(const QString& text, qsizetype width = -1)
{
    return text.left(width).toLatin1().toStdString();
}
