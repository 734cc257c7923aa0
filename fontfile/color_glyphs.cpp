#include "fontfile/color_glyphs.h"

#include <algorithm>
#include <cstdlib>

#include "fontfile/color_tables.h"
#include "fontfile/face_tables.h"
#include "fontfile/opened_font.h"

namespace {

constexpr uint32_t kIndexSubTableRecord = 8;
// Index subtable records one lookup may read over all strikes: real fonts have a
// few per strike, and a table of millions must not make every cell slow.
constexpr uint32_t kIndexRecordBudget = 4096;
// Real fonts have a handful of strikes; a table claiming more is taken as broken,
// since every lookup orders them.
constexpr uint32_t kMaxStrikes = 256;

// The record of `glyph` among `count` records of `size` bytes at `at`, sorted by
// the glyph id in their first two bytes. An unsorted list finds less, never more
// work: the search halves whatever it reads.
std::optional<uint32_t> FindSortedGlyph(ByteView table, uint32_t at, uint32_t count,
                                        uint32_t size, uint16_t glyph) {
  uint32_t low = 0, high = count;
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    uint16_t id = 0;
    if (!ReadU16BE(table, at, middle * size, id)) return std::nullopt;
    if (id == glyph) return at + middle * size;
    if (id < glyph) low = middle + 1;
    else high = middle;
  }
  return std::nullopt;
}

int32_t Signed8(uint8_t value) { return static_cast<int8_t>(value); }
int32_t Signed16(uint16_t value) { return static_cast<int16_t>(value); }

// ---- CBLC/CBDT --------------------------------------------------------------------

struct StrikeEntry {
  uint32_t image_offset = 0;  // in CBDT
  uint32_t image_length = 0;
  uint16_t image_format = 0;
  bool big_metrics = false;  // index formats 2 and 5 hold the metrics format 19 uses
  uint32_t metrics_at = 0;   // in CBLC
};

// Where `glyph`'s image lies according to one index subtable, whose glyphs begin
// at `first`. False when the subtable cannot be read or does not hold it.
bool ReadIndexSubtable(ByteView cblc, uint32_t at, uint16_t first, uint16_t glyph,
                       StrikeEntry& out) {
  uint16_t index_format = 0;
  uint32_t image_base = 0;
  if (!ReadU16BE(cblc, at, 0, index_format) || !ReadU16BE(cblc, at, 2, out.image_format) ||
      !ReadU32BE(cblc, at, 4, image_base))
    return false;
  const uint32_t n = uint32_t{glyph} - first;
  uint32_t start = 0, end = 0;
  switch (index_format) {
    case 1:
    case 3: {
      const uint32_t width = index_format == 1 ? 4 : 2;
      if (width == 4) {
        if (!ReadU32BE(cblc, at + 8, 4 * n, start) || !ReadU32BE(cblc, at + 8, 4 * n + 4, end))
          return false;
      } else {
        uint16_t a = 0, b = 0;
        if (!ReadU16BE(cblc, at + 8, 2 * n, a) || !ReadU16BE(cblc, at + 8, 2 * n + 2, b))
          return false;
        start = a;
        end = b;
      }
      break;
    }
    case 2: {
      uint32_t size = 0;
      if (!ReadU32BE(cblc, at, 8, size)) return false;
      const uint64_t from = uint64_t{size} * n;
      if (from + size > UINT32_MAX) return false;
      start = static_cast<uint32_t>(from);
      end = start + size;
      out.big_metrics = true;
      out.metrics_at = at + 12;
      break;
    }
    case 4:
    case 5: {
      // Glyph ids listed: 4 pairs them with offsets, 5 lists them after the metrics.
      uint32_t count = 0;
      const uint32_t count_at = index_format == 4 ? 8 : 20;
      if (!ReadU32BE(cblc, at, count_at, count)) return false;
      const uint32_t pair = index_format == 4 ? 4 : 2;
      if (count > cblc.size / pair) return false;
      const std::optional<uint32_t> record =
          FindSortedGlyph(cblc, at + count_at + 4, count, pair, glyph);
      if (!record) return false;
      if (index_format == 4) {
        uint16_t a = 0, b = 0;
        if (!ReadU16BE(cblc, *record, 2, a) || !ReadU16BE(cblc, *record, 2 + 4, b)) return false;
        start = a;
        end = b;
      } else {
        uint32_t size = 0;
        if (!ReadU32BE(cblc, at, 8, size)) return false;
        const uint64_t from = uint64_t{size} * ((*record - (at + 24)) / 2);
        if (from + size > UINT32_MAX) return false;
        start = static_cast<uint32_t>(from);
        end = start + size;
        out.big_metrics = true;
        out.metrics_at = at + 12;
      }
      break;
    }
    default:
      return false;
  }
  if (end < start || !CheckedAdd(image_base, start, out.image_offset)) return false;
  out.image_length = end - start;
  return true;
}

