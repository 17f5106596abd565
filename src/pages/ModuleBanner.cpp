#include "ModuleBanner.h"

#include "ui_ModuleBanner.h"

#include "net/AddressText.h"
#include "ui/Images.h"
#include "core/Device.h"
#include "core/DeviceType.h"
#include "core/Services.h"
#include "core/IntpCore.h"
#include "core/Redundancy.h"
#include "ui/SyslogForm.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QLocale>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

constexpr int BannerInterval = 5000;
const QColor Background(213, 223, 199);

// Colours every pixel connected to from that is not the border colour (the picture's
// background), the way a border flood fill does.
void FloodFill(QImage& image, QPoint from, QRgb colour)
{
    const QRgb border = image.pixel(0, 0);
    if (!image.rect().contains(from) || image.pixel(from) == border || image.pixel(from) == colour)
        return;
    std::vector<QPoint> stack{from};
    while (!stack.empty()) {
        QPoint p = stack.back();
        stack.pop_back();
        if (!image.rect().contains(p))
            continue;
        const QRgb here = image.pixel(p);
        if (here == border || here == colour)
            continue;
        image.setPixel(p, colour);
        stack.insert(stack.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
}

// Eight RJ45 sockets in black: the top row (ports 1, 3, 5, 7) with the latch notch up,
// the bottom row (2, 4, 6, 8) with it down.
QImage Sockets()
{
    QImage image(141, 64, QImage::Format_RGB32);
    image.fill(Background);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int i = 0; i < TModuleBannerKorvex700G::PortCount; ++i) {
        const int x = (i / 2) * 34 + 3;
        const bool top = i % 2 == 0;
        const int y = top ? 8 : 36;
        p.drawRect(x, y, 28, 20);
        p.drawRect(x + 8, top ? y - 4 : y + 20, 12, 4);
    }
    return image;
}

} // namespace

QColor TModuleBannerKorvex700G::PortColour(int index)
{
    static const QColor colours[] = {QColor(192, 192, 192), QColor(0, 0, 0), QColor(0, 255, 0)};
    return colours[std::clamp(index, 0, 2)];
}

QColor TModuleBannerKorvex700G::StatusColour(int index)
{
    static const QColor colours[] = {QColor(192, 192, 192), QColor(0, 128, 0), QColor(255, 0, 0)};
    return colours[std::clamp(index, 0, 2)];
}

QImage TModuleBannerKorvex700G::PortPicture(const std::array<int, PortCount>& colours)
{
    static const QImage sockets = Sockets();
    QImage image = sockets;
    for (int i = 0; i < PortCount; ++i)
        FloodFill(image, PortPoint(i), PortColour(colours[size_t(i)]).rgb());
    return image;
}

TModuleBannerKorvex700G::TModuleBannerKorvex700G(QWidget* parent)
    : QWidget(parent), m_Ui(std::make_unique<Ui::TModuleBannerKorvex700G>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Icon->setIcon(Icon(TImage::Internet));
    m_Ui->m_OpenLog->setIcon(Icon(TImage::Edit));
    m_Ui->m_ZelRing->setText(QStringLiteral("Vantor Ring"));
    m_Timer.setInterval(BannerInterval);
    connect(&m_Timer, &QTimer::timeout, this, &TModuleBannerKorvex700G::Tick);
    connect(m_Ui->m_Icon, &QToolButton::clicked, this, &TModuleBannerKorvex700G::EventOnIconClick);
    connect(m_Ui->m_OpenLog, &QToolButton::clicked, this, &TModuleBannerKorvex700G::EventOnOpenLog);
    ShowStatus(nullptr);
}

TModuleBannerKorvex700G::~TModuleBannerKorvex700G() = default;

void TModuleBannerKorvex700G::Notify(TDevice* device, uint16_t code, uint16_t)
{
    TPageContext* callback = Context();
    if (code == Intp::TSessionRedundancyGet::Command) {
        if (callback && device && callback->IsSelectedDevice(device))
            ShowRedundancy(device);
        return;
    }
    if (code != ncSelect && code != ncDeviceRemoved)
        return;
    show();
    TDevice* selected = nullptr;
    if (callback)
        callback->GetSelectedDevice(selected);
    m_Ui->m_IpAddr->setText(selected ? AddressText(selected->Address()) : QStringLiteral("(Not Available)"));
    m_Ui->m_MacAddr->setText(selected ? MacText(selected->Mac()) : QString());
    ShowStatus(selected);
    ShowSyslog(selected);
    ShowRedundancy(selected);
    Tick();
    if (selected)
        m_Timer.start();
    else
        m_Timer.stop();
}

bool TModuleBannerKorvex700G::Hide(bool)
{
    hide();
    m_Timer.stop();
    return true;
}

