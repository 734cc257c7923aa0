#include "fontfile/char_map.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "fontfile/table_directory.h"

namespace {

constexpr uint32_t kEncodingRecordSize = 8;
constexpr uint32_t kGroupSize = 12;

struct Encoding {
  uint16_t platform;
  uint16_t encoding;
};

// The order in which subtables are preferred; the symbol map comes last.
constexpr std::array<Encoding, 9> kPreferred = {{
    {3, 10}, {0, 6}, {0, 4}, {3, 1}, {0, 3}, {0, 2}, {0, 1}, {0, 0}, {3, 0}}};

// A font has one subtable per encoding it maps; trying more distinct ones of an
// encoding than this only serves a table made to keep the reader busy.
constexpr uint32_t kMaxSubtablesPerEncoding = 4;

// A cache holds no more maps than this: real collections have one or a few.
constexpr size_t kCachedMaps = 4;

// A mark for each glyph below a count that some code shows.
struct GlyphMarks {
  std::vector<uint64_t> bits;
  uint32_t limit = 0;

  explicit GlyphMarks(uint32_t glyph_count = 0)
      : bits((uint64_t{glyph_count} + 63) / 64), limit(glyph_count) {}

  // Glyphs first..first+length-1, those below the count.
  void Mark(uint64_t first, uint64_t length) {
    const uint64_t end = std::min<uint64_t>(first + length, limit);
    for (uint64_t glyph = first; glyph < end; ++glyph) bits[glyph >> 6] |= uint64_t{1} << (glyph & 63);
  }

  uint32_t Count() const {
    uint32_t count = 0;
    for (uint64_t word : bits) count += static_cast<uint32_t>(std::popcount(word));
    return count;
  }
};

// Collects present code points in increasing order, joining neighbours, and
// counts them. The range being grown stays out of the vector until a gap ends
// it: large maps add tens of thousands of pieces. Without `keep` nothing is
// stored but the counts.
struct RangeBuilder {
  bool keep = true;
  bool glyphs = false;  // every code's glyph too (MapDetail::kGlyphs)
  bool reach = false;  // MapDetail::kReach: each glyph shown marked in `reached`
  GlyphMarks reached;
  std::vector<CodeRange> ranges;
  std::vector<GlyphRun> runs;
  std::vector<GlyphRun> code_glyphs;
  uint64_t entries = 0;  // what the subtable readers went through, for CmapReadWork
  uint32_t count = 0, bmp_count = 0;
  CodeRange current;
  bool open = false;

  explicit RangeBuilder(MapDetail detail = MapDetail::kFull, uint32_t glyph_count = 0)
      : keep(detail != MapDetail::kCounts && detail != MapDetail::kReach),
        glyphs(detail == MapDetail::kGlyphs),
        reach(detail == MapDetail::kReach),
        reached(reach ? glyph_count : 0) {}

  // Codes first..last shown with `glyph` (the glyph of `first`; rising with the
  // codes unless one_glyph), in code order. Neighbouring codes whose glyphs go on
  // rising join the run before them.
  void AddGlyphs(uint32_t first, uint32_t last, uint32_t glyph, bool one_glyph) {
    if (reach) reached.Mark(glyph, one_glyph ? 1 : uint64_t{last} - first + 1);
    if (!glyphs) return;
    if (!code_glyphs.empty()) {
      GlyphRun& run = code_glyphs.back();
      if (!run.one_glyph && !one_glyph && run.last + 1 == first &&
          run.glyph + (run.last - run.first) + 1 == glyph) {
        run.last = last;
        return;
      }
    }
    code_glyphs.push_back({first, last, glyph, one_glyph && first != last});
  }

  void Add(uint32_t first, uint32_t last) {
    if (first > kLastCodePoint) return;
    last = std::min(last, kLastCodePoint);
    if (open && first <= current.last + 1) {
      current.last = std::max(current.last, last);
      return;
    }
    if (open) Close(current);
    current = {first, last};
    open = true;
  }

  // Counts a range a gap has ended, and keeps it when asked to.
  void Close(const CodeRange& range) {
    count += range.last - range.first + 1;
    if (range.first <= 0xFFFF) bmp_count += std::min<uint32_t>(range.last, 0xFFFF) - range.first + 1;
    if (keep) ranges.push_back(range);
  }

