// Colour glyphs one at a time: COLR v0 layers in CPAL colours, PNGs from CBLC/CBDT
// and sbix strikes, on tables built byte by byte, and each bad glyph refused alone.
#include "fontfile/color_glyphs.h"
#include "fontfile/color_tables.h"

#include <gtest/gtest.h>

#include "font_builder.h"
#include "platform/platform.h"
#include "support/test_paths.h"

namespace {

// A PNG as far as the readers look: signature and IHDR, then a few bytes.
std::string FakePng(uint32_t width, uint32_t height) {
  std::string png = "\x89PNG\r\n\x1a\n";
  PutU32BE(png, 13);
  png += "IHDR";
  PutU32BE(png, width);
  PutU32BE(png, height);
  png += std::string(9, '\x08');
  return png;
}

// COLR v0: base glyph 5 with layers (glyph, palette index).
std::string Colr(const std::vector<std::pair<uint16_t, std::vector<std::pair<uint16_t, uint16_t>>>>& bases) {
  uint16_t layer_total = 0;
  for (const auto& base : bases) layer_total = static_cast<uint16_t>(layer_total + base.second.size());
  std::string colr;
  PutU16BE(colr, 0);
  PutU16BE(colr, static_cast<uint16_t>(bases.size()));
  PutU32BE(colr, 14);
  PutU32BE(colr, static_cast<uint32_t>(14 + 6 * bases.size()));
  PutU16BE(colr, layer_total);
  uint16_t first = 0;
  for (const auto& base : bases) {
    PutU16BE(colr, base.first);
    PutU16BE(colr, first);
    PutU16BE(colr, static_cast<uint16_t>(base.second.size()));
    first = static_cast<uint16_t>(first + base.second.size());
  }
  for (const auto& base : bases)
    for (auto [glyph, index] : base.second) {
      PutU16BE(colr, glyph);
      PutU16BE(colr, index);
    }
  return colr;
}

// CPAL version 1 with two palettes of two colours: light (red, green) and dark
// (blue, white); `types` empty writes version 0.
std::string Cpal(std::vector<uint32_t> types) {
  const bool v1 = !types.empty();
  std::string cpal;
  const uint32_t colours_at = 12 + 4 + (v1 ? 12 : 0);
  for (uint16_t v : {uint16_t(v1 ? 1 : 0), uint16_t(2), uint16_t(2), uint16_t(4)}) PutU16BE(cpal, v);
  PutU32BE(cpal, colours_at);
  PutU16BE(cpal, 0);
  PutU16BE(cpal, 2);
  if (v1) {
    PutU32BE(cpal, colours_at + 16);
    PutU32BE(cpal, 0);
    PutU32BE(cpal, 0);
  }
  // Blue, green, red, alpha.
  for (uint32_t bgra : {0x0000FFFFu, 0x00FF00FFu, 0xFF0000FFu, 0xFFFFFFFFu}) PutU32BE(cpal, bgra);
  for (uint32_t type : types) PutU32BE(cpal, type);
  return cpal;
}

ByteView View(const std::string& s) { return ViewOf(s); }

TEST(ColorLayers, LayersInPaletteColoursAndThePaletteByBackground) {
  const std::string colr = Colr({{3, {{7, 0}, {8, 1}, {9, 0xFFFF}}}, {5, {{5, 1}}}});
  struct Case {
    std::vector<uint32_t> types;
    bool dark;
    uint32_t first, second;
  } cases[] = {
      {{}, false, 0xFFFF0000, 0xFF00FF00},      // version 0: palette 0
      {{}, true, 0xFFFF0000, 0xFF00FF00},       // no dark palette: palette 0 still
      {{1, 2}, false, 0xFFFF0000, 0xFF00FF00},  // light flag on palette 0
      {{1, 2}, true, 0xFF0000FF, 0xFFFFFFFF},   // dark flag on palette 1
      {{2, 1}, false, 0xFF0000FF, 0xFFFFFFFF},  // the flags, not the order, decide
      {{0, 0}, true, 0xFFFF0000, 0xFF00FF00},
  };
  for (const Case& c : cases) {
    const std::string cpal = Cpal(c.types);
    const std::optional<Palette> palette = ChoosePalette(View(cpal), c.dark);
    ASSERT_TRUE(palette);
    std::vector<ColorLayer> layers;
    ASSERT_EQ(ReadColorLayers(View(colr), *palette, 20, 3, layers), ColorLookup::kFound);
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].glyph, 7);
    EXPECT_EQ(layers[0].argb, c.first) << c.dark;
    EXPECT_EQ(layers[1].argb, c.second) << c.dark;
    EXPECT_TRUE(layers[2].text_colour);
    EXPECT_FALSE(layers[0].text_colour);
    // A layer drawn with its own base glyph is an outline, not a loop.
    ASSERT_EQ(ReadColorLayers(View(colr), *palette, 20, 5, layers), ColorLookup::kFound);
    EXPECT_EQ(layers.size(), 1u);
    EXPECT_EQ(ReadColorLayers(View(colr), *palette, 20, 4, layers), ColorLookup::kNone);
  }
}

