// How the program ends when it is not the user who closes the window:
// SIGTERM, SIGINT and SIGHUP close the main window as its close box does
// (capture written out, port released with its settings restored, exit
// status 0); a lost X connection, after which no window can close, still
// writes out the capture and releases the port before the toolkit exits.
// UI thread, once wx runs.
#pragma once

void InstallExitHandlers();
