#include "fontfile/glyf_glyphs.h"

#include <cstdlib>

namespace {

constexpr uint32_t kGlyphHeaderSize = 10;
constexpr uint8_t kXShort = 0x02;
constexpr uint8_t kYShort = 0x04;
constexpr uint8_t kRepeat = 0x08;
constexpr uint8_t kXSameOrPositive = 0x10;
constexpr uint8_t kYSameOrPositive = 0x20;

// One axis of a simple glyph's coordinates, from `at`; false when they leave the bytes.
bool ReadCoordinates(ByteView glyph, uint32_t& at, const std::vector<uint8_t>& raw_flags,
                     uint8_t short_bit, uint8_t same_bit, std::vector<int32_t>& out) {
  int32_t value = 0;
  for (size_t i = 0; i < raw_flags.size(); ++i) {
    const uint8_t flag = raw_flags[i];
    if (flag & short_bit) {
      uint8_t step = 0;
      if (!ReadU8(glyph, at++, 0, step)) return false;
      value += flag & same_bit ? step : -int32_t{step};
    } else if (!(flag & same_bit)) {
      uint16_t step = 0;
      if (!ReadU16BE(glyph, at, 0, step)) return false;
      at += 2;
      value += static_cast<int16_t>(step);
    }
    out[i] = value;
  }
  return true;
}

// The flag bits and bytes of one axis's step between points.
bool EncodeStep(int32_t step, uint8_t short_bit, uint8_t same_bit, uint8_t& flag,
                std::vector<uint8_t>& bytes) {
  if (step == 0) {
    flag |= same_bit;
  } else if (std::abs(step) <= 255) {
    flag |= short_bit;
    if (step > 0) flag |= same_bit;
    bytes.push_back(static_cast<uint8_t>(std::abs(step)));
  } else if (step >= -32768 && step <= 32767) {
    AppendU16(bytes, static_cast<uint16_t>(step));
  } else {
    return false;
  }
  return true;
}

}  // namespace

void AppendU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  AppendU16(out, static_cast<uint16_t>(value >> 16));
  AppendU16(out, static_cast<uint16_t>(value));
}

bool ReadGlyphHeader(ByteView glyph, GlyphHeader& header) {
  uint16_t v[5] = {};
  for (uint32_t i = 0; i < 5; ++i)
    if (!ReadU16BE(glyph, 0, 2 * i, v[i])) return false;
  header = GlyphHeader{static_cast<int16_t>(v[0]), static_cast<int16_t>(v[1]),
                       static_cast<int16_t>(v[2]), static_cast<int16_t>(v[3]),
                       static_cast<int16_t>(v[4])};
  return true;
}

bool ReadSimpleGlyph(ByteView glyph, int16_t contours, uint32_t point_limit, SimpleGlyph& simple) {
  simple.contour_ends.clear();
  if (contours <= 0) return false;
  uint32_t at = kGlyphHeaderSize;
  for (int i = 0; i < contours; ++i) {
    uint16_t end = 0;
    if (!ReadU16BE(glyph, at, 0, end)) return false;
    at += 2;
    if (!simple.contour_ends.empty() && end <= simple.contour_ends.back()) return false;
    simple.contour_ends.push_back(end);
  }
  const uint32_t count = simple.contour_ends.back() + 1;
  if (count > point_limit) return false;
  simple.instructions = at;
  uint16_t instruction_length = 0;
  if (!ReadU16BE(glyph, at, 0, instruction_length)) return false;
  at += 2 + instruction_length;
  std::vector<uint8_t>& flags = simple.flags;
  flags.clear();
  flags.reserve(count);
  while (flags.size() < count) {
    uint8_t flag = 0;
    if (!ReadU8(glyph, at++, 0, flag)) return false;
    flags.push_back(flag);
    if (flag & kRepeat) {
      uint8_t repeat = 0;
      if (!ReadU8(glyph, at++, 0, repeat)) return false;
      if (flags.size() + repeat > count) return false;
      flags.insert(flags.end(), repeat, flag);
    }
  }
  simple.x.resize(count);
  simple.y.resize(count);
  if (!ReadCoordinates(glyph, at, flags, kXShort, kXSameOrPositive, simple.x) ||
      !ReadCoordinates(glyph, at, flags, kYShort, kYSameOrPositive, simple.y))
    return false;
  for (uint8_t& flag : flags) flag &= kOnCurve | kOverlapSimple;
  return true;
}

bool ReadComponent(ByteView glyph, uint32_t& at, Component& c) {
  c = Component{};
  if (!ReadU16BE(glyph, at, 0, c.flags) || !ReadU16BE(glyph, at, 2, c.glyph)) return false;
  at += 4;
  if (c.flags & kArgsAreWords) {
    uint16_t a = 0, b = 0;
    if (!ReadU16BE(glyph, at, 0, a) || !ReadU16BE(glyph, at, 2, b)) return false;
    at += 4;
    const bool xy = c.flags & kArgsAreXyValues;
    c.arg1 = xy ? static_cast<int16_t>(a) : a;
    c.arg2 = xy ? static_cast<int16_t>(b) : b;
  } else {
    uint8_t a = 0, b = 0;
    if (!ReadU8(glyph, at, 0, a) || !ReadU8(glyph, at, 1, b)) return false;
    at += 2;
    const bool xy = c.flags & kArgsAreXyValues;
    c.arg1 = xy ? static_cast<int8_t>(a) : a;
    c.arg2 = xy ? static_cast<int8_t>(b) : b;
  }
  c.transform = at;
  const uint32_t values = c.flags & kHaveScale ? 1 : c.flags & kHaveXyScale ? 2
                          : c.flags & kHaveTwoByTwo                        ? 4
                                                                           : 0;
  double read[4] = {};
  for (uint32_t i = 0; i < values; ++i) {
    uint16_t v = 0;
    if (!ReadU16BE(glyph, at, 2 * i, v)) return false;
    read[i] = static_cast<int16_t>(v) / 16384.0;
  }
  c.transform_size = 2 * values;
  at += c.transform_size;
  c.has_matrix = values != 0;
  if (values == 1) {
    c.matrix[0] = c.matrix[3] = read[0];
  } else if (values == 2) {
    c.matrix[0] = read[0];
    c.matrix[3] = read[1];
  } else if (values == 4) {
    for (int i = 0; i < 4; ++i) c.matrix[i] = read[i];
  }
  return true;
}

