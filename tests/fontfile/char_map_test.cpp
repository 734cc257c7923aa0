// The character map reader on tables built byte by byte: each format, the
// order of preference between subtables, and tables that lie.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/char_map.h"
#include "fontfile/font_info.h"

namespace {

CharCoverage Read(const std::string& cmap) {
  CharCoverage coverage;
  ReadCharacterMap(ViewOf(cmap), coverage);
  return coverage;
}

std::vector<std::pair<uint32_t, uint32_t>> Ranges(const CharCoverage& coverage) {
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (const CodeRange& r : coverage.ranges) out.emplace_back(r.first, r.last);
  return out;
}

using RangeList = std::vector<std::pair<uint32_t, uint32_t>>;

const CmapSegment kEndSegment{0xFFFF, 0xFFFF, 1, {}};

TEST(CharMap, Format4DeltasGlyphArraysAndTheLastSegment) {
  // 0x20-0x7E by delta; 0x41 would land on glyph 0 with delta 0xFFBF.
  // 0x100-0x104 through the glyph array, two entries 0 and one that the delta
  // turns into 0.
  const std::string cmap = BuildCmap({{3, 1,
      CmapFormat4({{0x20, 0x7E, 0xFFBF, {}},
                   {0x100, 0x104, 2, {5, 0, 7, 0xFFFE, 0}},
                   kEndSegment})}});
  const CharCoverage c = Read(cmap);
  EXPECT_EQ(c.kind, CoverageKind::kUnicode);
  EXPECT_EQ(Ranges(c), (RangeList{{0x20, 0x40}, {0x42, 0x7E}, {0x100, 0x100}, {0x102, 0x102}}));
  EXPECT_EQ(c.count, 0x21u + 0x3Du + 2u);
  EXPECT_TRUE(HasCodePoint(c, 0x20));
  EXPECT_FALSE(HasCodePoint(c, 0x41));
  EXPECT_FALSE(HasCodePoint(c, 0xFFFF));
  EXPECT_FALSE(HasCodePoint(c, 0x1F));
  EXPECT_EQ(CountCodePoints(c, 0x30, 0x4F), 0x1Fu);
  EXPECT_EQ(CountCodePoints(c, 0x7F, 0xFF), 0u);
  EXPECT_EQ(CountCodePoints(c, 0, kLastCodePoint), c.count);
}

TEST(CharMap, FormatsZeroSixTwelveAndThirteen) {
  EXPECT_EQ(Ranges(Read(BuildCmap({{1, 0, CmapFormat0({0, 3, 3, 0, 9})}}))), RangeList{});
  EXPECT_EQ(Ranges(Read(BuildCmap({{0, 3, CmapFormat0({0, 3, 3, 0, 9})}}))),
            (RangeList{{1, 2}, {4, 4}}));
  EXPECT_EQ(Ranges(Read(BuildCmap({{3, 1, CmapFormat6(0x390, {1, 0, 2, 3})}}))),
            (RangeList{{0x390, 0x390}, {0x392, 0x393}}));
  // Format 12: a group starting at glyph 0 loses its first code; groups touching
  // each other join; codes past U+10FFFF are dropped.
  const CharCoverage twelve = Read(BuildCmap({{3, 10, CmapGroups(12, {{0x41, 0x43, 0},
                                                                      {0x1F600, 0x1F64F, 10},
                                                                      {0x1F650, 0x1F651, 90},
                                                                      {0x10FFFE, 0x110005, 7}})}}));
  EXPECT_EQ(Ranges(twelve),
            (RangeList{{0x42, 0x43}, {0x1F600, 0x1F651}, {0x10FFFE, 0x10FFFF}}));
  EXPECT_EQ(twelve.count, 2u + 0x52u + 2u);
  // Codes beyond U+FFFF keep their glyphs for drawing by index.
  EXPECT_EQ(GlyphOf(twelve, 0x1F600), 10u);
  EXPECT_EQ(GlyphOf(twelve, 0x1F64F), 10u + 0x4F);
  EXPECT_EQ(GlyphOf(twelve, 0x1F650), 90u);
  EXPECT_EQ(GlyphOf(twelve, 0x10FFFF), 8u);
  EXPECT_EQ(GlyphOf(twelve, 0x1F652), 0u);
  EXPECT_EQ(GlyphOf(twelve, 0x42), 0u);  // the first plane is drawn by its code
  // Format 13: every code of a group maps to one glyph; glyph 0 means none.
  const CharCoverage thirteen =
      Read(BuildCmap({{0, 6, CmapGroups(13, {{0x20, 0x2F, 0}, {0x30, 0x39, 4}, {0xFFF0, 0x10005, 6}})}}));
  EXPECT_EQ(Ranges(thirteen), (RangeList{{0x30, 0x39}, {0xFFF0, 0x10005}}));
  EXPECT_EQ(GlyphOf(thirteen, 0x10000), 6u);
  EXPECT_EQ(GlyphOf(thirteen, 0x10005), 6u);
}

TEST(CharMap, SubtablesArePreferredInTheFixedOrder) {
  const std::string bmp = CmapFormat4({{0x41, 0x41, 1, {}}, kEndSegment});
  const std::string full = CmapGroups(12, {{0x41, 0x41, 1}, {0x1D400, 0x1D401, 2}});
  // (3,10) wins over (3,1) wherever it lies in the records.
  EXPECT_EQ(Read(BuildCmap({{3, 1, bmp}, {3, 10, full}})).count, 3u);
  // (0,3) comes after (3,1).
  EXPECT_EQ(Read(BuildCmap({{0, 3, full}, {3, 1, bmp}})).count, 1u);
  // A refused subtable gives way to the next one in the order.
  std::string broken = bmp;
  SetU16BE(broken, 6, 0x7FFE);  // more segments than the table holds
  EXPECT_EQ(Read(BuildCmap({{3, 1, broken}, {0, 3, full}})).count, 3u);
  // The symbol map is taken only when nothing else reads, and says so.
  const CharCoverage symbol =
      Read(BuildCmap({{3, 0, CmapFormat4({{0xF020, 0xF0FF, 1, {}}, kEndSegment})}, {1, 0, bmp}}));
  EXPECT_EQ(symbol.kind, CoverageKind::kSymbol);
  EXPECT_EQ(Ranges(symbol), (RangeList{{0xF020, 0xF0FF}}));
  EXPECT_EQ(Read(BuildCmap({{3, 0, broken}})).kind, CoverageKind::kUnknown);
}

TEST(CharMap, HostileTablesAreRefusedWithoutReadingOutside) {
  const std::vector<std::string> refused = {
      // segments overlapping, unsorted, and one that ends before it starts
      CmapFormat4({{0x20, 0x50, 1, {}}, {0x40, 0x60, 1, {}}, kEndSegment}),
      CmapFormat4({{0x100, 0x110, 1, {}}, {0x20, 0x30, 1, {}}, kEndSegment}),
      CmapFormat4({{0x30, 0x20, 1, {}}, kEndSegment}),
      // groups overlapping, unsorted, ending before they start
      CmapGroups(12, {{0x20, 0x50, 1}, {0x50, 0x60, 1}}),
      CmapGroups(12, {{0x100, 0x110, 1}, {0x20, 0x30, 1}}),
      CmapGroups(13, {{0x30, 0x20, 1}}),
      // an unknown format
      std::string("\x00\x02\x00\x00", 4),
  };
  for (size_t i = 0; i < refused.size(); ++i)
    EXPECT_EQ(Read(BuildCmap({{3, 1, refused[i]}})).kind, CoverageKind::kUnknown) << i;

  // Counts larger than the table; a glyph run leaving it; a record pointing past it.
  std::string groups = CmapGroups(12, {{0x20, 0x7E, 1}});
  SetU32BE(groups, 12, 0x15555556);  // 12 * count wraps 32 bits
  std::string array = CmapFormat4({{0x20, 0x21, 0, {3, 4}}, kEndSegment});
  SetU16BE(array, 16 + 6 * 2, 0xFFF0);  // first segment's range offset
  std::string past_end = BuildCmap({{3, 1, CmapFormat6(0x20, {1, 2})}});
  SetU32BE(past_end, 8, 0xFFFFFFF0);
  std::string six = CmapFormat6(0x20, {1, 2});
  SetU16BE(six, 8, 0xFFFF);
  std::string records = BuildCmap({{3, 1, six}});
  SetU16BE(records, 2, 0xFFFF);
  for (const std::string& cmap : {BuildCmap({{3, 10, groups}}), BuildCmap({{3, 1, array}}),
                                  past_end, BuildCmap({{3, 1, six}}), records}) {
    // Copied to a buffer of exactly its size, so a read past it shows under ASan.
    const std::vector<uint8_t> bytes(cmap.begin(), cmap.end());
    CharCoverage coverage;
    EXPECT_FALSE(ReadCharacterMap(ByteView{bytes.data(), uint32_t(bytes.size())}, coverage));
    EXPECT_EQ(coverage.kind, CoverageKind::kUnknown);
    // Every prefix of a lying table is refused too, never read past.
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + cut);
      ReadCharacterMap(ByteView{prefix.data(), uint32_t(prefix.size())}, coverage);
    }
  }
}

