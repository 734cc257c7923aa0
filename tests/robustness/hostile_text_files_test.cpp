// Settings and language files written by someone hostile or broken: the values
// that come out are bounded and terminated, and what SaveSettings writes reads
// back to the same values. Natively through the INI reader, under Wine through
// the system's profile functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "platform/platform.h"
#include "support/test_paths.h"
#include "text/language.h"
#include "text/settings.h"
#include "text/text_test_files.h"

namespace {

// A settings record between two guard areas, so that a write past a field's
// buffer shows up in a field's bounds or in a guard.
struct Guarded {
  char before[32];
  ViewerSettings s;
  char after[32];
  Guarded() {
    std::memset(before, 0x5A, sizeof before);
    std::memset(after, 0x5A, sizeof after);
  }
  bool GuardsIntact() const {
    for (size_t i = 0; i < sizeof before; ++i)
      if (before[i] != 0x5A || after[i] != 0x5A) return false;
    return true;
  }
};

// Deterministic noise, every byte value included.
std::string Noise(size_t size, uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

const char* const kIntegerKeys[] = {"SavePage",       "SaveUnicodeBlock", "SaveCharSet",
                                    "SaveSampleText", "Page",             "UnicodeBlock",
                                    "CharSet",        "FontSizeGlyphs",   "FontSizeSample",
                                    "FontSizeZoom",   "ZoomWidth",        "ZoomHeight",
                                    "SortOrderUnicodeBlocks"};

std::string EveryKey(const std::string& integer_value, const std::string& language,
                     const std::string& sample) {
  std::string out = "[Quenvale.Orvane]\r\n";
  for (const char* key : kIntegerKeys) out += std::string(key) + "=" + integer_value + "\r\n";
  out += "Language=" + language + "\r\nSampleText=" + sample + "\r\n";
  out += "UnicodeBlockName=" + language + "\r\n";
  return out;
}

struct HostileFile {
  const char* name;
  std::string bytes;
};

std::vector<HostileFile> HostileSettingsFiles() {
  std::vector<HostileFile> files;
  files.push_back({"huge", EveryKey("99999999999999999999999", std::string(300, 'L'),
                                    std::string(5000, 'x'))});
  files.push_back({"negative", EveryKey("-99999999999999999999", "-", "-1")});
  files.push_back({"int-min", EveryKey("-2147483648", "English", "\\")});
  files.push_back({"int-max-plus-one", EveryKey("2147483648", "Français", "\\n\\r\\t")});
  files.push_back({"hex-and-blanks", EveryKey("  0x7FFFFFFF  ", "   ", "  \t  ")});
  files.push_back({"format-sequences",
                   EveryKey("%n%s%d", "%n%s%d%*d%ls", "%n%s%d%*d%ls%x%p%%%1%2%3%9%")});
  files.push_back({"escapes", EveryKey("1", "English", std::string(3000, '\\') +
                                                         [] {
                                                           std::string s;
                                                           for (int i = 0; i < 1500; ++i) s += "\\n";
                                                           return s;
                                                         }())});
  // Binary bytes in the values, in the names and around the section.
  files.push_back({"binary-values", EveryKey(std::string("\x01\x02\xFF", 3) + std::string(1, '\0') + "7",
                                             std::string("\xFF\xFE\x01", 3) + std::string(1, '\0') + "x",
                                             Noise(500, 1))});
  files.push_back({"noise", Noise(65536, 2) + "\r\n" + EveryKey("3", "English", "abc") + Noise(4096, 3)});
  files.push_back({"noise-only", Noise(65536, 4)});
  // Read as UTF-16 by a reader that honours the byte order mark.
  files.push_back({"utf16-bom", std::string("\xFF\xFE", 2) + Noise(1000, 5)});
  // Keys outside the section, in another section, and the section twice.
  files.push_back({"missing-section", "FontSizeGlyphs=500\r\n[Other]\r\nPage=7\r\nLanguage=Nope\r\n"});
  files.push_back({"section-twice", EveryKey("-5", "A", "B") + EveryKey("5000", "C", "D")});
  files.push_back({"empty-names", "[]\r\n=\r\n[Quenvale.Orvane\r\n==\r\n[Quenvale.Orvane]]\r\n=5\r\n"});
  // Lone carriage returns and no line end at all.
  std::string cr_only = EveryKey("12", "English", "one");
  for (size_t at = cr_only.find("\r\n"); at != std::string::npos; at = cr_only.find("\r\n", at))
    cr_only.erase(at + 1, 1);
  files.push_back({"carriage-returns", cr_only});
  // Ten megabytes: a junk section, then ours with one very long value.
  std::string big;
  big.reserve(10 * 1024 * 1024 + 4096);
  big += "[Junk]\r\n";
  while (big.size() < 8 * 1024 * 1024) big += "Key" + std::to_string(big.size()) + "=" + std::string(40, 'v') + "\r\n";
  big += EveryKey("64", std::string(100, 'Z'), std::string(2 * 1024 * 1024, 'S'));
  files.push_back({"ten-megabytes", big});
  return files;
}

class HostileTextFiles : public ::testing::Test {
 protected:
  void TearDown() override {
    SettingsPath.reset();
    SetModulePath("");
    SelectLanguage("English");
  }
};

void ExpectBounded(const ViewerSettings& s, const std::string& name) {
  EXPECT_LE(strnlen(s.language, sizeof s.language), 62u) << name;
  EXPECT_LT(strnlen(s.sample_text, sizeof s.sample_text), sizeof s.sample_text) << name;
  struct Bound {
    int value, minimum, maximum;
    const char* field;
  } bounds[] = {{s.save_page, 0, 1, "save_page"},      {s.save_block, 0, 1, "save_block"},
                {s.save_charset, 0, 1, "save_charset"}, {s.save_sample, 0, 1, "save_sample"},
                {s.page, 0, 3, "page"},                 {s.block_index, 0, kUnicodeBlockCount - 1, "block_index"},
                {s.charset_index, 0, 18, "charset_index"}, {s.glyph_size, 6, 128, "glyph_size"},
                {s.sample_size, 6, 128, "sample_size"}, {s.zoom_size, 6, 256, "zoom_size"},
                {s.zoom_width, 8, 1024, "zoom_width"},  {s.zoom_height, 8, 1024, "zoom_height"},
                {s.sort_order, 0, 3, "sort_order"}};
  for (const Bound& b : bounds) {
    EXPECT_GE(b.value, b.minimum) << name << " " << b.field;
    EXPECT_LE(b.value, b.maximum) << name << " " << b.field;
  }
  EXPECT_LE(std::strlen(CurrentLanguage()), 63u) << name;
  for (int id = 0; id < kLanguageStringCount; ++id)
    EXPECT_LE(std::strlen(LanguageString(id)), 1023u) << name << " id " << id;
}

void ExpectSameSettings(const ViewerSettings& a, const ViewerSettings& b, const std::string& name) {
  EXPECT_STREQ(a.language, b.language) << name;
  EXPECT_EQ(a.save_page, b.save_page) << name;
  EXPECT_EQ(a.save_block, b.save_block) << name;
  EXPECT_EQ(a.save_charset, b.save_charset) << name;
  EXPECT_EQ(a.save_sample, b.save_sample) << name;
  EXPECT_EQ(a.page, b.page) << name;
  EXPECT_EQ(a.block_index, b.block_index) << name;
  EXPECT_EQ(a.charset_index, b.charset_index) << name;
  EXPECT_EQ(a.glyph_size, b.glyph_size) << name;
  EXPECT_EQ(a.sample_size, b.sample_size) << name;
  EXPECT_EQ(a.zoom_size, b.zoom_size) << name;
  EXPECT_EQ(a.zoom_width, b.zoom_width) << name;
  EXPECT_EQ(a.zoom_height, b.zoom_height) << name;
  EXPECT_EQ(a.sort_order, b.sort_order) << name;
  EXPECT_EQ(a.features_page, b.features_page) << name;
  // The sample text is written only while its switch is on.
  if (a.save_sample) {
    EXPECT_STREQ(a.sample_text, b.sample_text) << name;
  }
}

TEST_F(HostileTextFiles, SettingsLoadBoundedAndSaveReadsBack) {
  std::string dir = ScratchDir("hostile_settings");
  for (const HostileFile& file : HostileSettingsFiles()) {
    SettingsPath = WriteBytes(JoinPath(dir, std::string(file.name) + ".ini"), file.bytes);
    Guarded loaded;
    LoadSettings(loaded.s);
    EXPECT_TRUE(loaded.GuardsIntact()) << file.name;
    ExpectBounded(loaded.s, file.name);
    const BlockSetting block = ReadBlockSetting();
    EXPECT_GE(block.first_plane_position, 0) << file.name;
    EXPECT_LE(block.first_plane_position, 100) << file.name;
    EXPECT_LE(block.name.size(), 126u) << file.name;

    // Every field switched on, so that every key is written.
    loaded.s.save_page = loaded.s.save_block = loaded.s.save_charset = loaded.s.save_sample = 1;
    SettingsPath = JoinPath(dir, std::string(file.name) + ".saved.ini");
    SaveSettings(loaded.s, loaded.s.sort_order);
    WriteBlockSetting(block);
    Guarded reread;
    LoadSettings(reread.s);
    EXPECT_TRUE(reread.GuardsIntact()) << file.name;
    ExpectSameSettings(loaded.s, reread.s, file.name);
    EXPECT_EQ(ReadBlockSetting().name, block.name) << file.name;
    EXPECT_EQ(ReadBlockSetting().first_plane_position, block.first_plane_position) << file.name;
    // A sound file: one section, one line per key.
    std::string saved = ReadBytes(*SettingsPath);
    size_t lines = 0;
    for (char c : saved) lines += c == '\n';
    EXPECT_EQ(lines, 19u) << file.name << ":\n" << saved.substr(0, 2000);

    // Saved over the hostile file itself, as the host's file would be (not the
    // ten megabytes: fifteen rewrites of it make the sanitizer run crawl).
    if (file.bytes.size() > (1u << 20)) continue;
    SettingsPath = WriteBytes(JoinPath(dir, std::string(file.name) + ".over.ini"), file.bytes);
    SaveSettings(loaded.s, loaded.s.sort_order);
    Guarded over;
    LoadSettings(over.s);
    ExpectSameSettings(loaded.s, over.s, std::string(file.name) + " (saved over)");
  }
}

TEST_F(HostileTextFiles, SettingsTextsStayInTheirBuffers) {
  std::string dir = ScratchDir("hostile_settings_texts");
  SettingsPath = WriteBytes(JoinPath(dir, "wincmd.ini"),
                            EveryKey("1", std::string(300, 'L'), std::string(5000, 'x')));
  Guarded loaded;
  LoadSettings(loaded.s);
  EXPECT_TRUE(loaded.GuardsIntact());
  // The language is cut to 62 characters, the sample text to 1023.
  EXPECT_EQ(std::string(loaded.s.language), std::string(62, 'L'));
  EXPECT_EQ(std::string(loaded.s.sample_text), std::string(1023, 'x'));
  EXPECT_EQ(std::string(CurrentLanguage()), std::string(62, 'L'));
}

// The language file `Orvane.<name>.lng` beside a module in dir, every id set to
// what `value` gives for it.
template <typename Value>
void WriteLanguage(const std::string& dir, const std::string& name, Value value) {
  std::string text = "[Quenvale.Orvane]\r\n";
  char key[8];
  for (int id = 0; id < kLanguageStringCount; ++id) {
    std::snprintf(key, sizeof key, "%03d", id);
    text += std::string(key) + "=" + value(id) + "\r\n";
  }
  WriteBytes(JoinPath(dir, "Orvane." + name + ".lng"), text);
}

TEST_F(HostileTextFiles, LanguageFilesFullOfFormatSequences) {
  std::string dir = ScratchDir("hostile_languages");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));
  WriteLanguage(dir, "Formats", [](int) { return std::string("%n%1%ls%2%*d%3%p"); });
  SelectLanguage("Formats");
  // The numbered placeholders take the English conversions in order; other
  // sequences lose their neighbour, so '%ls' and '%*d' leave '%s' and '%d'.
  EXPECT_STREQ(LanguageString(6), "%%s%s%d%d%s%");
  // In ids without conversions a placeholder is a lone '%'.
  EXPECT_STREQ(LanguageString(1), "%%%s%%d%%");
  // Filled only by position and type: the path, the code, the message, once each.
  EXPECT_EQ(FormatLoadError(LanguageString(6), "P", 5, "M"), "%sP5%dM%");
  for (const char* format : {"%n%n%n%n", "%ls%ls%S%C%lc", "%*d%*s%.*s%99999999s", "%s%s%s%s%s%s",
                             "%d%d%d%d", "%x%p%f%e%g%a%c%u%i%o", "%", "%%%"}) {
    std::string text = FormatLoadError(format, "P", -1, "M");
    EXPECT_LE(text.size(), 1023u) << format;
    EXPECT_LE(std::count(text.begin(), text.end(), 'P'), 1) << format;
    EXPECT_LE(std::count(text.begin(), text.end(), 'M'), 1) << format;
  }
}

