// The Basics pages and Save To Flash, offscreen, driven through the main window: what they
// show from the cached records, the exact requests they send and how results change them.
#include "FormSessions.h"

#include "core/Basics.h"
#include "core/Codec.h"
#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "pages/ModuleSave.h"
#include "shell/DeviceTreeModel.h"
#include "shell/LoginForm.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

namespace {

// Stands in for the desktop's web browser.
class TUrlProbe : public QObject {
    Q_OBJECT
public:
    QStringList Urls;
public slots:
    void open(const QUrl& url) { Urls << url.toString(); }
};

// Exposes the row states of the device-list pages.
class TSaveRows : public TModuleSave {
public:
    using TModuleDeviceListPage::SetRowState;
};

struct TSettingsReply {
    uint16_t Kernel = 0;
    uint16_t Firmware = 0;
    uint32_t Hardware = 0;
    bool LoggedIn = true;
    std::string Name, Description, Location, Contact, Oid;
};

std::vector<uint8_t> Encode(const TSettingsReply& r)
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    w.U16(r.Kernel);
    w.U16(r.Firmware);
    w.U32(r.Hardware);
    w.Bool(r.LoggedIn);
    for (const std::string* text : {&r.Name, &r.Description, &r.Location, &r.Contact, &r.Oid})
        w.Text(*text, 256);
    return payload;
}

std::vector<uint8_t> Field(const std::string& text, std::size_t width)
{
    std::vector<uint8_t> out(text.begin(), text.begin() + std::ptrdiff_t(std::min(text.size(), width)));
    out.resize(width, 0);
    return out;
}

uint16_t CommandOf(const TSentDatagram& d) { return ReadU16(d.Bytes.data()); }

qint64 IconKey(TImage image) { return Icon(image).cacheKey(); }

} // namespace

class TBasicsTest : public QObject, public TPageDriver {
    Q_OBJECT

    TDevice* Add(uint8_t mac, bool loggedIn, int model = 0)
    {
        TDevice* d = Registry::Find(Mac(mac), true);
        d->SetType(RegisterKnownModels()[std::size_t(model)]);
        d->SetName("sw" + std::to_string(mac));
        d->SetAddress(0xC0000200u + mac);
        d->SetLoggedIn(loggedIn);
        return d;
    }
    // Selects the "All Devices" group: the frame stays shown with no device selected.
    void SelectNoDevice()
    {
        m_Form->Navigator().FlushTree();
        m_Form->Navigator().SelectIndex(m_Form->Navigator().Model()->index(0, 0, m_Form->Navigator().DevicesIndex()));
    }
    QWidget* Open(const QString& path)
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode(path));
        TModule* page = Frame()->SelectedPage();
        return page ? page->GetControl() : nullptr;
    }
    QStringList m_Boxes;

    void ReplySettings(TDevice* d, const TSettingsReply& r, uint16_t status = 0)
    {
        Reply(d, TSessionBasicsSettingsGet::Command, status, Encode(r));
    }

