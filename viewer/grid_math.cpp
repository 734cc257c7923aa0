#include "viewer/grid_math.h"

#include <algorithm>
#include <utility>

#include "viewer/viewer_layout.h"

int GlyphRowCount(uint32_t first, uint32_t last) { return static_cast<int>((last - first + 16) / 16); }

int RowCellCount(uint32_t first, uint32_t last, int row) {
  if (row < 0) return 0;
  const long long start =
      static_cast<long long>(first) + static_cast<long long>(kCellsPerRow) * row;
  if (start > last) return 0;
  return static_cast<int>(std::min<long long>(kCellsPerRow, last - start + 1));
}

std::optional<uint32_t> CodeAtClick(uint32_t first, uint32_t last, int row, int x,
                                    int list_width) {
  int width = CellWidth(list_width);
  if (width <= 0 || x < 0 || row < 0) return std::nullopt;
  int column = x / width;
  if (column >= kCellsPerRow) return std::nullopt;
  // Unwrapped: a row past the end of a block that ends at 0xFFFF must not come
  // back round to 0x0000.
  const long long code =
      static_cast<long long>(first) + static_cast<long long>(kCellsPerRow) * row + column;
  if (code > last) return std::nullopt;
  return static_cast<uint32_t>(code);
}

BoxOrigin ZoomBoxOrigin(int left, int top, int right, int bottom, int click_x, int click_y,
                        int width, int height) {
  BoxOrigin at = {click_x - width / 2, click_y - height / 2};
  if (at.x < left) at.x = left;
  if (at.x + width > right) at.x = right - width;
  if (at.y < top) at.y = top;
  if (at.y + height > bottom) at.y = bottom - height;
  return at;
}

BoxSize ZoomBoxSize(int width, int height, int dpi, int screen_width, int screen_height) {
  BoxSize size = {ScaleToDpi(width, dpi), ScaleToDpi(height, dpi)};
  if (screen_width > 0 && size.width > screen_width) size.width = screen_width;
  if (screen_height > 0 && size.height > screen_height) size.height = screen_height;
  return size;
}
