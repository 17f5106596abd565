#include "SyslogModel.h"

#include "net/AddressText.h"
#include "ui/Images.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

TSyslogModel::TSyslogModel(const Syslog::TSyslogStore& store, QObject* parent) : QAbstractTableModel(parent), m_Store(store)
{
    m_FlushTimer.setSingleShot(true);
    m_FlushTimer.setInterval(BatchInterval);
    connect(&m_FlushTimer, &QTimer::timeout, this, &TSyslogModel::Flush);
    Flush();
}

int TSyslogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_Shown;
}

int TSyslogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TSyslogModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const uint64_t arrival = ArrivalOf(index.row());
    // A discarded message keeps its row (blank) until the next batch removes it.
    if (arrival < m_Store.Discarded())
        return QVariant();
    const Syslog::TSyslogListNode node = m_Store.InArrival(std::size_t(arrival - m_Store.Discarded()));
    switch (role) {
    case Qt::DisplayRole: {
        const QDateTime received = QDateTime::fromMSecsSinceEpoch(node.Received);
        switch (index.column()) {
        case colEventId: return QString::number(node.EventId);
        case colFacility: return QString::fromStdString(Syslog::FacilityText(node.Facility));
        case colSeverity: return QString::fromStdString(Syslog::SeverityText(node.Severity));
        case colHost: return AddressText(node.Address);
        case colDate: return QLocale().toString(received.date(), QLocale::ShortFormat);
        case colTime: return QLocale().toString(received.time(), QLocale::LongFormat);
        case colMessage: return QString::fromStdString(node.Message);
        default: break;
        }
        break;
    }
    case Qt::DecorationRole:
        if (index.column() == colEventId)
            return SeverityIcon(Syslog::SeverityImage(node.Severity));
        break;
    case AddressRole: return node.Address;
    case EventIdRole: return qlonglong(node.EventId);
    default: break;
    }
    return QVariant();
}

QVariant TSyslogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[ColumnCount] = {"Event ID", "Facility", "Severity", "Host", "Date", "Time", "Messages"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QVariant();
    return QString::fromLatin1(titles[section]);
}

void TSyslogModel::Added()
{
    if (!m_FlushTimer.isActive())
        m_FlushTimer.start();
}

void TSyslogModel::Cleared()
{
    m_FlushTimer.stop();
    beginResetModel();
    m_Shown = 0;
    m_Removed = 0;
    m_Index.clear();
    m_IndexFirst = 0;
    m_Checked = 0;
    endResetModel();
}

void TSyslogModel::Flush()
{
    m_FlushTimer.stop();
    if (m_Filtering) {
        FlushFiltered();
        return;
    }
    // Those discarded before they were ever shown have no row to remove.
    const int gone = int(std::min<uint64_t>(m_Store.Discarded() - m_Removed, uint64_t(m_Shown)));
    if (gone > 0)
        beginRemoveRows(QModelIndex(), 0, gone - 1);
    m_Shown -= gone;
    m_Removed = m_Store.Discarded();
    if (gone > 0)
        endRemoveRows();
    const int stored = int(m_Store.Size());
    if (stored <= m_Shown)
        return;
    beginInsertRows(QModelIndex(), m_Shown, stored - 1);
    m_Shown = stored;
    endInsertRows();
}

void TSyslogModel::FlushFiltered()
{
    std::size_t gone = 0;
    while (m_IndexFirst + gone < m_Index.size() && m_Index[m_IndexFirst + gone] < m_Store.Discarded())
        ++gone;
    if (gone > 0) {
        beginRemoveRows(QModelIndex(), 0, int(gone) - 1);
        m_IndexFirst += gone;
        m_Shown -= int(gone);
        endRemoveRows();
    }
    // The index drops what lies before its first row once that is the larger part.
    if (m_IndexFirst > m_Index.size() / 2) {
        m_Index.erase(m_Index.begin(), m_Index.begin() + std::ptrdiff_t(m_IndexFirst));
        m_IndexFirst = 0;
    }
    std::vector<uint64_t> fresh;
    m_Store.Select(m_Filter, m_Checked, fresh);
    m_Checked = m_Store.Discarded() + m_Store.Size();
    if (fresh.empty())
        return;
    beginInsertRows(QModelIndex(), m_Shown, m_Shown + int(fresh.size()) - 1);
    m_Index.insert(m_Index.end(), fresh.begin(), fresh.end());
    m_Shown += int(fresh.size());
    endInsertRows();
}

void TSyslogModel::SetFilter(const Syslog::TSyslogFilter& filter)
{
    m_FlushTimer.stop();
    beginResetModel();
    m_Filter = filter;
    m_Filtering = !filter.IsEmpty();
    m_Index.clear();
    m_IndexFirst = 0;
    if (m_Filtering) {
        m_Store.Select(m_Filter, 0, m_Index);
        m_Checked = m_Store.Discarded() + m_Store.Size();
        m_Shown = int(m_Index.size());
    } else {
        m_Removed = m_Store.Discarded();
        m_Shown = int(m_Store.Size());
    }
    endResetModel();
}
