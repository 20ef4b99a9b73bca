// Starting another program apart from this one: no shell, its own session, nothing inherited.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Starts argv[0] (looked up in PATH when it holds no '/') with the given arguments, each passed as
// one argument, in its own session with a clear signal mask and standard streams on /dev/null.
// The child is reaped in the background so no zombie is left. Returns its pid, or -1.
pid_t SpawnDetached(const std::vector<std::string>& argv);
