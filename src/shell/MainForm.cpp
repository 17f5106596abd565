#include "MainForm.h"

#include "AboutForm.h"
#include "DeviceNavigator.h"
#include "DeviceTreeModel.h"
#include "LoginForm.h"
#include "ModuleFrame.h"
#include "core/Basics.h"
#include "core/IntpCore.h"
#include "net/AddressText.h"
#include "net/ConfigFile.h"
#include "net/EngineHost.h"
#include "net/SyslogSocketThread.h"
#include "status/StatusFrame.h"
#include "syslog/SyslogFrame.h"
#include "ui/Dialogs.h"
#include "ui/FilterForm.h"
#include "ui/Images.h"
#include "ui/ScanForm.h"
#include "wizards/WizardFrame.h"
#include "wizards/WizardGroupFwFrame.h"
#include "wizards/WizardGroupIpFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdlib>

namespace {
const QString AppTitle = QStringLiteral("Veltrane Zode");
} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), m_Host(new TEngineHost({}, this))
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(AppTitle);
    setWindowIcon(Icon(TImage::Root));
    m_FilterForm = new TFilterForm(m_Host->FilterSettings(), this);
    m_ScanForm = new TScanForm(this);
    // Shown after the sending code has returned, and once for a burst of failures: a modal
    // box inside a loop over rows or entries would let its event loop change them.
    connect(m_Host, &TEngineHost::SendFailed, this, [this] {
        if (m_SendFailureShown)
            return;
        m_SendFailureShown = true;
        QMetaObject::invokeMethod(this, [this] {
            Dialogs::Error(this, QStringLiteral("Test"));
            m_SendFailureShown = false;
        }, Qt::QueuedConnection);
    });
    m_LoginForm = new TLoginForm(this);
    m_AboutForm = new TAboutForm(this);

    CreateActions();
    CreateTree();
    CreateMenus();
    CreateTray();

    m_Tree->setCurrentIndex(m_Navigator->Model()->index(0, 0));
    m_Tree->expandAll();
}

TMainForm::~TMainForm()
{
    m_Host->Shutdown();
    // The navigator and the views read from the host, which goes with the window's
    // children afterwards.
    delete m_Navigator;
    delete m_Splitter;
}

