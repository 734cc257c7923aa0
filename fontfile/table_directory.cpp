#include "fontfile/table_directory.h"

namespace {

constexpr uint32_t kOffsetTableSize = 12;
constexpr uint32_t kRecordSize = 16;

bool IsTag(ByteView view, uint32_t offset, const char (&tag)[5]) {
  uint32_t value = 0;
  if (!ReadU32BE(view, offset, 0, value)) return false;
  return value == (uint32_t{uint8_t(tag[0])} << 24 | uint32_t{uint8_t(tag[1])} << 16 |
                   uint32_t{uint8_t(tag[2])} << 8 | uint32_t{uint8_t(tag[3])});
}

// No real collection comes near this many table records in all; a file that
// claims more is refused rather than walked for minutes.
constexpr uint32_t kMaxRecords = 1u << 20;

// Whether [offset, offset + length) and [begin, end) share a byte.
bool Overlaps(uint32_t offset, uint32_t length, uint32_t begin, uint32_t end) {
  if (length == 0 || offset >= end) return false;
  return offset >= begin || begin - offset < length;
}

// One font's directory at `start`, after a collection header that ends at
// `header_end` (0 for a lone font); `budget` counts down the records still allowed.
// A table must lie in the file and outside the headers that lead to it.
bool DirectoryInside(ByteView view, uint32_t start, uint32_t header_end, uint32_t& budget) {
  uint16_t count = 0;
  if (!ReadU16BE(view, start, 4, count)) return false;
  if (count > budget) return false;
  budget -= count;
  uint32_t directory_end = 0;
  if (!CheckedAdd(start, kOffsetTableSize + kRecordSize * count, directory_end) ||
      !InBounds(view, start, directory_end - start))
    return false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t record = start + kOffsetTableSize + kRecordSize * i;
    uint32_t offset = 0, length = 0;
    if (!ReadU32BE(view, record, 8, offset) || !ReadU32BE(view, record, 12, length)) return false;
    if (!InBounds(view, offset, length)) return false;
    if (Overlaps(offset, length, start, directory_end) || Overlaps(offset, length, 0, header_end))
      return false;
  }
  return true;
}

bool IsSfnt(ByteView view, uint32_t start) {
  uint32_t version = 0;
  if (!ReadU32BE(view, start, 0, version)) return false;
  return version == 0x00010000 || IsTag(view, start, "OTTO") || IsTag(view, start, "true");
}

}  // namespace

bool SfntTablesInsideFile(ByteView view) {
  uint32_t budget = kMaxRecords;
  if (IsSfnt(view, 0)) return DirectoryInside(view, 0, 0, budget);
  if (!IsTag(view, 0, "ttcf")) return true;
  uint32_t count = 0;
  if (!ReadU32BE(view, 0, 8, count)) return false;
  // The offsets must all be in the file, which bounds the header's end.
  if (count > (view.size - 12) / 4) return false;
  const uint32_t header_end = 12 + 4 * count;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t start = 0;
    if (!ReadU32BE(view, 12, 4 * i, start)) return false;
    if (!DirectoryInside(view, start, header_end, budget)) return false;
  }
  return true;
}
