// Process-wide product name and the folders the program reads from and writes to.
#pragma once

#include <string>

// The product name names the lock and socket files, the settings and data folders and the
// autostart entry. It starts as "Molvane" and is replaced by the catalogue's software name.
void SetProductName(const std::string& name);
std::string GetProductName();

// Folder of the running executable (/proc/self/exe), ending in '/'.
std::string GetExecutableFolder();

// Folder holding the shipped data files (config.xml, layouts/, language/, skins/, ...), ending in '/':
// the executable's folder when config.xml lies there, else <prefix>/share/molvane/ when it lies
// there, else the executable's folder.
std::string GetModuleFolder();
// Replaces the data folder for the rest of the process (tests, tools); empty restores the lookup.
void SetModuleFolder(const std::string& folder);

// $XDG_DATA_HOME/<product>/ (default ~/.local/share/<product>/), ending in '/'.
std::string GetUserDataFolder();
// <user data folder>db/, ending in '/'; the profile databases live here.
std::string GetDatabaseFolder();
// <module folder>skins/theme1/, ending in '/'.
std::string GetSkinFolder();
// $XDG_CONFIG_HOME (default ~/.config), ending in '/'.
std::string GetConfigBaseFolder();

// Creates the folder and every missing parent; true when the folder exists afterwards.
bool MakeDirectoryPath(const std::string& path);