  // The ranges, the last one included.
  std::vector<CodeRange> Finish() {
    if (open) Close(current);
    open = false;
    return std::move(ranges);
  }

  void AddRun(const GlyphRun& run) {
    if (keep) runs.push_back(run);
  }
};

// Whether a glyph id names a glyph of the font: 0 is the missing glyph, and an
// id at or beyond the font's count names none (the system draws nothing there).
bool IsGlyph(uint64_t glyph, uint32_t glyph_count) { return glyph != 0 && glyph < glyph_count; }

// The codes of first..last, mapped to consecutive glyphs from `glyph`, whose
// glyph is one of the font's: one range, as the glyphs rise with the codes.
// False when there is none.
bool ShownCodes(uint32_t first, uint32_t last, uint64_t glyph, uint32_t glyph_count,
                CodeRange& shown) {
  if (glyph_count == 0) return false;
  const uint64_t lowest = std::max<uint64_t>(glyph, 1);
  const uint64_t highest = std::min<uint64_t>(glyph + (last - first), glyph_count - 1);
  if (lowest > highest) return false;
  shown = {static_cast<uint32_t>(first + (lowest - glyph)),
           static_cast<uint32_t>(first + (highest - glyph))};
  return true;
}

void AddConsecutive(uint32_t first, uint32_t last, uint64_t glyph, uint32_t glyph_count,
                    RangeBuilder& out) {
  CodeRange shown;
  if (!ShownCodes(first, last, glyph, glyph_count, shown)) return;
  out.Add(shown.first, shown.last);
  out.AddGlyphs(shown.first, shown.last, static_cast<uint32_t>(glyph + (shown.first - first)), false);
}

bool ReadFormat0(ByteView sub, uint32_t glyph_count, RangeBuilder& out) {
  for (uint32_t code = 0; code < 256; ++code) {
    ++out.entries;
    uint8_t glyph = 0;
    if (!ReadU8(sub, 6, code, glyph)) return false;
    if (!IsGlyph(glyph, glyph_count)) continue;
    out.Add(code, code);
    out.AddGlyphs(code, code, glyph, false);
  }
  return true;
}

bool ReadFormat6(ByteView sub, uint32_t glyph_count, RangeBuilder& out) {
  uint16_t first = 0, count = 0;
  if (!ReadU16BE(sub, 0, 6, first) || !ReadU16BE(sub, 0, 8, count)) return false;
  if (!InBounds(sub, 10, 2u * count)) return false;
  for (uint32_t i = 0; i < count && first + i <= 0xFFFF; ++i) {
    ++out.entries;
    uint16_t glyph = 0;
    ReadU16BE(sub, 10, 2 * i, glyph);
    if (!IsGlyph(glyph, glyph_count)) continue;
    out.Add(first + i, first + i);
    out.AddGlyphs(first + i, first + i, glyph, false);
  }
  return true;
}

// Segments must rise without overlapping; the glyph array a segment points into
// must lie inside the subtable, so the work is bounded by its size and 65,536.
// The last segment, 0xFFFF alone, is often written carelessly (a range offset
// of 0xFFFF that points nowhere): such a one is passed over, as other readers
// do, rather than the whole subtable refused.
bool ReadFormat4(ByteView sub, uint32_t glyph_count, RangeBuilder& out) {
  uint16_t seg_count_x2 = 0;
  if (!ReadU16BE(sub, 0, 6, seg_count_x2) || seg_count_x2 % 2 != 0) return false;
  const uint32_t segments = seg_count_x2 / 2u;
  const uint32_t ends = 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                 range_offsets = deltas + 2 * segments;
  if (!InBounds(sub, range_offsets, 2 * segments)) return false;
  int32_t previous_end = -1;
  for (uint32_t i = 0; i < segments; ++i) {
    ++out.entries;
    uint16_t end = 0, start = 0, delta = 0, range_offset = 0;
    ReadU16BE(sub, ends, 2 * i, end);
    ReadU16BE(sub, starts, 2 * i, start);
    ReadU16BE(sub, deltas, 2 * i, delta);
    ReadU16BE(sub, range_offsets, 2 * i, range_offset);
    if (start > end || static_cast<int32_t>(start) <= previous_end) return false;
    previous_end = end;
    if (range_offset == 0) {
      // Every code maps to code + delta, wrapping round 16 bits once at most.
      const uint32_t glyph = (start + uint32_t{delta}) & 0xFFFF;
      const uint32_t before_wrap = std::min<uint32_t>(end, start + (0xFFFF - glyph));
      AddConsecutive(start, before_wrap, glyph, glyph_count, out);
      if (before_wrap < end) AddConsecutive(before_wrap + 1, end, 0, glyph_count, out);
      continue;
    }
    // The array entry of `start` lies range_offset bytes after this segment's
    // own range-offset field.
    const uint32_t array = range_offsets + 2 * i + range_offset;
    const uint32_t width = 2 * (uint32_t{end} - start + 1);
    if (!InBounds(sub, array, width)) {
      if (i + 1 == segments && start == 0xFFFF) break;
      return false;
    }
    for (uint32_t code = start; code <= end; ++code) {
      ++out.entries;
      uint16_t glyph = 0;
      ReadU16BE(sub, array, 2 * (code - start), glyph);
      const uint16_t shown = static_cast<uint16_t>(glyph + delta);
      if (!glyph || !IsGlyph(shown, glyph_count)) continue;
      out.Add(code, code);
      out.AddGlyphs(code, code, shown, false);
    }
  }
  return true;
}

// The codes of one group of formats 12 and 13 that show a glyph of the font (not
// glyph 0, and below the count): all or none of format 13; of format 12, those
// whose rising glyph ids stay inside both bounds. Arithmetic in 32 bits: a glyph
// id below the font's 16-bit count plus a group's width fits. False for none.
inline bool GroupShown(uint32_t first, uint32_t last, uint32_t glyph, bool one_glyph,
                       uint32_t glyph_count, uint32_t& from, uint32_t& to) {
  if (glyph >= glyph_count) return false;
  from = first;
  to = last;
  if (!one_glyph) {
    to = first + std::min(last - first, glyph_count - 1 - glyph);
    if (glyph == 0) ++from;
  } else if (glyph == 0) {
    return false;
  }
  to = std::min(to, kLastCodePoint);
  return from <= to;
}

// Formats 12 and 13: groups of codes to consecutive glyphs (12) or to one (13).
// Calls show(first, glyph, from, to) for each group with codes that show a glyph,
// in rising order; stops at the first group that does not rise past the one
// before it (false: the subtable is unsound) or that starts beyond the last code
// point. The loop is the whole cost of a large map (a CJK font holds tens of
// thousands of groups): `show` is inlined into it.
template <typename Show>
bool WalkGroups(ByteView groups, bool one_glyph, uint32_t glyph_count, RangeBuilder& out,
                Show&& show) {
  bool sound = true;
  uint32_t previous_end = 0, group = 0;
  for (; group < groups.size; group += kGroupSize) {
    uint32_t fields[3] = {};
    ReadU32BEs(groups, group, fields);
    const uint32_t first = fields[0], last = fields[1], glyph = fields[2];
    if (first > last || (group != 0 && first <= previous_end)) {
      sound = false;
      group += kGroupSize;
      break;
    }
    previous_end = last;
    if (first > kLastCodePoint) {  // the groups rise: nothing later is a character
      group += kGroupSize;
      break;
    }
    uint32_t from = 0, to = 0;
    if (GroupShown(first, last, glyph, one_glyph, glyph_count, from, to))
      show(first, glyph, from, to);
  }
  out.entries += group / kGroupSize;
  return sound;
}

// The groups' ranges and glyph runs, the builder's open range kept in locals.
bool ReadGroupsKept(bool one_glyph, uint32_t glyph_count, RangeBuilder& out, ByteView groups) {
  out.ranges.reserve(std::min<uint32_t>(groups.size / kGroupSize, 1u << 16));
  CodeRange current = out.current;
  bool open = out.open;
  const bool sound = WalkGroups(groups, one_glyph, glyph_count, out,
                                [&](uint32_t first, uint32_t glyph, uint32_t from, uint32_t to) {
    if (open && from <= current.last + 1) {
      current.last = std::max(current.last, to);
    } else {
      if (open) out.Close(current);
      current = {from, to};
      open = true;
    }
    out.AddGlyphs(from, to, one_glyph ? glyph : glyph + (from - first), one_glyph);
    // Codes beyond U+FFFF keep their glyph for drawing by index.
    if (to < 0x10000) return;
    const uint32_t run_first = std::max<uint32_t>(from, 0x10000);
    out.AddRun({run_first, to, one_glyph ? glyph : glyph + (run_first - first), one_glyph});
  });
  out.current = current;
  out.open = open;
  return sound;
}

// Counting alone, into a fresh builder: the groups rise without overlap (each is
// checked), so the codes they show are disjoint and the counts plain sums, with
// no range to grow and join.
bool CountGroups(bool one_glyph, uint32_t glyph_count, RangeBuilder& out, ByteView groups) {
  uint32_t count = 0, bmp_count = 0;
  const bool reach = out.reach;
  const bool sound = WalkGroups(groups, one_glyph, glyph_count, out,
                                [&](uint32_t first, uint32_t glyph, uint32_t from, uint32_t to) {
    count += to - from + 1;
    if (from <= 0xFFFF) bmp_count += std::min<uint32_t>(to, 0xFFFF) - from + 1;
    if (reach) out.reached.Mark(one_glyph ? glyph : uint64_t{glyph} + (from - first), one_glyph ? 1 : to - from + 1);
  });
  out.count += count;
  out.bmp_count += bmp_count;
  return sound;
}

bool ReadGroups(ByteView sub, bool one_glyph, uint32_t glyph_count, RangeBuilder& out) {
  uint32_t count = 0;
  if (!ReadU32BE(sub, 0, 12, count)) return false;
  if (count > (sub.size - 16) / kGroupSize) return false;
  const std::optional<ByteView> groups = SubView(sub, 16, kGroupSize * count);
  if (!groups) return false;
  if (out.keep || out.open) return ReadGroupsKept(one_glyph, glyph_count, out, *groups);
  return CountGroups(one_glyph, glyph_count, out, *groups);
}

// The subtable at `offset`, bounded by the cmap table's end. Length fields are
// not trusted to bound it: format 4 tables of large fonts overflow theirs.
bool ReadSubtable(ByteView table, uint32_t offset, uint32_t glyph_count, RangeBuilder& out) {
  if (!InBounds(table, offset, 0)) return false;
  const ByteView sub{table.data + offset, table.size - offset};
  uint16_t format = 0;
  if (!ReadU16BE(sub, 0, 0, format)) return false;
  switch (format) {
    case 0: return ReadFormat0(sub, glyph_count, out);
    case 4: return ReadFormat4(sub, glyph_count, out);
    case 6: return ReadFormat6(sub, glyph_count, out);
    case 12: return ReadGroups(sub, false, glyph_count, out);
    case 13: return ReadGroups(sub, true, glyph_count, out);
    default: return false;
  }
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

bool ReadCharacterMap(ByteView table, CharCoverage& coverage, uint32_t glyph_count,
                      CmapReadWork* work, MapDetail detail) {
  coverage = CharCoverage{};
  coverage.detail = detail;
  CmapReadWork ignored;
  if (!work) work = &ignored;
  *work = CmapReadWork{};
  uint16_t count = 0;
  if (!ReadU16BE(table, 0, 2, count)) return false;
  if (!InBounds(table, 4, kEncodingRecordSize * count)) return false;
  // One pass over the records: those of a preferred encoding, best first, in
  // record order within one encoding.
  struct Candidate {
    uint32_t rank;
    uint32_t offset;
  };
  std::vector<Candidate> candidates;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t record = 4 + kEncodingRecordSize * i;
    uint16_t platform = 0, encoding = 0;
    uint32_t offset = 0;
    ReadU16BE(table, record, 0, platform);
    ReadU16BE(table, record, 2, encoding);
    ReadU32BE(table, record, 4, offset);
    for (uint32_t rank = 0; rank < kPreferred.size(); ++rank)
      if (kPreferred[rank].platform == platform && kPreferred[rank].encoding == encoding)
        candidates.push_back({rank, offset});
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.rank < b.rank; });
  // Each subtable is read once, however many records name it, and only a few
  // are tried for each encoding: the work stays linear in the table's size
  // whatever the records say.
  std::vector<uint32_t> refused;
  std::array<uint32_t, kPreferred.size()> tried = {};
  for (const Candidate& candidate : candidates) {
    if (std::find(refused.begin(), refused.end(), candidate.offset) != refused.end()) continue;
    if (tried[candidate.rank] == kMaxSubtablesPerEncoding) continue;
    ++tried[candidate.rank];
    RangeBuilder builder(detail, glyph_count);
    const bool read = ReadSubtable(table, candidate.offset, glyph_count, builder);
    ++work->subtables;
    work->entries += builder.entries;
    if (!read) {
      refused.push_back(candidate.offset);
      continue;
    }
    const Encoding& wanted = kPreferred[candidate.rank];
    coverage.kind = wanted.platform == 3 && wanted.encoding == 0 ? CoverageKind::kSymbol
                                                                  : CoverageKind::kUnicode;
    coverage.ranges = builder.Finish();
    coverage.count = builder.count;
    coverage.bmp_count = builder.bmp_count;
    coverage.glyph_runs = std::move(builder.runs);
    coverage.code_glyphs = std::move(builder.code_glyphs);
    coverage.reached_glyphs = builder.reached.Count();
    return true;
  }
  return false;
}

