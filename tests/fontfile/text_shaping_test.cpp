// Shaping with HarfBuzz: what the wrapper adds to it (the cut, refused tables,
// clusters by character, the printed run, the tags of the font's choosers). The
// runs themselves are compared with hb-shape by compare_hb_shape.py.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/opened_font.h"
#include "fontfile/text_shaping.h"
#include "support/test_paths.h"

namespace {

const char kDejaVu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A real file opened as the viewer opens it.
struct FileFont : OpenedFont {
  explicit FileFont(const char* unix_path) { OpenFontFile(HostPath(unix_path).c_str(), *this); }
};
// Bytes a test built, opened over the string, which outlives the record.
struct BuiltFont : OpenedFont {
  explicit BuiltFont(const std::string& bytes) { OpenFontView(ViewOf(bytes), *this); }
};

// DejaVu Sans with a GSUB whose header is cut short after its first offset.
std::string CutGsub() {
  std::string gsub;
  PutU32BE(gsub, 0x00010000);
  PutU16BE(gsub, 10);
  return gsub;
}

TEST(TextShaping, LigatureFollowsItsFeatureAndClustersCountCharacters) {
  ASSERT_EQ(MissingFont(kDejaVu), "");
  FileFont font(kDejaVu);
  // "é" takes two bytes: the clusters after it still count characters.
  ShapingRequest request{"éoffice"};
  const ShapedRun with = ShapeText(font, 0, request);
  request.features.push_back({"liga", 0});
  const ShapedRun without = ShapeText(font, 0, request);
  ASSERT_TRUE(with.opened);
  EXPECT_FALSE(with.unshaped());
  EXPECT_EQ(with.units_per_em, 2048u);
  ASSERT_EQ(without.glyphs.size(), 7u);
  ASSERT_EQ(with.glyphs.size(), 5u);  // é o ffi c e
  EXPECT_EQ(with.glyphs[2].cluster, 2u);
  EXPECT_EQ(with.glyphs[3].cluster, 5u);
  EXPECT_EQ(without.glyphs[6].cluster, 6u);
}

TEST(TextShaping, LongTextIsCutAtACharacter) {
  ASSERT_EQ(MissingFont(kDejaVu), "");
  FileFont font(kDejaVu);
  std::string text;
  for (uint32_t i = 0; i < kShapingTextLimit + 40; ++i) text += "\xC3\xA9";  // é
  const ShapedRun run = ShapeText(font, 0, ShapingRequest{text});
  EXPECT_TRUE(run.text_cut);
  ASSERT_EQ(run.glyphs.size(), kShapingTextLimit);
  EXPECT_EQ(run.glyphs.back().cluster, kShapingTextLimit - 1);
  EXPECT_NE(run.glyphs.back().glyph, 0u);  // the last é is whole, not a broken byte
  EXPECT_FALSE(ShapeText(font, 0, ShapingRequest{"ab"}).text_cut);
}

// A GSUB HarfBuzz's checks refuse, and one whose directory record leaves the
// file (which the record finds broken and HarfBuzz is never handed).
TEST(TextShaping, RefusedLayoutTableGivesTheGlyphsUnshaped) {
  ASSERT_EQ(MissingFont(kDejaVu), "");
  FileFont file(kDejaVu);
  const ShapedRun shaped = ShapeText(file, 0, ShapingRequest{"office"});
  EXPECT_EQ(shaped.glyphs.size(), 4u);
  EXPECT_FALSE(shaped.unshaped());
  SfntFont font = ReadSfntFont(file.bytes);
  font.Set("GSUB", CutGsub());
  std::string outside = BuildSfnt(ReadSfntFont(file.bytes));
  const size_t record = outside.find("GSUB");
  ASSERT_LT(record, 12u + 16 * 32);
  SetU32BE(outside, record + 12, 0x7FFFFFFF);  // its length
  for (const std::string& bytes : {BuildSfnt(font), outside}) {
    BuiltFont built(bytes);
    const ShapedRun run = ShapeText(built, 0, ShapingRequest{"office"});
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(run.gsub_refused);
    EXPECT_FALSE(run.gpos_refused);
    ASSERT_EQ(run.glyphs.size(), 6u);  // no ligature
    EXPECT_EQ(run.glyphs[1].glyph, run.glyphs[2].glyph);
  }
}

// Each face of a collection is shaped from its own directory's tables.
TEST(TextShaping, EachFaceShapesFromItsOwnTables) {
  ASSERT_EQ(MissingFont(kDejaVu), "");
  FileFont file(kDejaVu);
  SfntFont refused = ReadSfntFont(file.bytes);
  refused.Set("GSUB", CutGsub());
  const std::string collection = BuildCollection({refused, ReadSfntFont(file.bytes)});
  BuiltFont built(collection);
  const ShapedRun first = ShapeText(built, 0, ShapingRequest{"office"});
  const ShapedRun second = ShapeText(built, 1, ShapingRequest{"office"});
  EXPECT_TRUE(first.gsub_refused);
  EXPECT_EQ(first.glyphs.size(), 6u);
  EXPECT_FALSE(second.unshaped());
  EXPECT_EQ(second.glyphs.size(), 4u);
  EXPECT_FALSE(ShapeText(built, 2, ShapingRequest{"a"}).opened);
}

TEST(TextShaping, ReshapingOneFontFollowsItsVariations) {
  const char inter[] = "/usr/share/fonts/truetype/inter-vf/Inter.var.ttf";
  ASSERT_EQ(MissingFont(inter), "");
  FileFont file(inter);
  ShapingFontPtr font = OpenShapingFont(file, 0);
  ASSERT_TRUE(font);
  ShapingRequest request{"m"};
  const int32_t regular = ShapeText(*font, request).glyphs[0].x_advance;
  request.variations.push_back({"wght", 900});
  const int32_t black = ShapeText(*font, request).glyphs[0].x_advance;
  request.variations.clear();
  EXPECT_GT(black, regular);
  EXPECT_EQ(ShapeText(*font, request).glyphs[0].x_advance, regular);
}

TEST(TextShaping, RunPrintsAsHbShapeDoes) {
  ShapedRun run;
  run.glyphs = {{5, 0, 600, 0, 0, 0}, {7, 1, 0, 0, -20, 35}, {9, 3, 500, -40, 0, 0}};
  EXPECT_EQ(FormatShapedRun(run), "[5=0+600|7=1@-20,35+0|9=3+500,-40]");
  run.names = {"a", "acutecomb", "gid9"};
  EXPECT_EQ(FormatShapedRun(run), "[a=0+600|acutecomb=1@-20,35+0|gid9=3+500,-40]");
  EXPECT_EQ(FormatShapedRun(ShapedRun{}), "[]");
}

TEST(TextShaping, Lists) {
  std::vector<FeatureSetting> features;
  ASSERT_TRUE(ParseFeatureList("liga, -kern,ss01=2,aalt[3:5]", features));
  ASSERT_EQ(features.size(), 4u);
  EXPECT_EQ(features[1].tag, "kern");
  EXPECT_EQ(features[1].value, 0u);
  EXPECT_EQ(features[2].value, 2u);
  EXPECT_EQ(features[3].start, 3u);
  EXPECT_EQ(features[3].end, 5u);
  EXPECT_FALSE(ParseFeatureList("liga,=", features));
  EXPECT_EQ(features.size(), 4u);  // nothing of a list that fails

  std::vector<AxisSetting> axes;
  ASSERT_TRUE(ParseVariationList("wght=900,wdth=75.5", axes));
  ASSERT_EQ(axes.size(), 2u);
  EXPECT_EQ(axes[1].tag, "wdth");
  EXPECT_FLOAT_EQ(axes[1].value, 75.5f);
  EXPECT_FALSE(ParseVariationList("wght", axes));
}

TEST(TextShaping, OpenTypeTagsSelectTheirScriptAndLanguage) {
  struct Case {
    const char *script_tag, *language_tag, *script, *language;
  } cases[] = {
      {"latn", "dflt", "Latn", ""},
      {"latn", "TRK ", "Latn", "tr"},
      {"arab", "URD ", "Arab", "ur"},
      {"dev3", "dflt", "Deva", ""},
      // The older tags of a script with several are named outright.
      {"dev2", "dflt", "Deva", "x-hbsc-64657632"},
      {"deva", "dflt", "Deva", "x-hbsc-64657661"},
      {"deva", "MAR ", "Deva", "mr-x-hbsc-64657661"},
      {"DFLT", "dflt", "", ""},
  };
  for (const Case& c : cases) {
    const ShapingScript got = ScriptForOpenTypeTags(c.script_tag, c.language_tag);
    EXPECT_EQ(got.script, c.script) << c.script_tag;
    EXPECT_EQ(got.language, c.language) << c.script_tag << "/" << c.language_tag;
  }
}

}  // namespace
