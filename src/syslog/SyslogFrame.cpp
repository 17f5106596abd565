#include "SyslogFrame.h"

#include "SyslogFile.h"
#include "SyslogForm.h"
#include "app/AddressText.h"
#include "app/Dialogs.h"
#include "app/Images.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TSyslogFrame::TSyslogFrame(QWidget* parent) : QWidget(parent)
{
    auto* label = new QLabel(QStringLiteral("Num events:"), this);
    label->setObjectName(QStringLiteral("m_Label1"));
    m_Num = new QLabel(QStringLiteral("0"), this);
    m_Num->setObjectName(QStringLiteral("m_Num"));
    m_Save = new QPushButton(Icon(TImage::Save), QStringLiteral("&Save"), this);
    m_Save->setObjectName(QStringLiteral("m_Save"));
    m_Clear = new QPushButton(Icon(TImage::Clear), QStringLiteral("&Clear"), this);
    m_Clear->setObjectName(QStringLiteral("m_Clear"));

    m_ListView = new QTableView(this);
    m_ListView->setObjectName(QStringLiteral("m_ListView"));
    m_ListView->setModel(&m_Model);
    m_ListView->setShowGrid(true);
    m_ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ListView->setSortingEnabled(false);
    m_ListView->setWordWrap(false);
    m_ListView->verticalHeader()->hide();
    // One height for every row, so that the view never measures rows.
    m_ListView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_ListView->verticalHeader()->setDefaultSectionSize(m_ListView->fontMetrics().height() + 6);
    QHeaderView* header = m_ListView->horizontalHeader();
    header->setMinimumSectionSize(56);
    header->setStretchLastSection(true);
    static const int widths[] = {56, 100, 64, 100, 80, 100};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_ListView->setColumnWidth(column, widths[column]);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_Num);
    top->addStretch(1);
    top->addWidget(m_Save);
    top->addWidget(m_Clear);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_ListView);

    connect(m_Save, &QPushButton::clicked, this, &TSyslogFrame::SaveAll);
    connect(m_Clear, &QPushButton::clicked, this, &TSyslogFrame::EventOnClear);
    connect(m_ListView, &QTableView::doubleClicked, this, &TSyslogFrame::EventOnDoubleClick);
}

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
    m_Num->setText(QStringLiteral("0"));
}

bool TSyslogFrame::ParseEvent(std::string_view text, int& facility, int& severity, std::string& message)
{
    return Syslog::ParseEvent(text, facility, severity, message);
}

void TSyslogFrame::AddEvent(uint32_t address, std::string_view text)
{
    m_Store.Add(address, text, QDateTime::currentMSecsSinceEpoch());
    m_Model.Added();
    m_Num->setText(QString::number(m_Store.Size()));
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
    const QString file = Dialogs::PickSaveFile(this, QStringLiteral("Save syslog messages to ..."),
                                               QStringLiteral("syslog.xml"),
                                               QStringLiteral("Syslog files (*.xml);;All files (*)"));
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
    form->SelectEventId(index.data(TSyslogModel::EventIdRole).toInt());
    form->show();
}
