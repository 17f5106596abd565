#include "ModuleBasics_Backup.h"

#include "ui_ModuleBasics_Backup.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QFileInfo>

// The file name on a TFTP server fills at most the request's 32-byte field.
static constexpr std::size_t RemoteNameLength = 32;

TModuleBasicsBackup::TModuleBasicsBackup(QWidget* parent)
    : TModuleTransferPage(QStringLiteral("Backup"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsBackup>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView);
    m_Ui->m_Open->setIcon(Icon(TImage::Open));
    m_Ui->m_Backup->setIcon(Icon(TImage::Backup));
    SetControls({m_Ui->m_TopPanel, m_Ui->m_rbLocal, m_Ui->m_rbRemote, m_Ui->m_ServerIp, m_Ui->m_Backup, nullptr,
                 {m_Ui->m_LocalDir, m_Ui->m_Open}, {m_Ui->m_Label1, m_Ui->m_ServerIp}});
    connect(m_Ui->m_LocalDir, &QLineEdit::textChanged, this, &TModuleBasicsBackup::ApplyChoice);
    connect(m_Ui->m_Open, &QPushButton::clicked, this, &TModuleBasicsBackup::EventOnOpen);
}

TModuleBasicsBackup::~TModuleBasicsBackup() = default;

bool TModuleBasicsBackup::IsReady(bool remote) const
{
    const QString folder = m_Ui->m_LocalDir->text();
    return remote ? IsValidServer() : !folder.isEmpty() && QFileInfo(folder).isDir();
}

uint16_t TModuleBasicsBackup::Command(bool remote) const
{
    return remote ? Intp::TSessionBasicsBackupTftp::Command : Intp::TSessionBasicsBackupBuildin::Command;
}

QString TModuleBasicsBackup::FileName(const TDevice& device) const
{
    // Two switches on one address (what the group IP wizard sorts out) would write one file.
    const bool shared = std::ranges::any_of(AllRows(), [&](QTreeWidgetItem* row) {
        const TDevice* other = Registry::Find(MacOf(row), false);
        return other && other != &device && other->Address() == device.Address();
    });
    const QString identity = shared ? MacDigits(device.Mac()) : AddressText(device.Address());
    return m_Ui->m_Prefix->text() + identity + QStringLiteral(".bin");
}

Intp::TSession* TModuleBasicsBackup::NewSession(TDevice& device, bool remote)
{
    const QString name = FileName(device);
    if (remote) {
        const std::string file = name.toStdString();
        if (file.size() > RemoteNameLength)
            return nullptr;
        return NewRemoteTransfer<Intp::TSessionBasicsBackupTftp>(RemoteRequest(file));
    }
    auto* session = new (std::nothrow) Intp::TSessionBasicsBackupBuildin;
    if (session)
        session->OpenTargetFile(QFile::encodeName(m_Ui->m_LocalDir->text() + QLatin1Char('/') + name).toStdString());
    return session;
}

void TModuleBasicsBackup::EventOnOpen()
{
    const QString start = s_LastFolder.isEmpty() ? m_Ui->m_LocalDir->text() : s_LastFolder;
    const QString folder = Dialogs::PickFolder(this, QStringLiteral("Save in ..."), start);
    if (folder.isEmpty())
        return;
    s_LastFolder = folder;
    m_Ui->m_LocalDir->setText(folder);
}