bool WriteSimpleGlyph(ByteView original, const SimpleGlyph& simple, const GlyphHeader& header,
                      std::vector<uint8_t>& out) {
  uint16_t instruction_length = 0;
  if (!ReadU16BE(original, simple.instructions, 0, instruction_length)) return false;
  const std::optional<ByteView> kept =
      SubView(original, kGlyphHeaderSize, simple.instructions + 2 + instruction_length - kGlyphHeaderSize);
  if (!kept) return false;
  AppendU16(out, static_cast<uint16_t>(header.contours));
  AppendU16(out, static_cast<uint16_t>(header.x_min));
  AppendU16(out, static_cast<uint16_t>(header.y_min));
  AppendU16(out, static_cast<uint16_t>(header.x_max));
  AppendU16(out, static_cast<uint16_t>(header.y_max));
  // Contour ends and instructions, unchanged.
  for (uint32_t i = 0; i < kept->size; ++i) {
    uint8_t byte = 0;
    ReadU8(*kept, i, 0, byte);
    out.push_back(byte);
  }
  const size_t count = simple.x.size();
  std::vector<uint8_t> flags(count), xs, ys;
  xs.reserve(2 * count);
  ys.reserve(2 * count);
  int32_t last_x = 0, last_y = 0;
  for (size_t i = 0; i < count; ++i) {
    uint8_t flag = simple.flags[i] & (kOnCurve | kOverlapSimple);
    if (i == 0) flag |= kOverlapSimple;
    if (!EncodeStep(simple.x[i] - last_x, kXShort, kXSameOrPositive, flag, xs) ||
        !EncodeStep(simple.y[i] - last_y, kYShort, kYSameOrPositive, flag, ys))
      return false;
    last_x = simple.x[i];
    last_y = simple.y[i];
    flags[i] = flag;
  }
  for (size_t i = 0; i < count;) {
    size_t run = 1;
    while (i + run < count && run < 256 && flags[i + run] == flags[i]) ++run;
    if (run > 1) {
      out.push_back(flags[i] | kRepeat);
      out.push_back(static_cast<uint8_t>(run - 1));
    } else {
      out.push_back(flags[i]);
    }
    i += run;
  }
  out.insert(out.end(), xs.begin(), xs.end());
  out.insert(out.end(), ys.begin(), ys.end());
  return true;
}

bool WriteCompositeGlyph(ByteView original, const std::vector<int32_t>& xs,
                         const std::vector<int32_t>& ys, size_t first, const GlyphHeader& header,
                         std::vector<uint8_t>& out) {
  AppendU16(out, static_cast<uint16_t>(header.contours));
  AppendU16(out, static_cast<uint16_t>(header.x_min));
  AppendU16(out, static_cast<uint16_t>(header.y_min));
  AppendU16(out, static_cast<uint16_t>(header.x_max));
  AppendU16(out, static_cast<uint16_t>(header.y_max));
  uint32_t at = kGlyphHeaderSize;
  Component c;
  size_t index = first;
  do {
    if (!ReadComponent(original, at, c)) return false;
    int32_t a = c.arg1, b = c.arg2;
    if (c.flags & kArgsAreXyValues) {
      if (index >= xs.size() || index >= ys.size()) return false;
      a = xs[index];
      b = ys[index];
    }
    ++index;
    uint16_t flags = c.flags & ~kArgsAreWords;
    if (index == first + 1) flags |= kOverlapCompound;
    const bool words = c.flags & kArgsAreXyValues ? a < -128 || a > 127 || b < -128 || b > 127
                                                  : a > 255 || b > 255;
    if (words) flags |= kArgsAreWords;
    AppendU16(out, flags);
    AppendU16(out, c.glyph);
    if (words) {
      AppendU16(out, static_cast<uint16_t>(a));
      AppendU16(out, static_cast<uint16_t>(b));
    } else {
      out.push_back(static_cast<uint8_t>(a));
      out.push_back(static_cast<uint8_t>(b));
    }
    for (uint32_t i = 0; i < c.transform_size; ++i) {
      uint8_t byte = 0;
      ReadU8(original, c.transform, i, byte);
      out.push_back(byte);
    }
  } while (c.flags & kMoreComponents);
  if (c.flags & kHaveInstructions) {
    uint16_t length = 0;
    if (!ReadU16BE(original, at, 0, length) || !InBounds(original, at + 2, length)) return false;
    AppendU16(out, length);
    for (uint32_t i = 0; i < length; ++i) {
      uint8_t byte = 0;
      ReadU8(original, at + 2, i, byte);
      out.push_back(byte);
    }
  }
  return true;
}
