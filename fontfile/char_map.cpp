#include "fontfile/char_map.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr uint32_t kRecordSize = 8;
constexpr uint32_t kGroupSize = 12;

struct Encoding {
  uint16_t platform;
  uint16_t encoding;
};

// The order in which subtables are preferred; the symbol map comes last.
constexpr std::array<Encoding, 9> kPreferred = {{
    {3, 10}, {0, 6}, {0, 4}, {3, 1}, {0, 3}, {0, 2}, {0, 1}, {0, 0}, {3, 0}}};

// Collects present code points in increasing order, joining neighbours. The
// range being grown stays out of the vector until a gap ends it: large maps add
// tens of thousands of pieces.
struct RangeBuilder {
  std::vector<CodeRange> ranges;
  std::vector<GlyphRun> runs;
  CodeRange current;
  bool open = false;

  void Add(uint32_t first, uint32_t last) {
    if (first > kLastCodePoint) return;
    last = std::min(last, kLastCodePoint);
    if (open && first <= current.last + 1) {
      current.last = std::max(current.last, last);
      return;
    }
    if (open) ranges.push_back(current);
    current = {first, last};
    open = true;
  }

  // The ranges, the last one included.
  std::vector<CodeRange> Finish() {
    if (open) ranges.push_back(current);
    open = false;
    return std::move(ranges);
  }
};

bool ReadFormat0(ByteView sub, RangeBuilder& out) {
  for (uint32_t code = 0; code < 256; ++code) {
    uint8_t glyph = 0;
    if (!ReadU8(sub, 6, code, glyph)) return false;
    if (glyph) out.Add(code, code);
  }
  return true;
}

bool ReadFormat6(ByteView sub, RangeBuilder& out) {
  uint16_t first = 0, count = 0;
  if (!ReadU16BE(sub, 0, 6, first) || !ReadU16BE(sub, 0, 8, count)) return false;
  if (!InBounds(sub, 10, 2u * count)) return false;
  for (uint32_t i = 0; i < count && first + i <= 0xFFFF; ++i) {
    uint16_t glyph = 0;
    ReadU16BE(sub, 10, 2 * i, glyph);
    if (glyph) out.Add(first + i, first + i);
  }
  return true;
}

// Segments must rise without overlapping; the glyph array a segment points into
// must lie inside the subtable, so the work is bounded by its size and 65,536.
bool ReadFormat4(ByteView sub, RangeBuilder& out) {
  uint16_t seg_count_x2 = 0;
  if (!ReadU16BE(sub, 0, 6, seg_count_x2) || seg_count_x2 % 2 != 0) return false;
  const uint32_t segments = seg_count_x2 / 2u;
  const uint32_t ends = 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                 range_offsets = deltas + 2 * segments;
  if (!InBounds(sub, range_offsets, 2 * segments)) return false;
  int32_t previous_end = -1;
  for (uint32_t i = 0; i < segments; ++i) {
    uint16_t end = 0, start = 0, delta = 0, range_offset = 0;
    ReadU16BE(sub, ends, 2 * i, end);
    ReadU16BE(sub, starts, 2 * i, start);
    ReadU16BE(sub, deltas, 2 * i, delta);
    ReadU16BE(sub, range_offsets, 2 * i, range_offset);
    if (start > end || static_cast<int32_t>(start) <= previous_end) return false;
    previous_end = end;
    if (range_offset == 0) {
      // Every code maps to code + delta; only the one that lands on 0 is missing.
      const uint32_t missing = (0x10000u - delta) & 0xFFFF;
      if (missing < start || missing > end) {
        out.Add(start, end);
      } else {
        if (missing > start) out.Add(start, missing - 1);
        if (missing < end) out.Add(missing + 1, end);
      }
      continue;
    }
    // The array entry of `start` lies range_offset bytes after this segment's
    // own range-offset field.
    const uint32_t array = range_offsets + 2 * i + range_offset;
    const uint32_t width = 2 * (uint32_t{end} - start + 1);
    if (!InBounds(sub, array, width)) return false;
    for (uint32_t code = start; code <= end; ++code) {
      uint16_t glyph = 0;
      ReadU16BE(sub, array, 2 * (code - start), glyph);
      if (glyph && static_cast<uint16_t>(glyph + delta) != 0) out.Add(code, code);
    }
  }
  return true;
}

