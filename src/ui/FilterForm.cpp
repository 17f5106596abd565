#include "FilterForm.h"

#include "net/AddressText.h"
#include "Dialogs.h"
#include "core/AddressRules.h"
#include "core/NetQueries.h"
#include "ui_FilterForm.h"

#include <QHeaderView>
#include <QShowEvent>
#include <QSignalBlocker>

namespace {

enum TRemoteColumn { rcDestination, rcNextHop, rcInterface };

const uint32_t AllBits = 0xFFFFFFFFu;

// A unicast row; next hop and interface index have all bits set when the route lookup failed.
class TRemoteItem : public QTreeWidgetItem {
public:
    TRemoteItem(uint32_t address, uint32_t nextHop, uint32_t interfaceIndex, const QStringList& texts)
        : QTreeWidgetItem(texts, UserType), Address(address), NextHop(nextHop), InterfaceIndex(interfaceIndex)
    {
    }

    const uint32_t Address;
    const uint32_t NextHop;
    const uint32_t InterfaceIndex;

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : rcDestination;
        return Key(column) < static_cast<const TRemoteItem&>(other).Key(column);
    }

private:
    uint32_t Key(int column) const
    {
        switch (column) {
        case rcNextHop:
            return NextHop;
        case rcInterface:
            return InterfaceIndex;
        default:
            return Address;
        }
    }
};

std::vector<TIpMask> WorkstationSubnets()
{
    std::vector<TIpMask> subnets;
    GetLocalSubnets(subnets);
    return subnets;
}

QString SubnetText(const TIpMask& subnet)
{
    return AddressText(subnet.Address) + '/' + AddressText(subnet.Mask);
}

uint32_t HostAddressOf(const QLineEdit* edit)
{
    const uint32_t address = AddressOf(edit->text());
    return IsValidHostAddress(address) ? address : 0;
}

uint32_t MaskOf(const QLineEdit* edit)
{
    const uint32_t mask = AddressOf(edit->text());
    return IsValidMask(mask) ? mask : 0;
}

// Shows a value without running the field's change rule.
void Rewrite(QLineEdit* edit, uint32_t value)
{
    const QSignalBlocker block(edit);
    edit->setText(AddressText(value));
}

} // namespace

TFilterForm::TFilterForm(QWidget* parent) : TFilterForm(nullptr, WorkstationSubnets(), parent) {}

TFilterForm::TFilterForm(std::vector<TIpMask> localSubnets, QWidget* parent)
    : TFilterForm(nullptr, std::move(localSubnets), parent)
{
}

TFilterForm::TFilterForm(Filter::TFilterSettings& settings, QWidget* parent)
    : TFilterForm(&settings, WorkstationSubnets(), parent)
{
}

