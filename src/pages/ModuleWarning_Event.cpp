#include "ModuleWarning.h"

#include "ui_ModuleWarning_Event.h"

#include "ui/Images.h"

#include <QHeaderView>

namespace {

constexpr int KeyRole = Qt::UserRole;     // of the caption: the event's bit or the port's index
constexpr int ValueRole = Qt::UserRole;   // of a path's column: the drop-down's item index
constexpr unsigned LinkUp = 1;
constexpr unsigned LinkDown = 2;
enum TPath { pathSyslog, pathSmtp };
enum TPartIndex { partSystem, partPort };

uint32_t Bit(unsigned index) { return uint32_t(1) << (index % 32); }

const QString& EventName(int event)
{
    static const QString names[TModuleWarningEvent::seCount] = {
        QStringLiteral("System Cold Start"), QStringLiteral("Power Status"),
        QStringLiteral("SNMP Authentication Failure"), QStringLiteral("Vantor Ring Topology Change")};
    return names[event];
}

// The port row's value: bit 0 link up, bit 1 link down.
unsigned PortValue(uint32_t upMask, uint32_t downMask, int port)
{
    return ((upMask & Bit(unsigned(port))) ? LinkUp : 0) | ((downMask & Bit(unsigned(port))) ? LinkDown : 0);
}

} // namespace

TModuleWarningEvent::TModuleWarningEvent(QWidget* parent)
    : TModulePage(QStringLiteral("Event Settings"), parent), m_Ui(std::make_unique<Ui::TModuleWarningEvent>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    m_Parts[partSystem] = {m_Ui->m_SysList, {m_Ui->m_SysSyslog, m_Ui->m_SysSmtp}, {m_Ui->m_SysSyslogLabel, m_Ui->m_SysSmtpLabel}};
    m_Parts[partPort] = {m_Ui->m_PortList, {m_Ui->m_PortSyslog, m_Ui->m_PortSmtp}, {m_Ui->m_PortSyslogLabel, m_Ui->m_PortSmtpLabel}};
    for (TPart& part : m_Parts) {
        TListPage::StyleList(part.List);
        part.List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        connect(part.List, &QTreeWidget::itemSelectionChanged, this, [this, &part] { LoadRow(part); });
        connect(part.List->header(), &QHeaderView::sectionClicked, this,
                [this, &part](int column) { EventOnHeaderClick(part, column); });
        for (int path : {pathSyslog, pathSmtp}) {
            connect(part.Boxes[path], &QComboBox::currentIndexChanged, this, [this, &part, path](int index) {
                const QList<QTreeWidgetItem*> rows = part.List->selectedItems();
                if (!m_Loading && index >= 0 && !rows.isEmpty())
                    SetValue(part, rows.first(), colSyslog + path, unsigned(index));
            });
        }
    }
    m_Ui->m_Splitter->setStretchFactor(1, 1);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleWarningEvent::EventOnApply);
}

TModuleWarningEvent::~TModuleWarningEvent() = default;

int TModuleWarningEvent::Refresh(bool current)
{
    int started = 0;
    for (TDevice* device : SelectedDevices()) {
        const bool ok = current ? Intp::StartNew<Intp::TSessionWarningSmtpGet>(device, nullptr)
                                : Intp::StartNew<Intp::TSessionWarningEventGet>(device, nullptr);
        started += ok ? 1 : 0;
    }
    return started;
}

bool TModuleWarningEvent::IsFirstSelected(TDevice* device) const { return device && device == FirstSelected(); }

// SMTP settings, then syslog settings, then the events: each step waits for the one before.
void TModuleWarningEvent::Notify(TDevice* device, uint16_t code, uint16_t)
{
    bool next = false;
    switch (code) {
    case ncSelect:
    case ncDeviceRemoved:
        Redraw();
        return;
    case Intp::TSessionWarningSmtpGet::Command:
        next = Intp::GetProperty<Intp::TPropertyWarningSmtp>(*device).Valid &&
               Intp::StartNew<Intp::TSessionWarningSyslogGet>(device, nullptr);
        break;
    case Intp::TSessionWarningSyslogGet::Command:
        next = Intp::GetProperty<Intp::TPropertyWarningSyslog>(*device).Valid &&
               Intp::StartNew<Intp::TSessionWarningEventGet>(device, nullptr);
        break;
    case Intp::TSessionWarningEventGet::Command:
        break;
    default:
        return;
    }
    if (!next && IsFirstSelected(device))
        Redraw();
}

void TModuleWarningEvent::Redraw()
{
    hide();
    int count = 0;
    TDevice* device = FirstSelected(&count);
    m_Usable[pathSyslog] = m_Usable[pathSmtp] = false;
    for (TPart& part : m_Parts) {
        part.List->clear();
        part.List->setEnabled(count != 0);
        for (int path : {pathSyslog, pathSmtp}) {
            part.Boxes[path]->setEnabled(false);
            part.Labels[path]->setEnabled(false);
        }
    }
    m_Ui->m_SysTitle->setEnabled(count != 0);
    m_Ui->m_PortTitle->setEnabled(count != 0);
    m_Ui->m_Apply->setEnabled(false);
    if (device)
        FillFrom(device);
    show();
}

