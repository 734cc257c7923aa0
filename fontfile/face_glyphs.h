// Everything known of one face's glyphs by index: their count, names, the
// characters that reach each and the GSUB features that produce each. What the
// glyph view and `orvane-info --glyphs` show; read when asked for, never when a
// viewer starts, and then once per face of an opened font.
#pragma once

#include <cstdint>

#include "fontfile/char_map.h"
#include "fontfile/glyph_features.h"
#include "fontfile/glyph_names.h"

struct FaceGlyphs {
  uint32_t glyph_count = 0;  // maxp's; 0 for a face without one
  GlyphNames names;
  CharCoverage map;  // the best character map, every code's glyph kept
  GlyphCharacters characters;
  GlyphFeatures features;
  uint32_t unreached = 0;  // glyphs no character reaches
};

struct OpenedFont;

// maxp's glyph count of face `face` (0 when it has none, or no such face): what
// the glyph view's item in the block list shows before the view reads more.
uint32_t FaceGlyphCount(const OpenedFont& font, uint32_t face);

// Face `face` of an opened sfnt font or collection, read once and kept in the
// record (faces that share an offset share it); nullptr when the bytes hold no
// such face.
const FaceGlyphs* ReadFaceGlyphs(const OpenedFont& font, uint32_t face);

// The glyph count and the glyphs no character reaches (what orvane-info's JSON
// prints): taken from the whole read when the record holds it, else from `map`
// when it is this face's read with MapDetail::kGlyphs or kReach, else read without the
// names and the features; false as above.
bool CountFaceGlyphs(const OpenedFont& font, uint32_t face, uint32_t& glyph_count,
                     uint32_t& unreached, const CharCoverage* map = nullptr);
