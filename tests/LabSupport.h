// Helpers for tests that run inside the lab network (scripts/lab): the lab's layout from
// its environment, and simulators started in its namespaces.
#pragma once

#include "core/AddressRules.h"
#include "core/Device.h"
#include "core/DeviceType.h"
#include "net/EngineHost.h"
#include "net/StatusMonitor.h"
#include "net/SyslogService.h"
#include "shell/DeviceNavigator.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"

#include <QAction>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <vector>

inline bool InLab() { return !qEnvironmentVariableIsEmpty("ZODE_LAB_WS"); }

inline uint32_t Addr(const char* text) { return TextToAddress(text); }

// A simulator started by the test in one of the lab's switch namespaces; ended with it.
class TLabSim {
public:
    TLabSim(const QString& namespaceVariable, const QStringList& args)
    {
        m_Process.setProcessChannelMode(QProcess::MergedChannels);
        m_Process.start("ip",
                        QStringList{"netns", "exec", qEnvironmentVariable(namespaceVariable.toLatin1()),
                                    qEnvironmentVariable("ZODE_SIM")} +
                            args);
    }
    ~TLabSim()
    {
        m_Process.terminate();
        if (!m_Process.waitForFinished(3000))
            m_Process.kill();
        m_Process.waitForFinished(3000);
    }
    // Waits until the simulator says it listens.
    bool WaitReady()
    {
        QByteArray out;
        for (int i = 0; i < 100 && !out.contains("listening"); ++i) {
            m_Process.waitForReadyRead(100);
            out += m_Process.readAll();
        }
        return out.contains("listening");
    }

private:
    QProcess m_Process;
};

// The whole main window, shown offscreen, logging in with the administrator every switch
// of the simulator has (admin/admin).
inline std::unique_ptr<TMainForm> MakeLabWindow()
{
    Intp::RegisterKnownModels();
    auto form = std::make_unique<TMainForm>();
    form->show();
    form->Navigator().SetCredentialsSource([](std::string& user, std::string& password) {
        user = "admin";
        password = "admin";
        return true;
    });
    return form;
}

// The main window logged in to the first switch of each lab subnet, and its pages.
class TLabPageDriver {
protected:
    std::unique_ptr<TMainForm> m_Form;
    TDevice* m_A = nullptr; // on subnet A
    TDevice* m_B = nullptr; // on subnet B

    // Discovers both switches and logs in to them; they end selected.
    void OpenLabWindow()
    {
        m_Form = MakeLabWindow();
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(
            (m_A = Registry::FindByAddress(Addr("192.0.2.10"))) &&
                (m_B = Registry::FindByAddress(Addr("198.51.100.10"))) && m_Form->Navigator().IndexOf(m_A).isValid() &&
                m_Form->Navigator().IndexOf(m_B).isValid() && m_A->PortCount() > 0 && m_B->PortCount() > 0,
            5000);
        m_Form->Navigator().SelectDevices({m_A, m_B});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(m_A->IsLoggedIn() && m_B->IsLoggedIn());
    }
    void CloseLabWindow()
    {
        m_Form.reset();
        Registry::Clear();
    }

    TModuleFrame* Frame() const { return m_Form->DevicesModule(); }
    QWidget* OpenPage(const char* path)
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode(path));
        return Frame()->SelectedPage()->GetControl();
    }
    bool Shown(QWidget* page) const { return page->isVisibleTo(Frame()); }
    template <typename T>
    static T* Child(QWidget* page, const char* name)
    {
        return page->findChild<T*>(name);
    }
    // Selects the devices with the page shown; the page shows again once the first
    // device's fresh answer arrived, as the cached record is forgotten first.
    template <typename R>
    void Reselect(std::initializer_list<TDevice*> devices, QWidget* page)
    {
        for (TDevice* d : devices)
            Intp::GetProperty<R>(*d) = R{};
        m_Form->Navigator().SelectDevices(devices);
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page) && Intp::GetProperty<R>(**devices.begin()).Valid, 5000);
    }
};

#define REQUIRE_LAB()                                                      \
    do {                                                                   \
        if (!InLab())                                                      \
            QSKIP("runs inside the lab network (scripts/lab run -- ...)"); \
    } while (0)
