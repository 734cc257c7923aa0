// The instancer on variable fonts built byte by byte: where the deltas move the
// points, the components and the advances, and what it refuses. Its agreement
// with fontTools on real and generated fonts is compare_instances.py's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/font_info.h"
#include "fontfile/glyf_glyphs.h"
#include "fontfile/instancer.h"
#include "fontfile/sfnt_writer.h"
#include "fontfile/variation_regions.h"
#include "fontfile/variation_tables.h"

namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;

std::string TableOf(const SfntFont& font, const std::string& tag) {
  for (const SfntTable& table : font.tables)
    if (table.tag == tag) return table.data;
  return {};
}

// The instance's glyph `index` as bytes, found through its loca.
std::string GlyphOf(const SfntFont& font, uint32_t index) {
  const std::string loca = TableOf(font, "loca"), glyf = TableOf(font, "glyf");
  uint32_t begin = 0, end = 0;
  ReadU32BE(ViewOf(loca), 4 * index, 0, begin);
  ReadU32BE(ViewOf(loca), 4 * index + 4, 0, end);
  return glyf.substr(begin, end - begin);
}

Points SimplePoints(const std::string& glyph) {
  GlyphHeader header;
  SimpleGlyph simple;
  Points out;
  if (!ReadGlyphHeader(ViewOf(glyph), header) ||
      !ReadSimpleGlyph(ViewOf(glyph), header.contours, 0x10000, simple))
    return out;
  for (size_t i = 0; i < simple.x.size(); ++i) out.emplace_back(simple.x[i], simple.y[i]);
  return out;
}

uint16_t Advance(const SfntFont& font, uint32_t index) {
  uint16_t advance = 0;
  ReadU16BE(ViewOf(TableOf(font, "hmtx")), 4 * index, 0, advance);
  return advance;
}

struct Built {
  bool ok = false;
  InstanceProblem problem = InstanceProblem::kNone;
  std::string bytes;
  SfntFont font;
};

Built Instance(const SfntFont& font, double wght, size_t coordinate_count = 1) {
  const std::string file = BuildSfnt(font);
  InstanceRequest request;
  request.coordinates.assign(coordinate_count, static_cast<int32_t>(wght * 65536));
  request.family = "Demo Black";
  std::vector<uint8_t> sfnt;
  Built built;
  built.ok = BuildStaticInstance(ViewOf(file), request, sfnt, built.problem);
  built.bytes.assign(sfnt.begin(), sfnt.end());
  built.font = ReadSfntFont(ViewOf(built.bytes));
  return built;
}

// Glyph 0's deltas: every point (four of the contour, four phantom) of tuple 0.
std::string AllPointDeltas(const std::vector<int16_t>& x, const std::vector<int16_t>& y) {
  std::vector<int16_t> both = x;
  both.insert(both.end(), y.begin(), y.end());
  return PackedPoints({}) + PackedDeltas(both);
}

struct MoveCase {
  const char* what;
  double wght;
  std::vector<GvarTuple> tuples;
  std::string avar;
  Points points;
  uint16_t advance;
};

std::string AvarHalfToQuarter() {
  std::string avar;
  PutU32BE(avar, 0x00010000);
  PutU16BE(avar, 0);
  PutU16BE(avar, 1);
  PutU16BE(avar, 4);
  for (int16_t v : {-16384, -16384, 0, 0, 8192, 4096, 16384, 16384})
    PutU16BE(avar, static_cast<uint16_t>(v));
  return avar;
}

