// The three-step frame both group wizards share: an introduction, the choice of devices
// between two lists, and the settings with a preview of what each chosen device gets,
// whose action starts one session per device and follows their results.
#pragma once

#include "core/MacAddr.h"
#include "core/Session.h"
#include "ui/Module.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <initializer_list>

class QAbstractButton;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

class TWizardStepsFrame : public QWidget, public TModule, public Intp::TWizard {
    Q_OBJECT
public:
    using QWidget::QWidget;

    QWidget* GetControl() override { return this; }
    // Shows the frame whatever the code; a device forgotten while its session runs can
    // no longer report, so its row fails instead of keeping the wizard busy.
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    // Refused while the action runs (unless forced); otherwise back to the introduction.
    bool Hide(bool force) override;
    int Refresh(bool) override { return 0; }

    int Step() const;
    // The action runs: the settings step is shown and going back is disabled.
    bool IsBusy() const;

protected:
    struct TControls {
        QLabel* Logo;
        QStackedWidget* Steps;
        QPushButton* Prev;
        QPushButton* Next;
        QTreeWidget* ToSelect;
        QTreeWidget* Selected;
        QTreeWidget* Preview;
        QAbstractButton* Select;
        QAbstractButton* SelectAll;
        QAbstractButton* Unselect;
        QAbstractButton* UnselectAll;
        QWidget* Settings; // disabled while the action runs
        QString ActionCaption;
    };
    // Takes the form's controls, gives them their pictures and connects them.
    void SetControls(const TControls& controls);

    // Whether the device is offered in the first list.
    virtual bool Offers(const TDevice&) const { return true; }
    // The cells of a device's row in the two lists (the MAC is attached by the frame).
    virtual void FillRow(QTreeWidgetItem* row, TDevice& device) = 0;
    // Whether the highlighted rows may join the chosen ones; may tell the operator why not.
    virtual bool MayChoose(const QList<QTreeWidgetItem*>&) { return true; }
    // Runs the settings rules for the current choice on entering the settings step.
    virtual void ApplySettingsRules() = 0;
    // The action of the settings step.
    virtual void Act() = 0;
    // A preview row still waiting for its session's outcome.
    virtual bool IsWaiting(const QTreeWidgetItem* row) const = 0;
    // Marks a waiting row whose device is gone.
    virtual void FailForgotten(QTreeWidgetItem* row) = 0;

    void SetActionEnabled(bool on);
    // Disables going back, the action and the settings while sessions run.
    void SetBusy(bool busy);
    // Leaves the busy state once no preview row is waiting.
    void FinishWhenDone();

    QList<QTreeWidgetItem*> PreviewRows() const;
    static void SetEnabled(std::initializer_list<QWidget*> widgets, bool on);
    static TMacAddr MacOf(const QTreeWidgetItem* row);
    static int TypeOf(const QTreeWidgetItem* row);
    // The chosen-list row of the device, or null.
    QTreeWidgetItem* SelectedRowOf(const TMacAddr& mac) const;

private:
    void EventOnPrev();
    void EventOnNext();
    void EnterDevices();
    void EnterSettings();
    void ShowStep(int step);
    void UpdateListButtons();
    // Moves the highlighted rows of from to the end of to, the last one first.
    void Move(QTreeWidget* from, QTreeWidget* to, bool checked);

    TControls m_Controls{};
};
