// Lenient number parsing for settings and markup attributes: leading digits count, anything else is 0.
#pragma once

#include <string_view>

// Optional blanks and sign, then decimal digits; "12ab" gives 12, "ab" gives 0. Clamped to int.
int ParseDecimalInt(std::string_view text);
// Optional blanks and sign, an optional "0x"/"0X", then hexadecimal digits in either case.
// "0x1A2b" and "1a2B" give the same value; "zz" gives 0. Clamped to int.
int ParseHexInt(std::string_view text);
