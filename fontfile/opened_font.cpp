#include "fontfile/opened_font.h"

#include <algorithm>
#include <set>
#include <utility>

#include "fontfile/fon_reader.h"
#include "fontfile/pfm_reader.h"

namespace {

uint32_t TagValue(const char (&tag)[5]) {
  return uint32_t{static_cast<uint8_t>(tag[0])} << 24 |
         uint32_t{static_cast<uint8_t>(tag[1])} << 16 |
         uint32_t{static_cast<uint8_t>(tag[2])} << 8 | static_cast<uint8_t>(tag[3]);
}

// The face whose offset table lies at `start`, from a directory already walked
// (`walked`) or walked here. A directory that leaves the bytes lists no table.
OpenedFace MakeFace(ByteView bytes, uint32_t start, const SfntDirectory* walked) {
  OpenedFace face;
  face.start = start;
  face.sfnt = IsSfntVersion(bytes, start);
  SfntDirectory directory;
  if (walked) directory = *walked;
  else if (!ReadSfntDirectory(bytes, start, directory)) return face;
  face.walked = true;
  face.directory = directory;
  face.tables.reserve(directory.table_count);
  for (uint32_t i = 0; i < directory.table_count; ++i) {
    DirectoryEntry entry;
    ReadU32BE(bytes, start + kOffsetTableSize + kTableRecordSize * i, 0, entry.tag);
    entry.record = TableAt(bytes, directory, i);
    face.tables.push_back(entry);
  }
  return face;
}

OpenedFace& FaceAt(const OpenedFont& font, uint32_t start) {
  auto found = font.faces.find(start);
  if (found == font.faces.end())
    found = font.faces.emplace(start, MakeFace(font.bytes, start, nullptr)).first;
  return found->second;
}

// Where face `face` starts, by the readers' rules: a lone sfnt font has face 0
// alone; a collection's faces must carry a version the readers take.
std::optional<uint32_t> StartOf(const OpenedFont& font, uint32_t face) {
  if (IsSfntVersion(font.bytes, 0)) {
    if (face != 0) return std::nullopt;
    return 0u;
  }
  uint32_t start = 0;
  if (!CollectionFaceStart(font.bytes, face, start) || !IsSfntVersion(font.bytes, start))
    return std::nullopt;
  return start;
}

OpenedFace* MutableFace(const OpenedFont& font, uint32_t face) {
  const std::optional<uint32_t> start = StartOf(font, face);
  if (!start) return nullptr;
  return &FaceAt(font, *start);
}

// The bytes are in place: the web font decoded, the faces' directories walked
// once, and the check made that the system's engine needs.
void Open(OpenedFont& font) {
  font.opened = true;
  font.bytes = font.file_bytes;
  if (RecognizeWebFont(font.file_bytes) != WebFontKind::kNone) {
    // A refused web font leaves nothing to read: its container is all there is.
    if (DecodeWebFont(font.file_bytes, font.decoded, font.container))
      font.bytes = ByteView{font.decoded.data(), static_cast<uint32_t>(font.decoded.size())};
    else font.bytes = ByteView{};
  }
  const uint32_t count = CollectionFaceCount(font.bytes);
  font.collection = count != 0;
  font.face_count = count ? count : 1;
  font.tables_inside =
      SfntTablesInsideFile(font.bytes, [&](uint32_t start, const SfntDirectory& directory) {
        font.faces.try_emplace(start, MakeFace(font.bytes, start, &directory));
      });
}

void Reset(OpenedFont& font) {
  font.faces.clear();
  font.decoded.clear();
  font.owned.clear();
  UnmapFile(font.file);
  font = OpenedFont{};
}

// A face of a collection, as ReadCollection reads it.
int ReadCollectionFace(const OpenedFont& font, uint32_t face, FontInfo& info,
                       const ReadOptions& options) {
  if (!font.collection) return 0;
  // The count is kept even for a face out of range: callers learn what they may ask.
  info.face_count = font.face_count;
  if (face >= font.face_count) return 0;
  info.face = face;
  uint32_t start = 0;
  if (!CollectionFaceStart(font.bytes, face, start)) return 0;
  const OpenedFace& opened = FaceAt(font, start);
  if (!opened.sfnt || opened.directory.table_count == 0) return 0;
  return ReadSfntFace(font.bytes, opened.directory, info, options);
}

int ReadLoneSfnt(const OpenedFont& font, FontInfo& info, const ReadOptions& options) {
  if (!IsSfntVersion(font.bytes, 0)) return 0;
  const OpenedFace& opened = FaceAt(font, 0);
  if (opened.directory.table_count == 0) return 0;
  return ReadSfntFace(font.bytes, opened.directory, info, options);
}

// The first face of a collection that reads, as FirstReadableFace finds it.
std::optional<uint32_t> FirstReadable(const OpenedFont& font) {
  const uint32_t count = std::min(font.face_count, kMaxListedFaces);
  std::set<uint32_t> broken;
  for (uint32_t face = 0; face < count; ++face) {
    uint32_t start = 0;
    if (!CollectionFaceStart(font.bytes, face, start)) break;
    if (broken.count(start)) continue;
    const OpenedFace& opened = FaceAt(font, start);
    if (opened.sfnt && ReadListedFaceName(font.bytes, opened.directory).readable) return face;
    broken.insert(start);
  }
  return std::nullopt;
}

}  // namespace

