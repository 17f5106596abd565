#include "ModuleSave.h"

#include "ui_ModuleSave.h"

#include "ui/Images.h"
#include "core/Basics.h"

TModuleSave::TModuleSave(QWidget* parent)
    : TModuleDeviceListPage(QStringLiteral("Save To Flash"), parent), m_Ui(std::make_unique<Ui::TModuleSave>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView);
    m_Ui->m_Save->setIcon(Icon(TImage::Save));
    connect(m_Ui->m_Save, &QPushButton::clicked, this, &TModuleSave::EventOnSave);
}

TModuleSave::~TModuleSave() = default;

void TModuleSave::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    TModuleDeviceListPage::Notify(device, code, status);
    UpdateSave();
}

void TModuleSave::OnFinished() { UpdateSave(); }

void TModuleSave::UpdateSave()
{
    m_Ui->m_Save->setEnabled(!IsRunning() && m_Ui->m_ListView->topLevelItemCount() > 0);
}

void TModuleSave::EventOnSave()
{
    StartOnRows([](TDevice*) { return new Intp::TSessionBasicsSave; }, TRowOrder::LastFirst);
    UpdateSave();
}
