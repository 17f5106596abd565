// The About dialog: title and the program's version.
#pragma once

#include <QDialog>

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
    // "%d.%d.%d (build %d)"
    static QString VersionNumber();
    // "Version %d.%d.%d (build %d)"
    static QString VersionText();
};
