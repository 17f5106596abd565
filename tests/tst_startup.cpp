// Start-up: the console's command line without a display and its first window.
#include "app/AboutForm.h"
#include "app/StartUp.h"

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
        QTest::newRow("--help among Qt's options") << QStringList{"-platform", "xcb", "--help"}
                                                   << "Usage: \\S*zode \\[options\\]\n(.*\n)*";
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
};

QTEST_MAIN(TStartUpTest)
#include "tst_startup.moc"
