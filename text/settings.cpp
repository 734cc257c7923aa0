#include "text/settings.h"

#include <climits>
#include <cstdio>
#include <vector>

#include "fontfile/catalog.h"
#include "platform/ini_file.h"
#include "platform/platform.h"
#include "text/language.h"

std::optional<std::string> SettingsPath;

namespace {

constexpr size_t kSampleTextLength = 1023;

// No settings path: the profile functions fall back to the system's default file.
const char* SettingsFile() { return SettingsPath ? SettingsPath->c_str() : nullptr; }

// Leading blanks, a sign, then digits up to the first other character.
int ParseInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

void CopyText(char* out, size_t capacity, const std::string& text) {
  std::snprintf(out, capacity, "%s", text.c_str());
}

}  // namespace

namespace {

// A key read from the settings section read beforehand (`section`), or else from
// the file.
std::string ReadString(const std::string* section, const char* key, size_t capacity,
                       const char* default_value) {
  if (capacity == 0) return std::string();
  std::vector<char> buffer(capacity, '\0');
  size_t length =
      section ? IniReadString(*section, kIniSection, key, default_value, buffer.data(), capacity)
              : ReadProfileString(kIniSection, key, default_value, buffer.data(), capacity,
                                  SettingsFile());
  if (length > capacity - 1) length = capacity - 1;
  return std::string(buffer.data(), length);
}

int ReadInt(const std::string* section, const char* key, int default_value, int minimum,
            int maximum) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", default_value);
  int value = ParseInt(ReadString(section, key, 256, text));
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
  return value;
}

}  // namespace

std::string ReadSettingString(const char* key, size_t capacity, const char* default_value) {
  return ReadString(nullptr, key, capacity, default_value);
}

// Without a settings path nothing is written, so the system's default profile
// is never touched.
void WriteSettingString(const char* key, const char* text) {
  if (!SettingsPath) return;
  WriteProfileString(kIniSection, key, text, SettingsPath->c_str());
}

int ReadSettingInt(const char* key, int default_value, int minimum, int maximum) {
  return ReadInt(nullptr, key, default_value, minimum, maximum);
}

void WriteSettingInt(const char* key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  WriteSettingString(key, text);
}

std::string EscapeSampleText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\t')
      out += "\\t";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::string UnescapeSampleText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size() && out.size() < kSampleTextLength; ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;
    char next = text[++i];
    if (next == 'n')
      out += '\n';
    else if (next == 'r')
      out += '\r';
    else if (next == 't')
      out += '\t';
    // Any other character goes with its backslash.
  }
  return out;
}

namespace {

// What the profile functions take off the ends of a value: blanks, and one pair
// of quotes around it.
bool IsTrimmedAtEnds(char c) {
  return c == ' ' || c == '\v' || c == '\f' || c == '\x1a' || c == '"' || c == '\'';
}

// A sample text that starts or ends with such a character is stored in quotes, so
// that it reads back as it was; the quotes come off again when it is read.
std::string StoredSampleText(const char* text) {
  std::string stored = EscapeSampleText(text);
  if (!stored.empty() && (IsTrimmedAtEnds(stored.front()) || IsTrimmedAtEnds(stored.back())))
    stored = '"' + stored + '"';
  return stored;
}

// Room for the longest escaped text (twice 1023 characters) and its quotes.
constexpr size_t kStoredSampleCapacity = 2 * kSampleTextLength + 3;

}  // namespace

