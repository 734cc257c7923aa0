// The sfnt table directory and the collection header, walked by one set of
// rules for every reader: the names and style facts, the character map, and the
// check made before a font is handed to the system's font engine.
//
// - A font the readers take starts with the version 0x00010000 (TrueType
//   outlines) or "OTTO" (CFF outlines), the two the system takes; "true" and
//   every other tag are not fonts here.
// - Its directory, 12 + 16 x count bytes, lies wholly inside the file.
// - A collection ("ttcf") names at least one font and holds an offset for each
//   inside the file; a count the file cannot hold is refused whole, as the
//   system's engine refuses it, rather than cut to the offsets there are.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "fontfile/byte_reader.h"

constexpr uint32_t kOffsetTableSize = 12;
constexpr uint32_t kTableRecordSize = 16;
// The name table: a 6-byte header (format 0), then its records.
constexpr uint32_t kNameHeaderSize = 6;
constexpr uint32_t kNameRecordSize = 12;

struct SfntDirectory {
  uint32_t start = 0;        // the offset table
  uint16_t table_count = 0;  // records, every one inside the file
};

struct TableRecord {
  uint32_t offset = 0;  // from the file's start
  uint32_t length = 0;  // as the record says: the readers bound it themselves
};

// The directory of the font at `start`, whatever its version; false when it
// leaves the file.
bool ReadSfntDirectory(ByteView view, uint32_t start, SfntDirectory& directory);

// Whether the font at `start` carries a version the readers take.
bool IsSfntVersion(ByteView view, uint32_t start);

// Both: the directory of a font the readers take.
bool OpenSfntFont(ByteView view, uint32_t start, SfntDirectory& directory);

// Record `index` (below table_count) of an opened directory.
bool TableTagIs(ByteView view, const SfntDirectory& directory, uint32_t index,
                const char (&tag)[5]);
TableRecord TableAt(ByteView view, const SfntDirectory& directory, uint32_t index);

// The first record with `tag`, if there is one.
std::optional<TableRecord> FindTable(ByteView view, const SfntDirectory& directory,
                                     const char (&tag)[5]);

// The fonts of a "ttcf" collection; 0 for a file that is no collection, and for
// one whose count is 0 or more than the offsets it holds.
uint32_t CollectionFaceCount(ByteView view);

// Where face `face` (below CollectionFaceCount) starts.
bool CollectionFaceStart(ByteView view, uint32_t face, uint32_t& start);

// For each face of a collection, the first face that is the same font: one at
// the same offset, or one whose directory lists the same tables at the same
// places (a WOFF2 collection's decoder writes a directory for every face). Such
// faces are read once and listed once. The directories compared are charged to
// a budget of the file's size; past it, faces are told apart by their offsets
// alone. Linear in the faces; empty for a file that is no collection.
// `records`, when given, receives the directory records read to tell them apart.
std::vector<uint32_t> CollectionFaceOrigins(ByteView view, uint64_t* records = nullptr);
// The same with the directories the caller has walked: `directory_at` gives the
// directory at an offset table, nothing where none lies inside the view.
using DirectoryAt = std::function<std::optional<SfntDirectory>(uint32_t start)>;
std::vector<uint32_t> CollectionFaceOrigins(ByteView view, const DirectoryAt& directory_at,
                                            uint64_t* records = nullptr);

// A pre-flight check: some font engines read a table wherever its directory
// record points and fault (or hang the process's font calls) on a record that
// points outside the file. Whether every table record of every font in an sfnt
// file or collection lies inside the file, outside the headers that lead to it.
// Every font of a collection is checked whatever its version: the system may
// read a face the readers refuse. Files that are not sfnt containers pass:
// other formats are not checked here.
bool SfntTablesInsideFile(ByteView view);
// The same check, handing `visit` each directory it walks (a face whose offset
// an earlier face shares is charged again but not walked again). A walk stops at
// the first directory that fails, so later faces may go unvisited.
using DirectoryVisit = std::function<void(uint32_t start, const SfntDirectory& directory)>;
bool SfntTablesInsideFile(ByteView view, const DirectoryVisit& visit);
// The same check of a file of `file_size` bytes from its first bytes alone
// (`head`): nothing when a collection header or a directory lies past them.
std::optional<bool> SfntTablesInsideFile(ByteView head, uint32_t file_size);
