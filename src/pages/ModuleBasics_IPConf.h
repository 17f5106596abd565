// "IP Configuration": plans new network settings for all selected switches at once (DHCP,
// consecutive addresses of a range, or by hand) and sends them.
#pragma once

#include "ui/ModulePage.h"
#include "core/AddressPlan.h"
#include "core/Basics.h"

#include <functional>
#include <memory>

class QAction;
class QTreeWidgetItem;

namespace Ui {
class TModuleBasicsIPConf;
}

class TModuleBasicsIPConf : public TModulePage {
    Q_OBJECT
public:
    // Images of the tree's nodes.
    enum TImageIndex { imGroup, imPlanned, imFailed, imInUse, imUnchanged };
    enum TMethod { mtDhcp, mtAutoRange, mtManual };

    explicit TModuleBasicsIPConf(QWidget* parent = nullptr);
    ~TModuleBasicsIPConf() override;

    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;

    // Removes neighbour-cache entries after Apply (FlushArpEntries; replaceable in tests).
    void SetArpFlush(std::function<void(const std::vector<uint32_t>&, bool)> flush) { m_Flush = std::move(flush); }

    class TEntry;

private:
    void Rebuild();
    void SetEntryCaption(TEntry* entry);
    void SortTree();
    void ApplyFieldRules();
    int FieldMode() const;
    void UpdateApply();
    TEntry* SelectedEntry() const;
    QList<TEntry*> Entries() const;
    void LoadEntryIntoFields(TEntry* entry);

    void EventOnMethodChange(int method);
    void EventOnSelectionChange();
    void EventOnSet();
    void EventOnFilter();
    void EventOnDiscard();
    void EventOnApply();
    TAddressRequest ReadRequest() const;
    void Assign(TEntry* entry, const TAddressPlan& plan, uint32_t address);
    void PlanAutoRange();
    void PlanManual(TEntry* entry);

    std::unique_ptr<Ui::TModuleBasicsIPConf> m_Ui;
    QAction* m_PM1Discard = nullptr;
    std::function<void(const std::vector<uint32_t>&, bool)> m_Flush;
    // Old addresses of switches that are to leave them, while their new settings are on
    // their way.
    QHash<TMacAddr, uint32_t> m_OldAddresses;
    bool m_Loading = false;
};
