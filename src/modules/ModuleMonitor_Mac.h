// "MAC Address Table": the addresses the first selected switch has learned or holds
// statically on one chosen port, with their counts; Clear empties the tables of every
// selected switch. The table is read after the port names and the port configuration, one
// Get after the other. Tables of thousands of addresses go through a model that takes a
// port's rows at once.
#pragma once

#include "ModulePage.h"
#include "intp/Monitor.h"

#include <QAbstractTableModel>

#include <array>
#include <memory>
#include <vector>

namespace Ui {
class TModuleMonitorMac;
}

class TMonitorMacModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colNumber, colMac, colType, colCount };
    struct TRow {
        int Number;
        QString Mac;
        bool Static;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces every row in one reset; with a sort column set, the new rows are sorted too.
    void SetRows(std::vector<TRow> rows);
    // The number column compares as integers, the others by their texts ignoring case;
    // equal rows keep their order.
    void SortBy(int column, Qt::SortOrder order);
    QString Text(const TRow& row, int column) const;

private:
    void Sort();

    std::vector<TRow> m_Rows;
    int m_SortColumn = -1;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
};

class TModuleMonitorMac : public TModuleGetPage {
    Q_OBJECT
public:
    explicit TModuleMonitorMac(QWidget* parent = nullptr);
    ~TModuleMonitorMac() override;

    // A fresh page starts with the port names, a refresh with the table alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == Intp::TSessionMonitorMacGet::Command; }
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    // Starts the chain's next Get; when it cannot, the page is drawn for a selected device.
    template <typename G>
    void Continue(TDevice* device, bool valid);
    // Lists the chosen port's addresses and counts them.
    void ShowPort();
    void EventOnHeaderClick(int column);

    std::unique_ptr<Ui::TModuleMonitorMac> m_Ui;
    TMonitorMacModel* m_Model;
    // Each column's direction; its first click sorts ascending.
    std::array<Qt::SortOrder, TMonitorMacModel::colCount> m_Orders{Qt::DescendingOrder, Qt::DescendingOrder,
                                                                    Qt::DescendingOrder};
};