private slots:
    void init()
    {
        OpenWindow();
        m_Boxes.clear();
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Boxes << text;
            return true;
        });
    }
    void cleanup()
    {
        Dialogs::SetHandler(nullptr);
        CloseWindow();
    }

    void catalogueHasThePages()
    {
        const char* paths[] = {
            "Basics",        "Basics/Switch Setting", "Basics/Admin Password", "Basics/Factory Default",
            "Basics/Reboot", "Save To Flash"};
        for (const char* path : paths) {
            TModule* page = Frame()->ModuleOf(Frame()->FindNode(path));
            QVERIFY2(page && page->GetControl(), path);
            QCOMPARE(page->GetName(), QString(path).section('/', -1));
        }
        QCOMPARE(Frame()->Tree()->topLevelItem(0)->text(0), QString("Basics"));
    }

    void controlsFollowTheSelection_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("basics") << "Basics"
                                << QStringList{"m_Label1", "m_Label2", "m_Username", "m_Password", "m_Logout"};
        QTest::newRow("settings") << "Basics/Switch Setting"
                                  << QStringList{"m_Label1", "m_Label5", "m_Label9", "m_Name",  "m_Desc", "m_OID",
                                                 "m_HVer",   "m_Type",   "m_Icon",   "m_Apply", "m_Web"};
        QTest::newRow("password") << "Basics/Admin Password" << QStringList{"m_Label1",   "m_Label2",   "m_Label3",
                                                                            "m_Username", "m_Password", "m_Confirm"};
        QTest::newRow("default") << "Basics/Factory Default"
                                 << QStringList{"m_KeepNet", "m_KeepAuth", "m_Reboot", "m_Apply"};
        QTest::newRow("reboot") << "Basics/Reboot" << QStringList{"m_Reboot"};
    }
    void controlsFollowTheSelection()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, controls);
        TDevice* d = Add(1, true);
        Select({d});
        QWidget* page = Open(path);
        ReplySettings(d, {}); // pages that wait for their Get show now
        QVERIFY(Shown(page));
        for (const QString& name : controls)
            QVERIFY2(Child<QWidget>(page, name.toLatin1())->isEnabled(), qPrintable(name));
        SelectNoDevice();
        QVERIFY(Shown(page));
        for (const QString& name : controls)
            QVERIFY2(!Child<QWidget>(page, name.toLatin1())->isEnabled(), qPrintable(name));
    }

    // A page chosen for a device that is not logged in falls back to "Basics"; the function
    // tree then highlights "Basics", whether the page was clicked or chosen by keyboard.
    void fallBackHighlightsBasics()
    {
        TDevice* d = Add(1, false);
        Select({d});
        m_Form->resize(1280, 800);
        m_Form->show();
        QTreeWidget* tree = Frame()->Tree();
        QTreeWidgetItem* basics = Frame()->FindNode("Basics");
        QTreeWidgetItem* settings = Frame()->FindNode("Basics/Switch Setting");
        auto click = [&](QTreeWidgetItem* item) {
            tree->scrollToItem(item);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        };
        auto highlighted = [&] { return tree->selectedItems(); };
        click(settings);
        QCOMPARE(tree->currentItem(), basics);
        QCOMPARE(highlighted(), QList<QTreeWidgetItem*>{basics});
        QCOMPARE(Frame()->SelectedPage()->GetName(), QString("Basics"));
        click(Frame()->FindNode("Port Configuration"));
        QCOMPARE(highlighted(), QList<QTreeWidgetItem*>{basics});
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(highlighted(), QList<QTreeWidgetItem*>{basics});
        // Logged in, the page clicked is the page shown.
        d->SetLoggedIn(true);
        click(settings);
        QCOMPARE(tree->currentItem(), settings);
        QCOMPARE(highlighted(), QList<QTreeWidgetItem*>{settings});
        click(basics);
        QCOMPARE(Frame()->SelectedPage()->GetName(), QString("Basics"));
        QCOMPARE(highlighted(), QList<QTreeWidgetItem*>{basics});
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentItem(), settings);
        QCOMPARE(highlighted(), QList<QTreeWidgetItem*>{settings});
    }

    // ---- Basics ---------------------------------------------------------------------------

    void basicsWaitsForTheFirstDevice()
    {
        TDevice* a = Add(1, false);
        TDevice* b = Add(2, true);
        TDevice* c = Add(3, false);
        Select({a, b, c});
        m_Fake->Sent.clear();
        QWidget* page = Open("Basics");
        auto* list = Child<QTreeWidget>(page, "m_Devices");
        QVERIFY(!Shown(page));
        QVERIFY(Frame()->WaitLabel()->isVisibleTo(Frame()));
        QCOMPARE(TakeSent(), (TSentList{To(260, a), To(260, b), To(260, c)}));

        ReplySettings(b, {}); // another device's answer leaves the page waiting
        QVERIFY(!Shown(page));
        TSettingsReply loggedOut;
        loggedOut.LoggedIn = false;
        ReplySettings(a, loggedOut);
        QVERIFY(Shown(page));
        QVERIFY(list->isHeaderHidden());
        QCOMPARE(list->topLevelItemCount(), 3);
        const qint64 expected[] = {IconKey(TImage::Cancel), IconKey(TImage::Accept), IconKey(TImage::Cancel)};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->topLevelItem(i)->text(0), QString("192.0.2.%1").arg(i + 1));
            QCOMPARE(list->topLevelItem(i)->icon(0).cacheKey(), expected[i]);
        }
        QVERIFY(Child<QLineEdit>(page, "m_Username")->isEnabled() && Child<QPushButton>(page, "m_Logout")->isEnabled());
        QVERIFY(!Child<QPushButton>(page, "m_Login")->isEnabled());
        QCOMPARE(Child<QLineEdit>(page, "m_Password")->echoMode(), QLineEdit::Password);
    }

    void loginNeedsBothTextsAndADevice()
    {
        TDevice* a = Add(1, false);
        Select({a});
        QWidget* page = Open("Basics");
        ReplySettings(a, {});
        auto* user = Child<QLineEdit>(page, "m_Username");
        auto* password = Child<QLineEdit>(page, "m_Password");
        auto* login = Child<QPushButton>(page, "m_Login");
        const struct {
            const char* User;
            const char* Password;
            bool Enabled;
        } cases[] = {{"", "", false}, {"admin", "", false}, {"", "secret", false}, {"admin", "secret", true}};
        for (const auto& c : cases) {
            user->setText(c.User);
            password->setText(c.Password);
            QVERIFY2(login->isEnabled() == c.Enabled, c.User);
        }
        SelectNoDevice(); // the texts stay, but there is no one to log in to
        QVERIFY(!login->isEnabled());
        QCOMPARE(Child<QTreeWidget>(page, "m_Devices")->topLevelItemCount(), 0);
    }

    void loginAndLogoutUpdateOnlyTheirRows()
    {
        TDevice* a = Add(1, false);
        TDevice* b = Add(2, false);
        TDevice* c = Add(3, false);
        Select({a, b, c});
        QWidget* page = Open("Basics");
        TSettingsReply loggedOut;
        loggedOut.LoggedIn = false;
        ReplySettings(a, loggedOut);
        auto* list = Child<QTreeWidget>(page, "m_Devices");
        auto icon = [&](int row) { return list->topLevelItem(row)->icon(0); };
        Child<QLineEdit>(page, "m_Username")->setText("admin");
        Child<QLineEdit>(page, "m_Password")->setText("secret");
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Login")->click();

        const TDigest digest = CredentialDigest("admin", "secret");
        const std::vector<uint8_t> login(digest.begin(), digest.end());
        QCOMPARE(m_Fake->Sent.size(), std::size_t(3));
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(CommandOf(m_Fake->Sent[i]), uint16_t(2));
            QCOMPARE(m_Fake->Sent[i].Address, 0xC0000201u + i);
            QVERIFY(PayloadOf(m_Fake->Sent[i]) == login);
            QVERIFY(icon(int(i)).isNull());
        }
        Reply(b, 2, 0);
        QVERIFY(b->IsLoggedIn());
        QCOMPARE(icon(1).cacheKey(), IconKey(TImage::Accept));
        QVERIFY(icon(0).isNull() && icon(2).isNull());
        Reply(a, 2, 0x0001); // refused
        QCOMPARE(icon(0).cacheKey(), IconKey(TImage::Cancel));
        QVERIFY(icon(2).isNull());
        m_Fake->Advance(DefaultInterval); // c never answers
        QCOMPARE(icon(2).cacheKey(), IconKey(TImage::Cancel));
        QCOMPARE(icon(1).cacheKey(), IconKey(TImage::Accept));

        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Logout")->click();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(3));
        for (const auto& sent : m_Fake->Sent) {
            QCOMPARE(CommandOf(sent), uint16_t(2));
            QVERIFY(PayloadOf(sent) == std::vector<uint8_t>(16, 0));
        }
        QVERIFY(icon(0).isNull() && icon(1).isNull() && icon(2).isNull());
        Reply(b, 2, 0);
        QVERIFY(!b->IsLoggedIn());
        QCOMPARE(icon(1).cacheKey(), IconKey(TImage::Cancel));
        QVERIFY(icon(0).isNull());
    }

    // The login dialog and the pages that take a user name and password.
    void passwordsShowStars()
    {
        TLoginForm dialog;
        TDevice* a = Add(1, true);
        Select({a});
        QList<QLineEdit*> edits{Child<QLineEdit>(&dialog, "m_Password"),
                                Child<QLineEdit>(Open("Basics"), "m_Password")};
        QWidget* password = Open("Basics/Admin Password");
        edits << Child<QLineEdit>(password, "m_Password") << Child<QLineEdit>(password, "m_Confirm");
        for (QLineEdit* edit : edits) {
            edit->ensurePolished();
            QCOMPARE(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), int('*'));
            edit->setText("pw1");
            QCOMPARE(edit->displayText(), QString("***"));
        }
    }

    void credentialsMustBeLatin1_data()
    {
        QTest::addColumn<QString>("place"); // the login dialog, or a page's path
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        for (const char* place : {"Login", "Basics", "Basics/Admin Password"}) {
            QTest::addRow("%s, Latin-1", place) << place << "admin" << QString::fromUtf8("pässwörd") << true;
            QTest::addRow("%s, Cyrillic password", place) << place << "admin" << QString::fromUtf8("пароль") << false;
            QTest::addRow("%s, euro sign in the user", place)
                << place << QString::fromUtf8("€dmin") << "secret" << false;
        }
    }
    void credentialsMustBeLatin1()
    {
        QFETCH(QString, place);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        const QStringList refusal{"Only Latin-1 characters are allowed in user names and passwords on these switches."};
        const std::string user8 = user.toLatin1().toStdString(), password8 = password.toLatin1().toStdString();
        if (place == "Login") {
            TLoginForm dialog;
            dialog.show();
            Child<QLineEdit>(&dialog, "m_Username")->setText(user);
            Child<QLineEdit>(&dialog, "m_Password")->setText(password);
            Child<QPushButton>(&dialog, "m_Login")->click();
            QCOMPARE(m_Boxes, accepted ? QStringList() : refusal);
            QCOMPARE(dialog.isVisible(), !accepted); // refused: open for a correction
            QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : 0);
            if (accepted)
                QCOMPARE(dialog.Password(), password8);
            return;
        }
        TDevice* a = Add(1, true);
        Select({a});
        QWidget* page = Open(place);
        ReplySettings(a, {});
        Child<QLineEdit>(page, "m_Username")->setText(user);
        for (const char* name : {"m_Password", "m_Confirm"})
            if (auto* edit = page->findChild<QLineEdit*>(name))
                edit->setText(password);
        m_Fake->Sent.clear();
        Child<QPushButton>(page, place == "Basics" ? "m_Login" : "m_Apply")->click();
        QCOMPARE(m_Boxes, accepted ? QStringList() : refusal);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(accepted ? 1 : 0));
        if (accepted && place == "Basics") {
            const TDigest digest = CredentialDigest(user8, password8);
            QVERIFY(PayloadOf(m_Fake->Sent[0]) == std::vector<uint8_t>(digest.begin(), digest.end()));
        }
    }

    // ---- Switch Setting -------------------------------------------------------------------

    void settingsShowTheRecord()
    {
        TDevice* a = Add(1, true, 3);
        TDevice* b = Add(2, true);
        Select({a, b});
        QWidget* page = Open("Basics/Switch Setting");
        QVERIFY(!Shown(page));
        QVERIFY(Frame()->WaitLabel()->isVisibleTo(Frame()));
        auto text = [&](const char* name) { return Child<QLineEdit>(page, name)->text(); };
        const TSettingsReply reply{0x0102, 0x030A, 0x01020304, true, "north", "edge switch", "hall 3", "ops", "1234.5"};
        ReplySettings(b, reply); // not the first selected device
        QVERIFY(!Shown(page));
        ReplySettings(a, reply);
        QVERIFY(Shown(page));
        const QList<QPair<const char*, QString>> valid = {{"m_Name", "north"},
                                                          {"m_Desc", "edge switch"},
                                                          {"m_Location", "hall 3"},
                                                          {"m_Contact", "ops"},
                                                          {"m_OID", "1.3.6.2.1.2.1234.5"},
                                                          {"m_FVer", "v3.10"},
                                                          {"m_KVer", "v1.02"},
                                                          {"m_HVer", "v1.02(MPCB), v3.04(APCB)"},
                                                          {"m_MAC", QString::fromStdString(a->Mac().Text())},
                                                          {"m_Type", QString::fromStdString(a->TypeDescription())}};
        for (const auto& [name, expected] : valid)
            QCOMPARE(text(name), expected);
        QVERIFY(Child<QLineEdit>(page, "m_Type")->isReadOnly() && !Child<QLineEdit>(page, "m_Type")->hasFrame());
        QCOMPARE(Child<QLabel>(page, "m_Icon")->toolTip(), QString("Open web"));

        m_Form->findChild<QAction*>("acRefresh")->trigger();
        ReplySettings(a, reply, 0x0005); // an error reply: the record is not valid any more
        for (const auto& [name, expected] : valid) {
            bool kept = QByteArray(name) == "m_MAC" || QByteArray(name) == "m_Type";
            QCOMPARE(text(name), kept ? expected : QString());
        }
    }

    void settingsApplyToEverySelectedDevice()
    {
        TDevice* a = Add(1, true);
        TDevice* b = Add(2, true);
        Select({a, b});
        QWidget* page = Open("Basics/Switch Setting");
        ReplySettings(a, {});
        std::string description;
        for (int i = 0; i < 300; ++i)
            description += char('a' + i % 26);
        Child<QLineEdit>(page, "m_Name")->setText("core-1");
        Child<QLineEdit>(page, "m_Desc")->setText(QString::fromStdString(description));
        Child<QLineEdit>(page, "m_Location")->setText("hall 3");
        Child<QLineEdit>(page, "m_Contact")->setText("");
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Apply")->click();

        std::vector<uint8_t> expected;
        for (const std::string& text : {std::string("core-1"), description, std::string("hall 3"), std::string()}) {
            auto field = Field(text, 256);
            expected.insert(expected.end(), field.begin(), field.end());
        }
        QCOMPARE(expected.size(), std::size_t(1024));
        QCOMPARE(expected[256 + 255], uint8_t(description[255])); // no terminator at full width
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        for (std::size_t i = 0; i < 2; ++i) {
            QCOMPARE(CommandOf(m_Fake->Sent[i]), uint16_t(0x0105));
            QCOMPARE(m_Fake->Sent[i].Address, (i ? b : a)->Address());
            QCOMPARE(ReadU16(m_Fake->Sent[i].Bytes.data() + OffLength), uint16_t(1024));
            QVERIFY(PayloadOf(m_Fake->Sent[i]) == expected);
        }

        // Every reply, success or not, refreshes that device's record before it is reported.
        m_Fake->Sent.clear();
        m_Fake->Results.clear();
        Reply(b, 0x0105, 0x0007);
        Reply(a, 0x0105, 0);
        QCOMPARE(TakeSent(), (TSentList{To(260, b), To(260, a)}));
        QCOMPARE(m_Fake->Results.size(), std::size_t(2));
        QCOMPARE(m_Fake->Results[0].Code, uint16_t(0x0105));
        QCOMPARE(m_Fake->Results[0].Status, uint16_t(0x0007));
        QCOMPARE(m_Fake->Results[0].Name, std::string("SetSys"));
    }

    void settingsOpenTheWebPages()
    {
        TDevice* a = Add(1, true);
        TDevice* b = Add(2, true);
        Select({a, b});
        QWidget* page = Open("Basics/Switch Setting");
        ReplySettings(a, {});
        TUrlProbe probe;
        QDesktopServices::setUrlHandler("http", &probe, "open");
        Child<QPushButton>(page, "m_Web")->click();
        QTest::mouseClick(Child<QLabel>(page, "m_Icon"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(probe.Urls,
                 QStringList({"http://192.0.2.1", "http://192.0.2.2", "http://192.0.2.1", "http://192.0.2.2"}));
    }

    // ---- Admin Password -------------------------------------------------------------------

    void passwordApplyNeedsAMatchingConfirmation_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("all empty") << ""
                                   << ""
                                   << "" << false;
        QTest::newRow("no user") << ""
                                 << "pw"
                                 << "pw" << false;
        QTest::newRow("no password") << "admin"
                                     << ""
                                     << "" << false;
        QTest::newRow("no confirmation") << "admin"
                                         << "pw"
                                         << "" << false;
        QTest::newRow("differs in case") << "admin"
                                         << "pw"
                                         << "pW" << false;
        QTest::newRow("longer confirmation") << "admin"
                                             << "pw"
                                             << "pw2" << false;
        QTest::newRow("matching") << "admin"
                                  << "pw"
                                  << "pw" << true;
    }
    void passwordApplyNeedsAMatchingConfirmation()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(bool, enabled);
        TDevice* a = Add(1, true);
        Select({a});
        QWidget* page = Open("Basics/Admin Password");
        QVERIFY(Shown(page));
        Child<QLineEdit>(page, "m_Username")->setText(user);
        Child<QLineEdit>(page, "m_Password")->setText(password);
        Child<QLineEdit>(page, "m_Confirm")->setText(confirm);
        QCOMPARE(Child<QPushButton>(page, "m_Apply")->isEnabled(), enabled);
        // A new selection empties every text again.
        Frame()->Notify(a, ncSelect, 0);
        QVERIFY(Child<QLineEdit>(page, "m_Confirm")->text().isEmpty());
        QVERIFY(!Child<QPushButton>(page, "m_Apply")->isEnabled());
    }

    void passwordSendsBothFields()
    {
        TDevice* a = Add(1, true);
        TDevice* b = Add(2, true);
        Select({a, b});
        QWidget* page = Open("Basics/Admin Password");
        Child<QLineEdit>(page, "m_Username")->setText("operator");
        Child<QLineEdit>(page, "m_Password")->setText("0123456789abcdef");
        Child<QLineEdit>(page, "m_Confirm")->setText("0123456789abcdef");
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Apply")->click();
        std::vector<uint8_t> expected = Field("operator", 16);
        for (char ch : std::string("0123456789abcdef"))
            expected.push_back(uint8_t(ch)); // a full field has no terminator
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        for (const auto& sent : m_Fake->Sent) {
            QCOMPARE(CommandOf(sent), uint16_t(0x010C));
            QVERIFY(PayloadOf(sent) == expected);
        }
        // Longer texts are cut to their 16-byte fields.
        m_Fake->Sent.clear();
        QVERIFY(StartNew<TSessionBasicsPassword>(a, nullptr, std::string(20, 'u'), std::string(17, 'p')));
        expected = std::vector<uint8_t>(16, 'u');
        expected.insert(expected.end(), 16, 'p');
        QVERIFY(PayloadOf(m_Fake->Sent.at(0)) == expected);
        // Its reply starts nothing.
        Reply(a, 0x010C, 0);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(m_Fake->Results.back().Name, std::string("AdminPassword"));
    }

    // ---- Factory Default and Reboot -------------------------------------------------------

    void factoryDefault_data()
    {
        QTest::addColumn<bool>("keepNet");
        QTest::addColumn<bool>("keepAuth");
        QTest::addColumn<bool>("reboot");
        QTest::addColumn<int>("status");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<bool>("rebootSent");
        QTest::newRow("keep both") << true << true << false << 0 << 3u << false;
        QTest::newRow("keep account, reboot") << false << true << true << 0 << 1u << true;
        QTest::newRow("keep address, refused") << true << false << true << 0x0005 << 2u << false;
        QTest::newRow("nothing kept, reboot") << false << false << true << 0 << 0u << true;
    }
    void factoryDefault()
    {
        QFETCH(bool, keepNet);
        QFETCH(bool, keepAuth);
        QFETCH(bool, reboot);
        QFETCH(int, status);
        QFETCH(uint, flags);
        QFETCH(bool, rebootSent);
        TDevice* a = Add(1, true);
        Select({a});
        QWidget* page = Open("Basics/Factory Default");
        QVERIFY(Shown(page));
        auto* net = Child<QCheckBox>(page, "m_KeepNet");
        auto* auth = Child<QCheckBox>(page, "m_KeepAuth");
        auto* rebootBox = Child<QCheckBox>(page, "m_Reboot");
        QVERIFY(net->isChecked() && auth->isChecked() && !rebootBox->isChecked());
        net->setChecked(keepNet);
        auth->setChecked(keepAuth);
        rebootBox->setChecked(reboot);
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(CommandOf(m_Fake->Sent[0]), uint16_t(0x010F));
        QVERIFY(PayloadOf(m_Fake->Sent[0]) == (std::vector<uint8_t>{0, 0, 0, uint8_t(flags)}));
        m_Fake->Sent.clear();
        Reply(a, 0x010F, uint16_t(status));
        QCOMPARE(TakeSent(), rebootSent ? TSentList{To(259, a)} : TSentList());
    }

    void rebootEverySelectedDevice()
    {
        TDevice* a = Add(1, true);
        TDevice* b = Add(2, false);
        Select({a, b});
        QWidget* page = Open("Basics/Reboot");
        QVERIFY(Shown(page));
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Reboot")->click();
        QCOMPARE(TakeSent(), (TSentList{To(259, a), To(259, b)}));
    }

    // ---- Save To Flash --------------------------------------------------------------------

    void saveListsLoggedInDevicesAndReportsEachRow()
    {
        TDevice* a = Add(1, true);
        TDevice* b = Add(2, true);
        TDevice* c = Add(3, false);
        TDevice* d = Add(4, true, 3);
        auto& cached = GetProperty<TPropertyBasicsSettings>(*a);
        cached.Valid = true;
        cached.KernelVersion = 0x0102;
        cached.FirmwareVersion = 0x0203;
        Select({a, b, c, d});
        m_Fake->Sent.clear();
        QWidget* page = Open("Save To Flash");
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        auto* save = Child<QPushButton>(page, "m_Save");
        QVERIFY(Shown(page)); // shown at once; the versions follow
        QCOMPARE(TakeSent(), (TSentList{To(260, a), To(260, b), To(260, c), To(260, d)}));
        QStringList header;
        for (int i = 0; i < list->columnCount(); ++i)
            header << list->headerItem()->text(i);
        QCOMPARE(header, QStringList({"Model", "Kernel Ver.", "Firmware Ver.", "MAC", "IP Address", "Status"}));
        auto row = [&](int i) {
            QTreeWidgetItem* item = list->topLevelItem(i);
            QStringList texts;
            for (int column = 0; column < 6; ++column)
                texts << item->text(column);
            return texts;
        };
        QCOMPARE(list->topLevelItemCount(), 3);
        const QString model = QString::fromStdString(a->TypeDescription());
        QCOMPARE(row(0),
                 QStringList({model, "v1.02", "v2.03", QString::fromStdString(a->Mac().Text()), "192.0.2.1", ""}));
        QCOMPARE(row(1).mid(1, 2), QStringList({"Invalid", "Invalid"}));
        QCOMPARE(row(2).at(0), QString::fromStdString(d->TypeDescription()));
        QVERIFY(save->isEnabled());
        TSettingsReply versions;
        versions.Kernel = 0x0105;
        versions.Firmware = 0x0001;
        ReplySettings(b, versions);
        QCOMPARE(row(1).mid(1, 2), QStringList({"v1.05", "v0.01"}));

        save->click();
        QCOMPARE(TakeSent(), (TSentList{To(264, d), To(264, b), To(264, a)}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(row(i).at(5), QString("Sending request"));
            QCOMPARE(list->topLevelItem(i)->icon(5).cacheKey(), IconKey(TImage::Next));
        }
        QVERIFY(!save->isEnabled());

        // While saving, neither the function tree nor the main tree may leave the page.
        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Basics"));
        QCOMPARE(Frame()->SelectedPage()->GetControl(), page);
        QCOMPARE(Frame()->Tree()->selectedItems(), QList<QTreeWidgetItem*>{Frame()->FindNode("Save To Flash")});
        QVERIFY(Shown(page));
        m_Form->Navigator().SelectIndex(m_Form->Navigator().Model()->index(0, 0));
        QCOMPARE(m_Form->Tree()->currentIndex(), m_Form->Navigator().IndexOf(a));
        QCOMPARE(m_Form->Navigator().ShownModule(), static_cast<TModule*>(Frame()));
        Frame()->Notify(a, ncSelect, 0); // a running page keeps its rows
        QCOMPARE(row(0).at(5), QString("Sending request"));

        Reply(a, 264, 0);
        QCOMPARE(row(0).at(5), QString("Done"));
        QCOMPARE(list->topLevelItem(0)->icon(5).cacheKey(), IconKey(TImage::Accept));
        QVERIFY(!save->isEnabled());
        Reply(b, 264, 0x0010);
        QCOMPARE(row(1).at(5), QString("Error: 0x0010"));
        QCOMPARE(list->topLevelItem(1)->icon(5).cacheKey(), IconKey(TImage::Cancel));
        QVERIFY(!save->isEnabled());
        m_Fake->Advance(DefaultInterval);
        QCOMPARE(row(2).at(5), QString("Timeout"));
        QCOMPARE(list->topLevelItem(2)->icon(5).cacheKey(), IconKey(TImage::Timer));
        QVERIFY(save->isEnabled());

        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Basics"));
        QCOMPARE(Frame()->SelectedPage()->GetName(), QString("Basics"));
    }

    void saveSurvivesDevicesVanishing()
    {
        TDevice* a = Add(1, true);
        Select({a});
        QWidget* page = Open("Save To Flash");
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        auto* save = Child<QPushButton>(page, "m_Save");
        save->click();
        QVERIFY(!save->isEnabled());
        // A new discovery forgets every device; the waiting session can never report.
        Registry::Clear();
        QCOMPARE(list->topLevelItem(0)->text(5), QString("Initialize Error"));
        QCOMPARE(list->topLevelItem(0)->icon(5).cacheKey(), IconKey(TImage::Cancel));
        QVERIFY(save->isEnabled());
        m_Fake->Advance(DefaultInterval);
        m_Fake->Sent.clear();
        save->click(); // the row's device is unknown: nothing is sent
        QVERIFY(m_Fake->Sent.empty());
        QCOMPARE(list->topLevelItem(0)->text(5), QString("Initialize Error"));
        QVERIFY(save->isEnabled());
        QVERIFY(Frame()->Hide(false));
    }

    void rowStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("image");
        using S = TModuleDeviceListPage;
        QTest::newRow("waiting") << int(S::rsWaiting) << 0 << "Sending request" << 0;
        QTest::newRow("done") << int(S::rsDone) << 0 << "Done" << 1;
        QTest::newRow("error") << int(S::rsError) << 0x1101 << "Error: 0x1101" << 2;
        QTest::newRow("timeout") << int(S::rsTimeout) << 0xFF00 << "Timeout" << 3;
        QTest::newRow("not started") << int(S::rsNotStarted) << 0 << "Fail to send request" << 2;
        QTest::newRow("no memory") << int(S::rsNoMemory) << 0 << "Memory insufficient" << 2;
        QTest::newRow("no device") << int(S::rsNoDevice) << 0 << "Initialize Error" << 2;
    }
    void rowStates()
    {
        QFETCH(int, state);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(int, image);
        TSaveRows page;
        auto* row = new QTreeWidgetItem(Child<QTreeWidget>(&page, "m_ListView"));
        page.SetRowState(row, TModuleDeviceListPage::TRowState(state), uint16_t(status));
        QCOMPARE(row->text(TModuleDeviceListPage::colStatus), text);
        QCOMPARE(row->icon(TModuleDeviceListPage::colStatus).cacheKey(), RowImage(image).cacheKey());
        QCOMPARE(page.IsRunning(), state == TModuleDeviceListPage::rsWaiting);
    }

private:
};

QTEST_MAIN(TBasicsTest)
#include "tst_basics.moc"
