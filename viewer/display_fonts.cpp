#include "viewer/display_fonts.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "fontfile/catalog.h"
#include "platform/platform.h"
#include "viewer/process_resources.h"
#include "viewer/block_coverage.h"
#include "viewer/color_glyphs.h"
#include "viewer/drawn_face.h"
#include "viewer/face_selector.h"
#include "viewer/instance_selector.h"

namespace {

// What tells the face shown from others, seen in the opened font's bytes.
// Nothing when the font has none.
std::optional<FaceTables> ShownFaceTables(const LoadedFont& font) {
  if (!font.opened) return std::nullopt;
  return FaceTablesOf(*font.opened, font.face);
}

bool DrawsFace(HDC dc, HFONT font, const std::optional<FaceTables>& tables, const char* asked) {
  HGDIOBJ previous = SelectObject(dc, font);
  const bool same = SelectedFaceIs(dc, tables, asked);
  SelectObject(dc, previous);
  return same;
}

}  // namespace

void CreateViewerFonts(ViewerState& s, HDC dc) {
  // Another instance of a variable font is its static font, asked for by the
  // family name it was given; no weight or slant is asked, so the system adds
  // none of its own.
  const BuiltInstance* instance = DrawnInstance(s);
  s.logfont = LOGFONTA{};
  LOGFONTA& lf = s.logfont;
  lf.lfHeight = PointsToHeight(s.glyph_size);
  lf.lfWeight = static_cast<LONG>(s.info.weight);
  lf.lfItalic = s.info.italic;
  lf.lfUnderline = s.info.underline;
  lf.lfStrikeOut = 0;  // the font's own strike-out flag is not applied
  int charset = std::clamp(s.charset_index, 0, kCharsetCount - 1);
  lf.lfCharSet = static_cast<BYTE>(CharsetTable[charset].value);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  // Cut to the field with its terminator.
  if (instance) {
    lf.lfWeight = FW_DONTCARE;
    lf.lfItalic = 0;
    lstrcpynA(lf.lfFaceName, instance->family.c_str(), LF_FACESIZE);
  } else if (s.info.names[kNameFull]) {
    lstrcpynA(lf.lfFaceName, s.info.names[kNameFull]->c_str(), LF_FACESIZE);
  }

  s.glyph_font = CreateFontIndirectA(&lf);
  // Compared where they lie, not copied: a collection's character map can take
  // a quarter of a megabyte.
  std::optional<FaceTables> identity;
  if (instance && instance->identity) identity = TablesOf(*instance->identity);
  else if (s.glyph_font && !instance) identity = ShownFaceTables(s);
  bool own_face = s.glyph_font && DrawsFace(dc, s.glyph_font, identity, lf.lfFaceName);
  // The full name can select another face (two faces of one name, a name cut to
  // the field); the family name, with the weight and slant, may select this one.
  const FontText& family_name = s.info.names[kNameFamily];
  if (s.glyph_font && !own_face && !instance && family_name &&
      family_name != s.info.names[kNameFull]) {
    LOGFONTA family = lf;
    lstrcpynA(family.lfFaceName, family_name->c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&family);
    if (font && DrawsFace(dc, font, identity, family.lfFaceName)) {
      DeleteObject(s.glyph_font);
      s.glyph_font = font;
      lf = family;
      own_face = true;
    } else if (font) {
      DeleteObject(font);
    }
  }
  // The set the system gave the font maps its bytes, whatever was asked for.
  int drawn_charset = lf.lfCharSet;
  s.other_face.clear();
  if (s.glyph_font) {
    HGDIOBJ previous = SelectObject(dc, s.glyph_font);
    const int given = GetTextCharsetInfo(dc, &s.signature, 0);
    if (given != DEFAULT_CHARSET) drawn_charset = given;
    // Another face's map says nothing of what is drawn, nor do its glyph numbers.
    if (!own_face) {
      char face[LF_FACESIZE] = {};
      GetTextFaceA(dc, sizeof face, face);
      s.other_face = face[0] ? face : "?";
    }
    // A font that claims no range at all still shows its first block.
    if (!s.signature.fsUsb[0] && !s.signature.fsUsb[1] && !s.signature.fsUsb[2] &&
        !s.signature.fsUsb[3])
      s.signature.fsUsb[0] = 1;
    GetTextMetricsA(dc, &s.glyph_metrics);
    SelectObject(dc, previous);
  }
  UpdateBlockCoverage(s, static_cast<uint8_t>(drawn_charset), own_face);
  lf.lfHeight = PointsToHeight(s.sample_size);
  s.sample_font = CreateFontIndirectA(&lf);
  lf.lfHeight = PointsToHeight(s.zoom_size);
  s.zoom_font = CreateFontIndirectA(&lf);
}

void ReleaseViewerFonts(ViewerState& s) {
  for (HFONT* font : {&s.zoom_font, &s.sample_font, &s.glyph_font}) DeleteGdiObject(*font);
}

int GlyphRowHeight(const ViewerState& s) {
  if (s.colour_glyphs)
    if (std::optional<int> line =
            BitmapFontLineHeight(*s.colour_glyphs, -PointsToHeight(s.glyph_size)))
      return *line + UiLineHeight;
  return s.glyph_metrics.tmHeight + s.glyph_metrics.tmExternalLeading + UiLineHeight;
}

uint32_t DrawnGlyph(const LoadedFont& font, uint32_t code) {
  return font.other_face.empty() ? GlyphOf(font.info.coverage, code) : 0;
}
