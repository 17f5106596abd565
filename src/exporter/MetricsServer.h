// The exporter's web server: prometheus-cpp's pull exposer (civetweb) serving the published
// fleet picture at /metrics through prometheus-cpp's text serializer, and a small page at
// / that names it. One server a process.
#pragma once

#include "FleetMetrics.h"

#include <memory>
#include <string>

struct CivetCallbacks;

namespace prometheus {
class Exposer;
}

namespace Exporter {

// "HOST:PORT" with an IPv4 address or a bracketed IPv6 one and a port from 1 to 65535, as
// civetweb's listening port; false for anything else (a name, a missing port).
bool IsListenAddress(const std::string& text);

class TMetricsServer {
public:
    TMetricsServer();
    ~TMetricsServer();
    // Listens at the address and serves the collectable's latest picture; false, with the
    // reason, when the address cannot be bound.
    bool Listen(const std::string& address, const std::shared_ptr<TSnapshotCollectable>& metrics, std::string& error);
    // The port listened on (the one given, or the one the system chose for port 0).
    int Port() const;

    static constexpr const char* MetricsPath = "/metrics";

private:
    std::unique_ptr<CivetCallbacks> m_Callbacks;
    std::unique_ptr<prometheus::Exposer> m_Exposer;
};

} // namespace Exporter