TEST(ColorLayers, EachBadGlyphRefusedAlone) {
  const std::string cpal = Cpal({});
  const Palette palette = *ChoosePalette(View(cpal), false);
  // Glyph 2 is sound in every variant; glyph 3 is broken by each.
  const auto sound = std::vector<std::pair<uint16_t, uint16_t>>{{4, 0}};
  struct Case {
    const char* what;
    std::string colr;
  } cases[] = {
      {"palette index beyond the palette", Colr({{2, sound}, {3, {{4, 2}}}})},
      {"layer glyph beyond maxp", Colr({{2, sound}, {3, {{20, 0}}}})},
      {"layer range beyond the records", [&] {
         std::string c = Colr({{2, sound}, {3, {{4, 0}}}});
         SetU16BE(c, 14 + 6 + 4, 60000);  // glyph 3's layer count
         return c;
       }()},
      {"layer records beyond the table", [&] {
         std::string c = Colr({{2, sound}, {3, {{4, 0}}}});
         SetU16BE(c, 12, 3);  // says three records, holds two
         SetU16BE(c, 14 + 6 + 4, 2);
         return c;
       }()},
  };
  for (const Case& c : cases) {
    std::vector<ColorLayer> layers;
    EXPECT_EQ(ReadColorLayers(View(c.colr), palette, 20, 3, layers), ColorLookup::kBroken) << c.what;
    EXPECT_TRUE(layers.empty()) << c.what;
    EXPECT_EQ(ReadColorLayers(View(c.colr), palette, 20, 2, layers), ColorLookup::kFound) << c.what;
  }
  // More layers than any real glyph: refused before a single one is read.
  std::vector<std::pair<uint16_t, uint16_t>> many(kMaxColorLayers + 1, {4, 0});
  std::vector<ColorLayer> layers;
  EXPECT_EQ(ReadColorLayers(View(Colr({{3, many}})), palette, 20, 3, layers),
            ColorLookup::kBroken);
  // A palette whose entries leave the colour records is no palette.
  std::string short_cpal = cpal;
  SetU16BE(short_cpal, 6, 1);
  EXPECT_FALSE(ChoosePalette(View(short_cpal), false));
}

// The Info report and the drawing read CPAL through one header: the report calls
// the table broken when a range leaves it, the drawing still takes a palette whose
// own colours lie inside, and the palette it takes for a dark ground is the one
// the report counts as dark.
TEST(ColorLayers, TheReportAndTheDrawingReadCpalAlike) {
  struct Case {
    const char* what;
    std::string cpal;
    bool broken;
    uint32_t dark_first;  // the dark palette's first colour, 0 for no palette
  } cases[] = {
      {"version 1, a dark palette", Cpal({1, 2}), false, 0xFF0000FF},
      {"version 0", Cpal({}), false, 0xFFFF0000},
      {"types past the table", [] {
         std::string c = Cpal({1, 2});
         SetU32BE(c, 16, 0x7FFF);
         return c;
       }(), true, 0xFFFF0000},
      {"colour records past the table", [] {
         std::string c = Cpal({});
         SetU16BE(c, 6, 400);
         return c;
       }(), true, 0xFFFF0000},
  };
  for (const Case& c : cases) {
    const ColorFacts facts = ReadColorTables(
        ColorTableBytes{{}, FaceTable{TableState::kPresent, View(c.cpal)}, {}, {}, {}, {}});
    EXPECT_EQ(facts.cpal_broken, c.broken) << c.what;
    EXPECT_EQ(facts.dark_palettes, !c.broken && c.dark_first == 0xFF0000FF ? 1 : 0) << c.what;
    const std::optional<Palette> dark = ChoosePalette(View(c.cpal), true);
    ASSERT_EQ(dark.has_value(), c.dark_first != 0) << c.what;
    if (dark) {
      EXPECT_EQ(dark->colours[0], c.dark_first) << c.what;
    }
  }
}

