#include "ModuleSecurity_8021xPort.h"

#include "ui_ModuleSecurity_8021xPort.h"

#include "ui/Images.h"

namespace {

enum TColumn { colPort, colMode };

} // namespace

TModuleSecurity8021xPort::TModuleSecurity8021xPort(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Auth"), parent), m_Ui(std::make_unique<Ui::TModuleSecurity8021xPort>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {80, 160});
    BindChoice(colMode, m_Ui->m_Auth, Intp::AuthModeNames, m_Ui->m_AuthLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleSecurity8021xPort::EventOnApply);
}

TModuleSecurity8021xPort::~TModuleSecurity8021xPort() = default;

void TModuleSecurity8021xPort::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySecurity8021xPort>(*device);
    const int ports = device->PortCount();
    const bool valid = record.Valid && int(record.Modes.size()) == ports;
    for (int port = 0; port < ports; ++port) {
        QTreeWidgetItem* row = AddRow(PortCaption(port), unsigned(port));
        SetCell(row, colMode, Intp::AuthModeNames, valid ? record.Modes[std::size_t(port)] : uint8_t(Intp::amReject));
    }
}

void TModuleSecurity8021xPort::EventOnApply()
{
    std::vector<uint8_t> modes;
    for (const QTreeWidgetItem* row : Rows())
        modes.push_back(uint8_t(Value(row, colMode)));
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurity8021xPortSet(modes); });
}