// Formats 12 and 13: groups of codes to consecutive glyphs (12) or to one (13).
bool ReadGroups(ByteView sub, bool one_glyph, RangeBuilder& out) {
  uint32_t count = 0;
  if (!ReadU32BE(sub, 0, 12, count)) return false;
  if (count > (sub.size - 16) / kGroupSize) return false;
  const std::optional<ByteView> groups = SubView(sub, 16, kGroupSize * count);
  if (!groups) return false;
  // Large fonts hold tens of thousands of groups: no growing on the way.
  out.ranges.reserve(std::min<uint32_t>(count, 1u << 16));
  int64_t previous_end = -1;
  for (uint32_t group = 0; group < groups->size; group += kGroupSize) {
    uint32_t first = 0, last = 0, glyph = 0;
    ReadU32BE(*groups, group, 0, first);
    ReadU32BE(*groups, group, 4, last);
    ReadU32BE(*groups, group, 8, glyph);
    if (first > last || static_cast<int64_t>(first) <= previous_end) return false;
    previous_end = last;
    if (first > kLastCodePoint) break;  // the groups rise: nothing later is a character
    if (last >= 0x10000 && glyph) {
      const uint32_t from = std::max<uint32_t>(first, 0x10000);
      const uint32_t to = std::min(last, kLastCodePoint);
      out.runs.push_back({from, to, one_glyph ? glyph : glyph + (from - first), one_glyph});
    }
    if (glyph) {
      out.Add(first, last);
    } else if (!one_glyph && first < last) {
      out.Add(first + 1, last);  // the first code maps to glyph 0
    }
  }
  return true;
}

// The subtable at `offset`, bounded by the cmap table's end. Length fields are
// not trusted to bound it: format 4 tables of large fonts overflow theirs.
bool ReadSubtable(ByteView table, uint32_t offset, RangeBuilder& out) {
  if (!InBounds(table, offset, 0)) return false;
  const ByteView sub{table.data + offset, table.size - offset};
  uint16_t format = 0;
  if (!ReadU16BE(sub, 0, 0, format)) return false;
  switch (format) {
    case 0: return ReadFormat0(sub, out);
    case 4: return ReadFormat4(sub, out);
    case 6: return ReadFormat6(sub, out);
    case 12: return ReadGroups(sub, false, out);
    case 13: return ReadGroups(sub, true, out);
    default: return false;
  }
}

uint32_t CountAll(const std::vector<CodeRange>& ranges) {
  uint32_t count = 0;
  for (const CodeRange& r : ranges) count += r.last - r.first + 1;
  return count;
}

}  // namespace

bool HasCodePoint(const CharCoverage& coverage, uint32_t code) {
  const auto& ranges = coverage.ranges;
  auto it = std::upper_bound(ranges.begin(), ranges.end(), code,
                             [](uint32_t c, const CodeRange& r) { return c < r.first; });
  return it != ranges.begin() && code <= std::prev(it)->last;
}

uint32_t CountCodePoints(const CharCoverage& coverage, uint32_t first, uint32_t last) {
  if (first > last) return 0;
  const auto& ranges = coverage.ranges;
  auto it = std::upper_bound(ranges.begin(), ranges.end(), first,
                             [](uint32_t c, const CodeRange& r) { return c < r.first; });
  if (it != ranges.begin() && std::prev(it)->last >= first) --it;
  uint32_t count = 0;
  for (; it != ranges.end() && it->first <= last; ++it)
    count += std::min(it->last, last) - std::max(it->first, first) + 1;
  return count;
}

uint32_t GlyphOf(const CharCoverage& coverage, uint32_t code) {
  const auto& runs = coverage.glyph_runs;
  auto it = std::upper_bound(runs.begin(), runs.end(), code,
                             [](uint32_t c, const GlyphRun& r) { return c < r.first; });
  if (it == runs.begin() || code > std::prev(it)->last) return 0;
  const GlyphRun& run = *std::prev(it);
  return run.one_glyph ? run.glyph : run.glyph + (code - run.first);
}