// The entry of `glyph` in one strike: 1 found, 0 not listed, -1 listed but broken.
int FindInStrike(ByteView cblc, uint32_t record, uint16_t glyph, uint32_t& budget,
                 StrikeEntry& out) {
  uint32_t array = 0, count = 0;
  uint16_t first_glyph = 0, last_glyph = 0;
  if (!ReadU32BE(cblc, record, 0, array) || !ReadU32BE(cblc, record, 8, count) ||
      !ReadU16BE(cblc, record, 40, first_glyph) || !ReadU16BE(cblc, record, 42, last_glyph))
    return -1;
  if (glyph < first_glyph || glyph > last_glyph) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (budget == 0) return -1;
    --budget;
    uint16_t first = 0, last = 0;
    uint32_t additional = 0, at = 0;
    if (!ReadU16BE(cblc, array, kIndexSubTableRecord * i, first) ||
        !ReadU16BE(cblc, array, kIndexSubTableRecord * i + 2, last) ||
        !ReadU32BE(cblc, array, kIndexSubTableRecord * i + 4, additional) ||
        !CheckedAdd(array, additional, at))
      return -1;
    if (glyph < first || glyph > last) continue;
    return ReadIndexSubtable(cblc, at, first, glyph, out) ? 1 : -1;
  }
  return 0;
}

// The PNG of one CBDT image and its metrics.
bool ReadCbdtImage(const ColorGlyphTables& t, const StrikeEntry& entry, BitmapGlyph& out) {
  const std::optional<ByteView> image = SubView(t.cbdt, entry.image_offset, entry.image_length);
  if (!image) return false;
  ByteView metrics = *image;
  uint32_t metrics_at = 0, data_at = 0;
  switch (entry.image_format) {
    case 17: data_at = 5; break;
    case 18: data_at = 8; break;
    case 19:
      if (!entry.big_metrics) return false;
      metrics = t.cblc;
      metrics_at = entry.metrics_at;
      break;
    default:
      return false;
  }
  uint8_t bearing_x = 0, bearing_y = 0, advance = 0;
  if (!ReadU8(metrics, metrics_at, 2, bearing_x) || !ReadU8(metrics, metrics_at, 3, bearing_y) ||
      !ReadU8(metrics, metrics_at, 4, advance))
    return false;
  uint32_t length = 0;
  if (!ReadU32BE(*image, data_at, 0, length)) return false;
  const std::optional<ByteView> png = SubView(*image, data_at + 4, length);
  if (!png) return false;
  const std::optional<PngSize> size = ReadPngSize(*png);
  if (!size) return false;
  out.png = *png;
  out.size = *size;
  out.left = Signed8(bearing_x);
  out.top = Signed8(bearing_y);
  out.advance = advance;
  return true;
}

