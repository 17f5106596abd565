// The "Syslog Events" page and the message window: rows in arrival order, counting and
// clearing, saving, stepping through a sender's messages, sorting, and the table model
// under a burst of messages and while the bounded store discards its oldest.
#include "net/AddressText.h"
#include "syslog/SyslogFrame.h"
#include "ui/Dialogs.h"
#include "ui/SyslogForm.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <QtTest>

using Syslog::TSyslogListNode;

namespace {

constexpr uint32_t HostA = 0x0A000002; // 10.0.0.2
constexpr uint32_t HostB = 0x0A000001; // 10.0.0.1

std::string Datagram(int priority, const std::string& text)
{
    return "<" + std::to_string(priority) + ">Jan  5 10:20:30 sw " + text;
}

TSyslogListNode Node(int eventId, uint32_t address, QDateTime received, const char* message)
{
    TSyslogListNode node;
    node.EventId = eventId;
    node.Address = address;
    node.Facility = 1;
    node.Severity = 5;
    node.Received = received.toMSecsSinceEpoch();
    node.Message = message;
    return node;
}

// The addresses of a saved file's entries, in file order.
QStringList SavedAddresses(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QStringList addresses;
    QXmlStreamReader xml(&in);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("Address"))
            addresses << xml.readElementText();
        else if (!xml.isStartElement())
            xml.readNext();
    }
    return addresses;
}

} // namespace

class TSyslogViewsTest : public QObject {
    Q_OBJECT

    QTableView* List() { return m_Frame->findChild<QTableView*>("m_ListView"); }
    QString Text(int row, int column) { return m_Frame->Model().index(row, column).data().toString(); }
    QString Num() { return m_Frame->findChild<QLabel*>("m_Num")->text(); }
    void Click(const char* button) { m_Frame->findChild<QPushButton*>(button)->click(); }
    template <typename T>
    static T* Child(QWidget* form, const char* name)
    {
        return form->findChild<T*>(name);
    }
    static QStringList Column(QWidget* form, int column)
    {
        QStringList texts;
        auto* list = Child<QTreeWidget>(form, "m_LogList");
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            texts << list->topLevelItem(row)->text(column);
        return texts;
    }
    static QList<bool> Enabled(QWidget* form)
    {
        return {Child<QPushButton>(form, "m_Prev")->isEnabled(), Child<QPushButton>(form, "m_Next")->isEnabled(),
                Child<QPushButton>(form, "m_Copy")->isEnabled()};
    }
    TSyslogForm* OpenedForm()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TSyslogForm*>(w))
                return form;
        return nullptr;
    }
    std::vector<TSyslogListNode> Collect(uint32_t address)
    {
        std::vector<TSyslogListNode> list;
        m_Syslog->CollectEvents(address, list, false);
        return list;
    }

