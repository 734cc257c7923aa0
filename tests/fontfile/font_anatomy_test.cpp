// The readers of what a font is made of, on tables built byte by byte: what
// they read from sound tables, and that broken or hostile ones are marked broken
// while what could be read is kept and the work stays bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/font_anatomy.h"
#include "fontfile/layout_catalog.h"

namespace {

std::string Tag(const char* tag) { return std::string(tag, 4); }
void PutFixed(std::string& out, double value) {
  PutU32BE(out, static_cast<uint32_t>(static_cast<int32_t>(value * 65536)));
}

// ---- builders ------------------------------------------------------------------

struct Axis {
  const char* tag;
  double minimum, default_value, maximum;
  uint16_t flags, name_id;
};
struct Instance {
  uint16_t name_id;
  std::vector<double> coordinates;
  uint16_t postscript_id;  // 0: the records leave it out
};

std::string Fvar(const std::vector<Axis>& axes, const std::vector<Instance>& instances,
                 bool postscript_ids) {
  std::string out;
  const uint16_t instance_size = static_cast<uint16_t>(4 + 4 * axes.size() + (postscript_ids ? 2 : 0));
  for (uint16_t v : {uint16_t{1}, uint16_t{0}, uint16_t{16}, uint16_t{2},
                     static_cast<uint16_t>(axes.size()), uint16_t{20},
                     static_cast<uint16_t>(instances.size()), instance_size})
    PutU16BE(out, v);
  for (const Axis& a : axes) {
    out += Tag(a.tag);
    PutFixed(out, a.minimum);
    PutFixed(out, a.default_value);
    PutFixed(out, a.maximum);
    PutU16BE(out, a.flags);
    PutU16BE(out, a.name_id);
  }
  for (const Instance& i : instances) {
    PutU16BE(out, i.name_id);
    PutU16BE(out, 0);
    for (double c : i.coordinates) PutFixed(out, c);
    if (postscript_ids) PutU16BE(out, i.postscript_id);
  }
  return out;
}

// A GSUB or GPOS table. Scripts: tag, whether a default language system, the
// other language tags. Features: tag, and a name id for its parameters (0: none).
struct Script {
  const char* tag;
  bool has_default;
  std::vector<const char*> languages;
};
struct Feature {
  const char* tag;
  uint16_t ui_name_id;
};

std::string Layout(const std::vector<Script>& scripts, const std::vector<Feature>& features) {
  std::string scripts_part, script_tables;
  PutU16BE(scripts_part, static_cast<uint16_t>(scripts.size()));
  const uint32_t tables_start = 2 + 6 * static_cast<uint32_t>(scripts.size());
  for (const Script& s : scripts) {
    scripts_part += Tag(s.tag);
    PutU16BE(scripts_part, static_cast<uint16_t>(tables_start + script_tables.size()));
    // The language system tables themselves are not read: every offset points at
    // one empty table after the records.
    const uint16_t records_end = static_cast<uint16_t>(4 + 6 * s.languages.size());
    PutU16BE(script_tables, s.has_default ? records_end : 0);
    PutU16BE(script_tables, static_cast<uint16_t>(s.languages.size()));
    for (const char* language : s.languages) {
      script_tables += Tag(language);
      PutU16BE(script_tables, records_end);
    }
    script_tables += std::string(6, '\0');
  }
  scripts_part += script_tables;

  std::string features_part, feature_tables;
  PutU16BE(features_part, static_cast<uint16_t>(features.size()));
  const uint32_t features_start = 2 + 6 * static_cast<uint32_t>(features.size());
  for (const Feature& f : features) {
    features_part += Tag(f.tag);
    PutU16BE(features_part, static_cast<uint16_t>(features_start + feature_tables.size()));
    PutU16BE(feature_tables, f.ui_name_id ? 4 : 0);  // parameters right after the table
    PutU16BE(feature_tables, 0);                     // no lookups
    if (f.ui_name_id) {
      PutU16BE(feature_tables, 0);
      PutU16BE(feature_tables, f.ui_name_id);
    }
  }
  features_part += feature_tables;

  std::string out;
  PutU16BE(out, 1);
  PutU16BE(out, 0);
  PutU16BE(out, 10);
  PutU16BE(out, static_cast<uint16_t>(10 + scripts_part.size()));
  PutU16BE(out, 0);
  return out + scripts_part + features_part;
}

LayoutFacts ReadLayout(const std::string& gsub, const std::string& gpos = std::string()) {
  NameIndex names = IndexNames(ByteView{});
  return ReadLayoutTables(ViewOf(gsub), gsub.empty() ? TableState::kAbsent : TableState::kPresent,
                          ViewOf(gpos), gpos.empty() ? TableState::kAbsent : TableState::kPresent,
                          names);
}

FontAnatomy Anatomy(const SfntFont& font, uint32_t face = 0) {
  static std::string bytes;
  bytes = BuildSfnt(font);
  return ReadFontAnatomy(ViewOf(bytes), face);
}

// ---- variation ------------------------------------------------------------------

TEST(Variation, AxesInstancesMappingsAndStyleAttributes) {
  NameTable names;
  names.Add(256, u"Weight").Add(257, u"Optical size").Add(258, u"Thin").Add(259, u"Demo-Thin")
      .Add(260, u"Black").Add(261, u"Regular");
  std::string avar;
  for (uint16_t v : {1, 0, 0, 2}) PutU16BE(avar, v);
  for (uint16_t v : {3, 0xC000, 0xC000, 0, 0, 0x4000, 0x4000}) PutU16BE(avar, v);  // identity
  for (uint16_t v : {2, 0, 0x1000, 0x4000, 0x4000}) PutU16BE(avar, v);              // moved
  std::string stat;
  for (uint16_t v : {1, 1, 8, 2}) PutU16BE(stat, v);
  PutU32BE(stat, 20);
  PutU16BE(stat, 3);
  PutU32BE(stat, 36);
  PutU16BE(stat, 261);
  for (const char* tag : {"wght", "opsz"}) {
    stat += Tag(tag);
    PutU32BE(stat, 0);
  }
  stat += std::string(6, '\0');

  SfntFont font;
  font.Add("OS/2", Os2Table()).Add("fvar", Fvar({{"wght", 100, 400, 900, 0, 256}, {"opsz", 14, 14, 32.5, 1, 257}},
                        {{258, {100, 14}, 259}, {260, {900, 32.5}, 0xFFFF}}, true))
      .Add("avar", avar)
      .Add("STAT", stat)
      .Add("name", BuildNameTable(names));
  const VariationFacts v = Anatomy(font).variation;
  ASSERT_EQ(v.axes.size(), 2u);
  EXPECT_EQ(v.axes[0].tag, "wght");
  EXPECT_EQ(v.axes[0].name, "Weight");
  EXPECT_EQ(FixedText(v.axes[0].minimum) + FixedText(v.axes[0].default_value) +
                FixedText(v.axes[0].maximum),
            "100400900");
  EXPECT_FALSE(v.axes[0].hidden);
  EXPECT_TRUE(v.axes[1].hidden);
  EXPECT_EQ(FixedText(v.axes[1].maximum), "32.5");
  ASSERT_EQ(v.instances.size(), 2u);
  EXPECT_EQ(v.instances[0].subfamily, "Thin");
  EXPECT_EQ(v.instances[0].postscript_name, "Demo-Thin");
  EXPECT_EQ(v.instances[1].postscript_name, std::nullopt);
  EXPECT_EQ(v.instances[1].coordinates, (std::vector<int32_t>{900 << 16, 65 << 15}));
  EXPECT_FALSE(v.fvar_broken || v.avar_broken || v.stat_broken);
  EXPECT_EQ(v.avar_axes_mapped, 1);
  EXPECT_EQ(v.stat_axes, (std::vector<std::string>{"wght", "opsz"}));
  EXPECT_EQ(v.stat_axis_values, 3);
  EXPECT_EQ(v.elided_fallback_name, "Regular");
}

TEST(Variation, BrokenFvarKeepsWhatWasRead) {
  const std::string sound = Fvar({{"wght", 100, 400, 900, 0, 256}, {"wdth", 75, 100, 100, 0, 257}},
                                 {{258, {100, 75}, 0}}, false);
  struct Case {
    const char* what;
    size_t cut;                  // bytes kept (0: all)
    size_t field;                // header field patched
    uint16_t value;
    size_t axes_kept, instances_kept;
  } cases[] = {
      {"cut in the second axis", 16 + 20 + 10, 0, 1, 1, 0},
      {"cut in the instance", sound.size() - 2, 0, 1, 2, 0},
      {"axis count past the table", 0, 8, 9, 2, 0},
      {"instance count past the table", 0, 12, 40, 2, 1},
      {"instance smaller than its coordinates", 0, 14, 6, 2, 0},
      {"major version 2", 0, 0, 2, 0, 0},
      {"axis records of 8 bytes", 0, 10, 8, 0, 0},
  };
  for (const Case& c : cases) {
    std::string table = c.cut ? sound.substr(0, c.cut) : sound;
    if (!c.cut) SetU16BE(table, c.field, c.value);
    NameIndex names = IndexNames(ByteView{});
    const VariationFacts v = ReadVariationTables(ViewOf(table), TableState::kPresent, {},
                                                 TableState::kAbsent, {}, TableState::kAbsent, names);
    EXPECT_TRUE(v.fvar_broken) << c.what;
    EXPECT_EQ(v.axes.size(), c.axes_kept) << c.what;
    EXPECT_EQ(v.instances.size(), c.instances_kept) << c.what;
  }
}

TEST(Variation, FixedValuesInTheFewestDecimals) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {{0, "0"},          {400 << 16, "400"}, {-10 * 65536, "-10"}, {0x8000, "0.5"},
               {0x4000, "0.25"},  {1, "0.00002"},     {-1, "-0.00002"},     {0x7FFFFFFF, "32767.99998"},
               {static_cast<int32_t>(0x80000000), "-32768"}, {0x1199A, "1.1"}};
  for (const auto& c : cases) EXPECT_EQ(FixedText(c.value), c.text) << c.value;
}

