// Writes an sfnt font from its tables: the directory sorted by tag, each table
// padded to four bytes, every checksum, and head's checkSumAdjustment.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"

struct OutputTable {
  uint32_t tag = 0;
  ByteView bytes;  // the table's bytes; they must outlive the writing
};

constexpr uint32_t MakeTag(const char (&tag)[5]) {
  return uint32_t{static_cast<uint8_t>(tag[0])} << 24 | uint32_t{static_cast<uint8_t>(tag[1])} << 16 |
         uint32_t{static_cast<uint8_t>(tag[2])} << 8 | static_cast<uint8_t>(tag[3]);
}

// Big-endian fields written at `at` into bytes the caller has sized.
inline void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value >> 8);
  out[at + 1] = static_cast<uint8_t>(value);
}

inline void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  PutU16(out, at, static_cast<uint16_t>(value >> 16));
  PutU16(out, at + 2, static_cast<uint16_t>(value));
}

// The offset table of a font of `count` tables: its version (`flavor`), the count
// and the binary-search fields.
void PutOffsetTable(std::vector<uint8_t>& out, uint32_t flavor, uint16_t count);

// The checksum of bytes as the format sums them: big-endian words, the last one
// padded with zeros.
uint32_t TableChecksum(ByteView bytes);

// Writes a TrueType-outline font (version 0x00010000) into `out`. False when the
// font would pass `limit` bytes, or a head table shorter than its fixed fields is
// given; `out` is then empty.
bool WriteSfnt(std::vector<OutputTable> tables, uint32_t limit, std::vector<uint8_t>& out);
