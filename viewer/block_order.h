// The block list's arithmetic, as plain code built on every system: the sort
// orders, positions in an order, stepping over blocks left out, and the block a
// settings file names.
#pragma once

#include <span>
#include <string_view>

#include "fontfile/catalog.h"

// Whether neighbours a, b must change places under sort mode 0-3 (0 glyphs
// ascending, 1 glyphs descending, 2 name ascending, 3 name descending); any
// other mode never exchanges.
bool BlocksOutOfOrder(const UnicodeBlockRow& a, const UnicodeBlockRow& b, int mode);

// Bubble sort of positions 1.. of `order`; position 0 ("ANSI") never moves.
void SortBlocks(std::span<const UnicodeBlockRow*> order, int mode);

// The position of `row` in `order`; -1 when it is not there.
int PositionIn(std::span<const UnicodeBlockRow* const> order, const UnicodeBlockRow& row);

// `position` moved `step` places on, wrapping round a list of `count` (> 0).
constexpr int WrapPosition(int position, int step, int count) {
  return ((position + step) % count + count) % count;
}

// The position nearest `from` in direction `step` (+1 or -1), `from` itself
// first, wrapping round, for which listed(position) holds; `from` when none does.
template <typename Listed>
int NearestListed(int from, int step, int count, Listed listed) {
  for (int i = 0; i < count; ++i) {
    const int at = WrapPosition(from, step * i, count);
    if (listed(at)) return at;
  }
  return from;
}

// The block of UnicodeBlockTable with exactly this name; nullptr for none.
const UnicodeBlockRow* BlockNamed(std::string_view name);

// The block at `position` (cut to 0-100) of the first plane's blocks (table rows
// 0-100) sorted under `mode`: what a stored "UnicodeBlock" meant while the list
// held only those.
const UnicodeBlockRow& FirstPlaneBlockAt(int position, int mode);
// The position of `row` among them under `mode`; -1 for a block beyond U+FFFF.
int FirstPlanePosition(const UnicodeBlockRow& row, int mode);

// The block a settings file stored: the one `name` names, else the one at
// `first_plane_position` in the stored order `mode`.
const UnicodeBlockRow& StoredBlock(std::string_view name, int first_plane_position, int mode);
