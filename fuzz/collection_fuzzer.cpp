// One reader alone on arbitrary bytes: every face of a collection (the first 64),
// and which faces are one font.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "fontfile/sfnt_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  ByteView view{data, static_cast<uint32_t>(size)};
  const uint32_t faces = std::clamp<uint32_t>(CollectionFaceCount(view), 1, 64);
  for (uint32_t face = 0; face < faces; ++face) {
    FontInfo info;
    ReadCollection(view, info, face);
  }
  // Every face, as the listings take them: the same font read and listed once.
  const std::vector<uint32_t> origins = CollectionFaceOrigins(view);
  for (uint32_t face = 0; face < origins.size(); ++face)
    if (origins[face] > face || origins[origins[face]] != origins[face]) __builtin_trap();
  ReadCollectionFaceNames(view);
  return 0;
}
