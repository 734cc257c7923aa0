#include "fontfile/font_parts.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "fontfile/char_map.h"
#include "fontfile/color_glyphs.h"
#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"
#include "fontfile/web_font.h"

namespace {

// Parts of the file less than this far apart are read at once: a read call
// costs more than copying this many bytes more, and a font's small tables often
// lie side by side.
constexpr uint32_t kJoinedGap = 64 * 1024;

struct Span {
  uint32_t offset = 0;
  uint32_t size = 0;
};

// The file: its head, and the other parts, read ahead or on demand.
struct FileParts {
  ByteView head;
  uint32_t file_size = 0;
  const ReadFilePart& read;
  std::vector<std::pair<uint32_t, ByteView>> parts;  // where each starts in the file

  // Bytes [offset, offset + size), which the caller keeps inside the file.
  std::optional<ByteView> Get(uint32_t offset, uint32_t size) {
    if (const std::optional<ByteView> in_head = SubView(head, offset, size)) return in_head;
    for (const auto& [start, bytes] : parts)
      if (offset >= start)
        if (const std::optional<ByteView> in_part = SubView(bytes, offset - start, size))
          return in_part;
    const std::optional<ByteView> part = read(offset, size);
    if (!part || part->size != size) return std::nullopt;
    parts.emplace_back(offset, *part);
    return part;
  }

  // A table's bytes as its record bounds them, cut at the file's end.
  std::optional<Span> TableSpan(const TableRecord& table) const {
    if (table.offset > file_size) return std::nullopt;
    return Span{table.offset, std::min(table.length, file_size - table.offset)};
  }

  // The same bytes; nothing when they start past the end or cannot be read.
  std::optional<ByteView> Table(const TableRecord& table) {
    const std::optional<Span> span = TableSpan(table);
    if (!span) return std::nullopt;
    return Get(span->offset, span->size);
  }

  // Reads the spans the head lacks, those near each other at once. A span that
  // cannot be read is left to Get, which then fails.
  void ReadAhead(std::vector<Span> spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.offset < b.offset; });
    std::optional<Span> joined;
    auto flush = [&] {
      if (joined && joined->size) Get(joined->offset, joined->size);
    };
    for (const Span& span : spans) {
      if (SubView(head, span.offset, span.size)) continue;
      const uint32_t end = span.offset + span.size;  // inside the file: no overflow
      if (joined && span.offset - std::min(span.offset, joined->offset + joined->size) <=
                        kJoinedGap) {
        joined->size = std::max(joined->offset + joined->size, end) - joined->offset;
        continue;
      }
      flush();
      joined = span;
    }
    flush();
  }
};

// Where maxp's glyph count lies, when the file holds it.
std::optional<Span> GlyphCountSpan(const FileParts& file, const SfntDirectory& directory) {
  const std::optional<TableRecord> maxp = FindTable(file.head, directory, "maxp");
  uint32_t count_at = 0;
  if (!maxp || !CheckedAdd(maxp->offset, 4, count_at) || count_at > file.file_size ||
      file.file_size - count_at < 2)
    return std::nullopt;
  return Span{count_at, 2};
}

// The tables a thumbnail reads of the font whose directory `directory` is.
std::vector<Span> SampleSpans(const FileParts& file, const SfntDirectory& directory) {
  std::vector<Span> spans;
  for (uint32_t i = 0; i < directory.table_count; ++i)
    if (TableTagIs(file.head, directory, i, "OS/2") || TableTagIs(file.head, directory, i, "name"))
      if (const std::optional<Span> span = file.TableSpan(TableAt(file.head, directory, i)))
        spans.push_back(*span);
  if (const std::optional<TableRecord> cmap = FindTable(file.head, directory, "cmap"))
    if (const std::optional<Span> span = file.TableSpan(*cmap)) spans.push_back(*span);
  if (const std::optional<Span> span = GlyphCountSpan(file, directory)) spans.push_back(*span);
  return spans;
}

