#include "ModuleBasics_IPConf.h"

#include "ui_ModuleBasics_IPConf.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "core/AddressPlan.h"
#include "core/FilterSettings.h"
#include "core/NetQueries.h"
#include "core/IntpCore.h"

#include <QAction>

namespace {

uint32_t Read(const QLineEdit* edit) { return AddressOf(edit->text()); }

// Hidden controls keep their room, so that the fields stay in place whichever of them the
// method shows.
void KeepRoomWhenHidden(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* widget = item->widget()) {
            QSizePolicy policy = widget->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            widget->setSizePolicy(policy);
        } else if (QLayout* inner = item->layout()) {
            KeepRoomWhenHidden(inner);
        }
    }
}

QIcon NodeImage(int index)
{
    switch (index) {
    case TModuleBasicsIPConf::imGroup: return Icon(TImage::Devices);
    case TModuleBasicsIPConf::imPlanned: return Icon(TImage::Accept);
    case TModuleBasicsIPConf::imFailed: return Icon(TImage::Cancel);
    case TModuleBasicsIPConf::imInUse: return Icon(TImage::DeviceWarning);
    default: return Icon(TImage::Device);
    }
}

// Every node sorts by an address: groups by the devices' current address, entries by the
// planned one, both as unsigned numbers.
class TNode : public QTreeWidgetItem {
public:
    uint32_t SortKey = 0;
    int Image = 0;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        return SortKey < static_cast<const TNode&>(other).SortKey;
    }
    void SetImage(int index)
    {
        Image = index;
        setIcon(0, NodeImage(index));
    }
};

} // namespace

class TModuleBasicsIPConf::TEntry : public TNode {
public:
    TMacAddr Mac;
    bool Valid = false;
    Intp::TBasicsIPSettings Planned;

    void Plan(const Intp::TBasicsIPSettings& settings, int image)
    {
        Planned = settings;
        SortKey = settings.Address;
        SetImage(image);
    }
};

TModuleBasicsIPConf::TModuleBasicsIPConf(QWidget* parent)
    : TModulePage(QStringLiteral("IP Configuration"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsIPConf>()),
      m_Flush(&FlushArpEntries)
{
    m_Ui->setupUi(this);
    KeepRoomWhenHidden(m_Ui->m_Fields);
    m_Ui->m_Filter->setIcon(Icon(TImage::Filter));
    m_Ui->m_Set->setIcon(Icon(TImage::Accept));
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    m_Ui->m_Tree->setIconSize(QSize(16, 16));
    m_PM1Discard = new QAction(QStringLiteral("&Discard Settings"), this);
    m_PM1Discard->setObjectName(QStringLiteral("m_PM1Discard"));
    m_PM1Discard->setEnabled(false);
    m_Ui->m_Tree->addAction(m_PM1Discard);

    connect(m_Ui->m_Method, &QComboBox::currentIndexChanged, this, &TModuleBasicsIPConf::EventOnMethodChange);
    connect(m_Ui->m_Tree, &QTreeWidget::itemSelectionChanged, this, &TModuleBasicsIPConf::EventOnSelectionChange);
    connect(m_Ui->m_Dhcp, &QCheckBox::clicked, this, &TModuleBasicsIPConf::ApplyFieldRules);
    connect(m_Ui->m_Set, &QPushButton::clicked, this, &TModuleBasicsIPConf::EventOnSet);
    connect(m_Ui->m_Filter, &QToolButton::clicked, this, &TModuleBasicsIPConf::EventOnFilter);
    connect(m_PM1Discard, &QAction::triggered, this, &TModuleBasicsIPConf::EventOnDiscard);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsIPConf::EventOnApply);
    ApplyFieldRules();
}

TModuleBasicsIPConf::~TModuleBasicsIPConf() = default;

int TModuleBasicsIPConf::Refresh(bool)
{
    int started = 0;
    for (TDevice* device : SelectedDevices())
        started += Intp::StartNew<Intp::TSessionBasicsIPConfGet>(device, nullptr) ? 1 : 0;
    return started;
}

