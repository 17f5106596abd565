#include "ModuleTransfer.h"

#include "Dialogs.h"
#include "net/AddressText.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

QString TModuleTransferPage::s_LastFolder;

void TModuleTransferPage::SetControls(const TControls& controls)
{
    m_Controls = controls;
    connect(m_Controls.Local, &QRadioButton::toggled, this, &TModuleTransferPage::ApplyChoice);
    connect(m_Controls.ServerIp, &QLineEdit::textChanged, this, &TModuleTransferPage::ApplyChoice);
    connect(m_Controls.Action, &QAbstractButton::clicked, this, &TModuleTransferPage::EventOnStart);
    m_Controls.Action->setEnabled(false);
    if (m_Controls.Reboot) {
        m_Controls.Reboot->setEnabled(false);
        connect(m_Controls.Reboot, &QAbstractButton::clicked, this, [this] { RebootSelected(); });
    }
}

bool TModuleTransferPage::IsRemote() const { return m_Controls.Remote->isChecked(); }

bool TModuleTransferPage::IsValidServer() const { return IsValidHostAddress(AddressOf(m_Controls.ServerIp->text())); }

Intp::TTftpRequest TModuleTransferPage::RemoteRequest(const std::string& file) const
{
    return {AddressOf(m_Controls.ServerIp->text()), TftpPort, file};
}

void TModuleTransferPage::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    if (code != ncSelect && code != ncDeviceRemoved)
        return;
    if (m_Running) {
        // A forgotten device's session ends without a report: its row would wait for ever.
        bool lost = false;
        for (QTreeWidgetItem* row : AllRows()) {
            int state = RowStateOf(row);
            if ((state == rsWaiting || state == rsWritingFlash) && !Registry::Find(MacOf(row), false)) {
                SetRowState(row, rsNoDevice);
                lost = true;
            }
        }
        if (lost)
            FollowRun(nullptr, 0, nullptr);
        return;
    }
    TModuleDeviceListPage::Notify(device, code, status);
    const bool offer = CanOffer();
    for (QWidget* option : m_Controls.TopPanel->findChildren<QWidget*>())
        option->setEnabled(offer);
    m_Controls.Action->setEnabled(false);
    if (m_Controls.Reboot)
        m_Controls.Reboot->setEnabled(false);
    ApplyChoice();
}

void TModuleTransferPage::ApplyChoice()
{
    if (m_Running || !m_Controls.Local->isEnabled())
        return;
    const bool remote = IsRemote();
    for (QWidget* field : m_Controls.LocalFields)
        field->setEnabled(!remote);
    for (QWidget* field : m_Controls.RemoteFields)
        field->setEnabled(remote);
    m_Controls.Action->setEnabled(IsReady(remote));
}

void TModuleTransferPage::EventOnStart()
{
    for (QTreeWidgetItem* row : AllRows())
        ClearRowState(row);
    m_Command = Command(IsRemote());
    m_Running = StartFrom(0) > 0;
    // Only a run that ends offers the reboot; a press that started nothing ended none.
    if (m_Controls.Reboot)
        m_Controls.Reboot->setEnabled(false);
    ShowRunState();
}

int TModuleTransferPage::StartFrom(qsizetype index)
{
    const bool remote = IsRemote();
    return StartRows(
        AllRows().mid(index), [this, remote](TDevice* device) { return NewSession(*device, remote); },
        IsSequential() ? 1 : BatchSize);
}

void TModuleTransferPage::OnOperationResult(TDevice* device, uint16_t command, uint16_t status,
                                            const Intp::TResultData& data)
{
    if (m_Running && command == m_Command)
        FollowRun(device, status, data.Progress);
}

bool TModuleTransferPage::ShowOutcome(QTreeWidgetItem* row, uint16_t status, const Intp::TTransferProgress* progress)
{
    if (status == Intp::stTimeout) {
        SetRowState(row, rsTimeout);
        return true;
    }
    if (status != Intp::stSuccess) {
        SetRowState(row, rsError, status);
        return true;
    }
    switch (progress ? progress->State : Intp::tsGoingOn) {
    case Intp::tsDone: SetRowState(row, rsDone); return true;
    case Intp::tsError: SetRowState(row, rsFailed); return true;
    case Intp::tsWritingFlash: SetRowState(row, rsWritingFlash); return false;
    default: return false;
    }
}

void TModuleTransferPage::FollowRun(TDevice* device, uint16_t status, const Intp::TTransferProgress* progress)
{
    m_Running = false;
    bool transferring = false;
    qsizetype waiting = -1;
    const QList<QTreeWidgetItem*> rows = AllRows();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* row = rows[i];
        if (device && MacOf(row) == device->Mac() && ShowOutcome(row, status, progress) && IsSequential()) {
            m_Running = StartFrom(i + 1) > 0 || m_Running;
            break;
        }
        const int state = RowStateOf(row);
        if (state == rsWaiting || state == rsWritingFlash)
            m_Running = true;
        if (state == rsWaiting)
            transferring = true;
        if (state < 0 && waiting < 0)
            waiting = i;
    }
    if (!transferring && waiting >= 0 && !IsSequential())
        m_Running = StartFrom(waiting) > 0 || m_Running;
    if (m_Controls.Reboot && !m_Running)
        m_Controls.Reboot->setEnabled(true);
    ShowRunState();
}

void TModuleTransferPage::ShowRunState()
{
    m_Controls.TopPanel->setEnabled(!m_Running);
    if (m_Running)
        m_Controls.Action->setEnabled(false);
    else
        ApplyChoice();
}

QString PickTransferImage(QWidget* parent, const QString& caption, const QString& folder)
{
    const QString file = Dialogs::PickOpenFile(parent, caption, folder,
                                               QStringLiteral("Images (*.bin *.img);;All files (*)"));
    const QFileInfo info(file);
    if (file.isEmpty() || Intp::FitsTransfer(std::uintmax_t(info.size())))
        return file;
    Dialogs::Error(parent, QString::fromStdString(Intp::TransferTooLargeText(info.fileName().toStdString())));
    return {};
}
