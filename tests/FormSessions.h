// A fake session manager for page tests: results reach the main window's shown module
// before their receiver, as the program's session manager hands them on.
#pragma once

#include "FakeSessionCallback.h"

#include "app/MainForm.h"

class TFormSessions : public TFakeSessionCallback {
public:
    TMainForm* Form = nullptr;
    void Result(TDevice* device, uint16_t code, uint16_t status, void* data, Intp::TWizard* receiver,
                const char* name) override
    {
        if (Form && Form->ShownModule())
            Form->ShownModule()->Notify(device, code, status);
        TFakeSessionCallback::Result(device, code, status, data, receiver, name);
    }
};
