#include "MainForm.h"
#include "devices/DeviceType.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane Zode"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Management console for managed industrial Ethernet switches."));
    options.addHelpOption();
    QCommandLineOption discover(QStringLiteral("discover"), QStringLiteral("Run a discovery as soon as the window is up."));
    options.addOption(discover);
    options.process(app);

    Intp::RegisterKnownModels();
    TMainForm form;
    form.showMaximized();
    if (options.isSet(discover))
        QTimer::singleShot(0, form.acDiscovery, &QAction::trigger);
    return app.exec();
}
