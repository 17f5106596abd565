// A fake session manager for page tests: results reach the main window's shown module
// before their receiver, as the program's session manager hands them on.
#pragma once

#include "FakeSessionCallback.h"

#include "core/Device.h"
#include "core/DeviceType.h"
#include "net/EngineHost.h"
#include "net/StatusMonitor.h"
#include "net/SyslogService.h"
#include "shell/DeviceNavigator.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"

#include <QList>
#include <QPair>

class TFormSessions : public TFakeSessionCallback {
public:
    TMainForm* Form = nullptr;
    void Result(TDevice* device, uint16_t code, uint16_t status, const Intp::TResultData& data, Intp::TWizard* receiver,
                const char* name) override
    {
        if (Form && Form->Navigator().ShownModule())
            Form->Navigator().ShownModule()->Notify(device, code, status);
        TFakeSessionCallback::Result(device, code, status, data, receiver, name);
    }
};

inline std::vector<uint8_t> PayloadOf(const TSentDatagram& d)
{
    return {d.Bytes.begin() + Intp::HeaderSize, d.Bytes.end()};
}

// A page's control by its objectName; a missing control ends the test run.
template <typename T>
T* Child(QWidget* page, const QString& name)
{
    T* child = page ? page->findChild<T*>(name) : nullptr;
    if (!child)
        qFatal("no control %s", qPrintable(name));
    return child;
}

// The command codes and destinations of sent datagrams.
using TSentList = QList<QPair<uint16_t, uint32_t>>;

// Drives pages through a main window: selects devices in its tree, answers requests and
// collects what was sent.
class TPageDriver {
public:
    static constexpr uint16_t BannerGet = 0x0307;
    TMainForm* m_Form = nullptr;
    TFormSessions* m_Fake = nullptr;

    // A fresh main window and session manager for every test, around an empty registry.
    void OpenWindow()
    {
        Registry::Clear();
        m_Form = new TMainForm;
        m_Fake = new TFormSessions;
        m_Fake->Form = m_Form;
    }
    void CloseWindow()
    {
        delete m_Fake;
        delete m_Form;
        Registry::Clear();
    }
    // A logged-in switch of the model (the first known model by default) at 192.0.2.mac;
    // having answered its login, it answers.
    static TDevice* AddLoggedIn(uint8_t mac, int type = Intp::RegisterKnownModels()[0])
    {
        TDevice* d = Registry::Find(Mac(mac), true);
        d->SetType(type);
        d->SetAddress(0xC0000200u + mac);
        d->SetAnswers(true);
        d->SetLoggedIn(true);
        return d;
    }

    TModuleFrame* Frame() const { return m_Form->DevicesModule(); }
    void Select(std::initializer_list<TDevice*> devices) { m_Form->Navigator().SelectDevices(devices); }
    bool Shown(QWidget* page) const { return page->isVisibleTo(Frame()); }
    void Reply(TDevice* d, uint16_t command, uint16_t status, const std::vector<uint8_t>& payload = {0, 0, 0, 0})
    {
        Deliver(d->Address(), MakeDatagram(command, status, d->Mac(), payload));
    }
    // What was sent since the last call, without the front-panel banner's RedundancyGet,
    // which every selection of a KX40 switch sends besides the page's own requests.
    TSentList TakeSent()
    {
        TSentList out;
        for (const auto& d : m_Fake->Sent)
            if (Intp::ReadU16(d.Bytes.data()) != BannerGet)
                out << qMakePair(Intp::ReadU16(d.Bytes.data()), d.Address);
        m_Fake->Sent.clear();
        return out;
    }
    static QPair<uint16_t, uint32_t> To(uint16_t command, TDevice* d) { return qMakePair(command, d->Address()); }
};
