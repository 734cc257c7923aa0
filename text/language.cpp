#include "text/language.h"

#include <array>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace {

constexpr size_t kPathCapacity = 260;
constexpr size_t kTranslationCapacity = 1024;

const char* const kEnglish[] = {
    "Glyphs",
    "Info",
    "Sample",
    "Options",
    "The quick brown fox jumps over the lazy dog.",
    "No error information available.",
    "Unable to load \"%s\".\nError %d: %s",
    "Yes",
    "No",
    "Names",
    "Name",  // 010
    "Family",
    "Style",
    "Identifier",
    "PostScript Name",
    "PostScript CID",
    "Type",
    "File Name",
    "Version",
    "Copyright",
    "Trademark",  // 020
    "Description",
    "Sample text",
    "Manufacturer",
    "Designer",
    "License",
    "Supported Unicode Blocks",
    "Supported Code Pages",
    "Font Metrics (in pixels)",
    "Width",
    "Weight",  // 030
    "Height",
    "Italic",
    "Underline",
    "Strike-Out",
    "Ascent",
    "Descent",
    "Internal Leading",
    "External Leading",
    "Avg. Width",
    "Max. Width",  // 040
    "Overhang",
    "Horizontal Aspect",
    "Vertical Aspect",
    "Zoom Box",
    "Font Size:",
    "Width:",
    "Height:",
    "Sort Unicode Blocks by:",
    "Glyphs, Ascending",
    "Glyphs, Descending",  // 050
    "Description, Ascending",
    "Description, Descending",
    "User Interface Language:",
    "Save Current",
    "Tab Page",
    "Unicode Block",
    "Character Set",
    "Sample Text",
    "",
    "Characters in the Font",  // 060
    "Characters",
    "Plane",
    "Show only blocks with characters",
    "Not in this font",
    "Face",  // 065
    "of",
    "(cannot be read)",
    "",
    "",
    "Drawn with another face",  // 070
};

// From kTextFirstWebFont on.
const char* const kEnglishWebFont[] = {
    "It declares or decodes to more than 64 MB, the most a web font may hold here.",  // 075
    "The file ends inside its header, its table directory or its compressed data.",
    "A length it declares does not match its data.",
    "Its tables or data blocks overlap or lie outside the file.",
    "Its transformed tables do not add up.",
    "Its compressed data cannot be decompressed.",  // 080
    "Its header or table directory is not valid.",
    "Web Font",
    "Container",
    "Compressed Size",
    "Decoded Size",  // 085
    "Font Version",
    "Extended Metadata",
    "Private Data",
};
static_assert(kTextFirstWebFont + std::size(kEnglishWebFont) <= kTextFirstAnatomy);

// From kTextFirstAnatomy on.
const char* const kEnglishAnatomy[] = {
    "Variation Axes",  // 090
    "minimum",
    "default",
    "maximum",
    "hidden",
    "Named Instances",
    "axes remapped",
    "Style Attributes",
    "axis values",
    "Elided Name",
    "OpenType Scripts and Languages",  // 100
    "Default",
    "OpenType Features",
    "damaged; what could be read is shown",
    "Colour Glyphs",
    "version",
    "base glyphs",
    "layers",
    "palettes",
    "colours each",
    "for light backgrounds",  // 110
    "for dark backgrounds",
    "sizes in pixels per em",
    "documents",
    "Further Facts",
    "Embedding",
    "Installable",
    "Restricted",
    "Preview and print",
    "Editable",
    "No subsetting",  // 120
    "Bitmaps only",
    "Kerning",
    "'kern' table",
    "subtables",
    "'kern' feature",
    "Vertical Metrics",
    "Hinting",
    "bytes",
    "Grid Fitting",
    "up to",  // 130
    "grid-fitting",
    "smoothing",
    "symmetric grid-fitting",
    "symmetric smoothing",
    "none",
    "Digital Signature",
    "signatures",
};
static_assert(kTextFirstAnatomy + std::size(kEnglishAnatomy) == kTextAnatomyEnd);

