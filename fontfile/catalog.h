// Constant tables naming what the viewer meets in fonts.
#pragma once

#include <cstdint>
#include <span>

struct UnicodeBlockRow {
  int32_t bit;    // Unicode-range bit 0-127; -1 always listed; -2 never listed
  uint32_t first;
  uint32_t last;  // inclusive
  const char* name;
};

struct NamedValue {
  int32_t value;
  const char* name;
};

extern const std::span<const UnicodeBlockRow> UnicodeBlockTable;  // 264 rows
extern const std::span<const NamedValue> CharsetTable;            // 19 rows
extern const std::span<const NamedValue> Os2VersionNames;         // 4 rows
extern const std::span<const NamedValue> WeightNames;             // 9 rows
extern const std::span<const NamedValue> WidthNames;              // 9 rows

constexpr int kUnicodeBlockCount = 264;  // 101 of the first plane, then 163 beyond it
constexpr int kFirstPlaneBlockCount = 101;  // rows 0-100, up to U+FFFF
constexpr int kCharsetCount = 19;

// Where a row of UnicodeBlockTable stands in it.
inline int TableRow(const UnicodeBlockRow& row) {
  return static_cast<int>(&row - UnicodeBlockTable.data());
}

// The name of the first row whose value equals key; "Unknown" when none does.
const char* LookupName(std::span<const NamedValue> rows, int32_t key);

// Whether a block row with this bit is listed for a font with these range words.
bool IsBlockSupported(const uint32_t ranges[4], int32_t bit);
