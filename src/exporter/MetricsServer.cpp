#include "MetricsServer.h"

#include <CivetServer.h>
#include <civetweb.h>
#include <prometheus/exposer.h>

#include <QHostAddress>
#include <QString>

#include <cstring>

namespace Exporter {

namespace {

const char Page[] = "<!DOCTYPE html>\n"
                    "<html><head><meta charset=\"utf-8\"><title>Veltrane Zode exporter</title></head>\n"
                    "<body><h1>Veltrane Zode exporter</h1>\n"
                    "<p>The fleet's switches, their alarms and port counters: <a href=\"/metrics\">/metrics</a></p>\n"
                    "</body></html>\n";

// civetweb asks here first; every path but / goes on to the exposer's handlers.
int BeginRequest(mg_connection* connection)
{
    const mg_request_info* request = mg_get_request_info(connection);
    if (!request || !request->local_uri || std::strcmp(request->local_uri, "/") != 0)
        return 0;
    mg_send_http_ok(connection, "text/html; charset=utf-8", static_cast<long long>(sizeof Page - 1));
    mg_write(connection, Page, sizeof Page - 1);
    return 200;
}

} // namespace

bool IsListenAddress(const std::string& text)
{
    const QString t = QString::fromStdString(text);
    const qsizetype colon = t.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = t.left(colon);
    bool ok = false;
    const uint port = t.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535 || t.mid(colon + 1).startsWith(QLatin1Char('+')))
        return false;
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    QHostAddress address;
    if (!address.setAddress(host))
        return false;
    return bracketed ? address.protocol() == QAbstractSocket::IPv6Protocol
                     : address.protocol() == QAbstractSocket::IPv4Protocol;
}

TMetricsServer::TMetricsServer() : m_Callbacks(std::make_unique<CivetCallbacks>())
{
    m_Callbacks->begin_request = &BeginRequest;
}

TMetricsServer::~TMetricsServer() = default;

bool TMetricsServer::Listen(const std::string& address, const std::shared_ptr<TSnapshotCollectable>& metrics,
                            std::string& error)
{
    if (!IsListenAddress(address)) {
        error = "not an address and port such as 127.0.0.1:9683: " + address;
        return false;
    }
    try {
        m_Exposer = std::make_unique<prometheus::Exposer>(address, 2, m_Callbacks.get());
    } catch (const std::exception& e) {
        error = "cannot listen at " + address + ": " + e.what();
        return false;
    }
    m_Exposer->RegisterCollectable(metrics, MetricsPath);
    return true;
}

int TMetricsServer::Port() const
{
    const std::vector<int> ports = m_Exposer ? m_Exposer->GetListeningPorts() : std::vector<int>{};
    return ports.empty() ? 0 : ports.front();
}

} // namespace Exporter
