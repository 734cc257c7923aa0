#include "viewer/display_fonts.h"

#include <algorithm>
#include <cstring>

#include "fontfile/catalog.h"
#include "plugin/shared_resources.h"
#include "viewer/block_coverage.h"
#include "viewer/color_glyphs.h"

void CreateViewerFonts(ViewerState& s, HDC dc) {
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
  if (s.info.names[4]) lstrcpynA(lf.lfFaceName, s.info.names[4]->c_str(), LF_FACESIZE);

  s.glyph_font = CreateFontIndirectA(&lf);
  // The set the system gave the font maps its bytes, whatever was asked for.
  int drawn_charset = lf.lfCharSet;
  bool own_face = true;
  if (s.glyph_font) {
    HGDIOBJ previous = SelectObject(dc, s.glyph_font);
    const int given = GetTextCharsetInfo(dc, &s.signature, 0);
    if (given != DEFAULT_CHARSET) drawn_charset = given;
    // Asked for a character set it lacks, a font can give way to another face
    // (a symbol font in a Western set): its map then says nothing of what is
    // drawn. Asked for by full name, a face comes back under its family name.
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(dc, sizeof face, face) > 0)
      own_face = std::strncmp(face, lf.lfFaceName, std::strlen(face)) == 0;
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
  for (HFONT* font : {&s.zoom_font, &s.sample_font, &s.glyph_font}) {
    if (*font) DeleteObject(*font);
    *font = nullptr;
  }
}

int GlyphRowHeight(const ViewerState& s) {
  if (s.colour_glyphs)
    if (std::optional<int> line =
            BitmapFontLineHeight(*s.colour_glyphs, -PointsToHeight(s.glyph_size)))
      return *line + UiLineHeight;
  return s.glyph_metrics.tmHeight + s.glyph_metrics.tmExternalLeading + UiLineHeight;
}
