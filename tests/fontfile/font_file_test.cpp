#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "fontfile/font_info.h"
#include "font_builder.h"
#include "support/test_paths.h"

namespace {

int ReadBytes(const std::string& bytes, FontInfo& info) {
  return ReadFontBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                       static_cast<uint32_t>(bytes.size()), info);
}

std::string WriteFile(const std::string& dir, const char* name, const std::string& bytes) {
  std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(ReadFontFile, ReadsEachFormatFromDisk) {
  std::string dir = ScratchDir("fontfile_formats");
  struct Case {
    const char* name;
    std::string bytes;
    const char* type;
  } cases[] = {
      {"demo.ttf", BuildSfnt(PlainSfnt()), "OpenType 1.4"},
      {"demo.fon", BuildFon(FonFile{}), "Raster"},
      {"demo.ttc", BuildCollection({PlainSfnt()}), "OpenType 1.4"},
      {"demo.pfm", BuildPfm({.type = 1}), "PostScript Type 1 (Vector)"},
  };
  for (const Case& c : cases) {
    FontInfo info;
    info.names[kNameSampleText] = "left over";
    ASSERT_EQ(ReadFontFile(WriteFile(dir, c.name, c.bytes).c_str(), info), 1) << c.name;
    EXPECT_EQ(info.type_name, c.type) << c.name;
    EXPECT_EQ(info.names[kNameFull], "Demo") << c.name;
    EXPECT_FALSE(info.names[kNameSampleText]) << c.name;  // cleared before reading
    EXPECT_TRUE(IsFontFileSound((dir + "/" + c.name).c_str())) << c.name;
  }
}

// Only files known to be broken are kept from the system; one that cannot be
// opened goes to it, so that its own error is what the user sees. The one-mapping
// call answers as IsFontFileSound and ReadFontFile do.
TEST(IsFontFileSound, RefusesWhatTheReadersRejectOrWhoseTablesLeaveTheFile) {
  std::string dir = ScratchDir("fontfile_sound");
  std::string long_table = BuildSfnt(PlainSfnt());
  SetU32BE(long_table, DirectoryOffsetField(0) + 4, 0xFFFFFFFFu);  // the first table's length
  struct Case {
    std::string path;
    int recognized;
    bool mapped;
    bool sound;
  } cases[] = {
      {dir + "/missing.ttf", 0, false, true},
      {WriteFile(dir, "empty.ttf", ""), 0, false, true},
      {WriteFile(dir, "text.ttf", "not a font at all"), 0, true, false},
      {WriteFile(dir, "long-table.ttf", long_table), 1, true, false},
      {WriteFile(dir, "plain.ttf", BuildSfnt(PlainSfnt())), 1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsFontFileSound(c.path.c_str()), c.sound);
    EXPECT_EQ(IsFontFileSoundUtf8(c.path.c_str()), c.sound);
    FontInfo expected;
    EXPECT_EQ(ReadFontFile(c.path.c_str(), expected), c.recognized);
    for (bool utf8 : {false, true}) {
      FontInfo info;
      info.names[kNameSampleText] = "left over";
      const FontFileCheck check = utf8 ? ReadAndCheckFontFileUtf8(c.path.c_str(), info)
                                       : ReadAndCheckFontFile(c.path.c_str(), info);
      EXPECT_EQ(check.recognized, c.recognized);
      EXPECT_EQ(check.mapped, c.mapped);
      EXPECT_EQ(check.sound, c.sound);
      EXPECT_EQ(info.type_name, expected.type_name);
      EXPECT_EQ(info.names, expected.names);
    }
  }
}

// A collection whose first face is broken still opens for the viewer, at its
// first face that reads, and is handed to the system; asked for one face, the
// readers answer for that face alone.
TEST(ReadAndCheckFontFile, ABrokenFaceGivesWayToTheFirstThatReads) {
  std::string dir = ScratchDir("fontfile_faces");
  NameTable mac_only;
  mac_only.records.push_back({4, "Mac", 1, 0, 0});
  const SfntFont broken = SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(mac_only));
  auto named = [](const char16_t* family) {
    return SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(NameTable{}.Add(1, family)));
  };
  const std::string path =
      WriteFile(dir, "faces.ttc", BuildCollection({broken, named(u"Second"), broken, named(u"Fourth")}));
  const struct {
    uint32_t face;
    FaceFallback fallback;
    int recognized;
    uint32_t read;
    const char* name;
  } cases[] = {
      {0, FaceFallback::kNone, 0, 0, nullptr},
      {0, FaceFallback::kFirstReadable, 1, 1, "Second"},
      {2, FaceFallback::kFirstReadable, 1, 1, "Second"},
      {3, FaceFallback::kFirstReadable, 1, 3, "Fourth"},
      {9, FaceFallback::kFirstReadable, 1, 1, "Second"},  // a face the file lacks
      {9, FaceFallback::kNone, 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    FontInfo info;
    const FontFileCheck check = ReadAndCheckFontFileUtf8(path.c_str(), info, c.face, c.fallback);
    EXPECT_EQ(check.recognized, c.recognized) << c.face;
    EXPECT_EQ(check.sound, c.recognized == 1) << c.face;
    EXPECT_EQ(info.face, c.read) << c.face;
    EXPECT_EQ(info.names[kNameFamily], c.name ? FontText(c.name) : std::nullopt) << c.face;
  }
  EXPECT_TRUE(IsFontFileSound(path.c_str()));
  EXPECT_FALSE(IsFontFileSound(WriteFile(dir, "none.ttc", BuildCollection({broken, broken})).c_str()));
  // A single font has its face 0 alone, whichever face was asked for.
  const std::string single = WriteFile(dir, "single.ttf", BuildSfnt(named(u"Single")));
  FontInfo info;
  EXPECT_EQ(ReadAndCheckFontFile(single.c_str(), info, 2, FaceFallback::kFirstReadable).recognized, 1);
  EXPECT_EQ(info.face, 0u);
  EXPECT_EQ(info.names[kNameFamily], "Single");
}

