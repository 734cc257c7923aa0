// One reader alone on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "fontfile/sfnt_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  ByteView view{data, static_cast<uint32_t>(size)};
  FontInfo info;
  ReadCollection(view, info);
  return 0;
}
