#include "WizardFrame.h"

#include "ui_WizardFrame.h"

#include "ui/Images.h"

TWizardFrame::TWizardFrame(QWidget* parent) : QWidget(parent), m_Ui(std::make_unique<Ui::TWizardFrame>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Logo->setPixmap(WizardLogo());
    m_Ui->m_GroupIp->setIcon(Icon(TImage::GroupIp));
    m_Ui->m_GroupFw->setIcon(Icon(TImage::GroupFw));
    auto select = [this](const QString& path) {
        if (TPageContext* callback = Context())
            callback->SelectPath(path);
    };
    connect(m_Ui->m_GroupIp, &QPushButton::clicked, this,
            [select] { select(QStringLiteral("Wizards/Group IP Setting")); });
    connect(m_Ui->m_GroupFw, &QPushButton::clicked, this,
            [select] { select(QStringLiteral("Wizards/Group Firmware Update")); });
}

TWizardFrame::~TWizardFrame() = default;
