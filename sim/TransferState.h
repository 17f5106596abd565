// Files moved to and from a switch, and the transfer options.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace Sim {

// Files moved to and from the switch, and the built-in transfer going on.
struct TTransfers {
    QByteArray firmware;      // the last image received in full
    QByteArray configuration; // the last configuration received in full; backups serve it
    uint16_t command = 0;     // of the built-in transfer going on
    uint32_t length = 0;      // its file's length; 0 when none goes on
    QByteArray incoming;
    int finishedBlock = -1;  // last block of the transfer just finished, while no other began
    bool busyServed = false; // the --busy period of this transfer is over
    int64_t busyUntilMs = 0;
};

struct TTransferOptions {
    // A built-in transfer is first answered "writing flash" for this long, then asked to
    // send its first block again.
    int busyMs = 0;
    // Where files received by transfers are written, named by the switch's MAC; empty: kept
    // in memory only.
    QString storeDir;
};

} // namespace Sim
