#include "ModuleFrame.h"

#include "pages/ModuleBanner.h"

#include "ui_ModuleFrame.h"

#include "core/Device.h"

#include <QGridLayout>
#include <QTreeWidget>

Q_DECLARE_METATYPE(TModule*)

namespace {

// One row of the catalogue: depth in the function tree and caption.
struct TCatalogueEntry {
    int Level;
    const char* Caption;
};

// The pages in the order the function tree shows them.
const TCatalogueEntry Catalogue[] = {
    {1, "Basics"},
    {2, "Switch Setting"},
    {2, "Admin Password"},
    {2, "IP Configuration"},
    {2, "Time (SNTP)"},
    {2, "DHCP Server"},
    {3, "Client Entries"},
    {3, "Port and IP Binding"},
    {2, "Backup"},
    {2, "Restore"},
    {2, "Upgrade"},
    {2, "Factory Default"},
    {2, "Reboot"},
    {1, "Port Configuration"},
    {2, "Port Status"},
    {2, "Rate Limit"},
    {2, "Port Trunk"},
    {3, "Port Trunk Status"},
    {1, "Redundancy"},
    {2, "Vantor Ring"},
    {2, "RSTP Settings"},
    {3, "RSTP Information"},
    {1, "Traffic Prioritization"},
    {2, "Port Based Priority"},
    {2, "COS Settings"},
    {2, "TOS Settings"},
    {1, "IGMP Snooping"},
    {2, "IGMP Snooping Table"},
    {1, "802.1Q VLAN"},
    {2, "Port Configuration"},
    {2, "VLAN Table"},
    {1, "SNMP"},
    {2, "Community"},
    {2, "SNMPv3 User"},
    {2, "Trap Settings"},
    {1, "Security"},
    {2, "IP Security"},
    {2, "Port Security"},
    {2, "MAC Blacklist"},
    {2, "802.1x"},
    {3, "Port Auth"},
    {1, "Warning"},
    {2, "Fault Alarm"},
    {2, "Syslog Settings"},
    {2, "SMTP Settings"},
    {2, "Event Settings"},
    {1, "Monitor And Diagnostic"},
    {2, "MAC Address Table"},
    {2, "Port Statistics"},
    {2, "Port Mirroring"},
    {2, "System Event Log"},
    {2, "LLDP"},
    {1, "Save To Flash"},
};

} // namespace

// Pages that exist so far; every other catalogue entry is a folder node with its caption.
TModule* CreateCataloguePage(const QString& path, QWidget* parent);

TModuleFrame::TModuleFrame(QWidget* parent) : QWidget(parent), m_Ui(std::make_unique<Ui::TModuleFrame>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Splitter->setSizes({208, 692});
    m_Ui->m_Splitter->setStretchFactor(1, 1);
    connect(m_Ui->m_Tree, &QTreeWidget::currentItemChanged, this, &TModuleFrame::EventOnTreeChange);
    connect(m_Ui->m_Tree, &QTreeWidget::itemSelectionChanged, this, &TModuleFrame::HighlightCurrent);
}

TModuleFrame::~TModuleFrame() = default;

void TModuleFrame::BuildCatalogue(const std::vector<int>& modelIndices)
{
    // One banner page serves every model with this front panel.
    auto* banner = new TModuleBannerKorvex700G(m_Ui->m_LinkPanel);
    banner->setObjectName(QStringLiteral("TModuleBannerKorvex700G"));
    banner->SetContext(Context());
    for (int index : modelIndices)
        AddBanner(index, banner);
    QTreeWidgetItem* parents[4] = {};
    for (const auto& entry : Catalogue) {
        QTreeWidgetItem* parent = parents[entry.Level - 1];
        QString path = QString::fromLatin1(entry.Caption);
        for (QTreeWidgetItem* p = parent; p; p = p->parent())
            path.prepend(p->text(0) + '/');
        TModule* page = CreateCataloguePage(path, m_Ui->m_MPanel);
        if (!page)
            page = new TModuleDummy(QString::fromLatin1(entry.Caption));
        parents[entry.Level] = AddPage(page, parent);
        for (int deeper = entry.Level + 1; deeper < 4; ++deeper)
            parents[deeper] = nullptr;
    }
    m_Ui->m_Tree->expandAll();
}

QTreeWidgetItem* TModuleFrame::AddPage(TModule* module, QTreeWidgetItem* parent)
{
    if (!module)
        return nullptr;
    module->SetContext(Context());
    if (QWidget* control = module->GetControl()) {
        control->setParent(m_Ui->m_MPanel);
        static_cast<QGridLayout*>(m_Ui->m_MPanel->layout())->addWidget(control, 0, 0);
        control->hide();
    } else {
        m_Folders.emplace_back(module);
    }
    auto* item = new QTreeWidgetItem(QStringList(module->GetName()));
    item->setData(0, Qt::UserRole, QVariant::fromValue(module));
    if (parent)
        parent->addChild(item);
    else
        m_Ui->m_Tree->addTopLevelItem(item);
    return item;
}

