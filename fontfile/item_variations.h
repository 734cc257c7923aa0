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
};

// Reads the store's region list and works out each region's factors once. False
// when the store does not add up: a format other than 1, another axis count than
// the location's, region coordinates outside -1..1, a list that leaves the bytes.
bool OpenItemVariations(ByteView store, const DesignLocation& location, ItemVariations& items);

// The index that means "no variation".
constexpr uint16_t kNoVariationIndex = 0xFFFF;

// The delta of item (outer, inner): the sum of its deltas, each multiplied by
// its region's factors, in the data's region order. False when the item is not in
// the store; (0xFFFF, 0xFFFF) is no item and gives 0.
bool ItemDelta(const ItemVariations& items, uint16_t outer, uint16_t inner, double& delta);

// Entry `index` of a DeltaSetIndexMap (format 0 or 1); an index past the map's end
// takes its last entry. False when the map does not read or is empty.
bool MapDeltaSetIndex(ByteView map, uint32_t index, uint16_t& outer, uint16_t& inner);