void TModuleBasicsIPConf::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    if (code == Intp::TSessionBasicsIPConfSet::Command && device && m_OldAddresses.contains(device->Mac())) {
        // The confirmation came from the old address and may have taught the workstation
        // its mapping again: forget it once more.
        uint32_t old = m_OldAddresses.take(device->Mac());
        if (status == Intp::stSuccess && m_Flush)
            m_Flush({old}, true);
    }
    switch (code) {
    case Intp::TSessionBasicsIPConfGet::Command:
    case Intp::TSessionBasicsIPConfSet::Command:
    case ncSelect:
    case ncDeviceRemoved:
    case ncDeviceAddress:
    case ncDeviceState:
        show();
        Rebuild();
        break;
    default:
        break;
    }
}

bool TModuleBasicsIPConf::Hide(bool)
{
    m_Ui->m_Tree->clear();
    ApplyFieldRules();
    hide();
    return true;
}

QList<TModuleBasicsIPConf::TEntry*> TModuleBasicsIPConf::Entries() const
{
    QList<TEntry*> entries;
    for (int g = 0; g < m_Ui->m_Tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = m_Ui->m_Tree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i)
            entries << static_cast<TEntry*>(group->child(i));
    }
    return entries;
}

TModuleBasicsIPConf::TEntry* TModuleBasicsIPConf::SelectedEntry() const
{
    QTreeWidgetItem* item = m_Ui->m_Tree->currentItem();
    return item && item->parent() && item->isSelected() ? static_cast<TEntry*>(item) : nullptr;
}

// The entry of a device as it is now: its current settings, unchanged.
static void ResetEntry(TModuleBasicsIPConf::TEntry* entry, TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsIPConf>(*device);
    Intp::TBasicsIPSettings current;
    current.Address = device->Address();
    entry->Valid = record.Valid;
    if (record.Valid) {
        current.Dhcp = record.Dhcp;
        current.Netmask = record.Netmask;
        current.Gateway = record.Gateway;
        current.Dns1 = record.Dns1;
        current.Dns2 = record.Dns2;
    }
    entry->Plan(current, TModuleBasicsIPConf::imUnchanged);
}

void TModuleBasicsIPConf::Rebuild()
{
    m_Loading = true;
    m_Ui->m_Tree->clear();
    std::vector<TDevice*> devices = SelectedDevices();
    std::map<uint32_t, TNode*> groups;
    for (TDevice* device : devices) {
        if (device->Address() == 0)
            continue;
        TNode*& group = groups[device->Address()];
        if (!group) {
            group = new TNode;
            group->SortKey = device->Address();
            group->setText(0, AddressText(device->Address()));
            group->SetImage(imGroup);
            m_Ui->m_Tree->addTopLevelItem(group);
        }
        auto* entry = new TEntry;
        entry->Mac = device->Mac();
        ResetEntry(entry, device);
        SetEntryCaption(entry);
        group->addChild(entry);
    }
    SortTree();
    m_Ui->m_Tree->expandAll();
    m_Ui->m_NumDevices->setText(QStringLiteral("Total %1 devices:").arg(devices.size()));
    m_Loading = false;
    UpdateApply();
    ApplyFieldRules();
}

void TModuleBasicsIPConf::SetEntryCaption(TEntry* entry)
{
    QString caption = QString::fromStdString(entry->Mac.Text());
    if (!entry->Valid)
        caption += QStringLiteral("(Retrieve device info failed)");
    const auto& p = entry->Planned;
    if (p.Dhcp)
        caption += QStringLiteral(" => DHCP");
    else
        caption += QStringLiteral(" => %1/%2, gw = %3, dns1 = %4, dns2 = %5")
                       .arg(AddressText(p.Address), AddressText(p.Netmask), AddressText(p.Gateway), AddressText(p.Dns1), AddressText(p.Dns2));
    entry->setText(0, caption);
}

void TModuleBasicsIPConf::SortTree()
{
    m_Ui->m_Tree->sortItems(0, Qt::AscendingOrder);
}

void TModuleBasicsIPConf::UpdateApply()
{
    QList<TEntry*> entries = Entries();
    m_Ui->m_Apply->setEnabled(std::none_of(entries.begin(), entries.end(), [](TEntry* e) { return e->Image == imFailed; }));
}

