// The discovery filter rules and the dialog that edits them.
#include "core/AddressRules.h"
#include "ui/Dialogs.h"
#include "ui/FilterForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include <map>
#include <tuple>

namespace {

uint32_t A(const QString& text) { return TextToAddress(text.toStdString()); }
QString T(uint32_t address) { return QString::fromStdString(AddressToText(address)); }

// "a/m" or a bare address, which stands for a unicast entry.
TIpMask Entry(const QString& text)
{
    const QStringList parts = text.split('/');
    return {A(parts[0]), parts.size() > 1 ? A(parts[1]) : 0xFFFFFFFFu};
}

std::vector<TIpMask> Entries(const QString& list)
{
    std::vector<TIpMask> entries;
    for (const QString& text : list.split(' ', Qt::SkipEmptyParts))
        entries.push_back(Entry(text));
    return entries;
}

QString Texts(const std::vector<TIpMask>& entries)
{
    QStringList texts;
    for (const auto& e : entries)
        texts << T(e.Address) + '/' + T(e.Mask);
    return texts.join(' ');
}

const std::vector<TIpMask> Subnets = Entries("192.168.1.10/255.255.255.0 10.0.0.5/255.0.0.0");

// Routes of the tests' imaginary workstation; every other address has none.
struct TRoute {
    const char* NextHop;
    int Index;
    const char* Name;
};
const std::map<QString, TRoute> Routes = {
    {"172.16.0.9", {"9.9.9.9", 12, "eth12"}},
    {"10.1.2.3", {"10.1.2.1", 3, "eth3"}},
    {"10.0.0.7", {"10.0.0.7", 2, "eth2"}},
};

bool FakeRoute(uint32_t address, uint32_t& nextHop, int& index, std::string& name)
{
    const auto found = Routes.find(T(address));
    if (found == Routes.end())
        return false;
    nextHop = A(found->second.NextHop);
    index = found->second.Index;
    name = found->second.Name;
    return true;
}

template <class TWidget>
TWidget* W(const QWidget& form, const char* name)
{
    auto* widget = form.findChild<TWidget*>(name);
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QLineEdit* Edit(const QWidget& form, const char* name) { return W<QLineEdit>(form, name); }
void Click(const QWidget& form, const char* name) { W<QAbstractButton>(form, name)->click(); }

// Types like the operator: fields that are disabled take no keys.
void Type(const QWidget& form, const char* name, const QString& text)
{
    QLineEdit* edit = Edit(form, name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Leave(const QWidget& form, const char* name) { emit Edit(form, name)->editingFinished(); }

QTreeWidget* List(const QWidget& form) { return W<QTreeWidget>(form, "m_RemoteList"); }

QStringList Column(const QWidget& form, int column = 0)
{
    QStringList texts;
    const QTreeWidget* list = List(form);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void Unfold(const QWidget& form)
{
    if (W<QPushButton>(form, "m_Remote")->text() == "Re&mote >>")
        Click(form, "m_Remote");
}

void AddRemote(const QWidget& form, const QString& address)
{
    Type(form, "m_RemoteIp", address);
    Click(form, "m_RemoteAdd");
}

void AddRange(const QWidget& form, const QString& first, const QString& last)
{
    Type(form, "m_RemoteIp", first);
    Type(form, "m_RemoteIpEnd", last);
    Click(form, "m_RemoteAddRange");
}

void ClickHeader(const QWidget& form, int column)
{
    QHeaderView* header = List(form)->header();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

// A form over the two test subnets with the fake routes, shown and unfolded.
struct TShownForm {
    TFilterForm Form{Subnets};
    explicit TShownForm(bool unfold = true)
    {
        Form.SetRouteLookup(FakeRoute);
        Form.show();
        if (unfold)
            Unfold(Form);
    }
};

Filter::TFilterSettings Settings(uint8_t method, const QString& subnet, const QString& begin, const QString& end,
                                 const QString& unicast = {})
{
    Filter::TFilterSettings settings;
    settings.LocalSubnets = Subnets;
    settings.Method = method;
    settings.Address = Entry(subnet).Address;
    settings.Mask = Entry(subnet).Mask;
    settings.RangeBegin = A(begin);
    settings.RangeEnd = A(end);
    settings.Unicast = Entries(unicast);
    return settings;
}

// The method, "address/mask" and "begin-end" of the settings, for one comparison.
QString Describe(const Filter::TFilterSettings& s)
{
    return QString("%1 %2/%3 %4-%5 [%6]")
        .arg(s.Method)
        .arg(T(s.Address), T(s.Mask), T(s.RangeBegin), T(s.RangeEnd), Texts(s.Unicast));
}

const char* const Question = "You are going to add more then 64 unicast discovery entries, which might cause "
                             "great performance drop.\n\nAre you sure to do this?";

} // namespace

class TstFilter : public QObject {
    Q_OBJECT

    QStringList m_Boxes; // "kind: text" of every message box asked for
    bool m_Answer = true;

private slots:
    void init()
    {
        m_Boxes.clear();
        m_Answer = true;
        Dialogs::SetHandler([this](Dialogs::TKind kind, const QString& text) {
            m_Boxes << QString("%1: %2").arg(kind == Dialogs::TKind::Confirm ? "confirm" : "error", text);
            return m_Answer;
        });
    }
    void cleanup() { Dialogs::SetHandler({}); }

    // ---- the rules ----

    void isAccepted_data()
    {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("unicast");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0 never, even from 0") << "0.0.0.0"
                                              << "255.255.255.255"
                                              << ""
                                              << "0.0.0.0" << false;
        QTest::newRow("full range") << "0.0.0.0"
                                    << "255.255.255.255"
                                    << ""
                                    << "10.0.0.1" << true;
        QTest::newRow("full range top") << "0.0.0.0"
                                        << "255.255.255.255"
                                        << ""
                                        << "255.255.255.255" << true;
        QTest::newRow("begin") << "192.168.1.10"
                               << "192.168.1.20"
                               << ""
                               << "192.168.1.10" << true;
        QTest::newRow("end") << "192.168.1.10"
                             << "192.168.1.20"
                             << ""
                             << "192.168.1.20" << true;
        QTest::newRow("below") << "192.168.1.10"
                               << "192.168.1.20"
                               << ""
                               << "192.168.1.9" << false;
        QTest::newRow("above") << "192.168.1.10"
                               << "192.168.1.20"
                               << ""
                               << "192.168.1.21" << false;
        QTest::newRow("unsigned inside") << "10.0.0.0"
                                         << "200.0.0.0"
                                         << ""
                                         << "150.0.0.1" << true;
        QTest::newRow("unsigned above") << "10.0.0.0"
                                        << "200.0.0.0"
                                        << ""
                                        << "201.0.0.0" << false;
        QTest::newRow("unicast entry") << "192.168.1.10"
                                       << "192.168.1.20"
                                       << "8.8.4.4 10.9.9.9"
                                       << "10.9.9.9" << true;
        QTest::newRow("next to entry") << "192.168.1.10"
                                       << "192.168.1.20"
                                       << "10.9.9.9"
                                       << "10.9.9.8" << false;
        QTest::newRow("0 entry") << "192.168.1.10"
                                 << "192.168.1.20"
                                 << "0.0.0.0"
                                 << "0.0.0.0" << false;
    }
    void isAccepted()
    {
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, unicast);
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        QCOMPARE(Filter::IsAccepted(Settings(Filter::fmCustomize, "0.0.0.0/0.0.0.0", begin, end, unicast), A(address)),
                 accepted);
    }

    void targets_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("subnet");
        QTest::addColumn<QString>("unicast");
        QTest::addColumn<QString>("targets");
        const QString all = Texts(Subnets);
        QTest::newRow("customize") << 2 << "1.2.3.4/255.255.0.0"
                                   << "" << all;
        QTest::newRow("customize, unicast") << 2 << "1.2.3.4/255.255.0.0"
                                            << "10.9.9.9 8.8.8.8"
                                            << "10.9.9.9/255.255.255.255 8.8.8.8/255.255.255.255";
        QTest::newRow("local subnet") << 0 << "10.0.0.5/255.0.0.0"
                                      << ""
                                      << "10.0.0.5/255.0.0.0";
        QTest::newRow("local subnet, unicast") << 0 << "10.0.0.5/255.0.0.0"
                                               << "8.8.8.8"
                                               << "10.0.0.5/255.0.0.0 8.8.8.8/255.255.255.255";
        QTest::newRow("primary, unicast") << 1 << "192.168.1.10/255.255.255.0"
                                          << "8.8.8.8 10.9.9.9"
                                          << "192.168.1.10/255.255.255.0 8.8.8.8/255.255.255.255 "
                                             "10.9.9.9/255.255.255.255";
    }
    void targets()
    {
        QFETCH(int, method);
        QFETCH(QString, subnet);
        QFETCH(QString, unicast);
        QFETCH(QString, targets);
        // Appends: what the list held stays in front.
        std::vector<TIpMask> got = Entries("1.1.1.1");
        Filter::GetTargets(Settings(uint8_t(method), subnet, "0.0.0.0", "255.255.255.255", unicast), got);
        QCOMPARE(Texts(got), "1.1.1.1/255.255.255.255 " + targets);
    }

    void groupOf_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("group");
        QTest::newRow("entry inside a subnet") << "192.168.1.77"
                                               << "unicast";
        QTest::newRow("first matching subnet") << "192.168.1.5"
                                               << "subnet 0";
        QTest::newRow("wider second subnet") << "192.168.200.1"
                                             << "subnet 1";
        QTest::newRow("third subnet") << "10.200.0.1"
                                      << "subnet 2";
        QTest::newRow("none") << "172.16.0.1"
                              << "others";
    }
    void groupOf()
    {
        QFETCH(QString, address);
        QFETCH(QString, group);
        Filter::TFilterSettings settings;
        settings.LocalSubnets = Entries("192.168.1.10/255.255.255.0 192.168.0.1/255.255.0.0 10.0.0.5/255.0.0.0");
        settings.Unicast = Entries("192.168.1.77");
        const Filter::TGroup got = Filter::GroupOf(settings, A(address));
        const QString text = got.Kind == Filter::TGroup::Unicast ? QString("unicast")
            : got.Kind == Filter::TGroup::Subnet                 ? QString("subnet %1").arg(got.SubnetIndex)
                                                                 : QString("others");
        QCOMPARE(text, group);
    }

    void customNormalisation_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("customRange");
        QTest::addColumn<QString>("typedBegin");
        QTest::addColumn<QString>("typedEnd");
        QTest::addColumn<QString>("range");
        const QString net = "192.168.1.5", mask = "255.255.255.0";
        QTest::newRow("subnet") << net << mask << false << "192.168.1.10"
                                << "192.168.1.20"
                                << "192.168.1.0-192.168.1.255";
        QTest::newRow("mask 0") << net << "0.0.0.0" << false << ""
                                << ""
                                << "0.0.0.0-255.255.255.255";
        QTest::newRow("range kept") << net << mask << true << "192.168.1.10"
                                    << "192.168.1.20"
                                    << "192.168.1.10-192.168.1.20";
        QTest::newRow("begin outside") << net << mask << true << "10.0.0.1"
                                       << "192.168.1.20"
                                       << "192.168.1.0-192.168.1.20";
        QTest::newRow("begin 0") << net << mask << true << "0.0.0.0"
                                 << "192.168.1.20"
                                 << "192.168.1.0-192.168.1.20";
        QTest::newRow("end outside") << net << mask << true << "192.168.1.10"
                                     << "192.168.2.1"
                                     << "192.168.1.10-192.168.1.255";
        QTest::newRow("end below begin") << net << mask << true << "192.168.1.30"
                                         << "192.168.1.20"
                                         << "192.168.1.30-192.168.1.255";
        QTest::newRow("end equals begin") << net << mask << true << "192.168.1.30"
                                          << "192.168.1.30"
                                          << "192.168.1.30-192.168.1.30";
        QTest::newRow("end 0, mask 0") << "0.0.0.0"
                                       << "0.0.0.0" << true << "10.0.0.1"
                                       << "0.0.0.0"
                                       << "10.0.0.1-255.255.255.255";
    }
    void customNormalisation()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(bool, customRange);
        QFETCH(QString, typedBegin);
        QFETCH(QString, typedEnd);
        QFETCH(QString, range);
        uint32_t begin = 1, end = 1;
        Filter::NormalizeCustomBegin(A(address), A(mask), customRange, A(typedBegin), begin);
        Filter::NormalizeCustomEnd(A(address), A(mask), customRange, begin, A(typedEnd), end);
        QCOMPARE(T(begin) + '-' + T(end), range);
    }