bool ReadSfntCharacterMap(ByteView view, uint32_t start, CharCoverage& coverage,
                          MapDetail detail, CharMapCache* cache) {
  coverage = CharCoverage{};
  coverage.detail = detail;
  SfntDirectory directory;
  if (!OpenSfntFont(view, start, directory)) return false;
  return ReadFaceCharacterMap(view, directory, coverage, detail, cache);
}

bool ReadFaceCharacterMap(ByteView view, const SfntDirectory& directory, CharCoverage& coverage,
                          MapDetail detail, CharMapCache* cache) {
  coverage = CharCoverage{};
  coverage.detail = detail;
  const std::optional<TableRecord> cmap = FindTable(view, directory, "cmap");
  // A length that runs past the file is cut at its end.
  if (!cmap || !InBounds(view, cmap->offset, 0)) return false;
  const std::optional<ByteView> table =
      SubView(view, cmap->offset, std::min(cmap->length, view.size - cmap->offset));
  // Without a readable glyph count every 16-bit glyph id may be one.
  uint32_t glyph_count = kMaxGlyphCount;
  uint16_t glyphs = 0;
  if (const std::optional<TableRecord> maxp = FindTable(view, directory, "maxp"))
    if (ReadU16BE(view, maxp->offset, 4, glyphs)) glyph_count = glyphs;
  if (!table) return false;
  if (!cache) return ReadCharacterMap(*table, coverage, glyph_count, nullptr, detail);
  const uint32_t offset = cmap->offset, length = table->size;
  auto& entries = cache->entries;
  const auto same = [&](const CharMapCache::Entry& e) {
    return e.offset == offset && e.length == length && e.glyph_count == glyph_count &&
           e.detail == detail;
  };
  if (const auto hit = std::find_if(entries.begin(), entries.end(), same); hit != entries.end()) {
    coverage = hit->coverage;
    return hit->read;
  }
  const bool read = ReadCharacterMap(*table, coverage, glyph_count, nullptr, detail);
  if (entries.size() == kCachedMaps) entries.erase(entries.begin());
  entries.push_back({offset, length, glyph_count, detail, read, coverage});
  return read;
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
  coverage.count = builder.count;
  coverage.bmp_count = builder.bmp_count;
  return coverage;
}