// Strike positions ordered by their distance from `ppem`; the larger of two as near.
template <typename PpemOf>
std::vector<uint32_t> NearestFirst(uint32_t count, uint32_t ppem, PpemOf ppem_of) {
  std::vector<uint32_t> order(count);
  for (uint32_t i = 0; i < count; ++i) order[i] = i;
  std::vector<uint32_t> sizes(count);
  for (uint32_t i = 0; i < count; ++i) sizes[i] = ppem_of(i);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    const long da = std::labs(static_cast<long>(sizes[a]) - static_cast<long>(ppem));
    const long db = std::labs(static_cast<long>(sizes[b]) - static_cast<long>(ppem));
    return da != db ? da < db : sizes[a] > sizes[b];
  });
  return order;
}

ColorLookup FindCbdtGlyph(const ColorGlyphTables& t, uint16_t glyph, uint32_t ppem,
                          BitmapGlyph& out) {
  uint32_t count = 0;
  if (!ReadU32BE(t.cblc, 0, 4, count)) return ColorLookup::kBroken;
  if (count > (t.cblc.size - 8) / kBitmapSizeRecord || count > kMaxStrikes)
    return ColorLookup::kBroken;
  const auto order = NearestFirst(count, ppem, [&](uint32_t i) {
    uint8_t y = 0;
    ReadU8(t.cblc, 8 + kBitmapSizeRecord * i, 45, y);
    return uint32_t{y};
  });
  uint32_t budget = kIndexRecordBudget;
  bool broken = false;
  for (uint32_t i : order) {
    StrikeEntry entry;
    const int found = FindInStrike(t.cblc, 8 + kBitmapSizeRecord * i, glyph, budget, entry);
    if (found == 0) continue;
    if (found > 0 && entry.image_length > 0 && ReadCbdtImage(t, entry, out)) {
      uint8_t y = 0;
      ReadU8(t.cblc, 8 + kBitmapSizeRecord * i, 45, y);
      out.ppem = y;
      return ColorLookup::kFound;
    }
    // An empty image is a glyph without ink (a space), not a fault.
    if (!(found > 0 && entry.image_length == 0)) broken = true;
  }
  return broken ? ColorLookup::kBroken : ColorLookup::kNone;
}

// ---- sbix -------------------------------------------------------------------------

// The data of `glyph` in the strike at `strike`: empty when the strike has none.
bool SbixGlyphData(ByteView sbix, uint32_t strike, uint16_t glyph, uint16_t glyph_count,
                   ByteView& out) {
  if (glyph >= glyph_count) return false;
  uint32_t start = 0, end = 0;
  if (!ReadU32BE(sbix, strike + 4, 4 * uint32_t{glyph}, start) ||
      !ReadU32BE(sbix, strike + 4, 4 * uint32_t{glyph} + 4, end) || end < start)
    return false;
  uint32_t at = 0;
  if (!CheckedAdd(strike, start, at)) return false;
  const std::optional<ByteView> data = SubView(sbix, at, end - start);
  if (!data) return false;
  out = *data;
  return true;
}

// 1 found, 0 none in this strike, -1 broken.
int ReadSbixGlyph(const ColorGlyphTables& t, uint32_t strike, uint16_t glyph, BitmapGlyph& out) {
  ByteView data;
  if (!SbixGlyphData(t.sbix, strike, glyph, t.glyph_count, data)) return -1;
  if (data.size == 0) return 0;
  // A "dupe" names the glyph whose data to use; one that names another dupe
  // (or itself) would lead in a circle and is refused.
  if (ReadTagIs(data, 0, 4, "dupe")) {
    uint16_t other = 0;
    if (!ReadU16BE(data, 8, 0, other) || !SbixGlyphData(t.sbix, strike, other, t.glyph_count, data))
      return -1;
    if (data.size == 0 || ReadTagIs(data, 0, 4, "dupe")) return -1;
  }
  uint16_t x = 0, y = 0;
  if (!ReadU16BE(data, 0, 0, x) || !ReadU16BE(data, 0, 2, y) || !ReadTagIs(data, 0, 4, "png "))
    return -1;
  const std::optional<ByteView> png = SubView(data, 8, data.size - 8);
  if (!png) return -1;
  const std::optional<PngSize> size = ReadPngSize(*png);
  if (!size) return -1;
  out.png = *png;
  out.size = *size;
  // The origin offset places the bitmap's lower left corner.
  out.left = Signed16(x);
  out.top = Signed16(y) + static_cast<int32_t>(size->height);
  out.advance = 0;
  return 1;
}

