#include "MainForm.h"

#include "AboutForm.h"
#include "Dialogs.h"
#include "Images.h"
#include "LoginForm.h"
#include "SessionManager.h"
#include "StatusFrame.h"
#include "devices/AddressRules.h"
#include "devices/FilterForm.h"
#include "intp/Basics.h"
#include "intp/Dispatch.h"
#include "intp/IntpCore.h"
#include "intp/IntpSocketThread.h"
#include "modules/ModuleFrame.h"

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
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

Q_DECLARE_METATYPE(TModule*)
Q_DECLARE_METATYPE(TDevice*)

namespace {

enum : int { RoleModule = Qt::UserRole, RoleDevice, RoleGroupAddress, RoleGroupMask, RoleIsGroup };

const QString AppTitle = QStringLiteral("Veltrane Zode");

QString Dotted(uint32_t address) { return QString::fromStdString(AddressToText(address)); }

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(AppTitle);
    setWindowIcon(Icon(TImage::Root));
    m_FilterForm = new TFilterForm(this);
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

    m_Tree->setCurrentItem(m_Tree->topLevelItem(0));
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
    // Scanning and the configuration file arrive with their own dialogs.
    for (QAction* pending : {acScan, acLoadConfig, acSaveConfig})
        pending->setEnabled(false);

    connect(acDiscovery, &QAction::triggered, this, &TMainForm::EventOnDiscovery);
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
    m_Tree = new QTreeWidget(panel);
    m_Tree->setObjectName(QStringLiteral("m_Tree"));
    m_Tree->setHeaderHidden(true);
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
    QTreeWidgetItem* rootNode = AddModule(root, nullptr, Icon(TImage::Root));
    m_Frame = new TModuleFrame(m_FuncPages);
    m_Frame->setObjectName(QStringLiteral("TModuleFrame"));
    m_Frame->BuildCatalogue(Intp::RegisterKnownModels());
    m_DevicesNode = AddModule(m_Frame, rootNode, Icon(TImage::Devices));
    m_Status = new TStatusFrame(m_FuncPages);
    m_Status->setObjectName(QStringLiteral("TStatusFrame"));
    AddModule(m_Status, rootNode, Icon(TImage::Monitor));
    auto* syslog = new TModuleDummy(QStringLiteral("Syslog Events"));
    m_Folders.emplace_back(syslog);
    AddModule(syslog, rootNode, Icon(TImage::Syslog));
    auto* wizards = new TModuleDummy(QStringLiteral("Wizards"));
    m_Folders.emplace_back(wizards);
    QTreeWidgetItem* wizardNode = AddModule(wizards, rootNode, Icon(TImage::Wizard));
    for (const char* caption : {"Group IP Setting", "Group Firmware Update"}) {
        auto* wizard = new TModuleDummy(QString::fromLatin1(caption));
        m_Folders.emplace_back(wizard);
        AddModule(wizard, wizardNode, Icon(TImage::Wizard));
    }

    connect(m_TreeSort, &QComboBox::currentIndexChanged, this, &TMainForm::EventOnTreeSort);
    connect(m_Tree, &QTreeWidget::itemSelectionChanged, this, &TMainForm::EventOnTreeChange);
    connect(m_Tree, &QTreeWidget::customContextMenuRequested, this, &TMainForm::EventOnTreeMenu);
}

QTreeWidgetItem* TMainForm::AddModule(TModule* module, QTreeWidgetItem* parent, const QIcon& icon)
{
    if (QWidget* control = module->GetControl()) {
        control->setParent(m_FuncPages);
        static_cast<QGridLayout*>(m_FuncPages->layout())->addWidget(control, 0, 0);
        control->hide();
    }
    auto* node = new QTreeWidgetItem(QStringList(module->GetName()));
    node->setIcon(0, icon);
    node->setData(0, RoleModule, QVariant::fromValue(module));
    if (parent)
        parent->addChild(node);
    else
        m_Tree->addTopLevelItem(node);
    return node;
}

// ---- device tree ----------------------------------------------------------------------

bool TMainForm::IsShown(TDevice* device) const
{
    Filter::TFilterServer* filter = m_Filter;
    bool accepted = filter ? filter->IsAccepted(device->Address()) : device->Address() != 0;
    return accepted && device->Type() != 0;
}