TFilterForm::TFilterForm(Filter::TFilterSettings* settings, std::vector<TIpMask> localSubnets, QWidget* parent)
    : QDialog(parent), m_Ui(std::make_unique<Ui::TFilterForm>()), m_Settings(settings ? *settings : m_OwnSettings),
      m_RouteLookup(GetRouteTo)
{
    m_Settings.LocalSubnets = std::move(localSubnets);
    auto& ui = *m_Ui;
    ui.setupUi(this);
    QHeaderView* header = ui.m_RemoteList->header();
    header->setSectionsClickable(true);
    const int addressWidth = header->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 24;
    header->resizeSection(rcDestination, addressWidth);
    header->resizeSection(rcNextHop, addressWidth);

    connect(ui.m_Subnet, &QRadioButton::clicked, this, &TFilterForm::EventOnSubnet);
    connect(ui.m_SubnetCombo, &QComboBox::currentIndexChanged, this, &TFilterForm::EventOnSubnet);
    connect(ui.m_Gateway, &QRadioButton::clicked, this, &TFilterForm::EventOnGateway);
    connect(ui.m_Custom, &QRadioButton::clicked, this, &TFilterForm::EventOnCustom);
    connect(ui.m_CustomRange, &QCheckBox::clicked, this, &TFilterForm::EventOnCustom);
    connect(ui.m_CustomIp, &QLineEdit::textChanged, this, &TFilterForm::EventOnCustom);
    connect(ui.m_CustomMask, &QLineEdit::textChanged, this, &TFilterForm::EventOnCustom);
    connect(ui.m_CustomBegin, &QLineEdit::textChanged, this, &TFilterForm::EventOnCustomBeginChanged);
    connect(ui.m_CustomEnd, &QLineEdit::textChanged, this, &TFilterForm::EventOnCustomEndChanged);
    connect(ui.m_CustomIp, &QLineEdit::editingFinished, this, [this] { Rewrite(m_Ui->m_CustomIp, m_EditAddress); });
    connect(ui.m_CustomMask, &QLineEdit::editingFinished, this, [this] { Rewrite(m_Ui->m_CustomMask, m_EditMask); });
    connect(ui.m_CustomBegin, &QLineEdit::editingFinished, this, [this] { Rewrite(m_Ui->m_CustomBegin, m_EditBegin); });
    connect(ui.m_CustomEnd, &QLineEdit::editingFinished, this, [this] { Rewrite(m_Ui->m_CustomEnd, m_EditEnd); });

    connect(ui.m_RemoteIp, &QLineEdit::textChanged, this, &TFilterForm::EventOnRemoteIpChanged);
    connect(ui.m_RemoteIpEnd, &QLineEdit::textChanged, this, [this] { m_RemoteEnd = HostAddressOf(m_Ui->m_RemoteIpEnd); });
    connect(ui.m_RemoteIp, &QLineEdit::editingFinished, this, [this] { Rewrite(m_Ui->m_RemoteIp, m_RemoteAddress); });
    connect(ui.m_RemoteIpEnd, &QLineEdit::editingFinished, this, [this] { Rewrite(m_Ui->m_RemoteIpEnd, m_RemoteEnd); });
    connect(ui.m_RemoteAdd, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteAdd);
    connect(ui.m_RemoteAddRange, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteAddRange);
    connect(ui.m_RemoteDelete, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteDelete);
    connect(ui.m_RemoteClear, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteClear);
    connect(ui.m_RemoteList, &QTreeWidget::itemSelectionChanged, this, &TFilterForm::UpdateEnabled);
    connect(header, &QHeaderView::sectionClicked, this, &TFilterForm::EventOnHeaderClicked);

    connect(ui.m_Remote, &QPushButton::clicked, this, [this] {
        m_Folded = !m_Folded;
        ApplyFold();
    });
    connect(ui.m_Ok, &QPushButton::clicked, this, &TFilterForm::EventOnOk);
    connect(ui.m_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    PrepareShow();
    // Measured with both panels in place, so folding changes the width only.
    m_Height = sizeHint().height();
    ApplyFold();
}

TFilterForm::~TFilterForm() = default;

int TFilterForm::ShowModal()
{
    return exec();
}

void TFilterForm::ApplySettings(const Filter::TFilterSettings& settings)
{
    m_Settings = settings;
    PrepareShow();
}

void TFilterForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        PrepareShow();
    QDialog::showEvent(event);
}

void TFilterForm::PrepareShow()
{
    auto& ui = *m_Ui;
    const auto& subnets = m_Settings.LocalSubnets;
    const bool haveSubnets = !subnets.empty();

    int found = -1;
    {
        const QSignalBlocker block(ui.m_SubnetCombo);
        ui.m_SubnetCombo->clear();
        for (std::size_t i = 0; i < subnets.size(); ++i) {
            ui.m_SubnetCombo->addItem(SubnetText(subnets[i]));
            if (found < 0 && subnets[i] == TIpMask{m_Settings.Address, m_Settings.Mask})
                found = int(i);
        }
        ui.m_SubnetCombo->setCurrentIndex(0);
    }
    ui.m_Subnet->setEnabled(haveSubnets);
    ui.m_Gateway->setEnabled(haveSubnets);
    ui.m_GatewayLabel->setText(haveSubnets ? ui.m_SubnetCombo->itemText(0)
                                           : QStringLiteral("No networking or fetch subnets failed!"));

    Rewrite(ui.m_CustomIp, m_Settings.Address);
    Rewrite(ui.m_CustomMask, m_Settings.Mask);
    Rewrite(ui.m_CustomBegin, m_Settings.RangeBegin);
    Rewrite(ui.m_CustomEnd, m_Settings.RangeEnd);

    const auto applySubnet = [this](const TIpMask& subnet) {
        m_Settings.Address = subnet.Address;
        m_Settings.Mask = subnet.Mask;
        m_Settings.RangeBegin = subnet.Address & subnet.Mask;
        m_Settings.RangeEnd = subnet.Address | ~subnet.Mask;
    };
    const uint8_t method = m_Settings.Method;
    if (method == Filter::fmLocalSubnet && found >= 0) {
        ui.m_Subnet->setChecked(true);
        {
            const QSignalBlocker block(ui.m_SubnetCombo);
            ui.m_SubnetCombo->setCurrentIndex(found);
        }
        applySubnet(subnets[std::size_t(found)]);
        EventOnSubnet();
    } else if ((method == Filter::fmLocalSubnet || method == Filter::fmPrimaryInterface) && haveSubnets) {
        ui.m_Gateway->setChecked(true);
        m_Settings.Method = Filter::fmPrimaryInterface;
        applySubnet(subnets.front());
        EventOnGateway();
    } else {
        ui.m_Custom->setChecked(true);
        m_Settings.Method = Filter::fmCustomize;
        const uint32_t address = m_Settings.Address, mask = m_Settings.Mask;
        ui.m_CustomRange->setChecked(m_Settings.RangeBegin != (address & mask) ||
                                     m_Settings.RangeEnd != (address | ~mask));
        EventOnCustom();
    }

    ui.m_RemoteList->clear();
    m_Listed.clear();
    m_Sorted = false;
    m_SortColumn = rcDestination;
    m_SortOrder = Qt::AscendingOrder;
    ui.m_RemoteList->header()->setSortIndicatorShown(false);
    for (const auto& entry : m_Settings.Unicast)
        AddRows(entry.Address, entry.Address);
    UpdateEnabled();
}

