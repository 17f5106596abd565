// The dialog that edits the discovery filter and serves it to the rest of the console.
#pragma once

#include "core/FilterSettings.h"

#include <QDialog>
#include <QSet>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
namespace Ui {
class TFilterForm;
}

class TFilterForm : public QDialog, public Filter::TFilterServer {
    Q_OBJECT
public:
    // The best route towards an address: next hop, interface index and interface name.
    using TRouteLookup =
        std::function<bool(uint32_t address, uint32_t& nextHop, int& interfaceIndex, std::string& interfaceName)>;

    static constexpr int FoldedWidth = 311;
    static constexpr int UnfoldedWidth = 705;
    static constexpr uint32_t MaxRemoteRange = 4096;

    // Gathers the workstation's subnets once.
    explicit TFilterForm(QWidget* parent = nullptr);
    // Works with the given subnets instead of the workstation's.
    explicit TFilterForm(std::vector<TIpMask> localSubnets, QWidget* parent = nullptr);
    // Edits settings kept elsewhere (the engine host's), which outlive the dialog.
    explicit TFilterForm(Filter::TFilterSettings& settings, QWidget* parent = nullptr);
    ~TFilterForm() override;

    // QDialog::Accepted when closed with OK.
    int ShowModal();
    // Replaces the whole settings, local subnets included, and rebuilds the controls.
    void ApplySettings(const Filter::TFilterSettings& settings);
    // Replaces the route lookup of the unicast rows (GetRouteTo by default).
    void SetRouteLookup(TRouteLookup lookup) { m_RouteLookup = std::move(lookup); }

    const Filter::TFilterSettings& GetSettings() const override { return m_Settings; }
    bool IsAccepted(uint32_t address) const override { return Filter::IsAccepted(m_Settings, address); }
    void GetTargets(std::vector<TIpMask>& targets) const override { Filter::GetTargets(m_Settings, targets); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PrepareShow();
    Filter::TMethod CurrentMethod() const;
    void UpdateEnabled();
    void ApplyFold();
    void EventOnSubnet();
    void EventOnGateway();
    void EventOnCustom();
    void EventOnCustomBeginChanged();
    void EventOnCustomEndChanged();
    void EventOnRemoteIpChanged();
    void EventOnRemoteAdd();
    void EventOnRemoteAddRange();
    void EventOnRemoteDelete();
    void EventOnRemoteClear();
    void EventOnHeaderClicked(int column);
    void EventOnOk();
    void SetEditedSubnet(const TIpMask& subnet);
    // Adds a row for every address from first to last that is not listed yet.
    void AddRows(uint32_t first, uint32_t last);
    void ResortRows();

    TFilterForm(Filter::TFilterSettings* settings, std::vector<TIpMask> localSubnets, QWidget* parent);

    std::unique_ptr<Ui::TFilterForm> m_Ui;
    Filter::TFilterSettings m_OwnSettings;
    Filter::TFilterSettings& m_Settings;
    TRouteLookup m_RouteLookup;
    // The values being edited; they become the settings on OK.
    uint32_t m_EditAddress = 0;
    uint32_t m_EditMask = 0;
    uint32_t m_EditBegin = 0;
    uint32_t m_EditEnd = 0xFFFFFFFFu;
    uint32_t m_RemoteAddress = 0;
    uint32_t m_RemoteEnd = 0;
    QSet<uint32_t> m_Listed; // addresses of the unicast rows
    bool m_Folded = true;
    int m_Height = 0; // the same folded and unfolded
    // The list keeps insertion order until a header is clicked, then stays sorted.
    bool m_Sorted = false;
    int m_SortColumn = 0;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
};
