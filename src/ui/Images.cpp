#include "Images.h"

#include <cmath>

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

#include <iterator>

namespace {

QPixmap Canvas() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A switch: a grey box with a row of port squares; the state shows as a badge.
QIcon DrawSwitch(bool loggedIn, bool warning)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 70, 80), 1.5));
    p.setBrush(QColor(176, 190, 204));
    p.drawRoundedRect(QRectF(2, 9, 28, 14), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 50, 60));
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(5 + i * 4.6, 17, 3, 3));
    p.setBrush(loggedIn ? QColor(30, 160, 60) : QColor(150, 150, 150));
    p.drawEllipse(QRectF(5, 11.5, 4, 4));
    if (warning) {
        QPainterPath triangle;
        triangle.moveTo(24, 1);
        triangle.lineTo(31, 13);
        triangle.lineTo(17, 13);
        triangle.closeSubpath();
        p.setBrush(QColor(240, 160, 0));
        p.setPen(QPen(QColor(120, 70, 0), 1));
        p.drawPath(triangle);
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(24, 5), QPointF(24, 9));
        p.drawPoint(QPointF(24, 11));
    }
    return QIcon(pixmap);
}

// A round badge with a short glyph, for actions the theme has no icon for.
QIcon DrawBadge(const QColor& colour, const QString& glyph)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(150), 1.5));
    p.setBrush(colour);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(glyph.size() > 1 ? 12 : 18);
    p.setFont(font);
    p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

// A round badge with a bar, crossed for Add.
QIcon DrawSign(bool plus)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = plus ? QColor(40, 150, 60) : QColor(200, 50, 40);
    p.setPen(QPen(colour.darker(150), 1.5));
    p.setBrush(colour);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
    if (plus)
        p.drawLine(QPointF(16, 9), QPointF(16, 23));
    return QIcon(pixmap);
}

QIcon Themed(const char* name, const QIcon& fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), fallback);
}

