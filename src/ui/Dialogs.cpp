#include "Dialogs.h"

#include "net/RecordText.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace Dialogs {

namespace {
THandler g_Handler;
TPickHandler g_PickHandler;
TAnswerHandler g_AnswerHandler;
}

void SetAnswerHandler(TAnswerHandler handler) { g_AnswerHandler = std::move(handler); }

TAnswer AskYesNoCancel(QWidget* parent, const QString& text)
{
    if (g_AnswerHandler)
        return g_AnswerHandler(text);
    switch (QMessageBox::question(parent, QApplication::applicationName(), text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    default: return TAnswer::Cancel;
    }
}

void SetHandler(THandler handler) { g_Handler = std::move(handler); }
void SetPickHandler(TPickHandler handler) { g_PickHandler = std::move(handler); }

QString PickFolder(QWidget* parent, const QString& caption, const QString& folder)
{
    if (g_PickHandler)
        return g_PickHandler(TPick::Folder, caption, folder);
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

QString PickOpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (g_PickHandler)
        return g_PickHandler(TPick::OpenFile, caption, folder);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString PickSaveFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                     const QString& suffix)
{
    if (g_PickHandler) {
        QString path = g_PickHandler(TPick::SaveFile, caption, folder);
        if (!path.isEmpty() && !suffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += '.' + suffix;
        return path;
    }
    // An instance rather than getSaveFileName, which has no default suffix; the dialog adds
    // it before it asks about replacing a file.
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool Show(QWidget* parent, TKind kind, const QString& text)
{
    if (g_Handler)
        return g_Handler(kind, text);
    const QString title = QApplication::applicationName();
    switch (kind) {
    case TKind::Error:
        QMessageBox::critical(parent, title, text);
        return true;
    case TKind::Warning:
        QMessageBox::warning(parent, title, text);
        return true;
    case TKind::Information:
        QMessageBox::information(parent, title, text);
        return true;
    case TKind::Confirm:
        return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Ok;
    case TKind::AbortIgnore:
        return QMessageBox::warning(parent, title, text, QMessageBox::Abort | QMessageBox::Ignore,
                                    QMessageBox::Ignore) == QMessageBox::Abort;
    }
    return false;
}

bool CheckCredentialTexts(QWidget* parent, const QStringList& texts)
{
    for (const QString& text : texts)
        if (!IsRecordText(text)) {
            Error(parent, QStringLiteral("Only Latin-1 characters are allowed in user names and passwords on these "
                                         "switches."));
            return false;
        }
    return true;
}

} // namespace Dialogs
