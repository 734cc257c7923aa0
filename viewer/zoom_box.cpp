#include "viewer/zoom_box.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "viewer/process_resources.h"
#include "text/language.h"
#include "viewer/block_coverage.h"
#include "viewer/color_glyphs.h"
#include "viewer/display_fonts.h"
#include "viewer/glyph_drawing.h"
#include "viewer/glyph_view.h"
#include "viewer/grid_math.h"
#include "viewer/instance_selector.h"
#include "viewer/theme.h"
#include "viewer/viewer_layout.h"

namespace {

// What a box shows, taken from the viewer when it opens: the viewer may be
// closed while the box is open. The box's window holds it in its user data; the
// call that opens the box keeps it until the box is gone.
struct ZoomBox {
  uint32_t code = 0;
  uint32_t glyph = 0;  // beyond U+FFFF: the glyph index the font's map gives
  HFONT font = nullptr;
  HFONT corner_font = nullptr;  // the small glyph beyond U+FFFF, drawn by index
  int line_height = 0;
  bool tracking = false;
  bool dark = false;
  bool missing = false;     // the font lacks the character: say so instead of its empty box
  bool other_face = false;  // the system draws another face: say so below the glyph
  int instance_note = -1;   // the text saying why the default instance is drawn, or -1
  std::shared_ptr<ColorGlyphFont> colour;
  uint32_t colour_glyph = 0;
  // The glyph view's box: `code` is a glyph index, and these lines say how it is
  // reached (the first, its index and name, is the label).
  bool by_index = false;
  std::string glyph_text;
};

ZoomBox* BoxOf(HWND window) {
  return reinterpret_cast<ZoomBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void DrawGlyph(const ZoomBox& box, HDC dc, const RECT& r, UINT format) {
  if (box.by_index) {
    if (box.code <= 0xFFFF) DrawGlyphIndex(dc, r, static_cast<WORD>(box.code), format);
    return;
  }
  DrawCodeGlyph(dc, r, box.code, box.glyph, format);
}

// A glyph index means a glyph only in its own font, so the small glyph of a code
// beyond U+FFFF is drawn in the viewed face at the interface font's height. The
// box owns it for as long as it is open.
struct CornerFont {
  CornerFont(const ViewerState& s, uint32_t code, uint32_t glyph) {
    LOGFONTA ui = {};
    if (code <= 0xFFFF || glyph == 0 || !GetObjectA(UiFont, sizeof ui, &ui)) return;
    LOGFONTA small = s.logfont;
    small.lfHeight = ui.lfHeight;
    font = CreateFontIndirectA(&small);
  }
  ~CornerFont() {
    if (font) DeleteObject(font);
  }
  CornerFont(const CornerFont&) = delete;
  CornerFont& operator=(const CornerFont&) = delete;
  HFONT font = nullptr;
};

// A note in the interface font, wrapped to the width of r: centred in it, or at
// its bottom, which then moves up above the note.
void DrawNote(HDC dc, RECT& r, const char* note, bool at_bottom) {
  constexpr UINT kFlags = DT_WORDBREAK | DT_CENTER | DT_NOPREFIX;
  RECT measure = r;
  const LONG height = DrawTextA(dc, note, -1, &measure, kFlags | DT_CALCRECT);
  RECT place = r;
  if (at_bottom) {
    place.top = std::max(r.top, r.bottom - height);
    r.bottom = place.top;
  } else {
    place.top += std::max(0L, (r.bottom - r.top - height) / 2);
  }
  DrawTextA(dc, note, -1, &place, kFlags);
}

// The enlarged glyph: in colour when it has a colour form, with a note when its
// colour form is not drawn or nothing of it can be.
void DrawZoomedGlyph(const ZoomBox& box, HDC dc, RECT r, HFONT label_font) {
  const GlyphForm form =
      box.colour ? DrawColorGlyph(dc, *box.colour, r, box.colour_glyph, box.dark,
                                  box.dark ? kDarkWindow : GetSysColor(COLOR_WINDOW))
                 : GlyphForm::kText;
  if (form == GlyphForm::kText || form == GlyphForm::kOutlineOnly)
    DrawGlyph(box, dc, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  if (form == GlyphForm::kText || form == GlyphForm::kColour) return;
  SelectObject(dc, label_font);
  DrawNote(dc, r,
           LanguageString(form == GlyphForm::kNone ? kTextCannotBeDrawn : kTextColourFormNotDrawn),
           form == GlyphForm::kOutlineOnly);
}

LRESULT OnZoomMouseMove(HWND window) {
  ZoomBox* box = BoxOf(window);
  if (!box || box->tracking) return 0;
  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof track;  // 16 bytes on 32-bit Windows, 24 on 64-bit
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  box->tracking = TrackMouseEvent(&track) != 0;
  return 0;
}

}  // namespace

void ShowZoomBox(HWND glyph_list, POINT point, ViewerState& s, uint32_t code) {
  ZoomBox z;
  z.code = code;
  z.by_index = s.glyph_view;
  z.glyph = z.by_index ? code : DrawnGlyph(s, code);
  z.font = s.zoom_font;
  z.line_height = s.line_height;
  z.dark = s.dark != 0;
  z.missing = !z.by_index && !CellShown(s, code);
  z.other_face = !s.other_face.empty();
  z.instance_note = InstanceNote(s);
  z.colour = s.colour_glyphs;
  if (s.colour_glyphs && s.glyph_font && s.other_face.empty()) {
    if (HDC dc = GetDC(glyph_list)) {
      HGDIOBJ previous = SelectObject(dc, s.glyph_font);
      z.colour_glyph = z.by_index ? code : CellGlyph(s, dc, code);
      SelectObject(dc, previous);
      ReleaseDC(glyph_list, dc);
    }
  }
  if (z.by_index && s.glyph_font) {
    if (HDC dc = GetDC(glyph_list)) {
      HGDIOBJ previous = SelectObject(dc, s.glyph_font);
      z.glyph_text = GlyphZoomText(s, code, dc);
      SelectObject(dc, previous);
      ReleaseDC(glyph_list, dc);
    }
  }
  const CornerFont corner(s, z.by_index ? 0 : code, z.glyph);
  z.corner_font = corner.font;
  // The sizes are set in pixels at 96 dpi; scaled up, the largest would outgrow
  // the screen the list is on.
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromWindow(glyph_list, MONITOR_DEFAULTTONEAREST), &monitor))
    screen = monitor.rcMonitor;
  const BoxSize size = ZoomBoxSize(s.zoom_width, s.zoom_height, ScreenDpiY,
                                   screen.right - screen.left, screen.bottom - screen.top);
  RECT client;
  GetClientRect(glyph_list, &client);
  BoxOrigin at = ZoomBoxOrigin(client.left, client.top, client.right, client.bottom, point.x,
                               point.y, size.width, size.height);
  HWND box = CreateWindowExA(0, kZoomClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, at.x,
                             at.y, size.width, size.height, glyph_list, nullptr, ModuleInstance,
                             &z);
  if (!box) return;
  // What the box says of a glyph is its text too, for whatever reads windows.
  if (z.by_index) SetWindowTextA(box, z.glyph_text.c_str());
  // The loop ends when the box is gone, not on a quit of its own: a quit posted
  // by the box would merge with one the host posts at the same time (a host that
  // closes the viewer and then quits), and the host's loop would never end. So
  // every quit seen here is someone else's: close the box and pass it on.
  MSG message;
  while (IsWindow(box)) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      DestroyWindow(box);
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

LRESULT PaintZoomBox(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return 0;
  const ZoomBox* box = BoxOf(window);
  if (!box) {
    EndPaint(window, &paint);
    return 0;
  }
  const ZoomBox& z = *box;
  RECT r;
  GetClientRect(window, &r);
  HGDIOBJ old_font = SelectObject(dc, UiFont);
  int old_mode = SetBkMode(dc, TRANSPARENT);
  COLORREF old_colour = z.dark ? SetTextColor(dc, kDarkText) : GetTextColor(dc);
  const int margin = ScaleToDpi(2, ScreenDpiY);
  InflateRect(&r, -margin, -margin);
  char label[32];
  std::snprintf(label, sizeof label, "#%04X/%u", static_cast<unsigned>(z.code),
                static_cast<unsigned>(z.code));
  // The glyph view's label is the glyph's index and name; its other lines go
  // under the glyph.
  const size_t first_line = z.glyph_text.find('\n');
  const std::string glyph_label = z.glyph_text.substr(0, first_line);
  DrawTextA(dc, z.by_index ? glyph_label.c_str() : label, -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  r.top += z.line_height;
  if (z.by_index) {
    if (first_line != std::string::npos)
      DrawNote(dc, r, z.glyph_text.c_str() + first_line + 1, true);
    if (z.instance_note >= 0) DrawNote(dc, r, LanguageString(z.instance_note), true);
    if (z.font) SelectObject(dc, z.font);
    DrawZoomedGlyph(z, dc, r, UiFont);
  } else if (z.missing) {
    // Centred under the label, wrapped when the box is narrow.
    DrawNote(dc, r, LanguageString(kTextNotInFont), false);
  } else {
    // Under the glyph, which keeps the rest of the box.
    // Both can be true: a refused instance's default drawn with another face.
    if (z.instance_note >= 0) DrawNote(dc, r, LanguageString(z.instance_note), true);
    if (z.other_face) DrawNote(dc, r, LanguageString(kTextOtherFace), true);
    r.top -= z.line_height;
    if (z.code > 0xFFFF && z.corner_font) SelectObject(dc, z.corner_font);
    if (z.code <= 0xFFFF || z.corner_font) DrawGlyph(z, dc, r, DT_SINGLELINE | DT_RIGHT);
    if (z.font) SelectObject(dc, z.font);
    r.top += z.line_height;
    DrawZoomedGlyph(z, dc, r, UiFont);
  }
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
  SelectObject(dc, old_font);
  EndPaint(window, &paint);
  return 0;
}

LRESULT CALLBACK ZoomWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    switch (message) {
      case WM_CREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams));
        SetFocus(window);
        return 0;
      case WM_PAINT:
        return PaintZoomBox(window);
      case WM_ERASEBKGND:
        if (!BoxOf(window) || !BoxOf(window)->dark) break;  // the class's window colour
        {
          RECT r;
          GetClientRect(window, &r);
          FillRect(reinterpret_cast<HDC>(wparam), &r, DarkWindowBrush);
        }
        return 1;
      case WM_MOUSEMOVE:
        return OnZoomMouseMove(window);
      case WM_LBUTTONUP:
      case WM_MOUSELEAVE:
        DestroyWindow(window);
        return 0;
      case WM_DESTROY:
        // The record stays with the call that opened the box; the colour glyphs
        // it holds go with it.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        // Wakes the loop when the box goes inside a message sent from elsewhere.
        PostMessageA(nullptr, WM_NULL, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}
