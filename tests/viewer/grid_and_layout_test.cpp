// Layout and grid arithmetic, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "fontfile/catalog.h"
#include "viewer/block_order.h"
#include "viewer/grid_math.h"
#include "viewer/viewer_layout.h"

namespace {

void ExpectPlacement(const Placement& p, int x, int y, int w, int h) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.width, w);
  EXPECT_EQ(p.height, h);
}

TEST(ViewerLayout, DisplayAreaOf600By400Client) {
  ViewerLayout o = ComputeViewerLayout(2, 24, 598, 398);
  ExpectPlacement(o.block_combo, 4, 28, 368, 384);
  ExpectPlacement(o.block_spin, 376, 28, 40, 20);
  ExpectPlacement(o.charset_combo, 420, 28, 132, 384);
  ExpectPlacement(o.charset_spin, 556, 28, 40, 20);
  ExpectPlacement(o.size_edit, 4, 374, 40, 20);
  ExpectPlacement(o.size_slider, 48, 374, 548, 20);
  ExpectPlacement(o.glyph_list, 4, 53, 592, 315);
  ExpectPlacement(o.sample_view, 4, 28, 592, 340);
  ExpectPlacement(o.info_view, 4, 28, 592, 366);
  ExpectPlacement(o.options_host, 4, 28, 592, 366);
  // Glyph list and sample view share their bottom line, B - T - 6.
  EXPECT_EQ(o.glyph_list.y + o.glyph_list.height, 398 - 24 - 6);
  EXPECT_EQ(o.sample_view.y + o.sample_view.height, 398 - 24 - 6);
  EXPECT_EQ(o.face_combo.width, 0);

  // A collection's face selector takes the right-hand third of the size row, at
  // 96 and at 192 dpi; nothing else moves.
  for (int dpi : {96, 192}) {
    const ViewerLayout single = ComputeViewerLayout(2, 24, 598, 398, dpi);
    ViewerLayout faces = ComputeViewerLayout(2, 24, 598, 398, dpi, true);
    const int d = dpi / 96;
    ExpectPlacement(faces.face_combo, 398, 398 - 24 * d, 198, 200 * d);
    ExpectPlacement(faces.size_slider, 2 + 46 * d, 398 - 24 * d, 398 - 4 * d - 2 - 46 * d,
                    20 * d);
    faces.face_combo = {};
    faces.size_slider = single.size_slider;
    EXPECT_EQ(std::memcmp(&faces, &single, sizeof faces), 0) << dpi;

    // A variable font's instance selector takes the same place; with both, each
    // takes a quarter, the instances rightmost.
    ViewerLayout instances = ComputeViewerLayout(2, 24, 598, 398, dpi, false, true);
    ExpectPlacement(instances.instance_combo, 398, 398 - 24 * d, 198, 200 * d);
    EXPECT_EQ(instances.face_combo.width, 0);
    ViewerLayout both = ComputeViewerLayout(2, 24, 598, 398, dpi, true, true);
    ExpectPlacement(both.instance_combo, 596 - 149, 398 - 24 * d, 149, 200 * d);
    ExpectPlacement(both.face_combo, 596 - 149 - 4 * d - 149, 398 - 24 * d, 149, 200 * d);
    EXPECT_EQ(both.size_slider.x + both.size_slider.width, both.face_combo.x - 4 * d);
    for (ViewerLayout* o : {&instances, &both}) {
      o->face_combo = o->instance_combo = {};
      o->size_slider = single.size_slider;
      EXPECT_EQ(std::memcmp(o, &single, sizeof single), 0) << dpi;
    }
  }
}

TEST(HighDpiLayout, Every96DpiLengthDoublesAt192) {
  // The display area of a 600 x 400 client, as at 96 dpi; W = 596.
  ViewerLayout o = ComputeViewerLayout(2, 24, 598, 398, 192);
  ExpectPlacement(o.block_combo, 2 + 4, 24 + 8, 2980 / 8 - 8, 768);
  ExpectPlacement(o.block_spin, 6 + 364 + 8, 32, 80, 40);
  ExpectPlacement(o.charset_combo, 378 + 88, 32, 596 - 378 - 176, 768);
  ExpectPlacement(o.charset_spin, 466 + 42 + 8, 32, 80, 40);
  ExpectPlacement(o.size_edit, 6, 398 - 48, 80, 40);
  ExpectPlacement(o.size_slider, 2 + 92, 350, 596 - 94, 40);
  ExpectPlacement(o.glyph_list, 6, 24 + 58, 596 - 8, 398 - 48 - 70);
  ExpectPlacement(o.sample_view, 6, 32, 588, 398 - 48 - 20);
  ExpectPlacement(o.info_view, 6, 32, 588, 398 - 24 - 16);
  ExpectPlacement(o.options_host, 6, 32, 588, 358);
}