// ---- layout ---------------------------------------------------------------------

TEST(Layout, ScriptsLanguagesAndFeaturesOfBothTablesMerged) {
  const std::string gsub = Layout({{"latn", true, {"TRK "}}, {"cyrl", false, {"SRB "}}},
                                  {{"liga", 0}, {"ss01", 300}, {"cv02", 301}});
  const std::string gpos = Layout({{"latn", true, {"ROM ", "TRK "}}, {"grek", true, {}}},
                                  {{"kern", 0}, {"liga", 0}});
  NameTable names;
  names.Add(300, u"Open digits").Add(301, u"Single-storey a");
  std::string name = BuildNameTable(names);
  NameIndex index = IndexNames(ViewOf(name));
  const LayoutFacts facts = ReadLayoutTables(ViewOf(gsub), TableState::kPresent, ViewOf(gpos),
                                             TableState::kPresent, index);
  EXPECT_FALSE(facts.gsub_broken || facts.gpos_broken);
  ASSERT_EQ(facts.scripts.size(), 3u);
  EXPECT_EQ(facts.scripts[0].tag, "latn");
  EXPECT_EQ(facts.scripts[0].languages, (std::vector<std::string>{"dflt", "TRK ", "ROM "}));
  EXPECT_EQ(facts.scripts[0].tables, kInGsub | kInGpos);
  EXPECT_EQ(facts.scripts[1].languages, std::vector<std::string>{"SRB "});
  EXPECT_EQ(facts.scripts[1].tables, kInGsub);
  EXPECT_EQ(facts.scripts[2].tag, "grek");
  EXPECT_EQ(facts.scripts[2].tables, kInGpos);
  std::vector<std::string> tags;
  for (const LayoutFeature& f : facts.features) tags.push_back(f.tag);
  EXPECT_EQ(tags, (std::vector<std::string>{"liga", "ss01", "cv02", "kern"}));
  EXPECT_EQ(facts.features[0].tables, kInGsub | kInGpos);
  EXPECT_EQ(facts.features[1].ui_name, "Open digits");
  EXPECT_EQ(facts.features[2].ui_name, "Single-storey a");
  EXPECT_EQ(FindFeature(facts, "kern")->tables, kInGpos);
  EXPECT_EQ(FindFeature(facts, "smcp"), nullptr);
}

