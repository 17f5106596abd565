// "Group IP Setting": gives the chosen devices DHCP or consecutive addresses of a range
// with one network settings request each, and marks each preview row with its outcome.
#pragma once

#include "WizardSteps.h"

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;

namespace Ui {
class TWizardGroupIpFrame;
}

class TWizardGroupIpFrame : public TWizardStepsFrame {
    Q_OBJECT
public:
    explicit TWizardGroupIpFrame(QWidget* parent = nullptr);
    ~TWizardGroupIpFrame() override;

    QString GetName() const override { return QStringLiteral("Group IP Setting"); }
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

    // Forgets the workstation's ARP entries of re-addressed switches (the second argument:
    // static ones too); replaceable for tests.
    using TArpFlush = std::function<void(const std::vector<uint32_t>&, bool)>;
    void SetArpFlush(TArpFlush flush) { m_Flush = std::move(flush); }

    // The preview row images.
    enum TImageIndex { imNone = -1, imDone = 0, imFailed = 1 };
    static int ImageOf(const QTreeWidgetItem* row);

protected:
    void FillRow(QTreeWidgetItem* row, TDevice& device) override;
    void ApplySettingsRules() override;
    void Act() override;
    bool IsWaiting(const QTreeWidgetItem* row) const override { return ImageOf(row) == imNone; }
    void FailForgotten(QTreeWidgetItem* row) override { SetImage(row, imFailed); }

private:
    void ApplyDhcpRules();
    void ApplyRangeRules();
    // The addresses of the preview rows, top to bottom; empty when the range does not do.
    // Offers the gateway edit only for a range that does, inside one subnet.
    std::vector<uint32_t> PlanRange();
    void ShowNewAddresses(const std::vector<uint32_t>& addresses);
    static void SetImage(QTreeWidgetItem* row, int image);
    void ShowCurrentAddress(QTreeWidgetItem* row, const TDevice& device);
    void FlushLearned(const std::vector<uint32_t>& addresses);

    std::unique_ptr<Ui::TWizardGroupIpFrame> m_Ui;
    uint32_t m_Server = 0;
    uint32_t m_Begin = 0;
    uint32_t m_End = 0;
    uint32_t m_Netmask = 0;
    uint32_t m_Gateway = 0;
    TArpFlush m_Flush;
};
