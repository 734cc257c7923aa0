#include "fontfile/glyph_variations.h"

#include <algorithm>

namespace {

constexpr uint16_t kSharedPointNumbers = 0x8000;
constexpr uint16_t kTupleCountMask = 0x0FFF;
constexpr uint16_t kEmbeddedPeak = 0x8000;
constexpr uint16_t kIntermediateRegion = 0x4000;
constexpr uint16_t kPrivatePointNumbers = 0x2000;
constexpr uint16_t kTupleIndexMask = 0x0FFF;
constexpr uint8_t kPointsAreWords = 0x80;
constexpr uint8_t kPointRunMask = 0x7F;
constexpr uint8_t kDeltasAreZero = 0x80;
constexpr uint8_t kDeltasAreWords = 0x40;
constexpr uint8_t kDeltaRunMask = 0x3F;

// Packed point numbers at `at`. An empty list with `all` set means every point.
// Runs may name more points than the count (they are kept, as the reference
// keeps them); reads past `data` refuse.
bool ReadPackedPoints(ByteView data, uint32_t& at, std::vector<uint32_t>& points, bool& all) {
  points.clear();
  all = false;
  uint8_t first = 0;
  if (!ReadU8(data, at++, 0, first)) return false;
  uint32_t count = first;
  if (first & kPointsAreWords) {
    uint8_t low = 0;
    if (!ReadU8(data, at++, 0, low)) return false;
    count = (first & kPointRunMask) << 8 | low;
  }
  if (count == 0) {
    all = true;
    return true;
  }
  // Each point takes a byte at least: the count is bounded by the data.
  if (count > data.size) return false;
  uint32_t current = 0;
  while (points.size() < count) {
    uint8_t header = 0;
    if (!ReadU8(data, at++, 0, header)) return false;
    const uint32_t run = (header & kPointRunMask) + 1u;
    const bool words = header & kPointsAreWords;
    if (!InBounds(data, at, run * (words ? 2 : 1))) return false;
    for (uint32_t i = 0; i < run; ++i) {
      uint32_t step = 0;
      if (words) {
        uint16_t v = 0;
        ReadU16BE(data, at, 2 * i, v);
        step = v;
      } else {
        uint8_t v = 0;
        ReadU8(data, at, i, v);
        step = v;
      }
      // A sum past any glyph's points only names points that are ignored.
      current = std::min<uint32_t>(current + step, 0x10000000u);
      points.push_back(current);
    }
    at += run * (words ? 2 : 1);
  }
  return true;
}

// `count` packed deltas at `at`; a run past the count or the data refuses.
bool ReadPackedDeltas(ByteView data, uint32_t& at, uint32_t count, std::vector<int32_t>& deltas) {
  deltas.clear();
  if (count > 64 * uint64_t{data.size}) return false;
  while (deltas.size() < count) {
    uint8_t header = 0;
    if (!ReadU8(data, at++, 0, header)) return false;
    const uint32_t run = (header & kDeltaRunMask) + 1u;
    if (deltas.size() + run > count) return false;
    if (header & kDeltasAreZero) {
      deltas.insert(deltas.end(), run, 0);
      continue;
    }
    const bool words = header & kDeltasAreWords;
    if (!InBounds(data, at, run * (words ? 2 : 1))) return false;
    for (uint32_t i = 0; i < run; ++i) {
      if (words) {
        uint16_t v = 0;
        ReadU16BE(data, at, 2 * i, v);
        deltas.push_back(static_cast<int16_t>(v));
      } else {
        uint8_t v = 0;
        ReadU8(data, at, i, v);
        deltas.push_back(static_cast<int8_t>(v));
      }
    }
    at += run * (words ? 2 : 1);
  }
  return true;
}

// One axis of the reference's iup_segment for a point between two touched ones.
double Interpolate(int32_t coordinate, int32_t x1, double d1, int32_t x2, double d2) {
  if (x1 == x2) return d1 == d2 ? d1 : 0.0;
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(d1, d2);
  }
  if (coordinate <= x1) return d1;
  if (coordinate >= x2) return d2;
  const double scale = (d2 - d1) / (x2 - x1);
  return d1 + (coordinate - x1) * scale;
}

