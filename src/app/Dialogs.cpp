#include "Dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace Dialogs {

namespace {
THandler g_Handler;
}

void SetHandler(THandler handler) { g_Handler = std::move(handler); }

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

} // namespace Dialogs
