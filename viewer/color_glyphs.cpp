#include "viewer/color_glyphs.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "fontfile/face_tables.h"
#include "viewer/block_coverage.h"
#include "viewer/display_fonts.h"
#include "viewer/font_path.h"
#include "viewer/glyph_drawing.h"
#include "viewer/theme.h"
#include "viewer/viewer_state.h"

namespace {

// Glyph places kept per font before the cache starts again: a few pages of emoji
// at two sizes. The images they show are kept apart (kMaxImageBytes).
constexpr size_t kMaxCachedBitmaps = 2048;
// A scaled image's longest side, at most: a glyph's bitmap spans an em or two.
constexpr int kMaxImageEms = 4;
constexpr int kMaxImageSide = 2048;
// Code points looked at for the thumbnail's colour sample.
constexpr uint32_t kSampleSearch = 4096;

template <typename T>
struct Com {
  T* p = nullptr;
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};


// The em size of the font selected into dc, in pixels, from the height it was
// asked for: a bitmap-only font comes back with the metrics of its one strike.
int EmPixels(HDC dc) {
  LOGFONTW lf = {};
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  if (font && GetObjectW(font, sizeof lf, &lf) && lf.lfHeight)
    return lf.lfHeight < 0 ? -lf.lfHeight : std::max(1L, lf.lfHeight * 4 / 5);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  return std::max(1L, metrics.tmHeight - metrics.tmInternalLeading);
}

// The PNG's pixels, premultiplied, or nothing. The size in its header was
// checked before; the decoder must agree with it.
std::optional<BitmapPixels> DecodePng(ColorGlyphFont& f, const BitmapGlyph& glyph) {
  if (!f.factory &&
      FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&f.factory))))
    return std::nullopt;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  Com<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (FAILED(f.factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(glyph.png.data), glyph.png.size)) ||
      FAILED(f.factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
      width != glyph.size.width || height != glyph.size.height ||
      FAILED(f.factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return std::nullopt;
  BitmapPixels pixels;
  pixels.width = width;
  pixels.height = height;
  pixels.data.resize(size_t{width} * height);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                   reinterpret_cast<BYTE*>(pixels.data.data()))))
    return std::nullopt;
  return pixels;
}

int Scaled(int value, int em, int ppem) {
  return static_cast<int>(std::lround(static_cast<double>(value) * em / ppem));
}

// The bitmap of `glyph` at `em` pixels, looked up once; nothing when the glyph
// has none (`lookup` says whether it has a broken one).
std::optional<ScaledGlyph> BitmapAt(ColorGlyphFont& f, uint32_t glyph, int em,
                                    ColorLookup& lookup) {
  lookup = ColorLookup::kNone;
  if (!f.tables.cblc.size && !f.tables.sbix.size) return std::nullopt;
  const uint64_t key = uint64_t{glyph} << 32 | static_cast<uint32_t>(em);
  if (auto cached = f.bitmaps.find(key); cached != f.bitmaps.end()) {
    lookup = cached->second ? ColorLookup::kFound : ColorLookup::kBroken;
    return cached->second;
  }
  BitmapGlyph found;
  lookup = FindBitmapGlyph(f.tables, static_cast<uint16_t>(glyph), static_cast<uint32_t>(em),
                           found);
  if (lookup == ColorLookup::kNone) return std::nullopt;
  std::optional<ScaledGlyph> placed;
  if (lookup == ColorLookup::kFound && found.ppem) {
    placed.emplace();
    placed->png = found.png.data;
    placed->png_size = found.png.size;
    // A PNG that claims more than any glyph needs is shown smaller, its place
    // with it, rather than held at a size no cell shows.
    const int side = static_cast<int>(std::max(found.size.width, found.size.height));
    const int limit = std::min(kMaxImageEms * em, kMaxImageSide);
    const int scaled_em = Scaled(side, em, found.ppem) > limit
                              ? std::max(1, static_cast<int>(static_cast<int64_t>(limit) *
                                                             found.ppem / side))
                              : em;
    placed->width = static_cast<uint32_t>(
        std::max(1, Scaled(static_cast<int>(found.size.width), scaled_em, found.ppem)));
    placed->height = static_cast<uint32_t>(
        std::max(1, Scaled(static_cast<int>(found.size.height), scaled_em, found.ppem)));
    placed->left = Scaled(found.left, scaled_em, found.ppem);
    placed->top = Scaled(found.top, scaled_em, found.ppem);
    placed->advance = Scaled(found.advance, scaled_em, found.ppem);
  }
  if (!placed) lookup = ColorLookup::kBroken;
  if (f.bitmaps.size() >= kMaxCachedBitmaps) f.bitmaps.clear();
  f.bitmaps.emplace(key, placed);
  return placed;
}

