// gvar: the deltas that move each glyph's points at one point of the design
// space. A glyph's tuples are read one after another, their packed point numbers
// and deltas unpacked, the deltas multiplied by the tuple's factors, the points a
// tuple leaves untouched inferred from their neighbours on the contour (IUP),
// and the whole summed in floating point; the caller rounds the moved points.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/variation_regions.h"

struct GlyphVariations {
  ByteView gvar;
  uint32_t glyph_count = 0;
  bool long_offsets = false;
  uint32_t data_array = 0;  // where the glyphs' variation data begins
  uint32_t axis_count = 0;
  uint32_t shared_count = 0;
  uint32_t shared_tuples = 0;
  // Per shared tuple: whether it applies at the location, and its factors.
  std::vector<uint8_t> shared_applies;
  std::vector<std::vector<double>> shared_factors;
};

// Reads gvar's header and its shared tuples. False when it does not add up: a
// version other than 1, another axis count than the location's, a glyph count
// other than `glyph_count`, shared tuples or offsets that leave the table, peaks
// outside -1..1.
bool OpenGlyphVariations(ByteView gvar, const DesignLocation& location, uint32_t glyph_count,
                         GlyphVariations& variations);

// A glyph's points as the deltas see them: its outline's points (or, for a
// composite glyph, one per component: its offset), then the four phantom points.
struct VariedGlyph {
  std::vector<int32_t> x, y;            // the default's coordinates, phantom points last
  std::vector<uint32_t> contour_ends;   // last point of each contour of the outline, in order
  std::vector<double> dx, dy;           // out: the summed deltas, one per point
};

// Work buffers reused from glyph to glyph, and the work still allowed: glyphs may
// share their variation data, so the work is bounded by a budget the caller sets
// from the tables' sizes rather than by the bytes each glyph reads. Each tuple is
// charged one, each axis of it read one more, and each point it moves one.
struct TupleScratch {
  ReadBudget work;
  std::vector<uint32_t> shared_points, points;
  std::vector<int32_t> deltas;
  std::vector<double> tx, ty, factors;
  std::vector<uint8_t> touched;
  std::vector<uint32_t> touched_indices;
  std::vector<RegionAxis> axes;
};

// Fills glyph.dx and glyph.dy for glyph `index`. False when its variation data
// does not add up (point or delta runs past the tuple's data, a tuple whose data
// leaves the glyph's, a shared tuple index past the table's, coordinates outside
// -1..1) or the work allowed is spent. Contours are read as given: each point past the last contour end (the
// phantom points) is a contour of its own.
bool ApplyGlyphVariations(const GlyphVariations& variations, const DesignLocation& location,
                          uint32_t index, VariedGlyph& glyph, TupleScratch& scratch);

// cvar: the summed deltas of the `count` values of the cvt table at the location
// (a value no tuple names gets none). False when the table does not add up, as
// for gvar's tuples.
bool CvtDeltas(ByteView cvar, const DesignLocation& location, uint32_t count,
               std::vector<double>& deltas);
