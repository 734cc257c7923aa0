// Glyph names and the GSUB walk on arbitrary bytes (the same bytes as GSUB, as
// post, and from the second byte on as CFF): the work within its two budgets,
// the names' text no longer than the tables, every feature index a tag's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/glyph_features.h"
#include "fontfile/glyph_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max() || size < 2) return 0;
  const ByteView view{data, static_cast<uint32_t>(size)};
  const ByteView shifted{data + 1, static_cast<uint32_t>(size - 1)};
  const uint32_t glyph_count = data[0] << 8 | data[1];
  const GlyphFeatures features = ReadGlyphFeatures(view, glyph_count);
  if (features.work > 2 * (4 * uint64_t{size} + 16 * glyph_count)) std::abort();
  if (features.start.size() != glyph_count + 1u || features.start.back() != features.features.size())
    std::abort();
  for (uint16_t index : features.features)
    if (index >= features.tags.size()) std::abort();
  const GlyphNames names = ReadGlyphNames(view, shifted, glyph_count);
  if (names.text.size() > 2 * size) std::abort();
  for (uint32_t glyph = 0; glyph < glyph_count; glyph += 97)
    if (GlyphName(names, glyph).empty()) std::abort();
  return 0;
}