Filter::TMethod TFilterForm::CurrentMethod() const
{
    if (m_Ui->m_Subnet->isChecked())
        return Filter::fmLocalSubnet;
    if (m_Ui->m_Gateway->isChecked())
        return Filter::fmPrimaryInterface;
    return Filter::fmCustomize;
}

void TFilterForm::UpdateEnabled()
{
    auto& ui = *m_Ui;
    const Filter::TMethod method = CurrentMethod();
    const bool custom = method == Filter::fmCustomize;
    const bool customRange = custom && ui.m_CustomRange->isChecked();

    const auto enable = [](std::initializer_list<QWidget*> widgets, bool enabled) {
        for (QWidget* widget : widgets)
            widget->setEnabled(enabled);
    };
    enable({ui.m_SubnetLabel, ui.m_SubnetCombo}, method == Filter::fmLocalSubnet);
    enable({ui.m_GatewayLabel}, method == Filter::fmPrimaryInterface);
    enable({ui.m_CustomIpLabel, ui.m_CustomIp, ui.m_CustomMaskLabel, ui.m_CustomMask, ui.m_CustomRange}, custom);
    enable({ui.m_CustomBeginLabel, ui.m_CustomBegin, ui.m_CustomEndLabel, ui.m_CustomEnd}, customRange);
    // Listed entries stay and keep taking part in discovery under every method.
    enable({ui.m_RemoteIpLabel, ui.m_RemoteIp, ui.m_RemoteAdd, ui.m_RemoteIpEndLabel, ui.m_RemoteIpEnd,
            ui.m_RemoteAddRange, ui.m_RemoteList},
           custom);
    ui.m_RemoteClear->setEnabled(custom && ui.m_RemoteList->topLevelItemCount() > 0);
    ui.m_RemoteDelete->setEnabled(custom && !ui.m_RemoteList->selectedItems().isEmpty());
}

void TFilterForm::ApplyFold()
{
    auto& ui = *m_Ui;
    ui.m_Remote->setText(m_Folded ? QStringLiteral("Re&mote >>") : QStringLiteral("Re&mote <<"));
    ui.m_RemotePanel->setVisible(!m_Folded);
    ui.m_RemotePanel->setEnabled(!m_Folded);
    setFixedSize(m_Folded ? FoldedWidth : UnfoldedWidth, m_Height);
}

void TFilterForm::SetEditedSubnet(const TIpMask& subnet)
{
    m_EditAddress = subnet.Address;
    m_EditMask = subnet.Mask;
    m_EditBegin = subnet.Address & subnet.Mask;
    m_EditEnd = subnet.Address | ~subnet.Mask;
}

void TFilterForm::EventOnSubnet()
{
    const int index = m_Ui->m_SubnetCombo->currentIndex();
    if (index < 0 || std::size_t(index) >= m_Settings.LocalSubnets.size())
        return;
    m_Ui->m_Subnet->setChecked(true);
    SetEditedSubnet(m_Settings.LocalSubnets[std::size_t(index)]);
    UpdateEnabled();
}

void TFilterForm::EventOnGateway()
{
    if (m_Settings.LocalSubnets.empty())
        return;
    m_Ui->m_Gateway->setChecked(true);
    SetEditedSubnet(m_Settings.LocalSubnets.front());
    UpdateEnabled();
}

void TFilterForm::EventOnCustom()
{
    auto& ui = *m_Ui;
    const bool customRange = ui.m_CustomRange->isChecked();
    m_EditAddress = HostAddressOf(ui.m_CustomIp);
    m_EditMask = MaskOf(ui.m_CustomMask);
    Filter::NormalizeCustomBegin(m_EditAddress, m_EditMask, customRange, HostAddressOf(ui.m_CustomBegin), m_EditBegin);
    Filter::NormalizeCustomEnd(m_EditAddress, m_EditMask, customRange, m_EditBegin, HostAddressOf(ui.m_CustomEnd),
                               m_EditEnd);
    Rewrite(ui.m_CustomBegin, m_EditBegin);
    Rewrite(ui.m_CustomEnd, m_EditEnd);
    UpdateEnabled();
}