TEST(ViewerLayout, TinyClientShrinksControlsToNothing) {
  ViewerLayout o = ComputeViewerLayout(2, 24, 20, 30);
  for (const Placement* p : {&o.block_combo, &o.charset_combo, &o.size_slider, &o.glyph_list,
                             &o.sample_view, &o.info_view}) {
    EXPECT_GE(p->width, 0);
    EXPECT_GE(p->height, 0);
  }
  EXPECT_EQ(o.glyph_list.height, 0);
}

const UnicodeBlockRow& RowNamed(const char* name) {
  for (const UnicodeBlockRow& row : UnicodeBlockTable)
    if (std::strcmp(row.name, name) == 0) return row;
  ADD_FAILURE() << "no block " << name;
  return UnicodeBlockTable[0];
}

TEST(GlyphGrid, RowsPerBlock) {
  EXPECT_EQ(GlyphRowCount(0x0000, 0x007E), 8);
  EXPECT_EQ(GlyphRowCount(0x0000, 0x00FF), 16);
  EXPECT_EQ(GlyphRowCount(0xFFF0, 0xFFFF), 1);
  EXPECT_EQ(GlyphRowCount(0x4E00, 0x9FAF), 1307);
}

TEST(GlyphGrid, ClickHitsACellOnlyInsideTheBlock) {
  // 100 pixels: cells of 6, covering 96.
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 2, 0, 100), std::optional<uint16_t>(0x20));
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 2, 95, 100), std::optional<uint16_t>(0x2F));
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 2, 96, 100), std::nullopt);
  // The empty end of Latin's short last row.
  EXPECT_EQ(CodeAtClick(0x0000, 0x007E, 7, 14 * 6, 100), std::optional<uint16_t>(0x7E));
  EXPECT_EQ(CodeAtClick(0x0000, 0x007E, 7, 15 * 6, 100), std::nullopt);
  // Specials: the last code, no wrap.
  EXPECT_EQ(CodeAtClick(0xFFF0, 0xFFFF, 0, 15 * 6, 100), std::optional<uint16_t>(0xFFFF));
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 0, 5, 15), std::nullopt);  // narrower than 16 pixels
}

std::vector<const UnicodeBlockRow*> Shuffled() {
  std::vector<const UnicodeBlockRow*> order;
  for (const UnicodeBlockRow& row : UnicodeBlockTable) order.push_back(&row);
  std::mt19937 random(7);
  std::shuffle(order.begin() + 1, order.end(), random);
  return order;
}

size_t PositionOf(const std::vector<const UnicodeBlockRow*>& order, const char* name) {
  for (size_t i = 0; i < order.size(); ++i)
    if (std::strcmp(order[i]->name, name) == 0) return i;
  return order.size();
}

TEST(BlockOrder, EachModeGivesOneOrderWithAnsiFirst) {
  ASSERT_EQ(UnicodeBlockTable.size(), 264u);
  std::vector<const UnicodeBlockRow*> order = Shuffled();
  SortBlocks(order, 0);
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], &UnicodeBlockTable[i]) << i;

  order = Shuffled();
  SortBlocks(order, 1);
  EXPECT_STREQ(order[0]->name, "ANSI");
  EXPECT_STREQ(order[1]->name, "Supplementary Private Use Area-B");
  EXPECT_LT(PositionOf(order, "Emoticons"), PositionOf(order, "Specials"));
  EXPECT_EQ(order[263], &UnicodeBlockTable[1]);

  order = Shuffled();
  SortBlocks(order, 2);
  EXPECT_STREQ(order[0]->name, "ANSI");
  EXPECT_STREQ(order[1]->name, "Adlam");
  EXPECT_STREQ(order[263]->name, "Znamenny Musical Notation");
  EXPECT_LT(PositionOf(order, "Greek Extended"), PositionOf(order, "Greek and Coptic"));
  EXPECT_LT(PositionOf(order, "IPA Extensions"),
            PositionOf(order, "Ideographic Description Characters"));
  EXPECT_LT(PositionOf(order, "Latin Extended Additional"),
            PositionOf(order, "Latin Extended-A"));

  std::vector<const UnicodeBlockRow*> descending = Shuffled();
  SortBlocks(descending, 3);
  EXPECT_STREQ(descending[0]->name, "ANSI");
  EXPECT_TRUE(std::equal(order.begin() + 1, order.end(), descending.rbegin()));

  std::vector<const UnicodeBlockRow*> before = Shuffled(), unchanged = before;
  SortBlocks(unchanged, 4);
  EXPECT_EQ(unchanged, before);
}

TEST(BlockOrder, ComparisonIsByteWise) {
  const UnicodeBlockRow& latin = RowNamed("Latin");
  EXPECT_TRUE(BlocksOutOfOrder(RowNamed("Specials"), latin, 0));
  EXPECT_FALSE(BlocksOutOfOrder(latin, latin, 2));
  EXPECT_FALSE(BlocksOutOfOrder(latin, latin, 3));
  UnicodeBlockRow upper = {0, 0, 0, "Zeta"}, lower = {0, 0, 0, "alpha"};
  EXPECT_FALSE(BlocksOutOfOrder(upper, lower, 2));  // 'Z' sorts before 'a'
  EXPECT_TRUE(BlocksOutOfOrder(upper, lower, 3));
}