void TMainForm::CreateActions()
{
    auto make = [this](QAction*& action, const char* name, const QString& caption, TImage image,
                       QList<QKeySequence> keys = {}) {
        action = new QAction(Icon(image), caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
    };
    make(acDiscovery, "acDiscovery", QStringLiteral("&Discovery"), TImage::Discovery, {QKeySequence(Qt::CTRL | Qt::Key_D)});
    make(acFilter, "acFilter", QStringLiteral("Discovery &Filter"), TImage::Filter, {QKeySequence(Qt::CTRL | Qt::Key_F)});
    make(acScan, "acScan", QStringLiteral("&Scan Devices ..."), TImage::Scan, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    make(acLogin, "acLogin", QStringLiteral("&Login"), TImage::Login, {QKeySequence(Qt::CTRL | Qt::Key_L)});
    make(acLogout, "acLogout", QStringLiteral("Log&out"), TImage::Logout);
    make(acReboot, "acReboot", QStringLiteral("Re&boot"), TImage::Reboot, {QKeySequence(Qt::CTRL | Qt::Key_B)});
    make(acOpenWeb, "acOpenWeb", QStringLiteral("Open &Web"), TImage::OpenWeb, {QKeySequence(Qt::CTRL | Qt::Key_W)});
    make(acRefresh, "acRefresh", QStringLiteral("&Refresh"), TImage::Refresh,
         {QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)});
    make(acRefreshAll, "acRefreshAll", QStringLiteral("Refresh &All"), TImage::RefreshAll);
    make(acGroupIpWizard, "acGroupIpWizard", QStringLiteral("Group IP Wizard"), TImage::GroupIp,
         {QKeySequence(Qt::CTRL | Qt::Key_I)});
    make(acGroupFwWizard, "acGroupFwWizard", QStringLiteral("Group Firmware Wizard"), TImage::GroupFw);
    make(acLoadConfig, "acLoadConfig", QStringLiteral("Load Config"), TImage::LoadConfig, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    make(acSaveConfig, "acSaveConfig", QStringLiteral("Save Config"), TImage::SaveConfig, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    make(acPreference, "acPreference", QStringLiteral("&Preference"), TImage::About, {QKeySequence(Qt::CTRL | Qt::Key_P)});
    make(acAbout, "acAbout", QStringLiteral("&About"), TImage::About, {QKeySequence(Qt::Key_F1)});
    make(acExit, "acExit", QStringLiteral("E&xit"), TImage::Exit, {QKeySequence(Qt::CTRL | Qt::Key_X)});
    acPreference->setVisible(false);
    acPreference->setEnabled(false);

    connect(acDiscovery, &QAction::triggered, this, &TMainForm::EventOnDiscovery);
    connect(acScan, &QAction::triggered, this, [this] { m_ScanForm->exec(); });
    connect(acSaveConfig, &QAction::triggered, this, &TMainForm::EventOnSaveConfigExecute);
    connect(acLoadConfig, &QAction::triggered, this, &TMainForm::EventOnLoadConfigExecute);
    connect(acFilter, &QAction::triggered, this, [this] {
        if (m_FilterForm->ShowModal() == QDialog::Accepted)
            EventOnDiscovery();
    });
    connect(acLogin, &QAction::triggered, this, &TMainForm::EventOnLogin);
    connect(acLogout, &QAction::triggered, this, &TMainForm::EventOnLogout);
    connect(acReboot, &QAction::triggered, this, &TMainForm::EventOnReboot);
    connect(acOpenWeb, &QAction::triggered, this, &TMainForm::EventOnOpenWeb);
    connect(acRefresh, &QAction::triggered, this, [this] {
        if (TModule* shown = m_Navigator->ShownModule())
            shown->Refresh(true);
    });
    connect(acRefreshAll, &QAction::triggered, this, [this] {
        if (TModule* shown = m_Navigator->ShownModule())
            shown->Refresh(false);
    });
    connect(acGroupIpWizard, &QAction::triggered, this, [this] { m_Navigator->SelectPath(QStringLiteral("Wizards/Group IP Setting")); });
    connect(acGroupFwWizard, &QAction::triggered, this,
            [this] { m_Navigator->SelectPath(QStringLiteral("Wizards/Group Firmware Update")); });
    connect(acAbout, &QAction::triggered, this, [this] { m_AboutForm->exec(); });
    connect(acExit, &QAction::triggered, this, &TMainForm::EventOnExit);
}

void TMainForm::CreateMenus()
{
    QMenu* task = menuBar()->addMenu(QStringLiteral("&Task"));
    task->addActions({acDiscovery, acFilter, acScan});
    task->addSeparator();
    task->addActions({acLogin, acLogout, acReboot, acOpenWeb});
    task->addSeparator();
    task->addActions({acRefresh, acRefreshAll});
    task->addSeparator();
    task->addAction(acExit);
    QMenu* settings = menuBar()->addMenu(QStringLiteral("&Settings"));
    settings->addActions({acLoadConfig, acSaveConfig});
    settings->addSeparator();
    settings->addAction(acPreference);
    menuBar()->addMenu(QStringLiteral("&Help"))->addAction(acAbout);

    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("m_ToolBar"));
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    bar->addActions({acDiscovery, acFilter});
    bar->addSeparator();
    bar->addActions({acLogin, acLogout, acReboot, acOpenWeb});
    bar->addSeparator();
    bar->addActions({acRefresh, acRefreshAll});
    bar->addSeparator();
    bar->addActions({acGroupIpWizard, acGroupFwWizard});
    bar->addSeparator();
    bar->addAction(acAbout);
}

void TMainForm::CreateTree()
{
    m_Splitter = new QSplitter(Qt::Horizontal, this);
    m_Splitter->setObjectName(QStringLiteral("m_Splitter"));
    auto* panel = new QWidget(m_Splitter);
    panel->setObjectName(QStringLiteral("m_DevicePanel"));
    panel->setMinimumWidth(200);
    auto* layout = new QVBoxLayout(panel);
    auto* label = new QLabel(QStringLiteral("&Sort Devices By:"), panel);
    m_TreeSort = new QComboBox(panel);
    m_TreeSort->setObjectName(QStringLiteral("m_TreeSort"));
    m_TreeSort->addItems({QStringLiteral("None"), QStringLiteral("Model"), QStringLiteral("IP Address"),
                          QStringLiteral("Filter Method")});
    label->setBuddy(m_TreeSort);
    m_Tree = new QTreeView(panel);
    m_Tree->setObjectName(QStringLiteral("m_Tree"));
    m_Navigator = new TDeviceNavigator(*m_Host, m_Tree, this);
    m_Navigator->SetCredentialsSource([this](std::string& user, std::string& password) {
        if (m_LoginForm->exec() != QDialog::Accepted)
            return false;
        user = m_LoginForm->User();
        password = m_LoginForm->Password();
        return true;
    });
    m_Tree->setHeaderHidden(true);
    // Every row is one line of text and an icon: no row is measured on its own.
    m_Tree->setUniformRowHeights(true);
    m_Tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_Tree->setIconSize(QSize(24, 24));
    layout->addWidget(label);
    layout->addWidget(m_TreeSort);
    layout->addWidget(m_Tree);
    m_FuncPages = new QWidget(m_Splitter);
    m_FuncPages->setObjectName(QStringLiteral("m_FuncPages"));
    auto* pages = new QGridLayout(m_FuncPages);
    pages->setContentsMargins(0, 0, 0, 0);
    m_Splitter->addWidget(panel);
    m_Splitter->addWidget(m_FuncPages);
    m_Splitter->setStretchFactor(1, 1);
    m_Splitter->setSizes({369, 1000});
    setCentralWidget(m_Splitter);

    auto* root = new TModuleDummy(AppTitle);
    m_Folders.emplace_back(root);
    QModelIndex rootNode = AddModule(root, {}, Icon(TImage::Root));
    m_Frame = new TModuleFrame(m_FuncPages);
    m_Frame->setObjectName(QStringLiteral("TModuleFrame"));
    m_Frame->SetContext(m_Navigator);
    m_Frame->BuildCatalogue(Intp::RegisterKnownModels());
    m_Navigator->SetDevicesModule(m_Frame);
    AddModule(m_Frame, rootNode, Icon(TImage::Devices), true);
    m_Status = new TStatusFrame(m_Host->StatusMonitor(), m_FuncPages);
    m_Status->setObjectName(QStringLiteral("TStatusFrame"));
    AddModule(m_Status, rootNode, Icon(TImage::Monitor));
    m_Syslog = new TSyslogFrame(m_Host->Syslog(), m_FuncPages);
    m_Syslog->setObjectName(QStringLiteral("TSyslogFrame"));
    AddModule(m_Syslog, rootNode, Icon(TImage::Syslog));
    OpenSyslog();
    auto* wizards = new TWizardFrame(m_FuncPages);
    wizards->setObjectName(QStringLiteral("TWizardFrame"));
    QModelIndex wizardNode = AddModule(wizards, rootNode, Icon(TImage::Wizard));
    m_GroupIp = new TWizardGroupIpFrame(m_FuncPages);
    m_GroupIp->setObjectName(QStringLiteral("TWizardGroupIpFrame"));
    AddModule(m_GroupIp, wizardNode, Icon(TImage::GroupIp));
    m_GroupFw = new TWizardGroupFwFrame(m_FuncPages);
    m_GroupFw->setObjectName(QStringLiteral("TWizardGroupFwFrame"));
    AddModule(m_GroupFw, wizardNode, Icon(TImage::GroupFw));

    connect(m_TreeSort, &QComboBox::currentIndexChanged, m_Navigator, &TDeviceNavigator::SetSortMode);
    connect(m_Tree, &QTreeView::customContextMenuRequested, this, &TMainForm::EventOnTreeMenu);
}

QModelIndex TMainForm::AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices)
{
    if (QWidget* control = module->GetControl()) {
        control->setParent(m_FuncPages);
        static_cast<QGridLayout*>(m_FuncPages->layout())->addWidget(control, 0, 0);
        control->hide();
    }
    module->SetContext(m_Navigator);
    return m_Navigator->Model()->AddModule(module, parent, icon, devices);
}

void TMainForm::CreateTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_TrayIcon = new QSystemTrayIcon(Icon(TImage::Root), this);
    m_TrayIcon->setObjectName(QStringLiteral("m_TrayIcon"));
    m_TrayIcon->setToolTip(AppTitle);
    auto* menu = new QMenu(this);
    menu->addAction(acAbout);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Restore"), this, [this] { showMaximized(); activateWindow(); });
    menu->addAction(acExit);
    m_TrayIcon->setContextMenu(menu);
    connect(m_TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick) {
            showMaximized();
            activateWindow();
        }
    });
    m_TrayIcon->show();
}

