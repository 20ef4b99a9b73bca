// The few command-line options of molvane.
#pragma once

#include <string>

struct CommandLine {
    bool m_valid = true;
    std::string m_error;     // why m_valid is false
    bool m_version = false;  // --version: print the catalogue's version and exit
    bool m_simulate = false; // --simulate[=mode]: add the emulated keyboard
    int m_simulateMode = 0;  // connection mode of the emulated keyboard: 0, 1 or 2
};

CommandLine ParseCommandLine(int argc, const char* const* argv);
