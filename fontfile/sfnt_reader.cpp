#include "fontfile/sfnt_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "platform/platform.h"

namespace {

// A table read either left the file, which ends the whole font, or gave its result.
enum class TableRead { kLeftFile, kNoMatch, kRead };

constexpr uint32_t kOffsetTableSize = 12;
constexpr uint32_t kDirectoryRecordSize = 16;
constexpr uint32_t kNameHeaderSize = 6;
constexpr uint32_t kNameRecordSize = 12;

constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kEncodingSymbol = 0;
constexpr uint16_t kEncodingUnicodeBmp = 1;
constexpr uint16_t kLanguageEnglishUs = 0x0409;

// The largest record text (a 16-bit length) and its conversion.
constexpr size_t kMaxNameUnits = 65535 / 2;
constexpr size_t kMaxConvertedBytes = 65536;
// No ANSI code page writes a UTF-16 unit as more than this (UTF-8 takes three).
constexpr size_t kMaxBytesPerUnit = 4;

TableRead Os2Table(ByteView view, uint32_t table, FontInfo& info) {
  uint16_t version = 0, weight = 0, width = 0, selection = 0;
  if (!ReadU16BE(view, table, 0, version) || !ReadU16BE(view, table, 4, weight) ||
      !ReadU16BE(view, table, 6, width) || !ReadU16BE(view, table, 62, selection))
    return TableRead::kLeftFile;
  info.type_name = LookupName(Os2VersionNames, version);
  info.width_name = LookupName(WidthNames, width);
  info.weight = weight;
  info.italic = selection & 0x0001 ? 1 : 0;
  info.underline = selection & 0x0002 ? 1 : 0;
  info.strike_out = selection & 0x0010 ? 1 : 0;
  return TableRead::kRead;
}

// One pass over the records for one Windows encoding; false when a read left the file.
bool StoreNamesOfEncoding(ByteView view, uint32_t table, uint16_t count, uint32_t storage,
                          uint16_t encoding, bool& matched, FontInfo& info) {
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t record = 0;
    if (!CheckedAdd(table, kNameHeaderSize + kNameRecordSize * i, record)) return false;
    uint16_t platform_id = 0, encoding_id = 0, language_id = 0, name_id = 0, length = 0,
             offset = 0;
    if (!ReadU16BE(view, record, 0, platform_id) || !ReadU16BE(view, record, 2, encoding_id) ||
        !ReadU16BE(view, record, 4, language_id) || !ReadU16BE(view, record, 6, name_id) ||
        !ReadU16BE(view, record, 8, length) || !ReadU16BE(view, record, 10, offset))
      return false;
    if (platform_id != kPlatformWindows || encoding_id != encoding ||
        language_id != kLanguageEnglishUs)
      continue;
    matched = true;
    if (length < 2) continue;  // nothing to store; the text is never looked at
    uint32_t text_offset = 0;
    if (!CheckedAdd(storage, offset, text_offset)) return false;
    std::optional<ByteView> text = SubView(view, text_offset, length);
    if (!text) return false;
    StoreName(*text, name_id, info);
  }
  return true;
}

TableRead NameTable(ByteView view, uint32_t table, FontInfo& info) {
  uint16_t count = 0, string_offset = 0;
  if (!ReadU16BE(view, table, 2, count) || !ReadU16BE(view, table, 4, string_offset))
    return TableRead::kLeftFile;
  uint32_t storage = 0;
  if (!CheckedAdd(table, string_offset, storage)) return TableRead::kLeftFile;
  bool matched = false;
  // Unicode records first, so that they win over symbol-encoded ones.
  if (!StoreNamesOfEncoding(view, table, count, storage, kEncodingUnicodeBmp, matched, info) ||
      !StoreNamesOfEncoding(view, table, count, storage, kEncodingSymbol, matched, info))
    return TableRead::kLeftFile;
  // The viewer asks the system for the font by its full name.
  if (!info.names[4] && info.names[1]) info.names[4] = info.names[1];
  return matched ? TableRead::kRead : TableRead::kNoMatch;
}

}  // namespace

