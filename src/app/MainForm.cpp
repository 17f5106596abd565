#include "MainForm.h"

#include "SessionManager.h"
#include "intp/Dispatch.h"
#include "intp/IntpSocketThread.h"

#include <QCloseEvent>
#include <QMessageBox>

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Veltrane Zode"));
    m_IntpThread = new Intp::TIntpSocketThread(&Intp::Dispatch, this);
    m_IntpSock = new Intp::TIntpSocket(m_IntpThread, this);
    m_SessionManager = new TSessionManager(m_IntpSock, this);
    connect(m_SessionManager, &TSessionManager::SendFailed, this,
            [this] { QMessageBox::warning(this, windowTitle(), QStringLiteral("Test")); });
    Intp::SetSessionCallback(m_SessionManager);
}

TMainForm::~TMainForm()
{
    ShutdownWorkers();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    ShutdownWorkers();
    event->accept();
}

void TMainForm::ShutdownWorkers()
{
    if (m_IntpThread)
        m_IntpThread->Shutdown();
    Intp::DestroyPendingSessions();
    if (Intp::SessionCallback() == m_SessionManager)
        Intp::SetSessionCallback(nullptr);
}
