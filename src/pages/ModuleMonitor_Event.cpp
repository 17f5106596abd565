#include "ModuleMonitor_Event.h"

#include "ui_ModuleMonitor_Event.h"

#include "ui/Images.h"
#include "net/RecordText.h"

TModuleMonitorEvent::TModuleMonitorEvent(QWidget* parent)
    : TListPageOf(QStringLiteral("System Event Log"), parent), m_Ui(std::make_unique<Ui::TModuleMonitorEvent>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Clear->setIcon(Icon(TImage::Clear));
    connect(m_Ui->m_Clear, &QPushButton::clicked, this, [this] {
        StartOnSelection([](TDevice*) { return new Intp::TSessionMonitorEventClear; });
    });
    connect(m_Ui->m_Pages, &QComboBox::currentIndexChanged, this, &TModuleMonitorEvent::ShowPage);
}

TModuleMonitorEvent::~TModuleMonitorEvent() = default;

bool TModuleMonitorEvent::Hide(bool force)
{
    m_Ui->m_Pages->clear();
    m_Ui->m_Log->clear();
    return TListPageOf::Hide(force);
}

void TModuleMonitorEvent::EnableControls(bool on)
{
    TListPageOf::EnableControls(on);
    m_Ui->m_Log->setEnabled(on);
    const QSignalBlocker quiet(m_Ui->m_Pages);
    m_Ui->m_Pages->clear();
    m_Ui->m_Log->clear();
}

void TModuleMonitorEvent::FillFrom(TDevice* device)
{
    const auto& log = Intp::GetProperty<Intp::TPropertyMonitorEvent>(*device);
    if (!log.Valid)
        return;
    const int pages = log.Entries.empty() ? 1 : int((log.Entries.size() + LinesPerPage - 1) / LinesPerPage);
    const QSignalBlocker quiet(m_Ui->m_Pages);
    for (int page = 1; page <= pages; ++page)
        m_Ui->m_Pages->addItem(QStringLiteral("Page.%1").arg(page, 2, 10, QLatin1Char('0')));
    m_Ui->m_Pages->setCurrentIndex(0);
    ShowPage();
}

void TModuleMonitorEvent::ShowPage()
{
    m_Ui->m_Log->clear();
    TDevice* device = FirstSelected();
    if (!device || m_Ui->m_Pages->currentIndex() < 0)
        return;
    const auto& log = Intp::GetProperty<Intp::TPropertyMonitorEvent>(*device);
    if (!log.Valid)
        return;
    const std::size_t first = std::size_t(m_Ui->m_Pages->currentIndex()) * LinesPerPage;
    const std::size_t end = std::min(log.Entries.size(), first + LinesPerPage);
    QStringList lines;
    for (std::size_t i = first; i < end; ++i)
        lines.append(RecordText(log.Entries[i].First) + QStringLiteral(": ") + RecordText(log.Entries[i].Second));
    m_Ui->m_Log->setPlainText(lines.join(QLatin1Char('\n')));
}
