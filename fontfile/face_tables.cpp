#include "fontfile/face_tables.h"

#include <cstring>
#include <vector>

#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"
#include "platform/platform.h"

namespace {

// A record's UTF-16BE text in the ANSI code page; an odd last byte is dropped.
FontText Utf16Text(ByteView text) {
  const size_t count = text.size / 2;
  std::vector<uint16_t> units(count);
  for (size_t i = 0; i < count; ++i)
    if (!ReadU16BE(text, static_cast<uint32_t>(2 * i), 0, units[i])) return std::nullopt;
  std::string converted(4 * count + 1, '\0');
  const size_t produced =
      ConvertUtf16ToAnsi(units.data(), count, converted.data(), converted.size());
  converted.resize(strnlen(converted.data(), produced));
  return converted;
}

// Macintosh Roman: its ASCII part as it is, anything else as '?'.
FontText MacRomanText(ByteView text) {
  std::string out;
  for (uint32_t i = 0; i < text.size; ++i) {
    uint8_t byte = 0;
    ReadU8(text, i, 0, byte);
    if (byte == 0) break;
    out += byte < 0x80 ? static_cast<char>(byte) : '?';
  }
  return out;
}

}  // namespace

std::optional<std::string> ReadTag(ByteView view, uint32_t base, uint32_t field) {
  uint32_t value = 0;
  if (!ReadU32BE(view, base, field, value)) return std::nullopt;
  return PrintableTag(value);
}

std::string PrintableTag(uint32_t value) {
  std::string tag(4, ' ');
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(value >> (24 - 8 * i));
    tag[i] = c >= 0x20 && c < 0x7F ? c : '?';
  }
  return tag;
}

NameIndex IndexNames(ByteView table) {
  NameIndex index;
  index.table = table;
  index.text_budget = 2 * uint64_t{table.size} + 65536;
  uint16_t count = 0, storage = 0;
  if (!ReadU16BE(table, 0, 2, count) || !ReadU16BE(table, 0, 4, storage)) return index;
  index.storage = storage;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t record = kNameHeaderSize + kNameRecordSize * i;
    uint16_t platform = 0, encoding = 0, language = 0, name_id = 0, length = 0, offset = 0;
    if (!ReadU16BE(table, record, 0, platform) || !ReadU16BE(table, record, 2, encoding) ||
        !ReadU16BE(table, record, 4, language) || !ReadU16BE(table, record, 6, name_id) ||
        !ReadU16BE(table, record, 8, length) || !ReadU16BE(table, record, 10, offset))
      break;
    // Lower is better.
    int rank = 0;
    if (platform == 3 && (encoding == 1 || encoding == 10)) rank = language == 0x0409 ? 0 : 1;
    else if (platform == 1 && encoding == 0 && language == 0) rank = 2;
    else continue;
    auto [it, added] = index.best.try_emplace(name_id, NameIndex::Record{rank, length, offset});
    if (!added && rank < it->second.rank) it->second = NameIndex::Record{rank, length, offset};
  }
  return index;
}

std::optional<std::u16string> NameUtf16(const NameIndex& index, uint16_t id) {
  const auto found = index.best.find(id);
  if (found == index.best.end()) return std::nullopt;
  const NameIndex::Record record = found->second;
  const std::optional<ByteView> bytes =
      SubView(index.table, index.storage + record.offset, record.length);
  if (!bytes) return std::nullopt;
  std::u16string text;
  if (record.rank == 2) {
    const FontText ascii = MacRomanText(*bytes);
    for (const char c : *ascii) text += static_cast<char16_t>(c);
    return text;
  }
  for (uint32_t i = 0; i + 1 < bytes->size; i += 2) {
    uint16_t unit = 0;
    ReadU16BE(*bytes, i, 0, unit);
    text += static_cast<char16_t>(unit);
  }
  return text;
}

FontText NameText(NameIndex& index, uint16_t id) {
  if (auto done = index.converted.find(id); done != index.converted.end()) return done->second;
  auto found = index.best.find(id);
  if (found == index.best.end()) return std::nullopt;
  const NameIndex::Record record = found->second;
  FontText text;
  std::optional<ByteView> bytes = SubView(index.table, index.storage + record.offset, record.length);
  if (bytes && index.text_budget >= bytes->size) {
    index.text_budget -= bytes->size;
    text = record.rank == 2 ? MacRomanText(*bytes) : Utf16Text(*bytes);
  }
  index.converted.emplace(id, text);
  return text;
}
