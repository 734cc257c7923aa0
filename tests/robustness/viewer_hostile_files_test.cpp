// The viewer in a host whose settings and language files are hostile: it opens,
// every page works, and the settings file it writes at close reads back sound.
// A copy of the plug-in in a scratch folder gets its own language files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fontfile/catalog.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

struct CopiedPlugin {
  HMODULE dll = nullptr;
  HWND(__stdcall* load)(HWND, char*, int) = nullptr;
  void(__stdcall* close)(HWND) = nullptr;
  void(__stdcall* set_params)(DefaultParamsRecord*) = nullptr;

  explicit CopiedPlugin(const std::string& dir) {
    char original[MAX_PATH] = "";
    GetModuleFileNameA(Plugin().dll, original, MAX_PATH);
    std::string name = original;
    const std::string copy = dir + "\\" + name.substr(name.find_last_of('\\') + 1);
    if (!CopyFileA(original, copy.c_str(), FALSE)) return;
    dll = LoadLibraryA(copy.c_str());
    if (!dll) return;
    load = DllExport<decltype(load)>(dll, "ListLoad");
    close = DllExport<decltype(close)>(dll, "ListCloseWindow");
    set_params = DllExport<decltype(set_params)>(dll, "ListSetDefaultParams");
  }
  ~CopiedPlugin() {
    if (dll) FreeLibrary(dll);
  }
  void UseSettings(const std::string& ini) const {
    DefaultParamsRecord record = {};
    record.size = sizeof record;
    lstrcpynA(record.settings_path, ini.c_str(), MAX_PATH);
    set_params(&record);
  }
};

std::string Noise(size_t size, uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return out;
}

void WriteLanguage(const std::string& dir, const std::string& name, const std::string& value) {
  std::string text = "[Quenvale.Orvane]\r\n";
  char key[8];
  for (int id = 0; id < 60; ++id) {
    std::snprintf(key, sizeof key, "%03d", id);
    text += std::string(key) + "=" + value + "\r\n";
  }
  WriteTextFile(dir + "\\Orvane." + name + ".lng", text);
}

int IniInt(const std::string& ini, const char* key) {
  return static_cast<int>(GetPrivateProfileIntA("Quenvale.Orvane", key, -12345, ini.c_str()));
}

// Opens `font` with the copied plug-in, shows every page, closes; returns the
// load-error text ("" when the font loaded).
std::string ViewEveryPage(const CopiedPlugin& plugin, const std::string& font) {
  HWND parent = SharedParent();
  std::string path = font;
  HWND viewer = plugin.load(parent, path.data(), 0);
  EXPECT_NE(viewer, nullptr) << font;
  std::string error;
  if (viewer) {
    ViewerState* s = StateOf(viewer);
    EXPECT_NE(s, nullptr);
    if (s) {
      error = s->load_error;
      for (int page : {1, 2, 3, 0}) {
        ClickTab(viewer, page);
        UpdateWindow(viewer);
        EXPECT_EQ(s->page, page);
      }
      EXPECT_GE(s->glyph_size, 6);
      EXPECT_LE(s->glyph_size, 128);
    }
    Pump();
    plugin.close(viewer);
    EXPECT_FALSE(IsWindow(viewer));
  }
  Pump();
  return error;
}

// What the viewer wrote at close must be in range, whatever it read. The page,
// block and character set are written only when their Save switch is on.
void ExpectSoundSettings(const std::string& ini) {
  const struct {
    const char* key;
    int low, high;
    const char* switch_key;
  } ranges[] = {{"SavePage", 0, 1, nullptr},
                {"SaveUnicodeBlock", 0, 1, nullptr},
                {"SaveCharSet", 0, 1, nullptr},
                {"SaveSampleText", 0, 1, nullptr},
                {"Page", 0, 3, "SavePage"},
                {"UnicodeBlock", 0, kFirstPlaneBlockCount - 1, "SaveUnicodeBlock"},
                {"CharSet", 0, 18, "SaveCharSet"},
                {"FontSizeGlyphs", 6, 128, nullptr},
                {"FontSizeSample", 6, 128, nullptr},
                {"FontSizeZoom", 6, 256, nullptr},
                {"ZoomWidth", 8, 1024, nullptr},
                {"ZoomHeight", 8, 1024, nullptr},
                {"SortOrderUnicodeBlocks", 0, 3, nullptr}};
  for (const auto& r : ranges) {
    if (r.switch_key && IniInt(ini, r.switch_key) != 1) continue;
    const int value = IniInt(ini, r.key);
    EXPECT_GE(value, r.low) << r.key;
    EXPECT_LE(value, r.high) << r.key;
  }
  char sample[4096] = "";
  GetPrivateProfileStringA("Quenvale.Orvane", "SampleText", "", sample, sizeof sample, ini.c_str());
  EXPECT_LE(std::string(sample).size(), 2 * 1023u + 2);  // escaped, at most doubled, quoted
}

