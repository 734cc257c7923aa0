// The settings store against a real settings file: the INI reader natively, the
// system's profile functions under Wine.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/test_paths.h"
#include "text/language.h"
#include "text/settings.h"
#include "text_test_files.h"

namespace {

// Points the store at a fresh settings file holding `bytes` (none when empty).
class SettingsFile : public ::testing::Test {
 protected:
  std::string path;

  void Use(const char* test, const std::string& bytes) {
    path = JoinPath(ScratchDir(test), "wincmd.ini");
    if (!bytes.empty()) WriteBytes(path, bytes);
    SettingsPath = path;
  }
  void TearDown() override {
    SettingsPath.reset();
    SetModulePath("");
    SelectLanguage("English");
  }
};

using SettingsStore = SettingsFile;

TEST_F(SettingsStore, IntegersAreParsedAndClamped) {
  Use("settings_ints",
      "[Quenvale.Orvane]\n"
      "Small=5\nLarge=500\nWord=abc\nUnit=12pt\nBlank=  -7x\nPlus=+9\nHuge=99999999999\n"
      "Negative=-99999999999\nEmpty=\n");
  EXPECT_EQ(ReadSettingInt("FontSizeGlyphs", 24, 6, 128), 24);
  EXPECT_EQ(ReadSettingInt("Small", 24, 6, 128), 6);
  EXPECT_EQ(ReadSettingInt("Large", 24, 6, 128), 128);
  EXPECT_EQ(ReadSettingInt("Word", 24, 6, 128), 6);
  EXPECT_EQ(ReadSettingInt("Unit", 24, 6, 128), 12);
  EXPECT_EQ(ReadSettingInt("Blank", 0, -100, 100), -7);
  EXPECT_EQ(ReadSettingInt("Plus", 0, -100, 100), 9);
  EXPECT_EQ(ReadSettingInt("Huge", 0, -5, 2147483647), 2147483647);
  EXPECT_EQ(ReadSettingInt("Negative", 0, -2147483647 - 1, 5), -2147483647 - 1);
  EXPECT_EQ(ReadSettingInt("Empty", 24, 6, 128), 6);  // present but empty: 0, clamped
}

TEST_F(SettingsStore, SampleTextEscaping) {
  EXPECT_EQ(EscapeSampleText("one\ntwo\r\nthree\tfour"), "one\\ntwo\\r\\nthree\\tfour");
  EXPECT_EQ(EscapeSampleText("one\\two"), "one\\two");
  EXPECT_EQ(UnescapeSampleText("one\\ntwo\\r\\nthree\\tfour"), "one\ntwo\r\nthree\tfour");
  EXPECT_EQ(UnescapeSampleText("one\\two"), "one\two");
  EXPECT_EQ(UnescapeSampleText("a\\b"), "a");
  EXPECT_EQ(UnescapeSampleText("abc\\"), "abc");
  EXPECT_EQ(UnescapeSampleText("x\\\\y"), "xy");
  EXPECT_EQ(UnescapeSampleText(std::string(2000, 'a')).size(), 1023u);
  EXPECT_EQ(UnescapeSampleText(std::string(1500, 'a') + "\\n"), std::string(1023, 'a'));
}

TEST_F(SettingsStore, MissingFileGivesDefaults) {
  Use("settings_defaults", "");
  ViewerSettings s;
  LoadSettings(s);
  EXPECT_STREQ(s.language, "English");
  EXPECT_STREQ(CurrentLanguage(), "English");
  EXPECT_EQ(s.save_page, 1);
  EXPECT_EQ(s.save_block, 0);
  EXPECT_EQ(s.save_charset, 0);
  EXPECT_EQ(s.save_sample, 0);
  EXPECT_EQ(s.page, 0);
  EXPECT_EQ(s.glyph_size, 24);
  EXPECT_EQ(s.sample_size, 16);
  EXPECT_EQ(s.zoom_size, 96);
  EXPECT_EQ(s.zoom_width, 128);
  EXPECT_EQ(s.zoom_height, 160);
  EXPECT_STREQ(s.sample_text, "The quick brown fox jumps over the lazy dog.");
  EXPECT_EQ(s.sort_order, 0);
}

TEST_F(SettingsStore, SwitchesGateTheRememberedChoices) {
  const char* stored =
      "[Quenvale.Orvane]\r\n"
      "Page=7\r\nUnicodeBlock=400\r\nCharSet=-4\r\n"
      "FontSizeZoom=300\r\nZoomWidth=2\r\nZoomHeight=2000\r\nSortOrderUnicodeBlocks=9\r\n"
      "SampleText=first\\nsecond\\tend\r\n";
  Use("settings_gated", std::string(stored) + "SavePage=0\r\n");
  ViewerSettings off;
  LoadSettings(off);
  EXPECT_EQ(off.save_page, 0);
  EXPECT_EQ(off.page, 0);
  EXPECT_EQ(off.charset_index, 0);
  // The sample text is read even with its switch off.
  EXPECT_STREQ(off.sample_text, "first\nsecond\tend");
  EXPECT_EQ(off.zoom_size, 256);
  EXPECT_EQ(off.zoom_width, 8);
  EXPECT_EQ(off.zoom_height, 1024);
  EXPECT_EQ(off.sort_order, 3);
  EXPECT_EQ(off.features_page, 0);

  Use("settings_gated_on",
      std::string(stored) + "SavePage=1\r\nSaveUnicodeBlock=5\r\nSaveCharSet=1\r\n");
  ViewerSettings on;
  LoadSettings(on);
  EXPECT_EQ(on.save_block, 1);
  EXPECT_EQ(on.page, 3);
  EXPECT_EQ(on.charset_index, 0);
  // The block's position is one of the first plane's 101, as older versions read
  // it: a number past them is the last. No name is stored.
  const BlockSetting block = ReadBlockSetting();
  EXPECT_EQ(block.first_plane_position, 100);
  EXPECT_EQ(block.name, "");

  // With the Features page a stored page goes up to 4.
  Use("settings_gated_features", std::string(stored) + "SavePage=1\r\nFeaturesPage=3\r\n");
  ViewerSettings features;
  LoadSettings(features);
  EXPECT_EQ(features.features_page, 1);
  EXPECT_EQ(features.page, 4);
}

TEST_F(SettingsStore, SaveWritesEveryKeyAndReadsBack) {
  Use("settings_round_trip", "; kept\r\n[Other]\r\nx=1\r\n");
  ViewerSettings s;
  LoadSettings(s);
  s.save_page = s.save_block = s.save_charset = s.save_sample = 1;
  s.page = 4;
  s.features_page = 1;
  s.charset_index = 18;
  s.glyph_size = 30;
  s.sample_size = 40;
  s.zoom_size = 200;
  s.zoom_width = 300;
  s.zoom_height = 400;
  std::snprintf(s.sample_text, sizeof s.sample_text, "line one\r\nline\ttwo");
  s.sort_order = 1;
  SaveSettings(s, 2);
  WriteBlockSetting({"Chinese, Japanese, and Korean Unified Ideographs", 57});
  WriteInstanceSetting("Extra Bold");

  std::string bytes = ReadBytes(path);
  EXPECT_NE(bytes.find("; kept"), std::string::npos);
  EXPECT_NE(bytes.find("SampleText=line one\\r\\nline\\ttwo"), std::string::npos);

  ViewerSettings back;
  LoadSettings(back);
  EXPECT_STREQ(back.language, "English");
  EXPECT_EQ(back.page, 4);
  EXPECT_EQ(back.features_page, 1);
  const BlockSetting block = ReadBlockSetting();
  EXPECT_EQ(block.name, "Chinese, Japanese, and Korean Unified Ideographs");
  EXPECT_EQ(block.first_plane_position, 57);
  // A block older versions do not have leaves their key as it is.
  WriteBlockSetting({"Emoticons", -1});
  EXPECT_EQ(ReadBlockSetting().name, "Emoticons");
  EXPECT_EQ(ReadBlockSetting().first_plane_position, 57);
  EXPECT_EQ(back.charset_index, 18);
  EXPECT_EQ(back.glyph_size, 30);
  EXPECT_EQ(back.sample_size, 40);
  EXPECT_EQ(back.zoom_size, 200);
  EXPECT_EQ(back.zoom_width, 300);
  EXPECT_EQ(back.zoom_height, 400);
  EXPECT_STREQ(back.sample_text, "line one\r\nline\ttwo");
  EXPECT_EQ(back.sort_order, 2);  // the process-wide order, not the window's
  EXPECT_STREQ(back.instance_name, "Extra Bold");
  EXPECT_EQ(ReadSettingString("x", 16, ""), "");  // other sections untouched
}

TEST_F(SettingsStore, SwitchedOffKeysAreNeitherWrittenNorRemoved) {
  Use("settings_switched_off",
      "[Quenvale.Orvane]\r\nPage=2\r\nUnicodeBlock=9\r\nCharSet=4\r\nSampleText=kept\r\n");
  ViewerSettings s;
  LoadSettings(s);
  s.save_page = 0;
  s.page = 1;
  s.block_index = 1;
  s.charset_index = 1;
  std::snprintf(s.sample_text, sizeof s.sample_text, "changed");
  SaveSettings(s, 0);
  EXPECT_EQ(ReadSettingInt("SavePage", 1, 0, 1), 0);
  EXPECT_EQ(ReadSettingInt("Page", 0, 0, 3), 2);
  EXPECT_EQ(ReadSettingInt("UnicodeBlock", 0, 0, 100), 9);
  EXPECT_EQ(ReadSettingInt("CharSet", 0, 0, 18), 4);
  EXPECT_EQ(ReadSettingString("SampleText", 2047, ""), "kept");
}

TEST_F(SettingsStore, WithoutSettingsPathNothingIsWritten) {
  Use("settings_no_path", "");
  SettingsPath.reset();
  ViewerSettings s;
  LoadSettings(s);
  SaveSettings(s, 1);
  WriteSettingInt("FontSizeGlyphs", 10);
  EXPECT_FALSE(FileExists(path));
}

TEST_F(SettingsStore, LanguageComesFirstAndGivesTheSampleDefault) {
  std::string dir = ScratchDir("settings_language");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));
  WriteBytes(JoinPath(dir, "Orvane.Test.lng"), "[Quenvale.Orvane]\r\n004=Translated sample\r\n");
  path = JoinPath(dir, "wincmd.ini");
  WriteBytes(path, "[Quenvale.Orvane]\r\nLanguage=Test\r\n");
  SettingsPath = path;
  ViewerSettings s;
  LoadSettings(s);
  EXPECT_STREQ(CurrentLanguage(), "Test");
  EXPECT_STREQ(s.sample_text, "Translated sample");

  WriteBytes(path, "[Quenvale.Orvane]\r\nLanguage=" + std::string(80, 'L') + "\r\n");
  LoadSettings(s);
  EXPECT_EQ(std::string(s.language), std::string(62, 'L'));
}

}  // namespace

