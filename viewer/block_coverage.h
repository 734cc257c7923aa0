// Which grid cells and blocks hold characters of the viewed font, under the
// chosen character set.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "fontfile/catalog.h"

struct ViewerState;
struct LoadedFont;

// Made with the display fonts: the bytes' characters in the chosen character set
// and, per row of UnicodeBlockTable, how many of the block's cells are present.
struct BlockCoverage {
  uint32_t byte_characters[256] = {};
  uint32_t present[kUnicodeBlockCount] = {};
  uint8_t charset = 0;  // the glyph font's character set, which byte_characters follow
  bool known = false;   // false: every cell counts as present and no count is shown
};

// Recomputes `font.cells` for the font's coverage, bytes read in `charset` (the
// character set the glyph font was given, which decides what a byte draws).
// When the system draws another face (`own_face` false), nothing is known.
void UpdateBlockCoverage(LoadedFont& font, uint8_t charset, bool own_face = true);

// The character a byte cell (below 0x100) stands for: its character in the glyph
// font's character set, and in a symbol set the byte itself (the font's private
// codes would mean nothing anywhere else); 0 where the set has none.
uint32_t ByteCharacter(const ViewerState& state, uint8_t byte);
// The first byte cell that stands for `character`, if one does.
std::optional<uint8_t> ByteShowing(const ViewerState& state, uint32_t character);

// Whether the grid draws `code` as a character of the font.
bool CellShown(const ViewerState& state, uint32_t code);
