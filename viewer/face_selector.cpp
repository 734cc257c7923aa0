#include "viewer/face_selector.h"

#include <algorithm>
#include <string>
#include <utility>

#include "fontfile/sfnt_reader.h"
#include "platform/platform.h"
#include "plugin/shared_resources.h"
#include "text/language.h"
#include "viewer/display_fonts.h"
#include "viewer/font_path.h"
#include "viewer/glyph_grid.h"
#include "viewer/pages.h"
#include "viewer/viewer_window.h"

namespace {

// The viewed file, by whichever path names it.
bool MapFontFile(const LoadedFont& font, MappedFile& file) {
  if (font.font_path_wide.empty()) return MapFileReadOnly(font.font_path.c_str(), file);
  return MapFileReadOnlyUtf8(WideToUtf8(font.font_path_wide).c_str(), file);
}

}  // namespace

void ReadFaceNames(LoadedFont& font) {
  font.face_names.clear();
  if (font.info.face_count <= 1) return;
  // One mapping, and only the names: a face's character map and its other
  // texts wait until it is shown.
  MappedFile file;
  if (!MapFontFile(font, file)) return;
  for (FaceName& face : ReadCollectionFaceNames(ByteView{file.data, file.size}))
    font.face_names.push_back(face.readable ? std::move(face.name)
                                            : std::string(LanguageString(kTextFaceUnreadable)));
}

void UpdateFaceSelector(ViewerState& s) {
  const bool wanted = s.glyph_font && s.face_names.size() > 1;
  // Made once and then hidden or shown: making and destroying a combo box for
  // every file while browsing takes longer than the rest of the change.
  if (wanted && !s.face_combo) {
    s.face_combo = CreateWindowExA(0, "COMBOBOX", nullptr,
                                   WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 0, 0, s.viewer,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFaceComboId)),
                                   ModuleInstance, nullptr);
    if (!s.face_combo) return;
    Subclass(s, s.face_combo, kFaceComboId);
    SendMessageA(s.face_combo, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), FALSE);
  }
  if (wanted) {
    SendMessageA(s.face_combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < s.face_names.size(); ++i) {
      // Counted from 1, as people count; the Info report names the face the same way.
      const std::string item = std::to_string(i + 1) + "  " + s.face_names[i];
      SendMessageA(s.face_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(s.face_combo, CB_SETCURSEL, s.face, 0);
  }
  if (wanted == s.face_selector) return;
  s.face_selector = wanted;
  if (!wanted && GetFocus() == s.face_combo) SetFocus(s.glyph_list);
  const bool shown = wanted && (s.page == kGlyphsPage || s.page == kSamplePage);
  PlaceSizeRow(s);
  ShowWindow(s.face_combo, shown ? SW_SHOWNA : SW_HIDE);
}

bool SwitchFace(ViewerState& s, uint32_t face) {
  if (face == s.face || !s.glyph_font || face >= s.face_names.size()) return false;
  FontInfo info;
  MappedFile file;
  if (!MapFontFile(s, file) || !ReadFontBytes(file.data, file.size, info, face)) return false;
  HDC dc = GetDC(s.viewer);
  if (!dc) return false;
  // The whole file stays registered; only the fonts made from it change.
  ReleaseViewerFonts(s);
  s.info = std::move(info);
  s.face = face;
  CreateViewerFonts(s, dc);
  ReleaseDC(s.viewer, dc);
  SendMessageA(s.glyph_list, LB_SETITEMHEIGHT, 0, GlyphRowHeight(s));
  // Another face holds other characters: the counts, and under the option the
  // blocks listed, follow it.
  RelistBlocks(s);
  RefillFontPages(s);
  return true;
}

LRESULT OnFaceSelectorCommand(HWND viewer, WPARAM wparam) {
  ViewerState* state = GetViewerState(viewer);
  if (!state || HIWORD(wparam) != CBN_SELCHANGE) return 0;
  ViewerState& s = *state;
  const LRESULT selection = SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0);
  if (selection < 0 || !SwitchFace(s, static_cast<uint32_t>(selection)))
    SendMessageA(s.face_combo, CB_SETCURSEL, s.face, 0);
  return 0;
}
