#include "WindowLayout.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>
#include <QStringList>
#include <QTableView>
#include <QTreeView>

#include <memory>

namespace {

// Raised when what is saved changes its meaning; older layouts are then ignored.
constexpr int LayoutVersion = 1;

std::unique_ptr<QSettings> Open(const QString& file)
{
    if (file.isEmpty())
        return std::make_unique<QSettings>();
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

// The column headers of the window's lists, with the keys they are kept under.
template <typename Window, typename Visit>
void ForEachHeader(Window& window, Visit visit)
{
    for (QAbstractItemView* view : window.template findChildren<QAbstractItemView*>()) {
        QHeaderView* header = nullptr;
        if (auto* tree = qobject_cast<QTreeView*>(view))
            header = tree->header();
        else if (auto* table = qobject_cast<QTableView*>(view))
            header = table->horizontalHeader();
        if (header && !view->objectName().isEmpty())
            visit(QStringLiteral("lists/") + TWindowLayout::KeyOf(view, &window), header);
    }
}

} // namespace

TWindowLayout::TWindowLayout(QString file) : m_File(std::move(file)) {}

QString TWindowLayout::KeyOf(const QWidget* widget, const QWidget* window)
{
    QStringList names;
    for (const QWidget* at = widget; at && at != window; at = at->parentWidget())
        if (!at->objectName().isEmpty())
            names.prepend(at->objectName());
    return names.join(QLatin1Char('.'));
}

bool TWindowLayout::Restore(QMainWindow& window) const
{
    const auto settings = Open(m_File);
    if (settings->status() != QSettings::NoError || settings->value("layout/version").toInt() != LayoutVersion)
        return false;
    if (!window.restoreGeometry(settings->value("window/geometry").toByteArray()))
        return false;
    window.restoreState(settings->value("window/state").toByteArray());
    for (QSplitter* splitter : window.findChildren<QSplitter*>())
        if (!splitter->objectName().isEmpty())
            splitter->restoreState(
                settings->value(QStringLiteral("splitters/") + KeyOf(splitter, &window)).toByteArray());
    ForEachHeader(window, [&](const QString& key, QHeaderView* header) {
        header->restoreState(settings->value(key).toByteArray());
    });
    if (auto* sort = window.findChild<QComboBox*>(QStringLiteral("m_TreeSort"))) {
        bool ok = false;
        const int mode = settings->value("tree/sortMode").toInt(&ok);
        if (ok && mode >= 0 && mode < sort->count())
            sort->setCurrentIndex(mode);
    }
    return true;
}

void TWindowLayout::Save(const QMainWindow& window) const
{
    const auto settings = Open(m_File);
    settings->clear();
    settings->setValue("layout/version", LayoutVersion);
    settings->setValue("window/geometry", window.saveGeometry());
    settings->setValue("window/state", window.saveState());
    for (const QSplitter* splitter : window.findChildren<QSplitter*>())
        if (!splitter->objectName().isEmpty())
            settings->setValue(QStringLiteral("splitters/") + KeyOf(splitter, &window), splitter->saveState());
    ForEachHeader(window,
                  [&](const QString& key, const QHeaderView* header) { settings->setValue(key, header->saveState()); });
    if (const auto* sort = window.findChild<QComboBox*>(QStringLiteral("m_TreeSort")))
        settings->setValue("tree/sortMode", sort->currentIndex());
    settings->sync();
}
