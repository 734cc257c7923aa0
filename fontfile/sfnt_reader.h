// TrueType and OpenType fonts (the sfnt container) and TrueType collections:
// the OS/2 table's version, weight, width and style bits and the Windows
// English names of the name table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"
#include "fontfile/table_directory.h"

// The font whose offset table lies at `start`. 1 when recognised and read.
int ReadSfnt(ByteView view, uint32_t start, FontInfo& info, const ReadOptions& options = {});

// The same for a face whose directory the caller has walked (an sfnt version
// the readers take, its records inside `view`).
int ReadSfntFace(ByteView view, const SfntDirectory& directory, FontInfo& info,
                 const ReadOptions& options = {});

// Face `face` (0-based) of a "ttcf" collection; sets face and face_count. A face
// out of range reads nothing but the count. Each face is read alone: a broken one leaves
// the others readable.
int ReadCollection(ByteView view, FontInfo& info, uint32_t face = 0,
                   const ReadOptions& options = {});

// The OS/2 table at `table`: 1, or 0 when its fields leave the file.
int ReadOs2Table(ByteView view, uint32_t table, FontInfo& info);

// The name table at `table`: 1 when a record for Windows, Unicode or symbol
// encoding, US English matched; 0 when none did or a read left the file.
int ReadNameTable(ByteView view, uint32_t table, FontInfo& info);

// Converts one record's UTF-16BE text and stores it in the empty slot of its
// name id (ids above 20 are dropped).
void StoreName(ByteView text, uint16_t name_id, FontInfo& info);

// Where a read finds a table's bytes: `view` holds the table at `offset`.
struct TablePlace {
  ByteView view;
  uint32_t offset = 0;
};
// The bytes of a table of a file that is not read whole; nothing when they
// cannot be had.
using TableFetch = std::function<std::optional<TablePlace>(const TableRecord&)>;

// What ReadSfnt reads of the OS/2 and name tables of the font at `start` of
// `view` (which holds its directory), of the names only the full and family
// names: what a thumbnail writes. Each table is read where `fetch` puts it, and
// the read fails when it puts one nowhere.
int ReadSfntSampleTables(ByteView view, uint32_t start, const TableFetch& fetch,
                         FontInfo& info);

// ---- The face selector's list --------------------------------------------------

// Far more faces than any real collection holds: a hostile count is not listed whole.
constexpr uint32_t kMaxListedFaces = 1024;
// A face name longer than this many characters is cut to fit a list, ending in
// "...": full names of real faces stay well below it.
constexpr size_t kMaxFaceNameLength = 64;

struct FaceName {
  uint32_t face = 0;      // its number in the collection
  bool readable = false;  // ReadCollection reads this face
  std::string name;       // its full name (else its family name), cut; may be empty
};

// The first kMaxListedFaces faces of a collection, each read only as far as
// deciding whether ReadCollection reads it: its OS/2 table and its full and
// family names, cut, and no character map. A face that is the same font as an
// earlier one (CollectionFaceOrigins) is read and listed once, as that face.
// Empty for a file that is no collection.
std::vector<FaceName> ReadCollectionFaceNames(ByteView view);

// What the list says of the face whose directory the caller has walked.
FaceName ReadListedFaceName(ByteView view, const SfntDirectory& directory);

// The first of those faces that reads; nothing when none does.
std::optional<uint32_t> FirstReadableFace(ByteView view);