TEST_F(HostileTextFiles, LanguageFilesEmptyLongOrBinary) {
  std::string dir = ScratchDir("hostile_language_sizes");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));

  WriteLanguage(dir, "Empty", [](int) { return std::string(); });
  SelectLanguage("Empty");
  for (int id = 0; id < kLanguageStringCount; ++id)
    EXPECT_STREQ(LanguageString(id), EnglishString(id)) << id;

  // Values far over the reader's 1023 characters, full of placeholders.
  std::string long_value;
  while (long_value.size() < 5000) long_value += "%1%s%n%9%%";
  WriteLanguage(dir, "Long", [&](int) { return long_value; });
  SelectLanguage("Long");
  for (int id = 0; id < kLanguageStringCount; ++id)
    EXPECT_LE(std::strlen(LanguageString(id)), 1023u) << id;
  std::string long_path(5000, 'p'), long_message(5000, 'm');
  EXPECT_EQ(FormatLoadError(LanguageString(6), long_path.c_str(), INT_MIN, long_message.c_str()).size(),
            1023u);
  EXPECT_EQ(FormatLoadError(LanguageString(6), "P", 1, "M", 1), "");
  EXPECT_EQ(FormatLoadError(LanguageString(6), "P", 1, "M", 0), "");

  WriteLanguage(dir, "Binary", [](int id) {
    std::string value = Noise(2000, static_cast<uint32_t>(id));
    // A line end would start a new key; everything else stays.
    for (char& c : value)
      if (c == '\r' || c == '\n') c = 'x';
    return value;
  });
  SelectLanguage("Binary");
  for (int id = 0; id < kLanguageStringCount; ++id)
    EXPECT_LE(std::strlen(LanguageString(id)), 1023u) << id;
  EXPECT_LE(FormatLoadError(LanguageString(6), "P", 1, "M").size(), 1023u);

  // A whole file of noise: no section, so English throughout.
  WriteBytes(JoinPath(dir, "Orvane.Noise.lng"), Noise(1 << 16, 9));
  SelectLanguage("Noise");
  for (int id = 0; id < kLanguageStringCount; ++id) EXPECT_LE(std::strlen(LanguageString(id)), 1023u);
}

