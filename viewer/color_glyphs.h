// Colour glyphs in the grid, the zoom box and the thumbnail: COLR version 0
// layers in palette colours, PNG bitmaps from CBDT or sbix strikes decoded with
// WIC, scaled smoothly and drawn with their alpha. The system's text drawing
// draws neither (bitmap-only emoji fonts come out empty).
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "fontfile/char_map.h"
#include "fontfile/color_glyphs.h"
#include "fontfile/opened_font.h"
#include "platform/platform.h"
#include "viewer/bitmap_scale.h"

struct IWICImagingFactory;

// A PNG decoded and scaled to one size. Glyphs whose records name the same
// bytes (CBLC records that share an image, sbix "dupe"s) share it.
struct ScaledImage {
  BitmapPixels pixels;
  // The pixels blended over one background colour, made on first use: copied to
  // the screen whole, they cost no read-back of what lies beneath (which the
  // system's alpha blending needs, and which is slow under X11).
  mutable HBITMAP composed = nullptr;
  mutable COLORREF composed_on = 0;

  ScaledImage() = default;
  ScaledImage(const ScaledImage&) = delete;
  ScaledImage& operator=(const ScaledImage&) = delete;
  ~ScaledImage();
  size_t bytes() const { return 2 * sizeof(uint32_t) * pixels.data.size(); }  // with composed
};

// Where a glyph's bitmap goes at one em size, in pixels: its top left corner
// `left` right of the pen and `top` above the baseline; and the image it shows,
// scaled to width x height from the PNG at `png`.
struct ScaledGlyph {
  const uint8_t* png = nullptr;
  uint32_t png_size = 0;
  uint32_t width = 0, height = 0;
  int left = 0, top = 0, advance = 0;
};

// Decoded images kept in all, counted in bytes with their composed bitmaps: a
// few pages of emoji at two sizes, whatever the PNGs claim.
constexpr size_t kMaxImageBytes = 64u << 20;

// A face's colour tables, in the opened font it keeps while shown, its palettes, and
// its bitmaps decoded and scaled at the sizes drawn. Made, used and released on
// one thread (the viewer's, or the thumbnail call's), which it initialises for
// COM while it lives.
struct ColorGlyphFont {
  std::shared_ptr<const OpenedFont> font;
  ColorGlyphTables tables;
  std::optional<Palette> light, dark;
  bool outlines = false;  // glyf, CFF or CFF2: a glyph without colour still has a form
  int16_t ascender = 0, descender = 0;  // hhea, in font units
  uint16_t units_per_em = 0;
  // Key: glyph << 32 | em size in pixels; an empty entry is a PNG that could not
  // be decoded. Places only: the images are kept apart.
  std::map<uint64_t, std::optional<ScaledGlyph>> bitmaps;
  // The images by their source bytes and size, at most kMaxImageBytes of them,
  // the oldest dropped first.
  using ImageKey = std::tuple<const uint8_t*, uint32_t, uint32_t, uint32_t>;
  std::map<ImageKey, std::shared_ptr<const ScaledImage>> images;
  std::deque<ImageKey> image_order;
  size_t image_bytes = 0;
  uint64_t images_decoded = 0;  // PNGs decoded so far: each once while it is kept
  IWICImagingFactory* factory = nullptr;
  bool com_initialised = false;
  // The memory DC the composed bitmaps are copied from, made on first use: one for
  // the font rather than one for every cell drawn.
  mutable HDC blit_source = nullptr;

  ColorGlyphFont() = default;
  ColorGlyphFont(const ColorGlyphFont&) = delete;
  ColorGlyphFont& operator=(const ColorGlyphFont&) = delete;
  ~ColorGlyphFont();
};

// The colour glyphs of face `face` of an opened font (a web font's decoded sfnt),
// which they keep while they live; nothing when the face has no colour table
// that draws.
std::shared_ptr<ColorGlyphFont> OpenColorGlyphFont(std::shared_ptr<const OpenedFont> font,
                                                   uint32_t face);

// What a glyph is drawn as.
enum class GlyphForm {
  kText,         // the system's text drawing (no colour form)
  kColour,       // layers or a bitmap
  kOutlineOnly,  // a COLR version 1 glyph: its outline in one colour
  kNone,         // nothing can be drawn: no outline and no usable colour form
};

// Draws `glyph` (an index of the font selected into dc, 0 for none) in colour
// when it has a colour form, in `r` centred as DT_CENTER | DT_VCENTER place a
// glyph, at the em size of the selected font, over the plain `background`
// colour; `dark` picks the palette.
// Otherwise draws nothing and says why: kText (the caller draws it as text),
// kOutlineOnly, or kNone.
GlyphForm DrawColorGlyph(HDC dc, ColorGlyphFont& font, const RECT& r, uint32_t glyph, bool dark,
                         COLORREF background);

// The height of a line of `em` pixels in a font that has no outlines, from its
// hhea metrics: the system measures such a font at the size of its one strike
// whatever size is asked for. Nothing for a font with outlines.
std::optional<int> BitmapFontLineHeight(const ColorGlyphFont& font, int em);

// The same answer without drawing; decodes the bitmap when it is not yet cached.
GlyphForm ColorGlyphForm(ColorGlyphFont& font, uint32_t glyph, int em_pixels);

// The thumbnail's sample in colour: two characters of the font that have a colour
// form (the first two of the Emoticons block when it has them, else the first
// two of its map), side by side in `band`, in the face of `lf` made as large as
// fits. False, drawing nothing, when the font has fewer than two.
bool DrawColorSample(HDC dc, ColorGlyphFont& font, const CharCoverage& coverage, LOGFONTA lf,
                     const RECT& band);

// The grid's and the zoom box's drawing of a cell's glyph: in colour, else as
// text (DrawCodeGlyph, in `format`), and a cell whose glyph cannot be drawn at
// all hatched so that it does not pass for an empty glyph.
struct ViewerState;
GlyphForm DrawCellGlyph(const ViewerState& state, HDC dc, const RECT& r, uint32_t code,
                        UINT format);
// The glyph index of the cell `code` (a byte cell's character in the chosen
// character set) in the font selected into dc: beyond U+FFFF from the font's
// own map, below from the system's, as the text drawing finds it. 0 for none.
uint32_t CellGlyph(const ViewerState& state, HDC dc, uint32_t code);
