#include "content/font_fields.h"

#include <algorithm>
#include <cstring>

#include "fontfile/catalog.h"
#include "fontfile/fon_reader.h"
#include "fontfile/font_anatomy.h"
#include "fontfile/layout_catalog.h"
#include "fontfile/pfm_reader.h"
#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"

namespace {

bool Stopped(const std::atomic<bool>* stop) {
  return stop && stop->load(std::memory_order_relaxed);
}

// One face read the way the readers' fixed order reads a file (sfnt, FON,
// collection, PFM; a web font's decoded bytes as sfnt or collection), keeping
// as much of the character map as `detail` says. A collection is described by
// its first face that reads.
struct FaceRead {
  bool recognized = false;
  FileFormat format = FileFormat::kNone;
  uint32_t faces = 0;
  uint32_t face = 0;
  std::optional<uint32_t> start;  // the face's offset table, for an sfnt face
  FontInfo info;
};

FaceRead ReadFace(const FontSource& source, MapDetail detail) {
  FaceRead read;
  const OpenedFont& opened = source.opened;
  const ByteView font = source.font_bytes();
  const bool web = source.container().kind != WebFontKind::kNone;
  const ReadOptions options{detail, nullptr};
  if (IsSfntVersion(font, 0) && ReadOpenedFace(opened, 0, read.info, options)) {
    read.recognized = true;
    read.start = 0;
  } else if (!web && ReadFon(font, read.info)) {
    read.recognized = true;
    read.format = FileFormat::kFon;
  } else if (opened.collection) {
    read.faces = opened.face_count;
    read.format = FileFormat::kCollection;
    if (ReadOpenedFont(opened, 0, FaceFallback::kFirstReadable, read.info, options)) {
      read.recognized = true;
      read.face = read.info.face;
      if (const OpenedFace* face = FaceOf(opened, read.face)) read.start = face->start;
    } else {
      ClearFontInfo(read.info);
    }
  } else if (!web && ReadPfm(font, read.info)) {
    read.recognized = true;
    read.format = FileFormat::kPfm;
  }
  if (read.faces == 0) read.faces = read.recognized ? 1 : 0;
  if (read.recognized && read.format == FileFormat::kNone) {
    // A single sfnt font: its outlines by its version tag and tables.
    uint32_t version = 0;
    ReadU32BE(font, 0, 0, version);
    const bool cff2 =
        FontTable(opened, 0, "CFF2").listed() && !FontTable(opened, 0, "CFF ").listed();
    read.format = version == 0x4F54544F /* OTTO */
                      ? (cff2 ? FileFormat::kCff2 : FileFormat::kOpenTypeCff)
                      : FileFormat::kTrueType;
  }
  if (source.container().kind == WebFontKind::kWoff1) read.format = FileFormat::kWoff;
  if (source.container().kind == WebFontKind::kWoff2) read.format = FileFormat::kWoff2;
  return read;
}

std::optional<std::string> Name(const FontInfo& info, int id, int fallback_id = -1) {
  const FontText* text = &info.names[id];
  if ((!*text || (*text)->empty()) && fallback_id >= 0) text = &info.names[fallback_id];
  if (!*text || (*text)->empty()) return std::nullopt;
  return AnsiToUtf8(**text);
}

// maxp's glyph count of an sfnt face, a bitmap font's codes.
std::optional<uint32_t> GlyphCount(const OpenedFont& font, const FaceRead& read) {
  if (read.start) {
    const FaceTable maxp = FontTable(font, read.face, "maxp");
    uint16_t count = 0;
    if (maxp.present() && ReadU16BE(maxp.bytes, 0, 4, count)) return count;
    return std::nullopt;
  }
  if (read.format == FileFormat::kFon && read.info.coverage.kind == CoverageKind::kBytes)
    return uint32_t{read.info.coverage.last_byte} - read.info.coverage.first_byte + 1;
  return std::nullopt;
}

// post's isFixedPitch, or a Latin PANOSE proportion of "monospaced".
std::optional<bool> Monospaced(const OpenedFont& font, uint32_t face) {
  const FaceTable post = FontTable(font, face, "post");
  const FaceTable os2 = FontTable(font, face, "OS/2");
  uint32_t fixed_pitch = 0;
  const bool has_post = post.present() && ReadU32BE(post.bytes, 0, 12, fixed_pitch);
  uint8_t family_kind = 0, proportion = 0;
  const bool has_panose = os2.present() && ReadU8(os2.bytes, 32, 0, family_kind) &&
                          ReadU8(os2.bytes, 32, 3, proportion);
  if (!has_post && !has_panose) return std::nullopt;
  return (has_post && fixed_pitch != 0) || (has_panose && family_kind == 2 && proportion == 9);
}

std::optional<uint32_t> WidthClass(const FontText& name) {
  if (!name) return std::nullopt;
  for (const NamedValue& row : WidthNames)
    if (*name == row.name) return static_cast<uint32_t>(row.value);
  return std::nullopt;
}

ColourFormat Colour(const ColorFacts& color) {
  if (color.colr != TableState::kAbsent) return ColourFormat::kColr;
  if (color.cbdt != TableState::kAbsent) return ColourFormat::kCbdt;
  if (color.sbix != TableState::kAbsent) return ColourFormat::kSbix;
  if (color.svg != TableState::kAbsent) return ColourFormat::kSvg;
  return ColourFormat::kNone;
}

Embedding EmbeddingOf(uint16_t fs_type) {
  if (fs_type & kEmbedRestricted) return Embedding::kRestricted;
  if (fs_type & kEmbedPreviewPrint) return Embedding::kPreviewPrint;
  if (fs_type & kEmbedEditable) return Embedding::kEditable;
  return Embedding::kInstallable;
}

void Append(std::string& list, const std::string& item) {
  if (!list.empty()) list += "; ";
  list += item;
}

std::string ScriptsText(const LayoutFacts& layout) {
  std::string out;
  for (const LayoutScript& script : layout.scripts) {
    std::string tag = script.tag;
    while (!tag.empty() && tag.back() == ' ') tag.pop_back();
    const std::string name = ScriptName(script.tag);
    Append(out, name.empty() ? tag : name + " (" + tag + ")");
  }
  return out;
}

void StoreFacePart(const FontSource& source, const FaceRead& read, FontFields& f) {
  const OpenedFont& font = source.opened;
  const FontInfo& info = read.info;
  f.recognized = read.recognized;
  f.format = read.format;
  f.faces = read.faces;
  f.face = read.face;
  if (!read.recognized) return;
  f.family = Name(info, 16, kNameFamily);
  f.style = Name(info, 17, kNameStyle);
  f.full_name = Name(info, kNameFull);
  f.postscript_name = Name(info, kNamePostScript);
  f.version = Name(info, kNameVersion);
  f.manufacturer = Name(info, kNameManufacturer);
  f.designer = Name(info, kNameDesigner);
  f.licence_url = Name(info, kNameLicenseUrl);
  f.glyphs = GlyphCount(font, read);
  if (info.coverage.kind != CoverageKind::kUnknown) f.characters = info.coverage.count;
  f.weight = info.weight;
  f.width_class = WidthClass(info.width_name);
  f.italic = info.italic != 0;
  if (!read.start) return;
  f.monospaced = Monospaced(font, read.face);
  const FontAnatomy& anatomy = FaceAnatomy(font, read.face);
  f.variable = !anatomy.variation.axes.empty();
  f.axes = AxesText(anatomy.variation);
  f.named_instances = static_cast<uint32_t>(anatomy.variation.instances.size());
  f.colour = Colour(anatomy.color);
  if (anatomy.facts.has_fs_type) f.embedding = EmbeddingOf(anatomy.facts.fs_type);
  f.scripts = ScriptsText(anatomy.layout);
}

void AppendUtf16(std::u16string& text, uint32_t code) {
  if (code < 0x10000) {
    text += static_cast<char16_t>(code);
    return;
  }
  code -= 0x10000;
  text += static_cast<char16_t>(0xD800 + (code >> 10));
  text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

// The blocks with characters and the text of the characters; false when stopped.
bool StoreCoveragePart(const CharCoverage& coverage, FontFields& f,
                       const std::atomic<bool>* stop) {
  std::string blocks;
  std::u16string text;
  if (coverage.kind != CoverageKind::kUnknown) {
    for (const UnicodeBlockRow& row : UnicodeBlockTable) {
      if (row.bit == -1) continue;  // "ANSI" spans two blocks listed on their own
      if (CountCodePoints(coverage, row.first, row.last) > 0) Append(blocks, row.name);
    }
    text.reserve(std::min<uint32_t>(coverage.count, kLastCodePoint + 1));
    for (const CodeRange& range : coverage.ranges) {
      if (Stopped(stop)) return false;
      const uint32_t last = std::min(range.last, kLastCodePoint);
      for (uint32_t code = range.first; code <= last && code >= range.first; ++code) {
        // Nothing a text cannot hold: no NUL, no lone surrogate.
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) continue;
        AppendUtf16(text, code);
      }
    }
  }
  f.blocks = std::move(blocks);
  f.character_text = std::move(text);
  return true;
}

}  // namespace

