#include "XmlFile.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>

QDomDocument NewXmlDocument(const QString& root)
{
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction("xml", R"(version="1.0")"));
    document.appendChild(document.createElement(root));
    return document;
}

bool SaveXml(const QDomDocument& document, const QString& path, QString* error)
{
    return SaveFileWhole(document.toByteArray(2), path, error);
}

bool SaveFileWhole(const QByteArray& bytes, const QString& path, QString* error)
{
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

namespace {

// One pass of the stream reader before the document is built from the same bytes.
bool IsHarmless(const QByteArray& bytes, int maxDepth)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference: return false;
        case QXmlStreamReader::StartElement:
            if (++depth > maxDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement: --depth; break;
        default: break;
        }
    }
    return !reader.hasError();
}

} // namespace

bool LoadXml(const QString& path, QDomDocument& document, qint64 maxBytes, int maxDepth)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return false;
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes || !IsHarmless(bytes, maxDepth))
        return false;
    return bool(document.setContent(bytes));
}
