#include "FindHook.h"

#include "core/Basics.h"
#include "core/IntpCore.h"

void TFindHook::OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData&)
{
    if (!device || status != Intp::stSuccess)
        return;
    switch (command) {
    case 0:
        if (Filter::TFilterServer* filter = m_Filter ? m_Filter() : nullptr)
            if (device->Type() == 0 || !filter->IsAccepted(device->Address()))
                return;
        if (Status::TStatusServer* monitor = m_Status ? m_Status() : nullptr)
            monitor->AddDevice(device);
        Intp::StartNew<Intp::TSessionBasicsSettingsGet>(device, this);
        break;
    case 260:
        Intp::StartNew<Intp::TSessionBasicsIPConfGet>(device, this);
        break;
    case 262:
        Intp::StartNew<Intp::TSessionIntpSipGet>(device, this);
        break;
    default:
        break;
    }
}
