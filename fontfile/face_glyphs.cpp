#include "fontfile/face_glyphs.h"

#include <memory>

#include "fontfile/face_tables.h"
#include "fontfile/opened_font.h"

namespace {

uint32_t GlyphCountOf(const OpenedFont& font, const OpenedFace& face) {
  const FaceTable maxp = FaceTableOf(font.bytes, face, "maxp");
  uint16_t count = 0;
  if (maxp.present()) ReadU16BE(maxp.bytes, 0, 4, count);
  return count;
}

// The count, the map and the glyphs no character reaches.
void ReadReach(const OpenedFont& font, const OpenedFace& face, FaceGlyphs& out) {
  out.glyph_count = GlyphCountOf(font, face);
  ReadFaceCharacterMap(font.bytes, face.directory, out.map, MapDetail::kGlyphs);
  out.unreached = UnreachedGlyphs(out.map, out.glyph_count);
}

ByteView TableOrNothing(const OpenedFont& font, const OpenedFace& face, const char (&tag)[5]) {
  const FaceTable table = FaceTableOf(font.bytes, face, tag);
  return table.present() ? table.bytes : ByteView{};
}

}  // namespace

uint32_t FaceGlyphCount(const OpenedFont& font, uint32_t face) {
  const OpenedFace* opened = FaceOf(font, face);
  return opened ? GlyphCountOf(font, *opened) : 0;
}

const FaceGlyphs* ReadFaceGlyphs(const OpenedFont& font, uint32_t face) {
  const OpenedFace* opened = FaceOf(font, face);
  if (!opened) return nullptr;
  if (!opened->glyphs) {
    auto glyphs = std::make_shared<FaceGlyphs>();
    ReadReach(font, *opened, *glyphs);
    glyphs->characters = ReverseCharacterMap(glyphs->map, glyphs->glyph_count);
    glyphs->names = ReadGlyphNames(TableOrNothing(font, *opened, "post"),
                                   TableOrNothing(font, *opened, "CFF "), glyphs->glyph_count);
    glyphs->features = ReadGlyphFeatures(TableOrNothing(font, *opened, "GSUB"), glyphs->glyph_count);
    opened->glyphs = std::move(glyphs);
  }
  return opened->glyphs.get();
}

bool CountFaceGlyphs(const OpenedFont& font, uint32_t face, uint32_t& glyph_count,
                     uint32_t& unreached, const CharCoverage* map) {
  const OpenedFace* opened = FaceOf(font, face);
  if (!opened) return false;
  if (!opened->glyphs && map && (map->detail == MapDetail::kGlyphs || map->detail == MapDetail::kReach)) {
    glyph_count = GlyphCountOf(font, *opened);
    unreached = UnreachedGlyphs(*map, glyph_count);
    return true;
  }
  FaceGlyphs reach;
  if (!opened->glyphs) ReadReach(font, *opened, reach);
  const FaceGlyphs& read = opened->glyphs ? *opened->glyphs : reach;
  glyph_count = read.glyph_count;
  unreached = read.unreached;
  return true;
}