TMainForm::TGroupKey TMainForm::GroupKeyOf(TDevice* device, QString& caption) const
{
    switch (m_SortMode) {
    case smNone:
        caption = QStringLiteral("All Devices");
        return {};
    case smModel:
        caption = QString::fromStdString(device->TypeDescription());
        return {uint32_t(device->Type()), 0};
    case smAddress:
        caption = Dotted(device->Address());
        return {device->Address(), 0};
    case smFilter:
        if (m_Filter) {
            const auto& settings = m_Filter->GetSettings();
            Filter::TGroup group = Filter::GroupOf(settings, device->Address());
            if (group.Kind == Filter::TGroup::Unicast) {
                caption = QStringLiteral("Unicast Devices");
                return {0, 0};
            }
            if (group.Kind == Filter::TGroup::Subnet) {
                const TIpMask& subnet = settings.LocalSubnets[std::size_t(group.SubnetIndex)];
                caption = Dotted(subnet.Address) + '/' + Dotted(subnet.Mask);
                return {subnet.Address, subnet.Mask};
            }
        }
        caption = QStringLiteral("Others");
        return {0xFFFFFFFFu, 0xFFFFFFFFu};
    }
    return {};
}

QTreeWidgetItem* TMainForm::GroupNode(const TGroupKey& key, const QString& caption)
{
    auto it = m_Groups.find(key);
    if (it != m_Groups.end())
        return it->second;
    auto* node = new QTreeWidgetItem(QStringList(caption));
    node->setIcon(0, Icon(TImage::Devices));
    node->setData(0, RoleIsGroup, true);
    node->setData(0, RoleGroupAddress, key.Address);
    node->setData(0, RoleGroupMask, key.Mask);
    it = m_Groups.emplace(key, node).first;
    // Groups stand in key order: a new one goes straight to its place.
    m_DevicesNode->insertChild(int(std::distance(m_Groups.begin(), it)), node);
    node->setExpanded(true);
    return node;
}

void TMainForm::SortGroups()
{
    // Groups follow their keys; devices keep the order in which they entered a group.
    int index = 0;
    bool ordered = true;
    for (auto& [key, node] : m_Groups)
        ordered = ordered && m_DevicesNode->child(index++) == node;
    if (ordered)
        return;
    QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
    QList<QTreeWidgetItem*> selection = m_Tree->selectedItems();
    QTreeWidgetItem* current = m_Tree->currentItem();
    for (auto& [key, node] : m_Groups)
        m_DevicesNode->removeChild(node);
    for (auto& [key, node] : m_Groups) {
        m_DevicesNode->addChild(node);
        node->setExpanded(true);
    }
    if (current)
        m_Tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selection)
        item->setSelected(true);
}

void TMainForm::SetDeviceCaption(QTreeWidgetItem* node, TDevice* device)
{
    node->setText(0, QStringLiteral("%1 (%2, %3)")
                         .arg(QString::fromLatin1(device->Name().c_str()), Dotted(device->Address()),
                              QString::fromStdString(device->Mac().Text())));
}

void TMainForm::UpdateDevicesCaption()
{
    m_DevicesNode->setText(0, QStringLiteral("Devices (%1)").arg(m_DeviceNodes.size()));
}

void TMainForm::AddDeviceNode(TDevice* device)
{
    QString caption;
    TGroupKey key = GroupKeyOf(device, caption);
    QTreeWidgetItem* group = GroupNode(key, caption);
    auto* node = new QTreeWidgetItem;
    node->setData(0, RoleDevice, QVariant::fromValue(device));
    SetDeviceCaption(node, device);
    node->setIcon(0, DeviceIcon(device->IsLoggedIn(), device->HasFlags(TDevice::flWarning)));
    group->addChild(node);
    m_DeviceNodes.insert(device, node);
    UpdateDevicesCaption();
    SortGroups();
    m_DevicesNode->setExpanded(true);
}

void TMainForm::RemoveDeviceNode(TDevice* device)
{
    QTreeWidgetItem* node = m_DeviceNodes.take(device);
    if (!node)
        return;
    QTreeWidgetItem* group = node->parent();
    QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
    bool wasSelected = node->isSelected();
    ForgetNode(node);
    delete node;
    DeleteGroupIfEmpty(group);
    if (wasSelected)
        m_Selection = m_Tree->selectedItems();
    UpdateDevicesCaption();
}

