// molvanectl's lighting commands: the lighting page's model driven from the command line.
#include "lighting/LightingCommands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>

#include "lighting/LightingService.h"

namespace {

constexpr const char kLightUsage[] =
    "usage: molvanectl light\n"
    "       molvanectl light select MODE\n"
    "       molvanectl light set [brightness=N] [speed=N] [direction=1|2] [color=RRGGBB] [colorful=0|1]\n"
    "                            [colorindex=0..7] [option1..option6=0..6]\n"
    "'light' lists the effects of the current profile ('*' marks the selected one) and the selected\n"
    "effect's values. 'select' chooses an effect by mode number or name and writes it to the keyboard.\n"
    "'set' changes the selected effect and writes it: only the parameters the effect offers are taken\n"
    "(the list shows them); color is red, green, blue in hex; a color turns multicolour off;\n"
    "colorful=0 keeps the stored color. On the custom per-key effect a color only sets the paint color.\n";

constexpr const char kColorsUsage[] =
    "usage: molvanectl colors\n"
    "       molvanectl colors set KEY=RRGGBB ...\n"
    "       molvanectl colors apply\n"
    "'colors' lists the stored per-key colours, which all profiles share. 'set' stores colours for\n"
    "keys named by their name (any case) or code (0x29); other keys keep theirs. 'apply' writes the\n"
    "stored colours to the keyboard; the selected effect must be the custom per-key effect.\n";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Decimal, or hexadecimal with 0x; nothing for anything else or out of int range.
std::optional<int> ParseNumber(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const auto valid = [hex](unsigned char c) { return hex ? std::isxdigit(c) != 0 : std::isdigit(c) != 0; };
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), valid))
        return std::nullopt;
    const long long value = std::stoll(digits, nullptr, hex ? 16 : 10);
    if (value > 0x7FFFFFFF)
        return std::nullopt;
    return static_cast<int>(value);
}

// RRGGBB (an optional leading '#') as a COLORREF, red in the low byte.
std::optional<int> ParseColour(std::string text)
{
    if (!text.empty() && text[0] == '#')
        text.erase(0, 1);
    if (text.size() != 6 || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    const int rgb = static_cast<int>(std::stol(text, nullptr, 16));
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string ColourText(int colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return text;
}

std::string CodeText(int code)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code & 0xFF);
    return text;
}

class Command {
public:
    Command(const LightingCommandContext& context, std::ostream& out, std::ostream& err)
        : m_context(context), m_service(*context.m_service), m_out(out), m_err(err)
    {
    }

    int List();
    int Select(const std::string& which);
    int Set(const std::vector<std::string>& pairs);
    int ListColours();
    int SetColours(const std::vector<std::string>& pairs);
    int ApplyColours();

private:
    int Fail(int code, const std::string& message)
    {
        m_err << "molvanectl " << message << "\n";
        return code;
    }
    std::string EffectName(const LightEffectEntry& effect) const;
    std::string Offered(int bits) const;
    bool LoadPage();
    int NeedKeyboard(const char* command);
    int WaitForUpload(const char* command);
    std::optional<int> FindKey(const std::string& text, std::string& error) const;
    bool ParseSetting(const std::string& key, const std::string& value, LightSettingsChange& change,
                      std::string& error) const;

    const LightingCommandContext& m_context;
    LightingService& m_service;
    std::ostream& m_out;
    std::ostream& m_err;
};

std::string Command::EffectName(const LightEffectEntry& effect) const
{
    std::string name = m_context.m_text ? m_context.m_text(effect.m_nameId) : std::string();
    return name.empty() ? "effect " + std::to_string(effect.m_nameId) : name;
}

std::string Command::Offered(int bits) const
{
    std::string text;
    auto add = [&text](const char* word) { text += text.empty() ? word : std::string(" ") + word; };
    if (bits & kLightBrightness)
        add("brightness");
    if (bits & kLightSpeed)
        add("speed");
    if (bits & (kLightDirectionHorizontal | kLightDirectionVertical))
        add("direction");
    if (bits & (kLightRgbEditors | kLightColourButton | kLightCustomKeys))
        add("color");
    if (bits & kLightColourButton)
        add("colorful");
    if (bits & (kLightColourSet1 | kLightColourSet2 | kLightColourSet3))
        add("colorindex");
    if (bits & kLightOptionGroups)
        add("option1-6");
    if (bits & kLightCustomKeys)
        add("per-key colours");
    if (bits & kLightMusic)
        add("music");
    return text.empty() ? "no settings" : text;
}

