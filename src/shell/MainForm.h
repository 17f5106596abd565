// The console's main window: the menus, tool bar and actions, the tree panel and the page
// area, and the tray. The engine host underneath does the work; the navigator keeps the
// tree and the selection and hands every module its context.
#pragma once

#include <QMainWindow>

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLineEdit;
class QIcon;
class QModelIndex;
class QSplitter;
class QSystemTrayIcon;
class QTreeView;
class QWidget;
class TAboutForm;
class TDevice;
class TDeviceNavigator;
class TEngineHost;
class TFilterForm;
class TLoginForm;
class TModule;
class TModuleFrame;
class TScanForm;
class TStatusFrame;
class TSyslogFrame;
class TWizardGroupFwFrame;
class TWizardGroupIpFrame;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TEngineHost& Host() const { return *m_Host; }
    TDeviceNavigator& Navigator() const { return *m_Navigator; }
    TModuleFrame* DevicesModule() const { return m_Frame; }
    TStatusFrame* StatusModule() const { return m_Status; }
    TSyslogFrame* SyslogModule() const { return m_Syslog; }
    TWizardGroupIpFrame* GroupIpWizard() const { return m_GroupIp; }
    TWizardGroupFwFrame* GroupFwWizard() const { return m_GroupFw; }
    TLoginForm* LoginForm() const { return m_LoginForm; }
    TFilterForm* FilterForm() const { return m_FilterForm; }
    TScanForm* ScanForm() const { return m_ScanForm; }
    QTreeView* Tree() const { return m_Tree; }

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateTree();
    void CreateTray();
    QModelIndex AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices = false);
    void EventOnTreeMenu(const QPoint& pos);
    // The syslog receiver; asks whether to go on when the port cannot be bound.
    void OpenSyslog();

    // Declared first, destroyed last: every view below reads from it.
    TEngineHost* m_Host = nullptr;
    TDeviceNavigator* m_Navigator = nullptr;
    TFilterForm* m_FilterForm = nullptr;
    TScanForm* m_ScanForm = nullptr;
    QTreeView* m_Tree = nullptr;
    QComboBox* m_TreeSort = nullptr;
    QLineEdit* m_TreeFilter = nullptr;
    QSplitter* m_Splitter = nullptr;
    QWidget* m_FuncPages = nullptr;
    QSystemTrayIcon* m_TrayIcon = nullptr;
    TModuleFrame* m_Frame = nullptr;
    TStatusFrame* m_Status = nullptr;
    TSyslogFrame* m_Syslog = nullptr;
    TWizardGroupIpFrame* m_GroupIp = nullptr;
    TWizardGroupFwFrame* m_GroupFw = nullptr;
    TLoginForm* m_LoginForm = nullptr;
    TAboutForm* m_AboutForm = nullptr;
    std::vector<std::unique_ptr<TModule>> m_Folders;
    bool m_SendFailureShown = false;

    // Found by their object names ("acDiscovery" ...), as the tests and the pages' menus do.
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
    QAction* acFindDevice = nullptr;
    QAction* acAbout = nullptr;
    QAction* acExit = nullptr;
};
