#include "viewer/theme.h"

#include <commctrl.h>
#include <richedit.h>

#include "viewer/process_resources.h"
#include "viewer/features_page.h"

HPEN DarkGridPen = nullptr;
HBRUSH DarkWindowBrush = nullptr;
HBRUSH DarkFaceBrush = nullptr;

namespace {

// The text of the whole view and of whatever is typed or written into it next.
void SetRichEditText(HWND view, bool dark) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.dwEffects = dark ? 0 : CFE_AUTOCOLOR;
  format.crTextColor = dark ? kDarkText : 0;
  SendMessageA(view, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  SendMessageA(view, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

// The tab control draws itself in the system's colours whatever its parent
// answers; in dark mode it is painted here: the body's frame and each tab.
void PaintDarkTabs(HWND tab, HDC dc) {
  RECT client;
  GetClientRect(tab, &client);
  FillRect(dc, &client, DarkFaceBrush);
  HGDIOBJ old_pen = SelectObject(dc, DarkGridPen);
  HGDIOBJ old_brush = SelectObject(dc, HollowBrush);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(tab, WM_GETFONT, 0, 0));
  HGDIOBJ old_font = SelectObject(dc, font ? font : UiFont);
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = GetTextColor(dc);

  const int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  const int current = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
  RECT first = {};
  SendMessageA(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  Rectangle(dc, client.left, first.bottom, client.right, client.bottom);
  for (int i = 0; i < count; ++i) {
    RECT r = {};
    if (!SendMessageA(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r))) continue;
    char text[128] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    if (i == current) {
      // The current tab stands a little higher and opens into the body.
      r.top -= 2;
      RECT inside = {r.left + 1, r.top + 1, r.right - 1, r.bottom + 1};
      FillRect(dc, &inside, DarkWindowBrush);
    }
    MoveToEx(dc, r.left, r.bottom, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    LineTo(dc, r.right - 1, r.bottom);
    SetTextColor(dc, i == current ? kDarkText : kDarkLabel);
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
  SelectObject(dc, old_font);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
}

LRESULT CALLBACK DarkTabProc(HWND tab, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                             DWORD_PTR) {
  try {
    // The viewer's record goes before its tab control: from then on, the system's drawing.
    const ViewerState* s = GetViewerState(GetParent(tab));
    if (s && s->dark) {
      if (message == WM_ERASEBKGND) return 1;
      if (message == WM_PAINT || message == WM_PRINTCLIENT) {
        if (message == WM_PRINTCLIENT) {
          PaintDarkTabs(tab, reinterpret_cast<HDC>(wparam));
          return 0;
        }
        PAINTSTRUCT paint;
        if (HDC dc = BeginPaint(tab, &paint)) {
          PaintDarkTabs(tab, dc);
          EndPaint(tab, &paint);
        }
        return 0;
      }
    }
    return DefSubclassProc(tab, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

void Repaint(HWND window) {
  if (window) RedrawWindow(window, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

void CreateDarkBrushes() {
  DarkGridPen = CreatePen(PS_SOLID, 0, kDarkGrid);
  DarkWindowBrush = CreateSolidBrush(kDarkWindow);
  DarkFaceBrush = CreateSolidBrush(kDarkFace);
}

void DeleteDarkBrushes() {
  DeleteGdiObject(DarkGridPen);
  DeleteGdiObject(DarkWindowBrush);
  DeleteGdiObject(DarkFaceBrush);
}

void ColourInfoView(const ViewerState& s) {
  if (!s.info_view) return;
  // Light mode keeps the view as it was created: dialog face, automatic text.
  const bool dark = s.dark != 0;
  if (!dark && !s.recoloured) return;
  SendMessageA(s.info_view, EM_SETBKGNDCOLOR, 0, dark ? kDarkFace : GetSysColor(COLOR_BTNFACE));
  SetRichEditText(s.info_view, dark);
}

void ColourSampleView(const ViewerState& s) {
  if (!s.sample_view) return;
  const bool dark = s.dark != 0;
  if (!dark && !s.recoloured) return;
  // A non-zero first parameter goes back to the system's window colour.
  SendMessageA(s.sample_view, EM_SETBKGNDCOLOR, dark ? 0 : 1, dark ? kDarkWindow : 0);
  SetRichEditText(s.sample_view, dark);
}

LRESULT OnNewParams(HWND viewer, WPARAM show_flags) {
  ViewerState* state = GetViewerState(viewer);
  if (!state) return 0;
  ViewerState& s = *state;
  const int dark = (show_flags & kDarkModeFlag) ? 1 : 0;
  if (dark == s.dark) return 0;
  s.dark = dark;
  // Light mode needs no subclass: until dark mode is first asked for the tab
  // control is left exactly as the system made it.
  if (!s.recoloured && s.tab) SetWindowSubclass(s.tab, DarkTabProc, 1, 0);
  s.recoloured = 1;
  ColourInfoView(s);
  ColourSampleView(s);
  RecolourFeaturesPage(s);
  Repaint(viewer);
  return 0;
}

HBRUSH DarkControlColours(const ViewerState& s, UINT message, HDC dc) {
  if (!s.dark) return nullptr;
  // Fields the user types into and lists sit on the darker window colour.
  const bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, kDarkText);
  SetBkColor(dc, field ? kDarkWindow : kDarkFace);
  return field ? DarkWindowBrush : DarkFaceBrush;
}

LRESULT OnViewerControlColour(HWND viewer, UINT message, WPARAM wparam, LPARAM lparam) {
  if (const ViewerState* s = GetViewerState(viewer))
    if (HBRUSH brush = DarkControlColours(*s, message, reinterpret_cast<HDC>(wparam)))
      return reinterpret_cast<LRESULT>(brush);
  return DefWindowProcA(viewer, message, wparam, lparam);
}
