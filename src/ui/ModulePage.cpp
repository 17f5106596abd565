#include "ModulePage.h"

#include "net/AddressText.h"
#include "Images.h"
#include "core/Basics.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QTreeWidget>

TModulePage::TModulePage(QString caption, QWidget* parent) : QWidget(parent), m_Caption(std::move(caption))
{
    // The page area's "Retrieving devices info ..." label lies beneath the page; an opaque
    // page hides it while shown.
    setAutoFillBackground(true);
}

bool TModulePage::Hide(bool)
{
    hide();
    return true;
}

std::vector<TDevice*> TModulePage::SelectedDevices() const
{
    TPageContext* context = Context();
    return context ? context->SelectedDevices() : std::vector<TDevice*>();
}

TDevice* TModulePage::FirstSelected(int* count) const
{
    TDevice* device = nullptr;
    TPageContext* callback = Context();
    int n = callback ? callback->GetSelectedDevice(device) : 0;
    if (count)
        *count = n;
    return n ? device : nullptr;
}

void TModulePage::RebootSelected()
{
    StartOnSelection([](TDevice*) { return new Intp::TSessionBasicsReboot; });
}

// ---- pattern 1 and 2 -------------------------------------------------------------------

int TModuleGetPage::Refresh(bool)
{
    int started = 0;
    for (TDevice* device : SelectedDevices())
        started += StartGets(device);
    return started;
}

void TModuleGetPage::Notify(TDevice* device, uint16_t code, uint16_t)
{
    if (IsGetCommand(code)) {
        TPageContext* callback = Context();
        if (callback && callback->IsSelectedDevice(device))
            Redraw();
    } else if (code == ncSelect || code == ncDeviceRemoved) {
        Redraw();
    }
}

void TModuleGetPage::Redraw()
{
    hide();
    int count = 0;
    TDevice* device = FirstSelected(&count);
    EnableControls(count != 0);
    if (device)
        FillFrom(device);
    show();
}

void TModuleGetPage::EnableControls(bool on)
{
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(child) || qobject_cast<QLineEdit*>(child) || qobject_cast<QAbstractButton*>(child) ||
            qobject_cast<QAbstractSpinBox*>(child) || qobject_cast<QComboBox*>(child) || qobject_cast<QTextEdit*>(child))
            child->setEnabled(on);
    }
}

// ---- pattern 3 -------------------------------------------------------------------------

TModuleDeviceListPage::TModuleDeviceListPage(QString caption, QWidget* parent)
    : TModulePage(std::move(caption), parent)
{
}

void TModuleDeviceListPage::SetList(QTreeWidget* list)
{
    m_List = list;
    if (m_List->columnCount() < colStatus + 1)
        m_List->setColumnCount(colStatus + 1);
    m_List->setHeaderLabels({QStringLiteral("Model"), QStringLiteral("Kernel Ver."), QStringLiteral("Firmware Ver."),
                             QStringLiteral("MAC"), QStringLiteral("IP Address"), QStringLiteral("Status")});
    m_List->setRootIsDecorated(false);
    QHeaderView* header = m_List->header();
    header->setSectionsClickable(false);
    header->setStretchLastSection(true);
    // Wide enough for the model descriptions and MAC texts the switches report.
    static const int widths[] = {300, 80, 90, 140, 120};
    for (int column = colModel; column < colStatus; ++column)
        header->resizeSection(column, widths[column]);
}

QList<QTreeWidgetItem*> TModuleDeviceListPage::AllRows() const
{
    QList<QTreeWidgetItem*> rows;
    if (m_List)
        for (int i = 0; i < m_List->topLevelItemCount(); ++i)
            rows << m_List->topLevelItem(i);
    return rows;
}

TMacAddr TModuleDeviceListPage::MacOf(QTreeWidgetItem* row) const
{
    QByteArray bytes = row->data(colMac, Qt::UserRole).toByteArray();
    return bytes.size() == 6 ? TMacAddr(reinterpret_cast<const uint8_t*>(bytes.constData())) : TMacAddr();
}

int TModuleDeviceListPage::RowStateOf(QTreeWidgetItem* row)
{
    return row->data(colStatus, Qt::UserRole).toInt();
}

