// The main window and the Devices module, offscreen: the device tree and its groups, the
// selection rules, the function tree and the banner area.
#include "FakeSessionCallback.h"

#include "core/Device.h"
#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "net/EngineHost.h"
#include "net/SyslogService.h"
#include "net/SyslogSocketThread.h"
#include "pages/ModuleBanner.h"
#include "shell/AboutForm.h"
#include "shell/DeviceNavigator.h"
#include "shell/LoginForm.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"
#include "shell/WindowLayout.h"
#include "status/StatusFrame.h"
#include "syslog/SyslogFrame.h"
#include "ui/Dialogs.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QUdpSocket>
#include <QtTest>

using namespace Intp;

namespace {

// A module that records what it is told and can refuse to hide.
class TProbeModule : public QWidget, public TModule {
public:
    explicit TProbeModule(QString name, int sessions = 0) : m_Name(std::move(name)), Sessions(sessions) {}
    QString m_Name;
    int Sessions;
    bool Busy = false;
    int Hides = 0, Refreshes = 0;
    QList<uint16_t> Codes;
    QString GetName() const override { return m_Name; }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice*, uint16_t code, uint16_t) override
    {
        Codes << code;
        show();
    }
    bool Hide(bool force) override
    {
        ++Hides;
        if (Busy && !force)
            return false;
        hide();
        return true;
    }
    int Refresh(bool) override
    {
        ++Refreshes;
        return Sessions;
    }
};

struct TFilter : Filter::TFilterSettingsServer {
    uint32_t Rejected = 0;
    bool IsAccepted(uint32_t address) const override
    {
        return address != Rejected && Filter::IsAccepted(Settings, address);
    }
};

} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT

    TDevice* Add(uint8_t mac, int model, uint32_t address, const char* name = "sw")
    {
        TDevice* d = Registry::Find(Mac(mac), true);
        d->SetType(RegisterKnownModels()[std::size_t(model)]);
        d->SetName(name);
        d->SetAddress(address);
        return d;
    }
    QAbstractItemModel* Model() { return m_Form->Tree()->model(); }
    int GroupCount()
    {
        m_Form->Navigator().FlushTree();
        return Model()->rowCount(m_Form->Navigator().DevicesIndex());
    }
    // What the view shows under the Devices node.
    QStringList Groups()
    {
        m_Form->Navigator().FlushTree();
        QStringList out;
        QModelIndex devices = m_Form->Navigator().DevicesIndex();
        for (int i = 0; i < Model()->rowCount(devices); ++i) {
            QModelIndex g = Model()->index(i, 0, devices);
            QStringList members;
            for (int j = 0; j < Model()->rowCount(g); ++j)
                members << Model()->index(j, 0, g).data().toString().section(' ', 1, 1).remove('(').remove(',');
            out << g.data().toString() + ": " + members.join(' ');
        }
        return out;
    }
    // By the captions the view shows.
    QModelIndex Node(const QString& path)
    {
        QModelIndex node = Model()->index(0, 0);
        for (const QString& part : path.split('/')) {
            QModelIndex next;
            for (int i = 0; i < Model()->rowCount(node) && !next.isValid(); ++i)
                if (Model()->index(i, 0, node).data().toString() == part)
                    next = Model()->index(i, 0, node);
            if (!next.isValid())
                return {};
            node = next;
        }
        return node;
    }
    QModelIndex Current() { return m_Form->Tree()->currentIndex(); }
    qint64 IconKey(const QModelIndex& index) { return index.data(Qt::DecorationRole).value<QIcon>().cacheKey(); }

