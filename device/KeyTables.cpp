// Display names of HID keyboard usages (usage page 7) for the key-combination dialog.
#include "device/KeyTables.h"

#include <map>

namespace {

const std::map<int, std::string>& NamedUsages()
{
    static const std::map<int, std::string> names = [] {
        std::map<int, std::string> table = {
            {0x28, "ENTER"}, {0x29, "ESC"}, {0x2A, "backspace"}, {0x2B, "TAB"}, {0x2C, "SPACE"},
            {0x2D, "-_"},    {0x2E, "+="},  {0x2F, "[{"},        {0x30, "]}"},  {0x31, "\\"},
            {0x33, ";:"},    {0x34, "'"},   {0x35, "~`"},        {0x36, "<,"},  {0x37, ">."},
            {0x38, "/?"},    {0x39, "CAPS"},
            {0x46, "PRTSC"}, {0x47, "SCRLK"}, {0x48, "PASE"}, {0x49, "INS"}, {0x4A, "HOME"},
            {0x4B, "PG UP"}, {0x4C, "DEL"},   {0x4D, "END"},  {0x4E, "PG DN"}, {0x4F, "RIGHT"},
            {0x50, "LEFT"},  {0x51, "DOWN"},  {0x52, "UP"},
            {0x53, "NumLock"}, {0x54, "/"}, {0x55, "*"}, {0x56, "-"}, {0x57, "+"}, {0x58, "Enter"},
            {0x62, "0"},     {0x63, "."},
            {0x65, "MENU"},  {0xAF, "FN"},
            {0xE0, "CTRL"},  {0xE1, "SHIFT"}, {0xE2, "ALT"}, {0xE3, "WIN"},
            {0xE4, "RCTRL"}, {0xE5, "RSHIFT"}, {0xE6, "RALT"},
        };
        for (int i = 0; i < 26; ++i)
            table[0x04 + i] = std::string(1, static_cast<char>('A' + i));
        for (int i = 0; i < 9; ++i) {
            table[0x1E + i] = std::string(1, static_cast<char>('1' + i));
            table[0x59 + i] = std::string(1, static_cast<char>('1' + i));
        }
        table[0x27] = "0";
        for (int i = 0; i < 12; ++i)
            table[0x3A + i] = "F" + std::to_string(i + 1);
        return table;
    }();
    return names;
}

} // namespace

std::string GetKeyName(int usage)
{
    auto it = NamedUsages().find(usage);
    return it == NamedUsages().end() ? std::string() : it->second;
}
