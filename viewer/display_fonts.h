// The three display fonts of a viewer (glyphs, sample, zoom): one description,
// three heights.
#pragma once

#include <windows.h>

#include <optional>

#include "viewer/viewer_state.h"

// The three fonts from info, charset_index and the three sizes; measures
// glyph_metrics and signature.
void CreateViewerFonts(ViewerState& state, HDC dc);
void ReleaseViewerFonts(ViewerState& state);

// The height of a glyph-list row: the code line in the interface font over the
// glyph font's line.
int GlyphRowHeight(const ViewerState& state);

// The code page in which the grid draws a code below 0x100 as one byte: that of
// the character set the system gave the glyph font. std::nullopt for a symbol
// font, whose bytes stand for themselves.
std::optional<UINT> GlyphCodePage(const ViewerState& state);