ColorLookup FindSbixGlyph(const ColorGlyphTables& t, uint16_t glyph, uint32_t ppem,
                          BitmapGlyph& out) {
  uint32_t count = 0;
  if (!ReadU32BE(t.sbix, 0, 4, count) || count > (t.sbix.size - 8) / 4 || count > kMaxStrikes)
    return ColorLookup::kBroken;
  auto strike_at = [&](uint32_t i) {
    uint32_t at = 0;
    ReadU32BE(t.sbix, 8, 4 * i, at);
    return at;
  };
  const auto order = NearestFirst(count, ppem, [&](uint32_t i) {
    uint16_t size = 0;
    ReadU16BE(t.sbix, strike_at(i), 0, size);
    return uint32_t{size};
  });
  bool broken = false;
  for (uint32_t i : order) {
    const uint32_t at = strike_at(i);
    uint16_t strike_ppem = 0;
    if (!ReadU16BE(t.sbix, at, 0, strike_ppem) || strike_ppem == 0) {
      broken = true;
      continue;
    }
    const int found = ReadSbixGlyph(t, at, glyph, out);
    if (found > 0) {
      out.ppem = strike_ppem;
      return ColorLookup::kFound;
    }
    if (found < 0) broken = true;
  }
  return broken ? ColorLookup::kBroken : ColorLookup::kNone;
}

}  // namespace

ColorGlyphTables FindColorGlyphTables(const OpenedFont& font, uint32_t face) {
  auto bytes = [&](const char (&tag)[5]) {
    const FaceTable table = FontTable(font, face, tag);
    return table.present() ? table.bytes : ByteView{};
  };
  ColorGlyphTables t;
  if (!FaceOf(font, face)) return t;
  t.colr = bytes("COLR");
  t.cpal = bytes("CPAL");
  t.cblc = bytes("CBLC");
  t.cbdt = bytes("CBDT");
  t.sbix = bytes("sbix");
  ReadU16BE(bytes("maxp"), 0, 4, t.glyph_count);
  // Bitmaps without their data table, or layers without colours, draw nothing.
  if (!t.cbdt.size) t.cblc = {};
  if (!t.cpal.size) t.colr = {};
  t.colr_header = ReadColrHeader(t.colr);
  t.cpal_header = ReadCpalHeader(t.cpal);
  return t;
}

ColorGlyphTables FindColorGlyphTables(ByteView file, uint32_t face) {
  OpenedFont font;
  OpenFontView(file, font);
  return FindColorGlyphTables(font, face);
}

std::optional<Palette> ChoosePalette(ByteView cpal, const CpalHeader& header, bool dark) {
  if (!header.read || header.palettes == 0) return std::nullopt;
  uint32_t chosen = 0;
  const uint32_t wanted = dark ? 0x2 : 0x1;
  for (uint32_t i = 0; header.types_inside && i < header.palettes; ++i) {
    if (PaletteType(cpal, header, i) & wanted) {
      chosen = i;
      break;
    }
  }
  const std::optional<uint32_t> first = PaletteFirstRecord(cpal, header, chosen);
  if (!first) return std::nullopt;
  Palette palette;
  palette.colours.reserve(header.entries);
  for (uint32_t i = 0; i < header.entries; ++i) {
    uint8_t bgra[4] = {};
    for (uint32_t b = 0; b < 4; ++b)
      if (!ReadU8(cpal, header.colours_offset, 4 * (*first + i) + b, bgra[b])) return std::nullopt;
    palette.colours.push_back(uint32_t{bgra[3]} << 24 | uint32_t{bgra[2]} << 16 |
                              uint32_t{bgra[1]} << 8 | bgra[0]);
  }
  return palette;
}