void LoadSettings(ViewerSettings& settings) {
  // Read once: each read of a key opens and checks the file again, which under
  // Wine costs more than reading the whole section.
  const std::string section = ReadProfileSection(kIniSection, SettingsFile());
  const std::string* from = &section;
  CopyText(settings.language, sizeof settings.language,
           ReadString(from, "Language", 63, "English"));
  SelectLanguage(settings.language);

  settings.save_page = ReadInt(from, "SavePage", 1, 0, 1);
  settings.save_block = ReadInt(from, "SaveUnicodeBlock", 0, 0, 1);
  settings.save_charset = ReadInt(from, "SaveCharSet", 0, 0, 1);
  settings.save_sample = ReadInt(from, "SaveSampleText", 0, 0, 1);

  settings.features_page = ReadInt(from, "FeaturesPage", 0, 0, 1);
  if (settings.save_page) settings.page = ReadInt(from, "Page", 0, 0, settings.features_page ? 4 : 3);
  if (settings.save_charset)
    settings.charset_index = ReadInt(from, "CharSet", 0, 0, kCharsetCount - 1);

  settings.glyph_size = ReadInt(from, "FontSizeGlyphs", 24, 6, 128);
  settings.sample_size = ReadInt(from, "FontSizeSample", 16, 6, 128);
  settings.zoom_size = ReadInt(from, "FontSizeZoom", 96, 6, 256);
  settings.zoom_width = ReadInt(from, "ZoomWidth", 128, 8, 1024);
  settings.zoom_height = ReadInt(from, "ZoomHeight", 160, 8, 1024);

  // Read whatever the switch says: a text remembered earlier keeps showing.
  CopyText(settings.sample_text, sizeof settings.sample_text,
           UnescapeSampleText(ReadString(from, "SampleText", kStoredSampleCapacity, LanguageString(kTextDefaultSample))));

  settings.sort_order = ReadInt(from, "SortOrderUnicodeBlocks", 0, 0, 3);
  settings.only_covered_blocks = ReadInt(from, "OnlyBlocksWithCharacters", 0, 0, 1);
  // Cut at a stray NUL, as it is written back.
  CopyText(settings.instance_name, sizeof settings.instance_name,
           ReadString(from, "InstanceName", sizeof settings.instance_name - 1, "").c_str());
}

void SaveSettings(const ViewerSettings& settings, int process_sort_order) {
  if (!SettingsPath) return;
  WriteSettingInt("SavePage", settings.save_page);
  WriteSettingInt("SaveUnicodeBlock", settings.save_block);
  WriteSettingInt("SaveCharSet", settings.save_charset);
  WriteSettingInt("SaveSampleText", settings.save_sample);

  WriteSettingString("Language", settings.language);

  if (settings.save_page) WriteSettingInt("Page", settings.page);
  if (settings.save_charset) WriteSettingInt("CharSet", settings.charset_index);

  WriteSettingInt("FontSizeGlyphs", settings.glyph_size);
  WriteSettingInt("FontSizeSample", settings.sample_size);
  WriteSettingInt("FontSizeZoom", settings.zoom_size);
  WriteSettingInt("ZoomWidth", settings.zoom_width);
  WriteSettingInt("ZoomHeight", settings.zoom_height);

  if (settings.save_sample)
    WriteSettingString("SampleText", StoredSampleText(settings.sample_text).c_str());

  WriteSettingInt("SortOrderUnicodeBlocks", process_sort_order);
  WriteSettingInt("OnlyBlocksWithCharacters", settings.only_covered_blocks);
  WriteSettingInt("FeaturesPage", settings.features_page);
}

BlockSetting ReadBlockSetting() {
  BlockSetting block;
  // Longer than any block's name, so that a longer text names none; cut at a
  // stray NUL, as it is written back.
  block.name = ReadSettingString("UnicodeBlockName", 127, "").c_str();
  block.first_plane_position = ReadSettingInt("UnicodeBlock", 0, 0, kFirstPlaneBlockCount - 1);
  return block;
}

void WriteBlockSetting(const BlockSetting& block) {
  WriteSettingString("UnicodeBlockName", block.name.c_str());
  if (block.first_plane_position >= 0) WriteSettingInt("UnicodeBlock", block.first_plane_position);
}

void WriteInstanceSetting(const char* name) { WriteSettingString("InstanceName", name); }
