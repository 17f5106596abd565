// Every message box and file chooser of the console goes through here, so tests can answer them.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace Dialogs {

enum class TKind { Error, Warning, Information, Confirm, AbortIgnore };

// Returns true for OK / Yes / Abort.
using THandler = std::function<bool(TKind kind, const QString& text)>;

bool Show(QWidget* parent, TKind kind, const QString& text);
inline void Error(QWidget* parent, const QString& text) { Show(parent, TKind::Error, text); }
inline bool Confirm(QWidget* parent, const QString& text) { return Show(parent, TKind::Confirm, text); }

// User names, passwords and the other secrets (keys, community strings) reach the switches
// as 8-bit characters, where any other character would become '?' (and the switch would
// see, or keep, a secret nobody typed). Says so and returns false when one of the texts
// holds such a character.
bool CheckCredentialTexts(QWidget* parent, const QStringList& texts);

// Replaces the message boxes (tests); an empty handler restores them.
void SetHandler(THandler handler);

// A question with the buttons Yes, No and Cancel; closing the box answers Cancel.
enum class TAnswer { Yes, No, Cancel };
TAnswer AskYesNoCancel(QWidget* parent, const QString& text);
using TAnswerHandler = std::function<TAnswer(const QString& text)>;
void SetAnswerHandler(TAnswerHandler handler);

// The folder, open-file and save-file choosers; each returns the chosen path, empty when
// cancelled. The save-file chooser asks before replacing a file; folder may name the file,
// and a chosen name without an extension gets suffix (when one is given).
enum class TPick { Folder, OpenFile, SaveFile };
QString PickFolder(QWidget* parent, const QString& caption, const QString& folder);
QString PickOpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
QString PickSaveFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                     const QString& suffix = {});

// Answers the choosers instead of showing them (tests); an empty handler restores them.
using TPickHandler = std::function<QString(TPick pick, const QString& caption, const QString& folder)>;
void SetPickHandler(TPickHandler handler);

} // namespace Dialogs
