#include "fontfile/colr_cpal.h"

#include <tuple>

ColrHeader ReadColrHeader(ByteView colr) {
  ColrHeader h;
  h.read = ReadU16BE(colr, 0, 0, h.version) && ReadU16BE(colr, 0, 2, h.base_count) &&
           ReadU32BE(colr, 0, 4, h.base_offset) && ReadU32BE(colr, 0, 8, h.layer_offset) &&
           ReadU16BE(colr, 0, 12, h.layer_count);
  if (!h.read) return h;
  h.records_inside = (!h.base_count || InBounds(colr, h.base_offset, 6 * uint32_t{h.base_count})) &&
                     (!h.layer_count || InBounds(colr, h.layer_offset, 4 * uint32_t{h.layer_count}));
  if (h.version < 1) return h;
  if (!ReadU32BE(colr, 0, 14, h.paint_list) || !ReadU32BE(colr, 0, 18, h.layer_list)) return h;
  h.lists_read = true;
  for (auto [list, count, record_size] : {std::tuple{h.paint_list, &h.paint_count, 6u},
                                          std::tuple{h.layer_list, &h.layer_list_count, 4u}}) {
    if (list == 0) continue;
    if (!ReadU32BE(colr, list, 0, *count) || *count > (colr.size - list - 4) / record_size) {
      *count = 0;
      h.lists_read = false;
    }
  }
  return h;
}

CpalHeader ReadCpalHeader(ByteView cpal) {
  CpalHeader h;
  h.read = ReadU16BE(cpal, 0, 0, h.version) && ReadU16BE(cpal, 0, 2, h.entries) &&
           ReadU16BE(cpal, 0, 4, h.palettes) && ReadU16BE(cpal, 0, 6, h.records) &&
           ReadU32BE(cpal, 0, 8, h.colours_offset);
  if (!h.read) return h;
  h.indices_inside = InBounds(cpal, 12, 2 * uint32_t{h.palettes});
  h.colours_inside = InBounds(cpal, h.colours_offset, 4 * uint32_t{h.records});
  if (h.version < 1) return h;
  h.types_read = ReadU32BE(cpal, 12 + 2 * uint32_t{h.palettes}, 0, h.types_offset);
  h.types_inside = h.types_read && h.types_offset != 0 &&
                   InBounds(cpal, h.types_offset, 4 * uint32_t{h.palettes});
  return h;
}

std::optional<uint32_t> PaletteFirstRecord(ByteView cpal, const CpalHeader& header,
                                           uint32_t palette) {
  uint16_t first = 0;
  if (!header.read || palette >= header.palettes || !ReadU16BE(cpal, 12, 2 * palette, first) ||
      uint32_t{first} + header.entries > header.records)
    return std::nullopt;
  return first;
}

uint32_t PaletteType(ByteView cpal, const CpalHeader& header, uint32_t palette) {
  uint32_t type = 0;
  if (!header.types_inside || palette >= header.palettes ||
      !ReadU32BE(cpal, header.types_offset, 4 * palette, type))
    return 0;
  return type;
}
