// "Scan Devices ...": lists the switches that answer a layer-2 scan frame on the chosen
// interface, whatever their IP settings. The list is for reading: nothing joins the tree.
#pragma once

#include "core/L2Scan.h"
#include "net/WinpcapThread.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class TScanForm;
}

class TScanForm : public QDialog {
    Q_OBJECT
public:
    explicit TScanForm(QWidget* parent = nullptr);
    ~TScanForm() override;

    // The interfaces the library lists; replaceable for tests.
    using TLister = std::function<bool(std::vector<Scan::TInterface>&)>;
    void SetLister(TLister lister) { m_Lister = std::move(lister); }
    TWinpcapThread& Worker() { return m_Worker; }
    // The message for a failed scan of the named interface.
    static QString ResultText(TWinpcapThread::TResult result, const QString& name, const QString& error);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void EventOnInterfaceChange();
    void EventOnScan();
    void AddRow(const TMacAddr& mac, uint32_t address);
    const Scan::TInterface* CurrentInterface() const;

    std::unique_ptr<Ui::TScanForm> m_Ui;
    TWinpcapThread m_Worker;
    std::vector<Scan::TInterface> m_Interfaces;
    TLister m_Lister;
    int m_Current = -1;
};
