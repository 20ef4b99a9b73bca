// Display names of HID keyboard usages (usage page 7) for the key-combination dialog.
#pragma once

#include <string>

// The name of `usage`, or empty text for a usage without a name.
std::string GetKeyName(int usage);
