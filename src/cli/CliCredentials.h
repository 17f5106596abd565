// The user name and password zode-cli logs in with, read as the login dialog reads them:
// Latin-1, at most 16 characters, never empty.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

// A password file's first line without its line end ("\n" or "\r\n"): blanks belong to
// the password.
QString PasswordFileText(const QByteArray& content);

// The bytes the login digest is made of; none, with a message naming what (such as "the
// password in ZODE_PASSWORD"), for a text that is empty, not Latin-1 or too long.
std::optional<std::string> CredentialFromText(const QString& text, const QString& what, QString& error);
