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
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
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
        QMetaObject::invokeMethod(
            this,
            [this] {
                Dialogs::Error(this, QStringLiteral("Test"));
                m_SendFailureShown = false;
            },
            Qt::QueuedConnection);
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
    struct TSpec {
        QAction* TMainForm::*Action;
        const char* Name;
        const char* Caption;
        TImage Image;
        QList<QKeySequence> Keys;
        std::function<void()> Run;
    };
    auto refresh = [this](bool current) {
        if (TModule* shown = m_Navigator->ShownModule())
            shown->Refresh(current);
    };
    auto select = [this](const char* path) {
        return [this, path] { m_Navigator->SelectPath(QString::fromLatin1(path)); };
    };
    // clang-format off
    const TSpec specs[] = {
        {&TMainForm::acDiscovery, "acDiscovery", "&Discovery", TImage::Discovery, {Qt::CTRL | Qt::Key_D},
         [this] { EventOnDiscovery(); }},
        {&TMainForm::acFilter, "acFilter", "Discovery &Filter", TImage::Filter, {Qt::CTRL | Qt::Key_F},
         [this] { if (m_FilterForm->ShowModal() == QDialog::Accepted) EventOnDiscovery(); }},
        {&TMainForm::acScan, "acScan", "&Scan Devices ...", TImage::Scan, {Qt::CTRL | Qt::Key_N},
         [this] { m_ScanForm->exec(); }},
        {&TMainForm::acLogin, "acLogin", "&Login", TImage::Login, {Qt::CTRL | Qt::Key_L}, [this] { EventOnLogin(); }},
        {&TMainForm::acLogout, "acLogout", "Log&out", TImage::Logout, {}, [this] { EventOnLogout(); }},
        {&TMainForm::acReboot, "acReboot", "Re&boot", TImage::Reboot, {Qt::CTRL | Qt::Key_B},
         [this] { EventOnReboot(); }},
        {&TMainForm::acOpenWeb, "acOpenWeb", "Open &Web", TImage::OpenWeb, {Qt::CTRL | Qt::Key_W},
         [this] { EventOnOpenWeb(); }},
        {&TMainForm::acRefresh, "acRefresh", "&Refresh", TImage::Refresh, {Qt::CTRL | Qt::Key_R, Qt::Key_F5},
         [refresh] { refresh(true); }},
        {&TMainForm::acRefreshAll, "acRefreshAll", "Refresh &All", TImage::RefreshAll, {},
         [refresh] { refresh(false); }},
        {&TMainForm::acGroupIpWizard, "acGroupIpWizard", "Group IP Wizard", TImage::GroupIp, {Qt::CTRL | Qt::Key_I},
         select("Wizards/Group IP Setting")},
        {&TMainForm::acGroupFwWizard, "acGroupFwWizard", "Group Firmware Wizard", TImage::GroupFw, {},
         select("Wizards/Group Firmware Update")},
        {&TMainForm::acLoadConfig, "acLoadConfig", "Load Config", TImage::LoadConfig, {Qt::CTRL | Qt::Key_O},
         [this] { EventOnLoadConfigExecute(); }},
        {&TMainForm::acSaveConfig, "acSaveConfig", "Save Config", TImage::SaveConfig, {Qt::CTRL | Qt::Key_S},
         [this] { EventOnSaveConfigExecute(); }},
        {&TMainForm::acPreference, "acPreference", "&Preference", TImage::About, {Qt::CTRL | Qt::Key_P}, {}},
        {&TMainForm::acFindDevice, "acFindDevice", "Fi&nd Devices", TImage::Filter, {Qt::CTRL | Qt::Key_E},
         [this] { m_TreeFilter->setFocus(Qt::ShortcutFocusReason); m_TreeFilter->selectAll(); }},
        {&TMainForm::acAbout, "acAbout", "&About", TImage::About, {Qt::Key_F1}, [this] { m_AboutForm->exec(); }},
        {&TMainForm::acExit, "acExit", "E&xit", TImage::Exit, {Qt::CTRL | Qt::Key_X}, [this] { EventOnExit(); }},
    };
    // clang-format on
    for (const TSpec& spec : specs) {
        auto* action = new QAction(Icon(spec.Image), QString::fromUtf8(spec.Caption), this);
        action->setObjectName(QString::fromLatin1(spec.Name));
        action->setShortcuts(spec.Keys);
        if (spec.Run)
            connect(action, &QAction::triggered, this, spec.Run);
        this->*spec.Action = action;
    }
    acPreference->setVisible(false);
    acPreference->setEnabled(false);
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
    // Outside the menus, whose entries stay as they are; its shortcut works in the whole window.
    addAction(acFindDevice);

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
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd Devices:"), panel);
    m_TreeFilter = new QLineEdit(panel);
    m_TreeFilter->setObjectName(QStringLiteral("m_TreeFilter"));
    m_TreeFilter->setPlaceholderText(QStringLiteral("Name, IP, MAC or model (Ctrl+E)"));
    m_TreeFilter->setClearButtonEnabled(true);
    findLabel->setBuddy(m_TreeFilter);
    m_TreeFilter->installEventFilter(this);
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
    auto* find = new QHBoxLayout;
    find->addWidget(findLabel);
    find->addWidget(m_TreeFilter, 1);
    layout->addLayout(find);
    layout->addWidget(m_Tree);
    m_FuncPages = new QWidget(m_Splitter);
    m_FuncPages->setObjectName(QStringLiteral("m_FuncPages"));
    auto* pages = new QGridLayout(m_FuncPages);
    pages->setContentsMargins(0, 0, 0, 0);
    m_Splitter->addWidget(panel);
    m_Splitter->addWidget(m_FuncPages);
    m_Splitter->setStretchFactor(1, 1);
    // Wide enough for a whole device caption at the window's font (369 at the least).
    const QString widest = QStringLiteral("Switch-00000 (198.51.100.100, 02:5A:0D:00:00:00)");
    const int caption = m_Tree->fontMetrics().horizontalAdvance(widest) + 3 * m_Tree->indentation() + 24 + 40;
    m_Splitter->setSizes({std::max(369, caption), 1000});
    setCentralWidget(m_Splitter);

    auto* root = new TModuleDummy(AppTitle);
    m_Folders.emplace_back(root);
    QModelIndex rootNode = AddModule(root, {}, Icon(TImage::Root));
    m_Frame = new TModuleFrame(m_FuncPages);
    m_Frame->SetContext(m_Navigator);
    m_Frame->BuildCatalogue(Intp::RegisterKnownModels());
    m_Navigator->SetDevicesModule(m_Frame);
    AddModule(m_Frame, rootNode, Icon(TImage::Devices), true);
    AddModule(m_Status = new TStatusFrame(m_Host->StatusMonitor(), m_FuncPages), rootNode, Icon(TImage::Monitor));
    AddModule(m_Syslog = new TSyslogFrame(m_Host->Syslog(), m_FuncPages), rootNode, Icon(TImage::Syslog));
    OpenSyslog();
    QModelIndex wizardNode = AddModule(new TWizardFrame(m_FuncPages), rootNode, Icon(TImage::Wizard));
    AddModule(m_GroupIp = new TWizardGroupIpFrame(m_FuncPages), wizardNode, Icon(TImage::GroupIp));
    AddModule(m_GroupFw = new TWizardGroupFwFrame(m_FuncPages), wizardNode, Icon(TImage::GroupFw));

    connect(m_TreeSort, &QComboBox::currentIndexChanged, m_Navigator, &TDeviceNavigator::SetSortMode);
    connect(m_TreeFilter, &QLineEdit::textChanged, m_Navigator, &TDeviceNavigator::SetFilterText);
    connect(m_Tree, &QTreeView::customContextMenuRequested, this, &TMainForm::EventOnTreeMenu);
}

