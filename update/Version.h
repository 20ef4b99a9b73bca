// Version texts of the update server: comparison and the checks a text must pass before use.
#pragma once

#include <string>

// Compares dotted decimal versions: -1 when installed is newer, 1 when latest is newer, 0 when
// equal, 2 when the number of parts differs (which callers treat as newer).
int CompareVersions(const std::string& installed, const std::string& latest);

// Reads a leading decimal number the way the C runtime's atoi does (leading blanks, optional
// sign, digits up to the first other character; 0 when there are none), saturating on overflow.
int ParseDecimal(const std::string& text);

// The keyboard reports its firmware version as 16 bits whose hex digits are meant as decimal
// digits (0x0105 is version 105); -1 when the version is negative (unreadable).
int FirmwareVersionAsDecimal(int reported);

// A server's version body is used only when it is 1 to 10 characters of letters, digits, '.',
// '-' or '_': it becomes part of a file name and of an address, so separators must not pass.
bool IsAcceptableVersionText(const std::string& text);
