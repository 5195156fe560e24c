// Measuring helpers shared by the benchmark programs: CPU clocks of this and
// of other processes, heap, the monotonic clock, medians, and the rows of
// the one table they print. Any thread.
#pragma once

#include <sys/types.h>

#include <string>
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

// printf into a string.
std::string Format(const char* format, double a, double b = 0);
// One row of the table bench/run.sh prints: what, measured, target, met.
void PrintRow(const std::string& what, const std::string& measured, const std::string& target, bool met);
// A row for a figure that has no target (a reference measured alongside).
void PrintReferenceRow(const std::string& what, const std::string& measured);

} // namespace bench
