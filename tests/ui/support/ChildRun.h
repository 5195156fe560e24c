// Runs this test program again with one setting the toolkit takes only at
// start-up (locale, text scale, screen size), for tests that need several.
// Test thread only.
#pragma once

#include <string>

namespace testsupport {

// environment: "NAME=value ..." for the shell; filter: --gtest_filter's
// value. Returns the exit status (0 when every test passed) and fills
// output with what the run printed.
int RunThisProgram(const std::string& environment, const std::string& filter, std::string& output);

} // namespace testsupport
