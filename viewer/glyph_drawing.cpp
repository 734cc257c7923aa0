#include "viewer/glyph_drawing.h"

void DrawGlyphIndex(HDC dc, const RECT& r, WORD glyph, UINT format, int line_height) {
  SIZE size = {};
  if (!GetTextExtentPointI(dc, &glyph, 1, &size)) return;
  if (line_height <= 0 && (format & DT_VCENTER)) {
    TEXTMETRICW metrics = {};
    if (!GetTextMetricsW(dc, &metrics)) return;
    line_height = metrics.tmHeight;
  }
  LONG x = r.left, y = r.top;
  if (format & DT_CENTER) x = r.left + (r.right - r.left - size.cx) / 2;
  else if (format & DT_RIGHT) x = r.right - size.cx;
  if (format & DT_VCENTER) y = r.top + (r.bottom - r.top - line_height) / 2;
  ExtTextOutW(dc, x, y, ETO_GLYPH_INDEX | ETO_CLIPPED, &r, reinterpret_cast<LPCWSTR>(&glyph), 1,
              nullptr);
}

void DrawCodeGlyph(HDC dc, const RECT& r, uint32_t code, uint32_t glyph, UINT format) {
  RECT box = r;
  format |= DT_SINGLELINE | DT_NOPREFIX;
  if (code > 0xFFFF) {
    if (glyph > 0 && glyph <= 0xFFFF) DrawGlyphIndex(dc, r, static_cast<WORD>(glyph), format);
  } else if (code >= 0x100) {
    const auto unit = static_cast<wchar_t>(code);
    DrawTextW(dc, &unit, 1, &box, format);
  } else {
    // The font's character set decides which glyph a byte shows.
    const auto byte = static_cast<char>(code);
    DrawTextA(dc, &byte, 1, &box, format);
  }
}
