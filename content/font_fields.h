// What the content plug-in's fields say of one font file: read once per file,
// in two parts, so that a field reads only what it needs. The names, numbers and
// flags come from the face's headers and small tables; the coverage part (the
// Unicode blocks and the text of every character) needs the whole character map.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "content/font_source.h"
#include "fontfile/variation_tables.h"

// Which parts of a file's fields have been read.
using FieldParts = uint8_t;
constexpr FieldParts kFacePart = 1, kCoveragePart = 2, kAllParts = kFacePart | kCoveragePart;

enum class FileFormat : uint8_t {
  kNone, kTrueType, kOpenTypeCff, kCff2, kCollection, kWoff, kWoff2, kFon, kPfm
};
enum class ColourFormat : uint8_t { kNone, kColr, kCbdt, kSbix, kSvg };

// The embedding permission of OS/2 fsType's low bits, the strictest that is set.
enum class Embedding : uint8_t { kInstallable, kRestricted, kPreviewPrint, kEditable };

struct FontFields {
  FieldParts parts = 0;     // the parts read so far
  bool opened = false;      // the file could be mapped
  bool recognized = false;  // a reader took it; every other field is empty when not
  FileFormat format = FileFormat::kNone;
  uint32_t faces = 0;
  uint32_t face = 0;  // the face described: a collection's first that reads

  // Texts in UTF-8; nothing when the font has none.
  std::optional<std::string> family, style, full_name, postscript_name, version, manufacturer,
      designer, licence_url;
  std::optional<uint32_t> glyphs, characters;
  uint32_t weight = 0;
  std::optional<uint32_t> width_class;  // 1-9
  bool italic = false;
  std::optional<bool> monospaced;  // sfnt fonts only
  bool variable = false;
  std::string axes;  // "wght 100–900, slnt −10–0"
  uint32_t named_instances = 0;
  ColourFormat colour = ColourFormat::kNone;
  std::optional<Embedding> embedding;
  std::string scripts;  // "Latin (latn); Cyrillic (cyrl)"

  // kCoveragePart.
  std::string blocks;             // "Basic Latin; Cyrillic" in the block list's order
  std::u16string character_text;  // every character mapped, in code point order
};

// Reads `parts` of the file (more when they come at no extra cost) into `fields`,
// which may hold parts read before. Returns false when `stop` was set before the
// read finished: `fields` then holds only the parts it held before.
bool ReadFontFields(const char* utf8_path, FieldParts parts, FontFields& fields,
                    const std::atomic<bool>* stop = nullptr);

// The same from a source already opened (tests, tools).
bool ReadFieldsFromSource(const FontSource& source, FieldParts parts, FontFields& fields,
                          const std::atomic<bool>* stop = nullptr);

// An axis list as the Axes field shows it: tag, minimum–maximum, ", " between.
std::string AxesText(const VariationFacts& variation);
