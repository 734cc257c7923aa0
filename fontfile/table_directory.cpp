#include "fontfile/table_directory.h"

#include <unordered_map>
#include <unordered_set>

#include "platform/platform.h"

namespace {

constexpr uint32_t kCollectionHeaderSize = 12;

// No real collection comes near this many table records in all; a file that
// claims more is refused rather than walked for minutes.
constexpr uint32_t kMaxRecords = 1u << 20;

uint32_t RecordAt(const SfntDirectory& directory, uint32_t index) {
  return directory.start + kOffsetTableSize + kTableRecordSize * index;
}

// Whether [offset, offset + length) and [begin, end) share a byte.
bool Overlaps(uint32_t offset, uint32_t length, uint32_t begin, uint32_t end) {
  if (length == 0 || offset >= end) return false;
  return offset >= begin || begin - offset < length;
}

// One font's directory at `start`, after a collection header that ends at
// `header_end` (0 for a lone font); `budget` counts down the records still allowed.
// A table must lie in the file of `file_size` bytes, of which `view` holds the
// first ones, and outside the headers that lead to it. `beyond` is set when the
// directory lies past the view in a file that goes on.
bool DirectoryInside(ByteView view, uint32_t file_size, uint32_t start, uint32_t header_end,
                     uint32_t& budget, bool& beyond, const DirectoryVisit* visit) {
  SfntDirectory directory;
  if (!ReadSfntDirectory(view, start, directory)) {
    beyond = view.size < file_size;
    return false;
  }
  if (directory.table_count > budget) return false;
  budget -= directory.table_count;
  if (visit && *visit) (*visit)(start, directory);
  const uint32_t directory_end = RecordAt(directory, directory.table_count);
  for (uint32_t i = 0; i < directory.table_count; ++i) {
    const TableRecord table = TableAt(view, directory, i);
    if (table.offset > file_size || table.length > file_size - table.offset) return false;
    if (Overlaps(table.offset, table.length, start, directory_end) ||
        Overlaps(table.offset, table.length, 0, header_end))
      return false;
  }
  return true;
}

// A directory's version and records without their checksums, hashed (FNV-1a).
uint64_t DirectoryKey(ByteView view, const SfntDirectory& directory) {
  uint64_t hash = 0xCBF29CE484222325u;
  auto mix = [&hash](uint32_t value) {
    for (int i = 0; i < 4; ++i) hash = (hash ^ (value >> (8 * i) & 0xFF)) * 0x100000001B3u;
  };
  uint32_t version = 0;
  ReadU32BE(view, directory.start, 0, version);
  mix(version);
  for (uint32_t i = 0; i < directory.table_count; ++i) {
    uint32_t tag = 0;
    ReadU32BE(view, RecordAt(directory, i), 0, tag);
    const TableRecord table = TableAt(view, directory, i);
    mix(tag);
    mix(table.offset);
    mix(table.length);
  }
  return hash;
}

// Whether two directories list the same tables at the same places, in order.
bool SameTables(ByteView view, const SfntDirectory& a, const SfntDirectory& b) {
  if (a.table_count != b.table_count) return false;
  uint32_t version_a = 0, version_b = 0;
  ReadU32BE(view, a.start, 0, version_a);
  ReadU32BE(view, b.start, 0, version_b);
  if (version_a != version_b) return false;
  for (uint32_t i = 0; i < a.table_count; ++i) {
    uint32_t tag_a = 0, tag_b = 0;
    ReadU32BE(view, RecordAt(a, i), 0, tag_a);
    ReadU32BE(view, RecordAt(b, i), 0, tag_b);
    const TableRecord ta = TableAt(view, a, i), tb = TableAt(view, b, i);
    if (tag_a != tag_b || ta.offset != tb.offset || ta.length != tb.length) return false;
  }
  return true;
}

bool TablesInside(ByteView view, uint32_t file_size, bool& beyond,
                  const DirectoryVisit* visit = nullptr) {
  uint32_t budget = kMaxRecords;
  if (IsSfntVersion(view, 0))
    return DirectoryInside(view, file_size, 0, 0, budget, beyond, visit);
  if (!ReadTagIs(view, 0, 0, "ttcf")) return true;
  const uint32_t count = CollectionFaceCount(view);
  if (count == 0) {
    beyond = view.size < file_size;  // the offsets may go on past the view
    return false;
  }
  const uint32_t header_end = kCollectionHeaderSize + 4 * count;
  // Faces that share an offset share their directory: it is checked once.
  std::unordered_set<uint32_t> checked;
  for (uint32_t face = 0; face < count; ++face) {
    uint32_t start = 0;
    if (!CollectionFaceStart(view, face, start)) return false;
    if (!checked.insert(start).second) continue;
    if (!DirectoryInside(view, file_size, start, header_end, budget, beyond, visit))
      return false;
  }
  return true;
}

}  // namespace

