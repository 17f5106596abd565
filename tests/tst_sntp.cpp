// The "Time (SNTP)" page, offscreen, driven through the main window: what it shows from the
// time record, its enabling rules, the switch clock on a test clock, and the exact requests
// it sends.
#include "FormSessions.h"

#include "core/Codec.h"
#include "core/DeviceType.h"
#include "core/Sntp.h"
#include "pages/ModuleBasics_Sntp.h"
#include "shell/DeviceTreeModel.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"
#include "ui/Images.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimeZone>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

namespace {

constexpr uint16_t SntpGet = 0x010D;
constexpr uint16_t SntpSet = 0x010E;
constexpr uint32_t Unknown = 0xFFFFFFFF;
constexpr uint32_t Dec10 = 1796870834;  // 2026-12-10 02:47:14
constexpr uint32_t Mar29 = 1774749600;  // 2026-03-29 02:00:00
constexpr uint32_t Oct25 = 1792897200;  // 2026-10-25 03:00:00
constexpr uint32_t Server = 0x0A010203; // 10.1.2.3

struct TReply {
    bool Enabled = true;
    uint16_t Zone = 33;
    uint32_t Server = ::Server;
    uint32_t Now = Dec10;
    bool Daylight = false;
    uint32_t Begin = Mar29;
    uint32_t End = Oct25;
    uint32_t Offset = 60;
};

// The reply laid out field by field, independently of the record's own coding.
std::vector<uint8_t> Encode(const TReply& r)
{
    std::vector<uint8_t> payload;
    TWriter w(payload);
    w.U8(r.Enabled ? 1 : 0);
    w.U16(r.Zone);
    w.U32(r.Server);
    w.U32(r.Now);
    w.U8(r.Daylight ? 1 : 0);
    w.U32(r.Begin);
    w.U32(r.End);
    w.U32(r.Offset);
    return payload;
}

QDateTime Utc(uint32_t seconds) { return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()); }

const QStringList SntpControls = {"m_TimezoneLabel", "m_Timezone",      "m_AddressLabel", "m_Address",
                                  "m_DaylightTitle", "m_DaylightLabel", "m_Daylight"};
const QStringList PeriodControls = {"m_BeginDateLabel", "m_BeginDate",   "m_BeginTime", "m_EndDateLabel", "m_EndDate",
                                    "m_EndTime",        "m_OffsetLabel", "m_Offset",    "m_MinutesLabel"};
const QStringList SelectionControls = {"m_BasicTitle", "m_SntpLabel", "m_Sntp", "m_Apply"};

} // namespace

Q_DECLARE_METATYPE(TReply)

class TSntpTest : public QObject, public TPageDriver {
    Q_OBJECT

    static TDevice* Add(uint8_t mac) { return AddLoggedIn(mac); }
    // Selects the page; it waits for its Get and runs on the test clock.
    TModuleBasicsSntp* Open()
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Basics/Time (SNTP)"));
        auto* page = dynamic_cast<TModuleBasicsSntp*>(Frame()->SelectedPage());
        if (!page)
            qFatal("Time (SNTP) is not selected");
        page->SetClock([this] { return m_Clock; });
        return page;
    }
    // One device selected, the page open and loaded from the reply.
    TModuleBasicsSntp* Load(const TReply& reply, TDevice** device = nullptr)
    {
        TDevice* d = Add(1);
        Select({d});
        TModuleBasicsSntp* page = Open();
        Reply(d, SntpGet, 0, Encode(reply));
        m_Fake->Sent.clear();
        if (device)
            *device = d;
        return page;
    }
    static bool Enabled(QWidget* page, const QString& name) { return Child<QWidget>(page, name)->isEnabled(); }
    static void CheckEnabled(QWidget* page, const QStringList& names, bool on)
    {
        for (const QString& name : names)
            QVERIFY2(Enabled(page, name) == on, qPrintable(name + (on ? " disabled" : " enabled")));
    }
    static void SetPeriod(QWidget* page, const QDateTime& begin, const QDateTime& end)
    {
        Child<QDateEdit>(page, "m_BeginDate")->setDate(begin.date());
        Child<QTimeEdit>(page, "m_BeginTime")->setTime(begin.time());
        Child<QDateEdit>(page, "m_EndDate")->setDate(end.date());
        Child<QTimeEdit>(page, "m_EndTime")->setTime(end.time());
    }
    static QDateTime Picked(QWidget* page, const char* which)
    {
        return QDateTime(Child<QDateEdit>(page, QString("m_%1Date").arg(which))->date(),
                         Child<QTimeEdit>(page, QString("m_%1Time").arg(which))->time(), QTimeZone::utc());
    }

