#include "StatusModel.h"

#include "ui/Images.h"

#include <QBrush>

#include <algorithm>

namespace {

using Status::TStatusMonitor;

// The monitor's key bit behind a column's sort order; 0 for keys that never change.
uint32_t KeyOf(int column)
{
    switch (column) {
    case TStatusModel::colIp: return TStatusMonitor::keyReference;
    case TStatusModel::colTime: return TStatusMonitor::keyReported;
    case TStatusModel::colStatus: return TStatusMonitor::keyStatus;
    default: return 0;
    }
}

template <typename T>
int Compare(const T& a, const T& b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

} // namespace

TStatusModel::TStatusModel(TStatusMonitor& monitor, QObject* parent) : QAbstractTableModel(parent), m_Monitor(monitor)
{
    m_FlushTimer.setSingleShot(true);
    m_FlushTimer.setInterval(0);
    connect(&m_FlushTimer, &QTimer::timeout, this, &TStatusModel::Flush);
    connect(&monitor, &TStatusMonitor::RowAdded, this, &TStatusModel::FlushLater);
    connect(&monitor, &TStatusMonitor::RowChanged, this, &TStatusModel::OnRowChanged);
    Flush();
}

QColor TStatusModel::RowColour(uint32_t flags)
{
    if (flags & Status::sfOffline)
        return QColor(255, 0, 0);
    if (flags & Status::sfQueryFailed)
        return QColor(255, 255, 0);
    if (flags & Status::sfAddressChanged)
        return QColor(0, 0, 255);
    if (flags & Status::sfAlarm)
        return QColor(0, 102, 255);
    return QColor();
}

int TStatusModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Order.size());
}

int TStatusModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TStatusModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const int row = RowOf(index);
    const uint32_t flags = m_Monitor.Row(row).Flags;
    const QColor colour = RowColour(flags);
    switch (role) {
    case Qt::DisplayRole:
        return Text(row, index.column());
    case Qt::DecorationRole:
        if (index.column() == colNumber)
            return Icon(flags & Status::sfOffline ? TImage::Cancel : TImage::Devices);
        break;
    case Qt::BackgroundRole:
        if (colour.isValid())
            return QBrush(colour);
        break;
    case Qt::ForegroundRole:
        // White text on the dark row colours (all but yellow), by perceived brightness.
        if (colour.isValid() && qGray(colour.rgb()) < 128)
            return QBrush(Qt::white);
        break;
    case Qt::ToolTipRole:
        return QStringLiteral("IP Address: %1\nMAC Address: %2\nDevice Model: %3\nLast Reported Time: %4\nStatus: %5")
            .arg(Text(row, colIp), Text(row, colMac), Text(row, colModel), Text(row, colTime), Text(row, colStatus));
    default:
        break;
    }
    return QVariant();
}

QVariant TStatusModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[ColumnCount] = {"", "IP", "MAC Address", "Model", "Last Reported Time", "Status"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QVariant();
    return QString::fromLatin1(titles[section]);
}

void TStatusModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    m_SortColumn = column;
    m_SortOrder = order;
    // Every shown row is out of place under the new key.
    for (int row : m_Order)
        if (!m_Misplaced[std::size_t(row)]) {
            m_Misplaced[std::size_t(row)] = true;
            m_Unplaced.push_back(row);
        }
    Flush();
}

void TStatusModel::Flush()
{
    m_FlushTimer.stop();
    if (m_ChangedFirst >= 0) {
        emit dataChanged(index(m_ChangedFirst, 0), index(m_ChangedLast, ColumnCount - 1));
        m_ChangedFirst = m_ChangedLast = -1;
    }
    const int seen = int(m_Position.size());
    if (m_Monitor.Count() > seen) {
        std::vector<int> fresh;
        for (int row = seen; row < m_Monitor.Count(); ++row) {
            m_Position.push_back(-1);
            m_Misplaced.push_back(false);
            m_Flags.push_back(m_Monitor.Row(row).Flags);
            Count(m_Flags.back(), 1);
            if (IsShown(row))
                fresh.push_back(row);
        }
        if (!fresh.empty()) {
            const int shown = int(m_Order.size());
            beginInsertRows(QModelIndex(), shown, shown + int(fresh.size()) - 1);
            for (int row : fresh) {
                m_Position[std::size_t(row)] = int(m_Order.size());
                m_Order.push_back(row);
                m_Misplaced[std::size_t(row)] = true;
                m_Unplaced.push_back(row);
            }
            endInsertRows();
        }
    }
    if (!(m_Summary == m_Announced)) {
        m_Announced = m_Summary;
        emit SummaryChanged();
    }
    if (m_Unplaced.empty())
        return;
    // The rest is still in order: sort the few out of place and merge them in. Rows that
    // the filter now hides drop out, those it now shows come in.
    auto less = [this](int a, int b) { return Less(a, b); };
    std::vector<int> placed;
    placed.reserve(m_Order.size());
    std::copy_if(m_Order.begin(), m_Order.end(), std::back_inserter(placed), [this](int row) { return !m_Misplaced[std::size_t(row)]; });
    std::vector<int> unplaced;
    auto shown = [this](int row) { return IsShown(row); };
    std::copy_if(m_Unplaced.begin(), m_Unplaced.end(), std::back_inserter(unplaced), shown);
    for (int row : m_Unplaced)
        m_Misplaced[std::size_t(row)] = false;
    m_Unplaced.clear();
    std::sort(unplaced.begin(), unplaced.end(), less);
    std::vector<int> order(placed.size() + unplaced.size());
    std::merge(placed.begin(), placed.end(), unplaced.begin(), unplaced.end(), order.begin(), less);
    Reorder(std::move(order));
}

