// Texts of the switches' records as widgets show and take them. A switch keeps 8-bit
// characters (Latin-1), one byte each: decoding them as UTF-8 would turn every byte above
// 0x7F into U+FFFD.
#pragma once

#include <QString>

#include <string>

inline QString RecordText(const std::string& text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// The first width characters (all with -1) as 8-bit characters; a character outside
// Latin-1 becomes '?', so pages refuse such secrets first (Dialogs::CheckCredentialTexts).
inline std::string RecordBytes(const QString& text, qsizetype width = -1)
{
    return text.left(width).toLatin1().toStdString();
}
