// The three display fonts of a viewer (glyphs, sample, zoom): one description,
// three heights.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// The three fonts from info, charset_index and the three sizes; measures
// glyph_metrics and signature.
void CreateViewerFonts(ViewerState& state, HDC dc);
void ReleaseViewerFonts(ViewerState& state);

// The height of a glyph-list row: the code line in the interface font over the
// glyph font's line.
int GlyphRowHeight(const ViewerState& state);
