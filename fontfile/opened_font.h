// One font file opened once, for everything read of it while it is shown or
// reported: the file's bytes (mapped, or handed over in memory) and a web font's
// decoded sfnt, the table directory of each face walked once, and each table
// parsed once, on demand, by the one parser for that table. A face switch, an
// instance switch and every page read from the same record; nothing else maps
// the file or walks a directory again.
//
// How to use it:
//   OpenedFont font;
//   OpenFontFile(path, font);                 // maps; a web font is decoded here
//   FontInfo info;
//   ReadOpenedFace(font, face, info);         // names, style, character map
//   FaceTable gsub = FontTable(font, face, "GSUB");   // the one table lookup
//   const VariationFacts& v = FaceVariations(font, face);  // fvar, avar, STAT
//   NameIndex& names = FaceNames(font, face);             // the name table
// Views handed out (FaceTable::bytes, OpenedFont::bytes) point into the record's bytes and
// live as long as the record; moving the record keeps them valid. The parsed
// tables are kept in the record, so the record is used by one thread at a time
// (a viewer's, or one thumbnail call's).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/color_glyphs.h"
#include "fontfile/face_tables.h"
#include "fontfile/font_info.h"
#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"
#include "fontfile/variation_tables.h"
#include "fontfile/web_font.h"
#include "platform/platform.h"

struct FaceGlyphs;
struct FontAnatomy;

// A table record of a face's directory, its tag as the four bytes read big-endian.
struct DirectoryEntry {
  uint32_t tag = 0;
  TableRecord record;
};

// One face of the file, as its offset table describes it. Faces of a collection
// that share an offset share this record.
struct OpenedFace {
  uint32_t start = 0;
  bool sfnt = false;    // a version the readers take
  bool walked = false;  // its directory lies inside the bytes (and was walked once)
  SfntDirectory directory;
  std::vector<DirectoryEntry> tables;  // in directory order; the first of a tag counts
  // Parsed on first use, through a record used by one thread at a time.
  mutable std::optional<NameIndex> names;
  mutable std::unique_ptr<VariationFacts> variation;
  mutable std::optional<ColorGlyphTables> colour;
  mutable std::shared_ptr<const FontAnatomy> anatomy;
  mutable std::shared_ptr<const FaceGlyphs> glyphs;  // ReadFaceGlyphs
};

struct OpenedFont {
  // Where the bytes live: a mapping, or bytes handed over, and a web font's
  // decoded sfnt. Only one of `file` and `owned` holds the file.
  MappedFile file;
  std::vector<uint8_t> owned;
  std::vector<uint8_t> decoded;
  bool opened = false;    // the file could be opened and read (else the system says why)
  ByteView file_bytes;    // the file as it is (a web font's container)
  ByteView bytes;         // what the readers read: the decoded sfnt, else file_bytes
  WebFontFacts container;  // kind kNone for every file that is no web font
  // Faces of a collection ("ttcf"), else 1; a hostile count is kept as the
  // header says and bounded where faces are listed.
  uint32_t face_count = 1;
  bool collection = false;
  // Every table record of every face lies inside the bytes, outside the headers
  // that lead to it (SfntTablesInsideFile); true for a file that is no sfnt.
  bool tables_inside = false;
  // By offset table position, filled as faces are walked.
  mutable std::map<uint32_t, OpenedFace> faces;
  mutable std::optional<std::vector<uint32_t>> origins;  // FaceOrigins
  // Whole reads of faces by number (ReadOpenedFace), kept for a face shown again.
  struct ReadFace {
    int recognized = 0;
    FontInfo info;
  };
  mutable std::map<uint32_t, ReadFace> read_faces;
};

// Maps the file (ANSI or UTF-8 path) and walks its faces' directories; a web
// font is decoded, and a refused one keeps its reason in `container`. False when
// the file cannot be opened, sized or mapped: the system's error code is then
// the failing step's, and `font` holds nothing.
bool OpenFontFile(const char* path, OpenedFont& font);
bool OpenFontFileUtf8(const char* utf8_path, OpenedFont& font);
// The same for a file's bytes read into memory, which the record takes.
void OpenFontBytes(std::vector<uint8_t> file, OpenedFont& font);
// The same over bytes the caller keeps alive as long as the record (tools, fuzzing).
void OpenFontView(ByteView file, OpenedFont& font);

// The face `face` of an sfnt font or collection, walked once; nullptr when the
// bytes hold no such face or it is no sfnt face the readers take.
const OpenedFace* FaceOf(const OpenedFont& font, uint32_t face);

// The table `tag` of face `face`: absent, broken (its bytes leave the file) or
// present. The one table lookup of everything that reads an opened font.
FaceTable FontTable(const OpenedFont& font, uint32_t face, const char (&tag)[5]);
FaceTable FaceTableOf(const ByteView& bytes, const OpenedFace& face, const char (&tag)[5]);

// The face's names, style and character map, read as ReadFontFile reads that face:
// 1 when recognised. A web font's record keeps what its container said. A whole
// read (MapDetail::kFull, no cache) is kept, and a face read again is copied.
int ReadOpenedFace(const OpenedFont& font, uint32_t face, FontInfo& info,
                   const ReadOptions& options = {});
// The same, and with kFirstReadable a collection's first face that reads in place
// of one that does not (info.face says which).
int ReadOpenedFont(const OpenedFont& font, uint32_t face, FaceFallback fallback, FontInfo& info,
                   const ReadOptions& options = {});

// Whether the system may be handed the file: recognised and its tables inside it,
// and also a file that could not be opened (the system then says why).
bool OpenedFontSound(const OpenedFont& font, int recognized);

// For each face of a collection, the first face that is the same font (see
// CollectionFaceOrigins), found once; empty for a file that is no collection.
const std::vector<uint32_t>& FaceOrigins(const OpenedFont& font);
// The face selector's list of a collection, each font once (see ReadCollectionFaceNames).
std::vector<FaceName> OpenedFaceNames(const OpenedFont& font);

// The face's name table, indexed once and its texts converted once.
NameIndex& FaceNames(const OpenedFont& font, uint32_t face);
// fvar, avar and STAT of the face, with their names, read once.
const VariationFacts& FaceVariations(const OpenedFont& font, uint32_t face);
// The tables the face draws colour glyphs from, found once.
const ColorGlyphTables& FaceColorGlyphs(const OpenedFont& font, uint32_t face);
