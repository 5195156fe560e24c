// The program's window on an X server (Xvfb, no window manager), driven like
// a user: started with `--port COM1=<pty slave>`, connected by a click on its
// connect button, fed by the far end of the pty. Measures start-up to the
// mapped window, heap after start-up with the port open, a chatty board
// (one 80-character line every 20 ms for 20 s: program and X server CPU,
// delay from a line written to the pane repainted, from X DAMAGE), and a
// 5 MiB burst of 80-character lines (program CPU, when the last byte is on
// screen, the worst delay of a key typed into the pane reaching the line).
//
// Usage: window_bench <taliard> <X server pid> [start-ups]   (DISPLAY set)
#include "bench/BenchSupport.h"
#include "bench/XProbe.h"
#include "tests/support/PtyPair.h"

#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Where the configuration bar puts things, from the window's bottom-left
// corner: the bar has a fixed height and the pane takes what is above it
// (C locale, text scale 1).
constexpr int CONNECT_BUTTON_X = 479;
constexpr int CONNECT_BUTTON_FROM_BOTTOM = 63;
constexpr int PANE_BOTTOM_FROM_BOTTOM = 290;

constexpr int CHATTY_LINES = 1000; // 20 s
constexpr auto CHATTY_PERIOD = std::chrono::milliseconds(20);
constexpr size_t BURST_BYTES = 5 * 1024 * 1024;
// The pane is refreshed 15 ms after the last byte (less a little for the
// clocks of two processes).
constexpr double QUIET_BEFORE_REFRESH = 0.014;

std::string Line(size_t n)
{
    std::string line = "line " + std::to_string(n) + " ";
    while (line.size() < 78)
        line += static_cast<char>('a' + line.size() % 26);
    return line + "\r\n";
}

