// XML documents of the console's own files: written whole or not at all, read only when
// they are small, flat and free of DTDs, so a hostile file can neither exhaust memory nor
// expand entities.
#pragma once

#include <QDomDocument>
#include <QString>

// A document with the XML declaration (version 1.0, no encoding) and the root element.
QDomDocument NewXmlDocument(const QString& root);
// Writes the bytes to a temporary file that takes the path's name only when complete.
// False with the reason in error when it could not be written.
bool SaveFileWhole(const QByteArray& bytes, const QString& path, QString* error = nullptr);
// The document, indented, the same way.
bool SaveXml(const QDomDocument& document, const QString& path, QString* error = nullptr);
// Reads and parses the file; false when it cannot be read, is larger than maxBytes, nests
// deeper than maxDepth, holds a DTD or is not well-formed XML.
bool LoadXml(const QString& path, QDomDocument& document, qint64 maxBytes, int maxDepth);
