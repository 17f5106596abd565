#include "SyslogFile.h"

#include "XmlFile.h"

#include <QDateTime>
#include <QDomDocument>
#include <QHostAddress>
#include <QLocale>

namespace Syslog {

QString ReceivedText(int64_t receivedMs)
{
    QDateTime local = QDateTime::fromMSecsSinceEpoch(receivedMs).toLocalTime();
    QLocale locale;
    return locale.toString(local.date(), QLocale::ShortFormat) + ' ' + locale.toString(local.time(), QLocale::LongFormat);
}

namespace {

// XML 1.0 cannot carry control characters other than tab and line ends; invalid UTF-8
// already became U+FFFD.
QString XmlText(const std::string& message)
{
    QString text = QString::fromStdString(message);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 && c != '\t' && c != '\n' && c != '\r')
            c = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

bool SaveEvents(const std::vector<TSyslogListNode>& list, const QString& fileName)
{
    QDomDocument document = NewXmlDocument(QStringLiteral("Syslog"));
    QDomElement root = document.documentElement();
    for (const TSyslogListNode& node : list) {
        QDomElement entry = document.createElement("Entry");
        entry.setAttribute("EventId", qlonglong(node.EventId));
        auto child = [&](const char* name, const QString& text) {
            QDomElement element = document.createElement(name);
            element.appendChild(document.createTextNode(text));
            entry.appendChild(element);
        };
        child("Facility", QString::number(node.Facility));
        child("Severity", QString::number(node.Severity));
        child("Address", QHostAddress(node.Address).toString());
        child("Time", ReceivedText(node.Received));
        child("Message", XmlText(node.Message));
        root.appendChild(entry);
    }
    return SaveXml(document, fileName);
}

} // namespace Syslog
