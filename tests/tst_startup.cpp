// Start-up: the console's command line without a display and its first window, and the
// simulator's command line.
#include "OptionTable.h"
#include "Options.h"

#include "shell/AboutForm.h"
#include "shell/StartUp.h"

#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class TStartUpTest : public QObject {
    Q_OBJECT

private slots:
    void consoleAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected"); // a regular expression for the whole output
        const QString version = "Veltrane Zode " + QRegularExpression::escape(TAboutForm::VersionNumber()) + "\n";
        QTest::newRow("--version") << QStringList{"--version"} << version;
        QTest::newRow("-v") << QStringList{"-v"} << version;
        QTest::newRow("--help") << QStringList{"--help"}
                                << "Usage: \\S*zode \\[options\\]\n(.*\n)*  --discover +Run a discovery [^\n]*\n";
        QTest::newRow("--help among Qt's options")
            << QStringList{"-platform", "xcb", "--help"} << "Usage: \\S*zode \\[options\\]\n(.*\n)*";
    }
    void consoleAnswersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QProcess zode;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        zode.setProcessEnvironment(environment);
        zode.start(qEnvironmentVariable("ZODE_BIN"), arguments);
        QVERIFY(zode.waitForFinished());
        QCOMPARE(zode.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zode.exitCode(), 0);
        const QString output = QString::fromLocal8Bit(zode.readAllStandardOutput());
        QVERIFY2(QRegularExpression("\\A" + expected + "\\z").match(output).hasMatch(), qPrintable(output));
    }

    void windowOpensAtASensibleSize()
    {
        QWidget window; // asks for little room, as the main window does without a window manager
        window.resize(200, 100);
        ShowMainWindow(window);
        const QRect available = window.screen()->availableGeometry();
        QVERIFY(window.isMaximized());
        QCOMPARE(window.normalGeometry().size(), QSize(1280, 800).boundedTo(available.size()));
        QVERIFY(available.contains(window.normalGeometry()));
    }

    void simulatorOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::newRow("defaults") << QStringList{} << QString();
        QTest::newRow("last MAC below broadcast")
            << QStringList{"--mac-base", "FF:FF:FF:FF:FF:FB", "--count", "4"} << QString();
        QTest::newRow("null MAC") << QStringList{"--mac-base", "00:00:00:00:00:00"}
                                  << "--mac-base 00:00:00:00:00:00 is the null MAC, which no switch may have";
        QTest::newRow("reaches the broadcast MAC")
            << QStringList{"--mac-base", "FF:FF:FF:FF:FF:FC", "--count", "4"}
            << "--mac-base FF:FF:FF:FF:FF:FC: 4 switches would reach FF:FF:FF:FF:FF:FF, the broadcast MAC";
        QTest::newRow("wraps past the broadcast MAC")
            << QStringList{"--mac-base", "FF:FF:FF:FF:FF:FE", "--group", "10.0.0.1/24:2", "--group", "10.0.1.1/24:3"}
            << "--mac-base FF:FF:FF:FF:FF:FE: 5 switches would reach FF:FF:FF:FF:FF:FF, the broadcast MAC";
        QTest::newRow("groups side by side")
            << QStringList{"--group", "10.0.0.1/24:4", "--group", "10.0.0.5/24:4"} << QString();
        QTest::newRow("groups overlap")
            << QStringList{"--group", "10.0.0.1/24:4", "--group", "10.0.0.4/24:2"}
            << "--group ranges overlap: the groups from 10.0.0.1 and from 10.0.0.4 both hold 10.0.0.4";
        QTest::newRow("overlap in other order and prefixes")
            << QStringList{"--group", "10.0.0.8/16:2", "--group", "192.0.2.1/24:1", "--group", "10.0.0.1/24:8"}
            << "--group ranges overlap: the groups from 10.0.0.1 and from 10.0.0.8 both hold 10.0.0.8";
        QTest::newRow("same group twice") << QStringList{"--group", "10.0.0.1/24:1", "--group", "10.0.0.1/24:1"}
                                          << "--group ranges overlap: the groups from 10.0.0.1 and from 10.0.0.1 both "
                                             "hold 10.0.0.1";
        QTest::newRow("syslog with port")
            << QStringList{"--syslog", "192.0.2.1:5514", "--syslog-rate", "0.2"} << QString();
        QTest::newRow("syslog rate without target")
            << QStringList{"--syslog-rate", "5"} << "--syslog-rate needs --syslog";
        QTest::newRow("syslog bad port") << QStringList{"--syslog", "192.0.2.1:70000"}
                                         << "bad --syslog 192.0.2.1:70000";
        QTest::newRow("syslog negative rate")
            << QStringList{"--syslog", "192.0.2.1", "--syslog-rate", "-1"} << "bad --syslog-rate (0..1000000)";
        EveryOptionTakesItsValue();
    }
    void simulatorOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        Sim::TOptions options;
        QString message;
        QCOMPARE(Sim::ParseOptions(QStringList{"zode-switchsim"} + arguments, options, message), error.isEmpty());
        QCOMPARE(message, error);
    }

    // The general options and every feature group add entries to one table. The parser keeps
    // only the first of two options of one name, so the second feature would never see its values.
    void simulatorOptionNamesAreUnique()
    {
        QSet<QString> names{"h", "help", "help-all", "?", "v", "version"}; // the parser's own
        for (const Sim::TOptionEntry& entry : Sim::OptionTable().entries)
            for (const QString& name : entry.option.names()) {
                QVERIFY2(!names.contains(name), qPrintable("--" + name + " is registered twice"));
                names.insert(name);
            }
    }