void TFilterForm::EventOnCustomBeginChanged()
{
    Filter::NormalizeCustomBegin(m_EditAddress, m_EditMask, m_Ui->m_CustomRange->isChecked(),
                                 HostAddressOf(m_Ui->m_CustomBegin), m_EditBegin);
}

void TFilterForm::EventOnCustomEndChanged()
{
    Filter::NormalizeCustomEnd(m_EditAddress, m_EditMask, m_Ui->m_CustomRange->isChecked(), m_EditBegin,
                               HostAddressOf(m_Ui->m_CustomEnd), m_EditEnd);
}

void TFilterForm::EventOnRemoteIpChanged()
{
    m_RemoteAddress = HostAddressOf(m_Ui->m_RemoteIp);
    // Not blocked: the end field converts its new text like a typed one.
    m_Ui->m_RemoteIpEnd->setText(AddressText(Filter::RangeEndPreset(m_RemoteAddress)));
}

void TFilterForm::EventOnRemoteAdd()
{
    if (m_RemoteAddress == 0) {
        Dialogs::Error(this, QStringLiteral("Invalid IP address!"));
        return;
    }
    AddRows(m_RemoteAddress, m_RemoteAddress);
}

void TFilterForm::EventOnRemoteAddRange()
{
    // Each row costs a route lookup and a discovery request; tens of thousands would
    // freeze the console, so a range is at most a /20.
    if (m_RemoteAddress == 0 || m_RemoteEnd == 0 || m_RemoteEnd < m_RemoteAddress ||
        m_RemoteEnd - m_RemoteAddress >= MaxRemoteRange) {
        Dialogs::Error(this, QStringLiteral("Invalid IP range!"));
        return;
    }
    if (m_RemoteEnd - m_RemoteAddress >= 64 &&
        !Dialogs::Confirm(this, QStringLiteral("You are going to add more then 64 unicast discovery entries, which might cause "
                            "great performance drop.\n\nAre you sure to do this?")))
        return;
    AddRows(m_RemoteAddress, m_RemoteEnd);
}

void TFilterForm::AddRows(uint32_t first, uint32_t last)
{
    QList<QTreeWidgetItem*> rows;
    for (uint64_t next = first; next <= last; ++next) {
        const auto address = uint32_t(next);
        if (m_Listed.contains(address))
            continue;
        m_Listed.insert(address);
        uint32_t nextHop = 0;
        int interfaceIndex = 0;
        std::string interfaceName;
        if (m_RouteLookup && m_RouteLookup(address, nextHop, interfaceIndex, interfaceName)) {
            rows << new TRemoteItem(address, nextHop, uint32_t(interfaceIndex),
                                    {AddressText(address), AddressText(nextHop), QString::fromStdString(interfaceName)});
        } else {
            const QString invalid = QStringLiteral("(Invalid)");
            rows << new TRemoteItem(address, AllBits, AllBits, {AddressText(address), invalid, invalid});
        }
    }
    m_Ui->m_RemoteList->addTopLevelItems(rows);
    ResortRows();
    UpdateEnabled();
}

void TFilterForm::ResortRows()
{
    if (m_Sorted)
        m_Ui->m_RemoteList->sortItems(m_SortColumn, m_SortOrder);
}

void TFilterForm::EventOnRemoteDelete()
{
    const auto selected = m_Ui->m_RemoteList->selectedItems();
    for (QTreeWidgetItem* item : selected) {
        m_Listed.remove(static_cast<TRemoteItem*>(item)->Address);
        delete item;
    }
    UpdateEnabled();
}

void TFilterForm::EventOnRemoteClear()
{
    m_Ui->m_RemoteList->clear();
    m_Listed.clear();
    UpdateEnabled();
}

void TFilterForm::EventOnHeaderClicked(int column)
{
    if (column == m_SortColumn) {
        m_SortOrder = m_SortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        m_SortColumn = column;
        m_SortOrder = Qt::AscendingOrder;
    }
    m_Sorted = true;
    m_Ui->m_RemoteList->header()->setSortIndicatorShown(true);
    ResortRows();
}

void TFilterForm::EventOnOk()
{
    m_Settings.Method = CurrentMethod();
    m_Settings.Address = m_EditAddress;
    m_Settings.Mask = m_EditMask;
    m_Settings.RangeBegin = m_EditBegin;
    m_Settings.RangeEnd = m_EditEnd;
    m_Settings.Unicast.clear();
    const auto& list = *m_Ui->m_RemoteList;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        m_Settings.Unicast.push_back({static_cast<const TRemoteItem*>(list.topLevelItem(i))->Address, AllBits});
    accept();
}
