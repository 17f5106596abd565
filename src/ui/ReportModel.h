// A read-only report of rows of texts for a QTreeView, for tables that can run to thousands
// of rows: every fill replaces all rows in one reset, and sorting reorders them in the model.
// A cell may carry a number to sort by; cells without one sort by their text, ignoring case.
#pragma once

#include "ListSort.h"

#include <QStringList>

#include <cstdint>
#include <vector>

class TReportModel : public TSortedModel {
    Q_OBJECT
public:
    struct TCell {
        QString Text;
        bool Numeric = false;
        uint64_t Key = 0; // compared when Numeric
    };
    using TRow = std::vector<TCell>;

    static TCell Number(uint64_t value, QString text) { return {std::move(text), true, value}; }
    static TCell Number(uint64_t value) { return Number(value, QString::number(value)); }

    TReportModel(QStringList titles, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetAlignment(int column, Qt::Alignment alignment);
    // Replaces every row in one reset; with a sort column set, the new rows are sorted too.
    void SetRows(std::vector<TRow> rows);

protected:
    std::vector<int> SortRows() override;

private:
    QStringList m_Titles;
    std::vector<Qt::Alignment> m_Alignments;
    std::vector<TRow> m_Rows;
};