// What a "UnicodeBlock" written while the list held the first plane's 101 blocks
// named, in each order, and the name written beside it, which is read first.
TEST(BlockOrder, AStoredBlockIsItsNameElseItsPositionAmongTheFirstPlanesBlocks) {
  ASSERT_GT(UnicodeBlockTable[kFirstPlaneBlockCount].first, 0xFFFFu);
  ASSERT_LE(UnicodeBlockTable[kFirstPlaneBlockCount - 1].last, 0xFFFFu);
  const struct {
    int mode, position;
    const char* block;
  } old_positions[] = {
      {0, 0, "ANSI"}, {1, 0, "ANSI"}, {2, 0, "ANSI"}, {3, 0, "ANSI"},
      {0, 5, "IPA Extensions"}, {1, 5, "Chinese, Japanese, and Korean Compatibility Forms"},
      {2, 5, "Armenian"}, {3, 5, "Tibetan"},
      {0, 100, "Specials"}, {1, 100, "Latin"}, {2, 100, "Yijing Hexagram Symbols"},
      {3, 100, "Alphabetic Presentation Forms"},
      {2, 263, "Yijing Hexagram Symbols"}, {2, -4, "ANSI"},  // cut to the 101
  };
  for (const auto& c : old_positions) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", position " << c.position);
    EXPECT_STREQ(FirstPlaneBlockAt(c.position, c.mode).name, c.block);
    EXPECT_STREQ(StoredBlock("", c.position, c.mode).name, c.block);
    EXPECT_STREQ(StoredBlock("No Such Block", c.position, c.mode).name, c.block);
    // Written back, the block has the same position.
    if (c.position >= 0 && c.position <= 100) {
      EXPECT_EQ(FirstPlanePosition(RowNamed(c.block), c.mode), c.position);
    }
    // A name wins over any position, in any order; it must match exactly.
    EXPECT_STREQ(StoredBlock("Emoticons", c.position, c.mode).name, "Emoticons");
    EXPECT_STREQ(StoredBlock("emoticons", c.position, c.mode).name, c.block);
    EXPECT_EQ(FirstPlanePosition(RowNamed("Emoticons"), c.mode), -1);
  }
  // Every block is found by its own name, the first plane's at one position each.
  for (int mode = 0; mode < 4; ++mode) {
    std::vector<int> seen(kFirstPlaneBlockCount, 0);
    for (int row = 0; row < kUnicodeBlockCount; ++row) {
      const UnicodeBlockRow& block = UnicodeBlockTable[row];
      EXPECT_EQ(BlockNamed(block.name), &block);
      const int position = FirstPlanePosition(block, mode);
      if (row >= kFirstPlaneBlockCount) {
        EXPECT_EQ(position, -1);
        continue;
      }
      ASSERT_GE(position, 0);
      ++seen[position];
      EXPECT_EQ(&FirstPlaneBlockAt(position, mode), &block);
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kFirstPlaneBlockCount) << mode;
  }
}

TEST(BlockOrder, StepsWrapRoundAndSkipWhatIsNotListed) {
  EXPECT_EQ(WrapPosition(263, 1, 264), 0);
  EXPECT_EQ(WrapPosition(0, -1, 264), 263);
  EXPECT_EQ(WrapPosition(5, -270, 264), 263);
  auto even = [](int at) { return at % 2 == 0; };
  const struct {
    int from, step, nearest;
  } steps[] = {{4, 1, 4}, {5, 1, 6}, {5, -1, 4}, {263, 1, 0}, {1, -1, 0}, {263, -1, 262}};
  for (const auto& c : steps)
    EXPECT_EQ(NearestListed(c.from, c.step, 264, even), c.nearest) << c.from << " " << c.step;
  EXPECT_EQ(NearestListed(7, 1, 264, [](int) { return false; }), 7);
  EXPECT_EQ(NearestListed(7, -1, 264, [](int at) { return at == 9; }), 9);  // the long way round
}

}  // namespace

namespace {

TEST(ZoomBoxPlacement, CentredOnTheClickAndKeptInsideTheList) {
  BoxOrigin at = ZoomBoxOrigin(0, 0, 500, 400, 0, 0, 128, 160);  // top-left corner
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, 0);
  at = ZoomBoxOrigin(0, 0, 500, 400, 200, 200, 129, 160);
  EXPECT_EQ(at.x, 200 - 64);
  EXPECT_EQ(at.y, 200 - 80);
  at = ZoomBoxOrigin(0, 0, 500, 400, 490, 395, 128, 160);
  EXPECT_EQ(at.x, 500 - 128);
  EXPECT_EQ(at.y, 400 - 160);
  at = ZoomBoxOrigin(0, 0, 500, 400, 250, 200, 1024, 160);  // wider than the list
  EXPECT_EQ(at.x, 500 - 1024);
}

}  // namespace