namespace {

// A symbol map's code and its twin: the system finds a symbol font's character
// 0x00-0xFF at U+F000-U+F0FF and at the byte's own value alike, so old symbol
// fonts that map the bytes themselves draw as those that map U+F0xx.
bool HasSymbol(const CharCoverage& coverage, uint32_t code) {
  if (code < 0x100) return HasCodePoint(coverage, 0xF000 + code) || HasCodePoint(coverage, code);
  if (code >= 0xF000 && code <= 0xF0FF)
    return HasCodePoint(coverage, code) || HasCodePoint(coverage, code - 0xF000);
  return HasCodePoint(coverage, code);
}

}  // namespace

bool CellPresent(const CharCoverage& coverage, uint32_t code, uint32_t byte_character) {
  switch (coverage.kind) {
    case CoverageKind::kUnknown: return true;
    case CoverageKind::kBytes:
      if (code < 0x100) return code >= coverage.first_byte && code <= coverage.last_byte;
      return HasCodePoint(coverage, code);
    case CoverageKind::kSymbol:
      return HasSymbol(coverage, code);
    case CoverageKind::kUnicode:
      return HasCodePoint(coverage, code < 0x100 ? byte_character : code);
  }
  return true;
}

uint32_t CountPresentCells(const CharCoverage& coverage, uint32_t first, uint32_t last,
                           const uint32_t* byte_characters) {
  if (first > last) return 0;
  if (coverage.kind == CoverageKind::kUnknown) return last - first + 1;
  // The cells CellPresent decides one by one (the bytes, and a symbol map's
  // U+F000-U+F0FF) are asked one by one; runs of the others are counted by ranges.
  const bool symbol = coverage.kind == CoverageKind::kSymbol;
  uint32_t count = 0;
  for (uint32_t code = first;;) {
    uint32_t end = last;
    if (code < 0x100 || (symbol && code >= 0xF000 && code <= 0xF0FF)) {
      end = code;
      const uint32_t byte_character =
          byte_characters && code < 0x100 ? byte_characters[code] : code;
      count += CellPresent(coverage, code, byte_character) ? 1 : 0;
    } else {
      if (symbol && code < 0xF000) end = std::min<uint32_t>(last, 0xEFFF);
      count += CountCodePoints(coverage, code, end);
    }
    if (end == last) return count;
    code = end + 1;
  }
}

