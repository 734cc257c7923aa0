// The ItemVariationStore that HVAR and MVAR (and others) keep their deltas in,
// and HVAR's DeltaSetIndexMap from glyphs to its items, read at one point of the
// design space.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/variation_regions.h"

struct ItemVariations {
  ByteView store;
  // Per region: whether it applies at the location, and its factors.
  std::vector<uint8_t> region_applies;
  std::vector<std::vector<double>> region_factors;
  // Each item looked up is charged one, and one more for each of its regions:
  // many lookups may name one item of many regions.
  ReadBudget work;
};

// Reads the store's region list and works out each region's factors once. False
// when the store does not add up: a format other than 1, another axis count than
// the location's, region coordinates outside -1..1, a list that leaves the bytes.
// `lookups` is how many items the caller may look up (a glyph count, a record
// count, each paid for by bytes of its own table): the work allowed is a few
// times the store's size and a few dozen regions for each of them.
bool OpenItemVariations(ByteView store, const DesignLocation& location, uint32_t lookups,
                        ItemVariations& items);

// The index that means "no variation".
constexpr uint16_t kNoVariationIndex = 0xFFFF;

// The delta of item (outer, inner): the sum of its deltas, each multiplied by
// its region's factors, in the data's region order. False when the item is not in
// the store or the work allowed is spent (items.work.refused then says so);
// (0xFFFF, 0xFFFF) is no item and gives 0.
bool ItemDelta(ItemVariations& items, uint16_t outer, uint16_t inner, double& delta);

// Entry `index` of a DeltaSetIndexMap (format 0 or 1); an index past the map's end
// takes its last entry. False when the map does not read or is empty.
bool MapDeltaSetIndex(ByteView map, uint32_t index, uint16_t& outer, uint16_t& inner);
