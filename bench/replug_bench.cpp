// Waiting for a pulled adapter: a document connected to an adapter on a
// fake device tree (a pty behind a by-id link), the adapter pulled, and the
// CPU of this whole process measured while the port thread waits for it.
// Then the adapter comes back and the time until bytes flow is measured.
//
// Usage: replug_bench [seconds]   (default 30)
#include "bench/BenchSupport.h"
#include "bench/ConnectedDoc.h"
#include "tests/support/DocReceived.h"
#include "tests/support/FakeDeviceTree.h"

#include <wx/init.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    wxInitializer wx;
    testsupport::FakeDeviceTree tree;
    const std::string adapter = "usb-Bench_Adapter_0001-if00-port0";
    tree.Plug("ttyUSB0", adapter);
    bench::ConnectedDoc connected(tree.ById(adapter));
    CTaliardDoc& doc = connected.Doc();

    tree.Unplug("ttyUSB0");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const double cpuBefore = bench::CpuSecondsSelf();
    const double start = bench::Now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double share = (bench::CpuSecondsSelf() - cpuBefore) / (bench::Now() - start) * 100.0;
    bench::PrintRow(bench::Format("waiting %.0f s for a pulled adapter: CPU", seconds),
                    bench::Format("%.3f %% of a core", share), "< 1 %", share < 1.0);

    testsupport::PtyPair& back = tree.Plug("ttyUSB0", adapter);
    const double plugged = bench::Now();
    // Bytes written before the reopen are purged by it: keep writing.
    while (testsupport::ReceivedTotal(doc) == 0 && bench::Now() - plugged < 10) {
        back.WriteToPort("x", 1, std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double latency = (bench::Now() - plugged) * 1000.0;
    // The port thread looks twice a second, so up to about 500 ms.
    bench::PrintReferenceRow("adapter back to first byte received", bench::Format("%.0f ms", latency));
    return testsupport::ReceivedTotal(doc) != 0 ? 0 : 1;
}
