// The three display fonts of a viewer (glyphs, sample, zoom): one description,
// three heights.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// The three fonts from info, charset_index and the three sizes; measures
// glyph_metrics and signature, and checks that the system draws the face shown
// (other_face).
// `bytes`, when given, are the font's (the file mapped, or a web font's decoded
// sfnt) for the check; without them the file is mapped again.
void CreateViewerFonts(ViewerState& state, HDC dc, const ByteView* bytes = nullptr);
void ReleaseViewerFonts(ViewerState& state);

// The height of a glyph-list row: the code line in the interface font over the
// glyph font's line.
int GlyphRowHeight(const ViewerState& state);

// The glyph index a code beyond U+FFFF is drawn by: the one the font's own map
// gives, or 0 (nothing drawn) while the system draws another face, whose glyph
// numbers name other glyphs.
uint32_t DrawnGlyph(const LoadedFont& font, uint32_t code);
