// Capabilities in pairs, where a user meets them: colour glyphs of a web font
// and of a collection's second face, find and the coverage counts of a decoded
// web font and of an instance. Compiled as one unit with zoom_box_test.cpp,
// whose PressOn opens the zoom box with real input.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fontfile/catalog.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace pairs {
namespace {

std::string Beside(const char* name) {
  std::string path = HostPath(ORVANE_COLR_FONT);
  return path.substr(0, path.find_last_of('\\') + 1) + name;
}

int Block(const char* name) {
  for (size_t i = 0; i < UnicodeBlockTable.size(); ++i)
    if (std::string(UnicodeBlockTable[i].name) == name) return static_cast<int>(i);
  return -1;
}

int Near(const Pixels& p, const RECT& r, uint32_t colour) {
  int n = 0;
  for (int y = std::max(0, int(r.top)); y < std::min(p.height, int(r.bottom)); ++y)
    for (int x = std::max(0, int(r.left)); x < std::min(p.width, int(r.right)); ++x)
      n += ColoursNear(p.At(x, y), colour, 60);
  return n;
}

// U+25A0 of the layers font: red on its left, blue on its right, in `r`.
void ExpectLayers(const Pixels& p, const RECT& r, int least) {
  const int middle = (r.left + r.right) / 2;
  EXPECT_GT(Near(p, {r.left, r.top, middle, r.bottom}, 0xFF0000), least);
  EXPECT_GT(Near(p, {middle, r.top, r.right, r.bottom}, 0x0000FF), least);
}

// The first cell of the Geometric Shapes block, U+25A0, on the grid.
void ExpectLayersInGrid(GridViewer& v) {
  v.SelectBlock(Block("Geometric Shapes"));
  UpdateWindow(v.state().glyph_list);
  const Pixels p = CaptureClient(v.state().glyph_list);
  const POINT centre = v.CellCentre(0, 0), next = v.CellCentre(0, 1);
  const int half = (next.x - centre.x) / 2;
  ExpectLayers(p, {centre.x - half, centre.y - half, centre.x + half, centre.y + half}, 20);
}

void Pick(HWND viewer, int id, int item) {
  HWND combo = GetDlgItem(viewer, id);
  SendMessageA(combo, CB_SETCURSEL, item, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  Pump();
}

int Find(HWND viewer, const char* text) {
  using Fn = int(__stdcall*)(HWND, char*, int);
  static auto fn = DllExport<Fn>(Plugin().dll, "ListSearchText");
  std::string copy = text;
  return fn(viewer, copy.data(), 1);
}

TEST(Pairs, ColourGlyphsOfWebFontsInTheGridTheZoomBoxAndTheThumbnail) {
  for (const char* name : {"layers.ttf", "layers.woff", "layers.woff2"}) {
    SCOPED_TRACE(name);
    {
      GridViewer v("pairs_web_colour", "FontSizeGlyphs=24\r\n", Beside(name));
      ASSERT_NE(v.state().glyph_font, nullptr);
      ExpectLayersInGrid(v);
      const Outcome o = PressOn(v, v.CellCentre(0, 0), Then::Release);
      ASSERT_TRUE(o.opened);
      ExpectLayers(o.pixels, {0, 2 + v.state().line_height, o.pixels.width, o.pixels.height},
                   200);
    }
    const Pixels thumbnail = ThumbnailPixels(Beside(name), 200, 150);
    ASSERT_EQ(thumbnail.width, 200);
    ExpectLayers(thumbnail, {0, 0, 100, 90}, 100);
  }
}

TEST(Pairs, ColourGlyphsOfASecondFaceAfterAFaceSwitchAndAfterNextAndPrevious) {
  GridViewer v("pairs_second_face", "FontSizeGlyphs=24\r\n", Beside("layers-second.ttc"));
  ASSERT_TRUE(v.state().face_selector);
  Pick(v.window, kFaceComboId, 1);
  ASSERT_EQ(v.state().face, 1u);
  ExpectLayersInGrid(v);
  // n to the same collection as WOFF2 and p back keep the face, and its colours.
  for (const char* next : {"layers-second.woff2", "layers-second.ttc"}) {
    SCOPED_TRACE(next);
    ASSERT_EQ(LoadNext(v.parent, v.window, Beside(next)), 0);
    ASSERT_EQ(v.state().face, 1u);
    ExpectLayersInGrid(v);
  }
  // The thumbnail of a collection whose first face does not read shows the next one's.
  const Pixels thumbnail = ThumbnailPixels(Beside("layers-broken-first.ttc"), 200, 150);
  ASSERT_EQ(thumbnail.width, 200);
  ExpectLayers(thumbnail, {0, 0, 100, 90}, 100);
}

TEST(Pairs, FindAndTheCoverageCountsOfADecodedWebFontAndOfAnInstance) {
  struct Case {
    const char* font;
    const char* settings;
    const char* find;
    const char* block;
    uint32_t code;
  } cases[] = {
      {"layers.woff2", "", "U+25A1", "Geometric Shapes", 0x25A1},
      {"layers-second.woff2", "", "U+25A0", "Geometric Shapes", 0x25A0},
      {ORVANE_VARIABLE_FONTS "/inter-collection.ttc", "InstanceName=Black\r\n", "U+0416",
       "Cyrillic", 0x416},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font);
    const std::string path =
        std::string(c.font).find('/') == std::string::npos ? Beside(c.font) : HostPath(c.font);
    GridViewer v("pairs_find", c.settings, path);
    ViewerState& s = v.state();
    ASSERT_NE(s.glyph_font, nullptr) << s.load_error;
    // The drawn face is the file's own: its map counts the block's cells.
    EXPECT_EQ(s.other_face, "");
    EXPECT_TRUE(s.cells.known);
    EXPECT_EQ(s.cells.present[Block(c.block)],
              CountCodePoints(s.info.coverage, UnicodeBlockTable[Block(c.block)].first,
                              UnicodeBlockTable[Block(c.block)].last));
    EXPECT_GT(s.cells.present[Block(c.block)], 0u);
    EXPECT_EQ(Find(v.window, c.find), 0);
    EXPECT_EQ(s.block_index, Block(c.block));
    EXPECT_EQ(s.marked_code, static_cast<int>(c.code));
  }
}

}  // namespace
}  // namespace pairs