bool OpenFontFile(const char* path, OpenedFont& font) {
  Reset(font);
  if (!MapFileReadOnly(path, font.file)) return false;
  font.file_bytes = ByteView{font.file.data, font.file.size};
  Open(font);
  return true;
}

bool OpenFontFileUtf8(const char* utf8_path, OpenedFont& font) {
  Reset(font);
  if (!MapFileReadOnlyUtf8(utf8_path, font.file)) return false;
  font.file_bytes = ByteView{font.file.data, font.file.size};
  Open(font);
  return true;
}

void OpenFontBytes(std::vector<uint8_t> file, OpenedFont& font) {
  Reset(font);
  font.owned = std::move(file);
  font.file_bytes = ByteView{font.owned.data(), static_cast<uint32_t>(font.owned.size())};
  Open(font);
}

void OpenFontView(ByteView file, OpenedFont& font) {
  Reset(font);
  if (!file.data) file.size = 0;
  font.file_bytes = file;
  Open(font);
}

const OpenedFace* FaceOf(const OpenedFont& font, uint32_t face) { return MutableFace(font, face); }

FaceTable FaceTableOf(const ByteView& bytes, const OpenedFace& face, const char (&tag)[5]) {
  const uint32_t wanted = TagValue(tag);
  for (const DirectoryEntry& entry : face.tables) {
    if (entry.tag != wanted) continue;
    const std::optional<ByteView> table = SubView(bytes, entry.record.offset, entry.record.length);
    if (!table) return FaceTable{TableState::kBroken, {}};
    return FaceTable{TableState::kPresent, *table};
  }
  return {};
}

FaceTable FontTable(const OpenedFont& font, uint32_t face, const char (&tag)[5]) {
  const OpenedFace* opened = FaceOf(font, face);
  if (!opened) return {};
  return FaceTableOf(font.bytes, *opened, tag);
}

namespace {

int ReadFace(const OpenedFont& font, uint32_t face, FontInfo& info, const ReadOptions& given) {
  ClearFontInfo(info);
  // The cache, if any, belongs to the file's own bytes: decoded ones are read without it.
  ReadOptions options = given;
  if (!font.decoded.empty()) options.cache = nullptr;
  info.container = font.container;
  if (!font.opened || !font.bytes.size) return 0;
  // The readers in their fixed order: the PFM reader checks only one word, so it
  // comes last; a collection is first offered to the sfnt and FON readers, which
  // turn it down. A web font holds an sfnt or a collection only.
  if (face != 0) return ReadCollectionFace(font, face, info, options);
  if (ReadLoneSfnt(font, info, options)) return 1;
  const bool web = font.container.kind != WebFontKind::kNone;
  if (!web && ReadFon(font.bytes, info)) return 1;
  if (ReadCollectionFace(font, 0, info, options)) return 1;
  return web ? 0 : ReadPfm(font.bytes, info);
}

}  // namespace

