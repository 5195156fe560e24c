// Receive path without a window: a pty pair, the document connected with
// capture on, N bytes written into the far end as fast as it goes by a child
// process. Reports bytes per second until the last byte is in the capture
// file, CPU nanoseconds per byte of this process, and bytes lost. Then the
// same line read by `cat` into a file, as the floor.
//
// Usage: receive_bench [mebibytes] [runs]   (default 64 and 3; medians)
#include "bench/BenchSupport.h"
#include "bench/ConnectedDoc.h"
#include "tests/support/PtyPair.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

uint8_t PatternByte(size_t i)
{
    return static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
}

// Writes `total` pattern bytes into fd from a child process.
pid_t StartWriter(int fd, size_t total)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    std::vector<uint8_t> chunk(65536);
    size_t sent = 0;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    while (sent < total) {
        const size_t n = std::min(chunk.size(), total - sent);
        for (size_t i = 0; i < n; ++i)
            chunk[i] = PatternByte(sent + i);
        size_t off = 0;
        while (off < n) {
            const ssize_t w = write(fd, chunk.data() + off, n - off);
            if (w <= 0)
                _exit(1);
            off += static_cast<size_t>(w);
        }
        sent += n;
    }
    _exit(0);
}

double Seconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

size_t LostBytes(const std::filesystem::path& path, size_t total)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    size_t i = 0;
    size_t wrong = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        for (std::streamsize k = 0; k < in.gcount(); ++k, ++i)
            wrong += i >= total || static_cast<uint8_t>(buffer[static_cast<size_t>(k)]) != PatternByte(i);
    }
    return wrong + (i < total ? total - i : 0);
}

struct Result {
    double seconds;
    double cpuSeconds;
    size_t lost;
};

Result RunDocument(size_t total, const std::filesystem::path& capture)
{
    testsupport::PtyPair pty;
    bench::ConnectedDoc connected(pty.SlavePath());
    CTaliardDoc& doc = connected.Doc();
    std::filesystem::remove(capture); // capture appends, as to a file the user chose
    doc.SetCapturePath(capture.wstring());
    doc.SetCapture(true);

    const double cpuBefore = bench::CpuSecondsSelf();
    const auto start = Clock::now();
    const pid_t writer = StartWriter(pty.MasterFd(), total);
    // The last batch is written when capture stops; wait for everything but it.
    while (!std::filesystem::exists(capture) || std::filesystem::file_size(capture) + 128 < total)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    doc.SetCapture(false);
    const auto end = Clock::now();
    const double cpu = bench::CpuSecondsSelf() - cpuBefore;
    waitpid(writer, nullptr, 0);
    return { std::chrono::duration<double>(end - start).count(), cpu, LostBytes(capture, total) };
}

Result RunCat(size_t total, const std::filesystem::path& out)
{
    testsupport::PtyPair pty;
    const auto start = Clock::now();
    const pid_t cat = fork();
    if (cat == 0) {
        const std::string command = "exec head -c " + std::to_string(total) + " < " + pty.SlavePath() + " > " + out.string();
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const pid_t writer = StartWriter(pty.MasterFd(), total);
    rusage usage {};
    wait4(cat, nullptr, 0, &usage);
    const auto end = Clock::now();
    waitpid(writer, nullptr, 0);
    return { std::chrono::duration<double>(end - start).count(), Seconds(usage), LostBytes(out, total) };
}

} // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const size_t total = megabytes * 1024 * 1024;
    const auto bytes = static_cast<double>(total);
    wxInitializer wx;
    const auto dir = std::filesystem::temp_directory_path() / ("taliard-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);

    std::vector<double> rates;
    std::vector<double> costs;
    std::vector<double> floorRates;
    std::vector<double> floorCosts;
    size_t lost = 0;
    for (int k = 0; k < runs; ++k) {
        const Result doc = RunDocument(total, dir / "capture.dat");
        const Result floor = RunCat(total, dir / "cat.dat");
        rates.push_back(bytes / doc.seconds / 1e6);
        costs.push_back(doc.cpuSeconds * 1e9 / bytes);
        floorRates.push_back(bytes / floor.seconds / 1e6);
        floorCosts.push_back(floor.cpuSeconds * 1e9 / bytes);
        lost = std::max(lost, doc.lost);
    }
    std::filesystem::remove_all(dir);

    const std::string what = "receive path, " + std::to_string(megabytes) + " MiB into a pty, capture on";
    const double rate = bench::Median(rates);
    const double cost = bench::Median(costs);
    bench::PrintRow(what + ": rate", bench::Format("%.1f MB/s", rate), ">= 25 MB/s", rate >= 25);
    bench::PrintRow(what + ": CPU per byte", bench::Format("%.1f ns", cost), "<= 57 ns", cost <= 57);
    bench::PrintRow(what + ": bytes lost (worst run)", std::to_string(lost), "0", lost == 0);
    bench::PrintReferenceRow("floor: `head -c` reading the same kind of pty into a file",
        bench::Format("%.1f MB/s, %.1f ns", bench::Median(floorRates), bench::Median(floorCosts)));
    return lost == 0 ? 0 : 1;
}
