// Start at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/<product>.desktop.
#pragma once

#include <string>

std::string GetAutoStartPath();

// The Exec= value that starts `program`: quoted and escaped when the path holds characters a
// launcher would split or expand, with "%" doubled.
std::string DesktopExecValue(const std::string& program);

// True when the autostart entry exists (its content is never read back).
bool IsAutoStartEnabled();

// Writes the entry (Exec= the molvane executable beside this process) when enabled, removes it
// otherwise. Removing an absent entry succeeds. False when the file could not be written or removed.
bool ApplyAutoStart(bool enabled);
