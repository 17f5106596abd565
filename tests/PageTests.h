// Helpers of the page tests: the list of a page, its rows, cells and header, the items of a
// drop-down list, and whether controls are enabled.
#pragma once

#include "FormSessions.h"

#include "core/DeviceType.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// Reply payloads laid out byte by byte, independently of the records' own coding.
using TBytes = std::vector<uint8_t>;

inline TBytes Concat(std::initializer_list<TBytes> parts)
{
    TBytes out;
    for (const TBytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Names of the 8 ports and 4 trunk groups, 8 bytes each.
inline TBytes PortNames()
{
    TBytes out;
    for (int i = 0; i < 12; ++i) {
        std::string name = i < 8 ? "Port-" + std::to_string(i + 1) : "Trunk-" + std::to_string(i - 7);
        name.resize(8, '\0');
        out.insert(out.end(), name.begin(), name.end());
    }
    return out;
}

// PortNames() with port 1 named "Tür" in Latin-1 (the switches' 8-bit characters) and
// port 2 without a name.
inline TBytes OddPortNames()
{
    TBytes out = PortNames();
    const TBytes tuer = {'T', 0xFC, 'r', 0, 0, 0, 0, 0};
    std::copy(tuer.begin(), tuer.end(), out.begin());
    std::fill(out.begin() + 8, out.begin() + 16, uint8_t(0));
    return out;
}

// Port configuration: 4 bytes of nothing, then entries for the given ports.
inline TBytes PortConfig(const std::vector<uint8_t>& ports)
{
    TBytes out(4, 0);
    for (uint8_t port : ports)
        out = Concat({out, {port, 4, 1, 0, 0, 0}});
    return out;
}

inline QByteArray ToQt(const std::vector<uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// The page's report list: m_ListView where it edits rows, m_List where it only shows them.
inline QTreeWidget* ListOf(QWidget* page)
{
    if (auto* list = page->findChild<QTreeWidget*>("m_ListView"))
        return list;
    return Child<QTreeWidget>(page, "m_List");
}

inline QStringList Column(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

inline QStringList Column(QWidget* page, int column) { return Column(ListOf(page), column); }

inline QStringList Cells(QWidget* page, int row)
{
    QStringList texts;
    QTreeWidget* list = ListOf(page);
    for (int column = 0; column < list->columnCount(); ++column)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

inline QStringList Items(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

inline void ClickHeader(QWidget* page, int column) { emit ListOf(page)->header()->sectionClicked(column); }

inline void SelectRow(QWidget* page, int row) { ListOf(page)->setCurrentItem(ListOf(page)->topLevelItem(row)); }

// A switch type of 4 ports and 2 trunk groups, for Sets that must not reach it.
inline Intp::TDeviceType FourPortType()
{
    Intp::TDeviceType type;
    type.Description = "4 port test switch";
    type.PortCount = 4;
    type.TrunkCount = 2;
    return type;
}

// "Port.01" ... with the numbers 1 to count.
inline QStringList PortCaptions(int count, const char* format = "Port.%1")
{
    QStringList captions;
    for (int i = 1; i <= count; ++i)
        captions << QString(format).arg(i, 2, 10, QLatin1Char('0'));
    return captions;
}

inline void CheckEnabled(QWidget* page, const QStringList& names, bool on)
{
    for (const QString& name : names)
        QVERIFY2(Child<QWidget>(page, name)->isEnabled() == on, qPrintable(name + (on ? " disabled" : " enabled")));
}

// A page driver that also opens pages by their path and lists the requests sent in full.
class TPageTestDriver : public TPageDriver {
public:
    // Answers every message box OK and keeps its text in m_Messages, until ReleaseMessages.
    // With onlyInformation, a box of another kind is kept as "not information: <text>".
    void CatchMessages(bool onlyInformation = false)
    {
        m_Messages.clear();
        Dialogs::SetHandler([this, onlyInformation](Dialogs::TKind kind, const QString& text) {
            const bool marked = onlyInformation && kind != Dialogs::TKind::Information;
            m_Messages << (marked ? QStringLiteral("not information: ") + text : text);
            return true;
        });
    }
    static void ReleaseMessages() { Dialogs::SetHandler({}); }
    QStringList m_Messages;

    template <typename T = QWidget>
    T* Open(const char* path)
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode(path));
        auto* page = dynamic_cast<T*>(dynamic_cast<QWidget*>(Frame()->SelectedPage()));
        if (!page)
            qFatal("%s is not selected", path);
        return page;
    }
    // The page at path open on the selected devices, loaded for the first from the reply.
    QWidget* Load(const char* path, uint16_t get, const TBytes& payload, uint16_t status,
                  std::initializer_list<TDevice*> devices)
    {
        Select(devices);
        QWidget* page = Open(path);
        Reply(*devices.begin(), get, status, payload);
        m_Fake->Sent.clear();
        return page;
    }
    // The page at path drawn while no device is selected.
    QWidget* Unselected(const char* path)
    {
        TModule* module = Frame()->ModuleOf(Frame()->FindNode(path));
        module->Notify(nullptr, ncSelect, 0);
        return module->GetControl();
    }
    // The page at path in the catalogue with its caption, the titles of its read-only list
    // (none: the page has no list) and an "&Apply" with its image where it has one.
    void CheckCatalogued(const QString& path, const QString& caption, const QStringList& columns)
    {
        TModule* module = Frame()->ModuleOf(Frame()->FindNode(path));
        QVERIFY(module && module->GetControl());
        QCOMPARE(module->GetName(), caption);
        QWidget* page = module->GetControl();
        if (!columns.isEmpty()) {
            QTreeWidget* list = ListOf(page);
            QCOMPARE(list->columnCount(), columns.size());
            for (int column = 0; column < columns.size(); ++column)
                QCOMPARE(list->headerItem()->text(column), columns[column]);
            QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        }
        if (auto* apply = page->findChild<QPushButton*>("m_Apply")) {
            QCOMPARE(apply->text(), QString("&Apply"));
            QCOMPARE(apply->icon().cacheKey(), Icon(TImage::Accept).cacheKey());
        }
    }
    QWidget* PageAt(const QString& path) { return Frame()->ModuleOf(Frame()->FindNode(path))->GetControl(); }
    // The requests sent since the last call: command, destination and payload.
    QStringList TakeRequests()
    {
        QStringList out;
        for (const auto& d : m_Fake->Sent)
            out << Request(Intp::ReadU16(d.Bytes.data()), d.Address, PayloadOf(d));
        m_Fake->Sent.clear();
        return out;
    }
    static QString Request(uint16_t command, uint32_t address, const std::vector<uint8_t>& payload)
    {
        return QStringLiteral("%1 to %2: %3")
            .arg(command, 4, 16, QLatin1Char('0'))
            .arg(address, 8, 16, QLatin1Char('0'))
            .arg(QString::fromLatin1(ToQt(payload).toHex(' ')));
    }
    static QString Request(uint16_t command, TDevice* d, const std::vector<uint8_t>& payload)
    {
        return Request(command, d->Address(), payload);
    }
};