bool ReadCharacterMap(ByteView table, CharCoverage& coverage) {
  coverage = CharCoverage{};
  uint16_t count = 0;
  if (!ReadU16BE(table, 0, 2, count)) return false;
  if (!InBounds(table, 4, kRecordSize * count)) return false;
  for (const Encoding& wanted : kPreferred) {
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t record = 4 + kRecordSize * i;
      uint16_t platform = 0, encoding = 0;
      uint32_t offset = 0;
      ReadU16BE(table, record, 0, platform);
      ReadU16BE(table, record, 2, encoding);
      ReadU32BE(table, record, 4, offset);
      if (platform != wanted.platform || encoding != wanted.encoding) continue;
      RangeBuilder builder;
      if (!ReadSubtable(table, offset, builder)) continue;
      coverage.kind = wanted.platform == 3 && wanted.encoding == 0 ? CoverageKind::kSymbol
                                                                    : CoverageKind::kUnicode;
      coverage.ranges = builder.Finish();
      coverage.count = CountAll(coverage.ranges);
      coverage.glyph_runs = std::move(builder.runs);
      return true;
    }
  }
  return false;
}

bool ReadSfntCharacterMap(ByteView view, uint32_t start, CharCoverage& coverage) {
  coverage = CharCoverage{};
  uint16_t table_count = 0;
  if (!ReadU16BE(view, start, 4, table_count)) return false;
  for (uint32_t i = 0; i < table_count; ++i) {
    uint32_t record = 0, offset = 0, length = 0;
    if (!CheckedAdd(start, 12 + 16 * i, record) || !ReadU32BE(view, record, 8, offset) ||
        !ReadU32BE(view, record, 12, length))
      return false;
    if (!ReadTagIs(view, record, 0, "cmap")) continue;
    // A length that runs past the file is cut at its end.
    if (!InBounds(view, offset, 0)) return false;
    const std::optional<ByteView> table =
        SubView(view, offset, std::min(length, view.size - offset));
    return table && ReadCharacterMap(*table, coverage);
  }
  return false;
}

CharCoverage ByteCoverage(uint8_t first_byte, uint8_t last_byte, uint8_t charset,
                          const uint32_t (&to_unicode)[256]) {
  CharCoverage coverage;
  coverage.kind = CoverageKind::kBytes;
  coverage.first_byte = first_byte;
  coverage.last_byte = last_byte;
  coverage.charset = charset;
  std::vector<uint32_t> codes;
  for (uint32_t byte = first_byte; byte <= last_byte; ++byte)
    if (to_unicode[byte]) codes.push_back(to_unicode[byte]);
  std::sort(codes.begin(), codes.end());
  RangeBuilder builder;
  for (uint32_t code : codes) builder.Add(code, code);
  coverage.ranges = builder.Finish();
  coverage.count = CountAll(coverage.ranges);
  return coverage;
}

bool CellPresent(const CharCoverage& coverage, uint32_t code, uint32_t byte_character) {
  switch (coverage.kind) {
    case CoverageKind::kUnknown: return true;
    case CoverageKind::kBytes:
      if (code < 0x100) return code >= coverage.first_byte && code <= coverage.last_byte;
      return HasCodePoint(coverage, code);
    case CoverageKind::kSymbol:
      if (code < 0x100) return HasCodePoint(coverage, 0xF000 + code);
      return HasCodePoint(coverage, code);
    case CoverageKind::kUnicode:
      return HasCodePoint(coverage, code < 0x100 ? byte_character : code);
  }
  return true;
}

uint32_t CountPresentCells(const CharCoverage& coverage, uint32_t first, uint32_t last,
                           const uint32_t* byte_characters) {
  if (first > last) return 0;
  if (coverage.kind == CoverageKind::kUnknown) return last - first + 1;
  uint32_t count = 0;
  uint32_t code = first;
  for (; code <= last && code < 0x100; ++code)
    count += CellPresent(coverage, code, byte_characters ? byte_characters[code] : code) ? 1 : 0;
  if (code <= last) count += CountCodePoints(coverage, code, last);
  return count;
}
