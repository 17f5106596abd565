#include "ModuleMonitor_Mac.h"

#include "ui_ModuleMonitor_Mac.h"

#include "SecurityLists.h"
#include "ui/Images.h"
#include "core/Port.h"
#include "ui/PortTexts.h"

#include <QHeaderView>


TModuleMonitorMac::TModuleMonitorMac(QWidget* parent)
    : TModuleGetPage(QStringLiteral("MAC Address Table"), parent), m_Ui(std::make_unique<Ui::TModuleMonitorMac>()),
      m_Model(new TReportModel({QString(), QStringLiteral("MAC Address"), QStringLiteral("Type")}, this))
{
    m_Ui->setupUi(this);
    m_Ui->m_List->setModel(m_Model);
    m_Ui->m_List->setRootIsDecorated(false);
    m_Ui->m_List->setUniformRowHeights(true);
    m_Ui->m_List->setAlternatingRowColors(true);
    m_Ui->m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_Ui->m_List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView* header = m_Ui->m_List->header();
    header->resizeSection(colNumber, 60);
    header->resizeSection(colMac, 180);
    // Each column keeps its own direction, the first click ascending.
    m_Model->SetOrderPerColumn();
    m_Model->FollowHeader(header);
    m_Ui->m_Clear->setIcon(Icon(TImage::Clear));
    connect(m_Ui->m_Clear, &QPushButton::clicked, this, [this] {
        StartOnSelection([](TDevice*) { return new Intp::TSessionMonitorMacClear; });
    });
    connect(m_Ui->m_Port, &QComboBox::currentIndexChanged, this, &TModuleMonitorMac::ShowPort);
}

TModuleMonitorMac::~TModuleMonitorMac() = default;

int TModuleMonitorMac::Refresh(bool current)
{
    if (!current)
        return TModuleGetPage::Refresh(current);
    int started = 0;
    for (TDevice* device : SelectedDevices())
        started += Intp::StartNew<Intp::TSessionPortNameGet>(device, nullptr) ? 1 : 0;
    return started;
}

int TModuleMonitorMac::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionMonitorMacGet>(device, nullptr) ? 1 : 0;
}

template <typename G>
void TModuleMonitorMac::Continue(TDevice* device, bool valid)
{
    if (valid && Intp::StartNew<G>(device, nullptr))
        return;
    TPageContext* callback = Context();
    if (callback && callback->IsSelectedDevice(device))
        Redraw();
}

void TModuleMonitorMac::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    if (device && code == Intp::TSessionPortNameGet::Command)
        Continue<Intp::TSessionPortConfigGet>(device, Intp::GetProperty<Intp::TPropertyPortName>(*device).Valid);
    else if (device && code == Intp::TSessionPortConfigGet::Command)
        Continue<Intp::TSessionMonitorMacGet>(device, Intp::GetProperty<Intp::TPropertyPortConfig>(*device).Valid);
    else
        TModuleGetPage::Notify(device, code, status);
}

bool TModuleMonitorMac::Hide(bool force)
{
    m_Model->SetRows({});
    m_Ui->m_Port->clear();
    return TModuleGetPage::Hide(force);
}

void TModuleMonitorMac::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_List->setEnabled(on);
    const QSignalBlocker quiet(m_Ui->m_Port);
    m_Ui->m_Port->clear();
    m_Model->SetRows({});
    m_Ui->m_Dynamic->setText(QStringLiteral("0"));
    m_Ui->m_Static->setText(QStringLiteral("0"));
}

void TModuleMonitorMac::FillFrom(TDevice* device)
{
    const auto& names = Intp::GetProperty<Intp::TPropertyPortName>(*device);
    const auto& config = Intp::GetProperty<Intp::TPropertyPortConfig>(*device);
    if (!names.Valid || !config.Valid)
        return;
    const QSignalBlocker quiet(m_Ui->m_Port);
    for (const Intp::TPortConfigEntry& entry : config.Entries)
        m_Ui->m_Port->addItem(PortName(names, entry.Port), entry.Port);
    m_Ui->m_Port->setCurrentIndex(0);
    ShowPort();
}

void TModuleMonitorMac::ShowPort()
{
    m_Model->SetRows({});
    TDevice* device = FirstSelected();
    if (!device)
        return;
    const auto& table = Intp::GetProperty<Intp::TPropertyMonitorMac>(*device);
    if (!table.Valid || m_Ui->m_Port->currentIndex() < 0)
        return;
    const int port = m_Ui->m_Port->currentData().toInt();
    std::vector<TReportModel::TRow> rows;
    int statics = 0;
    for (const Intp::TPropertyMonitorMacEntry& entry : table.Entries) {
        if (entry.Port != port)
            continue;
        rows.push_back({TReportModel::Number(rows.size() + 1), {MacText(entry.Mac)},
                        {entry.Static ? QStringLiteral("Static") : QStringLiteral("Dynamic")}});
        statics += entry.Static ? 1 : 0;
    }
    m_Ui->m_Dynamic->setText(QString::number(int(rows.size()) - statics));
    m_Ui->m_Static->setText(QString::number(statics));
    m_Model->SetRows(std::move(rows));
}
