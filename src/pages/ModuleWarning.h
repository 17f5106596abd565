// The warning pages: which failures raise a switch's alarm, where its syslog client sends,
// its SMTP client, and which events go out through syslog and SMTP. Each shows the first
// selected switch and applies to every selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Warning.h"

#include <memory>

namespace Ui {
class TModuleWarningFault;
class TModuleWarningSyslog;
class TModuleWarningSmtp;
class TModuleWarningEvent;
}

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

class TModuleWarningFault : public TListPageOf<TModuleGetPage, Intp::TSessionWarningFaultGet> {
    Q_OBJECT
public:
    explicit TModuleWarningFault(QWidget* parent = nullptr);
    ~TModuleWarningFault() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleWarningFault> m_Ui;
};

class TModuleWarningSyslog : public TListPageOf<TModuleGetPage, Intp::TSessionWarningSyslogGet> {
    Q_OBJECT
public:
    explicit TModuleWarningSyslog(QWidget* parent = nullptr);
    ~TModuleWarningSyslog() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    // The address and its label follow "Server Only" and "Both", which also need a host
    // address for Apply.
    void ModeRule();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleWarningSyslog> m_Ui;
    bool m_Selected = false;
    uint32_t m_Address = 0; // converted from the server address text
};

// The account password is typed into masked fields and goes nowhere but into the request.
class TModuleWarningSmtp : public TListPageOf<TModuleGetPage, Intp::TSessionWarningSmtpGet> {
    Q_OBJECT
public:
    explicit TModuleWarningSmtp(QWidget* parent = nullptr);
    ~TModuleWarningSmtp() override;

    bool Hide(bool force) override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    QStringList RecipientLines() const;
    // Every field follows "Enable"; the password fields also need an account.
    void ModeRule();
    void AccountRule();
    void ValidityRule();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleWarningSmtp> m_Ui;
    bool m_Selected = false;
    uint32_t m_Address = 0; // converted from the server address text
    std::size_t m_Recipients = 0; // slots of the first selected switch's model
};

// Rows of system events and of ports with their syslog and SMTP values. The drop-downs of a
// path are usable only when the switch reports through it: syslog when its syslog client is
// not disabled, SMTP when its SMTP client is enabled. Refresh(true) reads both first.
class TModuleWarningEvent : public TModulePage {
    Q_OBJECT
public:
    enum TSystemEvent { seColdStart, sePower, seSnmpAuth, seRingTopology, seCount };

    explicit TModuleWarningEvent(QWidget* parent = nullptr);
    ~TModuleWarningEvent() override;

    // Bit e makes system event e a row of the list.
    void SetSystemEvents(uint32_t events) { m_SystemEvents = events; }

    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

private:
    enum TColumn { colCaption, colSyslog, colSmtp };
    struct TPart {
        QTreeWidget* List;
        QComboBox* Boxes[2];   // syslog, SMTP
        QLabel* Labels[2];
    };

    bool IsFirstSelected(TDevice* device) const;
    void Redraw();
    void FillFrom(TDevice* device);
    void AddRow(TPart& part, const QString& caption, unsigned key, unsigned syslog, unsigned smtp);
    static void SetValue(const TPart& part, QTreeWidgetItem* row, int column, unsigned value);
    static unsigned Value(const QTreeWidgetItem* row, int column);
    bool Usable(int path) const { return m_Usable[path]; }
    void LoadRow(TPart& part);
    void EventOnHeaderClick(TPart& part, int column);
    void EventOnApply();

    std::unique_ptr<Ui::TModuleWarningEvent> m_Ui;
    TPart m_Parts[2];
    uint32_t m_SystemEvents = 0;
    bool m_Usable[2] = {};
    bool m_Loading = false;
};
