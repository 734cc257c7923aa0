// Interface texts: the built-in table, language files beside the module, the
// placeholder repair and the load-error formatting of translator text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/test_paths.h"
#include "text/language.h"
#include "text_test_files.h"

namespace {

// A plain list, kept sorted without regard to case like the options page's list.
struct SortedList : LanguageList {
  std::vector<std::string> names;
  void Add(const char* name) override {
    auto before = [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
      });
    };
    names.insert(std::upper_bound(names.begin(), names.end(), std::string(name), before), name);
  }
};

// A module path in a fresh folder, so language files can be put beside it.
class LanguageFiles : public ::testing::Test {
 protected:
  std::string dir;

  void Use(const char* test) {
    dir = ScratchDir(test);
    SetModulePath(JoinPath(dir, "Orvane.wlx"));
    FreeLanguageStrings();
  }
  void Put(const char* name, const std::string& bytes) { WriteBytes(JoinPath(dir, name), bytes); }
  void CopyShipped(const char* name) {
    Put(name, ReadBytes(HostPath(std::string(ORVANE_SOURCE_DIR) + "/languages/" + name)));
  }
  void TearDown() override {
    SetModulePath("");
    SelectLanguage("English");
  }
};

TEST(LanguageTexts, BuiltInTable) {
  SelectLanguage("English");
  EXPECT_STREQ(LanguageString(0), "Glyphs");
  EXPECT_STREQ(LanguageString(4), "The quick brown fox jumps over the lazy dog.");
  EXPECT_STREQ(LanguageString(6), "Unable to load \"%s\".\nError %d: %s");
  EXPECT_STREQ(LanguageString(28), "Font Metrics (in pixels)");
  EXPECT_STREQ(LanguageString(43), "Vertical Aspect");
  EXPECT_STREQ(LanguageString(58), "Sample Text");
  EXPECT_STREQ(LanguageString(59), "");
  EXPECT_STREQ(LanguageString(60), "Characters in the Font");
  EXPECT_STREQ(LanguageString(kTextFaceLabel), "Face");
  EXPECT_STREQ(LanguageString(kLanguageStringCount), "");
  EXPECT_STREQ(LanguageString(kTextAxesHeading), "Variation Axes");
  EXPECT_STREQ(LanguageString(kTextFirstAnatomy - 1), "");  // not given a text yet
  EXPECT_STREQ(LanguageString(kTextInstanceLabel), "Instance");
  EXPECT_STREQ(LanguageString(kTextInstanceEnd), "");  // not given a text yet
  // Only id 006 holds conversions.
  for (int id = 0; id < kLanguageStringCount; ++id)
    if (id != 6) {
      EXPECT_EQ(std::strchr(LanguageString(id), '%'), nullptr) << id;
    }
}

TEST(LanguageTexts, RepairPlaceholders) {
  const std::string e6 = EnglishString(6);
  EXPECT_EQ(RepairPlaceholders("Cannot open %1 - error %2 (%3) %4", e6),
            "Cannot open %s - error %d (%s) %");
  EXPECT_EQ(RepairPlaceholders("%3 ... %1", e6), "%s ... %d");
  EXPECT_EQ(RepairPlaceholders("%9%9%9", e6), "%s%d%s");
  const std::string plain = "Glyphs";
  EXPECT_EQ(RepairPlaceholders("100%%", plain), "100%%");
  EXPECT_EQ(RepairPlaceholders("a%0b", plain), "a%b");
  EXPECT_EQ(RepairPlaceholders("50% off", plain), "50%off");
  EXPECT_EQ(RepairPlaceholders("abc%", plain), "abc%");
  EXPECT_EQ(RepairPlaceholders("%1", plain), "%");
  EXPECT_EQ(RepairPlaceholders("x%\xE9y", plain), "x%y");
  // The English conversion is copied up to its letter, flags and all.
  EXPECT_EQ(RepairPlaceholders("%1|%2", "%-5s and %04x"), "%-5s|%04x");
}

TEST(LanguageTexts, LoadErrorFillsOnlyTheEnglishConversions) {
  auto format = [](const std::string& f) { return FormatLoadError(f, "C:\\a.ttf", 2, "gone"); };
  EXPECT_EQ(format(EnglishString(6)), "Unable to load \"C:\\a.ttf\".\nError 2: gone");
  EXPECT_EQ(format("%s|%d|%s"), "C:\\a.ttf|2|gone");
  EXPECT_EQ(FormatLoadError("%d %s", "p", -1, "m"), "%d p");
  // Hostile translations: nothing beyond the three arguments is ever read.
  EXPECT_EQ(format("%n"), "%n");
  EXPECT_EQ(format("%s%s%s%s"), "C:\\a.ttf%s%s%s");
  EXPECT_EQ(format("%*d %s"), "%*d C:\\a.ttf");
  EXPECT_EQ(format("%.999999s"), "%.999999s");
  EXPECT_EQ(format("%ls %s"), "%ls C:\\a.ttf");
  EXPECT_EQ(format("%d%d"), "%d%d");
  EXPECT_EQ(format("%s %d %d %s %s"), "C:\\a.ttf 2 %d gone %s");
  EXPECT_EQ(format("100%% %s%"), "100% C:\\a.ttf%");
  EXPECT_EQ(format("%"), "%");
  EXPECT_EQ(FormatLoadError("%s", std::string(2000, 'p').c_str(), 0, "").size(), 1023u);
  EXPECT_EQ(FormatLoadError("%s", "abcdef", 0, "", 4), "abc");
}

