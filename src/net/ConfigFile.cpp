#include "ConfigFile.h"

#include "AddressText.h"
#include "XmlFile.h"

#include "core/AddressRules.h"
#include "core/Device.h"

#include <QXmlStreamWriter>

namespace ConfigFile {

bool Save(const QString& path, const Filter::TFilterSettings& settings, const std::vector<TDevice*>& devices,
          QString* error)
{
    // Written by a stream writer so that attributes keep their order from save to save.
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartElement("Config");
    xml.writeStartElement("Discovery");
    xml.writeTextElement("Method", QString::number(settings.Method));
    xml.writeTextElement("Address", AddressText(settings.Address));
    xml.writeTextElement("Mask", AddressText(settings.Mask));
    xml.writeTextElement("BeginAddr", AddressText(settings.RangeBegin));
    xml.writeTextElement("EndAddr", AddressText(settings.RangeEnd));
    xml.writeStartElement("Filters");
    for (const TIpMask& entry : settings.Unicast) {
        xml.writeEmptyElement("Filter");
        xml.writeAttribute("Address", AddressText(entry.Address));
    }
    for (const TIpMask& subnet : settings.LocalSubnets) {
        xml.writeEmptyElement("Filter");
        xml.writeAttribute("Address", AddressText(subnet.Address));
        xml.writeAttribute("Mask", AddressText(subnet.Mask));
    }
    xml.writeEndElement(); // Filters
    xml.writeEndElement(); // Discovery
    xml.writeStartElement("Devices");
    for (const TDevice* device : devices) {
        xml.writeStartElement("Device");
        xml.writeAttribute("MacAddr", MacText(device->Mac()));
        if (device->Type() != 0)
            xml.writeTextElement("Type", QString::fromStdString(device->TypeDescription()));
        if (device->Address() != 0)
            xml.writeTextElement("Address", AddressText(device->Address()));
        xml.writeEmptyElement("Properties");
        xml.writeEndElement();
    }
    xml.writeEndElement(); // Devices
    xml.writeEndElement(); // Config
    xml.writeEndDocument();
    // The declaration without an encoding; the writer starts the root on a new line.
    return SaveFileWhole("<?xml version=\"1.0\"?>" + body, path, error);
}

std::optional<TLoaded> Load(const QString& path)
{
    QDomDocument document;
    if (!LoadXml(path, document, MaxBytes, MaxDepth))
        return std::nullopt;
    TLoaded loaded;
    // The root's own name does not matter.
    const QDomElement discovery = document.documentElement().firstChildElement("Discovery");
    if (discovery.isNull())
        return loaded;

    Filter::TFilterSettings settings;
    settings.Method = Filter::fmCustomize;
    auto text = [&](const char* name) { return discovery.firstChildElement(name).text(); };
    bool ok = false;
    const int method = text("Method").toInt(&ok);
    if (ok)
        settings.Method = method >= 0 && method <= 0xFF ? uint8_t(method) : uint8_t(Filter::fmCustomize);
    auto address = [&](const char* name, uint32_t& value) {
        const QString t = text(name);
        if (!t.isEmpty())
            value = AddressOf(t);
    };
    address("Address", settings.Address);
    address("Mask", settings.Mask);
    address("BeginAddr", settings.RangeBegin);
    address("EndAddr", settings.RangeEnd);

    for (QDomElement filter = discovery.firstChildElement("Filters").firstChildElement(); !filter.isNull();
         filter = filter.nextSiblingElement()) {
        if (!filter.hasAttribute("Address"))
            continue;
        const uint32_t at = AddressOf(filter.attribute("Address"));
        if (!IsValidHostAddress(at))
            continue;
        const uint32_t mask = filter.hasAttribute("Mask") ? AddressOf(filter.attribute("Mask")) : 0xFFFFFFFFu;
        if (!IsValidMask(mask))
            continue;
        if (mask == 0xFFFFFFFFu)
            settings.Unicast.push_back({at, mask});
        else
            settings.LocalSubnets.push_back({at, mask});
    }
    loaded.Settings = settings;
    return loaded;
}

} // namespace ConfigFile