std::optional<Palette> ChoosePalette(ByteView cpal, bool dark) {
  return ChoosePalette(cpal, ReadCpalHeader(cpal), dark);
}

ColorLookup ReadColorLayers(ByteView colr, const ColrHeader& header, const Palette& palette,
                            uint16_t glyph_count, uint16_t glyph, std::vector<ColorLayer>& layers) {
  layers.clear();
  if (!header.read) return ColorLookup::kNone;
  const std::optional<uint32_t> record =
      FindSortedGlyph(colr, header.base_offset, header.base_count, 6, glyph);
  if (!record) return ColorLookup::kNone;
  uint16_t first = 0, count = 0;
  if (!ReadU16BE(colr, *record, 2, first) || !ReadU16BE(colr, *record, 4, count))
    return ColorLookup::kBroken;
  if (count == 0) return ColorLookup::kNone;
  if (count > kMaxColorLayers || uint32_t{first} + count > header.layer_count)
    return ColorLookup::kBroken;
  layers.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t layer_glyph = 0, index = 0;
    if (!ReadU16BE(colr, header.layer_offset, 4 * (first + i), layer_glyph) ||
        !ReadU16BE(colr, header.layer_offset, 4 * (first + i) + 2, index) ||
        layer_glyph >= glyph_count) {
      layers.clear();
      return ColorLookup::kBroken;
    }
    ColorLayer layer;
    layer.glyph = layer_glyph;
    if (index == 0xFFFF) {
      layer.text_colour = true;
    } else if (index < palette.colours.size()) {
      layer.argb = palette.colours[index];
    } else {
      layers.clear();
      return ColorLookup::kBroken;
    }
    layers.push_back(layer);
  }
  return ColorLookup::kFound;
}

ColorLookup ReadColorLayers(ByteView colr, const Palette& palette, uint16_t glyph_count,
                            uint16_t glyph, std::vector<ColorLayer>& layers) {
  return ReadColorLayers(colr, ReadColrHeader(colr), palette, glyph_count, glyph, layers);
}

bool HasColorPaint(ByteView colr, const ColrHeader& header, uint16_t glyph) {
  if (header.version < 1 || header.paint_list == 0 || header.paint_count == 0) return false;
  return FindSortedGlyph(colr, header.paint_list + 4, header.paint_count, 6, glyph).has_value();
}

bool HasColorPaint(ByteView colr, uint16_t glyph) {
  return HasColorPaint(colr, ReadColrHeader(colr), glyph);
}

std::optional<PngSize> ReadPngSize(ByteView png) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (uint32_t i = 0; i < 8; ++i) {
    uint8_t byte = 0;
    if (!ReadU8(png, i, 0, byte) || byte != kSignature[i]) return std::nullopt;
  }
  PngSize size;
  if (!ReadTagIs(png, 12, 0, "IHDR") || !ReadU32BE(png, 16, 0, size.width) ||
      !ReadU32BE(png, 20, 0, size.height))
    return std::nullopt;
  if (size.width == 0 || size.height == 0 || size.width > kMaxPngSide ||
      size.height > kMaxPngSide)
    return std::nullopt;
  return size;
}

ColorLookup FindBitmapGlyph(const ColorGlyphTables& tables, uint16_t glyph, uint32_t ppem,
                            BitmapGlyph& out) {
  out = {};
  ColorLookup result = ColorLookup::kNone;
  if (tables.cblc.size) {
    result = FindCbdtGlyph(tables, glyph, ppem, out);
    if (result == ColorLookup::kFound) return result;
  }
  if (tables.sbix.size) {
    const ColorLookup sbix = FindSbixGlyph(tables, glyph, ppem, out);
    if (sbix == ColorLookup::kFound || result == ColorLookup::kNone) result = sbix;
  }
  if (result != ColorLookup::kFound) out = {};
  return result;
}
