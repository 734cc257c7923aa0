#include "fontfile/fvar_avar.h"

namespace {

constexpr uint32_t kAxisRecordSize = 20;

}  // namespace

FvarTable ReadFvarTable(ByteView fvar) {
  FvarTable t;
  uint16_t major = 0, axes_offset = 0, axis_size = 0;
  if (!ReadU16BE(fvar, 0, 0, major) || !ReadU16BE(fvar, 0, 4, axes_offset) ||
      !ReadU16BE(fvar, 0, 8, t.axis_count) || !ReadU16BE(fvar, 0, 10, axis_size) ||
      !ReadU16BE(fvar, 0, 12, t.instance_count) || !ReadU16BE(fvar, 0, 14, t.instance_size) ||
      major != 1 || axis_size < kAxisRecordSize)
    return t;
  t.read = true;
  // The records follow one another; a count the table cannot hold is cut to it.
  for (uint32_t i = 0; i < t.axis_count; ++i) {
    const uint32_t record = axes_offset + uint32_t{axis_size} * i;
    FvarAxisRecord axis;
    uint32_t minimum = 0, default_value = 0, maximum = 0;
    if (!ReadU32BE(fvar, record, 0, axis.tag) || !ReadU32BE(fvar, record, 4, minimum) ||
        !ReadU32BE(fvar, record, 8, default_value) || !ReadU32BE(fvar, record, 12, maximum) ||
        !ReadU16BE(fvar, record, 16, axis.flags) || !ReadU16BE(fvar, record, 18, axis.name_id))
      break;
    axis.minimum = static_cast<int32_t>(minimum);
    axis.default_value = static_cast<int32_t>(default_value);
    axis.maximum = static_cast<int32_t>(maximum);
    t.axes.push_back(axis);
  }
  t.instances_start = axes_offset + uint32_t{axis_size} * t.axis_count;
  return t;
}

AvarTable ReadAvarTable(ByteView avar) {
  AvarTable t;
  uint16_t axis_count = 0;
  if (!ReadU16BE(avar, 0, 0, t.major) || !ReadU16BE(avar, 0, 6, axis_count)) return t;
  uint32_t position = 8;
  for (uint32_t a = 0; a < axis_count; ++a) {
    uint16_t pairs = 0;
    if (!ReadU16BE(avar, position, 0, pairs) || !InBounds(avar, position + 2, 4u * pairs))
      return t;  // the maps before it stay, for a report of what reads
    std::vector<std::pair<int16_t, int16_t>>& map = t.maps.emplace_back();
    map.reserve(pairs);
    for (uint32_t p = 0; p < pairs; ++p) {
      uint16_t from = 0, to = 0;
      ReadU16BE(avar, position, 2 + 4 * p, from);
      ReadU16BE(avar, position, 4 + 4 * p, to);
      map.emplace_back(static_cast<int16_t>(from), static_cast<int16_t>(to));
    }
    position += 2 + 4 * uint32_t{pairs};  // at most 8 + 65535 * 262142: no wrap
  }
  t.read = true;
  return t;
}
