// Measuring helpers shared by the benchmark programs: CPU clocks of this and
// of other processes, heap, the monotonic clock, medians. Any thread.
#pragma once

#include <sys/types.h>

#include <vector>

namespace bench {

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
