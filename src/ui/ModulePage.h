// Base classes of the configuration pages, one per page pattern:
//   TModulePage            a page in the function tree
//   TModuleGetPage         filled from the first selected device's cached record, applied
//                          to every selected device
//   TModuleDeviceListPage  one status row per selected, logged-in device, for operations
//                          that run on many switches at once
#pragma once

#include "Module.h"
#include "core/Device.h"
#include "core/Session.h"
#include "core/MacAddr.h"

#include <algorithm>

#include <QHash>
#include <QList>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

class TModulePage : public QWidget, public TModule {
    Q_OBJECT
public:
    TModulePage(QString caption, QWidget* parent);

    QString GetName() const override { return m_Caption; }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice*, uint16_t, uint16_t) override {}
    bool Hide(bool) override;
    int Refresh(bool) override { return 0; }

protected:
    // The selected devices as the context reports them.
    std::vector<TDevice*> SelectedDevices() const;
    TDevice* FirstSelected(int* count = nullptr) const;

    // Starts one session per selected device, each built by make(device); returns how many
    // started. Sessions that cannot be started are destroyed.
    template <typename Make>
    int StartOnSelection(Make make, Intp::TWizard* receiver = nullptr)
    {
        int started = 0;
        for (TDevice* device : SelectedDevices()) {
            Intp::TSession* session = make(device);
            if (Intp::Start(session, device, receiver))
                ++started;
            else
                delete session;
        }
        return started;
    }

    // The reboot command to every selected device, with no receiver.
    void RebootSelected();

private:
    QString m_Caption;
};

class TModuleGetPage : public TModulePage {
    Q_OBJECT
public:
    using TModulePage::TModulePage;

    // Starts the page's Get session(s) on every selected device.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    // Whether a finished session of this command redraws the page.
    virtual bool IsGetCommand(uint16_t code) const = 0;
    // Starts the Get session(s) for one device; returns how many started.
    virtual int StartGets(TDevice* device) = 0;
    // Fills the controls from the device's cached records (empty when not valid).
    virtual void FillFrom(TDevice* device) = 0;
    // Every label and editing control follows whether a device is selected.
    virtual void EnableControls(bool on);

    void Redraw();
};

class TModuleDeviceListPage : public TModulePage, public Intp::TWizard {
    Q_OBJECT
public:
    enum TColumn { colModel, colKernel, colFirmware, colMac, colAddress, colStatus, colFirst = colModel };
    enum TRowState { rsWaiting, rsDone, rsError, rsTimeout, rsNotStarted, rsNoMemory, rsNoDevice, rsWritingFlash, rsFailed };

    TModuleDeviceListPage(QString caption, QWidget* parent);

    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    // Asks every selected device for its versions; the page shows at once.
    int Refresh(bool current) override;
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

    virtual bool IsRunning() const;
    QTreeWidgetItem* RowOf(const TMacAddr& mac) const { return m_Rows.value(mac); }

protected:
    // The list the rows go into; the subclass's form owns it. Columns from colModel to
    // colStatus come first; a page may add its own after them.
    void SetList(QTreeWidget* list);
    QTreeWidget* List() const { return m_List; }
    // The waiting text of this page ("Sending request" or "Transmitting").
    virtual QString WaitingText() const { return QStringLiteral("Sending request"); }
    // A result of the page's own operation; the default shows its status on the row.
    virtual void OnOperationResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data);
    // Idle again: the last waiting row finished.
    virtual void OnFinished() {}

    void SetRowState(QTreeWidgetItem* row, TRowState state, uint16_t status = 0);
    TMacAddr MacOf(QTreeWidgetItem* row) const;
    // The row's TRowState, or -1 while it has none (no image, not started).
    static int RowStateOf(QTreeWidgetItem* row);
    static void ClearRowState(QTreeWidgetItem* row);
    enum class TRowOrder { FirstLast, LastFirst };
    // Runs make(device) on every row's device and marks each row; returns how many started.
    template <typename Make>
    int StartOnRows(Make make, TRowOrder order = TRowOrder::FirstLast)
    {
        QList<QTreeWidgetItem*> rows = AllRows();
        if (order == TRowOrder::LastFirst)
            std::reverse(rows.begin(), rows.end());
        return StartRows(rows, make, rows.size());
    }
    // The same for the given rows in order, stopping once limit sessions started. make
    // returns null when it has no session for the device.
    template <typename Make>
    int StartRows(const QList<QTreeWidgetItem*>& rows, Make make, qsizetype limit)
    {
        int started = 0;
        for (QTreeWidgetItem* row : rows) {
            if (started >= limit)
                break;
            TDevice* device = Registry::Find(MacOf(row), false);
            if (!device) {
                SetRowState(row, rsNoDevice);
                continue;
            }
            Intp::TSession* session = make(device);
            if (!session) {
                SetRowState(row, rsNoMemory);
            } else if (Intp::Start(session, device, this)) {
                SetRowState(row, rsWaiting);
                ++started;
            } else {
                delete session;
                SetRowState(row, rsNotStarted);
            }
        }
        return started;
    }
    QList<QTreeWidgetItem*> AllRows() const;
    void RebuildRows();

private:
    // "Kernel Ver." and "Firmware Ver." from the device's cached settings record.
    static void ShowVersions(QTreeWidgetItem* row, TDevice& device);

    QTreeWidget* m_List = nullptr;
    QHash<TMacAddr, QTreeWidgetItem*> m_Rows;
};
