// The CBLC/CBDT and sbix glyph readers on arbitrary bytes, each table being the
// same bytes: a glyph found has a PNG of a sane size wholly inside the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/color_glyphs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  const ByteView bytes{data, static_cast<uint32_t>(size)};
  for (int which = 0; which < 2; ++which) {
    ColorGlyphTables tables;
    // CBLC and CBDT, then sbix alone.
    if (which == 0) tables.cblc = tables.cbdt = bytes;
    else tables.sbix = bytes;
    tables.glyph_count = 256;
    for (uint32_t glyph = 0; glyph < 256; ++glyph)
      for (uint32_t ppem : {16u, 109u}) {
        BitmapGlyph found;
        const ColorLookup result =
            FindBitmapGlyph(tables, static_cast<uint16_t>(glyph), ppem, found);
        if (result != ColorLookup::kFound) {
          if (found.png.size) std::abort();
          continue;
        }
        if (found.png.data < data || found.png.data + found.png.size > data + size) std::abort();
        if (found.size.width == 0 || found.size.width > kMaxPngSide ||
            found.size.height == 0 || found.size.height > kMaxPngSide)
          std::abort();
      }
  }
  return 0;
}
