#include "AboutForm.h"

#include "ui/Images.h"
#include "Version.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    setObjectName(QStringLiteral("TAboutForm"));
    auto* layout = new QVBoxLayout(this);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("m_Logo"));
    logo->setPixmap(Icon(TImage::Root).pixmap(64, 64));
    logo->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QApplication::applicationName(), this);
    title->setObjectName(QStringLiteral("m_Title"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("m_Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(logo);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(buttons);
}

QString TAboutForm::VersionText() { return QStringLiteral("Version ") + VersionNumber(); }

QString TAboutForm::VersionNumber()
{
    return QStringLiteral("%1.%2.%3 (build %4)")
        .arg(ZODE_VERSION_MAJOR)
        .arg(ZODE_VERSION_MINOR)
        .arg(ZODE_VERSION_PATCH)
        .arg(ZODE_BUILD_NUMBER);
}