TEST(Layout, OffsetsOutsideTheTableAreBrokenButTheRestIsRead) {
  std::string gsub = Layout({{"arab", true, {}}, {"latn", true, {"TRK "}}}, {{"liga", 0}});
  // The first script record's offset points past the table.
  SetU16BE(gsub, 10 + 2 + 4, 0xFFF0);
  LayoutFacts facts = ReadLayout(gsub);
  EXPECT_TRUE(facts.gsub_broken);
  ASSERT_EQ(facts.scripts.size(), 1u);
  EXPECT_EQ(facts.scripts[0].tag, "latn");
  EXPECT_EQ(facts.features.size(), 1u);

  // A version the reader does not know, a script count past the end, a table cut short.
  std::string version = Layout({{"latn", true, {}}}, {});
  SetU16BE(version, 0, 2);
  std::string count = Layout({{"latn", true, {}}}, {{"liga", 0}});
  SetU16BE(count, 10, 5000);
  const std::string cut = Layout({{"latn", true, {"TRK "}}}, {}).substr(0, 20);
  for (const std::string& table : {version, count, cut}) EXPECT_TRUE(ReadLayout(table).gsub_broken);
  EXPECT_EQ(ReadLayout(count).features.size(), 1u);
  EXPECT_TRUE(ReadLayout({}, cut).gpos_broken);
}

