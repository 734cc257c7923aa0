#include "viewer/face_selector.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fontfile/sfnt_reader.h"
#include "platform/platform.h"
#include "viewer/process_resources.h"
#include "text/language.h"
#include "viewer/block_list.h"
#include "viewer/color_glyphs.h"
#include "viewer/display_fonts.h"
#include "viewer/font_path.h"
#include "viewer/instance_selector.h"
#include "viewer/pages.h"
#include "viewer/viewer_layout.h"
#include "viewer/viewer_window.h"

// The closed selector takes a part of the row, which cuts long names: its list
// opens as wide as the longest item needs (with room for a scroll bar and the
// frame), and no wider than the screen it is on. Measured as the list opens: on
// every file and face switch, measuring each name cost a third of a switch.
void WidenDroppedList(HWND combo) {
  HDC dc = GetDC(combo);
  if (!dc) return;
  HGDIOBJ previous = SelectObject(dc, UiFont);
  LONG longest = 0;
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  std::string item;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
    if (length <= 0) continue;
    item.assign(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    SIZE size = {};
    if (got > 0 && GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(got), &size))
      longest = std::max(longest, size.cx);
  }
  SelectObject(dc, previous);
  ReleaseDC(combo, dc);
  LONG width = longest + GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE) +
               ScaleToDpi(4, ScreenDpiY);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromWindow(combo, MONITOR_DEFAULTTONEAREST), &monitor))
    width = std::min(width, monitor.rcWork.right - monitor.rcWork.left);
  SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

namespace {

// The selector's row of the face shown; -1 (none) for a face not listed.
WPARAM FaceRow(const LoadedFont& font) {
  const auto row = std::find(font.face_numbers.begin(), font.face_numbers.end(), font.face);
  return row == font.face_numbers.end() ? static_cast<WPARAM>(-1)
                                        : static_cast<WPARAM>(row - font.face_numbers.begin());
}

}  // namespace

void ReadFaceNames(LoadedFont& font) {
  font.face_names.clear();
  font.face_numbers.clear();
  if (font.info.face_count <= 1 || !font.opened) return;
  // Only the names: a face's character map and its other texts wait until it is shown.
  for (FaceName& face : OpenedFaceNames(*font.opened)) {
    font.face_names.push_back(face.readable ? std::move(face.name)
                                            : std::string(LanguageString(kTextFaceUnreadable)));
    font.face_numbers.push_back(face.face);
  }
}

bool FaceSelectorWanted(const LoadedFont& font) {
  return font.glyph_font && font.face_names.size() > 1;
}

void UpdateFaceSelector(ViewerState& s) {
  const bool wanted = FaceSelectorWanted(s);
  // Made once and then hidden or shown: making and destroying a combo box for
  // every file while browsing takes longer than the rest of the change.
  if (wanted && !s.face_combo) {
    s.face_combo = CreateSizeRowSelector(s, kFaceComboId, true, InstanceSelectorWanted(s));
    if (!s.face_combo) return;
  }
  if (wanted) {
    SendMessageA(s.face_combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < s.face_names.size(); ++i) {
      // Counted from 1, as people count; the Info report names the face the same way.
      const std::string item = std::to_string(s.face_numbers[i] + 1) + "  " + s.face_names[i];
      SendMessageA(s.face_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(s.face_combo, CB_SETCURSEL, FaceRow(s), 0);
  }
  if (wanted == s.face_selector) return;
  s.face_selector = wanted;
  if (!wanted && GetFocus() == s.face_combo) SetFocus(s.glyph_list);
  const bool shown = wanted && (s.page == kGlyphsPage || s.page == kSamplePage);
  PlaceSizeRow(s);
  ShowSizeRowSelector(s.face_combo, shown);
}

bool SwitchFace(ViewerState& s, uint32_t face) {
  if (face == s.face || !s.glyph_font ||
      std::find(s.face_numbers.begin(), s.face_numbers.end(), face) == s.face_numbers.end())
    return false;
  FontInfo info;
  if (!s.opened || !ReadOpenedFace(*s.opened, face, info)) return false;
  HDC dc = GetDC(s.viewer);
  if (!dc) return false;
  // An open zoom box paints with the zoom font about to be deleted.
  if (s.glyph_list)
    if (HWND box = FindWindowExA(s.glyph_list, nullptr, kZoomClassName, nullptr))
      DestroyWindow(box);
  // The whole file stays registered; only the fonts made from it change, and
  // the colour glyphs are the new face's.
  ReleaseViewerFonts(s);
  s.info = std::move(info);
  s.face = face;
  s.colour_glyphs = OpenColorGlyphFont(s.opened, face);
  // A collection of variable fonts: the instance of that name, if this face has one.
  OpenNamedInstance(s);
  CreateViewerFonts(s, dc);
  ReleaseDC(s.viewer, dc);
  SendMessageA(s.glyph_list, LB_SETITEMHEIGHT, 0, GlyphRowHeight(s));
  // Another face holds other characters: the counts, and under the option the
  // blocks listed, follow it.
  const int block = s.block_index;
  RelistBlocks(s);
  RefillFontPages(s, s.block_index == block);
  UpdateInstanceSelector(s);
  return true;
}

LRESULT OnFaceSelectorCommand(HWND viewer, WPARAM wparam) {
  ViewerState* state = GetViewerState(viewer);
  if (state && HIWORD(wparam) == CBN_DROPDOWN) WidenDroppedList(state->face_combo);
  if (!state || HIWORD(wparam) != CBN_SELCHANGE) return 0;
  ViewerState& s = *state;
  const LRESULT selection = SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0);
  if (selection < 0 || static_cast<size_t>(selection) >= s.face_numbers.size() ||
      !SwitchFace(s, s.face_numbers[selection]))
    SendMessageA(s.face_combo, CB_SETCURSEL, FaceRow(s), 0);
  return 0;
}