private:
    // Rows for every registered option: each takes a value of its kind, and every option naming
    // switch i refuses a switch the fleet does not have. An entry without a reader would drop
    // its values: only the addresses' options are read by the --count entry's reader.
    static void EveryOptionTakesItsValue()
    {
        // Options with neither a default nor a switch index.
        const QMap<QString, QString> samples{{"group", "192.0.2.1/24:2"},
                                             {"seed", "7"},
                                             {"dhcp-pool", "192.0.2.100-192.0.2.110"},
                                             {"syslog", "192.0.2.1:514"},
                                             {"store", QDir::tempPath()},
                                             {"error", "512=4@1"}};
        const QSet<QString> readElsewhere{"address", "prefix", "group"};
        for (const Sim::TOptionEntry& entry : Sim::OptionTable().entries) {
            const QString name = entry.option.names().constFirst();
            const QString valueName = entry.option.valueName();
            QVERIFY2(bool(entry.read) != readElsewhere.contains(name), qPrintable("--" + name + " has no reader"));
            const QStringList fleet{"--count", "2"};
            if (valueName.isEmpty()) {
                QTest::newRow(qPrintable("--" + name)) << QStringList{"--" + name} << QString();
            } else if (valueName == "i" || valueName.startsWith("i=") || valueName.startsWith("i[")) {
                const QString value = valueName.startsWith("i=") ? "=1" : "";
                QTest::newRow(qPrintable("--" + name)) << fleet + QStringList{"--" + name, "1" + value} << QString();
                QTest::newRow(qPrintable("--" + name + " beyond the fleet")) << fleet +
                        QStringList{"--" + name, "2" + value} << QString("--%1: no switch 2 (there are 2)").arg(name);
            } else if (!entry.option.defaultValues().isEmpty()) {
                QTest::newRow(qPrintable("--" + name))
                    << QStringList{"--" + name, entry.option.defaultValues().constFirst()} << QString();
            } else {
                QVERIFY2(samples.contains(name), qPrintable("no sample value for --" + name));
                QTest::newRow(qPrintable("--" + name)) << fleet + QStringList{"--" + name, samples[name]} << QString();
            }
        }
    }
};

QTEST_MAIN(TStartUpTest)
#include "tst_startup.moc"
