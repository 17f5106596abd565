// The switch's DHCP server: "DHCP Server" (its pool and options), "Client Entries" (its
// lease table, read only, through a model for tables of any length) and "Port and IP
// Binding" (the address handed out on each port). Each shows the first selected switch and
// applies to every selected switch.
#pragma once

#include "ui/ListPage.h"
#include "ui/ReportModel.h"
#include "core/Dhcp.h"

#include <memory>

namespace Ui {
class TModuleBasicsDhcp;
class TModuleBasicsDhcpEntry;
class TModuleBasicsDhcpPortIp;
}

class QLineEdit;

class TModuleBasicsDhcp : public TListPageOf<TModuleGetPage, Intp::TSessionBasicsDhcpGet> {
    Q_OBJECT
public:
    explicit TModuleBasicsDhcp(QWidget* parent = nullptr);
    ~TModuleBasicsDhcp() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    enum TAddress { adStart, adEnd, adMask, adGateway, adDns, adCount };

    QLineEdit* Edit(int address) const;
    // Reads the edit into its kept number: unparsable text is 255.255.255.255, a gateway or
    // DNS server that is no host address is 0.
    void ReadAddress(int address);
    // The fields follow "Enable"; then Apply needs a usable pool: start below end, both host
    // addresses, and a netmask.
    void EnablingRule();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleBasicsDhcp> m_Ui;
    bool m_Selected = false;
    uint32_t m_Addresses[adCount] = {};
};

// Row numbers, addresses and leases sort as numbers, the other columns by their texts.
class TModuleBasicsDhcpEntry : public TListPageOf<TModuleGetPage, Intp::TSessionBasicsDhcpEntry> {
    Q_OBJECT
public:
    enum TColumn { colNumber, colAddress, colClientId, colType, colState, colLease, colCount };

    explicit TModuleBasicsDhcpEntry(QWidget* parent = nullptr);
    ~TModuleBasicsDhcpEntry() override;

    bool Hide(bool force) override;
    const TReportModel& Model() const { return *m_Model; }

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void ShowTotal();

    std::unique_ptr<Ui::TModuleBasicsDhcpEntry> m_Ui;
    TReportModel* m_Model;
};

class TModuleBasicsDhcpPortIp : public TListPageOf<TEditorPage, Intp::TSessionBasicsDhcpPortIpGet> {
    Q_OBJECT
public:
    explicit TModuleBasicsDhcpPortIp(QWidget* parent = nullptr);
    ~TModuleBasicsDhcpPortIp() override;

protected:
    void FillFrom(TDevice* device) override;
    void LoadRow(const QTreeWidgetItem* row) override;

private:
    void EventOnAddressEdit(const QString& text);
    void EventOnApply();

    std::unique_ptr<Ui::TModuleBasicsDhcpPortIp> m_Ui;
};
