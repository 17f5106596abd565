#include "MainForm.h"

#include "AboutForm.h"
#include "net/AddressText.h"
#include "net/ConfigFile.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "LoginForm.h"
#include "DeviceTreeModel.h"
#include "net/SessionManager.h"
#include "status/StatusFrame.h"
#include "core/AddressRules.h"
#include "ui/FilterForm.h"
#include "ui/ScanForm.h"
#include "core/Basics.h"
#include "core/Dispatch.h"
#include "core/IntpCore.h"
#include "net/IntpSocketThread.h"
#include "ModuleFrame.h"
#include "syslog/SyslogFrame.h"
#include "wizards/WizardFrame.h"
#include "wizards/WizardGroupFwFrame.h"
#include "wizards/WizardGroupIpFrame.h"
#include "net/SyslogSocketThread.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
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

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), m_Groups([this] { return GetFilterServer(); })
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(AppTitle);
    setWindowIcon(Icon(TImage::Root));
    m_FilterForm = new TFilterForm(this);
    m_ScanForm = new TScanForm(this);
    m_Filter = m_FilterForm;

    m_IntpThread = new Intp::TIntpSocketThread(&Intp::Dispatch, this);
    m_IntpSock = new Intp::TIntpSocket(m_IntpThread, this);
    m_SessionManager = new TSessionManager(m_IntpSock, this);
    m_SessionManager->SetNotifyShown([this](TDevice* d, uint16_t code, uint16_t status) { NotifyShown(d, code, status); });
    // Shown after the sending code has returned, and once for a burst of failures: a modal
    // box inside a loop over rows or entries would let its event loop change them.
    connect(m_SessionManager, &TSessionManager::SendFailed, this, [this] {
        if (m_SendFailureShown)
            return;
        m_SendFailureShown = true;
        QMetaObject::invokeMethod(this, [this] {
            Dialogs::Error(this, QStringLiteral("Test"));
            m_SendFailureShown = false;
        }, Qt::QueuedConnection);
    });
    m_FindHook = std::make_unique<TFindHook>([this] { return GetFilterServer(); }, [this] { return GetStatusServer(); });

    SetModuleCallback(this);
    Intp::SetDeviceCallback(this);
    Intp::SetSessionCallback(m_SessionManager);

    m_LoginForm = new TLoginForm(this);
    m_AboutForm = new TAboutForm(this);

    CreateActions();
    CreateTree();
    CreateMenus();

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
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

    m_Tree->setCurrentIndex(m_Model->index(0, 0));
    m_Tree->expandAll();
}

TMainForm::~TMainForm()
{
    ShutdownWorkers();
    // The discovery session outlives the window; its hook does not.
    Intp::TSessionIntpFind::Instance().Discover({}, nullptr);
    // Devices outlive the window; they must not report into it any more.
    if (Intp::DeviceCallback() == this)
        Intp::SetDeviceCallback(nullptr);
    if (ModuleCallback() == this)
        SetModuleCallback(nullptr);
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
    connect(acRefresh, &QAction::triggered, this, [this] { if (m_Shown) m_Shown->Refresh(true); });
    connect(acRefreshAll, &QAction::triggered, this, [this] { if (m_Shown) m_Shown->Refresh(false); });
    connect(acGroupIpWizard, &QAction::triggered, this, [this] { SelectPath(QStringLiteral("Wizards/Group IP Setting")); });
    connect(acGroupFwWizard, &QAction::triggered, this,
            [this] { SelectPath(QStringLiteral("Wizards/Group Firmware Update")); });
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
    m_Model = new TDeviceTreeModel(m_Groups, this);
    m_Tree = new QTreeView(panel);
    m_Tree->setObjectName(QStringLiteral("m_Tree"));
    m_Tree->setModel(m_Model);
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
    m_Frame->BuildCatalogue(Intp::RegisterKnownModels());
    AddModule(m_Frame, rootNode, Icon(TImage::Devices), true);
    m_Status = new TStatusFrame(m_FuncPages);
    m_Status->setObjectName(QStringLiteral("TStatusFrame"));
    AddModule(m_Status, rootNode, Icon(TImage::Monitor));
    m_Syslog = new TSyslogFrame(m_FuncPages);
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

    m_TreeBatch.setSingleShot(true);
    m_TreeBatch.setInterval(TreeBatchInterval);
    connect(&m_TreeBatch, &QTimer::timeout, this, &TMainForm::FlushTree);
    // Groups stand open as they appear.
    connect(m_Model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (parent == DevicesIndex()) {
            m_Tree->expand(parent);
            for (int row = first; row <= last; ++row)
                m_Tree->expand(m_Model->index(row, 0, parent));
        }
    });
    connect(m_TreeSort, &QComboBox::currentIndexChanged, this, &TMainForm::EventOnTreeSort);
    connect(m_Tree->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TMainForm::EventOnTreeChange);
    connect(m_Tree, &QTreeView::customContextMenuRequested, this, &TMainForm::EventOnTreeMenu);
}

