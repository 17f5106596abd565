// Traffic prioritization of a switch and its fault option.
#pragma once

#include <QList>
#include <QSet>

#include <array>
#include <cstdint>

namespace Sim {

// Traffic prioritization: scheme, priority type, queues 0..3 of each port, of the 802.1p
// priorities and of the DSCP values, and each port's default 802.1p priority.
struct TQos {
    uint8_t scheme = 0;
    uint8_t type = 0;
    QList<uint8_t> portQueues;
    std::array<uint8_t, 8> cosQueues{0, 0, 1, 1, 2, 2, 3, 3};
    QList<uint8_t> portPriorities;
    std::array<uint8_t, 64> dscpQueues{};
};

// The QoS fault: a default 802.1p priority of 8 on port 1 (1284).
struct TQosOptions {
    QSet<int> badCosPriority;
};

} // namespace Sim
