// The "Devices" module: the function tree with every configuration page, the banner area
// for the selected device's model, and the page area.
#pragma once

#include "ui/Module.h"

#include <QWidget>

#include <map>
#include <memory>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class TModuleFrame;
}

class TModuleFrame : public QWidget, public TModule {
    Q_OBJECT
public:
    explicit TModuleFrame(QWidget* parent = nullptr);
    ~TModuleFrame() override;

    // Builds the function tree in catalogue order; modelIndices get the front-panel banner.
    void BuildCatalogue(const std::vector<int>& modelIndices);

    // Appends a node for the module under parent (top level when null). A module with a
    // control has it placed, hidden, into the page area. Modules that are not widgets
    // (folders) are owned by the frame from here on.
    QTreeWidgetItem* AddPage(TModule* module, QTreeWidgetItem* parent);
    bool AddBanner(int key, TModule* module);

    TModule* SelectedPage() const;
    TModule* CurrentBanner() const { return m_CurrentBanner; }
    TModule* ModuleOf(QTreeWidgetItem* item) const;
    QTreeWidget* Tree() const;
    QLabel* WaitLabel() const;
    // The node whose path of captions from the top is path ("Basics/Reboot").
    QTreeWidgetItem* FindNode(const QString& path) const;

    QString GetName() const override { return QStringLiteral("Devices"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool current) override;

private:
    void EventOnTreeChange(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void HighlightCurrent();
    void RouteToPage(TDevice* device, uint16_t code, uint16_t status);
    void SelectBanner(TDevice* device);

    std::unique_ptr<Ui::TModuleFrame> m_Ui;
    std::vector<std::unique_ptr<TModule>> m_Folders;
    std::map<int, TModule*> m_Banners;
    TModule* m_CurrentBanner = nullptr;
    TModule* m_DefaultBanner = nullptr;
    bool m_Reverting = false;
};