// From kTextFirstInstance on.
const char* const kEnglishInstances[] = {
    "Instance",  // 138
    "Default instance",
    "Coordinates",  // 140
    "CFF2 outlines: the default instance is drawn",
    "This instance cannot be made: the default is drawn",
};
static_assert(kTextFirstInstance + std::size(kEnglishInstances) == kTextInstanceEnd);

// From kTextFirstColourGlyphs on.
const char* const kEnglishColourGlyphs[] = {
    "Its colour form is not drawn",  // 160
    "Cannot be drawn",
};
static_assert(kTextFirstColourGlyphs + std::size(kEnglishColourGlyphs) == kTextColourGlyphsEnd);

// From kTextFirstFeatures on.
const char* const kEnglishFeatures[] = {
    "Features",  // 200
    "Show the Features page",
    "Automatic",
    "Script:",
    "Language:",
    "Default",  // 205
    "On",
    "Off",
    "Substitution (GSUB)",
    "Positioning (GPOS)",
    "Substitution and positioning",  // 210
    "Its layout tables are refused: the glyphs are shown unshaped.",
    "The text is cut after 512 characters.",
    "Glyph",
    "Cluster",
    "Advance",  // 215
    "Offset",
    "Click a glyph to name it; Ctrl+C copies the run.",
    "Default language",
};
static_assert(kTextFirstFeatures + std::size(kEnglishFeatures) == kTextFeaturesEnd);

// From kTextFirstGlyphView on.
const char* const kEnglishGlyphView[] = {
    "All glyphs by index",  // 240
    "Unreachable: no character or feature reaches it",
    "Produced by",
    "Advance",
    "Bounds",
    "glyphs",  // 245
};
static_assert(kTextFirstGlyphView + std::size(kEnglishGlyphView) == kLanguageStringCount);

// From kTextFirstContent on.
const char* const kEnglishContent[] = {
    "Collection",  // 280
    "None",
};
static_assert(kTextFirstContent + std::size(kEnglishContent) == kTextContentEnd);

// Absent before the first SelectLanguage and after FreeLanguageStrings.
std::optional<std::array<std::string, kLanguageStringCount>> g_strings;
char g_current_language[64] = "";

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'A' && *a <= 'Z') ? char(*a - 'A' + 'a') : *a;
    char y = (*b >= 'A' && *b <= 'Z') ? char(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// The module path with its extension replaced by `suffix`, cut to the path buffer.
std::string ModulePathWithSuffix(const std::string& suffix) {
  std::string module = ModulePath();
  if (module.empty()) return std::string();
  size_t stem = static_cast<size_t>(FindPathExtension(module.c_str()) - module.c_str());
  std::string path = module.substr(0, stem) + suffix;
  if (path.size() > kPathCapacity - 1) path.resize(kPathCapacity - 1);
  return path;
}

}  // namespace

const char* EnglishString(int id) {
  if (id >= kTextFirstContent && id < kTextContentEnd) return kEnglishContent[id - kTextFirstContent];
  if (id < 0 || id >= kLanguageStringCount) return "";
  if (id >= kTextFirstGlyphView) return kEnglishGlyphView[id - kTextFirstGlyphView];
  if (id >= kTextFeaturesEnd) return "";
  if (id >= kTextFirstFeatures) return kEnglishFeatures[id - kTextFirstFeatures];
  if (id >= kTextColourGlyphsEnd) return "";
  if (id >= kTextFirstColourGlyphs) return kEnglishColourGlyphs[id - kTextFirstColourGlyphs];
  if (id >= kTextInstanceEnd) return "";
  if (id >= kTextFirstInstance) return kEnglishInstances[id - kTextFirstInstance];
  if (id >= kTextFirstAnatomy) return kEnglishAnatomy[id - kTextFirstAnatomy];
  if (id >= kTextFirstWebFont &&
      static_cast<size_t>(id - kTextFirstWebFont) < std::size(kEnglishWebFont))
    return kEnglishWebFont[id - kTextFirstWebFont];
  if (static_cast<size_t>(id) < std::size(kEnglish)) return kEnglish[id];
  return "";
}

