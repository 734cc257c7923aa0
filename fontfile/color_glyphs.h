// Colour glyphs one at a time, for drawing: a glyph's COLR version 0 layers in
// the colours of a CPAL palette, and its PNG from a CBLC/CBDT strike or an sbix
// strike. Every table is untrusted: a glyph whose records are out of range is
// refused alone (kBroken), and the work for one glyph is bounded whatever the
// tables say.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/colr_cpal.h"

// The tables one face draws its colour glyphs from; a view is empty when the
// face lacks the table or the table leaves the file.
struct ColorGlyphTables {
  ByteView colr, cpal, cblc, cbdt, sbix;
  ColrHeader colr_header;  // read once, with the one reader of COLR and CPAL
  CpalHeader cpal_header;
  uint16_t glyph_count = 0;  // maxp; sbix needs it to find its offsets' end
  bool any() const { return colr.size || cblc.size || sbix.size; }
};
struct OpenedFont;
ColorGlyphTables FindColorGlyphTables(const OpenedFont& font, uint32_t face);
// The same of a file's bytes, which the caller keeps (tests, fuzzing).
ColorGlyphTables FindColorGlyphTables(ByteView file, uint32_t face);

// What a glyph offers in colour. kBroken: the font claims a colour form for it
// that cannot be read; the glyph is then drawn as if it had none.
enum class ColorLookup { kNone, kFound, kBroken };

// ---- COLR and CPAL -------------------------------------------------------------

// A palette's colours as 0xAARRGGBB (CPAL stores blue, green, red, alpha).
struct Palette {
  std::vector<uint32_t> colours;
};
// The palette for a dark or a light background: the first that CPAL version 1
// marks usable with it (and not with the other), else palette 0. Nothing when
// CPAL is absent or its palette 0 leaves the table.
std::optional<Palette> ChoosePalette(ByteView cpal, const CpalHeader& header, bool dark);
std::optional<Palette> ChoosePalette(ByteView cpal, bool dark);

// Layer colours: the palette's, or the text colour for entry 0xFFFF.
struct ColorLayer {
  uint16_t glyph = 0;
  bool text_colour = false;
  uint32_t argb = 0;
};
// More than this many layers for one glyph is taken for a broken table.
constexpr uint32_t kMaxColorLayers = 1024;
// The version 0 layers of `glyph`, bottom first. A layer's glyph is drawn as an
// outline and never looked up again, so layers that name their own base glyph
// cannot recurse. kBroken for a layer range or glyph out of range, or a palette
// index the palette lacks.
ColorLookup ReadColorLayers(ByteView colr, const ColrHeader& header, const Palette& palette,
                            uint16_t glyph_count, uint16_t glyph, std::vector<ColorLayer>& layers);
ColorLookup ReadColorLayers(ByteView colr, const Palette& palette, uint16_t glyph_count,
                            uint16_t glyph, std::vector<ColorLayer>& layers);
// Whether `glyph` has a COLR version 1 paint (gradients, transforms), which is
// not drawn in colour.
bool HasColorPaint(ByteView colr, const ColrHeader& header, uint16_t glyph);
bool HasColorPaint(ByteView colr, uint16_t glyph);

// ---- Bitmap strikes: CBLC/CBDT and sbix ----------------------------------------

// PNGs claiming more than this many pixels a side are not decoded: strikes hold
// at most 255 (CBLC) or a few hundred (sbix) pixels per em.
constexpr uint32_t kMaxPngSide = 2048;
struct PngSize {
  uint32_t width = 0, height = 0;
};
// The size in the PNG signature and IHDR chunk; nothing when they are not there
// or claim a side of 0 or beyond kMaxPngSide.
std::optional<PngSize> ReadPngSize(ByteView png);

// A glyph's PNG and where it goes, in the strike's pixels: its top left corner
// lies `left` right of the pen and `top` above the baseline.
struct BitmapGlyph {
  ByteView png;
  PngSize size;
  uint16_t ppem = 0;  // of the strike it came from
  int32_t left = 0, top = 0;
  int32_t advance = 0;  // 0 when the strike gives none (sbix)
};
// The PNG of `glyph` from the strike nearest `ppem` that holds it (CBLC first,
// then sbix). kBroken when a strike lists the glyph but its data leave the
// table, its format is not a PNG one (17, 18, 19; sbix "png "), its PNG is
// absurd, or an sbix "dupe" leads to another "dupe".
ColorLookup FindBitmapGlyph(const ColorGlyphTables& tables, uint16_t glyph, uint32_t ppem,
                            BitmapGlyph& out);
