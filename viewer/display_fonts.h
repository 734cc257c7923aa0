// The three display fonts of a viewer (glyphs, sample, zoom): one description,
// three heights.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// The three fonts from info, charset_index and the three sizes; measures
// glyph_metrics and signature, and checks that the system draws the face shown
// (other_face).
// The check reads the opened font's tables.
void CreateViewerFonts(ViewerState& state, HDC dc);
void ReleaseViewerFonts(ViewerState& state);

// The height of a glyph-list row: the code line in the interface font over the
// glyph font's line.
int GlyphRowHeight(const ViewerState& state);

// The glyph index a code beyond U+FFFF is drawn by: the one the font's own map
// gives, or 0 (nothing drawn) while the system draws another face, whose glyph
// numbers name other glyphs.
uint32_t DrawnGlyph(const LoadedFont& font, uint32_t code);
