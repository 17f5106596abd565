// "Restore" and "Upgrade": load one file (a configuration or a firmware image) into every
// listed switch, built in or from a TFTP server, 20 switches at a time; the switches must
// all be of one model.
#pragma once

#include "ui/ModuleTransfer.h"

#include "ui/Images.h"

#include <memory>

namespace Ui {
class TModuleBasicsFileLoad;
}

// What tells the two pages apart.
struct TFileLoadKind {
    const char* Caption;
    const char* ActionName;
    const char* ActionText;
    TImage ActionGlyph;
    const char* RebootText;
    const char* DialogTitle;
    int ServerLength;
    uint16_t BuiltinCommand;
    uint16_t RemoteCommand;
    Intp::TSession* (*NewBuiltin)(const QString& path);
    Intp::TSession* (*NewRemote)(const Intp::TTftpRequest& request);
};

class TModuleBasicsFileLoad : public TModuleTransferPage {
    Q_OBJECT
public:
    TModuleBasicsFileLoad(const TFileLoadKind& kind, QWidget* parent);
    ~TModuleBasicsFileLoad() override;

protected:
    bool CanOffer() const override;
    bool IsReady(bool remote) const override;
    uint16_t Command(bool remote) const override;
    Intp::TSession* NewSession(TDevice& device, bool remote) override;

private:
    void EventOnOpen();

    const TFileLoadKind& m_Kind;
    std::unique_ptr<Ui::TModuleBasicsFileLoad> m_Ui;
};

class TModuleBasicsRestore : public TModuleBasicsFileLoad {
    Q_OBJECT
public:
    explicit TModuleBasicsRestore(QWidget* parent = nullptr);
};