TEST_F(LanguageFiles, EnglishInAnyCaseReadsNoFile) {
  Use("language_english");
  Put("Orvane.English.lng", "[Quenvale.Orvane]\r\n000=Not English\r\n");
  for (const char* name : {"English", "english", "ENGLISH"}) {
    FreeLanguageStrings();
    SelectLanguage(name);
    EXPECT_STREQ(CurrentLanguage(), name);
    EXPECT_STREQ(LanguageString(0), "Glyphs") << name;
  }
}

TEST_F(LanguageFiles, FileTextsRepairedAndGapsKeepEnglish) {
  Use("language_file");
  Put("Orvane.Test.lng",
      "[Quenvale.Orvane]\r\n"
      "000=Zeichen\r\n"
      "004=\r\n"
      "006=%2 beim Laden von %1: %3 %4\r\n"
      "007=100%%\r\n"
      "059=Translated by someone\r\n");
  SelectLanguage("Test");
  EXPECT_STREQ(LanguageString(0), "Zeichen");
  EXPECT_STREQ(LanguageString(1), "Info");
  EXPECT_STREQ(LanguageString(4), "The quick brown fox jumps over the lazy dog.");
  EXPECT_STREQ(LanguageString(6), "%s beim Laden von %d: %s %");
  EXPECT_STREQ(LanguageString(7), "100%%");
  EXPECT_STREQ(LanguageString(59), "Translated by someone");

  FreeLanguageStrings();
  SelectLanguage("Missing");
  EXPECT_STREQ(LanguageString(0), "Glyphs");
  EXPECT_STREQ(LanguageString(6), "Unable to load \"%s\".\nError %d: %s");
}

TEST_F(LanguageFiles, SameNameDoesNotReload) {
  Use("language_reload");
  Put("Orvane.French.lng", "[Quenvale.Orvane]\r\n000=Premier\r\n");
  SelectLanguage("French");
  EXPECT_STREQ(LanguageString(0), "Premier");
  Put("Orvane.French.lng", "[Quenvale.Orvane]\r\n000=Second\r\n");
  SelectLanguage("French");
  EXPECT_STREQ(LanguageString(0), "Premier");
  // The comparison is exact: another spelling reloads (a file named in another
  // case is found on Windows, not here).
  SelectLanguage("french");
  EXPECT_STREQ(CurrentLanguage(), "french");
  EXPECT_STRNE(LanguageString(0), "Premier");

  SelectLanguage(std::string(100, 'x').c_str());
  EXPECT_EQ(std::string(CurrentLanguage()), std::string(63, 'x'));
  EXPECT_STREQ(LanguageString(0), "Glyphs");
}

TEST_F(LanguageFiles, LanguageFileNameReplacesTheModuleExtension) {
  Use("language_path");
  EXPECT_EQ(LanguageFilePath("French"), JoinPath(dir, "Orvane.French.lng"));
  SetModulePath(JoinPath(dir, "Orvane"));
  EXPECT_EQ(LanguageFilePath("French"), JoinPath(dir, "Orvane.French.lng"));
  SetModulePath(std::string(250, 'd') + "\\Orvane.wlx");
  EXPECT_EQ(LanguageFilePath("French").size(), 259u);
}

TEST_F(LanguageFiles, ListLanguagesFromFileNames) {
  Use("language_list");
  SortedList alone;
  ListLanguages(alone);
  EXPECT_EQ(alone.names, std::vector<std::string>{"English"});

  CopyShipped("Orvane.German.lng");
  CopyShipped("Orvane.French.lng");
  Put("Orvane.english.lng", "");
  Put("Orvane.French.old.lng", "");
  Put("Orvane.wlx", "");
  Put("Other.Spanish.lng", "");
  SortedList list;
  ListLanguages(list);
  EXPECT_EQ(list.names, (std::vector<std::string>{"English", "French", "French", "German"}));
}

TEST_F(LanguageFiles, ShippedTranslationsAreComplete) {
  Use("language_shipped");
  CopyShipped("Orvane.German.lng");
  CopyShipped("Orvane.French.lng");
  for (const char* language : {"German", "French"}) {
    std::string file = LanguageFilePath(language);
    // Every text with an English one (059 is empty in English too, and
    // the ids not given a text yet).
    for (int id = 0; id < kLanguageStringCount; ++id) {
      if (!EnglishString(id)[0]) continue;
      char key[8], value[1024];
      std::snprintf(key, sizeof key, "%03d", id);
      ReadProfileString("Quenvale.Orvane", key, "", value, sizeof value, file.c_str());
      EXPECT_NE(value[0], '\0') << language << " " << key;
    }
    SelectLanguage(language);
    std::string error = FormatLoadError(LanguageString(6), "F.ttf", 5, "Msg");
    EXPECT_LT(error.find("F.ttf"), error.find('5')) << language;
    EXPECT_LT(error.find('5'), error.find("Msg")) << language;
    EXPECT_EQ(error.find('%'), std::string::npos) << language;
  }
  SelectLanguage("German");
  EXPECT_STREQ(LanguageString(7), "Ja");
  EXPECT_STREQ(LanguageString(31), "H\xF6he");  // Windows-1252
  SelectLanguage("French");
  EXPECT_STREQ(LanguageString(7), "Oui");
  EXPECT_STREQ(LanguageString(33), "Soulign\xE9");
  // One face of a collection, not a typeface ("Police").
  EXPECT_STREQ(LanguageString(kTextFaceLabel), "Fonte");
}

}  // namespace