std::string AxesText(const VariationFacts& variation) {
  // U+2013 between minimum and maximum, U+2212 for a minus sign.
  auto number = [](int32_t value) {
    std::string text = FixedText(value);
    if (!text.empty() && text[0] == '-') text.replace(0, 1, "\xE2\x88\x92");
    return text;
  };
  std::string out;
  for (const VariationAxis& axis : variation.axes) {
    std::string tag = axis.tag;
    while (!tag.empty() && tag.back() == ' ') tag.pop_back();
    if (!out.empty()) out += ", ";
    out += tag + " " + number(axis.minimum) + "\xE2\x80\x93" + number(axis.maximum);
  }
  return out;
}

bool ReadFieldsFromSource(const FontSource& source, FieldParts parts, FontFields& fields,
                          const std::atomic<bool>* stop) {
  parts &= static_cast<FieldParts>(~fields.parts);
  if (!parts) return true;
  // Moved, not copied: a character text may be large. On a stop the parts held
  // before go back untouched (a stopped part's fields are not counted as read).
  FontFields out = std::move(fields);
  out.opened = true;
  // The coverage part needs the whole map; the face part alone only its counts.
  const FaceRead read =
      ReadFace(source, (parts & kCoveragePart) ? MapDetail::kFull : MapDetail::kCounts);
  bool done = !Stopped(stop);
  if (done && (parts & kFacePart)) {
    StoreFacePart(source, read, out);
    done = !Stopped(stop);
  }
  if (done && (parts & kCoveragePart)) done = StoreCoveragePart(read.info.coverage, out, stop);
  if (done) out.parts |= parts;
  fields = std::move(out);
  return done;
}

bool ReadFontFields(const char* utf8_path, FieldParts parts, FontFields& fields,
                    const std::atomic<bool>* stop) {
  parts &= static_cast<FieldParts>(~fields.parts);
  if (!parts) return true;
  FontSource source;
  if (!OpenFontSource(utf8_path, source)) {
    // Nothing can be read: every part is known to be empty.
    fields = FontFields{};
    fields.parts = kAllParts;
    return true;
  }
  return ReadFieldsFromSource(source, parts, fields, stop);
}
