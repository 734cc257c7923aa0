#include "fontfile/color_tables.h"

namespace {

void ReadColr(ByteView table, ColorFacts& facts) {
  uint16_t base_count = 0, layer_count = 0;
  uint32_t base_offset = 0, layer_offset = 0;
  if (!ReadU16BE(table, 0, 0, facts.colr_version) || !ReadU16BE(table, 0, 2, base_count) ||
      !ReadU32BE(table, 0, 4, base_offset) || !ReadU32BE(table, 0, 8, layer_offset) ||
      !ReadU16BE(table, 0, 12, layer_count) || facts.colr_version > 1) {
    facts.colr_broken = true;
    return;
  }
  // Version 0 records: six bytes a base glyph, four a layer.
  if ((base_count && !InBounds(table, base_offset, 6 * uint32_t{base_count})) ||
      (layer_count && !InBounds(table, layer_offset, 4 * uint32_t{layer_count}))) {
    facts.colr_broken = true;
    return;
  }
  facts.base_glyphs = base_count;
  facts.layers = layer_count;
  if (facts.colr_version == 0) return;
  // Version 1 lists: a 32-bit count, then six bytes a paint record and four a
  // layer offset.
  uint32_t base_list = 0, layer_list = 0;
  if (!ReadU32BE(table, 0, 14, base_list) || !ReadU32BE(table, 0, 18, layer_list)) {
    facts.colr_broken = true;
    return;
  }
  for (auto [list, record_size] : {std::pair{base_list, 6u}, std::pair{layer_list, 4u}}) {
    if (list == 0) continue;
    uint32_t count = 0;
    if (!ReadU32BE(table, list, 0, count) || count > (table.size - list - 4) / record_size) {
      facts.colr_broken = true;
      return;
    }
    (record_size == 6 ? facts.base_glyphs : facts.layers) += count;
  }
}

void ReadCpal(ByteView table, ColorFacts& facts) {
  uint16_t records = 0;
  uint32_t colours_offset = 0;
  if (!ReadU16BE(table, 0, 0, facts.cpal_version) ||
      !ReadU16BE(table, 0, 2, facts.palette_entries) || !ReadU16BE(table, 0, 4, facts.palettes) ||
      !ReadU16BE(table, 0, 6, records) || !ReadU32BE(table, 0, 8, colours_offset) ||
      !InBounds(table, 12, 2 * uint32_t{facts.palettes}) ||
      !InBounds(table, colours_offset, 4 * uint32_t{records})) {
    facts.cpal_broken = true;
    return;
  }
  // Every palette's entries lie among the colour records.
  for (uint32_t i = 0; i < facts.palettes; ++i) {
    uint16_t first = 0;
    ReadU16BE(table, 12, 2 * i, first);
    if (uint32_t{first} + facts.palette_entries > records) facts.cpal_broken = true;
  }
  if (facts.cpal_version == 0) return;
  const uint32_t after_indices = 12 + 2 * uint32_t{facts.palettes};
  uint32_t types = 0;
  if (!ReadU32BE(table, after_indices, 0, types)) {
    facts.cpal_broken = true;
    return;
  }
  if (types == 0) return;
  if (!InBounds(table, types, 4 * uint32_t{facts.palettes})) {
    facts.cpal_broken = true;
    return;
  }
  for (uint32_t i = 0; i < facts.palettes; ++i) {
    uint32_t type = 0;
    ReadU32BE(table, types, 4 * i, type);
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