void TStatusModel::SetProblemsOnly(bool only)
{
    if (only == m_ProblemsOnly)
        return;
    Flush();
    m_ProblemsOnly = only;
    std::vector<int> order;
    if (only) {
        // The rows in trouble, in the order they stand in already.
        auto shown = [this](int row) { return IsShown(row); };
        std::copy_if(m_Order.begin(), m_Order.end(), std::back_inserter(order), shown);
    } else {
        std::vector<int> hidden;
        for (int row = 0; row < int(m_Position.size()); ++row)
            if (m_Position[std::size_t(row)] < 0)
                hidden.push_back(row);
        auto less = [this](int a, int b) { return Less(a, b); };
        std::sort(hidden.begin(), hidden.end(), less);
        order.resize(m_Order.size() + hidden.size());
        std::merge(m_Order.begin(), m_Order.end(), hidden.begin(), hidden.end(), order.begin(), less);
    }
    Reorder(std::move(order));
}

bool TStatusModel::IsProblem(uint32_t flags)
{
    return flags & (Status::sfOffline | Status::sfQueryFailed | Status::sfAlarm);
}

void TStatusModel::Count(uint32_t flags, int sign)
{
    (flags & Status::sfOffline ? m_Summary.Offline : m_Summary.Online) += sign;
    if (flags & Status::sfQueryFailed)
        m_Summary.Failed += sign;
    if (flags & Status::sfAlarm)
        m_Summary.Alarms += sign;
}

void TStatusModel::OnRowChanged(int row, uint32_t keys)
{
    // Rows not seen yet are counted, inserted and placed with the next flush anyway.
    if (row >= int(m_Position.size()))
        return;
    const uint32_t flags = m_Monitor.Row(row).Flags;
    Count(m_Flags[std::size_t(row)], -1);
    Count(flags, 1);
    m_Flags[std::size_t(row)] = flags;
    const int position = m_Position[std::size_t(row)];
    if (position >= 0) {
        m_ChangedFirst = m_ChangedFirst < 0 ? position : std::min(m_ChangedFirst, position);
        m_ChangedLast = std::max(m_ChangedLast, position);
    }
    const bool moves = (keys & KeyOf(m_SortColumn)) || (position >= 0) != IsShown(row);
    if (moves && !m_Misplaced[std::size_t(row)]) {
        m_Misplaced[std::size_t(row)] = true;
        m_Unplaced.push_back(row);
    }
    FlushLater();
}

void TStatusModel::FlushLater()
{
    if (!m_FlushTimer.isActive())
        m_FlushTimer.start();
}

QString TStatusModel::Text(int row, int column) const
{
    const TStatusMonitor::TRow& r = m_Monitor.Row(row);
    switch (column) {
    case colNumber: return QString::number(r.Number);
    case colIp: return r.Ip;
    case colMac: return QString::fromStdString(r.Mac.Text());
    case colModel: return r.Model;
    case colTime: return TStatusMonitor::TimeText(r);
    case colStatus: return r.Status;
    default: return QString();
    }
}

bool TStatusModel::Less(int a, int b) const
{
    const TStatusMonitor::TRow& x = m_Monitor.Row(a);
    const TStatusMonitor::TRow& y = m_Monitor.Row(b);
    int c = 0;
    switch (m_SortColumn) {
    case colIp: c = Compare(x.Reference, y.Reference); break;
    case colMac: c = Compare(x.Mac, y.Mac); break;
    case colModel: c = x.Model.compare(y.Model); break;
    case colTime: c = Compare(x.Reported, y.Reported); break;
    case colStatus: c = x.Status.compare(y.Status); break;
    default: break;
    }
    // The number breaks ties, so that reversing the order reverses every row.
    if (c == 0)
        c = Compare(x.Number, y.Number);
    return m_SortOrder == Qt::AscendingOrder ? c < 0 : c > 0;
}

void TStatusModel::Reorder(std::vector<int> order)
{
    if (order == m_Order)
        return;
    // Rows the filter takes in or out change the number of rows: no mere sort then.
    const auto hint = order.size() == m_Order.size() ? QAbstractItemModel::VerticalSortHint
                                                     : QAbstractItemModel::NoLayoutChangeHint;
    emit layoutAboutToBeChanged({}, hint);
    const QModelIndexList from = persistentIndexList();
    m_Order.swap(order);
    for (int row : order)
        m_Position[std::size_t(row)] = -1;
    for (std::size_t position = 0; position < m_Order.size(); ++position)
        m_Position[std::size_t(m_Order[position])] = int(position);
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from) {
        const int position = m_Position[std::size_t(order[std::size_t(old.row())])];
        to.append(position < 0 ? QModelIndex() : index(position, old.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, hint);
}
