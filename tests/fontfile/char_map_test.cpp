// The character map reader on tables built byte by byte: each format, the
// order of preference between subtables, and tables that lie.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/char_map.h"
#include "fontfile/font_info.h"
#include "fontfile/table_directory.h"

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
  // 0x20-0x7E by delta; 0x41 would land on glyph 0 with delta 0xFFBF, and 0x40
  // on 0xFFFF, which no font holds.
  // 0x100-0x104 through the glyph array, two entries 0 and one that the delta
  // turns into 0.
  const std::string cmap = BuildCmap({{3, 1,
      CmapFormat4({{0x20, 0x7E, 0xFFBF, {}},
                   {0x100, 0x104, 2, {5, 0, 7, 0xFFFE, 0}},
                   kEndSegment})}});
  const CharCoverage c = Read(cmap);
  EXPECT_EQ(c.kind, CoverageKind::kUnicode);
  EXPECT_EQ(Ranges(c), (RangeList{{0x20, 0x3F}, {0x42, 0x7E}, {0x100, 0x100}, {0x102, 0x102}}));
  EXPECT_EQ(c.count, 0x20u + 0x3Du + 2u);
  EXPECT_TRUE(HasCodePoint(c, 0x20));
  EXPECT_FALSE(HasCodePoint(c, 0x41));
  EXPECT_FALSE(HasCodePoint(c, 0xFFFF));
  EXPECT_FALSE(HasCodePoint(c, 0x1F));
  EXPECT_EQ(CountCodePoints(c, 0x30, 0x4F), 0x1Eu);
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
  CharCoverage counted;
  ReadCharacterMap(ViewOf(BuildCmap({{3, 1, broken}, {0, 3, full}})), counted, kMaxGlyphCount,
                   nullptr, MapDetail::kCounts);
  EXPECT_EQ(counted.count, 3u);
  EXPECT_EQ(counted.bmp_count, 1u);
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

// A cmap whose first `records` records, all (3,10), name format 12 subtables
// that a reader refuses only at their last group, which goes back, then a (3,1)
// record for `fallback` when it is not empty. With `ladder` false every record names one
// subtable of `groups` groups; with it true each names its own, 24 bytes after
// the one before, every one reading the headers after it as groups and then a
// common tail of `groups` groups.
std::string RefusedSubtables(uint32_t records, uint32_t groups, bool ladder,
                             const std::string& fallback) {
  const uint32_t count = records + (fallback.empty() ? 0 : 1);
  std::string cmap;
  PutU16BE(cmap, 0);
  PutU16BE(cmap, static_cast<uint16_t>(count));
  const uint32_t first = 4 + 8 * count;
  const uint32_t headers = ladder ? records : 1;
  // Every header's subtable runs to the tail's end: its own groups begin 16
  // bytes in, on the grid of 12 that the 24-byte steps keep.
  const uint32_t end = first + 24 * headers + 4 + 12 * (groups + 1);
  for (uint32_t i = 0; i < records; ++i) {
    PutU16BE(cmap, 3);
    PutU16BE(cmap, 10);
    PutU32BE(cmap, first + (ladder ? 24 * i : 0));
  }
  if (!fallback.empty()) {
    PutU16BE(cmap, 3);
    PutU16BE(cmap, 1);
    PutU32BE(cmap, end);
  }
  for (uint32_t j = 0; j < headers; ++j) {
    // Read by the headers before it as the groups (2j, 2j, count) and, with the
    // next header's first word as glyph, (2j + 1, 2j + 1).
    PutU16BE(cmap, 12);
    PutU16BE(cmap, static_cast<uint16_t>(j));
    PutU32BE(cmap, 2 * j);
    PutU32BE(cmap, 2 * j);
    PutU32BE(cmap, (end - (first + 24 * j) - 16) / 12);
    PutU32BE(cmap, 2 * j + 1);
    PutU32BE(cmap, 2 * j + 1);
  }
  PutU32BE(cmap, 1);  // the glyph of the last header's second group
  for (uint32_t g = 0; g < groups; ++g) {
    PutU32BE(cmap, 2 * headers + g);
    PutU32BE(cmap, 2 * headers + g);
    PutU32BE(cmap, 1);
  }
  for (int i = 0; i < 3; ++i) PutU32BE(cmap, 0);
  return cmap + fallback;
}

