// The status monitor's rows and polling, without widgets: polls every discovered switch
// and keeps whether it answers, whether it reports power or port failures and whether its
// address changed.
#pragma once

#include "core/Services.h"
#include "core/MacAddr.h"
#include "core/Session.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

namespace Status {

class TStatusMonitor : public QObject, public Intp::TWizard, public TStatusServer {
    Q_OBJECT
public:
    // One monitored switch.
    struct TRow {
        int Number = 0;          // running number, from 1, never reused
        uint32_t Reference = 0;  // the address when the row was made or its errors cleared
        TMacAddr Mac;
        QString Model;
        uint32_t Flags = 0;       // sfOffline, sfQueryFailed, sfAddressChanged, sfAlarm
        uint32_t PowerAlarms = 0; // the values the status text shows: a successful answer's,
        uint32_t PortAlarms = 0;  // until the next poll
        qint64 Reported = 0;      // ms since the epoch of the last answered poll; 0: none yet
        uint64_t Polling = 0;     // serial of the device whose poll has not ended yet; 0: none
        QString Ip;               // the "IP" text
        // The "Status" text, kept with the values it is made from so that sorting by it
        // compares stored strings.
        QString Status;
    };

    // Which sort keys a change touched.
    enum TKey : uint32_t { keyReference = 1, keyReported = 2, keyStatus = 4 };

    static constexpr int MinPeriod = 5;
    static constexpr int MaxPeriod = 86400;
    static constexpr int MinTimeout = 1;

    explicit TStatusMonitor(QObject* parent = nullptr);

    // "Online/power1 fail/port 2,5 fail/IP different" and the like.
    static QString StatusText(uint32_t flags, uint32_t powerAlarms, uint32_t portAlarms);
    // "(No response yet)", or the date and time of the last answered poll.
    static QString TimeText(const TRow& row);

    int Count() const { return int(m_Rows.size()); }
    const TRow& Row(int index) const { return m_Rows[std::size_t(index)]; }

    void AddDevices(const std::vector<TDevice*>& devices) override;
    void AddDevice(TDevice* device) override;
    uint32_t GetStatusFlags(TDevice* device) const override;
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

    // Polls every row and rearms the poll timer with the period.
    void PollAll();
    // Clears the flags of these rows; their reference becomes the device's address.
    void ClearErrors(const std::vector<int>& rows);
    // Whether a row is offline, failed its query or reports an alarm (a changed address
    // alone is no trouble).
    bool AnyRowInTrouble() const;

    int Period() const { return m_Period; }
    int Timeout() const { return m_Timeout; }
    // The time-out stays below the period.
    int MaxTimeout() const { return m_Period - 1; }
    // Both in seconds, kept within their limits; a shorter period lowers the time-out.
    void SetPeriod(int seconds);
    void SetTimeout(int seconds);
    QTimer* PollTimer() { return &m_Timer; }

signals:
    void RowAdded(int row);
    // keys: the TKey bits whose values changed.
    void RowChanged(int row, uint32_t keys);

private:
    void Poll(int index);
    // Sets the alarm values and the status text and tells of the change.
    void Show(int index, uint32_t keys, uint32_t powerAlarms = 0, uint32_t portAlarms = 0);

    std::vector<TRow> m_Rows;
    QHash<TMacAddr, int> m_Index;
    int m_Period = 10;
    int m_Timeout = 5;
    QTimer m_Timer;
};

} // namespace Status