TEST(Layout, ListsPointingAtEachOtherStayLinear) {
  // 10,000 script records, all pointing at one script table of 10,000 language
  // systems: read naively, a hundred million records.
  const uint32_t records = 10000;
  std::string list;
  PutU16BE(list, records);
  const uint32_t script = 2 + 6 * records;
  for (uint32_t i = 0; i < records; ++i) {
    list += i % 2 ? "latn" : "cyrl";
    PutU16BE(list, static_cast<uint16_t>(script));
  }
  PutU16BE(list, 0);
  PutU16BE(list, records);
  for (uint32_t i = 0; i < records; ++i) {
    list += "TRK ";
    PutU16BE(list, 0);
  }
  std::string gsub;
  for (uint16_t v : {1, 0, 10, 0, 0}) PutU16BE(gsub, v);
  gsub += list;
  ASSERT_LT(script, 0x10000u);
  const auto start = std::chrono::steady_clock::now();
  const LayoutFacts facts = ReadLayout(gsub);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(facts.gsub_broken);
  ASSERT_EQ(facts.scripts.size(), 2u);
  EXPECT_EQ(facts.scripts[0].languages, std::vector<std::string>{"TRK "});
  // Generous: the bounded read takes about a millisecond.
  EXPECT_LT(elapsed, std::chrono::seconds(2));

  // Script tables at every second byte, each overlapping the next.
  std::string overlapping;
  for (uint16_t v : {1, 0, 10, 0, 0}) PutU16BE(overlapping, v);
  PutU16BE(overlapping, 4000);
  for (uint32_t i = 0; i < 4000; ++i) {
    overlapping += "latn";
    PutU16BE(overlapping, static_cast<uint16_t>(2 + 6 * 4000 + 2 * i));
  }
  overlapping += std::string(30000, '\x01');
  const LayoutFacts spread = ReadLayout(overlapping);
  EXPECT_TRUE(spread.gsub_broken);
  EXPECT_EQ(spread.scripts.size(), 1u);
}

// ---- colour ---------------------------------------------------------------------

