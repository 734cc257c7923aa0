// INI text reading and writing with the rules of the Win32 profile functions, for
// systems that lack them. The store reads and writes the host's settings file and
// the language files through these.
#pragma once

#include <cstddef>
#include <string>

// The value of key in section of the INI text, as GetPrivateProfileStringA gives
// it: names matched without regard to letter case and with surrounding blanks
// trimmed, the first matching section and key winning; the value trimmed, with
// one pair of matching quotes around it removed. The default (its trailing
// spaces dropped) when section or key is missing. At most capacity - 1
// characters are written; returns the number written.
size_t IniReadString(const std::string& text, const char* section, const char* key,
                     const char* default_value, char* out, size_t capacity);

// The INI text with key of section set to value: the first matching key line is
// replaced, else the key is added after the last line of the first matching
// section, else the section and key are appended. Every other line stays as it
// was; new lines use the text's line ending (CRLF when it has none).
std::string IniWriteString(const std::string& text, const char* section, const char* key,
                           const char* value);

// Whole-file helpers. A missing file reads as empty text (returns false).
bool ReadTextFile(const char* path, std::string& text);
// Writes a sibling temporary file and renames it over path.
bool ReplaceTextFile(const char* path, const std::string& text);
