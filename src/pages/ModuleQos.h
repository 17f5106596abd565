// The QoS pages:
//   "Traffic Prioritization"  the scheduling scheme and the priority type
//   "Port Based Priority"     the queue of every physical port
//   "COS Settings"            the queue of each 802.1p priority and each port's default priority
//   "TOS Settings"            the queue of each of the 64 DSCP values
// Each shows the first selected switch and applies to every selected switch (the per-port
// Sets only to those with as many ports as the rows).
#pragma once

#include "ui/ListPage.h"
#include "core/Qos.h"

#include <memory>

namespace Ui {
class TModuleQos;
class TModuleQosPort;
class TModuleQosCos;
class TModuleQosTos;
}

class TModuleQos : public TListPageOf<TModuleGetPage, Intp::TSessionQosGet> {
    Q_OBJECT
public:
    explicit TModuleQos(QWidget* parent = nullptr);
    ~TModuleQos() override;

protected:
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();
    std::unique_ptr<Ui::TModuleQos> m_Ui;
};

class TModuleQosPort : public TListPageOf<TEditorPage, Intp::TSessionQosPortGet> {
    Q_OBJECT
public:
    explicit TModuleQosPort(QWidget* parent = nullptr);
    ~TModuleQosPort() override;

protected:
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();
    std::unique_ptr<Ui::TModuleQosPort> m_Ui;
};

// The 802.1p list is the page's editable list; the port list below it has an editor of its own.
class TModuleQosCos : public TListPageOf<TEditorPage, Intp::TSessionQosCosGet> {
    Q_OBJECT
public:
    explicit TModuleQosCos(QWidget* parent = nullptr);
    ~TModuleQosCos() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    QTreeWidgetItem* SelectedPortRow() const;
    void EventOnPortRowChange();
    void EventOnPortHeaderClick(int column);
    void EventOnApply();
    std::unique_ptr<Ui::TModuleQosCos> m_Ui;
    bool m_LoadingPort = false;
};

class TModuleQosTos : public TListPageOf<TEditorPage, Intp::TSessionQosTosGet> {
    Q_OBJECT
public:
    explicit TModuleQosTos(QWidget* parent = nullptr);
    ~TModuleQosTos() override;

protected:
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();
    std::unique_ptr<Ui::TModuleQosTos> m_Ui;
};
