// The console's main window: the device tree kept in step with the registry, the actions,
// and the services pages reach through TModuleCallback.
#pragma once

#include "core/Device.h"
#include "core/DeviceGroups.h"
#include "core/FilterSettings.h"
#include "net/FindHook.h"
#include "ui/Module.h"

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QTimer>

#include <memory>

class QAction;
class QComboBox;
class QSplitter;
class QSystemTrayIcon;
class QTreeView;
class QWidget;
class TAboutForm;
class TDeviceTreeModel;
class TFilterForm;
class TScanForm;
class TLoginForm;
class TModuleFrame;
class TSessionManager;
class TStatusFrame;
class TSyslogFrame;
class TWizardGroupFwFrame;
class TWizardGroupIpFrame;

namespace Syslog {
class TSyslogSocket;
class TSyslogSocketThread;
}

namespace Intp {
class TIntpSocket;
class TIntpSocketThread;
}

class TMainForm : public QMainWindow, public Intp::TDeviceCallback, public TModuleCallback {
    Q_OBJECT
public:
    using TSortMode = TDeviceGroups::TSortMode;
    static constexpr TSortMode smNone = TDeviceGroups::smNone, smModel = TDeviceGroups::smModel,
                               smAddress = TDeviceGroups::smAddress, smFilter = TDeviceGroups::smFilter;
    // New device nodes are gathered for this long and enter the tree together.
    static constexpr int TreeBatchInterval = 50;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Intp::TDeviceCallback
    void DeviceCreated(TDevice* device) override;
    void DeviceDestroyed(TDevice* device) override;
    void FlagsChanged(TDevice* device, uint32_t bits) override;
    void AddressChanged(TDevice* device) override;
    void TypeChanged(TDevice* device) override;
    void NameChanged(TDevice* device) override;

    // TModuleCallback
    int GetSelectedDevice(TDevice*& device) override;
    int GetSelectedDevices(std::vector<TDevice*>& devices) override;
    int GetAllDevices(std::vector<TDevice*>& devices) override;
    bool AskCredentials(std::string& user, std::string& password) override;
    bool IsSelectedDevice(TDevice* device) override;
    bool IsAmongSelected(TDevice* device) override;
    bool SelectPath(const QString& path) override;
    Filter::TFilterServer* GetFilterServer() override;
    Status::TStatusServer* GetStatusServer() override;
    Syslog::TSyslogServer* GetSyslogServer() override;

    TSessionManager* SessionManager() const { return m_SessionManager; }
    Intp::TIntpSocket* IntpSocket() const { return m_IntpSock; }
    Intp::TIntpSocketThread* IntpThread() const { return m_IntpThread; }
    TModuleFrame* DevicesModule() const { return m_Frame; }
    TStatusFrame* StatusModule() const { return m_Status; }
    TSyslogFrame* SyslogModule() const { return m_Syslog; }
    TWizardGroupIpFrame* GroupIpWizard() const { return m_GroupIp; }
    TWizardGroupFwFrame* GroupFwWizard() const { return m_GroupFw; }
    // Null when the window runs without syslog reception.
    Syslog::TSyslogSocket* SyslogSocket() const { return m_SyslogSock; }
    Syslog::TSyslogSocketThread* SyslogThread() const { return m_SyslogThread; }
    TLoginForm* LoginForm() const { return m_LoginForm; }
    QTreeView* Tree() const { return m_Tree; }
    TDeviceTreeModel* TreeModel() const { return m_Model; }
    const TDeviceGroups& DeviceGroups() const { return m_Groups; }
    QModelIndex DevicesIndex() const;
    // The device's node, after the devices waiting for the tree have entered it.
    QModelIndex IndexOf(TDevice* device);
    QModelIndex PathIndex(const QString& path) const;
    // Makes the first device the current node and selects the others with it.
    void SelectDevices(const std::vector<TDevice*>& devices);
    void SelectIndex(const QModelIndex& index);
    // Lets the waiting devices enter the tree now.
    void FlushTree();
    TModule* ShownModule() const { return m_Shown; }
    TFilterForm* FilterForm() const { return m_FilterForm; }
    TScanForm* ScanForm() const { return m_ScanForm; }
    // Replaces the discovery filter (tests).
    void SetFilterServer(Filter::TFilterServer* filter) { m_Filter = filter; }
    // Replaces the credentials dialog (tests).
    void SetCredentialsSource(std::function<bool(std::string&, std::string&)> source)
    {
        m_Credentials = std::move(source);
    }