// The image a glyph shows, decoded and scaled once while it is kept, however many
// glyphs share its bytes; null when the PNG does not decode. Decoding it first
// drops the oldest images until it fits.
std::shared_ptr<const ScaledImage> ImageOf(ColorGlyphFont& f, const ScaledGlyph& glyph) {
  const ColorGlyphFont::ImageKey key{glyph.png, glyph.png_size, glyph.width, glyph.height};
  if (auto kept = f.images.find(key); kept != f.images.end()) return kept->second;
  BitmapGlyph source;
  source.png = ByteView{glyph.png, glyph.png_size};
  const std::optional<PngSize> size = ReadPngSize(source.png);
  if (!size) return nullptr;
  source.size = *size;
  const std::optional<BitmapPixels> decoded = DecodePng(f, source);
  ++f.images_decoded;
  if (!decoded) return nullptr;
  auto image = std::make_shared<ScaledImage>();
  image->pixels = ScalePixels(*decoded, glyph.width, glyph.height);
  while (!f.image_order.empty() && f.image_bytes + image->bytes() > kMaxImageBytes) {
    const auto oldest = f.images.find(f.image_order.front());
    f.image_bytes -= oldest->second->bytes();
    f.images.erase(oldest);
    f.image_order.pop_front();
  }
  f.images.emplace(key, image);
  f.image_order.push_back(key);
  f.image_bytes += image->bytes();
  return image;
}

// The premultiplied pixels over `background`, as a bitmap of their own.
HBITMAP Compose(HDC dc, const BitmapPixels& p, COLORREF background) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(p.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(p.height);  // top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const uint32_t back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  auto* out = static_cast<uint32_t*>(bits);
  for (size_t i = 0; i < p.data.size(); ++i) {
    const uint32_t pixel = p.data[i], keep = 255 - (pixel >> 24);
    uint32_t mixed = 0;
    for (int c = 0; c < 3; ++c)
      mixed |= std::min(255u, (pixel >> (8 * c) & 0xFF) + (back[c] * keep + 127) / 255) << (8 * c);
    out[i] = mixed;
  }
  return bitmap;
}

void DrawBitmap(HDC dc, const ColorGlyphFont& f, const RECT& r, const ScaledGlyph& g,
                const ScaledImage& image, int em, COLORREF background) {
  const BitmapPixels& p = image.pixels;
  if (p.data.empty()) return;
  // The line the font's hhea metrics give, centred as text is.
  double ascent = 0.8 * em, line = 1.0 * em;
  if (f.units_per_em && f.ascender > f.descender) {
    ascent = static_cast<double>(f.ascender) * em / f.units_per_em;
    line = static_cast<double>(f.ascender - f.descender) * em / f.units_per_em;
  }
  const int baseline =
      r.top + static_cast<int>(std::lround((r.bottom - r.top - line) / 2 + ascent));
  const int width = static_cast<int>(p.width), height = static_cast<int>(p.height);
  const int x = g.advance > 0 ? r.left + (r.right - r.left - g.advance) / 2 + g.left
                              : r.left + (r.right - r.left - width) / 2;
  const int y = baseline - g.top;

  if (!image.composed || image.composed_on != background) {
    if (image.composed) DeleteObject(image.composed);
    image.composed = Compose(dc, p, background);
    image.composed_on = background;
    if (!image.composed) return;
  }
  // Only the part inside the cell is copied, so the DC's clipping is left alone.
  const RECT placed = {x, y, x + width, y + height};
  RECT shown = {};
  if (!IntersectRect(&shown, &placed, &r)) return;
  if (!f.blit_source) f.blit_source = CreateCompatibleDC(dc);
  if (!f.blit_source) return;
  HGDIOBJ previous = SelectObject(f.blit_source, image.composed);
  BitBlt(dc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
         f.blit_source, shown.left - x, shown.top - y, SRCCOPY);
  // The bitmap leaves the DC at once: it may be deleted before the DC is.
  SelectObject(f.blit_source, previous);
}

