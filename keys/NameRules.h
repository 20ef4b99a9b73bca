// Naming rules shared by the profile list and the macro list: unique default names, words a
// name must not contain, and the language-dependent display of stored names.
#pragma once

#include <string>
#include <vector>

// Which list a name belongs to; each has its own base text and prefixes.
enum class NamedList { Profiles, Macros };

// "<base> <n>" for the smallest n from 1 that no entry of `shownNames` equals exactly; n stops at 1000.
std::string MakeUniqueName(const std::string& base, const std::vector<std::string>& shownNames);

// True when the name, lowercased, contains any entry of the forbidden-word list.
bool ContainsForbiddenWord(const std::string& name);
const std::vector<std::string>& ForbiddenWords();

// The name as the list shows it in the current language: a stored English default name
// ("Profile 3", "Macro 2") is shown with the language's base text in Chinese, and a stored
// Chinese one with the English base text in English. Other names are shown as stored.
std::string DisplayName(NamedList list, const std::string& storedName);
