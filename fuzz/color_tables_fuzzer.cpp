// The COLR, CPAL, CBLC, sbix and SVG readers on arbitrary bytes, each table being
// the same bytes: counts and strike lists never exceed what the bytes can hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/color_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  const FaceTable table{TableState::kPresent, ByteView{data, static_cast<uint32_t>(size)}};
  const ColorFacts facts = ReadColorTables(ColorTableBytes{table, table, table, table, table, table});
  if (facts.bitmap_strikes.size() > size / 48 || facts.sbix_strikes.size() > size / 4) std::abort();
  if (!facts.colr_broken && facts.base_glyphs > size) std::abort();
  if (facts.light_palettes > facts.palettes || facts.dark_palettes > facts.palettes) std::abort();
  return 0;
}
