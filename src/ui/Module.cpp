#include "Module.h"

namespace {
TModuleCallback* g_ModuleCallback = nullptr;
}

void SetModuleCallback(TModuleCallback* callback) { g_ModuleCallback = callback; }
TModuleCallback* ModuleCallback() { return g_ModuleCallback; }

QString StatusText(uint16_t status)
{
    if (status == 0)
        return QStringLiteral("Done");
    if (status == 0xFF00)
        return QStringLiteral("Timeout");
    return QStringLiteral("Error: 0x%1").arg(status, 4, 16, QLatin1Char('0'));
}

QString VersionText(uint16_t version)
{
    return QStringLiteral("v%1.%2").arg(version >> 8).arg(version & 0xFF, 2, 10, QLatin1Char('0'));
}
