// Per-user settings: $XDG_CONFIG_HOME/<product>/settings.ini, section [settings], decimal text values.
#pragma once

#include <string>

// Path of the settings file for the current product name.
std::string GetSettingsPath();

// Value as a decimal number (leading digits); 0 when the file, the value or the digits are missing.
// Creates the settings folder when it is missing, as a first run does.
int ReadSettingInt(const std::string& name);
// Raw text of a value; empty when absent.
std::string ReadSettingString(const std::string& name);

// Stores the value, replacing the file atomically (temporary file, fsync, rename) so that a crash
// leaves either the old or the new file. False when the file could not be written.
bool WriteSettingString(const std::string& name, const std::string& value);

// The stored language: 0 on a first run (no settings file yet, or no usable LCID value),
// 1033 when the settings folder can neither be found nor created.
int ReadLanguageSetting();
bool WriteLanguageSetting(int lcid);
