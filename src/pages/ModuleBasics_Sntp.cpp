#include "ModuleBasics_Sntp.h"

#include "ui_ModuleBasics_Sntp.h"

#include "net/AddressText.h"
#include "ui/Images.h"
#include "core/AddressRules.h"
#include "core/Sntp.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>

namespace {

using Intp::TPropertyBasicsSntp;

// The time zones by the index the switch stores, captions exactly as the console has
// always shown them ("&amp;" included).
const QStringList& TimeZones()
{
    static const QStringList zones = {
        QStringLiteral("(GMT-12:00)Eniwetok, Kwajalein"),
        QStringLiteral("(GMT-11:00)Midway Island, Samoa"),
        QStringLiteral("(GMT-10:00)Hawaii"),
        QStringLiteral("(GMT-09:00)Alaska"),
        QStringLiteral("(GMT-08:00)Pacific Time (US &amp; Canada), Tijuana"),
        QStringLiteral("(GMT-07:00)Arizona"),
        QStringLiteral("(GMT-07:00)Mountain Time (US &amp; Canada)"),
        QStringLiteral("(GMT-06:00)Central Time (US &amp; Canada)"),
        QStringLiteral("(GMT-06:00)Mexico City, Tegucigalpa"),
        QStringLiteral("(GMT-06:00)Saskatchewan"),
        QStringLiteral("(GMT-05:00)Bogota, Lima, Quito"),
        QStringLiteral("(GMT-05:00)Eastern Time (US &amp; Canada)"),
        QStringLiteral("(GMT-05:00)Indiana (East)"),
        QStringLiteral("(GMT-04:00)Atlantic Time (Canada)"),
        QStringLiteral("(GMT-04:00)Caracas, La Paz"),
        QStringLiteral("(GMT-04:00)Santiago"),
        QStringLiteral("(GMT-03:30)Newfoundland"),
        QStringLiteral("(GMT-03:00)Brasilia"),
        QStringLiteral("(GMT-03:00)Buenos Aires, Georgetown"),
        QStringLiteral("(GMT-02:00)Mid-Atlantic"),
        QStringLiteral("(GMT-01:00)Azores, Cape Verde Is."),
        QStringLiteral("(GMT)Casablanca, Monrovia"),
        QStringLiteral("(GMT)Greenwich Mean Time: Dublin, Edinburgh, Lisbon, London"),
        QStringLiteral("(GMT+01:00)Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna"),
        QStringLiteral("(GMT+01:00)Belgrade, Bratislava, Budapest, Ljubljana, Prague"),
        QStringLiteral("(GMT+01:00)Brussels, Copenhagen, Madrid, Paris, Vilnius"),
        QStringLiteral("(GMT+01:00)Sarajevo, Skopje, Sofija, Warsaw, Zagreb"),
        QStringLiteral("(GMT+02:00)Athens, Istanbul, Minsk"),
        QStringLiteral("(GMT+02:00)Bucharest"),
        QStringLiteral("(GMT+02:00)Cairo"),
        QStringLiteral("(GMT+02:00)Harare, Pretoria"),
        QStringLiteral("(GMT+02:00)Helsinki, Riga, Tallinn"),
        QStringLiteral("(GMT+02:00)Jerusalem"),
        QStringLiteral("(GMT+03:00)Baghdad, Kuwait, Riyadh"),
        QStringLiteral("(GMT+03:00)Moscow, St. Petersburg, Volgograd"),
        QStringLiteral("(GMT+03:00)Mairobi"),
        QStringLiteral("(GMT+03:30)Tehran"),
        QStringLiteral("(GMT+04:00)Abu Dhabi, Muscat"),
        QStringLiteral("(GMT+04:00)Baku, Tbilisi"),
        QStringLiteral("(GMT+04:30)Kabul"),
        QStringLiteral("(GMT+05:00)Ekaterinburg"),
        QStringLiteral("(GMT+05:00)Islamabad, Karachi, Tashkent"),
        QStringLiteral("(GMT+05:30)Bombay, Calcutta, Madras, New Delhi"),
        QStringLiteral("(GMT+06:00)Astana, Almaty, Dhaka"),
        QStringLiteral("(GMT+06:00)Colombo"),
        QStringLiteral("(GMT+07:00)Bangkok, Hanoi, Jakarta"),
        QStringLiteral("(GMT+08:00)Beijing, Chongqing, Hong Kong, Urumqi"),
        QStringLiteral("(GMT+08:00)Perth"),
        QStringLiteral("(GMT+08:00)Singapore"),
        QStringLiteral("(GMT+08:00)Taipei"),
        QStringLiteral("(GMT+09:00)Osaka, Sapporo, Tokyo"),
        QStringLiteral("(GMT+09:00)Seoul"),
        QStringLiteral("(GMT+09:00)Yakutsk"),
        QStringLiteral("(GMT+09:30)Adelaide"),
        QStringLiteral("(GMT+09:30)Darwin"),
        QStringLiteral("(GMT+10:00)Brisbane"),
        QStringLiteral("(GMT+10:00)Canberra, Melbourne, Sydney"),
        QStringLiteral("(GMT+10:00)Guam, Port Moresby"),
        QStringLiteral("(GMT+10:00)Hobart"),
        QStringLiteral("(GMT+10:00)Vladivostok"),
        QStringLiteral("(GMT+11:00)Magadan, Solomon Is., New Caledonia"),
        QStringLiteral("(GMT+12:00)Auckland, Wllington"),
        QStringLiteral("(GMT+12:00)Fiji, Kamchatka, Marshall Is."),
    };
    return zones;
}

constexpr int InitialTimeZone = 22;
constexpr int Disable = 0;
constexpr int Enable = 1;

// Switch times carry no time zone: they are shown and read back as UTC so that the pickers
// hold exactly the wire values.
QDateTime FromSeconds(int64_t seconds) { return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()); }

