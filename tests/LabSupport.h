// Helpers for tests that run inside the lab network (scripts/lab): the lab's layout from
// its environment, and simulators started in its namespaces.
#pragma once

#include "app/MainForm.h"
#include "devices/AddressRules.h"
#include "devices/DeviceType.h"

#include <QProcess>
#include <QString>
#include <QStringList>
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
        m_Process.start("ip", QStringList{"netns", "exec", qEnvironmentVariable(namespaceVariable.toLatin1()),
                                          qEnvironmentVariable("ZODE_SIM")} + args);
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
    form->SetCredentialsSource([](std::string& user, std::string& password) {
        user = "admin";
        password = "admin";
        return true;
    });
    return form;
}

#define REQUIRE_LAB()                                                                                   \
    do {                                                                                                \
        if (!InLab())                                                                                   \
            QSKIP("runs inside the lab network (scripts/lab run -- ...)");                              \
    } while (0)