TEST(Color, EachFormatWithItsCounts) {
  std::string colr;
  PutU16BE(colr, 1);
  PutU16BE(colr, 2);       // base glyph records
  PutU32BE(colr, 34);
  PutU32BE(colr, 46);
  PutU16BE(colr, 3);       // layer records
  PutU32BE(colr, 58);      // base glyph list
  PutU32BE(colr, 68);      // layer list
  PutU32BE(colr, 0);
  PutU32BE(colr, 0);
  PutU32BE(colr, 0);
  colr += std::string(12, '\0') + std::string(12, '\0');
  PutU32BE(colr, 1);
  colr += std::string(6, '\0');
  PutU32BE(colr, 4);
  colr += std::string(16, '\0');

  std::string cpal;
  for (uint16_t v : {1, 4, 3, 12}) PutU16BE(cpal, v);
  PutU32BE(cpal, 30);
  for (uint16_t v : {0, 4, 8}) PutU16BE(cpal, v);
  PutU32BE(cpal, 30 + 48);  // palette types after the colours
  PutU32BE(cpal, 0);
  PutU32BE(cpal, 0);
  cpal += std::string(48, '\0');
  for (uint32_t type : {1u, 2u, 3u}) PutU32BE(cpal, type);

  std::string cblc;
  PutU32BE(cblc, 0x00030000);
  PutU32BE(cblc, 2);
  for (uint8_t ppem : {109, 136}) {
    std::string size(48, '\0');
    size[44] = size[45] = static_cast<char>(ppem);
    cblc += size;
  }
  std::string sbix;
  PutU16BE(sbix, 1);
  PutU16BE(sbix, 1);
  PutU32BE(sbix, 2);
  PutU32BE(sbix, 16);
  PutU32BE(sbix, 20);
  for (uint16_t ppem : {20, 40}) {
    PutU16BE(sbix, ppem);
    PutU16BE(sbix, 72);
  }
  std::string svg;
  PutU16BE(svg, 0);
  PutU32BE(svg, 10);
  PutU32BE(svg, 0);
  PutU16BE(svg, 2);
  svg += std::string(24, '\0');

  SfntFont font = PlainSfnt();
  font.Add("COLR", colr).Add("CPAL", cpal).Add("CBDT", std::string(4, '\0')).Add("CBLC", cblc)
      .Add("sbix", sbix).Add("SVG ", svg);
  const ColorFacts c = Anatomy(font).color;
  EXPECT_FALSE(c.colr_broken || c.cpal_broken || c.cblc_broken || c.sbix_broken || c.svg_broken);
  EXPECT_EQ(c.colr_version, 1);
  EXPECT_EQ(c.base_glyphs, 3u);
  EXPECT_EQ(c.layers, 7u);
  EXPECT_EQ(c.palettes, 3);
  EXPECT_EQ(c.palette_entries, 4);
  EXPECT_EQ(c.light_palettes, 2);
  EXPECT_EQ(c.dark_palettes, 2);
  EXPECT_EQ(c.bitmap_strikes, (std::vector<uint8_t>{109, 136}));
  EXPECT_EQ(c.sbix_strikes, (std::vector<uint16_t>{20, 40}));
  EXPECT_EQ(c.svg_documents, 2);

  // Each broken in its own way; the others are still read.
  struct Case {
    const char* tag;
    size_t at;
    uint32_t value;
    bool ColorFacts::*broken;
  } cases[] = {{"COLR", 2, 0x7FFF0000, &ColorFacts::colr_broken},
               {"COLR", 58, 0x7FFFFFFF, &ColorFacts::colr_broken},
               {"CPAL", 12, 0x00100000, &ColorFacts::cpal_broken},
               {"CPAL", 18, 0x00010000, &ColorFacts::cpal_broken},
               {"CBLC", 4, 0x01000000, &ColorFacts::cblc_broken},
               {"sbix", 8, 0xFFFFFFF0, &ColorFacts::sbix_broken},
               {"SVG ", 2, 0x00FF0000, &ColorFacts::svg_broken}};
  for (const Case& k : cases) {
    SfntFont broken = font;
    for (SfntTable& table : broken.tables)
      if (table.tag == k.tag) SetU32BE(table.data, k.at, k.value);
    const ColorFacts b = Anatomy(broken).color;
    EXPECT_TRUE(b.*(k.broken)) << k.tag << " " << k.at;
    EXPECT_EQ(b.svg_documents + b.sbix_strikes.size() + b.bitmap_strikes.size() > 0, true) << k.tag;
  }
}

// ---- further facts ---------------------------------------------------------------

