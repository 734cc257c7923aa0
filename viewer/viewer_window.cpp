#include "viewer/viewer_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "fontfile/catalog.h"
#include "viewer/process_resources.h"
#include "text/language.h"
#include "text/settings.h"
#include "text/web_font_text.h"
#include "viewer/block_coverage.h"
#include "viewer/color_glyphs.h"
#include "viewer/block_list.h"
#include "viewer/display_fonts.h"
#include "viewer/face_selector.h"
#include "viewer/features_page.h"
#include "viewer/glyph_grid.h"
#include "viewer/instance_selector.h"
#include "viewer/keyboard.h"
#include "viewer/options_page.h"
#include "viewer/pages.h"
#include "viewer/theme.h"

namespace {

// Copies text into a fixed buffer, cut to fit with its terminator.
template <size_t N>
void CopyCut(char (&out)[N], const char* text) {
  size_t length = std::min(std::strlen(text), N - 1);
  std::memcpy(out, text, length);
  out[length] = '\0';
}

void SetUiFont(HWND control) {
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), FALSE);
}

HWND CreateControl(const char* class_name, DWORD style, DWORD ex_style, int id, HWND parent) {
  return CreateWindowExA(ex_style, class_name, nullptr, WS_CHILD | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance,
                         nullptr);
}

bool IsViewerWindow(HWND window) {
  if (!window || !IsWindow(window)) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return false;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return std::strcmp(name, kViewerClassName) == 0;
}

void DestroyIfPresent(HWND control) {
  if (control) DestroyWindow(control);
}

