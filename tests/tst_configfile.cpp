// The configuration file: what is written, what is read back, and files that must be
// refused whole; then the main window's Save Config and Load Config actions.
#include "FormSessions.h"

#include "core/AddressRules.h"
#include "net/ConfigFile.h"
#include "ui/Dialogs.h"
#include "ui/FilterForm.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Filter::TFilterSettings;

namespace {

uint32_t Addr(const char* text) { return TextToAddress(text); }

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray Discovery = R"(<Discovery><Method>0</Method><Address>10.1.2.3</Address><Mask>255.255.0.0</Mask>
<BeginAddr>10.1.0.1</BeginAddr><EndAddr>10.1.255.254</EndAddr><Filters>
<Filter Address="192.0.2.7"/>
<Filter Address="192.0.2.8" Mask="255.255.255.255"/>
<Filter Address="192.0.2.9" Mask="255.0.255.0"/>
<Filter Address="127.0.0.1"/>
<Filter Mask="255.255.255.0"/>
<Other Address="198.51.100.1" Mask="255.255.255.0"/>
</Filters></Discovery>)";

} // namespace

class TConfigFileTest : public QObject, public TPageDriver {
    Q_OBJECT

    QTemporaryDir m_Dir;
    QStringList m_Messages;
    QString m_Pick;

    QString Path(const char* name) const { return m_Dir.filePath(QString::fromLatin1(name)); }

private slots:
    void loadReadsTheDiscoverySettings_data()
    {
        QTest::addColumn<QByteArray>("root");
        QTest::newRow("Config") << QByteArray("Config");
        QTest::newRow("another root name") << QByteArray("Settings");
    }
    void loadReadsTheDiscoverySettings()
    {
        QFETCH(QByteArray, root);
        QVERIFY(
            Write(Path("in.xml"), "<?xml version=\"1.0\"?><" + root + ">" + Discovery + "<Devices/></" + root + ">"));
        auto loaded = ConfigFile::Load(Path("in.xml"));
        QVERIFY(loaded && loaded->Settings);
        const TFilterSettings& s = *loaded->Settings;
        QCOMPARE(s.Method, uint8_t(0));
        QCOMPARE(s.Address, Addr("10.1.2.3"));
        QCOMPARE(s.Mask, Addr("255.255.0.0"));
        QCOMPARE(s.RangeBegin, Addr("10.1.0.1"));
        QCOMPARE(s.RangeEnd, Addr("10.1.255.254"));
        // Mask 255.255.255.255 is a unicast entry; an invalid mask, 127.0.0.1 and an
        // entry without address are dropped; the element's name does not matter.
        QCOMPARE(s.Unicast.size(), size_t(2));
        QCOMPARE(s.Unicast[0].Address, Addr("192.0.2.7"));
        QCOMPARE(s.Unicast[1].Address, Addr("192.0.2.8"));
        QCOMPARE(s.LocalSubnets.size(), size_t(1));
        QCOMPARE(s.LocalSubnets[0].Address, Addr("198.51.100.1"));
        QCOMPARE(s.LocalSubnets[0].Mask, Addr("255.255.255.0"));
    }

    void missingPartsKeepTheirDefaults()
    {
        QVERIFY(Write(Path("none.xml"), "<?xml version=\"1.0\"?><Config><Devices/></Config>"));
        auto loaded = ConfigFile::Load(Path("none.xml"));
        QVERIFY(loaded && !loaded->Settings);

        QVERIFY(Write(Path("bare.xml"), "<Config><Discovery><Method>two</Method><Mask></Mask></Discovery></Config>"));
        loaded = ConfigFile::Load(Path("bare.xml"));
        QVERIFY(loaded && loaded->Settings);
        const TFilterSettings& s = *loaded->Settings;
        QCOMPARE(s.Method, uint8_t(Filter::fmCustomize));
        QCOMPARE(s.Mask, 0u);
        QCOMPARE(s.RangeBegin, 0u);
        QCOMPARE(s.RangeEnd, 0xFFFFFFFFu);
        QVERIFY(s.Unicast.empty() && s.LocalSubnets.empty());
    }