// Adds the tuple's deltas (tx, ty at the touched points) to the glyph's, those of
// untouched points inferred contour by contour.
void AddInferred(VariedGlyph& glyph, TupleScratch& s) {
  const uint32_t count = static_cast<uint32_t>(glyph.x.size());
  uint32_t start = 0;
  size_t contour = 0;
  while (start < count) {
    uint32_t end = contour < glyph.contour_ends.size() ? glyph.contour_ends[contour] : start;
    if (end < start || end >= count) end = start;  // checked by the caller; kept safe
    ++contour;
    s.touched_indices.clear();
    for (uint32_t i = start; i <= end; ++i)
      if (s.touched[i]) s.touched_indices.push_back(i);
    if (!s.touched_indices.empty()) {
      const size_t n = s.touched_indices.size();
      for (size_t k = 0; k < n; ++k) {
        const uint32_t from = s.touched_indices[k];
        glyph.dx[from] += s.tx[from];
        glyph.dy[from] += s.ty[from];
        const uint32_t to = s.touched_indices[(k + 1) % n];
        // The untouched points after `from` up to `to`, wrapping round the contour.
        for (uint32_t i = from == end ? start : from + 1; i != to && !s.touched[i];
             i = i == end ? start : i + 1) {
          glyph.dx[i] += Interpolate(glyph.x[i], glyph.x[from], s.tx[from], glyph.x[to], s.tx[to]);
          glyph.dy[i] += Interpolate(glyph.y[i], glyph.y[from], s.ty[from], glyph.y[to], s.ty[to]);
        }
      }
    }
    start = end + 1;
  }
}

bool Spend(TupleScratch& s, uint64_t work) { return s.work.Spend(work); }

bool ReadTuple(ByteView data, uint32_t at, uint32_t axis_count, std::vector<RegionAxis>& axes,
               int which) {
  for (uint32_t a = 0; a < axis_count; ++a) {
    uint16_t v = 0;
    if (!ReadU16BE(data, at, 2 * a, v)) return false;
    const int16_t value = static_cast<int16_t>(v);
    if (!InUnitRange(value)) return false;
    if (which == 0) axes[a].start = value;
    else if (which == 1) axes[a].peak = value;
    else axes[a].end = value;
  }
  return true;
}

// The tuple variation header at `header` (which moves past it): its data size,
// its index field, and whether it applies at the location, with which factors.
bool ReadTupleHeader(const GlyphVariations& v, const DesignLocation& location, ByteView data,
                     uint32_t& header, TupleScratch& s, uint16_t& size, uint16_t& tuple_index,
                     bool& applies, const std::vector<double>*& factors) {
  std::vector<RegionAxis>& axes = s.axes;
  factors = nullptr;
  applies = false;
  if (!ReadU16BE(data, header, 0, size) || !ReadU16BE(data, header, 2, tuple_index)) return false;
  header += 4;
  // A shared peak alone was worked out once, when the table was opened: its axes
  // are read again only for an intermediate region, and each axis read is charged.
  const bool intermediate = tuple_index & kIntermediateRegion;
  if (tuple_index & kEmbeddedPeak) {
    if (!Spend(s, v.axis_count) || !ReadTuple(data, header, v.axis_count, axes, 1)) return false;
    header += 2 * v.axis_count;
  } else {
    const uint32_t shared = tuple_index & kTupleIndexMask;
    if (shared >= v.shared_count) return false;
    if (intermediate) {
      if (!Spend(s, v.axis_count)) return false;
      for (uint32_t a = 0; a < v.axis_count; ++a) {
        uint16_t peak = 0;
        ReadU16BE(v.gvar, v.shared_tuples + 2 * v.axis_count * shared, 2 * a, peak);
        axes[a].peak = static_cast<int16_t>(peak);
      }
    }
  }
  if (intermediate) {
    if (!Spend(s, 2 * uint64_t{v.axis_count}) || !ReadTuple(data, header, v.axis_count, axes, 0) ||
        !ReadTuple(data, header + 2 * v.axis_count, v.axis_count, axes, 2))
      return false;
    header += 4 * v.axis_count;
    applies = RegionFactors(location, axes.data(), s.factors);
    factors = &s.factors;
  } else if (tuple_index & kEmbeddedPeak) {
    for (RegionAxis& axis : axes) {
      axis.start = std::min<int16_t>(axis.peak, 0);
      axis.end = std::max<int16_t>(axis.peak, 0);
    }
    applies = RegionFactors(location, axes.data(), s.factors);
    factors = &s.factors;
  } else {
    applies = v.shared_applies[tuple_index & kTupleIndexMask];
    if (applies) factors = &v.shared_factors[tuple_index & kTupleIndexMask];
  }
  return true;
}

}  // namespace