TEST(ViewerHostileFiles, HugeBinaryAndMissingSettings) {
  const std::string dir = ScratchDir("viewer_hostile_settings");
  CopiedPlugin plugin(dir);
  ASSERT_NE(plugin.load, nullptr);

  const std::string huge_values =
      "[Quenvale.Orvane]\r\nSavePage=99999999999999999999\r\nPage=-2147483649\r\n"
      "SaveUnicodeBlock=1\r\nUnicodeBlock=4294967297\r\nSaveCharSet=1\r\nCharSet=1e9\r\n"
      "FontSizeGlyphs=0x7FFFFFFF\r\nFontSizeSample=-6\r\nFontSizeZoom=\r\nZoomWidth=abc\r\n"
      "ZoomHeight=2147483648\r\nSortOrderUnicodeBlocks=9\r\nSaveSampleText=1\r\n"
      "Language=" + std::string(300, 'L') + "\r\nSampleText=" + std::string(5000, '%') + "\r\n";
  // Ten megabytes of noise before the section (the reader must get through it)
  // and a file with no section at all.
  std::string noise = Noise(10 << 20, 7);
  for (char& c : noise)
    if (c == '[') c = '.';
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"huge-values.ini", huge_values},
      {"ten-megabytes.ini", noise + "\r\n" + huge_values},
      {"no-section.ini", Noise(4096, 3)},
      {"binary-section.ini", "[Quenvale.Orvane]\r\n" + Noise(1 << 16, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ini = dir + "\\" + c.name;
    WriteTextFile(ini, c.text);
    plugin.UseSettings(ini);
    EXPECT_EQ(ViewEveryPage(plugin, DejaVuPath()), "");
    ExpectSoundSettings(ini);
    // What it wrote opens again and is written back the same.
    EXPECT_EQ(ViewEveryPage(plugin, DejaVuPath()), "");
    ExpectSoundSettings(ini);
  }
}

TEST(ViewerHostileFiles, LanguageFilesEmptyOrFullOfFormatSequences) {
  const std::string dir = ScratchDir("viewer_hostile_languages");
  CopiedPlugin plugin(dir);
  ASSERT_NE(plugin.load, nullptr);
  WriteLanguage(dir, "Empty", "");
  WriteLanguage(dir, "Formats", "%n%s%s%ls%*d%99999999s%1%2%3%p%");
  std::string long_value;
  while (long_value.size() < 5000) long_value += "%1%s%n%9%%";
  WriteLanguage(dir, "Long", long_value);
  const std::string missing = dir + "\\missing.ttf";
  for (const char* language : {"Empty", "Formats", "Long"}) {
    SCOPED_TRACE(language);
    const std::string ini = dir + "\\" + language + ".ini";
    WriteTextFile(ini, std::string("[Quenvale.Orvane]\r\nLanguage=") + language + "\r\n");
    plugin.UseSettings(ini);
    EXPECT_EQ(ViewEveryPage(plugin, DejaVuPath()), "");
    // The load-error text is built from the language's format without reading
    // past what it was given.
    const std::string error = ViewEveryPage(plugin, missing);
    EXPECT_FALSE(error.empty());
    EXPECT_LE(error.size(), 1023u);
    if (std::string(language) == "Empty") {
      EXPECT_EQ(error.rfind("Unable to load \"" + missing + "\".", 0), 0u) << error;
    }
    ExpectSoundSettings(ini);
    char stored[128] = "";
    GetPrivateProfileStringA("Quenvale.Orvane", "Language", "", stored, sizeof stored, ini.c_str());
    EXPECT_STREQ(stored, language);
  }
}

}  // namespace