void TModuleWarningEvent::FillFrom(TDevice* device)
{
    const auto& syslog = Intp::GetProperty<Intp::TPropertyWarningSyslog>(*device);
    const auto& smtp = Intp::GetProperty<Intp::TPropertyWarningSmtp>(*device);
    m_Usable[pathSyslog] = syslog.Valid && syslog.Mode != Intp::smDisable;
    m_Usable[pathSmtp] = smtp.Valid && smtp.Enabled;
    m_Ui->m_Apply->setEnabled(m_Usable[pathSyslog] || m_Usable[pathSmtp]);

    Intp::TPropertyWarningEvent events = Intp::GetProperty<Intp::TPropertyWarningEvent>(*device);
    if (!events.Valid)
        events = Intp::TPropertyWarningEvent{};
    for (int event = 0; event < seCount; ++event) {
        if (m_SystemEvents & Bit(unsigned(event)))
            AddRow(m_Parts[partSystem], EventName(event), unsigned(event), (events.SyslogSystem & Bit(unsigned(event))) ? 1 : 0,
                   (events.SmtpSystem & Bit(unsigned(event))) ? 1 : 0);
    }
    for (int port = 0; port < device->PortCount(); ++port)
        AddRow(m_Parts[partPort], PortCaption(port), unsigned(port), PortValue(events.SyslogLinkUp, events.SyslogLinkDown, port),
               PortValue(events.SmtpLinkUp, events.SmtpLinkDown, port));
}

void TModuleWarningEvent::AddRow(TPart& part, const QString& caption, unsigned key, unsigned syslog, unsigned smtp)
{
    auto* row = new QTreeWidgetItem(part.List, QStringList(caption));
    row->setData(colCaption, KeyRole, key);
    SetValue(part, row, colSyslog, syslog);
    SetValue(part, row, colSmtp, smtp);
}

void TModuleWarningEvent::SetValue(const TPart& part, QTreeWidgetItem* row, int column, unsigned value)
{
    row->setData(column, ValueRole, value);
    row->setText(column, part.Boxes[column - colSyslog]->itemText(int(value)));
}

unsigned TModuleWarningEvent::Value(const QTreeWidgetItem* row, int column) { return row->data(column, ValueRole).toUInt(); }

void TModuleWarningEvent::LoadRow(TPart& part)
{
    const QList<QTreeWidgetItem*> rows = part.List->selectedItems();
    m_Loading = true;
    for (int path : {pathSyslog, pathSmtp}) {
        const bool on = !rows.isEmpty() && Usable(path);
        if (!rows.isEmpty())
            part.Boxes[path]->setCurrentIndex(int(Value(rows.first(), colSyslog + path)));
        part.Boxes[path]->setEnabled(on);
        part.Labels[path]->setEnabled(on);
    }
    m_Loading = false;
}

// Every row moves to the value after the first row's, round the drop-down's items.
void TModuleWarningEvent::EventOnHeaderClick(TPart& part, int column)
{
    if (column == colCaption || !Usable(column - colSyslog) || part.List->topLevelItemCount() == 0)
        return;
    const auto items = unsigned(part.Boxes[column - colSyslog]->count());
    const unsigned next = (Value(part.List->topLevelItem(0), column) + 1) % items;
    for (int i = 0; i < part.List->topLevelItemCount(); ++i)
        SetValue(part, part.List->topLevelItem(i), column, next);
    LoadRow(part);
}

void TModuleWarningEvent::EventOnApply()
{
    Intp::TPropertyWarningEvent events;
    const TPart& system = m_Parts[partSystem];
    for (int i = 0; i < system.List->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = system.List->topLevelItem(i);
        const uint32_t bit = Bit(row->data(colCaption, KeyRole).toUInt());
        events.SyslogSystem |= Value(row, colSyslog) ? bit : 0;
        events.SmtpSystem |= Value(row, colSmtp) ? bit : 0;
    }
    const TPart& ports = m_Parts[partPort];
    for (int i = 0; i < ports.List->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = ports.List->topLevelItem(i);
        const uint32_t bit = Bit(row->data(colCaption, KeyRole).toUInt());
        events.SyslogLinkUp |= (Value(row, colSyslog) & LinkUp) ? bit : 0;
        events.SyslogLinkDown |= (Value(row, colSyslog) & LinkDown) ? bit : 0;
        events.SmtpLinkUp |= (Value(row, colSmtp) & LinkUp) ? bit : 0;
        events.SmtpLinkDown |= (Value(row, colSmtp) & LinkDown) ? bit : 0;
    }
    StartOnSelection([&](TDevice*) { return new Intp::TSessionWarningEventSet(events); });
}
