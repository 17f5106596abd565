// "VLAN Table": the VLANs of the first selected switch, from its port-based or its 802.1Q list
// as its mode says, with their untagged and tagged ports; up to 4,094 rows in a table model,
// sortable by any column.
#pragma once

#include "ModulePage.h"

#include <QAbstractTableModel>

#include <array>
#include <memory>
#include <vector>

namespace Ui {
class TModuleVlanTable;
}

class TVlanTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colNumber, colVid, colUntagged, colTagged, colCount };
    struct TRow {
        int Number; // 1-based, in list order at fill time
        int Vid;
        QString Untagged;
        QString Tagged;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void SetRows(std::vector<TRow> rows);
    // Numbers compare as integers, port lists as texts ignoring case; direction +1 or -1.
    void Sort(int column, int direction);

private:
    std::vector<TRow> m_Rows;
};

class TModuleVlanTable : public TModuleGetPage {
    Q_OBJECT
public:
    explicit TModuleVlanTable(QWidget* parent = nullptr);
    ~TModuleVlanTable() override;

    // Shown: the mode, then the list it names; in the background nothing.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    // The list only ever shows a fresh answer: it is emptied while the page is away.
    bool Hide(bool force) override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnHeaderClick(int column);
    void Sort();

    std::unique_ptr<Ui::TModuleVlanTable> m_Ui;
    TVlanTableModel m_Model;
    int m_SortColumn = -1; // none: list order
    // Each column's last direction; the first click on a column sorts ascending.
    std::array<int, TVlanTableModel::colCount> m_Directions{-1, -1, -1, -1};
};
