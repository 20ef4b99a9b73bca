// Parses molvane's options; anything unknown is reported rather than ignored.
#include "app/CommandLine.h"

#include <string_view>

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            line.m_version = true;
        } else if (arg == "--simulate") {
            line.m_simulate = true;
        } else if (arg.starts_with("--simulate=")) {
            const std::string_view mode = arg.substr(11);
            if (mode != "0" && mode != "1" && mode != "2") {
                line.m_valid = false;
                line.m_error = "--simulate takes a connection mode 0, 1 or 2";
                return line;
            }
            line.m_simulate = true;
            line.m_simulateMode = mode[0] - '0';
        } else {
            line.m_valid = false;
            line.m_error = "unknown option " + std::string(arg);
            return line;
        }
    }
    return line;
}
