#include "fontfile/variation_tables.h"

#include "fontfile/fvar_avar.h"

#include <cmath>
#include <cstdio>

namespace {

void ReadFvar(ByteView table, VariationFacts& facts, NameIndex& names) {
  const FvarTable fvar = ReadFvarTable(table);
  if (!fvar.read) {
    facts.fvar_broken = true;
    return;
  }
  for (const FvarAxisRecord& record : fvar.axes) {
    VariationAxis axis;
    axis.tag = PrintableTag(record.tag);
    axis.minimum = record.minimum;
    axis.default_value = record.default_value;
    axis.maximum = record.maximum;
    axis.hidden = record.flags & 0x0001;
    axis.name_id = record.name_id;
    axis.name = NameText(names, axis.name_id);
    facts.axes.push_back(std::move(axis));
  }
  if (!fvar.axes_inside()) {
    facts.fvar_broken = true;
    return;
  }
  // An instance holds its coordinates, and a PostScript name id only when its
  // size leaves room for one.
  const uint32_t axis_count = fvar.axis_count, instance_size = fvar.instance_size;
  const uint32_t coordinates_size = 4 * axis_count;
  if (fvar.instance_count && instance_size < coordinates_size + 4) {
    facts.fvar_broken = true;
    return;
  }
  const bool has_postscript = instance_size >= coordinates_size + 6;
  for (uint32_t i = 0; i < fvar.instance_count; ++i) {
    uint32_t record = 0;
    if (!CheckedAdd(fvar.instances_start, instance_size * i, record) ||
        !InBounds(table, record, instance_size)) {
      facts.fvar_broken = true;
      return;
    }
    NamedInstance instance;
    ReadU16BE(table, record, 0, instance.subfamily_name_id);
    instance.coordinates.reserve(axis_count);
    for (uint32_t a = 0; a < axis_count; ++a) {
      uint32_t value = 0;
      ReadU32BE(table, record, 4 + 4 * a, value);
      instance.coordinates.push_back(static_cast<int32_t>(value));
    }
    if (has_postscript) ReadU16BE(table, record, 4 + coordinates_size, instance.postscript_name_id);
    instance.subfamily = NameText(names, instance.subfamily_name_id);
    if (instance.postscript_name_id != 0xFFFF)
      instance.postscript_name = NameText(names, instance.postscript_name_id);
    facts.instances.push_back(std::move(instance));
  }
}

void ReadAvar(ByteView table, VariationFacts& facts) {
  const AvarTable avar = ReadAvarTable(table);
  for (const auto& map : avar.maps) {
    bool moved = false;
    for (const auto& [from, to] : map) moved = moved || from != to;
    if (moved) ++facts.avar_axes_mapped;
  }
  if (!avar.read || (avar.major != 1 && avar.major != 2)) facts.avar_broken = true;
}

void ReadStat(ByteView table, VariationFacts& facts, NameIndex& names) {
  uint16_t major = 0, minor = 0, axis_size = 0, axis_count = 0, value_count = 0;
  uint32_t axes_offset = 0;
  if (!ReadU16BE(table, 0, 0, major) || !ReadU16BE(table, 0, 2, minor) ||
      !ReadU16BE(table, 0, 4, axis_size) || !ReadU16BE(table, 0, 6, axis_count) ||
      !ReadU32BE(table, 0, 8, axes_offset) || !ReadU16BE(table, 0, 12, value_count) ||
      major != 1 || (axis_count && axis_size < 8)) {
    facts.stat_broken = true;
    return;
  }
  for (uint32_t i = 0; i < axis_count; ++i) {
    uint32_t record = 0;
    std::optional<std::string> tag;
    if (!CheckedAdd(axes_offset, axis_size * i, record) || !(tag = ReadTag(table, record, 0))) {
      facts.stat_broken = true;
      return;
    }
    facts.stat_axes.push_back(*tag);
  }
  uint32_t value_offsets = 0;
  ReadU32BE(table, 0, 14, value_offsets);
  if (value_count && !InBounds(table, value_offsets, 2 * uint32_t{value_count})) {
    facts.stat_broken = true;
    return;
  }
  facts.stat_axis_values = value_count;
  uint16_t elided = 0;
  if (minor >= 1 && ReadU16BE(table, 0, 18, elided)) facts.elided_fallback_name = NameText(names, elided);
}

}  // namespace

VariationFacts ReadVariationTables(ByteView fvar, TableState fvar_state, ByteView avar,
                                   TableState avar_state, ByteView stat, TableState stat_state,
                                   NameIndex& names) {
  VariationFacts facts;
  facts.fvar = fvar_state;
  facts.avar = avar_state;
  facts.stat = stat_state;
  facts.fvar_broken = fvar_state == TableState::kBroken;
  facts.avar_broken = avar_state == TableState::kBroken;
  facts.stat_broken = stat_state == TableState::kBroken;
  if (fvar_state == TableState::kPresent) ReadFvar(fvar, facts, names);
  if (avar_state == TableState::kPresent) ReadAvar(avar, facts);
  if (stat_state == TableState::kPresent) ReadStat(stat, facts, names);
  return facts;
}

std::string FixedText(int32_t value) {
  const double number = value / 65536.0;
  char text[32];
  for (int decimals = 0; decimals <= 5; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, number);
    if (std::lround(std::strtod(text, nullptr) * 65536.0) == value) break;
  }
  std::string out = text;
  if (out == "-0") out = "0";
  return out;
}
