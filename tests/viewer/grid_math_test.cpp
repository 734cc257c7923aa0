// Row, cell and zoom-box arithmetic at the edges of the code range and the list.
#include <gtest/gtest.h>

#include "viewer/grid_math.h"

namespace {

TEST(GridRows, OnlyTheLastRowIsShortAndCodesStopAtTheBlockEnd) {
  // "Latin", 0x0000-0x007E: seven full rows, then 0x0070-0x007E.
  EXPECT_EQ(RowCellCount(0x0000, 0x007E, 0), 16);
  EXPECT_EQ(RowCellCount(0x0000, 0x007E, 6), 16);
  EXPECT_EQ(RowCellCount(0x0000, 0x007E, 7), 15);
  EXPECT_EQ(RowCellCount(0x0000, 0x007E, 8), 0);
  // "Specials" ends at 0xFFFF: one row of 16, and nothing after it wraps to 0x0000.
  EXPECT_EQ(RowCellCount(0xFFF0, 0xFFFF, 0), 16);
  EXPECT_EQ(RowCellCount(0xFFF0, 0xFFFF, 1), 0);
  EXPECT_EQ(RowCellCount(0xFFF0, 0xFFFF, 4096), 0);
  EXPECT_EQ(RowCellCount(0xFFF0, 0xFFFF, -1), 0);  // an empty list's item id
  // A one-code block and the widest possible one.
  EXPECT_EQ(GlyphRowCount(0x0041, 0x0041), 1);
  EXPECT_EQ(RowCellCount(0x0041, 0x0041, 0), 1);
  EXPECT_EQ(GlyphRowCount(0x0000, 0xFFFF), 4096);
  EXPECT_EQ(RowCellCount(0x0000, 0xFFFF, 4095), 16);
  // The largest block: 0x4E00-0x9FAF, 1307 rows, the last with 0x9FA0-0x9FAF.
  EXPECT_EQ(GlyphRowCount(0x4E00, 0x9FAF), 1307);
  EXPECT_EQ(RowCellCount(0x4E00, 0x9FAF, 1306), 16);
  // Beyond U+FFFF: CJK Extension B's 42,720 codes in 2,670 rows, and the last
  // block, which ends at U+10FFFF.
  EXPECT_EQ(GlyphRowCount(0x20000, 0x2A6DF), 2670);
  EXPECT_EQ(RowCellCount(0x20000, 0x2A6DF, 2669), 16);
  EXPECT_EQ(CodeAtClick(0x20000, 0x2A6DF, 2669, 99, 100), std::nullopt);
  EXPECT_EQ(CodeAtClick(0x20000, 0x2A6DF, 2669, 89, 100), std::optional<uint32_t>(0x2A6DE));
  EXPECT_EQ(GlyphRowCount(0x100000, 0x10FFFF), 4096);
  EXPECT_EQ(RowCellCount(0x100000, 0x10FFFF, 4096), 0);
}

TEST(GridCells, SixteenCellsAndAStripThatBelongsToNone) {
  EXPECT_EQ(CellWidth(100), 6);  // 96 pixels of cells, a strip of 4
  EXPECT_EQ(CellWidth(15), 0);
  EXPECT_EQ(CellWidth(16), 1);
  // A list 16 pixels wide: one pixel per cell, every pixel a cell.
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 0, 15, 16), std::optional<uint32_t>(0x0F));
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 0, 16, 16), std::nullopt);
  // Left of the list and rows before the first.
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, 0, -1, 100), std::nullopt);
  EXPECT_EQ(CodeAtClick(0x0000, 0x00FF, -1, 5, 100), std::nullopt);
  // Past the last row of a block that ends at 0xFFFF: no wrap to 0x0000.
  EXPECT_EQ(CodeAtClick(0xFFF0, 0xFFFF, 1, 5, 100), std::nullopt);
}

TEST(ZoomBoxPlacement, TallerThanTheListTheBottomEdgeWins) {
  // List 500 x 300: a box of 128 x 1024 starts 724 pixels above the list.
  BoxOrigin at = ZoomBoxOrigin(0, 0, 500, 300, 250, 10, 128, 1024);
  EXPECT_EQ(at.x, 250 - 64);
  EXPECT_EQ(at.y, 300 - 1024);
  // Both ways larger, pressed in the top-left corner.
  at = ZoomBoxOrigin(0, 0, 500, 300, 0, 0, 1024, 1024);
  EXPECT_EQ(at.x, 500 - 1024);
  EXPECT_EQ(at.y, 300 - 1024);
  // Exactly the list's size: it covers the list.
  at = ZoomBoxOrigin(0, 0, 500, 300, 400, 20, 500, 300);
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, 0);
  // An odd height: the half is taken in integer division, 8 x 9 around (100, 100).
  at = ZoomBoxOrigin(0, 0, 500, 300, 100, 100, 8, 9);
  EXPECT_EQ(at.x, 96);
  EXPECT_EQ(at.y, 96);
}

TEST(ZoomBoxSize, ScaledWithTheDpiAndCutToTheScreen) {
  EXPECT_EQ(ZoomBoxSize(128, 160, 96, 1280, 1024).width, 128);
  const BoxSize doubled = ZoomBoxSize(1024, 300, 192, 1280, 1024);
  EXPECT_EQ(doubled.width, 1280);
  EXPECT_EQ(doubled.height, 600);
  // A screen that could not be measured cuts nothing.
  EXPECT_EQ(ZoomBoxSize(1024, 1024, 192, 0, -1).height, 2048);
}

}  // namespace
