// "Port Auth": the 802.1X authorisation mode of every port of the first selected switch,
// applied to every selected switch with as many ports.
#pragma once

#include "ui/ListPage.h"
#include "core/Security.h"

#include <memory>

namespace Ui {
class TModuleSecurity8021xPort;
}

class TModuleSecurity8021xPort : public TListPageOf<TEditorPage, Intp::TSessionSecurity8021xPortGet> {
    Q_OBJECT
public:
    explicit TModuleSecurity8021xPort(QWidget* parent = nullptr);
    ~TModuleSecurity8021xPort() override;

protected:
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleSecurity8021xPort> m_Ui;
};
