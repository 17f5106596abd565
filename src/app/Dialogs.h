// Every message box of the console goes through here, so tests can answer them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Dialogs {

enum class TKind { Error, Warning, Information, Confirm, AbortIgnore };

// Returns true for OK / Yes / Abort.
using THandler = std::function<bool(TKind kind, const QString& text)>;

bool Show(QWidget* parent, TKind kind, const QString& text);
inline void Error(QWidget* parent, const QString& text) { Show(parent, TKind::Error, text); }
inline bool Confirm(QWidget* parent, const QString& text) { return Show(parent, TKind::Confirm, text); }

// Replaces the message boxes (tests); an empty handler restores them.
void SetHandler(THandler handler);

} // namespace Dialogs