namespace {

// A tuple variation store, as gvar's glyph data and cvar both hold it: the tuple
// headers from `header`, their serialized data from `data_offset` (shared point
// numbers first when the count field says so). Each tuple that applies at the
// location and names points is handed to `apply` with its point numbers (`all`:
// every point), its data, where its deltas begin and its factors. False when the
// store does not add up, `apply` refuses, or the work allowed is spent.
template <typename Apply>
bool ForEachTuple(const GlyphVariations& v, const DesignLocation& location, ByteView data,
                  uint16_t tuple_field, uint32_t data_offset, uint32_t header, TupleScratch& s,
                  const Apply& apply) {
  uint32_t serialized = data_offset;
  bool shared_all = false;
  const bool has_shared = tuple_field & kSharedPointNumbers;
  if (has_shared && !ReadPackedPoints(data, serialized, s.shared_points, shared_all)) return false;
  for (uint32_t t = 0; t < (tuple_field & kTupleCountMask); ++t) {
    uint16_t size = 0, tuple_index = 0;
    bool applies = false;
    const std::vector<double>* factors = nullptr;
    if (!Spend(s, 1) ||
        !ReadTupleHeader(v, location, data, header, s, size, tuple_index, applies, factors))
      return false;
    const uint32_t tuple_start = serialized;
    if (!CheckedAdd(serialized, size, serialized)) return false;
    const std::optional<ByteView> tuple = SubView(data, tuple_start, size);
    if (!tuple) return false;
    if (!applies) continue;
    uint32_t at = 0;
    bool all = false;
    const std::vector<uint32_t>* points = &s.points;
    if (tuple_index & kPrivatePointNumbers) {
      if (!ReadPackedPoints(*tuple, at, s.points, all)) return false;
    } else if (has_shared) {
      points = &s.shared_points;
      all = shared_all;
    } else {
      continue;  // no point numbers at all: no deltas
    }
    if (!apply(*points, all, *tuple, at, *factors)) return false;
  }
  return true;
}

}  // namespace

bool OpenGlyphVariations(ByteView gvar, const DesignLocation& location, uint32_t glyph_count,
                         GlyphVariations& v) {
  v = GlyphVariations{};
  v.gvar = gvar;
  uint16_t major = 0, axis_count = 0, shared_count = 0, count = 0, flags = 0;
  uint32_t shared_offset = 0, data_array = 0;
  if (!ReadU16BE(gvar, 0, 0, major) || !ReadU16BE(gvar, 0, 4, axis_count) ||
      !ReadU16BE(gvar, 0, 6, shared_count) || !ReadU32BE(gvar, 0, 8, shared_offset) ||
      !ReadU16BE(gvar, 0, 12, count) || !ReadU16BE(gvar, 0, 14, flags) ||
      !ReadU32BE(gvar, 0, 16, data_array) || major != 1)
    return false;
  if (axis_count != location.coordinates.size() || count != glyph_count) return false;
  v.glyph_count = count;
  v.long_offsets = flags & 1;
  v.data_array = data_array;
  v.axis_count = axis_count;
  v.shared_count = shared_count;
  v.shared_tuples = shared_offset;
  if (!InBounds(gvar, 20, (v.long_offsets ? 4 : 2) * (uint32_t{count} + 1))) return false;
  uint32_t shared_size = 0;
  if (!CheckedMultiply(2u * axis_count, shared_count, shared_size) ||
      !InBounds(gvar, shared_offset, shared_size))
    return false;
  v.shared_applies.resize(shared_count);
  v.shared_factors.resize(shared_count);
  std::vector<RegionAxis> axes(axis_count);
  for (uint32_t t = 0; t < shared_count; ++t) {
    if (!ReadTuple(gvar, shared_offset + 2 * axis_count * t, axis_count, axes, 1)) return false;
    for (RegionAxis& axis : axes) {
      axis.start = std::min<int16_t>(axis.peak, 0);
      axis.end = std::max<int16_t>(axis.peak, 0);
    }
    v.shared_applies[t] = RegionFactors(location, axes.data(), v.shared_factors[t]);
  }
  return true;
}