private slots:
    void init()
    {
        m_Syslog = new TSyslogService;
        m_Frame = new TSyslogFrame(*m_Syslog);
        m_Picked.clear();
        Dialogs::SetPickHandler([this](Dialogs::TPick pick, const QString& caption, const QString& folder) {
            m_Picks << pick;
            m_PickTexts << caption << folder;
            return m_Picked;
        });
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Boxes << text;
            return true;
        });
    }
    void cleanup()
    {
        delete m_Frame;
        delete m_Syslog;
        delete OpenedForm();
        Dialogs::SetPickHandler({});
        Dialogs::SetHandler({});
        Dialogs::SetAnswerHandler({});
        m_Picks.clear();
        m_PickTexts.clear();
        m_Boxes.clear();
    }

    void rowsInArrivalOrder()
    {
        const uint32_t senders[] = {HostA, HostB, HostA, HostA, HostB};
        const int priorities[] = {13, 12, 11, 14, 15};
        for (int i = 0; i < 5; ++i)
            m_Syslog->AddEvent(senders[i], Datagram(priorities[i], "text " + std::to_string(i)));
        QCOMPARE(Num(), QStringLiteral("5"));
        m_Frame->Model().Flush();
        QCOMPARE(m_Frame->Model().rowCount(), 5);
        const char* severities[] = {"Notice", "Warning", "Error", "Informational", "Debug"};
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(Text(row, TSyslogModel::colEventId), QString::number(row + 1));
            QCOMPARE(Text(row, TSyslogModel::colFacility), QStringLiteral("user-level messages"));
            QCOMPARE(Text(row, TSyslogModel::colSeverity), QString::fromLatin1(severities[row]));
            QCOMPARE(Text(row, TSyslogModel::colHost), AddressText(senders[row]));
            QCOMPARE(Text(row, TSyslogModel::colMessage), QStringLiteral("text %1").arg(row));
            const QDate today = QDate::currentDate();
            QCOMPARE(Text(row, TSyslogModel::colDate), QLocale().toString(today, QLocale::ShortFormat));
            QVERIFY(!m_Frame->Model().index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        }
        QCOMPARE(m_Frame->Model().headerData(TSyslogModel::colMessage, Qt::Horizontal).toString(),
                 QStringLiteral("Messages"));

        // The fourth row: the window holds 10.0.0.2's messages only, the clicked one selected.
        emit List()->doubleClicked(m_Frame->Model().index(3, TSyslogModel::colHost));
        TSyslogForm* form = OpenedForm();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("10.0.0.2"));
        QCOMPARE(Column(form, 0), QStringList({"1", "3", "4"}));
        QCOMPARE(Child<QLineEdit>(form, "m_EventId")->text(), QStringLiteral("4"));
        QCOMPARE(Child<QLineEdit>(form, "m_Host")->text(), QStringLiteral("10.0.0.2"));
        QCOMPARE(Child<QPlainTextEdit>(form, "m_Memo")->toPlainText(), QStringLiteral("text 3"));
        QCOMPARE(Enabled(form), QList<bool>({true, false, true}));
        // Opening marks the sender's messages read, and only those.
        for (const TSyslogListNode& node : Collect(0))
            QCOMPARE(node.Read, node.Address == HostA);
    }

    void clearAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("pickFile");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes, saved") << int(Dialogs::TAnswer::Yes) << true << true << true;
        QTest::newRow("yes, save cancelled") << int(Dialogs::TAnswer::Yes) << false << true << false;
        QTest::newRow("no") << int(Dialogs::TAnswer::No) << true << true << false;
        QTest::newRow("cancel") << int(Dialogs::TAnswer::Cancel) << true << false << false;
    }
    void clearAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, pickFile);
        QFETCH(bool, cleared);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        if (pickFile)
            m_Picked = dir.filePath(QStringLiteral("syslog.xml"));
        QStringList questions;
        Dialogs::SetAnswerHandler([&](const QString& text) {
            questions << text;
            return Dialogs::TAnswer(answer);
        });
        m_Syslog->AddEvent(HostA, "first");
        m_Syslog->AddEvent(HostB, "second");
        Click("m_Clear");
        QCOMPARE(questions, QStringList({"Would you like to save these messages?"}));
        QCOMPARE(m_Picks.size(), answer == int(Dialogs::TAnswer::Yes) ? 1 : 0);
        QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("syslog.xml"))), saved);
        QCOMPARE(Num(), cleared ? QStringLiteral("0") : QStringLiteral("2"));
        m_Frame->Model().Flush();
        QCOMPARE(m_Frame->Model().rowCount(), cleared ? 0 : 2);
        m_Syslog->AddEvent(HostA, "third");
        m_Frame->Model().Flush();
        QCOMPARE(Collect(0).back().EventId, cleared ? 1 : 3);
        QCOMPARE(Text(m_Frame->Model().rowCount() - 1, TSyslogModel::colEventId), QString::number(cleared ? 1 : 3));
    }

    void failedSaveKeepsMessages()
    {
        m_Picked = QStringLiteral("/nonexistent-folder/syslog.xml");
        Dialogs::SetAnswerHandler([](const QString&) { return Dialogs::TAnswer::Yes; });
        m_Syslog->AddEvent(HostA, "kept");
        Click("m_Clear");
        QCOMPARE(m_Boxes.size(), 1);
        QVERIFY(m_Boxes.first().contains(m_Picked));
        QCOMPARE(Num(), QStringLiteral("1"));
    }

    // The chooser proposes "syslog" and a name without an extension is saved as a .log file
    // (holding the messages' XML); a name with one is kept.
    void saveProposesALogFile_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "plant"
                                      << "plant.log";
        QTest::newRow("own extension") << "plant.xml"
                                       << "plant.xml";
    }
    void saveProposesALogFile()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QTemporaryDir dir;
        m_Picked = dir.filePath(chosen);
        m_Syslog->AddEvent(HostA, "a1");
        Click("m_Save");
        QCOMPARE(m_PickTexts, QStringList({"Save syslog messages to ...", "syslog"}));
        QCOMPARE(SavedAddresses(dir.filePath(written)), QStringList{"10.0.0.2"});
    }

    void saveOrderByAddress()
    {
        QTemporaryDir dir;
        m_Picked = dir.filePath(QStringLiteral("saved.xml"));
        m_Syslog->AddEvent(HostA, "a1");
        m_Syslog->AddEvent(HostA, "a2");
        m_Syslog->AddEvent(HostB, "b1");
        Click("m_Save");
        QCOMPARE(m_Picks, QList<Dialogs::TPick>({Dialogs::TPick::SaveFile}));
        QCOMPARE(SavedAddresses(m_Picked), QStringList({"10.0.0.1", "10.0.0.2", "10.0.0.2"}));
        // Saving leaves the read state alone and the page as it was.
        for (const TSyslogListNode& node : Collect(0))
            QVERIFY(!node.Read);
        QCOMPARE(Num(), QStringLiteral("3"));
    }

    void formButtons_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("steps"); // -1 Previous, +1 Next
        QTest::addColumn<QString>("eventId");
        QTest::addColumn<QList<bool>>("enabled"); // Previous, Next, Copy
        QTest::newRow("empty") << 0 << QList<int>{-1, 1} << QString() << QList<bool>{false, false, false};
        QTest::newRow("single") << 1 << QList<int>{} << "1" << QList<bool>{false, false, true};
        QTest::newRow("last at first") << 3 << QList<int>{} << "3" << QList<bool>{true, false, true};
        QTest::newRow("middle") << 3 << QList<int>{-1} << "2" << QList<bool>{true, true, true};
        QTest::newRow("first") << 3 << QList<int>{-1, -1} << "1" << QList<bool>{false, true, true};
        QTest::newRow("back to last") << 3 << QList<int>{-1, -1, 1, 1} << "3" << QList<bool>{true, false, true};
    }
    void formButtons()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, steps);
        QFETCH(QString, eventId);
        QFETCH(QList<bool>, enabled);
        const QDateTime received(QDate(2026, 1, 5), QTime(10, 20, 30));
        std::vector<TSyslogListNode> nodes;
        for (int i = 1; i <= rows; ++i)
            nodes.push_back(Node(i, HostA, received, QByteArray("message ").append(QByteArray::number(i)).constData()));
        auto* form = new TSyslogForm(nodes);
        for (int step : steps)
            Child<QPushButton>(form, step < 0 ? "m_Prev" : "m_Next")->click();
        QCOMPARE(Child<QLineEdit>(form, "m_EventId")->text(), eventId);
        QCOMPARE(Enabled(form), enabled);
        if (rows > 0) {
            // Without a syslog server the numbers stand for the texts.
            QCOMPARE(Child<QLineEdit>(form, "m_Facility")->text(), QStringLiteral("1"));
            QCOMPARE(Child<QLineEdit>(form, "m_Severity")->text(), QStringLiteral("5"));
            QCOMPARE(Child<QLineEdit>(form, "m_Date")->text(),
                     QLocale().toString(received.date(), QStringLiteral("MMM d")));
            QCOMPARE(Child<QLineEdit>(form, "m_Time")->text(),
                     QLocale().toString(received.time(), QLocale::LongFormat));
            Child<QPushButton>(form, "m_Copy")->click();
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("message ") + eventId);
        }
        Child<QPushButton>(form, "m_Close")->click();
        QVERIFY(!OpenedForm() || OpenedForm()->isHidden());
        delete OpenedForm();
    }

    void sortHostTwiceThenDate()
    {
        const QTime time(10, 0);
        std::vector<TSyslogListNode> nodes = {
            Node(1, 0x0A000003, QDateTime(QDate(2026, 3, 2), time), "x"),
            Node(2, 0x0A000001, QDateTime(QDate(2026, 1, 9), time), "y"),
            Node(3, 0xC0000201, QDateTime(QDate(2026, 2, 1), time), "z"), // above 2^31: unsigned order
            Node(4, 0x0A000002, QDateTime(QDate(2026, 1, 5), time), "w"),
        };
        auto* form = new TSyslogForm(nodes);
        QHeaderView* header = Child<QTreeWidget>(form, "m_LogList")->header();
        emit header->sectionClicked(3);
        QCOMPARE(form->SortColumn(), 2);
        QCOMPARE(form->SortDirection(), 1);
        QCOMPARE(Column(form, 0), QStringList({"2", "4", "1", "3"}));
        emit header->sectionClicked(3);
        QCOMPARE(form->SortDirection(), -1);
        QCOMPARE(Column(form, 0), QStringList({"3", "1", "4", "2"}));
        emit header->sectionClicked(4);
        QCOMPARE(form->SortColumn(), 3);
        QCOMPARE(form->SortDirection(), 1);
        QCOMPARE(Column(form, 0), QStringList({"4", "2", "3", "1"}));
        // The selection stays on its message.
        QCOMPARE(Child<QLineEdit>(form, "m_EventId")->text(), QStringLiteral("4"));
        QCOMPARE(Enabled(form), QList<bool>({false, true, true}));
        delete form;
    }

    // What the three filter controls let through, over six messages from three senders.
    void filterByTextHostAndSeverity_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("no filter") << ""
                                   << "" << 7 << QStringList({"1", "2", "3", "4", "5", "6"});
        QTest::newRow("text, any case") << "LINK"
                                        << "" << 7 << QStringList({"1", "3", "6"});
        QTest::newRow("text with a blank") << "on port"
                                           << "" << 7 << QStringList({"1", "3"});
        QTest::newRow("host, whole") << ""
                                     << "10.0.0.1" << 7 << QStringList({"2", "5"});
        QTest::newRow("host, its start") << ""
                                         << "10.0.0." << 7 << QStringList({"1", "2", "3", "5"});
        QTest::newRow("host, another start") << ""
                                             << "10.0.1" << 7 << QStringList({"4", "6"});
        QTest::newRow("warning or worse") << ""
                                          << "" << 4 << QStringList({"2", "3", "5"});
        QTest::newRow("emergency only") << ""
                                        << "" << 0 << QStringList();
        QTest::newRow("all three") << "link"
                                   << "10.0.0.2" << 4 << QStringList({"3"});
        QTest::newRow("no match") << "absent"
                                  << "" << 7 << QStringList();
    }
    void filterByTextHostAndSeverity()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, lowest);
        QFETCH(QStringList, ids);
        constexpr uint32_t HostC = 0x0A000107; // 10.0.1.7
        const struct {
            uint32_t Sender;
            int Priority;
            const char* Text;
        } messages[] = {{HostA, 13, "Link up on port 3"},   {HostB, 11, "Power 2 lost"},
                        {HostA, 12, "link DOWN on port 3"}, {HostC, 14, "login admin"},
                        {HostB, 10, "fan failure"},         {HostC, 15, "Link probe"}};
        for (const auto& message : messages)
            m_Syslog->AddEvent(message.Sender, Datagram(message.Priority, message.Text));
        auto shown = [this] {
            m_Frame->Model().Flush();
            QStringList out;
            for (int row = 0; row < m_Frame->Model().rowCount(); ++row)
                out << Text(row, TSyslogModel::colEventId);
            return out;
        };
        QTest::keyClicks(Child<QLineEdit>(m_Frame, "m_FilterText"), text);
        QTest::keyClicks(Child<QLineEdit>(m_Frame, "m_FilterHost"), host);
        Child<QComboBox>(m_Frame, "m_FilterSeverity")->setCurrentIndex(lowest);
        QCOMPARE(shown(), ids);
        QCOMPARE(Num(), QString("6")); // the store keeps every message
        // Messages arriving meanwhile pass the same filter.
        m_Syslog->AddEvent(HostA, Datagram(12, "link flap on port 3"));
        m_Syslog->AddEvent(HostC, Datagram(15, "nothing"));
        auto passes = [&](const char* message, uint32_t sender, int severity) {
            return QString(message).contains(text, Qt::CaseInsensitive) && AddressText(sender).startsWith(host) &&
                severity <= lowest;
        };
        QStringList more = ids;
        if (passes("link flap on port 3", HostA, 4))
            more << "7";
        if (passes("nothing", HostC, 7))
            more << "8";
        QCOMPARE(shown(), more);
        // Taking the filter away shows them all again, double-clicks reaching the right sender.
        Child<QLineEdit>(m_Frame, "m_FilterText")->clear();
        Child<QLineEdit>(m_Frame, "m_FilterHost")->clear();
        Child<QComboBox>(m_Frame, "m_FilterSeverity")->setCurrentIndex(7);
        QCOMPARE(shown().size(), 8);
        QCOMPARE(m_Frame->Model().index(3, 0).data(TSyslogModel::AddressRole).toUInt(), HostC);
    }

    void followKeepsTheNewestInView_data()
    {
        QTest::addColumn<bool>("follow");
        QTest::newRow("following") << true;
        QTest::newRow("not following") << false;
    }
    void followKeepsTheNewestInView()
    {
        QFETCH(bool, follow);
        m_Frame->resize(800, 300);
        m_Frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Frame));
        Child<QCheckBox>(m_Frame, "m_Follow")->setChecked(follow);
        QScrollBar* bar = List()->verticalScrollBar();
        for (int burst = 0; burst < 3; ++burst) {
            for (int i = 0; i < 200; ++i)
                m_Syslog->AddEvent(HostA, Datagram(13, "flood " + std::to_string(i)));
            m_Frame->Model().Flush();
            QCoreApplication::processEvents(); // the view lays the rows out
            QVERIFY(bar->maximum() > 0);
            QCOMPARE(bar->value(), follow ? bar->maximum() : 0);
        }
    }

    void modelUnderBurst()
    {
        QAbstractItemModelTester tester(&m_Frame->Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&m_Frame->Model(), &QAbstractItemModel::rowsInserted);
        for (int i = 0; i < 2000; ++i)
            m_Syslog->AddEvent(i % 2 ? HostA : HostB, Datagram(i % 24, "burst"));
        QTRY_COMPARE(m_Frame->Model().rowCount(), 2000);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(Text(1999, TSyslogModel::colEventId), QStringLiteral("2000"));
        m_Syslog->ClearEvents();
        QCOMPARE(m_Frame->Model().rowCount(), 0);
        m_Syslog->AddEvent(HostA, "after");
        QTRY_COMPARE(m_Frame->Model().rowCount(), 1);
    }

    // A store bounded at five messages: the oldest rows leave the top with each batch, in one
    // removal, the selection stays on its message, and the page says how many went.
    void boundedStoreDiscardsOldestRows()
    {
        delete m_Frame;
        delete m_Syslog;
        m_Syslog = new TSyslogService({5, 1u << 20});
        m_Frame = new TSyslogFrame(*m_Syslog);
        TSyslogModel& model = m_Frame->Model();
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        auto* discarded = m_Frame->findChild<QLabel*>("m_Discarded");
        QVERIFY(discarded);
        auto add = [this](int count) {
            for (int i = 0; i < count; ++i)
                m_Syslog->AddEvent(i % 2 ? HostA : HostB, "message");
        };
        auto ids = [&] {
            QStringList texts;
            for (int row = 0; row < model.rowCount(); ++row)
                texts << Text(row, TSyslogModel::colEventId);
            return texts;
        };
        add(4);
        model.Flush();
        QVERIFY(discarded->isHidden());
        List()->setCurrentIndex(model.index(3, 0)); // event 4

        add(3);
        QCOMPARE(Num(), QStringLiteral("5"));
        QVERIFY(!discarded->isHidden());
        QCOMPARE(discarded->text(), QStringLiteral("2 older messages discarded"));
        QCOMPARE(Text(0, TSyslogModel::colEventId), QString()); // gone from the store, row left until the batch
        model.Flush();
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().mid(1), QVariantList({0, 1}));
        QCOMPARE(ids(), QStringList({"3", "4", "5", "6", "7"}));
        QCOMPARE(List()->currentIndex().data(TSyslogModel::EventIdRole).toLongLong(), 4);

        // More discarded between two batches than there are rows.
        add(12);
        model.Flush();
        QCOMPARE(ids(), QStringList({"15", "16", "17", "18", "19"}));
        QCOMPARE(discarded->text(), QStringLiteral("14 older messages discarded"));
        QCOMPARE(Collect(0).size(), std::size_t(5));

        m_Syslog->ClearEvents();
        QVERIFY(discarded->isHidden());
        add(1);
        model.Flush();
        QCOMPARE(ids(), QStringList({"1"}));
    }

private:
    TSyslogService* m_Syslog = nullptr;
    TSyslogFrame* m_Frame = nullptr;
    QString m_Picked;
    QList<Dialogs::TPick> m_Picks;
    QStringList m_PickTexts; // caption and proposed name of every chooser shown
    QStringList m_Boxes;
};

QTEST_MAIN(TSyslogViewsTest)
#include "tst_syslog_views.moc"