bool Command::LoadPage()
{
    if (m_service.LoadLightPage() == LightResult::Done)
        return true;
    m_err << "molvanectl light: the current profile has no lighting effects (no layout or database)\n";
    return false;
}

int Command::NeedKeyboard(const char* command)
{
    if (m_context.m_keyboardPresent && m_context.m_keyboardPresent())
        return LIGHT_EXIT_OK;
    return Fail(LIGHT_EXIT_NO_KEYBOARD,
                std::string(command) + ": no keyboard connected; nothing was changed");
}

int Command::WaitForUpload(const char* command)
{
    if (!m_context.m_waitForJobs || m_context.m_waitForJobs())
        return LIGHT_EXIT_OK;
    return Fail(LIGHT_EXIT_NO_KEYBOARD,
                std::string(command) + ": the change is stored, but the keyboard did not finish the upload");
}

int Command::List()
{
    if (!LoadPage())
        return LIGHT_EXIT_REFUSED;
    const LightPageModel& page = m_service.Page();
    for (size_t i = 0; i < page.m_effects.size(); ++i) {
        const LightEffectEntry& effect = page.m_effects[i];
        m_out << (static_cast<int>(i) == page.m_selected ? "* " : "  ") << effect.m_mode << "\t" << EffectName(effect)
              << "\t(" << Offered(effect.m_configFunc) << ")\n";
    }
    LightModeRecord record;
    if (!m_service.CurrentRecord(record))
        return LIGHT_EXIT_OK;
    m_out << "selected: mode " << record.m_mode << " brightness=" << record.m_brightness << "/"
          << page.m_brightnessMax << " speed=" << record.m_speed << "/" << page.m_speedMax
          << " direction=" << record.m_direction << " color=" << ColourText(record.m_colorValue)
          << " colorful=" << record.m_colorful << " colorindex=" << record.m_colorIndex << "\n";
    return LIGHT_EXIT_OK;
}

int Command::Select(const std::string& which)
{
    if (int code = NeedKeyboard("light select"); code != LIGHT_EXIT_OK)
        return code;
    if (!LoadPage())
        return LIGHT_EXIT_REFUSED;
    const LightPageModel& page = m_service.Page();
    const std::optional<int> number = ParseNumber(which);
    auto it = std::find_if(page.m_effects.begin(), page.m_effects.end(), [&](const LightEffectEntry& e) {
        return number ? e.m_mode == *number : Lower(EffectName(e)) == Lower(which);
    });
    if (it == page.m_effects.end()) {
        const auto& all = m_service.Layout().m_effects;
        if (number && std::any_of(all.begin(), all.end(), [&](const LightModeRecord& e) { return e.m_mode == *number; }))
            return Fail(LIGHT_EXIT_REFUSED, "light select: effect " + which +
                                                " is not available in this connection mode (the music effect needs the cable)");
        return Fail(LIGHT_EXIT_USAGE, "light select: no effect \"" + which + "\"; 'molvanectl light' lists them");
    }
    const LightEffectEntry effect = *it;
    if (m_service.SelectEffectMode(effect.m_mode) != LightResult::Done)
        return Fail(LIGHT_EXIT_REFUSED, "light select: the effect could not be stored");
    if (int code = WaitForUpload("light select"); code != LIGHT_EXIT_OK)
        return code;
    m_out << "selected " << effect.m_mode << " " << EffectName(effect) << "\n";
    if (effect.m_configFunc & kLightMusic)
        m_out << "the music effect follows the sound while Molvane runs with the lighting page shown\n";
    return LIGHT_EXIT_OK;
}

