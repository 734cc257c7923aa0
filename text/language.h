// The interface texts (ids 000-059), built-in English or from a language file.
#pragma once

#include <cstddef>
#include <string>

constexpr int kLanguageStringCount = 60;

// The section of the language files, and of the host's settings file.
constexpr const char* kIniSection = "Quenvale.Orvane";

// Name of the language whose texts are loaded; empty until the first SelectLanguage.
const char* CurrentLanguage();

// The built-in English text of id (0-59); "" for any other id.
const char* EnglishString(int id);

// The language file for `name`: the module path with its extension replaced by
// ".<name>.lng", cut to 259 characters. Empty when the module path is unknown.
std::string LanguageFilePath(const char* name);

// Makes `name` current and rebuilds the table, unless it is already current
// (exact comparison). "English" in any letter case means the built-in texts.
void SelectLanguage(const char* name);

// The text of id (0-59) in the loaded language; the English text when no table
// is loaded or the id is out of range.
const char* LanguageString(int id);

// One text: the English one when `language_file` is empty, else the file's
// translation repaired against the English text.
std::string LoadLanguageString(int id, const std::string& language_file);

// Numbered placeholders (%1-%9) of a translation become the English text's
// conversions, in the English order.
std::string RepairPlaceholders(const std::string& translation, const std::string& english);

void FreeLanguageStrings();

// The list that ListLanguages fills: the viewer passes its combo box, tests a
// plain sorted list.
struct LanguageList {
  virtual void Add(const char* name) = 0;
  virtual ~LanguageList() = default;
};

// Adds "English" and every language whose file lies beside the module.
void ListLanguages(LanguageList& list);

// The load-error text: the format (id 006, from a translator) filled with the
// path, the error code and the message, in that order and by those types only;
// every other '%' sequence is written as it stands ("%%" gives one '%').
// Cut to capacity - 1 characters (the viewer's 1024-character buffer).
std::string FormatLoadError(const std::string& format, const char* path, int code,
                            const char* message, size_t capacity = 1024);
