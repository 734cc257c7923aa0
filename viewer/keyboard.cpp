#include "viewer/keyboard.h"

#include <vector>

#include "viewer/pages.h"
#include "viewer/viewer_state.h"

namespace {

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The controls Ctrl+Right walks through on the current page, in that order.
// A collection's face selector follows the trackbar, its neighbour on the size row,
// and a variable font's instance selector follows both. The Features page's are
// its text field, its two choosers and its feature list.
std::vector<HWND> FocusRing(const ViewerState& s) {
  std::vector<HWND> ring;
  const HWND face = s.face_selector ? s.face_combo : nullptr;  // hidden for a single font
  const HWND instance = s.instance_selector ? s.instance_combo : nullptr;
  if (s.page == kGlyphsPage)
    ring = {s.glyph_list, s.size_edit, s.size_slider, face, instance, s.block_combo,
            s.charset_combo};
  else if (s.page == kSamplePage)
    ring = {s.sample_view, s.size_edit, s.size_slider, face, instance};
  else if (s.page == kFeaturesPage && s.features_view)
    for (int id : {kFeaturesTextId, kFeaturesScriptId, kFeaturesLanguageId, kFeaturesListId})
      ring.push_back(GetDlgItem(s.features_view, id));
  std::erase(ring, HWND{});
  return ring;
}

void MoveFocus(const ViewerState& s, HWND from, bool forward) {
  std::vector<HWND> ring = FocusRing(s);
  const int n = static_cast<int>(ring.size());
  for (int i = 0; i < n; ++i) {
    if (ring[i] != from || !from) continue;
    HWND to = ring[(i + (forward ? 1 : n - 1)) % n];
    if (to) SetFocus(to);
    return;
  }
}

}  // namespace

LRESULT HandleNavigationKey(HWND window, WPARAM key, LPARAM key_data) {
  ViewerState* state = GetViewerState(window);
  if (!state) return 1;
  const bool ctrl = KeyDown(VK_CONTROL);
  switch (key) {
    case VK_ESCAPE:
      // Upwards one window at a time, until it reaches the host.
      SendMessageA(GetParent(window), WM_KEYDOWN, VK_ESCAPE, key_data);
      return 0;
    case VK_TAB:
      if (!ctrl) return 1;
      if (KeyDown(VK_SHIFT))
        PreviousPage(*state);
      else
        NextPage(*state);
      return 0;
    case VK_PRIOR:
      if (!ctrl) return 1;
      PreviousPage(*state);
      return 0;
    case VK_NEXT:
      if (!ctrl) return 1;
      NextPage(*state);
      return 0;
    case VK_RIGHT:
    case VK_LEFT:
      if (!ctrl) return 1;
      MoveFocus(*state, window, key == VK_RIGHT);
      return 0;
  }
  return 1;
}

LRESULT CALLBACK ControlSubclassProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    ViewerState* state = GetViewerState(control);
    if (!state) return 0;
    int index = GetDlgCtrlID(control) - kGlyphListId;
    if (index < 0 || index >= kSubclassedCount || !state->prev_procs[index]) return 0;
    WNDPROC previous = state->prev_procs[index];
    if (message == WM_KEYDOWN) {
      if (HandleNavigationKey(control, wparam, lparam) == 0) return 0;
      return CallWindowProcA(previous, control, message, wparam, lparam);
    }
    LRESULT result = CallWindowProcA(previous, control, message, wparam, lparam);
    // A quick second press on the grid arrives as a double click; it is a press all the same.
    bool press = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    if (press && index == kGlyphListId - kGlyphListId) {
      DWORD position = GetMessagePos();
      SendMessageA(GetParent(control), kZoomRequest, 0, static_cast<LPARAM>(position));
    } else if (message == WM_SETFOCUS) {
      // The state may have gone while the previous procedure ran.
      if (ViewerState* current = GetViewerState(control)) current->has_focus = 1;
    }
    return result;
  } catch (...) {
    return 0;
  }
}
