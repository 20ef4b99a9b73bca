// molvanectl's lighting commands: "light", "light select", "light set", "colors", "colors set", "colors apply".
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

class LightingService;

// Exit codes, the same as the rest of molvanectl.
enum LightingExit { LIGHT_EXIT_OK = 0, LIGHT_EXIT_USAGE = 1, LIGHT_EXIT_NO_KEYBOARD = 2, LIGHT_EXIT_REFUSED = 3 };

// What the commands need from the program that runs them.
struct LightingCommandContext {
    // The lighting page model over the database; its layout, connection mode and profile already set.
    LightingService* m_service = nullptr;
    // True while a keyboard is connected and open; commands that write to it refuse otherwise.
    std::function<bool()> m_keyboardPresent;
    // Waits until the worker has carried out every queued job; false on time-out.
    std::function<bool()> m_waitForJobs;
    // The language text of an id (effect names); empty function: names print as their id.
    std::function<std::string(int)> m_text;
};

// True when `args` (the command words, without the program name) start with "light" or "colors".
bool IsLightingCommand(const std::vector<std::string>& args);

// Runs one lighting command; `args` starts with "light" or "colors". "--help" anywhere prints the
// command's usage. Returns a LightingExit code; messages go to `out`, errors to `err`.
int RunLightingCommand(const std::vector<std::string>& args, const LightingCommandContext& context, std::ostream& out,
                       std::ostream& err);

// The usage lines of the lighting commands, for molvanectl's overall help.
void PrintLightingUsage(std::ostream& out);
