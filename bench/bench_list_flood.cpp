// A list answer in several datagrams, fed straight into the dispatch on this thread (the
// window's thread in the program): a sender that keeps sending full datagrams of 8,000 MAC
// entries (the most a datagram holds), and an honest MAC table of 65,536 entries in
// datagrams of 128. Prints the time each takes, the entries gathered and the status the
// session ended with.
#include "FakeSessionCallback.h"

#include "core/Monitor.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr uint32_t Address = 0xC0000201;

// The header, 4 bytes of nothing and the entries, all on the 8 ports.
std::vector<uint8_t> MacDatagram(const TDevice& device, int entries)
{
    const std::size_t length = 4 + 8 * std::size_t(entries);
    std::vector<uint8_t> datagram(Intp::HeaderSize + length, 0);
    Intp::WriteHeader(datagram.data(), 0x0A00, 0, uint16_t(length), device.Mac().Data());
    uint8_t* entry = datagram.data() + Intp::HeaderSize + 4;
    for (int i = 0; i < entries; ++i, entry += 8) {
        entry[0] = uint8_t(i % 8);
        entry[1] = 0x02;
        entry[4] = uint8_t(i >> 16);
        entry[5] = uint8_t(i >> 8);
        entry[6] = uint8_t(i);
    }
    return datagram;
}

void Run(const char* what, int perDatagram, int datagrams)
{
    TFakeDeviceSetup setup(Address);
    Intp::StartNew<Intp::TSessionMonitorMacGet>(setup.Device, nullptr);
    const std::vector<uint8_t> full = MacDatagram(*setup.Device, perDatagram);
    const std::vector<uint8_t> last = MacDatagram(*setup.Device, 0);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < datagrams; ++i)
        Deliver(Address, full);
    Deliver(Address, last);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const auto& results = setup.Fake->Results;
    std::printf("%-34s %4d datagrams of %5d: %9.1f ms, %6zu entries kept, ", what, datagrams, perDatagram, ms,
                Intp::GetProperty<Intp::TPropertyMonitorMac>(*setup.Device).Entries.size());
    if (results.empty())
        std::printf("no report\n");
    else
        std::printf("ended with status 0x%04x\n", results.front().Status);
}

} // namespace

int main(int argc, char* argv[])
{
    const int most = argc > 1 ? std::atoi(argv[1]) : 500;
    for (int datagrams : {50, 100, 200, most})
        Run("full datagrams without end", 8000, datagrams);
    Run("an honest table", 128, 512);
    return 0;
}
