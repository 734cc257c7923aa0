// The one reader of the COLR and CPAL tables' headers, for the Info report's
// facts (fontfile/color_tables) and for drawing (fontfile/color_glyphs): each
// field read and each range checked by the same rules. The report calls a table
// broken when a range leaves it; drawing refuses only the glyph or palette whose
// own records leave it.
#pragma once

#include <cstdint>
#include <optional>

#include "fontfile/byte_reader.h"

struct ColrHeader {
  bool read = false;  // the version 0 fields lie inside the table
  uint16_t version = 0;
  uint16_t base_count = 0, layer_count = 0;  // version 0 records: 6 and 4 bytes
  uint32_t base_offset = 0, layer_offset = 0;
  bool records_inside = false;  // both version 0 arrays lie inside the table
  // Version 1: the base glyph paint list and the layer list (offset 0: none),
  // each a 32-bit count then records of 6 and 4 bytes.
  bool lists_read = false;  // both offsets read, and each list's count fits the table
  uint32_t paint_list = 0, paint_count = 0;
  uint32_t layer_list = 0, layer_list_count = 0;
};
ColrHeader ReadColrHeader(ByteView colr);

struct CpalHeader {
  bool read = false;  // the version 0 fields lie inside the table
  uint16_t version = 0;
  uint16_t entries = 0;  // colours in each palette
  uint16_t palettes = 0;
  uint16_t records = 0;  // colour records in all
  uint32_t colours_offset = 0;
  bool indices_inside = false;  // each palette's first record index lies inside
  bool colours_inside = false;  // the colour records lie inside
  // Version 1: the palette types (offset 0: none).
  bool types_read = false;    // the offset read (version 1 only)
  uint32_t types_offset = 0;
  bool types_inside = false;  // the types array lies inside
};
CpalHeader ReadCpalHeader(ByteView cpal);

// The first colour record of `palette`; nothing when its index cannot be read or
// its entries leave the colour records.
std::optional<uint32_t> PaletteFirstRecord(ByteView cpal, const CpalHeader& header,
                                           uint32_t palette);
// The version 1 type bits of `palette` (0x1 light, 0x2 dark); 0 without types.
uint32_t PaletteType(ByteView cpal, const CpalHeader& header, uint32_t palette);
