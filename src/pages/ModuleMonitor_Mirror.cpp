#include "ModuleMonitor_Mirror.h"

#include "ui_ModuleMonitor_Mirror.h"

#include "ui/Images.h"

#include <QHeaderView>

namespace {

constexpr int FlagRole = Qt::UserRole;
constexpr int PortBits = 32;

} // namespace

TModuleMonitorMirror::TModuleMonitorMirror(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Mirroring"), parent), m_Ui(std::make_unique<Ui::TModuleMonitorMirror>())
{
    m_Ui->setupUi(this);
    TListPage::StyleList(m_Ui->m_ListView);
    m_Ui->m_Clear->setIcon(Icon(TImage::Clear));
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_ListView, &QTreeWidget::itemSelectionChanged, this, &TModuleMonitorMirror::LoadRow);
    connect(m_Ui->m_ListView->header(), &QHeaderView::sectionClicked, this, &TModuleMonitorMirror::EventOnHeaderClick);
    for (auto [box, column] : {std::pair{m_Ui->m_SrcTx, int(colSrcTx)}, std::pair{m_Ui->m_SrcRx, int(colSrcRx)}}) {
        connect(box, &QCheckBox::clicked, this, [this, column](bool on) {
            const QList<QTreeWidgetItem*> rows = m_Ui->m_ListView->selectedItems();
            if (!rows.isEmpty())
                SetFlag(rows.first(), column, on);
        });
    }
    connect(m_Ui->m_Clear, &QPushButton::clicked, this, &TModuleMonitorMirror::EventOnClear);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleMonitorMirror::EventOnApply);
}

TModuleMonitorMirror::~TModuleMonitorMirror() = default;

bool TModuleMonitorMirror::Flag(const QTreeWidgetItem* row, int column) { return row->data(column, FlagRole).toBool(); }

void TModuleMonitorMirror::SetFlag(QTreeWidgetItem* row, int column, bool on)
{
    row->setData(column, FlagRole, on);
    row->setText(column, on ? QStringLiteral("Yes") : QString());
}

void TModuleMonitorMirror::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_ListView->setEnabled(on);
    m_Ui->m_ListView->clear();
    m_Ui->m_DestTx->clear();
    m_Ui->m_DestRx->clear();
    LoadRow();
}

void TModuleMonitorMirror::FillFrom(TDevice* device)
{
    const auto& mirror = Intp::GetProperty<Intp::TPropertyMonitorMirror>(*device);
    const int ports = device->PortCount();
    QList<QTreeWidgetItem*> rows;
    for (int port = 0; port < ports; ++port) {
        auto* row = new QTreeWidgetItem(QStringList(PortCaption(port)));
        row->setData(colPort, FlagRole, port);
        const uint32_t bit = uint32_t(1) << (port % PortBits);
        SetFlag(row, colSrcTx, mirror.Valid && (mirror.SrcTx & bit));
        SetFlag(row, colSrcRx, mirror.Valid && (mirror.SrcRx & bit));
        rows.append(row);
        m_Ui->m_DestTx->addItem(PortCaption(port));
        m_Ui->m_DestRx->addItem(PortCaption(port));
    }
    m_Ui->m_ListView->addTopLevelItems(rows);
    m_Ui->m_DestTx->setCurrentIndex(mirror.Valid ? mirror.DestTx : 0);
    m_Ui->m_DestRx->setCurrentIndex(mirror.Valid ? mirror.DestRx : 0);
}

void TModuleMonitorMirror::LoadRow()
{
    const QList<QTreeWidgetItem*> rows = m_Ui->m_ListView->selectedItems();
    const bool selected = !rows.isEmpty();
    m_Ui->m_SrcTx->setEnabled(selected);
    m_Ui->m_SrcRx->setEnabled(selected);
    m_Ui->m_SrcTx->setChecked(selected && Flag(rows.first(), colSrcTx));
    m_Ui->m_SrcRx->setChecked(selected && Flag(rows.first(), colSrcRx));
}

void TModuleMonitorMirror::EventOnHeaderClick(int column)
{
    QTreeWidget* list = m_Ui->m_ListView;
    if (column == colPort || list->topLevelItemCount() == 0)
        return;
    const bool on = !Flag(list->topLevelItem(0), column);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        SetFlag(list->topLevelItem(i), column, on);
    LoadRow();
}

void TModuleMonitorMirror::EventOnClear()
{
    QTreeWidget* list = m_Ui->m_ListView;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        SetFlag(list->topLevelItem(i), colSrcTx, false);
        SetFlag(list->topLevelItem(i), colSrcRx, false);
    }
    LoadRow();
}

void TModuleMonitorMirror::EventOnApply()
{
    Intp::TPropertyMonitorMirror mirror;
    mirror.DestRx = uint8_t(std::max(0, m_Ui->m_DestRx->currentIndex()));
    mirror.DestTx = uint8_t(std::max(0, m_Ui->m_DestTx->currentIndex()));
    QTreeWidget* list = m_Ui->m_ListView;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const uint32_t bit = uint32_t(1) << (i % PortBits);
        if (Flag(list->topLevelItem(i), colSrcRx))
            mirror.SrcRx |= bit;
        if (Flag(list->topLevelItem(i), colSrcTx))
            mirror.SrcTx |= bit;
    }
    StartOnSelection([&](TDevice*) { return new Intp::TSessionMonitorMirrorSet(mirror); });
}
