// Answers layer-2 scan frames (Ethernet type 0xDEAD) for every switch of the fleet, from
// the switch's own MAC, on the interface the frame came in on.
#pragma once

#include "Options.h"
#include "Switch.h"

#include <QObject>
#include <QString>

#include <vector>

class QSocketNotifier;

namespace Sim {

class TScanResponder : public QObject {
    Q_OBJECT

public:
    TScanResponder(const TOptions& options, const std::vector<TSwitch>& switches, QObject* parent = nullptr);
    ~TScanResponder() override;

    // Opens the raw socket; false with a message when it cannot.
    bool Open(QString& error);

    // The answer of one switch to a scan frame from requester (its source MAC).
    static QByteArray Answer(const TSwitch& sw, const TMac& requester);

private:
    void OnReadable();

    const TOptions& m_Options;
    const std::vector<TSwitch>& m_Switches;
    int m_Socket = -1;
    QSocketNotifier* m_Notifier = nullptr;
};

} // namespace Sim
