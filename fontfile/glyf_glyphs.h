// The glyf table's glyphs read into points and components and written back:
// simple glyphs with their contours, flags and coordinates, composite glyphs with
// their components' offsets. What the instancer moves; instructions and
// transforms are copied as they are.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"

// Component flags.
constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kArgsAreXyValues = 0x0002;
constexpr uint16_t kHaveScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kHaveXyScale = 0x0040;
constexpr uint16_t kHaveTwoByTwo = 0x0080;
constexpr uint16_t kHaveInstructions = 0x0100;
constexpr uint16_t kOverlapCompound = 0x0400;
constexpr uint16_t kScaledComponentOffset = 0x0800;
constexpr uint16_t kUnscaledComponentOffset = 0x1000;

// Point flags.
constexpr uint8_t kOnCurve = 0x01;
constexpr uint8_t kOverlapSimple = 0x40;

struct GlyphHeader {
  int16_t contours = 0;  // -1 (any negative): composite
  int16_t x_min = 0, y_min = 0, x_max = 0, y_max = 0;
};

// The header of a glyph's bytes; false when they are shorter than one.
bool ReadGlyphHeader(ByteView glyph, GlyphHeader& header);

struct SimpleGlyph {
  std::vector<uint32_t> contour_ends;  // strictly increasing
  uint32_t instructions = 0;           // where the instruction length field lies
  std::vector<uint8_t> flags;          // per point: on-curve and overlap bits
  std::vector<int32_t> x, y;
};

// A simple glyph of `contours` contours. False when it leaves its bytes, its
// contour ends do not increase, or it holds more than `point_limit` points.
bool ReadSimpleGlyph(ByteView glyph, int16_t contours, uint32_t point_limit, SimpleGlyph& simple);

struct Component {
  uint16_t flags = 0;
  uint16_t glyph = 0;
  int32_t arg1 = 0, arg2 = 0;   // x and y offsets, or the two point numbers
  double matrix[4] = {1, 0, 0, 1};  // xx, xy, yx, yy (x' = x*xx + y*yx, y' = x*xy + y*yy)
  bool has_matrix = false;
  uint32_t transform = 0, transform_size = 0;  // the transform's bytes in the glyph
};

// The component at `at` of a composite glyph; `at` moves past it. False when it
// leaves the glyph's bytes.
bool ReadComponent(ByteView glyph, uint32_t& at, Component& component);

// Appends a simple glyph with new coordinates (and the bounding box given): its
// contour ends and instructions copied from `original`, its flags and
// coordinates encoded anew. False when a step between two points does not fit
// 16 bits.
bool WriteSimpleGlyph(ByteView original, const SimpleGlyph& simple, const GlyphHeader& header,
                      std::vector<uint8_t>& out);

// Appends a composite glyph whose xy components have the offsets given (xs[first
// + k] and ys[first + k] for component k; ignored for point-matched ones), its transforms and
// instructions copied from `original`. The first component is marked as
// overlapping, as static instances mark them. False when the original does not read.
bool WriteCompositeGlyph(ByteView original, const std::vector<int32_t>& xs,
                         const std::vector<int32_t>& ys, size_t first, const GlyphHeader& header,
                         std::vector<uint8_t>& out);

void AppendU16(std::vector<uint8_t>& out, uint16_t value);
void AppendU32(std::vector<uint8_t>& out, uint32_t value);
