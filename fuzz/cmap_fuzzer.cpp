// The character map reader alone on arbitrary bytes, with its promises checked:
// sorted, disjoint ranges of code points whose sizes add up to the count, and
// work linear in the table's size whatever its records say.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/char_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  CharCoverage coverage;
  CmapReadWork work;
  ReadCharacterMap(ByteView{data, static_cast<uint32_t>(size)}, coverage, kMaxGlyphCount, &work);
  // Four subtables of each of the nine encodings, each no more than its bytes
  // and the 65,536 codes a format 4 map can name.
  if (work.subtables > 36 || work.entries > uint64_t{work.subtables} * (size + 65536)) std::abort();
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