TEST(Instancer, MovesPointsAndPhantomPointsByTheTuplesThatApply) {
  const std::vector<int16_t> x = {10, 20, 30, 40, 0, 50, 0, 0}, y = {1, 2, 3, 4, 0, 0, 0, 0};
  const GvarTuple all{kTuplePrivatePoints, {}, {}, {}, AllPointDeltas(x, y)};
  const GvarTuple odd{kTuplePrivatePoints, {}, {}, {},
                      AllPointDeltas({3, -3, 0, 0, 0, 3, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0})};
  // Points 0 and 2 touched; 1 and 3 inferred along the contour.
  const GvarTuple some{kTuplePrivatePoints, {}, {}, {},
                       PackedPoints({0, 2}) + PackedDeltas({10, 30, 0, 20})};
  const GvarTuple intermediate{kTupleEmbeddedPeak | kTupleIntermediate | kTuplePrivatePoints,
                               {8192}, {0}, {16384}, AllPointDeltas(x, y)};
  const MoveCase cases[] = {
      {"full peak", 900, {all}, "", {{10, 1}, {20, 102}, {130, 103}, {140, 4}}, 550},
      {"off the tuple's side", 100, {all}, "", {{0, 0}, {0, 100}, {100, 100}, {100, 0}}, 500},
      {"halves round up", 650, {odd}, "", {{2, 0}, {-1, 100}, {100, 100}, {100, 0}}, 502},
      {"intermediate region at half its fall", 775, {intermediate}, "",
       {{5, 1}, {10, 101}, {115, 102}, {120, 2}}, 525},
      {"avar maps 0.5 to 0.25", 650, {all}, AvarHalfToQuarter(),
       {{3, 0}, {5, 101}, {108, 101}, {110, 1}}, 513},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.what);
    VariableFont font;
    font.glyph_variations[0] = GlyphVariationData(c.tuples);
    font.avar = c.avar;
    const Built built = Instance(VariableSfnt(font), c.wght);
    ASSERT_TRUE(built.ok);
    EXPECT_EQ(SimplePoints(GlyphOf(built.font, 0)), c.points);
    EXPECT_EQ(Advance(built.font, 0), c.advance);
  }
  // Inferred deltas: point 1 (50, 50) lies halfway between the touched ones.
  VariableFont font;
  font.points = {{0, 0}, {50, 50}, {100, 100}, {100, 0}};
  font.glyph_variations[0] = GlyphVariationData({some});
  const Built built = Instance(VariableSfnt(font), 900);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(SimplePoints(GlyphOf(built.font, 0)), (Points{{10, 0}, {70, 60}, {130, 120}, {130, 0}}));
}

