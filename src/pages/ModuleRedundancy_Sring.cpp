#include "ModuleRedundancy_Sring.h"

#include "ui_ModuleRedundancy_Sring.h"

#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <algorithm>
#include <bitset>

namespace {

uint8_t IndexOf(const QComboBox* box) { return uint8_t(std::max(0, box->currentIndex())); }

} // namespace

TModuleRedundancySring::TModuleRedundancySring(QWidget* parent)
    : TListPageOf(QStringLiteral("Vantor Ring"), parent), m_Ui(std::make_unique<Ui::TModuleRedundancySring>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    for (QCheckBox* box : {m_Ui->m_LegacyMode, m_Ui->m_CoupleMode, m_Ui->m_HomingMode})
        connect(box, &QCheckBox::toggled, this, &TModuleRedundancySring::ApplyRules);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleRedundancySring::EventOnApply);
}

TModuleRedundancySring::~TModuleRedundancySring() = default;

void TModuleRedundancySring::EnableControls(bool on)
{
    m_Ui->m_LegacyMode->setEnabled(on);
    m_Ui->m_Apply->setEnabled(on);
    m_Ui->m_LegacyMode->setChecked(false);
    ApplyRules();
}

void TModuleRedundancySring::FillFrom(TDevice* device)
{
    const std::pair<QComboBox*, uint8_t Intp::TPropertyRedundancySring::*> lists[] = {
        {m_Ui->m_1stPort, &Intp::TPropertyRedundancySring::RingPort1},
        {m_Ui->m_2ndPort, &Intp::TPropertyRedundancySring::RingPort2},
        {m_Ui->m_CouplingPort, &Intp::TPropertyRedundancySring::CouplingPort},
        {m_Ui->m_ControlPort, &Intp::TPropertyRedundancySring::ControlPort},
        {m_Ui->m_HomingPort, &Intp::TPropertyRedundancySring::HomingPort},
    };
    QStringList ports;
    for (int port = 0; port < device->PortCount(); ++port)
        ports << PortCaption(port);
    // Without a record every box is cleared and every list shows its first port.
    const auto& record = Intp::GetProperty<Intp::TPropertyRedundancySring>(*device);
    const Intp::TPropertyRedundancySring shown = record.Valid ? record : Intp::TPropertyRedundancySring{};
    for (auto [box, field] : lists) {
        box->clear();
        box->addItems(ports);
        // A port the switch names beyond its ports leaves the list without a current item.
        box->setCurrentIndex(shown.*field < box->count() ? shown.*field : -1);
    }
    m_Ui->m_LegacyMode->setChecked(shown.Enabled);
    m_Ui->m_Master->setChecked(shown.Master);
    m_Ui->m_CoupleMode->setChecked(shown.Coupling);
    m_Ui->m_HomingMode->setChecked(shown.Homing);
    ApplyRules();
}

void TModuleRedundancySring::ApplyRules()
{
    const bool ring = m_Ui->m_LegacyMode->isChecked();
    const bool coupling = ring && m_Ui->m_CoupleMode->isChecked();
    const bool homing = ring && m_Ui->m_HomingMode->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_Master, m_Ui->m_1stPortLabel, m_Ui->m_1stPort,
                                                             m_Ui->m_2ndPortLabel, m_Ui->m_2ndPort, m_Ui->m_CoupleMode,
                                                             m_Ui->m_HomingMode})
        control->setEnabled(ring);
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_CouplingPortLabel, m_Ui->m_CouplingPort,
                                                             m_Ui->m_ControlPortLabel, m_Ui->m_ControlPort})
        control->setEnabled(coupling);
    m_Ui->m_HomingPortLabel->setEnabled(homing);
    m_Ui->m_HomingPort->setEnabled(homing);
}

Intp::TPropertyRedundancySring TModuleRedundancySring::FromControls() const
{
    Intp::TPropertyRedundancySring ring;
    ring.Enabled = m_Ui->m_LegacyMode->isChecked();
    ring.Master = m_Ui->m_Master->isChecked();
    ring.RingPort1 = IndexOf(m_Ui->m_1stPort);
    ring.RingPort2 = IndexOf(m_Ui->m_2ndPort);
    ring.Coupling = m_Ui->m_CoupleMode->isChecked();
    ring.ControlPort = IndexOf(m_Ui->m_ControlPort);
    ring.CouplingPort = IndexOf(m_Ui->m_CouplingPort);
    ring.Homing = m_Ui->m_HomingMode->isChecked();
    ring.HomingPort = IndexOf(m_Ui->m_HomingPort);
    return ring;
}

bool TModuleRedundancySring::SharesPorts(const Intp::TPropertyRedundancySring& ring)
{
    if (!ring.Enabled)
        return false;
    // The two ring ports may be one port; every further role needs a port of its own.
    std::bitset<256> used;
    used.set(ring.RingPort1);
    used.set(ring.RingPort2);
    auto take = [&used](uint8_t port) {
        const bool taken = used.test(port);
        used.set(port);
        return taken;
    };
    if (ring.Coupling && (take(ring.ControlPort) || take(ring.CouplingPort)))
        return true;
    return ring.Homing && used.test(ring.HomingPort);
}

void TModuleRedundancySring::EventOnApply()
{
    const Intp::TPropertyRedundancySring ring = FromControls();
    if (SharesPorts(ring)) {
        Dialogs::Show(this, Dialogs::TKind::Warning, QStringLiteral("Duplicated Ports!"));
        return;
    }
    StartOnSelection([&](TDevice*) { return new Intp::TSessionRedundancySringSet(ring); });
}
