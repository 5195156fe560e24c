// What a user and a screen watcher see of a program on an X server: waits
// for its top-level window to be mapped, records when a region of that window
// is repainted (X DAMAGE), and clicks and types through XTest like a user.
// XProbe belongs to one thread; DamageRecorder runs its own X connection on
// its own thread and may be read from any thread.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace bench {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// Opens $DISPLAY; exits the program with a message if it cannot.
DisplayPtr OpenDisplay();

struct WindowBox {
    Window window = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class XProbe {
public:
    XProbe();

    // Call before starting the program, so that no map is missed.
    void WatchMaps();
    // Waits for the first top-level window of process pid to be mapped;
    // returns it with the monotonic time of the map (Now()), or a zero
    // window after timeoutSeconds.
    WindowBox WaitForMap(pid_t pid, double timeoutSeconds, double& mappedAt);
    // Where the window is now, in root coordinates.
    WindowBox Locate(Window window);
    // Moves the pointer to (x, y) of the root window and clicks button 1.
    void Click(int x, int y);
    // Presses and releases the key of the given keysym.
    void TypeKey(unsigned long keysym);

private:
    DisplayPtr m_display;
};

// Records the times at which parts of a window above a given height are
// repainted, on a thread of its own, until destroyed.
class DamageRecorder {
public:
    DamageRecorder(Window window, int watchedHeight);
    ~DamageRecorder();
    DamageRecorder(const DamageRecorder&) = delete;
    DamageRecorder& operator=(const DamageRecorder&) = delete;

    std::vector<double> Times() const;
    // Waits until neither `since` nor the last repaint is less than
    // quietSeconds ago; returns the time of the last repaint after `since`,
    // or 0 if there was none.
    double WaitForQuiet(double since, double quietSeconds) const;

private:
    void Run(Window window, int watchedHeight);

    mutable std::mutex m_lock;
    std::vector<double> m_times;
    std::atomic<bool> m_bStop { false };
    std::atomic<bool> m_bReady { false };
    std::thread m_thread;
};

} // namespace bench
