// A point of a variable font's design space in normalized coordinates, and how
// much of a region's deltas apply there. Shared by gvar's tuples and the
// ItemVariationStore of HVAR and MVAR.
//
// The arithmetic is fontTools' (its instancer is the reference the static fonts
// are compared with): user values normalized and mapped by avar in floating
// point, then quantized to F2Dot14; a region's factor computed axis by axis, in
// the order of the axis tags, and the deltas multiplied by each factor in turn.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"

struct FvarAxis {
  uint32_t tag = 0;
  int32_t minimum = 0, default_value = 0, maximum = 0;  // 16.16 fixed
};

// The axes of fvar; false when the table is cut short, has no axes, or an axis
// whose default lies outside its range.
bool ReadFvarAxes(ByteView fvar, std::vector<FvarAxis>& axes);

struct DesignLocation {
  std::vector<double> coordinates;  // normalized, one per axis, multiples of 1/16384 in -1..1
  std::vector<uint16_t> tag_order;  // the axes' indices in the order of their tags
};

// user: 16.16 values, one per axis. The avar bytes may be empty (no avar); false
// when avar is there but does not add up (a version other than 1, another axis
// count than fvar's, maps that leave the table).
bool NormalizeLocation(const std::vector<FvarAxis>& axes, const std::vector<int32_t>& user,
                       ByteView avar, DesignLocation& location);

// One axis of a region, in F2Dot14 units.
struct RegionAxis {
  int16_t start = 0, peak = 0, end = 0;
};

// The factors a region's deltas are multiplied by at `location`, in tag order,
// those of 1 left out; false when the region contributes nothing there (its
// factor is 0, or it is ill-formed and so ignored). `axes` holds one entry per
// location axis.
bool RegionFactors(const DesignLocation& location, const RegionAxis* axes,
                   std::vector<double>& factors);

// Whether an F2Dot14 value lies in -1..1, as region coordinates must.
inline bool InUnitRange(int16_t value) { return value >= -16384 && value <= 16384; }

// A delta multiplied by the factors one by one (the order changes the last bit).
inline double ScaleDelta(double delta, const std::vector<double>& factors) {
  for (double factor : factors) delta *= factor;
  return delta;
}

// fontTools' otRound: halves round up.
int64_t RoundHalfUp(double value);