// Each subtable is read once however many records name it, and only four of
// an encoding: read once per record, the first kept orvane-info busy for
// minutes on a real font, and the second was as slow by distinct offsets.
TEST(CharMap, RecordsNamingRefusedSubtablesCostOneReadOfEach) {
  const std::string good = CmapFormat4({{0x41, 0x5A, 1, {}}, kEndSegment});
  const struct {
    const char* name;
    uint32_t records;
    uint32_t groups;
    bool ladder;
    uint32_t subtables_read;
  } cases[] = {
      {"records to one subtable", 65534, 5000, false, 1},
      {"records to overlapping subtables", 2000, 5000, true, 4},
  };
  for (const auto& c : cases) {
    for (bool fallback : {false, true}) {
      const std::string cmap = RefusedSubtables(c.records, c.groups, c.ladder, fallback ? good : "");
      CharCoverage coverage;
      CmapReadWork work;
      EXPECT_EQ(ReadCharacterMap(ViewOf(cmap), coverage, kMaxGlyphCount, &work), fallback) << c.name;
      EXPECT_EQ(work.subtables, c.subtables_read + (fallback ? 1 : 0)) << c.name;
      EXPECT_LE(work.entries, uint64_t{work.subtables} * (cmap.size() + 65536)) << c.name;
      // Each was refused at its end, and a sound subtable of a later encoding is still found.
      EXPECT_GT(work.entries, uint64_t{c.subtables_read} * c.groups) << c.name;
      EXPECT_EQ(Ranges(coverage), (fallback ? RangeList{{0x41, 0x5A}} : RangeList{})) << c.name;
    }
  }
}

