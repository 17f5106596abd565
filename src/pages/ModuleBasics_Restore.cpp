#include "ModuleBasics_Restore.h"

#include "ui_ModuleBasics_Restore.h"

#include <QFileInfo>
#include <QTreeWidgetItem>

TModuleBasicsFileLoad::TModuleBasicsFileLoad(const TFileLoadKind& kind, QWidget* parent)
    : TModuleTransferPage(QString::fromLatin1(kind.Caption), parent), m_Kind(kind),
      m_Ui(std::make_unique<Ui::TModuleBasicsFileLoad>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView);
    m_Ui->m_Restore->setObjectName(QString::fromLatin1(kind.ActionName));
    m_Ui->m_Restore->setText(QString::fromLatin1(kind.ActionText));
    m_Ui->m_Restore->setIcon(Icon(kind.ActionGlyph));
    m_Ui->m_Reboot->setText(QString::fromLatin1(kind.RebootText));
    m_Ui->m_Reboot->setIcon(Icon(TImage::Reboot));
    m_Ui->m_Open->setIcon(Icon(TImage::Open));
    m_Ui->m_ServerIp->setMaxLength(kind.ServerLength);
    SetControls({m_Ui->m_TopPanel, m_Ui->m_rbLocal, m_Ui->m_rbRemote, m_Ui->m_ServerIp, m_Ui->m_Restore,
                 m_Ui->m_Reboot, {m_Ui->m_LocalFile, m_Ui->m_Open},
                 {m_Ui->m_Label1, m_Ui->m_ServerIp, m_Ui->m_Label2, m_Ui->m_RemoteFile}});
    connect(m_Ui->m_LocalFile, &QLineEdit::textChanged, this, &TModuleBasicsFileLoad::ApplyChoice);
    connect(m_Ui->m_RemoteFile, &QLineEdit::textChanged, this, &TModuleBasicsFileLoad::ApplyChoice);
    connect(m_Ui->m_Open, &QPushButton::clicked, this, &TModuleBasicsFileLoad::EventOnOpen);
}

TModuleBasicsFileLoad::~TModuleBasicsFileLoad() = default;

bool TModuleBasicsFileLoad::CanOffer() const
{
    // One file fits one model only.
    const QList<QTreeWidgetItem*> rows = AllRows();
    if (rows.isEmpty())
        return false;
    const TDevice* first = Registry::Find(MacOf(rows.first()), false);
    return std::ranges::all_of(rows, [&](QTreeWidgetItem* row) {
        const TDevice* device = Registry::Find(MacOf(row), false);
        return first && device && device->Type() == first->Type();
    });
}

bool TModuleBasicsFileLoad::IsReady(bool remote) const
{
    if (remote)
        return IsValidServer() && !m_Ui->m_RemoteFile->text().isEmpty();
    const QString file = m_Ui->m_LocalFile->text();
    return !file.isEmpty() && QFileInfo(file).isFile();
}

uint16_t TModuleBasicsFileLoad::Command(bool remote) const
{
    return remote ? m_Kind.RemoteCommand : m_Kind.BuiltinCommand;
}

Intp::TSession* TModuleBasicsFileLoad::NewSession(TDevice&, bool remote)
{
    if (remote)
        return m_Kind.NewRemote(RemoteRequest(m_Ui->m_RemoteFile->text().toStdString()));
    return m_Kind.NewBuiltin(m_Ui->m_LocalFile->text());
}

void TModuleBasicsFileLoad::EventOnOpen()
{
    const QString file = PickTransferImage(this, QString::fromLatin1(m_Kind.DialogTitle), s_LastFolder);
    if (file.isEmpty())
        return;
    s_LastFolder = QFileInfo(file).absolutePath();
    m_Ui->m_LocalFile->setText(file);
}

namespace {

const TFileLoadKind Restore = {
    "Restore", "m_Restore", "&Restore", TImage::Restore, "Re&boot", "Select Configuration Image ...", 32767,
    Intp::TSessionBasicsRestoreBuildin::Command, Intp::TSessionBasicsRestoreTftp::Command,
    &NewFileSender<Intp::TSessionBasicsRestoreBuildin>, &NewRemoteTransfer<Intp::TSessionBasicsRestoreTftp>,
};

} // namespace

TModuleBasicsRestore::TModuleBasicsRestore(QWidget* parent) : TModuleBasicsFileLoad(Restore, parent) {}