TEST(FaceFactsTest, EmbeddingKerningVerticalHintingGaspSignature) {
  std::string os2 = Os2Table();
  SetU16BE(os2, 8, kEmbedEditable | kEmbedNoSubsetting);
  std::string kern;
  PutU16BE(kern, 0);
  PutU16BE(kern, 2);
  for (int i = 0; i < 2; ++i) {
    PutU16BE(kern, 0);
    PutU16BE(kern, 20);
    PutU16BE(kern, 1);
    kern += std::string(14, '\0');
  }
  std::string gasp;
  for (uint16_t v : {1, 2, 8, 2, 0xFFFF, 15}) PutU16BE(gasp, v);
  std::string dsig;
  PutU32BE(dsig, 1);
  PutU16BE(dsig, 1);
  PutU16BE(dsig, 0);
  dsig += std::string(12, '\0');
  SfntFont font;
  font.Add("OS/2", os2).Add("kern", kern).Add("vhea", std::string(36, '\0'))
      .Add("vmtx", std::string(4, '\0')).Add("fpgm", std::string(123, '\0'))
      .Add("prep", std::string(7, '\0')).Add("gasp", gasp).Add("DSIG", dsig);
  const FaceFacts f = Anatomy(font).facts;
  EXPECT_TRUE(f.has_fs_type);
  EXPECT_EQ(f.fs_type, kEmbedEditable | kEmbedNoSubsetting);
  EXPECT_EQ(f.kern_subtables, 2u);
  EXPECT_FALSE(f.kern_broken || f.gasp_broken || f.dsig_broken);
  EXPECT_EQ(f.vhea, TableState::kPresent);
  EXPECT_EQ(f.vorg, TableState::kAbsent);
  EXPECT_EQ(f.fpgm_size, 123u);
  EXPECT_EQ(f.prep_size, 7u);
  EXPECT_EQ(f.cvt, TableState::kAbsent);
  ASSERT_EQ(f.gasp_ranges.size(), 2u);
  EXPECT_EQ(f.gasp_ranges[1].max_ppem, 0xFFFF);
  EXPECT_EQ(f.gasp_ranges[1].behavior, 15);
  EXPECT_EQ(f.signatures, 1);

  // A last subtable longer than 16 bits can say (its length wrapped) still counts;
  // a subtable past the table does not.
  std::string wrapped = kern;
  SetU16BE(wrapped, 4 + 20 + 2, 4);
  std::string past = kern;
  SetU16BE(past, 4 + 2, 400);
  SfntFont w = font, p = font;
  w.tables[1].data = wrapped;
  p.tables[1].data = past;
  EXPECT_EQ(Anatomy(w).facts.kern_subtables, 2u);
  EXPECT_FALSE(Anatomy(w).facts.kern_broken);
  EXPECT_TRUE(Anatomy(p).facts.kern_broken);
}

// ---- faces, tables and names -------------------------------------------------------

TEST(FaceTablesTest, TablesOutsideTheFileAreBrokenAndFacesAreFound) {
  SfntFont font = PlainSfnt();
  font.Add("GSUB", Layout({{"latn", true, {}}}, {{"liga", 0}})).Add("DSIG", std::string(8, '\0'));
  std::string bytes = BuildSfnt(font);
  SetU32BE(bytes, DirectoryOffsetField(3), 0xFFFFFF00);
  FontAnatomy anatomy = ReadFontAnatomy(ViewOf(bytes), 0);
  EXPECT_TRUE(anatomy.sfnt);
  EXPECT_EQ(anatomy.layout.scripts.size(), 1u);
  EXPECT_EQ(anatomy.facts.dsig, TableState::kBroken);
  EXPECT_TRUE(anatomy.facts.dsig_broken);
  EXPECT_FALSE(ReadFontAnatomy(ViewOf(bytes), 1).sfnt);

  SfntFont second = PlainSfnt();
  second.Add("GPOS", Layout({{"grek", true, {}}}, {{"kern", 0}}));
  const std::string collection = BuildCollection({font, second});
  EXPECT_EQ(ReadFontAnatomy(ViewOf(collection), 1).layout.scripts[0].tag, "grek");
  EXPECT_FALSE(ReadFontAnatomy(ViewOf(collection), 2).sfnt);
  const std::string not_a_font = "MZ not a font at all";
  EXPECT_FALSE(ReadFontAnatomy(ViewOf(not_a_font), 0).sfnt);
}