TEST(ColorLayers, VersionOnePaintsAreSeen) {
  std::string colr;
  for (uint16_t v : {1, 0}) PutU16BE(colr, v);
  PutU32BE(colr, 0);
  PutU32BE(colr, 0);
  PutU16BE(colr, 0);
  PutU32BE(colr, 34);  // base glyph list
  for (int i = 0; i < 4; ++i) PutU32BE(colr, 0);
  PutU32BE(colr, 2);
  for (uint16_t glyph : {6, 9}) {
    PutU16BE(colr, glyph);
    PutU32BE(colr, 100);
  }
  EXPECT_TRUE(HasColorPaint(View(colr), 9));
  EXPECT_FALSE(HasColorPaint(View(colr), 7));
  SetU32BE(colr, 34, 0x10000000);  // a count the table cannot hold
  EXPECT_FALSE(HasColorPaint(View(colr), 9));
}

// ---- bitmaps ------------------------------------------------------------------

// CBLC with one strike per ppem, glyphs 1..3 in one index subtable of
// `index_format`, their images of `image_format` in CBDT; glyph 2 has none where
// the format allows.
struct CbdtFont {
  std::string cblc, cbdt;
};
CbdtFont BuildCbdt(const std::vector<uint8_t>& ppems, uint16_t index_format,
                   uint16_t image_format) {
  CbdtFont f;
  PutU32BE(f.cbdt, 0x00030000);
  PutU32BE(f.cblc, 0x00030000);
  PutU32BE(f.cblc, static_cast<uint32_t>(ppems.size()));
  const uint32_t records_end = 8 + 48 * static_cast<uint32_t>(ppems.size());
  std::string subtables;
  for (size_t s = 0; s < ppems.size(); ++s) {
    // Images: width 10 x 20 for the first strike, doubled for each further one.
    const uint32_t side = 10u << s;
    std::vector<uint32_t> offsets;
    const uint32_t image_base = static_cast<uint32_t>(f.cbdt.size());
    for (int glyph = 1; glyph <= 3; ++glyph) {
      offsets.push_back(static_cast<uint32_t>(f.cbdt.size()) - image_base);
      if (image_format == 17) {
        f.cbdt += {char(side * 2), char(side), char(-2), char(side * 2 - 3), char(side + 1)};
      } else if (image_format == 18) {
        f.cbdt += {char(side * 2), char(side), char(-2), char(side * 2 - 3), char(side + 1),
                   0, 0, 0};
      }
      const std::string png = FakePng(side, side * 2);
      PutU32BE(f.cbdt, static_cast<uint32_t>(png.size()));
      f.cbdt += png;
    }
    offsets.push_back(static_cast<uint32_t>(f.cbdt.size()) - image_base);
    const uint32_t image_size = offsets[1] - offsets[0];

    std::string sub;
    PutU16BE(sub, index_format);
    PutU16BE(sub, image_format);
    PutU32BE(sub, image_base);
    auto big_metrics = [&] {
      sub += {char(side * 2), char(side), char(-2), char(side * 2 - 3), char(side + 1), 0, 0, 0};
    };
    switch (index_format) {
      case 1: for (uint32_t o : offsets) PutU32BE(sub, o); break;
      case 3: for (uint32_t o : offsets) PutU16BE(sub, static_cast<uint16_t>(o)); break;
      case 2: PutU32BE(sub, image_size); big_metrics(); break;
      case 4:
        PutU32BE(sub, 3);
        for (int i = 0; i < 4; ++i) {
          PutU16BE(sub, static_cast<uint16_t>(i + 1));
          PutU16BE(sub, static_cast<uint16_t>(offsets[i]));
        }
        break;
      case 5:
        PutU32BE(sub, image_size);
        big_metrics();
        PutU32BE(sub, 3);
        for (uint16_t g : {1, 2, 3}) PutU16BE(sub, g);
        break;
    }
    // The subtable array of this strike: one record, then the subtable.
    const uint32_t array_at = records_end + static_cast<uint32_t>(subtables.size());
    std::string array;
    PutU16BE(array, 1);
    PutU16BE(array, 3);
    PutU32BE(array, 8);
    std::string record(48, '\0');
    SetU32BE(record, 0, array_at);
    SetU32BE(record, 4, static_cast<uint32_t>(array.size() + sub.size()));
    SetU32BE(record, 8, 1);
    SetU16BE(record, 40, 1);
    SetU16BE(record, 42, 3);
    record[44] = record[45] = static_cast<char>(ppems[s]);
    record[46] = 32;
    f.cblc += record;
    subtables += array + sub;
  }
  f.cblc += subtables;
  return f;
}

