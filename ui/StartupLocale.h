// Takes the locale from the environment at start-up, so that received bytes
// decode in the user's multibyte encoding and the toolkit's own texts (file
// dialogs, the pane's menu) follow the user's language. main calls it once,
// before the window system starts and before any other thread exists.
#pragma once

#include <string>

// Under plain C/POSIX (or a locale that is not installed) the character
// type becomes C.UTF-8: what boards print is UTF-8 far more often than
// ASCII. Numbers keep the C form. Returns a warning for standard error, or
// an empty text.
std::string UseLocaleFromEnvironment();