bool ApplyGlyphVariations(const GlyphVariations& v, const DesignLocation& location,
                          uint32_t index, VariedGlyph& glyph, TupleScratch& s) {
  const uint32_t point_count = static_cast<uint32_t>(glyph.x.size());
  glyph.dx.assign(point_count, 0.0);
  glyph.dy.assign(point_count, 0.0);
  if (index >= v.glyph_count) return true;
  uint32_t begin = 0, end = 0;
  if (v.long_offsets) {
    ReadU32BE(v.gvar, 20, 4 * index, begin);
    ReadU32BE(v.gvar, 20, 4 * index + 4, end);
  } else {
    uint16_t b = 0, e = 0;
    ReadU16BE(v.gvar, 20, 2 * index, b);
    ReadU16BE(v.gvar, 20, 2 * index + 2, e);
    begin = 2u * b;
    end = 2u * e;
  }
  if (end < begin) return false;
  if (end == begin) return true;
  uint32_t start = 0;
  if (!CheckedAdd(v.data_array, begin, start)) return false;
  const std::optional<ByteView> found = SubView(v.gvar, start, end - begin);
  if (!found) return false;
  const ByteView data = *found;
  uint16_t tuple_field = 0, data_offset = 0;
  if (!ReadU16BE(data, 0, 0, tuple_field) || !ReadU16BE(data, 0, 2, data_offset)) return false;
  // Every axis of a tuple is written before it is read: sized once, not per glyph.
  if (s.axes.size() != v.axis_count) s.axes.assign(v.axis_count, RegionAxis{});
  const auto apply = [&](const std::vector<uint32_t>& points, bool all, ByteView tuple,
                         uint32_t at, const std::vector<double>& factors) {
    const uint32_t delta_count = all ? point_count : static_cast<uint32_t>(points.size());
    if (!Spend(s, uint64_t{point_count} + delta_count) ||
        !ReadPackedDeltas(tuple, at, 2 * delta_count, s.deltas))
      return false;
    if (all) {
      for (uint32_t i = 0; i < point_count; ++i) {
        glyph.dx[i] += ScaleDelta(s.deltas[i], factors);
        glyph.dy[i] += ScaleDelta(s.deltas[point_count + i], factors);
      }
      return true;
    }
    s.touched.assign(point_count, 0);
    s.tx.resize(point_count);
    s.ty.resize(point_count);
    bool every = true;
    for (uint32_t k = 0; k < delta_count; ++k) {
      const uint32_t p = points[k];
      if (p >= point_count) continue;  // ignored, as the reference ignores it
      s.touched[p] = 1;
      s.tx[p] = ScaleDelta(s.deltas[k], factors);
      s.ty[p] = ScaleDelta(s.deltas[delta_count + k], factors);
    }
    for (uint32_t i = 0; i < point_count && every; ++i) every = s.touched[i];
    if (every) {
      for (uint32_t i = 0; i < point_count; ++i) {
        glyph.dx[i] += s.tx[i];
        glyph.dy[i] += s.ty[i];
      }
    } else {
      AddInferred(glyph, s);
    }
    return true;
  };
  return ForEachTuple(v, location, data, tuple_field, data_offset, 4, s, apply);
}

bool CvtDeltas(ByteView cvar, const DesignLocation& location, uint32_t count,
               std::vector<double>& deltas) {
  deltas.assign(count, 0.0);
  uint16_t major = 0, tuple_field = 0, data_offset = 0;
  if (!ReadU16BE(cvar, 0, 0, major) || !ReadU16BE(cvar, 0, 4, tuple_field) ||
      !ReadU16BE(cvar, 0, 6, data_offset) || major != 1)
    return false;
  // cvar has no shared tuples: every peak is embedded.
  GlyphVariations v;
  v.gvar = cvar;
  v.axis_count = static_cast<uint32_t>(location.coordinates.size());
  TupleScratch s;
  s.axes.assign(v.axis_count, RegionAxis{});
  // As for gvar: far above what a real table needs.
  s.work.left = 256 * (uint64_t{cvar.size} + count) + (1u << 16);
  const auto apply = [&](const std::vector<uint32_t>& points, bool all, ByteView tuple,
                         uint32_t at, const std::vector<double>& factors) {
    const uint32_t delta_count = all ? count : static_cast<uint32_t>(points.size());
    if (!Spend(s, delta_count) || !ReadPackedDeltas(tuple, at, delta_count, s.deltas))
      return false;
    for (uint32_t k = 0; k < delta_count; ++k) {
      const uint32_t value = all ? k : points[k];
      if (value < count) deltas[value] += ScaleDelta(s.deltas[k], factors);
    }
    return true;
  };
  return ForEachTuple(v, location, cvar, tuple_field, data_offset, 8, s, apply);
}