ColorGlyphTables Tables(const CbdtFont& f) {
  ColorGlyphTables t;
  t.cblc = View(f.cblc);
  t.cbdt = View(f.cbdt);
  t.glyph_count = 10;
  return t;
}

TEST(BitmapGlyphs, EveryIndexAndImageFormatGivesThePngAndItsPlace) {
  struct Case {
    uint16_t index_format, image_format;
  } cases[] = {{1, 17}, {3, 17}, {1, 18}, {4, 18}, {2, 19}, {5, 19}, {4, 17}};
  for (const Case& c : cases) {
    const CbdtFont f = BuildCbdt({20, 40}, c.index_format, c.image_format);
    for (auto [wanted, side, ppem] : {std::tuple{16u, 10u, 20}, std::tuple{32u, 20u, 40},
                                      std::tuple{100u, 20u, 40}, std::tuple{30u, 20u, 40}}) {
      BitmapGlyph glyph;
      ASSERT_EQ(FindBitmapGlyph(Tables(f), 2, wanted, glyph), ColorLookup::kFound)
          << c.index_format << "/" << c.image_format << " at " << wanted;
      EXPECT_EQ(glyph.ppem, ppem);
      EXPECT_EQ(glyph.size.width, side);
      EXPECT_EQ(glyph.size.height, side * 2);
      EXPECT_EQ(glyph.left, -2);
      EXPECT_EQ(glyph.top, static_cast<int32_t>(side * 2 - 3));
      EXPECT_EQ(glyph.advance, static_cast<int32_t>(side + 1));
      EXPECT_EQ(ReadPngSize(glyph.png)->width, side);
    }
    BitmapGlyph none;
    EXPECT_EQ(FindBitmapGlyph(Tables(f), 4, 20, none), ColorLookup::kNone);
    EXPECT_EQ(none.png.size, 0u);
  }
}

TEST(BitmapGlyphs, BadStrikesAndPngsRefuseTheGlyphAlone) {
  // Positions in BuildCbdt({20}, 1, 17): the strike record at 8, its subtable
  // array at 56, the subtable at 64, its offsets from 72; images in CBDT from 4.
  const CbdtFont sound = BuildCbdt({20}, 1, 17);
  const uint32_t image = 5 + 4 + static_cast<uint32_t>(FakePng(1, 1).size());
  struct Case {
    const char* what;
    std::string CbdtFont::*table;
    size_t at;
    uint32_t value;
    bool u16;
    bool others_drawn;
  } cases[] = {
      {"glyph 2's offset beyond CBDT", &CbdtFont::cblc, 72 + 8, 0x00FFFFFF, false, false},
      {"glyph 2's image ends before it starts", &CbdtFont::cblc, 72 + 8, image - 1, false, false},
      {"a PNG of 60000 x 60000", &CbdtFont::cbdt, 4 + image + 9 + 16, 60000, false, true},
      {"a PNG of width 0", &CbdtFont::cbdt, 4 + image + 9 + 16, 0, false, true},
      {"PNG length beyond the image", &CbdtFont::cbdt, 4 + image + 5, 0x7FFFFFF0, false, true},
      {"not a PNG", &CbdtFont::cbdt, 4 + image + 9, 0x12345678, false, true},
      {"image format 1", &CbdtFont::cblc, 64 + 2, 1, true, false},
      {"index format 9", &CbdtFont::cblc, 64, 9, true, false},
      {"subtable array beyond CBLC", &CbdtFont::cblc, 8, 0xFFFFFFF0, false, false},
      {"subtable offset wraps", &CbdtFont::cblc, 56 + 4, 0xFFFFFFFF, false, false},
  };
  for (const Case& c : cases) {
    CbdtFont f = sound;
    std::string& bytes = f.*(c.table);
    if (c.u16) SetU16BE(bytes, c.at, static_cast<uint16_t>(c.value));
    else SetU32BE(bytes, c.at, c.value);
    BitmapGlyph glyph;
    EXPECT_EQ(FindBitmapGlyph(Tables(f), 2, 20, glyph), ColorLookup::kBroken) << c.what;
    EXPECT_EQ(glyph.png.size, 0u) << c.what;
    if (c.others_drawn) {
      EXPECT_EQ(FindBitmapGlyph(Tables(f), 3, 20, glyph), ColorLookup::kFound) << c.what;
    }
  }
  // Millions of subtable records, glyph 2 in none of the first: the lookup gives
  // up after its allowance instead of walking them all.
  CbdtFont many = sound;
  SetU32BE(many.cblc, 8 + 8, 0x00FFFFFF);
  SetU16BE(many.cblc, 56 + 2, 1);
  BitmapGlyph found;
  EXPECT_EQ(FindBitmapGlyph(Tables(many), 2, 20, found), ColorLookup::kBroken);
  EXPECT_EQ(FindBitmapGlyph(Tables(many), 1, 20, found), ColorLookup::kFound);
  // A strike count beyond the table: every glyph refused, nothing read past it.
  CbdtFont f = sound;
  SetU32BE(f.cblc, 4, 0x01000000);
  BitmapGlyph glyph;
  EXPECT_EQ(FindBitmapGlyph(Tables(f), 1, 20, glyph), ColorLookup::kBroken);
}

