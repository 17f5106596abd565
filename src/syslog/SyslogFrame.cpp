#include "SyslogFrame.h"

#include "ui/SyslogForm.h"
#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "ui_SyslogFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

TSyslogFrame::TSyslogFrame(TSyslogService& syslog, QWidget* parent)
    : QWidget(parent), m_Ui(std::make_unique<Ui::TSyslogFrame>()), m_Syslog(syslog)
{
    m_Ui->setupUi(this);
    ShowCounts();
    ShowMatched();
    m_Ui->m_Save->setIcon(Icon(TImage::Save));
    m_Ui->m_Clear->setIcon(Icon(TImage::Clear));
    QTableView* list = m_Ui->m_ListView;
    list->setModel(&m_Model);
    // One height for every row, so that the view never measures rows.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    // "Severity" and "Date" a little wider than 64 and 80, so that "Informational" and the
    // locale's short date are not cut off.
    static const int widths[] = {56, 100, 90, 100, 100, 100};
    for (int column = 0; column < int(std::size(widths)); ++column)
        list->setColumnWidth(column, widths[column]);

    for (int severity = 0; severity < 8; ++severity)
        m_Ui->m_FilterSeverity->addItem(QString::fromStdString(Syslog::SeverityText(severity)));
    m_Ui->m_FilterSeverity->setCurrentIndex(7);
    connect(m_Ui->m_FilterText, &QLineEdit::textChanged, this, &TSyslogFrame::EventOnFilterChange);
    connect(m_Ui->m_FilterHost, &QLineEdit::textChanged, this, &TSyslogFrame::EventOnFilterChange);
    connect(m_Ui->m_FilterSeverity, &QComboBox::currentIndexChanged, this, &TSyslogFrame::EventOnFilterChange);
    // While following, each batch of new rows scrolls the newest into view.
    connect(&m_Model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_Ui->m_Follow->isChecked())
            m_Ui->m_ListView->scrollToBottom();
    });
    connect(&m_Model, &QAbstractItemModel::rowsInserted, this, &TSyslogFrame::ShowMatched);
    connect(&m_Model, &QAbstractItemModel::rowsRemoved, this, &TSyslogFrame::ShowMatched);
    connect(m_Ui->m_Follow, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_Ui->m_ListView->scrollToBottom();
    });

    connect(m_Ui->m_Save, &QPushButton::clicked, this, &TSyslogFrame::SaveAll);
    connect(m_Ui->m_Clear, &QPushButton::clicked, this, &TSyslogFrame::EventOnClear);
    connect(list, &QTableView::doubleClicked, this, &TSyslogFrame::EventOnDoubleClick);
    connect(&m_Syslog, &TSyslogService::Added, this, [this] {
        m_Model.Added();
        ShowCounts();
    });
    connect(&m_Syslog, &TSyslogService::Cleared, this, [this] {
        m_Model.Cleared();
        ShowCounts();
    });
}

TSyslogFrame::~TSyslogFrame() = default;

void TSyslogFrame::Notify(TDevice*, uint16_t, uint16_t)
{
    show();
}

bool TSyslogFrame::Hide(bool)
{
    hide();
    return true;
}

int TSyslogFrame::Refresh(bool)
{
    return 0;
}

void TSyslogFrame::EventOnFilterChange()
{
    Syslog::TSyslogFilter filter;
    filter.Text = m_Ui->m_FilterText->text().toStdString();
    filter.Host = m_Ui->m_FilterHost->text().trimmed().toStdString();
    filter.LowestSeverity = m_Ui->m_FilterSeverity->currentIndex();
    m_Model.SetFilter(filter);
    ShowMatched();
    if (m_Ui->m_Follow->isChecked())
        m_Ui->m_ListView->scrollToBottom();
}

void TSyslogFrame::ShowMatched()
{
    m_Ui->m_Matched->setVisible(m_Model.IsFiltering());
    m_Ui->m_Matched->setText(QStringLiteral("%1 shown").arg(m_Model.rowCount()));
}

void TSyslogFrame::ShowCounts()
{
    m_Ui->m_Num->setText(QString::number(m_Syslog.Store().Size()));
    m_Ui->m_Discarded->setText(QStringLiteral("%1 older messages discarded").arg(m_Syslog.Store().Discarded()));
    m_Ui->m_Discarded->setVisible(m_Syslog.Store().Discarded() > 0);
}

bool TSyslogFrame::SaveAll()
{
    // The content is XML; the name and filter are the ones operators know from the log files.
    const QString file = Dialogs::PickSaveFile(this, QStringLiteral("Save syslog messages to ..."),
                                               QStringLiteral("syslog"),
                                               QStringLiteral("Log file (*.log);;All files (*)"),
                                               QStringLiteral("log"));
    if (file.isEmpty())
        return true;
    std::vector<Syslog::TSyslogListNode> list;
    m_Syslog.CollectEvents(0, list, false);
    if (m_Syslog.SaveEvents(list, file.toStdString()))
        return true;
    Dialogs::Error(this, QStringLiteral("Cannot write the file %1.").arg(file));
    return false;
}

void TSyslogFrame::EventOnClear()
{
    switch (Dialogs::AskYesNoCancel(this, QStringLiteral("Would you like to save these messages?"))) {
    case Dialogs::TAnswer::Yes:
        if (SaveAll())
            m_Syslog.ClearEvents();
        break;
    case Dialogs::TAnswer::No:
        m_Syslog.ClearEvents();
        break;
    case Dialogs::TAnswer::Cancel:
        break;
    }
}

void TSyslogFrame::EventOnDoubleClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const uint32_t address = index.data(TSyslogModel::AddressRole).toUInt();
    std::vector<Syslog::TSyslogListNode> list;
    m_Syslog.CollectEvents(address, list, true);
    auto* form = new TSyslogForm(list, &m_Syslog);
    form->setWindowTitle(AddressText(address));
    form->SelectEventId(index.data(TSyslogModel::EventIdRole).toLongLong());
    form->show();
}