// The colour glyphs are drawn from the mapped file: a face with any of their
// tables is read as before.
bool HasColourTables(ByteView view, const SfntDirectory& directory) {
  for (uint32_t i = 0; i < directory.table_count; ++i)
    if (TableTagIs(view, directory, i, "COLR") || TableTagIs(view, directory, i, "CPAL") ||
        TableTagIs(view, directory, i, "CBLC") || TableTagIs(view, directory, i, "CBDT") ||
        TableTagIs(view, directory, i, "sbix"))
      return true;
  return false;
}

// What ReadSfntCharacterMap reads, from the parts: the cmap table as its record
// bounds it, glyph ids bounded by maxp's count. False when a part cannot be read.
bool ReadPartsCharacterMap(FileParts& file, const SfntDirectory& directory,
                           CharCoverage& coverage) {
  coverage = CharCoverage{};
  const std::optional<TableRecord> cmap = FindTable(file.head, directory, "cmap");
  if (!cmap || cmap->offset > file.file_size) return true;  // no map: every cell counts
  uint32_t glyph_count = kMaxGlyphCount;
  if (const std::optional<Span> at = GlyphCountSpan(file, directory)) {
    const std::optional<ByteView> count = file.Get(at->offset, at->size);
    uint16_t glyphs = 0;
    if (!count || !ReadU16BE(*count, 0, 0, glyphs)) return false;
    glyph_count = glyphs;
  }
  const std::optional<ByteView> table = file.Table(*cmap);
  if (!table) return false;
  ReadCharacterMap(*table, coverage, glyph_count);
  return true;
}

}  // namespace

std::optional<FontFileCheck> ReadSampleFromParts(ByteView head, uint32_t file_size,
                                                 const ReadFilePart& read, FontInfo& info) {
  ClearFontInfo(info);
  FileParts file{head, file_size, read, {}};
  // A lone font, or the first face of a collection, as ReadFontView comes to them.
  uint32_t start = 0;
  if (!IsSfntVersion(head, 0)) {
    if (!ReadTagIs(head, 0, 0, "ttcf")) return std::nullopt;
    const uint32_t faces = CollectionFaceCount(head);
    if (faces == 0 || !CollectionFaceStart(head, 0, start)) return std::nullopt;
    info.face_count = faces;
  }
  SfntDirectory directory;
  if (!OpenSfntFont(head, start, directory) || HasColourTables(head, directory))
    return std::nullopt;
  const std::optional<bool> inside = SfntTablesInsideFile(head, file_size);
  if (!inside) return std::nullopt;
  file.ReadAhead(SampleSpans(file, directory));
  const TableFetch fetch = [&](const TableRecord& table) -> std::optional<TablePlace> {
    const std::optional<ByteView> bytes = file.Table(table);
    if (!bytes) return std::nullopt;
    return TablePlace{*bytes, 0};
  };
  if (!ReadSfntSampleTables(head, start, fetch, info)) return std::nullopt;
  if (!ReadPartsCharacterMap(file, directory, info.coverage)) return std::nullopt;
  FontFileCheck check;
  check.recognized = 1;
  check.mapped = true;
  check.sound = *inside;
  return check;
}

std::optional<FontFileCheck> ReadSampleFont(uint32_t file_size, const ReadFilePart& read,
                                            FontInfo& info) {
  if (file_size == 0) return std::nullopt;  // no mapping: the system says why
  std::optional<ByteView> head = read(0, std::min(file_size, kFontHeadSize));
  if (!head) return std::nullopt;
  if (head->size < file_size) {
    if (RecognizeWebFont(*head) == WebFontKind::kNone)
      return ReadSampleFromParts(*head, file_size, read, info);
    head = read(0, file_size);  // a web font is decoded whole
    if (!head) return std::nullopt;
  }
  if (head->size != file_size) return std::nullopt;
  // The font the check opened keeps the bytes: the colour glyphs are drawn from it.
  return CheckFontBytes(*head, info, 0, FaceFallback::kFirstReadable);
}
