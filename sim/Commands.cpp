#include "Commands.h"

namespace Sim {

const TCommandTable& Commands()
{
    static const TCommandTable table = [] {
        TCommandTable t;
        AddCoreCommands(t);
        AddBasicsCommands(t);
        AddPortCommands(t);
        AddVlanCommands(t);
        AddRedundancyCommands(t);
        AddQosCommands(t);
        AddSecurityCommands(t);
        AddSnmpCommands(t);
        AddMonitorCommands(t);
        AddWarningCommands(t);
        AddTransferCommands(t);
        return t;
    }();
    return table;
}

} // namespace Sim