// The layers over each other where the text drawing would put the base glyph.
void DrawLayers(HDC dc, const RECT& r, uint16_t base, const std::vector<ColorLayer>& layers) {
  SIZE size = {};
  TEXTMETRICW metrics = {};
  if (!GetTextExtentPointI(dc, &base, 1, &size) || !GetTextMetricsW(dc, &metrics)) return;
  const int x = r.left + (r.right - r.left - size.cx) / 2;
  const int y = r.top + (r.bottom - r.top - metrics.tmHeight) / 2;
  const COLORREF text = GetTextColor(dc);
  for (const ColorLayer& layer : layers) {
    // GDI text has no alpha: a transparent layer is left out, any other drawn whole.
    if (!layer.text_colour && (layer.argb >> 24) == 0) continue;
    SetTextColor(dc, layer.text_colour ? text
                                       : RGB(layer.argb >> 16 & 0xFF, layer.argb >> 8 & 0xFF,
                                             layer.argb & 0xFF));
    const WORD glyph = layer.glyph;
    ExtTextOutW(dc, x, y, ETO_GLYPH_INDEX | ETO_CLIPPED, &r, reinterpret_cast<LPCWSTR>(&glyph), 1,
                nullptr);
  }
  SetTextColor(dc, text);
}

const Palette* PaletteFor(const ColorGlyphFont& f, bool dark) {
  if (dark && f.dark) return &*f.dark;
  return f.light ? &*f.light : nullptr;
}

// What `glyph` is drawn as, with its layers or bitmap when it has a colour form.
GlyphForm Resolve(ColorGlyphFont& f, uint32_t glyph, int em, bool dark,
                  std::vector<ColorLayer>& layers, std::optional<ScaledGlyph>& bitmap,
                  std::shared_ptr<const ScaledImage>& image) {
  const GlyphForm plain = f.outlines ? GlyphForm::kText : GlyphForm::kNone;
  if (glyph == 0 || glyph > 0xFFFF) return GlyphForm::kText;
  const auto index = static_cast<uint16_t>(glyph);
  if (f.tables.colr.size) {
    if (const Palette* palette = PaletteFor(f, dark)) {
      const ColorLookup found = ReadColorLayers(f.tables.colr, f.tables.colr_header, *palette,
                                                f.tables.glyph_count, index, layers);
      if (found == ColorLookup::kFound) return GlyphForm::kColour;
    }
    if (f.outlines && HasColorPaint(f.tables.colr, f.tables.colr_header, index))
      return GlyphForm::kOutlineOnly;
  }
  ColorLookup lookup = ColorLookup::kNone;
  bitmap = BitmapAt(f, glyph, em, lookup);
  if (bitmap) image = ImageOf(f, *bitmap);
  if (image) return GlyphForm::kColour;
  // A PNG that does not decode: remembered as broken.
  if (bitmap) f.bitmaps[uint64_t{glyph} << 32 | static_cast<uint32_t>(em)].reset();
  return plain;
}

