// The character map reader alone on arbitrary bytes, with its promises checked:
// sorted, disjoint ranges of code points whose sizes add up to the count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/char_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  CharCoverage coverage;
  ReadCharacterMap(ByteView{data, static_cast<uint32_t>(size)}, coverage);
  uint64_t count = 0;
  int64_t previous_last = -2;
  for (const CodeRange& r : coverage.ranges) {
    if (r.first > r.last || r.last > kLastCodePoint || int64_t{r.first} <= previous_last + 1)
      std::abort();
    previous_last = r.last;
    count += r.last - r.first + 1;
  }
  if (count != coverage.count || CountCodePoints(coverage, 0, kLastCodePoint) != count) std::abort();
  for (const CodeRange& r : coverage.ranges)
    if (!HasCodePoint(coverage, r.first) || !HasCodePoint(coverage, r.last) ||
        (r.last < kLastCodePoint && HasCodePoint(coverage, r.last + 1)))
      std::abort();
  CountPresentCells(coverage, 0, 0xFFFF, nullptr);
  return 0;
}
