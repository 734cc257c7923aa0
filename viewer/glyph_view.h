// The Glyphs page's view of every glyph of the face (or instance) shown, by
// index, in the grid of the blocks: sixteen cells a row, each labelled with the
// glyph's index (and its name where the cell is wide enough), the glyphs no
// character reaches marked. It is the last item of the block list; choosing a
// block leaves it, and the block shown before stays the block the settings keep.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fontfile/catalog.h"
#include "viewer/viewer_state.h"

struct FaceGlyphs;

// The glyph view's item data in the block list: past every block's position.
constexpr int kGlyphViewPosition = kUnicodeBlockCount;

// Whether the block list offers the glyph view: a face of an sfnt font whose own
// glyphs the system draws (another face numbers its glyphs otherwise).
bool GlyphViewOffered(const ViewerState& state);

// The shown face's glyphs, read on first use and kept in the opened font;
// nullptr when no sfnt face is shown.
const FaceGlyphs* ShownGlyphs(const ViewerState& state);

// Switches the grid to the glyph view (or back to the block at block_index),
// drops the mark of a search and refills the rows.
void ShowGlyphView(ViewerState& state, bool on);

uint32_t GlyphViewCount(ViewerState& state);

// One row of the glyph view: up to 16 glyphs from row * 16 on.
void DrawGlyphViewRow(ViewerState& state, HDC dc, RECT row_rect, int row);

// What the zoom box says of `glyph`, a line each: its index and name, the
// characters that reach it, the features that produce it (or that nothing
// does), its advance width and bounds in font units (measured in `dc`'s font).
std::string GlyphZoomText(ViewerState& state, uint32_t glyph, HDC dc);

// The host's search in the glyph view: a glyph's name, or "gid 123"; the glyph's
// row scrolled into view and its cell marked. False when nothing is named so.
bool ShowGlyph(ViewerState& state, std::u16string_view text);
