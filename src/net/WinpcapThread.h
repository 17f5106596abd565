// The layer-2 scan's worker: StartScan opens the chosen interface and sends the scan
// frame; the thread then reads the answers and hands each to the user-interface thread,
// one at a time, until StopScan closes the capture. Idle without a capture.
#pragma once

#include "core/L2Scan.h"

#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

class TWinpcapThread : public QThread {
    Q_OBJECT
public:
    enum TResult {
        srOk,
        srNoInterface,
        srNoMac,
        srNoAddress,
        srOpenFailed,
        srSendFailed,
        srNoPermission, // the capture needs CAP_NET_RAW
    };

    explicit TWinpcapThread(QObject* parent = nullptr);
    ~TWinpcapThread() override;

    // Closes a capture still open, opens the interface and sends the frame once.
    TResult StartScan(const Scan::TInterface* interface, bool promiscuous);
    // Closes the capture: the worker goes idle. Never waits for a read.
    void StopScan();
    // The library's words for the last open or send failure.
    const std::string& LastError() const { return m_Error; }
    bool IsCapturing();

signals:
    // On the user-interface thread; the worker waits until the receivers have returned.
    void ReplyReceived(const TMacAddr& mac, uint32_t address);

protected:
    void run() override;

private:
    // Hands one answer over and waits until it was taken (or the thread is to end).
    void HandOver(const Scan::TReply& reply);

    std::mutex m_Lock; // guards the capture, the adapter MAC and the generation
    std::condition_variable m_Wake;
    Scan::TCapture m_Capture;
    TMacAddr m_Adapter;
    uint64_t m_Generation = 0; // counts opened captures
    std::atomic<bool> m_Ending{false};
    QSemaphore m_Taken;
    std::string m_Error;
};
