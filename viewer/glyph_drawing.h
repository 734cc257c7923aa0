// One cell's glyph, as the grid and the zoom box draw it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "fontfile/char_map.h"

// Draws the glyph of `code` in the font selected into dc, placed in `r` by the
// DrawText flags (DT_CENTER or DT_RIGHT, DT_VCENTER; single line, '&' as text).
// Below 0x100 the code is one byte in the font's character set; up to U+FFFF
// one UTF-16 unit; beyond, `glyph` (GlyphOf from the font's own map), drawn by
// its index (not every system draws a surrogate pair), and nothing when it is 0.
void DrawCodeGlyph(HDC dc, const RECT& r, uint32_t code, uint32_t glyph, UINT format);

// Draws glyph `glyph` of the font selected into dc by its index (ExtTextOutW with
// ETO_GLYPH_INDEX), clipped to `r` and placed by DT_CENTER or DT_RIGHT and
// DT_VCENTER: the one place the viewer draws a glyph by index. `line_height`, the
// font's height when the caller knows it (0: measured here), spares a grid of
// glyphs one query of the font a cell.
void DrawGlyphIndex(HDC dc, const RECT& r, WORD glyph, UINT format, int line_height = 0);
