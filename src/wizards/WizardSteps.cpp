#include "WizardSteps.h"

#include "ui/Images.h"
#include "core/Device.h"

#include <QAbstractButton>
#include <QHash>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int MacRole = Qt::UserRole;
constexpr int TypeRole = Qt::UserRole + 1;
const QString NextCaption = QStringLiteral("&Next");

enum { stIntro, stDevices, stSettings };

} // namespace

void TWizardStepsFrame::SetControls(const TControls& controls)
{
    m_Controls = controls;
    const TControls& c = m_Controls;
    c.Logo->setPixmap(WizardLogo());
    c.Prev->setIcon(Icon(TImage::Previous));
    c.Next->setIcon(Icon(TImage::Next));
    c.Select->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    c.SelectAll->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    c.Unselect->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    c.UnselectAll->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    // Wide enough for a model's description, a MAC and an address in full.
    const QHash<QString, int> widths = {{"Model", 230}, {"MAC", 140}, {"Kernel Ver.", 90}, {"Firmware Ver.", 100}};
    for (QTreeWidget* list : {c.ToSelect, c.Selected, c.Preview}) {
        list->setUniformRowHeights(true);
        for (int column = 0; column < list->columnCount(); ++column)
            list->setColumnWidth(column, widths.value(list->headerItem()->text(column), 115));
    }

    connect(c.Prev, &QPushButton::clicked, this, &TWizardStepsFrame::EventOnPrev);
    connect(c.Next, &QPushButton::clicked, this, &TWizardStepsFrame::EventOnNext);
    connect(c.ToSelect, &QTreeWidget::itemSelectionChanged, this, &TWizardStepsFrame::UpdateListButtons);
    connect(c.Selected, &QTreeWidget::itemSelectionChanged, this, &TWizardStepsFrame::UpdateListButtons);
    connect(c.Select, &QAbstractButton::clicked, this, [this] { Move(m_Controls.ToSelect, m_Controls.Selected, true); });
    connect(c.Unselect, &QAbstractButton::clicked, this,
            [this] { Move(m_Controls.Selected, m_Controls.ToSelect, false); });
    connect(c.SelectAll, &QAbstractButton::clicked, this, [this] {
        m_Controls.ToSelect->selectAll();
        if (m_Controls.Select->isEnabled())
            Move(m_Controls.ToSelect, m_Controls.Selected, true);
    });
    connect(c.UnselectAll, &QAbstractButton::clicked, this, [this] {
        m_Controls.Selected->selectAll();
        Move(m_Controls.Selected, m_Controls.ToSelect, false);
    });
    ShowStep(stIntro);
    UpdateListButtons();
}

int TWizardStepsFrame::Step() const { return m_Controls.Steps ? m_Controls.Steps->currentIndex() : stIntro; }

bool TWizardStepsFrame::IsBusy() const { return Step() == stSettings && !m_Controls.Prev->isEnabled(); }

void TWizardStepsFrame::Notify(TDevice*, uint16_t code, uint16_t)
{
    if (code == ncDeviceRemoved && IsBusy()) {
        for (QTreeWidgetItem* row : PreviewRows())
            if (IsWaiting(row) && !Registry::Find(MacOf(row), false))
                FailForgotten(row);
        FinishWhenDone();
    }
    show();
}

bool TWizardStepsFrame::Hide(bool force)
{
    if (!force && IsBusy())
        return false;
    SetBusy(false);
    while (Step() != stIntro)
        EventOnPrev();
    hide();
    return true;
}

void TWizardStepsFrame::EventOnPrev()
{
    if (Step() == stDevices)
        ShowStep(stIntro);
    else if (Step() == stSettings)
        ShowStep(stDevices);
}

void TWizardStepsFrame::EventOnNext()
{
    switch (Step()) {
    case stIntro: EnterDevices(); break;
    case stDevices: EnterSettings(); break;
    default: Act(); break;
    }
}

void TWizardStepsFrame::EnterDevices()
{
    m_Controls.ToSelect->clear();
    m_Controls.Selected->clear();
    std::vector<TDevice*> devices;
    if (TPageContext* callback = Context())
        callback->GetAllDevices(devices);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(qsizetype(devices.size()));
    for (TDevice* device : devices) {
        if (!Offers(*device))
            continue;
        auto* row = new QTreeWidgetItem;
        FillRow(row, *device);
        row->setData(0, MacRole, QByteArray(reinterpret_cast<const char*>(device->Mac().Data()), 6));
        row->setData(0, TypeRole, device->Type());
        rows.append(row);
    }
    m_Controls.ToSelect->addTopLevelItems(rows);
    ShowStep(stDevices);
}