bool HasColourForm(ColorGlyphFont& f, uint32_t glyph) {
  if (glyph == 0 || glyph > 0xFFFF) return false;
  std::vector<ColorLayer> layers;
  if (const Palette* palette = PaletteFor(f, false))
    if (ReadColorLayers(f.tables.colr, f.tables.colr_header, *palette, f.tables.glyph_count,
                        static_cast<uint16_t>(glyph), layers) == ColorLookup::kFound)
      return true;
  BitmapGlyph found;
  return FindBitmapGlyph(f.tables, static_cast<uint16_t>(glyph), 64, found) == ColorLookup::kFound;
}

// Diagonal lines over the cell: the font lists the character but nothing of it
// can be drawn.
void HatchCell(HDC dc, const RECT& r, bool dark) {
  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, dark ? kDarkGrid : RGB(200, 200, 200));
  if (!hatch) return;
  const int mode = SetBkMode(dc, TRANSPARENT);
  FillRect(dc, &r, hatch);
  SetBkMode(dc, mode);
  DeleteObject(hatch);
}

}  // namespace

ScaledImage::~ScaledImage() {
  if (composed) DeleteObject(composed);
}

ColorGlyphFont::~ColorGlyphFont() {
  if (blit_source) DeleteDC(blit_source);
  if (factory) factory->Release();
  if (com_initialised) CoUninitialize();
}

std::shared_ptr<ColorGlyphFont> OpenColorGlyphFont(std::shared_ptr<const OpenedFont> font,
                                                   uint32_t face) {
  if (!font) return nullptr;
  const ColorGlyphTables& tables = FaceColorGlyphs(*font, face);
  if (!tables.any()) return nullptr;
  auto f = std::make_shared<ColorGlyphFont>();
  f->font = std::move(font);
  f->tables = tables;
  const OpenedFont& opened = *f->font;
  auto table = [&](const char (&tag)[5]) {
    const FaceTable found = FontTable(opened, face, tag);
    return found.present() ? found.bytes : ByteView{};
  };
  if (f->tables.colr.size) {
    f->light = ChoosePalette(f->tables.cpal, f->tables.cpal_header, false);
    f->dark = ChoosePalette(f->tables.cpal, f->tables.cpal_header, true);
  }
  f->outlines = table("glyf").size || table("CFF ").size || table("CFF2").size;
  uint16_t ascender = 0, descender = 0;
  const ByteView hhea = table("hhea");
  if (ReadU16BE(hhea, 0, 4, ascender) && ReadU16BE(hhea, 0, 6, descender) &&
      ReadU16BE(table("head"), 0, 18, f->units_per_em)) {
    f->ascender = static_cast<int16_t>(ascender);
    f->descender = static_cast<int16_t>(descender);
  }
  // PNGs are decoded with WIC, a COM library; balanced in the destructor.
  if (f->tables.cblc.size || f->tables.sbix.size)
    f->com_initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  return f;
}

GlyphForm DrawColorGlyph(HDC dc, ColorGlyphFont& f, const RECT& r, uint32_t glyph, bool dark,
                         COLORREF background) {
  const int em = EmPixels(dc);
  std::vector<ColorLayer> layers;
  std::optional<ScaledGlyph> bitmap;
  std::shared_ptr<const ScaledImage> image;
  const GlyphForm form = Resolve(f, glyph, em, dark, layers, bitmap, image);
  if (form != GlyphForm::kColour) return form;
  if (image) DrawBitmap(dc, f, r, *bitmap, *image, em, background);
  else DrawLayers(dc, r, static_cast<uint16_t>(glyph), layers);
  return form;
}

std::optional<int> BitmapFontLineHeight(const ColorGlyphFont& f, int em) {
  if (f.outlines || !f.units_per_em || f.ascender <= f.descender) return std::nullopt;
  return static_cast<int>(
      std::lround(static_cast<double>(f.ascender - f.descender) * em / f.units_per_em));
}

