// The one reader of the fvar and avar tables, for the Info report's design space
// (fontfile/variation_tables) and for the instancer's coordinates (fontfile/
// variation_regions): each field read and each range checked by the same rules.
// What each reader then refuses is its own: the report lists what reads and calls
// the rest broken, the instancer refuses an instance of tables that do not add up.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "fontfile/byte_reader.h"

// fvar's axis record as the table gives it.
struct FvarAxisRecord {
  uint32_t tag = 0;
  int32_t minimum = 0, default_value = 0, maximum = 0;  // 16.16 fixed
  uint16_t flags = 0;
  uint16_t name_id = 0;
};

struct FvarTable {
  bool read = false;  // the header lies inside, version 1, axis records of 20 bytes or more
  uint16_t axis_count = 0, instance_count = 0, instance_size = 0;
  uint32_t instances_start = 0;  // the first instance record, after the axis records
  // The axis records in order, as far as they lie inside the table.
  std::vector<FvarAxisRecord> axes;
  bool axes_inside() const { return read && axes.size() == axis_count; }
};
FvarTable ReadFvarTable(ByteView fvar);

struct AvarTable {
  bool read = false;  // the header lies inside and every axis's map lies inside
  uint16_t major = 0;
  // Each axis's segment map: (from, to) pairs in F2Dot14, as the table lists them;
  // when one leaves the table, those before it.
  std::vector<std::vector<std::pair<int16_t, int16_t>>> maps;
};
AvarTable ReadAvarTable(ByteView avar);