TEST(ReadFontFile, FilesThatCannotBeReadLeaveAClearedRecord) {
  std::string dir = ScratchDir("fontfile_missing");
  FontInfo info;
  info.type_name = "stale";
  info.weight = 7;
  EXPECT_EQ(ReadFontFile((dir + "/missing.ttf").c_str(), info), 0);
  EXPECT_FALSE(info.type_name);
  EXPECT_EQ(info.weight, 0u);
  EXPECT_EQ(ReadFontFile(WriteFile(dir, "empty.ttf", "").c_str(), info), 0);
  EXPECT_EQ(ReadFontFile(WriteFile(dir, "short.ttf", std::string("\0\1\0\0\0\1\0\0\0\0\0", 11)).c_str(),
                         info),
            0);
  EXPECT_EQ(ReadFontBytes(nullptr, 100, info), 0);
}

TEST(ReadFontBytes, ReaderOrderAndWhatFailedReadersLeave) {
  // An sfnt whose name table has no Windows record passes the PFM version test
  // (00 01 read little-endian); the PFM reader then follows the face offset.
  NameTable mac_only;
  mac_only.records.push_back({1, "Mac", 1, 0, 0});
  std::string sfnt = BuildSfnt(SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(mac_only)));
  sfnt.resize(200, '\0');
  FontInfo info;
  SetU32LE(sfnt, kFontHeaderFaceOffsetField, 150);
  EXPECT_EQ(ReadBytes(sfnt, info), 1);
  EXPECT_EQ(info.type_name, "PostScript Type 1 (Raster)");
  EXPECT_EQ(info.width_name, "Normal");  // left by the sfnt reader

  SetU32LE(sfnt, kFontHeaderFaceOffsetField, 5000);
  EXPECT_EQ(ReadBytes(sfnt, info), 0);
  EXPECT_EQ(info.width_name, "Normal");

  // A collection goes to the collection reader, its first font shown.
  EXPECT_EQ(ReadBytes(BuildCollection({PlainSfnt()}), info), 1);
  EXPECT_EQ(info.names[kNameFamily], "Demo");
}

TEST(MakeFontResourcePath, PairsPfmWithPfb) {
  struct Case {
    const char* path;
    const char* result;
  } cases[] = {
      {"a.pfm", "a.pfm|a.pfb"},
      {"a.PfM", "a.PfM|a.pfb"},
      {"Fonts\\Demo.PFM", "Fonts\\Demo.PFM|Fonts\\Demo.pfb"},
      {"my font.pfm", "my font.pfm|my font.pfb"},
      {"C:\\x.y\\z.pfm", "C:\\x.y\\z.pfm|C:\\x.y\\z.pfb"},
      {"a.pfb", "a.pfb"},
      {"a.fon", "a.fon"},
      {"Fonts\\Demo", "Fonts\\Demo"},
      {"x.pfm y", "x.pfm y"},
      {"dir.pfm\\file", "dir.pfm\\file"},
      {"a.pfmx", "a.pfmx"},
      {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[600] = {};
    std::strcpy(buffer, c.path);
    MakeFontResourcePath(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, c.result) << c.path;
  }
}

TEST(MakeFontResourcePath, LeavesPathsThatWouldNotFit) {
  char exact[12] = "a.pfm";  // needs 2 * 5 + 2
  MakeFontResourcePath(exact, sizeof exact);
  EXPECT_STREQ(exact, "a.pfm|a.pfb");
  char tight[11] = "a.pfm";
  MakeFontResourcePath(tight, sizeof tight);
  EXPECT_STREQ(tight, "a.pfm");

  std::string longest(255, 'x');
  longest += ".pfm";  // 259 characters
  char buffer[1024] = {};
  std::strcpy(buffer, longest.c_str());
  MakeFontResourcePath(buffer, sizeof buffer);
  EXPECT_EQ(std::strlen(buffer), 2u * 259 + 1);
  std::string too_long = "y" + longest;
  std::strcpy(buffer, too_long.c_str());
  MakeFontResourcePath(buffer, sizeof buffer);
  EXPECT_EQ(buffer, too_long);
}

}  // namespace
