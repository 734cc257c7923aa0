// Colour glyphs on the screen: Noto Color Emoji's PNGs in the grid and the
// thumbnail in the colours of the PNGs taken from the font, a COLR font's layers
// in the palette of the background, a glyph whose bitmap is refused hatched
// while the rest of the font is drawn, and glyphs that share one large PNG.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "fontfile/catalog.h"
#include "fontfile/color_glyphs.h"
#include "hostile_fonts.h"
#include "platform/platform.h"
#include "support/test_paths.h"
#include "tests/robustness/process_objects.h"
#include "tests/viewer/plugin_harness.h"
#include "viewer/color_glyphs.h"

namespace {

constexpr const char* kEmojiFont = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";
constexpr int kDarkFlag = 128;

int BlockPosition(const char* name) {
  for (size_t i = 0; i < UnicodeBlockTable.size(); ++i)
    if (std::string(UnicodeBlockTable[i].name) == name) return static_cast<int>(i);
  return -1;
}

// The glyph part of a cell (below its code label, inside its frame).
RECT GlyphArea(const GridViewer& v, int row, int column) {
  const POINT centre = v.CellCentre(row, column);
  const POINT right = v.CellCentre(row, column + 1);
  RECT item = {};
  SendMessageA(v.state().glyph_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  const int half = (right.x - centre.x) / 2;
  return {centre.x - half + 2, item.top + MenuFontLineHeight() + 1, centre.x + half - 1,
          item.bottom - 1};
}

uint32_t Background(const GridViewer& v) {
  return v.state().dark ? 0x1E1E1E : SystemRgb(COLOR_WINDOW);
}

TEST(ColourGlyphs, EmojiCellsShowTheColoursOfTheirPngs) {
  ASSERT_EQ(MissingFont(kEmojiFont), "");
  const std::string path = HostPath(kEmojiFont);
  GridViewer v("colour_emoji", "", path);
  v.SelectBlock(BlockPosition("Emoticons"));
  // U+1F600, U+1F608 (purple) and U+1F621 (red): each cell is its own PNG.
  for (uint32_t code : {0x1F600u, 0x1F608u, 0x1F621u}) {
    const std::optional<uint32_t> expected = BitmapGlyphMeanColour(path, code);
    ASSERT_TRUE(expected) << std::hex << code;
    const int cell = static_cast<int>(code - 0x1F600);
    const Pixels p = CaptureClient(v.state().glyph_list);
    int count = 0;
    const uint32_t mean =
        InkMeanColour(p, GlyphArea(v, cell / 16, cell % 16), Background(v), &count);
    EXPECT_GT(count, 60) << std::hex << code;
    EXPECT_TRUE(ColoursNear(mean, *expected, 40))
        << std::hex << code << ": drawn " << mean << ", PNG " << *expected;
  }
  // The same in dark mode: the PNGs do not change with the background.
  SendMessageA(v.window, kNewParamsMessage, kDarkFlag, 0);
  Pump();
  ASSERT_EQ(v.state().dark, 1);
  const Pixels dark = CaptureClient(v.state().glyph_list);
  int count = 0;
  const uint32_t mean = InkMeanColour(dark, GlyphArea(v, 0, 0), Background(v), &count);
  EXPECT_GT(count, 60);
  EXPECT_TRUE(ColoursNear(mean, *BitmapGlyphMeanColour(path, 0x1F600), 40)) << std::hex << mean;
}

// Pixels of r within `tolerance` of `colour`.
int PixelsNear(const Pixels& p, const RECT& r, uint32_t colour, int tolerance = 60) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += ColoursNear(p.At(x, y), colour, tolerance);
  return n;
}

TEST(ColourGlyphs, LayersInThePaletteOfTheBackground) {
  GridViewer v("colour_layers", "FontSizeGlyphs=24\r\n", HostPath(ORVANE_COLR_FONT));
  v.SelectBlock(BlockPosition("Geometric Shapes"));
  struct Case {
    bool dark;
    uint32_t left, right, text;
  } cases[] = {{false, 0xFF0000, 0x0000FF, SystemRgb(COLOR_WINDOWTEXT)},
               {true, 0xFFFF00, 0x00FFFF, 0xE6E6E6}};
  for (const Case& c : cases) {
    if (c.dark) {
      SendMessageA(v.window, kNewParamsMessage, kDarkFlag, 0);
      Pump();
    }
    const Pixels p = CaptureClient(v.state().glyph_list);
    // U+25A0: the left layer in entry 0, the right one in entry 1.
    const RECT area = GlyphArea(v, 0, 0);
    const int middle = (area.left + area.right) / 2;
    const RECT left = {area.left, area.top, middle, area.bottom};
    const RECT right = {middle, area.top, area.right, area.bottom};
    EXPECT_GT(PixelsNear(p, left, c.left), 30) << c.dark;
    EXPECT_GT(PixelsNear(p, right, c.right), 30) << c.dark;
    EXPECT_EQ(PixelsNear(p, left, c.right), 0) << c.dark;
    EXPECT_EQ(PixelsNear(p, right, c.left), 0) << c.dark;
    // U+25A1: one layer in the text colour (palette entry 0xFFFF).
    EXPECT_GT(PixelsNear(p, GlyphArea(v, 0, 1), c.text, 40), 30) << c.dark;
    EXPECT_EQ(PixelsNear(p, GlyphArea(v, 0, 1), c.left), 0) << c.dark;
  }
}

TEST(ColourGlyphs, ARefusedBitmapIsHatchedAndTheRestDrawn) {
  ASSERT_EQ(MissingFont(kEmojiFont), "");
  MappedFile file;
  ASSERT_TRUE(MapFileReadOnly(HostPath(kEmojiFont).c_str(), file));
  std::string bytes(reinterpret_cast<const char*>(file.data), file.size);
  FontInfo info;
  ASSERT_TRUE(ReadFontBytes(file.data, file.size, info));
  const ColorGlyphTables tables = FindColorGlyphTables(ByteView{file.data, file.size}, 0);
  BitmapGlyph glyph;
  ASSERT_EQ(FindBitmapGlyph(tables, static_cast<uint16_t>(GlyphOf(info.coverage, 0x1F600)), 109,
                            glyph),
            ColorLookup::kFound);
  // The PNG of U+1F600 claims 60000 x 60000 pixels.
  const size_t ihdr = static_cast<size_t>(glyph.png.data - file.data) + 16;
  for (size_t at : {ihdr, ihdr + 4}) {
    bytes[at] = 0;
    bytes[at + 1] = 0;
    bytes[at + 2] = static_cast<char>(0xEA);
    bytes[at + 3] = 0x60;
  }
  const std::string path = ScratchDir("colour_refused") + "\\emoji-png-60000.ttf";
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  GridViewer v("colour_refused_view", "", path);
  v.SelectBlock(BlockPosition("Emoticons"));
  const Pixels p = CaptureClient(v.state().glyph_list);
  int count = 0;
  const uint32_t hatch = InkMeanColour(p, GlyphArea(v, 0, 0), Background(v), &count, 30);
  EXPECT_GT(count, 10);
  EXPECT_TRUE(ColoursNear(hatch, 0xC8C8C8, 24)) << std::hex << hatch;  // grey, not the emoji
  const uint32_t next = InkMeanColour(p, GlyphArea(v, 0, 1), Background(v), &count);
  EXPECT_GT(count, 60);
  EXPECT_TRUE(ColoursNear(next, *BitmapGlyphMeanColour(HostPath(kEmojiFont), 0x1F601), 40));
}

// A thousand glyphs share one PNG of 2048 x 2048 pixels (16 MB decoded), through
// CBLC records or sbix "dupe"s: the page of cells decodes it once, scaled once to
// the size drawn, and the host's memory stays within 200 MB of its start.
TEST(ColourGlyphs, GlyphsSharingOnePngDecodeItOnce) {
  for (bool sbix : {false, true}) {
    SCOPED_TRACE(sbix ? "sbix" : "CBDT");
    const std::string path =
        ScratchDir("colour_shared") + (sbix ? "\\shared-sbix.ttf" : "\\shared-cbdt.ttf");
    const std::string font = SharedBitmapFont(1000, 2048, sbix);
    std::ofstream(path, std::ios::binary).write(font.data(), static_cast<std::streamsize>(font.size()));
    const uint64_t start = CommittedBytes();
    GridViewer v(sbix ? "colour_shared_sbix" : "colour_shared_cbdt", "", path);
    ASSERT_TRUE(v.state().colour_glyphs);
    // The ANSI block: rows 2 to 15 are glyphs 1 to 224.
    const Pixels p = CaptureClient(v.state().glyph_list);
    int count = 0;
    const uint32_t ink = InkMeanColour(p, GlyphArea(v, 2, 1), Background(v), &count);
    EXPECT_GT(count, 60);
    EXPECT_TRUE(ColoursNear(ink, 0xD04020, 40)) << std::hex << ink;
    EXPECT_EQ(v.state().colour_glyphs->images_decoded, 1u);
    EXPECT_LE(v.state().colour_glyphs->image_bytes, kMaxImageBytes);
    const uint64_t now = CommittedBytes();
    EXPECT_LT(now > start ? now - start : 0, uint64_t{200} << 20) << now << " after " << start;
    std::printf("%s: %llu PNG decoded, %llu KB of images kept, memory %lld KB on its start\n",
                sbix ? "sbix" : "CBDT",
                static_cast<unsigned long long>(v.state().colour_glyphs->images_decoded),
                static_cast<unsigned long long>(v.state().colour_glyphs->image_bytes >> 10),
                (static_cast<long long>(now) - static_cast<long long>(start)) / 1024);
  }
}

TEST(ColourGlyphs, TheThumbnailOfAnEmojiFontIsInColour) {
  ASSERT_EQ(MissingFont(kEmojiFont), "");
  const std::string path = HostPath(kEmojiFont);
  const Pixels p = ThumbnailPixels(path, 200, 150);
  ASSERT_EQ(p.width, 200);
  int count = 0;
  const uint32_t mean = InkMeanColour(p, {0, 0, 100, 90}, 0xFFFFFF, &count);
  EXPECT_GT(count, 400);
  EXPECT_TRUE(ColoursNear(mean, *BitmapGlyphMeanColour(path, 0x1F600), 48)) << std::hex << mean;
}

}  // namespace
