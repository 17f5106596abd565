#include "StartUp.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

void ShowMainWindow(QWidget& window)
{
    const QRect available = window.screen()->availableGeometry();
    const QSize size = QSize(1280, 800).boundedTo(available.size());
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
    window.showMaximized();
}