bool Command::ParseSetting(const std::string& key, const std::string& value, LightSettingsChange& change,
                           std::string& error) const
{
    const LightPageModel& page = m_service.Page();
    const std::optional<int> number = ParseNumber(value);
    auto ranged = [&](std::optional<int>& field, int low, int high) {
        if (!number || *number < low || *number > high) {
            error = key + " takes a number from " + std::to_string(low) + " to " + std::to_string(high);
            return false;
        }
        field = number;
        return true;
    };
    if (key == "brightness")
        return ranged(change.m_brightness, 0, page.m_brightnessMax);
    if (key == "speed")
        return ranged(change.m_speed, 0, page.m_speedMax);
    if (key == "direction")
        return ranged(change.m_direction, 1, 2);
    if (key == "colorindex")
        return ranged(change.m_colourIndex, 0, kColourSetSize - 1);
    if (key.size() == 7 && key.compare(0, 6, "option") == 0 && key[6] >= '1' && key[6] <= '6')
        return ranged(change.m_options[key[6] - '1'], 0, kOptionChoices - 1);
    if (key == "colorful") {
        if (value != "0" && value != "1") {
            error = "colorful takes 0 or 1";
            return false;
        }
        change.m_colorful = value == "1";
        return true;
    }
    if (key == "color") {
        change.m_colour = ParseColour(value);
        if (!change.m_colour)
            error = "color takes six hex digits RRGGBB, e.g. color=FF8000";
        return change.m_colour.has_value();
    }
    error = "unknown setting \"" + key + "\"";
    return false;
}

int Command::Set(const std::vector<std::string>& pairs)
{
    if (pairs.empty())
        return Fail(LIGHT_EXIT_USAGE, "light set: name at least one setting, e.g. brightness=3");
    if (!LoadPage())
        return LIGHT_EXIT_REFUSED;
    LightSettingsChange change;
    for (const std::string& pair : pairs) {
        const size_t equals = pair.find('=');
        std::string error;
        if (equals == std::string::npos)
            return Fail(LIGHT_EXIT_USAGE, "light set: \"" + pair + "\" is not NAME=VALUE");
        if (!ParseSetting(Lower(pair.substr(0, equals)), pair.substr(equals + 1), change, error))
            return Fail(LIGHT_EXIT_USAGE, "light set: " + error);
    }
    if (int code = NeedKeyboard("light set"); code != LIGHT_EXIT_OK)
        return code;
    std::string why;
    const LightPageModel& page = m_service.Page();
    switch (m_service.ApplySettings(change, why)) {
    case LightResult::Done:
        break;
    case LightResult::NotOffered:
        return Fail(LIGHT_EXIT_REFUSED, "light set: the selected effect (mode " + std::to_string(page.m_currentMode) +
                                            ") has no " + why + " setting; it offers: " + Offered(page.m_configFunc));
    default:
        return Fail(LIGHT_EXIT_REFUSED, "light set: the change could not be stored");
    }
    if (int code = WaitForUpload("light set"); code != LIGHT_EXIT_OK)
        return code;
    m_out << "lighting updated\n";
    return LIGHT_EXIT_OK;
}

// A key of the lighting picture by name (any case) or code; names shared by several keys need the code.
std::optional<int> Command::FindKey(const std::string& text, std::string& error) const
{
    const std::vector<LightKeyItem>& keys = m_service.Layout().m_keys;
    std::vector<int> codes;
    for (const LightKeyItem& key : keys)
        if (Lower(key.m_name) == Lower(text) && std::find(codes.begin(), codes.end(), key.m_code) == codes.end())
            codes.push_back(key.m_code);
    if (codes.size() == 1)
        return codes[0];
    if (codes.size() > 1) {
        error = "\"" + text + "\" names several keys (";
        for (size_t i = 0; i < codes.size(); ++i)
            error += (i ? ", " : "") + CodeText(codes[i]);
        error += "); give the code";
        return std::nullopt;
    }
    const std::optional<int> code = ParseNumber(text);
    if (code && std::any_of(keys.begin(), keys.end(), [&](const LightKeyItem& k) { return k.m_code == *code; }))
        return code;
    error = "no key \"" + text + "\" on this keyboard";
    return std::nullopt;
}

std::string KeyName(const std::vector<LightKeyItem>& keys, int code)
{
    for (const LightKeyItem& key : keys)
        if (key.m_code == code)
            return key.m_name;
    return CodeText(code);
}

int Command::ListColours()
{
    const std::map<int, int> colours = m_service.StoredKeyColours();
    if (colours.empty()) {
        m_out << "no per-key colours stored\n";
        return LIGHT_EXIT_OK;
    }
    for (const auto& [code, colour] : colours)
        m_out << CodeText(code) << "\t" << KeyName(m_service.Layout().m_keys, code) << "\t" << ColourText(colour) << "\n";
    return LIGHT_EXIT_OK;
}

