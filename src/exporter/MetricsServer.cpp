#include "MetricsServer.h"

#include <CivetServer.h>
#include <civetweb.h>
#include <prometheus/exposer.h>
#include <prometheus/text_serializer.h>
#include <zlib.h>

#include <QHostAddress>
#include <QString>

#include <cstring>
#include <malloc.h>
#include <mutex>
#include <ostream>
#include <vector>

namespace Exporter {

namespace {

const char Page[] = "<!DOCTYPE html>\n"
                    "<html><head><meta charset=\"utf-8\"><title>Veltrane Zode exporter</title></head>\n"
                    "<body><h1>Veltrane Zode exporter</h1>\n"
                    "<p>The fleet's switches, their alarms and port counters: <a href=\"/metrics\">/metrics</a></p>\n"
                    "</body></html>\n";

// The picture /metrics serves; one server a process.
std::mutex g_Lock;
std::shared_ptr<TSnapshotCollectable> g_Metrics;

// The response body in chunks of the HTTP/1.1 chunked encoding, through gzip when the
// client takes it (Prometheus does: ten times less to send).
class TChunkStream : public std::streambuf {
public:
    TChunkStream(mg_connection* connection, bool gzip) : m_Connection(connection), m_Gzip(gzip)
    {
        setp(m_In.data(), m_In.data() + m_In.size());
        if (m_Gzip)
            m_Gzip = deflateInit2(&m_Zip, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~TChunkStream() override
    {
        if (m_Gzip)
            deflateEnd(&m_Zip);
    }
    bool Gzip() const { return m_Gzip; }
    bool Failed() const { return m_Failed; }
    // Sends what is left and the last chunk.
    void Finish()
    {
        Flush(true);
        if (!m_Failed)
            mg_send_chunk(m_Connection, "", 0);
    }

protected:
    int_type overflow(int_type ch) override
    {
        Flush(false);
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override { return 0; }

private:
    void Send(const char* data, std::size_t size)
    {
        if (size && !m_Failed && mg_send_chunk(m_Connection, data, unsigned(size)) < 0)
            m_Failed = true; // the client went away; the rest is made and dropped
    }
    void Flush(bool last)
    {
        const std::size_t size = std::size_t(pptr() - pbase());
        setp(m_In.data(), m_In.data() + m_In.size());
        if (!m_Gzip) {
            Send(m_In.data(), size);
            return;
        }
        m_Zip.next_in = reinterpret_cast<Bytef*>(m_In.data());
        m_Zip.avail_in = uInt(size);
        int result = Z_OK;
        do {
            m_Zip.next_out = reinterpret_cast<Bytef*>(m_Out.data());
            m_Zip.avail_out = uInt(m_Out.size());
            result = deflate(&m_Zip, last ? Z_FINISH : Z_NO_FLUSH);
            Send(m_Out.data(), m_Out.size() - m_Zip.avail_out);
        } while (m_Zip.avail_out == 0 || (last && result == Z_OK));
    }

    mg_connection* m_Connection;
    bool m_Gzip;
    bool m_Failed = false;
    z_stream m_Zip{};
    // On the heap: civetweb's worker threads have small stacks.
    std::vector<char> m_In = std::vector<char>(1 << 16);
    std::vector<char> m_Out = std::vector<char>(1 << 16);
};

// /metrics: the latest picture, one family at a time, each through prometheus-cpp's text
// serializer straight onto the connection. The exposer's own handler would first collect
// every family of the fleet and then the whole text in memory: some 200 MB at 10,000
// switches, where this holds one family (the largest, a port family, about a tenth).
void ServeMetrics(mg_connection* connection)
{
    std::shared_ptr<const TFleetState> state;
    {
        std::lock_guard lock(g_Lock);
        if (g_Metrics)
            state = g_Metrics->Current();
    }
    if (!state) {
        mg_send_http_error(connection, 503, "%s", "not ready\n");
        return;
    }
    const char* encodings = mg_get_header(connection, "Accept-Encoding");
    TChunkStream body(connection, encodings && std::strstr(encodings, "gzip"));
    mg_response_header_start(connection, 200);
    mg_response_header_add(connection, "Content-Type", "text/plain; version=0.0.4; charset=utf-8", -1);
    if (body.Gzip())
        mg_response_header_add(connection, "Content-Encoding", "gzip", -1);
    mg_response_header_add(connection, "Transfer-Encoding", "chunked", -1);
    mg_response_header_send(connection);
    std::ostream out(&body);
    const prometheus::TextSerializer serializer;
    ForEachFamily(*state, NowMs(), [&](prometheus::MetricFamily&& family) {
        if (!body.Failed())
            serializer.Serialize(out, {std::move(family)});
    });
    out.flush();
    body.Finish();
}

// civetweb asks here first: / and /metrics are served here, anything else goes on to the
// exposer (which answers 404).
int BeginRequest(mg_connection* connection)
{
    const mg_request_info* request = mg_get_request_info(connection);
    if (!request || !request->local_uri)
        return 0;
    if (std::strcmp(request->local_uri, TMetricsServer::MetricsPath) == 0) {
        ServeMetrics(connection);
        return 200;
    }
    if (std::strcmp(request->local_uri, "/") != 0)
        return 0;
    mg_send_http_ok(connection, "text/html; charset=utf-8", static_cast<long long>(sizeof Page - 1));
    mg_write(connection, Page, sizeof Page - 1);
    return 200;
}

// A scrape of a large fleet builds and frees tens of megabytes in the web server's thread,
// whose heap would keep them; they go back to the system after each request.
void EndRequest(const mg_connection*, int) { malloc_trim(0); }

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
    m_Callbacks->end_request = &EndRequest;
}

TMetricsServer::~TMetricsServer() = default;

bool TMetricsServer::Listen(const std::string& address, const std::shared_ptr<TSnapshotCollectable>& metrics,
                            std::string& error)
{
    if (!IsListenAddress(address)) {
        error = "not an address and port such as 127.0.0.1:9683: " + address;
        return false;
    }
    {
        std::lock_guard lock(g_Lock);
        g_Metrics = metrics;
    }
    try {
        m_Exposer = std::make_unique<prometheus::Exposer>(address, 2, m_Callbacks.get());
    } catch (const std::exception& e) {
        error = "cannot listen at " + address + ": " + e.what();
        return false;
    }
    return true;
}

int TMetricsServer::Port() const
{
    const std::vector<int> ports = m_Exposer ? m_Exposer->GetListeningPorts() : std::vector<int>{};
    return ports.empty() ? 0 : ports.front();
}

} // namespace Exporter
