#include "StatusMonitor.h"

#include "AddressText.h"
#include "core/Device.h"
#include "core/IntpCore.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

namespace Status {


TStatusMonitor::TStatusMonitor(QObject* parent) : QObject(parent)
{
    m_Timer.setInterval(m_Period * 1000);
    connect(&m_Timer, &QTimer::timeout, this, &TStatusMonitor::PollAll);
    m_Timer.start();
}

QString TStatusMonitor::StatusText(uint32_t flags, uint32_t powerAlarms, uint32_t portAlarms)
{
    if (flags & sfOffline)
        return QStringLiteral("Offline");
    QString text = QStringLiteral("Online");
    if (flags & sfQueryFailed) {
        text += QStringLiteral("/query fail");
    } else {
        if (powerAlarms & 1)
            text += QStringLiteral("/power1 fail");
        if (powerAlarms & 2)
            text += QStringLiteral("/power2 fail");
        if (portAlarms) {
            QStringList ports;
            for (int i = 0; i < 32; ++i)
                if (portAlarms & (1u << i))
                    ports << QString::number(i + 1);
            text += QStringLiteral("/port ") + ports.join(',') + QStringLiteral(" fail");
        }
    }
    if (flags & sfAddressChanged)
        text += QStringLiteral("/IP different");
    return text;
}

QString TStatusMonitor::TimeText(const TRow& row)
{
    if (!row.Reported)
        return QStringLiteral("(No response yet)");
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(row.Reported);
    QLocale locale;
    return locale.toString(time.date(), QLocale::ShortFormat) + ' ' + locale.toString(time.time(), QLocale::LongFormat);
}

void TStatusMonitor::AddDevices(const std::vector<TDevice*>& devices)
{
    for (TDevice* device : devices)
        AddDevice(device);
}

void TStatusMonitor::AddDevice(TDevice* device)
{
    if (!device || m_Index.contains(device->Mac()))
        return;
    TRow row;
    row.Number = Count() + 1;
    row.Reference = device->Address();
    row.Mac = device->Mac();
    row.Model = QString::fromStdString(device->TypeDescription());
    row.Ip = AddressText(row.Reference);
    row.Status = StatusText(0, 0, 0);
    const int index = Count();
    m_Rows.push_back(std::move(row));
    m_Index.insert(m_Rows.back().Mac, index);
    emit RowAdded(index);
    Poll(index);
}

uint32_t TStatusMonitor::GetStatusFlags(TDevice* device) const
{
    if (!device)
        return 0;
    auto it = m_Index.constFind(device->Mac());
    return it == m_Index.cend() ? 0 : Row(*it).Flags;
}

void TStatusMonitor::Poll(int index)
{
    TRow& row = m_Rows[std::size_t(index)];
    TDevice* device = Registry::Find(row.Mac, false);
    if (!device) {
        // Gone after a new discovery: ask at the address the row knows.
        device = Registry::Find(row.Mac, true);
        if (device)
            device->SetAddress(row.Reference);
    }
    if (!device) {
        row.Flags |= sfOffline;
    } else if (row.Polling == device->Serial()) {
        // The last poll still waits (for its answer, or for room in the send window behind
        // switches that do not answer): another one would only queue behind it.
        return;
    } else if (Intp::StartNew<Intp::TSessionIntpPing2>(device, this, unsigned(m_Timeout) * 1000)) {
        row.Polling = device->Serial();
    } else {
        row.Flags |= sfQueryFailed;
    }
    Show(index, 0);
}

void TStatusMonitor::PollAll()
{
    m_Timer.stop();
    for (int i = 0; i < Count(); ++i)
        Poll(i);
    m_Timer.setInterval(m_Period * 1000);
    m_Timer.start();
}

void TStatusMonitor::OnResult(TDevice* device, uint16_t, uint16_t status, const Intp::TResultData&)
{
    if (!device)
        return;
    auto it = m_Index.constFind(device->Mac());
    if (it == m_Index.cend())
        return;
    const int index = *it;
    TRow& row = m_Rows[std::size_t(index)];
    row.Polling = 0;
    if (status == Intp::stTimeout) {
        // The other flags, the address and the time stay as the last answer left them.
        row.Flags |= sfOffline;
        Show(index, 0);
        return;
    }
    row.Flags &= ~sfOffline;
    uint32_t power = 0, ports = 0;
    if (status != Intp::stSuccess) {
        row.Flags |= sfQueryFailed;
    } else {
        row.Flags &= ~sfQueryFailed;
        const auto& record = Intp::GetProperty<Intp::TPropertyIntpPing2>(*device);
        power = record.PowerAlarms;
        ports = record.PortAlarms;
        if (power || ports)
            row.Flags |= sfAlarm;
        else
            row.Flags &= ~sfAlarm;
    }
    if (device->Address() == row.Reference) {
        row.Flags &= ~sfAddressChanged;
        row.Ip = AddressText(row.Reference);
    } else {
        row.Flags |= sfAddressChanged;
        row.Ip = QStringLiteral("Original: %1, Now: %2").arg(AddressText(row.Reference), AddressText(device->Address()));
    }
    row.Reported = QDateTime::currentMSecsSinceEpoch();
    Show(index, keyReported, power, ports);
}

void TStatusMonitor::ClearErrors(const std::vector<int>& rows)
{
    for (int index : rows) {
        TRow& row = m_Rows[std::size_t(index)];
        row.Flags = 0;
        uint32_t keys = 0;
        if (TDevice* device = Registry::Find(row.Mac, false); device && device->Address() != row.Reference) {
            row.Reference = device->Address();
            keys = keyReference;
        }
        Show(index, keys);
    }
}

bool TStatusMonitor::AnyRowInTrouble() const
{
    return std::any_of(m_Rows.begin(), m_Rows.end(),
                       [](const TRow& row) { return row.Flags & (sfOffline | sfQueryFailed | sfAlarm); });
}

void TStatusMonitor::SetPeriod(int seconds)
{
    m_Period = std::clamp(seconds, MinPeriod, MaxPeriod);
    m_Timeout = std::min(m_Timeout, MaxTimeout());
}

void TStatusMonitor::SetTimeout(int seconds)
{
    m_Timeout = std::clamp(seconds, MinTimeout, MaxTimeout());
}

void TStatusMonitor::Show(int index, uint32_t keys, uint32_t powerAlarms, uint32_t portAlarms)
{
    TRow& row = m_Rows[std::size_t(index)];
    row.PowerAlarms = powerAlarms;
    row.PortAlarms = portAlarms;
    QString text = StatusText(row.Flags, powerAlarms, portAlarms);
    if (text != row.Status) {
        row.Status = std::move(text);
        keys |= keyStatus;
    }
    emit RowChanged(index, keys);
}

} // namespace Status
