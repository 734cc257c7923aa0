#include "fontfile/sfnt_reader.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "platform/platform.h"

namespace {

// A table read either left the file, which ends the whole font, or gave its result.
enum class TableRead { kLeftFile, kNoMatch, kRead };

constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kEncodingSymbol = 0;
constexpr uint16_t kEncodingUnicodeBmp = 1;
constexpr uint16_t kLanguageEnglishUs = 0x0409;

// The largest record text (a 16-bit length) and its conversion.
constexpr size_t kMaxNameUnits = 65535 / 2;
constexpr size_t kMaxConvertedBytes = 65536;
// No ANSI code page writes a UTF-16 unit as more than this (UTF-8 takes three).
constexpr size_t kMaxBytesPerUnit = 4;

// Which names a name-table read stores, and how much of each it converts.
struct NameLimits {
  uint32_t ids = 0;  // a bit per name id
  size_t max_units = 0;
};
constexpr NameLimits kEveryName{(1u << kFontNameCount) - 1, kMaxNameUnits};
// The face selector's: the full name and the family name that stands in for it,
// no more of either than the list shows.
constexpr NameLimits kFaceNames{1u << kNameFull | 1u << kNameFamily, kMaxFaceNameLength};

constexpr const char* kCutMark = "...";

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

// Converts the text into the empty slot of `name_id` when the limits keep that
// id. A text longer than max_units units is cut to leave room for the cut mark.
void StoreLimitedName(ByteView text, uint16_t name_id, const NameLimits& limits, FontInfo& info) {
  uint16_t first = 0;
  if (!ReadU16BE(text, 0, 0, first) || first == 0) return;
  // Only empty slots up to id 20 take a text; nothing else is worth converting.
  if (name_id >= kFontNameCount || !(limits.ids >> name_id & 1) || info.names[name_id]) return;
  // On the heap, sized to the text: the thumbnail may be drawn on a host thread
  // with a small stack. Room for the largest record's conversion, as always.
  // An odd last byte is dropped.
  size_t count = std::min<size_t>(text.size / 2, kMaxNameUnits);
  const bool cut = count > limits.max_units;
  if (cut) count = limits.max_units - std::strlen(kCutMark);
  std::vector<uint16_t> units(count);
  for (size_t i = 0; i < count; ++i)
    if (!ReadU16BE(text, static_cast<uint32_t>(2 * i), 0, units[i])) return;
  // A cut never leaves half of a surrogate pair.
  if (cut && count && units[count - 1] >= 0xD800 && units[count - 1] <= 0xDBFF) --count;
  std::string converted(std::min(kMaxConvertedBytes, kMaxBytesPerUnit * count), '\0');
  size_t produced = ConvertUtf16ToAnsi(units.data(), count, converted.data(), converted.size());
  // A stored text is zero-terminated: an embedded zero ends it.
  converted.resize(strnlen(converted.data(), produced));
  if (cut) converted += kCutMark;
  info.names[name_id] = std::move(converted);
}

// One pass over the records for one Windows encoding; false when a read left the file.
bool StoreNamesOfEncoding(ByteView view, uint32_t table, uint16_t count, uint32_t storage,
                          uint16_t encoding, const NameLimits& limits, bool& matched,
                          FontInfo& info) {
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
    StoreLimitedName(*text, name_id, limits, info);
  }
  return true;
}

TableRead NameTable(ByteView view, uint32_t table, const NameLimits& limits, FontInfo& info) {
  uint16_t count = 0, string_offset = 0;
  if (!ReadU16BE(view, table, 2, count) || !ReadU16BE(view, table, 4, string_offset))
    return TableRead::kLeftFile;
  uint32_t storage = 0;
  if (!CheckedAdd(table, string_offset, storage)) return TableRead::kLeftFile;
  bool matched = false;
  // Unicode records first, so that they win over symbol-encoded ones.
  if (!StoreNamesOfEncoding(view, table, count, storage, kEncodingUnicodeBmp, limits, matched,
                            info) ||
      !StoreNamesOfEncoding(view, table, count, storage, kEncodingSymbol, limits, matched, info))
    return TableRead::kLeftFile;
  // The viewer asks the system for the font by its full name.
  if (!info.names[kNameFull] && info.names[kNameFamily])
    info.names[kNameFull] = info.names[kNameFamily];
  return matched ? TableRead::kRead : TableRead::kNoMatch;
}

// A thumbnail's: the full name to ask the system for and the family name it
// writes, whole.
constexpr NameLimits kSampleNames{1u << kNameFull | 1u << kNameFamily, kMaxNameUnits};