QModelIndex TMainForm::AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices)
{
    if (QWidget* control = module->GetControl()) {
        // Tests and screenshots find each module's page by its class name.
        control->setObjectName(QString::fromLatin1(control->metaObject()->className()));
        control->setParent(m_FuncPages);
        static_cast<QGridLayout*>(m_FuncPages->layout())->addWidget(control, 0, 0);
        control->hide();
    }
    module->SetContext(m_Navigator);
    return m_Navigator->TreeModel()->AddModule(module, parent, icon, devices);
}

void TMainForm::CreateTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_TrayIcon = new QSystemTrayIcon(Icon(TImage::Root), this);
    m_TrayIcon->setObjectName(QStringLiteral("m_TrayIcon"));
    m_TrayIcon->setToolTip(AppTitle);
    auto restore = [this] {
        showMaximized();
        activateWindow();
    };
    auto* menu = new QMenu(this);
    menu->addAction(acAbout);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Restore"), this, restore);
    menu->addAction(acExit);
    m_TrayIcon->setContextMenu(menu);
    connect(m_TrayIcon, &QSystemTrayIcon::activated, this, [restore](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            restore();
    });
    m_TrayIcon->show();
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
    for (TDevice* device : m_Navigator->SelectedDevices())
        Intp::StartNew<Intp::TSessionIntpLogin>(device, nullptr, user, password);
}

void TMainForm::EventOnLogout()
{
    for (TDevice* device : m_Navigator->SelectedDevices()) {
        auto* session = Intp::TSessionIntpLogin::Logout();
        if (!Intp::Start(session, device, nullptr))
            delete session;
    }
}

void TMainForm::EventOnReboot()
{
    if (!Dialogs::Confirm(this, QStringLiteral("Are you sure to reboot selected devices?")))
        return;
    for (TDevice* device : m_Navigator->SelectedDevices())
        Intp::StartNew<Intp::TSessionBasicsReboot>(device, nullptr);
}

void TMainForm::EventOnOpenWeb()
{
    for (TDevice* device : m_Navigator->SelectedDevices())
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

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // Escape in the device filter empties it, and the whole tree shows again.
    if (watched == m_TreeFilter && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !m_TreeFilter->text().isEmpty()) {
        m_TreeFilter->clear();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the window lives in the tray when there is one.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_TrayIcon && m_TrayIcon->isVisible())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}