QIcon Standard(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

QIcon Make(TImage image)
{
    switch (image) {
    case TImage::Root: return Themed("network-workgroup", DrawBadge(QColor(40, 90, 160), "Z"));
    case TImage::Devices: return Themed("network-wired", DrawSwitch(false, false));
    case TImage::Monitor: return Themed("utilities-system-monitor", DrawBadge(QColor(200, 60, 60), "M"));
    case TImage::Syslog: return Themed("text-x-log", DrawBadge(QColor(110, 110, 110), "L"));
    case TImage::Wizard: return Themed("tools-wizard", DrawBadge(QColor(120, 70, 170), "W"));
    case TImage::Device: return DrawSwitch(false, false);
    case TImage::DeviceLoggedIn: return DrawSwitch(true, false);
    case TImage::DeviceWarning: return DrawSwitch(false, true);
    case TImage::DeviceLoggedInWarning: return DrawSwitch(true, true);
    case TImage::Discovery: return Themed("system-search", DrawBadge(QColor(30, 120, 200), "D"));
    case TImage::Filter: return Themed("view-filter", DrawBadge(QColor(30, 150, 150), "F"));
    case TImage::Scan: return Themed("edit-find", DrawBadge(QColor(90, 90, 180), "S"));
    case TImage::Login: return Themed("dialog-password", DrawBadge(QColor(30, 160, 60), "In"));
    case TImage::Logout: return Themed("system-log-out", DrawBadge(QColor(160, 100, 30), "Out"));
    case TImage::Reboot: return Themed("system-reboot", DrawBadge(QColor(200, 80, 40), "R"));
    case TImage::OpenWeb: return Themed("internet-web-browser", DrawBadge(QColor(40, 110, 200), "W"));
    case TImage::Refresh: return Themed("view-refresh", Standard(QStyle::SP_BrowserReload));
    case TImage::RefreshAll: return DrawBadge(QColor(30, 130, 90), "All");
    case TImage::GroupIp: return DrawBadge(QColor(120, 70, 170), "IP");
    case TImage::GroupFw: return DrawBadge(QColor(120, 70, 170), "FW");
    case TImage::LoadConfig: return Themed("document-open", Standard(QStyle::SP_DialogOpenButton));
    case TImage::SaveConfig: return Themed("document-save", Standard(QStyle::SP_DialogSaveButton));
    case TImage::About: return Themed("help-about", Standard(QStyle::SP_MessageBoxInformation));
    case TImage::Exit: return Themed("application-exit", DrawBadge(QColor(150, 40, 40), "X"));
    case TImage::Next: return Standard(QStyle::SP_ArrowRight);
    case TImage::Accept: return Standard(QStyle::SP_DialogApplyButton);
    case TImage::Cancel: return Standard(QStyle::SP_DialogCancelButton);
    case TImage::Timer: return DrawBadge(QColor(200, 140, 0), "T");
    case TImage::Edit: return Themed("document-edit", DrawBadge(QColor(220, 110, 20), "W"));
    case TImage::Open: return Themed("folder-open", Standard(QStyle::SP_DirOpenIcon));
    case TImage::Backup: return Themed("document-save-as", DrawBadge(QColor(30, 140, 80), "B"));
    case TImage::Restore: return Themed("document-revert", DrawBadge(QColor(40, 110, 180), "Re"));
    case TImage::Firmware: return Themed("system-software-update", DrawBadge(QColor(150, 60, 150), "Up"));
    case TImage::Previous: return Standard(QStyle::SP_ArrowLeft);
    case TImage::Copy: return Themed("edit-copy", DrawBadge(QColor(90, 90, 90), "C"));
    case TImage::Clear: return Themed("edit-clear", DrawBadge(QColor(150, 40, 40), "Cl"));
    case TImage::Add: return Themed("list-add", DrawSign(true));
    case TImage::Remove: return Themed("list-remove", DrawSign(false));
    case TImage::SeverityError: return Themed("dialog-error", Standard(QStyle::SP_MessageBoxCritical));
    case TImage::SeverityWarning: return Themed("dialog-warning", Standard(QStyle::SP_MessageBoxWarning));
    case TImage::SeverityNotice: return Themed("dialog-information", Standard(QStyle::SP_MessageBoxInformation));
    }
    return QIcon();
}

} // namespace

QIcon Icon(TImage image)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(int(image));
    if (it == cache.end())
        it = cache.insert(int(image), Make(image));
    return *it;
}

QIcon DeviceIcon(bool loggedIn, bool warning)
{
    static const TImage images[] = {TImage::Device, TImage::DeviceLoggedIn, TImage::DeviceWarning,
                                    TImage::DeviceLoggedInWarning};
    return Icon(images[(loggedIn ? 1 : 0) + (warning ? 2 : 0)]);
}

QIcon RowImage(int index)
{
    static const TImage images[] = {TImage::Next, TImage::Accept, TImage::Cancel, TImage::Timer, TImage::Edit};
    return index >= 0 && index < int(std::size(images)) ? Icon(images[index]) : QIcon();
}

QPixmap WizardLogo()
{
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(80, 40, 120), 2));
    p.setBrush(QColor(120, 70, 170));
    p.drawEllipse(QRectF(4, 4, 88, 88));
    // The wand from the lower left towards the upper right, its tip white.
    p.setPen(QPen(QColor(30, 20, 40), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 70), QPointF(58, 38));
    p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(58, 38), QPointF(64, 32));
    auto star = [&p](QPointF c, double r) {
        QPolygonF points;
        for (int i = 0; i < 10; ++i) {
            const double angle = M_PI / 5 * i - M_PI / 2;
            const double radius = i % 2 ? r * 0.4 : r;
            points << c + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 215, 60));
        p.drawPolygon(points);
    };
    star(QPointF(70, 24), 12);
    star(QPointF(44, 24), 6);
    star(QPointF(74, 50), 6);
    return pixmap;
}

QIcon SeverityIcon(int index)
{
    static const TImage images[] = {TImage::SeverityError, TImage::SeverityWarning, TImage::SeverityNotice};
    return index >= 0 && index < int(std::size(images)) ? Icon(images[index]) : QIcon();
}