void CreateControls(ViewerState& s, HWND window) {
  s.tab = CreateControl(WC_TABCONTROLA, WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0, kTabId,
                        window);
  if (s.tab) {
    SetUiFont(s.tab);
    for (int page = 0; page < kPageCount - 1; ++page) {
      TCITEMA item = {};
      item.mask = TCIF_TEXT | TCIF_IMAGE;
      item.iImage = -1;
      item.pszText = const_cast<char*>(LanguageString(kTextGlyphsTab + page));
      SendMessageA(s.tab, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
    }
    UpdateFeaturesTab(s);
  }

  s.size_edit = CreateControl("EDIT", ES_RIGHT | ES_MULTILINE | ES_NUMBER, WS_EX_CLIENTEDGE,
                              kSizeEditId, window);
  SetUiFont(s.size_edit);
  if (s.size_edit) SendMessageA(s.size_edit, EM_LIMITTEXT, 3, 0);
  Subclass(s, s.size_edit, kSizeEditId);

  s.size_slider = CreateControl(TRACKBAR_CLASSA, TBS_AUTOTICKS, 0, kSizeSliderId, window);
  Subclass(s, s.size_slider, kSizeSliderId);
  if (s.size_slider) {
    SendMessageA(s.size_slider, TBM_SETRANGE, FALSE, MAKELPARAM(6, 128));
    SendMessageA(s.size_slider, TBM_SETTICFREQ, 6, 0);
    SendMessageA(s.size_slider, TBM_SETPAGESIZE, 0, 6);
  }

  // Drawn by the viewer, so that each block can show how many characters it holds.
  s.block_combo = CreateControl(
      "COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0,
      kBlockComboId, window);
  Subclass(s, s.block_combo, kBlockComboId);
  SetUiFont(s.block_combo);
  FillBlockList(s);

  s.block_spin = CreateControl(UPDOWN_CLASSA, UDS_WRAP | UDS_HORZ, 0, 0, window);
  if (s.block_spin) SendMessageA(s.block_spin, UDM_SETRANGE32, 0, kUnicodeBlockCount - 1);

  s.charset_combo = CreateControl("COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0, kCharsetComboId,
                                  window);
  Subclass(s, s.charset_combo, kCharsetComboId);
  SetUiFont(s.charset_combo);
  if (s.charset_combo)
    for (const NamedValue& row : CharsetTable)
      SendMessageA(s.charset_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.name));

  s.charset_spin = CreateControl(UPDOWN_CLASSA, UDS_WRAP | UDS_HORZ, 0, 0, window);
  if (s.charset_spin) SendMessageA(s.charset_spin, UDM_SETRANGE32, 0, kCharsetCount - 1);

  // Asks the viewer for its item height (WM_MEASUREITEM) while it is created.
  s.glyph_list = CreateControl("LISTBOX",
                               WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                                   LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | LBS_NODATA |
                                   LBS_NOSEL,
                               WS_EX_CLIENTEDGE, kGlyphListId, window);
  Subclass(s, s.glyph_list, kGlyphListId);

  s.info_view = CreateRichEdit(ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_READONLY |
                                   ES_WANTRETURN,
                               window, 0, kInfoViewId);
  Subclass(s, s.info_view, kInfoViewId);
  SetUiFont(s.info_view);
  if (s.info_view) {
    SendMessageA(s.info_view, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    PARAFORMAT format = {};
    format.cbSize = sizeof format;
    format.dwMask = PFM_TABSTOPS;
    format.cTabCount = 3;
    format.rgxTabs[0] = 180;
    format.rgxTabs[1] = 1600;
    format.rgxTabs[2] = 1600;
    SendMessageA(s.info_view, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  }

  s.sample_view = CreateRichEdit(ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                                 window, WS_EX_CLIENTEDGE, kSampleViewId);
  Subclass(s, s.sample_view, kSampleViewId);
  if (s.sample_view) SendMessageA(s.sample_view, EM_LIMITTEXT, 1023, 0);

  s.options_host = CreateControl("STATIC", 0, 0, kOptionsHostId, window);
  Subclass(s, s.options_host, kOptionsHostId);
}

LRESULT OnCreate(HWND window, const CREATESTRUCTA& create) {
  ViewerState* state = new (std::nothrow) ViewerState();
  if (!state) return 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  ViewerState& s = *state;
  s.viewer = window;

  LONG_PTR parent_style = GetWindowLongPtrA(GetParent(window), GWL_STYLE);
  s.parent_fixed = (parent_style & WS_THICKFRAME) ? 0 : 1;
  if (const auto* params = static_cast<const ViewerCreateParams*>(create.lpCreateParams)) {
    s.font_path = params->path.ansi;
    s.font_path_wide = params->path.wide;
  }
  s.line_height = UiLineHeight;

  LoadSettings(s);
  SortBlockOrder(s.sort_order, s);
  OpenStoredBlock(s);

  if (HDC dc = GetDC(window)) {
    LoadFontFile(s, dc);
    // A stored block the font has nothing in, while such blocks are left out.
    if (!BlockListed(s, s.block_index)) s.block_index = ListedPositionFrom(s, 0, 1);
    CreateControls(s, window);
    if (s.options_host) {
      s.options_dialog = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(900), s.options_host,
                                            OptionsDialogProc, reinterpret_cast<LPARAM>(&s));
      SetUpOptionsDialog(s);
    }
    if (!s.glyph_font) EnableGlyphSelectors(s, false);
    UpdateFaceSelector(s);
    UpdateInstanceSelector(s);
    ReleaseDC(window, dc);
  }

  SelectBlockItem(s);
  SendMessageA(s.charset_combo, CB_SETCURSEL, s.charset_index, 0);
  SendMessageA(s.charset_spin, UDM_SETPOS32, 0, s.charset_index);
  SendMessageA(s.tab, TCM_SETCURSEL, s.page, 0);
  ShowPage(s, s.page);
  return 0;
}

LRESULT OnDestroy(HWND window) {
  ViewerState* state = GetViewerState(window);
  if (!state) return 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  ViewerState& s = *state;

  if (s.page_built[kSamplePage] && s.sample_view)
    GetWindowTextA(s.sample_view, s.sample_text, sizeof s.sample_text);
  if (s.page_built[kOptionsPage]) ApplyOptionsPage(s);
  DestroyIfPresent(s.options_dialog);
  DestroyIfPresent(s.features_view);

  Unsubclass(s, s.glyph_list, kGlyphListId);
  Unsubclass(s, s.info_view, kInfoViewId);
  Unsubclass(s, s.sample_view, kSampleViewId);
  Unsubclass(s, s.options_host, kOptionsHostId);
  DestroyIfPresent(s.charset_spin);
  Unsubclass(s, s.charset_combo, kCharsetComboId);
  DestroyIfPresent(s.block_spin);
  Unsubclass(s, s.block_combo, kBlockComboId);
  Unsubclass(s, s.size_slider, kSizeSliderId);
  Unsubclass(s, s.size_edit, kSizeEditId);
  Unsubclass(s, s.face_combo, kFaceComboId);
  Unsubclass(s, s.instance_combo, kInstanceComboId);
  DestroyIfPresent(s.tab);

  if (SettingsPath) StoreInstance(s);
  ReleaseFontFile(s);
  if (SettingsPath) {
    SaveSettings(s, SortOrder);
    StoreBlock(s);
  }
  delete state;
  return 0;
}

LRESULT OnSetFocus(HWND window) {
  ViewerState* s = GetViewerState(window);
  if (!s) return 0;
  s->has_focus = 1;
  if (HWND control = PageControl(*s, s->page)) SetFocus(control);
  return 0;
}

LRESULT OnKillFocus(HWND window) {
  if (ViewerState* s = GetViewerState(window)) s->has_focus = 0;
  return 0;
}

LRESULT OnMeasureItem(HWND window, MEASUREITEMSTRUCT& item) {
  if (item.CtlID == kBlockComboId)
    MeasureBlockItem(item);
  else if (ViewerState* s = GetViewerState(window))
    item.itemHeight = static_cast<UINT>(GlyphRowHeight(*s));
  return TRUE;
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, *reinterpret_cast<const CREATESTRUCTA*>(lparam));
    case WM_DESTROY:
      return OnDestroy(window);
    case WM_SIZE:
      LayoutViewer(window, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      return 0;
    case WM_SETFOCUS:
      return OnSetFocus(window);
    case WM_KILLFOCUS:
      return OnKillFocus(window);
    case WM_DRAWITEM:
      return DrawGlyphRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam), window);
    case WM_MEASUREITEM:
      return OnMeasureItem(window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
    case WM_ERASEBKGND:
      return TRUE;
    case WM_NOTIFY:
      return OnTabNotify(*reinterpret_cast<const NMHDR*>(lparam), window);
    case WM_KEYDOWN:
      return HandleNavigationKey(window, wparam, lparam);
    case WM_COMMAND:
      if (LOWORD(wparam) == kFaceComboId) return OnFaceSelectorCommand(window, wparam);
      if (LOWORD(wparam) == kInstanceComboId) return OnInstanceSelectorCommand(window, wparam);
      return OnViewerCommand(window, wparam);
    case WM_HSCROLL:
      return OnViewerHScroll(reinterpret_cast<HWND>(lparam), window);
    case kZoomRequest:
      return OpenZoomAtClick(window);
    case kNewParamsMessage:
      return OnNewParams(window, wparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnViewerControlColour(window, message, wparam, lparam);
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

void Subclass(ViewerState& state, HWND control, int id) {
  if (!control) return;
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  state.prev_procs[id - kGlyphListId] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlSubclassProc)));
}