std::vector<TDevice*> TMainForm::SelectedDevices() const
{
    std::vector<TDevice*> devices;
    m_Navigator->GetSelectedDevices(devices);
    return devices;
}

void TMainForm::OpenSyslog()
{
    // ZODE_SYSLOG_PORT listens on another port instead; 0 means no syslog reception.
    bool set = false;
    const int port = qEnvironmentVariableIntValue("ZODE_SYSLOG_PORT", &set);
    if (set && (port <= 0 || port > 0xFFFF))
        return;
    QString error;
    if (m_Host->OpenSyslog(set ? quint16(port) : Syslog::SyslogPort, &error))
        return;
    const QString question =
        QStringLiteral("Cannot bind SYSLOG port, syslog is currently disabled. Abort?\n%1").arg(error);
    if (Dialogs::Show(this, Dialogs::TKind::AbortIgnore, question)) {
        m_Host->Shutdown();
        std::exit(EXIT_FAILURE);
    }
}

// ---- actions --------------------------------------------------------------------------

void TMainForm::EventOnDiscovery()
{
    m_Navigator->ForgetDevices();
    m_Host->Discover();
}

void TMainForm::EventOnLogin()
{
    std::string user, password;
    if (!m_Navigator->AskCredentials(user, password))
        return;
    for (TDevice* device : SelectedDevices())
        Intp::StartNew<Intp::TSessionIntpLogin>(device, nullptr, user, password);
}

