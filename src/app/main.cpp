#include "MainForm.h"
#include "devices/DeviceType.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane Zode"));
    Intp::RegisterKnownModels();
    TMainForm form;
    form.showMaximized();
    return app.exec();
}
