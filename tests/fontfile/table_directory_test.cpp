#include <gtest/gtest.h>

#include <string>

#include "fontfile/char_map.h"
#include "fontfile/face_tables.h"
#include "fontfile/opened_font.h"
#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"
#include "font_builder.h"

namespace {

bool Inside(const std::string& bytes) { return SfntTablesInsideFile(ViewOf(bytes)); }

TEST(TableDirectory, EveryRecordMustLieInsideTheFile) {
  std::string font = BuildSfnt(PlainSfnt());
  EXPECT_TRUE(Inside(font));
  const size_t last = PlainSfnt().tables.size() - 1;

  // A table ending exactly at the end of the file is inside; one byte more is not.
  std::string edge = font;
  const uint32_t offset = static_cast<uint32_t>(font.size()) - 4;
  SetU32BE(edge, DirectoryOffsetField(last), offset);
  SetU32BE(edge, DirectoryOffsetField(last) + 4, 4);
  EXPECT_TRUE(Inside(edge));
  SetU32BE(edge, DirectoryOffsetField(last) + 4, 5);
  EXPECT_FALSE(Inside(edge));

  for (uint32_t bad : {0xFFFFFFFFu, 0x7FFFFFFFu, static_cast<uint32_t>(font.size()) + 1}) {
    std::string broken = font;
    SetU32BE(broken, DirectoryOffsetField(0), bad);
    EXPECT_FALSE(Inside(broken)) << std::hex << bad;
  }
  // A length that wraps the offset round 32 bits.
  std::string wraps = font;
  SetU32BE(wraps, DirectoryOffsetField(0) + 4, 0xFFFFFFF0u);
  EXPECT_FALSE(Inside(wraps));
  // A table laid over the directory that leads to it; an empty one there is harmless.
  std::string over = font;
  SetU32BE(over, DirectoryOffsetField(0), 0);
  EXPECT_FALSE(Inside(over));
  SetU32BE(over, DirectoryOffsetField(0), 12 + 16 * static_cast<uint32_t>(last));
  EXPECT_FALSE(Inside(over));
  SetU32BE(over, DirectoryOffsetField(0) + 4, 0);
  EXPECT_TRUE(Inside(over));
  // A directory cut off by the end of the file.
  EXPECT_FALSE(Inside(font.substr(0, 12 + 16 * last + 4)));
}

TEST(TableDirectory, EveryFontOfACollectionIsChecked) {
  SfntFont good = PlainSfnt();
  std::string ttc = BuildCollection({good, good, good});
  EXPECT_TRUE(Inside(ttc));
  // The third font's first table points outside: ttcf header, count, 3 offsets.
  uint32_t third = 0;
  ASSERT_TRUE(ReadU32BE(ViewOf(ttc), 12, 8, third));
  std::string broken = ttc;
  SetU32BE(broken, third + DirectoryOffsetField(0), 0xFFFFFFFFu);
  EXPECT_FALSE(Inside(broken));

  // More fonts than the file has offsets for, or a font placed past the end.
  std::string many = ttc;
  SetU32BE(many, 8, 0xFFFFFFFFu);
  EXPECT_FALSE(Inside(many));
  std::string on_header = ttc;
  SetU32BE(on_header, third + DirectoryOffsetField(0), 8);
  EXPECT_FALSE(Inside(on_header));
  std::string past = ttc;
  SetU32BE(past, 12, static_cast<uint32_t>(ttc.size()));
  EXPECT_FALSE(Inside(past));
}

TEST(TableDirectory, ClaimsBeyondAnyRealFontAreRefused) {
  // 65535 records per font, all inside. A collection whose offsets all name the
  // same directory has it checked once; one of 17 such directories is refused,
  // the total past what fonts carry.
  std::string font;
  PutU32BE(font, 0x00010000);
  PutU16BE(font, 0xFFFF);
  font.resize(12 + 16 * 0xFFFF, '\0');  // empty records: offset 0, length 0
  auto collection = [&font](uint32_t faces, uint32_t fonts) {
    std::string ttc = "ttcf";
    PutU32BE(ttc, 0x00010000);
    PutU32BE(ttc, faces);
    const uint32_t start = 12 + 4 * faces;
    for (uint32_t i = 0; i < faces; ++i)
      PutU32BE(ttc, start + static_cast<uint32_t>(font.size()) * (i % fonts));
    for (uint32_t i = 0; i < fonts; ++i) ttc += font;
    return ttc;
  };
  EXPECT_TRUE(Inside(font));
  EXPECT_TRUE(Inside(collection(64, 1)));
  EXPECT_FALSE(Inside(collection(17, 17)));
}

// The names, the character map, the tables of what a font is made of and the
// pre-flight check take a font by the same rules: its version, a directory wholly inside the file, a collection
// count the file holds offsets for.
TEST(TableDirectory, EveryWalkKeepsTheSameRules) {
  SfntFont font = PlainSfnt();
  font.Add("cmap", BuildCmap({{3, 1, CmapFormat4({{0x41, 0x5A, 1, {}}, {0xFFFF, 0xFFFF, 1, {}}})}}));
  const std::string plain = BuildSfnt(font);
  auto with_version = [&](const char* tag) {
    std::string bytes = plain;
    bytes.replace(0, 4, tag, 4);
    return bytes;
  };
  std::string long_directory = plain;  // the tables read come first; the rest runs past the end
  SetU16BE(long_directory, 4, 0xFFFF);
  const struct {
    const char* name;
    std::string bytes;
    bool font;
  } cases[] = {
      {"TrueType", plain, true},
      {"OTTO", with_version("OTTO"), true},
      {"true", with_version("true"), false},
      {"typ1", with_version("typ1"), false},
      {"directory past the end", long_directory, false},
  };
  for (const auto& c : cases) {
    const ByteView view = ViewOf(c.bytes);
    FontInfo info;
    CharCoverage coverage;
    SfntDirectory directory;
    EXPECT_EQ(ReadSfnt(view, 0, info), c.font ? 1 : 0) << c.name;
    EXPECT_EQ(ReadSfntCharacterMap(view, 0, coverage), c.font) << c.name;
    EXPECT_EQ(OpenSfntFont(view, 0, directory), c.font) << c.name;
    OpenedFont opened;
    OpenFontView(view, opened);
    EXPECT_EQ(FaceOf(opened, 0) && FontTable(opened, 0, "cmap").present(), c.font) << c.name;
    // A font no reader takes is never handed over; the check has nothing to say.
    if (c.font) {
      EXPECT_TRUE(SfntTablesInsideFile(view)) << c.name;
    }
  }
  EXPECT_FALSE(SfntTablesInsideFile(ViewOf(long_directory)));

  // A collection: a count the file cannot hold offsets for is refused by all,
  // one it can is read by all.
  std::string ttc = BuildCollection({font, font});
  const uint32_t offsets_held = static_cast<uint32_t>(ttc.size() - 12) / 4;
  for (uint32_t count : {offsets_held + 1, 0xFFFFFFFFu, 2u}) {
    SetU32BE(ttc, 8, count);
    const bool held = count <= offsets_held;
    FontInfo info;
    EXPECT_EQ(CollectionFaceCount(ViewOf(ttc)), held ? count : 0u) << count;
    EXPECT_EQ(ReadCollection(ViewOf(ttc), info), held ? 1 : 0) << count;
    OpenedFont opened;
    OpenFontView(ViewOf(ttc), opened);
    EXPECT_EQ(FaceOf(opened, 1) != nullptr, held) << count;
    EXPECT_EQ(SfntTablesInsideFile(ViewOf(ttc)), held) << count;
  }
  // A face of another version is no font for the readers, yet the system may
  // read its tables: the check walks its directory all the same.
  uint32_t second = 0;
  ASSERT_TRUE(ReadU32BE(ViewOf(ttc), 16, 0, second));
  ttc.replace(second, 4, "true");
  FontInfo info;
  EXPECT_EQ(ReadCollection(ViewOf(ttc), info, 1), 0);
  EXPECT_TRUE(SfntTablesInsideFile(ViewOf(ttc)));
  SetU32BE(ttc, second + DirectoryOffsetField(0), 0xFFFFFFF0u);
  EXPECT_FALSE(SfntTablesInsideFile(ViewOf(ttc)));
}

TEST(TableDirectory, OtherFormatsPass) {
  EXPECT_TRUE(Inside("MZ and the rest of a bitmap font"));
  EXPECT_TRUE(Inside(""));
}

}  // namespace
