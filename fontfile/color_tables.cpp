#include "fontfile/color_tables.h"

#include "fontfile/colr_cpal.h"

namespace {

void ReadColr(ByteView table, ColorFacts& facts) {
  const ColrHeader h = ReadColrHeader(table);
  facts.colr_version = h.version;
  if (!h.read || h.version > 1 || !h.records_inside) {
    facts.colr_broken = true;
    return;
  }
  facts.base_glyphs = h.base_count;
  facts.layers = h.layer_count;
  if (h.version == 0) return;
  if (!h.lists_read) {
    facts.colr_broken = true;
    return;
  }
  facts.base_glyphs += h.paint_count;
  facts.layers += h.layer_list_count;
}

void ReadCpal(ByteView table, ColorFacts& facts) {
  const CpalHeader h = ReadCpalHeader(table);
  facts.cpal_version = h.version;
  facts.palette_entries = h.entries;
  facts.palettes = h.palettes;
  if (!h.read || !h.indices_inside || !h.colours_inside) {
    facts.cpal_broken = true;
    return;
  }
  // Every palette's entries lie among the colour records.
  for (uint32_t i = 0; i < h.palettes; ++i)
    if (!PaletteFirstRecord(table, h, i)) facts.cpal_broken = true;
  if (h.version == 0) return;
  if (!h.types_read || (h.types_offset != 0 && !h.types_inside)) {
    facts.cpal_broken = true;
    return;
  }
  for (uint32_t i = 0; i < h.palettes; ++i) {
    const uint32_t type = PaletteType(table, h, i);
    if (type & 0x1) ++facts.light_palettes;
    if (type & 0x2) ++facts.dark_palettes;
  }
}

void ReadCblc(ByteView table, ColorFacts& facts) {
  uint32_t count = 0;
  if (!ReadU32BE(table, 0, 4, count) || count > (table.size - 8) / kBitmapSizeRecord) {
    facts.cblc_broken = true;
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t ppem = 0;
    ReadU8(table, 8 + kBitmapSizeRecord * i, 45, ppem);
    facts.bitmap_strikes.push_back(ppem);
  }
}

void ReadSbix(ByteView table, ColorFacts& facts) {
  uint32_t count = 0;
  if (!ReadU32BE(table, 0, 4, count) || count > (table.size - 8) / 4) {
    facts.sbix_broken = true;
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t strike = 0;
    uint16_t ppem = 0;
    ReadU32BE(table, 8, 4 * i, strike);
    if (!ReadU16BE(table, strike, 0, ppem)) {
      facts.sbix_broken = true;
      continue;
    }
    facts.sbix_strikes.push_back(ppem);
  }
}

void ReadSvg(ByteView table, ColorFacts& facts) {
  uint32_t index = 0;
  uint16_t count = 0;
  if (!ReadU32BE(table, 0, 2, index) || !ReadU16BE(table, index, 0, count) ||
      !InBounds(table, index + 2, 12 * uint32_t{count})) {
    facts.svg_broken = true;
    return;
  }
  facts.svg_documents = count;
}

}  // namespace

ColorFacts ReadColorTables(const ColorTableBytes& t) {
  ColorFacts facts;
  facts.colr = t.colr.state;
  facts.cpal = t.cpal.state;
  facts.cbdt = t.cbdt.state;
  facts.cblc = t.cblc.state;
  facts.sbix = t.sbix.state;
  facts.svg = t.svg.state;
  facts.colr_broken = t.colr.state == TableState::kBroken;
  facts.cpal_broken = t.cpal.state == TableState::kBroken;
  facts.cblc_broken = t.cblc.state == TableState::kBroken;
  facts.sbix_broken = t.sbix.state == TableState::kBroken;
  facts.svg_broken = t.svg.state == TableState::kBroken;
  if (t.colr.present()) ReadColr(t.colr.bytes, facts);
  if (t.cpal.present()) ReadCpal(t.cpal.bytes, facts);
  if (t.cblc.present()) ReadCblc(t.cblc.bytes, facts);
  if (t.sbix.present()) ReadSbix(t.sbix.bytes, facts);
  if (t.svg.present()) ReadSvg(t.svg.bytes, facts);
  return facts;
}