private slots:
    void initTestCase()
    {
        // The window's layout is only ever kept in the files the tests name, never the user's.
        QStandardPaths::setTestModeEnabled(true);
    }
    void init()
    {
        Registry::Clear();
        m_Form = new TMainForm;
        m_Filter = new TFilter;
        m_Filter->Settings.LocalSubnets = {{0xC0000201, 0xFFFFFF00}, {0xC6336401, 0xFFFFFF00}};
        m_Form->Host().SetFilterServer(m_Filter);
        m_Fake = new TFakeSessionCallback;
        m_Asked.clear();
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Asked << text;
            return true;
        });
    }
    void cleanup()
    {
        Dialogs::SetHandler(nullptr);
        delete m_Fake;
        delete m_Form;
        delete m_Filter;
        Registry::Clear();
    }

    void syslogPort_data()
    {
        QTest::addColumn<bool>("taken");
        QTest::newRow("taken") << true;
        QTest::newRow("free") << false;
    }
    void syslogPort()
    {
        QFETCH(bool, taken);
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0));
        const quint16 port = holder.localPort();
        if (!taken)
            holder.close();
        QList<Dialogs::TKind> kinds;
        Dialogs::SetHandler([&](Dialogs::TKind kind, const QString& text) {
            kinds << kind;
            m_Asked << text;
            return false; // Ignore
        });
        qputenv("ZODE_SYSLOG_PORT", QByteArray::number(port));
        auto form = std::make_unique<TMainForm>();
        qputenv("ZODE_SYSLOG_PORT", "0");
        QCOMPARE(form->Navigator().GetSyslogServer(), static_cast<Syslog::TSyslogServer*>(&form->Host().Syslog()));
        QCOMPARE(form->Navigator().PathIndex("Syslog Events").data().toString(), QStringLiteral("Syslog Events"));
        if (taken) {
            QCOMPARE(kinds, QList<Dialogs::TKind>({Dialogs::TKind::AbortIgnore}));
            const QStringList lines = m_Asked.first().split('\n');
            QCOMPARE(lines.size(), 2);
            QCOMPARE(lines[0], QStringLiteral("Cannot bind SYSLOG port, syslog is currently disabled. Abort?"));
            QVERIFY(!lines[1].isEmpty());
            QVERIFY(!form->Host().SyslogSocket());
            return;
        }
        QVERIFY(kinds.isEmpty());
        QVERIFY(form->Host().SyslogSocket() && form->Host().SyslogSocket()->IsOpen());
        QUdpSocket sender;
        sender.writeDatagram(QByteArray("<13>Jan  5 10:20:30 sw hello"), QHostAddress::LocalHost, port);
        QTRY_COMPARE(form->Host().Syslog().CountEvents(0x7F000001), 1);
    }

    void windowAndActions()
    {
        QCOMPARE(m_Form->windowTitle(), QString("Veltrane Zode"));
        QCOMPARE(m_Form->findChild<QAction*>("acDiscovery")->text(), QString("&Discovery"));
        QCOMPARE(m_Form->findChild<QAction*>("acDiscovery")->shortcut(), QKeySequence("Ctrl+D"));
        QCOMPARE(m_Form->findChild<QAction*>("acRefresh")->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+R"), QKeySequence("F5")}));
        QVERIFY(!m_Form->findChild<QAction*>("acPreference")->isVisible());
        QCOMPARE(Model()->index(0, 0).data().toString(), QString("Veltrane Zode"));
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QString("Devices"));
        QVERIFY(Node("Status Monitor").isValid() && Node("Syslog Events").isValid() &&
                Node("Wizards/Group IP Setting").isValid() && Node("Wizards/Group Firmware Update").isValid());
        QCOMPARE(m_Form->DevicesModule()->findChild<QLabel*>("m_Wait")->text(), QString("Retrieving devices info ..."));
        QVERIFY(m_Form->DevicesModule()->FindNode("Monitor And Diagnostic/LLDP"));
        QVERIFY(m_Form->DevicesModule()->FindNode("Basics/DHCP Server/Port and IP Binding"));
    }

    void loginDialog()
    {
        TLoginForm* login = m_Form->LoginForm();
        QCOMPARE(login->windowTitle(), QString("Login"));
        auto* user = login->findChild<QLineEdit*>("m_Username");
        auto* password = login->findChild<QLineEdit*>("m_Password");
        auto* ok = login->findChild<QPushButton*>("m_Login");
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(user, "admin");
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(password, "abcdefghijklmnopq"); // the 17th character does not go in
        QCOMPARE(password->text(), QString("abcdefghijklmnop"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QVERIFY(ok->isEnabled() && ok->isDefault());
        user->clear();
        QVERIFY(!ok->isEnabled());
    }

    void aboutShowsTheVersion()
    {
        QVERIFY(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+ \\(build \\d+\\)$")
                    .match(TAboutForm::VersionText())
                    .hasMatch());
        TAboutForm about;
        QCOMPARE(about.windowTitle(), QString("About"));
        QCOMPARE(about.findChild<QLabel*>("m_Version")->text(), TAboutForm::VersionText());
    }

    void devicesEnterOnceAndCount()
    {
        TDevice* d = Registry::Find(Mac(1), true);
        d->SetType(RegisterKnownModels()[0]); // recognised, no address yet
        QCOMPARE(GroupCount(), 0);
        d->SetAddress(0xC0000205);
        QVERIFY(m_Form->Navigator().IndexOf(d).isValid());
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QString("Devices (1)"));
        d->SetName("north");
        QCOMPARE(m_Form->Navigator().IndexOf(d).data().toString(), QString("north (192.0.2.5, 00:0A:1B:2C:3D:01)"));
        // The whole caption as a hint, for when the panel cuts it off.
        QCOMPARE(m_Form->Navigator().IndexOf(d).data(Qt::ToolTipRole).toString(),
                 QString("north (192.0.2.5, 00:0A:1B:2C:3D:01)"));
        Registry::Find(Mac(2), true)->SetAddress(0xC0000206); // unknown model: never shown
        QCOMPARE(Groups(), QStringList({"All Devices: 192.0.2.5"}));
        Registry::Clear();
        QCOMPARE(GroupCount(), 0);
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QString("Devices (0)"));
    }

    void devicesEnterInBatches()
    {
        QAbstractItemModelTester tester(Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* sort = m_Form->findChild<QComboBox*>("m_TreeSort");
        sort->setCurrentIndex(TDeviceNavigator::smModel);
        int insertions = 0;
        connect(Model(), &QAbstractItemModel::rowsInserted, this, [&] { ++insertions; });
        // A burst of 60 switches of three models: their groups go in with one insertion.
        for (int i = 0; i < 60; ++i)
            Add(uint8_t(i + 1), i % 3, 0xC0000200u + uint32_t(i + 1));
        QCOMPARE(insertions, 0);
        QTRY_COMPARE(GroupCount(), 3);
        QCOMPARE(insertions, 1);
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QString("Devices (60)"));
        // The next burst joins the groups there are: one insertion per group.
        for (int i = 60; i < 90; ++i)
            Add(uint8_t(i + 1), i % 3, 0xC0000200u + uint32_t(i + 1));
        m_Form->Navigator().FlushTree();
        QCOMPARE(insertions, 4);
        // A device that is no longer shown when its batch goes in never enters.
        TDevice* late = Add(200, 0, 0xC00002C8);
        Registry::Find(Mac(199), true)->SetAddress(0xC00002C7); // an unrecognised switch stays out
        late->SetAddress(0);
        m_Form->Navigator().FlushTree();
        QCOMPARE(insertions, 4);
        std::vector<TDevice*> all;
        QCOMPARE(m_Form->Navigator().GetAllDevices(all), 90);
        // Moves, sort changes, removals and a new discovery, all under the tester's eye.
        Registry::Find(Mac(1), false)->SetType(RegisterKnownModels()[4]);
        sort->setCurrentIndex(TDeviceNavigator::smAddress);
        Registry::Find(Mac(2), false)->SetAddress(0x0A000001);
        Registry::Find(Mac(3), false)->SetAddress(0);
        sort->setCurrentIndex(TDeviceNavigator::smNone);
        QCOMPARE(Groups().size(), 1);
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QCOMPARE(GroupCount(), 0);
        // The rest of the tree stays open.
        QVERIFY(m_Form->Tree()->isExpanded(Model()->index(0, 0)) && m_Form->Tree()->isExpanded(Node("Wizards")));
    }

    // Typed into the field above the tree: what the view then shows under the Devices node.
    void treeFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("groups");
        const QString none;
        QTest::newRow("name, any case") << "SOUTH" << QStringList({"All Devices (1 of 3): 198.51.100.16"});
        QTest::newRow("name, inside") << "ar" << QStringList({"All Devices (1 of 3): 192.0.2.15"});
        QTest::newRow("name, blanks around") << "  north " << QStringList({"All Devices (1 of 3): 192.0.2.5"});
        QTest::newRow("address prefix") << "192.0.2.1" << QStringList({"All Devices (1 of 3): 192.0.2.15"});
        QTest::newRow("address prefix, two") << "192.0" << QStringList({"All Devices (2 of 3): 192.0.2.5 192.0.2.15"});
        QTest::newRow("address, not its start") << "0.2.5" << QStringList();
        QTest::newRow("MAC with colons") << "3d:02" << QStringList({"All Devices (1 of 3): 198.51.100.16"});
        QTest::newRow("MAC without colons") << "3D02" << QStringList({"All Devices (1 of 3): 198.51.100.16"});
        QTest::newRow("MAC, every switch")
            << "0A:1B:2C" << QStringList({"All Devices (3 of 3): 192.0.2.5 198.51.100.16 192.0.2.15"});
        QTest::newRow("model string") << "kx40-gt" << QStringList({"All Devices (1 of 3): 192.0.2.15"});
        QTest::newRow("model description") << "Single Mode" << QStringList({"All Devices (1 of 3): 198.51.100.16"});
        QTest::newRow("no match") << "absent" << QStringList();
    }
    void treeFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, groups);
        Add(1, 0, 0xC0000205, "north");
        Add(2, 1, 0xC6336410, "South-1");
        Add(3, 3, 0xC000020F, "yard");
        const QStringList all({"All Devices: 192.0.2.5 198.51.100.16 192.0.2.15"});
        QCOMPARE(Groups(), all);
        auto* field = m_Form->findChild<QLineEdit*>("m_TreeFilter");
        QTest::keyClicks(field, typed);
        QCOMPARE(Groups(), groups);
        int shown = 0;
        for (const QString& group : groups)
            shown += int(group.section(": ", 1).split(' ').size());
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QStringLiteral("Devices (%1 of 3)").arg(shown));
        // Escape empties the field: the whole tree again.
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(field->text().isEmpty());
        QCOMPARE(Groups(), all);
        QCOMPARE(m_Form->Navigator().DevicesIndex().data().toString(), QString("Devices (3)"));
    }

    void treeFilterHasItsShortcut()
    {
        auto* find = m_Form->findChild<QAction*>("acFindDevice");
        QCOMPARE(find->shortcut(), QKeySequence("Ctrl+E"));
        // None of the window's other actions takes it.
        for (QAction* action : m_Form->findChildren<QAction*>())
            QVERIFY(action == find || !action->shortcuts().contains(find->shortcut()));
    }

    // The selection rules hold for the devices shown: hidden ones leave the selection.
    void treeFilterNarrowsTheSelection()
    {
        TDevice* a = Add(1, 0, 0xC0000205, "north");
        TDevice* b = Add(2, 1, 0xC0000206, "south");
        TDevice* c = Add(3, 0, 0xC0000207, "northeast");
        m_Form->Navigator().SelectDevices({c, b, a});
        auto selected = [this] {
            std::vector<TDevice*> devices;
            m_Form->Navigator().GetSelectedDevices(devices);
            return devices;
        };
        QCOMPARE(selected(), std::vector<TDevice*>({c, b, a}));
        auto* field = m_Form->findChild<QLineEdit*>("m_TreeFilter");
        field->setText("north");
        QCOMPARE(selected(), std::vector<TDevice*>({c, a}));
        QVERIFY(m_Form->Navigator().IsSelectedDevice(c) && !m_Form->Navigator().IsAmongSelected(b));
        QVERIFY(m_Form->Tree()->selectionModel()->isSelected(m_Form->Navigator().IndexOf(a)));
        field->setText("absent");
        QVERIFY(selected().empty());
        QCOMPARE(Current(), m_Form->Navigator().DevicesIndex());
        QCOMPARE(m_Form->Navigator().ShownModule(), static_cast<TModule*>(m_Form->DevicesModule()));
        // Showing them again selects nothing by itself.
        field->clear();
        QVERIFY(selected().empty());
        QCOMPARE(Groups(), QStringList({"All Devices: 192.0.2.5 192.0.2.6 192.0.2.7"}));
    }

    void layoutRoundTrip()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("layout.conf");
        auto* sort = m_Form->findChild<QComboBox*>("m_TreeSort");
        m_Form->resize(1100, 700);
        m_Form->show();
        sort->setCurrentIndex(TDeviceNavigator::smAddress);
        auto* splitter = m_Form->findChild<QSplitter*>("m_Splitter");
        splitter->setSizes({420, 600});
        const QList<int> sizes = splitter->sizes();
        auto status = [](TMainForm& form) {
            return form.StatusModule()->findChild<QTableView*>("m_List")->horizontalHeader();
        };
        auto syslog = [](TMainForm& form) {
            return form.SyslogModule()->findChild<QTableView*>("m_ListView")->horizontalHeader();
        };
        status(*m_Form)->resizeSection(TStatusModel::colMac, 177);
        status(*m_Form)->moveSection(TStatusModel::colModel, 1);
        syslog(*m_Form)->resizeSection(TSyslogModel::colFacility, 133);
        TWindowLayout(file).Save(*m_Form);

        TMainForm again;
        QVERIFY(TWindowLayout(file).Restore(again));
        again.show();
        QCOMPARE(again.size(), QSize(1100, 700));
        QCOMPARE(again.findChild<QComboBox*>("m_TreeSort")->currentIndex(), int(TDeviceNavigator::smAddress));
        QCOMPARE(again.findChild<QSplitter*>("m_Splitter")->sizes(), sizes);
        QCOMPARE(status(again)->sectionSize(TStatusModel::colMac), 177);
        QCOMPARE(status(again)->visualIndex(TStatusModel::colModel), 1);
        QCOMPARE(syslog(again)->sectionSize(TSyslogModel::colFacility), 133);
    }

    // Whatever the file holds, a window that cannot use it keeps its defaults.
    void layoutFallsBackToDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\xff\xfe[[[=\n\x01"
                                               "binary=\n[window\ngeometry=@ByteArray(junk)\n");
        QTest::newRow("foreign") << QByteArray("[layout]\nversion=99\n[tree]\nsortMode=2\n");
        QTest::newRow("bad geometry") << QByteArray("[layout]\nversion=1\n[window]\ngeometry=@ByteArray(junk)\n"
                                                    "[tree]\nsortMode=2\n");
    }
    void layoutFallsBackToDefaults()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString file = dir.filePath("layout.conf");
        if (!content.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
        const QList<int> sizes = m_Form->findChild<QSplitter*>("m_Splitter")->sizes();
        QVERIFY(!TWindowLayout(file).Restore(*m_Form));
        QCOMPARE(m_Form->findChild<QComboBox*>("m_TreeSort")->currentIndex(), int(TDeviceNavigator::smNone));
        QCOMPARE(m_Form->findChild<QSplitter*>("m_Splitter")->sizes(), sizes);
    }

    // The device pane opens wide enough for a whole caption.
    void devicePaneFitsACaption()
    {
        TDevice* d = Add(1, 0, 0xC6336464, "South-12");
        m_Form->resize(1280, 800);
        m_Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Form));
        const QModelIndex node = m_Form->Navigator().IndexOf(d);
        const QRect shown = m_Form->Tree()->visualRect(node);
        const int needed = m_Form->Tree()->fontMetrics().horizontalAdvance(node.data().toString());
        QVERIFY2(shown.left() + 24 + needed < m_Form->Tree()->viewport()->width(),
                 qPrintable(QStringLiteral("%1 + %2 of %3")
                                .arg(shown.left())
                                .arg(needed)
                                .arg(m_Form->Tree()->viewport()->width())));
    }

    void exitEndsTheProgramFromTheTray()
    {
        bool ended = true;
        QTimer::singleShot(0, m_Form, [this] {
            m_Form->show();
            m_Form->hide(); // minimised to the tray
            m_Form->findChild<QAction*>("acExit")->trigger();
        });
        QTimer::singleShot(5000, this, [&] {
            ended = false;
            QCoreApplication::exit(1);
        });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(ended);
    }

    void deviceIconsFollowFlags()
    {
        TDevice* d = Add(1, 0, 0xC0000205);
        qint64 before = IconKey(m_Form->Navigator().IndexOf(d));
        d->SetLoggedIn(true);
        QVERIFY(IconKey(m_Form->Navigator().IndexOf(d)) != before);
        d->SetLoggedIn(false);
        QCOMPARE(IconKey(m_Form->Navigator().IndexOf(d)), before);
    }

    void sortModes()
    {
        auto* sort = m_Form->findChild<QComboBox*>("m_TreeSort");
        sort->setCurrentIndex(TDeviceNavigator::smAddress); // empty tree: nothing happens
        QCOMPARE(GroupCount(), 0);
        sort->setCurrentIndex(TDeviceNavigator::smNone);
        m_Filter->Settings.Unicast = {{0xCB007105, 0xFFFFFFFF}};
        Add(1, 3, 0xC6336409);
        Add(2, 0, 0xC0000205);
        Add(3, 3, 0xCB007105);
        Add(4, 0, 0x0A000001);
        Add(5, 5, 0xC0000205); // same address as 2
        QCOMPARE(Groups(), QStringList({"All Devices: 198.51.100.9 192.0.2.5 203.0.113.5 10.0.0.1 192.0.2.5"}));
        sort->setCurrentIndex(TDeviceNavigator::smModel);
        QString tx = QString::fromStdString(Description(RegisterKnownModels()[0]));
        QString gt = QString::fromStdString(Description(RegisterKnownModels()[3]));
        QString gm = QString::fromStdString(Description(RegisterKnownModels()[5]));
        QCOMPARE(Groups(),
                 QStringList({tx + ": 192.0.2.5 10.0.0.1", gt + ": 198.51.100.9 203.0.113.5", gm + ": 192.0.2.5"}));
        sort->setCurrentIndex(TDeviceNavigator::smAddress);
        QCOMPARE(Groups(),
                 QStringList({"10.0.0.1: 10.0.0.1", "192.0.2.5: 192.0.2.5 192.0.2.5", "198.51.100.9: 198.51.100.9",
                              "203.0.113.5: 203.0.113.5"}));
        sort->setCurrentIndex(TDeviceNavigator::smFilter);
        QCOMPARE(Groups(),
                 QStringList({"Unicast Devices: 203.0.113.5", "192.0.2.1/255.255.255.0: 192.0.2.5 192.0.2.5",
                              "198.51.100.1/255.255.255.0: 198.51.100.9", "Others: 10.0.0.1"}));
        // A device that moves changes group and leaves an empty group behind it deleted.
        Registry::Find(Mac(1), false)->SetAddress(0x0A000002);
        QCOMPARE(Groups(),
                 QStringList({"Unicast Devices: 203.0.113.5", "192.0.2.1/255.255.255.0: 192.0.2.5 192.0.2.5",
                              "Others: 10.0.0.1 10.0.0.2"}));
    }

    void groupSelectedWhileGroupsChange()
    {
        auto* sort = m_Form->findChild<QComboBox*>("m_TreeSort");
        TDevice* a = Add(1, 0, 0xC0000205);
        Add(2, 0, 0xC0000206);
        sort->setCurrentIndex(TDeviceNavigator::smAddress);
        // A group node is selected while its device moves away and the group is deleted...
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(a).parent());
        a->SetAddress(0xC0000207);
        QCOMPARE(Groups(), QStringList({"192.0.2.6: 192.0.2.6", "192.0.2.7: 192.0.2.7"}));
        TDevice* first = nullptr;
        QCOMPARE(m_Form->Navigator().GetSelectedDevice(first), 0);
        // ...and while the sort mode deletes every group.
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(a).parent());
        sort->setCurrentIndex(TDeviceNavigator::smModel);
        QCOMPARE(GroupCount(), 1);
        m_Form->findChild<QAction*>("acReboot")->trigger(); // reads the selection: nothing selected, nothing sent
        QVERIFY(m_Fake->Sent.empty());
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(a));
        QCOMPARE(m_Form->Navigator().GetSelectedDevice(first), 1);
    }

    void rejectedAddressRemovesNode()
    {
        TDevice* d = Add(1, 0, 0xC0000205);
        m_Filter->Rejected = 0xC0000206;
        d->SetAddress(0xC0000206);
        QVERIFY(!m_Form->Navigator().IndexOf(d).isValid());
        QCOMPARE(GroupCount(), 0);
        d->SetAddress(0); // a rebooting switch is not shown either
        d->SetAddress(0xC0000207);
        QVERIFY(m_Form->Navigator().IndexOf(d).isValid());
        d->SetAddress(0);
        QVERIFY(!m_Form->Navigator().IndexOf(d).isValid());
    }

    void selectPath()
    {
        QVERIFY(m_Form->Navigator().SelectPath("Wizards/Group Firmware Update"));
        QCOMPARE(Current(), Node("Wizards/Group Firmware Update"));
        QVERIFY(m_Form->Navigator().SelectPath("Wizards/No Such Page"));
        QCOMPARE(Current(), Node("Wizards"));
        m_Form->findChild<QAction*>("acGroupIpWizard")->trigger();
        QCOMPARE(Current(), Node("Wizards/Group IP Setting"));
    }

    void selectionOfDevices()
    {
        TDevice* a = Add(1, 0, 0xC0000205);
        TDevice* b = Add(2, 0, 0xC0000206);
        m_Form->Navigator().SelectDevices({a, b});
        std::vector<TDevice*> devices;
        QCOMPARE(m_Form->Navigator().GetSelectedDevices(devices), 2);
        QCOMPARE(devices.front(), a);
        TDevice* first = nullptr;
        QCOMPARE(m_Form->Navigator().GetSelectedDevice(first), 2);
        QCOMPARE(first, a);
        QVERIFY(m_Form->Navigator().IsSelectedDevice(a) && !m_Form->Navigator().IsSelectedDevice(b) &&
                m_Form->Navigator().IsAmongSelected(b));
        QCOMPARE(m_Form->Navigator().ShownModule(), static_cast<TModule*>(m_Form->DevicesModule()));
        // A group node is no device selection.
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(a).parent());
        QCOMPARE(m_Form->Navigator().GetSelectedDevice(first), 0);
        QCOMPARE(first, nullptr);
        devices.clear();
        QCOMPARE(m_Form->Navigator().GetAllDevices(devices), 2);
    }

    void rebootAsksAndSendsOnlyToSelection()
    {
        Add(1, 0, 0xC0000205);
        m_Form->findChild<QAction*>("acReboot")->trigger();
        QCOMPARE(m_Asked, QStringList({"Are you sure to reboot selected devices?"}));
        QVERIFY(m_Fake->Sent.empty());
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(Registry::Find(Mac(1), false)));
        m_Fake->Sent.clear(); // the banner's RedundancyGet
        m_Form->findChild<QAction*>("acReboot")->trigger();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(ReadU16(m_Fake->Sent[0].Bytes.data()), uint16_t(259));
    }

    void loginAndLogoutSendToSelection()
    {
        TDevice* a = Add(1, 0, 0xC0000205);
        TDevice* b = Add(2, 0, 0xC0000206);
        m_Form->Navigator().SelectDevices({a, b});
        m_Fake->Sent.clear(); // the banner's RedundancyGet
        bool asked = false;
        m_Form->Navigator().SetCredentialsSource([&](std::string& user, std::string& password) {
            asked = true;
            user = "admin";
            password = "admin";
            return true;
        });
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QVERIFY(asked);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        TDigest digest = CredentialDigest("admin", "admin");
        QVERIFY(std::equal(digest.begin(), digest.end(), m_Fake->Sent[1].Bytes.begin() + HeaderSize));
        asked = false;
        m_Form->findChild<QAction*>("acLogout")->trigger(); // asks nothing
        QVERIFY(!asked);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(4));
        QVERIFY(std::all_of(m_Fake->Sent[3].Bytes.begin() + HeaderSize, m_Fake->Sent[3].Bytes.end(),
                            [](uint8_t b) { return b == 0; }));
    }

    void busyModuleKeepsSelection()
    {
        TDevice* d = Add(1, 0, 0xC0000205);
        d->SetLoggedIn(true);
        auto* busy = new TProbeModule("Busy Page");
        QTreeWidgetItem* page = m_Form->DevicesModule()->AddPage(busy, nullptr);
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(d));
        m_Form->DevicesModule()->Tree()->setCurrentItem(page);
        QCOMPARE(m_Form->DevicesModule()->SelectedPage(), static_cast<TModule*>(busy));
        busy->Busy = true;
        m_Form->Navigator().SelectIndex(Node("Status Monitor"));
        QCOMPARE(Current(), m_Form->Navigator().IndexOf(d));
        QCOMPARE(m_Form->Navigator().ShownModule(), static_cast<TModule*>(m_Form->DevicesModule()));
        // Nor may another page of the function tree be chosen.
        m_Form->DevicesModule()->Tree()->setCurrentItem(m_Form->DevicesModule()->FindNode("Basics"));
        QCOMPARE(m_Form->DevicesModule()->SelectedPage(), static_cast<TModule*>(busy));
        busy->Busy = false;
        m_Form->Navigator().SelectIndex(Node("Status Monitor"));
        QCOMPARE(Current(), Node("Status Monitor"));
    }

    void pagesNeedALoggedInDevice()
    {
        TModuleFrame* frame = m_Form->DevicesModule();
        QTreeWidgetItem* basics = frame->FindNode("Basics");
        frame->Tree()->setCurrentItem(frame->FindNode("Port Configuration")); // no device selected
        QCOMPARE(frame->Tree()->currentItem(), basics);
        TDevice* d = Add(1, 0, 0xC0000205);
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(d));
        frame->Tree()->setCurrentItem(frame->FindNode("SNMP/Community"));
        QCOMPARE(frame->Tree()->currentItem(), basics);
        d->SetLoggedIn(true);
        frame->Tree()->setCurrentItem(frame->FindNode("SNMP/Community"));
        QCOMPARE(frame->Tree()->currentItem(), frame->FindNode("SNMP/Community"));
    }

    void pageWaitsForItsData()
    {
        TModuleFrame* frame = m_Form->DevicesModule();
        TDevice* d = Add(1, 0, 0xC0000205);
        d->SetLoggedIn(true);
        auto* page = new TProbeModule("Fetching", 1);
        QTreeWidgetItem* node = frame->AddPage(page, nullptr);
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(d));
        frame->Tree()->setCurrentItem(node);
        QVERIFY(!page->isVisibleTo(frame)); // hidden until its Get arrives
        QVERIFY(frame->WaitLabel()->isVisibleTo(frame));
        QVERIFY(page->Codes.isEmpty());
        page->Sessions = 0;
        frame->Notify(d, ncSelect, 0);
        QCOMPARE(page->Codes, QList<uint16_t>({ncSelect}));
    }

    void banners()
    {
        TModuleFrame* frame = m_Form->DevicesModule();
        auto* linkState = frame->findChild<TModuleBannerKorvex700G*>();
        QVERIFY(linkState);
        auto* other = new TProbeModule("Other");
        auto* spare = new TProbeModule("Spare");
        const auto& models = RegisterKnownModels();
        for (int model : models)
            QVERIFY(frame->AddBanner(model, other)); // accepted, but the catalogue's banner stays
        QVERIFY(frame->AddBanner(0, other));
        QVERIFY(!frame->AddBanner(0, spare)); // a second default is refused
        QVERIFY(!frame->AddBanner(5, nullptr));

        TDevice* a = Add(1, 0, 0xC0000205);
        TDevice* b = Add(2, 3, 0xC0000206);
        frame->Notify(a, ncSelect, 0);
        QCOMPARE(frame->CurrentBanner(), static_cast<TModule*>(linkState));
        frame->Notify(b, ncSelect, 0); // another KX40: the same banner stays shown
        QCOMPARE(frame->CurrentBanner(), static_cast<TModule*>(linkState));
        QVERIFY(linkState->isVisibleTo(frame));
        TDevice* unknown = Registry::Find(Mac(9), true);
        frame->Notify(unknown, ncSelect, 0); // no banner of its own: the default
        QVERIFY(!linkState->isVisibleTo(frame));
        QVERIFY(!linkState->Timer().isActive());
        QCOMPARE(frame->CurrentBanner(), static_cast<TModule*>(other));
        delete spare;
    }

    void refreshAllSumsTheCatalogue()
    {
        TModuleFrame* frame = m_Form->DevicesModule();
        QCOMPARE(frame->Refresh(false), 0); // folders only
        frame->AddPage(new TProbeModule("Two", 2), frame->FindNode("Security"));
        frame->AddPage(new TProbeModule("Three", 3), nullptr);
        QCOMPARE(frame->Refresh(false), 5);
        QCOMPARE(frame->Refresh(true), 0); // nothing selected
    }

private:
    TMainForm* m_Form = nullptr;
    TFilter* m_Filter = nullptr;
    TFakeSessionCallback* m_Fake = nullptr;
    QStringList m_Asked;
};

QTEST_MAIN(TMainFormTest)
#include "tst_mainform.moc"