class Program {
public:
    Program(bench::XProbe& probe, const std::string& binary, const std::string& port)
    {
        probe.WatchMaps();
        const double start = bench::Now();
        m_pid = fork();
        if (m_pid == 0) {
            const std::string mapping = "COM1=" + port;
            execl(binary.c_str(), "taliard", "--port", mapping.c_str(), nullptr);
            _exit(127);
        }
        double mappedAt = 0;
        m_box = probe.WaitForMap(m_pid, 20, mappedAt);
        if (!m_box.window) {
            Stop();
            throw std::runtime_error(binary + " showed no window");
        }
        m_startSeconds = mappedAt - start;
    }
    ~Program() { Stop(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void Stop() const
    {
        kill(m_pid, SIGTERM);
        for (int k = 0; k < 200 && waitpid(m_pid, nullptr, WNOHANG) == 0; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (waitpid(m_pid, nullptr, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    pid_t Pid() const { return m_pid; }
    const bench::WindowBox& Box() const { return m_box; }
    double StartSeconds() const { return m_startSeconds; }
    int PaneBottom() const { return m_box.height - PANE_BOTTOM_FROM_BOTTOM; }

    bool HasOpen(const std::string& path) const
    {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(m_pid) + "/fd", error)) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(entry.path(), linkError).string() == path)
                return true;
        }
        return false;
    }

    // Clicks the connect button until the port is open. The window is
    // mapped at a default size and fitted to its forms afterwards.
    void Connect(bench::XProbe& probe, const std::string& port)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            m_box = probe.Locate(m_box.window);
            probe.Click(m_box.x + CONNECT_BUTTON_X, m_box.y + m_box.height - CONNECT_BUTTON_FROM_BOTTOM);
            for (int k = 0; k < 50; ++k) {
                if (HasOpen(port))
                    return;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        char text[200];
        std::snprintf(text, sizeof text, "clicking the connect button at (%d, %d) of a %dx%d window did not open %s",
            CONNECT_BUTTON_X, m_box.height - CONNECT_BUTTON_FROM_BOTTOM, m_box.width, m_box.height, port.c_str());
        throw std::runtime_error(text);
    }

private:
    pid_t m_pid = -1;
    bench::WindowBox m_box;
    double m_startSeconds = 0;
};

void StartUpAndHeap(bench::XProbe& probe, const std::string& binary, int runs)
{
    std::vector<double> starts;
    std::vector<double> heaps;
    for (int k = 0; k < runs; ++k) {
        testsupport::PtyPair pty;
        Program program(probe, binary, pty.SlavePath());
        starts.push_back(program.StartSeconds());
        program.Connect(probe, pty.SlavePath());
        std::this_thread::sleep_for(std::chrono::seconds(1));
        heaps.push_back(bench::RssAnonMiB(program.Pid()));
    }
    const double start = bench::Median(starts);
    const double heap = bench::Median(heaps);
    bench::PrintRow("start-up, exec to window mapped (median)", bench::Format("%.3f s", start), "< 0.15 s", start < 0.15);
    bench::PrintRow("heap (RssAnon) after start-up, port open (median)", bench::Format("%.1f MiB", heap), "< 15 MiB", heap < 15);
}

void Chatty(const Program& program, testsupport::PtyPair& pty, pid_t xServer)
{
    bench::DamageRecorder damage(program.Box().window, program.PaneBottom());
    std::vector<double> written;
    const double cpuBefore = bench::CpuSecondsOf(program.Pid());
    const double xBefore = bench::CpuSecondsOf(xServer);
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < CHATTY_LINES; ++k) {
        std::this_thread::sleep_until(start + k * CHATTY_PERIOD);
        pty.WriteToPort(Line(static_cast<size_t>(k)));
        written.push_back(bench::Now());
    }
    std::this_thread::sleep_until(start + CHATTY_LINES * CHATTY_PERIOD);
    const double cpu = bench::CpuSecondsOf(program.Pid()) - cpuBefore;
    const double xCpu = bench::CpuSecondsOf(xServer) - xBefore;
    damage.WaitForQuiet(bench::Now(), 0.2);

    // A refresh that shows a line starts no sooner than the quiet time after
    // it; a repaint before that is the previous line's, finishing late.
    const std::vector<double> repaints = damage.Times();
    std::vector<double> delays;
    for (double at : written) {
        const auto next = std::lower_bound(repaints.begin(), repaints.end(), at + QUIET_BEFORE_REFRESH);
        if (next != repaints.end())
            delays.push_back((*next - at) * 1000);
    }
    const double median = bench::Median(delays);
    const double p95 = bench::Percentile(delays, 0.95);
    bench::PrintRow("chatty board: program CPU + X server CPU per 20 s", bench::Format("%.2f s + %.2f s", cpu, xCpu), "< 1.6 s together",
        cpu + xCpu < 1.6);
    bench::PrintRow("chatty board: line written to pane repainted, median / 95th percentile",
        bench::Format("%.1f / %.1f ms", median, p95) + " (" + std::to_string(delays.size()) + " lines)",
        "<= 20 / 30 ms", median <= 20 && p95 <= 30);
}

std::string BurstData()
{
    std::string data;
    data.reserve(BURST_BYTES);
    for (size_t k = 0; data.size() < BURST_BYTES; ++k)
        data += Line(k);
    data.resize(BURST_BYTES);
    return data;
}

void Burst(const Program& program, testsupport::PtyPair& pty)
{
    const std::string data = BurstData();
    bench::DamageRecorder damage(program.Box().window, program.PaneBottom());
    const double cpuBefore = bench::CpuSecondsOf(program.Pid());
    pty.WriteToPort(data.data(), data.size(), std::chrono::seconds(120));
    const double stopped = bench::Now();
    const double last = damage.WaitForQuiet(stopped, 1.0);
    const double cpu = bench::CpuSecondsOf(program.Pid()) - cpuBefore;
    const double onScreenMs = (last - stopped) * 1000;
    bench::PrintRow("5 MiB burst: program CPU", bench::Format("%.2f s", cpu), "< 0.48 s", cpu < 0.48);
    bench::PrintRow("5 MiB burst: last byte on screen after the stream stops",
        last > 0 ? bench::Format("%.1f ms", onScreenMs) : std::string("never"), "<= 50 ms", last > 0 && onScreenMs <= 50);
}

// Keys typed into the focused pane during a burst: each must come out on
// the line; the worst delay counts.
void TypingDuringBurst(bench::XProbe& probe, const Program& program, testsupport::PtyPair& pty)
{
    const bench::WindowBox& box = program.Box();
    probe.Click(box.x + box.width / 2, box.y + program.PaneBottom() / 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::atomic<bool> stop { false };
    std::vector<double> arrived;
    std::thread reader([&] {
        uint8_t buffer[256];
        while (!stop) {
            pollfd fd { pty.MasterFd(), POLLIN, 0 };
            if (poll(&fd, 1, 10) <= 0)
                continue;
            const double at = bench::Now();
            const ssize_t n = read(pty.MasterFd(), buffer, sizeof buffer);
            for (ssize_t k = 0; k < n; ++k)
                arrived.push_back(at);
        }
    });
    std::atomic<bool> writing { true };
    const std::string data = BurstData();
    std::thread writer([&] {
        pty.WriteToPort(data.data(), data.size(), std::chrono::seconds(120));
        writing = false;
    });
    std::vector<double> typed;
    while (writing) {
        probe.TypeKey(XK_x);
        typed.push_back(bench::Now());
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    writer.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    stop = true;
    reader.join();

    double worst = 0;
    for (size_t k = 0; k < typed.size(); ++k)
        worst = std::max(worst, k < arrived.size() ? arrived[k] - typed[k] : INFINITY);
    bench::PrintRow("5 MiB burst: key typed into the pane reaching the line, worst",
        bench::Format("%.1f ms", worst * 1000) + " (" + std::to_string(typed.size()) + " keys)", "<= 50 ms", worst <= 0.05);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_bench <taliard> <X server pid> [start-ups]\n");
        return 2;
    }
    const std::string binary = argv[1];
    const auto xServer = static_cast<pid_t>(std::atoi(argv[2]));
    const int startUps = argc > 3 ? std::atoi(argv[3]) : 7;
    bench::XProbe probe;
    try {
        StartUpAndHeap(probe, binary, startUps);

        testsupport::PtyPair pty;
        Program program(probe, binary, pty.SlavePath());
        program.Connect(probe, pty.SlavePath());
        std::this_thread::sleep_for(std::chrono::seconds(1));
        Chatty(program, pty, xServer);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        Burst(program, pty);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        TypingDuringBurst(probe, program, pty);
    } catch (const std::exception& error) {
        // Thrown so that every started program is stopped on the way out.
        std::fprintf(stderr, "window_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