// A glyph id at or past maxp's count names no glyph: the system draws nothing.
TEST(CharMap, GlyphIdsFromTheFontsCountOnAreMissing) {
  std::string array = CmapFormat4({{0x100, 0x104, 2, {5, 0, 7, 8, 0xFFFE}}, kEndSegment});
  const struct {
    const char* name;
    std::string subtable;
    uint32_t glyph_count;
    RangeList ranges;
  } cases[] = {
      // 0x20 shows glyph 1, 0x7E glyph 0x5F.
      {"delta", CmapFormat4({{0x20, 0x7E, 0xFFE1, {}}}), 50, {{0x20, 0x50}}},
      // Glyphs 0xFFF8-0xFFFF, then round to 0 (missing) and 1-0x18.
      {"delta round 16 bits", CmapFormat4({{0x10, 0x30, 0xFFE8, {}}}), 0x10, {{0x19, 0x27}}},
      {"delta round 16 bits, no count", CmapFormat4({{0x10, 0x30, 0xFFE8, {}}}), kMaxGlyphCount,
       {{0x10, 0x16}, {0x19, 0x30}}},
      // A last segment with delta 0 maps U+FFFF to glyph 0xFFFF, which no font holds.
      {"last segment, delta 0", CmapFormat4({{0x41, 0x41, 1, {}}, {0xFFFF, 0xFFFF, 0, {}}}),
       kMaxGlyphCount, {{0x41, 0x41}}},
      {"glyph array", array, 9, {{0x100, 0x100}}},
      {"format 0", CmapFormat0({0, 3, 4, 5}), 5, {{1, 2}}},
      {"format 6", CmapFormat6(0x390, {1, 9, 8, 2}), 9, {{0x390, 0x390}, {0x392, 0x393}}},
      {"format 12", CmapGroups(12, {{0x41, 0x43, 0}, {0x1F600, 0x1F60F, 95}}), 100,
       {{0x42, 0x43}, {0x1F600, 0x1F604}}},
      {"format 13", CmapGroups(13, {{0x41, 0x43, 99}, {0x1F600, 0x1F60F, 100}}), 100,
       {{0x41, 0x43}}},
      {"no glyphs", CmapGroups(12, {{0x41, 0x43, 1}}), 0, {}},
      {"format 13 across U+FFFF", CmapGroups(13, {{0xFFF0, 0x10005, 6}}), 7,
       {{0xFFF0, 0x10005}}},
      // Neighbouring groups join into one range; the counts add up the same.
      {"format 12 neighbours", CmapGroups(12, {{0x41, 0x43, 1}, {0x44, 0x46, 9}, {0xFFFE, 0x10001, 20}}),
       100, {{0x41, 0x46}, {0xFFFE, 0x10001}}},
  };
  for (const auto& c : cases) {
    const std::string cmap = BuildCmap({{3, 10, c.subtable}});
    CharCoverage coverage;
    ReadCharacterMap(ViewOf(cmap), coverage, c.glyph_count);
    EXPECT_EQ(Ranges(coverage), c.ranges) << c.name;
    // Counting alone keeps no ranges and gives the full read's counts.
    CharCoverage counted;
    ReadCharacterMap(ViewOf(cmap), counted, c.glyph_count, nullptr, MapDetail::kCounts);
    EXPECT_EQ(counted.kind, coverage.kind) << c.name;
    EXPECT_EQ(counted.count, coverage.count) << c.name;
    EXPECT_EQ(counted.bmp_count, CountCodePoints(coverage, 0, 0xFFFF)) << c.name;
    EXPECT_EQ(coverage.bmp_count, counted.bmp_count) << c.name;
    EXPECT_TRUE(counted.ranges.empty() && counted.glyph_runs.empty()) << c.name;
  }
  // Beyond U+FFFF a missing code has no glyph to draw by index.
  CharCoverage twelve;
  ReadCharacterMap(ViewOf(BuildCmap({{3, 10, cases[7].subtable}})), twelve, 100);
  EXPECT_EQ(GlyphOf(twelve, 0x1F604), 99u);
  EXPECT_EQ(GlyphOf(twelve, 0x1F605), 0u);
  CharCoverage thirteen;
  ReadCharacterMap(ViewOf(BuildCmap({{3, 10, cases[8].subtable}})), thirteen, 100);
  EXPECT_EQ(GlyphOf(thirteen, 0x1F600), 0u);

  // A font's count comes from its maxp table; without one any 16-bit id but
  // 0xFFFF is a glyph.
  auto font_with = [](const std::string& subtable, int glyphs) {
    SfntFont font = PlainSfnt();
    font.Add("cmap", BuildCmap({{3, 10, subtable}}));
    if (glyphs >= 0) {
      std::string maxp;
      PutU32BE(maxp, 0x00005000);
      PutU16BE(maxp, static_cast<uint16_t>(glyphs));
      font.Add("maxp", maxp);
    }
    const std::string bytes = BuildSfnt(font);
    FontInfo info;
    EXPECT_EQ(ReadFontBytes(ViewOf(bytes).data, ViewOf(bytes).size, info), 1);
    return info.coverage;
  };
  const std::string planes = CmapGroups(12, {{0x41, 0x41, 1}, {0x1F600, 0x1F601, 3}});
  EXPECT_EQ(Ranges(font_with(planes, 4)), (RangeList{{0x41, 0x41}, {0x1F600, 0x1F600}}));
  EXPECT_EQ(GlyphOf(font_with(planes, 4), 0x1F601), 0u);
  EXPECT_EQ(Ranges(font_with(planes, -1)), (RangeList{{0x41, 0x41}, {0x1F600, 0x1F601}}));
  EXPECT_FALSE(HasCodePoint(font_with(CmapFormat4({{0xFFFF, 0xFFFF, 0, {}}}), 500), 0xFFFF));
}

