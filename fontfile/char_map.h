// Which characters a font holds: read from an sfnt font's character map (cmap)
// or from the character range of a Windows font header, kept as sorted ranges.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "fontfile/byte_reader.h"

struct CodeRange {
  uint32_t first = 0;
  uint32_t last = 0;  // inclusive
};

enum class CoverageKind : uint8_t {
  kUnknown,  // nothing usable was read: every cell counts as present
  kUnicode,  // a Unicode character map
  kSymbol,   // the symbol map (3,0): bytes 0x00-0xFF at U+F000-U+F0FF, or (old fonts) at themselves
  kBytes,    // a Windows font header: the 8-bit codes first_byte to last_byte
};

// Codes beyond U+FFFF and their glyphs, as a format 12 or 13 map gives them, for
// drawing by glyph index where the system cannot draw a surrogate pair.
struct GlyphRun {
  uint32_t first = 0;
  uint32_t last = 0;
  uint32_t glyph = 0;      // the glyph of `first`
  bool one_glyph = false;  // format 13: every code of the run shows `glyph`
};

// How much of a character map a read keeps. Either way the same subtable is
// chosen and checked whole, so the counts agree.
enum class MapDetail : uint8_t {
  kFull,    // the ranges and glyph runs: the grid, the block list, the Info page
  kCounts,  // count and bmp_count alone: a listing prints no more
  kGlyphs,  // kFull and every code's glyph (code_glyphs): the glyph view
  kReach,   // kCounts and the number of glyphs the codes reach (reached_glyphs)
};

struct CharCoverage {
  CoverageKind kind = CoverageKind::kUnknown;
  MapDetail detail = MapDetail::kFull;  // kCounts: ranges and glyph_runs stay empty
  std::vector<CodeRange> ranges;  // sorted, disjoint and not touching
  uint32_t count = 0;             // code points in all ranges
  uint32_t bmp_count = 0;         // those up to U+FFFF
  uint8_t first_byte = 0;         // kBytes
  uint8_t last_byte = 0;
  uint8_t charset = 0;            // kBytes: the header's character set
  std::vector<GlyphRun> glyph_runs;  // sorted; codes beyond U+FFFF only
  // kGlyphs: the glyph of every code in the ranges, as runs in code order; a run
  // of rising glyphs, or (format 13) of one glyph. No more runs than the
  // subtable has entries.
  std::vector<GlyphRun> code_glyphs;
  uint32_t reached_glyphs = 0;  // kReach: glyphs below the count that some code shows
};

// The glyph index of a code beyond U+FFFF in the font's own map; 0 when it has
// none there (or the code is below U+10000).
uint32_t GlyphOf(const CharCoverage& coverage, uint32_t code);

constexpr uint32_t kLastCodePoint = 0x10FFFF;

// Whether `code` lies in one of the ranges (a binary search).
bool HasCodePoint(const CharCoverage& coverage, uint32_t code);

// The number of code points of first..last (inclusive) in the ranges.
uint32_t CountCodePoints(const CharCoverage& coverage, uint32_t first, uint32_t last);

// maxp's glyph count is 16-bit: no font holds more glyphs than this, and no id
// from 0xFFFF on names a glyph.
constexpr uint32_t kMaxGlyphCount = 0xFFFF;

// What a read of a character map went through, so that tests and the fuzzer
// can hold it to its bound: the subtables read (at most four per encoding), and
// their entries (glyphs of formats 0 and 6, segments and glyph-array codes of
// format 4, groups), at most the table's size plus 65,536 for each subtable.
struct CmapReadWork {
  uint32_t subtables = 0;
  uint64_t entries = 0;
};

