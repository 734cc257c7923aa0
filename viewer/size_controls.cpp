#include "viewer/size_controls.h"

#include <commctrl.h>

#include "viewer/process_resources.h"
#include "viewer/dialog_items.h"
#include "viewer/display_fonts.h"

void ApplyFontSize(ViewerState& s) {
  const int fallback = s.page == kGlyphsPage ? 24 : 16;
  const int size = ReadDialogInt(s.viewer, kSizeEditId, fallback, 6, 128);
  SendMessageA(s.size_slider, TBM_SETPOS, TRUE, size);
  // Fonts exist exactly when the file loaded: after a failed load the size is
  // kept for the next file, and the record's empty description makes nothing.
  const bool loaded = s.glyph_font != nullptr;
  s.logfont.lfHeight = PointsToHeight(size);
  if (s.page == kGlyphsPage && size != s.glyph_size) {
    s.glyph_size = size;
    // A font that cannot be made in the new size leaves the old one in place.
    HFONT font = loaded ? CreateFontIndirectA(&s.logfont) : nullptr;
    if (!font) return;
    DeleteObject(s.glyph_font);
    s.glyph_font = font;
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
    if (!loaded) return;
    if (s.sample_font) DeleteObject(s.sample_font);
    s.sample_font = CreateFontIndirectA(&s.logfont);
    SendMessageA(s.sample_view, WM_SETFONT, reinterpret_cast<WPARAM>(s.sample_font), TRUE);
  }
}
