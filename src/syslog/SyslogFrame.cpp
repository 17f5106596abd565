#include "SyslogFrame.h"

#include "net/SyslogFile.h"
#include "ui/SyslogForm.h"
#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "ui_SyslogFrame.h"

#include <QDateTime>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

TSyslogFrame::TSyslogFrame(QWidget* parent, Syslog::TSyslogLimits limits)
    : QWidget(parent), m_Ui(std::make_unique<Ui::TSyslogFrame>()), m_Store(limits)
{
    m_Ui->setupUi(this);
    ShowCounts();
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

    connect(m_Ui->m_Save, &QPushButton::clicked, this, &TSyslogFrame::SaveAll);
    connect(m_Ui->m_Clear, &QPushButton::clicked, this, &TSyslogFrame::EventOnClear);
    connect(list, &QTableView::doubleClicked, this, &TSyslogFrame::EventOnDoubleClick);
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

void TSyslogFrame::ClearEvents()
{
    m_Store.Clear();
    m_Model.Cleared();
    ShowCounts();
}

bool TSyslogFrame::ParseEvent(std::string_view text, int& facility, int& severity, std::string& message)
{
    return Syslog::ParseEvent(text, facility, severity, message);
}

void TSyslogFrame::AddEvent(uint32_t address, std::string_view text)
{
    m_Store.Add(address, text, QDateTime::currentMSecsSinceEpoch());
    m_Model.Added();
    ShowCounts();
}

void TSyslogFrame::ShowCounts()
{
    m_Ui->m_Num->setText(QString::number(m_Store.Size()));
    m_Ui->m_Discarded->setText(QStringLiteral("%1 older messages discarded").arg(m_Store.Discarded()));
    m_Ui->m_Discarded->setVisible(m_Store.Discarded() > 0);
}

int TSyslogFrame::CountEvents(uint32_t address)
{
    return m_Store.Count(address);
}

std::string TSyslogFrame::FacilityText(int facility)
{
    return Syslog::FacilityText(facility);
}

std::string TSyslogFrame::SeverityText(int severity)
{
    return Syslog::SeverityText(severity);
}

void TSyslogFrame::CollectEvents(uint32_t address, std::vector<Syslog::TSyslogListNode>& out, bool mark)
{
    m_Store.Collect(address, out, mark);
}

bool TSyslogFrame::SaveEvents(const std::vector<Syslog::TSyslogListNode>& list, const std::string& fileName)
{
    return Syslog::SaveEvents(list, QString::fromStdString(fileName));
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
    CollectEvents(0, list, false);
    if (SaveEvents(list, file.toStdString()))
        return true;
    Dialogs::Error(this, QStringLiteral("Cannot write the file %1.").arg(file));
    return false;
}

void TSyslogFrame::EventOnClear()
{
    switch (Dialogs::AskYesNoCancel(this, QStringLiteral("Would you like to save these messages?"))) {
    case Dialogs::TAnswer::Yes:
        if (SaveAll())
            ClearEvents();
        break;
    case Dialogs::TAnswer::No:
        ClearEvents();
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
    CollectEvents(address, list, true);
    auto* form = new TSyslogForm(list);
    form->setWindowTitle(AddressText(address));
    form->SelectEventId(index.data(TSyslogModel::EventIdRole).toLongLong());
    form->show();
}
