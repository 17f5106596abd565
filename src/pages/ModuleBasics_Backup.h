// "Backup": copies the configuration of every listed switch into a file per switch, in a
// local folder (built in, 20 switches at a time) or on a TFTP server (one switch after
// another).
#pragma once

#include "ui/ModuleTransfer.h"

#include <memory>

namespace Ui {
class TModuleBasicsBackup;
}

class TModuleBasicsBackup : public TModuleTransferPage {
    Q_OBJECT
public:
    explicit TModuleBasicsBackup(QWidget* parent = nullptr);
    ~TModuleBasicsBackup() override;

protected:
    bool IsReady(bool remote) const override;
    uint16_t Command(bool remote) const override;
    Intp::TSession* NewSession(TDevice& device, bool remote) override;
    bool IsSequential() const override { return IsRemote(); }

private:
    // The switch's file: the prefix and its address, or its MAC when another listed switch
    // has the same address.
    QString FileName(const TDevice& device) const;
    void EventOnOpen();

    std::unique_ptr<Ui::TModuleBasicsBackup> m_Ui;
};
