#include "viewer/theme.h"

#include <commctrl.h>
#include <richedit.h>

#include "plugin/shared_resources.h"

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

void Repaint(HWND window) {
  if (window) RedrawWindow(window, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

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
  s.recoloured = 1;
  ColourInfoView(s);
  ColourSampleView(s);
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
