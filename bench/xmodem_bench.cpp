// XMODEM: a random file sent to lrzsz `rx` behind pipes (a pty pair whose
// master is pumped to rx, as in the XMODEM tests), in each of the three
// variants, by the document's sender and by lrzsz `sx` on the same kind of
// link. Reports the wall seconds of rx, from its start to its exit
// (including rx's own fixed wait after the EOT).
//
// Usage: xmodem_bench [kibibytes] [runs]   (default 1024 and 3; medians)
#include "bench/BenchSupport.h"
#include "bench/ConnectedDoc.h"
#include "tests/support/PtyPair.h"
#include "tests/support/RxRunner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Variant {
    const char* name;
    int mode;              // the document's sender mode
    bool crc;              // rx -c
    bool oneK;             // sx -k
};

constexpr Variant VARIANTS[] = {
    { "checksum, 128-byte blocks", 0, false, false },
    { "CRC-16, 128-byte blocks", 1, true, false },
    { "CRC-16, 1K blocks", 2, true, true },
};

std::vector<std::string> RxArgs(const Variant& v)
{
    std::vector<std::string> args;
    if (v.crc)
        args.push_back("-c");
    args.push_back("received.bin");
    return args;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b, size_t blockSize)
{
    std::ifstream inA(a, std::ios::binary);
    std::ifstream inB(b, std::ios::binary);
    std::vector<char> bytesA { std::istreambuf_iterator<char>(inA), {} };
    std::vector<char> bytesB { std::istreambuf_iterator<char>(inB), {} };
    bytesA.resize((bytesA.size() + blockSize - 1) / blockSize * blockSize, 0x1A);
    return bytesA == bytesB;
}

// Wall seconds of rx while the document's sender sends the file.
double RunDocument(const Variant& v, const std::filesystem::path& file, const std::filesystem::path& rxDir)
{
    testsupport::PtyPair pty;
    bench::ConnectedDoc connected(pty.SlavePath());
    const std::string path = file.string();
    connected.Doc().m_sendPath = std::wstring(path.begin(), path.end());
    connected.Doc().StartFileSend(v.mode);
    const double start = bench::Now();
    testsupport::RxRunner rx(pty.MasterFd(), RxArgs(v), rxDir.string());
    const int status = rx.Wait(std::chrono::seconds(120));
    const double seconds = bench::Now() - start;
    if (status != 0 || !SameFile(file, rxDir / "received.bin", v.oneK ? 1024 : 128)) {
        std::fprintf(stderr, "document send (%s) failed: rx status %d\n", v.name, status);
        std::exit(1);
    }
    return seconds;
}

// Wall seconds of rx while lrzsz sx, on the pty slave, sends the file.
double RunSx(const Variant& v, const std::filesystem::path& file, const std::filesystem::path& rxDir)
{
    testsupport::PtyPair pty;
    const pid_t sx = fork();
    if (sx == 0) {
        setsid();
        const int fd = open(pty.SlavePath().c_str(), O_RDWR);
        if (fd < 0)
            _exit(126);
        dup2(fd, 0);
        dup2(fd, 1);
        const int log = open((rxDir / "sx.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, 2);
        if (v.oneK)
            execlp("sx", "sx", "-k", file.c_str(), nullptr);
        else
            execlp("sx", "sx", file.c_str(), nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // sx waits for the start byte
    const double start = bench::Now();
    int status = -1;
    {
        testsupport::RxRunner rx(pty.MasterFd(), RxArgs(v), rxDir.string());
        status = rx.Wait(std::chrono::seconds(120));
    }
    const double seconds = bench::Now() - start;
    int sxStatus = 0;
    waitpid(sx, &sxStatus, 0);
    if (status != 0 || !SameFile(file, rxDir / "received.bin", v.oneK ? 1024 : 128)) {
        std::fprintf(stderr, "lrzsz sx (%s) failed: rx status %d, sx status %d (sx not installed? apt-get install lrzsz)\n",
            v.name, status, sxStatus);
        std::exit(1);
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t kib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    wxInitializer wx;
    const auto dir = std::filesystem::temp_directory_path() / ("taliard-xbench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "image.bin";
    {
        std::vector<char> bytes(kib * 1024);
        std::mt19937 random(1);
        for (auto& b : bytes)
            b = static_cast<char>(random());
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    int worst = 0;
    for (const Variant& v : VARIANTS) {
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int k = 0; k < runs; ++k) {
            const auto rxDir = dir / ("rx" + std::to_string(k));
            std::filesystem::remove_all(rxDir);
            std::filesystem::create_directories(rxDir);
            ours.push_back(RunDocument(v, file, rxDir));
            std::filesystem::remove_all(rxDir);
            std::filesystem::create_directories(rxDir);
            theirs.push_back(RunSx(v, file, rxDir));
        }
        const double a = bench::Median(ours);
        const double b = bench::Median(theirs);
        const std::string what = "XMODEM " + std::string(v.name) + ", " + std::to_string(kib) + " KiB to rx: Taliard / lrzsz sx";
        bench::PrintRow(what, bench::Format("%.2f s / %.2f s", a, b) + bench::Format(" (%+.1f %%)", (a / b - 1) * 100),
            "within 5 % of sx", a <= b * 1.05);
        worst = a > b * 1.05 ? 1 : worst;
    }
    std::filesystem::remove_all(dir);
    return worst;
}