QModelIndex TMainForm::AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices)
{
    if (QWidget* control = module->GetControl()) {
        control->setParent(m_FuncPages);
        static_cast<QGridLayout*>(m_FuncPages->layout())->addWidget(control, 0, 0);
        control->hide();
    }
    return m_Model->AddModule(module, parent, icon, devices);
}

// ---- device tree ----------------------------------------------------------------------

QModelIndex TMainForm::DevicesIndex() const { return m_Model->DevicesIndex(); }

QModelIndex TMainForm::IndexOf(TDevice* device)
{
    FlushTree();
    return m_Model->IndexOf(device);
}

QModelIndex TMainForm::PathIndex(const QString& path) const
{
    QModelIndex node = m_Model->index(0, 0);
    for (const QString& part : path.split('/')) {
        QModelIndex next = m_Model->ChildModule(node, part);
        if (!next.isValid())
            break;
        node = next;
    }
    return node;
}

void TMainForm::SelectDevices(const std::vector<TDevice*>& devices)
{
    if (devices.empty())
        return;
    m_Tree->setCurrentIndex(IndexOf(devices.front()));
    for (TDevice* device : devices)
        m_Tree->selectionModel()->select(IndexOf(device), QItemSelectionModel::Select);
}

void TMainForm::SelectIndex(const QModelIndex& index) { m_Tree->setCurrentIndex(index); }

void TMainForm::FlushTree()
{
    m_TreeBatch.stop();
    if (!m_Model->HasQueued())
        return;
    std::vector<TDevice*> entered;
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        entered = m_Model->Flush();
    }
    for (TDevice* device : entered)
        NotifyShown(device, ncDeviceAdded, 0);
}

void TMainForm::UpdateDevice(TDevice* device, uint16_t code)
{
    if (m_Groups.Contains(device)) {
        if (!m_Groups.IsShown(*device)) {
            RemoveDeviceNode(device);
            NotifyShown(device, ncDeviceRemoved, 0);
            return;
        }
        {
            QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
            m_Model->Update(device);
        }
        NotifyShown(device, code, 0);
    } else if (m_Groups.IsShown(*device)) {
        m_Model->Queue(device);
        if (!m_TreeBatch.isActive())
            m_TreeBatch.start();
    } else {
        m_Model->Remove(device); // leaves the queue
    }
}

void TMainForm::RemoveDeviceNode(TDevice* device)
{
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->Remove(device);
    }
    ForgetRemovedNodes();
}

void TMainForm::ForgetRemovedNodes()
{
    m_Selection.removeIf([](const QPersistentModelIndex& index) { return !index.isValid(); });
}

void TMainForm::SetSelectionQuietly(const QModelIndex& current, const QList<QPersistentModelIndex>& selection)
{
    QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
    QItemSelectionModel* model = m_Tree->selectionModel();
    model->clearSelection();
    if (current.isValid())
        model->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    for (const QPersistentModelIndex& index : selection)
        if (index.isValid())
            model->select(index, QItemSelectionModel::Select);
}

void TMainForm::DeviceCreated(TDevice*) {}

void TMainForm::DeviceDestroyed(TDevice* device)
{
    if (!m_Groups.Contains(device)) {
        m_Model->Remove(device);
        return;
    }
    RemoveDeviceNode(device);
    NotifyShown(nullptr, ncDeviceRemoved, 0);
}

void TMainForm::FlagsChanged(TDevice* device, uint32_t) { UpdateDevice(device, ncDeviceState); }
void TMainForm::TypeChanged(TDevice* device) { UpdateDevice(device, ncDeviceType); }

void TMainForm::AddressChanged(TDevice* device)
{
    UpdateDevice(device, ncDeviceAddress);
    NameChanged(device);
}

void TMainForm::NameChanged(TDevice* device)
{
    if (!m_Groups.Contains(device))
        return;
    m_Model->Redraw(device);
    NotifyShown(device, ncDeviceName, 0);
}

void TMainForm::NotifyShown(TDevice* device, uint16_t code, uint16_t status)
{
    if (m_Shown && !m_ShuttingDown)
        m_Shown->Notify(device, code, status);
}

