#include "WizardGroupFwFrame.h"

#include "ui_WizardGroupFwFrame.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "core/AddressRules.h"
#include "core/Device.h"
#include "core/Basics.h"
#include "core/Transfer.h"
#include "ui/ModuleTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

enum TColumn { colModel, colKernel, colFirmware, colMac, colAddress };
constexpr int ImageRole = Qt::UserRole + 2;
constexpr uint16_t TftpPort = 69;

} // namespace

TWizardGroupFwFrame::TWizardGroupFwFrame(QWidget* parent)
    : TWizardStepsFrame(parent), m_Ui(std::make_unique<Ui::TWizardGroupFwFrame>())
{
    m_Ui->setupUi(this);
    SetControls({m_Ui->m_Logo, m_Ui->m_Steps, m_Ui->m_Prev, m_Ui->m_Next, m_Ui->m_Step1ToSelect, m_Ui->m_Step1Selected,
                 m_Ui->m_Step2Preview, m_Ui->m_Step1Select, m_Ui->m_Step1SelectAll, m_Ui->m_Step1Unselect,
                 m_Ui->m_Step1UnselectAll, m_Ui->m_Step2Settings, QStringLiteral("&Upgrade")});
    m_Ui->m_Step2Preview->setIconSize(QSize(16, 16));
    m_Ui->m_Step2Open->setIcon(Icon(TImage::Open));

    connect(m_Ui->m_Step2Local, &QRadioButton::toggled, this, &TWizardGroupFwFrame::ApplySettingsRules);
    connect(m_Ui->m_Step2Server, &QLineEdit::textChanged, this, &TWizardGroupFwFrame::ApplySettingsRules);
    connect(m_Ui->m_Step2Filename, &QLineEdit::textChanged, this, &TWizardGroupFwFrame::ApplySettingsRules);
    connect(m_Ui->m_Step2Open, &QToolButton::clicked, this, &TWizardGroupFwFrame::EventOnOpen);
}

TWizardGroupFwFrame::~TWizardGroupFwFrame() = default;

bool TWizardGroupFwFrame::Offers(const TDevice& device) const { return device.IsLoggedIn(); }

void TWizardGroupFwFrame::FillRow(QTreeWidgetItem* row, TDevice& device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsSettings>(device);
    row->setText(colModel, QString::fromStdString(device.TypeDescription()));
    row->setText(colKernel, record.Valid ? VersionText(record.KernelVersion) : QStringLiteral("Invalid"));
    row->setText(colFirmware, record.Valid ? VersionText(record.FirmwareVersion) : QStringLiteral("Invalid"));
    row->setText(colMac, MacText(device.Mac()));
    row->setText(colAddress, AddressText(device.Address()));
}

bool TWizardGroupFwFrame::MayChoose(const QList<QTreeWidgetItem*>& rows)
{
    // One image fits one model: every chosen device must be of the first one's model.
    QTreeWidget* chosen = m_Ui->m_Step1Selected;
    const int model = chosen->topLevelItemCount() > 0 ? TypeOf(chosen->topLevelItem(0)) : TypeOf(rows.first());
    for (const QTreeWidgetItem* row : rows) {
        if (TypeOf(row) != model) {
            Dialogs::Error(this, QStringLiteral("You cannot select devices of different model!"));
            return false;
        }
    }
    return true;
}

void TWizardGroupFwFrame::ApplySettingsRules()
{
    if (Step() != 2)
        return;
    const bool local = m_Ui->m_Step2Local->isChecked();
    SetEnabled({m_Ui->m_Step2Path, m_Ui->m_Step2Open}, local);
    SetEnabled({m_Ui->m_Step2Server, m_Ui->m_Step2ServerLabel, m_Ui->m_Step2Filename, m_Ui->m_Step2FilenameLabel},
               !local);
    m_Server = AddressOf(m_Ui->m_Step2Server->text());
    if (IsBusy())
        return;
    if (local)
        SetActionEnabled(!m_Ui->m_Step2Path->text().isEmpty() && QFileInfo(m_Ui->m_Step2Path->text()).isFile());
    else
        SetActionEnabled(IsValidHostAddress(m_Server) && !m_Ui->m_Step2Filename->text().isEmpty());
}

void TWizardGroupFwFrame::EventOnOpen()
{
    const QString file = PickTransferImage(this, QStringLiteral("Select Firmware Image ..."), m_Folder);
    if (file.isEmpty())
        return;
    m_Folder = QFileInfo(file).absolutePath();
    m_Ui->m_Step2Path->setText(file);
    ApplySettingsRules();
}

uint16_t TWizardGroupFwFrame::Command() const
{
    return m_Ui->m_Step2Local->isChecked() ? Intp::TSessionBasicsUpgradeBuildin::Command
                                           : Intp::TSessionBasicsUpgradeTftp::Command;
}

void TWizardGroupFwFrame::Act()
{
    const bool local = m_Ui->m_Step2Local->isChecked();
    const std::string path = QFile::encodeName(m_Ui->m_Step2Path->text()).toStdString();
    const Intp::TTftpRequest request{m_Server, TftpPort, m_Ui->m_Step2Filename->text().toStdString()};
    const QList<QTreeWidgetItem*> rows = PreviewRows();
    bool started = false;
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        QTreeWidgetItem* row = rows[i];
        TDevice* device = Registry::Find(MacOf(row), false);
        Intp::TSession* session = nullptr;
        if (device && local) {
            auto* upgrade = new Intp::TSessionBasicsUpgradeBuildin;
            upgrade->OpenSourceFile(path);
            session = upgrade;
        } else if (device) {
            auto* upgrade = new Intp::TSessionBasicsUpgradeTftp;
            upgrade->SetRequest(request);
            session = upgrade;
        }
        if (session && Intp::Start(session, device, this)) {
            SetImage(row, imWaiting);
            started = true;
        } else {
            delete session;
            SetImage(row, imFailed);
        }
    }
    if (started)
        SetBusy(true);
}

void TWizardGroupFwFrame::OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data)
{
    if (!device || !IsBusy() || command != Command())
        return;
    for (QTreeWidgetItem* row : PreviewRows()) {
        if (MacOf(row) != device->Mac())
            continue;
        if (status == Intp::stTimeout) {
            SetImage(row, imTimeout);
        } else if (status != Intp::stSuccess) {
            SetImage(row, imFailed);
        } else if (const auto* progress = data.Progress) {
            switch (progress->State) {
            case Intp::tsDone: SetImage(row, imDone); break;
            case Intp::tsError: SetImage(row, imFailed); break;
            case Intp::tsWritingFlash: SetImage(row, imWriting); break;
            default: break;
            }
        }
    }
    FinishWhenDone();
}

bool TWizardGroupFwFrame::IsWaiting(const QTreeWidgetItem* row) const
{
    const int image = ImageOf(row);
    return image == imWaiting || image == imWriting;
}

int TWizardGroupFwFrame::ImageOf(const QTreeWidgetItem* row)
{
    QVariant image = row->data(colModel, ImageRole);
    return image.isValid() ? image.toInt() : imNone;
}

void TWizardGroupFwFrame::SetImage(QTreeWidgetItem* row, int image)
{
    row->setData(colModel, ImageRole, image);
    row->setIcon(colModel, RowImage(image));
}
