// Rows and cells of the glyph grid and the zoom box's place, as plain arithmetic.
#pragma once

#include <cstdint>
#include <optional>

#include "fontfile/catalog.h"

constexpr int kCellsPerRow = 16;

// One row per started group of 16 codes.
int GlyphRowCount(uint32_t first, uint32_t last);

// Cells in row `row` (0-16): only the last row can be short, and codes stop at
// `last`, so a block ending at 0xFFFF never wraps to 0x0000.
int RowCellCount(uint32_t first, uint32_t last, int row);

// Width of each of the 16 cells in a row `row_width` pixels wide; the rest of
// the division is a strip at the right that belongs to no cell.
constexpr int CellWidth(int row_width) { return row_width / kCellsPerRow; }

// The code under a click at x (list client coordinates) in row `row` of a list
// `list_width` pixels wide; none right of the sixteenth cell, past `last`, or
// when the cells would be narrower than a pixel.
std::optional<uint32_t> CodeAtClick(uint32_t first, uint32_t last, int row, int x,
                                    int list_width);

// Top-left corner of a zoom box width x height centred on the click and pushed
// back inside the list's client rectangle; when the box is larger than the list
// the right and bottom edges win.
struct BoxOrigin {
  int x, y;
};
BoxOrigin ZoomBoxOrigin(int left, int top, int right, int bottom, int click_x, int click_y,
                        int width, int height);

// The zoom box's size on the screen: the stored width and height are pixels at
// 96 dpi, scaled to `dpi` and cut to the screen's size. A screen size of 0 or
// less (not measured) cuts nothing.
struct BoxSize {
  int width, height;
};
BoxSize ZoomBoxSize(int width, int height, int dpi, int screen_width, int screen_height);