TEST_F(HostileTextFiles, LanguageNameOfThreeHundredCharacters) {
  std::string dir = ScratchDir("hostile_language_name");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));
  std::string name(300, 'n');
  SelectLanguage(name.c_str());
  EXPECT_EQ(std::string(CurrentLanguage()), std::string(63, 'n'));
  EXPECT_LE(LanguageFilePath(name.c_str()).size(), 259u);
  // No such file: the English texts.
  for (int id = 0; id < kLanguageStringCount; ++id)
    EXPECT_STREQ(LanguageString(id), EnglishString(id)) << id;
  // The same name again reloads nothing; its first 63 characters are another name.
  SelectLanguage(name.substr(0, 63).c_str());
  EXPECT_EQ(std::string(CurrentLanguage()), std::string(63, 'n'));
}

struct SortedList : LanguageList {
  std::vector<std::string> names;
  void Add(const char* name) override { names.push_back(name); }
};

TEST_F(HostileTextFiles, LanguageFileNamesOddAndLong) {
  std::string dir = ScratchDir("hostile_language_list");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));
  std::string long_name(200, 'q');
  for (const std::string& file :
       {std::string("Orvane..lng"), std::string("Orvane.a.b.lng"), "Orvane." + long_name + ".lng"})
    WriteBytes(JoinPath(dir, file), "[Quenvale.Orvane]\r\n000=Long\r\n");
  SortedList list;
  ListLanguages(list);
  std::sort(list.names.begin(), list.names.end());
  EXPECT_EQ(list.names, (std::vector<std::string>{"English", "a", long_name}));

  // The file is found only when its whole path fits the 259-character buffer.
  SelectLanguage(long_name.c_str());
  std::string path = JoinPath(dir, "Orvane." + long_name + ".lng");
  EXPECT_STREQ(LanguageString(0), path.size() <= 259 ? "Long" : "Glyphs") << path.size();
  EXPECT_EQ(std::string(CurrentLanguage()), long_name.substr(0, 63));
}

}  // namespace