TEST(CharMap, FontFilesCarryTheirCoverage) {
  SfntFont font = PlainSfnt();
  font.Add("cmap", BuildCmap({{3, 1, CmapFormat4({{0x41, 0x5A, 1, {}}, kEndSegment})}}));
  FontInfo info;
  const std::string sfnt = BuildSfnt(font);
  ASSERT_EQ(ReadFontBytes(reinterpret_cast<const uint8_t*>(sfnt.data()), uint32_t(sfnt.size()), info), 1);
  EXPECT_EQ(Ranges(info.coverage), (RangeList{{0x41, 0x5A}}));
  // A collection's first font.
  const std::string ttc = BuildCollection({font});
  ASSERT_EQ(ReadFontBytes(reinterpret_cast<const uint8_t*>(ttc.data()), uint32_t(ttc.size()), info), 1);
  EXPECT_EQ(info.coverage.count, 26u);
  // A cmap record whose length runs past the file is cut at the file's end.
  std::string long_cmap = sfnt;
  SetU32BE(long_cmap, DirectoryOffsetField(2) + 4, 0x7FFFFFFF);
  ASSERT_EQ(ReadFontBytes(reinterpret_cast<const uint8_t*>(long_cmap.data()), uint32_t(long_cmap.size()), info), 1);
  EXPECT_EQ(info.coverage.count, 26u);
  // Without a cmap nothing is known, and the font still reads.
  const std::string plain = BuildSfnt(PlainSfnt());
  ASSERT_EQ(ReadFontBytes(reinterpret_cast<const uint8_t*>(plain.data()), uint32_t(plain.size()), info), 1);
  EXPECT_EQ(info.coverage.kind, CoverageKind::kUnknown);

  // A bitmap font's header: the bytes 0x80-0x82 of the ANSI character set.
  FonFile fon;
  fon.fonts[0].first_char = 0x80;
  fon.fonts[0].last_char = 0x82;
  const std::string fon_bytes = BuildFon(fon);
  ASSERT_EQ(ReadFontBytes(reinterpret_cast<const uint8_t*>(fon_bytes.data()), uint32_t(fon_bytes.size()), info), 1);
  EXPECT_EQ(info.coverage.kind, CoverageKind::kBytes);
  EXPECT_EQ(Ranges(info.coverage), (RangeList{{0x81, 0x81}, {0x201A, 0x201A}, {0x20AC, 0x20AC}}));
  // A range that ends before it begins says nothing.
  FontHeader backwards;
  backwards.first_char = 0x50;
  backwards.last_char = 0x4F;
  const std::string pfm = BuildPfm(backwards);
  ASSERT_EQ(ReadFontBytes(reinterpret_cast<const uint8_t*>(pfm.data()), uint32_t(pfm.size()), info), 1);
  EXPECT_EQ(info.coverage.kind, CoverageKind::kUnknown);
}