void Unsubclass(ViewerState& state, HWND control, int id) {
  if (!control) return;
  WNDPROC previous = state.prev_procs[id - kGlyphListId];
  if (previous) SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  SetWindowLongPtrA(control, GWLP_USERDATA, 0);
  DestroyWindow(control);
}

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    return Dispatch(window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

namespace {

// A refused web font's load error: the system code that comes nearest to its
// reason, and the reason's text as the message (left empty for the system's own).
int WebFontError(WebFontProblem problem, char (&message)[1024]) {
  const int text = WebFontProblemTextId(problem);
  if (text < 0) return ERROR_NOT_ENOUGH_MEMORY;
  CopyCut(message, LanguageString(text));
  return problem == WebFontProblem::kTooLarge ? ERROR_FILE_TOO_LARGE : ERROR_INVALID_DATA;
}

}  // namespace

void LoadFontFile(ViewerState& s, HDC dc) {
  const bool wide = !s.font_path_wide.empty();
  const std::string utf8 = wide ? WideToUtf8(s.font_path_wide) : std::string();
  // Mapped and read once. A file the readers reject is not offered to the system:
  // some font engines fault on broken tables and then block every later font
  // call of the process.
  // A face the file lacks (the file before it had more) or cannot read gives
  // way to its first face that reads: one broken face does not keep the others
  // from being shown.
  // The record serves every read that follows: faces, instances, colour glyphs,
  // the Info page.
  FontInfo info;
  auto opened = std::make_shared<OpenedFont>();
  const bool mapped = wide ? OpenFontFileUtf8(utf8.c_str(), *opened)
                           : OpenFontFile(s.font_path.c_str(), *opened);
  const int recognized =
      mapped ? ReadOpenedFont(*opened, s.face, FaceFallback::kFirstReadable, info) : 0;
  const bool sound = OpenedFontSound(*opened, recognized);
  if (recognized) s.face = info.face;
  const WebFontProblem refused = info.container.problem;
  // A stale code from an earlier call must not be reported as this failure's.
  SetLastError(0);
  int added = 0;
  if (sound && !opened->decoded.empty()) {
    // A web font's decoded bytes go to the system from memory; it keeps a copy.
    DWORD fonts = 0;
    s.font_memory = AddFontMemResourceEx(const_cast<uint8_t*>(opened->decoded.data()),
                                         static_cast<DWORD>(opened->decoded.size()), nullptr,
                                         &fonts);
    added = s.font_memory ? static_cast<int>(fonts) : 0;
  } else if (sound) {
    added = wide ? AddFontResourceExW(FontResourceName(s.font_path_wide).c_str(), FR_PRIVATE,
                                      nullptr)
                 : AddFontResourceExA(FontResourceName(s.font_path).c_str(), FR_PRIVATE, nullptr);
    s.font_registered = added > 0 ? 1 : 0;
  }
  if (added > 0) {
    // A file the system took but that could not be mapped is tried once more, so
    // that the code reported is that failure's own.
    int read = recognized;
    if (!mapped) {
      read = wide ? OpenFontFileUtf8(utf8.c_str(), *opened)
                  : OpenFontFile(s.font_path.c_str(), *opened);
      if (read) read = ReadOpenedFace(*opened, s.face, info);
    }
    // Only a registered font's record is kept: after a failed load the Info page
    // shows empty names.
    s.info = std::move(info);
    if (read) {
      s.opened = std::move(opened);
      // The instance of the name remembered, where this face has one, is drawn.
      OpenNamedInstance(s);
      CreateViewerFonts(s, dc);
      if (s.glyph_font) ReadFaceNames(s);
      s.colour_glyphs = OpenColorGlyphFont(s.opened, s.face);
    }
  }
  if (s.glyph_font) {
    s.load_error[0] = '\0';
    return;
  }
  int code = static_cast<int>(GetLastError());
  char message[1024] = {};
  if (refused != WebFontProblem::kNone) code = WebFontError(refused, message);
  if (message[0] != '\0') {
    // The reason is the message.
  } else if (code != 0) {
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                        static_cast<DWORD>(code), 0x400, message, sizeof message, nullptr))
      message[0] = '\0';
  } else {
    code = -1;
    CopyCut(message, LanguageString(kTextNoErrorInformation));
  }
  std::string text =
      FormatLoadError(LanguageString(kTextLoadErrorFormat), s.font_path.c_str(), code, message);
  CopyCut(s.load_error, text.c_str());
}

