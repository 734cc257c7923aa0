#include "fontfile/item_variations.h"

namespace {

constexpr uint32_t kRegionAxisSize = 6;

// The work allowed: per byte of the store, and per lookup the caller announces.
// Real fonts name a handful of regions an item.
constexpr uint64_t kWorkPerStoreByte = 8;
constexpr uint64_t kWorkPerLookup = 64;

}  // namespace

bool OpenItemVariations(ByteView store, const DesignLocation& location, uint32_t lookups,
                        ItemVariations& items) {
  items = ItemVariations{};
  items.store = store;
  items.work.left = kWorkPerStoreByte * store.size + kWorkPerLookup * (uint64_t{lookups} + 1);
  uint16_t format = 0;
  uint32_t regions_offset = 0;
  if (!ReadU16BE(store, 0, 0, format) || format != 1 || !ReadU32BE(store, 0, 2, regions_offset))
    return false;
  uint16_t axis_count = 0, region_count = 0;
  if (!ReadU16BE(store, regions_offset, 0, axis_count) ||
      !ReadU16BE(store, regions_offset, 2, region_count))
    return false;
  if (axis_count != location.coordinates.size()) return false;
  const uint32_t region_size = kRegionAxisSize * axis_count;
  uint32_t first = 0, list_size = 0;
  if (!CheckedAdd(regions_offset, 4, first) ||
      !CheckedMultiply(region_size, region_count, list_size) || !InBounds(store, first, list_size))
    return false;
  items.region_applies.resize(region_count);
  items.region_factors.resize(region_count);
  std::vector<RegionAxis> axes(axis_count);
  for (uint32_t r = 0; r < region_count; ++r) {
    for (uint32_t a = 0; a < axis_count; ++a) {
      uint16_t start = 0, peak = 0, end = 0;
      const uint32_t at = first + r * region_size + kRegionAxisSize * a;
      ReadU16BE(store, at, 0, start);
      ReadU16BE(store, at, 2, peak);
      ReadU16BE(store, at, 4, end);
      axes[a] = RegionAxis{static_cast<int16_t>(start), static_cast<int16_t>(peak),
                           static_cast<int16_t>(end)};
      if (!InUnitRange(axes[a].start) || !InUnitRange(axes[a].peak) || !InUnitRange(axes[a].end))
        return false;
    }
    items.region_applies[r] = RegionFactors(location, axes.data(), items.region_factors[r]);
  }
  return true;
}

bool ItemDelta(ItemVariations& items, uint16_t outer, uint16_t inner, double& delta) {
  delta = 0.0;
  if (outer == kNoVariationIndex && inner == kNoVariationIndex) return true;
  const ByteView store = items.store;
  uint16_t data_count = 0;
  uint32_t data_offset = 0;
  if (!ReadU16BE(store, 0, 6, data_count) || outer >= data_count ||
      !ReadU32BE(store, 8, 4u * outer, data_offset))
    return false;
  uint16_t item_count = 0, word_field = 0, region_index_count = 0;
  if (!ReadU16BE(store, data_offset, 0, item_count) ||
      !ReadU16BE(store, data_offset, 2, word_field) ||
      !ReadU16BE(store, data_offset, 4, region_index_count) || inner >= item_count)
    return false;
  const bool long_words = word_field & 0x8000;
  const uint32_t word_count = word_field & 0x7FFF;
  if (word_count > region_index_count) return false;
  const uint32_t wide = long_words ? 4 : 2, narrow = long_words ? 2 : 1;
  const uint32_t row_size = word_count * wide + (region_index_count - word_count) * narrow;
  uint32_t rows = 0, row = 0, skipped = 0;
  if (!CheckedAdd(data_offset, 6 + 2 * uint32_t{region_index_count}, rows) ||
      !CheckedMultiply(row_size, inner, skipped) || !CheckedAdd(rows, skipped, row) ||
      !InBounds(store, row, row_size) || !items.work.Spend(1 + uint64_t{region_index_count}))
    return false;
  uint32_t at = row;
  for (uint32_t i = 0; i < region_index_count; ++i) {
    uint16_t region = 0;
    ReadU16BE(store, data_offset, 6 + 2 * i, region);
    if (region >= items.region_applies.size()) return false;
    int32_t value = 0;
    const uint32_t size = i < word_count ? wide : narrow;
    if (size == 4) {
      uint32_t v = 0;
      ReadU32BE(store, at, 0, v);
      value = static_cast<int32_t>(v);
    } else if (size == 2) {
      uint16_t v = 0;
      ReadU16BE(store, at, 0, v);
      value = static_cast<int16_t>(v);
    } else {
      uint8_t v = 0;
      ReadU8(store, at, 0, v);
      value = static_cast<int8_t>(v);
    }
    at += size;
    if (items.region_applies[region])
      delta += ScaleDelta(static_cast<double>(value), items.region_factors[region]);
  }
  return true;
}

bool MapDeltaSetIndex(ByteView map, uint32_t index, uint16_t& outer, uint16_t& inner) {
  uint8_t format = 0, entry_format = 0;
  uint32_t count = 0, entries = 0;
  if (!ReadU8(map, 0, 0, format) || !ReadU8(map, 0, 1, entry_format)) return false;
  if (format == 0) {
    uint16_t count16 = 0;
    if (!ReadU16BE(map, 0, 2, count16)) return false;
    count = count16;
    entries = 4;
  } else if (format == 1) {
    if (!ReadU32BE(map, 0, 2, count)) return false;
    entries = 6;
  } else {
    return false;
  }
  if (count == 0) return false;
  if (index >= count) index = count - 1;
  const uint32_t entry_size = ((entry_format >> 4) & 3) + 1;
  const uint32_t inner_bits = (entry_format & 0x0F) + 1;
  uint64_t position = entries + uint64_t{entry_size} * index;
  if (position > UINT32_MAX) return false;
  uint32_t entry = 0;
  for (uint32_t i = 0; i < entry_size; ++i) {
    uint8_t byte = 0;
    if (!ReadU8(map, static_cast<uint32_t>(position), i, byte)) return false;
    entry = entry << 8 | byte;
  }
  outer = static_cast<uint16_t>(entry >> inner_bits);
  inner = static_cast<uint16_t>(entry & ((1u << inner_bits) - 1));
  return true;
}
