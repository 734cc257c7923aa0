// Builds small font files byte by byte, laid out as the formats describe them,
// so that each test states only what differs from a plain, valid font.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"

// Appending and patching numbers.
void PutU16BE(std::string& out, uint16_t value);
void PutU32BE(std::string& out, uint32_t value);
void PutU16LE(std::string& out, uint16_t value);
void PutU32LE(std::string& out, uint32_t value);
void SetU16BE(std::string& bytes, size_t at, uint16_t value);
void SetU32BE(std::string& bytes, size_t at, uint32_t value);
void SetU16LE(std::string& bytes, size_t at, uint16_t value);
void SetU32LE(std::string& bytes, size_t at, uint32_t value);

// UTF-16 big-endian, as name records hold it.
std::string Utf16BE(const std::u16string& text);

inline ByteView ViewOf(const std::string& bytes) {
  return ByteView{reinterpret_cast<const uint8_t*>(bytes.data()),
                  static_cast<uint32_t>(bytes.size())};
}

// ---- sfnt ---------------------------------------------------------------------

struct Os2Fields {
  uint16_t version = 3;
  uint16_t weight = 400;
  uint16_t width = 5;
  uint16_t selection = 0;
};
std::string Os2Table(const Os2Fields& fields = {});

struct NameRecord {
  uint16_t name_id = 1;
  std::string text;  // bytes as stored (UTF-16BE for Windows records)
  uint16_t platform = 3;
  uint16_t encoding = 1;
  uint16_t language = 0x0409;
};

struct NameTable {
  uint16_t format = 0;
  std::vector<NameRecord> records;
  uint16_t gap = 0;  // bytes between the last record and the string storage

  // A Windows, Unicode, US-English record.
  NameTable& Add(uint16_t name_id, const std::u16string& text, uint16_t encoding = 1) {
    records.push_back({name_id, Utf16BE(text), 3, encoding, 0x0409});
    return *this;
  }
};
std::string BuildNameTable(const NameTable& table);

struct SfntTable {
  std::string tag;
  std::string data;
};

struct SfntFont {
  uint32_t version = 0x00010000;
  std::vector<SfntTable> tables;  // directory order

  SfntFont& Add(const std::string& tag, const std::string& data) {
    tables.push_back({tag, data});
    return *this;
  }
  // Replaces the data of the table `tag`, or adds it.
  SfntFont& Set(const std::string& tag, const std::string& data) {
    for (SfntTable& table : tables)
      if (table.tag == tag) {
        table.data = data;
        return *this;
      }
    return Add(tag, data);
  }
};

// The tables of a lone sfnt font (a real file), in directory order, to be built
// again with changes; no tables when its directory does not read.
SfntFont ReadSfntFont(ByteView view);

// Offsets of the tables count from the file start, which lies `base` bytes before
// the font (a font inside a collection). The last table is not padded.
std::string BuildSfnt(const SfntFont& font, uint32_t base = 0);

// Byte position of the offset field of directory record `index`.
inline size_t DirectoryOffsetField(size_t index) { return 12 + 16 * index + 8; }

// A "ttcf" collection of the given fonts, in order.
std::string BuildCollection(const std::vector<SfntFont>& fonts);

// OS/2 and a name table with family "Demo" and style "Regular".
SfntFont PlainSfnt();

// ---- cmap ---------------------------------------------------------------------

struct CmapSubtable {
  uint16_t platform = 3;
  uint16_t encoding = 1;
  std::string data;  // the subtable's bytes
};
// The cmap table: its header, the records in order, then the subtables.
std::string BuildCmap(const std::vector<CmapSubtable>& subtables);

// A format 4 segment: codes start..end map to code + delta, or, when glyphs is
// not empty, to glyphs[code - start] + delta (glyphs then holds end - start + 1).
struct CmapSegment {
  uint16_t start = 0;
  uint16_t end = 0;
  uint16_t delta = 0;
  std::vector<uint16_t> glyphs;
};
// The segments as given, without adding the final 0xFFFF one.
std::string CmapFormat4(const std::vector<CmapSegment>& segments);