void ReleaseFontFile(ViewerState& s) {
  ReleaseFeaturesFont(s);
  ReleaseViewerFonts(s);
  ReleaseInstances(s);
  ClearFontInfo(s.info);
  s.colour_glyphs.reset();
  if (s.font_registered) {
    if (s.font_path_wide.empty())
      RemoveFontResourceExA(FontResourceName(s.font_path).c_str(), FR_PRIVATE, nullptr);
    else
      RemoveFontResourceExW(FontResourceName(s.font_path_wide).c_str(), FR_PRIVATE, nullptr);
    s.font_registered = 0;
  }
  if (s.font_memory) {
    RemoveFontMemResourceEx(s.font_memory);
    s.font_memory = nullptr;
  }
  s.opened.reset();
  s.font_path.clear();
  s.font_path.shrink_to_fit();
  s.font_path_wide.clear();
  s.font_path_wide.shrink_to_fit();
}

bool LoadNextFont(HWND viewer, const FontPath& path) {
  if (!IsViewerWindow(viewer)) return false;
  ViewerState* state = GetViewerState(viewer);
  if (!state) return false;
  ViewerState& s = *state;

  // The new file is loaded beside the old one first, so a file that cannot be
  // shown leaves the window as it was.
  auto next = std::make_unique<ViewerState>();
  static_cast<ViewerSettings&>(*next) = static_cast<const ViewerSettings&>(s);
  next->font_path = path.ansi;
  next->font_path_wide = path.wide;
  next->face = s.face;  // kept when the next file has that face and it reads
  HDC dc = GetDC(viewer);
  if (!dc) return false;
  LoadFontFile(*next, dc);
  ReleaseDC(viewer, dc);
  if (!next->glyph_font) {
    ReleaseFontFile(*next);
    return false;
  }

  // An open zoom box paints with the zoom font about to be deleted.
  if (s.glyph_list)
    if (HWND box = FindWindowExA(s.glyph_list, nullptr, kZoomClassName, nullptr))
      DestroyWindow(box);
  ReleaseFontFile(s);
  static_cast<LoadedFont&>(s) = std::exchange(static_cast<LoadedFont&>(*next), LoadedFont{});
  // The instance the next font shows is the one remembered now.
  std::memcpy(s.instance_name, next->instance_name, sizeof s.instance_name);

  // A window opened on a file it could not show had its selectors switched off.
  EnableGlyphSelectors(s, true);
  // The next font may have nothing in the block shown, or in other blocks.
  RelistBlocks(s);
  SendMessageA(s.glyph_list, LB_SETITEMHEIGHT, 0, GlyphRowHeight(s));
  RefillFontPages(s);
  UpdateFaceSelector(s);
  UpdateInstanceSelector(s);
  return true;
}

HWND CreateRichEdit(DWORD style, HWND parent, DWORD ex_style, int id) {
  style |= WS_CHILD | WS_VSCROLL;
  HMENU menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  HWND edit = CreateWindowExA(ex_style, "RichEdit20A", nullptr, style, 0, 0, 0, 0, parent, menu,
                              ModuleInstance, nullptr);
  if (!edit)
    edit = CreateWindowExA(ex_style, "RichEdit", nullptr, style, 0, 0, 0, 0, parent, menu,
                           ModuleInstance, nullptr);
  return edit;
}
