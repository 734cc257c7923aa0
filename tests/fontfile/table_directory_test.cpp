#include <gtest/gtest.h>

#include <string>

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
  // 65535 records per font, all inside, in a collection whose offsets all name
  // the same directory: refused once the total passes what fonts carry.
  std::string font;
  PutU32BE(font, 0x00010000);
  PutU16BE(font, 0xFFFF);
  font.resize(12 + 16 * 0xFFFF, '\0');  // empty records: offset 0, length 0
  std::string ttc = "ttcf";
  PutU32BE(ttc, 0x00010000);
  PutU32BE(ttc, 64);
  const uint32_t start = 12 + 4 * 64;
  for (int i = 0; i < 64; ++i) PutU32BE(ttc, start);
  ttc += font;
  EXPECT_TRUE(Inside(font));
  EXPECT_FALSE(Inside(ttc));
}

TEST(TableDirectory, OtherFormatsPass) {
  EXPECT_TRUE(Inside("MZ and the rest of a bitmap font"));
  EXPECT_TRUE(Inside(""));
}

}  // namespace