bool ReadSfntDirectory(ByteView view, uint32_t start, SfntDirectory& directory) {
  ModuleReadCounts().directory_walks.fetch_add(1, std::memory_order_relaxed);
  uint16_t count = 0;
  if (!ReadU16BE(view, start, 4, count)) return false;
  uint32_t end = 0;
  if (!CheckedAdd(start, kOffsetTableSize + kTableRecordSize * count, end) ||
      !InBounds(view, start, end - start))
    return false;
  directory = SfntDirectory{start, count};
  return true;
}

bool IsSfntVersion(ByteView view, uint32_t start) {
  uint32_t version = 0;
  if (!ReadU32BE(view, start, 0, version)) return false;
  return version == 0x00010000 || ReadTagIs(view, start, 0, "OTTO");
}

bool OpenSfntFont(ByteView view, uint32_t start, SfntDirectory& directory) {
  return IsSfntVersion(view, start) && ReadSfntDirectory(view, start, directory);
}

bool TableTagIs(ByteView view, const SfntDirectory& directory, uint32_t index,
                const char (&tag)[5]) {
  return ReadTagIs(view, RecordAt(directory, index), 0, tag);
}

TableRecord TableAt(ByteView view, const SfntDirectory& directory, uint32_t index) {
  // Inside the file: the directory was read whole.
  TableRecord table;
  ReadU32BE(view, RecordAt(directory, index), 8, table.offset);
  ReadU32BE(view, RecordAt(directory, index), 12, table.length);
  return table;
}

std::optional<TableRecord> FindTable(ByteView view, const SfntDirectory& directory,
                                     const char (&tag)[5]) {
  for (uint32_t i = 0; i < directory.table_count; ++i)
    if (TableTagIs(view, directory, i, tag)) return TableAt(view, directory, i);
  return std::nullopt;
}

uint32_t CollectionFaceCount(ByteView view) {
  uint32_t count = 0;
  if (view.size < kCollectionHeaderSize || !ReadTagIs(view, 0, 0, "ttcf") ||
      !ReadU32BE(view, 0, 8, count))
    return 0;
  return count <= (view.size - kCollectionHeaderSize) / 4 ? count : 0;
}

bool CollectionFaceStart(ByteView view, uint32_t face, uint32_t& start) {
  return face < CollectionFaceCount(view) &&
         ReadU32BE(view, kCollectionHeaderSize, 4 * face, start);
}

std::vector<uint32_t> CollectionFaceOrigins(ByteView view, uint64_t* records_read) {
  return CollectionFaceOrigins(
      view,
      [view](uint32_t start) -> std::optional<SfntDirectory> {
        SfntDirectory directory;
        if (!ReadSfntDirectory(view, start, directory)) return std::nullopt;
        return directory;
      },
      records_read);
}

std::vector<uint32_t> CollectionFaceOrigins(ByteView view, const DirectoryAt& directory_at,
                                            uint64_t* records_read) {
  const uint32_t count = CollectionFaceCount(view);
  std::vector<uint32_t> origins(count), starts(count);
  std::unordered_map<uint32_t, uint32_t> by_start;
  std::unordered_multimap<uint64_t, uint32_t> by_tables;
  // Each record hashed once, and compared once more where two hashes meet.
  ReadBudget records{2 * (uint64_t{view.size} / kTableRecordSize) + 64};
  for (uint32_t face = 0; face < count; ++face) {
    origins[face] = face;
    uint32_t start = 0;
    if (!CollectionFaceStart(view, face, start)) continue;
    starts[face] = start;
    const auto [seen, added] = by_start.emplace(start, face);
    if (!added) {
      // The face first read there may itself be one font with an earlier face.
      origins[face] = origins[seen->second];
      continue;
    }
    const std::optional<SfntDirectory> walked = directory_at(start);
    if (!walked || !records.Spend(walked->table_count)) continue;
    const SfntDirectory& directory = *walked;
    const uint64_t key = DirectoryKey(view, directory);
    const auto [first, last] = by_tables.equal_range(key);
    bool same = false;
    for (auto it = first; it != last && !same; ++it) {
      if (!records.Spend(directory.table_count)) break;
      const std::optional<SfntDirectory> other = directory_at(starts[it->second]);
      same = other && SameTables(view, directory, *other);
      if (same) origins[face] = it->second;
    }
    if (!same) by_tables.emplace(key, face);
  }
  if (records_read) *records_read = records.spent;
  return origins;
}

bool SfntTablesInsideFile(ByteView view) {
  bool beyond = false;
  return TablesInside(view, view.size, beyond);
}

bool SfntTablesInsideFile(ByteView view, const DirectoryVisit& visit) {
  bool beyond = false;
  return TablesInside(view, view.size, beyond, &visit);
}

std::optional<bool> SfntTablesInsideFile(ByteView head, uint32_t file_size) {
  // The kind of file is told by its first four bytes.
  if (head.size > file_size || (head.size < 4 && head.size < file_size)) return std::nullopt;
  bool beyond = false;
  const bool inside = TablesInside(head, file_size, beyond);
  if (beyond) return std::nullopt;
  return inside;
}
