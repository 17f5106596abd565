// What the window-less programs (zode-cli, zode-exporter) read from their command lines:
// the user name and password they log in with, read as the login dialog reads them
// (Latin-1, at most 16 characters, never empty), and the discovery targets.
#pragma once

#include "core/IpMask.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

// A password file's first line without its line end ("\n" or "\r\n"): blanks belong to
// the password.
QString PasswordFileText(const QByteArray& content);

// The bytes the login digest is made of; none, with a message naming what (such as "the
// password in ZODE_PASSWORD"), for a text that is empty, not Latin-1 or too long.
std::optional<std::string> CredentialFromText(const QString& text, const QString& what, QString& error);

// Discovery targets given as ADDRESS/MASK, the mask as a prefix length or dotted; every
// local subnet when none is given. Empty, with the message in error, for a malformed one.
std::vector<TIpMask> TargetsFromTexts(const QStringList& texts, QString& error);
