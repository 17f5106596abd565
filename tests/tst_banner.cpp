// The "Link State" banner on its own, offscreen, with a fake main window behind the
// module callback: texts, square and port colours, syslog counts, the redundancy radio
// buttons and the RedundancyGet it sends while shown.
#include "FakeSessionCallback.h"

#include "core/DeviceType.h"
#include "core/IntpCore.h"
#include "core/Redundancy.h"
#include "core/Services.h"
#include "core/SyslogStore.h"
#include "pages/ModuleBanner.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace {

class TFakeStatus : public Status::TStatusServer {
public:
    uint32_t Flags = 0;
    void AddDevices(const std::vector<TDevice*>&) override {}
    void AddDevice(TDevice*) override {}
    uint32_t GetStatusFlags(TDevice*) const override { return Flags; }
};

class TFakeSyslog : public Syslog::TSyslogServer {
public:
    std::vector<Syslog::TSyslogListNode> Events;
    void ClearEvents() override { Events.clear(); }
    bool ParseEvent(std::string_view, int&, int&, std::string&) override { return false; }
    void AddEvent(uint32_t, std::string_view) override {}
    int CountEvents(uint32_t) override { return int(Events.size()); }
    std::string FacilityText(int) override { return {}; }
    std::string SeverityText(int) override { return {}; }
    void CollectEvents(uint32_t address, std::vector<Syslog::TSyslogListNode>& out, bool mark) override
    {
        for (auto& e : Events) {
            if (e.Address != address)
                continue;
            out.push_back(e);
            if (mark)
                e.Read = true;
        }
    }
    bool SaveEvents(const std::vector<Syslog::TSyslogListNode>&, const std::string&) override { return true; }
};

class TFakeWindow : public TPageContext {
public:
    TDevice* Selected = nullptr;
    TFakeStatus Status;
    TFakeSyslog Syslog;
    int GetSelectedDevice(TDevice*& device) override
    {
        device = Selected;
        return Selected ? 1 : 0;
    }
    int GetSelectedDevices(std::vector<TDevice*>& devices) override
    {
        if (Selected)
            devices.push_back(Selected);
        return Selected ? 1 : 0;
    }
    int GetAllDevices(std::vector<TDevice*>& devices) override { return GetSelectedDevices(devices); }
    bool AskCredentials(std::string&, std::string&) override { return false; }
    bool IsSelectedDevice(TDevice* device) override { return device && device == Selected; }
    bool IsAmongSelected(TDevice* device) override { return IsSelectedDevice(device); }
    bool SelectPath(const QString&) override { return false; }
    Filter::TFilterServer* GetFilterServer() override { return nullptr; }
    Status::TStatusServer* GetStatusServer() override { return &Status; }
    Syslog::TSyslogServer* GetSyslogServer() override { return &Syslog; }
};

} // namespace

class TBannerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFakeSessionCallback> m_Fake;
    std::unique_ptr<TFakeWindow> m_Window;
    std::unique_ptr<TModuleBannerKorvex700G> m_Banner;

    template <typename T>
    T* At(const char* name)
    {
        T* child = m_Banner->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    QColor Square(const char* name) { return At<QLabel>(name)->palette().color(QPalette::Window); }
    QList<QColor> Ports()
    {
        const QImage image = At<QLabel>("m_LinkImage")->pixmap().toImage();
        QList<QColor> colours;
        for (int i = 0; i < TModuleBannerKorvex700G::PortCount; ++i)
            colours << QColor(image.pixel(TModuleBannerKorvex700G::PortPoint(i)));
        return colours;
    }
    // An 8-port KX40 at 192.0.2.1, selected.
    TDevice* SelectEightPorts()
    {
        for (int model : Intp::RegisterKnownModels()) {
            if (Intp::PortCount(model) != 8)
                continue;
            TDevice* d = Registry::Find(Mac(1), true);
            d->SetType(model);
            d->SetAddress(0xC0000201);
            m_Window->Selected = d;
            return d;
        }
        return nullptr;
    }
    int RedundancyGets() const
    {
        int count = 0;
        for (const auto& d : m_Fake->Sent)
            count += Intp::ReadU16(d.Bytes.data()) == Intp::TSessionRedundancyGet::Command;
        return count;
    }

    const QColor Silver{192, 192, 192}, Black{0, 0, 0}, Green{0, 255, 0}, Good{0, 128, 0}, Red{255, 0, 0};

private slots:
    void init()
    {
        Registry::Clear();
        m_Fake = std::make_unique<TFakeSessionCallback>();
        m_Window = std::make_unique<TFakeWindow>();
        m_Banner = std::make_unique<TModuleBannerKorvex700G>();
        m_Banner->SetContext(m_Window.get());
    }
    void cleanup()
    {
        m_Banner.reset();
        m_Window.reset();
        m_Fake.reset();
        Registry::Clear();
    }

    void noDeviceShowsNothing()
    {
        m_Banner->Notify(nullptr, ncDeviceRemoved, 0);
        QCOMPARE(At<QLabel>("m_IpAddr")->text(), QString("(Not Available)"));
        QCOMPARE(At<QLabel>("m_MacAddr")->text(), QString());
        for (const char* square : {"m_StatusOnline", "m_StatusQuery", "m_StatusIp", "m_StatusFault"})
            QCOMPARE(Square(square), Silver);
        QCOMPARE(Ports(), QList<QColor>(8, Silver));
        QCOMPARE(At<QLabel>("m_LogNum")->text(), QString("0"));
        QCOMPARE(At<QLabel>("m_LogUnread")->text(), QString("0"));
        QVERIFY(At<QLabel>("m_LogLDate")->text().isEmpty() && At<QLabel>("m_LogLTime")->text().isEmpty());
        QVERIFY(!At<QToolButton>("m_OpenLog")->isEnabled());
        QVERIFY(!At<QRadioButton>("m_ZelRing")->isChecked() && !At<QRadioButton>("m_RSTP")->isChecked());
        QVERIFY(!m_Banner->Timer().isActive());
        QCOMPARE(RedundancyGets(), 0);
    }

    void statusSquaresAndPorts_data()
    {
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<bool>("pollValid");
        QTest::addColumn<uint32_t>("alarms");
        QTest::addColumn<QList<QColor>>("squares");
        QTest::addColumn<QList<QColor>>("ports");
        const QColor S{192, 192, 192}, B{0, 0, 0}, G{0, 255, 0}, ok{0, 128, 0}, bad{255, 0, 0};
        QTest::newRow("links 1 and 3") << 0u << true << 0u << QList<QColor>{ok, ok, ok, ok}
                                       << QList<QColor>{G, B, G, B, B, B, B, B};
        QTest::newRow("offline and moved, alarm")
            << 5u << true << 1u << QList<QColor>{bad, ok, bad, bad} << QList<QColor>{G, B, G, B, B, B, B, B};
        QTest::newRow("no poll yet") << 2u << false << 0u << QList<QColor>{ok, bad, ok, S} << QList<QColor>(8, S);
    }
    void statusSquaresAndPorts()
    {
        QFETCH(uint32_t, flags);
        QFETCH(bool, pollValid);
        QFETCH(uint32_t, alarms);
        QFETCH(QList<QColor>, squares);
        QFETCH(QList<QColor>, ports);
        TDevice* d = SelectEightPorts();
        QVERIFY(d);
        auto& ping = Intp::GetProperty<Intp::TPropertyIntpPing2>(*d);
        ping.Valid = pollValid;
        ping.PortAlarms = alarms;
        ping.LinkMask = 0b101;
        m_Window->Status.Flags = flags;
        m_Banner->Notify(d, ncSelect, 0);
        QCOMPARE(At<QLabel>("m_IpAddr")->text(), QString("192.0.2.1"));
        QCOMPARE(At<QLabel>("m_MacAddr")->text(), QString::fromStdString(d->Mac().Text()));
        QCOMPARE((QList<QColor>{Square("m_StatusOnline"), Square("m_StatusQuery"), Square("m_StatusIp"),
                                Square("m_StatusFault")}),
                 squares);
        QCOMPARE(Ports(), ports);
        QVERIFY(m_Banner->Timer().isActive());
    }

    void syslogCountsAndOpeningTheLog()
    {
        TDevice* d = SelectEightPorts();
        const int64_t at = QDateTime(QDate(2026, 1, 5), QTime(7, 8, 9)).toMSecsSinceEpoch();
        m_Window->Syslog.Events = {{d->Address(), 1, 3, "a", 1, at - 2000, true},
                                   {d->Address(), 1, 3, "b", 2, at, false},
                                   {0x0A000001, 1, 3, "other", 3, at + 5000, false},
                                   {d->Address(), 1, 3, "c", 4, at - 1000, false}};
        m_Banner->Notify(d, ncSelect, 0);
        QCOMPARE(At<QLabel>("m_LogNum")->text(), QString("3"));
        QCOMPARE(At<QLabel>("m_LogUnread")->text(), QString("2"));
        QCOMPARE(At<QLabel>("m_LogLTime")->text(), QString("07:08:09"));
        QCOMPARE(At<QLabel>("m_LogLDate")->text(), QLocale().toString(QDate(2026, 1, 5), QLocale::ShortFormat));
        QVERIFY(At<QToolButton>("m_OpenLog")->isEnabled());
        At<QToolButton>("m_OpenLog")->click();
        QTRY_VERIFY(QApplication::topLevelWidgets().size() > 1);
        emit const_cast<QTimer&>(m_Banner->Timer()).timeout({});
        QCOMPARE(At<QLabel>("m_LogUnread")->text(), QString("0"));
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != m_Banner.get())
                w->close();
    }

    // Each selection and tick asks for the protocol; only the selected device's answer
    // counts; after Hide nothing more is sent.
    void redundancyFollowsTheSelectedDevice()
    {
        TDevice* d = SelectEightPorts();
        m_Banner->Notify(d, ncSelect, 0);
        QCOMPARE(RedundancyGets(), 1);
        for (uint8_t protocol : {1, 2, 3}) {
            Deliver(d->Address(), MakeDatagram(Intp::TSessionRedundancyGet::Command, 0, d->Mac(), {1, protocol}));
            m_Banner->Notify(d, Intp::TSessionRedundancyGet::Command, 0);
            QCOMPARE(At<QRadioButton>("m_ZelRing")->isChecked(), protocol == 1);
            QCOMPARE(At<QRadioButton>("m_RSTP")->isChecked(), protocol == 2);
            emit const_cast<QTimer&>(m_Banner->Timer()).timeout({});
        }
        // An answer for a device that is not selected changes nothing.
        TDevice* other = Registry::Find(Mac(2), true);
        Intp::GetProperty<Intp::TPropertyRedundancy>(*other) = {true, true, 1};
        Intp::GetProperty<Intp::TPropertyRedundancy>(*d) = {true, true, 2};
        m_Banner->Notify(d, Intp::TSessionRedundancyGet::Command, 0);
        m_Banner->Notify(other, Intp::TSessionRedundancyGet::Command, 0);
        QVERIFY(At<QRadioButton>("m_RSTP")->isChecked());
        QVERIFY(m_Banner->Hide(false));
        QVERIFY(!m_Banner->Timer().isActive());
        const int sent = RedundancyGets();
        QTest::qWait(50);
        QCOMPARE(RedundancyGets(), sent);
    }

    void portPictureFillsWholeSockets()
    {
        const QImage image = TModuleBannerKorvex700G::PortPicture({2, 1, 0, 0, 0, 0, 0, 2});
        QCOMPARE(QColor(image.pixel(0, 0)), QColor(213, 223, 199));
        // The notch is part of the socket: it takes the port's colour too.
        QCOMPARE(QColor(image.pixel(3 + 14, 5)), Green);
        QCOMPARE(QColor(image.pixel(3 + 14, 58)), Black);
        QCOMPARE(QColor(image.pixel(3 * 34 + 3 + 14, 58)), Green);
        QCOMPARE(QColor(image.pixel(34 + 5, 16)), Silver);
    }
};

QTEST_MAIN(TBannerTest)
#include "tst_banner.moc"
