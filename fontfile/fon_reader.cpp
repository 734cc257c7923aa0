#include "fontfile/fon_reader.h"

#include <algorithm>
#include <optional>
#include <string>

#include "fontfile/font_header.h"

namespace {

constexpr uint32_t kMinFonSize = 128;
constexpr uint32_t kNewHeaderOffset = 0x3C;     // in the old (MZ) header
constexpr uint32_t kResourceTableOffset = 0x24;  // in the NE header, from it
constexpr uint32_t kNonResidentNames = 0x2C;     // in the NE header, from the file

constexpr uint32_t kTypeEntryHeaderSize = 8;
constexpr uint32_t kResourceEntrySize = 12;
constexpr uint16_t kTypeFontDirectory = 7;
constexpr uint16_t kTypeFont = 8;

struct TypeEntry {
  uint32_t position = 0;
  uint16_t count = 0;
};

bool IsMagic(ByteView view, uint32_t base, char first, char second) {
  uint8_t a = 0, b = 0;
  return ReadU8(view, base, 0, a) && ReadU8(view, base, 1, b) && a == static_cast<uint8_t>(first) &&
         b == static_cast<uint8_t>(second);
}

// "RES 96,96 : Demo Sans 8,10" names the face after the colon and its blanks.
std::string CutDescription(const std::string& description) {
  size_t colon = description.find(':');
  if (colon == std::string::npos) return description;
  size_t start = colon + 1;
  while (start < description.size() && description[start] == ' ') ++start;
  return description.substr(start);
}

// File offset of the data of the first resource of a type entry; nothing when
// the entry lists none or the shifted offset leaves 32 bits.
std::optional<uint32_t> FirstResourceData(ByteView view, const TypeEntry& entry, uint16_t shift) {
  if (entry.count == 0) return std::nullopt;
  uint16_t data_offset = 0;
  uint32_t data = 0;
  if (!ReadU16LE(view, entry.position, kTypeEntryHeaderSize, data_offset) ||
      !CheckedShift(data_offset, shift, data))
    return std::nullopt;
  return data;
}

}  // namespace

int ReadFon(ByteView view, FontInfo& info) {
  if (view.size < kMinFonSize) return 0;
  if (!IsMagic(view, 0, 'M', 'Z')) return 0;
  uint32_t ne = 0;
  if (!ReadU32LE(view, 0, kNewHeaderOffset, ne) || !IsMagic(view, ne, 'N', 'E')) return 0;

  uint32_t names = 0;
  uint8_t length = 0;
  uint32_t text = 0;
  std::string description;
  if (!ReadU32LE(view, ne, kNonResidentNames, names) || !ReadU8(view, names, 0, length) ||
      !CheckedAdd(names, 1, text) || !ReadBytes(view, text, length, description))
    return 0;
  // A stored text is zero-terminated: an embedded zero ends it.
  description.resize(std::min(description.size(), description.find('\0')));
  info.names[kNameDescription] = CutDescription(description);

  uint16_t table_offset = 0;
  uint32_t table = 0;
  if (!ReadU16LE(view, ne, kResourceTableOffset, table_offset) ||
      !CheckedAdd(ne, table_offset, table))
    return 0;
  return ReadFonResources(view, table, info);
}

int ReadFonResources(ByteView view, uint32_t resource_table, FontInfo& info) {
  uint16_t shift = 0;
  if (!ReadU16LE(view, resource_table, 0, shift)) return 0;

  // Each entry is read before it is passed, so the walk ends within the file.
  std::optional<TypeEntry> directory, font;
  uint32_t entry = 0;
  if (!CheckedAdd(resource_table, 2, entry)) return 0;
  for (;;) {
    uint16_t type_id = 0, count = 0;
    if (!ReadU16LE(view, entry, 0, type_id)) return 0;
    if (type_id == 0) break;
    if (!ReadU16LE(view, entry, 2, count)) return 0;
    uint16_t type = type_id & 0x7FFF;
    if (type == kTypeFontDirectory) directory = TypeEntry{entry, count};
    if (type == kTypeFont) font = TypeEntry{entry, count};
    if (!CheckedAdd(entry, kTypeEntryHeaderSize + kResourceEntrySize * count, entry)) return 0;
  }
  if (!directory || !font) return 0;

  std::optional<uint32_t> directory_data = FirstResourceData(view, *directory, shift);
  uint16_t font_count = 0;
  if (!directory_data || !ReadU16LE(view, *directory_data, 0, font_count) || font_count == 0)
    return 0;

  std::optional<uint32_t> header = FirstResourceData(view, *font, shift);
  uint16_t version = 0;
  if (!header || !ReadU16LE(view, *header, 0, version)) return 0;
  // 0x0300 headers (Windows 3.0 fonts) share the fields read here.
  if (version != 0x0100 && version != 0x0200 && version != 0x0300) return 0;

  uint32_t after_face = 0;
  return StoreFontHeader(view, *header, "Vector", "Raster", info, after_face) ? 1 : 0;
}
