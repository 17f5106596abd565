// A fake session manager for page tests: results reach the main window's shown module
// before their receiver, as the program's session manager hands them on.
#pragma once

#include "FakeSessionCallback.h"

#include "app/MainForm.h"
#include "modules/ModuleFrame.h"

#include <QList>
#include <QPair>

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

// The command codes and destinations of sent datagrams.
using TSentList = QList<QPair<uint16_t, uint32_t>>;

// Drives pages through a main window: selects devices in its tree, answers requests and
// collects what was sent.
class TPageDriver {
public:
    TMainForm* m_Form = nullptr;
    TFormSessions* m_Fake = nullptr;

    TModuleFrame* Frame() const { return m_Form->DevicesModule(); }
    void Select(std::initializer_list<TDevice*> devices)
    {
        m_Form->SelectDevices(devices);
    }
    bool Shown(QWidget* page) const { return page->isVisibleTo(Frame()); }
    void Reply(TDevice* d, uint16_t command, uint16_t status, const std::vector<uint8_t>& payload = {0, 0, 0, 0})
    {
        Deliver(d->Address(), MakeDatagram(command, status, d->Mac(), payload));
    }
    // What was sent since the last call.
    TSentList TakeSent()
    {
        TSentList out;
        for (const auto& d : m_Fake->Sent)
            out << qMakePair(Intp::ReadU16(d.Bytes.data()), d.Address);
        m_Fake->Sent.clear();
        return out;
    }
    static QPair<uint16_t, uint32_t> To(uint16_t command, TDevice* d) { return qMakePair(command, d->Address()); }
};
