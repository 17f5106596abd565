// What the port, VLAN, redundancy and SNMP pages show for the values of their records: one table of
// texts for all pages, and the captions of ports, trunks and member lists.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace Intp {
struct TPropertyPortName;
}

enum class TPortValue {
    PortType, Link, State, Duplex, Flow, Security, FrameType, TrunkType,
    Truth, PointToPoint, RstpState, RstpRole, // of the redundancy pages
    LinkType,                                 // of the VLAN port list
    Queue, CosPriority, QosType,              // of the QoS pages
    AuthMode,                                 // of the 802.1X port page
    Privilege, PasswordSet, TrapVersion       // of the SNMP pages
};

// The text of a value of a kind; a value the kind has no text for (speed/duplex 7, RSTP state 9,
// which the switches report but the table does not name) shows as "Unknown (7)".
QString PortValueText(TPortValue kind, unsigned value);
// The kind's texts in value order: the items of its editor.
QStringList PortValueTexts(TPortValue kind);

// "Port.01" and "Trunk.01" for the 0-based index.
QString PortCaption(int index);
QString TrunkCaption(int index);
// The name the switch gives the port (or trunk group) of the 0-based index; its caption
// "Port.NN" where the names record has no name for it.
QString PortName(const Intp::TPropertyPortName& names, unsigned port);
// The 1-based numbers of the member ports in ascending order ("1, 3"; empty without members).
QString MemberPortsText(uint32_t members);