private slots:
    void init()
    {
        m_Clock = 1000;
        OpenWindow();
    }
    void cleanup() { CloseWindow(); }

    void pageAndItsControls()
    {
        TModule* listed = Frame()->ModuleOf(Frame()->FindNode("Basics/Time (SNTP)"));
        QVERIFY(dynamic_cast<TModuleBasicsSntp*>(listed));
        QCOMPARE(listed->GetName(), QString("Time (SNTP)"));

        TModuleBasicsSntp page;
        const QList<QPair<const char*, QString>> captions = {{"m_BasicTitle", "Basic Settings:"},
                                                             {"m_SntpLabel", "&SNTP Client:"},
                                                             {"m_TimezoneLabel", "&UTC Timezone:"},
                                                             {"m_AddressLabel", "Server IP &Address:"},
                                                             {"m_CurrentLabel", "Current System Time:"},
                                                             {"m_Current", "(Invalid)"},
                                                             {"m_DaylightTitle", "Daylight Saving Time:"},
                                                             {"m_DaylightLabel", "&Daylight Saving:"},
                                                             {"m_BeginDateLabel", "Period &Begin:"},
                                                             {"m_EndDateLabel", "Period &End:"},
                                                             {"m_OffsetLabel", "&Offset:"},
                                                             {"m_MinutesLabel", "(minutes)"}};
        for (const auto& [name, text] : captions)
            QCOMPARE(Child<QLabel>(&page, name)->text(), text);
        QVERIFY(Child<QLabel>(&page, "m_BasicTitle")->font().bold());
        QVERIFY(Child<QLabel>(&page, "m_DaylightTitle")->font().bold());
        auto* apply = Child<QPushButton>(&page, "m_Apply");
        QCOMPARE(apply->text(), QString("&Apply"));
        QCOMPARE(apply->icon().cacheKey(), Icon(TImage::Accept).cacheKey());
        for (const char* name : {"m_Sntp", "m_Daylight"}) {
            auto* box = Child<QComboBox>(&page, name);
            QCOMPARE(box->count(), 2);
            QCOMPARE(box->itemText(0) + "/" + box->itemText(1), QString("Disable/Enable"));
        }
        QCOMPARE(Child<QLineEdit>(&page, "m_Address")->maxLength(), 15);
        for (const char* name : {"m_BeginDate", "m_EndDate"}) {
            auto* date = Child<QDateEdit>(&page, name);
            QVERIFY(!date->calendarPopup());
            QCOMPARE(date->displayFormat(), page.locale().dateFormat(QLocale::LongFormat));
        }
        auto* timer = page.findChild<QTimer*>("m_Timer");
        QVERIFY(timer && !timer->isActive());
        QCOMPARE(timer->interval(), 1000);

        auto* zones = Child<QComboBox>(&page, "m_Timezone");
        QCOMPARE(zones->count(), 63);
        QCOMPARE(zones->currentIndex(), 22);
        const QList<QPair<int, QString>> spots = {{0, "(GMT-12:00)Eniwetok, Kwajalein"},
                                                  {4, "(GMT-08:00)Pacific Time (US &amp; Canada), Tijuana"},
                                                  {11, "(GMT-05:00)Eastern Time (US &amp; Canada)"},
                                                  {16, "(GMT-03:30)Newfoundland"},
                                                  {22, "(GMT)Greenwich Mean Time: Dublin, Edinburgh, Lisbon, London"},
                                                  {35, "(GMT+03:00)Mairobi"},
                                                  {42, "(GMT+05:30)Bombay, Calcutta, Madras, New Delhi"},
                                                  {61, "(GMT+12:00)Auckland, Wllington"},
                                                  {62, "(GMT+12:00)Fiji, Kamchatka, Marshall Is."}};
        for (const auto& [index, text] : spots)
            QCOMPARE(zones->itemText(index), text);
    }

    void getGoesToEverySelectedDevice()
    {
        TDevice* a = Add(1);
        TDevice* b = Add(2);
        Select({a, b});
        m_Fake->Sent.clear();
        TModuleBasicsSntp* page = Open();
        QVERIFY(!Shown(page));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        for (const auto& sent : m_Fake->Sent)
            QVERIFY(PayloadOf(sent) == std::vector<uint8_t>(4, 0));
        QCOMPARE(TakeSent(), (TSentList{To(SntpGet, a), To(SntpGet, b)}));
        Reply(b, SntpGet, 0, Encode({})); // not the first selected device
        QVERIFY(!Shown(page));
        Reply(a, SntpGet, 0, Encode({}));
        QVERIFY(Shown(page));
        QCOMPARE(m_Fake->Results.back().Name, std::string("SntpGet"));
    }

    void loadsTheRecord_data()
    {
        QTest::addColumn<TReply>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("sntp");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("daylight");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("apply");
        TReply daylight;
        daylight.Daylight = true;
        TReply disabled = daylight;
        disabled.Enabled = false;
        TReply unknown;
        unknown.Now = Unknown;
        TReply strayZone;
        strayZone.Zone = 63;
        const QString invalid = "(Invalid)";
        QTest::newRow("sntp disabled, time reported")
            << disabled << 0 << 24 << 0 << 0 << "0.0.0.0" << 0 << invalid << true;
        QTest::newRow("error status") << daylight << 5 << 24 << 0 << 0 << "0.0.0.0" << 0 << invalid << true;
        QTest::newRow("short reply") << daylight << 0 << 23 << 0 << 0 << "0.0.0.0" << 0 << invalid << true;
        QTest::newRow("clock unknown") << unknown << 0 << 24 << 1 << 33 << "10.1.2.3" << 0 << invalid << true;
        QTest::newRow("clock known") << TReply{} << 0 << 24 << 1 << 33 << "10.1.2.3" << 0 << "2026/12/10 02:47:14"
                                     << true;
        QTest::newRow("daylight") << daylight << 0 << 24 << 1 << 33 << "10.1.2.3" << 1 << "2026/12/10 02:47:14" << true;
        QTest::newRow("zone not in the list")
            << strayZone << 0 << 24 << 1 << -1 << "10.1.2.3" << 0 << "2026/12/10 02:47:14" << false;
    }
    void loadsTheRecord()
    {
        QFETCH(TReply, reply);
        QFETCH(int, status);
        QFETCH(int, length);
        QFETCH(int, sntp);
        QFETCH(int, zone);
        QFETCH(QString, address);
        QFETCH(int, daylight);
        QFETCH(QString, current);
        QFETCH(bool, apply);
        TDevice* d = Add(1);
        Select({d});
        TModuleBasicsSntp* page = Open();
        std::vector<uint8_t> payload = Encode(reply);
        payload.resize(std::size_t(length));
        Reply(d, SntpGet, uint16_t(status), payload);
        QVERIFY(Shown(page));
        QCOMPARE(Child<QComboBox>(page, "m_Sntp")->currentIndex(), sntp);
        QCOMPARE(Child<QComboBox>(page, "m_Timezone")->currentIndex(), zone);
        QCOMPARE(Child<QLineEdit>(page, "m_Address")->text(), address);
        QCOMPARE(Child<QComboBox>(page, "m_Daylight")->currentIndex(), daylight);
        QCOMPARE(Child<QLabel>(page, "m_Current")->text(), current);
        const bool running = current != "(Invalid)";
        QCOMPARE(page->findChild<QTimer*>("m_Timer")->isActive(), running);
        CheckEnabled(page, {"m_CurrentLabel", "m_Current"}, running);
        CheckEnabled(page, SntpControls, sntp == 1);
        CheckEnabled(page, PeriodControls, daylight == 1);
        QCOMPARE(Enabled(page, "m_Apply"), apply);
    }

    void clockFollowsTheWorkstation()
    {
        TDevice* d = nullptr;
        TModuleBasicsSntp* page = Load({}, &d);
        auto* current = Child<QLabel>(page, "m_Current");
        QCOMPARE(current->text(), QString("2026/12/10 02:47:14"));
        m_Clock += 1;
        page->EventOnTimer();
        QCOMPARE(current->text(), QString("2026/12/10 02:47:15"));
        m_Clock += 22 * 3600 + 13 * 60 - 15; // across midnight
        page->EventOnTimer();
        QCOMPARE(current->text(), QString("2026/12/11 01:00:00"));
        QVERIFY(m_Fake->Sent.empty()); // no daylight saving, no refresh

        // Another page shows; the clock keeps running.
        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Basics/Switch Setting"));
        QVERIFY(!Shown(page));
        QVERIFY(page->findChild<QTimer*>("m_Timer")->isActive());
        m_Clock += 1;
        page->EventOnTimer();
        QCOMPARE(current->text(), QString("2026/12/11 01:00:01"));

        // Every handled notification starts from the reset state.
        TReply off;
        off.Enabled = false;
        Open();
        Reply(d, SntpGet, 0, Encode(off));
        QCOMPARE(current->text(), QString("(Invalid)"));
        QVERIFY(!page->findChild<QTimer*>("m_Timer")->isActive());
    }

    void daylightPeriodAndTriggers()
    {
        TReply reply;
        reply.Daylight = true;
        reply.Now = Mar29;
        TDevice* d = nullptr;
        TModuleBasicsSntp* page = Load(reply, &d);
        QCOMPARE(Picked(page, "Begin"), Utc(Mar29));
        QCOMPARE(Picked(page, "End"), Utc(Oct25));
        QCOMPARE(Child<QSpinBox>(page, "m_Offset")->value(), 60);

        int64_t base = m_Clock;
        auto tick = [&](int64_t deviceTime) {
            m_Clock = base + (deviceTime - Mar29);
            page->EventOnTimer();
            return TakeSent();
        };
        const TSentList refresh{To(SntpGet, d)};
        QCOMPARE(tick(Mar29 + 1), TSentList());
        QCOMPARE(tick(Mar29 + 2), TSentList());
        QCOMPARE(tick(Mar29 + 3), refresh);
        QCOMPARE(tick(Mar29 + 4), TSentList());
        const int64_t endTrigger = int64_t(Oct25) + 3 + 60 * 60;
        QCOMPARE(tick(endTrigger - 1), TSentList());
        QCOMPARE(tick(endTrigger), refresh);
        QCOMPARE(tick(endTrigger + 1), TSentList());

        // A late tick that skips the trigger second still refreshes, once.
        Reply(d, SntpGet, 0, Encode(reply));
        Reply(d, SntpGet, 0, Encode(reply));
        base = m_Clock;
        QCOMPARE(tick(Mar29 + 2), TSentList());
        QCOMPARE(tick(Mar29 + 5), refresh);
        QCOMPARE(tick(Mar29 + 6), TSentList());
    }

    void pickersWithoutDaylightSaving_data()
    {
        QTest::addColumn<uint>("now");
        QTest::newRow("switch clock known") << uint(Dec10);
        QTest::newRow("switch clock unknown") << uint(Unknown);
    }
    void pickersWithoutDaylightSaving()
    {
        QFETCH(uint, now);
        m_Clock = Oct25;
        TReply reply;
        reply.Now = now;
        TModuleBasicsSntp* page = Load(reply);
        // Unknown: the workstation's own date and time of day.
        const QDateTime expected = now == Unknown ? QDateTime::fromSecsSinceEpoch(Oct25) : Utc(Dec10);
        for (const char* which : {"Begin", "End"}) {
            QCOMPARE(Child<QDateEdit>(page, QString("m_%1Date").arg(which))->date(), expected.date());
            QCOMPARE(Child<QTimeEdit>(page, QString("m_%1Time").arg(which))->time(), expected.time());
        }
    }

    void applySendsTheControls_data()
    {
        QTest::addColumn<int>("sntp");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("daylight");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("all enabled") << 1 << 33 << "10.1.2.3" << 1 << Utc(Mar29) << Utc(Oct25) << 60
                                     << QByteArray::fromHex("01 0021 0a010203 01 69c887a0 6add70b0 0000003c");
        QTest::newRow("disabled, widest period")
            << 0 << 0 << "0.0.0.0" << 0 << Utc(0) << Utc(Unknown) << 0
            << QByteArray::fromHex("00 0000 00000000 00 00000000 ffffffff 00000000");
        QTest::newRow("no daylight, last zone")
            << 1 << 62 << "192.168.255.254" << 0 << Utc(Oct25) << Utc(Mar29) << 1440
            << QByteArray::fromHex("01 003e c0a8fffe 00 6add70b0 69c887a0 000005a0");
    }
    void applySendsTheControls()
    {
        QFETCH(int, sntp);
        QFETCH(int, zone);
        QFETCH(QString, address);
        QFETCH(int, daylight);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        QFETCH(int, offset);
        QFETCH(QByteArray, payload);
        TDevice* a = Add(1);
        TDevice* b = Add(2);
        Select({a, b});
        TModuleBasicsSntp* page = Open();
        Reply(a, SntpGet, 0, Encode({}));
        Child<QComboBox>(page, "m_Sntp")->setCurrentIndex(sntp);
        Child<QComboBox>(page, "m_Timezone")->setCurrentIndex(zone);
        Child<QLineEdit>(page, "m_Address")->setText(address);
        Child<QComboBox>(page, "m_Daylight")->setCurrentIndex(daylight);
        SetPeriod(page, begin, end);
        Child<QSpinBox>(page, "m_Offset")->setValue(offset);
        m_Fake->Sent.clear();
        QVERIFY(Enabled(page, "m_Apply"));
        Child<QPushButton>(page, "m_Apply")->click();

        const std::vector<uint8_t> expected(payload.begin(), payload.end());
        QCOMPARE(expected.size(), std::size_t(20));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        for (const auto& sent : m_Fake->Sent)
            QVERIFY(PayloadOf(sent) == expected);
        QCOMPARE(TakeSent(), (TSentList{To(SntpSet, a), To(SntpSet, b)}));
        // The reply, refused or not, reads the settings again before it reports.
        Reply(b, SntpSet, 0x0005);
        QCOMPARE(TakeSent(), TSentList{To(SntpGet, b)});
        QCOMPARE(m_Fake->Results.back().Name, std::string("SntpSet"));
        QCOMPARE(m_Fake->Results.back().Status, uint16_t(5));
    }

    void applyRules_data()
    {
        QTest::addColumn<int>("sntp");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("daylight");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("enabled");
        const QDateTime t = Utc(Mar29);
        QTest::newRow("sntp off, bad server") << 0 << "junk" << 1 << t << t << true;
        QTest::newRow("no server") << 1 << "0.0.0.0" << 0 << t << t.addDays(1) << false;
        QTest::newRow("loopback server") << 1 << "127.0.0.1" << 0 << t << t.addDays(1) << false;
        QTest::newRow("broadcast server") << 1 << "255.255.255.255" << 0 << t << t.addDays(1) << false;
        QTest::newRow("unreadable server") << 1 << "10.1.2.x" << 0 << t << t.addDays(1) << false;
        QTest::newRow("server, no daylight") << 1 << "10.1.2.3" << 0 << t << t << true;
        QTest::newRow("short form server") << 1 << "10.1" << 0 << t << t << true;
        QTest::newRow("end equals begin") << 1 << "10.1.2.3" << 1 << t << t << false;
        QTest::newRow("end a second later") << 1 << "10.1.2.3" << 1 << t << t.addSecs(1) << true;
        QTest::newRow("end a second earlier") << 1 << "10.1.2.3" << 1 << t << t.addSecs(-1) << false;
        QTest::newRow("later date, earlier time") << 1 << "10.1.2.3" << 1 << t << t.addSecs(86400 - 3600) << true;
        QTest::newRow("earlier date, later time") << 1 << "10.1.2.3" << 1 << t << t.addSecs(-86400 + 3600) << false;
    }
    void applyRules()
    {
        QFETCH(int, sntp);
        QFETCH(QString, address);
        QFETCH(int, daylight);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        QFETCH(bool, enabled);
        TReply off;
        off.Enabled = false;
        TModuleBasicsSntp* page = Load(off);
        Child<QComboBox>(page, "m_Sntp")->setCurrentIndex(sntp);
        Child<QComboBox>(page, "m_Daylight")->setCurrentIndex(daylight);
        SetPeriod(page, begin, end);
        Child<QLineEdit>(page, "m_Address")->setText(address);
        QCOMPARE(Enabled(page, "m_Apply"), enabled);
    }

    void enablingFollowsTheChoices_data()
    {
        QTest::addColumn<int>("sntp");
        QTest::addColumn<int>("daylight");
        QTest::newRow("both off") << 0 << 0;
        QTest::newRow("daylight only") << 0 << 1;
        QTest::newRow("sntp only") << 1 << 0;
        QTest::newRow("both on") << 1 << 1;
    }
    void enablingFollowsTheChoices()
    {
        QFETCH(int, sntp);
        QFETCH(int, daylight);
        TReply unknown;
        unknown.Now = Unknown;
        TModuleBasicsSntp* page = Load(unknown);
        Child<QComboBox>(page, "m_Sntp")->setCurrentIndex(sntp);
        Child<QComboBox>(page, "m_Daylight")->setCurrentIndex(daylight);
        CheckEnabled(page, SelectionControls.mid(0, 3), true);
        CheckEnabled(page, SntpControls, sntp == 1);
        CheckEnabled(page, PeriodControls, sntp == 1 && daylight == 1);
        CheckEnabled(page, {"m_CurrentLabel", "m_Current"}, false); // no clock
    }

    void withoutSelectionNothingIsEnabled()
    {
        TModuleBasicsSntp* page = Load({});
        m_Form->Navigator().FlushTree();
        m_Form->Navigator().SelectIndex(
            m_Form->Navigator().Model()->index(0, 0, m_Form->Navigator().DevicesIndex())); // a group, no device
        QVERIFY(Shown(page));
        CheckEnabled(page,
                     SelectionControls + SntpControls + PeriodControls + QStringList{"m_CurrentLabel", "m_Current"},
                     false);
        QCOMPARE(Child<QLabel>(page, "m_Current")->text(), QString("(Invalid)"));
        QVERIFY(!page->findChild<QTimer*>("m_Timer")->isActive());
    }

    void addressIsRewrittenOnLeaving()
    {
        TReply unknown;
        unknown.Now = Unknown;
        TModuleBasicsSntp* page = Load(unknown);
        auto* edit = Child<QLineEdit>(page, "m_Address");
        const struct {
            const char* Typed;
            const char* Left;
            bool Apply;
        } cases[] = {{"10.1", "10.0.0.1", true}, {"0x0a.2.3.4", "10.2.3.4", true}, {"junk", "255.255.255.255", false}};
        for (const auto& c : cases) {
            edit->setText(c.Typed);
            QCOMPARE(edit->text(), QString(c.Typed));
            QCOMPARE(Enabled(page, "m_Apply"), c.Apply);
            emit edit->editingFinished();
            QCOMPARE(edit->text(), QString(c.Left));
        }
    }

private:
    int64_t m_Clock = 0;
};

QTEST_MAIN(TSntpTest)
#include "tst_sntp.moc"