void TMainForm::EventOnLogout()
{
    for (TDevice* device : SelectedDevices()) {
        auto* session = Intp::TSessionIntpLogin::Logout();
        if (!Intp::Start(session, device, nullptr))
            delete session;
    }
}

void TMainForm::EventOnReboot()
{
    if (!Dialogs::Confirm(this, QStringLiteral("Are you sure to reboot selected devices?")))
        return;
    for (TDevice* device : SelectedDevices())
        Intp::StartNew<Intp::TSessionBasicsReboot>(device, nullptr);
}

void TMainForm::EventOnOpenWeb()
{
    for (TDevice* device : SelectedDevices())
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1").arg(AddressText(device->Address()))));
}

void TMainForm::EventOnExit()
{
    m_Host->Shutdown();
    close();
    // Closing a hidden window (in the tray) does not end the application by itself.
    QCoreApplication::quit();
}

void TMainForm::EventOnSaveConfigExecute()
{
    const QString path = Dialogs::PickSaveFile(this, QStringLiteral("Save Config"), QStringLiteral("Config.xml"),
                                               QStringLiteral("XML Document (*.xml)"));
    if (path.isEmpty())
        return;
    std::vector<TDevice*> devices;
    m_Navigator->GetAllDevices(devices);
    QString error;
    if (!ConfigFile::Save(path, m_Host->FilterServer()->GetSettings(), devices, &error))
        Dialogs::Error(this, QStringLiteral("Cannot write %1: %2").arg(path, error));
}

void TMainForm::EventOnLoadConfigExecute()
{
    const QString path = Dialogs::PickOpenFile(this, QStringLiteral("Load Config"), QStringLiteral("Config.xml"),
                                               QStringLiteral("XML Document (*.xml);;All files (*)"));
    if (path.isEmpty())
        return;
    const std::optional<ConfigFile::TLoaded> loaded = ConfigFile::Load(path);
    if (!loaded) {
        Dialogs::Error(this, QStringLiteral("Failed to load config"));
        return;
    }
    if (loaded->Settings)
        m_FilterForm->ApplySettings(*loaded->Settings);
    acDiscovery->trigger();
}

void TMainForm::EventOnTreeMenu(const QPoint& pos)
{
    QMenu menu(this);
    menu.addActions({acLogin, acLogout, acReboot, acOpenWeb});
    menu.addSeparator();
    menu.addActions({acRefresh, acRefreshAll});
    menu.addSeparator();
    menu.addAction(acDiscovery);
    menu.exec(m_Tree->viewport()->mapToGlobal(pos));
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    m_Host->Shutdown();
    if (m_TrayIcon)
        m_TrayIcon->hide();
    event->accept();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the window lives in the tray when there is one.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_TrayIcon && m_TrayIcon->isVisible())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}
