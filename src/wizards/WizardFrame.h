// The start page of the wizards: a welcome and one button per wizard.
#pragma once

#include "ui/Module.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TWizardFrame;
}

class TWizardFrame : public QWidget, public TModule {
    Q_OBJECT
public:
    explicit TWizardFrame(QWidget* parent = nullptr);
    ~TWizardFrame() override;

    QString GetName() const override { return QStringLiteral("Wizards"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice*, uint16_t, uint16_t) override { show(); }
    bool Hide(bool) override
    {
        hide();
        return true;
    }
    int Refresh(bool) override { return 0; }

private:
    std::unique_ptr<Ui::TWizardFrame> m_Ui;
};