GlyphForm ColorGlyphForm(ColorGlyphFont& f, uint32_t glyph, int em_pixels) {
  std::vector<ColorLayer> layers;
  std::optional<ScaledGlyph> bitmap;
  std::shared_ptr<const ScaledImage> image;
  return Resolve(f, glyph, std::max(1, em_pixels), false, layers, bitmap, image);
}

bool DrawColorSample(HDC dc, ColorGlyphFont& f, const CharCoverage& coverage, LOGFONTA lf,
                     const RECT& band) {
  const int width = band.right - band.left, height = band.bottom - band.top;
  lf.lfHeight = -std::max(1, std::min(height * 4 / 5, width * 2 / 5));
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) return false;
  HGDIOBJ previous = SelectObject(dc, font);
  auto glyph_of = [&](uint32_t code) -> uint32_t {
    if (code > 0xFFFF) return GlyphOf(coverage, code);
    const auto unit = static_cast<wchar_t>(code);
    WORD glyph = 0xFFFF;
    if (GetGlyphIndicesW(dc, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) != 1) return 0;
    return glyph == 0xFFFF ? 0 : glyph;
  };
  std::vector<uint32_t> glyphs;
  for (uint32_t code : {0x1F600u, 0x1F601u})
    if (HasColourForm(f, glyph_of(code))) glyphs.push_back(glyph_of(code));
  if (glyphs.size() < 2) {
    glyphs.clear();
    uint32_t looked = 0;
    for (const CodeRange& range : coverage.ranges) {
      for (uint32_t code = range.first;
           code <= range.last && glyphs.size() < 2 && looked < kSampleSearch; ++code, ++looked)
        if (HasColourForm(f, glyph_of(code))) glyphs.push_back(glyph_of(code));
      if (glyphs.size() == 2 || looked >= kSampleSearch) break;
    }
  }
  bool drawn = false;
  if (glyphs.size() == 2) {
    const RECT left = {band.left, band.top, band.left + width / 2, band.bottom};
    const RECT right = {left.right, band.top, band.right, band.bottom};
    drawn = DrawColorGlyph(dc, f, left, glyphs[0], false, RGB(255, 255, 255)) ==
                GlyphForm::kColour &&
            DrawColorGlyph(dc, f, right, glyphs[1], false, RGB(255, 255, 255)) ==
                GlyphForm::kColour;
  }
  SelectObject(dc, previous);
  DeleteObject(font);
  return drawn;
}

uint32_t CellGlyph(const ViewerState& s, HDC dc, uint32_t code) {
  const uint32_t character = code < 0x100 ? ByteCharacter(s, static_cast<uint8_t>(code)) : code;
  if (character > 0xFFFF) return GlyphOf(s.info.coverage, character);
  if (character == 0) return 0;
  const auto unit = static_cast<wchar_t>(character);
  WORD glyph = 0xFFFF;
  if (GetGlyphIndicesW(dc, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) != 1 || glyph == 0xFFFF)
    return 0;
  return glyph;
}

GlyphForm DrawCellGlyph(const ViewerState& s, HDC dc, const RECT& r, uint32_t code,
                        UINT format) {
  // The cell's ground: the mark a search left, else the list's own colour.
  const bool marked = static_cast<int>(code) == s.marked_code;
  const COLORREF background = marked ? (s.dark ? kDarkMark : GetSysColor(COLOR_HIGHLIGHT))
                              : s.dark ? kDarkWindow
                                       : GetSysColor(COLOR_WINDOW);
  // Another face drawn by the system numbers its glyphs otherwise.
  const GlyphForm form =
      s.colour_glyphs && s.other_face.empty()
          ? DrawColorGlyph(dc, *s.colour_glyphs, r, CellGlyph(s, dc, code), s.dark != 0, background)
          : GlyphForm::kText;
  if (form == GlyphForm::kText || form == GlyphForm::kOutlineOnly)
    DrawCodeGlyph(dc, r, code, DrawnGlyph(s, code), format);
  else if (form == GlyphForm::kNone)
    HatchCell(dc, r, s.dark != 0);
  return form;
}
