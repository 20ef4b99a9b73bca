// User-visible texts by numeric id from the language files language/<LCID>.lan, and the current language.
#pragma once

#include <string>

// Section that holds every text of the program.
inline constexpr const char* kTextSection = "KB.DIALOG";

// The current language (a Windows language id); 1033 until set. Safe to call from any thread.
void SetCurrentLanguage(int lcid);
int GetCurrentLanguage();

// Text <id> of <section> in <module folder>language/<current LCID>.lan, or in 1033.lan when the
// current language has no file. Empty when the file, section or key is missing. At most 259
// characters. Files are cached by path and modification time, so an edited file or a changed
// language takes effect at the next lookup. Safe to call from any thread.
std::string LoadText(const std::string& section, int id);
// Shorthand for LoadText(kTextSection, id).
std::string LoadText(int id);

// Path of the file LoadText reads for the current language (after the 1033 fallback).
std::string GetLanguageFilePath();

// Windows language id for a POSIX locale name such as "de_DE.UTF-8": zh_* gives 2052, en_* 1033,
// other languages their Windows id; "C", "POSIX", empty and unknown names give 1033.
int LanguageFromLocaleName(const std::string& locale);
// The locale of the user's messages: the first non-empty of LC_ALL, LC_MESSAGES, LANG.
std::string GetUserLocaleName();

// Start-up choice: the stored language when there is one; otherwise the user's locale language,
// storing 1033 for English and 2052 for any other language. Sets and returns the current language.
int ChooseStartLanguage();