void StoreName(ByteView text, uint16_t name_id, FontInfo& info) {
  uint16_t first = 0;
  if (!ReadU16BE(text, 0, 0, first) || first == 0) return;
  // Only empty slots up to id 20 take a text; nothing else is worth converting.
  if (name_id >= kFontNameCount || info.names[name_id]) return;
  // On the heap, sized to the text: the thumbnail may be drawn on a host thread
  // with a small stack. Room for the largest record's conversion, as always.
  // An odd last byte is dropped.
  const size_t count = std::min<size_t>(text.size / 2, kMaxNameUnits);
  std::vector<uint16_t> units(count);
  for (size_t i = 0; i < count; ++i)
    if (!ReadU16BE(text, static_cast<uint32_t>(2 * i), 0, units[i])) return;
  std::string converted(std::min(kMaxConvertedBytes, kMaxBytesPerUnit * count), '\0');
  size_t produced = ConvertUtf16ToAnsi(units.data(), count, converted.data(), converted.size());
  // A stored text is zero-terminated: an embedded zero ends it.
  converted.resize(strnlen(converted.data(), produced));
  info.names[name_id] = std::move(converted);
}

int ReadOs2Table(ByteView view, uint32_t table, FontInfo& info) {
  return Os2Table(view, table, info) == TableRead::kRead ? 1 : 0;
}

int ReadNameTable(ByteView view, uint32_t table, FontInfo& info) {
  return NameTable(view, table, info) == TableRead::kRead ? 1 : 0;
}

int ReadSfnt(ByteView view, uint32_t start, FontInfo& info) {
  if (view.size < kOffsetTableSize) return 0;
  uint32_t version = 0;
  uint16_t table_count = 0;
  if (!ReadU32BE(view, start, 0, version) || !ReadU16BE(view, start, 4, table_count)) return 0;
  if (version != 0x00010000 && !ReadTagIs(view, start, 0, "OTTO")) return 0;
  if (table_count == 0) return 0;

  int successes = 0;
  int result = 0;
  for (uint32_t i = 0; i < table_count && successes < 2; ++i) {
    uint32_t record = 0;
    if (!CheckedAdd(start, kOffsetTableSize + kDirectoryRecordSize * i, record)) return 0;
    uint32_t table = 0;
    if (!SubView(view, record, kDirectoryRecordSize) || !ReadU32BE(view, record, 8, table))
      return 0;
    TableRead read;
    if (ReadTagIs(view, record, 0, "OS/2")) read = Os2Table(view, table, info);
    else if (ReadTagIs(view, record, 0, "name")) read = NameTable(view, table, info);
    else continue;
    if (read == TableRead::kLeftFile) return 0;
    // The most recent table read decides, as the directory order puts it.
    result = read == TableRead::kRead ? 1 : 0;
    successes += result;
  }
  if (result) ReadSfntCharacterMap(view, start, info.coverage);
  return result;
}

uint32_t CollectionFaceCount(ByteView view) {
  uint32_t font_count = 0;
  if (view.size < 12 || !ReadTagIs(view, 0, 0, "ttcf") || !ReadU32BE(view, 0, 8, font_count))
    return 0;
  return std::min(font_count, (view.size - 12) / 4);
}

int ReadCollection(ByteView view, FontInfo& info, uint32_t face) {
  const uint32_t face_count = CollectionFaceCount(view);
  if (face_count == 0) return 0;
  // The count is kept even for a face out of range: callers learn what they may ask.
  info.face_count = face_count;
  if (face >= face_count) return 0;
  info.face = face;
  uint32_t start = 0;
  if (!ReadU32BE(view, 12, 4 * face, start)) return 0;
  return ReadSfnt(view, start, info);
}