void TMainForm::MoveToGroup(QTreeWidgetItem* node, const TGroupKey& key, const QString& caption)
{
    QTreeWidgetItem* old = node->parent();
    QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
    bool selected = node->isSelected();
    bool current = m_Tree->currentItem() == node;
    old->removeChild(node);
    GroupNode(key, caption)->addChild(node);
    node->setSelected(selected);
    if (current)
        m_Tree->setCurrentItem(node, 0, QItemSelectionModel::NoUpdate);
    DeleteGroupIfEmpty(old);
}

void TMainForm::ForgetNode(QTreeWidgetItem* node)
{
    m_Selection.removeAll(node);
    if (m_Current == node)
        m_Current = nullptr;
}

void TMainForm::DeleteGroupIfEmpty(QTreeWidgetItem* group)
{
    if (!group || group->childCount() != 0)
        return;
    for (auto it = m_Groups.begin(); it != m_Groups.end(); ++it)
        if (it->second == group) {
            m_Groups.erase(it);
            break;
        }
    ForgetNode(group);
    delete group;
}

void TMainForm::UpdateDevice(TDevice* device, uint16_t code)
{
    QTreeWidgetItem* node = m_DeviceNodes.value(device);
    if (node) {
        if (!IsShown(device)) {
            RemoveDeviceNode(device);
            NotifyShown(device, ncDeviceRemoved, 0);
            return;
        }
        QString caption;
        TGroupKey key = GroupKeyOf(device, caption);
        TGroupKey current{node->parent()->data(0, RoleGroupAddress).toUInt(),
                          node->parent()->data(0, RoleGroupMask).toUInt()};
        if (!(key == current)) {
            MoveToGroup(node, key, caption);
            SortGroups();
        }
        node->setIcon(0, DeviceIcon(device->IsLoggedIn(), device->HasFlags(TDevice::flWarning)));
        NotifyShown(device, code, 0);
    } else if (IsShown(device)) {
        AddDeviceNode(device);
        NotifyShown(device, ncDeviceAdded, 0);
    }
}

void TMainForm::DeviceCreated(TDevice*) {}

void TMainForm::DeviceDestroyed(TDevice* device)
{
    if (!m_DeviceNodes.contains(device))
        return;
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
    QTreeWidgetItem* node = m_DeviceNodes.value(device);
    if (!node)
        return;
    SetDeviceCaption(node, device);
    SortGroups();
    NotifyShown(device, ncDeviceName, 0);
}

void TMainForm::NotifyShown(TDevice* device, uint16_t code, uint16_t status)
{
    if (m_Shown && !m_ShuttingDown)
        m_Shown->Notify(device, code, status);
}

void TMainForm::EventOnTreeSort(int mode)
{
    if (mode == m_SortMode)
        return;
    m_SortMode = TSortMode(mode);
    // Every device moves, in tree order, to the end of its group under the new mode.
    std::map<TGroupKey, QTreeWidgetItem*> old;
    old.swap(m_Groups);
    QList<QTreeWidgetItem*> nodes;
    for (auto& [key, group] : old)
        for (int i = 0; i < group->childCount(); ++i)
            nodes << group->child(i);
    QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
    // The old groups go away: they cannot stay selected or current.
    QList<QTreeWidgetItem*> selection;
    for (QTreeWidgetItem* item : m_Tree->selectedItems())
        if (!item->data(0, RoleIsGroup).toBool())
            selection << item;
    QTreeWidgetItem* current = m_Tree->currentItem();
    if (current && current->data(0, RoleIsGroup).toBool())
        current = nullptr;
    for (QTreeWidgetItem* node : nodes) {
        TDevice* device = node->data(0, RoleDevice).value<TDevice*>();
        QString caption;
        TGroupKey key = GroupKeyOf(device, caption);
        node->parent()->removeChild(node);
        GroupNode(key, caption)->addChild(node);
    }
    for (auto& [key, group] : old) {
        ForgetNode(group);
        delete group;
    }
    for (QTreeWidgetItem* item : selection)
        item->setSelected(true);
    if (current)
        m_Tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    SortGroups();
}

// ---- selection ------------------------------------------------------------------------

TModule* TMainForm::ModuleForNode(QTreeWidgetItem* node) const
{
    for (QTreeWidgetItem* n = node; n; n = n->parent())
        if (n == m_DevicesNode)
            return m_Frame;
    return node ? node->data(0, RoleModule).value<TModule*>() : nullptr;
}

