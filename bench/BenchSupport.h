// Helpers shared by the benchmark programs: a document without a window
// connected to a pty slave, CPU clocks of this and of other processes, and
// medians. Any thread; the document must be made where wxInitializer lives.
#pragma once

#include "document/CTaliardDoc.h"

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include <wx/docview.h>

namespace bench {

// A document as the application builds it (a manager and a template around
// it), connected at 921600 baud to the given port path. Exits the program
// with a message when the port cannot be opened.
class ConnectedDoc {
public:
    explicit ConnectedDoc(const std::string& portPath);
    ~ConnectedDoc();
    ConnectedDoc(const ConnectedDoc&) = delete;
    ConnectedDoc& operator=(const ConnectedDoc&) = delete;

    CTaliardDoc& Doc() { return *m_doc; }

private:
    std::unique_ptr<wxDocManager> m_manager;
    std::unique_ptr<CTaliardDoc> m_doc;
};

// User plus system CPU seconds of this process.
double CpuSecondsSelf();
// User plus system CPU seconds of another process (from /proc), 0 if gone.
double CpuSecondsOf(pid_t pid);
// RssAnon of a process in MiB, from /proc; 0 if gone.
double RssAnonMiB(pid_t pid);
// Seconds on the monotonic clock.
double Now();
double Median(std::vector<double> values);
// The value below which the given fraction (0..1) of the values lie.
double Percentile(std::vector<double> values, double fraction);

} // namespace bench
