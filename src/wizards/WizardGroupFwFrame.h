// "Group Firmware Update": upgrades logged-in devices of one model at once from a local
// image (built-in transfer) or a TFTP server, following each device's progress.
#pragma once

#include "WizardSteps.h"

#include <memory>

namespace Ui {
class TWizardGroupFwFrame;
}

class TWizardGroupFwFrame : public TWizardStepsFrame {
    Q_OBJECT
public:
    explicit TWizardGroupFwFrame(QWidget* parent = nullptr);
    ~TWizardGroupFwFrame() override;

    QString GetName() const override { return QStringLiteral("Group Firmware Update"); }
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

    // The preview row images.
    enum TImageIndex { imNone = -1, imWaiting = 0, imDone = 1, imFailed = 2, imTimeout = 3, imWriting = 4 };
    static int ImageOf(const QTreeWidgetItem* row);

protected:
    bool Offers(const TDevice& device) const override;
    void FillRow(QTreeWidgetItem* row, TDevice& device) override;
    bool MayChoose(const QList<QTreeWidgetItem*>& rows) override;
    void ApplySettingsRules() override;
    void Act() override;
    bool IsWaiting(const QTreeWidgetItem* row) const override;
    void FailForgotten(QTreeWidgetItem* row) override { SetImage(row, imFailed); }

private:
    void EventOnOpen();
    uint16_t Command() const;
    static void SetImage(QTreeWidgetItem* row, int image);

    std::unique_ptr<Ui::TWizardGroupFwFrame> m_Ui;
    uint32_t m_Server = 0;
    QString m_Folder;
};