const char* CurrentLanguage() { return g_current_language; }

std::string LanguageFilePath(const char* name) {
  return ModulePathWithSuffix(std::string(".") + name + ".lng");
}

void SelectLanguage(const char* name) {
  if (!name) name = "";
  if (g_strings && std::strcmp(name, g_current_language) == 0) return;
  std::snprintf(g_current_language, sizeof g_current_language, "%s", name);
  FreeLanguageStrings();
  std::string file = EqualsIgnoringCase(name, "English") ? std::string() : LanguageFilePath(name);
  g_strings.emplace();
  for (int id = 0; id < kLanguageStringCount; ++id) (*g_strings)[id] = LoadLanguageString(id, file);
}

const char* LanguageString(int id) {
  if (id < 0 || id >= kLanguageStringCount) return "";
  if (!g_strings) return EnglishString(id);
  return (*g_strings)[id].c_str();
}

std::string LoadLanguageString(int id, const std::string& language_file) {
  const char* english = EnglishString(id);
  if (language_file.empty()) return english;
  char key[16];
  std::snprintf(key, sizeof key, "%03d", id);
  char value[kTranslationCapacity];
  ReadProfileString(kIniSection, key, "", value, sizeof value, language_file.c_str());
  if (value[0] == '\0') return english;
  return RepairPlaceholders(value, english);
}

std::string RepairPlaceholders(const std::string& translation, const std::string& english) {
  std::string out;
  out.reserve(translation.size());
  size_t cursor = 0;  // into english
  for (size_t i = 0; i < translation.size(); ++i) {
    char c = translation[i];
    out += c;
    if (c != '%' || i + 1 >= translation.size()) continue;
    char next = translation[++i];
    if (next == '%') {
      out += next;
      continue;
    }
    if (next < '1' || next > '9') continue;  // the neighbour is dropped, the '%' stays
    size_t percent = english.find('%', cursor);
    if (percent == std::string::npos) {
      cursor = english.size();
      continue;
    }
    // The English conversion after its '%', up to its letter.
    size_t end = english.find_first_of("sdx", percent + 1);
    if (end == std::string::npos) end = english.size() - 1;
    out.append(english, percent + 1, end - percent);
    cursor = end;
  }
  return out;
}

void FreeLanguageStrings() { g_strings.reset(); }

void ListLanguages(LanguageList& list) {
  list.Add("English");
  std::string pattern = ModulePathWithSuffix(".*.lng");
  if (pattern.empty()) return;
  FindFiles(pattern.c_str(), [&list](const char* file_name) {
    // The name lies between the file name's first and second dot.
    const char* first = std::strchr(file_name, '.');
    if (!first) return;
    const char* second = std::strchr(first + 1, '.');
    if (!second || second == first + 1) return;
    std::string name(first + 1, second);
    if (EqualsIgnoringCase(name.c_str(), "English")) return;
    list.Add(name.c_str());
  });
}

std::string FormatLoadError(const std::string& format, const char* path, int code,
                            const char* message, size_t capacity) {
  // Only the bare conversions of the English text are filled, each with the
  // argument of its slot and type; anything else a translator wrote is text.
  struct Slot {
    char type;
    std::string value;
  };
  const Slot slots[3] = {{'s', path ? path : ""}, {'d', std::to_string(code)},
                         {'s', message ? message : ""}};
  size_t next_slot = 0;
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    char kind = format[i + 1];
    if (kind == '%') {
      out += '%';
      ++i;
    } else if (next_slot < 3 && kind == slots[next_slot].type) {
      out += slots[next_slot++].value;
      ++i;
    } else {
      out += c;
    }
  }
  if (capacity == 0) return std::string();
  if (out.size() > capacity - 1) out.resize(capacity - 1);
  return out;
}
