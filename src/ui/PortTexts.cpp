#include "PortTexts.h"

#include "net/RecordText.h"
#include "core/Port.h"

#include <span>

namespace {

// A kind's value v is the text at the kind's first index + v.
const char* const IndexTable[] = {
    "N/A", "1000TX", "1000SX", "1000LX", "100TX", "100SX", "100LX", "mGBIC", "GBIC", "1GTX/mGBIC", // port types
    "Down", "Up",                                                                                  // link
    "Disable", "Enable",                                                                           // state
    "Auto Negotiation", "1G Full", "1G Half", "100 Full", "100 Half", "10 Full", "10 Half",       // speed/duplex
    "Disable", "Symmetric", "Asymmetric",                                                          // flow control
    "Disable", "Enable",                                                                           // security
};
const char* const FrameTypes[] = {"All", "Broadcast/Multicast/Flooded Unicast", "Broadcast/Multicast", "Broadcast Only"};
const char* const TrunkTypes[] = {"Static", "802.3ad LACP"};
const char* const LinkTypes[] = {"Access", "802.1Q", "Hybrid"};
const char* const Truths[] = {"False", "True"};
const char* const PointToPoint[] = {"False", "True", "Auto"};
const char* const RstpStates[] = {"Disabled", "Discarding", "Learning", "Forwarding", "Non Stp"};
const char* const Queues[] = {"Lowest", "Low", "Middle", "High"};
const char* const CosPriorities[] = {"Priority.00", "Priority.01", "Priority.02", "Priority.03",
                                     "Priority.04", "Priority.05", "Priority.06", "Priority.07"};
const char* const QosTypes[] = {"Disable", "Port Based", "COS Only", "TOS Only", "COS First", "TOS First"};
const char* const Privileges[] = {"Read Only", "Read And Write"};
const char* const PasswordSet[] = {"Disabled", "Enabled"};
const char* const TrapVersions[] = {"V1", "V2c"};
const char* const RstpRoles[] = {"Disabled", "Root", "Designated", "Alternated", "Backup", "Non Stp", "Unknown"};
const char* const AuthModes[] = {"Reject", "Accept", "Authorize", "Disable"};

std::span<const char* const> TextsOf(TPortValue kind)
{
    const std::span<const char* const> table(IndexTable);
    switch (kind) {
    case TPortValue::PortType: return table.subspan(0, 10);
    case TPortValue::Link: return table.subspan(10, 2);
    case TPortValue::State: return table.subspan(12, 2);
    case TPortValue::Duplex: return table.subspan(14, 7);
    case TPortValue::Flow: return table.subspan(21, 3);
    case TPortValue::Security: return table.subspan(24, 2);
    case TPortValue::FrameType: return FrameTypes;
    case TPortValue::TrunkType: return TrunkTypes;
    case TPortValue::LinkType: return LinkTypes;
    case TPortValue::Truth: return Truths;
    case TPortValue::PointToPoint: return PointToPoint;
    case TPortValue::RstpState: return RstpStates;
    case TPortValue::RstpRole: return RstpRoles;
    case TPortValue::Queue: return Queues;
    case TPortValue::CosPriority: return CosPriorities;
    case TPortValue::QosType: return QosTypes;
    case TPortValue::AuthMode: return AuthModes;
    case TPortValue::Privilege: return Privileges;
    case TPortValue::PasswordSet: return PasswordSet;
    case TPortValue::TrapVersion: return TrapVersions;
    }
    return {};
}

} // namespace

QString PortValueText(TPortValue kind, unsigned value)
{
    const auto texts = TextsOf(kind);
    return value < texts.size() ? QString::fromLatin1(texts[value]) : QStringLiteral("Unknown (%1)").arg(value);
}

QStringList PortValueTexts(TPortValue kind)
{
    QStringList list;
    for (const char* text : TextsOf(kind))
        list << QString::fromLatin1(text);
    return list;
}

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
