// The captions of ports, trunks and member lists. The texts of record values are the
// records' own (ValueText over a core table of names).
#pragma once

#include "net/ValueTexts.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace Intp {
struct TPropertyPortName;
}

// "Port.01" and "Trunk.01" for the 0-based index.
QString PortCaption(int index);
QString TrunkCaption(int index);
// The name the switch gives the port (or trunk group) of the 0-based index; its caption
// "Port.NN" where the names record has no name for it.
QString PortName(const Intp::TPropertyPortName& names, unsigned port);
// The 1-based numbers of the member ports in ascending order ("1, 3"; empty without members).
QString MemberPortsText(uint32_t members);