// Reads the cmap table that spans `table` (the table's own bytes): the first
// subtable that reads soundly in the order (3,10), (0,6), (0,4), (3,1), (0,3),
// (0,2), (0,1), (0,0), (3,0), of formats 0, 4, 6, 12 and 13. A code point counts
// when it maps to a glyph of the font: not glyph 0, and below `glyph_count`
// (maxp's count; the system draws nothing for an id beyond it). A subtable
// whose counts leave the table, whose segments or groups are unsorted or
// overlap, or whose glyph references leave it is passed over. Each subtable is
// read at most once however many records name it, and at most four distinct
// ones of an encoding are tried, so the work is linear in the table's size
// (`work`, when given, says how much). False, with `coverage` unknown, when none
// reads.
bool ReadCharacterMap(ByteView table, CharCoverage& coverage,
                      uint32_t glyph_count = kMaxGlyphCount, CmapReadWork* work = nullptr,
                      MapDetail detail = MapDetail::kFull);

// Character maps already read from one file's bytes, by where their table lies:
// the faces of a collection mostly share one cmap (every face of a Noto CJK
// collection does), which is then read once. Never used for another file. It
// keeps the last few maps only, so a hostile collection of many distinct maps
// costs what reading each one costs, and no more memory.
struct CharMapCache {
  struct Entry {
    uint32_t offset = 0, length = 0, glyph_count = 0;
    MapDetail detail = MapDetail::kFull;
    bool read = false;  // what ReadCharacterMap returned
    CharCoverage coverage;
  };
  std::vector<Entry> entries;  // the most recent last
};

// The cmap of the sfnt font whose offset table lies at `start`, its glyph ids
// bounded by the font's maxp table (16 bits without one); false when it has
// none or none of its subtables reads. With a cache, a map read before for the
// same table, glyph count and detail is copied from it.
bool ReadSfntCharacterMap(ByteView view, uint32_t start, CharCoverage& coverage,
                          MapDetail detail = MapDetail::kFull, CharMapCache* cache = nullptr);
// The same for a face whose directory the caller has walked.
struct SfntDirectory;
bool ReadFaceCharacterMap(ByteView view, const SfntDirectory& directory, CharCoverage& coverage,
                          MapDetail detail = MapDetail::kFull, CharMapCache* cache = nullptr);

// The 8-bit codes of a Windows font header (FON font resource, PFM file).
// `to_unicode` gives each byte's character in the header's character set (0 when
// it has none); the ranges then hold those characters.
CharCoverage ByteCoverage(uint8_t first_byte, uint8_t last_byte, uint8_t charset,
                          const uint32_t (&to_unicode)[256]);

// Whether the grid cell `code` shows a character of the font. Cells below 0x100
// are drawn as one byte: `byte_character` is that byte's character in the chosen
// character set (a header uses its byte range). The system finds a symbol
// font's byte both at U+F000 + byte and at the byte's own code, whichever its
// map holds: cells 0x00-0xFF and U+F000-U+F0FF count either.
bool CellPresent(const CharCoverage& coverage, uint32_t code, uint32_t byte_character);

// The cells of first..last (inclusive) that CellPresent counts, cells below
// 0x100 through `byte_characters` (each byte's character in the chosen character
// set; nullptr reads a byte as the code point of the same value). Every cell
// when the coverage is unknown.
uint32_t CountPresentCells(const CharCoverage& coverage, uint32_t first, uint32_t last,
                           const uint32_t* byte_characters);

// The character map reversed: the codes that reach each glyph, all of them, as
// the fewest ranges in rising order. `codes` holds them glyph after glyph,
// `start[g]` where glyph g's begin (start has one more element than there are
// glyphs). There are never more ranges than codes the map holds (at most
// 0x110000).
struct GlyphCharacters {
  std::vector<uint32_t> start;
  std::vector<CodeRange> codes;
};

// From a map read with MapDetail::kGlyphs; glyphs at or beyond `glyph_count`
// (which the map's read already left out) reach nothing.
GlyphCharacters ReverseCharacterMap(const CharCoverage& coverage, uint32_t glyph_count);

// The glyphs below `glyph_count` that no code of a map read with
// MapDetail::kGlyphs or kReach (with that count) reaches: what reversing it
// would leave empty, counted without building the reversed map.
uint32_t UnreachedGlyphs(const CharCoverage& coverage, uint32_t glyph_count);

// The code ranges that reach `glyph` (none beyond the count).
std::span<const CodeRange> CharactersOf(const GlyphCharacters& reversed, uint32_t glyph);
