#include "ModuleBasics_Settings.h"

#include "ui_ModuleBasics_Settings.h"

#include "net/AddressText.h"
#include "ui/Images.h"
#include "net/RecordText.h"
#include "core/Basics.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

TModuleBasicsSettings::TModuleBasicsSettings(QWidget* parent)
    : TModuleGetPage(QStringLiteral("Switch Setting"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsSettings>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    m_Ui->m_Web->setIcon(Icon(TImage::Internet));
    m_Ui->m_Icon->setPixmap(Icon(TImage::DevicePicture).pixmap(32, 32));
    m_Ui->m_Icon->installEventFilter(this);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsSettings::EventOnApply);
    connect(m_Ui->m_Web, &QPushButton::clicked, this, &TModuleBasicsSettings::EventOnWeb);
}

TModuleBasicsSettings::~TModuleBasicsSettings() = default;

bool TModuleBasicsSettings::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionBasicsSettingsGet::Command;
}

int TModuleBasicsSettings::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionBasicsSettingsGet>(device, nullptr) ? 1 : 0;
}

void TModuleBasicsSettings::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    if (!on) {
        // Without a selection nothing the page shows belongs to a switch any more.
        m_Ui->m_Type->clear();
        m_Ui->m_MAC->clear();
        ClearRecordFields();
    }
}

void TModuleBasicsSettings::ClearRecordFields()
{
    for (QLineEdit* edit : {m_Ui->m_Name, m_Ui->m_Desc, m_Ui->m_Location, m_Ui->m_Contact, m_Ui->m_OID,
                            m_Ui->m_FVer, m_Ui->m_KVer, m_Ui->m_HVer})
        edit->clear();
}

void TModuleBasicsSettings::FillFrom(TDevice* device)
{
    m_Ui->m_Type->setText(QString::fromStdString(device->TypeDescription()));
    m_Ui->m_MAC->setText(MacText(device->Mac()));
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsSettings>(*device);
    if (!record.Valid) {
        ClearRecordFields();
        return;
    }
    m_Ui->m_Name->setText(RecordText(device->Name()));
    m_Ui->m_Desc->setText(RecordText(record.Description));
    m_Ui->m_Location->setText(RecordText(record.Location));
    m_Ui->m_Contact->setText(RecordText(record.Contact));
    m_Ui->m_OID->setText(QStringLiteral("1.3.6.2.1.2.") + RecordText(record.OidSuffix));
    m_Ui->m_FVer->setText(VersionText(record.FirmwareVersion));
    m_Ui->m_KVer->setText(VersionText(record.KernelVersion));
    const uint32_t hardware = record.HardwareVersion;
    m_Ui->m_HVer->setText(QStringLiteral("%1(MPCB), %2(APCB)")
                              .arg(VersionText(uint16_t(hardware >> 16)), VersionText(uint16_t(hardware))));
}

void TModuleBasicsSettings::EventOnApply()
{
    const Intp::TBasicsSettingsTexts texts{RecordBytes(m_Ui->m_Name->text()), RecordBytes(m_Ui->m_Desc->text()),
                                           RecordBytes(m_Ui->m_Location->text()), RecordBytes(m_Ui->m_Contact->text())};
    StartOnSelection([&](TDevice*) { return new Intp::TSessionBasicsSettingsSet(texts); });
}

void TModuleBasicsSettings::EventOnWeb()
{
    for (TDevice* device : SelectedDevices())
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1").arg(AddressText(device->Address()))));
}

bool TModuleBasicsSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_Ui->m_Icon && event->type() == QEvent::MouseButtonRelease && m_Ui->m_Icon->isEnabled() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        EventOnWeb();
        return true;
    }
    return TModuleGetPage::eventFilter(watched, event);
}