namespace {

// The profile functions trim blanks around a value and take one pair of quotes
// off it; a sample text that begins or ends with either must still come back.
TEST_F(SettingsStore, SampleTextWithOuterBlanksOrQuotesReadsBack) {
  const std::string texts[] = {"  padded ", "\"q\"", "'single'", "\"open", "end'", " ",
                               std::string(1023, '\t'), " " + std::string(1021, 'x') + " "};
  for (const std::string& text : texts) {
    Use("settings_sample_quotes", "");
    ViewerSettings s;
    s.save_sample = 1;
    std::snprintf(s.sample_text, sizeof s.sample_text, "%s", text.c_str());
    SaveSettings(s, 0);
    ViewerSettings back;
    LoadSettings(back);
    EXPECT_EQ(std::string(back.sample_text), text) << "stored as: " << ReadBytes(path);
  }
}

}  // namespace

namespace {

// LoadSettings reads the section once and finds its keys in that text; each key
// must come out as the profile functions give it when asked for that key alone.
TEST_F(SettingsStore, TheSectionReadOnceGivesWhatEachKeyReadGives) {
  const std::string long_quoted = "\"" + std::string(2100, 'q') + "\"";
  const std::string filler = "Filler=" + std::string(40000, 'f') + "\n";
  const std::string files[] = {
      // Names in any case and with blanks; values with blanks and quotes.
      "[quenvale.orvane]\n  savepage = 1 \npage=\t2\nFONTSIZEGLYPHS = '40'\n"
      "SampleText=  \"  quoted \"  \nLanguage = \"English\"\nZoomWidth=300 px\n",
      // The first of duplicate keys and sections wins; other sections do not count.
      "[Other]\nFontSizeSample=99\n[Quenvale.Orvane]\nFontSizeSample=20\nFontSizeSample=30\n"
      "; FontSizeZoom=50\nFontSizeZoom\n[Quenvale.Orvane]\nZoomHeight=400\n",
      // A sample text longer than its key's room, in quotes, behind a section
      // larger than the first buffer.
      "[Quenvale.Orvane]\n" + filler + "SaveSampleText=1\nSampleText=" + long_quoted +
          "\nInstanceName='Bold'\nSortOrderUnicodeBlocks=3\nOnlyBlocksWithCharacters=1\n",
      // Keys without a section, then an empty one.
      "FontSizeGlyphs=50\n[Quenvale.Orvane]\n",
  };
  for (const std::string& file : files) {
    Use("settings_section_once", file);
    ViewerSettings loaded;
    LoadSettings(loaded);
    const std::string from_keys = ReadSettingString("Language", 63, "English");
    EXPECT_EQ(loaded.language, from_keys) << file;
    EXPECT_EQ(loaded.save_page, ReadSettingInt("SavePage", 1, 0, 1)) << file;
    EXPECT_EQ(loaded.save_sample, ReadSettingInt("SaveSampleText", 0, 0, 1)) << file;
    if (loaded.save_page) {
      EXPECT_EQ(loaded.page, ReadSettingInt("Page", 0, 0, 3)) << file;
    }
    EXPECT_EQ(loaded.glyph_size, ReadSettingInt("FontSizeGlyphs", 24, 6, 128)) << file;
    EXPECT_EQ(loaded.sample_size, ReadSettingInt("FontSizeSample", 16, 6, 128)) << file;
    EXPECT_EQ(loaded.zoom_size, ReadSettingInt("FontSizeZoom", 96, 6, 256)) << file;
    EXPECT_EQ(loaded.zoom_width, ReadSettingInt("ZoomWidth", 128, 8, 1024)) << file;
    EXPECT_EQ(loaded.zoom_height, ReadSettingInt("ZoomHeight", 160, 8, 1024)) << file;
    EXPECT_EQ(loaded.sort_order, ReadSettingInt("SortOrderUnicodeBlocks", 0, 0, 3)) << file;
    EXPECT_EQ(loaded.only_covered_blocks, ReadSettingInt("OnlyBlocksWithCharacters", 0, 0, 1))
        << file;
    EXPECT_EQ(loaded.instance_name, ReadSettingString("InstanceName", 255, "")) << file;
    const std::string sample =
        UnescapeSampleText(ReadSettingString("SampleText", 2 * 1023 + 3, "x"));
    if (sample != "x") {
      EXPECT_EQ(loaded.sample_text, sample) << file;
    }
  }
}

}  // namespace