struct CmapGroup {
  uint32_t first = 0;
  uint32_t last = 0;
  uint32_t glyph = 0;
};
// Format 12 (consecutive glyphs) or 13 (one glyph a group).
std::string CmapGroups(uint16_t format, const std::vector<CmapGroup>& groups);
std::string CmapFormat0(const std::vector<uint8_t>& glyphs);  // padded to 256
std::string CmapFormat6(uint16_t first, const std::vector<uint16_t>& glyphs);

// ---- Windows font header: FON font resources and PFM files ---------------------

struct FontHeader {
  uint16_t version = 0x0200;
  std::string copyright = "(c) Demo";  // up to 60 bytes, zero-padded
  uint16_t type = 0;                   // bit 0: vector
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strike_out = 0;
  uint16_t weight = 400;
  uint8_t charset = 0;
  uint8_t first_char = 0x20;
  uint8_t last_char = 0xFF;
  std::string face = "Demo";
  std::string after_face;  // zero-terminated text following the face name
};

// The fixed fields end at byte 117; the face name follows them.
constexpr uint32_t kFontHeaderFaceOffsetField = 105;
constexpr uint32_t kFontHeaderFixedSize = 117;
std::string BuildFontHeader(const FontHeader& header);

struct FonFile {
  std::string description = "FONTRES 100,96,96 : Demo 10";
  uint16_t shift = 4;
  bool font_directory = true;
  uint16_t directory_font_count = 1;
  std::vector<FontHeader> fonts{FontHeader{}};
};

// Where BuildFon put things, for tests that point offsets elsewhere.
struct FonLayout {
  uint32_t ne = 0;
  uint32_t resource_table = 0;
  uint32_t names = 0;
  uint32_t directory_entry = 0;
  uint32_t font_entry = 0;
  uint32_t directory_data = 0;
  std::vector<uint32_t> font_data;
};
constexpr uint32_t kFonNeOffsetField = 0x3C;
constexpr uint32_t kNeResourceTableField = 0x24;
constexpr uint32_t kNeNonResidentNamesField = 0x2C;

std::string BuildFon(const FonFile& fon, FonLayout* layout = nullptr);

// A PFM file: the header with the PFM version and its face name.
std::string BuildPfm(FontHeader header, uint16_t version = 0x0100);

// ---- Variable TrueType fonts ----------------------------------------------------

// gvar's packed point numbers: the count, then runs of bytes or words (a step of
// more than 255 starts a run of words). No points: every point.
std::string PackedPoints(const std::vector<uint16_t>& points);
// gvar's packed deltas: runs of zeros, bytes or words, as the values need.
std::string PackedDeltas(const std::vector<int16_t>& deltas);

struct GvarTuple {
  uint16_t index = 0;           // shared tuple index and flags (embedded, intermediate, private points)
  std::vector<int16_t> peak;    // embedded peak, one value per axis
  std::vector<int16_t> start, end;  // intermediate region
  std::string data;             // private points (when flagged), then the x and y deltas
};
constexpr uint16_t kTupleEmbeddedPeak = 0x8000;
constexpr uint16_t kTupleIntermediate = 0x4000;
constexpr uint16_t kTuplePrivatePoints = 0x2000;

// A glyph's GlyphVariationData: the tuple headers, then the shared point numbers
// (when `shared_points` is not empty) and each tuple's data.
std::string GlyphVariationData(const std::vector<GvarTuple>& tuples,
                               const std::string& shared_points = "");

// A font of one axis, wght 100..400..900, and three glyphs: glyph 0 a simple glyph of
// one contour, glyph 1 a composite of `component` at an offset, glyph 2 empty (or a
// composite of `second_component` at no offset).
struct VariableFont {
  std::vector<std::pair<int16_t, int16_t>> points = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
  uint16_t component = 0;
  int second_component = -1;
  int16_t component_x = 10, component_y = 20;
  uint16_t advances[3] = {500, 600, 300};
  uint16_t gvar_axis_count = 1;
  uint16_t gvar_glyph_count = 3;
  std::vector<int16_t> shared_peaks = {16384};  // shared tuples of one axis each
  std::string glyph_variations[3];              // GlyphVariationData by glyph
  std::string avar, hvar, mvar;                 // tables added when not empty
  std::string os2 = Os2Table();
};
SfntFont VariableSfnt(const VariableFont& font);
