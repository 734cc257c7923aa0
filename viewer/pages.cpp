#include "viewer/pages.h"

#include <commctrl.h>
#include <richedit.h>

#include "fontfile/catalog.h"
#include "fontfile/font_anatomy.h"
#include "platform/platform.h"
#include "viewer/process_resources.h"
#include "text/info_report.h"
#include "viewer/font_path.h"
#include "viewer/features_page.h"
#include "viewer/glyph_grid.h"
#include "viewer/instance_selector.h"
#include "viewer/options_page.h"
#include "viewer/report_values.h"
#include "viewer/theme.h"
#include "viewer/viewer_layout.h"
#include "viewer/viewer_window.h"

namespace {

// The Info report written into the rich-edit view.
struct RichEditSink final : ReportSink {
  explicit RichEditSink(HWND view) : view(view) {}
  void Clear() override { SendMessageA(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); }
  void Insert(const char* piece) override {
    SendMessageA(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
  }
  void SetBold(bool on) override {
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD;
    format.dwEffects = on ? CFE_BOLD : 0;
    SendMessageA(view, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  void CaretToStart() override { SendMessageA(view, EM_SETSEL, 0, 0); }
  HWND view;
};

// What the shown face is made of, read from the opened font when the report is
// first built (the viewer's start reads none of it), and kept in it.
FontAnatomy ReadShownAnatomy(const ViewerState& s) {
  try {
    if (!s.opened) return {};
    return FaceAnatomy(*s.opened, s.face);
  } catch (...) {
    return {};  // out of memory: the report goes without these sections
  }
}

void WriteInfoReport(const ViewerState& s) {
  if (!s.info_view) return;
  RichEditSink sink(s.info_view);
  if (s.load_error[0]) {
    BuildLoadErrorReport(sink, s.info, s.font_path.c_str(), s.load_error);
  } else {
    const FontAnatomy anatomy = ReadShownAnatomy(s);
    const bool variable = !s.instances.empty();
    const std::string instance = variable ? InstanceName(s, s.instance) : std::string();
    const std::string coordinates =
        variable ? InstanceCoordinates(s, s.instance) : std::string();
    // The byte cells count as the block list counts them, in the glyph font's set.
    BuildInfoReport(sink, s.info, s.font_path.c_str(), ToSignatureWords(s.signature),
                    ToReportMetrics(s.glyph_metrics), &anatomy,
                    {s.cells.byte_characters, LookupName(CharsetTable, s.cells.charset),
                     s.other_face.c_str(), variable ? instance.c_str() : nullptr,
                     variable ? coordinates.c_str() : nullptr, InstanceNote(s)});
  }
  // The report's runs carry the colour they were written in: recolour them all.
  ColourInfoView(s);
}

void FillPage(ViewerState& s, int page) {
  switch (page) {
    case kGlyphsPage:
      SetGlyphRowCount(s);
      break;
    case kInfoPage:
      WriteInfoReport(s);
      break;
    case kSamplePage:
      if (!s.sample_view) break;
      SendMessageA(s.sample_view, WM_SETFONT, reinterpret_cast<WPARAM>(s.sample_font), TRUE);
      SetWindowTextA(s.sample_view, s.sample_text);
      ColourSampleView(s);
      break;
    case kOptionsPage:
      FillOptionsPage(s);
      break;
    case kFeaturesPage:
      FillFeaturesPage(s);
      break;
  }
}

// One deferred-positioning batch that skips absent controls: a failed entry
// would throw the whole batch away.
struct DeferBatch {
  explicit DeferBatch(int count) : handle(BeginDeferWindowPos(count)) {}
  ~DeferBatch() {
    if (handle) EndDeferWindowPos(handle);
  }
  DeferBatch(const DeferBatch&) = delete;
  DeferBatch& operator=(const DeferBatch&) = delete;
  void Add(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
    if (!window || !handle) return;
    handle = DeferWindowPos(handle, window, after, x, y, cx, cy, flags);
  }
  void Place(HWND window, const Placement& p) {
    Add(window, HWND_TOP, p.x, p.y, p.width, p.height, 0);
  }
  // Only a control whose state changes: every entry costs the system a window
  // position change, and at the start all but the tab are hidden already.
  void Show(HWND window, bool shown) {
    if (!window || ((GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0) == shown) return;
    Add(window, nullptr, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  HDWP handle;
};

}  // namespace

HWND PageControl(const ViewerState& s, int page) {
  switch (page) {
    case kGlyphsPage: return s.glyph_list;
    case kInfoPage: return s.info_view;
    case kSamplePage: return s.sample_view;
    case kOptionsPage: return s.options_host;
    case kFeaturesPage: return s.features_view;
  }
  return nullptr;
}

void LayoutViewer(HWND window, int width, int height) {
  ViewerState* state = GetViewerState(window);
  if (!state) return;
  ViewerState& s = *state;
  s.laid_out = true;
  RECT display = {0, 0, width, height};
  if (s.tab) SendMessageA(s.tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  ViewerLayout o = ComputeViewerLayout(display.left, display.top, display.right, display.bottom,
                                       ScreenDpiY, s.face_selector, s.instance_selector);

  DeferBatch batch(14);
  batch.Add(s.tab, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  batch.Place(s.block_combo, o.block_combo);
  batch.Place(s.block_spin, o.block_spin);
  batch.Place(s.charset_combo, o.charset_combo);
  batch.Place(s.charset_spin, o.charset_spin);
  batch.Place(s.size_edit, o.size_edit);
  batch.Place(s.size_slider, o.size_slider);
  batch.Place(s.glyph_list, o.glyph_list);
  batch.Place(s.sample_view, o.sample_view);
  batch.Place(s.info_view, o.info_view);
  batch.Place(s.options_host, o.options_host);
  batch.Place(s.features_view, o.info_view);
  batch.Place(s.face_combo, o.face_combo);
  batch.Place(s.instance_combo, o.instance_combo);
}

namespace {

// The layout of the client area as it is now, with the selectors given.
bool CurrentLayout(const ViewerState& s, bool face_selector, bool instance_selector,
                   ViewerLayout& o) {
  RECT display = {};
  if (!s.viewer || !GetClientRect(s.viewer, &display)) return false;
  if (s.tab) SendMessageA(s.tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  o = ComputeViewerLayout(display.left, display.top, display.right, display.bottom, ScreenDpiY,
                          face_selector, instance_selector);
  return true;
}

}  // namespace

HWND CreateSizeRowSelector(ViewerState& s, int id, bool face_selector, bool instance_selector) {
  ViewerLayout o;
  if (!CurrentLayout(s, face_selector, instance_selector, o)) return nullptr;
  const Placement& p = id == kFaceComboId ? o.face_combo : o.instance_combo;
  const bool shown = s.page == kGlyphsPage || s.page == kSamplePage;
  HWND combo = CreateWindowExA(0, "COMBOBOX", nullptr,
                               WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | (shown ? WS_VISIBLE : 0),
                               p.x, p.y, p.width, p.height, s.viewer,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance,
                               nullptr);
  if (!combo) return nullptr;
  Subclass(s, combo, id);
  SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), FALSE);
  return combo;
}

void ShowSizeRowSelector(HWND combo, bool shown) {
  if (!combo) return;
  const bool visible = (GetWindowLongPtrA(combo, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != shown) ShowWindow(combo, shown ? SW_SHOWNA : SW_HIDE);
}

void PlaceSizeRow(const ViewerState& s) {
  // Before the first layout nothing is placed yet: that layout places the row.
  ViewerLayout o;
  if (!s.laid_out || !CurrentLayout(s, s.face_selector, s.instance_selector, o)) return;
  // Only these change; the rest keep their places and their pixels.
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
  DeferBatch batch(3);
  const Placement& slider = o.size_slider;
  batch.Add(s.size_slider, nullptr, slider.x, slider.y, slider.width, slider.height, kFlags);
  const Placement& face = o.face_combo;
  batch.Add(s.face_combo, nullptr, face.x, face.y, face.width, face.height, kFlags);
  const Placement& instance = o.instance_combo;
  batch.Add(s.instance_combo, nullptr, instance.x, instance.y, instance.width, instance.height,
            kFlags);
}

void ShowPage(ViewerState& s, int page) {
  if (page < 0 || page >= PageCount(s)) page = kGlyphsPage;
  // Made when first shown: most viewers never show it.
  if (page == kFeaturesPage && !s.features_view) {
    s.features_view = CreateFeaturesPage(s);
    ViewerLayout o;
    if (s.features_view && CurrentLayout(s, s.face_selector, s.instance_selector, o))
      MoveWindow(s.features_view, o.info_view.x, o.info_view.y, o.info_view.width,
                 o.info_view.height, FALSE);
  }
  if (!s.page_built[page]) {
    FillPage(s, page);
    s.page_built[page] = 1;
  }
  {
    DeferBatch batch(13);
    batch.Show(s.glyph_list, page == kGlyphsPage);
    batch.Show(s.info_view, page == kInfoPage);
    batch.Show(s.sample_view, page == kSamplePage);
    batch.Show(s.options_host, page == kOptionsPage);
    batch.Show(s.features_view, page == kFeaturesPage);
    const bool selectors = page == kGlyphsPage;
    batch.Show(s.charset_combo, selectors);
    batch.Show(s.charset_spin, selectors);
    batch.Show(s.block_combo, selectors);
    batch.Show(s.block_spin, selectors);
    const bool sized = page == kGlyphsPage || page == kSamplePage;
    if (sized) {
      int size = page == kGlyphsPage ? s.glyph_size : s.sample_size;
      SetDlgItemInt(s.viewer, kSizeEditId, static_cast<UINT>(size), FALSE);
      SendMessageA(s.size_slider, TBM_SETPOS, TRUE, size);
    }
    batch.Show(s.size_edit, sized);
    batch.Show(s.size_slider, sized);
    batch.Show(s.face_combo, sized && s.face_selector);
    batch.Show(s.instance_combo, sized && s.instance_selector);
  }
  s.page = page;
  // In a parent without a sizing border the viewer takes the focus only once it had it.
  if (!s.parent_fixed || s.has_focus) {
    if (HWND control = PageControl(s, page)) SetFocus(control);
  }
}

void RefillFontPages(ViewerState& s, bool same_block) {
  // Setting the count again resets the list and draws it once more: a switch
  // within the file whose block stays keeps its rows and is repainted once.
  if (s.page_built[kGlyphsPage] && !same_block) SetGlyphRowCount(s);
  if (s.glyph_list) InvalidateRect(s.glyph_list, nullptr, TRUE);
  if (s.page_built[kInfoPage]) WriteInfoReport(s);
  // The sample text stays as the user left it; only its font changes.
  if (s.page_built[kSamplePage] && s.sample_view)
    SendMessageA(s.sample_view, WM_SETFONT, reinterpret_cast<WPARAM>(s.sample_font), TRUE);
  if (s.page_built[kFeaturesPage]) FillFeaturesPage(s);
}

void UpdateFeaturesTab(ViewerState& s) {
  if (!s.tab) return;
  const int count = static_cast<int>(SendMessageA(s.tab, TCM_GETITEMCOUNT, 0, 0));
  if (s.features_page && count == kPageCount - 1) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.iImage = -1;
    item.pszText = const_cast<char*>(LanguageString(kTextFeaturesTab));
    SendMessageA(s.tab, TCM_INSERTITEMA, kFeaturesPage, reinterpret_cast<LPARAM>(&item));
  } else if (!s.features_page && count == kPageCount) {
    if (s.page == kFeaturesPage) {
      SendMessageA(s.tab, TCM_SETCURSEL, kOptionsPage, 0);
      ShowPage(s, kOptionsPage);
    }
    SendMessageA(s.tab, TCM_DELETEITEM, kFeaturesPage, 0);
  }
}

void PreviousPage(ViewerState& s) {
  s.page = s.page == 0 ? PageCount(s) - 1 : s.page - 1;
  SendMessageA(s.tab, TCM_SETCURSEL, s.page, 0);
  ShowPage(s, s.page);
}

void NextPage(ViewerState& s) {
  s.page = s.page >= PageCount(s) - 1 ? 0 : s.page + 1;
  SendMessageA(s.tab, TCM_SETCURSEL, s.page, 0);
  ShowPage(s, s.page);
}

LRESULT OnTabNotify(const NMHDR& header, HWND window) {
  ViewerState* state = GetViewerState(window);
  if (!state) return 0;
  if (header.idFrom != kTabId) return 0;
  int selection = static_cast<int>(SendMessageA(state->tab, TCM_GETCURSEL, 0, 0));
  if (header.code == TCN_SELCHANGING && selection == kOptionsPage) ApplyOptionsPage(*state);
  if (header.code == TCN_SELCHANGE && selection != state->page) ShowPage(*state, selection);
  return 0;
}