void ShowInPickers(const QDateTime& when, QDateEdit* date, QTimeEdit* time)
{
    date->setDate(when.date());
    time->setTime(when.time());
}

QDateTime FromPickers(const QDateEdit* date, const QTimeEdit* time)
{
    const QTime t = time->time();
    return QDateTime(date->date(), QTime(t.hour(), t.minute(), t.second()), QTimeZone::utc());
}

uint32_t WireSeconds(const QDateTime& when)
{
    return uint32_t(std::clamp<qint64>(when.toSecsSinceEpoch(), 0, 0xFFFFFFFF));
}

} // namespace

TModuleBasicsSntp::TModuleBasicsSntp(QWidget* parent)
    : TModuleGetPage(QStringLiteral("Time (SNTP)"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsSntp>()),
      m_Timer(new QTimer(this)), m_Clock([] { return int64_t(QDateTime::currentSecsSinceEpoch()); })
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    m_Ui->m_Timezone->addItems(TimeZones());
    m_Ui->m_Timezone->setCurrentIndex(InitialTimeZone);
    m_Ui->m_Address->setText(QStringLiteral("0.0.0.0"));
    const QString longDate = locale().dateFormat(QLocale::LongFormat);
    // The wire holds unsigned seconds since 1970.
    const QDate first(1970, 1, 1), last = FromSeconds(0xFFFFFFFF).date();
    for (QDateEdit* date : {m_Ui->m_BeginDate, m_Ui->m_EndDate}) {
        date->setDisplayFormat(longDate);
        date->setCalendarPopup(false);
        date->setDateRange(first, last);
    }
    m_Timer->setObjectName(QStringLiteral("m_Timer"));
    m_Timer->setInterval(1000);

    connect(m_Timer, &QTimer::timeout, this, &TModuleBasicsSntp::EventOnTimer);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsSntp::EventOnApply);
    connect(m_Ui->m_Address, &QLineEdit::textChanged, this, &TModuleBasicsSntp::EventOnAddressChanged);
    connect(m_Ui->m_Address, &QLineEdit::editingFinished, this, &TModuleBasicsSntp::EventOnAddressLeft);
    for (QComboBox* box : {m_Ui->m_Sntp, m_Ui->m_Timezone, m_Ui->m_Daylight})
        connect(box, &QComboBox::currentIndexChanged, this, &TModuleBasicsSntp::ApplyRules);
    for (QDateTimeEdit* picker : std::initializer_list<QDateTimeEdit*>{m_Ui->m_BeginDate, m_Ui->m_BeginTime,
                                                                       m_Ui->m_EndDate, m_Ui->m_EndTime})
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &TModuleBasicsSntp::ApplyRules);
    ApplyRules();
}

TModuleBasicsSntp::~TModuleBasicsSntp() = default;

void TModuleBasicsSntp::SetClock(TClock clock)
{
    m_Clock = std::move(clock);
}

bool TModuleBasicsSntp::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionBasicsSntpGet::Command;
}

int TModuleBasicsSntp::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionBasicsSntpGet>(device, nullptr) ? 1 : 0;
}

void TModuleBasicsSntp::EnableControls(bool on)
{
    m_Selected = on;
    Reset();
    ApplyRules();
}

void TModuleBasicsSntp::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<TPropertyBasicsSntp>(*device);
    if (record.Valid && record.Enabled)
        Load(record);
    ApplyRules();
}

void TModuleBasicsSntp::Reset()
{
    m_Timer->stop();
    m_Difference = 0;
    m_Shown = 0;
    m_Triggers.clear();
    m_Ui->m_Sntp->setCurrentIndex(Disable);
    m_Ui->m_Timezone->setCurrentIndex(0);
    m_Ui->m_Address->setText(QStringLiteral("0.0.0.0"));
    m_Ui->m_Daylight->setCurrentIndex(Disable);
    m_Ui->m_Current->setText(QStringLiteral("(Invalid)"));
}