    void EventOnDiscovery();
    void EventOnLogin();
    void EventOnLogout();
    void EventOnReboot();
    void EventOnOpenWeb();
    void EventOnExit();
    void EventOnSaveConfigExecute();
    void EventOnLoadConfigExecute();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateTree();
    QModelIndex AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices = false);
    void ShutdownWorkers();

    void UpdateDevice(TDevice* device, uint16_t code);
    void RemoveDeviceNode(TDevice* device);
    // Selection changes made by the program, not by the operator.
    void SetSelectionQuietly(const QModelIndex& current, const QList<QPersistentModelIndex>& selection);
    void ForgetRemovedNodes();
    void NotifyShown(TDevice* device, uint16_t code, uint16_t status);

    void EventOnTreeSort(int mode);
    void EventOnTreeChange();
    void EventOnTreeMenu(const QPoint& pos);
    TModule* ModuleForNode(const QModelIndex& index) const;
    // The syslog worker and socket; asks whether to go on when the port cannot be bound.
    void OpenSyslog();
    bool SelectionIsDevices(std::vector<TDevice*>* devices = nullptr) const;

    Intp::TIntpSocketThread* m_IntpThread = nullptr;
    Intp::TIntpSocket* m_IntpSock = nullptr;
    TSessionManager* m_SessionManager = nullptr;
    std::unique_ptr<TFindHook> m_FindHook;
    TFilterForm* m_FilterForm = nullptr;
    TScanForm* m_ScanForm = nullptr;
    Filter::TFilterServer* m_Filter = nullptr;
    std::function<bool(std::string&, std::string&)> m_Credentials;

    TDeviceGroups m_Groups;
    TDeviceTreeModel* m_Model = nullptr;
    QTreeView* m_Tree = nullptr;
    QTimer m_TreeBatch;
    QComboBox* m_TreeSort = nullptr;
    QSplitter* m_Splitter = nullptr;
    QWidget* m_FuncPages = nullptr;
    QSystemTrayIcon* m_TrayIcon = nullptr;
    TModuleFrame* m_Frame = nullptr;
    TStatusFrame* m_Status = nullptr;
    TSyslogFrame* m_Syslog = nullptr;
    TWizardGroupIpFrame* m_GroupIp = nullptr;
    TWizardGroupFwFrame* m_GroupFw = nullptr;
    Syslog::TSyslogSocketThread* m_SyslogThread = nullptr;
    Syslog::TSyslogSocket* m_SyslogSock = nullptr;
    TLoginForm* m_LoginForm = nullptr;
    TAboutForm* m_AboutForm = nullptr;
    std::vector<std::unique_ptr<TModule>> m_Folders;

    TModule* m_Shown = nullptr;
    QList<QPersistentModelIndex> m_Selection; // in selection order
    QPersistentModelIndex m_Current;
    bool m_ChangingSelection = false;
    bool m_ShuttingDown = false;
    bool m_SendFailureShown = false;

public:
    QAction* acDiscovery = nullptr;
    QAction* acFilter = nullptr;
    QAction* acScan = nullptr;
    QAction* acLogin = nullptr;
    QAction* acLogout = nullptr;
    QAction* acReboot = nullptr;
    QAction* acOpenWeb = nullptr;
    QAction* acRefresh = nullptr;
    QAction* acRefreshAll = nullptr;
    QAction* acGroupIpWizard = nullptr;
    QAction* acGroupFwWizard = nullptr;
    QAction* acLoadConfig = nullptr;
    QAction* acSaveConfig = nullptr;
    QAction* acPreference = nullptr;
    QAction* acAbout = nullptr;
    QAction* acExit = nullptr;
};
