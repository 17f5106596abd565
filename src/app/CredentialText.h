// User names and passwords as the switches take them: 8-bit (Latin-1) characters, hashed
// into the login digest (Intp::CredentialDigest). The login dialog and zode-cli read them
// by these rules, so a password reaches a switch the same way from either.
#pragma once

#include <QString>

#include <algorithm>
#include <string>

// False when a character has no Latin-1 form: it would reach the switch as '?', and the
// switch would see a wrong password.
inline bool IsCredentialText(const QString& text)
{
    return std::ranges::none_of(text, [](QChar c) { return c.unicode() > 0xFF; });
}

// The bytes that go into the digest.
inline std::string CredentialBytes(const QString& text) { return text.toLatin1().toStdString(); }