void TModuleDeviceListPage::ClearRowState(QTreeWidgetItem* row)
{
    row->setIcon(colStatus, QIcon());
    row->setData(colStatus, Qt::UserRole, -1);
}

bool TModuleDeviceListPage::IsRunning() const
{
    for (QTreeWidgetItem* row : AllRows())
        if (RowStateOf(row) == rsWaiting)
            return true;
    return false;
}

void TModuleDeviceListPage::RebuildRows()
{
    if (!m_List)
        return;
    m_List->clear();
    m_Rows.clear();
    for (TDevice* device : SelectedDevices()) {
        if (!device->IsLoggedIn())
            continue;
        auto* row = new QTreeWidgetItem(m_List);
        row->setText(colModel, QString::fromStdString(device->TypeDescription()));
        row->setText(colMac, MacText(device->Mac()));
        row->setData(colMac, Qt::UserRole, QByteArray(reinterpret_cast<const char*>(device->Mac().Data()), 6));
        row->setText(colAddress, AddressText(device->Address()));
        ClearRowState(row);
        ShowVersions(row, *device);
        m_Rows.insert(device->Mac(), row);
    }
}

void TModuleDeviceListPage::Notify(TDevice*, uint16_t code, uint16_t)
{
    if (code != ncSelect && code != ncDeviceRemoved)
        return;
    if (IsRunning()) {
        // A destroyed device's session ends without a report, so its row would wait for
        // ever and the page could never be left.
        for (QTreeWidgetItem* row : AllRows())
            if (RowStateOf(row) == rsWaiting && !Registry::Find(MacOf(row), false))
                SetRowState(row, rsNoDevice);
        if (!IsRunning())
            OnFinished();
        return;
    }
    RebuildRows();
    show();
}

bool TModuleDeviceListPage::Hide(bool force)
{
    if (!force && IsRunning())
        return false;
    hide();
    return true;
}

int TModuleDeviceListPage::Refresh(bool current)
{
    if (!current)
        return 0;
    for (TDevice* device : SelectedDevices())
        Intp::StartNew<Intp::TSessionBasicsSettingsGet>(device, this);
    return 0;
}

void TModuleDeviceListPage::OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data)
{
    if (!device)
        return;
    if (command == Intp::TSessionBasicsSettingsGet::Command) {
        QTreeWidgetItem* row = m_Rows.value(device->Mac());
        if (!row)
            return;
        ShowVersions(row, *device);
        return;
    }
    bool wasRunning = IsRunning();
    OnOperationResult(device, command, status, data);
    if (wasRunning && !IsRunning())
        OnFinished();
}

void TModuleDeviceListPage::ShowVersions(QTreeWidgetItem* row, TDevice& device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsSettings>(device);
    row->setText(colKernel, record.Valid ? VersionText(record.KernelVersion) : QStringLiteral("Invalid"));
    row->setText(colFirmware, record.Valid ? VersionText(record.FirmwareVersion) : QStringLiteral("Invalid"));
}

void TModuleDeviceListPage::OnOperationResult(TDevice* device, uint16_t, uint16_t status, const Intp::TResultData&)
{
    if (QTreeWidgetItem* row = m_Rows.value(device->Mac()))
        SetRowState(row, status == Intp::stSuccess ? rsDone : status == Intp::stTimeout ? rsTimeout : rsError, status);
}

void TModuleDeviceListPage::SetRowState(QTreeWidgetItem* row, TRowState state, uint16_t status)
{
    static const int images[] = {0, 1, 2, 3, 2, 2, 2, 4, 2};
    QString text;
    switch (state) {
    case rsWaiting: text = WaitingText(); break;
    case rsDone: text = QStringLiteral("Done"); break;
    case rsError: text = StatusText(status); break;
    case rsTimeout: text = QStringLiteral("Timeout"); break;
    case rsNotStarted: text = QStringLiteral("Fail to send request"); break;
    case rsNoMemory: text = QStringLiteral("Memory insufficient"); break;
    case rsNoDevice: text = QStringLiteral("Initialize Error"); break;
    case rsWritingFlash: text = QStringLiteral("Writing flash"); break;
    case rsFailed: text = QStringLiteral("Error"); break;
    }
    row->setText(colStatus, text);
    row->setIcon(colStatus, RowImage(images[state]));
    row->setData(colStatus, Qt::UserRole, int(state));
}
