// The common part of "Backup", "Restore" and "Upgrade": a device list whose action moves
// files to or from the listed switches, built in or through a TFTP server, in batches,
// following each switch's progress reports.
#pragma once

#include "ModulePage.h"
#include "core/Transfer.h"

#include <new>

#include <QFile>
#include <QList>

class QAbstractButton;
class QLineEdit;
class QRadioButton;

class TModuleTransferPage : public TModuleDeviceListPage {
    Q_OBJECT
public:
    using TModuleDeviceListPage::TModuleDeviceListPage;

    // Lists the devices while idle, then offers the options when the devices allow a run.
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool IsRunning() const override { return m_Running; }

    // Built-in transfers started at a time.
    static constexpr int BatchSize = 20;
    static constexpr uint16_t TftpPort = 69;

protected:
    struct TControls {
        QWidget* TopPanel;
        QRadioButton* Local;
        QRadioButton* Remote;
        QLineEdit* ServerIp;
        QAbstractButton* Action;
        QAbstractButton* Reboot; // none on "Backup"
        QList<QWidget*> LocalFields;
        QList<QWidget*> RemoteFields;
    };
    // Takes the form's controls and connects the radio choice, the server and the action.
    void SetControls(const TControls& controls);

    QString WaitingText() const override { return QStringLiteral("Transmitting"); }
    void OnOperationResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

    // Whether the listed devices allow a run; the options are enabled exactly then.
    virtual bool CanOffer() const { return !AllRows().isEmpty(); }
    // Whether the chosen method has what it needs to start.
    virtual bool IsReady(bool remote) const = 0;
    virtual uint16_t Command(bool remote) const = 0;
    // The device's transfer by the chosen method; null when none can be made for it.
    virtual Intp::TSession* NewSession(TDevice& device, bool remote) = 0;
    // One switch after another instead of batches.
    virtual bool IsSequential() const { return false; }

    bool IsRemote() const;
    bool IsValidServer() const;
    Intp::TTftpRequest RemoteRequest(const std::string& file) const;
    // Re-applies the radio choice to the fields and the action button (while the options
    // are offered and no run goes on).
    void ApplyChoice();

    // The folder last chosen in a file dialog of these pages; kept for this run of the
    // console only.
    static QString s_LastFolder;

private:
    void EventOnStart();
    int StartFrom(qsizetype index);
    // Shows a final report on the row; false while the device is still busy.
    bool ShowOutcome(QTreeWidgetItem* row, uint16_t status, const Intp::TTransferProgress* progress);
    // Walks the rows after a report (device null: a device was forgotten), starts what
    // comes next and tells whether the run goes on.
    void FollowRun(TDevice* device, uint16_t status, const Intp::TTransferProgress* progress);
    void ShowRunState();

    TControls m_Controls{};
    bool m_Running = false;
    uint16_t m_Command = 0;
};

// Asks for a file to send by the built-in transfer; one too large for it is refused with a
// message. Empty when cancelled or refused.
QString PickTransferImage(QWidget* parent, const QString& caption, const QString& folder);

// The sessions by kind; null when there is no memory for one.
template <typename S>
Intp::TSession* NewFileSender(const QString& path)
{
    auto* session = new (std::nothrow) S;
    if (session)
        session->OpenSourceFile(QFile::encodeName(path).toStdString());
    return session;
}

template <typename S>
Intp::TSession* NewRemoteTransfer(const Intp::TTftpRequest& request)
{
    auto* session = new (std::nothrow) S;
    if (session)
        session->SetRequest(request);
    return session;
}
