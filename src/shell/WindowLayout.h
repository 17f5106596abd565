// The window's own layout between runs: its geometry and state, the splitters, the column
// widths and orders of every list and the device tree's sort mode, kept in the user's
// settings. What the operator configures lives in the configuration file, never here.
// A missing, foreign or unreadable settings file leaves the defaults in place.
#pragma once

#include <QString>

class QMainWindow;
class QWidget;

class TWindowLayout {
public:
    // The program's settings in the user's configuration folder, or this file instead.
    explicit TWindowLayout(QString file = {});

    // Applies what was saved; false when there was nothing usable, and then nothing changed.
    bool Restore(QMainWindow& window) const;
    void Save(const QMainWindow& window) const;

    // Where a widget's layout is kept: the object names from the window down to it.
    static QString KeyOf(const QWidget* widget, const QWidget* window);

private:
    QString m_File;
};
