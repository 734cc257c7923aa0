#include "viewer/zoom_box.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "plugin/shared_resources.h"
#include "text/language.h"
#include "viewer/block_coverage.h"
#include "viewer/color_glyphs.h"
#include "viewer/display_fonts.h"
#include "viewer/glyph_drawing.h"
#include "viewer/grid_math.h"
#include "viewer/instance_selector.h"
#include "viewer/theme.h"
#include "viewer/viewer_layout.h"

namespace {

// One box at a time: these describe the box opened last.
uint32_t ZoomCode = 0;
uint32_t ZoomGlyph = 0;  // beyond U+FFFF: the glyph index the font's map gives
HFONT ZoomFont = nullptr;
HFONT ZoomCornerFont = nullptr;  // the small glyph beyond U+FFFF, drawn by index
int ZoomLineHeight = 0;
int ZoomTracking = 0;
int ZoomDark = 0;
int ZoomMissing = 0;  // the font lacks the character: say so instead of its empty box
int ZoomOtherFace = 0;  // the system draws another face: say so below the glyph
int ZoomInstanceNote = -1;  // the text saying why the default instance is drawn, or -1
// The font's colour glyphs, kept while the box is open (the viewer may go first).
std::shared_ptr<ColorGlyphFont> ZoomColour;
uint32_t ZoomColourGlyph = 0;

void DrawGlyph(HDC dc, const RECT& r, UINT format) {
  DrawCodeGlyph(dc, r, ZoomCode, ZoomGlyph, format);
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
void DrawZoomedGlyph(HDC dc, RECT r, HFONT label_font) {
  const GlyphForm form =
      ZoomColour ? DrawColorGlyph(dc, *ZoomColour, r, ZoomColourGlyph, ZoomDark != 0,
                                  ZoomDark ? kDarkWindow : GetSysColor(COLOR_WINDOW))
                 : GlyphForm::kText;
  if (form == GlyphForm::kText || form == GlyphForm::kOutlineOnly)
    DrawGlyph(dc, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  if (form == GlyphForm::kText || form == GlyphForm::kColour) return;
  SelectObject(dc, label_font);
  DrawNote(dc, r,
           LanguageString(form == GlyphForm::kNone ? kTextCannotBeDrawn : kTextColourFormNotDrawn),
           form == GlyphForm::kOutlineOnly);
}

LRESULT OnZoomMouseMove(HWND window) {
  if (ZoomTracking) return 0;
  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof track;  // 16 bytes on 32-bit Windows, 24 on 64-bit
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  ZoomTracking = TrackMouseEvent(&track);
  return 0;
}

}  // namespace

void ShowZoomBox(HWND glyph_list, POINT point, const ViewerState& s, uint32_t code) {
  ZoomCode = code;
  ZoomGlyph = DrawnGlyph(s, code);
  ZoomFont = s.zoom_font;
  ZoomLineHeight = s.line_height;
  ZoomDark = s.dark;
  ZoomMissing = CellShown(s, code) ? 0 : 1;
  ZoomOtherFace = s.other_face.empty() ? 0 : 1;
  ZoomInstanceNote = InstanceNote(s);
  ZoomColour = s.colour_glyphs;
  ZoomColourGlyph = 0;
  if (s.colour_glyphs && s.glyph_font && s.other_face.empty()) {
    if (HDC dc = GetDC(glyph_list)) {
      HGDIOBJ previous = SelectObject(dc, s.glyph_font);
      ZoomColourGlyph = CellGlyph(s, dc, code);
      SelectObject(dc, previous);
      ReleaseDC(glyph_list, dc);
    }
  }
  const CornerFont corner(s, code, ZoomGlyph);
  ZoomCornerFont = corner.font;
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
                             nullptr);
  if (!box) return;
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
  ZoomCornerFont = nullptr;
}

LRESULT PaintZoomBox(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return 0;
  RECT r;
  GetClientRect(window, &r);
  HGDIOBJ old_font = SelectObject(dc, UiFont);
  int old_mode = SetBkMode(dc, TRANSPARENT);
  COLORREF old_colour = ZoomDark ? SetTextColor(dc, kDarkText) : GetTextColor(dc);
  const int margin = ScaleToDpi(2, ScreenDpiY);
  InflateRect(&r, -margin, -margin);
  char label[32];
  std::snprintf(label, sizeof label, "#%04X/%u", static_cast<unsigned>(ZoomCode),
                static_cast<unsigned>(ZoomCode));
  DrawTextA(dc, label, -1, &r, DT_SINGLELINE);
  r.top += ZoomLineHeight;
  if (ZoomMissing) {
    // Centred under the label, wrapped when the box is narrow.
    DrawNote(dc, r, LanguageString(kTextNotInFont), false);
  } else {
    // Under the glyph, which keeps the rest of the box.
    // Both can be true: a refused instance's default drawn with another face.
    if (ZoomInstanceNote >= 0) DrawNote(dc, r, LanguageString(ZoomInstanceNote), true);
    if (ZoomOtherFace) DrawNote(dc, r, LanguageString(kTextOtherFace), true);
    r.top -= ZoomLineHeight;
    if (ZoomCode > 0xFFFF && ZoomCornerFont) SelectObject(dc, ZoomCornerFont);
    if (ZoomCode <= 0xFFFF || ZoomCornerFont) DrawGlyph(dc, r, DT_SINGLELINE | DT_RIGHT);
    if (ZoomFont) SelectObject(dc, ZoomFont);
    r.top += ZoomLineHeight;
    DrawZoomedGlyph(dc, r, UiFont);
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
        SetFocus(window);
        return 0;
      case WM_PAINT:
        return PaintZoomBox(window);
      case WM_ERASEBKGND:
        if (!ZoomDark) break;  // the class's window colour
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
        ZoomTracking = 0;
        ZoomColour.reset();
        // Wakes the loop when the box goes inside a message sent from elsewhere.
        PostMessageA(nullptr, WM_NULL, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}
