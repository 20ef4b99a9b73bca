// molvanectl: profiles, keys, macros, lighting and uploads from the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit codes of molvanectl.
enum CtlExit { CTL_OK = 0, CTL_USAGE = 1, CTL_NO_KEYBOARD = 2, CTL_REFUSED = 3 };

// Runs one command line (without the program name); returns the exit code.
int RunMolvaneCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
