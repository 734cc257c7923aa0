// The GSUB features whose lookups can produce each glyph: a feature's lookups,
// and the lookups that their contextual and chaining rules call in turn (an
// extension lookup stands for the subtable it points at), give the glyphs that
// their substitutions put in place (single, multiple, alternate, ligature and
// reverse chaining substitutions). A glyph that no character maps to is then
// still reached through these features.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"

struct GlyphFeatures {
  // Each feature tag once, in the order first met in the feature list.
  std::vector<std::string> tags;
  // The features that produce each glyph, as indices into `tags` in rising
  // order: glyph g's are features[start[g]] up to features[start[g + 1]].
  std::vector<uint32_t> start;
  std::vector<uint16_t> features;
  // The table is cut short, points outside itself or at lookups that are not
  // there, or its budget ran out: what could be read is kept.
  bool damaged = false;
  // Steps charged against the budget, for tests and measurements.
  uint64_t work = 0;
};

// Reads the face's GSUB table (an empty view for none) for a font of
// `glyph_count` glyphs; glyph ids from the count on are left out. Each lookup
// and each subtable is read once however many features, rules or lookups
// reach it, each feature walks the lookups it reaches once, and every step is
// charged: the work and the memory are bounded by a multiple of the table's
// size and the glyph count.
GlyphFeatures ReadGlyphFeatures(ByteView gsub, uint32_t glyph_count);

// The features (indices into tags) that produce `glyph`.
std::span<const uint16_t> FeaturesOf(const GlyphFeatures& features, uint32_t glyph);