TEST(FaceTablesTest, NamePreferenceAndTheTextAllowance) {
  NameTable table;
  table.records.push_back({300, "Mac", 1, 0, 0});
  table.records.push_back({300, Utf16BE(u"Deutsch"), 3, 1, 0x0407});
  table.records.push_back({301, "Mac\xA5", 1, 0, 0});
  table.records.push_back({302, Utf16BE(u"Deutsch"), 3, 1, 0x0407});
  table.records.push_back({302, Utf16BE(u"English"), 3, 1, 0x0409});
  table.records.push_back({303, Utf16BE(u"Symbol"), 3, 0, 0x0409});
  table.records.push_back({304, Utf16BE(u"\u0421\u044A\u0435\u0448\u044C \U0001F600") + "x", 3, 1, 0x0409});
  const std::string bytes = BuildNameTable(table);
  NameIndex names = IndexNames(ViewOf(bytes));
  EXPECT_EQ(NameText(names, 300), "Deutsch");
  EXPECT_EQ(NameText(names, 301), "Mac?");
  EXPECT_EQ(NameText(names, 302), "English");
  EXPECT_EQ(NameText(names, 303), std::nullopt);
  // The same records as UTF-16: any script, a pair as it stands, an odd last byte dropped.
  EXPECT_EQ(NameUtf16(names, 304), u"\u0421\u044A\u0435\u0448\u044C \U0001F600");
  EXPECT_EQ(NameUtf16(names, 301), u"Mac?");
  EXPECT_EQ(NameUtf16(names, 303), std::nullopt);

  // 2,000 ids that all point at one text of 60,000 bytes: converted until the
  // allowance (twice the table and 64 KiB) is spent, then absent.
  NameTable many;
  std::string text(60000, 'a');
  many.records.push_back({1000, text, 3, 1, 0x0409});
  std::string hostile = BuildNameTable(many);
  const std::string first_record = hostile.substr(6, 12);
  std::string records;
  for (uint16_t id = 1000; id < 3000; ++id) {
    std::string record = first_record;
    SetU16BE(record, 6, id);
    records += record;
  }
  hostile = hostile.substr(0, 2) + std::string(4, '\0') + records + text;
  SetU16BE(hostile, 2, 2000);
  SetU16BE(hostile, 4, static_cast<uint16_t>(6 + records.size()));
  NameIndex index = IndexNames(ViewOf(hostile));
  int converted = 0;
  for (uint16_t id = 1000; id < 3000; ++id) converted += NameText(index, id).has_value();
  EXPECT_GE(converted, 2);
  EXPECT_LE(converted, 6);
}

TEST(LayoutCatalog, SortedTablesAndRegisteredNames) {
  for (auto table : {ScriptTagNames, LanguageTagNames, FeatureTagNames})
    for (size_t i = 1; i < table.size(); ++i)
      EXPECT_LT(std::string(table[i - 1].tag), std::string(table[i].tag)) << table[i].tag;
  const struct {
    std::string (*lookup)(const std::string&);
    const char* tag;
    const char* name;
  } cases[] = {{ScriptName, "latn", "Latin"},       {ScriptName, "DFLT", "Default"},
               {ScriptName, "lao ", "Lao"},         {ScriptName, "zzzz", ""},
               {LanguageName, "TRK ", "Turkish"},   {LanguageName, "ENG ", "English"},
               {LanguageName, "TRK", ""},           {FeatureName, "liga", "Standard Ligatures"},
               {FeatureName, "smcp", "Small Capitals"}, {FeatureName, "ss07", "Stylistic Set 7"},
               {FeatureName, "ss21", ""},           {FeatureName, "cv99", "Character Variant 99"},
               {FeatureName, "cv00", ""},           {FeatureName, "ssty", "Math script style alternates"}};
  for (const auto& c : cases) EXPECT_EQ(c.lookup(c.tag), c.name) << c.tag;
}

}  // namespace