void TWizardStepsFrame::EnterSettings()
{
    QTreeWidget* preview = m_Controls.Preview;
    preview->clear();
    QList<QTreeWidgetItem*> rows;
    const int columns = m_Controls.Selected->columnCount();
    for (int i = 0; i < m_Controls.Selected->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* chosen = m_Controls.Selected->topLevelItem(i);
        auto* row = new QTreeWidgetItem;
        for (int column = 0; column < columns; ++column)
            row->setText(column, chosen->text(column));
        row->setData(0, MacRole, chosen->data(0, MacRole));
        row->setData(0, TypeRole, chosen->data(0, TypeRole));
        rows.append(row);
    }
    preview->addTopLevelItems(rows);
    ShowStep(stSettings);
    ApplySettingsRules();
}

void TWizardStepsFrame::ShowStep(int step)
{
    m_Controls.Steps->setCurrentIndex(step);
    m_Controls.Prev->setEnabled(step != stIntro);
    m_Controls.Next->setText(step == stSettings ? m_Controls.ActionCaption : NextCaption);
    m_Controls.Next->setEnabled(true);
    if (step == stDevices)
        UpdateListButtons();
}

void TWizardStepsFrame::UpdateListButtons()
{
    const TControls& c = m_Controls;
    c.Select->setEnabled(c.ToSelect->selectionModel()->hasSelection());
    c.Unselect->setEnabled(c.Selected->selectionModel()->hasSelection());
    c.SelectAll->setEnabled(c.ToSelect->topLevelItemCount() > 0);
    c.UnselectAll->setEnabled(c.Selected->topLevelItemCount() > 0);
    if (Step() == stDevices)
        c.Next->setEnabled(c.Selected->topLevelItemCount() > 0);
}

void TWizardStepsFrame::Move(QTreeWidget* from, QTreeWidget* to, bool checked)
{
    QModelIndexList picked = from->selectionModel()->selectedRows();
    if (picked.isEmpty())
        return;
    std::ranges::sort(picked, {}, &QModelIndex::row);
    QList<QTreeWidgetItem*> highlighted;
    for (const QModelIndex& index : picked)
        highlighted.append(from->topLevelItem(index.row()));
    if (checked && !MayChoose(highlighted))
        return;

    // One removal and one insertion per list, however many rows move.
    std::vector<bool> moves(size_t(from->topLevelItemCount()), false);
    for (const QModelIndex& index : picked)
        moves[size_t(index.row())] = true;
    QList<QTreeWidgetItem*> all = from->invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> kept, moved;
    for (qsizetype i = all.size() - 1; i >= 0; --i)
        if (moves[size_t(i)])
            moved.append(all[i]);
    for (qsizetype i = 0; i < all.size(); ++i)
        if (!moves[size_t(i)])
            kept.append(all[i]);
    from->addTopLevelItems(kept);
    to->clearSelection();
    const int first = to->topLevelItemCount();
    to->addTopLevelItems(moved);
    QAbstractItemModel* model = to->model();
    to->selectionModel()->select(
        QItemSelection(model->index(first, 0), model->index(first + int(moved.size()) - 1, to->columnCount() - 1)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    UpdateListButtons();
}

void TWizardStepsFrame::SetActionEnabled(bool on) { m_Controls.Next->setEnabled(on); }

void TWizardStepsFrame::SetBusy(bool busy)
{
    m_Controls.Prev->setEnabled(!busy && Step() != stIntro);
    m_Controls.Settings->setEnabled(!busy);
    if (!busy && Step() == stSettings)
        ApplySettingsRules();
    else if (busy)
        m_Controls.Next->setEnabled(false);
}

void TWizardStepsFrame::FinishWhenDone()
{
    if (!IsBusy())
        return;
    const QList<QTreeWidgetItem*> rows = PreviewRows();
    if (std::ranges::none_of(rows, [this](const QTreeWidgetItem* row) { return IsWaiting(row); }))
        SetBusy(false);
}

QList<QTreeWidgetItem*> TWizardStepsFrame::PreviewRows() const
{
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < m_Controls.Preview->topLevelItemCount(); ++i)
        rows.append(m_Controls.Preview->topLevelItem(i));
    return rows;
}

void TWizardStepsFrame::SetEnabled(std::initializer_list<QWidget*> widgets, bool on)
{
    for (QWidget* widget : widgets)
        widget->setEnabled(on);
}

TMacAddr TWizardStepsFrame::MacOf(const QTreeWidgetItem* row)
{
    QByteArray bytes = row->data(0, MacRole).toByteArray();
    return bytes.size() == 6 ? TMacAddr(reinterpret_cast<const uint8_t*>(bytes.constData())) : TMacAddr();
}

int TWizardStepsFrame::TypeOf(const QTreeWidgetItem* row) { return row->data(0, TypeRole).toInt(); }

QTreeWidgetItem* TWizardStepsFrame::SelectedRowOf(const TMacAddr& mac) const
{
    for (int i = 0; i < m_Controls.Selected->topLevelItemCount(); ++i)
        if (MacOf(m_Controls.Selected->topLevelItem(i)) == mac)
            return m_Controls.Selected->topLevelItem(i);
    return nullptr;
}