bool TModuleFrame::AddBanner(int key, TModule* module)
{
    if (!module || (key == 0 && m_DefaultBanner))
        return false;
    if (QWidget* control = module->GetControl()) {
        control->setParent(m_Ui->m_LinkPanel);
        static_cast<QGridLayout*>(m_Ui->m_LinkPanel->layout())->addWidget(control, 0, 0);
        control->hide();
    }
    m_Banners.emplace(key, module); // a second registration of a key is ignored
    if (key == 0)
        m_DefaultBanner = module;
    return true;
}

TModule* TModuleFrame::ModuleOf(QTreeWidgetItem* item) const
{
    return item ? item->data(0, Qt::UserRole).value<TModule*>() : nullptr;
}

TModule* TModuleFrame::SelectedPage() const { return ModuleOf(m_Ui->m_Tree->currentItem()); }
QTreeWidget* TModuleFrame::Tree() const { return m_Ui->m_Tree; }
QLabel* TModuleFrame::WaitLabel() const { return m_Ui->m_Wait; }

QTreeWidgetItem* TModuleFrame::FindNode(const QString& path) const
{
    QTreeWidgetItem* node = nullptr;
    for (const QString& part : path.split('/')) {
        QTreeWidgetItem* found = nullptr;
        int count = node ? node->childCount() : m_Ui->m_Tree->topLevelItemCount();
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem* child = node ? node->child(i) : m_Ui->m_Tree->topLevelItem(i);
            if (child->text(0) == part)
                found = child;
        }
        if (!found)
            return nullptr;
        node = found;
    }
    return node;
}

void TModuleFrame::SelectBanner(TDevice* device)
{
    int key = device ? device->Type() : 0;
    auto it = m_Banners.find(key);
    TModule* found = it != m_Banners.end() ? it->second : nullptr;
    TModule* next = found ? found : m_DefaultBanner;
    if (m_CurrentBanner && m_CurrentBanner != next)
        m_CurrentBanner->Hide(true);
    m_CurrentBanner = next;
    if (m_CurrentBanner)
        m_CurrentBanner->Refresh(false);
}

void TModuleFrame::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    show();
    if (code == ncSelect)
        SelectBanner(device);
    // The banner strip takes room only while there is a banner to show.
    m_Ui->m_TPanel->setVisible(m_CurrentBanner != nullptr);

    if (m_CurrentBanner)
        m_CurrentBanner->Notify(device, code, status);
    RouteToPage(device, code, status);
}

void TModuleFrame::RouteToPage(TDevice* device, uint16_t code, uint16_t status)
{
    TModule* page = SelectedPage();
    if (!page)
        return;
    QWidget* control = page->GetControl();
    m_Ui->m_Wait->setVisible(control != nullptr);
    if (code == ncSelect && page->Refresh(true) != 0) {
        // The page shows itself when its Get result arrives.
        if (control)
            control->hide();
        return;
    }
    page->Notify(device, code, status);
}

void TModuleFrame::EventOnTreeChange(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (m_Reverting)
        return;
    TModule* old = ModuleOf(previous);
    if (!current || (old && !old->Hide(false))) {
        // The change is refused: the busy page stays selected.
        m_Reverting = true;
        m_Ui->m_Tree->setCurrentItem(previous);
        m_Reverting = false;
        return;
    }
    TDevice* device = nullptr;
    TPageContext* callback = Context();
    int count = callback ? callback->GetSelectedDevice(device) : 0;
    QTreeWidgetItem* first = m_Ui->m_Tree->topLevelItem(0);
    if ((count == 0 || !device || !device->IsLoggedIn()) && current != first) {
        // Only "Basics", where the operator logs in, is reachable then.
        m_Ui->m_Tree->setCurrentItem(first);
        return;
    }
    RouteToPage(count ? device : nullptr, ncSelect, 0);
    HighlightCurrent();
}

// The highlighted node is always the node of the page shown. A click selects its node only
// after the current node changed, and the keyboard selects the next node before, so a
// fall-back to "Basics" or a refused change would otherwise leave another node highlighted.
void TModuleFrame::HighlightCurrent()
{
    QTreeWidgetItem* current = m_Ui->m_Tree->currentItem();
    if (current && m_Ui->m_Tree->selectedItems() != QList<QTreeWidgetItem*>{current})
        m_Ui->m_Tree->selectionModel()->select(m_Ui->m_Tree->currentIndex(), QItemSelectionModel::ClearAndSelect);
}

bool TModuleFrame::Hide(bool force)
{
    if (TModule* page = SelectedPage())
        if (!page->Hide(force))
            return false;
    if (m_CurrentBanner)
        m_CurrentBanner->Hide(force);
    hide();
    return true;
}

int TModuleFrame::Refresh(bool current)
{
    if (current) {
        TModule* page = SelectedPage();
        return page ? page->Refresh(true) : 0;
    }
    int sum = 0;
    std::vector<QTreeWidgetItem*> stack;
    for (int i = m_Ui->m_Tree->topLevelItemCount() - 1; i >= 0; --i)
        stack.push_back(m_Ui->m_Tree->topLevelItem(i));
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        if (TModule* module = ModuleOf(item))
            sum += module->Refresh(false);
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.push_back(item->child(i));
    }
    return sum;
}
