// What every node of the main tree and of the function tree is: a module with a caption,
// an optional control, notifications, and hide/refresh requests. Each module is handed the
// context it works in (the selection, the operator's credentials, the engine's services)
// when it is built; nothing reaches the window through process-wide hooks.
#pragma once

#include "net/ValueTexts.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QWidget;
class TDevice;

namespace Filter {
class TFilterServer;
}
namespace Status {
class TStatusServer;
}
namespace Syslog {
class TSyslogServer;
}

// Notification codes; any other code is the command code of a finished session.
enum : uint16_t {
    ncNone = 0xFF00,
    ncSelect = 0xFF01,
    ncDeviceAdded = 0xFF02,
    ncDeviceRemoved = 0xFF03,
    ncDeviceType = 0xFF04,
    ncDeviceName = 0xFF05,
    ncDeviceAddress = 0xFF06,
    ncDeviceState = 0xFF07,
};

// What a module may ask of the window it lives in.
class TPageContext {
public:
    virtual ~TPageContext() = default;
    // The number of selected device nodes; device is the first of them.
    virtual int GetSelectedDevice(TDevice*& device) = 0;
    virtual int GetSelectedDevices(std::vector<TDevice*>& devices) = 0;
    virtual int GetAllDevices(std::vector<TDevice*>& devices) = 0;
    virtual bool AskCredentials(std::string& user, std::string& password) = 0;
    virtual bool IsSelectedDevice(TDevice* device) = 0;
    virtual bool IsAmongSelected(TDevice* device) = 0;
    virtual bool SelectPath(const QString& path) = 0;
    virtual Filter::TFilterServer* GetFilterServer() = 0;
    virtual Status::TStatusServer* GetStatusServer() = 0;
    virtual Syslog::TSyslogServer* GetSyslogServer() = 0;

    // The selected devices, in selection order.
    std::vector<TDevice*> SelectedDevices()
    {
        std::vector<TDevice*> devices;
        GetSelectedDevices(devices);
        return devices;
    }
};

class TModule {
public:
    virtual ~TModule() = default;
    virtual QString GetName() const = 0;
    // The page itself, or null for a folder node.
    virtual QWidget* GetControl() = 0;
    virtual void Notify(TDevice* device, uint16_t code, uint16_t status) = 0;
    // False when the module is busy and force is false.
    virtual bool Hide(bool force) = 0;
    // The number of sessions started; 0 when results arrive through OnResult.
    virtual int Refresh(bool current) = 0;

    // Set once by whoever builds the module, before it is shown; null outside a window.
    void SetContext(TPageContext* context) { m_Context = context; }
    TPageContext* Context() const { return m_Context; }

private:
    TPageContext* m_Context = nullptr;
};


// A folder node.
class TModuleDummy : public TModule {
public:
    explicit TModuleDummy(QString caption) : m_Caption(std::move(caption)) {}
    QString GetName() const override { return m_Caption; }
    QWidget* GetControl() override { return nullptr; }
    void Notify(TDevice*, uint16_t, uint16_t) override {}
    bool Hide(bool) override { return true; }
    int Refresh(bool) override { return 0; }

private:
    QString m_Caption;
};
