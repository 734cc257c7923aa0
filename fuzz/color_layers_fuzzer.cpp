// The COLR layer and CPAL palette readers on arbitrary bytes, each table being the
// same bytes: every glyph's layers are refused or stay within the palette, the
// glyph count and the layer limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "fontfile/color_glyphs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  const ByteView bytes{data, static_cast<uint32_t>(size)};
  constexpr uint16_t kGlyphCount = 512;
  for (bool dark : {false, true}) {
    const std::optional<Palette> palette = ChoosePalette(bytes, dark);
    if (!palette) continue;
    if (palette->colours.size() > size / 4) std::abort();
    std::vector<ColorLayer> layers;
    for (uint32_t glyph = 0; glyph < kGlyphCount; ++glyph) {
      const ColorLookup found =
          ReadColorLayers(bytes, *palette, kGlyphCount, static_cast<uint16_t>(glyph), layers);
      if (found != ColorLookup::kFound && !layers.empty()) std::abort();
      if (layers.size() > kMaxColorLayers) std::abort();
      for (const ColorLayer& layer : layers)
        if (layer.glyph >= kGlyphCount) std::abort();
      HasColorPaint(bytes, static_cast<uint16_t>(glyph));
    }
  }
  return 0;
}