int ReadOpenedFace(const OpenedFont& font, uint32_t face, FontInfo& info,
                   const ReadOptions& options) {
  // A whole read is kept: a face shown again (a switch back) reads nothing.
  const bool kept = options.map == MapDetail::kFull && !options.cache;
  if (kept) {
    if (const auto found = font.read_faces.find(face); found != font.read_faces.end()) {
      info = found->second.info;
      return found->second.recognized;
    }
  }
  const int recognized = ReadFace(font, face, info, options);
  if (kept) font.read_faces.emplace(face, OpenedFont::ReadFace{recognized, info});
  return recognized;
}

int ReadOpenedFont(const OpenedFont& font, uint32_t face, FaceFallback fallback, FontInfo& info,
                   const ReadOptions& options) {
  int recognized = ReadOpenedFace(font, face, info, options);
  if (recognized || fallback != FaceFallback::kFirstReadable || !font.bytes.size) return recognized;
  // A single font has face 0 alone; a collection, its first face that reads.
  const std::optional<uint32_t> readable =
      font.collection ? FirstReadable(font) : std::optional<uint32_t>(0);
  if (readable && *readable != face) recognized = ReadOpenedFace(font, *readable, info, options);
  return recognized;
}

bool OpenedFontSound(const OpenedFont& font, int recognized) {
  if (!font.opened) return true;  // the system is asked and reports why it cannot use the file
  return recognized != 0 && font.tables_inside;
}

const std::vector<uint32_t>& FaceOrigins(const OpenedFont& font) {
  // From the directories the record walked: none is walked again.
  if (!font.origins)
    font.origins = CollectionFaceOrigins(font.bytes, [&font](uint32_t start) {
      const OpenedFace& face = FaceAt(font, start);
      return face.walked ? std::optional<SfntDirectory>(face.directory) : std::nullopt;
    });
  return *font.origins;
}

std::vector<FaceName> OpenedFaceNames(const OpenedFont& font) {
  std::vector<FaceName> faces;
  if (!font.collection) return faces;
  // A face that is the same font as an earlier one is read and listed once.
  const std::vector<uint32_t>& origins = FaceOrigins(font);
  for (uint32_t face = 0; face < origins.size() && faces.size() < kMaxListedFaces; ++face) {
    uint32_t start = 0;
    if (origins[face] != face) continue;
    if (!CollectionFaceStart(font.bytes, face, start)) break;
    const OpenedFace& opened = FaceAt(font, start);
    faces.push_back(opened.sfnt ? ReadListedFaceName(font.bytes, opened.directory) : FaceName{});
    faces.back().face = face;
  }
  return faces;
}

NameIndex& FaceNames(const OpenedFont& font, uint32_t face) {
  OpenedFace* opened = MutableFace(font, face);
  if (!opened) {
    // No face, no names: an index of nothing, which no lookup changes.
    static thread_local NameIndex none;
    none = NameIndex{};
    return none;
  }
  if (!opened->names) {
    const FaceTable name = FaceTableOf(font.bytes, *opened, "name");
    opened->names = IndexNames(name.present() ? name.bytes : ByteView{});
  }
  return *opened->names;
}

const VariationFacts& FaceVariations(const OpenedFont& font, uint32_t face) {
  OpenedFace* opened = MutableFace(font, face);
  if (!opened) {
    static const VariationFacts none;
    return none;
  }
  if (!opened->variation) {
    const FaceTable fvar = FaceTableOf(font.bytes, *opened, "fvar");
    const FaceTable avar = FaceTableOf(font.bytes, *opened, "avar");
    const FaceTable stat = FaceTableOf(font.bytes, *opened, "STAT");
    opened->variation = std::make_unique<VariationFacts>(
        ReadVariationTables(fvar.bytes, fvar.state, avar.bytes, avar.state, stat.bytes,
                            stat.state, FaceNames(font, face)));
  }
  return *opened->variation;
}

const ColorGlyphTables& FaceColorGlyphs(const OpenedFont& font, uint32_t face) {
  OpenedFace* opened = MutableFace(font, face);
  if (!opened) {
    static const ColorGlyphTables none;
    return none;
  }
  if (!opened->colour) opened->colour = FindColorGlyphTables(font, face);
  return *opened->colour;
}
