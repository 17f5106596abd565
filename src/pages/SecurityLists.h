// What the MAC Blacklist and Port Security pages share: a list model of MAC addresses
// (with their ports) that takes a whole record at once, and the base of both pages, whose
// address text, Add and Delete buttons follow the typed address and the listed rows.
#pragma once

#include "ui/ListSort.h"
#include "ui/ModulePage.h"
#include "net/AddressText.h"

#include <array>
#include <vector>

class QLineEdit;
class QPushButton;
class QTreeView;


// Rows of MAC addresses, with or without a port column before the address; rows are
// replaced all at once, so hundreds of them cost one reset.
class TSecurityListModel : public TSortedModel {
    Q_OBJECT
public:
    struct TRow {
        QString Caption; // the port's name (port lists only)
        TMacAddr Mac;
        int Port = -1;
    };

    // headers: "MAC Address" alone, or the port's and the address's column.
    TSecurityListModel(QStringList headers, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetRows(std::vector<TRow> rows);
    void Clear() { SetRows({}); }
    const TRow& Row(int row) const { return m_Rows[std::size_t(row)]; }
    const std::vector<TRow>& Rows() const { return m_Rows; }

protected:
    // By a column's texts ignoring case; rows set later are kept in that order too. Without
    // a sort column rows keep theirs.
    std::vector<int> SortRows() override;

private:
    QString Text(const TRow& row, int column) const;

    QStringList m_Headers;
    std::vector<TRow> m_Rows;
};

class TModuleSecurityMacList : public TModuleGetPage {
    Q_OBJECT
public:
    using TModuleGetPage::TModuleGetPage;

    // The list only ever shows a fresh answer: it is emptied while the page is away.
    bool Hide(bool force) override;

protected:
    // Takes the form's controls; the address text shows in upper or lower case.
    void SetControls(QTreeView* view, TSecurityListModel* model, QLineEdit* mac, QPushButton* add, QPushButton* del,
                     bool upperCase);
    TSecurityListModel* Model() const { return m_Model; }
    QTreeView* View() const { return m_View; }
    QLineEdit* MacEdit() const { return m_Mac; }
    // Empties the list and the address; the address rule disables both buttons.
    void EnableControls(bool on) override;
    // Whether a listed row stands for the typed address.
    virtual bool Matches(const TSecurityListModel::TRow& row, const TMacAddr& mac) const = 0;
    // Whether a typed address has all it needs besides itself to be added.
    virtual bool CanAdd() const { return true; }
    // A click on a row; the base puts the row's address into the text.
    virtual void EventOnRowClick(const TSecurityListModel::TRow& row);
    // Add enabled while no row matches a valid typed address, Delete while one does.
    void MacRule();
    virtual void EventOnAdd(const TMacAddr& mac) = 0;
    virtual void EventOnDelete(const TMacAddr& mac) = 0;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QTreeView* m_View = nullptr;
    TSecurityListModel* m_Model = nullptr;
    QLineEdit* m_Mac = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Delete = nullptr;
    TMacAddr m_Parsed;
};