    // What is written: indented, the devices after the discovery settings; type index 0
    // without Type, address 0 without Address; read back to the same settings.
    void saveWritesTheDocumentAndLoadsItBack()
    {
        Registry::Clear();
        TDevice* known = TPageDriver::AddLoggedIn(1);
        TDevice* unknown = Registry::Find(Mac(2), true);
        TFilterSettings settings;
        settings.Method = 1;
        settings.Address = Addr("192.0.2.1");
        settings.Mask = Addr("255.255.255.0");
        settings.RangeBegin = Addr("192.0.2.1");
        settings.RangeEnd = Addr("192.0.2.254");
        settings.Unicast = {{Addr("203.0.113.5"), 0xFFFFFFFFu}};
        settings.LocalSubnets = {{Addr("192.0.2.1"), Addr("255.255.255.0")}};
        QVERIFY(ConfigFile::Save(Path("out.xml"), settings, {known, unknown}));
        const QByteArray expected = "<?xml version=\"1.0\"?>\n"
                                    "<Config>\n"
                                    "  <Discovery>\n"
                                    "    <Method>1</Method>\n"
                                    "    <Address>192.0.2.1</Address>\n"
                                    "    <Mask>255.255.255.0</Mask>\n"
                                    "    <BeginAddr>192.0.2.1</BeginAddr>\n"
                                    "    <EndAddr>192.0.2.254</EndAddr>\n"
                                    "    <Filters>\n"
                                    "      <Filter Address=\"203.0.113.5\"/>\n"
                                    "      <Filter Address=\"192.0.2.1\" Mask=\"255.255.255.0\"/>\n"
                                    "    </Filters>\n"
                                    "  </Discovery>\n"
                                    "  <Devices>\n"
                                    "    <Device MacAddr=\"" +
            QByteArray::fromStdString(known->Mac().Text()) +
            "\">\n"
            "      <Type>" +
            QByteArray::fromStdString(known->TypeDescription()) +
            "</Type>\n"
            "      <Address>192.0.2.1</Address>\n"
            "      <Properties/>\n"
            "    </Device>\n"
            "    <Device MacAddr=\"" +
            QByteArray::fromStdString(unknown->Mac().Text()) +
            "\">\n"
            "      <Properties/>\n"
            "    </Device>\n"
            "  </Devices>\n"
            "</Config>\n";
        QCOMPARE(Read(Path("out.xml")), expected);
        auto loaded = ConfigFile::Load(Path("out.xml"));
        QVERIFY(loaded && loaded->Settings);
        QCOMPARE(loaded->Settings->Method, settings.Method);
        QCOMPARE(loaded->Settings->RangeEnd, settings.RangeEnd);
        QCOMPARE(loaded->Settings->Unicast.size(), size_t(1));
        QCOMPARE(loaded->Settings->LocalSubnets.size(), size_t(1));

        QVERIFY(ConfigFile::Save(Path("empty.xml"), settings, {}));
        QVERIFY(Read(Path("empty.xml")).contains("  <Devices/>\n"));
        Registry::Clear();
    }

    void hostileFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = "<?xml version=\"1.0\"?><Config>" + Discovery + "</Config>";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("binary") << QByteArray("\x00\x01\xfe\xff\x89PNG\r\n\x1a\n", 12) + QByteArray(4000, '\x9c');
        QTest::newRow("deeply nested") << "<Config><Discovery>" + QByteArray("<a>").repeated(100000) +
                QByteArray("</a>").repeated(100000) + "</Discovery></Config>";
        QTest::newRow("entity expansion") << QByteArray(
            "<?xml version=\"1.0\"?><!DOCTYPE Config [<!ENTITY a \"aaaaaaaaaa\">"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
            "<Config><Discovery><Method>&c;</Method></Discovery></Config>");
        QTest::newRow("external entity") << QByteArray(
            "<?xml version=\"1.0\"?><!DOCTYPE Config [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
            "<Config><Discovery><Address>&x;</Address></Discovery></Config>");
        QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"X-NOSUCH\"?><Config/>");
        QTest::newRow("two roots") << QByteArray("<Config/><Config/>");
    }
    void hostileFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(Write(Path("bad.xml"), bytes));
        QVERIFY(!ConfigFile::Load(Path("bad.xml")));
    }

    void oversizedAndMissingFilesAreRefused()
    {
        QFile big(Path("big.xml"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write("<Config>");
        QVERIFY(big.resize(100 * 1024 * 1024)); // sparse: nothing to write
        big.close();
        QVERIFY(!ConfigFile::Load(Path("big.xml")));
        QVERIFY(!ConfigFile::Load(Path("missing.xml")));
    }

    // The window: a failed load says so and changes nothing; a load applies the settings
    // and starts a discovery; Save Config writes the tree's devices.
    void windowActions()
    {
        OpenWindow();
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Messages << text;
            return true;
        });
        Dialogs::SetPickHandler([this](Dialogs::TPick, const QString&, const QString& folder) {
            return folder == "Config.xml" ? m_Pick : QString();
        });
        QVERIFY(m_Form->findChild<QAction*>("acSaveConfig")->isEnabled() &&
                m_Form->findChild<QAction*>("acLoadConfig")->isEnabled());
        const TFilterSettings before = m_Form->FilterForm()->GetSettings();

        QVERIFY(Write(Path("bad.xml"), "<Config><Discovery>"));
        m_Pick = Path("bad.xml");
        m_Fake->Sent.clear();
        m_Form->findChild<QAction*>("acLoadConfig")->trigger();
        QCOMPARE(m_Messages, QStringList{"Failed to load config"});
        QVERIFY(m_Fake->Sent.empty());
        QCOMPARE(m_Form->FilterForm()->GetSettings().Unicast.size(), before.Unicast.size());

        QVERIFY(Write(Path("good.xml"), "<Config>" + Discovery + "</Config>"));
        m_Pick = Path("good.xml");
        m_Form->findChild<QAction*>("acLoadConfig")->trigger();
        QCOMPARE(m_Messages.size(), 1);
        QCOMPARE(m_Form->FilterForm()->GetSettings().Unicast.size(), size_t(2));
        QVERIFY(!m_Fake->Sent.empty()); // the discovery

        AddLoggedIn(7); // 192.0.2.7, a unicast entry of the loaded filter
        m_Pick = Path("saved.xml");
        m_Form->findChild<QAction*>("acSaveConfig")->trigger();
        QVERIFY(
            Read(Path("saved.xml")).contains("<Device MacAddr=\"" + QByteArray::fromStdString(Mac(7).Text()) + "\">"));
        m_Pick.clear();
        m_Form->findChild<QAction*>("acSaveConfig")->trigger(); // cancelled
        Dialogs::SetPickHandler(nullptr);
        Dialogs::SetHandler(nullptr);
        CloseWindow();
    }
};

QTEST_MAIN(TConfigFileTest)
#include "tst_configfile.moc"
