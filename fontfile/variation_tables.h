// A variable font's design space: the axes and named instances of its fvar
// table, with their names from the name table, and what its avar and STAT
// tables add.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/face_tables.h"
#include "fontfile/font_info.h"

struct VariationAxis {
  std::string tag;
  int32_t minimum = 0, default_value = 0, maximum = 0;  // 16.16 fixed
  bool hidden = false;
  uint16_t name_id = 0;
  FontText name;
};

struct NamedInstance {
  uint16_t subfamily_name_id = 0;
  FontText subfamily;
  uint16_t postscript_name_id = 0xFFFF;  // 0xFFFF: the record has none
  FontText postscript_name;
  std::vector<int32_t> coordinates;  // 16.16 fixed, one per axis in axis order
};

struct VariationFacts {
  TableState fvar = TableState::kAbsent;
  bool fvar_broken = false;  // the table is cut short or lies: read as far as it goes
  std::vector<VariationAxis> axes;
  std::vector<NamedInstance> instances;

  TableState avar = TableState::kAbsent;
  bool avar_broken = false;
  uint16_t avar_axes_mapped = 0;  // axes whose map moves a point off the diagonal

  TableState stat = TableState::kAbsent;
  bool stat_broken = false;
  std::vector<std::string> stat_axes;  // design axis tags in their order
  uint16_t stat_axis_values = 0;
  FontText elided_fallback_name;  // STAT 1.1 and later
};

// Reads fvar, avar and STAT; absent tables leave their fields empty.
VariationFacts ReadVariationTables(ByteView fvar, TableState fvar_state, ByteView avar,
                                   TableState avar_state, ByteView stat, TableState stat_state,
                                   NameIndex& names);

// A 16.16 fixed value in the fewest decimals that give it back: "400", "0.5", "-12.25".
std::string FixedText(int32_t value);
