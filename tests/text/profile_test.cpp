// The profile functions as the store uses them. The same INI texts go through
// the INI reader natively and through the system's profile functions under Wine,
// and must give the same answers.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "support/test_paths.h"
#include "text_test_files.h"

namespace {

struct IniFile {
  std::string path;

  IniFile(const char* test, const std::string& bytes) {
    path = WriteBytes(JoinPath(ScratchDir(test), "settings.ini"), bytes);
  }

  std::string Read(const char* section, const char* key, size_t capacity = 256,
                   const char* default_value = "DEF") const {
    std::string out(capacity + 8, '#');
    size_t n = ReadProfileString(section, key, default_value, out.data(), capacity, path.c_str());
    EXPECT_EQ(n, std::string(out.c_str()).size()) << key;
    return out.c_str();
  }

  bool Write(const char* section, const char* key, const char* value) const {
    return WriteProfileString(section, key, value, path.c_str());
  }

  std::string Bytes() const { return ReadBytes(path); }
};

int CountOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
  return count;
}

TEST(Profile, NamesIgnoreLetterCaseAndSurroundingBlanks) {
  IniFile ini("profile_names",
              "  [ quenvale.ORVANE ]  \r\n"
              "  fontSIZEglyphs  =  12 pt  \r\n"
              "\tTab\t=\tt\t\r\n"
              "Spaces = \x1a v \x1a\r\n");
  EXPECT_EQ(ini.Read("Quenvale.Orvane", "FontSizeGlyphs"), "12 pt");
  EXPECT_EQ(ini.Read(" Quenvale.Orvane ", " FONTSIZEGLYPHS "), "12 pt");
  EXPECT_EQ(ini.Read("Quenvale.Orvane", "tab"), "t");
  EXPECT_EQ(ini.Read("Quenvale.Orvane", "spaces"), "v");
  EXPECT_EQ(ini.Read("Quenvale", "FontSizeGlyphs"), "DEF");
}

TEST(Profile, OnePairOfMatchingQuotesIsDropped) {
  IniFile ini("profile_quotes",
              "[S]\n"
              "double=\"quoted value\"\n"
              "single='single'\n"
              "spaced= \" sp \" \n"
              "unbalanced=\"open\n"
              "inner=a\"b\"\n"
              "mixed='x\"\n"
              "empty=\"\"\n"
              "lone=\"\n"
              "doubled=\"a\"\"\n");
  EXPECT_EQ(ini.Read("S", "double"), "quoted value");
  EXPECT_EQ(ini.Read("S", "single"), "single");
  EXPECT_EQ(ini.Read("S", "spaced"), " sp ");
  EXPECT_EQ(ini.Read("S", "unbalanced"), "\"open");
  EXPECT_EQ(ini.Read("S", "inner"), "a\"b\"");
  EXPECT_EQ(ini.Read("S", "mixed"), "'x\"");
  EXPECT_EQ(ini.Read("S", "empty"), "");
  EXPECT_EQ(ini.Read("S", "lone"), "\"");
  EXPECT_EQ(ini.Read("S", "doubled"), "a\"");
  // The closing quote is dropped after the cut: one short of the whole value
  // loses the value's last letter as well.
  EXPECT_EQ(ini.Read("S", "double", 5), "quot");
  EXPECT_EQ(ini.Read("S", "double", 13), "quoted valu");
  EXPECT_EQ(ini.Read("S", "double", 14), "quoted value");
  EXPECT_EQ(ini.Read("S", "unbalanced", 3), "\"o");
}

TEST(Profile, ValuesAndDefaultsAreCutToCapacity) {
  IniFile ini("profile_cut", "[S]\nk=abcdef\nempty=\n");
  EXPECT_EQ(ini.Read("S", "k", 4), "abc");
  EXPECT_EQ(ini.Read("S", "k", 2), "a");
  EXPECT_EQ(ini.Read("S", "k", 1), "");
  EXPECT_EQ(ini.Read("S", "missing", 3), "DE");
  // An empty value is a value: the default does not replace it.
  EXPECT_EQ(ini.Read("S", "empty"), "");
  // The default loses trailing spaces (not tabs), keeping at least one character.
  EXPECT_EQ(ini.Read("S", "missing", 256, " D E  "), " D E");
  EXPECT_EQ(ini.Read("S", "missing", 256, "  "), " ");
  EXPECT_EQ(ini.Read("S", "missing", 256, "x\t"), "x\t");
}

TEST(Profile, FirstSectionAndFirstKeyWin) {
  IniFile ini("profile_duplicates",
              "[Quenvale.Orvane]\r\nKey=v1\r\nkey=v2\r\n"
              "[quenvale.orvane]\r\nKey=v3\r\nOther=o3\r\n");
  EXPECT_EQ(ini.Read("Quenvale.Orvane", "KEY"), "v1");
  // Keys of a later section of the same name are not seen.
  EXPECT_EQ(ini.Read("QUENVALE.ORVANE", "other"), "DEF");
}