// Many fonts end their format 4 map with a segment for 0xFFFF alone whose range
// offset is 0xFFFF, pointing nowhere: only that segment is passed over.
TEST(CharMap, ASloppyLastSegmentIsPassedOver) {
  auto with_last_range_offset = [](std::vector<CmapSegment> segments, uint16_t value) {
    std::string sub = CmapFormat4(segments);
    const size_t n = segments.size();
    SetU16BE(sub, 16 + 6 * n + 2 * (n - 1), value);
    return BuildCmap({{3, 1, sub}});
  };
  const CmapSegment letters{0x41, 0x5A, 1, {}};
  EXPECT_EQ(Ranges(Read(with_last_range_offset({letters, {0xFFFF, 0xFFFF, 1, {}}}, 0xFFFF))),
            (RangeList{{0x41, 0x5A}}));
  // Anywhere else, or for another last segment, a reference that leaves the
  // table still refuses the subtable.
  EXPECT_EQ(Read(with_last_range_offset({letters, {0xFFF0, 0xFFFF, 1, {}}}, 0xFFFF)).kind,
            CoverageKind::kUnknown);
  std::string first_bad = CmapFormat4({letters, {0xFFFF, 0xFFFF, 1, {}}});
  SetU16BE(first_bad, 16 + 6 * 2, 0xFFFF);
  EXPECT_EQ(Read(BuildCmap({{3, 1, first_bad}})).kind, CoverageKind::kUnknown);
  // A sound last segment with an array is read as before.
  EXPECT_EQ(Ranges(Read(BuildCmap({{3, 1, CmapFormat4({letters, {0xFFFF, 0xFFFF, 0, {7}}})}}))),
            (RangeList{{0x41, 0x5A}, {0xFFFF, 0xFFFF}}));
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

// Faces of a collection that share one cmap table read it once through a cache,
// and each face still gets its own map: the cache tells maps apart by their
// table, the face's glyph count (maxp) and the detail asked for.
TEST(CharMap, ACacheGivesEachFaceTheMapItReadsAlone) {
  auto face = [](const std::string& cmap, uint16_t glyphs) {
    std::string maxp;
    PutU32BE(maxp, 0x00005000);
    PutU16BE(maxp, glyphs);
    return PlainSfnt().Add("cmap", cmap).Add("maxp", maxp);
  };
  const std::string shared =
      BuildCmap({{3, 10, CmapGroups(12, {{0x41, 0x5A, 1}, {0x1F600, 0x1F64F, 30}})}});
  const std::string other = BuildCmap({{3, 1, CmapFormat4({{0x391, 0x3A9, 1, {}}, kEndSegment})}});
  // Faces 1 and 3 are pointed at face 0's cmap below; face 3 has fewer glyphs,
  // face 2 a map of its own.
  std::string ttc =
      BuildCollection({face(shared, 200), face(shared, 200), face(other, 200), face(shared, 40)});
  const ByteView view = ViewOf(ttc);
  constexpr size_t kCmapRecord = 2;  // after PlainSfnt's OS/2 and name
  uint32_t start0 = 0, cmap0 = 0;
  ASSERT_TRUE(CollectionFaceStart(view, 0, start0));
  ASSERT_TRUE(ReadU32BE(view, start0 + DirectoryOffsetField(kCmapRecord), 0, cmap0));
  for (uint32_t sharing : {1u, 3u}) {
    uint32_t start = 0;
    ASSERT_TRUE(CollectionFaceStart(view, sharing, start));
    SetU32BE(ttc, start + DirectoryOffsetField(kCmapRecord), cmap0);
  }

  CharMapCache cache;
  // Faces 0 and 1 read one map: three maps for four faces, then three more counted.
  const size_t kept[] = {3, 4};  // the cache keeps the last four
  for (MapDetail detail : {MapDetail::kFull, MapDetail::kCounts}) {
    for (uint32_t f = 0; f < 4; ++f) {
      FontInfo alone, cached;
      ASSERT_EQ(ReadFontBytes(view.data, view.size, alone, f, {detail, nullptr}), 1);
      ASSERT_EQ(ReadFontBytes(view.data, view.size, cached, f, {detail, &cache}), 1);
      EXPECT_EQ(Ranges(cached.coverage), Ranges(alone.coverage)) << f;
      EXPECT_EQ(cached.coverage.count, alone.coverage.count) << f;
      EXPECT_EQ(cached.coverage.bmp_count, alone.coverage.bmp_count) << f;
      EXPECT_EQ(cached.coverage.detail, detail) << f;
      EXPECT_EQ(GlyphOf(cached.coverage, 0x1F60A), GlyphOf(alone.coverage, 0x1F60A)) << f;
    }
    EXPECT_EQ(cache.entries.size(), kept[detail == MapDetail::kCounts]);
  }
  // Face 3's 40 glyphs end its emoji at glyph 39.
  FontInfo small;
  ASSERT_EQ(ReadFontBytes(view.data, view.size, small, 3, {MapDetail::kFull, &cache}), 1);
  EXPECT_EQ(small.coverage.count, 26u + 10u);
}

TEST(CharMap, CellsBelow256FollowHowTheyAreDrawn) {
  uint32_t cp1252_like[256] = {};
  for (uint32_t byte = 0; byte < 256; ++byte) cp1252_like[byte] = byte;
  CharCoverage unicode;
  unicode.kind = CoverageKind::kUnicode;
  unicode.ranges = {{0x41, 0x41}, {0x20AC, 0x20AC}};
  EXPECT_TRUE(CellPresent(unicode, 0x80, 0x20AC));   // byte 0x80 is the euro sign in 1252
  EXPECT_FALSE(CellPresent(unicode, 0x80, 0x0402));  // ... and a Cyrillic letter in 1251
  EXPECT_TRUE(CellPresent(unicode, 0x20AC, 0));
  EXPECT_FALSE(CellPresent(unicode, 0x41, 0));       // a byte without a character

  // The system finds a symbol font's bytes at U+F0xx and, for old fonts that
  // map the bytes themselves, at the bytes' own codes: either counts for both cells.
  CharCoverage symbol = unicode;
  symbol.kind = CoverageKind::kSymbol;
  for (const std::vector<CodeRange>& ranges : {std::vector<CodeRange>{{0x41, 0x41}, {0xF061, 0xF062}},
                                                std::vector<CodeRange>{{0x61, 0x62}, {0xF041, 0xF041}},
                                                std::vector<CodeRange>{{0x41, 0x41}, {0x61, 0x62},
                                                                       {0xF041, 0xF041}}}) {
    symbol.ranges = ranges;
    EXPECT_TRUE(CellPresent(symbol, 0x41, 0x41));
    EXPECT_TRUE(CellPresent(symbol, 0xF041, 0));
    EXPECT_TRUE(CellPresent(symbol, 0x62, 0));
    EXPECT_TRUE(CellPresent(symbol, 0xF062, 0));
    EXPECT_FALSE(CellPresent(symbol, 0x42, 0x42));
    EXPECT_FALSE(CellPresent(symbol, 0xF042, 0));
    // Counted once whichever forms the map holds: "ANSI", Basic Latin, the
    // Private Use Area, and a span across both.
    EXPECT_EQ(CountPresentCells(symbol, 0x00, 0xFF, cp1252_like), 3u);
    EXPECT_EQ(CountPresentCells(symbol, 0x00, 0x7F, nullptr), 3u);
    EXPECT_EQ(CountPresentCells(symbol, 0xE000, 0xF8FF, nullptr), 3u);
    EXPECT_EQ(CountPresentCells(symbol, 0x60, 0xF041, nullptr), 3u);
  }
  // Other codes of a symbol map count as they are.
  symbol.ranges = {{0x41, 0x41}, {0x2000, 0x2001}, {0xF8FF, 0xF8FF}};
  EXPECT_FALSE(CellPresent(symbol, 0xF141, 0));
  EXPECT_EQ(CountPresentCells(symbol, 0x100, 0xFFFF, nullptr), 4u);

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

namespace {

// Glyph g's codes as "first-last" pieces.
std::vector<std::string> CodesOf(const GlyphCharacters& reversed, uint32_t glyph) {
  std::vector<std::string> out;
  for (const CodeRange& r : CharactersOf(reversed, glyph))
    out.push_back(std::to_string(r.first) + "-" + std::to_string(r.last));
  return out;
}

}  // namespace

// Reversed, the map gives each glyph every code that reaches it, whatever format
// and run it came from, joined into the fewest ranges; glyph 0 and glyphs from
// the count on are reached by nothing.
TEST(CharMap, ReversedEveryGlyphGetsAllItsCodes) {
  using Codes = std::vector<std::string>;
  const uint32_t glyphs = 12;
  struct {
    const char* what;
    std::string cmap;
    std::vector<std::pair<uint32_t, Codes>> expected;
  } cases[] = {
      {"format 4: delta, array, two codes for one glyph",
       BuildCmap({{3, 1, CmapFormat4({{65, 67, 0xFFC0, {}}, {97, 99, 0, {2, 2, 11}}, {100, 100, 0, {40}},
                                      kEndSegment})}}),
       {{1, {"65-65"}}, {2, {"66-66", "97-98"}}, {3, {"67-67"}}, {11, {"99-99"}}, {0, {}}, {4, {}}}},
      {"format 13: one glyph for a range, and the range beyond the count",
       BuildCmap({{0, 6, CmapGroups(13, {{0x20, 0x2F, 5}, {0x30, 0x10FFFF, 12}})}}),
       {{5, {"32-47"}}, {11, {}}}},
      {"format 12: rising glyphs stop at the count; later groups add to glyphs met before",
       BuildCmap({{3, 10, CmapGroups(12, {{0x10000, 0x10010, 8}, {0x10011, 0x10011, 8},
                                          {0x10012, 0x10012, 9}})}}),
       {{8, {"65536-65536", "65553-65553"}}, {9, {"65537-65537", "65554-65554"}}, {11, {"65539-65539"}}}},
      {"format 0 of Unicode", BuildCmap({{0, 3, CmapFormat0({0, 7, 7, 3})}}),
       {{7, {"1-2"}}, {3, {"3-3"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CharCoverage coverage;
    ASSERT_TRUE(ReadCharacterMap(ViewOf(c.cmap), coverage, glyphs, nullptr, MapDetail::kGlyphs));
    const GlyphCharacters reversed = ReverseCharacterMap(coverage, glyphs);
    ASSERT_EQ(reversed.start.size(), glyphs + 1);
    for (const auto& [glyph, codes] : c.expected) EXPECT_EQ(CodesOf(reversed, glyph), codes) << glyph;
    EXPECT_TRUE(CharactersOf(reversed, glyphs).empty());
    // Counted without reversing, the glyphs left unreached are the same.
    uint32_t empty = 0;
    for (uint32_t glyph = 0; glyph < glyphs; ++glyph) empty += CharactersOf(reversed, glyph).empty();
    EXPECT_EQ(UnreachedGlyphs(coverage, glyphs), empty);
    // And so are they read with the counts alone.
    CharCoverage reach;
    ASSERT_TRUE(ReadCharacterMap(ViewOf(c.cmap), reach, glyphs, nullptr, MapDetail::kReach));
    EXPECT_EQ(UnreachedGlyphs(reach, glyphs), empty);
    EXPECT_EQ(reach.count, coverage.count);
    EXPECT_TRUE(reach.ranges.empty());
  }
}

// The whole code space through one group: the reversed map holds one range,
// not a code each, and a range of rising glyphs no more entries than glyphs.
TEST(CharMap, ReversedMapsStayAsSmallAsTheirRuns) {
  CharCoverage coverage;
  ASSERT_TRUE(ReadCharacterMap(ViewOf(BuildCmap({{0, 6, CmapGroups(13, {{0, 0x10FFFF, 3}})}})),
                               coverage, 10, nullptr, MapDetail::kGlyphs));
  EXPECT_EQ(ReverseCharacterMap(coverage, 10).codes.size(), 1u);
  ASSERT_TRUE(ReadCharacterMap(ViewOf(BuildCmap({{3, 10, CmapGroups(12, {{0, 0x10FFFF, 1}})}})),
                               coverage, kMaxGlyphCount, nullptr, MapDetail::kGlyphs));
  EXPECT_EQ(ReverseCharacterMap(coverage, kMaxGlyphCount).codes.size(), kMaxGlyphCount - 1u);
}