std::string Sbix(const std::vector<std::string>& glyph_data, uint16_t ppem) {
  std::string sbix;
  PutU16BE(sbix, 1);
  PutU16BE(sbix, 1);
  PutU32BE(sbix, 1);
  PutU32BE(sbix, 12);
  PutU16BE(sbix, ppem);
  PutU16BE(sbix, 72);
  uint32_t at = 4 + 4 * static_cast<uint32_t>(glyph_data.size() + 1);
  for (const std::string& data : glyph_data) {
    PutU32BE(sbix, at);
    at += static_cast<uint32_t>(data.size());
  }
  PutU32BE(sbix, at);
  for (const std::string& data : glyph_data) sbix += data;
  return sbix;
}

std::string SbixPng(int16_t x, int16_t y, uint32_t side) {
  std::string data;
  PutU16BE(data, static_cast<uint16_t>(x));
  PutU16BE(data, static_cast<uint16_t>(y));
  return data + "png " + FakePng(side, side);
}

std::string SbixDupe(uint16_t glyph) {
  std::string data(4, '\0');
  data += "dupe";
  PutU16BE(data, glyph);
  return data;
}

TEST(BitmapGlyphs, SbixPngsDupesAndTheirLoops) {
  const std::string sbix = Sbix({"", SbixPng(1, -4, 30), SbixDupe(1), SbixDupe(2), SbixDupe(3),
                                 SbixDupe(9), std::string(4, '\0') + "jpg " + FakePng(2, 2)},
                                40);
  ColorGlyphTables t;
  t.sbix = View(sbix);
  t.glyph_count = 7;
  struct Case {
    uint16_t glyph;
    ColorLookup result;
  } cases[] = {{0, ColorLookup::kNone},   {1, ColorLookup::kFound},  {2, ColorLookup::kFound},
               {3, ColorLookup::kBroken}, {4, ColorLookup::kBroken}, {5, ColorLookup::kBroken},
               {6, ColorLookup::kBroken}, {7, ColorLookup::kBroken}};
  for (const Case& c : cases) {
    BitmapGlyph glyph;
    EXPECT_EQ(FindBitmapGlyph(t, c.glyph, 40, glyph), c.result) << c.glyph;
    if (c.result != ColorLookup::kFound) continue;
    EXPECT_EQ(glyph.ppem, 40);
    EXPECT_EQ(glyph.left, 1);
    EXPECT_EQ(glyph.top, 26);  // the lower left corner 4 below the baseline
    EXPECT_EQ(glyph.size.width, 30u);
  }
}

TEST(BitmapGlyphs, NotoColorEmojiGrinningFace) {
  const std::string path = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";
  ASSERT_EQ(MissingFont(path), "");
  MappedFile file;
  ASSERT_TRUE(MapFileReadOnly(HostPath(path).c_str(), file));
  const ColorGlyphTables t = FindColorGlyphTables(ByteView{file.data, file.size}, 0);
  EXPECT_EQ(t.colr.size, 0u);
  EXPECT_GT(t.cbdt.size, 1000000u);
  EXPECT_EQ(t.glyph_count, 3968);
  BitmapGlyph glyph;
  ASSERT_EQ(FindBitmapGlyph(t, 883, 16, glyph), ColorLookup::kFound);  // U+1F600
  EXPECT_EQ(glyph.ppem, 109);
  EXPECT_EQ(glyph.size.width, 136u);
  EXPECT_EQ(glyph.size.height, 128u);
  EXPECT_GT(glyph.advance, 100);
  EXPECT_GT(glyph.top, 64);
}

}  // namespace
