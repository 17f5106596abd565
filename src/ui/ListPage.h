// The bases of the list pages of every feature group: a report list (of ports, trunks,
// VLANs, entries ...) with grid lines and whole-row selection, filled from the first
// selected device's records.
//   TListPage    the list, its rows and the controls that follow the device selection
//   TReportPage  read only: a click on a column sorts by it; hiding empties the list
//   TEditorPage  editors under the list, bound to its columns and to the selected row
#pragma once

#include "ListSort.h"
#include "ModulePage.h"
#include "PortTexts.h"
#include "core/Port.h"

#include <initializer_list>
#include <vector>

class QComboBox;
class QLabel;
class QTreeView;

class TListPage : public TModuleGetPage {
    Q_OBJECT
public:
    using TModuleGetPage::TModuleGetPage;

    // The look every port list has: grid lines, whole rows, single selection, clickable header.
    static void StyleList(QTreeView* list);

protected:
    // Takes the form's list; a column is never narrower than its minimum width (0: none).
    void SetList(QTreeWidget* list, std::initializer_list<int> minimumWidths = {});
    QTreeWidget* List() const { return m_List; }
    // A control enabled exactly when a device is selected, like the list.
    void FollowSelection(QWidget* control) { m_Followers.push_back(control); }
    // Empties the list; the list and its followers follow the selection.
    void EnableControls(bool on) override;

    // A row with its caption; value is kept as the caption's value (the port's index).
    QTreeWidgetItem* AddRow(const QString& caption, unsigned value);
    // "Trunk.%02d", its type and member ports, as both trunk pages show them.
    QTreeWidgetItem* AddTrunkRow(int index, const Intp::TPortTrunkEntry& entry);
    QList<QTreeWidgetItem*> Rows() const;
    // A row's value in a column, kept beside the cell's text.
    static unsigned Value(const QTreeWidgetItem* row, int column);
    static void SetCell(QTreeWidgetItem* row, int column, unsigned value, const QString& text);
    // The cell shows the value in decimal.
    static void SetNumber(QTreeWidgetItem* row, int column, unsigned value);
    // The cell shows the kind's text of the value.
    static void SetCell(QTreeWidgetItem* row, int column, Intp::TValueNames kind, unsigned value);
    // Orders the rows by a column's texts, ignoring case, or by its values (SortByValue).
    void SortRows(int column, Qt::SortOrder order);
    // The column sorts by the rows' values as unsigned numbers instead of by its texts.
    void SortByValue(int column);

    virtual void EventOnRowChange() {}
    virtual void EventOnHeaderClick(int) {}

private:
    QTreeWidget* m_List = nullptr;
    std::vector<QWidget*> m_Followers;
};

class TReportPage : public TListPage {
    Q_OBJECT
public:
    using TListPage::TListPage;

    // The list only ever shows a fresh answer: it is emptied while the page is away.
    bool Hide(bool force) override;

protected:
    // Clicking a column sorts by it, as TSortState says. column is the order before any
    // click (-1: the order the rows were added in).
    void SetSortColumn(int column) { m_Sort.SetColumn(column); }
    void SetOrderPerColumn() { m_Sort.SetOrderPerColumn(); }
    void FillFrom(TDevice* device) final;
    // Adds the rows from the device's record.
    virtual void AddRows(TDevice* device) = 0;
    void EventOnHeaderClick(int column) override;

private:
    void Sort();

    TSortState m_Sort;
};

class TEditorPage : public TListPage {
    Q_OBJECT
public:
    using TListPage::TListPage;

protected:
    // The box lists the kind's texts and edits the column: a change writes the selected row,
    // and a click on the column moves every row to the value after the first row's.
    void BindChoice(int column, QComboBox* box, Intp::TValueNames kind, QLabel* label);
    // An editor and its label, enabled only while a row is selected.
    void AddEditor(QWidget* editor, QLabel* label);
    QTreeWidgetItem* SelectedRow() const;
    // Loads the selected row into the editors; pages with editors of their own add theirs.
    virtual void LoadRow(const QTreeWidgetItem* row);
    // True while the editors are loaded from a row: their changes then write nothing.
    bool IsLoading() const { return m_Loading; }

    void EnableControls(bool on) override;
    void EventOnRowChange() override;
    void EventOnHeaderClick(int column) override;

private:
    struct TChoice {
        int Column;
        QComboBox* Box;
        Intp::TValueNames Kind;
    };
    std::vector<TChoice> m_Choices;
    std::vector<QWidget*> m_Editors;
    bool m_Loading = false;
};

// A list page whose data comes from the one Get session G.
template <typename Base, typename G>
class TListPageOf : public Base {
public:
    using Base::Base;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == G::Command; }
    int StartGets(TDevice* device) override { return Intp::StartNew<G>(device, nullptr) ? 1 : 0; }
};
