// molvanectl's lighting commands (first version: usage only; the commands follow).
#include "lighting/LightingCommands.h"

#include <ostream>

bool IsLightingCommand(const std::vector<std::string>& args)
{
    return !args.empty() && (args[0] == "light" || args[0] == "colors");
}

void PrintLightingUsage(std::ostream& out)
{
    out << "  light | light select MODE | light set brightness=N speed=N direction=N color=RRGGBB colorful=0|1"
           " colorindex=N\n"
        << "  colors | colors set KEY=RRGGBB ... | colors apply\n";
}

int RunLightingCommand(const std::vector<std::string>& args, const LightingCommandContext&, std::ostream& out,
                       std::ostream& err)
{
    if (!IsLightingCommand(args)) {
        PrintLightingUsage(err);
        return LIGHT_EXIT_USAGE;
    }
    (void)out;
    err << "molvanectl " << args[0] << ": not available yet in this build\n";
    return LIGHT_EXIT_REFUSED;
}