int Command::SetColours(const std::vector<std::string>& pairs)
{
    if (pairs.empty())
        return Fail(LIGHT_EXIT_USAGE, "colors set: name at least one KEY=RRGGBB");
    std::map<int, int> colours;
    for (const std::string& pair : pairs) {
        // Key names may hold '=' themselves ("= +"), the colour never does.
        const size_t equals = pair.rfind('=');
        std::string error;
        if (equals == std::string::npos || equals == 0)
            return Fail(LIGHT_EXIT_USAGE, "colors set: \"" + pair + "\" is not KEY=RRGGBB");
        const std::optional<int> code = FindKey(pair.substr(0, equals), error);
        if (!code)
            return Fail(LIGHT_EXIT_USAGE, "colors set: " + error);
        const std::optional<int> colour = ParseColour(pair.substr(equals + 1));
        if (!colour)
            return Fail(LIGHT_EXIT_USAGE, "colors set: \"" + pair.substr(equals + 1) + "\" is not a colour RRGGBB");
        colours[*code] = *colour;
    }
    if (m_service.StoreKeyColours(colours) != LightResult::Done)
        return Fail(LIGHT_EXIT_REFUSED, "colors set: the colours could not be stored");
    m_out << "stored " << colours.size() << " key colour" << (colours.size() == 1 ? "" : "s")
          << "; 'molvanectl colors apply' writes them to the keyboard\n";
    return LIGHT_EXIT_OK;
}

int Command::ApplyColours()
{
    if (int code = NeedKeyboard("colors apply"); code != LIGHT_EXIT_OK)
        return code;
    if (!LoadPage())
        return LIGHT_EXIT_REFUSED;
    if (!(m_service.Page().m_configFunc & kLightCustomKeys)) {
        std::string hint;
        for (const LightEffectEntry& effect : m_service.Page().m_effects)
            if (effect.m_configFunc & kLightCustomKeys)
                hint = "; select it first: molvanectl light select " + std::to_string(effect.m_mode);
        return Fail(LIGHT_EXIT_REFUSED, "colors apply: the selected effect is not the custom per-key effect" + hint);
    }
    if (m_service.SaveKeyColours() != LightResult::Done)
        return Fail(LIGHT_EXIT_REFUSED, "colors apply: the colours could not be stored");
    if (int code = WaitForUpload("colors apply"); code != LIGHT_EXIT_OK)
        return code;
    m_out << "per-key colours written\n";
    return LIGHT_EXIT_OK;
}

int RunLight(Command& command, const std::vector<std::string>& args, std::ostream& err)
{
    if (args.size() == 1 || (args.size() == 2 && args[1] == "list"))
        return command.List();
    if (args[1] == "select" && args.size() == 3)
        return command.Select(args[2]);
    if (args[1] == "set")
        return command.Set({args.begin() + 2, args.end()});
    err << kLightUsage;
    return LIGHT_EXIT_USAGE;
}

int RunColors(Command& command, const std::vector<std::string>& args, std::ostream& err)
{
    if (args.size() == 1 || (args.size() == 2 && args[1] == "list"))
        return command.ListColours();
    if (args[1] == "set")
        return command.SetColours({args.begin() + 2, args.end()});
    if (args[1] == "apply" && args.size() == 2)
        return command.ApplyColours();
    err << kColorsUsage;
    return LIGHT_EXIT_USAGE;
}

} // namespace

bool IsLightingCommand(const std::vector<std::string>& args)
{
    return !args.empty() && (args[0] == "light" || args[0] == "colors");
}

void PrintLightingUsage(std::ostream& out)
{
    out << "  light | light select MODE | light set brightness=N speed=N direction=1|2 color=RRGGBB colorful=0|1\n"
           "        colorindex=N option1..6=N\n"
           "  colors | colors set KEY=RRGGBB ... | colors apply\n";
}

int RunLightingCommand(const std::vector<std::string>& args, const LightingCommandContext& context, std::ostream& out,
                       std::ostream& err)
{
    if (!IsLightingCommand(args)) {
        err << kLightUsage << kColorsUsage;
        return LIGHT_EXIT_USAGE;
    }
    const bool light = args[0] == "light";
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        out << (light ? kLightUsage : kColorsUsage);
        return LIGHT_EXIT_OK;
    }
    if (!context.m_service) {
        err << "molvanectl " << args[0] << ": lighting is not available\n";
        return LIGHT_EXIT_REFUSED;
    }
    Command command(context, out, err);
    return light ? RunLight(command, args, err) : RunColors(command, args, err);
}
