// The console's main window.
#pragma once

#include <QMainWindow>

namespace Intp {
class TIntpSocket;
class TIntpSocketThread;
}
class TSessionManager;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TSessionManager* SessionManager() const { return m_SessionManager; }
    Intp::TIntpSocket* IntpSocket() const { return m_IntpSock; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShutdownWorkers();

    Intp::TIntpSocketThread* m_IntpThread = nullptr;
    Intp::TIntpSocket* m_IntpSock = nullptr;
    TSessionManager* m_SessionManager = nullptr;
};
