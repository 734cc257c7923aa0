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
    glyphs->glyph_count = GlyphCountOf(font, *opened);
    ReadFaceCharacterMap(font.bytes, opened->directory, glyphs->map, MapDetail::kGlyphs);
    glyphs->unreached = UnreachedGlyphs(glyphs->map, glyphs->glyph_count);
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
  if (opened->glyphs) {
    glyph_count = opened->glyphs->glyph_count;
    unreached = opened->glyphs->unreached;
    return true;
  }
  // Without a map that kept the glyphs, the counts alone are read.
  CharCoverage read;
  if (!map || (map->detail != MapDetail::kGlyphs && map->detail != MapDetail::kReach)) {
    ReadFaceCharacterMap(font.bytes, opened->directory, read, MapDetail::kReach);
    map = &read;
  }
  glyph_count = GlyphCountOf(font, *opened);
  unreached = UnreachedGlyphs(*map, glyph_count);
  return true;
}
