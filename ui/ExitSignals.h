// SIGTERM, SIGINT and SIGHUP close the main window as its close box does
// (capture written out, port restored, exit status 0); a lost X connection,
// which the toolkit ends at once, still writes out the capture and releases
// the port first. UI thread, once wx runs.
#pragma once

void InstallExitHandlers();