int TModuleBasicsIPConf::FieldMode() const
{
    switch (m_Ui->m_Method->currentIndex()) {
    case mtDhcp: return 0;
    case mtAutoRange: return 1;
    default: return SelectedEntry() ? 2 : 3;
    }
}

// Whatever changed the selection (a click, a rebuilt tree, Hide) ends here.
void TModuleBasicsIPConf::ApplyFieldRules()
{
    m_PM1Discard->setEnabled(SelectedEntry() != nullptr);
    int mode = FieldMode();
    bool dhcpRow = mode == 0 || mode == 2;
    m_Ui->m_Label2->setVisible(dhcpRow);
    m_Ui->m_Dhcp->setVisible(dhcpRow);
    m_Ui->m_Label2->setEnabled(dhcpRow);
    m_Ui->m_Dhcp->setEnabled(mode == 2);
    for (QWidget* w : {static_cast<QWidget*>(m_Ui->m_Label4), static_cast<QWidget*>(m_Ui->m_Address2),
                       static_cast<QWidget*>(m_Ui->m_Filter)}) {
        w->setVisible(mode == 1);
        w->setEnabled(mode == 1);
    }
    m_Ui->m_Set->setVisible(mode == 1 || mode == 2);
    m_Ui->m_Set->setEnabled(mode == 1 || mode == 2);
    bool fieldsShown = mode == 1 || mode == 2;
    bool fieldsEnabled = mode == 1 || (mode == 2 && !m_Ui->m_Dhcp->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{m_Ui->m_Label3, m_Ui->m_Address, m_Ui->m_Label5, m_Ui->m_Mask,
                                                      m_Ui->m_Label6, m_Ui->m_Gateway, m_Ui->m_Label7, m_Ui->m_Dns1,
                                                      m_Ui->m_Label8, m_Ui->m_Dns2}) {
        w->setVisible(fieldsShown);
        w->setEnabled(fieldsEnabled);
    }
    if (mode == 1)
        m_Ui->m_Label3->setText(QStringLiteral("&IP Begin:"));
    else if (mode >= 2)
        m_Ui->m_Label3->setText(QStringLiteral("&IP Addr:"));
}

void TModuleBasicsIPConf::LoadEntryIntoFields(TEntry* entry)
{
    const auto& p = entry->Planned;
    m_Ui->m_Dhcp->setChecked(p.Dhcp);
    m_Ui->m_Address->setText(AddressText(p.Address));
    m_Ui->m_Mask->setText(AddressText(p.Netmask));
    m_Ui->m_Gateway->setText(AddressText(p.Gateway));
    m_Ui->m_Dns1->setText(AddressText(p.Dns1));
    m_Ui->m_Dns2->setText(AddressText(p.Dns2));
}

void TModuleBasicsIPConf::EventOnMethodChange(int method)
{
    if (method == mtDhcp) {
        for (TEntry* entry : Entries()) {
            entry->Plan(Intp::TBasicsIPSettings{.Dhcp = true}, imPlanned);
            SetEntryCaption(entry);
        }
        SortTree();
        m_Ui->m_Dhcp->setChecked(true);
        m_Ui->m_Apply->setEnabled(true);
    }
    ApplyFieldRules();
    if (method == mtManual)
        if (TEntry* entry = SelectedEntry())
            LoadEntryIntoFields(entry);
}

void TModuleBasicsIPConf::EventOnSelectionChange()
{
    if (m_Loading)
        return;
    TEntry* entry = SelectedEntry();
    if (entry && m_Ui->m_Method->currentIndex() == mtManual)
        LoadEntryIntoFields(entry);
    ApplyFieldRules();
}

void TModuleBasicsIPConf::EventOnSet()
{
    if (m_Ui->m_Method->currentIndex() == mtAutoRange)
        PlanAutoRange();
    else if (m_Ui->m_Method->currentIndex() == mtManual)
        if (TEntry* entry = SelectedEntry())
            PlanManual(entry);
}

TAddressRequest TModuleBasicsIPConf::ReadRequest() const
{
    TAddressRequest request;
    request.Address = Read(m_Ui->m_Address);
    request.End = Read(m_Ui->m_Address2);
    request.Netmask = Read(m_Ui->m_Mask);
    request.Gateway = Read(m_Ui->m_Gateway);
    request.Dns1 = Read(m_Ui->m_Dns1);
    request.Dns2 = Read(m_Ui->m_Dns2);
    return request;
}