bool TMainForm::SelectionIsDevices(QList<QTreeWidgetItem*>* devices) const
{
    if (m_Shown != m_Frame || m_Selection.isEmpty())
        return false;
    for (QTreeWidgetItem* item : m_Selection)
        if (!item->data(0, RoleDevice).isValid())
            return false;
    if (devices)
        *devices = m_Selection;
    return true;
}

void TMainForm::EventOnTreeChange()
{
    if (m_ChangingSelection)
        return;
    m_ChangingSelection = true;
    QTreeWidgetItem* current = m_Tree->currentItem();
    QList<QTreeWidgetItem*> selected = m_Tree->selectedItems();
    if (m_Shown && !m_Shown->Hide(false)) {
        // The shown module is busy: the selection stays as it was.
        m_Tree->clearSelection();
        if (m_Current)
            m_Tree->setCurrentItem(m_Current, 0, QItemSelectionModel::NoUpdate);
        for (QTreeWidgetItem* item : std::as_const(m_Selection))
            item->setSelected(true);
        m_ChangingSelection = false;
        return;
    }
    if (current && !current->isSelected() && !selected.isEmpty())
        current = selected.first();
    // Several nodes only when they are device nodes of one group.
    bool devices = current && current->data(0, RoleDevice).isValid();
    QList<QTreeWidgetItem*> keep;
    for (QTreeWidgetItem* item : selected) {
        bool sibling = devices && item->parent() == current->parent() && item->data(0, RoleDevice).isValid();
        if (item == current || sibling)
            keep << item;
        else
            item->setSelected(false);
    }
    // Selection order: nodes that stay selected keep their places, new ones follow, so the
    // first selected device stays first when the selection is extended.
    QList<QTreeWidgetItem*> ordered;
    for (QTreeWidgetItem* item : std::as_const(m_Selection))
        if (keep.contains(item))
            ordered << item;
    for (QTreeWidgetItem* item : keep)
        if (!ordered.contains(item))
            ordered << item;
    m_Selection = ordered;
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
    QList<QTreeWidgetItem*> nodes;
    if (!SelectionIsDevices(&nodes))
        return 0;
    device = nodes.first()->data(0, RoleDevice).value<TDevice*>();
    return int(nodes.size());
}

int TMainForm::GetSelectedDevices(std::vector<TDevice*>& devices)
{
    QList<QTreeWidgetItem*> nodes;
    if (!SelectionIsDevices(&nodes))
        return 0;
    for (QTreeWidgetItem* node : nodes)
        devices.push_back(node->data(0, RoleDevice).value<TDevice*>());
    return int(nodes.size());
}

int TMainForm::GetAllDevices(std::vector<TDevice*>& devices)
{
    int count = 0;
    for (int g = 0; g < m_DevicesNode->childCount(); ++g) {
        QTreeWidgetItem* group = m_DevicesNode->child(g);
        for (int i = 0; i < group->childCount(); ++i, ++count)
            devices.push_back(group->child(i)->data(0, RoleDevice).value<TDevice*>());
    }
    return count;
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
    QTreeWidgetItem* node = m_Tree->topLevelItem(0);
    if (!node)
        return false;
    for (const QString& part : path.split('/')) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < node->childCount() && !found; ++i) {
            TModule* module = node->child(i)->data(0, RoleModule).value<TModule*>();
            if (module && module->GetName() == part)
                found = node->child(i);
        }
        if (!found)
            break;
        node = found;
    }
    m_Tree->setCurrentItem(node);
    return node->isSelected();
}

Filter::TFilterServer* TMainForm::GetFilterServer() { return m_Filter; }
Status::TStatusServer* TMainForm::GetStatusServer() { return m_Status; }
Syslog::TSyslogServer* TMainForm::GetSyslogServer() { return nullptr; }

// ---- actions --------------------------------------------------------------------------

void TMainForm::EventOnDiscovery()
{
    Registry::Clear();
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
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1").arg(Dotted(device->Address()))));
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
}

void TMainForm::ShutdownWorkers()
{
    if (m_ShuttingDown)
        return;
    m_ShuttingDown = true;
    if (m_IntpThread)
        m_IntpThread->Shutdown();
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
