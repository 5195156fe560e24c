#include "bench/XProbe.h"

#include "bench/BenchSupport.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace bench {

namespace {

pid_t WindowPid(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success
        && data && count == 1 && format == 32)
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

// Waits until the display's connection has an event or the time is up.
bool WaitForEvent(Display* display, int timeoutMs)
{
    if (XPending(display) > 0)
        return true;
    pollfd fd { ConnectionNumber(display), POLLIN, 0 };
    return poll(&fd, 1, timeoutMs) > 0 && XPending(display) > 0;
}

} // namespace

DisplayPtr OpenDisplay()
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "cannot open the X display (DISPLAY=%s); install xvfb\n", std::getenv("DISPLAY"));
        std::exit(1);
    }
    return display;
}

XProbe::XProbe()
    : m_display(OpenDisplay())
{
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_display.get(), &eventBase, &errorBase, &major, &minor)) {
        std::fprintf(stderr, "the X server has no XTEST extension\n");
        std::exit(1);
    }
}

void XProbe::WatchMaps()
{
    XSelectInput(m_display.get(), DefaultRootWindow(m_display.get()), SubstructureNotifyMask);
    XSync(m_display.get(), True); // drop events of earlier runs
}

WindowBox XProbe::WaitForMap(pid_t pid, double timeoutSeconds, double& mappedAt)
{
    Display* display = m_display.get();
    const double deadline = Now() + timeoutSeconds;
    while (Now() < deadline) {
        if (!WaitForEvent(display, 10))
            continue;
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || event.xmap.override_redirect)
            continue;
        const double at = Now();
        if (WindowPid(display, event.xmap.window) != pid)
            continue;
        XWindowAttributes attributes;
        XGetWindowAttributes(display, event.xmap.window, &attributes);
        mappedAt = at;
        XSelectInput(display, DefaultRootWindow(display), NoEventMask);
        return { event.xmap.window, attributes.x, attributes.y, attributes.width, attributes.height };
    }
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    return {};
}

WindowBox XProbe::Locate(Window window)
{
    Display* display = m_display.get();
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    WindowBox box { window, 0, 0, attributes.width, attributes.height };
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &box.x, &box.y, &child);
    return box;
}

void XProbe::Click(int x, int y)
{
    Display* display = m_display.get();
    // The toolkit must see the pointer enter before the press, and a press
    // and release in one go may be taken for nothing.
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

void XProbe::TypeKey(unsigned long keysym)
{
    Display* display = m_display.get();
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

DamageRecorder::DamageRecorder(Window window, int watchedHeight)
    : m_thread([this, window, watchedHeight] { Run(window, watchedHeight); })
{
    while (!m_bReady)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

DamageRecorder::~DamageRecorder()
{
    m_bStop = true;
    m_thread.join();
}

void DamageRecorder::Run(Window window, int watchedHeight)
{
    DisplayPtr owned = OpenDisplay();
    Display* display = owned.get();
    int eventBase = 0;
    int errorBase = 0;
    if (!XDamageQueryExtension(display, &eventBase, &errorBase)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        std::exit(1);
    }
    const Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    m_bReady = true;
    while (!m_bStop) {
        if (!WaitForEvent(display, 10))
            continue;
        XEvent event;
        XNextEvent(display, &event);
        const double at = Now();
        if (event.type != eventBase + XDamageNotify)
            continue;
        const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
        if (notify.area.y < watchedHeight) {
            std::lock_guard lock(m_lock);
            m_times.push_back(at);
        }
    }
    XDamageDestroy(display, damage);
}

std::vector<double> DamageRecorder::Times() const
{
    std::lock_guard lock(m_lock);
    return m_times;
}

double DamageRecorder::WaitForQuiet(double since, double quietSeconds) const
{
    for (;;) {
        double last = 0;
        {
            std::lock_guard lock(m_lock);
            last = m_times.empty() ? 0 : m_times.back();
        }
        if (Now() - std::max(since, last) >= quietSeconds)
            return last >= since ? last : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace bench