void TMainForm::EventOnTreeSort(int mode)
{
    if (TSortMode(mode) == m_Groups.SortMode())
        return;
    FlushTree();
    // The old groups go away: only device nodes stay selected or current.
    std::vector<TDevice*> selected;
    for (const QPersistentModelIndex& index : std::as_const(m_Selection))
        if (TDevice* device = m_Model->DeviceAt(index))
            selected.push_back(device);
    TDevice* current = m_Model->DeviceAt(m_Current);
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->SetSortMode(TSortMode(mode));
    }
    m_Tree->expandAll();
    m_Selection.clear();
    for (TDevice* device : selected)
        m_Selection << QPersistentModelIndex(m_Model->IndexOf(device));
    m_Current = current ? QPersistentModelIndex(m_Model->IndexOf(current)) : QPersistentModelIndex();
    if (m_Selection.isEmpty() && !current && m_Shown == m_Frame) {
        // A group was selected: with the groups gone the selection falls back to the Devices node.
        m_Current = QPersistentModelIndex(DevicesIndex());
        m_Selection << m_Current;
    }
    SetSelectionQuietly(m_Current, m_Selection);
}

// ---- selection ------------------------------------------------------------------------

TModule* TMainForm::ModuleForNode(const QModelIndex& index) const
{
    if (m_Model->IsUnderDevices(index))
        return m_Frame;
    return m_Model->ModuleAt(index);
}

bool TMainForm::SelectionIsDevices(std::vector<TDevice*>* devices) const
{
    if (m_Shown != m_Frame || m_Selection.isEmpty())
        return false;
    std::vector<TDevice*> found;
    for (const QPersistentModelIndex& index : m_Selection) {
        TDevice* device = m_Model->DeviceAt(index);
        if (!device)
            return false;
        found.push_back(device);
    }
    if (devices)
        *devices = std::move(found);
    return true;
}

void TMainForm::EventOnTreeChange()
{
    if (m_ChangingSelection)
        return;
    QItemSelectionModel* selection = m_Tree->selectionModel();
    QModelIndex current = selection->currentIndex();
    QModelIndexList selected = selection->selectedRows();
    if (m_Shown && !m_Shown->Hide(false)) {
        // The shown module is busy: the selection stays as it was.
        SetSelectionQuietly(m_Current, m_Selection);
        return;
    }
    m_ChangingSelection = true;
    if (current.isValid() && !selection->isSelected(current) && !selected.isEmpty())
        current = selected.first();
    std::vector<QPersistentModelIndex> now(selected.begin(), selected.end());
    std::vector<QPersistentModelIndex> before(m_Selection.begin(), m_Selection.end());
    std::vector<QPersistentModelIndex> keep = KeepSelection(
        QPersistentModelIndex(current), now, before,
        [this](const QPersistentModelIndex& index) { return m_Model->DeviceAt(index) != nullptr; },
        [](const QPersistentModelIndex& index) { return QPersistentModelIndex(index.parent()); });
    for (const QModelIndex& index : selected)
        if (std::find(keep.begin(), keep.end(), QPersistentModelIndex(index)) == keep.end())
            selection->select(index, QItemSelectionModel::Deselect);
    m_Selection = QList<QPersistentModelIndex>(keep.begin(), keep.end());
    m_Current = current;
    m_Shown = ModuleForNode(current);
    m_ChangingSelection = false;

    TDevice* device = nullptr;
    GetSelectedDevice(device);
    if (m_Shown)
        m_Shown->Notify(device, ncSelect, 0);
}

int TMainForm::GetSelectedDevice(TDevice*& device)
{
    device = nullptr;
    std::vector<TDevice*> devices;
    if (!SelectionIsDevices(&devices))
        return 0;
    device = devices.front();
    return int(devices.size());
}

int TMainForm::GetSelectedDevices(std::vector<TDevice*>& devices)
{
    std::vector<TDevice*> found;
    if (!SelectionIsDevices(&found))
        return 0;
    devices.insert(devices.end(), found.begin(), found.end());
    return int(found.size());
}

int TMainForm::GetAllDevices(std::vector<TDevice*>& devices)
{
    FlushTree();
    std::vector<TDevice*> all = m_Groups.AllDevices();
    devices.insert(devices.end(), all.begin(), all.end());
    return int(all.size());
}

bool TMainForm::AskCredentials(std::string& user, std::string& password)
{
    if (m_Credentials)
        return m_Credentials(user, password);
    if (m_LoginForm->exec() != QDialog::Accepted)
        return false;
    user = m_LoginForm->User();
    password = m_LoginForm->Password();
    return true;
}

bool TMainForm::IsSelectedDevice(TDevice* device)
{
    TDevice* first = nullptr;
    return GetSelectedDevice(first) > 0 && first == device;
}