TEST(Instancer, MovesComponentsAndWritesASoundStaticFont) {
  VariableFont font;
  font.glyph_variations[0] = GlyphVariationData(
      {{0, {}, {}, {}, PackedDeltas({-5, 0, 0, -5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}},
      PackedPoints({}));  // the shared point numbers: every point
  font.glyph_variations[1] = GlyphVariationData(
      {{kTuplePrivatePoints, {}, {}, {}, PackedPoints({0, 2}) + PackedDeltas({7, 40, -4, 0})}});
  const Built built = Instance(VariableSfnt(font), 900);
  ASSERT_TRUE(built.ok);
  const std::string composite = GlyphOf(built.font, 1);
  GlyphHeader header;
  Component component;
  uint32_t at = 10;
  ASSERT_TRUE(ReadGlyphHeader(ViewOf(composite), header));
  ASSERT_TRUE(ReadComponent(ViewOf(composite), at, component));
  EXPECT_EQ(component.arg1, 17);
  EXPECT_EQ(component.arg2, 16);
  // The box follows the moved component: glyph 0 spans x -5..100 now.
  EXPECT_EQ(header.x_min, 12);
  EXPECT_EQ(header.x_max, 117);
  EXPECT_EQ(Advance(built.font, 1), 640);
  // No variation table, the family's names, every checksum right.
  for (const char* tag : {"fvar", "gvar", "avar", "HVAR", "MVAR"}) EXPECT_EQ(TableOf(built.font, tag), "");
  EXPECT_NE(TableOf(built.font, "name").find(Utf16BE(u"Demo Black")), std::string::npos);
  EXPECT_NE(TableOf(built.font, "name").find(Utf16BE(u"DemoBlack")), std::string::npos);
  EXPECT_EQ(TableChecksum(ViewOf(built.bytes)), 0xB1B0AFBA);
  const ByteView out = ViewOf(built.bytes);
  for (uint32_t i = 0; i < built.font.tables.size(); ++i) {
    uint32_t checksum = 0, offset = 0, length = 0;
    ReadU32BE(out, 12 + 16 * i, 4, checksum);
    ReadU32BE(out, 12 + 16 * i, 8, offset);
    ReadU32BE(out, 12 + 16 * i, 12, length);
    if (built.font.tables[i].tag != "head") {
      EXPECT_EQ(TableChecksum(*SubView(out, offset, length)), checksum);
    }
  }
  FontInfo info;
  EXPECT_EQ(ReadFontBytes(out.data, out.size, info), 1);
}

// The binary-search fields both writers (the instancer's and WOFF 1.0's) put in
// the offset table: searchRange is 16 times the largest power of two not above
// the count, entrySelector its exponent, rangeShift the rest of the directory.
TEST(SfntWriter, OffsetTableSearchFields) {
  struct Case {
    uint16_t count, range, selector, shift;
  };
  for (const Case& c : {Case{1, 16, 0, 0}, Case{2, 32, 1, 0}, Case{3, 32, 1, 16},
                        Case{4, 64, 2, 0}, Case{17, 256, 4, 16}, Case{39, 512, 5, 112}}) {
    std::vector<uint8_t> out(12);
    PutOffsetTable(out, 0x4F54544F, c.count);
    const ByteView view{out.data(), 12};
    uint32_t flavor = 0;
    uint16_t count = 0, range = 0, selector = 0, shift = 0;
    ReadU32BE(view, 0, 0, flavor);
    ReadU16BE(view, 0, 4, count);
    ReadU16BE(view, 0, 6, range);
    ReadU16BE(view, 0, 8, selector);
    ReadU16BE(view, 0, 10, shift);
    EXPECT_EQ(flavor, 0x4F54544Fu);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(range, c.range) << c.count;
    EXPECT_EQ(selector, c.selector) << c.count;
    EXPECT_EQ(shift, c.shift) << c.count;
  }
}

TEST(Instancer, TakesAdvancesFromHvarWhereItIsThere) {
  std::string hvar;
  PutU32BE(hvar, 0x00010000);
  PutU32BE(hvar, 20);  // the store
  for (int i = 0; i < 3; ++i) PutU32BE(hvar, 0);  // no maps: items by glyph index
  PutU16BE(hvar, 1);
  PutU32BE(hvar, 12);  // region list
  PutU16BE(hvar, 1);
  PutU32BE(hvar, 22);  // the one ItemVariationData
  PutU16BE(hvar, 1);   // region list: one axis, one region (0, 1, 1)
  PutU16BE(hvar, 1);
  for (int16_t v : {0, 16384, 16384}) PutU16BE(hvar, static_cast<uint16_t>(v));
  PutU16BE(hvar, 3);  // three items of one byte delta each
  PutU16BE(hvar, 0);
  PutU16BE(hvar, 1);
  PutU16BE(hvar, 0);
  for (int8_t d : {100, 0, -51}) hvar += static_cast<char>(d);
  VariableFont font;
  font.hvar = hvar;
  // Phantom-point deltas that HVAR overrides.
  font.glyph_variations[0] = GlyphVariationData(
      {{kTuplePrivatePoints, {}, {}, {}, AllPointDeltas({0, 0, 0, 0, 0, 7, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0})}});
  const Built full = Instance(VariableSfnt(font), 900), half = Instance(VariableSfnt(font), 650);
  ASSERT_TRUE(full.ok);
  ASSERT_TRUE(half.ok);
  EXPECT_EQ(Advance(full.font, 0), 600);
  EXPECT_EQ(Advance(full.font, 1), 600);
  EXPECT_EQ(Advance(full.font, 2), 249);
  EXPECT_EQ(Advance(half.font, 2), 275);  // 300 - 25.5, rounded up
}

struct BadCase {
  const char* what;
  VariableFont font;
  InstanceProblem problem;
  size_t coordinates = 1;
  const char* drop = nullptr;  // a table taken out
  const char* add = nullptr;   // a table put in
};

VariableFont WithGlyph0(const std::string& data) {
  VariableFont font;
  font.glyph_variations[0] = data;
  return font;
}

TEST(Instancer, RefusesWhatDoesNotAddUpAndTheDefaultStillReads) {
  const std::string deltas = PackedDeltas(std::vector<int16_t>(16, 5));
  // Three points and their deltas, cut inside the point numbers' run.
  std::string point_run_cut = PackedPoints({0, 1, 2}) + PackedDeltas({1, 2, 3, 4, 5, 6});
  point_run_cut.resize(4);
  std::string delta_run_cut = PackedPoints({}) + deltas;
  delta_run_cut.resize(delta_run_cut.size() - 3);
  std::string tuple_past_glyph = GlyphVariationData({{kTuplePrivatePoints, {}, {}, {}, PackedPoints({}) + deltas}});
  SetU16BE(tuple_past_glyph, 4, 0x0400);  // the tuple's data size
  VariableFont big = WithGlyph0(GlyphVariationData({{kTuplePrivatePoints, {}, {}, {}, PackedPoints({}) + PackedDeltas(std::vector<int16_t>(16, 5000))}}));
  big.points = {{0, 0}, {0, 30000}, {100, 30000}, {100, 0}};
  VariableFont axes = WithGlyph0("");
  axes.gvar_axis_count = 2;
  VariableFont glyphs = WithGlyph0("");
  glyphs.gvar_glyph_count = 4;
  VariableFont self = WithGlyph0("");
  self.component = 1;
  VariableFont cycle = WithGlyph0("");
  cycle.component = 2;
  cycle.second_component = 1;
  const BadCase cases[] = {
      {"point run past the tuple's data",
       WithGlyph0(GlyphVariationData({{kTuplePrivatePoints, {}, {}, {}, point_run_cut}})),
       InstanceProblem::kBadTable},
      {"delta run past the tuple's data",
       WithGlyph0(GlyphVariationData({{kTuplePrivatePoints, {}, {}, {}, delta_run_cut}})),
       InstanceProblem::kBadTable},
      {"tuple data past the glyph's", WithGlyph0(tuple_past_glyph), InstanceProblem::kBadTable},
      {"peak outside -1..1",
       WithGlyph0(GlyphVariationData({{kTupleEmbeddedPeak | kTuplePrivatePoints, {24576}, {}, {}, PackedPoints({}) + deltas}})),
       InstanceProblem::kBadTable},
      {"shared tuple index past the table's",
       WithGlyph0(GlyphVariationData({{5 | kTuplePrivatePoints, {}, {}, {}, PackedPoints({}) + deltas}})),
       InstanceProblem::kBadTable},
      {"points moved past 16 bits", big, InstanceProblem::kBadTable},
      {"gvar's axis count is not fvar's", axes, InstanceProblem::kBadTable},
      {"gvar's glyph count is not maxp's", glyphs, InstanceProblem::kBadTable},
      {"composite of itself", self, InstanceProblem::kBadTable},
      {"composites of each other", cycle, InstanceProblem::kBadTable},
      {"two coordinates for one axis", VariableFont{}, InstanceProblem::kBadCoordinates, 2},
      {"no fvar", VariableFont{}, InstanceProblem::kNotVariable, 1, "fvar"},
      {"CFF2 outlines", VariableFont{}, InstanceProblem::kCff2Outlines, 1, nullptr, "CFF2"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.what);
    SfntFont font = VariableSfnt(c.font);
    if (c.drop)
      std::erase_if(font.tables, [&](const SfntTable& t) { return t.tag == c.drop; });
    if (c.add) font.Add(c.add, std::string(64, '\0'));
    const Built built = Instance(font, 900, c.coordinates);
    EXPECT_FALSE(built.ok);
    EXPECT_EQ(built.problem, c.problem);
    EXPECT_TRUE(built.bytes.empty());
    const std::string file = BuildSfnt(font);
    FontInfo info;
    EXPECT_EQ(ReadFontBytes(ViewOf(file).data, ViewOf(file).size, info), 1);
  }
}

}  // namespace

namespace {

// The Info report and the instancer read avar through one reader: a map the
// report calls broken is one the instancer refuses, and a sound map moves the
// instancer's coordinate as the report says it moves the axis.
TEST(Instancer, TheReportAndTheInstancerReadAvarAlike) {
  std::string fvar;
  for (uint16_t v : {1, 0, 16, 2, 1, 20, 0, 8}) PutU16BE(fvar, v);
  fvar += "wght";
  for (int32_t v : {100 << 16, 400 << 16, 900 << 16}) PutU32BE(fvar, static_cast<uint32_t>(v));
  PutU16BE(fvar, 0);
  PutU16BE(fvar, 256);
  auto avar = [](uint16_t major, std::vector<std::pair<int16_t, int16_t>> map, bool cut) {
    std::string a;
    for (uint16_t v : {major, uint16_t(0), uint16_t(0), uint16_t(1)}) PutU16BE(a, v);
    PutU16BE(a, static_cast<uint16_t>(map.size()));
    for (auto [from, to] : map) {
      PutU16BE(a, static_cast<uint16_t>(from));
      PutU16BE(a, static_cast<uint16_t>(to));
    }
    return cut ? a.substr(0, a.size() - 2) : a;
  };
  const std::vector<std::pair<int16_t, int16_t>> moves = {
      {-16384, -16384}, {0, 0}, {8192, 4096}, {16384, 16384}};
  struct Case {
    const char* what;
    std::string avar;
    bool broken, refused;
    double at_650;  // the normalized coordinate of wght 650 (half way to 900)
  } cases[] = {
      {"a map that moves the axis", avar(1, moves, false), false, false, 0.25},
      {"the map cut short", avar(1, moves, true), true, true, 0},
      {"a version the report reads and the instancer does not make", avar(2, moves, false),
       false, true, 0},
      {"version 3", avar(3, moves, false), true, true, 0},
  };
  std::vector<FvarAxis> axes;
  ASSERT_TRUE(ReadFvarAxes(ViewOf(fvar), axes));
  for (const Case& c : cases) {
    NameIndex names;
    const VariationFacts facts =
        ReadVariationTables(ViewOf(fvar), TableState::kPresent, ViewOf(c.avar),
                            TableState::kPresent, {}, TableState::kAbsent, names);
    EXPECT_EQ(facts.avar_broken, c.broken) << c.what;
    DesignLocation location;
    const bool made = NormalizeLocation(axes, {650 << 16}, ViewOf(c.avar), location);
    EXPECT_EQ(!made, c.refused) << c.what;
    if (made) {
      EXPECT_DOUBLE_EQ(location.coordinates[0], c.at_650) << c.what;
    }
    if (!c.broken) {
      EXPECT_EQ(facts.avar_axes_mapped, 1u) << c.what;
    }
  }
}

}  // namespace