    void rangeEndPreset_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("end");
        QTest::newRow("/24") << "192.168.1.0"
                             << "192.168.1.255";
        QTest::newRow(".64") << "192.168.1.64"
                             << "192.168.1.127";
        QTest::newRow("odd") << "192.168.1.65"
                             << "192.168.1.65";
        QTest::newRow("lowest bit in the top byte") << "10.0.0.0"
                                                    << "11.255.255.255";
        QTest::newRow("top bit") << "128.0.0.0"
                                 << "255.255.255.255";
    }
    void rangeEndPreset()
    {
        QFETCH(QString, address);
        QFETCH(QString, end);
        QCOMPARE(T(Filter::RangeEndPreset(A(address))), end);
    }

    // ---- the dialog ----

    void defaultSettings()
    {
        TShownForm shown(false);
        const TFilterForm& form = shown.Form;
        QCOMPARE(form.windowTitle(), "Set Discovery Filter");
        QVERIFY(W<QRadioButton>(form, "m_Custom")->isChecked());
        QVERIFY(!W<QCheckBox>(form, "m_CustomRange")->isChecked());
        QCOMPARE(Edit(form, "m_CustomBegin")->text(), "0.0.0.0");
        QCOMPARE(Edit(form, "m_CustomEnd")->text(), "255.255.255.255");
        Click(form, "m_Ok");
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());

        const Filter::TFilterServer& server = form;
        QCOMPARE(Describe(server.GetSettings()), "2 0.0.0.0/0.0.0.0 0.0.0.0-255.255.255.255 []");
        QCOMPARE(Texts(server.GetSettings().LocalSubnets), Texts(Subnets));
        std::vector<TIpMask> targets;
        server.GetTargets(targets);
        QCOMPARE(Texts(targets), Texts(Subnets));
        for (const char* address : {"10.0.0.1", "172.16.5.5", "255.255.255.254", "1.0.0.0"})
            QVERIFY2(server.IsAccepted(A(address)), address);
        QVERIFY(!server.IsAccepted(0));
        QVERIFY(m_Boxes.isEmpty());
    }

    void oneUnicastEntry()
    {
        TShownForm shown;
        const TFilterForm& form = shown.Form;
        Type(form, "m_CustomIp", "192.168.1.5");
        Type(form, "m_CustomMask", "255.255.255.0");
        AddRemote(form, "10.9.9.9");
        Click(form, "m_Ok");

        std::vector<TIpMask> targets;
        form.GetTargets(targets);
        QCOMPARE(Texts(targets), "10.9.9.9/255.255.255.255");
        QVERIFY(form.IsAccepted(A("192.168.1.77")));
        QVERIFY(form.IsAccepted(A("10.9.9.9")));
        QVERIFY(!form.IsAccepted(A("10.9.9.8")));
        QVERIFY(!form.IsAccepted(A("192.168.2.1")));
    }

    void rangeConfirmation_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("rows");
        QTest::newRow("64 apart, OK") << "10.0.0.65" << true << true << 65;
        QTest::newRow("64 apart, Cancel") << "10.0.0.65" << false << true << 0;
        QTest::newRow("63 apart") << "10.0.0.64" << false << false << 64;
        QTest::newRow("one address") << "10.0.0.1" << false << false << 1;
    }
    void rangeConfirmation()
    {
        QFETCH(QString, last);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(int, rows);
        TShownForm shown;
        m_Answer = answer;
        AddRange(shown.Form, "10.0.0.1", last);
        QCOMPARE(m_Boxes, asked ? QStringList{QString("confirm: ") + Question} : QStringList{});
        const QStringList listed = Column(shown.Form);
        QCOMPARE(listed.size(), rows);
        if (rows) {
            QCOMPARE(listed.first(), "10.0.0.1");
            QCOMPARE(listed.last(), last);
        }
    }

    void duplicateAddress()
    {
        TShownForm shown;
        const TFilterForm& form = shown.Form;
        AddRemote(form, "10.0.0.5");
        AddRange(form, "10.0.0.4", "10.0.0.6");
        AddRemote(form, "10.0.0.5");
        QCOMPARE(Column(form), (QStringList{"10.0.0.5", "10.0.0.4", "10.0.0.6"}));
        QVERIFY(m_Boxes.isEmpty());
    }

    void invalidEntries_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("message");
        const QString address = "Invalid IP address!", range = "Invalid IP range!";
        QTest::newRow("empty") << "m_RemoteAdd"
                               << ""
                               << "" << address;
        QTest::newRow("loopback") << "m_RemoteAdd"
                                  << "127.0.0.1"
                                  << "" << address;
        QTest::newRow("not an address") << "m_RemoteAdd"
                                        << "10.0.0.300"
                                        << "" << address;
        QTest::newRow("broadcast") << "m_RemoteAdd"
                                   << "255.255.255.255"
                                   << "" << address;
        QTest::newRow("end below") << "m_RemoteAddRange"
                                   << "10.0.0.9"
                                   << "10.0.0.8" << range;
        QTest::newRow("no first") << "m_RemoteAddRange"
                                  << "x"
                                  << "10.0.0.8" << range;
        QTest::newRow("no end") << "m_RemoteAddRange"
                                << "10.0.0.9"
                                << "x" << range;
        // 128.0.0.0 presets the end to 255.255.255.255, which is no host address.
        QTest::newRow("preset end invalid") << "m_RemoteAddRange"
                                            << "128.0.0.0"
                                            << "" << range;
        // 10.0.0.0 presets 11.255.255.255: millions of rows would freeze the console.
        QTest::newRow("too large") << "m_RemoteAddRange"
                                   << "10.0.0.0"
                                   << "" << range;
        QTest::newRow("4097 addresses") << "m_RemoteAddRange"
                                        << "10.0.0.0"
                                        << "10.0.16.0" << range;
    }
    void invalidEntries()
    {
        QFETCH(QString, button);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, message);
        TShownForm shown;
        Type(shown.Form, "m_RemoteIp", first);
        if (!last.isEmpty())
            Type(shown.Form, "m_RemoteIpEnd", last);
        Click(shown.Form, button.toLatin1());
        QCOMPARE(m_Boxes, QStringList{"error: " + message});
        QCOMPARE(List(shown.Form)->topLevelItemCount(), 0);
    }

    void routeColumns()
    {
        TShownForm shown;
        const TFilterForm& form = shown.Form;
        QVERIFY(!W<QPushButton>(form, "m_RemoteClear")->isEnabled());
        for (const char* address : {"10.1.2.3", "10.0.0.7", "8.8.8.8"})
            AddRemote(form, address);
        QCOMPARE(Column(form, 1), (QStringList{"10.1.2.1", "10.0.0.7", "(Invalid)"}));
        QCOMPARE(Column(form, 2), (QStringList{"eth3", "eth2", "(Invalid)"}));
        QVERIFY(W<QPushButton>(form, "m_RemoteClear")->isEnabled());
        QCOMPARE(List(form)->headerItem()->text(0), "Destination");
        QCOMPARE(List(form)->headerItem()->text(1), "Next Hop");
        QCOMPARE(List(form)->headerItem()->text(2), "Interface");
    }

    void enabledStates_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("customRange");
        QTest::addColumn<QStringList>("enabled");
        const QStringList remote{"m_RemoteIpLabel",    "m_RemoteIp",     "m_RemoteAdd",
                                 "m_RemoteIpEndLabel", "m_RemoteIpEnd",  "m_RemoteList",
                                 "m_RemoteClear",      "m_RemoteDelete", "m_RemoteAddRange"};
        const QStringList custom{"m_CustomIpLabel", "m_CustomIp", "m_CustomMaskLabel", "m_CustomMask", "m_CustomRange"};
        const QStringList range{"m_CustomBeginLabel", "m_CustomBegin", "m_CustomEndLabel", "m_CustomEnd"};
        QTest::newRow("customize") << "m_Custom" << false << custom + remote;
        QTest::newRow("customize, range") << "m_Custom" << true << custom + range + remote;
        QTest::newRow("local subnet") << "m_Subnet" << true << QStringList{"m_SubnetLabel", "m_SubnetCombo"};
        QTest::newRow("primary") << "m_Gateway" << true << QStringList{"m_GatewayLabel"};
    }
    void enabledStates()
    {
        QFETCH(QString, method);
        QFETCH(bool, customRange);
        QFETCH(QStringList, enabled);
        TShownForm shown;
        const TFilterForm& form = shown.Form;
        AddRemote(form, "10.1.2.3");
        AddRemote(form, "10.0.0.7");
        List(form)->topLevelItem(1)->setSelected(true);
        if (customRange)
            Click(form, "m_CustomRange");
        Click(form, method.toLatin1());

        const QStringList controls{"m_SubnetLabel",      "m_SubnetCombo",     "m_GatewayLabel",   "m_CustomIpLabel",
                                   "m_CustomIp",         "m_CustomMaskLabel", "m_CustomMask",     "m_CustomRange",
                                   "m_CustomBeginLabel", "m_CustomBegin",     "m_CustomEndLabel", "m_CustomEnd",
                                   "m_RemoteIpLabel",    "m_RemoteIp",        "m_RemoteAdd",      "m_RemoteIpEndLabel",
                                   "m_RemoteIpEnd",      "m_RemoteAddRange",  "m_RemoteList",     "m_RemoteClear",
                                   "m_RemoteDelete"};
        QStringList got;
        for (const QString& name : controls)
            if (W<QWidget>(form, name.toLatin1())->isEnabled())
                got << name;
        enabled.sort();
        got.sort();
        QCOMPARE(got, enabled);
        for (const char* radio : {"m_Subnet", "m_Gateway", "m_Custom"})
            QVERIFY(W<QWidget>(form, radio)->isEnabled());
        // Listed entries stay under every method.
        QCOMPARE(List(form)->topLevelItemCount(), 2);
    }

    void deleteAndClear()
    {
        TShownForm shown;
        const TFilterForm& form = shown.Form;
        auto* remove = W<QPushButton>(form, "m_RemoteDelete");
        auto* clear = W<QPushButton>(form, "m_RemoteClear");
        for (const char* address : {"10.0.0.1", "10.0.0.2", "10.0.0.3"})
            AddRemote(form, address);
        QVERIFY(!remove->isEnabled());
        List(form)->topLevelItem(0)->setSelected(true);
        List(form)->topLevelItem(2)->setSelected(true);
        QVERIFY(remove->isEnabled());
        remove->click();
        QCOMPARE(Column(form), QStringList{"10.0.0.2"});
        QVERIFY(!remove->isEnabled());
        AddRemote(form, "10.0.0.1"); // deleted rows can come back
        QCOMPARE(Column(form), (QStringList{"10.0.0.2", "10.0.0.1"}));
        clear->click();
        QCOMPARE(List(form)->topLevelItemCount(), 0);
        QVERIFY(!clear->isEnabled());
        AddRemote(form, "10.0.0.2");
        QCOMPARE(Column(form), QStringList{"10.0.0.2"});
        QVERIFY(clear->isEnabled());
    }

    void sorting()
    {
        TShownForm shown;
        const TFilterForm& form = shown.Form;
        // Next hops and interface indexes differ in numeric and text order; 8.8.8.8 has no route.
        for (const char* address : {"172.16.0.9", "8.8.8.8", "10.1.2.3", "10.0.0.7"})
            AddRemote(form, address);
        QCOMPARE(Column(form), (QStringList{"172.16.0.9", "8.8.8.8", "10.1.2.3", "10.0.0.7"}));

        const std::vector<std::pair<int, QStringList>> steps = {
            {0, {"172.16.0.9", "10.1.2.3", "10.0.0.7", "8.8.8.8"}}, // already the sort column: reversed
            {1, {"172.16.0.9", "10.0.0.7", "10.1.2.3", "8.8.8.8"}}, // 9.9.9.9 < 10.0.0.7 < (Invalid)
            {1, {"8.8.8.8", "10.1.2.3", "10.0.0.7", "172.16.0.9"}},
            {2, {"10.0.0.7", "10.1.2.3", "172.16.0.9", "8.8.8.8"}}, // 2 < 3 < 12 < (Invalid)
            {0, {"8.8.8.8", "10.0.0.7", "10.1.2.3", "172.16.0.9"}},
        };
        for (const auto& [column, order] : steps) {
            ClickHeader(form, column);
            QCOMPARE(Column(form), order);
        }
        AddRemote(form, "9.0.0.1");
        QCOMPARE(Column(form), (QStringList{"8.8.8.8", "9.0.0.1", "10.0.0.7", "10.1.2.3", "172.16.0.9"}));
        Click(form, "m_Ok");
        QCOMPARE(Texts(form.GetSettings().Unicast), Texts(Entries("8.8.8.8 9.0.0.1 10.0.0.7 10.1.2.3 172.16.0.9")));
    }

    void customizeRule_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("customRange");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("settings");
        const QString net = "192.168.1.5", mask = "255.255.255.0";
        QTest::newRow("invalid mask") << net << "255.0.255.0" << false << ""
                                      << ""
                                      << "2 192.168.1.5/0.0.0.0 0.0.0.0-255.255.255.255 []";
        QTest::newRow("subnet") << net << mask << false << ""
                                << ""
                                << "2 192.168.1.5/255.255.255.0 192.168.1.0-192.168.1.255 []";
        QTest::newRow("no host address") << "127.0.0.1" << mask << false << ""
                                         << ""
                                         << "2 0.0.0.0/255.255.255.0 0.0.0.0-0.0.0.255 []";
        QTest::newRow("range") << net << mask << true << "192.168.1.10"
                               << "192.168.1.20"
                               << "2 192.168.1.5/255.255.255.0 192.168.1.10-192.168.1.20 []";
        QTest::newRow("begin outside") << net << mask << true << "10.0.0.1"
                                       << "192.168.1.20"
                                       << "2 192.168.1.5/255.255.255.0 192.168.1.0-192.168.1.20 []";
        QTest::newRow("end below begin") << net << mask << true << "192.168.1.30"
                                         << "192.168.1.20"
                                         << "2 192.168.1.5/255.255.255.0 192.168.1.30-192.168.1.255 []";
    }
    void customizeRule()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(bool, customRange);
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, settings);
        TShownForm shown(false);
        const TFilterForm& form = shown.Form;
        Type(form, "m_CustomIp", address);
        Type(form, "m_CustomMask", mask);
        if (customRange) {
            Click(form, "m_CustomRange");
            Type(form, "m_CustomBegin", begin);
            Type(form, "m_CustomEnd", end);
        }
        for (const char* field : {"m_CustomIp", "m_CustomMask", "m_CustomBegin", "m_CustomEnd"})
            Leave(form, field);
        const QStringList parts = settings.split(' ');
        const QStringList range = parts[2].split('-');
        QCOMPARE(Edit(form, "m_CustomBegin")->text(), range[0]);
        QCOMPARE(Edit(form, "m_CustomEnd")->text(), range[1]);
        Click(form, "m_Ok");
        QCOMPARE(Describe(form.GetSettings()), settings);
        // The next show finds the same values and the same range choice.
        shown.Form.show();
        QCOMPARE(W<QCheckBox>(form, "m_CustomRange")->isChecked(), customRange);
        QCOMPARE(Edit(form, "m_CustomBegin")->text(), range[0]);
        QCOMPARE(Edit(form, "m_CustomEnd")->text(), range[1]);
    }

    void leavingRewrites_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("endShown");
        QTest::newRow("ip, short form") << "m_CustomIp"
                                        << "10.1"
                                        << "10.0.0.1"
                                        << "";
        QTest::newRow("ip, invalid") << "m_CustomIp"
                                     << "abc"
                                     << "0.0.0.0"
                                     << "";
        QTest::newRow("mask, hexadecimal") << "m_CustomMask"
                                           << "0xffffff00"
                                           << "255.255.255.0"
                                           << "";
        QTest::newRow("remote /24") << "m_RemoteIp"
                                    << "192.168.1.0"
                                    << "192.168.1.0"
                                    << "192.168.1.255";
        QTest::newRow("remote .64") << "m_RemoteIp"
                                    << "192.168.1.64"
                                    << "192.168.1.64"
                                    << "192.168.1.127";
        QTest::newRow("remote, octal") << "m_RemoteIp"
                                       << "10.0.0.0101"
                                       << "10.0.0.65"
                                       << "10.0.0.65";
        QTest::newRow("remote, invalid") << "m_RemoteIp"
                                         << "127.0.0.2"
                                         << "0.0.0.0"
                                         << "0.0.0.0";
        QTest::newRow("remote end") << "m_RemoteIpEnd"
                                    << "10.2"
                                    << "10.0.0.2"
                                    << "";
    }
    void leavingRewrites()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, endShown);
        TShownForm form;
        Type(form.Form, field.toLatin1(), typed);
        if (!endShown.isEmpty())
            QCOMPARE(Edit(form.Form, "m_RemoteIpEnd")->text(), endShown);
        QCOMPARE(Edit(form.Form, field.toLatin1())->text(), typed);
        Leave(form.Form, field.toLatin1());
        QCOMPARE(Edit(form.Form, field.toLatin1())->text(), shown);
    }

    void showPreparation_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("subnet");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<int>("comboIndex");
        QTest::addColumn<bool>("customRange");
        QTest::addColumn<QString>("settings");
        QTest::newRow("subnet found") << 0 << "10.0.0.5/255.0.0.0"
                                      << "1.1.1.1-1.1.1.1"
                                      << "m_Subnet" << 1 << false << "0 10.0.0.5/255.0.0.0 10.0.0.0-10.255.255.255 []";
        QTest::newRow("subnet gone") << 0 << "172.16.0.1/255.255.0.0"
                                     << "172.16.0.0-172.16.255.255"
                                     << "m_Gateway" << 0 << false
                                     << "1 192.168.1.10/255.255.255.0 192.168.1.0-192.168.1.255 []";
        QTest::newRow("primary") << 1 << "10.0.0.5/255.0.0.0"
                                 << "10.0.0.0-10.255.255.255"
                                 << "m_Gateway" << 0 << false
                                 << "1 192.168.1.10/255.255.255.0 192.168.1.0-192.168.1.255 []";
        QTest::newRow("customize") << 2 << "192.168.7.3/255.255.255.0"
                                   << "192.168.7.0-192.168.7.255"
                                   << "m_Custom" << 0 << false
                                   << "2 192.168.7.3/255.255.255.0 192.168.7.0-192.168.7.255 []";
        QTest::newRow("customize, range")
            << 2 << "192.168.7.3/255.255.255.0"
            << "192.168.7.10-192.168.7.20"
            << "m_Custom" << 0 << true << "2 192.168.7.3/255.255.255.0 192.168.7.10-192.168.7.20 []";
        QTest::newRow("unknown method") << 7 << "10.0.0.5/255.0.0.0"
                                        << "10.0.0.0-10.255.255.255"
                                        << "m_Custom" << 0 << false
                                        << "2 10.0.0.5/255.0.0.0 10.0.0.0-10.255.255.255 []";
    }
    void showPreparation()
    {
        QFETCH(int, method);
        QFETCH(QString, subnet);
        QFETCH(QString, range);
        QFETCH(QString, checked);
        QFETCH(int, comboIndex);
        QFETCH(bool, customRange);
        QFETCH(QString, settings);
        TFilterForm form(Subnets);
        const QStringList bounds = range.split('-');
        form.ApplySettings(Settings(uint8_t(method), subnet, bounds[0], bounds[1]));
        // A show followed by Cancel keeps what the preparation chose; OK writes the same.
        for (const char* button : {"m_Cancel", "m_Ok"}) {
            form.show();
            QVERIFY(W<QRadioButton>(form, checked.toLatin1())->isChecked());
            QCOMPARE(W<QComboBox>(form, "m_SubnetCombo")->currentIndex(), comboIndex);
            QCOMPARE(W<QCheckBox>(form, "m_CustomRange")->isChecked(), customRange);
            QCOMPARE(W<QLabel>(form, "m_GatewayLabel")->text(), "192.168.1.10/255.255.255.0");
            Click(form, button);
            QCOMPARE(Describe(form.GetSettings()), settings);
        }
    }

    void noSubnets()
    {
        TFilterForm form(std::vector<TIpMask>{});
        Filter::TFilterSettings settings;
        settings.Method = Filter::fmPrimaryInterface;
        form.ApplySettings(settings);
        form.show();
        QVERIFY(!W<QRadioButton>(form, "m_Subnet")->isEnabled());
        QVERIFY(!W<QRadioButton>(form, "m_Gateway")->isEnabled());
        QVERIFY(W<QRadioButton>(form, "m_Custom")->isChecked());
        QCOMPARE(W<QLabel>(form, "m_GatewayLabel")->text(), "No networking or fetch subnets failed!");
        QCOMPARE(W<QComboBox>(form, "m_SubnetCombo")->count(), 0);
        QCOMPARE(form.GetSettings().Method, Filter::fmCustomize);
        std::vector<TIpMask> targets;
        form.GetTargets(targets);
        QVERIFY(targets.empty());
    }

    void fold()
    {
        TShownForm shown(false);
        TFilterForm& form = shown.Form;
        auto* button = W<QPushButton>(form, "m_Remote");
        const int height = form.height();
        const auto check = [&](int width, const char* caption, bool open) {
            QCOMPARE(form.width(), width);
            QCOMPARE(form.height(), height);
            QCOMPARE(button->text(), caption);
            QCOMPARE(W<QWidget>(form, "m_RemoteIp")->isEnabled(), open);
            QCOMPARE(List(form)->isVisible(), open);
            // Every control that shows lies fully inside the dialog.
            for (QWidget* widget : form.findChildren<QWidget*>(QRegularExpression("^m_")))
                if (widget->isVisible())
                    QVERIFY2(form.rect().contains(QRect(widget->mapTo(&form, QPoint()), widget->size())),
                             qPrintable(widget->objectName()));
        };
        check(TFilterForm::FoldedWidth, "Re&mote >>", false);
        QCOMPARE(TFilterForm::FoldedWidth, 311);
        QCOMPARE(TFilterForm::UnfoldedWidth, 705);
        button->click();
        check(705, "Re&mote <<", true);
        // The fold state outlives the dialog's closing.
        Click(form, "m_Cancel");
        form.show();
        check(705, "Re&mote <<", true);
        button->click();
        check(311, "Re&mote >>", false);
    }

    void okAndCancel()
    {
        TShownForm shown;
        TFilterForm& form = shown.Form;
        const QString initial = Describe(form.GetSettings());
        auto* combo = W<QComboBox>(form, "m_SubnetCombo");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), "10.0.0.5/255.0.0.0");

        AddRemote(form, "10.1.2.3");
        Click(form, "m_Subnet");
        combo->setCurrentIndex(1);
        QCOMPARE(List(form)->topLevelItemCount(), 1);
        Click(form, "m_Cancel");
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(Describe(form.GetSettings()), initial);

        form.show();
        QVERIFY(W<QRadioButton>(form, "m_Custom")->isChecked());
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(List(form)->topLevelItemCount(), 0);

        AddRemote(form, "10.1.2.3");
        Click(form, "m_Subnet");
        combo->setCurrentIndex(1);
        Click(form, "m_Ok");
        QCOMPARE(Describe(form.GetSettings()),
                 "0 10.0.0.5/255.0.0.0 10.0.0.0-10.255.255.255 [10.1.2.3/255.255.255.255]");
        std::vector<TIpMask> targets;
        form.GetTargets(targets);
        QCOMPARE(Texts(targets), "10.0.0.5/255.0.0.0 10.1.2.3/255.255.255.255");

        form.show();
        QVERIFY(W<QRadioButton>(form, "m_Subnet")->isChecked());
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(Column(form, 2), QStringList{"eth3"});
        Click(form, "m_Gateway");
        Click(form, "m_Ok");
        QCOMPARE(Describe(form.GetSettings()),
                 "1 192.168.1.10/255.255.255.0 192.168.1.0-192.168.1.255 [10.1.2.3/255.255.255.255]");
    }

    void applySettings()
    {
        TShownForm shown;
        TFilterForm& form = shown.Form;
        for (const char* address : {"10.1.2.3", "8.8.8.8"})
            AddRemote(form, address);
        ClickHeader(form, 0); // sorted descending
        QCOMPARE(Column(form), (QStringList{"10.1.2.3", "8.8.8.8"}));

        Filter::TFilterSettings settings = Settings(Filter::fmLocalSubnet, "172.16.0.1/255.255.0.0", "0.0.0.0",
                                                    "0.0.0.0", "10.1.2.3 8.8.8.8 172.16.0.9 8.8.8.8");
        settings.LocalSubnets = Entries("172.16.0.1/255.255.0.0");
        form.ApplySettings(settings);

        QCOMPARE(Texts(form.GetSettings().LocalSubnets), "172.16.0.1/255.255.0.0");
        QCOMPARE(Describe(form.GetSettings()),
                 "0 172.16.0.1/255.255.0.0 172.16.0.0-172.16.255.255 "
                 "[10.1.2.3/255.255.255.255 8.8.8.8/255.255.255.255 "
                 "172.16.0.9/255.255.255.255 8.8.8.8/255.255.255.255]");
        auto* combo = W<QComboBox>(form, "m_SubnetCombo");
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), "172.16.0.1/255.255.0.0");
        QVERIFY(W<QRadioButton>(form, "m_Subnet")->isChecked());
        // Rows in list order again (neither ascending nor descending), each address once.
        QCOMPARE(Column(form), (QStringList{"10.1.2.3", "8.8.8.8", "172.16.0.9"}));
        QCOMPARE(Column(form, 1), (QStringList{"10.1.2.1", "(Invalid)", "9.9.9.9"}));

        Click(form, "m_Ok");
        QCOMPARE(Describe(form.GetSettings()),
                 "0 172.16.0.1/255.255.0.0 172.16.0.0-172.16.255.255 "
                 "[10.1.2.3/255.255.255.255 8.8.8.8/255.255.255.255 "
                 "172.16.0.9/255.255.255.255]");
    }

    void showModal()
    {
        TFilterForm form(Subnets);
        for (const auto& [button, result] : {std::pair{"m_Ok", QDialog::Accepted}, {"m_Cancel", QDialog::Rejected}}) {
            QTimer::singleShot(0, &form, [&form, button = button] { Click(form, button); });
            QCOMPARE(form.ShowModal(), int(result));
        }
    }
};

QTEST_MAIN(TstFilter)
#include "tst_filter.moc"
