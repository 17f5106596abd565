#include "PortTexts.h"

#include "net/RecordText.h"
#include "core/Port.h"

QString PortCaption(int index) { return QStringLiteral("Port.%1").arg(index + 1, 2, 10, QLatin1Char('0')); }

QString TrunkCaption(int index) { return QStringLiteral("Trunk.%1").arg(index + 1, 2, 10, QLatin1Char('0')); }

QString PortName(const Intp::TPropertyPortName& names, unsigned port)
{
    const bool named = port < names.Names.size() && !names.Names[port].empty();
    return named ? RecordText(names.Names[port]) : PortCaption(int(port));
}

QString MemberPortsText(uint32_t members)
{
    QStringList ports;
    for (int bit = 0; bit < 32; ++bit)
        if (members & (uint32_t(1) << bit))
            ports << QString::number(bit + 1);
    return ports.join(QStringLiteral(", "));
}