TEST(Profile, LineEndingsAndOddLines) {
  IniFile lf("profile_lf", "[S]\nk=lf\n[T]\nt=1");
  EXPECT_EQ(lf.Read("S", "k"), "lf");
  EXPECT_EQ(lf.Read("T", "t"), "1");  // no final newline
  IniFile crlf("profile_crlf", "[S]\r\nk=crlf\r\r\nm=1\r\n");
  EXPECT_EQ(crlf.Read("S", "k"), "crlf");
  EXPECT_EQ(crlf.Read("S", "m"), "1");
  IniFile cr("profile_cr", "[S]\rk=cr\rm=2\n[T]\nt=a\rb=c\n");
  EXPECT_EQ(cr.Read("S", "k"), "cr");  // a lone carriage return ends a line too
  EXPECT_EQ(cr.Read("S", "m"), "2");
  EXPECT_EQ(cr.Read("T", "t"), "a");
  EXPECT_EQ(cr.Read("T", "b"), "c");

  IniFile odd("profile_odd",
              "[S]\n;k=v\nnoequals\nk==x\n"
              "[a]b]\nx=1\n"
              "[c] ; note\ny=2\n"
              "  [d\nz=3\n");
  EXPECT_EQ(odd.Read("S", ";k"), "v");  // ';' starts no comment for the reader
  EXPECT_EQ(odd.Read("S", "noequals"), "DEF");
  EXPECT_EQ(odd.Read("S", "k"), "=x");
  EXPECT_EQ(odd.Read("a]b", "x"), "1");  // the name ends at the last ']'
  EXPECT_EQ(odd.Read("c", "y"), "2");
  EXPECT_EQ(odd.Read("c", "z"), "3");  // '[' without ']' is no section header
}

TEST(Profile, MissingFileReadsDefaultAndWriteCreatesIt) {
  std::string path = JoinPath(ScratchDir("profile_new"), "new.ini");
  char out[16];
  EXPECT_EQ(ReadProfileString("S", "k", "dflt", out, sizeof out, path.c_str()), 4u);
  EXPECT_STREQ(out, "dflt");
  ASSERT_TRUE(WriteProfileString("S", "k", "v", path.c_str()));
  EXPECT_EQ(ReadProfileString("S", "k", "dflt", out, sizeof out, path.c_str()), 1u);
  EXPECT_STREQ(out, "v");
}

TEST(Profile, WriteReplacesOrAddsAndKeepsTheRest) {
  IniFile ini("profile_write",
              "; settings\r\n"
              "  [ S ]  \r\n"
              "  Key  =  old  \r\n"
              "# note\r\n"
              "\r\n"
              "[T]\r\n"
              "z=1");
  ASSERT_TRUE(ini.Write("s", "KEY", "new value"));
  ASSERT_TRUE(ini.Write("S", "added", "x"));
  ASSERT_TRUE(ini.Write("T", "y", "2"));
  ASSERT_TRUE(ini.Write("U", "u", "3"));
  EXPECT_EQ(ini.Read("S", "key"), "new value");
  EXPECT_EQ(ini.Read("S", "added"), "x");
  EXPECT_EQ(ini.Read("T", "added"), "DEF");
  EXPECT_EQ(ini.Read("T", "z"), "1");
  EXPECT_EQ(ini.Read("T", "y"), "2");
  EXPECT_EQ(ini.Read("U", "u"), "3");

  std::string bytes = ini.Bytes();
  EXPECT_EQ(CountOf(bytes, "; settings\r\n"), 1);
  EXPECT_EQ(CountOf(bytes, "# note\r\n"), 1);
  EXPECT_EQ(CountOf(bytes, "old"), 0);
  EXPECT_EQ(CountOf(bytes, "new value"), 1);
  EXPECT_EQ(CountOf(bytes, "Key="), 1);  // the key keeps its spelling
  // The new key went into S, before T.
  EXPECT_LT(bytes.find("added=x"), bytes.find("[T]"));
  EXPECT_LT(bytes.find("[T]"), bytes.find("[U]"));
}

TEST(Profile, WriteAfterALastLineWithoutLineFeed) {
  IniFile cr("profile_write_cr", "[S]\r");
  ASSERT_TRUE(cr.Write("S", "k", "1"));
  EXPECT_EQ(cr.Read("S", "k"), "1");
  IniFile bare("profile_write_bare", "[S]\nz=0");
  ASSERT_TRUE(bare.Write("S", "k", "2"));
  EXPECT_EQ(bare.Read("S", "k"), "2");
  EXPECT_EQ(bare.Read("S", "z"), "0");
}

TEST(Profile, WriteChangesOnlyTheFirstDuplicate) {
  IniFile ini("profile_write_dup", "[S]\nk=v\nk=v2\n[S]\nk2=v2\n");
  ASSERT_TRUE(ini.Write("S", "k", "w"));
  ASSERT_TRUE(ini.Write("S", "k2", "w2"));
  EXPECT_EQ(ini.Read("S", "k"), "w");
  EXPECT_EQ(ini.Read("S", "k2"), "w2");
  std::string bytes = ini.Bytes();
  EXPECT_EQ(CountOf(bytes, "k=v2"), 1);
  EXPECT_EQ(CountOf(bytes, "k2=v2"), 1);
  EXPECT_LT(bytes.find("k2=w2"), bytes.find("k2=v2"));
}

}  // namespace