// The OS/2 and name tables of the font at `start`, in directory order, until
// both have been read; 1 when the last table read succeeded. `fetch` gives the
// bytes a table is read from: the file's own view, or the table read apart
// from the file (nothing: the read fails).
template <typename Fetch>
int ReadSfntTablesIn(ByteView view, const SfntDirectory& directory, const NameLimits& limits,
                     FontInfo& info, const Fetch& fetch) {
  if (directory.table_count == 0) return 0;
  int successes = 0;
  int result = 0;
  for (uint32_t i = 0; i < directory.table_count && successes < 2; ++i) {
    const bool os2 = TableTagIs(view, directory, i, "OS/2");
    if (!os2 && !TableTagIs(view, directory, i, "name")) continue;
    const std::optional<TablePlace> place = fetch(TableAt(view, directory, i));
    if (!place) return 0;
    const TableRead read = os2 ? Os2Table(place->view, place->offset, info)
                               : NameTable(place->view, place->offset, limits, info);
    if (read == TableRead::kLeftFile) return 0;
    // The most recent table read decides, as the directory order puts it.
    result = read == TableRead::kRead ? 1 : 0;
    successes += result;
  }
  return result;
}

template <typename Fetch>
int ReadSfntTablesFrom(ByteView view, uint32_t start, const NameLimits& limits, FontInfo& info,
                       const Fetch& fetch) {
  SfntDirectory directory;
  if (!OpenSfntFont(view, start, directory)) return 0;
  return ReadSfntTablesIn(view, directory, limits, info, fetch);
}

int ReadSfntTablesIn(ByteView view, const SfntDirectory& directory, const NameLimits& limits,
                     FontInfo& info) {
  return ReadSfntTablesIn(view, directory, limits, info, [&](const TableRecord& table) {
    return std::optional<TablePlace>(TablePlace{view, table.offset});
  });
}

int ReadSfntTables(ByteView view, uint32_t start, const NameLimits& limits, FontInfo& info) {
  SfntDirectory directory;
  if (!OpenSfntFont(view, start, directory)) return 0;
  return ReadSfntTablesIn(view, directory, limits, info);
}

// What the selector lists of the face at `start`.
FaceName ReadFaceName(ByteView view, uint32_t start) {
  SfntDirectory directory;
  if (!OpenSfntFont(view, start, directory)) return {};
  return ReadListedFaceName(view, directory);
}

}  // namespace

void StoreName(ByteView text, uint16_t name_id, FontInfo& info) {
  StoreLimitedName(text, name_id, kEveryName, info);
}

int ReadOs2Table(ByteView view, uint32_t table, FontInfo& info) {
  return Os2Table(view, table, info) == TableRead::kRead ? 1 : 0;
}

int ReadNameTable(ByteView view, uint32_t table, FontInfo& info) {
  return NameTable(view, table, kEveryName, info) == TableRead::kRead ? 1 : 0;
}

int ReadSfntSampleTables(ByteView view, uint32_t start, const TableFetch& fetch,
                         FontInfo& info) {
  return ReadSfntTablesFrom(view, start, kSampleNames, info, fetch);
}

int ReadSfnt(ByteView view, uint32_t start, FontInfo& info, const ReadOptions& options) {
  SfntDirectory directory;
  if (!OpenSfntFont(view, start, directory)) return 0;
  return ReadSfntFace(view, directory, info, options);
}

int ReadSfntFace(ByteView view, const SfntDirectory& directory, FontInfo& info,
                 const ReadOptions& options) {
  const int result = ReadSfntTablesIn(view, directory, kEveryName, info);
  if (result) ReadFaceCharacterMap(view, directory, info.coverage, options.map, options.cache);
  return result;
}

FaceName ReadListedFaceName(ByteView view, const SfntDirectory& directory) {
  FontInfo info;
  FaceName face;
  face.readable = ReadSfntTablesIn(view, directory, kFaceNames, info) != 0;
  face.name = info.names[kNameFull].value_or(std::string());
  return face;
}

int ReadCollection(ByteView view, FontInfo& info, uint32_t face, const ReadOptions& options) {
  const uint32_t face_count = CollectionFaceCount(view);
  if (face_count == 0) return 0;
  // The count is kept even for a face out of range: callers learn what they may ask.
  info.face_count = face_count;
  if (face >= face_count) return 0;
  info.face = face;
  uint32_t start = 0;
  if (!CollectionFaceStart(view, face, start)) return 0;
  return ReadSfnt(view, start, info, options);
}

std::vector<FaceName> ReadCollectionFaceNames(ByteView view) {
  // A hostile header may point many faces at one font: it is read and listed once.
  const std::vector<uint32_t> origins = CollectionFaceOrigins(view);
  std::vector<FaceName> faces;
  for (uint32_t face = 0; face < origins.size() && faces.size() < kMaxListedFaces; ++face) {
    uint32_t start = 0;
    if (origins[face] != face) continue;
    if (!CollectionFaceStart(view, face, start)) break;
    faces.push_back(ReadFaceName(view, start));
    faces.back().face = face;
  }
  return faces;
}

std::optional<uint32_t> FirstReadableFace(ByteView view) {
  const uint32_t count = std::min(CollectionFaceCount(view), kMaxListedFaces);
  std::set<uint32_t> broken;
  for (uint32_t face = 0; face < count; ++face) {
    uint32_t start = 0;
    if (!CollectionFaceStart(view, face, start)) break;
    if (broken.count(start)) continue;
    FontInfo info;
    if (ReadSfntTables(view, start, kFaceNames, info)) return face;
    broken.insert(start);
  }
  return std::nullopt;
}
