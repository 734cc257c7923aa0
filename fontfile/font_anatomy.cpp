#include "fontfile/font_anatomy.h"

#include <memory>

#include "fontfile/opened_font.h"

namespace {

FontAnatomy ReadAnatomy(const OpenedFont& font, uint32_t face) {
  FontAnatomy anatomy;
  if (!FaceOf(font, face)) return anatomy;
  anatomy.sfnt = true;
  auto table = [&](const char (&tag)[5]) { return FontTable(font, face, tag); };
  NameIndex& names = FaceNames(font, face);
  anatomy.variation = FaceVariations(font, face);
  const FaceTable gsub = table("GSUB"), gpos = table("GPOS");
  anatomy.layout = ReadLayoutTables(gsub.bytes, gsub.state, gpos.bytes, gpos.state, names);
  anatomy.color = ReadColorTables(ColorTableBytes{table("COLR"), table("CPAL"), table("CBDT"),
                                                  table("CBLC"), table("sbix"), table("SVG ")});
  anatomy.facts = ReadFaceFacts(FaceFactTables{table("OS/2"), table("kern"), table("vhea"),
                                               table("vmtx"), table("VORG"), table("fpgm"),
                                               table("prep"), table("cvt "), table("gasp"),
                                               table("DSIG")});
  return anatomy;
}

}  // namespace

const FontAnatomy& FaceAnatomy(const OpenedFont& font, uint32_t face) {
  const OpenedFace* opened = FaceOf(font, face);
  if (!opened) {
    static const FontAnatomy none;
    return none;
  }
  if (!opened->anatomy) opened->anatomy = std::make_shared<const FontAnatomy>(ReadAnatomy(font, face));
  return *opened->anatomy;
}

FontAnatomy ReadFontAnatomy(ByteView file, uint32_t face) {
  OpenedFont font;
  OpenFontView(file, font);
  return ReadAnatomy(font, face);
}
