#include "fontfile/font_anatomy.h"

#include <optional>

FontAnatomy ReadFontAnatomy(ByteView file, uint32_t face) {
  FontAnatomy anatomy;
  const std::optional<uint32_t> start = FaceStart(file, face);
  if (!start) return anatomy;
  anatomy.sfnt = true;
  auto table = [&](const char (&tag)[5]) { return FindFaceTable(file, *start, tag); };
  const FaceTable name = table("name");
  NameIndex names = IndexNames(name.present() ? name.bytes : ByteView{});

  const FaceTable fvar = table("fvar"), avar = table("avar"), stat = table("STAT");
  anatomy.variation = ReadVariationTables(fvar.bytes, fvar.state, avar.bytes, avar.state,
                                          stat.bytes, stat.state, names);
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
