#include "AboutForm.h"
#include "MainForm.h"
#include "StartUp.h"
#include "WindowLayout.h"
#include "core/DeviceType.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[])
{
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane Zode"));
    QCoreApplication::setApplicationVersion(TAboutForm::VersionNumber());
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Management console for managed industrial Ethernet switches."));
    const QCommandLineOption help = options.addHelpOption();
    const QCommandLineOption version = options.addVersionOption();
    QCommandLineOption discover(QStringLiteral("discover"), QStringLiteral("Run a discovery as soon as the window is up."));
    options.addOption(discover);

    // --help and --version answer before the window system is opened, so they work without a
    // display. Errors wait for the full pass below, which also knows Qt's own options.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    options.parse(arguments);
    if (options.isSet(help) || options.isSet(version)) {
        QCoreApplication core(argc, argv); // the program's name for the usage line
        if (options.isSet(help))
            options.showHelp();
        options.showVersion();
    }

    QApplication app(argc, argv);
    options.process(app);

    Intp::RegisterKnownModels();
    TMainForm form;
    // The layout of the last run, or the first run's.
    const TWindowLayout layout;
    if (layout.Restore(form))
        form.show();
    else
        ShowMainWindow(form);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&] { layout.Save(form); });
    if (options.isSet(discover))
        QTimer::singleShot(0, &form, &TMainForm::EventOnDiscovery);
    return app.exec();
}