void TModuleBannerKorvex700G::Tick()
{
    TPageContext* callback = Context();
    TDevice* device = nullptr;
    if (callback)
        callback->GetSelectedDevice(device);
    if (!device) {
        ShowStatus(nullptr);
        ShowSyslog(nullptr);
        ShowRedundancy(nullptr);
        return;
    }
    ShowStatus(device);
    ShowSyslog(device);
    Intp::StartNew<Intp::TSessionRedundancyGet>(device, nullptr);
}

void TModuleBannerKorvex700G::SetSquare(QLabel* square, int index)
{
    QPalette palette = square->palette();
    palette.setColor(QPalette::Window, StatusColour(index));
    square->setPalette(palette);
}

void TModuleBannerKorvex700G::ShowStatus(TDevice* device)
{
    std::array<int, PortCount> ports{};
    int online = scNone, query = scNone, address = scNone, fault = scNone;
    if (device) {
        TPageContext* callback = Context();
        Status::TStatusServer* status = callback ? callback->GetStatusServer() : nullptr;
        const uint32_t flags = status ? status->GetStatusFlags(device) : 0;
        online = flags & 1 ? scError : scGood;
        query = flags & 2 ? scError : scGood;
        address = flags & 4 ? scError : scGood;
        const auto& ping = Intp::GetProperty<Intp::TPropertyIntpPing2>(*device);
        if (ping.Valid) {
            fault = ping.PowerAlarms || ping.PortAlarms ? scError : scGood;
            const int count = std::min(Intp::PortCount(device->Type()), PortCount);
            for (int i = 0; i < count; ++i)
                ports[size_t(i)] = ping.LinkMask & (1u << i) ? pcUp : pcDown;
        }
    }
    SetSquare(m_Ui->m_StatusOnline, online);
    SetSquare(m_Ui->m_StatusQuery, query);
    SetSquare(m_Ui->m_StatusIp, address);
    SetSquare(m_Ui->m_StatusFault, fault);
    m_Ui->m_LinkImage->setPixmap(QPixmap::fromImage(PortPicture(ports)));
}

void TModuleBannerKorvex700G::ShowSyslog(TDevice* device)
{
    TPageContext* callback = Context();
    Syslog::TSyslogServer* syslog = callback ? callback->GetSyslogServer() : nullptr;
    std::vector<Syslog::TSyslogListNode> list;
    if (device && syslog)
        syslog->CollectEvents(device->Address(), list, false);
    const auto unread = std::ranges::count_if(list, [](const Syslog::TSyslogListNode& n) { return !n.Read; });
    m_Ui->m_LogNum->setText(QString::number(list.size()));
    m_Ui->m_LogUnread->setText(QString::number(unread));
    if (list.empty()) {
        m_Ui->m_LogLDate->clear();
        m_Ui->m_LogLTime->clear();
    } else {
        const int64_t latest = std::ranges::max(list, {}, &Syslog::TSyslogListNode::Received).Received;
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(latest).toLocalTime();
        m_Ui->m_LogLDate->setText(QLocale().toString(at.date(), QLocale::ShortFormat));
        m_Ui->m_LogLTime->setText(at.time().toString(QStringLiteral("HH:mm:ss")));
    }
    m_Ui->m_OpenLog->setEnabled(!list.empty());
}

void TModuleBannerKorvex700G::ShowRedundancy(TDevice* device)
{
    const Intp::TPropertyRedundancy* record =
        device ? &Intp::GetProperty<Intp::TPropertyRedundancy>(*device) : nullptr;
    const bool valid = record && record->Valid;
    m_Ui->m_ZelRing->setChecked(valid && record->Protocol == Intp::TPropertyRedundancy::rpRing);
    m_Ui->m_RSTP->setChecked(valid && record->Protocol == Intp::TPropertyRedundancy::rpRstp);
}

void TModuleBannerKorvex700G::EventOnIconClick()
{
    TPageContext* callback = Context();
    TDevice* device = nullptr;
    if (callback && callback->GetSelectedDevice(device) && device)
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1").arg(AddressText(device->Address()))));
}

void TModuleBannerKorvex700G::EventOnOpenLog()
{
    TPageContext* callback = Context();
    Syslog::TSyslogServer* syslog = callback ? callback->GetSyslogServer() : nullptr;
    TDevice* device = nullptr;
    if (!syslog || !callback->GetSelectedDevice(device) || !device)
        return;
    std::vector<Syslog::TSyslogListNode> list;
    syslog->CollectEvents(device->Address(), list, true);
    auto* form = new TSyslogForm(list, syslog);
    form->setWindowTitle(AddressText(device->Address()));
    if (!list.empty())
        form->SelectEventId(list.back().EventId);
    form->show();
}
