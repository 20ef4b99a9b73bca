// Starting a downloaded installer: directly, without a shell, in its own session.
#pragma once

#include <sys/types.h>

#include <string>

// Starts the regular file at path (never through a symbolic link) with no arguments; makes it
// executable for its owner first when the archive did not. Returns the child's pid, or -1.
pid_t StartProgram(const std::string& path);