void TModuleBasicsSntp::Load(const TPropertyBasicsSntp& record)
{
    m_Ui->m_Sntp->setCurrentIndex(Enable);
    // An index the list does not know leaves no zone chosen (and "&Apply" off) rather than
    // silently sending another zone.
    m_Ui->m_Timezone->setCurrentIndex(record.TimeZone < m_Ui->m_Timezone->count() ? int(record.TimeZone) : -1);
    m_Ui->m_Address->setText(AddressText(record.Server));

    const bool known = record.CurrentTime != TPropertyBasicsSntp::UnknownTime;
    if (known) {
        m_Difference = int64_t(record.CurrentTime) - m_Clock();
        ShowClock(record.CurrentTime);
        m_Timer->start();
    }

    if (record.Daylight) {
        m_Ui->m_Daylight->setCurrentIndex(Enable);
        ShowInPickers(FromSeconds(record.Begin), m_Ui->m_BeginDate, m_Ui->m_BeginTime);
        ShowInPickers(FromSeconds(record.End), m_Ui->m_EndDate, m_Ui->m_EndTime);
        m_Ui->m_Offset->setValue(int(std::min<uint32_t>(record.Offset, uint32_t(m_Ui->m_Offset->maximum()))));
        m_Triggers = {int64_t(record.Begin) + 3, int64_t(record.End) + 3 + int64_t(record.Offset) * 60};
    } else {
        // The workstation's own date and time when the switch does not know its clock.
        const QDateTime now = known ? FromSeconds(record.CurrentTime)
                                    : QDateTime::fromSecsSinceEpoch(m_Clock());
        ShowInPickers(now, m_Ui->m_BeginDate, m_Ui->m_BeginTime);
        ShowInPickers(now, m_Ui->m_EndDate, m_Ui->m_EndTime);
    }
}

void TModuleBasicsSntp::ShowClock(int64_t deviceTime)
{
    m_Shown = deviceTime;
    m_Ui->m_Current->setText(FromSeconds(deviceTime).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

void TModuleBasicsSntp::EventOnTimer()
{
    const int64_t last = m_Shown;
    const int64_t now = m_Clock() + m_Difference;
    ShowClock(now);
    // A late tick can skip a second; a trigger passed over still counts, once.
    for (int64_t trigger : m_Triggers)
        if (last < trigger && trigger <= now) {
            Refresh(true);
            break;
        }
}

void TModuleBasicsSntp::ApplyRules()
{
    const bool sntp = m_Selected && m_Ui->m_Sntp->currentIndex() == Enable;
    const bool daylight = sntp && m_Ui->m_Daylight->currentIndex() == Enable;
    const bool clock = sntp && m_Timer->isActive();
    for (QWidget* w : std::initializer_list<QWidget*>{m_Ui->m_BasicTitle, m_Ui->m_SntpLabel, m_Ui->m_Sntp})
        w->setEnabled(m_Selected);
    for (QWidget* w : std::initializer_list<QWidget*>{m_Ui->m_TimezoneLabel, m_Ui->m_Timezone, m_Ui->m_AddressLabel,
                                                      m_Ui->m_Address, m_Ui->m_DaylightTitle, m_Ui->m_DaylightLabel,
                                                      m_Ui->m_Daylight})
        w->setEnabled(sntp);
    m_Ui->m_CurrentLabel->setEnabled(clock);
    m_Ui->m_Current->setEnabled(clock);
    for (QWidget* w : std::initializer_list<QWidget*>{m_Ui->m_BeginDateLabel, m_Ui->m_BeginDate, m_Ui->m_BeginTime,
                                                      m_Ui->m_EndDateLabel, m_Ui->m_EndDate, m_Ui->m_EndTime,
                                                      m_Ui->m_OffsetLabel, m_Ui->m_Offset, m_Ui->m_MinutesLabel})
        w->setEnabled(daylight);
    m_Ui->m_Apply->setEnabled(CanApply());
}

bool TModuleBasicsSntp::CanApply() const
{
    if (!m_Selected)
        return false;
    if (m_Ui->m_Sntp->currentIndex() != Enable)
        return true;
    if (m_Ui->m_Timezone->currentIndex() < 0 || !IsValidHostAddress(m_Server))
        return false;
    return m_Ui->m_Daylight->currentIndex() != Enable ||
           FromPickers(m_Ui->m_EndDate, m_Ui->m_EndTime) > FromPickers(m_Ui->m_BeginDate, m_Ui->m_BeginTime);
}

void TModuleBasicsSntp::EventOnAddressChanged()
{
    m_Server = AddressOf(m_Ui->m_Address->text());
    ApplyRules();
}

void TModuleBasicsSntp::EventOnAddressLeft()
{
    m_Ui->m_Address->setText(AddressText(m_Server));
}

void TModuleBasicsSntp::EventOnApply()
{
    TPropertyBasicsSntp record;
    record.Enabled = m_Ui->m_Sntp->currentIndex() == Enable;
    record.TimeZone = uint16_t(std::max(0, m_Ui->m_Timezone->currentIndex()));
    record.Server = m_Server;
    record.Daylight = m_Ui->m_Daylight->currentIndex() == Enable;
    record.Begin = WireSeconds(FromPickers(m_Ui->m_BeginDate, m_Ui->m_BeginTime));
    record.End = WireSeconds(FromPickers(m_Ui->m_EndDate, m_Ui->m_EndTime));
    record.Offset = uint32_t(m_Ui->m_Offset->value());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionBasicsSntpSet(record); });
}
