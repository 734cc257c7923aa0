#include "fontfile/sfnt_writer.h"

#include <algorithm>
#include <cstring>

#include "fontfile/table_directory.h"

namespace {

constexpr uint32_t kHeadAdjustmentField = 8;
constexpr uint32_t kHeadSize = 54;
constexpr uint32_t kChecksumMagic = 0xB1B0AFBA;

}  // namespace

void PutOffsetTable(std::vector<uint8_t>& out, uint32_t flavor, uint16_t count) {
  uint16_t selector = 0;
  while ((2u << selector) <= count) ++selector;
  const uint16_t range = static_cast<uint16_t>(kTableRecordSize << selector);
  PutU32(out, 0, flavor);
  PutU16(out, 4, count);
  PutU16(out, 6, range);
  PutU16(out, 8, selector);
  PutU16(out, 10, static_cast<uint16_t>(count * kTableRecordSize - range));
}

uint32_t TableChecksum(ByteView bytes) {
  uint32_t sum = 0;
  const uint32_t whole = bytes.size / 4 * 4;
  for (uint32_t at = 0; at < whole; at += 4) {
    uint32_t word = 0;
    ReadU32BE(bytes, at, 0, word);
    sum += word;
  }
  uint32_t last = 0;
  for (uint32_t at = whole; at < bytes.size; ++at) {
    uint8_t byte = 0;
    ReadU8(bytes, at, 0, byte);
    last |= uint32_t{byte} << (24 - 8 * (at - whole));
  }
  return sum + last;
}

bool WriteSfnt(std::vector<OutputTable> tables, uint32_t limit, std::vector<uint8_t>& out) {
  out.clear();
  std::sort(tables.begin(), tables.end(),
            [](const OutputTable& a, const OutputTable& b) { return a.tag < b.tag; });
  const uint32_t count = static_cast<uint32_t>(tables.size());
  if (count > 0xFFFF) return false;
  uint64_t size = kOffsetTableSize + kTableRecordSize * uint64_t{count};
  for (const OutputTable& table : tables) {
    if (table.tag == MakeTag("head") && table.bytes.size < kHeadSize) return false;
    size += (uint64_t{table.bytes.size} + 3) / 4 * 4;
  }
  if (size > limit) return false;
  out.assign(static_cast<size_t>(size), 0);
  PutOffsetTable(out, 0x00010000, static_cast<uint16_t>(count));
  uint32_t at = kOffsetTableSize + kTableRecordSize * count;
  int64_t head_at = -1;
  for (uint32_t i = 0; i < count; ++i) {
    const OutputTable& table = tables[i];
    if (table.bytes.size) std::memcpy(out.data() + at, table.bytes.data, table.bytes.size);
    if (table.tag == MakeTag("head")) {
      head_at = at;
      PutU32(out, at + kHeadAdjustmentField, 0);
    }
    const uint32_t record = kOffsetTableSize + kTableRecordSize * i;
    PutU32(out, record, table.tag);
    PutU32(out, record + 4,
           TableChecksum(ByteView{out.data() + at, table.bytes.size}));
    PutU32(out, record + 8, at);
    PutU32(out, record + 12, table.bytes.size);
    at += (table.bytes.size + 3) / 4 * 4;
  }
  if (head_at >= 0) {
    const uint32_t whole = TableChecksum(ByteView{out.data(), static_cast<uint32_t>(out.size())});
    PutU32(out, static_cast<size_t>(head_at) + kHeadAdjustmentField, kChecksumMagic - whole);
  }
  return true;
}