TEST(CharMap, CellsBelow256FollowHowTheyAreDrawn) {
  CharCoverage unicode;
  unicode.kind = CoverageKind::kUnicode;
  unicode.ranges = {{0x41, 0x41}, {0x20AC, 0x20AC}};
  EXPECT_TRUE(CellPresent(unicode, 0x80, 0x20AC));   // byte 0x80 is the euro sign in 1252
  EXPECT_FALSE(CellPresent(unicode, 0x80, 0x0402));  // ... and a Cyrillic letter in 1251
  EXPECT_TRUE(CellPresent(unicode, 0x20AC, 0));
  EXPECT_FALSE(CellPresent(unicode, 0x41, 0));       // a byte without a character

  CharCoverage symbol = unicode;
  symbol.kind = CoverageKind::kSymbol;
  symbol.ranges = {{0xF041, 0xF041}};
  EXPECT_TRUE(CellPresent(symbol, 0x41, 0x41));
  EXPECT_FALSE(CellPresent(symbol, 0x42, 0x42));
  EXPECT_TRUE(CellPresent(symbol, 0xF041, 0));

  CharCoverage bytes;
  bytes.kind = CoverageKind::kBytes;
  bytes.first_byte = 0x20;
  bytes.last_byte = 0x7F;
  bytes.ranges = {{0x20, 0x7F}};
  EXPECT_TRUE(CellPresent(bytes, 0x20, 0));
  EXPECT_FALSE(CellPresent(bytes, 0x80, 0x20AC));
  EXPECT_TRUE(CellPresent(CharCoverage{}, 0x1234, 0));  // unknown: every cell

  // Counting a block counts its cells the same way.
  uint32_t cp1251[256] = {};
  cp1251[0x80] = 0x0402;
  EXPECT_EQ(CountPresentCells(unicode, 0x00, 0xFF, nullptr), 1u);        // only 'A'
  EXPECT_EQ(CountPresentCells(unicode, 0x00, 0xFF, cp1251), 0u);          // a table without 'A'
  EXPECT_EQ(CountPresentCells(unicode, 0x41, 0x20AC, nullptr), 2u);
  EXPECT_EQ(CountPresentCells(bytes, 0x00, 0xFF, nullptr), 0x60u);
  EXPECT_EQ(CountPresentCells(CharCoverage{}, 0x100, 0x17F, nullptr), 0x80u);
}

}  // namespace
