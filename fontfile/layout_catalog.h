// The registered OpenType script, language system and feature tags with their
// names, as constant tables (the names read the same in every language, like
// the block names).
#pragma once

#include <span>
#include <string>

struct TagName {
  const char* tag;  // four characters, as the file holds them ("TRK ")
  const char* name;
};

extern const std::span<const TagName> ScriptTagNames;
extern const std::span<const TagName> LanguageTagNames;
extern const std::span<const TagName> FeatureTagNames;

// The registered name of a tag; "" when it is not registered. Stylistic sets
// ss01-ss20 and character variants cv01-cv99 are named by their number.
std::string ScriptName(const std::string& tag);
std::string LanguageName(const std::string& tag);
std::string FeatureName(const std::string& tag);

// Stylistic sets and character variants carry their number in a tag's last two
// characters.
inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
