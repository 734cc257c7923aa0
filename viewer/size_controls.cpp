#include "viewer/size_controls.h"

#include <commctrl.h>

#include "plugin/shared_resources.h"
#include "viewer/dialog_items.h"
#include "viewer/display_fonts.h"

void ApplyFontSize(ViewerState& s) {
  const int fallback = s.page == kGlyphsPage ? 24 : 16;
  const int size = ReadDialogInt(s.viewer, kSizeEditId, fallback, 6, 128);
  SendMessageA(s.size_slider, TBM_SETPOS, TRUE, size);
  s.logfont.lfHeight = PointsToHeight(size);
  if (s.page == kGlyphsPage && size != s.glyph_size) {
    s.glyph_size = size;
    if (s.glyph_font) DeleteObject(s.glyph_font);
    s.glyph_font = CreateFontIndirectA(&s.logfont);
    if (HDC dc = GetDC(s.glyph_list)) {
      HGDIOBJ previous = SelectObject(dc, s.glyph_font);
      GetTextMetricsA(dc, &s.glyph_metrics);
      SelectObject(dc, previous);
      ReleaseDC(s.glyph_list, dc);
    }
    SendMessageA(s.glyph_list, LB_SETITEMHEIGHT, 0, GlyphRowHeight(s));
    if (s.glyph_list) InvalidateRect(s.glyph_list, nullptr, TRUE);
  } else if (s.page == kSamplePage && size != s.sample_size) {
    s.sample_size = size;
    if (s.sample_font) DeleteObject(s.sample_font);
    s.sample_font = CreateFontIndirectA(&s.logfont);
    SendMessageA(s.sample_view, WM_SETFONT, reinterpret_cast<WPARAM>(s.sample_font), TRUE);
  }
}
