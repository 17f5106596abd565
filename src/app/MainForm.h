// The console's main window: the device tree kept in step with the registry, the actions,
// and the services pages reach through TModuleCallback.
#pragma once

#include "devices/Device.h"
#include "devices/FilterSettings.h"
#include "intp/FindHook.h"
#include "modules/Module.h"

#include <QHash>
#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QSplitter;
class QSystemTrayIcon;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TAboutForm;
class TFilterForm;
class TLoginForm;
class TModuleFrame;
class TSessionManager;
class TStatusFrame;

namespace Intp {
class TIntpSocket;
class TIntpSocketThread;
}

class TMainForm : public QMainWindow, public Intp::TDeviceCallback, public TModuleCallback {
    Q_OBJECT
public:
    enum TSortMode { smNone, smModel, smAddress, smFilter };

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
    TModuleFrame* DevicesModule() const { return m_Frame; }
    TStatusFrame* StatusModule() const { return m_Status; }
    TLoginForm* LoginForm() const { return m_LoginForm; }
    QTreeWidget* Tree() const { return m_Tree; }
    QTreeWidgetItem* DevicesNode() const { return m_DevicesNode; }
    QTreeWidgetItem* NodeOf(TDevice* device) const { return m_DeviceNodes.value(device); }
    TModule* ShownModule() const { return m_Shown; }
    TFilterForm* FilterForm() const { return m_FilterForm; }
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TGroupKey {
        uint32_t Address = 0;
        uint32_t Mask = 0;
        bool operator==(const TGroupKey&) const = default;
        bool operator<(const TGroupKey& o) const { return Address != o.Address ? Address < o.Address : Mask < o.Mask; }
    };

    void CreateActions();
    void CreateMenus();
    void CreateTree();
    QTreeWidgetItem* AddModule(TModule* module, QTreeWidgetItem* parent, const QIcon& icon);
    void ShutdownWorkers();

    bool IsShown(TDevice* device) const;
    TGroupKey GroupKeyOf(TDevice* device, QString& caption) const;
    QTreeWidgetItem* GroupNode(const TGroupKey& key, const QString& caption);
    void SortGroups();
    void UpdateDevice(TDevice* device, uint16_t code);
    void AddDeviceNode(TDevice* device);
    void RemoveDeviceNode(TDevice* device);
    void MoveToGroup(QTreeWidgetItem* node, const TGroupKey& key, const QString& caption);
    // A node about to be deleted leaves the remembered selection.
    void ForgetNode(QTreeWidgetItem* node);
    void DeleteGroupIfEmpty(QTreeWidgetItem* group);
    void SetDeviceCaption(QTreeWidgetItem* node, TDevice* device);
    void UpdateDevicesCaption();
    void NotifyShown(TDevice* device, uint16_t code, uint16_t status);

    void EventOnTreeSort(int mode);
    void EventOnTreeChange();
    void EventOnTreeMenu(const QPoint& pos);
    TModule* ModuleForNode(QTreeWidgetItem* node) const;
    bool SelectionIsDevices(QList<QTreeWidgetItem*>* devices = nullptr) const;

    Intp::TIntpSocketThread* m_IntpThread = nullptr;
    Intp::TIntpSocket* m_IntpSock = nullptr;
    TSessionManager* m_SessionManager = nullptr;
    std::unique_ptr<TFindHook> m_FindHook;
    TFilterForm* m_FilterForm = nullptr;
    Filter::TFilterServer* m_Filter = nullptr;
    std::function<bool(std::string&, std::string&)> m_Credentials;

    QTreeWidget* m_Tree = nullptr;
    QComboBox* m_TreeSort = nullptr;
    QSplitter* m_Splitter = nullptr;
    QWidget* m_FuncPages = nullptr;
    QSystemTrayIcon* m_TrayIcon = nullptr;
    TModuleFrame* m_Frame = nullptr;
    TStatusFrame* m_Status = nullptr;
    TLoginForm* m_LoginForm = nullptr;
    TAboutForm* m_AboutForm = nullptr;
    std::vector<std::unique_ptr<TModule>> m_Folders;

    QTreeWidgetItem* m_DevicesNode = nullptr;
    QHash<TDevice*, QTreeWidgetItem*> m_DeviceNodes;
    std::map<TGroupKey, QTreeWidgetItem*> m_Groups;
    TSortMode m_SortMode = smNone;
    TModule* m_Shown = nullptr;
    QList<QTreeWidgetItem*> m_Selection;
    QTreeWidgetItem* m_Current = nullptr;
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