GlyphCharacters ReverseCharacterMap(const CharCoverage& coverage, uint32_t glyph_count) {
  GlyphCharacters reversed;
  reversed.start.assign(uint64_t{glyph_count} + 1, 0);
  // Counted, then placed: codes come in rising order, so each glyph's do too.
  const auto each = [&](auto&& add) {
    for (const GlyphRun& run : coverage.code_glyphs) {
      if (run.one_glyph) {
        if (run.glyph < glyph_count) add(run.glyph, CodeRange{run.first, run.last});
        continue;
      }
      for (uint32_t code = run.first; code <= run.last; ++code) {
        const uint64_t glyph = uint64_t{run.glyph} + (code - run.first);
        if (glyph >= glyph_count) break;
        add(static_cast<uint32_t>(glyph), CodeRange{code, code});
      }
    }
  };
  each([&](uint32_t glyph, CodeRange) { ++reversed.start[glyph + 1]; });
  for (uint32_t glyph = 0; glyph < glyph_count; ++glyph)
    reversed.start[glyph + 1] += reversed.start[glyph];
  reversed.codes.resize(reversed.start[glyph_count]);
  std::vector<uint32_t> next(reversed.start.begin(), reversed.start.end() - 1);
  each([&](uint32_t glyph, CodeRange codes) { reversed.codes[next[glyph]++] = codes; });
  // Neighbouring codes of one glyph (from different runs) join: each glyph's
  // codes read as the fewest ranges, whatever runs the map was made of.
  uint32_t kept = 0;
  for (uint32_t glyph = 0; glyph < glyph_count; ++glyph) {
    const uint32_t begin = reversed.start[glyph], end = reversed.start[glyph + 1];
    reversed.start[glyph] = kept;
    for (uint32_t i = begin; i < end; ++i) {
      const CodeRange range = reversed.codes[i];
      if (kept > reversed.start[glyph] && reversed.codes[kept - 1].last + 1 == range.first)
        reversed.codes[kept - 1].last = range.last;
      else reversed.codes[kept++] = range;
    }
  }
  reversed.start[glyph_count] = kept;
  reversed.codes.resize(kept);
  return reversed;
}

uint32_t UnreachedGlyphs(const CharCoverage& coverage, uint32_t glyph_count) {
  if (coverage.detail == MapDetail::kReach) return glyph_count - std::min(coverage.reached_glyphs, glyph_count);
  // The runs' codes are disjoint, so this visits at most a code each.
  GlyphMarks reached(glyph_count);
  for (const GlyphRun& run : coverage.code_glyphs)
    reached.Mark(run.glyph, run.one_glyph ? 1 : uint64_t{run.last} - run.first + 1);
  return glyph_count - reached.Count();
}

std::span<const CodeRange> CharactersOf(const GlyphCharacters& reversed, uint32_t glyph) {
  if (glyph + uint64_t{1} >= reversed.start.size()) return {};
  return std::span<const CodeRange>(reversed.codes)
      .subspan(reversed.start[glyph], reversed.start[glyph + 1] - reversed.start[glyph]);
}