bool TMainForm::IsAmongSelected(TDevice* device)
{
    std::vector<TDevice*> devices;
    GetSelectedDevices(devices);
    return std::find(devices.begin(), devices.end(), device) != devices.end();
}

bool TMainForm::SelectPath(const QString& path)
{
    QModelIndex node = PathIndex(path);
    if (!node.isValid())
        return false;
    m_Tree->setCurrentIndex(node);
    return m_Tree->selectionModel()->isSelected(node);
}

Filter::TFilterServer* TMainForm::GetFilterServer() { return m_Filter; }
Status::TStatusServer* TMainForm::GetStatusServer() { return m_Status; }
Syslog::TSyslogServer* TMainForm::GetSyslogServer() { return m_Syslog; }

void TMainForm::OpenSyslog()
{
    // ZODE_SYSLOG_PORT listens on another port instead; 0 means no syslog reception.
    bool set = false;
    const int port = qEnvironmentVariableIntValue("ZODE_SYSLOG_PORT", &set);
    if (set && (port <= 0 || port > 0xFFFF))
        return;
    m_SyslogThread = new Syslog::TSyslogSocketThread([this](uint32_t address, std::string_view text) {
        if (Syslog::TSyslogServer* server = GetSyslogServer())
            server->AddEvent(address, text);
    }, this);
    m_SyslogSock = new Syslog::TSyslogSocket(m_SyslogThread, set ? quint16(port) : Syslog::SyslogPort, this);
    if (m_SyslogSock->IsOpen())
        return;
    const QString question = QStringLiteral("Cannot bind SYSLOG port, syslog is currently disabled. Abort?\n%1")
                                 .arg(m_SyslogSock->BindError());
    if (Dialogs::Show(this, Dialogs::TKind::AbortIgnore, question)) {
        ShutdownWorkers();
        std::exit(EXIT_FAILURE);
    }
    delete m_SyslogSock;
    m_SyslogSock = nullptr;
}

// ---- actions --------------------------------------------------------------------------

void TMainForm::EventOnDiscovery()
{
    // Every node goes at once; the devices then leave the registry with nothing to update.
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->Clear();
    }
    ForgetRemovedNodes();
    if (m_Shown == m_Frame && m_Selection.isEmpty()) {
        m_Current = QPersistentModelIndex(DevicesIndex());
        m_Selection << m_Current;
        SetSelectionQuietly(m_Current, m_Selection);
    }
    // The devices leave the registry before the page hears of it, so a page that looks its
    // devices up finds them gone and ends what it was waiting for.
    Registry::Clear();
    NotifyShown(nullptr, ncDeviceRemoved, 0);
    std::vector<TIpMask> targets;
    if (m_Filter)
        m_Filter->GetTargets(targets);
    Intp::TSessionIntpFind::Instance().Discover(targets, m_FindHook.get());
}

void TMainForm::EventOnLogin()
{
    std::string user, password;
    if (!AskCredentials(user, password))
        return;
    std::vector<TDevice*> devices;
    GetSelectedDevices(devices);
    for (TDevice* device : devices)
        Intp::StartNew<Intp::TSessionIntpLogin>(device, nullptr, user, password);
}

void TMainForm::EventOnLogout()
{
    std::vector<TDevice*> devices;
    GetSelectedDevices(devices);
    for (TDevice* device : devices) {
        auto* session = Intp::TSessionIntpLogin::Logout();
        if (!Intp::Start(session, device, nullptr))
            delete session;
    }
}

void TMainForm::EventOnReboot()
{
    if (!Dialogs::Confirm(this, QStringLiteral("Are you sure to reboot selected devices?")))
        return;
    std::vector<TDevice*> devices;
    GetSelectedDevices(devices);
    for (TDevice* device : devices)
        Intp::StartNew<Intp::TSessionBasicsReboot>(device, nullptr);
}

void TMainForm::EventOnOpenWeb()
{
    std::vector<TDevice*> devices;
    GetSelectedDevices(devices);
    for (TDevice* device : devices)
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1").arg(AddressText(device->Address()))));
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

void TMainForm::EventOnExit()
{
    ShutdownWorkers();
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
    GetAllDevices(devices);
    QString error;
    if (!ConfigFile::Save(path, m_Filter->GetSettings(), devices, &error))
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

void TMainForm::ShutdownWorkers()
{
    if (m_ShuttingDown)
        return;
    m_ShuttingDown = true;
    if (m_IntpThread)
        m_IntpThread->Shutdown();
    if (m_SyslogThread)
        m_SyslogThread->Shutdown();
    Intp::DestroyPendingSessions();
    if (Intp::SessionCallback() == m_SessionManager)
        Intp::SetSessionCallback(nullptr);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    ShutdownWorkers();
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