// Gives the entry the address of a plan, or marks it as failed when the plan has none.
void TModuleBasicsIPConf::Assign(TEntry* entry, const TAddressPlan& plan, uint32_t address)
{
    if (address == 0) {
        entry->Plan(Intp::TBasicsIPSettings{}, imFailed);
    } else {
        Intp::TBasicsIPSettings settings{false, address, plan.Netmask, plan.Gateway, plan.Dns1, plan.Dns2};
        entry->Plan(settings, Registry::FindByAddress(address) ? imInUse : imPlanned);
    }
    SetEntryCaption(entry);
}

void TModuleBasicsIPConf::PlanAutoRange()
{
    const QList<TEntry*> entries = Entries();
    const TAddressPlan plan = PlanAddressRange(ReadRequest(), std::size_t(entries.size()));
    if (plan.Refusal != TPlanRefusal::None) {
        Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("Wrong range/netmask!"));
        return;
    }
    for (qsizetype i = 0; i < entries.size(); ++i)
        Assign(entries[i], plan, plan.Addresses[std::size_t(i)]);
    SortTree();
    UpdateApply();
}

void TModuleBasicsIPConf::PlanManual(TEntry* entry)
{
    if (m_Ui->m_Dhcp->isChecked()) {
        entry->Plan(Intp::TBasicsIPSettings{.Dhcp = true}, imPlanned);
        SetEntryCaption(entry);
    } else {
        const TAddressPlan plan = PlanSingleAddress(ReadRequest());
        if (plan.Refusal != TPlanRefusal::None) {
            Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("Wrong IP/Netmask!"));
            return;
        }
        Assign(entry, plan, plan.Addresses.front());
    }
    SortTree();
    UpdateApply();
}

void TModuleBasicsIPConf::EventOnFilter()
{
    TPageContext* callback = Context();
    Filter::TFilterServer* filter = callback ? callback->GetFilterServer() : nullptr;
    uint32_t begin = 0, end = 0xFFFFFFFFu, mask = 0;
    if (filter) {
        const auto& settings = filter->GetSettings();
        begin = settings.RangeBegin;
        end = settings.RangeEnd;
        mask = settings.Mask;
    }
    m_Ui->m_Address->setText(AddressText(begin));
    m_Ui->m_Address2->setText(AddressText(end));
    m_Ui->m_Mask->setText(AddressText(mask));
    for (QLineEdit* edit : {m_Ui->m_Gateway, m_Ui->m_Dns1, m_Ui->m_Dns2})
        edit->setText(QStringLiteral("0.0.0.0"));
}

void TModuleBasicsIPConf::EventOnDiscard()
{
    TEntry* entry = SelectedEntry();
    if (!entry)
        return;
    if (TDevice* device = Registry::Find(entry->Mac, false))
        ResetEntry(entry, device);
    SetEntryCaption(entry);
    SortTree();
    UpdateApply();
    if (m_Ui->m_Method->currentIndex() != mtDhcp) {
        LoadEntryIntoFields(entry);
        ApplyFieldRules();
    }
}

void TModuleBasicsIPConf::EventOnApply()
{
    TPageContext* callback = Context();
    std::string user, password;
    if (!callback || !callback->AskCredentials(user, password) || user.empty())
        return;
    Intp::TDigest digest = Intp::CredentialDigest(user, password);
    std::vector<uint32_t> previous;
    m_OldAddresses.clear(); // confirmations of an earlier Apply no longer matter
    for (TEntry* entry : Entries()) {
        if (entry->Image == imUnchanged)
            continue;
        TDevice* device = Registry::Find(entry->Mac, false);
        if (!device)
            continue;
        uint32_t old = device->Address();
        if (Intp::StartNew<Intp::TSessionBasicsIPConfSet>(device, nullptr, digest, entry->Planned)) {
            previous.push_back(old);
            if (entry->Planned.Dhcp || entry->Planned.Address != old)
                m_OldAddresses.insert(device->Mac(), old);
        }
    }
    // The workstation must not keep sending to a re-addressed switch's old mapping.
    if (!previous.empty() && m_Flush)
        m_Flush(previous, true);
}
