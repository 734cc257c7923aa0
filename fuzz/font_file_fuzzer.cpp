// The whole reader order on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "fontfile/font_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  FontInfo info;
  ReadFontBytes(data, static_cast<uint32_t>(size), info);
  return 0;
}
